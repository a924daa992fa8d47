// The bill types that move money, completion counters or nothing at all, checked and unchecked
// through the posting entries: orders, consignment, receipts and payments, fees, income and
// expense, other payables, the rebate, the production task, and the types without steps.
#include "posting_test_util.h"
#include "test_db.h"

#include <gtest/gtest.h>

using namespace protask::testing;
using namespace protask::testing::world;

namespace {

QList<Probe> client(int id, double paid, double total, double unpaid)
{
    return {
        Moves("paid", ClientSql(id, "FPayAmount"), paid),
        Moves("total", ClientSql(id, "FTotalAmount"), total),
        Moves("unpaid", ClientSql(id, "FUnPayAmount"), unpaid),
    };
}

Probe cash(double delta) { return Moves("cash balance", CashSql(kCash), delta); }

QList<Probe> noStock()
{
    return {
        Moves("plain stock", CurStockSql(kPlain), 0),
        Moves("batch product stock", CurStockSql(kBatch), 0),
        Moves("balances", QStringLiteral("select count(*) from t_Balance"), 0),
        Moves("batches", QStringLiteral("select IfNull(sum(FNumber),0) from t_comProductBatchNo"), 0),
    };
}

QList<Probe> settled(const QString &table, bool settles)
{
    return {
        Moves(table + " first bill settled", ColumnSql(table, "FFinishAmount", kSettledBill), settles ? 50 : 0),
        Moves(table + " second bill settled", ColumnSql(table, "FFinishAmount", kSettledBill2), settles ? 30 : 0),
    };
}

QList<Probe> operator+(QList<Probe> a, const Probe &b)
{
    a.append(b);
    return a;
}

// Two lines settle 50 and 30 of two sales-out or purchase bills; a third settles nothing.
const QList<QVariantMap> kSettlingLines{
    {{"FAmount", 50}, {"FFromBillID", kSettledBill}},
    {{"FAmount", 30}, {"FFromBillID", kSettledBill2}},
    {{"FAmount", 5}, {"FFromBillID", 0}},
};

PostingCase receivePay(const char *name, int type, double cashDelta, bool settlesSale)
{
    return {name,
            type,
            "t_ReceivePayForm",
            "t_receivepayList",
            {{"FClientID", kClient}, {"FAmount", 80}, {"FCashID", kCash}},
            kSettlingLines,
            client(kClient, 80, 0, -80) + cash(cashDelta) + settled("t_SaleOutForm", settlesSale)
                + settled("t_PurForm", !settlesSale)};
}

PostingCase account(const char *name, int type, int kind, double cashDelta)
{
    return {name,
            type,
            "t_Account",
            {},
            {{"FBillTypeID", kind}, {"FClientID", kClient}, {"FAmount", 80}, {"FCashID", kCash}},
            {},
            client(kClient, 80, 0, -80) + cash(cashDelta)};
}

PostingCase otherPayable(const char *name, int type)
{
    return {name, type, "t_ReceivePayForm", {}, {{"FClientID", kClient}, {"FTobeAmount", 150}}, {},
            client(kClient, 0, 150, 150) + cash(0)};
}

std::vector<PostingCase> accountCases()
{
    std::vector<PostingCase> cases;
    cases.push_back({"PurchaseOrder3001", 3001, "t_PurOrderForm", "t_PurOrderList",
                     {{"FClientID", kClient}, {"FPayAmount", 30}, {"FAmount", 150}, {"FCashID", kCash}}, StandardLines(),
                     client(kClient, 30, 0, -30) + cash(-30) + noStock()
                         + Moves("ordered from suppliers", ColumnSql("t_SaleOrderList", "FPurOrderFinishNumber", kSaleOrderLine), 2)
                         + Moves("ordered from suppliers, second line", ColumnSql("t_SaleOrderList", "FPurOrderFinishNumber", kSaleOrderLine2), 3)
                         + Moves("delivered untouched", ColumnSql("t_SaleOrderList", "FFinishNumber", kSaleOrderLine), 0)});
    cases.push_back({"SalesOrder3003", 3003, "t_SaleOrderForm", "t_SaleOrderList",
                     {{"FClientID", kClient}, {"FReceiveAmount", 30}, {"FAmount", 150}, {"FCashID", kCash}}, {},
                     client(kClient, 30, 0, -30) + cash(30) + noStock()});
    cases.push_back({"Consignment3006", 3006, "t_SaleForForm", "t_SaleForList",
                     {{"FCustomerID", kClient}, {"FSupplierID", kSupplier}, {"FReceiveAmount", 30}, {"FAmount", 150},
                      {"FPayAmount", 20}, {"FPayTobeAmount", 100}, {"FCashID", kCash}},
                     StandardLines(),
                     client(kClient, 30, 150, 120) + client(kSupplier, 20, 100, 80) + cash(30 - 20) + noStock()
                         + Stays("last sale price of the box", UnitPriceSql(kBatch, kUnitBox, "FLastOutPrice"), 100)
                         + Stays("customer's price rows", ClientPriceRowsSql(kClient), 2)
                         + Stays("no price rows for the supplier", ClientPriceRowsSql(kSupplier), 0)
                         + Stays("cost marks", CostMarksSql(202612), 2)});

    cases.push_back(receivePay("Receipt3007", 3007, 80, true));
    cases.push_back(receivePay("Receipt3013", 3013, 80, true));
    cases.push_back(receivePay("Payment3008", 3008, -80, false));
    cases.push_back(receivePay("Payment3012", 3012, -80, false));
    cases.push_back(receivePay("ReceiptWithoutCash3041", 3041, 0, true));
    cases.push_back(receivePay("PaymentWithoutCash3042", 3042, 0, false));

    cases.push_back({"Fee3010", 3010, "t_FeeForm", "t_FeeList", {{"FClientID", kClient}, {"FAmount", 80}, {"FCashID", kCash}},
                     {}, client(kClient, 0, 0, 0) + cash(-80)});

    cases.push_back(account("Income3014", 3014, 1, 80));
    cases.push_back(account("Expense3014", 3014, 2, -80));
    cases.push_back(account("Income3028", 3028, 1, 80));
    cases.push_back(account("Expense3029", 3029, 2, -80));
    cases.push_back(account("NeitherIncomeNorExpense3014", 3014, 0, 0));

    cases.push_back(otherPayable("OtherPayable3032", 3032));
    cases.push_back(otherPayable("OtherPayable3033", 3033));
    cases.push_back(otherPayable("OtherPayable3034", 3034));
    cases.push_back(otherPayable("OtherPayable3035", 3035));

    // The production task moves no stock: only the production counter of its sales order line.
    cases.push_back({"ProductionTask3049", 3049, "t_ProTaskForm", "t_ProTaskList",
                     {{"FProductID", kAssembled}, {"FUnitID", kUnitPiece}, {"FNumber", 7}, {"FFromListID", kSaleOrderLine}},
                     {{{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 14}}},
                     noStock()
                         + Moves("put into production", ColumnSql("t_SaleOrderList", "FProtaskFinishNumber", kSaleOrderLine), 7)
                         + Moves("delivered untouched", ColumnSql("t_SaleOrderList", "FFinishNumber", kSaleOrderLine), 0)
                         + Stays("no cost marks", CostMarksSql(202612), 0)});
    cases.push_back({"ProductionTaskWithoutOrderLine3049", 3049, "t_ProTaskForm", "t_ProTaskList",
                     {{"FProductID", kAssembled}, {"FUnitID", kUnitPiece}, {"FNumber", 7}, {"FFromListID", 0}}, {},
                     noStock()
                         + Moves("no counter moves",
                                 QStringLiteral("select IfNull(sum(FProtaskFinishNumber),0) from t_SaleOrderList"), 0)});

    // Types without steps: 3043 is only flagged (and marked for the cost run), 3047 not even
    // flagged.
    cases.push_back({"CostAdjustmentOnlyFlagged3043", 3043, "t_costadjustform", "t_costadjustlist",
                     {{"FStorehouseID", kStore}, {"FAmount", 150}}, StandardLines(),
                     noStock() + client(kClient, 0, 0, 0) + cash(0) + Stays("cost marks", CostMarksSql(202612), 2)});
    PostingCase flagless{"NoStepsNoFlag3047", 3047, "t_costadjustform", "t_costadjustlist",
                         {{"FStorehouseID", kStore}}, StandardLines(), noStock() + cash(0)};
    flagless.flagged = false;
    cases.push_back(flagless);
    return cases;
}

class AccountBillPosting : public ::testing::TestWithParam<PostingCase> {
protected:
    void SetUp() override
    {
        EmptyAllTables();
        SeedWorld();
    }
};

TEST_P(AccountBillPosting, CheckMovesEveryFigureAndUncheckTakesThemBack) { RunPostingCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(MoneyAndCounterFamilies, AccountBillPosting, ::testing::ValuesIn(accountCases()),
                         [](const ::testing::TestParamInfo<PostingCase> & tpi) { return tpi.param.name.toStdString(); });

// The rebate through the entries: its payment bill is posted to the supplier on check and
// taken back and deleted on uncheck.
TEST(RebatePosting, PaymentBillIsPostedToTheSupplierAndTakenBack)
{
    EmptyAllTables();
    SeedWorld();
    SeedBillType(90, 3008, QStringLiteral("FKD"), QStringLiteral("FKD"));
    RunPostingCase({"Rebate3017", 3017, "t_ReturnForm", "t_ReturnList",
                    {{"FClientID", kSupplier}, {"FAmount", 10}, {"FBeginDate", QDate(2026, 11, 1)},
                     {"FEndDate", QDate(2026, 11, 30)}, {"FReceiveFormID", 0}},
                    {},
                    client(kSupplier, 10, 0, -10) + client(kClient, 0, 0, 0)
                        + Moves("payment bill", QStringLiteral("select count(*) from t_ReceivePayForm where FFromFormBillID = %1")
                                                    .arg(kCaseBillId),
                                1)
                        + Moves("link to the payment bill",
                                QStringLiteral("select FReceiveFormID <> 0 from t_ReturnForm where FID = %1").arg(kCaseBillId), 1)});
}

} // namespace
