#include "core/db_actions.h"
#include "core/sql_helpers.h"
#include "test_db.h"

#include <functional>
#include <future>

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::KillConnection;

namespace {

bool addUnit(int id) { return ExecQuery(u"insert into t_comUnit(FID, FName) values (%1, 'u%1')"_s.arg(id)); }

int units(const QString &where = {})
{
    TDataSet q(Db());
    q.open(u"select count(*) from t_comUnit "_s + where);
    return q.value(0, 0).toInt();
}

using DbActions = protask::testing::DatabaseTest;

TEST_F(DbActions, RefusedOrFailingBodiesLeaveNothingBehind)
{
    TransactionResult r = RunTransaction(Db(), [] { return !addUnit(1); });
    EXPECT_TRUE(r.refused);
    EXPECT_FALSE(r.committed);
    EXPECT_EQ(units(), 0);

    r = RunTransaction(Db(), [] { return addUnit(1) && ExecQuery(u"insert into t_no_such_table values (1)"_s); });
    ASSERT_TRUE(r.error.has_value());
    EXPECT_EQ(r.error->code(), 1146);
    EXPECT_EQ(r.attempts, 1) << "an ordinary error is not retried";
    EXPECT_EQ(units(), 0);

    EXPECT_TRUE(RunTransaction(Db(), [] { return addUnit(1); }).committed);
    EXPECT_EQ(units(), 1);
}

TEST_F(DbActions, DuplicateKeysAreRetriedUntilTheBudgetIsSpent)
{
    addUnit(1);
    int calls = 0;
    // The second attempt takes the next free key, as a save would after GetNextID.
    TransactionResult r = RunTransaction(Db(), [&calls] { return addUnit(2) && addUnit(++calls == 1 ? 1 : 3); });
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(r.attempts, 2);
    EXPECT_EQ(units(), 3);

    // A conflict that never clears is retried with growing pauses until the budget is spent,
    // then the give-up is reported once.
    calls = 0;
    TransactionOptions options;
    options.budgetMs = 400;
    r = RunTransaction(
        Db(),
        [&calls] {
            ++calls;
            return addUnit(1);
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

TEST_F(DbActions, AStepInASavepointFailsAloneUnlessTheTransactionEnded)
{
    // A failed step is undone on its own and the action goes on to commit.
    TransactionResult r = RunTransaction(Db(), [] {
        addUnit(1);
        EXPECT_FALSE(runInSavepoint(
            Db(), u"marks"_s, [] { return addUnit(2) && ExecQuery(u"insert into t_no_such_table values (1)"_s); }));
        return true;
    });
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(units(), 1) << "the step's own row went with its savepoint";

    // A step under which the server ended the transaction (as a deadlock victim's rollback
    // does) must not let the action run on in autocommit: it fails and runs again whole.
    int attempts = 0;
    r = RunTransaction(Db(), [&] {
        addUnit(10);
        // On the first attempt the step ends the transaction and fails.
        runInSavepoint(Db(), u"marks"_s, [&] { return ++attempts > 1 || !ExecQuery(u"ROLLBACK"_s); });
        return addUnit(11);
    });
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(units(u"where FID in (10, 11)"_s), 2) << "both rows once, from the second attempt";
}

// Two actions add to both cash rows in opposite orders; on its first attempt each waits in
// between until the other holds its first row.
TEST_F(DbActions, ADeadlockedActionRunsAgainAndBothActionsLand)
{
    protask::testing::ExecScript(
        u"insert into t_comCash(FID, FName, FBalance) values (1, '现金', 0), (2, '银行', 0)"_s);
    const auto action = [](const QSqlDatabase &db, int first, int amount, const std::function<void()> &between) {
        const auto add = [&db, amount](int row) {
            TDataSet(db).exec(u"update t_comCash set FBalance = FBalance + %1 where FID = %2"_s.arg(amount).arg(row));
        };
        int attempt = 0;
        return RunTransaction(db,
                              [&] {
                                  add(first);
                                  if (++attempt == 1)
                                      between();
                                  add(3 - first);
                                  return true;
                              })
            .committed;
    };
    std::promise<void> otherHoldsRow2, mainHoldsRow1;
    auto other = std::async(std::launch::async, [&] {
        const QString name = u"deadlock-other"_s;
        bool committed = false;
        {
            QSqlDatabase db = openConnection(protask::testing::TestConnectionSettings(name));
            committed = action(db, 2, 10, [&] {
                otherHoldsRow2.set_value();
                mainHoldsRow1.get_future().wait();
            });
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return committed;
    });
    otherHoldsRow2.get_future().wait();
    EXPECT_TRUE(action(Db(), 1, 1, [&] {
        mainHoldsRow1.set_value();
        protask::testing::WaitForLockWaits(1); // the other action now waits for row 1
    }));
    EXPECT_TRUE(other.get());
    TDataSet q(Db());
    q.open(u"select sum(FBalance) from t_comCash"_s);
    EXPECT_DOUBLE_EQ(q.value(0, 0).toDouble(), 22.0) << "each action applied exactly once";
}

TEST_F(DbActions, ALostConnectionIsReportedAndNothingIsSaved)
{
    const TransactionResult r = RunTransaction(Db(), [] {
        addUnit(1);
        KillConnection(Db());
        return addUnit(2);
    });
    EXPECT_FALSE(r.committed);
    EXPECT_TRUE(r.connectionLost);
    EXPECT_EQ(r.attempts, 1);
    EXPECT_EQ(prompter.lastText(), QString::fromUtf8(kConnectionLostMessage));
    EXPECT_TRUE(nvDMBase::instance().isConnected());
    EXPECT_EQ(units(), 0) << "the open transaction died with the connection";
}

TEST_F(DbActions, AConnectionDroppedWhileIdleIsReopenedBeforeTheAction)
{
    KillConnection(Db());
    const QSqlDatabase held = Db(); // a handle taken before the drop keeps working afterwards
    const TransactionResult r = RunTransaction(held, [&held] {
        TDataSet(held).exec(u"insert into t_comUnit(FID, FName) values (1, '个')"_s);
        return true;
    });
    EXPECT_TRUE(r.committed);
    EXPECT_FALSE(r.connectionLost);
    EXPECT_TRUE(prompter.entries().isEmpty()) << "nothing was pending, so nothing is reported";
    EXPECT_EQ(units(), 1);
    TDataSet after(Db());
    after.open(u"select @@session.sql_mode"_s);
    EXPECT_TRUE(after.value(0, 0).toString().contains(u"NO_ZERO_DATE"_s)) << "the reopened session is pinned again";
}

// The connection is lost while COMMIT is on its way. Either the server committed and the
// answer was lost, or it never got the COMMIT; the action's marker tells the user which.
struct LostCommitCase {
    const char *name;
    bool serverCommitted, withMarker, expectCommitted, expectUnknown;
    const char *message;
};

class LostCommit : public protask::testing::DatabaseCaseTest<LostCommitCase> {
protected:
    void TearDown() override
    {
        setBeforeCommitHook(nullptr);
        DatabaseCaseTest::TearDown();
    }
};

TEST_P(LostCommit, TheUserIsToldWhatReallyHappened)
{
    const LostCommitCase &c = GetParam();
    setBeforeCommitHook([&c](const QSqlDatabase &db) {
        if (c.serverCommitted)
            TDataSet(db).exec(u"COMMIT"_s);
        KillConnection(db);
    });
    TransactionOptions options;
    if (c.withMarker)
        options.landed = [](const QSqlDatabase &db) {
            TDataSet q(db);
            q.open(u"select count(*) from t_comUnit where FID = 7"_s);
            return q.value(0, 0).toInt() == 1;
        };
    const TransactionResult r = RunTransaction(
        Db(), [] { return addUnit(7); }, options);
    EXPECT_EQ(r.committed, c.expectCommitted);
    EXPECT_EQ(r.outcomeUnknown, c.expectUnknown);
    EXPECT_TRUE(r.connectionLost);
    EXPECT_EQ(r.attempts, 1) << "an action whose COMMIT may have landed is never replayed";
    EXPECT_EQ(prompter.lastText(), QString::fromUtf8(c.message));
    EXPECT_EQ(units(), c.serverCommitted ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, LostCommit,
    ::testing::Values(LostCommitCase{"LandedAndFound", true, true, true, false, kCommitLandedMessage},
                      LostCommitCase{"NotLandedAndFound", false, true, false, false, kConnectionLostMessage},
                      LostCommitCase{"LandedWithoutMarker", true, false, false, true, kCommitUnknownMessage}),
    [](const auto &tpi) { return std::string(tpi.param.name); });

} // namespace

namespace {

// What a cluster node answers instead of committing: another node's commit won certification
// (certain: not committed, run again), or the node lost its cluster (nobody can say; the
// action's marker decides). A node not ready refuses a statement of the body: run again.
struct ClusterRefusalCase {
    const char *name;
    int code;
    bool atCommit, expectCommitted;
    int expectAttempts;
    const char *message; // nullptr: nothing shown; %1 the attempts
    int refusals = 1;
};

class ClusterRefusal : public protask::testing::DatabaseCaseTest<ClusterRefusalCase> {
protected:
    void TearDown() override
    {
        setBeforeCommitHook(nullptr);
        DatabaseCaseTest::TearDown();
    }
};

TEST_P(ClusterRefusal, TheActionRunsAgainOrIsSettledByItsMarker)
{
    const ClusterRefusalCase &c = GetParam();
    int refusals = c.refusals;
    const auto refuseOnce = [&] {
        if (refusals-- > 0)
            throw DbError(c.code, u"refused by the cluster"_s, c.atCommit ? u"COMMIT"_s : u"insert"_s);
    };
    if (c.atCommit)
        setBeforeCommitHook([&](const QSqlDatabase &) { refuseOnce(); });
    TransactionOptions options;
    options.maxAttempts = 3;
    options.landed = [](const QSqlDatabase &) { return units(u"where FID = 7"_s) == 1; };
    const TransactionResult r = RunTransaction(
        Db(),
        [&] {
            const bool added = addUnit(7);
            if (!c.atCommit)
                refuseOnce();
            return added;
        },
        options);
    EXPECT_EQ(r.committed, c.expectCommitted);
    EXPECT_EQ(r.attempts, c.expectAttempts);
    EXPECT_EQ(LastTransactionAttempts(), c.expectAttempts);
    QString message = c.message ? QString::fromUtf8(c.message) : QString();
    if (message.contains(u"%1"_s))
        message = message.arg(c.expectAttempts) + u"\nrefused by the cluster"_s;
    EXPECT_EQ(prompter.lastText(), message);
    EXPECT_EQ(units(), c.expectCommitted ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ClusterRefusal,
    ::testing::Values(ClusterRefusalCase{"CertificationConflictAtCommit", 1213, true, true, 2, nullptr},
                      ClusterRefusalCase{"NodeNotReadyInTheBody", 1047, false, true, 2, nullptr},
                      ClusterRefusalCase{"NodeLeftTheClusterAtCommit", 1180, true, false, 1, kConnectionLostMessage},
                      ClusterRefusalCase{"NodeNeverReady", 1047, false, false, 3, kNodeNotReadyMessage, 100}),
    [](const auto &tpi) { return std::string(tpi.param.name); });

TEST_F(DbActions, APlainServerReadsWithoutCatchUp)
{
    const QString read = u"select FID from t_comUnit"_s;
    EXPECT_FALSE(isClusterNode(Db()));
    EXPECT_EQ(causalRead(read, Db()), read);
}

} // namespace
