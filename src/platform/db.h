#pragma once

#include "platform/platform_export.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <stdexcept>

namespace protask {

// What kind of server error a statement met; the actions that retry a transaction
// look only at this.
// A certification conflict of a Galera cluster (at any statement or at COMMIT) and a
// transaction the cluster aborted in favour of another node's are deadlocks (1213); a node
// that is not a working member of its cluster refuses statements (1047) or COMMIT (1180).
enum class DbErrorKind {
    Other,
    Deadlock,
    LockWaitTimeout,
    DuplicateKey,
    ConnectionLost,
    TransactionEnded,
    NodeNotReady
};

// Codes of our own for conditions the client finds out (not server codes).
constexpr int kErrTransactionEnded = 90001; // a savepoint of the open transaction is gone
constexpr int kErrRetriesExhausted = 90002; // the retry budget of a transaction ran out

// A server error: the server's own code and text plus the statement that failed.
class PROTASK_PLATFORM_EXPORT DbError : public std::runtime_error {
public:
    DbError(int code, const QString &serverText, const QString &statement);
    ~DbError() override;
    static DbError fromSqlError(const QSqlError &error, const QString &statement);

    int code() const { return m_code; }
    const QString &serverText() const { return m_serverText; }
    const QString &statement() const { return m_statement; }
    DbErrorKind kind() const;
    // A deadlock, a lock wait timeout, a duplicate key, a failed auto-increment read, a
    // transaction the server ended under us or a cluster node that is not ready: running the
    // whole transaction again may succeed.
    bool isRetryable() const;
    // The server has ended the open transaction (deadlock, a gone savepoint) or the
    // connection is gone.
    bool endedTransaction() const;
    QString message() const;

private:
    int m_code = 0;
    QString m_serverText;
    QString m_statement;
};

PROTASK_PLATFORM_EXPORT DbErrorKind classifyServerError(int code);

struct PROTASK_PLATFORM_EXPORT ConnectionSettings {
    QString host; // empty with a socket
    int port = 3306;
    QString socket; // Unix socket; preferred when set
    QString user = QStringLiteral("root");
    QString password;
    QString database;
    QString connectionName = QStringLiteral("protask");
};

// The session settings every connection gets, whatever the server's defaults: utf8mb4
// and a sql_mode without NO_BACKSLASH_ESCAPES (the quoting relies on backslash escapes),
// without ONLY_FULL_GROUP_BY (the posting statements group by storehouse and product and
// read the unit beside them), not strict (an empty shelf life is written into a number
// column), and with NO_ZERO_DATE so that STR_TO_DATE('') gives null, not a zero date that
// the "IfNull(FKFDate,'') = ''" lookups would never find again.
PROTASK_PLATFORM_EXPORT extern const char *const kSessionSqlMode;

// Opens (or reopens) a connection. The client library's automatic reconnect stays off:
// a silent reconnect would drop an open transaction and let later statements commit
// half a bill. Throws DbError when the server cannot be reached.
PROTASK_PLATFORM_EXPORT QSqlDatabase openConnection(const ConnectionSettings &settings);
// Sets the session's character set and sql_mode (run after every open).
PROTASK_PLATFORM_EXPORT void initSession(const QSqlDatabase &db);
// Opens the same connection object again after it was lost; every copy of the handle sees
// the new session. Throws DbError when the server cannot be reached.
PROTASK_PLATFORM_EXPORT void reopenConnection(QSqlDatabase &db);
// False when the connection is closed or the server no longer answers on it.
PROTASK_PLATFORM_EXPORT bool connectionAlive(const QSqlDatabase &db);

// Whether the connection's server is a node of a Galera cluster (wsrep on, with a provider).
// Asked once per connection; a server without the variables (MySQL) is not one.
PROTASK_PLATFORM_EXPORT bool isClusterNode(const QSqlDatabase &db);
// A read that must see what other workstations committed, through whichever node: on a cluster
// node the statement first waits until its node has applied every transaction the cluster
// committed before it started; on a plain server it comes back unchanged.
PROTASK_PLATFORM_EXPORT QString causalRead(const QString &select, const QSqlDatabase &db);
// The same wait as a statement of its own, for the reads that follow it on this connection.
// Nothing runs on a plain server, nor inside a transaction (whose snapshot is taken already).
PROTASK_PLATFORM_EXPORT void catchUpWithCluster(const QSqlDatabase &db);
// Switches the wait off for this connection (tests show what a read without it sees).
PROTASK_PLATFORM_EXPORT void setClusterCatchUp(const QSqlDatabase &db, bool on);

// Escapes a text for splicing between single quotes on this connection (the client
// library's own escape function through the driver handle; the same rules without one).
PROTASK_PLATFORM_EXPORT QString sqlEscape(const QString &text, const QSqlDatabase &db);
// The text escaped and wrapped in single quotes.
PROTASK_PLATFORM_EXPORT QString sqlQuoted(const QString &text, const QSqlDatabase &db);
// A name from configuration (a database, a table) as an identifier: wrapped in backquotes,
// a backquote inside it doubled.
PROTASK_PLATFORM_EXPORT QString sqlQuotedIdentifier(const QString &name);
// A number as SQL text: dot decimal point, no grouping, no exponent for ordinary values.
PROTASK_PLATFORM_EXPORT QString sqlNumber(double value);
PROTASK_PLATFORM_EXPORT QString sqlNumber(qint64 value);
inline QString sqlNumber(int value) { return sqlNumber(static_cast<qint64>(value)); }

// A result set read completely into memory, with a current-record cursor, so that a
// caller can walk it after the connection has run other statements. Field names are
// matched without regard to case, as the server treats column names.
class PROTASK_PLATFORM_EXPORT TDataSet {
public:
    TDataSet();
    explicit TDataSet(const QSqlDatabase &db);

    void setDatabase(const QSqlDatabase &db) { m_db = db; }
    QSqlDatabase database() const { return m_db; }

    // Runs a statement; a result set is cached and the cursor put on its first row.
    // Throws DbError on a server error.
    void open(const QString &sql);
    // Runs a statement that returns no rows. Throws DbError.
    void exec(const QString &sql);
    void close();

    bool isActive() const { return m_active; }
    const QString &sql() const { return m_sql; }
    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int numRowsAffected() const { return m_rowsAffected; }
    QVariant lastInsertId() const { return m_lastInsertId; }

    // Cursor
    bool eof() const { return m_cursor >= recordCount(); }
    void first() { m_cursor = 0; }
    void next()
    {
        if (m_cursor < recordCount())
            ++m_cursor;
    }
    void last() { m_cursor = recordCount() > 0 ? recordCount() - 1 : 0; }
    int recNo() const { return m_cursor; }
    void setRecNo(int row) { m_cursor = row; }

    // Fields
    QStringList fieldNames() const { return m_fields; }
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    int fieldIndex(const QString &name) const;
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    // Value of a field in the current row; null past the end. Throws std::out_of_range
    // for a field that the statement does not return.
    QVariant fieldByName(const QString &name) const;
    QVariant value(int row, int column) const;
    QVariant value(int row, const QString &name) const;

private:
    QSqlDatabase m_db;
    QString m_sql;
    bool m_active = false;
    QStringList m_fields;
    QVector<QVector<QVariant>> m_rows;
    int m_cursor = 0;
    int m_rowsAffected = -1;
    QVariant m_lastInsertId;
};

// Whether a transaction guard has a transaction open on this connection. Kept on the client
// (per connection name), so that it reads the same on every server kind and costs nothing.
PROTASK_PLATFORM_EXPORT bool transactionOpen(const QSqlDatabase &db);

// A transaction on one connection: started by the constructor, rolled back by the
// destructor unless committed.
class PROTASK_PLATFORM_EXPORT TransactionGuard {
public:
    explicit TransactionGuard(const QSqlDatabase &db);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard &) = delete;
    TransactionGuard &operator=(const TransactionGuard &) = delete;

    // A failed COMMIT is followed by a ROLLBACK (the server may have left the transaction
    // open) and rethrown; with a lost connection the outcome is unknown to the caller.
    void commit();
    void rollback();
    bool isOpen() const { return m_open; }

private:
    void markClosed();
    QSqlDatabase m_db;
    bool m_open = false;
};

// Fault injection for tests: runs just before a guard sends COMMIT (nullptr removes it).
PROTASK_PLATFORM_EXPORT void setBeforeCommitHook(std::function<void(const QSqlDatabase &)> hook);

// Runs `step` inside a savepoint of the open transaction, for steps whose failure the caller
// may ignore: a failed step is rolled back to the savepoint and answers false. When the
// savepoint itself is gone (the server ended the whole transaction under the step) a DbError
// of kind TransactionEnded is thrown, so that nothing runs on outside the transaction.
// Without an open transaction the step simply runs.
PROTASK_PLATFORM_EXPORT bool runInSavepoint(const QSqlDatabase &db, const QString &name,
                                            const std::function<bool()> &step);

} // namespace protask
