// Time to check and to uncheck a 100-line purchase (3002), a 100-line sales-out (3004) whose
// batch products are allocated over 20 batches each, and a 20-line production task (3049),
// commit included, against the private server that scripts/bench starts (the same environment
// as the tests). Each _Limit beside them writes the rows its action writes with the fewest
// statements: what the server cannot do faster.
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
#include <stdexcept>

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
constexpr int kTaskBill = 3;

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
    QList<QVariantMap> materials;
    for (int n = 0; n < 20; ++n)
        materials << QVariantMap{
            {"FProductID", kFirstProduct + n}, {"FUnitID", kUnitPiece}, {"FNumber", 10 * (n + 1)}, {"FPrice", 2.5}};
    SeedBill(3049, QStringLiteral("t_ProTaskForm"), QStringLiteral("t_ProTaskList"), kTaskBill,
             {{"FProductID", kFirstProduct}, {"FNumber", 10}, {"FFromListID", kSaleOrderLine}}, materials);
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
void BM_TaskCheck(benchmark::State &s) { checkOrUncheck(s, true, 3049, kTaskBill, QStringLiteral("t_ProTaskForm")); }
void BM_TaskUncheck(benchmark::State &s) { checkOrUncheck(s, false, 3049, kTaskBill, QStringLiteral("t_ProTaskForm")); }

// The statements of a limit in one committed transaction; the seconds they took.
double writeRows(const QStringList &statements)
{
    QElapsedTimer t;
    t.start();
    TransactionGuard tx(Db());
    for (const QString &sql : statements)
        Exec(sql);
    tx.commit();
    return t.nsecsElapsed() / 1e9;
}

void limitRoundTrip(benchmark::State &state, bool timeCheck, const QStringList &check, const QStringList &uncheck)
{
    for (auto _ : state) {
        const double checked = writeRows(check);
        const double unchecked = writeRows(uncheck);
        state.SetIterationTime(timeCheck ? checked : unchecked);
    }
}

// The task's check writes its flag and its order line's counter: one statement over both rows.
QStringList taskFlag(bool check)
{
    return {QStringLiteral("update t_ProTaskForm f join t_SaleOrderList s on s.FID = f.FFromListID set f.FIsChecked "
                           "= %1, f.FCheckerID = %2, f.FCheckerDate = %3, s.FProtaskFinishNumber = "
                           "IfNull(s.FProtaskFinishNumber, 0) %4 f.FNumber where f.FID = %5")
                .arg(check ? 1 : 0)
                .arg(check ? QStringLiteral("7") : QStringLiteral("null"))
                .arg(check ? QStringLiteral("now()") : QStringLiteral("null"))
                .arg(check ? QLatin1Char('+') : QLatin1Char('-'))
                .arg(kTaskBill)};
}
void BM_TaskCheck_Limit(benchmark::State &s) { limitRoundTrip(s, true, taskFlag(true), taskFlag(false)); }
void BM_TaskUncheck_Limit(benchmark::State &s) { limitRoundTrip(s, false, taskFlag(true), taskFlag(false)); }

// What the sales-out check writes in bulk, captured from a real check: the out-batch records
// (bench_out), the change of every batch row, balance row and product stock (bench_delta_*).
// The client, cash, order-line and price rows it also touches (a handful) are left out.
const char *const kOutColumns = "FFromID, FTypeID, FBillID, FListID, FBillNo, FBillDate, FStorehouseID, FProductID, "
                                "FBatchNo1, FKFDate, FKFPeriod, FPeriodDate, FNumber, FPrice, FAmount";

void captureSaleOutRows()
{
    const QString form = QStringLiteral("t_SaleOutForm");
    // A first round trip makes the balance rows a check creates and leaves behind.
    if (!Post(true, 3004, kSale, form) || !Post(false, 3004, kSale, form))
        throw std::runtime_error("the sales-out round trip failed");
    ExecScript(QStringLiteral("drop table if exists bench_b0, bench_s0, bench_p0;"
                              "create table bench_b0 as select FID, FNumber, FAmount from t_comProductBatchNo;"
                              "create table bench_s0 as select FRowID, FNumber from t_Balance;"
                              "create table bench_p0 as select FID, FCurStock from t_comProducts"));
    const QString before = AllTablesChecksum();
    if (!Post(true, 3004, kSale, form))
        throw std::runtime_error("the sales-out check failed");
    std::fprintf(stderr, "the sales-out check writes: %s\n", TablesChangedSince(before).c_str());
    ExecScript(QStringLiteral(
                   "drop table if exists bench_out, bench_delta_b, bench_delta_s, bench_delta_p;"
                   "create table bench_out as select %1 from t_comProductOutBatchNo;"
                   "create table bench_delta_b (primary key (FID)) as select b.FID, b.FNumber - o.FNumber as dn, "
                   "IfNull(b.FAmount,0) - IfNull(o.FAmount,0) as da from t_comProductBatchNo b join bench_b0 o using "
                   "(FID) where b.FNumber <> o.FNumber or IfNull(b.FAmount,0) <> IfNull(o.FAmount,0);"
                   "create table bench_delta_s (primary key (FRowID)) as select b.FRowID, b.FNumber - o.FNumber as "
                   "dn from t_Balance b join bench_s0 o using (FRowID) where b.FNumber <> o.FNumber;"
                   "create table bench_delta_p (primary key (FID)) as select b.FID, IfNull(b.FCurStock,0) - "
                   "IfNull(o.FCurStock,0) as dn from t_comProducts b join bench_p0 o using (FID) where "
                   "IfNull(b.FCurStock,0) <> IfNull(o.FCurStock,0);"
                   "drop table bench_b0, bench_s0, bench_p0")
                   .arg(QLatin1String(kOutColumns)));
    if (!Post(false, 3004, kSale, form))
        throw std::runtime_error("the sales-out uncheck failed");
}

QStringList saleOutRows(bool check)
{
    const QString sign = check ? QStringLiteral("+") : QStringLiteral("-");
    QStringList sql = {
        QStringLiteral("update t_comProductBatchNo b join bench_delta_b d using (FID) set b.FNumber = b.FNumber %1 "
                       "d.dn, b.FAmount = IfNull(b.FAmount,0) %1 d.da")
            .arg(sign),
        QStringLiteral("update t_Balance b join bench_delta_s d using (FRowID) set b.FNumber = b.FNumber %1 d.dn")
            .arg(sign),
        QStringLiteral(
            "update t_comProducts b join bench_delta_p d using (FID) set b.FCurStock = IfNull(b.FCurStock,0) %1 d.dn")
            .arg(sign),
        QStringLiteral("update t_SaleOutForm set FIsChecked = %1 where FID = %2").arg(check ? 1 : 0).arg(kSale)};
    sql << (check ? QStringLiteral("insert into t_comProductOutBatchNo (%1) select %1 from bench_out")
                        .arg(QLatin1String(kOutColumns))
                  : QStringLiteral("delete from t_comProductOutBatchNo where FBillID = %1 and FTypeID = 3004")
                        .arg(kSale));
    return sql;
}
void BM_SaleOut3004Check_Limit(benchmark::State &s) { limitRoundTrip(s, true, saleOutRows(true), saleOutRows(false)); }
void BM_SaleOut3004Uncheck_Limit(benchmark::State &s)
{
    limitRoundTrip(s, false, saleOutRows(true), saleOutRows(false));
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
BENCHMARK(BM_SaleOut3004Check_Limit)->Apply(configure);
BENCHMARK(BM_SaleOut3004Uncheck_Limit)->Apply(configure);
BENCHMARK(BM_TaskCheck)->Apply(configure);
BENCHMARK(BM_TaskUncheck)->Apply(configure);
BENCHMARK(BM_TaskCheck_Limit)->Apply(configure);
BENCHMARK(BM_TaskUncheck_Limit)->Apply(configure);

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
        captureSaleOutRows();
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
