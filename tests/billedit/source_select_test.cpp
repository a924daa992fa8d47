// The statements and search conditions of the source-bill picker.
#include "billedit/model/source_select.h"

#include "core/sql_helpers.h"
#include "test_db.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace protask;

namespace {

class SourceSelectTest : public protask::testing::DatabaseTest {};

// Every kind's statement runs on the suite schema, with a search and a client, and returns
// every field its grid shows, the answered key and the same-value column among them.
TEST_F(SourceSelectTest, EveryKindsStatementRunsAndCarriesItsGridsFields)
{
    QList<int> codes;
    for (const SourceKind &kind : SourceKinds()) {
        SCOPED_TRACE(kind.billTypeId);
        codes << kind.billTypeId;
        const QString find = SourceFindCondition(kind, QStringLiteral("x'_%\\"), QString());
        TDataSet list(Db());
        ASSERT_NO_THROW(OpenQuery(list, SourceSelectSql(kind, QDate(2026, 1, 1), QDate(2026, 12, 31), find, 3)));
        const QStringList fields = kind.columns->fields.split(u',');
        EXPECT_TRUE(fields.contains(kind.keyColumn));
        EXPECT_TRUE(kind.sameValueColumn.isEmpty() || fields.contains(kind.sameValueColumn));
        for (const QString &field : fields)
            EXPECT_TRUE(list.hasField(field)) << field.toStdString();
    }
    EXPECT_EQ(codes, (QList<int>{3050, 3051, 3053, 3054, 3055, 3056, 3057, 3058}));
    EXPECT_EQ(FindSourceKind(3052), nullptr);
}

// The sales-order lines not yet put into production keep the statement the suite has always
// run, but for the upper date bound, which now takes in the whole end day.
TEST_F(SourceSelectTest, SalesOrderLinesForProductionKeepTheirStatement)
{
    const SourceKind *kind = FindSourceKind(3056);
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(
        SourceSelectSql(*kind, QDate(2026, 12, 1), QDate(2026, 12, 31), QStringLiteral(" and(x)"), 7),
        QStringLiteral(
            "select  distinct T1.FID,T1.FTypeID,T1.FBillDate,T1.FBillNo,T1.FClientID, T1.FDeliverDate,T1.FSaleEmpID,T1.FAddr,T1.FSettlementID, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FFinishType,T1.FAmount,T1.FDiscountAmount,T1.FDiscountRate, T1.FReceiveAmount , T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as TFClientCode, T3.FNo as FSaleEmpNo, T3.FName as FSaleEmpName, T3.FCode as FSaleEmpCode, T5.FNo as FSettlementNo, T5.FName as FSettlementName, T5.FCode as FSettlementCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode, T7.FID as FListID,T7.FproductID,T7.FUnitID,T7.FBatchNo1,T7.FBatchNo2,T7.FBatchNo3,T7.FNumber,T7.FProtaskFinishNumber as FFinishNumber, T7.FPrice,T7.FAmount,T7.FNote as FListNote,IfNull(T7.FNumber,0) - IfNull(T7.FProtaskFinishNumber,0) as FUnFinishNumber,T8.FNo as FProductNo, T8.FName as FProductName, T8.FCode as FProductCode,T9.FNo as FUnitNo, T9.FName as FUnitName, T9.FCode as FUnitCode from t_SaleOrderForm T1 left join t_comClient T2 on t1.FClientID = T2.FID left join t_comEmployee T3 on T1.FSaleEmpID = T3.FID left join t_comItem T5 on T1.FSettlementID = T5.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join t_SaleOrderList  T7 on T1.FID = T7.FFormID left join t_comProducts T8 on T7.FProductID = T8.FID left join t_comUnit T9 on T7.FUnitID = T9.FID  where T1.FIsChecked = 1 and T1.FBillDate >= '2026-12-01' and T1.FBillDate < '2027-01-01' and IfNull(T7.FNumber,0) - IfNull(T7.FProtaskFinishNumber,0) > 0  and(x) and T2.FID = 7 order by T1.FBillDate,T1.FBillNo, T8.FNo"));
    EXPECT_TRUE(SourceSelectSql(*FindSourceKind(3058), QDate(2026, 12, 1), QDate(2026, 12, 31), QString(), 0)
                    .endsWith(QStringLiteral("> 0  order by T1.FBillDate,T1.FBillNo")));
}

// " and(C1 like P or C2 like P ...)" over the columns in their order.
QString anyLike(const QString &columns, const QString &pattern)
{
    QStringList terms;
    for (const QString &column : columns.split(u' '))
        terms << column + QStringLiteral(" like ") + pattern;
    return QStringLiteral(" and(") + terms.join(QStringLiteral(" or ")) + u')';
}

TEST_F(SourceSelectTest, SearchMatchesTheKindsColumnsInOrderOrKeepsTheCondition)
{
    const QString sales = QStringLiteral("T1.FBillNo T2.FNo T2.FName T2.FCode T3.FNo T3.FName T3.FCode T5.FNo T5.FName "
                                         "T5.FCode T8.FNo T8.FName T8.FCode");
    const QString purchase = QStringLiteral("T1.FBillNo T2.FNo T2.FName T2.FCode T3.FNo T3.FName T3.FCode T4.FNo "
                                            "T4.FName T4.FCode T8.FNo T8.FName T8.FCode");
    const QString tasks = QStringLiteral("T1.FBillNo T2.FNo T2.FName T2.FCode T8.FNo T8.FName T8.FCode");
    const QString kept = QStringLiteral(" and(T1.FBillNo like '%OLD%')");
    struct Case {
        int kind;
        QString text;
        QString expected;
    };
    const QList<Case> cases = {
        {3056, QStringLiteral("  xd001 "), anyLike(sales, QStringLiteral("'%XD001%'"))},
        {3051, QStringLiteral("螺栓"), anyLike(sales, QStringLiteral("'%螺栓%'"))},
        {3055, QStringLiteral("a"), anyLike(sales, QStringLiteral("'%A%'"))},
        {3050, QStringLiteral("a"), anyLike(purchase, QStringLiteral("'%A%'"))},
        {3057, QStringLiteral("a"), anyLike(tasks, QStringLiteral("'%A%'"))},
        {3058, QStringLiteral("a"), anyLike(tasks, QStringLiteral("'%A%'"))},
        // quotes, backslashes and the LIKE wildcards are matched as they are typed
        {3056, QStringLiteral("o'b\\5%_"), anyLike(sales, QStringLiteral("'%O\\'B\\\\\\\\5\\\\%\\\\_%'"))},
        {3053, QStringLiteral("a"), kept},
        {3054, QStringLiteral("a"), kept},
        {3056, QStringLiteral("   "), QString()},
        {3053, QString(), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(SourceFindCondition(*FindSourceKind(c.kind), c.text, kept), c.expected) << c.text.toStdString();
    }
}

} // namespace
