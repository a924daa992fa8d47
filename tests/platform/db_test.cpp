// The data module's connection: quoting, the pinned session, the transaction guard, and how
// server errors and a lost connection reach the caller.
#include "own_connection.h"
#include "platform/db.h"
#include "platform/nv_dm_base.h"
#include "test_db.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>

using namespace protask;

namespace {

// The error a statement meets; a statement that succeeds fails the test.
template <typename F>
DbError errorOf(F &&statement)
{
    try {
        statement();
    } catch (const DbError &e) {
        return e;
    }
    ADD_FAILURE() << "the statement succeeded";
    return DbError(0, QString(), QString());
}

class Db : public protask::testing::DatabaseTest {
protected:
    QSqlDatabase db = nvDMBase::instance().connection();
    TDataSet q{db};
    QString first(const QString &sql)
    {
        q.open(sql);
        return q.value(0, 0).toString();
    }
};

TEST_F(Db, SplicedTextsSurviveARoundTripAndEscapeAlikeWithoutAConnection)
{
    // Quotes, backslashes, wildcards, a four-byte character, line ends, an injection, an empty text, NUL and ^Z.
    const QStringList texts =
        QStringLiteral("O'Brien|C:\\报表\\|100% 纯_棉|螺丝钉😀|a\"b|line1\nline2\r\n|\\'; DROP TABLE t_comUnit; -- |")
            .split(u'|')
        << QString(QChar(0)) + QStringLiteral("nul") + QChar(0x1a);
    for (int i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i].toStdString());
        q.exec(QStringLiteral("insert into t_comUnit(FID, FName) values(%1, %2)").arg(i).arg(sqlQuoted(texts[i], db)));
        EXPECT_EQ(first(QStringLiteral("select FID from t_comUnit where FName = ") + sqlQuoted(texts[i], db)),
                  QString::number(i));
        EXPECT_EQ(first(QStringLiteral("select FName from t_comUnit where FID = %1").arg(i)), texts[i]);
        EXPECT_EQ(sqlEscape(texts[i], QSqlDatabase()), sqlEscape(texts[i], db));
    }
}

TEST_F(Db, NumbersAreSplicedWithADotAndNoGrouping)
{
    const QStringList spliced = {sqlNumber(0.1 + 0.2), sqlNumber(1234567.5), sqlNumber(-0.0),
                                 sqlNumber(0.0000001), sqlNumber(-12.0),     sqlNumber(qint64(9007199254740993))};
    EXPECT_EQ(spliced.join(u' '), QStringLiteral("0.3 1234567.5 0 0.0000001 -12 9007199254740993"));
}

TEST_F(Db, SessionIsPinnedToUtf8mb4AndTheQuotingSqlMode)
{
    QStringList mode = first(QStringLiteral("select @@session.sql_mode")).split(QLatin1Char(','));
    QStringList expected = QString::fromLatin1(kSessionSqlMode).split(QLatin1Char(','));
    mode.sort();
    expected.sort();
    EXPECT_EQ(mode, expected);
    EXPECT_FALSE(mode.contains(QStringLiteral("NO_BACKSLASH_ESCAPES")));
    EXPECT_FALSE(mode.contains(QStringLiteral("STRICT_TRANS_TABLES")));
    EXPECT_EQ(first(QStringLiteral("select STR_TO_DATE('', '%Y-%m-%d') is null")), QStringLiteral("1"))
        << "an empty date text reads as no date";
    EXPECT_EQ(first(QStringLiteral("select concat(@@character_set_connection, '/', @@character_set_results)")),
              QStringLiteral("utf8mb4/utf8mb4"));
}

TEST_F(Db, DataSetWalksRowsAndMatchesFieldsWithoutCase)
{
    q.exec(QStringLiteral("insert into t_comUnit(FID, FName) values (1, 'a'), (2, NULL), (3, 'c')"));
    q.open(QStringLiteral("select FID, FName from t_comUnit order by FID"));
    QStringList seen;
    for (q.first(); !q.eof(); q.next())
        seen << q.fieldByName(QStringLiteral("FNAME")).toString();
    EXPECT_EQ(seen, QStringList({QStringLiteral("a"), QString(), QStringLiteral("c")}));
    EXPECT_TRUE(q.value(1, QStringLiteral("fname")).isNull());
    EXPECT_TRUE(q.fieldByName(QStringLiteral("FID")).isNull()) << "past the end reads null";
    EXPECT_THROW(q.fieldByName(QStringLiteral("FNoSuchField")), std::out_of_range);
    q.open(QStringLiteral("select FID from t_comUnit where FID > 10"));
    EXPECT_TRUE(q.isEmpty() && q.eof());
}

TEST_F(Db, ServerErrorsCarryCodeStatementAndKind)
{
    q.exec(QStringLiteral("insert into t_comUnit(FID, FName) values (1, 'a')"));
    const DbError duplicate =
        errorOf([&] { q.exec(QStringLiteral("insert into t_comUnit(FID, FName) values (1, 'b')")); });
    EXPECT_EQ(duplicate.code(), 1062);
    EXPECT_EQ(duplicate.kind(), DbErrorKind::DuplicateKey);
    EXPECT_TRUE(duplicate.isRetryable());
    EXPECT_FALSE(duplicate.endedTransaction());
    EXPECT_TRUE(duplicate.statement().contains(QStringLiteral("'b'")));
    const DbError syntax = errorOf([&] { q.open(QStringLiteral("select nonsense from")); });
    EXPECT_EQ(syntax.code(), 1064);
    EXPECT_EQ(syntax.kind(), DbErrorKind::Other);
    EXPECT_FALSE(syntax.isRetryable());
}

TEST_F(Db, ARefusedCommitLeavesNothingOpen)
{
    setBeforeCommitHook(
        [](const QSqlDatabase &) { throw DbError(1180, QStringLiteral("Got error during COMMIT"), {}); });
    {
        TransactionGuard tx(db);
        EXPECT_TRUE(transactionOpen(db));
        q.exec(QStringLiteral("insert into t_comUnit(FID) values (3)"));
        EXPECT_THROW(tx.commit(), DbError);
        EXPECT_FALSE(transactionOpen(db));
    }
    setBeforeCommitHook(nullptr);
    // Row 3 must not be committed by the next statement, which runs in autocommit again.
    q.exec(QStringLiteral("insert into t_comUnit(FID) values (4)"));
    EXPECT_EQ(first(QStringLiteral("select group_concat(FID order by FID) from t_comUnit")), QStringLiteral("4"));
}

// Takes row `mine`, runs `between`, then asks for row `theirs`: "committed", or the code of
// the server's refusal and whether it reads as a deadlock that ended the transaction.
QString takeBothRows(const QSqlDatabase &db, int mine, int theirs, const std::function<void()> &between)
{
    const auto touch = [&db](int id) {
        TDataSet(db).exec(QStringLiteral("update t_comUnit set FNo = 'z' where FID = %1").arg(id));
    };
    try {
        TransactionGuard tx(db);
        touch(mine);
        between();
        touch(theirs);
        tx.commit();
        return QStringLiteral("committed");
    } catch (const DbError &e) {
        return QStringLiteral("%1 deadlock=%2 ended=%3 retry=%4")
            .arg(e.code())
            .arg(e.kind() == DbErrorKind::Deadlock)
            .arg(e.endedTransaction())
            .arg(e.isRetryable());
    }
}

// Each side holds one row and asks for the other's: the server ends one of them. The second
// side blocks, so it runs on a thread with a connection of its own. (A lock wait that times
// out is met by the second save of the key tests.)
TEST_F(Db, ADeadlockIsClassifiedForRetry)
{
    q.exec(QStringLiteral("insert into t_comUnit(FID, FName) values (1, 'x'), (2, 'y')"));
    std::promise<void> holdsRow2;
    std::future<QString> second;
    const QString firstSide = takeBothRows(db, 1, 2, [&] {
        second =
            protask::testing::OnOwnThread(QStringLiteral("deadlock-thread"), [&holdsRow2](const QSqlDatabase &own) {
                return takeBothRows(own, 2, 1, [&] { holdsRow2.set_value(); });
            });
        holdsRow2.get_future().wait();
        protask::testing::WaitForLockWaits(1); // the thread now waits for row 1
    });
    QStringList results = {firstSide, second.get()};
    results.sort();
    EXPECT_EQ(results, QStringList({QStringLiteral("1213 deadlock=1 ended=1 retry=1"), QStringLiteral("committed")}));
}

TEST_F(Db, ALostConnectionIsReportedNotSilentlyReopened)
{
    const QString id = first(QStringLiteral("select CONNECTION_ID()"));
    protask::testing::KillConnection(db);
    const DbError lost = errorOf([&] { q.open(QStringLiteral("select 1")); });
    EXPECT_EQ(lost.kind(), DbErrorKind::ConnectionLost) << lost.code();
    EXPECT_TRUE(lost.endedTransaction());
    EXPECT_THROW(q.open(QStringLiteral("select 1")), DbError) << "the next statement must not reopen it either";
    nvDMBase::instance().reconnect();
    EXPECT_NE(first(QStringLiteral("select CONNECTION_ID()")), id);
}

} // namespace
