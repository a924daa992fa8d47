// Several workstations allocating and releasing the same batches at once.

#include "posting/batch_steps.h"

#include "batch_test_util.h"
#include "core/db_actions.h"
#include "posting/posting_common.h"
#include "platform/prompter.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <map>
#include <optional>

using namespace protask;
using namespace protask::batchtest;

namespace {

// Runs `work` on a thread of its own with a connection of its own.
template <typename T>
std::future<T> onWorkstation(const QString &name, std::function<T(const QSqlDatabase &)> work)
{
    return std::async(std::launch::async, [name, work]() {
        std::optional<T> result;
        {
            QSqlDatabase db = openConnection(protask::testing::TestConnectionSettings(name));
            result = work(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return *result;
    });
}

bool saleOut(int billId, int sign, const QSqlDatabase &db)
{
    return UpdateBatchNoOut(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("T_SaleOutList"), QStringLiteral("FNumber"),
                            QStringLiteral("FID"), QStringLiteral("FProductID"), QStringLiteral("FStorehouseID"), sign,
                            QString::number(billId), db);
}

// What a check or uncheck action does around the step: a failed step rolls the transaction
// back, and a deadlock or lock timeout runs the whole action again.
bool saleOutStep(int billId, int sign, const QSqlDatabase &db) { return saleOut(billId, sign, db); }

class BatchConcurrencyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        protask::testing::EmptyAllTables();
        SeedProductsAndStorehouses();
        scope = std::make_unique<PrompterScope>(prompter);
    }

    ScriptedPrompter prompter; // a lost connection would report through it
    std::unique_ptr<PrompterScope> scope;
};

TEST_F(BatchConcurrencyTest, ASecondAllocationWaitsForTheFirstAndTakesWhatItLeft)
{
    const int a = AddBatch(1, kBatchProduct, QStringLiteral("A"), QStringLiteral("2024-01-01"), 10);
    const int b = AddBatch(1, kBatchProduct, QStringLiteral("B"), QStringLiteral("2024-02-01"), 10);
    for (int bill : {1, 2}) {
        AddHeader(QStringLiteral("t_SaleOutForm"), bill, 3004, QStringLiteral("XS-%1").arg(bill), QStringLiteral("2024-05-06"), 1);
        AddLine(QStringLiteral("T_SaleOutList"), bill * 10, bill, kBatchProduct, kPiece, bill == 1 ? 8 : 5,
                {QStringLiteral("A"), QStringLiteral("2024-01-01"), {}, {}});
    }

    auto first = std::make_unique<TransactionGuard>(Db());
    ASSERT_TRUE(saleOut(1, -1, Db()));
    std::atomic<bool> secondDone{false};
    auto second = onWorkstation<bool>(QStringLiteral("batch-second"), [&secondDone](const QSqlDatabase &db) {
        TransactionGuard tx(db);
        const bool ok = saleOut(2, -1, db);
        if (ok)
            tx.commit();
        secondDone = true;
        return ok;
    });
    protask::testing::WaitForLockWaits(1); // the second now waits for the locks the first holds
    EXPECT_FALSE(secondDone) << "the second allocation must wait while the first holds the batches";
    first->commit();
    ASSERT_TRUE(second.get());

    // The first took 8 of A; the second finds 2 left there and takes the other 3 from B.
    EXPECT_DOUBLE_EQ(BatchStock(a), 0);
    EXPECT_DOUBLE_EQ(BatchStock(b), 7);
    EXPECT_DOUBLE_EQ(Number(QStringLiteral("select sum(FNumber) from t_comProductOutBatchNo where FBillID = 2 and FFromID = %1").arg(a)), 2);
    EXPECT_DOUBLE_EQ(Number(QStringLiteral("select sum(FNumber) from t_comProductOutBatchNo where FBillID = 2 and FFromID = %1").arg(b)), 3);
}

TEST_F(BatchConcurrencyTest, ALockTimeoutFailsTheStepAndTheRollbackLeavesNothing)
{
    const int a = AddBatch(1, kBatchProduct, QStringLiteral("A"), QStringLiteral("2024-01-01"), 10);
    const int y = AddBatch(1, kSecondBatchProduct, QStringLiteral("Y"), QStringLiteral("2024-01-01"), 10);
    for (int bill : {1, 2, 3}) {
        AddHeader(QStringLiteral("t_SaleOutForm"), bill, 3004, QStringLiteral("XS-%1").arg(bill), QStringLiteral("2024-05-06"), 1);
        AddLine(QStringLiteral("T_SaleOutList"), bill * 10, bill, bill == 3 ? kSecondBatchProduct : kBatchProduct, kPiece, 4, {});
    }

    TransactionGuard first(Db());
    ASSERT_TRUE(saleOut(1, -1, Db()));
    // The other workstation posts bill 3 (free) and then bill 2 (blocked) in one transaction.
    auto other = onWorkstation<QString>(QStringLiteral("batch-timeout"), [](const QSqlDatabase &db) {
        Exec(QStringLiteral("SET SESSION innodb_lock_wait_timeout = 1"), db);
        TransactionGuard tx(db);
        try {
            if (!saleOut(3, -1, db))
                return QStringLiteral("bill 3 refused");
        } catch (const DbError &e) {
            return QStringLiteral("bill 3 failed: ") + e.message();
        }
        try {
            saleOut(2, -1, db);
            return QStringLiteral("bill 2 did not wait");
        } catch (const DbError &e) {
            if (e.kind() != DbErrorKind::LockWaitTimeout)
                return QStringLiteral("no lock timeout: ") + e.message();
        }
        return QStringLiteral("timeout"); // the guard rolls back
    });
    EXPECT_EQ(other.get(), QStringLiteral("timeout"));
    first.rollback();

    EXPECT_DOUBLE_EQ(BatchStock(a), 10);
    EXPECT_DOUBLE_EQ(BatchStock(y), 10) << "bill 3's take went with the rollback";
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductOutBatchNo")), 0);
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductBatchNo")), 2);
}

// Four workstations check and uncheck their own sales-out bills, all drawing on the same
// batches. The stock is exactly what all bills need at once, so that any quantity taken
// twice drives a batch row below zero or books a shortage; a trigger notes every negative
// value a committed transaction wrote.
TEST_F(BatchConcurrencyTest, FourWorkstationsNeverTakeTheSameStockTwice)
{
    constexpr int kWorkstations = 4;
    constexpr int kOperations = 200;
    constexpr int kBillsEach = 5;
    // Every bill: 7 of the milk powder naming batch B, 4 of the yoghurt naming none; every
    // other bill lists them the other way round.
    const std::map<QString, double> start = {{QStringLiteral("A"), 40}, {QStringLiteral("B"), 30}, {QStringLiteral("C"), 70},
                                             {QStringLiteral("D"), 50}, {QStringLiteral("E"), 30}};
    std::map<int, QString> batchName;
    batchName[AddBatch(1, kBatchProduct, QStringLiteral("A"), QStringLiteral("2024-01-01"), 40)] = QStringLiteral("A");
    batchName[AddBatch(1, kBatchProduct, QStringLiteral("B"), QStringLiteral("2024-02-01"), 30)] = QStringLiteral("B");
    batchName[AddBatch(1, kBatchProduct, QStringLiteral("C"), QStringLiteral("2024-03-01"), 70)] = QStringLiteral("C");
    batchName[AddBatch(1, kSecondBatchProduct, QStringLiteral("D"), QStringLiteral("2024-01-15"), 50)] = QStringLiteral("D");
    batchName[AddBatch(1, kSecondBatchProduct, QStringLiteral("E"), QStringLiteral("2024-02-15"), 30)] = QStringLiteral("E");
    const int bills = kWorkstations * kBillsEach;
    for (int bill = 1; bill <= bills; ++bill) {
        AddHeader(QStringLiteral("t_SaleOutForm"), bill, 3004, QStringLiteral("XS-%1").arg(bill), QStringLiteral("2024-05-06"), 1);
        const int powderLine = bill * 10 + (bill % 2 ? 1 : 2);
        const int yoghurtLine = bill * 10 + (bill % 2 ? 2 : 1);
        AddLine(QStringLiteral("T_SaleOutList"), powderLine, bill, kBatchProduct, kPiece, 7,
                {QStringLiteral("B"), QStringLiteral("2024-02-01"), {}, {}});
        AddLine(QStringLiteral("T_SaleOutList"), yoghurtLine, bill, kSecondBatchProduct, kPiece, 4, {});
    }
    ASSERT_EQ(Number(QStringLiteral("select sum(FNumber) from t_comProductBatchNo where FProductID = 1")), bills * 7);
    ASSERT_EQ(Number(QStringLiteral("select sum(FNumber) from t_comProductBatchNo where FProductID = 3")), bills * 4);

    Exec(QStringLiteral("create table if not exists batch_negative_seen (FBatchID int, FNumber decimal(24,8))"));
    Exec(QStringLiteral("drop trigger if exists batch_negative_on_update"));
    Exec(QStringLiteral("drop trigger if exists batch_negative_on_insert"));
    Exec(QStringLiteral("create trigger batch_negative_on_update after update on t_comProductBatchNo for each row "
                        "insert into batch_negative_seen select NEW.FID, NEW.FNumber from dual where NEW.FNumber < 0"));
    Exec(QStringLiteral("create trigger batch_negative_on_insert after insert on t_comProductBatchNo for each row "
                        "insert into batch_negative_seen select NEW.FID, NEW.FNumber from dual where NEW.FNumber < 0"));
    struct DropDetector {
        ~DropDetector()
        {
            Exec(QStringLiteral("drop trigger if exists batch_negative_on_update"));
            Exec(QStringLiteral("drop trigger if exists batch_negative_on_insert"));
            Exec(QStringLiteral("drop table if exists batch_negative_seen"));
        }
    } dropDetector;

    struct Tally {
        QList<int> allocated; // the workstation's bills still allocated at the end
        int committed = 0;
        int failed = 0;
        int retries = 0;
    };
    QElapsedTimer clock;
    clock.start();
    std::vector<std::future<Tally>> workstations;
    for (int w = 0; w < kWorkstations; ++w) {
        workstations.push_back(onWorkstation<Tally>(QStringLiteral("batch-ws-%1").arg(w), [w](const QSqlDatabase &db) {
            QRandomGenerator rng(1000 + w);
            bool allocated[kBillsEach] = {};
            Tally tally;
            for (int op = 0; op < kOperations; ++op) {
                const int k = static_cast<int>(rng.bounded(kBillsEach));
                const int bill = w * kBillsEach + k + 1;
                const int sign = allocated[k] ? 1 : -1;
                const TransactionResult r = RunTransaction(db, [&]() { return saleOutStep(bill, sign, db); }, 10);
                tally.retries += r.attempts - 1;
                if (r.committed) {
                    ++tally.committed;
                    allocated[k] = !allocated[k];
                } else {
                    ++tally.failed;
                }
            }
            for (int k = 0; k < kBillsEach; ++k)
                if (allocated[k])
                    tally.allocated << w * kBillsEach + k + 1;
            return tally;
        }));
    }
    QList<int> allocatedBills;
    int committed = 0;
    int failed = 0;
    int retries = 0;
    for (auto &f : workstations) {
        const Tally t = f.get();
        allocatedBills += t.allocated;
        committed += t.committed;
        failed += t.failed;
        retries += t.retries;
    }
    const double seconds = clock.elapsed() / 1000.0;
    std::printf("[batch concurrency] %d workstations x %d operations: %d committed, %d given up, %d retries, "
                "%.1f s, %.0f operations/s, %lld bills allocated at the end\n",
                kWorkstations, kOperations, committed, failed, retries, seconds, committed / seconds,
                static_cast<long long>(allocatedBills.size()));
    RecordProperty("operations_per_second", QString::number(committed / seconds, 'f', 0).toStdString());
    RecordProperty("retries", retries);

    EXPECT_EQ(failed, 0);
    EXPECT_EQ(CountRows(QStringLiteral("batch_negative_seen")), 0) << "a committed allocation drove a batch below zero";
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductBatchNo")), 5) << "no shortage was ever booked";

    // Each batch row holds its starting stock less what the still-allocated bills took from it ...
    TDataSet q(Db());
    q.open(QStringLiteral("select B.FID, B.FNumber + 0 as FNumber, IfNull(sum(O.FNumber),0) + 0 as FTaken "
                          "from t_comProductBatchNo B left join t_comProductOutBatchNo O on O.FFromID = B.FID group by B.FID, B.FNumber"));
    for (q.first(); !q.eof(); q.next()) {
        const QString name = batchName.at(q.fieldByName("FID").toInt());
        EXPECT_DOUBLE_EQ(q.fieldByName("FNumber").toDouble(), start.at(name) - q.fieldByName("FTaken").toDouble()) << name.toStdString();
        EXPECT_GE(q.fieldByName("FNumber").toDouble(), 0) << name.toStdString();
    }
    // ... which is, line by line, exactly each allocated bill's quantity, and nothing for the released ones.
    for (int bill = 1; bill <= bills; ++bill) {
        const bool isAllocated = allocatedBills.contains(bill);
        q.open(QStringLiteral("select L.FID, L.FNumber + 0 as FNeeded, IfNull(sum(O.FNumber),0) + 0 as FTaken from T_SaleOutList L "
                              "left join t_comProductOutBatchNo O on O.FListID = L.FID and O.FBillID = L.FFormID and O.FTypeID = 3004 "
                              "where L.FFormID = %1 group by L.FID, L.FNumber")
                   .arg(bill));
        for (q.first(); !q.eof(); q.next())
            EXPECT_DOUBLE_EQ(q.fieldByName("FTaken").toDouble(), isAllocated ? q.fieldByName("FNeeded").toDouble() : 0)
                << "bill " << bill << " line " << q.fieldByName("FID").toInt();
    }
    const double allocatedPowder = allocatedBills.size() * 7.0;
    const double allocatedYoghurt = allocatedBills.size() * 4.0;
    EXPECT_DOUBLE_EQ(Number(QStringLiteral("select sum(FNumber) from t_comProductBatchNo where FProductID = 1")), bills * 7 - allocatedPowder);
    EXPECT_DOUBLE_EQ(Number(QStringLiteral("select sum(FNumber) from t_comProductBatchNo where FProductID = 3")), bills * 4 - allocatedYoghurt);
}

} // namespace
