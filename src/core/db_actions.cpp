#include "core/db_actions.h"

#include "core/sql_helpers.h"
#include "platform/prompter.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QThread>
#include <QUuid>

#include <algorithm>

namespace protask {

const char *const kConnectionLostMessage =
    "与数据库的连接已断开，本次操作没有完成，数据没有保存。连接已重新建立，请重新操作。";
const char *const kCommitLandedMessage =
    "与数据库的连接在提交时断开。连接已重新建立，经核对本次操作已经保存，无需重新操作。";
const char *const kCommitUnknownMessage =
    "与数据库的连接在提交时断开，无法确认本次操作是否已经保存。请刷新后核对数据，再决定是否重新操作。";
const char *const kRetriesExhaustedMessage =
    "数据库繁忙，其他工作站正在修改相同的数据，已重试%1次仍未完成，本次操作没有保存，请稍后再试。";
const char *const kNodeNotReadyMessage =
    "所连接的数据库节点暂时不能处理请求（没有加入集群或正在同步），已重试%1次仍未完成，本次操作没有保存，"
    "请稍后再试或改连其他节点。";

namespace {

void traceLog(const QString &text)
{
    try {
        WriteTextLog(text);
    } catch (...) {
        // The text log is a trace; a full disk must not hide the outcome of the action.
    }
}

// Opens the connection again; the server's text when it cannot.
QString reopen(const QSqlDatabase &db)
{
    try {
        QSqlDatabase same = db;
        reopenConnection(same);
        return QString();
    } catch (const DbError &e) {
        return e.serverText().isEmpty() ? QStringLiteral("?") : e.serverText();
    }
}

void reportLostBeforeCommit(const QSqlDatabase &db, const DbError &e, TransactionResult &result)
{
    traceLog(QStringLiteral("连接断开：") + e.message());
    const QString failure = reopen(db);
    result.connectionLost = true;
    result.reported = true;
    Prompter::current().error(QString::fromUtf8(kConnectionLostMessage)
                              + (failure.isEmpty() ? QString() : QStringLiteral("\n") + failure));
}

// The COMMIT was sent and its answer lost: the server may have committed or not. After
// reopening, the action's own marker tells which.
void settleLostCommit(const QSqlDatabase &db, const DbError &e, const TransactionOptions &options,
                      TransactionResult &result)
{
    traceLog(QStringLiteral("提交时连接断开：") + e.message());
    result.connectionLost = true;
    result.reported = true;
    // A server that went away with the COMMIT is often back within seconds (a restart): the
    // marker can only be read once the connection is open again.
    QString failure = reopen(db);
    QElapsedTimer waited;
    waited.start();
    for (int pause = 250; !failure.isEmpty() && waited.elapsed() + pause <= kSettleReopenMs;
         pause = std::min(pause * 2, 1000)) {
        QThread::msleep(static_cast<unsigned long>(pause));
        failure = reopen(db);
    }
    std::optional<bool> landed;
    if (failure.isEmpty() && options.landed) {
        try {
            landed = options.landed(db);
        } catch (const DbError &probe) {
            traceLog(QStringLiteral("核对提交结果失败：") + probe.message());
        }
    }
    if (!landed) {
        result.outcomeUnknown = true;
        Prompter::current().error(QString::fromUtf8(kCommitUnknownMessage)
                                  + (failure.isEmpty() ? QString() : QStringLiteral("\n") + failure));
        return;
    }
    traceLog(*landed ? QStringLiteral("核对结果：已提交") : QStringLiteral("核对结果：未提交"));
    if (*landed) {
        result.committed = true;
        result.error.reset();
        Prompter::current().information(QString::fromUtf8(kCommitLandedMessage));
    } else {
        Prompter::current().error(QString::fromUtf8(kConnectionLostMessage));
    }
}

} // namespace

void CommitMark::write(const QSqlDatabase &db)
{
    m_token = QUuid::createUuid().toString(QUuid::Id128);
    TDataSet(db).exec(QStringLiteral("insert into zzcommitmark(FToken,FDateTime) values(") + QuotedStr(m_token, db)
                      + QStringLiteral(",now())"));
}

bool CommitMark::landed(const QSqlDatabase &db) const
{
    if (m_token.isEmpty())
        return false;
    TDataSet q(db);
    q.open(QStringLiteral("select FToken from zzcommitmark where FToken = ") + QuotedStr(m_token, db));
    return !q.isEmpty();
}

void CommitMark::clear(const QSqlDatabase &db)
{
    if (m_token.isEmpty())
        return;
    try {
        TDataSet(db).exec(QStringLiteral("delete from zzcommitmark where FToken = ") + QuotedStr(m_token, db));
        // Marks a day old were left by a workstation stopped between its COMMIT and this
        // delete, or by a delete that failed: nobody reads them again. They go by key, found
        // by a plain read, so that the purge never waits on a save that holds its own mark.
        TDataSet stale(db);
        stale.open(QStringLiteral("select FToken from zzcommitmark where FDateTime < now() - interval 1 day "
                                  "order by FDateTime limit 100"));
        QStringList tokens;
        for (; !stale.eof(); stale.next())
            tokens << QuotedStr(stale.fieldByName(QStringLiteral("FToken")).toString(), db);
        if (!tokens.isEmpty())
            TDataSet(db).exec(QStringLiteral("delete from zzcommitmark where FToken in (")
                              + tokens.join(QLatin1Char(',')) + QLatin1Char(')'));
    } catch (const DbError &e) {
        traceLog(QStringLiteral("提交标记未能删除：") + e.message());
    }
    m_token.clear();
}

namespace {
thread_local int t_lastAttempts = 0;
} // namespace

int LastTransactionAttempts() { return t_lastAttempts; }

int RetryPauseMs(int attempt, int capMs)
{
    const int ceiling = std::min(capMs, 10 << std::min(attempt - 1, 6));
    return ceiling / 2 + static_cast<int>(QRandomGenerator::global()->bounded(ceiling / 2 + 1));
}

TransactionResult RunTransaction(const QSqlDatabase &db, const std::function<bool()> &body, int maxAttempts)
{
    TransactionOptions options;
    options.maxAttempts = maxAttempts;
    return RunTransaction(db, body, options);
}

TransactionResult RunTransaction(const QSqlDatabase &db, const std::function<bool()> &body,
                                 const TransactionOptions &options)
{
    TransactionResult result;
    // A connection the server dropped while the workstation was idle is opened again
    // before the action starts: nothing was pending on it.
    if (!connectionAlive(db)) {
        const QString failure = reopen(db);
        if (!failure.isEmpty()) {
            result.error = DbError(2006, failure, QStringLiteral("connect"));
            result.connectionLost = true;
            result.reported = true;
            Prompter::current().error(QString::fromUtf8(kConnectionLostMessage) + QStringLiteral("\n") + failure);
            return result;
        }
    }
    QElapsedTimer clock;
    clock.start();
    for (int attempt = 1;; ++attempt) {
        result.attempts = attempt;
        t_lastAttempts = attempt;
        result.error.reset();
        bool committing = false;
        bool cluster = false;
        try {
            cluster = isClusterNode(db);
            // On a cluster node the transaction starts from everything the cluster has
            // committed: its reads are current, and a retry after a certification conflict
            // does not meet the same conflict again on a row its node had not applied yet.
            catchUpWithCluster(db);
            TransactionGuard tx(db);
            if (!body()) {
                tx.rollback();
                result.refused = true;
                return result;
            }
            committing = true;
            tx.commit();
            result.committed = true;
            return result;
        } catch (const DbError &e) {
            result.error = e;
            // A node that lost its cluster while replicating the COMMIT cannot say whether the
            // others committed it: that is settled like a COMMIT whose answer was lost.
            if (e.kind() == DbErrorKind::ConnectionLost || (committing && e.kind() == DbErrorKind::NodeNotReady)) {
                if (committing)
                    settleLostCommit(db, e, options, result);
                else
                    reportLostBeforeCommit(db, e, result);
                return result;
            }
            if (!e.isRetryable())
                return result;
            const int pause =
                RetryPauseMs(attempt, cluster && e.kind() == DbErrorKind::Deadlock ? kClusterRetryCapMs : 400);
            if (attempt >= options.maxAttempts || clock.elapsed() + pause > options.budgetMs) {
                traceLog(QStringLiteral("重试%1次后放弃：%2").arg(attempt).arg(e.message()));
                result.gaveUp = true;
                result.reported = true;
                const char *const message =
                    e.kind() == DbErrorKind::NodeNotReady ? kNodeNotReadyMessage : kRetriesExhaustedMessage;
                Prompter::current().error(QString::fromUtf8(message).arg(attempt) + QStringLiteral("\n")
                                          + e.serverText());
                return result;
            }
            traceLog(QStringLiteral("重试事务(%1)：%2").arg(attempt).arg(e.message().left(300)));
            QThread::msleep(static_cast<unsigned long>(pause));
        }
    }
}

} // namespace protask
