// The statements and search conditions of the source-bill picker.
#include "billedit/model/source_select.h"

#include "core/sql_helpers.h"
#include "test_db.h"

#include <tuple>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

class SourceSelectTest : public DatabaseTest {};

// Every kind's statement runs on the suite schema, with a search and a client, and returns
// every field its grid shows, the answered key and the same-value column among them.
TEST_F(SourceSelectTest, EveryKindsStatementRunsAndCarriesItsGridsFields)
{
    for (const SourceKind &kind : SourceKinds()) {
        SCOPED_TRACE(kind.billTypeId);
        const QString find = SourceFindCondition(kind, u"x'_%\\"_s, QString());
        TDataSet list(Db());
        ASSERT_NO_THROW(OpenQuery(list, SourceSelectSql(kind, QDate(2026, 1, 1), QDate(2026, 12, 31), find, 3)));
        const QStringList fields = kind.columns->fields.split(u',');
        EXPECT_TRUE(fields.contains(kind.keyColumn));
        EXPECT_TRUE(kind.sameValueColumn.isEmpty() || fields.contains(kind.sameValueColumn));
        for (const QString &field : fields)
            EXPECT_TRUE(list.hasField(field)) << field.toStdString();
    }
}

// The sales-order lines for production: checked orders of the client, dated through the whole
// end day, with a quantity not yet in production. Only XD1 of these is listed.
TEST_F(SourceSelectTest, SalesOrderLinesForProductionAreTheClientsOpenCheckedOnes)
{
    ExecScript(u"insert into t_comClient(FID,FName) values (7,'华联'), (8,'别家');"
               "insert into t_SaleOrderForm(FID,FBillNo,FBillDate,FClientID,FIsChecked) values"
               " (1,'XD1','2026-12-31 18:00:00',7,1), (2,'XD2','2026-12-10',7,0), (3,'XD3','2026-12-10',8,1),"
               " (4,'XD4','2026-12-10',7,1), (5,'XD5','2027-01-01',7,1);"
               "insert into t_SaleOrderList(FID,FFormID,FNumber,FProtaskFinishNumber) values"
               " (1,1,10,4), (2,2,10,0), (3,3,10,0), (4,4,10,10), (5,5,10,0)"_s);
    TDataSet list(Db());
    OpenQuery(list, SourceSelectSql(*FindSourceKind(3056), QDate(2026, 12, 1), QDate(2026, 12, 31), QString(), 7));
    ASSERT_EQ(list.recordCount(), 1);
    EXPECT_EQ(list.fieldByName(u"FBillNo"_s).toString(), u"XD1"_s);
    EXPECT_EQ(list.fieldByName(u"FUnFinishNumber"_s).toDouble(), 6);
}

// The search matches the trimmed upper-case text, quotes, backslashes and the LIKE wildcards
// as typed, on the bill number and the kind's joined numbers, names and codes in their order.
// A blank text clears the condition; a kind that offers no search keeps it.
TEST_F(SourceSelectTest, SearchMatchesTheKindsColumnsInOrderOrKeepsTheCondition)
{
    const auto anyLike = [](const QString &pattern) {
        QStringList terms;
        for (const char *column : {"T1.FBillNo", "T2.FNo", "T2.FName", "T2.FCode", "T3.FNo", "T3.FName", "T3.FCode",
                                   "T5.FNo", "T5.FName", "T5.FCode", "T8.FNo", "T8.FName", "T8.FCode"})
            terms << QString::fromLatin1(column) + u" like "_s + pattern;
        return u" and("_s + terms.join(u" or "_s) + u')';
    };
    const QString kept = u" and(T1.FBillNo like '%OLD%')"_s;
    // kind, the search text, the condition
    const std::tuple<int, QString, QString> cases[] = {
        {3056, u"  xd001 "_s, anyLike(u"'%XD001%'"_s)},
        {3056, u"o'b\\5%_"_s, anyLike(u"'%O\\'B\\\\\\\\5\\\\%\\\\_%'"_s)},
        {3053, u"a"_s, kept},
        {3056, u"   "_s, QString()},
        {3053, QString(), QString()},
    };
    for (const auto &[kind, text, expected] : cases)
        EXPECT_EQ(SourceFindCondition(*FindSourceKind(kind), text, kept), expected) << text.toStdString();
}

} // namespace
