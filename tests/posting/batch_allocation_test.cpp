// Random sales-out bills allocated by the posting step and by a plain model of the allocation
// written here: the batch stock and the take records must agree row for row, and the release
// must put everything back.
#include "posting/batch_steps.h"

#include "batch_test_util.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

using namespace protask;
using namespace protask::batchtest;

namespace {

using Text = std::optional<QString>; // a nullable column

struct Row {
    int id = 0; // 0: created by the bill
    int store = 0, product = 0;
    Text batchNo, kfDate, periodDate;
    std::optional<int> kfPeriod;
    double number = 0;
};

struct Line {
    int listId = 0, product = 0;
    double needed = 0;
    QString batchNo, kfDate, periodDate; // as the line query gives them: IfNull(…,'')
    int kfPeriod = 0;
};

QString blank(const Text &t) { return t.value_or(QString()); }
QString dash(const QString &s) { return s.isEmpty() ? QStringLiteral("-") : s; }
double round8(double v) { return std::round(v * 1e8) / 1e8; }

// Rows as "store product batch kfdate period expiry number", in FID order (created rows last),
// one a line so that a failure shows them.
std::string render(const std::vector<Row> &rows)
{
    QStringList out;
    for (const Row &r : rows)
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                   .arg(r.store)
                   .arg(r.product)
                   .arg(r.batchNo.value_or(QStringLiteral("<null>")), r.kfDate.value_or(QStringLiteral("-")),
                        r.kfPeriod ? QString::number(*r.kfPeriod) : QStringLiteral("-"), r.periodDate.value_or(QStringLiteral("-")),
                        QString::number(r.number, 'f', 8));
    return out.join(QLatin1Char('\n')).toStdString();
}

// The allocation, line after line; takes as "list row batch kfdate period expiry number",
// the row named by its place in FID order.
QStringList allocate(std::vector<Row> &rows, const std::vector<Line> &lines, int store)
{
    QStringList takes;
    for (const Line &l : lines) {
        const auto ofStock = [&](const Row &r) { return r.store == store && r.product == l.product; };
        const auto take = [&](int r, double n, bool lineValues) {
            Row &row = rows[r];
            row.number = round8(row.number - n);
            takes << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                         .arg(l.listId)
                         .arg(r)
                         .arg(lineValues ? l.batchNo : blank(row.batchNo), dash(lineValues ? l.kfDate : blank(row.kfDate)),
                              QString::number(lineValues ? l.kfPeriod : row.kfPeriod.value_or(0)),
                              dash(lineValues ? l.periodDate : blank(row.periodDate)), QString::number(n, 'f', 8));
        };
        double rest = l.needed;
        // 1. The line's own batch: the first row by FID that holds stock.
        for (int r = 0; r < int(rows.size()); ++r) {
            const Row &row = rows[r];
            if (ofStock(row) && blank(row.batchNo) == l.batchNo && blank(row.kfDate) == l.kfDate
                && row.kfPeriod.value_or(0) == l.kfPeriod && row.number > 0) {
                rest = round8(l.needed - row.number);
                take(r, rest >= 0 ? row.number : l.needed, true);
                break;
            }
        }
        // 2. Oldest first: production date, batch number (nulls first), FID.
        std::vector<int> order;
        for (int r = 0; r < int(rows.size()); ++r)
            if (ofStock(rows[r]) && rows[r].number > 0)
                order.push_back(r);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            return std::tie(rows[a].kfDate, rows[a].batchNo, rows[a].id) < std::tie(rows[b].kfDate, rows[b].batchNo, rows[b].id);
        });
        for (int r : order) {
            if (rest <= 0)
                break;
            const double n = std::min(rows[r].number, rest);
            rest = round8(rest - n);
            take(r, n, false);
        }
        // 3. The shortage goes onto the row of the line's batch, shelf life aside; created when missing.
        if (rest > 0) {
            int r = 0;
            while (r < int(rows.size()) && !(ofStock(rows[r]) && blank(rows[r].batchNo) == l.batchNo
                                             && blank(rows[r].kfDate) == l.kfDate && blank(rows[r].periodDate) == l.periodDate))
                ++r;
            if (r == int(rows.size())) {
                const auto orNull = [](const QString &s) { return s.isEmpty() ? Text() : Text(s); };
                rows.push_back({0, store, l.product, l.batchNo, orNull(l.kfDate), orNull(l.periodDate), l.kfPeriod, 0});
            }
            take(r, rest, true);
        }
    }
    return takes;
}

// The first column of every row the query returns.
QStringList texts(const QString &sql)
{
    TDataSet q(Db());
    q.open(sql);
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << q.value(q.recNo(), 0).toString();
    return out;
}

std::string rowsInDatabase()
{
    return texts(QStringLiteral("select concat_ws(' ', FStorehouseID, FProductID, IfNull(FBatchNo1,'<null>'), IfNull(FKFDate,'-'), "
                                "IfNull(FKFPeriod,'-'), IfNull(FPeriodDate,'-'), FNumber) from t_comProductBatchNo order by FID"))
        .join(QLatin1Char('\n'))
        .toStdString();
}

template <typename T, size_t N>
const T &pick(QRandomGenerator &rng, const T (&from)[N])
{
    return from[rng.bounded(int(N))];
}

TEST(BatchAllocation, RandomBillsTakeExactlyWhatThePlainAllocationTakesAndGiveItBack)
{
    // Few batch numbers and dates but several expiry dates: rows that tie in the oldest-first order.
    const Text batchNos[] = {Text(), QStringLiteral(""), QStringLiteral("A"), QStringLiteral("B")};
    const Text dates[] = {Text(), QStringLiteral("2024-01-01"), QStringLiteral("2024-02-01")};
    const Text expiries[] = {Text(), QStringLiteral("2024-12-31"), QStringLiteral("2025-06-30"), QStringLiteral("2025-12-31")};
    const std::optional<int> periods[] = {std::nullopt, 30, 60};
    const double stock[] = {-3, 0, 0.25, 1, 2.5, 4, 10};
    const double quantities[] = {0, 0.25, 1, 2, 3.5, 7, 15};
    const int products[] = {kBatchProduct, kBatchProduct, kSecondBatchProduct, kPlainProduct};
    const std::pair<int, double> units[] = {{kPiece, 1}, {kBox, 12}, {3, 2.5}}; // of the batch product

    for (int seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        QRandomGenerator rng(seed);
        protask::testing::EmptyAllTables();
        SeedProductsAndStorehouses();
        Exec(QStringLiteral("insert into t_comUnit(FID, FName) values (3, '包')"));
        Exec(QStringLiteral("insert into t_comProductUnit(FProductID, FSID, FUnitID, FRatio) values (1, 3, 3, 2.5)"));

        // Batch stock of both storehouses, one row per batch (blank and null numbers are one batch).
        std::vector<Row> rows;
        for (int i = 0, n = rng.bounded(6, 30); i < n; ++i) {
            Row r{0, rng.bounded(1, 3), rng.bounded(2) ? kBatchProduct : kSecondBatchProduct, pick(rng, batchNos),
                  pick(rng, dates), pick(rng, expiries), pick(rng, periods), pick(rng, stock)};
            if (std::any_of(rows.begin(), rows.end(), [&](const Row &o) {
                    return o.store == r.store && o.product == r.product && blank(o.batchNo) == blank(r.batchNo) && o.kfDate == r.kfDate
                           && o.periodDate == r.periodDate;
                }))
                continue;
            r.id = AddBatch(r.store, r.product, blank(r.batchNo), blank(r.kfDate), r.number, blank(r.periodDate),
                            r.kfPeriod ? QString::number(*r.kfPeriod) : QString());
            if (r.batchNo && r.batchNo->isEmpty())
                Exec(QStringLiteral("update t_comProductBatchNo set FBatchNo1 = '' where FID = %1").arg(r.id));
            rows.push_back(r);
        }
        const std::vector<Row> start = rows;

        // Lines name a batch the storehouse holds half of the time, any batch otherwise.
        const int store = rng.bounded(1, 3);
        AddHeader(QStringLiteral("t_SaleOutForm"), seed, 3004, QStringLiteral("XS-%1").arg(seed), QStringLiteral("2024-05-06"), store);
        std::vector<Line> lines;
        for (int i = 1, n = rng.bounded(1, 11); i <= n; ++i) {
            const int product = pick(rng, products);
            const auto [unit, ratio] = product == kBatchProduct ? pick(rng, units) : std::pair<int, double>{kPiece, 1};
            const double number = pick(rng, quantities);
            Row named{0, store, product, pick(rng, batchNos), pick(rng, dates), pick(rng, expiries), pick(rng, periods), 0};
            for (const Row &r : rows)
                if (r.store == store && r.product == product && rng.bounded(4) == 0)
                    named = r;
            const BatchData batch{blank(named.batchNo), blank(named.kfDate), named.kfPeriod ? QString::number(*named.kfPeriod) : QString(),
                                  blank(named.periodDate)};
            AddLine(QStringLiteral("T_SaleOutList"), seed * 100 + i, seed, product, unit, number, batch);
            lines.push_back({seed * 100 + i, product, round8(number * ratio), batch.batchNo, batch.kfDate, batch.periodDate,
                             named.kfPeriod.value_or(0)});
        }
        // The step takes the lines in the order its line query returns them, which the server
        // chooses (the plan, and with it the order, follows the columns the select names: a
        // join buffer lists the lines by unit row). The model asks the very same query.
        std::vector<Line> ordered;
        for (const QString &id : texts(QStringLiteral(
                 "select T2.FID as FListid, T1.FTypeID as FBillTypeID, T1.FID as FBillID, T1.FBillNo, T1.FBillDate as FBillDate, T1.FStorehouseID as "
                 "FStorehouseID,  T2.FProductID as FProductID,   CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.FNumber,0)     ELSE "
                 "IFNULL(T2.FNumber,0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T2.FBatchNo1,'') as FBatchNo1,T2.FKFDate,"
                 "IfNull(T2.FKFPeriod,0) as FKFPeriod,T2.FPeriodDate, WEIGHT_STRING(IfNull(T2.FBatchNo1,'') AS CHAR(100)) as FBatchKey  "
                 "from t_SaleOutForm T1 inner join T_SaleOutList T2    on T1.FID = T2.FFormID and T1.FID = %1  inner join t_comProducts cp1 "
                 "on T2.FProductID = cp1.FID  LEFT JOIN t_comProductUnit T3 ON T2.FProductID = T3.FProductID AND T2.FUnitId = T3.FUnitID  "
                 "where IfNull(T2.FNumber,0) > 0  and cp1.FIsBatchNo = 1 ")
                                                .arg(seed)))
            ordered.push_back(*std::find_if(lines.begin(), lines.end(), [&](const Line &l) { return l.listId == id.toInt(); }));

        const QStringList takes = allocate(rows, ordered, store);
        const auto saleOut = [&](int sign) {
            return UpdateBatchNoOut(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("T_SaleOutList"), QStringLiteral("FNumber"),
                                    QStringLiteral("FID"), QStringLiteral("FProductID"), QStringLiteral("FStorehouseID"), sign,
                                    QString::number(seed));
        };
        ASSERT_TRUE(saleOut(-1));
        EXPECT_EQ(rowsInDatabase(), render(rows));
        EXPECT_EQ(texts(QStringLiteral("select concat_ws(' ', FListID, (select count(*) from t_comProductBatchNo B where B.FID < O.FFromID), "
                                       "FBatchNo1, IfNull(FKFDate,'-'), FKFPeriod, IfNull(FPeriodDate,'-'), FNumber) "
                                       "from t_comProductOutBatchNo O order by FOutID"))
                      .join(QLatin1Char('\n'))
                      .toStdString(),
                  takes.join(QLatin1Char('\n')).toStdString());

        ASSERT_TRUE(saleOut(1));
        std::vector<Row> released = start;
        for (Row r : rows) {
            r.number = 0;
            if (r.id == 0)
                released.push_back(r);
        }
        EXPECT_EQ(rowsInDatabase(), render(released)) << "the release puts every take back";
        EXPECT_EQ(CountRows(QStringLiteral("t_comProductOutBatchNo")), 0);
    }
}

} // namespace
