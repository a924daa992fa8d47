// Every stock-moving bill type checked and unchecked through the posting entries: each case
// seeds one bill of the standard lines (the plain product twice in pieces, the batch product
// once in boxes of 12) and names every figure the bill must move.
#include "posting_test_util.h"
#include "test_db.h"

#include <gtest/gtest.h>

using namespace protask::testing;
using namespace protask::testing::world;

namespace {

constexpr int kPeriod = 202612;

QVariantMap withStore(QVariantMap line)
{
    line.insert(QStringLiteral("FStorehouseID"), kStore);
    return line;
}

QList<QVariantMap> linesWithStore(int sign = 1)
{
    QList<QVariantMap> lines;
    for (const QVariantMap &l : StandardLines(sign))
        lines << withStore(l);
    return lines;
}

QList<QVariantMap> unlinked(QList<QVariantMap> lines)
{
    for (QVariantMap &l : lines)
        l.insert(QStringLiteral("FFromOrderListID"), 0);
    return lines;
}

// Plain 5 pieces and batch product 12 pieces, in (sign +1) or out (-1), at one storehouse.
QList<Probe> stock(int sign, int store = kStore)
{
    return {
        Moves("plain product stock", CurStockSql(kPlain), 5 * sign),
        Moves("batch product stock (1 box = 12)", CurStockSql(kBatch), 12 * sign),
        Moves("plain product balance", BalanceSql(store, kPlain), 5 * sign),
        Stays("one balance row for both plain lines", BalanceRowsSql(store, kPlain), 1),
        Moves("batch product balance", BalanceSql(store, kBatch), 12 * sign),
    };
}

QList<Probe> batchIn()
{
    return {
        Moves("the line's batch B1 receives the box", BatchSql(kStore, kBatch, "B1"), 12),
        Moves("B2 untouched", BatchSql(kStore, kBatch, "B2"), 0),
        Moves("no out-batch record", OutBatchRowsSql(kCaseBillId), 0),
    };
}

// The line names B1 (5 in stock): 5 from it, the other 7 from the next oldest batch B2.
QList<Probe> batchOut()
{
    return {
        Moves("the line's own batch first", BatchSql(kStore, kBatch, "B1"), -5),
        Moves("then the oldest", BatchSql(kStore, kBatch, "B2"), -7),
        Moves("one out-batch record per batch taken", OutBatchRowsSql(kCaseBillId), 2),
    };
}

QList<Probe> noBatch()
{
    return {
        Moves("B1 untouched", BatchSql(kStore, kBatch, "B1"), 0),
        Moves("B2 untouched", BatchSql(kStore, kBatch, "B2"), 0),
        Moves("no out-batch record", OutBatchRowsSql(kCaseBillId), 0),
    };
}

QList<Probe> client(int id, double paid, double total, double unpaid)
{
    return {
        Moves("client paid", ClientSql(id, "FPayAmount"), paid),
        Moves("client total", ClientSql(id, "FTotalAmount"), total),
        Moves("client unpaid", ClientSql(id, "FUnPayAmount"), unpaid),
        Stays("client time stamp", ClientStampedSql(id), (paid != 0 || total != 0 || unpaid != 0) ? 1 : 0),
    };
}

Probe cash(double delta) { return Moves("cash balance", CashSql(kCash), delta); }
Probe marks(int products) { return Stays("cost marks of 2026-12", CostMarksSql(kPeriod), products); }

QList<Probe> lastIn(double plainPrice, double boxPrice)
{
    return {
        Stays("last purchase price of the plain piece", UnitPriceSql(kPlain, kUnitPiece, "FLastInPrice"), plainPrice),
        Stays("last purchase price of the box", UnitPriceSql(kBatch, kUnitBox, "FLastInPrice"), boxPrice),
        Stays("last purchase date set", UnitPriceSql(kBatch, kUnitBox, "FLastInDate is not null"), boxPrice != 0 ? 1 : 0),
        Stays("no last sale price", UnitPriceSql(kBatch, kUnitBox, "FLastOutPrice"), 0),
    };
}

QList<Probe> lastOut(double plainPrice, double boxPrice)
{
    return {
        Stays("last sale price of the plain piece", UnitPriceSql(kPlain, kUnitPiece, "FLastOutPrice"), plainPrice),
        Stays("last sale price of the box", UnitPriceSql(kBatch, kUnitBox, "FLastOutPrice"), boxPrice),
        Stays("last sale date set", UnitPriceSql(kBatch, kUnitBox, "FLastOutDate is not null"), boxPrice != 0 ? 1 : 0),
        Stays("no last purchase price", UnitPriceSql(kBatch, kUnitBox, "FLastInPrice"), 0),
    };
}

QList<Probe> clientPrices(int rows, double boxPrice)
{
    return {
        Stays("client price rows (product and unit)", ClientPriceRowsSql(kClient), rows),
        Stays("client's box price",
              QStringLiteral("select IfNull(sum(FPrice),0) from t_comProductsPrice where FClientID = %1 and FProductID = %2 and "
                             "FUnitID = %3")
                  .arg(kClient)
                  .arg(kBatch)
                  .arg(kUnitBox),
              boxPrice),
    };
}

// The first standard line counts on the first target, the second on the second.
QList<Probe> finish(const QString &table, const QString &column, int first, int second, int sign = 1)
{
    return {
        Moves(table + "." + column + " of the first target", ColumnSql(table, column, first), 2 * sign),
        Moves(table + "." + column + " of the second target", ColumnSql(table, column, second), 3 * sign),
    };
}

QList<Probe> noFinish(const QString &table, const QString &column, int first, int second)
{
    return finish(table, column, first, second, 0);
}

QList<Probe> operator+(QList<Probe> a, const Probe &b)
{
    a.append(b);
    return a;
}

const QVariantMap kHeader{{"FStorehouseID", kStore}, {"FClientID", kClient}, {"FCashID", kCash}, {"FAmount", 150}};

QVariantMap header(QVariantMap extra)
{
    QVariantMap h = kHeader;
    h.insert(extra);
    return h;
}

std::vector<PostingCase> stockCases()
{
    std::vector<PostingCase> cases;

    // --- into stock
    cases.push_back({"PurchaseIn3002", 3002, "t_PurForm", "t_PurList", header({{"FPayAmount", 30}}), StandardLines(),
                     stock(+1) + batchIn() + client(kClient, 30, 150, 120) + cash(-30)
                         + finish("t_PurOrderList", "FFinishNumber", kPurOrderLine, kPurOrderLine2) + lastIn(10, 100)
                         + clientPrices(0, 0) + marks(2)});
    cases.push_back({"PurchaseReturn3015", 3015, "t_PurForm", "t_PurList",
                     header({{"FAmount", -150}, {"FPayAmount", -30}}), unlinked(StandardLines(-1)),
                     stock(-1) + noBatch() + client(kClient, -30, -150, -120) + cash(30)
                         + noFinish("t_PurOrderList", "FFinishNumber", kPurOrderLine, kPurOrderLine2) + lastIn(0, 0) + marks(2)});
    cases.push_back({"OtherIn3019", 3019, "t_OtherOutInForm", "t_OtherOutInList",
                     {{"FStorehouseID", kStore}, {"FItemTypeID", 2}, {"FItemID", kClient}, {"FAmount", 30},
                      {"FTobeAmount", 150}, {"FCashID", kCash}},
                     StandardLines(), stock(+1) + batchIn() + client(kClient, -30, -150, -120) + cash(-30) + marks(2)});
    cases.push_back({"OtherInForEmployee3019", 3019, "t_OtherOutInForm", "t_OtherOutInList",
                     {{"FStorehouseID", kStore}, {"FItemTypeID", 1}, {"FItemID", kClient}, {"FAmount", 30},
                      {"FTobeAmount", 150}, {"FCashID", kCash}},
                     StandardLines(), stock(+1) + batchIn() + client(kClient, 0, 0, 0) + cash(-30) + marks(2)});
    cases.push_back({"StockGain3021", 3021, "t_LossGainForm", "t_LossGainList", {{"FStorehouseID", kStore}}, StandardLines(),
                     stock(+1) + batchIn() + client(kClient, 0, 0, 0) + marks(2)});
    // The finished goods' batch step releases on check (nothing to release) and allocates on
    // uncheck.
    cases.push_back({"FinishedGoodsIn3090", 3090, "t_infinishform", "t_infinishlist", header({{"FPayAmount", 30}}),
                     StandardLines(),
                     stock(+1) + finish("t_ProTaskForm", "FFinishNumber", kTask, kTask2) + client(kClient, 30, 150, 120) + cash(-30)
                         + Changes("B1 after check and uncheck", BatchSql(kStore, kBatch, "B1"), 0, -5)
                         + Changes("B2 after check and uncheck", BatchSql(kStore, kBatch, "B2"), 0, -7)
                         + Changes("out-batch records", OutBatchRowsSql(kCaseBillId), 0, 2) + marks(2)});

    // --- out of stock
    cases.push_back({"SalesOut3004", 3004, "t_SaleOutForm", "t_SaleOutList", header({{"FReceiveAmount", 30}}),
                     StandardLines(),
                     stock(-1) + batchOut() + client(kClient, 30, 150, 120) + cash(30)
                         + finish("t_SaleOrderList", "FFinishNumber", kSaleOrderLine, kSaleOrderLine2) + lastOut(10, 100)
                         + clientPrices(2, 100) + marks(2)});
    cases.push_back({"SalesReturn3016", 3016, "t_SaleOutForm", "t_SaleOutList",
                     header({{"FAmount", -150}, {"FReceiveAmount", -30}}), StandardLines(-1),
                     stock(+1) + noBatch() + client(kClient, -30, -150, -120) + cash(-30)
                         + finish("t_SaleOrderList", "FFinishNumber", kSaleOrderLine, kSaleOrderLine2, -1) + lastOut(0, 0)
                         + clientPrices(0, 0) + marks(2)});
    cases.push_back({"RetailSale3005", 3005, "t_SaleOutForm", "t_SaleOutList",
                     header({{"FReceiveAmount", 30}, {"FPosCashAmount", 20}, {"FPosBankAmount", 10}}), StandardLines(),
                     stock(-1) + batchOut() + client(kClient, 30, 150, 120) + cash(30)
                         + noFinish("t_SaleOrderList", "FFinishNumber", kSaleOrderLine, kSaleOrderLine2) + lastOut(0, 0)
                         + clientPrices(2, 100) + marks(2)});
    cases.push_back({"OtherOut3020", 3020, "t_OtherOutInForm", "t_OtherOutInList",
                     {{"FStorehouseID", kStore}, {"FItemTypeID", 3}, {"FItemID", kClient}, {"FAmount", 30},
                      {"FTobeAmount", 150}, {"FCashID", kCash}},
                     StandardLines(), stock(-1) + batchOut() + client(kClient, -30, -150, -120) + cash(30) + marks(2)});
    cases.push_back({"StockLoss3022", 3022, "t_LossGainForm", "t_LossGainList", {{"FStorehouseID", kStore}}, StandardLines(),
                     stock(-1) + batchOut() + marks(2)});
    cases.push_back({"MaterialPicking3089", 3089, "t_outpickingForm", "t_outpickinglist", {{"FStorehouseID", kStore}},
                     StandardLines(),
                     stock(-1) + batchOut() + finish("t_ProTaskList", "FFinishNumber", kTaskLine, kTaskLine2) + marks(2)});

    // --- stocktake: gains in, losses out, each with its own batch step
    cases.push_back({"Stocktake3011", 3011, "t_inventoryform", "t_inventorylist", {{"FStorehouseID", kStore}},
                     {
                         {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FInGainNumber", 4}, {"FOutLossNumber", 0}},
                         {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FInGainNumber", 0}, {"FOutLossNumber", 1}},
                         {{"FProductID", kBatch}, {"FUnitID", kUnitBox}, {"FInGainNumber", 1}, {"FOutLossNumber", 0},
                          {"FBatchNo1", "B9"}, {"FKFDate", QDate(2026, 4, 1)}, {"FAmount", 100}},
                         {{"FProductID", kBatch}, {"FUnitID", kUnitPiece}, {"FInGainNumber", 0}, {"FOutLossNumber", 2},
                          {"FBatchNo1", "B2"}, {"FKFDate", QDate(2026, 2, 1)}},
                     },
                     {
                         Moves("plain stock: 4 gained, 1 lost", CurStockSql(kPlain), 3),
                         Moves("batch product: a box gained, 2 pieces lost", CurStockSql(kBatch), 10),
                         Moves("plain balance", BalanceSql(kStore, kPlain), 3),
                         Stays("one balance row for the plain product", BalanceRowsSql(kStore, kPlain), 1),
                         Moves("batch product balance", BalanceSql(kStore, kBatch), 10),
                         Moves("gain into its new batch B9", BatchSql(kStore, kBatch, "B9"), 12),
                         Stays("batch row B9 created", QStringLiteral("select count(*) from t_comProductBatchNo where FBatchNo1 = 'B9'"), 1),
                         Moves("loss out of its batch B2", BatchSql(kStore, kBatch, "B2"), -2),
                         Moves("B1 untouched", BatchSql(kStore, kBatch, "B1"), 0),
                         Moves("one out-batch record", OutBatchRowsSql(kCaseBillId), 1),
                         marks(2),
                     }});

    // --- transfer: between storehouses, the products' stock stays
    cases.push_back({"Transfer3018", 3018, "t_TransferForm", "t_TransferList",
                     {{"FOutStorehouseID", kStore}, {"FInStorehouseID", kStore2}}, StandardLines(),
                     {
                         Moves("plain stock unchanged", CurStockSql(kPlain), 0),
                         Moves("batch product stock unchanged", CurStockSql(kBatch), 0),
                         Moves("plain out of the first storehouse", BalanceSql(kStore, kPlain), -5),
                         Moves("plain into the second", BalanceSql(kStore2, kPlain), 5),
                         Moves("batch product out of the first", BalanceSql(kStore, kBatch), -12),
                         Moves("batch product into the second", BalanceSql(kStore2, kBatch), 12),
                         Moves("B1 emptied at the first", BatchSql(kStore, kBatch, "B1"), -5),
                         Moves("B2 gives the rest", BatchSql(kStore, kBatch, "B2"), -7),
                         Moves("the line's batch at the second", BatchSql(kStore2, kBatch, "B1"), 12),
                         Moves("out-batch records", OutBatchRowsSql(kCaseBillId), 2),
                         marks(2),
                     }});

    // --- assembly: components out of their lines' storehouse, the header product in
    QVariantMap assembled{{"FProductID", kAssembled}, {"FUnitID", kUnitPiece}, {"FNumber", 2}, {"FStorehouseID", kStore},
                          {"FAmount", 50},          {"FBatchNo1", "H7"},      {"FKFDate", QDate(2026, 5, 1)}};
    cases.push_back({"Assembly3025", 3025, "t_AssemblyForm", "t_AssemblyList", assembled, linesWithStore(),
                     stock(-1) + batchOut()
                         + QList<Probe>{
                             Moves("assembled product stock", CurStockSql(kAssembled), 2),
                             Moves("assembled product balance", BalanceSql(kStore, kAssembled), 2),
                             Moves("assembled into its batch H7", BatchSql(kStore, kAssembled, "H7"), 2),
                             Moves("H1 untouched", BatchSql(kStore, kAssembled, "H1"), 0),
                             marks(3),
                         }});
    QVariantMap dismantled{{"FProductID", kAssembled}, {"FUnitID", kUnitPiece}, {"FNumber", 2}, {"FStorehouseID", kStore},
                           {"FBatchNo1", "H1"},      {"FKFDate", QDate(2026, 3, 1)}};
    cases.push_back({"Dismantling3026", 3026, "t_AssemblyForm", "t_AssemblyList", dismantled, linesWithStore(),
                     stock(+1)
                         + QList<Probe>{
                             Moves("dismantled product stock", CurStockSql(kAssembled), -2),
                             Moves("dismantled product balance", BalanceSql(kStore, kAssembled), -2),
                             Moves("out of the header's batch H1", BatchSql(kStore, kAssembled, "H1"), -2),
                             Moves("components into the line's batch B1", BatchSql(kStore, kBatch, "B1"), 12),
                             Moves("one out-batch record", OutBatchRowsSql(kCaseBillId), 1),
                             marks(3),
                         }});
    return cases;
}

class StockBillPosting : public ::testing::TestWithParam<PostingCase> {
protected:
    void SetUp() override
    {
        EmptyAllTables();
        SeedWorld();
    }
};

TEST_P(StockBillPosting, CheckMovesEveryFigureAndUncheckTakesThemBack) { RunPostingCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(StockFamilies, StockBillPosting, ::testing::ValuesIn(stockCases()),
                         [](const ::testing::TestParamInfo<PostingCase> & tpi) { return tpi.param.name.toStdString(); });

} // namespace
