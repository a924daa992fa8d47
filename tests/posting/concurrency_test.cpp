// Several workstations posting at once, each on a connection of its own: afterwards every
// figure equals what the bills whose checked flag committed imply, and no batch ever went below
// zero. A second allocation of the same batches waits for the first.
#include "core/db_actions.h"
#include "posting/posting_engine.h"
#include "posting_test_util.h"

#include <QElapsedTimer>
#include <QSqlDatabase>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

constexpr int kWorkers = 4;
constexpr int kBillsEach = 3;

int billOf(int worker, int i) { return 1000 + worker * 10 + i; }

// Runs `ops` actions on each of the workstations; every action is a transaction that runs again
// after a deadlock or lock timeout. Answers how many never committed.
int runWorkstations(const char *what, int ops,
                    const std::function<bool(int worker, int op, const QSqlDatabase &db)> &action)
{
    std::atomic<int> failed{0};
    std::atomic<int> retries{0};
    QElapsedTimer clock;
    clock.start();
    std::vector<std::thread> threads;
    for (int w = 0; w < kWorkers; ++w) {
        threads.emplace_back([&, w] {
            const QString name = QStringLiteral("workstation%1").arg(w);
            {
                const QSqlDatabase db = openConnection(TestConnectionSettings(name));
                for (int op = 0; op < ops; ++op) {
                    const TransactionResult r = RunTransaction(
                        db, [&] { return action(w, op, db); }, 50);
                    retries += r.attempts - 1;
                    if (!r.committed && ++failed == 1)
                        std::fprintf(stderr, "%s\n", r.error ? qPrintable(r.error->message()) : "refused");
                }
            }
            QSqlDatabase::removeDatabase(name);
        });
    }
    for (std::thread &t : threads)
        t.join();
    std::printf("[ posting ] %s: %d workstations x %d operations in %.2f s, %d retries\n", what, kWorkers, ops,
                clock.elapsed() / 1000.0, retries.load());
    return failed;
}

// Checks the bill or, when it is checked, unchecks it; the flag is read inside the attempt, so
// that an attempt the server rolled back leaves nothing believed.
bool toggle(int billType, const QString &form, int bill, const QSqlDatabase &db)
{
    const bool checked =
        Number(QStringLiteral("select IfNull(FIsChecked,0) from %1 where FID = %2").arg(form).arg(bill), db) == 1;
    int code = 0;
    return checked ? UnCheckUpdateData(billType, bill, form, code, db)
                   : CheckUpdateData(billType, bill, form, code, db);
}

int checkedBills(const QString &form, int firstBill, int lastBill)
{
    return int(Number(QStringLiteral("select count(*) from %1 where FIsChecked = 1 and FID between %2 and %3")
                          .arg(form)
                          .arg(firstBill)
                          .arg(lastBill)));
}

using Concurrency = PostingTest;

// Purchases into a storehouse that holds nothing yet and a batch that does not exist yet, on the
// server's default settings: balance, batch and cost-mark rows are made on first use by several
// workstations at once. A step that ran on outside its transaction, or a row made twice, shows.
TEST_F(Concurrency, PurchaseChecksFromFourWorkstationsMatchTheCommittedFlags)
{
    for (int w = 0; w < kWorkers; ++w) {
        for (int i = 0; i < kBillsEach; ++i) {
            SeedBill(3002, "t_PurForm", "t_PurList", billOf(w, i),
                     {{"FStorehouseID", kStore2},
                      {"FClientID", kSupplier},
                      {"FAmount", 10},
                      {"FPayAmount", 4},
                      {"FCashID", kCash}},
                     {Line(kPlain, kUnitPiece, 2, 1), Line(kBatch, kUnitBox, 1, 8, "N1", {2026, 5, 1})});
        }
    }
    const auto start = ReadFigures();
    EXPECT_EQ(runWorkstations("purchases", 250,
                              [](int w, int op, const QSqlDatabase &db) {
                                  return toggle(3002, "t_PurForm", billOf(w, op % kBillsEach), db);
                              }),
              0);
    const int n = checkedBills("t_PurForm", billOf(0, 0), billOf(kWorkers, 0));
    EXPECT_EQ(FigureChanges(start),
              Changes(QStringLiteral("stock1 %1, bal2.1 %1, stock2 %2, bal2.2 %2, N1@2 %2, $N1@2 %7, paid2 %3, "
                                     "total2 %4, unpaid2 %5, cash1 %6, balrows 2, batchrows 1, stamp2 1, "
                                     "lastin1.1 1, lastin2.2 8, marks 2")
                          .arg(2 * n)
                          .arg(kBoxRatio * n)
                          .arg(4 * n)
                          .arg(10 * n)
                          .arg(6 * n)
                          .arg(-4 * n)
                          .arg(8 * n)));
}

// Sales-out bills drawing on one sales order line and on batches that hold exactly what all bills
// need at once, so that a quantity taken twice drives a row below zero (a trigger notes every
// negative value written) or books a shortage. Every other bill lists its batch products the other
// way round.
TEST_F(Concurrency, SalesOutFromFourWorkstationsOnSharedBatchesNeverTakeTheSameStockTwice)
{
    Exec("update t_comProductBatchNo set FNumber = 19 where FBatchNo1 = 'B2'"); // B1 5 + B2 19: 12 bills x 2
    AddBatch(kStore, kAssembled, "H2", "2026-04-01", 38);                       // H1 10 + H2 38: 12 bills x 4
    ExecScript("insert into t_Balance(FStorehouseID, FProductID, FNumber) values (1, 1, 1000), (1, 2, 24), (1, 3, 48);"
               "drop trigger if exists batch_negative_on_update; drop trigger if exists batch_negative_on_insert;"
               "create table if not exists batch_negative_seen (FBatchID int, FNumber decimal(24,8));"
               "create trigger batch_negative_on_update after update on t_comProductBatchNo for each row insert into "
               "batch_negative_seen select NEW.FID, NEW.FNumber from dual where NEW.FNumber < 0;"
               "create trigger batch_negative_on_insert after insert on t_comProductBatchNo for each row insert into "
               "batch_negative_seen select NEW.FID, NEW.FNumber from dual where NEW.FNumber < 0");
    struct DropDetector {
        ~DropDetector()
        {
            ExecScript(
                "drop trigger if exists batch_negative_on_update; drop trigger if exists batch_negative_on_insert;"
                "drop table if exists batch_negative_seen");
        }
    } dropDetector;
    const QVariantMap onOrderLine{{"FFromOrderListID", kSaleOrderLine}};
    for (int w = 0; w < kWorkers; ++w) {
        InsertRow("t_comClient",
                  {{"FID", 11 + w}, {"FTotalAmount", 0}, {"FPayAmount", 0}, {"FUnPayAmount", 0}}); // its own
        for (int i = 0; i < kBillsEach; ++i) {
            QList<QVariantMap> lines{Line(kBatch, kUnitPiece, 2, 0, "B1", {2026, 1, 1}, onOrderLine),
                                     Line(kAssembled, kUnitPiece, 4, 0, {}, {}, onOrderLine)};
            if (i % 2)
                std::swap(lines[0], lines[1]);
            SeedBill(3004, "t_SaleOutForm", "t_SaleOutList", billOf(w, i),
                     {{"FStorehouseID", kStore}, {"FClientID", 11 + w}, {"FAmount", 10}, {"FReceiveAmount", 4}},
                     lines << Line(kPlain, kUnitPiece, 3, 0, {}, {}, onOrderLine));
        }
    }
    const auto start = ReadFigures();
    EXPECT_EQ(runWorkstations("sales-out", 200,
                              [](int w, int op, const QSqlDatabase &db) {
                                  return toggle(3004, "t_SaleOutForm", billOf(w, op % kBillsEach), db);
                              }),
              0);

    const int n = checkedBills("t_SaleOutForm", billOf(0, 0), billOf(kWorkers, 0));
    QString expected = QStringLiteral("stock1 %1, bal1.1 %1, stock2 %2, bal1.2 %2, stock3 %3, bal1.3 %3, so501 %4, "
                                      "cprows 12, marks 3, ")
                           .arg(-3 * n)
                           .arg(-2 * n)
                           .arg(-4 * n)
                           .arg(9 * n);
    for (int w = 0; w < kWorkers; ++w) {
        const int c = checkedBills("t_SaleOutForm", billOf(w, 0), billOf(w, kBillsEach));
        expected += QStringLiteral("paid%1 %2, total%1 %3, unpaid%1 %4, stamp%1 1, ")
                        .arg(11 + w)
                        .arg(4 * c)
                        .arg(10 * c)
                        .arg(6 * c);
    }
    // Each batch row holds its starting stock less what the checked bills took from it.
    expected += QString::fromStdString(Rows(
        "select concat(B.FBatchNo1, '@1 ', -sum(O.FNumber)) from t_comProductOutBatchNo O join t_comProductBatchNo B "
        "on B.FID = O.FFromID group by B.FID union all select concat('out ', count(*)) from t_comProductOutBatchNo"));
    EXPECT_EQ(FigureChanges(start), Changes(expected));
    // ... which is, line by line, exactly each checked bill's quantity, and nothing for the others.
    EXPECT_EQ(
        Number("select count(*) from T_SaleOutList L join t_SaleOutForm F on F.FID = L.FFormID join t_comProducts P "
               "on P.FID = L.FProductID and P.FIsBatchNo = 1 where IfNull((select sum(O.FNumber) from "
               "t_comProductOutBatchNo O where O.FListID = L.FID and O.FBillID = L.FFormID and O.FTypeID = 3004), 0) "
               "<> if(F.FIsChecked = 1, L.FNumber, 0)"),
        0);
    EXPECT_EQ(Number("select count(*) from batch_negative_seen"), 0)
        << "a committed allocation drove a batch below zero";
}

TEST_F(Concurrency, ASecondAllocationWaitsForTheFirstAndTakesWhatItLeft)
{
    Exec("delete from t_comProductBatchNo");
    const int a = AddBatch(1, kBatch, "A", "2024-01-01", 10);
    const int b = AddBatch(1, kBatch, "B", "2024-02-01", 10);
    for (int bill : {1, 2}) {
        AddHeader("t_SaleOutForm", bill, 3004, QStringLiteral("XS-%1").arg(bill), "2024-05-06", 1);
        AddLine("T_SaleOutList", bill * 10, bill, kBatch, kUnitPiece, bill == 1 ? 8 : 5, {"A", "2024-01-01", {}, {}});
    }
    auto first = std::make_unique<TransactionGuard>(Db());
    ASSERT_TRUE(SaleOutBatches(1, -1));
    std::atomic<bool> secondDone{false};
    auto second = OnWorkstation("batch-second", [&secondDone](const QSqlDatabase &db) {
        TransactionGuard tx(db);
        const bool ok = SaleOutBatches(2, -1, db);
        if (ok)
            tx.commit();
        secondDone = true;
        return ok;
    });
    WaitForLockWaits(1); // the second now waits for the locks the first holds
    EXPECT_FALSE(secondDone) << "the second allocation must wait while the first holds the batches";
    first->commit();
    ASSERT_TRUE(second.get());
    // The first took 8 of A; the second finds 2 left there and takes the other 3 from B.
    EXPECT_EQ(OutRecords(2),
              QStringLiteral("%1 20 A 2024-01-01 0 - 2\n%2 20 B 2024-02-01 0 - 3").arg(a).arg(b).toStdString());
    EXPECT_EQ(BatchStock(a), 0);
    EXPECT_EQ(BatchStock(b), 7);
}

TEST_F(Concurrency, ALockTimeoutFailsTheStepAndTheRollbackLeavesNothing)
{
    Exec("delete from t_comProductBatchNo");
    const int a = AddBatch(1, kBatch, "A", "2024-01-01", 10);
    const int y = AddBatch(1, kAssembled, "Y", "2024-01-01", 10);
    for (int bill : {1, 2, 3}) {
        AddHeader("t_SaleOutForm", bill, 3004, QStringLiteral("XS-%1").arg(bill), "2024-05-06", 1);
        AddLine("T_SaleOutList", bill * 10, bill, bill == 3 ? kAssembled : kBatch, kUnitPiece, 4, {});
    }
    TransactionGuard first(Db());
    ASSERT_TRUE(SaleOutBatches(1, -1));
    // The other workstation posts bill 3 (free) and then bill 2 (blocked) in one transaction.
    auto other = OnWorkstation("batch-timeout", [](const QSqlDatabase &db) {
        Exec("SET SESSION innodb_lock_wait_timeout = 1", db);
        TransactionGuard tx(db);
        try {
            if (!SaleOutBatches(3, -1, db))
                return QStringLiteral("bill 3 refused");
        } catch (const DbError &e) {
            return QStringLiteral("bill 3 failed: ") + e.message();
        }
        try {
            SaleOutBatches(2, -1, db);
            return QStringLiteral("bill 2 did not wait");
        } catch (const DbError &e) {
            return e.kind() == DbErrorKind::LockWaitTimeout ? QStringLiteral("timeout") : e.message();
        }
    });
    EXPECT_EQ(other.get(), QStringLiteral("timeout")); // and the guard rolled bill 3 back
    first.rollback();
    EXPECT_EQ(BatchStock(a), 10);
    EXPECT_EQ(BatchStock(y), 10) << "bill 3's take went with the rollback";
    EXPECT_EQ(Number("select count(*) from t_comProductOutBatchNo"), 0);
    EXPECT_EQ(Number("select count(*) from t_comProductBatchNo"), 2);
}

} // namespace
