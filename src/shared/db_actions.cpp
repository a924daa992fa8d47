#include "db_actions.h"

#include "prompter.h"
#include "sql_helpers.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QThread>

namespace protask {

const char *const kConnectionLostMessage = "与数据库的连接已断开，本次操作没有完成，数据没有保存。连接已重新建立，请重新操作。";

namespace {

void reportLostConnection(const QSqlDatabase &db)
{
    QString extra;
    try {
        QSqlDatabase same = db;
        reopenConnection(same);
    } catch (const DbError &e) {
        extra = QStringLiteral("\n") + e.serverText();
    }
    try {
        WriteTextLog(QStringLiteral("连接断开：") + db.lastError().text());
    } catch (...) {
    }
    Prompter::current().error(QString::fromUtf8(kConnectionLostMessage) + extra);
}

} // namespace

TransactionResult RunTransaction(const QSqlDatabase &db, const std::function<bool()> &body, int maxAttempts)
{
    TransactionResult result;
    // A connection the server dropped while the workstation was idle is opened again
    // before the action starts: nothing was pending on it.
    if (!connectionAlive(db)) {
        QSqlDatabase same = db;
        try {
            reopenConnection(same);
        } catch (const DbError &e) {
            result.error = e;
            result.connectionLost = true;
            Prompter::current().error(QString::fromUtf8(kConnectionLostMessage) + QStringLiteral("\n") + e.serverText());
            return result;
        }
    }
    for (int attempt = 1; attempt <= maxAttempts; ++attempt) {
        result.attempts = attempt;
        result.error.reset();
        try {
            TransactionGuard tx(db);
            if (!body()) {
                tx.rollback();
                result.refused = true;
                return result;
            }
            tx.commit();
            result.committed = true;
            return result;
        } catch (const DbError &e) {
            result.error = e;
            if (e.kind() == DbErrorKind::ConnectionLost) {
                result.connectionLost = true;
                reportLostConnection(db);
                return result;
            }
            if (!e.isRetryable() || attempt == maxAttempts)
                return result;
            try {
                WriteTextLog(QStringLiteral("重试事务(%1)：%2").arg(attempt).arg(e.serverText()));
            } catch (...) {
            }
            const int pause = 10 + static_cast<int>(QRandomGenerator::global()->bounded(40 * attempt));
            QThread::msleep(static_cast<unsigned long>(pause));
        }
    }
    return result;
}

} // namespace protask
