#include "core/db_actions.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"
#include "core/sql_helpers.h"
#include "test_db.h"

#include <QThread>

#include <gtest/gtest.h>

#include <future>

using namespace protask;
using protask::testing::ExecScript;

namespace {

int countRows(const QString &table)
{
    TDataSet q(Db());
    q.open(QStringLiteral("select count(*) as n from ") + table);
    return q.fieldByName(QStringLiteral("n")).toInt();
}

using DbActionsTest = protask::testing::DatabaseTest;

TEST_F(DbActionsTest, RefusedOrFailingBodiesLeaveNothingBehind)
{
    TransactionResult r = RunTransaction(Db(), []() {
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (1, '个')"));
        return false;
    });
    EXPECT_TRUE(r.refused);
    EXPECT_FALSE(r.committed);
    EXPECT_EQ(countRows(QStringLiteral("t_comUnit")), 0);

    r = RunTransaction(Db(), []() {
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (1, '个')"));
        ExecQuery(QStringLiteral("insert into t_no_such_table values (1)"));
        return true;
    });
    ASSERT_TRUE(r.error.has_value());
    EXPECT_EQ(r.error->code(), 1146);
    EXPECT_EQ(r.attempts, 1) << "an ordinary error is not retried";
    EXPECT_EQ(countRows(QStringLiteral("t_comUnit")), 0);

    r = RunTransaction(Db(), []() {
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (1, '个')"));
        return true;
    });
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(countRows(QStringLiteral("t_comUnit")), 1);
}

TEST_F(DbActionsTest, DuplicateKeysAreRetriedUntilTheAttemptsRunOut)
{
    ExecScript(QStringLiteral("insert into t_comUnit(FID, FName) values (1, '个')"));
    int calls = 0;
    TransactionResult r = RunTransaction(Db(), [&calls]() {
        ++calls;
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (2, '箱')"));
        // The second attempt takes the next free key, as a save would after GetNextID.
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (%1, '件')").arg(calls == 1 ? 1 : 3));
        return true;
    });
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(r.attempts, 2);
    EXPECT_EQ(countRows(QStringLiteral("t_comUnit")), 3);

    // A conflict that never clears is retried with growing pauses until the budget is spent,
    // then the give-up is reported once.
    calls = 0;
    TransactionOptions options;
    options.budgetMs = 400;
    r = RunTransaction(
        Db(),
        [&calls]() {
            ++calls;
            ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (1, '重复')"));
            return true;
        },
        options);
    EXPECT_FALSE(r.committed);
    EXPECT_TRUE(r.gaveUp);
    EXPECT_GT(calls, 5);
    EXPECT_EQ(r.attempts, calls);
    ASSERT_TRUE(r.error.has_value());
    EXPECT_EQ(r.error->kind(), DbErrorKind::DuplicateKey);
    ASSERT_EQ(prompter.entries().size(), 1);
    EXPECT_TRUE(prompter.lastText().startsWith(QString::fromUtf8(kRetriesExhaustedMessage).arg(calls)));
}

TEST_F(DbActionsTest, AStepInASavepointFailsAloneUnlessTheTransactionEnded)
{
    // A failed step is undone on its own and the action goes on to commit.
    int attempts = 0;
    TransactionResult r = RunTransaction(Db(), [&]() {
        ++attempts;
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (1, '个')"));
        const bool stepOk = runInSavepoint(Db(), QStringLiteral("marks"), [] {
            ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (2, '箱')"));
            ExecQuery(QStringLiteral("insert into t_no_such_table values (1)"));
            return true;
        });
        EXPECT_FALSE(stepOk);
        return true;
    });
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(countRows(QStringLiteral("t_comUnit")), 1) << "the step's own row went with its savepoint";

    // A step under which the server ended the transaction (as a deadlock victim's rollback
    // does) must not let the action run on in autocommit: it fails and runs again whole.
    attempts = 0;
    r = RunTransaction(Db(), [&]() {
        ++attempts;
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (10, '件')"));
        runInSavepoint(Db(), QStringLiteral("marks"), [&] {
            if (attempts == 1)
                ExecQuery(QStringLiteral("ROLLBACK"));
            return attempts != 1;
        });
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (11, '套')"));
        return true;
    });
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(countRows(QStringLiteral("t_comUnit where FID in (10, 11)")), 2) << "both rows once, from the second attempt";
}

TEST_F(DbActionsTest, ADeadlockedActionRunsAgainAndBothActionsLand)
{
    ExecScript(QStringLiteral("insert into t_comCash(FID, FName, FBalance) values (1, '现金', 0), (2, '银行', 0)"));
    std::promise<void> otherHoldsRow2;
    std::promise<void> mainHoldsRow1;
    auto other = std::async(std::launch::async, [&]() {
        const QString name = QStringLiteral("deadlock-other");
        bool committed = false;
        {
            QSqlDatabase db = openConnection(protask::testing::TestConnectionSettings(name));
            int attempt = 0;
            TransactionResult r = RunTransaction(db, [&]() {
                TDataSet q(db);
                q.exec(QStringLiteral("update t_comCash set FBalance = IfNull(FBalance,0) + 10 where FID = 2"));
                if (++attempt == 1) {
                    otherHoldsRow2.set_value();
                    mainHoldsRow1.get_future().wait();
                }
                q.exec(QStringLiteral("update t_comCash set FBalance = IfNull(FBalance,0) + 10 where FID = 1"));
                return true;
            });
            committed = r.committed;
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return committed;
    });
    otherHoldsRow2.get_future().wait();
    int attempt = 0;
    TransactionResult mine = RunTransaction(Db(), [&]() {
        ExecQuery(QStringLiteral("update t_comCash set FBalance = IfNull(FBalance,0) + 1 where FID = 1"));
        if (++attempt == 1) {
            mainHoldsRow1.set_value();
            protask::testing::WaitForLockWaits(1); // the other action now waits for row 1
        }
        ExecQuery(QStringLiteral("update t_comCash set FBalance = IfNull(FBalance,0) + 1 where FID = 2"));
        return true;
    });
    EXPECT_TRUE(mine.committed);
    EXPECT_TRUE(other.get());
    TDataSet q(Db());
    q.open(QStringLiteral("select sum(FBalance) as s from t_comCash"));
    EXPECT_DOUBLE_EQ(q.fieldByName(QStringLiteral("s")).toDouble(), 22.0) << "each action applied exactly once";
}

TEST_F(DbActionsTest, ALostConnectionIsReportedAndNothingIsSaved)
{
    TransactionResult r = RunTransaction(Db(), []() {
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (1, '个')"));
        protask::testing::KillConnection(Db());
        ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (2, '箱')"));
        return true;
    });
    EXPECT_FALSE(r.committed);
    EXPECT_TRUE(r.connectionLost);
    EXPECT_EQ(r.attempts, 1);
    EXPECT_EQ(prompter.lastText(), QString::fromUtf8(kConnectionLostMessage));
    EXPECT_TRUE(nvDMBase::instance().isConnected());
    EXPECT_EQ(countRows(QStringLiteral("t_comUnit")), 0) << "the open transaction died with the connection";
}

} // namespace

namespace {

TEST_F(DbActionsTest, AConnectionDroppedWhileIdleIsReopenedBeforeTheAction)
{
    protask::testing::KillConnection(Db());

    const QSqlDatabase held = Db(); // a handle taken before the drop keeps working afterwards
    TransactionResult r = RunTransaction(held, [&held]() {
        TDataSet t(held);
        t.exec(QStringLiteral("insert into t_comUnit(FID, FName) values (1, '个')"));
        return true;
    });
    EXPECT_TRUE(r.committed);
    EXPECT_FALSE(r.connectionLost);
    EXPECT_TRUE(prompter.entries().isEmpty()) << "nothing was pending, so nothing is reported";
    EXPECT_EQ(countRows(QStringLiteral("t_comUnit")), 1);
    TDataSet after(Db());
    after.open(QStringLiteral("select @@session.sql_mode as m"));
    EXPECT_TRUE(after.fieldByName(QStringLiteral("m")).toString().contains(QStringLiteral("NO_ZERO_DATE")))
        << "the reopened session is pinned again";
}

} // namespace

namespace {

// The connection is lost while COMMIT is on its way. Either the server committed and the
// answer was lost, or it never got the COMMIT; the action's marker tells the user which.
struct LostCommitCase {
    const char *name;
    bool serverCommitted;
    bool withMarker;
    bool expectCommitted;
    bool expectUnknown;
    const char *message;
};

class LostCommitTest : public DbActionsTest, public ::testing::WithParamInterface<LostCommitCase> {
protected:
    void TearDown() override { setBeforeCommitHook(nullptr); }
};

TEST_P(LostCommitTest, TheUserIsToldWhatReallyHappened)
{
    const LostCommitCase &c = GetParam();
    setBeforeCommitHook([&c](const QSqlDatabase &db) {
        if (c.serverCommitted) {
            TDataSet q(db);
            q.exec(QStringLiteral("COMMIT"));
        }
        protask::testing::KillConnection(db);
    });
    TransactionOptions options;
    if (c.withMarker)
        options.landed = [](const QSqlDatabase &db) {
            TDataSet q(db);
            q.open(QStringLiteral("select count(*) as n from t_comUnit where FID = 7"));
            return q.fieldByName(QStringLiteral("n")).toInt() == 1;
        };
    const TransactionResult r = RunTransaction(
        Db(),
        [] {
            ExecQuery(QStringLiteral("insert into t_comUnit(FID, FName) values (7, '台')"));
            return true;
        },
        options);
    setBeforeCommitHook(nullptr);
    EXPECT_EQ(r.committed, c.expectCommitted);
    EXPECT_EQ(r.outcomeUnknown, c.expectUnknown);
    EXPECT_TRUE(r.connectionLost);
    EXPECT_EQ(r.attempts, 1) << "an action whose COMMIT may have landed is never replayed";
    EXPECT_EQ(prompter.lastText(), QString::fromUtf8(c.message));
    EXPECT_EQ(countRows(QStringLiteral("t_comUnit")), c.serverCommitted ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, LostCommitTest,
    ::testing::Values(LostCommitCase{"LandedAndFound", true, true, true, false, kCommitLandedMessage},
                      LostCommitCase{"NotLandedAndFound", false, true, false, false, kConnectionLostMessage},
                      LostCommitCase{"LandedWithoutMarker", true, false, false, true, kCommitUnknownMessage}),
    [](const auto & tpi) { return std::string(tpi.param.name); });

} // namespace
