// Every bill type checked and unchecked, each case naming every figure of the books its bill
// moves; a failing step answering its code; and the entries' own rules.
#include "posting/posting_engine.h"
#include "posting_test_util.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <algorithm>
#include <cstring>
#include <optional>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

double plainStock() { return Number("select FCurStock from t_comProducts where FID = 1"); }

QVariantMap with(QVariantMap map, const QVariantMap &extra)
{
    map.insert(extra);
    return map;
}

QList<QVariantMap> linesAt(QList<QVariantMap> lines, QList<int> stores)
{
    for (int i = 0; i < lines.size(); ++i)
        lines[i].insert("FStorehouseID", stores.value(i, kStore));
    return lines;
}

const QVariantMap kOnOrderLine{{"FFromOrderListID", kSaleOrderLine}};
const QVariantMap kStock{{"FStorehouseID", kStore}, {"FClientID", kClient}, {"FCashID", kCash}, {"FAmount", 150}};
const QVariantMap kPay{{"FClientID", kClient}, {"FAmount", 80}, {"FCashID", kCash}};
const QVariantMap kOther{
    {"FStorehouseID", kStore}, {"FItemID", kClient}, {"FAmount", 30}, {"FTobeAmount", 150}, {"FCashID", kCash}};
// Receipts and payments settle 50 and 30 of two sales-out or purchase bills with two lines; a third settles nothing.
const QList<QVariantMap> kSettling{{{"FAmount", 50}, {"FFromBillID", kSettledBill}},
                                   {{"FAmount", 30}, {"FFromBillID", kSettledBill + 1}},
                                   {{"FAmount", 5}, {"FFromBillID", 0}}};
// What the standard lines move: 5 plain pieces and one box of 12 of the batch product, in or out; the box
// of B1 (5 in stock) takes the line's own batch first, then the oldest, B2.
const QString kIn = "stock1 5, stock2 12, bal1.1 5, bal1.2 12, balrows 2, ";
const QString kOut = "stock1 -5, stock2 -12, bal1.1 -5, bal1.2 -12, balrows 2, ";
const QString kBatchOut = "B1@1 -5, B2@1 -7, out 2, ";
const QString kClient30 = "paid1 30, total1 150, unpaid1 120, stamp1 1, ";
const QString kPaid80 = "paid1 80, unpaid1 -80, stamp1 1, ";

// clang-format off
std::vector<PostingCase> postingCases()
{
    return {
        // --- into stock
        {"PurchaseIn3002", 3002, "t_PurForm", "t_PurList", with(kStock, {{"FPayAmount", 30}}), StandardLines(),
         kIn + "B1@1 12, $B1@1 100, " + kClient30 + "cash1 -30, po501 2, po502 4, lastin1.1 10, lastin2.2 100, marks 2"},
        {"PurchaseReturn3015", 3015, "t_PurForm", "t_PurList", with(kStock, {{"FAmount", -150}, {"FPayAmount", -30}}), StandardLines(-1),
         kOut + "paid1 -30, total1 -150, unpaid1 -120, stamp1 1, cash1 30, marks 2",
         "balrows 2, stamp1 1, marks 2, po501 2, po502 4"}, // its uncheck takes back purchase-order completion
        {"OtherIn3019", 3019, "t_OtherOutInForm", "t_OtherOutInList", with(kOther, {{"FItemTypeID", 2}}), StandardLines(),
         kIn + "B1@1 12, $B1@1 100, paid1 -30, total1 -150, unpaid1 -120, stamp1 1, cash1 -30, marks 2"},
        {"OtherInForEmployee3019", 3019, "t_OtherOutInForm", "t_OtherOutInList", with(kOther, {{"FItemTypeID", 1}}), StandardLines(),
         kIn + "B1@1 12, $B1@1 100, cash1 -30, marks 2"},
        {"StockGain3021", 3021, "t_LossGainForm", "t_LossGainList", {{"FStorehouseID", kStore}}, StandardLines(), kIn + "B1@1 12, $B1@1 100, marks 2"},
        // The finished goods' batch step releases on check (nothing to release) and allocates on uncheck.
        {"FinishedGoodsIn3090", 3090, "t_infinishform", "t_infinishlist", with(kStock, {{"FPayAmount", 30}}), StandardLines(),
         kIn + kClient30 + "cash1 -30, task801 2, task802 4, marks 2", "balrows 2, stamp1 1, marks 2, " + kBatchOut},
        // Units: without a unit row as entered, with a null ratio 0; an unpriced line keeps the last price.
        {"PurchaseInOddUnits3002", 3002, "t_PurForm", "t_PurList", {{"FStorehouseID", kStore}},
         {Line(kBatch, kUnitCarton, 4, 0, {"B1", "2026-01-01"}), Line(kPlain, kUnitPack, 5), Line(kBatch, kUnitPiece, 3, 0, {"B1", "2026-01-01"})},
         "stock2 7, bal1.2 7, balrows 2, B1@1 7, marks 2"},
        // --- out of stock
        {"SalesOut3004", 3004, "t_SaleOutForm", "t_SaleOutList", with(kStock, {{"FReceiveAmount", 30}}), StandardLines(),
         kOut + kBatchOut + kClient30 + "cash1 30, so501 2, so502 4, lastout1.1 10, lastout2.2 100, cp1.1.1 10, cp1.2.2 100, cprows 2, marks 2"},
        {"SalesReturn3016", 3016, "t_SaleOutForm", "t_SaleOutList", with(kStock, {{"FAmount", -150}, {"FReceiveAmount", -30}}), StandardLines(-1),
         kIn + "paid1 -30, total1 -150, unpaid1 -120, stamp1 1, cash1 -30, so501 -2, so502 -4, marks 2"},
        {"RetailSaleToAClientWithoutFigures3005", 3005, "t_SaleOutForm", "t_SaleOutList",
         with(kStock, {{"FClientID", kFresh}, {"FReceiveAmount", 30}, {"FPosCashAmount", 20}, {"FPosBankAmount", 10}}), StandardLines(),
         kOut + kBatchOut + "paid3 30, total3 150, unpaid3 120, stamp3 1, cash1 30, cp3.1.1 10, cp3.2.2 100, cprows 2, marks 2"},
        {"OtherOut3020", 3020, "t_OtherOutInForm", "t_OtherOutInList", with(kOther, {{"FItemTypeID", 3}}), StandardLines(),
         kOut + kBatchOut + "paid1 -30, total1 -150, unpaid1 -120, stamp1 1, cash1 30, marks 2"},
        {"StockLoss3022", 3022, "t_LossGainForm", "t_LossGainList", {{"FStorehouseID", kStore}}, StandardLines(), kOut + kBatchOut + "marks 2"},
        {"MaterialPicking3089", 3089, "t_outpickingForm", "t_outpickinglist", {{"FStorehouseID", kStore}}, StandardLines(),
         kOut + kBatchOut + "tl701 2, tl702 4, marks 2"},
        // Two lines on one order line and two lines on one batch row: every line counts, and goes back.
        {"SharedTargets3004", 3004, "t_SaleOutForm", "t_SaleOutList", {{"FStorehouseID", kStore}},
         {Line(kPlain, kUnitPiece, 2, 0, {}, kOnOrderLine), Line(kPlain, kUnitPiece, 3, 0, {}, kOnOrderLine),
          Line(kBatch, kUnitPiece, 4, 0, {"B2", "2026-02-01"}), Line(kBatch, kUnitPiece, 6, 0, {"B2", "2026-02-01"})},
         "stock1 -5, stock2 -10, bal1.1 -5, bal1.2 -10, balrows 2, so501 5, B2@1 -10, out 2, cprows 2, marks 2"},
        // --- stocktake, transfer, assembly
        {"Stocktake3011", 3011, "t_inventoryform", "t_inventorylist", {{"FStorehouseID", kStore}},
         {{{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FInGainNumber", 4}, {"FOutLossNumber", 0}},
          {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FInGainNumber", 0}, {"FOutLossNumber", 1}},
          {{"FProductID", kBatch}, {"FUnitID", kUnitBox}, {"FInGainNumber", 1}, {"FOutLossNumber", 0}, {"FBatchNo1", "B9"}, {"FKFDate", QDate(2026, 4, 1)}, {"FAmount", 100}},
          {{"FProductID", kBatch}, {"FUnitID", kUnitPiece}, {"FInGainNumber", 0}, {"FOutLossNumber", 2}, {"FBatchNo1", "B2"}, {"FKFDate", QDate(2026, 2, 1)}}},
         "stock1 3, stock2 10, bal1.1 3, bal1.2 10, balrows 2, B9@1 12, $B9@1 100, batchrows 1, B2@1 -2, out 1, marks 2"},
        {"Transfer3018", 3018, "t_TransferForm", "t_TransferList", {{"FOutStorehouseID", kStore}, {"FInStorehouseID", kStore2}}, StandardLines(),
         "bal1.1 -5, bal2.1 5, bal1.2 -12, bal2.2 12, balrows 4, B1@1 -5, B2@1 -7, out 2, B1@2 12, $B1@2 100, batchrows 1, marks 2"},
        // Components leave from their lines' storehouses (the batch product at the second, which holds no
        // batch, as a shortage) and in two units; one box of the assembled product comes in.
        {"Assembly3025", 3025, "t_AssemblyForm", "t_AssemblyList",
         {{"FProductID", kAssembled}, {"FUnitID", kUnitBox}, {"FNumber", 1}, {"FStorehouseID", kStore}, {"FAmount", 50}, {"FBatchNo1", "H7"}, {"FKFDate", QDate(2026, 5, 1)}},
         linesAt(StandardLines() << Line(kBatch, kUnitPiece, 5, 0, {"B2", "2026-02-01"}) << Line(kBatch, kUnitPiece, 4), {kStore, kStore, kStore, kStore, kStore2}),
         "stock1 -5, stock2 -21, stock3 12, bal1.1 -5, bal1.2 -17, bal2.2 -4, bal1.3 12, balrows 4, "
         "B1@1 -5, B2@1 -12, @2 -4, H7@1 12, $H7@1 50, balblank 4, batchrows 2, out 4, marks 3"},
        {"Dismantling3026", 3026, "t_AssemblyForm", "t_AssemblyList",
         {{"FProductID", kAssembled}, {"FUnitID", kUnitPiece}, {"FNumber", 2}, {"FStorehouseID", kStore}, {"FBatchNo1", "H1"}, {"FKFDate", QDate(2026, 3, 1)}},
         linesAt(StandardLines(), {kStore, kStore, kStore2}),
         "stock1 5, stock2 12, stock3 -2, bal1.1 5, bal2.2 12, bal1.3 -2, balrows 3, balblank 3, H1@1 -2, out 1, B1@2 12, $B1@2 100, batchrows 1, marks 3"},

        // --- money and counters
        {"PurchaseOrder3001", 3001, "t_PurOrderForm", "t_PurOrderList", {{"FClientID", kClient}, {"FPayAmount", 30}, {"FAmount", 150}, {"FCashID", kCash}},
         StandardLines(), "paid1 30, unpaid1 -30, stamp1 1, cash1 -30, sopo501 2, sopo502 4"},
        {"SalesOrder3003", 3003, "t_SaleOrderForm", "t_SaleOrderList", {{"FClientID", kClient}, {"FReceiveAmount", 30}, {"FCashID", kCash}}, {},
         "paid1 30, unpaid1 -30, stamp1 1, cash1 30"},
        {"SalesOrderOfAnUnknownClient3003", 3003, "t_SaleOrderForm", "t_SaleOrderList", {{"FClientID", 99}, {"FReceiveAmount", 30}, {"FCashID", kCash}}, {}, "cash1 30"},
        {"Consignment3006", 3006, "t_SaleForForm", "t_SaleForList",
         {{"FCustomerID", kClient}, {"FSupplierID", kSupplier}, {"FReceiveAmount", 30}, {"FAmount", 150}, {"FPayAmount", 20}, {"FPayTobeAmount", 100}, {"FCashID", kCash}},
         StandardLines(), kClient30 + "paid2 20, total2 100, unpaid2 80, stamp2 1, cash1 10, lastout1.1 10, lastout2.2 100, cp1.1.1 10, cp1.2.2 100, cprows 2, marks 2"},
        {"Receipt3007", 3007, "t_ReceivePayForm", "t_receivepayList", kPay, kSettling, kPaid80 + "cash1 80, sold901 50, sold902 30"},
        {"Receipt3013", 3013, "t_ReceivePayForm", "t_receivepayList", kPay, kSettling, kPaid80 + "cash1 80, sold901 50, sold902 30"},
        {"ReceiptToNoCashAccount3007", 3007, "t_ReceivePayForm", "t_receivepayList", with(kPay, {{"FCashID", 99}}), kSettling, kPaid80 + "sold901 50, sold902 30"},
        {"ReceiptWithoutCash3041", 3041, "t_ReceivePayForm", "t_receivepayList", kPay, kSettling, kPaid80 + "sold901 50, sold902 30"},
        {"Payment3008", 3008, "t_ReceivePayForm", "t_receivepayList", kPay, kSettling, kPaid80 + "cash1 -80, bought901 50, bought902 30"},
        {"Payment3012", 3012, "t_ReceivePayForm", "t_receivepayList", kPay, kSettling, kPaid80 + "cash1 -80, bought901 50, bought902 30"},
        {"PaymentWithoutCash3042", 3042, "t_ReceivePayForm", "t_receivepayList", kPay, kSettling, kPaid80 + "bought901 50, bought902 30"},
        {"Fee3010", 3010, "t_FeeForm", "t_FeeList", kPay, {}, "cash1 -80"},
        {"Income3014", 3014, "t_Account", "", with(kPay, {{"FBillTypeID", 1}}), {}, kPaid80 + "cash1 80"},
        {"Expense3014", 3014, "t_Account", "", with(kPay, {{"FBillTypeID", 2}}), {}, kPaid80 + "cash1 -80"},
        {"NeitherIncomeNorExpense3014", 3014, "t_Account", "", with(kPay, {{"FBillTypeID", 0}}), {}, kPaid80},
        {"Income3028", 3028, "t_Account", "", with(kPay, {{"FBillTypeID", 1}}), {}, kPaid80 + "cash1 80"},
        {"Expense3029", 3029, "t_Account", "", with(kPay, {{"FBillTypeID", 2}}), {}, kPaid80 + "cash1 -80"},
        {"OtherPayable3032", 3032, "t_ReceivePayForm", "", {{"FClientID", kClient}, {"FTobeAmount", 150}}, {}, "total1 150, unpaid1 150, stamp1 1"},
        {"OtherPayable3033", 3033, "t_ReceivePayForm", "", {{"FClientID", kClient}, {"FTobeAmount", 150}}, {}, "total1 150, unpaid1 150, stamp1 1"},
        {"OtherPayable3034", 3034, "t_ReceivePayForm", "", {{"FClientID", kClient}, {"FTobeAmount", 150}}, {}, "total1 150, unpaid1 150, stamp1 1"},
        {"OtherPayable3035", 3035, "t_ReceivePayForm", "", {{"FClientID", kClient}, {"FTobeAmount", 150}}, {}, "total1 150, unpaid1 150, stamp1 1"},
        // The production task moves no stock: only the production counter of its sales order line.
        {"ProductionTask3049", 3049, "t_ProTaskForm", "t_ProTaskList", {{"FProductID", kAssembled}, {"FUnitID", kUnitPiece}, {"FNumber", 7}, {"FFromListID", kSaleOrderLine}},
         {{{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 14}}}, "sotask501 7"},
        {"ProductionTaskWithoutOrderLine3049", 3049, "t_ProTaskForm", "t_ProTaskList", {{"FProductID", kAssembled}, {"FNumber", 7}, {"FFromListID", 0}}, {}, ""},
        // --- no steps: only flagged (and marked for the cost run), or for 3047 not even flagged
        {"CostAdjustmentOnlyFlagged3043", 3043, "t_costadjustform", "t_costadjustlist", {{"FStorehouseID", kStore}, {"FAmount", 150}}, StandardLines(), "marks 2"},
        {"NoStepsNoFlag3047", 3047, "t_costadjustform", "t_costadjustlist", {{"FStorehouseID", kStore}, {"FIsChecked", 1}, {"FCheckerID", 3}},
         StandardLines(), "", {}, false},
    };
}
// clang-format on

const PostingCase &caseNamed(const char *name)
{
    static const std::vector<PostingCase> cases = postingCases();
    return *std::find_if(cases.begin(), cases.end(),
                         [&](const PostingCase &c) { return std::strcmp(c.name, name) == 0; });
}

void seed(const PostingCase &c) { SeedBill(c.billType, c.form, c.list, kCaseBillId, c.header, c.lines); }

using BillPosting = PostingCaseTest<PostingCase>;

TEST_P(BillPosting, CheckMovesEveryFigureAndUncheckTakesThemBack) { RunPostingCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(EveryFamily, BillPosting, ::testing::ValuesIn(postingCases()),
                         [](const ::testing::TestParamInfo<PostingCase> &p) { return std::string(p.param.name); });

// A step that meets a server error ends the entry with its code; the caller's rollback leaves
// every table. SchemaBreak renames a table or column for one test and puts it back.
class SchemaBreak {
public:
    explicit SchemaBreak(const QString &table, const QString &column = {}) : m_table(table), m_column(column)
    {
        Exec(rename("", "_off"));
    }
    ~SchemaBreak() { QSqlQuery(Db()).exec(rename("_off", "")); }

private:
    QString rename(const QString &from, const QString &to) const
    {
        const QString type = m_column == "FCheckerDate" ? "datetime" : "decimal(24,8)";
        return m_column.isEmpty()
            ? Sql("rename table %1%2 to %1%3", m_table, from, to)
            : Sql("alter table %1 change %2%3 %2%4 %5 default null", m_table, m_column, from, to, type);
    }
    QString m_table;
    QString m_column;
};

struct FailCase {
    const char *name;
    const char *bill; // a posting case
    bool uncheck;
    const char *table;
    const char *column; // empty: the table goes
    int code;
};
void PrintTo(const FailCase &c, std::ostream *os) { *os << c.name; }

// clang-format off
const FailCase kFailCases[] = {
    {"CheckClientPay", "PurchaseIn3002", false, "t_comClient", "", 1},
    {"CheckClientTotal", "PurchaseIn3002", false, "t_comClient", "FTotalAmount", 2},
    {"CheckCurrentStock", "PurchaseIn3002", false, "t_comProducts", "", 3},
    {"CheckBalance", "PurchaseIn3002", false, "t_Balance", "", 4},
    {"CheckIncomingBatch", "PurchaseIn3002", false, "t_comProductBatchNo", "", 14},
    {"CheckOrderCompletion", "PurchaseIn3002", false, "t_PurOrderList", "", 5},
    {"CheckCashLeavesCode0", "PurchaseIn3002", false, "t_comCash", "", 0},
    {"CheckClientUnpaid", "PurchaseOrder3001", false, "t_comClient", "FUnPayAmount", 6},
    {"CheckOutgoingBatch", "SalesOut3004", false, "t_comProductOutBatchNo", "", 4},
    {"CheckOtherInClient", "OtherIn3019", false, "t_comClient", "", 1},
    {"CheckProductionTaskCompletion", "ProductionTask3049", false, "t_SaleOrderList", "", 15},
    {"CheckFlagStatement", "Fee3010", false, "t_FeeForm", "FCheckerDate", 7},
    {"UncheckClientPay", "PurchaseIn3002", true, "t_comClient", "", 11},
    {"UncheckClientTotal", "PurchaseIn3002", true, "t_comClient", "FTotalAmount", 12},
    {"UncheckCurrentStock", "PurchaseIn3002", true, "t_comProducts", "", 13},
    {"UncheckBalance", "PurchaseIn3002", true, "t_Balance", "", 14},
    {"UncheckOrderCompletion", "PurchaseIn3002", true, "t_PurOrderList", "", 15},
    {"UncheckCashLeavesMinus1", "PurchaseIn3002", true, "t_comCash", "", -1},
    {"UncheckClientUnpaid", "PurchaseOrder3001", true, "t_comClient", "FUnPayAmount", 16},
    {"UncheckOutgoingBatchRelease", "SalesOut3004", true, "t_comProductOutBatchNo", "", 4},
    {"UncheckOtherInClient", "OtherIn3019", true, "t_comClient", "", 1},
    {"UncheckFlagStatement", "Fee3010", true, "t_FeeForm", "FCheckerDate", 7},
};
// clang-format on

using FailingStep = PostingCaseTest<FailCase>;

TEST_P(FailingStep, AnswersItsCodeAndTheRollbackLeavesEveryTable)
{
    const FailCase &c = GetParam();
    const PostingCase &bill = caseNamed(c.bill);
    seed(bill);
    if (c.uncheck) {
        ASSERT_TRUE(Post(true, bill.billType, kCaseBillId, bill.form));
    }
    const SchemaBreak broken(c.table, c.column);
    const auto before = AllTablesChecksum();
    int code = 99;
    {
        TransactionGuard tx(Db());
        try {
            c.uncheck ? UnCheckUpdateData(bill.billType, kCaseBillId, bill.form, code)
                      : CheckUpdateData(bill.billType, kCaseBillId, bill.form, code);
            ADD_FAILURE() << "the server's error did not reach the caller";
        } catch (const DbError &e) {
            EXPECT_EQ(e.code(), *c.column ? 1054 : 1146);
            EXPECT_FALSE(e.isRetryable());
        }
        EXPECT_EQ(code, c.code) << "the code names the step that met the error";
        tx.rollback();
    }
    EXPECT_EQ(TablesChangedSince(before), "");
}

INSTANTIATE_TEST_SUITE_P(EveryCode, FailingStep, ::testing::ValuesIn(kFailCases),
                         [](const ::testing::TestParamInfo<FailCase> &p) { return std::string(p.param.name); });

using PostingEntries = PostingTest;

TEST_F(PostingEntries, AnEmptyHeaderNameFailsWithCode8AfterThePostings)
{
    seed(caseNamed("PurchaseIn3002"));
    const auto before = AllTablesChecksum();
    int code = 99;
    {
        TransactionGuard tx(Db());
        EXPECT_TRUE(UnCheckUpdateData(3002, 0, "  ", code)) << "unchecking no bill does nothing";
        EXPECT_EQ(code, -1);
        EXPECT_FALSE(CheckUpdateData(3002, kCaseBillId, "  ", code));
        EXPECT_EQ(code, 8);
        EXPECT_EQ(plainStock(), 5) << "the postings did run";
        tx.rollback();
    }
    EXPECT_EQ(TablesChangedSince(before), "");
}

// A failed cost mark is undone inside its savepoint and the check goes on.
TEST_F(PostingEntries, AFailingCostMarkDoesNotStopTheCheck)
{
    seed(caseNamed("PurchaseIn3002"));
    const SchemaBreak broken("t_billcalflag");
    int code = 99;
    ASSERT_TRUE(Post(true, 3002, kCaseBillId, QStringLiteral("t_PurForm"), &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(plainStock(), 5);
    EXPECT_EQ(Number(Sql("select FIsChecked from t_PurForm where FID = %1", kCaseBillId)), 1);
}

// A deadlock among the cost marks ended the transaction: the entry throws a retryable error
// instead of writing the postings outside of it.
TEST_F(PostingEntries, ADeadlockAmongTheCostMarksEndsTheEntryBeforeAnyPosting)
{
    seed(caseNamed("PurchaseIn3002"));
    Exec(Sql("insert into t_billcalflag(FProductID,FTypeID,FPeriod) values (%1,0,202612),(%2,0,202612)", kPlain,
             kBatch));
    const auto before = AllTablesChecksum();
    std::promise<void> markLocked;
    std::promise<void> cashLocked;
    auto other = OnOwnThread("other-workstation", [&](const QSqlDatabase &db) {
        Exec("START TRANSACTION", db);
        // A larger transaction than ours, so that the server picks ours to roll back.
        for (int i = 0; i < 20; ++i)
            Exec("insert into zzsyslog(FMsgCont) values('busy')", db);
        Exec(Sql("update t_billcalflag set FLastDate = '2026-12-31' where FProductID = %1", kPlain), db);
        markLocked.set_value();
        cashLocked.get_future().wait();
        Exec(Sql("update t_comCash set FBalance = 1 where FID = %1", kCash), db); // waits for us
        Exec("ROLLBACK", db);
        return true;
    });
    markLocked.get_future().wait();
    int code = 99;
    std::optional<DbError> thrown;
    {
        TransactionGuard tx(Db());
        Exec(QStringLiteral("update t_comCash set FBalance = FBalance + 1 where FID = %1").arg(kCash));
        cashLocked.set_value();
        WaitForLockWaits(1); // the other workstation now waits for our cash row
        try {
            CheckUpdateData(3002, kCaseBillId, QStringLiteral("t_PurForm"), code);
        } catch (const DbError &e) {
            thrown = e;
        }
        tx.rollback();
    }
    other.get();
    ASSERT_TRUE(thrown.has_value());
    EXPECT_EQ(thrown->kind(), DbErrorKind::TransactionEnded);
    EXPECT_TRUE(thrown->isRetryable());
    EXPECT_EQ(code, 0);
    EXPECT_EQ(TablesChangedSince(before), "");
}

} // namespace
