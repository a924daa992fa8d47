#include "core/db_actions.h"
#include "core/sql_helpers.h"
#include "test_db.h"

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::KillConnection;

namespace {

bool addUnit(int id) { return ExecQuery(u"insert into t_comUnit(FID, FName) values (%1, 'u%1')"_s.arg(id)); }

int units(const QString &where = {})
{
    return protask::testing::scalar(u"select count(*) from t_comUnit "_s + where).toInt();
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
        runInSavepoint(Db(), u"marks"_s, [&] { return ++attempts > 1 || !ExecQuery(u"ROLLBACK"_s); });
        return addUnit(11);
    });
    EXPECT_TRUE(r.committed);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(units(u"where FID in (10, 11)"_s), 2) << "both rows once, from the second attempt";
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
    EXPECT_TRUE(protask::testing::scalar(u"select @@session.sql_mode"_s).toString().contains(u"NO_ZERO_DATE"_s))
        << "the reopened session is pinned again";
}

// The COMMIT gets no answer: the connection dies (after the server committed, or before), or
// a cluster node refuses. Another node's commit won certification (certain: not committed,
// run again), or the node lost its cluster (nobody can say). Where nobody can say, the
// action's marker tells the user which; without one the outcome stays unknown. A node not
// ready refuses a statement of the body: run again. An action whose COMMIT may have landed is
// never replayed.
struct CommitCase {
    const char *name;
    int refusal; // the node's error; 0: the connection dies, after a COMMIT when serverCommitted
    bool serverCommitted, atCommit, withMarker, committed, unknown; // unknown here: the server committed
    int attempts;
    const char *message; // nullptr: nothing shown; %1 the attempts
    int refusals = 1;
};

class CommitOutcome : public protask::testing::DatabaseCaseTest<CommitCase> {
protected:
    void TearDown() override
    {
        setBeforeCommitHook(nullptr);
        DatabaseCaseTest::TearDown();
    }
};

TEST_P(CommitOutcome, TheActionRunsAgainOrTheUserIsToldWhatReallyHappened)
{
    const CommitCase &c = GetParam();
    int refusals = c.refusals;
    const auto refuse = [&](const QSqlDatabase &db) {
        if (c.refusal == 0) {
            if (c.serverCommitted)
                TDataSet(db).exec(u"COMMIT"_s);
            KillConnection(db);
        } else if (refusals-- > 0) {
            throw DbError(c.refusal, u"refused by the cluster"_s, c.atCommit ? u"COMMIT"_s : u"insert"_s);
        }
    };
    if (c.atCommit)
        setBeforeCommitHook(refuse);
    TransactionOptions options;
    options.maxAttempts = 3;
    if (c.withMarker)
        options.landed = [](const QSqlDatabase &) { return units(u"where FID = 7"_s) == 1; };
    const TransactionResult r = RunTransaction(
        Db(),
        [&] {
            const bool added = addUnit(7);
            if (!c.atCommit)
                refuse(Db());
            return added;
        },
        options);
    EXPECT_EQ(r.committed, c.committed);
    EXPECT_EQ(r.outcomeUnknown, c.unknown);
    EXPECT_EQ(r.connectionLost, c.refusal == 0 || c.refusal == 1180);
    EXPECT_EQ(r.attempts, c.attempts);
    EXPECT_EQ(LastTransactionAttempts(), c.attempts);
    QString message = c.message ? QString::fromUtf8(c.message) : QString();
    if (message.contains(u"%1"_s))
        message = message.arg(c.attempts) + u"\nrefused by the cluster"_s;
    EXPECT_EQ(prompter.lastText(), message);
    EXPECT_EQ(units(), c.committed || c.unknown ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CommitOutcome,
    ::testing::Values(
        CommitCase{"LandedAndFound", 0, true, true, true, true, false, 1, kCommitLandedMessage},
        CommitCase{"NotLandedAndFound", 0, false, true, true, false, false, 1, kConnectionLostMessage},
        CommitCase{"LandedWithoutMarker", 0, true, true, false, false, true, 1, kCommitUnknownMessage},
        CommitCase{"CertificationConflictAtCommit", 1213, false, true, true, true, false, 2, nullptr},
        CommitCase{"NodeNotReadyInTheBody", 1047, false, false, true, true, false, 2, nullptr},
        CommitCase{"NodeLeftTheClusterAtCommit", 1180, false, true, true, false, false, 1, kConnectionLostMessage},
        CommitCase{"NodeNeverReady", 1047, false, false, true, false, false, 3, kNodeNotReadyMessage, 100}),
    [](const auto &tpi) { return std::string(tpi.param.name); });

TEST_F(DbActions, APlainServerReadsWithoutCatchUp)
{
    const QString read = u"select FID from t_comUnit"_s;
    EXPECT_FALSE(isClusterNode(Db()));
    EXPECT_EQ(causalRead(read, Db()), read);
}

} // namespace
