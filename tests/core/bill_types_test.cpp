#include "core/bill_types.h"
#include "core/sql_helpers.h"
#include "test_db.h"

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

using BillTypes = protask::testing::DatabaseTest;

// The header and line tables of every bill type with an entry exist in the suite's schema.
TEST_F(BillTypes, NameTablesOfTheSchema)
{
    TDataSet q(Db());
    QStringList known, missing;
    for (int type = 2990; type <= 3100; ++type) {
        const BillTypeTables t = GetBillTypeTables(type);
        if (t.formTable.isEmpty()) {
            EXPECT_TRUE(t.listTable.isEmpty() && t.caption.isEmpty()) << type;
            continue;
        }
        known << QString::number(type);
        EXPECT_FALSE(t.caption.isEmpty()) << type;
        for (const QString &table : {t.formTable, t.listTable}) {
            q.open(
                u"select count(*) from information_schema.TABLES where TABLE_SCHEMA = database() and TABLE_NAME = '%1'"_s
                    .arg(table));
            if (!table.isEmpty() && q.value(0, 0).toInt() != 1)
                missing << table;
        }
    }
    EXPECT_EQ(known.join(u' '),
              u"3001 3002 3003 3004 3005 3006 3007 3008 3010 3011 3012 3013 3014 3015 3016 3017 3018 "
              "3019 3020 3021 3022 3025 3026 3043 3089 3090"_s);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u", ").toStdString();
}

} // namespace
