#include "core/bill_types.h"
#include "test_db.h"

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

using BillTypes = protask::testing::DatabaseTest;

// Every bill type with an entry has a caption, and its header and line tables exist in the
// suite's schema.
TEST_F(BillTypes, NameTablesOfTheSchema)
{
    const auto missing = [](const QString &table) {
        return !table.isEmpty()
            && protask::testing::scalar(
                   u"select count(*) from information_schema.TABLES where TABLE_SCHEMA = database() and TABLE_NAME = '%1'"_s
                       .arg(table))
                   .toInt()
            != 1;
    };
    for (int type = 2990; type <= 3100; ++type) {
        const BillTypeTables t = GetBillTypeTables(type);
        EXPECT_EQ(t.formTable.isEmpty(), t.caption.isEmpty()) << type;
        EXPECT_FALSE(missing(t.formTable) || missing(t.listTable)) << type;
    }
}

} // namespace
