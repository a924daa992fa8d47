#pragma once

#include "platform/db.h"
#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <ostream>

// Failed comparisons of texts print the text, not its UTF-16 code units.
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

namespace protask::testing {

// The private server of the test run (CTest starts it as a fixture) and one database per
// test executable, loaded with the suite schema once.
QString TestSocket();
QString TestDatabaseName();
ConnectionSettings TestConnectionSettings(const QString &connectionName = QStringLiteral("protask"));

// Creates the executable's database afresh with the suite schema and connects the data
// module to it. Call once from main().
void PrepareTestDatabase();
// Empties every table of the test database (fast: DELETE, table by table).
void EmptyAllTables();
// A checksum of every table of the test database: equal before and after an action that must
// change nothing.
QString AllTablesChecksum();
// The tables whose checksum differs from `before`, by name.
std::string TablesChangedSince(const QString &before);
// Runs statements separated by ";" on the data module's connection (test seeding).
void ExecScript(const QString &sql);
// Ends the server session of `db` from a second connection, as a server restart or a
// network drop would.
void KillConnection(const QSqlDatabase &db);
// Returns once at least `count` transactions wait for a row lock (a staged race has reached
// its wait), seen by the server; throws after 20 s.
void WaitForLockWaits(int count);
// The first column of the first row on the data module's connection; empty without a row.
QVariant scalar(const QString &sql);
// A file's bytes; empty when it cannot be read.
QByteArray ReadFileBytes(const QString &path);

// A host window that records every message sent to it, as "msg/wParam/lParam" and whole.
class RecordingHost : public QObject, public IHostMessageSink {
public:
    qintptr hostMessage(const HostMessage &m) override
    {
        received.append(QStringLiteral("%1/%2/%3").arg(m.msg).arg(m.wParam).arg(m.lParam));
        messages.append(m);
        return 0;
    }
    QStringList received;
    QList<HostMessage> messages;
};

// User 2 may open and display tasks, nothing more, once the rights switch is on.
inline void SeedDisplayOnlyRights()
{
    ExecScript(
        QStringLiteral("insert into t_comRight(FID,Fvalue) values (1,'Bill.Protask'), (2,'Bill.Protask.Display');"
                       "insert into t_comUserRight(FUserID,FRightID) values (2,1), (2,2)"));
}

// The whole-project source folder (for the schema and the scripts).
QString SourceDir();

// The instant the tests that depend on today pin the server clock to.
inline const QDateTime kPinnedNow{QDate(2026, 12, 15), QTime(10, 0)};

// Stops the server clock of one connection's session at `at` (SET timestamp) until it is
// destroyed: now(), curdate() and everything the module derives from them (bill numbers,
// log rows) read that instant. Other connections keep the real clock, and so does a
// session that is reopened after a drop.
class PinServerClock {
public:
    PinServerClock(const QSqlDatabase &db, const QDateTime &at);
    ~PinServerClock();
    PinServerClock(const PinServerClock &) = delete;
    PinServerClock &operator=(const PinServerClock &) = delete;

    // Moves the stopped clock (a month change between two steps of a test).
    void moveTo(const QDateTime &at);

private:
    QSqlDatabase m_db;
};

// The base of every database test: every table emptied, a scripted prompter installed (it
// records each text shown and answers questions from its queue), and the data module's
// signed-in user and switches put back afterwards, so that no test sees another's rows,
// answers or settings.
class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ScriptedPrompter prompter;

private:
    HostSwitches m_savedSwitches;
    int m_savedUserId = 0;
    // Every database test reads the server's clock stopped at kPinnedNow on the data module's
    // connection, so that no expectation depends on the day the suite runs.
    std::unique_ptr<PinServerClock> m_clock;
};

// The same for tests that take their cases from a table.
template <typename Case>
class DatabaseCaseTest : public DatabaseTest, public ::testing::WithParamInterface<Case> {};

} // namespace protask::testing
