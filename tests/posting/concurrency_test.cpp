#include "core/db_actions.h"
#include "posting/posting_engine.h"
#include "posting_test_util.h"

#include <QSqlDatabase>

#include <atomic>
#include <future>
#include <utility>
#include <vector>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

constexpr int kWorkers = 4;
constexpr int kBillsEach = 3;

int billOf(int worker, int i) { return 1000 + worker * 10 + i; }

// Checks the purchase or sales bill or, when it is checked, unchecks it; the flag is read inside
// the attempt, so that an attempt the server rolled back leaves nothing believed.
bool toggle(bool sale, int bill, const QSqlDatabase &db)
{
    const int billType = sale ? 3004 : 3002;
    const QString form = sale ? "t_SaleOutForm" : "t_PurForm";
    const bool checked = Number(Sql("select IfNull(FIsChecked,0) from %1 where FID = %2", form, bill), db) == 1;
    int code = 0;
    return checked ? UnCheckUpdateData(billType, bill, form, code, db)
                   : CheckUpdateData(billType, bill, form, code, db);
}

// Each workstation toggles its purchase and sales bills in turn, each time in a transaction that
// runs again after a deadlock or lock timeout. Answers how many never committed.
int runWorkstations(int ops)
{
    std::vector<std::future<int>> stations;
    for (int w = 0; w < kWorkers; ++w) {
        stations.push_back(OnOwnThread(Sql("workstation%1", w), [ops, w](const QSqlDatabase &db) {
            int failed = 0;
            for (int op = 0; op < ops; ++op) {
                const int bill = billOf(w, op / 2 % kBillsEach);
                const TransactionResult r = RunTransaction(
                    db, [&] { return toggle(op % 2, bill, db); }, 50);
                if (!r.committed && ++failed == 1)
                    ADD_FAILURE() << (r.error ? r.error->message().toStdString() : "refused");
            }
            return failed;
        }));
    }
    int failed = 0;
    for (std::future<int> &s : stations)
        failed += s.get();
    return failed;
}

using Concurrency = PostingTest;

// Purchases into a storehouse and a batch that do not exist yet make balance, batch and cost-mark
// rows on first use at once. Sales draw on batches that hold exactly what all bills need, so a
// quantity taken twice drives a row below zero (a trigger notes it); every other sales bill lists
// its batch products the other way round.
TEST_F(Concurrency, PurchasesAndSalesFromFourWorkstationsMatchTheCommittedFlags)
{
    Exec("update t_comProductBatchNo set FNumber = 19 where FBatchNo1 = 'B2'"); // B1 5 + B2 19: 12 bills x 2
    AddBatch(kStore, kAssembled, {"H2", "2026-04-01"}, 38);                     // H1 10 + H2 38: 12 bills x 4
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
        InsertRow("t_comClient", {{"FID", 11 + w}, {"FTotalAmount", 0}, {"FPayAmount", 0}, {"FUnPayAmount", 0}});
        for (int i = 0; i < kBillsEach; ++i) {
            SeedBill(3002, "t_PurForm", "t_PurList", billOf(w, i),
                     {{"FStorehouseID", kStore2},
                      {"FClientID", kSupplier},
                      {"FAmount", 10},
                      {"FPayAmount", 4},
                      {"FCashID", kCash}},
                     {Line(kPlain, kUnitPiece, 2, 1), Line(kBatch, kUnitBox, 1, 8, {"N1", "2026-05-01"})});
            QList<QVariantMap> lines{Line(kBatch, kUnitPiece, 2, 0, {"B1", "2026-01-01"}, onOrderLine),
                                     Line(kAssembled, kUnitPiece, 4, 0, {}, onOrderLine)};
            if (i % 2)
                std::swap(lines[0], lines[1]);
            SeedBill(3004, "t_SaleOutForm", "t_SaleOutList", billOf(w, i),
                     {{"FStorehouseID", kStore}, {"FClientID", 11 + w}, {"FAmount", 10}, {"FReceiveAmount", 4}},
                     lines << Line(kPlain, kUnitPiece, 3, 0, {}, onOrderLine));
        }
    }
    const auto start = ReadFigures();
    EXPECT_EQ(runWorkstations(400), 0);
    // Every batch line took exactly its checked bill's quantity, and nothing for the others.
    EXPECT_EQ(
        Number("select count(*) from T_SaleOutList L join t_SaleOutForm F on F.FID = L.FFormID join t_comProducts P "
               "on P.FID = L.FProductID and P.FIsBatchNo = 1 where IfNull((select sum(O.FNumber) from "
               "t_comProductOutBatchNo O where O.FListID = L.FID and O.FBillID = L.FFormID and O.FTypeID = 3004), 0) "
               "<> if(F.FIsChecked = 1, L.FNumber, 0)"),
        0);
    // Taking back, one after the other, the bills whose checked flag committed leaves only what a
    // check leaves for good: whatever a race added or lost shows here.
    for (const auto &[type, form] : {std::pair(3002, "t_PurForm"), std::pair(3004, "t_SaleOutForm")}) {
        const QString checked = QString::fromStdString(
            Rows(Sql("select group_concat(FID) from %1 where FIsChecked = 1 and FID >= 1000", QString(form))));
        for (const QString &bill : checked.split(',', Qt::SkipEmptyParts))
            ASSERT_TRUE(Post(false, type, bill.toInt(), form));
    }
    EXPECT_EQ(FigureChanges(start),
              Changes("balrows 2, batchrows 1, lastin1.1 1, lastin2.2 8, marks 3, cprows 12, "
                      "stamp2 1, stamp11 1, stamp12 1, stamp13 1, stamp14 1"));
    EXPECT_EQ(Number("select count(*) from batch_negative_seen"), 0)
        << "a committed allocation drove a batch below zero";
}

TEST_F(Concurrency, ASecondAllocationWaitsForTheFirstAndTakesWhatItLeft)
{
    Exec("delete from t_comProductBatchNo");
    AddBatch(1, kBatch, {"A", "2024-01-01"}, 10);
    AddBatch(1, kBatch, {"B", "2024-02-01"}, 10);
    for (int bill : {1, 2})
        SeedBill(3004, "t_SaleOutForm", "t_SaleOutList", bill, {{"FStorehouseID", 1}},
                 {Line(kBatch, kUnitPiece, bill == 1 ? 8 : 5, 0, {"A", "2024-01-01"})});
    TransactionGuard first(Db());
    ASSERT_TRUE(SaleOutBatches(1, -1));
    std::atomic<bool> secondDone{false};
    auto second = OnOwnThread("batch-second", [&secondDone](const QSqlDatabase &db) {
        TransactionGuard tx(db);
        const bool ok = SaleOutBatches(2, -1, db);
        if (ok)
            tx.commit();
        secondDone = true;
        return ok;
    });
    WaitForLockWaits(1); // the second now waits for the locks the first holds
    EXPECT_FALSE(secondDone) << "the second allocation must wait while the first holds the batches";
    first.commit();
    ASSERT_TRUE(second.get());
    // The first took 8 of A; the second finds 2 left there and takes the other 3 from B.
    EXPECT_EQ(BatchRows(1, kBatch), "A 2024-01-01 - - = 0/0\nB 2024-02-01 - - = 7/0");
}

} // namespace
