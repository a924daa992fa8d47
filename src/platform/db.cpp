#include "platform/db.h"

#include "platform/program_folder.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QSet>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <mysql.h>

#include <cmath>

namespace protask {

const char *const kSessionSqlMode = "NO_ENGINE_SUBSTITUTION,NO_ZERO_DATE";

namespace {

QString composeMessage(int code, const QString &text, const QString &statement)
{
    QString message = QStringLiteral("[%1] %2").arg(code).arg(text);
    if (!statement.isEmpty())
        message += QStringLiteral("\n") + statement.left(2000);
    return message;
}

} // namespace

DbError::DbError(int code, const QString &serverText, const QString &statement)
    : std::runtime_error(composeMessage(code, serverText, statement).toStdString()), m_code(code),
      m_serverText(serverText), m_statement(statement)
{}

DbError::~DbError() = default;

DbError DbError::fromSqlError(const QSqlError &error, const QString &statement)
{
    bool ok = false;
    int code = error.nativeErrorCode().toInt(&ok);
    if (!ok)
        code = 0;
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    if (text.isEmpty())
        text = error.text();
    return DbError(code, text, statement);
}

DbErrorKind classifyServerError(int code)
{
    switch (code) {
    case 1213: // deadlock
    case 1020: // record changed since last read (newer MariaDB under snapshot isolation)
        return DbErrorKind::Deadlock;
    case 1205: return DbErrorKind::LockWaitTimeout;
    case 1062: return DbErrorKind::DuplicateKey;
    case 1467: // failed to read the auto-increment value: a deadlock victim on the AUTO-INC lock
        return DbErrorKind::Deadlock;
    case 1305: // savepoint does not exist: the server ended the transaction
    case kErrTransactionEnded: return DbErrorKind::TransactionEnded;
    case 1047: // WSREP has not yet prepared node for application use
    case 1180: // Got error 6 during COMMIT: the node lost its cluster while replicating
        return DbErrorKind::NodeNotReady;
    case 2006: // server has gone away
    case 2013: // lost connection during query
    case 2002: // cannot connect through the socket
    case 2003:
    case 4031: // disconnected by the server for inactivity
        return DbErrorKind::ConnectionLost;
    default: return DbErrorKind::Other;
    }
}

DbErrorKind DbError::kind() const { return classifyServerError(m_code); }

bool DbError::isRetryable() const
{
    const auto k = kind();
    return k == DbErrorKind::Deadlock || k == DbErrorKind::LockWaitTimeout || k == DbErrorKind::DuplicateKey
        || k == DbErrorKind::TransactionEnded || k == DbErrorKind::NodeNotReady;
}

bool DbError::endedTransaction() const
{
    const auto k = kind();
    // A node that dropped out of its cluster may or may not keep the transaction: nothing
    // proves it alive, so it counts as ended.
    return k == DbErrorKind::Deadlock || k == DbErrorKind::ConnectionLost || k == DbErrorKind::TransactionEnded
        || k == DbErrorKind::NodeNotReady;
}

QString DbError::message() const { return QString::fromStdString(what()); }

QSqlDatabase openConnection(const ConnectionSettings &settings)
{
    const QString name = settings.connectionName.isEmpty() ? QStringLiteral("protask") : settings.connectionName;
    if (QSqlDatabase::contains(name)) {
        {
            QSqlDatabase old = QSqlDatabase::database(name, false);
            if (old.isOpen())
                old.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    if (!settings.socket.isEmpty()) {
        db.setHostName(QStringLiteral("localhost"));
    } else {
        db.setHostName(settings.host.isEmpty() ? QStringLiteral("127.0.0.1") : settings.host);
        db.setPort(settings.port);
    }
    db.setUserName(settings.user);
    db.setPassword(settings.password);
    db.setDatabaseName(settings.database);
    QStringList options;
    if (!settings.socket.isEmpty())
        options << QStringLiteral("UNIX_SOCKET=") + settings.socket;
    options << QStringLiteral("MYSQL_OPT_RECONNECT=0") << QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=10");
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open())
        throw DbError::fromSqlError(db.lastError(), QStringLiteral("connect"));
    initSession(db);
    return db;
}

namespace {

// What a connection's server is, asked on the first read that needs it (per connection name;
// forgotten when the connection is opened again, which may reach another server).
struct ClusterFacts {
    bool node = false;
    bool perStatement = false; // MariaDB's SET STATEMENT; elsewhere the whole session waits
    bool catchUp = true;
};
QMutex g_clusterMutex;
QHash<QString, ClusterFacts> g_cluster;

void forgetClusterFacts(const QSqlDatabase &db)
{
    QMutexLocker lock(&g_clusterMutex);
    g_cluster.remove(db.connectionName());
}

void setSessionSyncWait(const QSqlDatabase &db, bool on)
{
    const QString sql = QStringLiteral("SET SESSION wsrep_sync_wait = %1").arg(on ? 1 : 0);
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
}

ClusterFacts clusterFacts(const QSqlDatabase &db)
{
    // Statements built without a connection (their text alone) need no catch-up.
    if (!db.isValid() || !db.isOpen())
        return {};
    {
        QMutexLocker lock(&g_clusterMutex);
        const auto it = g_cluster.constFind(db.connectionName());
        if (it != g_cluster.cend())
            return *it;
    }
    const QString sql = QStringLiteral("SHOW VARIABLES WHERE Variable_name IN ('wsrep_on','wsrep_provider','version')");
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
    QHash<QString, QString> values;
    while (q.next())
        values.insert(q.value(0).toString().toLower(), q.value(1).toString());
    ClusterFacts facts;
    const QString provider = values.value(QStringLiteral("wsrep_provider")).trimmed();
    facts.node = values.value(QStringLiteral("wsrep_on")).compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0
        && !provider.isEmpty() && provider.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
    facts.perStatement =
        values.value(QStringLiteral("version")).contains(QLatin1String("MariaDB"), Qt::CaseInsensitive);
    if (facts.node && !facts.perStatement)
        setSessionSyncWait(db, true);
    QMutexLocker lock(&g_clusterMutex);
    g_cluster.insert(db.connectionName(), facts);
    return facts;
}

} // namespace

bool isClusterNode(const QSqlDatabase &db) { return clusterFacts(db).node; }

QString causalRead(const QString &select, const QSqlDatabase &db)
{
    const ClusterFacts facts = clusterFacts(db);
    if (!facts.node || !facts.perStatement || !facts.catchUp)
        return select;
    return QStringLiteral("SET STATEMENT wsrep_sync_wait = 1 FOR ") + select;
}

void catchUpWithCluster(const QSqlDatabase &db)
{
    const ClusterFacts facts = clusterFacts(db);
    if (!facts.node || !facts.perStatement || !facts.catchUp || transactionOpen(db))
        return;
    const QString sql = causalRead(QStringLiteral("SELECT 1"), db);
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
}

void setClusterCatchUp(const QSqlDatabase &db, bool on)
{
    ClusterFacts facts = clusterFacts(db);
    facts.catchUp = on;
    if (facts.node && !facts.perStatement)
        setSessionSyncWait(db, on);
    QMutexLocker lock(&g_clusterMutex);
    g_cluster.insert(db.connectionName(), facts);
}

void initSession(const QSqlDatabase &db)
{
    forgetClusterFacts(db);
    QSqlQuery q(db);
    const QStringList init = {
        QStringLiteral("SET NAMES utf8mb4 COLLATE utf8mb4_unicode_520_ci"),
        QStringLiteral("SET SESSION sql_mode = '%1'").arg(QLatin1String(kSessionSqlMode)),
    };
    for (const QString &sql : init) {
        if (!q.exec(sql))
            throw DbError::fromSqlError(q.lastError(), sql);
    }
    // A stopped server clock for every session of the process (runs that must not depend on
    // today, and demonstrations): now() and curdate() read the instant given, e.g.
    // PROTASK_SERVER_CLOCK=2026-12-15T10:00:00.
    const QDateTime pinned = QDateTime::fromString(qEnvironmentVariable("PROTASK_SERVER_CLOCK"), Qt::ISODate);
    if (pinned.isValid()) {
        const QString sql = QStringLiteral("SET timestamp = UNIX_TIMESTAMP(%1)")
                                .arg(sqlQuoted(pinned.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), db));
        if (!q.exec(sql))
            throw DbError::fromSqlError(q.lastError(), sql);
    }
}

void reopenConnection(QSqlDatabase &db)
{
    db.close();
    if (!db.open())
        throw DbError::fromSqlError(db.lastError(), QStringLiteral("connect"));
    initSession(db);
}

bool connectionAlive(const QSqlDatabase &db)
{
    if (!db.isValid() || !db.isOpen())
        return false;
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("DO 1")))
        return true;
    return classifyServerError(q.lastError().nativeErrorCode().toInt()) != DbErrorKind::ConnectionLost;
}

namespace {

MYSQL *mysqlHandle(const QSqlDatabase &db)
{
    if (!db.isValid() || !db.isOpen() || !db.driver())
        return nullptr;
    QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "MYSQL*") != 0)
        return nullptr;
    return *static_cast<MYSQL *const *>(v.constData());
}

// The rules of the client library's escape function for utf8mb4 with backslash
// escapes enabled (the session's sql_mode guarantees both).
QString escapeLikeClientLibrary(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case 0: out += QLatin1String("\\0"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\'': out += QLatin1String("\\'"); break;
        case '"': out += QLatin1String("\\\""); break;
        case 0x1a: out += QLatin1String("\\Z"); break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

QString sqlEscape(const QString &text, const QSqlDatabase &db)
{
    if (MYSQL *h = mysqlHandle(db)) {
        const QByteArray in = text.toUtf8();
        QByteArray out(in.size() * 2 + 1, Qt::Uninitialized);
        const unsigned long n =
            mysql_real_escape_string(h, out.data(), in.constData(), static_cast<unsigned long>(in.size()));
        if (n != static_cast<unsigned long>(-1)) {
            out.truncate(static_cast<int>(n));
            return QString::fromUtf8(out);
        }
    }
    return escapeLikeClientLibrary(text);
}

QString sqlQuoted(const QString &text, const QSqlDatabase &db)
{
    return QLatin1Char('\'') + sqlEscape(text, db) + QLatin1Char('\'');
}

QString sqlQuotedIdentifier(const QString &name)
{
    QString inner = name;
    inner.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + inner + QLatin1Char('`');
}

QString sqlNumber(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    QString s = QString::number(value, 'f', 10);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QString sqlNumber(qint64 value) { return QString::number(value); }

// ---------------------------------------------------------------------------

TDataSet::TDataSet() = default;

TDataSet::TDataSet(const QSqlDatabase &db) : m_db(db) {}

void TDataSet::close()
{
    m_active = false;
    m_fields.clear();
    m_rows.clear();
    m_cursor = 0;
}

void TDataSet::open(const QString &sql)
{
    close();
    m_sql = sql;
    m_rowsAffected = -1;
    m_lastInsertId = QVariant();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
    m_rowsAffected = q.numRowsAffected();
    m_lastInsertId = q.lastInsertId();
    if (q.isSelect()) {
        const QSqlRecord rec = q.record();
        const int n = rec.count();
        m_fields.reserve(n);
        for (int i = 0; i < n; ++i)
            m_fields << rec.fieldName(i);
        while (q.next()) {
            QVector<QVariant> row(n);
            for (int i = 0; i < n; ++i)
                row[i] = q.value(i);
            m_rows.append(std::move(row));
        }
        if (q.lastError().isValid())
            throw DbError::fromSqlError(q.lastError(), sql);
    }
    m_active = true;
    m_cursor = 0;
}

void TDataSet::exec(const QString &sql)
{
    close();
    m_sql = sql;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
    m_rowsAffected = q.numRowsAffected();
    m_lastInsertId = q.lastInsertId();
}

int TDataSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant TDataSet::fieldByName(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw std::out_of_range(QStringLiteral("field %1 not found in: %2").arg(name, m_sql.left(300)).toStdString());
    if (m_cursor < 0 || m_cursor >= recordCount())
        return QVariant();
    return m_rows.at(m_cursor).at(i);
}

QVariant TDataSet::value(int row, int column) const
{
    if (row < 0 || row >= recordCount() || column < 0 || column >= fieldCount())
        return QVariant();
    return m_rows.at(row).at(column);
}

QVariant TDataSet::value(int row, const QString &name) const { return value(row, fieldIndex(name)); }

// ---------------------------------------------------------------------------

namespace {

// Connection names with a guard's transaction open. Only the thread that owns a connection
// uses it, but test workstations run one connection per thread.
std::function<void(const QSqlDatabase &)> g_beforeCommit;
QMutex g_openMutex;
QSet<QString> g_openTransactions;

void setTransactionOpen(const QSqlDatabase &db, bool open)
{
    QMutexLocker lock(&g_openMutex);
    if (open)
        g_openTransactions.insert(db.connectionName());
    else
        g_openTransactions.remove(db.connectionName());
}

void execOrThrow(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
}

} // namespace

void setBeforeCommitHook(std::function<void(const QSqlDatabase &)> hook) { g_beforeCommit = std::move(hook); }

bool transactionOpen(const QSqlDatabase &db)
{
    QMutexLocker lock(&g_openMutex);
    return g_openTransactions.contains(db.connectionName());
}

TransactionGuard::TransactionGuard(const QSqlDatabase &db) : m_db(db)
{
    execOrThrow(m_db, QStringLiteral("START TRANSACTION"));
    m_open = true;
    setTransactionOpen(m_db, true);
}

TransactionGuard::~TransactionGuard()
{
    if (m_open) {
        try {
            rollback();
        } catch (const DbError &e) {
            // The connection may be gone; the server rolls back on its own then.
            LogFailure(QStringLiteral("回滚失败：") + e.message());
        }
    }
}

void TransactionGuard::markClosed()
{
    m_open = false;
    setTransactionOpen(m_db, false);
}

void TransactionGuard::commit()
{
    if (!m_open)
        return;
    try {
        if (g_beforeCommit)
            g_beforeCommit(m_db);
        execOrThrow(m_db, QStringLiteral("COMMIT"));
    } catch (const DbError &e) {
        // A refused COMMIT can leave the transaction open on a live connection; it must
        // not stay open for the next action to commit by accident.
        if (e.kind() != DbErrorKind::ConnectionLost) {
            try {
                execOrThrow(m_db, QStringLiteral("ROLLBACK"));
            } catch (const DbError &rollbackError) {
                LogFailure(QStringLiteral("提交失败后回滚失败：") + rollbackError.message());
            }
        }
        markClosed();
        throw;
    }
    markClosed();
}

void TransactionGuard::rollback()
{
    if (!m_open)
        return;
    markClosed();
    execOrThrow(m_db, QStringLiteral("ROLLBACK"));
}

bool runInSavepoint(const QSqlDatabase &db, const QString &name, const std::function<bool()> &step)
{
    if (!transactionOpen(db))
        return step();
    execOrThrow(db, QStringLiteral("SAVEPOINT ") + name);
    bool ok = false;
    try {
        ok = step();
    } catch (const DbError &e) {
        // A deadlock (on a cluster: another node's commit aborting ours) took the savepoint
        // with the whole transaction.
        if (e.kind() == DbErrorKind::ConnectionLost)
            throw;
        if (e.endedTransaction())
            throw DbError(kErrTransactionEnded, e.serverText(), e.statement());
        ok = false;
    }
    if (ok) {
        try {
            execOrThrow(db, QStringLiteral("RELEASE SAVEPOINT ") + name);
        } catch (const DbError &e) {
            throw DbError(kErrTransactionEnded, e.serverText(), e.statement());
        }
        return true;
    }
    try {
        execOrThrow(db, QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
    } catch (const DbError &e) {
        // The savepoint is gone with the transaction: what ran since the action began is
        // rolled back on the server, and the statements after this step would autocommit.
        if (e.kind() == DbErrorKind::ConnectionLost)
            throw;
        throw DbError(kErrTransactionEnded, e.serverText(), e.statement());
    }
    return false;
}

} // namespace protask
