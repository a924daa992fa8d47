// Time to check and to uncheck a 100-line purchase (3002) and a 100-line sales-out (3004)
// whose batch products are allocated over 20 batches each, commit included, against the
// private server that scripts/bench starts (the same environment as the tests).
#include "platform/program_folder.h"
#include "posting/posting_engine.h"
#include "posting_test_util.h"
#include "test_db.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

constexpr int kLines = 100;
constexpr int kBatchesPerProduct = 20;
// One batch product per line (100..199, a box of 12 besides the piece), each with 20 batches
// X01..X20 of one piece, a month apart. Every line names X10: it takes that piece, then the
// other 19 oldest first; the box lines (2 boxes = 24) book the last 4 as a shortage of X10.
constexpr int kFirstProduct = 100;
constexpr int kPurchase = 1;
constexpr int kSale = 2;

QList<QVariantMap> hundredLines(bool sale)
{
    QList<QVariantMap> lines;
    for (int n = 0; n < kLines; ++n) {
        const bool box = n % 4 == 0;
        const double number = sale ? (box ? 2 : kBatchesPerProduct) : (box ? 1 : 3);
        QVariantMap line{{"FProductID", kFirstProduct + n},
                         {"FUnitID", box ? kUnitBox : kUnitPiece},
                         {"FNumber", number},
                         {"FPrice", 2.5},
                         {"FAmount", 2.5 * number},
                         {"FTobeDiscountAmount", 2.5 * number},
                         {"FFromOrderListID", kSaleOrderLine},
                         {"FBatchNo1", QStringLiteral("X10")},
                         {"FKFDate", QDate(2026, 10, 1)}};
        lines << line;
    }
    return lines;
}

void seed()
{
    EmptyAllTables();
    SeedWorld();
    for (int p = kFirstProduct; p < kFirstProduct + kLines; ++p) {
        SeedProduct(p, QStringLiteral("批次商品%1").arg(p), true);
        SeedProductUnit(p, 1, kUnitPiece, 1);
        SeedProductUnit(p, 2, kUnitBox, kBoxRatio);
        for (int b = 1; b <= kBatchesPerProduct; ++b)
            SeedBatch(kStore, p, QStringLiteral("X%1").arg(b, 2, 10, QLatin1Char('0')),
                      QDate(2026, 1, 1).addMonths(b - 1), 1);
    }
    const QVariantMap header{{"FStorehouseID", kStore}, {"FClientID", kClient}, {"FAmount", 750}, {"FCashID", kCash}};
    QVariantMap purchase = header;
    purchase.insert(QStringLiteral("FPayAmount"), 100);
    QVariantMap sale = header;
    sale.insert(QStringLiteral("FReceiveAmount"), 100);
    SeedBill(3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), kPurchase, purchase, hundredLines(false));
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), kSale, sale, hundredLines(true));
}

// One check or uncheck in a committed transaction; the seconds it took, or nothing when it failed.
std::optional<double> post(bool check, int type, int bill, const QString &form)
{
    QElapsedTimer t;
    t.start();
    int code = 0;
    TransactionGuard tx(Db());
    if (!(check ? CheckUpdateData(type, bill, form, code) : UnCheckUpdateData(type, bill, form, code)))
        return std::nullopt;
    tx.commit();
    return t.nsecsElapsed() / 1e9;
}

// Times the check (timeCheck) or the uncheck of a bill; the other half of each round trip
// puts the books back and is not counted.
void checkOrUncheck(benchmark::State &state, bool timeCheck, int type, int bill, const QString &form)
{
    for (auto _ : state) {
        const std::optional<double> checked = post(true, type, bill, form);
        const std::optional<double> unchecked = checked ? post(false, type, bill, form) : std::nullopt;
        if (!unchecked) {
            state.SkipWithError(checked ? "uncheck failed" : "check failed");
            break;
        }
        state.SetIterationTime(timeCheck ? *checked : *unchecked);
    }
}

void BM_Purchase3002Check(benchmark::State &s)
{
    checkOrUncheck(s, true, 3002, kPurchase, QStringLiteral("t_PurForm"));
}
void BM_Purchase3002Uncheck(benchmark::State &s)
{
    checkOrUncheck(s, false, 3002, kPurchase, QStringLiteral("t_PurForm"));
}
void BM_SaleOut3004Check(benchmark::State &s) { checkOrUncheck(s, true, 3004, kSale, QStringLiteral("t_SaleOutForm")); }
void BM_SaleOut3004Uncheck(benchmark::State &s)
{
    checkOrUncheck(s, false, 3004, kSale, QStringLiteral("t_SaleOutForm"));
}

// The floor every statement pays: one round trip to the server on its socket.
void BM_StatementRoundTrip(benchmark::State &state)
{
    TDataSet q(Db());
    for (auto _ : state)
        q.open(QStringLiteral("select 1"));
}

void configure(benchmark::internal::Benchmark *b)
{
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_StatementRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Purchase3002Check)->Apply(configure);
BENCHMARK(BM_Purchase3002Uncheck)->Apply(configure);
BENCHMARK(BM_SaleOut3004Check)->Apply(configure);
BENCHMARK(BM_SaleOut3004Uncheck)->Apply(configure);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QTemporaryDir home;
    SetProgramFolder(home.path());
    try {
        PrepareTestDatabase();
        seed();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "cannot prepare the benchmark database: %s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Every round trip was taken back: the batches hold what they held at the start.
    const double left = Number(
        QStringLiteral("select sum(FNumber) from t_comProductBatchNo where FProductID >= %1").arg(kFirstProduct));
    const double records = Number(QStringLiteral("select count(*) from t_comProductOutBatchNo"));
    if (left != kLines * kBatchesPerProduct || records != 0) {
        std::fprintf(stderr, "the round trips did not put the batches back: %g left, %g out-batch records\n", left,
                     records);
        return 1;
    }
    return 0;
}
