// Batch stock on its own: incoming rows, the allocation compared with a plain model of it on
// random bills, batch numbers as the server compares them, the exact release, and the negative
// batch stock test.
#include "posting/batch_steps.h"

#include "platform/nv_dm_base.h"
#include "posting_test_util.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

// The world without its batch rows.
class BatchSteps : public PostingTest {
protected:
    void SetUp() override
    {
        PostingTest::SetUp();
        Exec("delete from t_comProductBatchNo");
    }
};

bool purchaseIn(int billId, int sign)
{
    return UpdateBatchNoIn("t_PurForm", "T_PurList", QString::number(billId), "FTobeDiscountAmount", "FNumber", "FID",
                           "FProductID", "FStorehouseID", sign);
}

// Lines are summed per batch row (storehouse, product, batch number, production and expiry
// date) in base units with their amounts; a new row takes the longest shelf life of its lines,
// an existing one keeps its own. Returned lines, products without batches and other
// storehouses' rows stay apart, and the uncheck leaves the rows.
TEST_F(BatchSteps, IncomingLinesAddBaseQuantitiesAndAmountsToOneRowPerBatch)
{
    const BatchData a1{"A1", "2024-01-10", "365", "2025-01-09"};
    const auto shelf = [](const char *batchNo, const char *period) {
        return BatchData{batchNo, "2024-01-10", period, "2024-12-31"};
    };
    AddBatch(1, kAssembled, {}, 6); // without number or dates: nulls
    AddBatch(2, kBatch, a1, 50);
    AddBatch(1, kBatch, shelf("S1", "90"), 10);
    SeedBill(3002, "t_PurForm", "t_PurList", 1, {{"FStorehouseID", 1}},
             {Line(kBatch, kUnitPiece, 10, 10, a1), Line(kBatch, kUnitBox, 2, 25, a1),
              Line(kBatch, kUnitPiece, 5, 4, {"A2"}), Line(kBatch, kUnitPiece, -3, 10, a1),
              Line(kPlain, kUnitPiece, 7, 10, a1), Line(kAssembled, kUnitPiece, 4, 2),
              Line(kBatch, kUnitPiece, 5, 10, shelf("S1", "30")), Line(kBatch, kUnitPiece, 7, 10, shelf("S1", "60")),
              Line(kBatch, kUnitPiece, 5, 10, shelf("S2", "30")), Line(kBatch, kUnitPiece, 7, 10, shelf("S2", "60"))});
    SeedBill(3002, "t_PurForm", "t_PurList", 2, {{"FStorehouseID", 1}}, {Line(kBatch, kUnitPiece, 1, 10, a1)});

    ASSERT_TRUE(purchaseIn(1, 1));
    ASSERT_TRUE(purchaseIn(2, 1));
    EXPECT_EQ(BatchRows(1, kBatch),
              "S1 2024-01-10 90 2024-12-31 = 22/120\nA1 2024-01-10 365 2025-01-09 = 35/160\n"
              "A2 - - - = 5/20\nS2 2024-01-10 60 2024-12-31 = 12/120");
    EXPECT_EQ(BatchRows(1, kAssembled), "<null> - - - = 10/8");
    EXPECT_EQ(BatchRows(2, kBatch), "A1 2024-01-10 365 2025-01-09 = 50/0");
    EXPECT_EQ(BatchRows(1, kPlain), "");

    ASSERT_TRUE(purchaseIn(1, -1));
    EXPECT_EQ(BatchRows(1, kBatch),
              "S1 2024-01-10 90 2024-12-31 = 10/0\nA1 2024-01-10 365 2025-01-09 = 1/10\n"
              "A2 - - - = 0/0\nS2 2024-01-10 60 2024-12-31 = 0/0");
    EXPECT_EQ(BatchRows(1, kAssembled), "<null> - - - = 6/0");
}

// Case and trailing blanks do not tell batch numbers apart; a shortage goes onto the row of the
// line's batch whatever its shelf life.
TEST_F(BatchSteps, BatchNumbersMatchAsTheServerComparesThem)
{
    const int older = AddBatch(1, kBatch, {"OLD", "2023-01-01"}, 4);
    const int own = AddBatch(1, kBatch, {"AB-1", "2024-01-10", "30", "2024-12-31"}, 5);
    const int empty = AddBatch(1, kAssembled, {"Y1", "2024-01-10", "30", "2024-12-31"}, 0);
    SeedBill(3004, "t_SaleOutForm", "t_SaleOutList", 1, {{"FStorehouseID", 1}},
             {Line(kBatch, kUnitPiece, 3, 0, {"ab-1 ", "2024-01-10", "30"}),
              Line(kBatch, kUnitPiece, 10, 0, {"Ab-1", "2024-01-10", "30", "2024-12-31"}),
              Line(kAssembled, kUnitPiece, 2, 0, {"y1", "2024-01-10", "60", "2024-12-31"})});

    ASSERT_TRUE(SaleOutBatches(1, -1));
    EXPECT_EQ(OutRecords(1),
              QStringLiteral("%1 1001 ab-1  2024-01-10 30 - 3\n%1 1002 Ab-1 2024-01-10 30 2024-12-31 2\n"
                             "%2 1002 OLD 2023-01-01 0 - 4\n%1 1002 Ab-1 2024-01-10 30 2024-12-31 4\n"
                             "%3 1003 y1 2024-01-10 60 2024-12-31 2")
                  .arg(own)
                  .arg(older)
                  .arg(empty)
                  .toStdString());
    const QString stock = "select concat(FBatchNo1, ' ', FNumber + 0e0) from t_comProductBatchNo order by FID";
    EXPECT_EQ(Rows(stock), "OLD 0\nAB-1 -4\nY1 -2");
    ASSERT_TRUE(SaleOutBatches(1, 1));
    EXPECT_EQ(Rows(stock), "OLD 4\nAB-1 5\nY1 0");
}

// Before the transaction of an uncheck of an incoming bill, or of the check of a purchase
// return, a line that would drive its batch negative is refused or, with the warning switch
// alone, asked about.
TEST_F(BatchSteps, TheNegativeBatchStockTestRefusesAsksOrPasses)
{
    const BatchData k1{"K1", "2024-01-01", {}, "2024-12-31"};
    AddBatch(1, kBatch, k1, 5);
    const auto shown = [this] {
        QStringList out;
        for (const ScriptedPrompter::Entry &e : prompter.entries())
            out << QString::number(int(e.kind)) + (e.question ? "? " : " ") + e.text;
        prompter.clear();
        return out.join('\n').toStdString();
    };
    // Each bill would take 8 of the batch's 5; its line of the plain product does not count.
    const std::tuple<bool, int, QString, QString, double> bills[] = {
        {false, 3002, "t_PurForm", "t_PurList", 8},
        {true, 3015, "t_PurForm", "t_PurList", -8},
        {false, 3019, "t_OtherOutInForm", "t_OtherOutInList", 8},
        {false, 3021, "t_LossGainForm", "t_LossGainList", 8},
    };
    HostSwitches &switches = nvDMBase::instance().switches;
    switches.forbidNegativeBatchStock = switches.warnNegativeBatchStock = true;
    for (int id = 1; const auto &[onCheck, type, form, list, number] : bills) {
        SeedBill(type, form, list, id, {{"FStorehouseID", 1}},
                 {Line(kBatch, kUnitPiece, number, 0, k1), Line(kPlain, kUnitPiece, number * 10, 0, k1)});
        EXPECT_FALSE(onCheck ? CheckBatchNoStockOnCheck(type, id) : CheckBatchNoStockOnUnCheck(type, id)) << type;
        EXPECT_EQ(shown(), "1 商品[胶水]批次库存不足");
        ++id;
    }
    switches.forbidNegativeBatchStock = false;
    prompter.queueAnswer(true);
    prompter.queueAnswer(false);
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3002, 1));
    EXPECT_FALSE(CheckBatchNoStockOnCheck(3015, 2));
    EXPECT_EQ(
        shown(),
        "1? 商品[胶水]批次库存不足,是否允许负批次库存继续执行?\n1? 商品[胶水]批次库存不足,是否允许负批次库存继续执行?");
    switches.warnNegativeBatchStock = false;
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3019, 3));
    // Other bill types and sides pass, and so does a batch that suffices.
    switches.forbidNegativeBatchStock = true;
    EXPECT_TRUE(CheckBatchNoStockOnCheck(3002, 1));
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3015, 2));
    EXPECT_TRUE(CheckBatchNoStockOnCheck(3004, 1));
    Exec("update t_comProductBatchNo set FNumber = 8");
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3002, 1));
    EXPECT_EQ(shown(), "");
}

// ---------------------------------------------------------------------------
// Random sales-out bills allocated by the step and by a plain model of the allocation written
// here: the batch stock and the take records must agree row for row, and the release must put
// back on each row exactly what the bill took, whatever else happened to the row since.

// A batch row; dates and shelf life empty for null. A null batch number and a blank one are one
// batch to the lookups but sort apart (nulls first).
struct Row {
    int id = 0; // 0: created by the bill
    int store = 0, product = 0;
    std::optional<QString> batchNo;
    QString kfDate, periodDate, kfPeriod;
    double number = 0;
    BatchData batch() const { return {batchNo.value_or(""), kfDate, kfPeriod, periodDate}; }
};

// A line as the step's line query gives it: blank batch texts, a null shelf life as 0.
struct Need {
    int listId = 0, product = 0;
    double number = 0;
    BatchData batch;
};

QString dash(const QString &s) { return s.isEmpty() ? QStringLiteral("-") : s; }
double round8(double v) { return std::round(v * 1e8) / 1e8; }
int period(const QString &kfPeriod) { return kfPeriod.toInt(); } // null counts 0

// Rows as "store product batch kfdate period expiry number", in FID order (created rows last).
std::string render(const std::vector<Row> &rows)
{
    QStringList out;
    for (const Row &r : rows)
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                   .arg(r.store)
                   .arg(r.product)
                   .arg(r.batchNo.value_or("<null>"), dash(r.kfDate), dash(r.kfPeriod), dash(r.periodDate),
                        QString::number(r.number, 'f', 8));
    return out.join('\n').toStdString();
}

// The allocation, line after line; takes as "<bill> product list row batch kfdate period expiry
// number", the row named by its place in FID order.
QStringList allocate(std::vector<Row> &rows, const std::vector<Need> &lines, int store, const QString &bill)
{
    QStringList takes;
    for (const Need &l : lines) {
        const auto ofStock = [&](const Row &r) { return r.store == store && r.product == l.product; };
        const auto take = [&](int r, double n, bool lineValues) {
            Row &row = rows[r];
            row.number = round8(row.number - n);
            const BatchData b = lineValues ? l.batch : row.batch();
            takes << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                         .arg(bill)
                         .arg(l.product)
                         .arg(l.listId)
                         .arg(r)
                         .arg(b.batchNo, dash(b.kfDate), QString::number(period(b.kfPeriod)), dash(b.periodDate),
                              QString::number(n, 'f', 8));
        };
        const auto sameBatch = [&](const Row &r) {
            return ofStock(r) && r.batchNo.value_or("") == l.batch.batchNo && r.kfDate == l.batch.kfDate;
        };
        double rest = l.number;
        // 1. The line's own batch: the first row by FID that holds stock.
        for (int r = 0; r < int(rows.size()); ++r) {
            const Row &row = rows[r];
            if (sameBatch(row) && period(row.kfPeriod) == period(l.batch.kfPeriod) && row.number > 0) {
                rest = round8(l.number - row.number);
                take(r, rest >= 0 ? row.number : l.number, true);
                break;
            }
        }
        // 2. Oldest first: production date, batch number (nulls first), FID.
        std::vector<int> order;
        for (int r = 0; r < int(rows.size()); ++r)
            if (ofStock(rows[r]) && rows[r].number > 0)
                order.push_back(r);
        const auto key = [&](int r) { return std::tie(rows[r].kfDate, rows[r].batchNo, rows[r].id); };
        std::sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
        for (int r : order) {
            if (rest <= 0)
                break;
            const double n = std::min(rows[r].number, rest);
            rest = round8(rest - n);
            take(r, n, false);
        }
        // 3. The shortage goes onto the row of the line's batch, shelf life aside; created when missing.
        if (rest > 0) {
            const auto ofLine = [&](const Row &r) { return sameBatch(r) && r.periodDate == l.batch.periodDate; };
            const int r = int(std::find_if(rows.begin(), rows.end(), ofLine) - rows.begin());
            if (r == int(rows.size()))
                rows.push_back({0, store, l.product, l.batch.batchNo, l.batch.kfDate, l.batch.periodDate,
                                QString::number(period(l.batch.kfPeriod)), 0});
            take(r, rest, true);
        }
    }
    return takes;
}

// The step takes the lines in the order its line query returns them, which the server chooses
// (the plan, and with it the order, follows the columns the select names: a join buffer lists
// the lines by unit row). The model asks the very same query.
const char *const kLineQuery =
    "select T2.FID as FListid, T1.FTypeID as FBillTypeID, T1.FID as FBillID, T1.FBillNo, T1.FBillDate as FBillDate, T1.FStorehouseID as "
    "FStorehouseID,  T2.FProductID as FProductID,   CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)     ELSE "
    "IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T2.FBatchNo1,'') as FBatchNo1,T2.FKFDate,"
    "IfNull(T2.FKFPeriod,0) as FKFPeriod,T2.FPeriodDate, WEIGHT_STRING(IfNull(T2.FBatchNo1,'') AS CHAR(100)) as FBatchKey  "
    "from t_SaleOutForm T1 inner join T_SaleOutList T2    on T1.FID = T2.FFormID and T1.FID = %1  inner join t_comProducts cp1 "
    "on T2.FProductID = cp1.FID  LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID  "
    "where IfNull(T2.FNumber,0) > 0  and cp1.FIsBatchNo = 1 ";

template <typename T, size_t N>
const T &pick(QRandomGenerator &rng, const T (&from)[N])
{
    return from[rng.bounded(int(N))];
}

TEST_F(BatchSteps, RandomBillsTakeExactlyWhatThePlainAllocationTakesAndGiveItBack)
{
    // Few batch numbers and dates but several expiry dates: rows that tie in the oldest-first order.
    const std::optional<QString> batchNos[] = {std::nullopt, "", "A", "B"};
    const QString dates[] = {"", "2024-01-01", "2024-02-01"};
    const QString expiries[] = {"", "2024-12-31", "2025-06-30", "2025-12-31"};
    const QString periods[] = {"", "30", "60"};
    const double stock[] = {-3, 0, 0.25, 1, 2.5, 4, 10};
    const double quantities[] = {-2, 0, 0.25, 1, 2, 3.5, 7, 15};
    const int products[] = {kBatch, kBatch, kAssembled, kPlain};
    // Of the batch product: a unit without a unit row counts as entered.
    const std::pair<int, double> units[] = {{kUnitPiece, 1}, {kUnitBox, 12}, {kUnitCarton, 1}, {kUnitPack, 2.5}};
    Exec("insert into t_comProductUnit(FProductID, FSID, FUnitID, FRatio) values (2, 3, 4, 2.5)");
    const auto rowsInDatabase = [] {
        return Rows("select concat_ws(' ', FStorehouseID, FProductID, IfNull(FBatchNo1,'<null>'), IfNull(FKFDate,'-'), "
                    "IfNull(FKFPeriod,'-'), IfNull(FPeriodDate,'-'), FNumber) from t_comProductBatchNo order by FID");
    };

    for (int seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        QRandomGenerator rng(seed);
        ExecScript("delete from t_comProductBatchNo; delete from t_comProductOutBatchNo; delete from t_SaleOutForm; "
                   "delete from T_SaleOutList");
        // Batch stock of both storehouses, one row per batch (blank and null numbers are one batch).
        std::vector<Row> rows;
        for (int i = 0, n = rng.bounded(6, 30); i < n; ++i) {
            Row r{0,
                  rng.bounded(1, 3),
                  rng.bounded(2) ? kBatch : kAssembled,
                  pick(rng, batchNos),
                  pick(rng, dates),
                  pick(rng, expiries),
                  pick(rng, periods),
                  pick(rng, stock)};
            if (std::any_of(rows.begin(), rows.end(), [&](const Row &o) {
                    return o.store == r.store && o.product == r.product
                        && o.batchNo.value_or("") == r.batchNo.value_or("") && o.kfDate == r.kfDate
                        && o.periodDate == r.periodDate;
                }))
                continue;
            r.id = AddBatch(r.store, r.product, r.batch(), r.number);
            if (r.batchNo && r.batchNo->isEmpty())
                Exec(QStringLiteral("update t_comProductBatchNo set FBatchNo1 = '' where FID = %1").arg(r.id));
            rows.push_back(r);
        }
        std::vector<Row> released = rows;

        // Lines name a batch the storehouse holds half of the time, any batch otherwise.
        const int store = rng.bounded(1, 3);
        QList<QVariantMap> lines;
        std::vector<Need> needs;
        for (int i = 1, n = rng.bounded(1, 11); i <= n; ++i) {
            const int product = pick(rng, products);
            const auto [unit, ratio] = product == kBatch ? pick(rng, units) : std::pair<int, double>{kUnitPiece, 1};
            const double number = pick(rng, quantities);
            Row named{
                0, store, product, pick(rng, batchNos), pick(rng, dates), pick(rng, expiries), pick(rng, periods)};
            for (const Row &r : rows)
                if (r.store == store && r.product == product && rng.bounded(4) == 0)
                    named = r;
            lines << Line(product, unit, number, 0, named.batch());
            needs.push_back({seed * 1000 + i, product, round8(number * ratio), named.batch()});
        }
        SeedBill(3004, "t_SaleOutForm", "t_SaleOutList", seed, {{"FStorehouseID", store}}, lines);
        std::vector<Need> ordered;
        for (const QString &id :
             QString::fromStdString(Rows(QString::fromLatin1(kLineQuery).arg(seed))).split('\n', Qt::SkipEmptyParts))
            ordered.push_back(
                *std::find_if(needs.begin(), needs.end(), [&](const Need &l) { return l.listId == id.toInt(); }));

        const QStringList takes = allocate(
            rows, ordered, store, QStringLiteral("3004 %1 T3004-%1 2026-12-05 00:00:00 %2 1").arg(seed).arg(store));
        ASSERT_TRUE(SaleOutBatches(seed, -1));
        EXPECT_EQ(rowsInDatabase(), render(rows));
        EXPECT_EQ(
            Rows(
                "select concat_ws(' ', FTypeID, FBillID, FBillNo, FBillDate, FStorehouseID, IfNull(FPrice,0) = 0 and "
                "IfNull(FAmount,0) = 0, FProductID, FListID, (select count(*) from t_comProductBatchNo B where B.FID < "
                "O.FFromID), FBatchNo1, IfNull(FKFDate,'-'), FKFPeriod, IfNull(FPeriodDate,'-'), FNumber) "
                "from t_comProductOutBatchNo O order by FOutID"),
            takes.join('\n').toStdString());

        // Meanwhile a receipt adds 6 to a row and a bill of another type with the same ID takes 1 of it.
        Row &touched = released[rng.bounded(int(released.size()))];
        touched.number += 6;
        Exec(QStringLiteral("update t_comProductBatchNo set FNumber = FNumber + 6 where FID = %1").arg(touched.id));
        Exec(QStringLiteral(
                 "insert into t_comProductOutBatchNo(FFromID, FTypeID, FBillID, FNumber) values (%1, 3020, %2, 1)")
                 .arg(touched.id)
                 .arg(seed));
        ASSERT_TRUE(SaleOutBatches(seed, 1));
        for (Row r : rows) {
            r.number = 0;
            if (r.id == 0)
                released.push_back(r);
        }
        EXPECT_EQ(rowsInDatabase(), render(released)) << "the release puts every take back";
        EXPECT_EQ(Rows("select concat_ws(' ', FTypeID, FBillID, FNumber + 0e0) from t_comProductOutBatchNo"),
                  QStringLiteral("3020 %1 1").arg(seed).toStdString());
    }
}

} // namespace
