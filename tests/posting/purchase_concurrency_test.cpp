// Four workstations check and uncheck purchase bills at once on the server's default settings
// (auto-increment lock mode included). The bills bring goods into a storehouse that holds none
// yet and a batch that does not exist yet, so balance, batch and cost-mark rows are made on
// first use by several workstations at the same time. Afterwards every figure is recomputed
// from the checked flags that committed: a step that ran on outside its transaction, or a row
// made twice, shows as a difference.
#include "core/db_actions.h"
#include "posting/posting_common.h"
#include "posting/posting_engine.h"
#include "posting_test_util.h"
#include "test_db.h"

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
constexpr int kOpsPerWorker = 250;
constexpr int kBillsPerWorker = 3;

int billId(int worker, int i) { return 2000 + worker * 10 + i; }

struct WorkerResult {
    int committed = 0;
    int retries = 0;
    int failed = 0;
    QString firstError;
};

void work(int worker, WorkerResult &result)
{
    const QString name = QStringLiteral("purchase-workstation%1").arg(worker);
    {
        QSqlDatabase db = openConnection(TestConnectionSettings(name));
        for (int op = 0; op < kOpsPerWorker; ++op) {
            const int bill = billId(worker, op % kBillsPerWorker);
            const TransactionResult r = RunTransaction(db, [&] {
                // The flag is read inside the attempt: an attempt that the server rolled back
                // must not leave the workstation believing the bill changed state.
                TDataSet q(db);
                q.open(QStringLiteral("select IfNull(FIsChecked,0) as c from t_PurForm where FID = %1").arg(bill));
                const bool wasChecked = q.fieldByName(QStringLiteral("c")).toInt() == 1;
                int code = 0;
                const bool ok = wasChecked ? UnCheckUpdateData(3002, bill, QStringLiteral("t_PurForm"), code, db)
                                           : CheckUpdateData(3002, bill, QStringLiteral("t_PurForm"), code, db);
                return ok;
            });
            result.retries += r.attempts - 1;
            if (r.committed) {
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

TEST(PostingConcurrency, PurchaseChecksFromFourWorkstationsMatchTheCommittedFlags)
{
    EmptyAllTables();
    SeedWorld();
    const double plainStock = CurStock(kPlain);
    const double batchStock = CurStock(kBatch);
    const double supplierTotal = ClientFigure(kSupplier, QStringLiteral("FTotalAmount"));
    const double supplierPaid = ClientFigure(kSupplier, QStringLiteral("FPayAmount"));
    const double cash = CashBalance(kCash);
    for (int w = 0; w < kWorkers; ++w) {
        for (int i = 0; i < kBillsPerWorker; ++i) {
            SeedBill(3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), billId(w, i),
                     {{"FStorehouseID", kStore2}, {"FClientID", kSupplier}, {"FAmount", 10}, {"FPayAmount", 4},
                      {"FCashID", kCash}},
                     {
                         {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 2}, {"FPrice", 1}, {"FAmount", 2}},
                         {{"FProductID", kBatch}, {"FUnitID", kUnitBox}, {"FNumber", 1}, {"FPrice", 8}, {"FAmount", 8},
                          {"FTobeDiscountAmount", 8}, {"FBatchNo1", "N1"}, {"FKFDate", QDate(2026, 5, 1)}},
                     });
        }
    }

    std::vector<WorkerResult> results(kWorkers);
    {
        std::vector<std::thread> threads;
        for (int w = 0; w < kWorkers; ++w)
            threads.emplace_back(work, w, std::ref(results[w]));
        for (std::thread &t : threads)
            t.join();
    }
    int retries = 0;
    int committed = 0;
    for (const WorkerResult &r : results) {
        EXPECT_EQ(r.failed, 0) << r.firstError.toStdString();
        retries += r.retries;
        committed += r.committed;
    }

    const double n = Number(QStringLiteral("select count(*) from t_PurForm where FIsChecked = 1"));
    std::printf("[ posting ] purchases: %d workstations x %d operations, %d committed, %d retries; %.0f bills left checked\n",
                kWorkers, kOpsPerWorker, committed, retries, n);
    EXPECT_EQ(committed, kWorkers * kOpsPerWorker);
    EXPECT_DOUBLE_EQ(CurStock(kPlain), plainStock + 2 * n);
    EXPECT_DOUBLE_EQ(CurStock(kBatch), batchStock + kBoxRatio * n);
    EXPECT_EQ(BalanceRows(kStore2, kPlain), 1);
    EXPECT_EQ(BalanceRows(kStore2, kBatch), 1);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore2, kPlain), 2 * n);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore2, kBatch), kBoxRatio * n);
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_comProductBatchNo where FStorehouseID = %1").arg(kStore2)), 1);
    EXPECT_DOUBLE_EQ(Number(BatchSql(kStore2, kBatch, QStringLiteral("N1"))), kBoxRatio * n);
    EXPECT_DOUBLE_EQ(Number(QStringLiteral("select FAmount from t_comProductBatchNo where FStorehouseID = %1").arg(kStore2)),
                     8 * n);
    EXPECT_DOUBLE_EQ(ClientFigure(kSupplier, QStringLiteral("FTotalAmount")), supplierTotal + 10 * n);
    EXPECT_DOUBLE_EQ(ClientFigure(kSupplier, QStringLiteral("FPayAmount")), supplierPaid + 4 * n);
    EXPECT_DOUBLE_EQ(CashBalance(kCash), cash - 4 * n);
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_billcalflag")), 2) << "one cost mark per product and period";
}

} // namespace
