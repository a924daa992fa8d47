// Four workstations check and uncheck their own sales-out bills at the same time, all drawing
// on one sales order line and on the same batches. Afterwards every figure must equal what the
// bills left checked imply, and no batch may have gone below zero.
#include "core/db_actions.h"
#include "posting/posting_common.h"
#include "posting/posting_engine.h"
#include "posting_test_util.h"
#include "test_db.h"

#include <QElapsedTimer>
#include <QSqlDatabase>

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>
#include <vector>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

constexpr int kWorkers = 4;
constexpr int kOpsPerWorker = 200;
constexpr int kBillsPerWorker = 3;
// Pieces per bill of the batch product and of the plain product. Both lines link to the same
// order line, so each checked bill counts both quantities on it.
constexpr double kBatchQty = 2;
constexpr double kPlainQty = 3;
constexpr double kCountedPerBill = kBatchQty + kPlainQty;
constexpr double kStartBatch = 5 + 20 + 30;
constexpr double kStartPlain = 1000;

int billId(int worker, int i) { return 1000 + worker * 10 + i; }
// Each workstation sells to its own client, so that only the stock, the batches and the order
// line are shared.
int clientOf(int worker) { return 11 + worker; }

struct WorkerResult {
    std::vector<bool> checked = std::vector<bool>(kBillsPerWorker, false);
    int committed = 0;
    int retries = 0;
    int failed = 0;
    QString firstError;
};

void work(int worker, WorkerResult &result)
{
    const QString name = QStringLiteral("workstation%1").arg(worker);
    {
        QSqlDatabase db = openConnection(TestConnectionSettings(name));
        for (int op = 0; op < kOpsPerWorker; ++op) {
            const int i = op % kBillsPerWorker;
            const int bill = billId(worker, i);
            const bool wasChecked = result.checked[i];
            const TransactionResult r = RunTransaction(
                db,
                [&] {
                    int code = 0;
                    const bool ok = wasChecked ? UnCheckUpdateData(3004, bill, QStringLiteral("t_SaleOutForm"), code, db)
                                               : CheckUpdateData(3004, bill, QStringLiteral("t_SaleOutForm"), code, db);
                    return ok; // a deadlock or lock timeout is thrown, and the whole action runs again
                },
                50);
            result.retries += r.attempts - 1;
            if (r.committed) {
                result.checked[i] = !wasChecked;
                ++result.committed;
            } else {
                ++result.failed;
                if (result.firstError.isEmpty())
                    result.firstError = r.error ? r.error->message() : QStringLiteral("refused");
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
}

TEST(PostingConcurrency, FourWorkstationsKeepStockBatchesBalancesAndCompletionExact)
{
    EmptyAllTables();
    SeedWorld();
    SeedBatch(kStore, kBatch, QStringLiteral("B3"), QDate(2026, 3, 1), 30);
    Exec(QStringLiteral("update t_comProducts set FCurStock = %1 where FID = %2").arg(kStartPlain).arg(kPlain));
    Exec(QStringLiteral("update t_comProducts set FCurStock = %1 where FID = %2").arg(kStartBatch).arg(kBatch));
    InsertRow(QStringLiteral("t_Balance"), {{"FStorehouseID", kStore}, {"FProductID", kPlain}, {"FNumber", kStartPlain}});
    InsertRow(QStringLiteral("t_Balance"), {{"FStorehouseID", kStore}, {"FProductID", kBatch}, {"FNumber", kStartBatch}});
    for (int w = 0; w < kWorkers; ++w) {
        SeedClient(clientOf(w), 0, 0, 0);
        for (int i = 0; i < kBillsPerWorker; ++i) {
            SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), billId(w, i),
                     {{"FStorehouseID", kStore}, {"FClientID", clientOf(w)}, {"FAmount", 10}, {"FReceiveAmount", 4}},
                     {
                         {{"FProductID", kBatch}, {"FUnitID", kUnitPiece}, {"FNumber", kBatchQty}, {"FPrice", 5},
                          {"FBatchNo1", "B1"}, {"FKFDate", QDate(2026, 1, 1)}, {"FFromOrderListID", kSaleOrderLine}},
                         {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", kPlainQty}, {"FPrice", 1},
                          {"FFromOrderListID", kSaleOrderLine}},
                     });
        }
    }

    std::vector<WorkerResult> results(kWorkers);
    QElapsedTimer timer;
    timer.start();
    {
        std::vector<std::thread> threads;
        for (int w = 0; w < kWorkers; ++w)
            threads.emplace_back(work, w, std::ref(results[w]));
        for (std::thread &t : threads)
            t.join();
    }
    const double seconds = timer.elapsed() / 1000.0;

    int checked = 0;
    int committed = 0;
    std::vector<int> checkedOf(kWorkers, 0);
    int retries = 0;
    int failed = 0;
    for (int w = 0; w < kWorkers; ++w) {
        committed += results[w].committed;
        retries += results[w].retries;
        failed += results[w].failed;
        EXPECT_EQ(results[w].failed, 0) << results[w].firstError.toStdString();
        for (int i = 0; i < kBillsPerWorker; ++i) {
            const int bill = billId(w, i);
            const bool isChecked = results[w].checked[i];
            checked += isChecked ? 1 : 0;
            checkedOf[w] += isChecked ? 1 : 0;
            EXPECT_EQ(Number(ColumnSql("t_SaleOutForm", "FIsChecked", bill)), isChecked ? 1 : 0) << bill;
            EXPECT_DOUBLE_EQ(Number(QStringLiteral("select IfNull(sum(FNumber),0) from t_comProductOutBatchNo where FBillID = %1").arg(bill)),
                             isChecked ? kBatchQty : 0)
                << bill;
        }
    }
    std::printf("[ posting ] %d workstations x %d operations: %d committed in %.2f s = %.1f operations/s, %d retries, %d "
                "failed; %d bills left checked\n",
                kWorkers, kOpsPerWorker, committed, seconds, committed / seconds, retries, failed, checked);
    RecordProperty("operations_per_second", QString::number(committed / seconds, 'f', 1).toStdString());
    RecordProperty("retries", retries);

    EXPECT_DOUBLE_EQ(CurStock(kPlain), kStartPlain - kPlainQty * checked);
    EXPECT_DOUBLE_EQ(CurStock(kBatch), kStartBatch - kBatchQty * checked);
    EXPECT_EQ(BalanceRows(kStore, kPlain), 1);
    EXPECT_EQ(BalanceRows(kStore, kBatch), 1);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore, kPlain), kStartPlain - kPlainQty * checked);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore, kBatch), kStartBatch - kBatchQty * checked);
    EXPECT_DOUBLE_EQ(Number(QStringLiteral("select sum(FNumber) from t_comProductBatchNo where FProductID = %1").arg(kBatch)),
                     kStartBatch - kBatchQty * checked);
    EXPECT_GE(Number(QStringLiteral("select min(FNumber) from t_comProductBatchNo")), 0);
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_comProductBatchNo")), 4); // no shortage row was booked
    EXPECT_DOUBLE_EQ(Number(ColumnSql("t_SaleOrderList", "FFinishNumber", kSaleOrderLine)), kCountedPerBill * checked);
    for (int w = 0; w < kWorkers; ++w) {
        EXPECT_DOUBLE_EQ(ClientFigure(clientOf(w), "FTotalAmount"), 10 * checkedOf[w]);
        EXPECT_DOUBLE_EQ(ClientFigure(clientOf(w), "FPayAmount"), 4 * checkedOf[w]);
        EXPECT_DOUBLE_EQ(ClientFigure(clientOf(w), "FUnPayAmount"), 6 * checkedOf[w]);
    }
    EXPECT_DOUBLE_EQ(CashBalance(kCash), 5000); // the bills name no cash account
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_billcalflag")), 2);
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_comProductsPrice")), 2 * kWorkers);
}

} // namespace
