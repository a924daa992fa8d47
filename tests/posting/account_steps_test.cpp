// Client price records, the rebate and the cost marks.
#include "posting/account_steps.h"
#include "posting/posting_engine.h"
#include "posting_test_util.h"

#include <QDateTime>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

using ClientPrices = PostingTest;

TEST_F(ClientPrices, ARowForEveryProductAndUnitPricedFromPricedLinesTheLaterBillWinning)
{
    SeedBill(3004, "t_SaleOutForm", "t_SaleOutList", 81, {{"FClientID", kClient}},
             {Line(kPlain, kUnitPiece, 2), Line(kBatch, kUnitBox, 2, 90), Line(kBatch, kUnitBox, 2, 90)});
    SeedBill(3004, "t_SaleOutForm", "t_SaleOutList", 82, {{"FClientID", kClient}}, {Line(kBatch, kUnitBox, 2, 95)});
    SeedBill(3004, "t_SaleOutForm", "t_SaleOutList", 83, {}, {Line(kPlain, kUnitPiece, 2, 3)});
    for (const char *bill : {"81", "82", "83"})
        ASSERT_TRUE(UpdateClientPrice("t_SaleOutForm", "t_SaleOutList", bill, "FAmount", "FPrice", "FNumber", "FID",
                                      "FProductID", "FClientID", 1));
    // client product unit price dated; a bill without a client prices for client 0
    EXPECT_EQ(
        Rows("select concat_ws(' ', FClientID, FProductID, FUnitID, IfNull(FPrice + 0e0, '-'), FDate is not null) "
             "from t_comProductsPrice order by FClientID, FProductID, FUnitID"),
        "0 1 1 3 1\n1 1 1 - 0\n1 2 2 95 1");
}

// Rebate: the payment bill's number takes the month of the stopped server clock, December 2026.

constexpr int kRebate = 21;

struct RebateCase {
    const char *name;
    double amount;
    QDate begin;
    QDate end;
    bool onlyPlain; // the rebate selects the plain product and not the batch product
    int payBill;    // an earlier payment bill the rebate refreshes in place; 0: a new one, FID 1
    const char *lines;
};
void PrintTo(const RebateCase &c, std::ostream *os) { *os << c.name; }

class Rebate : public PostingCaseTest<RebateCase> {
protected:
    void SetUp() override
    {
        PostingCaseTest::SetUp();
        InsertRow("T_BillType", {{"FID", 90}, {"FBillTypeID", 3008}, {"FBillTypeNo", "FKD"}, {"FPreCode", "FKD"}});
        InsertRow("t_comCompany", {{"FID", 1}, {"FPriceDecimal", 3}});
        // The supplier's November purchase (60 plain, 40 batch product and a gift); one of
        // December and one of another client.
        const auto bought = [](int product, double number, double amount, int present = 0) {
            return QVariantMap{
                {"FProductID", product}, {"FNumber", number}, {"FTobeDiscountAmount", amount}, {"FIsPresent", present}};
        };
        const QDateTime november(QDate(2026, 11, 10), QTime(9, 0));
        SeedBill(3002, "t_PurForm", "t_PurList", 11, {{"FClientID", kSupplier}, {"FBillDate", november}},
                 {bought(kPlain, 6, 60), bought(kBatch, 3, 40), bought(kBatch, 1, 0, 1)});
        SeedBill(3002, "t_PurForm", "t_PurList", 12, {{"FClientID", kSupplier}}, {bought(kPlain, 1, 10)});
        SeedBill(3002, "t_PurForm", "t_PurList", 13, {{"FClientID", kClient}, {"FBillDate", november}},
                 {bought(kPlain, 1, 10)});
    }

    static void seedRebate(double amount, const QDate &begin, const QDate &end, int receiveFormId = 0)
    {
        SeedBill(3017, "t_ReturnForm", "t_ReturnList", kRebate,
                 {{"FTypeID", 17},
                  {"FClientID", kSupplier},
                  {"FAmount", amount},
                  {"FBeginDate", begin},
                  {"FEndDate", end},
                  {"FReceiveFormID", receiveFormId},
                  {"FBillDate", QDateTime(QDate(2026, 12, 5), QTime(11, 30))}},
                 {});
    }

    // The purchase lines marked, the payment bill, link, check and the supplier's figures.
    static std::string state()
    {
        return Rows(
            "select concat_ws(' ', 'line', FID, FIsReturn, FReturnFromFormID, FReturnAmount + 0e0, FReturnPrice + 0e0) "
            "from t_PurList where FIsReturn <> 0 or FReturnFromFormID <> 0 or FReturnAmount <> 0 "
            "union all select concat_ws('|', 'pay', FID, FBillNo, FNote, FBillTypeID, FTypeID, FFromBillTypeID, "
            "FFromFormBillID, FBillerID, FClientID, FAmount + 0e0, FBillDate) from t_ReceivePayForm "
            "union all select concat_ws(' ', 'link', FReceiveFormID, 'checked', IfNull(FIsChecked, 0)) from t_ReturnForm "
            "union all select concat_ws(' ', 'supplier', FTotalAmount + 0e0, FPayAmount + 0e0, FUnPayAmount + 0e0) "
            "from t_comClient where FID = 2");
    }
};

using RebateBill = Rebate;

// The rebate spreads over the supplier's purchase lines of its period (selected products, no
// gifts) at the company's price places, writes a payment bill that offsets the supplier's debt
// and links it; the uncheck takes all of it back.
TEST_P(RebateBill, SpreadsOverThePeriodsPurchasesAndPostsAPaymentBillThatTheUncheckRemoves)
{
    const RebateCase &c = GetParam();
    if (c.payBill)
        InsertRow("t_ReceivePayForm", {{"FID", c.payBill}, {"FBillNo", "FKD20261100009"}, {"FAmount", 3}});
    seedRebate(c.amount, c.begin, c.end, c.payBill);
    if (c.onlyPlain) {
        InsertRow("t_ReturnList", {{"FID", 1}, {"FFormID", kRebate}, {"FProductID", kPlain}, {"FIsSelected", 1}});
        InsertRow("t_ReturnList", {{"FID", 2}, {"FFormID", kRebate}, {"FProductID", kBatch}, {"FIsSelected", 0}});
    }
    int code = 99;
    ASSERT_TRUE(Post(true, 3017, kRebate, "t_ReturnForm", &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(state(),
              Sql("%1pay|%2|FKD20261200001|返利单生成的付款单,用于抵供应商欠款|2|7|17|21|7|2|%3|2026-12-05 "
                  "11:30:00\nlink %2 checked 1\nsupplier 1000 %4 %5",
                  QString::fromUtf8(c.lines), c.payBill ? c.payBill : 1, c.amount, 400 + c.amount, 600 - c.amount)
                  .toStdString());
    ASSERT_TRUE(Post(false, 3017, kRebate, "t_ReturnForm", &code));
    EXPECT_EQ(code, -1);
    EXPECT_EQ(state(), "link 0 checked 0\nsupplier 1000 400 600");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Periods, RebateBill, ::testing::Values(
    RebateCase{"WholePeriod", 10, {2026, 11, 1}, {2026, 11, 30}, false, 0, "line 11001 1 21 6 1\nline 11002 1 21 4 1.333\n"},
    RebateCase{"SelectedProducts", 10, {2026, 11, 1}, {2026, 11, 30}, true, 0, "line 11001 1 21 10 1.667\n"},
    RebateCase{"PeriodWithoutPurchases", 25, {2026, 10, 1}, {2026, 10, 31}, false, 0, ""},
    RebateCase{"RefreshesAnEarlierPaymentBill", 10, {2026, 11, 1}, {2026, 11, 30}, false, 55, "line 11001 1 21 6 1\nline 11002 1 21 4 1.333\n"}),
    [](const ::testing::TestParamInfo<RebateCase> &p) { return std::string(p.param.name); });
// clang-format on

TEST_F(Rebate, FailsWithoutTheRebateOrWithoutThePaymentNumberingAndTheRollbackLeavesEveryTable)
{
    int code = 99;
    EXPECT_FALSE(Post(true, 3017, 999, "t_ReturnForm", &code));
    EXPECT_EQ(code, 0);
    seedRebate(10, {2026, 11, 1}, {2026, 11, 30});
    Exec("delete from T_BillType");
    const auto before = AllTablesChecksum();
    code = 99;
    EXPECT_FALSE(Post(true, 3017, kRebate, "t_ReturnForm", &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(TablesChangedSince(before), "");
}

// Cost marks: one per product and period, whose date only moves to an earlier bill date.

using CostMarks = PostingTest;

TEST_F(CostMarks, KeepTheEarliestDateOfThePeriod)
{
    const QDate dates[] = {{2026, 12, 5}, {2026, 12, 20}, {2026, 12, 1}, {2027, 1, 3}};
    for (int bill = 1; bill <= 4; ++bill)
        SeedBill(3002, "t_PurForm", "t_PurList", bill,
                 {{"FStorehouseID", kStore}, {"FBillDate", QDateTime(dates[bill - 1], QTime(15, 45))}},
                 {Line(kPlain, kUnitPiece, 1), Line(kPlain, kUnitPiece, 2)});
    const auto marks = [] {
        return Rows(
            "select concat_ws(' ', FProductID, FTypeID, FPeriod, IfNull(FLastDate, '-')) from t_billcalflag order by FPeriod");
    };
    ASSERT_TRUE(Post(true, 3002, 1, "t_PurForm"));
    EXPECT_EQ(marks(), "1 0 202612 2026-12-05");
    ASSERT_TRUE(Post(true, 3002, 2, "t_PurForm"));
    EXPECT_EQ(marks(), "1 0 202612 2026-12-05");
    ASSERT_TRUE(Post(true, 3002, 3, "t_PurForm"));
    ASSERT_TRUE(Post(true, 3002, 4, "t_PurForm"));
    EXPECT_EQ(marks(), "1 0 202612 2026-12-01\n1 0 202701 2027-01-03");
    // The cost run consumed the marks: an uncheck marks from its bill's date again.
    Exec("update t_billcalflag set FLastDate = null");
    ASSERT_TRUE(Post(false, 3002, 2, "t_PurForm"));
    EXPECT_EQ(marks(), "1 0 202612 2026-12-20\n1 0 202701 -");
}

} // namespace
