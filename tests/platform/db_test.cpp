#include "platform/db.h"
#include "platform/nv_dm_base.h"
#include "test_db.h"

#include <QSqlQuery>
#include <QThread>

#include <gtest/gtest.h>

#include <future>

using namespace protask;
using protask::testing::TestConnectionSettings;

namespace {

class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = nvDMBase::instance().connection();
        TDataSet q(db);
        q.exec(QStringLiteral("DROP TABLE IF EXISTS t_quote_probe"));
        q.exec(QStringLiteral("CREATE TABLE t_quote_probe (FID INT NOT NULL PRIMARY KEY, FName VARCHAR(255)) "
                              "ENGINE=InnoDB DEFAULT CHARSET=utf8mb4"));
    }
    void TearDown() override
    {
        TDataSet q(nvDMBase::instance().connection());
        q.exec(QStringLiteral("DROP TABLE IF EXISTS t_quote_probe"));
    }
    QSqlDatabase db;
};

TEST_F(DbTest, SplicedTextsSurviveARoundTripUnchanged)
{
    const QStringList texts = {
        QStringLiteral("O'Brien"),     QStringLiteral("C:\\报表\\"),   QStringLiteral("100% 纯_棉"),
        QStringLiteral("螺丝钉😀"),    QStringLiteral("a\"b"),         QStringLiteral("line1\nline2\r\n"),
        QStringLiteral("\\'; DROP TABLE t_quote_probe; -- "), QString(QChar(0)) + QStringLiteral("nul") + QChar(0x1a),
        QString(),
    };
    TDataSet q(db);
    for (int i = 0; i < texts.size(); ++i)
        q.exec(QStringLiteral("insert into t_quote_probe(FID, FName) values(%1, %2)").arg(i).arg(sqlQuoted(texts[i], db)));
    for (int i = 0; i < texts.size(); ++i) {
        q.open(QStringLiteral("select FName from t_quote_probe where FName = %1").arg(sqlQuoted(texts[i], db)));
        ASSERT_EQ(q.recordCount(), 1) << texts[i].toStdString();
        EXPECT_EQ(q.fieldByName(QStringLiteral("fname")).toString(), texts[i]);
    }
}

TEST_F(DbTest, EscapingWithoutAConnectionFollowsTheClientLibrary)
{
    const QStringList texts = {QStringLiteral("it's"), QStringLiteral("back\\slash"), QStringLiteral("中文\"引号\""),
                               QStringLiteral("\n\r") + QChar(0) + QChar(0x1a)};
    for (const QString &t : texts)
        EXPECT_EQ(sqlEscape(t, QSqlDatabase()), sqlEscape(t, db)) << t.toStdString();
}

TEST_F(DbTest, NumbersAreSplicedWithADotAndNoGrouping)
{
    EXPECT_EQ(sqlNumber(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(sqlNumber(1234567.5), QStringLiteral("1234567.5"));
    EXPECT_EQ(sqlNumber(-0.0), QStringLiteral("0"));
    EXPECT_EQ(sqlNumber(0.0000001), QStringLiteral("0.0000001"));
    EXPECT_EQ(sqlNumber(-12.0), QStringLiteral("-12"));
    EXPECT_EQ(sqlNumber(qint64(9007199254740993)), QStringLiteral("9007199254740993"));
}

TEST_F(DbTest, SessionIsPinnedToUtf8mb4AndTheQuotingSqlMode)
{
    TDataSet q(db);
    q.open(QStringLiteral("select @@session.sql_mode as m, @@character_set_connection as c, @@character_set_results as r"));
    QStringList mode = q.fieldByName(QStringLiteral("m")).toString().split(QLatin1Char(','));
    QStringList expected = QString::fromLatin1(kSessionSqlMode).split(QLatin1Char(','));
    mode.sort();
    expected.sort();
    EXPECT_EQ(mode, expected);
    EXPECT_FALSE(mode.contains(QStringLiteral("NO_BACKSLASH_ESCAPES")));
    EXPECT_FALSE(mode.contains(QStringLiteral("STRICT_TRANS_TABLES")));
    TDataSet z(db);
    z.open(QStringLiteral("select STR_TO_DATE('', '%Y-%m-%d') is null as n"));
    EXPECT_EQ(z.fieldByName(QStringLiteral("n")).toInt(), 1) << "an empty date text reads as no date";
    EXPECT_EQ(q.fieldByName(QStringLiteral("c")).toString(), QStringLiteral("utf8mb4"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("r")).toString(), QStringLiteral("utf8mb4"));
}

TEST_F(DbTest, DataSetWalksRowsAndMatchesFieldsWithoutCase)
{
    TDataSet q(db);
    q.exec(QStringLiteral("insert into t_quote_probe values (1, 'a'), (2, NULL), (3, 'c')"));
    q.open(QStringLiteral("select FID, FName from t_quote_probe order by FID"));
    ASSERT_EQ(q.recordCount(), 3);
    QStringList seen;
    for (q.first(); !q.eof(); q.next())
        seen << q.fieldByName(QStringLiteral("FNAME")).toString();
    EXPECT_EQ(seen, QStringList({QStringLiteral("a"), QString(), QStringLiteral("c")}));
    EXPECT_TRUE(q.value(1, QStringLiteral("fname")).isNull());
    EXPECT_TRUE(q.fieldByName(QStringLiteral("FID")).isNull()) << "past the end reads null";
    EXPECT_THROW(q.fieldByName(QStringLiteral("FNoSuchField")), std::out_of_range);

    q.open(QStringLiteral("select FID from t_quote_probe where FID > 10"));
    EXPECT_TRUE(q.isEmpty());
    EXPECT_TRUE(q.eof());
}

TEST_F(DbTest, ServerErrorsCarryCodeStatementAndKind)
{
    TDataSet q(db);
    q.exec(QStringLiteral("insert into t_quote_probe values (1, 'a')"));
    try {
        q.exec(QStringLiteral("insert into t_quote_probe values (1, 'b')"));
        FAIL() << "duplicate key accepted";
    } catch (const DbError &e) {
        EXPECT_EQ(e.code(), 1062);
        EXPECT_EQ(e.kind(), DbErrorKind::DuplicateKey);
        EXPECT_TRUE(e.isRetryable());
        EXPECT_FALSE(e.endedTransaction());
        EXPECT_TRUE(e.statement().contains(QStringLiteral("'b'")));
    }
    try {
        q.open(QStringLiteral("select nonsense from"));
        FAIL() << "syntax error accepted";
    } catch (const DbError &e) {
        EXPECT_EQ(e.code(), 1064);
        EXPECT_EQ(e.kind(), DbErrorKind::Other);
        EXPECT_FALSE(e.isRetryable());
    }
}

TEST_F(DbTest, TransactionGuardRollsBackUnlessCommitted)
{
    TDataSet q(db);
    {
        TransactionGuard tx(db);
        q.exec(QStringLiteral("insert into t_quote_probe values (1, 'kept only when committed')"));
    }
    q.open(QStringLiteral("select count(*) as n from t_quote_probe"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("n")).toInt(), 0);
    {
        TransactionGuard tx(db);
        q.exec(QStringLiteral("insert into t_quote_probe values (2, 'committed')"));
        tx.commit();
    }
    q.open(QStringLiteral("select count(*) as n from t_quote_probe"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("n")).toInt(), 1);

    // A COMMIT the server refuses leaves nothing open for the next statement to commit.
    setBeforeCommitHook([](const QSqlDatabase &) { throw DbError(1180, QStringLiteral("Got error during COMMIT"), {}); });
    {
        TransactionGuard tx(db);
        EXPECT_TRUE(transactionOpen(db));
        q.exec(QStringLiteral("insert into t_quote_probe values (3, 'commit refused')"));
        EXPECT_THROW(tx.commit(), DbError);
        EXPECT_FALSE(transactionOpen(db));
    }
    setBeforeCommitHook(nullptr);
    q.exec(QStringLiteral("insert into t_quote_probe values (4, 'autocommit again')"));
    q.open(QStringLiteral("select group_concat(FID order by FID) as ids from t_quote_probe"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("ids")).toString(), QStringLiteral("2,4"));
}

TEST_F(DbTest, LockWaitAndDeadlockAreClassifiedForRetry)
{
    TDataSet seed(db);
    seed.exec(QStringLiteral("insert into t_quote_probe values (1, 'x'), (2, 'y')"));

    QSqlDatabase other = openConnection(TestConnectionSettings(QStringLiteral("second")));
    {
        TDataSet a(db);
        TDataSet b(other);
        b.exec(QStringLiteral("SET SESSION innodb_lock_wait_timeout = 1"));
        TransactionGuard ta(db);
        a.exec(QStringLiteral("update t_quote_probe set FName = 'a' where FID = 1"));
        TransactionGuard tb(other);
        try {
            b.exec(QStringLiteral("update t_quote_probe set FName = 'b' where FID = 1"));
            FAIL() << "the row lock was not waited for";
        } catch (const DbError &e) {
            EXPECT_EQ(e.kind(), DbErrorKind::LockWaitTimeout);
            EXPECT_TRUE(e.isRetryable());
        }
    }

    // A deadlock: each side holds one row and asks for the other's. The second side
    // blocks, so it runs on a thread with a connection of its own.
    {
        TransactionGuard ta(db);
        TDataSet a(db);
        a.exec(QStringLiteral("update t_quote_probe set FName = 'a' where FID = 1"));
        std::promise<void> holdsRow2;
        auto waiter = std::async(std::launch::async, [&holdsRow2]() -> int {
            ConnectionSettings s = TestConnectionSettings(QStringLiteral("deadlock-thread"));
            int code = 0;
            {
                QSqlDatabase tdb = openConnection(s);
                TDataSet b(tdb);
                try {
                    TransactionGuard tb(tdb);
                    b.exec(QStringLiteral("update t_quote_probe set FName = 'b' where FID = 2"));
                    holdsRow2.set_value();
                    b.exec(QStringLiteral("update t_quote_probe set FName = 'b' where FID = 1"));
                    tb.commit();
                } catch (const DbError &e) {
                    code = e.code();
                }
                tdb.close();
            }
            QSqlDatabase::removeDatabase(s.connectionName);
            return code;
        });
        holdsRow2.get_future().wait();
        protask::testing::WaitForLockWaits(1); // the thread now waits for row 1
        int mainCode = 0;
        try {
            a.exec(QStringLiteral("update t_quote_probe set FName = 'a' where FID = 2"));
            ta.commit();
        } catch (const DbError &e) {
            mainCode = e.code();
            EXPECT_TRUE(e.endedTransaction());
            EXPECT_EQ(e.kind(), DbErrorKind::Deadlock);
        }
        const int threadCode = waiter.get();
        EXPECT_TRUE(mainCode == 1213 || threadCode == 1213) << mainCode << " " << threadCode;
    }
    other.close();
    QSqlDatabase::removeDatabase(QStringLiteral("second"));
}

TEST(Connection, ALostConnectionIsReportedNotSilentlyReopened)
{
    nvDMBase &dm = nvDMBase::instance();
    TDataSet q(dm.connection());
    q.open(QStringLiteral("select CONNECTION_ID() as id"));
    const QString id = q.fieldByName(QStringLiteral("id")).toString();

    protask::testing::KillConnection(dm.connection());

    try {
        q.open(QStringLiteral("select 1 as one"));
        FAIL() << "the killed connection answered";
    } catch (const DbError &e) {
        EXPECT_EQ(e.kind(), DbErrorKind::ConnectionLost) << e.code();
        EXPECT_TRUE(e.endedTransaction());
    }
    // The next statement must not run on a silently reopened connection either.
    EXPECT_THROW(q.open(QStringLiteral("select 1 as one")), DbError);

    dm.reconnect();
    TDataSet again(dm.connection());
    again.open(QStringLiteral("select CONNECTION_ID() as id"));
    EXPECT_NE(again.fieldByName(QStringLiteral("id")).toString(), id);
}

} // namespace
