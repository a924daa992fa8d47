// Client totals, cash, completion counters, client prices, the rebate and the cost marks.
#include "posting/account_steps.h"
#include "posting/posting_common.h"
#include "posting/posting_engine.h"
#include "posting_test_util.h"
#include "test_db.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

bool check(int type, int bill, const QString &form, int *codeOut = nullptr)
{
    int code = 99;
    TransactionGuard tx(Db());
    const bool ok = CheckUpdateData(type, bill, form, code);
    if (ok)
        tx.commit();
    if (codeOut)
        *codeOut = code;
    return ok;
}

bool uncheck(int type, int bill, const QString &form, int *codeOut = nullptr)
{
    int code = 99;
    TransactionGuard tx(Db());
    const bool ok = UnCheckUpdateData(type, bill, form, code);
    if (ok)
        tx.commit();
    if (codeOut)
        *codeOut = code;
    return ok;
}

struct Figures {
    double total;
    double paid;
    double unpaid;
};

Figures figures(int client)
{
    return {ClientFigure(client, "FTotalAmount"), ClientFigure(client, "FPayAmount"), ClientFigure(client, "FUnPayAmount")};
}

void expectFigures(int client, double total, double paid, double unpaid)
{
    const Figures f = figures(client);
    EXPECT_DOUBLE_EQ(f.total, total);
    EXPECT_DOUBLE_EQ(f.paid, paid);
    EXPECT_DOUBLE_EQ(f.unpaid, unpaid);
}

class AccountSteps : public ::testing::Test {
protected:
    void SetUp() override
    {
        EmptyAllTables();
        SeedWorld();
    }
};

TEST_F(AccountSteps, SalesOutOf100With30ReceivedRaisesTotalAndPaidAndSetsUnpaidToTheirDifference)
{
    constexpr int kFresh = 3; // a client whose figures are all null
    SeedClient(kFresh, QVariant(), QVariant(), QVariant());
    for (int client : {kClient, kFresh}) {
        SCOPED_TRACE(client);
        const Figures start = figures(client);
        const int bill = 40 + client;
        SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), bill,
                 {{"FClientID", client}, {"FStorehouseID", kStore}, {"FAmount", 100}, {"FReceiveAmount", 30}}, {});
        ASSERT_TRUE(check(3004, bill, QStringLiteral("t_SaleOutForm")));
        expectFigures(client, start.total + 100, start.paid + 30, (start.total + 100) - (start.paid + 30));
        EXPECT_EQ(Number(ClientStampedSql(client)), 1);
        ASSERT_TRUE(uncheck(3004, bill, QStringLiteral("t_SaleOutForm")));
        expectFigures(client, start.total, start.paid, start.total - start.paid);
    }
}

TEST_F(AccountSteps, BillWithoutAClientOrWithAnUnknownOneChangesNoClient)
{
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 51,
             {{"FStorehouseID", kStore}, {"FAmount", 100}, {"FReceiveAmount", 30}}, {});
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 52,
             {{"FClientID", 99}, {"FStorehouseID", kStore}, {"FAmount", 100}, {"FReceiveAmount", 30}}, {});
    const auto before = SnapshotAllTables();
    for (const char *bill : {"51", "52"}) {
        EXPECT_TRUE(UpdateClientPayAmount("t_SaleOutForm", "FID", bill, 1, "FReceiveAmount", "FClientID"));
        EXPECT_TRUE(UpdateClientUnPayAmount("t_SaleOutForm", "FID", bill, -1, "FReceiveAmount", "FClientID"));
        EXPECT_TRUE(UpdateClientTotalAmount("t_SaleOutForm", "FID", bill, 1, "FAmount", "FClientID"));
    }
    EXPECT_EQ(TablesChangedSince(before), "");
}

TEST_F(AccountSteps, CashColumnNamingNoAccountChangesNoCash)
{
    SeedBill(3007, QStringLiteral("t_ReceivePayForm"), QString(), 61, {{"FClientID", kClient}, {"FAmount", 80}, {"FCashID", 99}}, {});
    SeedBill(3007, QStringLiteral("t_ReceivePayForm"), QString(), 62, {{"FClientID", kClient}, {"FAmount", 80}}, {});
    for (int bill : {61, 62}) {
        int code = 99;
        ASSERT_TRUE(check(3007, bill, QStringLiteral("t_ReceivePayForm"), &code));
        EXPECT_EQ(code, 0);
    }
    EXPECT_DOUBLE_EQ(CashBalance(kCash), 5000);
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_comCash")), 1);
    EXPECT_DOUBLE_EQ(ClientFigure(kClient, "FPayAmount"), 560); // the client side still posts
}

TEST_F(AccountSteps, TwoBillsOnOneOrderLineAddUpAndEachTakesBackItsOwn)
{
    const QString order = ColumnSql("t_SaleOrderList", "FFinishNumber", kSaleOrderLine);
    auto line = [](double n) {
        return QVariantMap{{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", n}, {"FFromOrderListID", kSaleOrderLine}};
    };
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 71, {{"FStorehouseID", kStore}}, {line(4)});
    QVariantMap unlinked = line(9);
    unlinked.insert(QStringLiteral("FFromOrderListID"), 0);
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 72, {{"FStorehouseID", kStore}},
             {line(6.5), unlinked});
    ASSERT_TRUE(check(3004, 71, QStringLiteral("t_SaleOutForm")));
    ASSERT_TRUE(check(3004, 72, QStringLiteral("t_SaleOutForm")));
    EXPECT_DOUBLE_EQ(Number(order), 10.5);
    ASSERT_TRUE(uncheck(3004, 71, QStringLiteral("t_SaleOutForm")));
    EXPECT_DOUBLE_EQ(Number(order), 6.5);
    // Quantities count as entered, without unit conversion.
    EXPECT_TRUE(UpdateFinishNumber("t_SaleOrderList", "FFinishNumber", "t_SaleOutList", "FFormID", -1, "72", "FNumber",
                                   "FFromOrderListID"));
    EXPECT_DOUBLE_EQ(Number(order), 0);
}

TEST_F(AccountSteps, ClientPriceRowsForEveryProductAndUnitPricesFromPricedLinesOnly)
{
    auto line = [](int product, int unit, double price) {
        return QVariantMap{{"FProductID", product}, {"FUnitID", unit}, {"FNumber", 2}, {"FPrice", price}, {"FAmount", 2 * price}};
    };
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 81, {{"FClientID", kClient}},
             {line(kPlain, kUnitPiece, 0), line(kBatch, kUnitBox, 90), line(kBatch, kUnitBox, 90)});
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 82, {{"FClientID", kClient}},
             {line(kBatch, kUnitBox, 95)});
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 83, {}, {line(kPlain, kUnitPiece, 3)});
    const QString priceOf = QStringLiteral("select IfNull(FPrice,-1) from t_comProductsPrice where FClientID = %1 and FProductID = %2 "
                                           "and FUnitID = %3");
    for (const char *bill : {"81", "82", "83"})
        ASSERT_TRUE(UpdateClientPrice("t_SaleOutForm", "t_SaleOutList", bill, "FAmount", "FPrice", "FNumber", "FID", "FProductID",
                                      "FClientID", 1));
    EXPECT_EQ(Number(ClientPriceRowsSql(kClient)), 2);
    EXPECT_DOUBLE_EQ(Number(priceOf.arg(kClient).arg(kPlain).arg(kUnitPiece)), -1); // row made, never priced
    EXPECT_DOUBLE_EQ(Number(priceOf.arg(kClient).arg(kBatch).arg(kUnitBox)), 95);  // the later bill wins
    EXPECT_DOUBLE_EQ(Number(priceOf.arg(0).arg(kPlain).arg(kUnitPiece)), 3);       // no client: client 0
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_comProductsPrice where FDate is not null")), 2);
}

// ---------------------------------------------------------------------------
// Rebate

// The payment bill's number comes from the server's month on the posting connection:
// that clock is pinned to December 2026.
class RebateBill : public ::testing::Test {
protected:
    static constexpr int kRebate = 21;
    PinServerClock clock{Db(), kPinnedNow};
    void SetUp() override
    {
        EmptyAllTables();
        SeedWorld();
        SeedBillType(90, 3008, QStringLiteral("FKD"), QStringLiteral("FKD"));
        InsertRow(QStringLiteral("t_comCompany"), {{"FID", 1}, {"FPriceDecimal", 3}});
        // November purchases from the supplier: 60 of the plain product, 40 of the batch product,
        // and a free gift; one purchase from December and one from another client.
        SeedBill(3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), 11,
                 {{"FClientID", kSupplier}, {"FBillDate", QDateTime(QDate(2026, 11, 10), QTime(9, 0))}},
                 {
                     {{"FProductID", kPlain}, {"FNumber", 6}, {"FTobeDiscountAmount", 60}, {"FIsPresent", 0}},
                     {{"FProductID", kBatch}, {"FNumber", 3}, {"FTobeDiscountAmount", 40}, {"FIsPresent", 0}},
                     {{"FProductID", kBatch}, {"FNumber", 1}, {"FTobeDiscountAmount", 0}, {"FIsPresent", 1}},
                 });
        SeedBill(3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), 12,
                 {{"FClientID", kSupplier}, {"FBillDate", QDateTime(QDate(2026, 12, 2), QTime(9, 0))}},
                 {{{"FProductID", kPlain}, {"FNumber", 1}, {"FTobeDiscountAmount", 10}, {"FIsPresent", 0}}});
        SeedBill(3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), 13,
                 {{"FClientID", kClient}, {"FBillDate", QDateTime(QDate(2026, 11, 10), QTime(9, 0))}},
                 {{{"FProductID", kPlain}, {"FNumber", 1}, {"FTobeDiscountAmount", 10}, {"FIsPresent", 0}}});
    }

    void seedRebate(double amount, const QDate &begin, const QDate &end, int receiveFormId = 0)
    {
        SeedBill(3017, QStringLiteral("t_ReturnForm"), QStringLiteral("t_ReturnList"), kRebate,
                 {{"FTypeID", 17}, {"FClientID", kSupplier}, {"FAmount", amount}, {"FBeginDate", begin}, {"FEndDate", end},
                  {"FReceiveFormID", receiveFormId}, {"FBillDate", QDateTime(QDate(2026, 12, 5), QTime(11, 30))}},
                 {});
    }

    static double lineFigure(int lineId, const char *column) { return Number(ColumnSql("t_PurList", column, lineId)); }
    static QVariant payBill(const char *column)
    {
        return Scalar(QStringLiteral("select %1 from t_ReceivePayForm where FFromFormBillID = %2").arg(column).arg(kRebate));
    }
};

TEST_F(RebateBill, SpreadsOverThePeriodsPurchasesAndWritesAPaymentBill)
{
    seedRebate(10, QDate(2026, 11, 1), QDate(2026, 11, 30));
    int code = 99;
    ASSERT_TRUE(check(3017, kRebate, QStringLiteral("t_ReturnForm"), &code));
    EXPECT_EQ(code, 0);

    EXPECT_DOUBLE_EQ(lineFigure(11001, "FReturnAmount"), 6);     // 60 / 100 x 10
    EXPECT_DOUBLE_EQ(lineFigure(11001, "FReturnPrice"), 1);      // 6 / 6
    EXPECT_DOUBLE_EQ(lineFigure(11002, "FReturnAmount"), 4);
    EXPECT_DOUBLE_EQ(lineFigure(11002, "FReturnPrice"), 1.333); // the company's 3 price places
    for (int line : {11001, 11002}) {
        EXPECT_EQ(lineFigure(line, "FIsReturn"), 1);
        EXPECT_EQ(lineFigure(line, "FReturnFromFormID"), kRebate);
    }
    for (int line : {11003, 12001, 13001}) { // gift, December, another supplier
        EXPECT_EQ(lineFigure(line, "FIsReturn"), 0) << line;
        EXPECT_EQ(lineFigure(line, "FReturnFromFormID"), 0) << line;
    }

    const int payId = payBill("FID").toInt();
    EXPECT_EQ(payId, 1); // the first key of an empty table
    EXPECT_EQ(Number(ColumnSql("t_ReturnForm", "FReceiveFormID", kRebate)), payId);
    EXPECT_EQ(payBill("FBillNo").toString(), QStringLiteral("FKD20261200001"));
    EXPECT_EQ(payBill("FNote").toString(), QStringLiteral("返利单生成的付款单,用于抵供应商欠款"));
    EXPECT_EQ(payBill("FBillTypeID").toInt(), 2);
    EXPECT_EQ(payBill("FTypeID").toInt(), 7);
    EXPECT_EQ(payBill("FFromBillTypeID").toInt(), 17);
    EXPECT_EQ(payBill("FBillerID").toInt(), kUserId);
    EXPECT_EQ(payBill("FClientID").toInt(), kSupplier);
    EXPECT_DOUBLE_EQ(payBill("FAmount").toDouble(), 10);
    EXPECT_EQ(payBill("FBillDate").toDateTime(), QDateTime(QDate(2026, 12, 5), QTime(11, 30)));
    expectFigures(kSupplier, 1000, 410, 590);
    EXPECT_EQ(Number(ColumnSql("t_ReturnForm", "FIsChecked", kRebate)), 1);

    ASSERT_TRUE(uncheck(3017, kRebate, QStringLiteral("t_ReturnForm"), &code));
    EXPECT_EQ(code, -1);
    for (int line : {11001, 11002}) {
        EXPECT_EQ(lineFigure(line, "FIsReturn"), 0);
        EXPECT_EQ(lineFigure(line, "FReturnFromFormID"), 0);
        EXPECT_EQ(lineFigure(line, "FReturnAmount"), 0);
        EXPECT_EQ(lineFigure(line, "FReturnPrice"), 0);
    }
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_ReceivePayForm where FID = %1").arg(payId)), 0);
    EXPECT_EQ(Number(ColumnSql("t_ReturnForm", "FReceiveFormID", kRebate)), 0);
    expectFigures(kSupplier, 1000, 400, 600);
}

TEST_F(RebateBill, SelectedProductsLimitTheSpread)
{
    seedRebate(10, QDate(2026, 11, 1), QDate(2026, 11, 30));
    InsertRow(QStringLiteral("t_ReturnList"), {{"FID", 1}, {"FFormID", kRebate}, {"FProductID", kPlain}, {"FIsSelected", 1}});
    InsertRow(QStringLiteral("t_ReturnList"), {{"FID", 2}, {"FFormID", kRebate}, {"FProductID", kBatch}, {"FIsSelected", 0}});
    ASSERT_TRUE(check(3017, kRebate, QStringLiteral("t_ReturnForm")));
    EXPECT_DOUBLE_EQ(lineFigure(11001, "FReturnAmount"), 10);
    EXPECT_EQ(lineFigure(11002, "FIsReturn"), 0);
}

TEST_F(RebateBill, PeriodWithoutPurchasesStillMakesThePaymentBillAndItsReversalRemovesIt)
{
    seedRebate(25, QDate(2026, 10, 1), QDate(2026, 10, 31));
    const auto purchasesBefore = SnapshotAllTables().value(QStringLiteral("t_purlist"));
    ASSERT_TRUE(check(3017, kRebate, QStringLiteral("t_ReturnForm")));
    EXPECT_TRUE(SnapshotAllTables().value(QStringLiteral("t_purlist")) == purchasesBefore);
    EXPECT_EQ(payBill("FBillNo").toString(), QStringLiteral("FKD20261200001"));
    EXPECT_EQ(payBill("FNote").toString(), QStringLiteral("返利单生成的付款单,用于抵供应商欠款"));
    EXPECT_DOUBLE_EQ(payBill("FAmount").toDouble(), 25);
    expectFigures(kSupplier, 1000, 425, 575);

    ASSERT_TRUE(uncheck(3017, kRebate, QStringLiteral("t_ReturnForm")));
    EXPECT_FALSE(payBill("FID").isValid());
    EXPECT_EQ(Number(ColumnSql("t_ReturnForm", "FReceiveFormID", kRebate)), 0);
    expectFigures(kSupplier, 1000, 400, 600);
}

TEST_F(RebateBill, AnExistingPaymentBillIsRefreshedInPlaceWithAFreshNumber)
{
    InsertRow(QStringLiteral("t_ReceivePayForm"), {{"FID", 55}, {"FBillNo", "FKD20261100009"}, {"FAmount", 3}});
    seedRebate(10, QDate(2026, 11, 1), QDate(2026, 11, 30), 55);
    int payId = 0;
    TransactionGuard tx(Db());
    ASSERT_TRUE(CreateReturnPayBill(kRebate, payId));
    EXPECT_EQ(payId, 55);
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_ReceivePayForm")), 1);
    EXPECT_EQ(payBill("FID").toInt(), 55);
    EXPECT_EQ(payBill("FBillNo").toString(), QStringLiteral("FKD20261200001"));
    EXPECT_DOUBLE_EQ(payBill("FAmount").toDouble(), 10);
}

TEST_F(RebateBill, FailsWithoutTheRebateOrWithoutThePaymentNumbering)
{
    int payId = -1;
    {
        TransactionGuard tx(Db());
        EXPECT_FALSE(CreateReturnPayBill(999, payId));
        int code = 99;
        EXPECT_FALSE(CheckUpdateData(3017, 999, QStringLiteral("t_ReturnForm"), code));
        EXPECT_EQ(code, 0);
    }
    seedRebate(10, QDate(2026, 11, 1), QDate(2026, 11, 30));
    Exec(QStringLiteral("delete from T_BillType"));
    const auto before = SnapshotAllTables();
    {
        TransactionGuard tx(Db());
        int code = 99;
        EXPECT_FALSE(CheckUpdateData(3017, kRebate, QStringLiteral("t_ReturnForm"), code));
        EXPECT_EQ(code, 0);
    }
    EXPECT_EQ(TablesChangedSince(before), "");
}

// ---------------------------------------------------------------------------
// Cost marks

class CostMarks : public ::testing::Test {
protected:
    void SetUp() override
    {
        EmptyAllTables();
        SeedWorld();
    }

    static void purchase(int bill, const QDate &date, int type = 3002)
    {
        SeedBill(type, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), bill,
                 {{"FStorehouseID", kStore}, {"FBillDate", QDateTime(date, QTime(15, 45))}},
                 {{{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 1}},
                  {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 2}}});
    }

    static QDate lastDate(int product, int period)
    {
        return Scalar(QStringLiteral("select FLastDate from t_billcalflag where FProductID = %1 and FPeriod = %2").arg(product).arg(period))
            .toDate();
    }
};

TEST_F(CostMarks, KeepTheEarliestDateOfThePeriod)
{
    purchase(1, QDate(2026, 12, 5));
    purchase(2, QDate(2026, 12, 20));
    purchase(3, QDate(2026, 12, 1));
    purchase(4, QDate(2027, 1, 3));

    ASSERT_TRUE(check(3002, 1, QStringLiteral("t_PurForm")));
    EXPECT_EQ(lastDate(kPlain, 202612), QDate(2026, 12, 5));
    ASSERT_TRUE(check(3002, 2, QStringLiteral("t_PurForm")));
    EXPECT_EQ(lastDate(kPlain, 202612), QDate(2026, 12, 5));
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_billcalflag")), 1);
    EXPECT_EQ(Number(QStringLiteral("select max(FTypeID) from t_billcalflag")), 0);

    ASSERT_TRUE(check(3002, 3, QStringLiteral("t_PurForm")));
    EXPECT_EQ(lastDate(kPlain, 202612), QDate(2026, 12, 1));
    ASSERT_TRUE(check(3002, 4, QStringLiteral("t_PurForm")));
    EXPECT_EQ(lastDate(kPlain, 202701), QDate(2027, 1, 3));
    EXPECT_EQ(lastDate(kPlain, 202612), QDate(2026, 12, 1));

    // The cost run consumed the marks: an uncheck marks from its bill's date again.
    Exec(QStringLiteral("update t_billcalflag set FLastDate = null"));
    ASSERT_TRUE(uncheck(3002, 2, QStringLiteral("t_PurForm")));
    EXPECT_EQ(lastDate(kPlain, 202612), QDate(2026, 12, 20));
    EXPECT_FALSE(lastDate(kPlain, 202701).isValid());
}

TEST_F(CostMarks, OnlyCostBillsMarkAndAssemblyMarksItsHeaderProductToo)
{
    EXPECT_TRUE(MarkBillCalFlag(3001, 1));
    EXPECT_TRUE(MarkBillCalFlag(3002, 999)); // no such bill
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_billcalflag")), 0);

    SeedBill(3001, QStringLiteral("t_PurOrderForm"), QStringLiteral("t_PurOrderList"), 5, {}, StandardLines());
    EXPECT_TRUE(MarkBillCalFlag(3001, 5));
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_billcalflag")), 0);

    SeedBill(3025, QStringLiteral("t_AssemblyForm"), QStringLiteral("t_AssemblyList"), 6,
             {{"FProductID", kAssembled}, {"FBillDate", QDateTime(QDate(2026, 12, 7), QTime(8, 0))}}, StandardLines());
    EXPECT_TRUE(MarkBillCalFlag(3025, 6));
    for (int product : {kPlain, kBatch, kAssembled})
        EXPECT_EQ(lastDate(product, 202612), QDate(2026, 12, 7)) << product;
}

} // namespace
