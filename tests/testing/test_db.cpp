#include "test_db.h"

#include "own_connection.h"
#include "platform/nv_dm_base.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QThread>

#include <stdexcept>

namespace protask::testing {

QVariant scalar(const QString &sql)
{
    QSqlQuery q(nvDMBase::instance().connection());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

QByteArray ReadFileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString SourceDir() { return qEnvironmentVariable("PROTASK_SOURCE_DIR", QStringLiteral(PROTASK_SOURCE_DIR)); }

QString TestSocket()
{
    const QString s = qEnvironmentVariable("PROTASK_TEST_SOCKET");
    if (s.isEmpty())
        throw std::runtime_error(
            "PROTASK_TEST_SOCKET is not set: run the tests through ctest, which starts the private server");
    return s;
}

QString TestDatabaseName()
{
    QString exe = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    exe.replace(QLatin1Char('-'), QLatin1Char('_'));
    return QStringLiteral("t_") + exe;
}

ConnectionSettings TestConnectionSettings(const QString &connectionName)
{
    ConnectionSettings s;
    s.socket = TestSocket();
    s.user = QStringLiteral("root");
    s.database = TestDatabaseName();
    s.connectionName = connectionName;
    return s;
}

void PrepareTestDatabase()
{
    // The server's own tool makes the executable's database afresh and loads the schema.
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(SourceDir() + QStringLiteral("/scripts/protask-db"),
            {QStringLiteral("load"), QStringLiteral("--fresh"), QFileInfo(TestSocket()).absolutePath(),
             TestDatabaseName(), SourceDir() + QStringLiteral("/schema/suite.sql")});
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error("loading the schema failed: " + QString::fromLocal8Bit(p.readAll()).toStdString());
    nvDMBase::instance().connect(TestConnectionSettings());
}

namespace {

// The base tables of the test database, by name.
QStringList baseTables()
{
    TDataSet q(nvDMBase::instance().connection());
    q.open(QStringLiteral("select TABLE_NAME from information_schema.TABLES where TABLE_SCHEMA = database() "
                          "and TABLE_TYPE = 'BASE TABLE' order by TABLE_NAME"));
    QStringList tables;
    for (int r = 0; r < q.recordCount(); ++r)
        tables << QStringLiteral("`%1`").arg(q.value(r, 0).toString());
    return tables;
}

} // namespace

void EmptyAllTables()
{
    TDataSet q(nvDMBase::instance().connection());
    for (const QString &t : baseTables())
        q.exec(QStringLiteral("DELETE FROM ") + t);
}

QString AllTablesChecksum()
{
    TDataSet q(nvDMBase::instance().connection());
    q.open(QStringLiteral("checksum table ") + baseTables().join(QLatin1Char(',')));
    QStringList sums;
    for (int r = 0; r < q.recordCount(); ++r)
        sums << q.value(r, 0).toString() + QLatin1Char('=') + q.value(r, 1).toString();
    return sums.join(QLatin1Char('\n'));
}

std::string TablesChangedSince(const QString &before)
{
    const QStringList was = before.split(QLatin1Char('\n'));
    QStringList changed;
    for (const QString &now : AllTablesChecksum().split(QLatin1Char('\n')))
        if (!was.contains(now))
            changed << now.section(QLatin1Char('='), 0, 0);
    return changed.join(QStringLiteral(", ")).toStdString();
}

void KillConnection(const QSqlDatabase &db)
{
    TDataSet q(db);
    q.open(QStringLiteral("select CONNECTION_ID()"));
    const QString id = q.value(0, 0).toString();
    OnOwnConnection(QStringLiteral("connection-killer"), [&id](const QSqlDatabase &killer) {
        TDataSet(killer).exec(QStringLiteral("KILL CONNECTION ") + id);
    });
}

void WaitForLockWaits(int count)
{
    OnOwnConnection(QStringLiteral("lock-watcher"), [count](const QSqlDatabase &watcher) {
        TDataSet q(watcher);
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            // A row lock wait shows in INNODB_TRX; one met while the optimiser reads a constant
            // row by its key does not, but its statement stays in the process list.
            q.open(QStringLiteral(
                "select greatest((select count(*) from information_schema.INNODB_TRX where trx_state = 'LOCK WAIT'), "
                "(select count(*) from information_schema.PROCESSLIST where COMMAND = 'Query' and ID <> CONNECTION_ID() "
                "and TIME_MS > 50))"));
            if (q.value(0, 0).toInt() >= count)
                return;
            if (clock.elapsed() > 20000)
                throw std::runtime_error("no transaction came to wait for a lock within 20 s");
            QThread::msleep(2);
        }
    });
}

PinServerClock::PinServerClock(const QSqlDatabase &db, const QDateTime &at) : m_db(db) { moveTo(at); }

PinServerClock::~PinServerClock()
{
    try {
        TDataSet(m_db).exec(QStringLiteral("SET timestamp = DEFAULT"));
    } catch (const DbError &) {
        // The session is gone, and its pinned clock with it.
    }
}

void PinServerClock::moveTo(const QDateTime &at)
{
    TDataSet(m_db).exec(QStringLiteral("SET timestamp = UNIX_TIMESTAMP(%1)")
                            .arg(sqlQuoted(at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), m_db)));
}

void ExecScript(const QString &sql)
{
    TDataSet q(nvDMBase::instance().connection());
    for (const QString &part : sql.split(QLatin1Char(';'))) {
        if (!part.trimmed().isEmpty())
            q.exec(part);
    }
}

void DatabaseTest::SetUp()
{
    EmptyAllTables();
    nvDMBase &dm = nvDMBase::instance();
    m_savedSwitches = dm.switches;
    m_savedUserId = dm.userId;
    Prompter::install(&prompter);
    m_clock = std::make_unique<PinServerClock>(dm.connection(), kPinnedNow);
}

void DatabaseTest::TearDown()
{
    m_clock.reset();
    Prompter::install(nullptr);
    nvDMBase &dm = nvDMBase::instance();
    dm.switches = m_savedSwitches;
    dm.userId = m_savedUserId;
}

} // namespace protask::testing
