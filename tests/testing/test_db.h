#pragma once

#include "db.h"

#include <QSqlDatabase>

#include <QString>

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
// Runs statements separated by ";" on the data module's connection (test seeding).
void ExecScript(const QString &sql);
// Ends the server session of `db` from a second connection, as a server restart or a
// network drop would.
void KillConnection(const QSqlDatabase &db);
// Returns once at least `count` transactions wait for a row lock (a staged race has reached
// its wait); throws after 20 s.
void WaitForLockWaits(int count);
// The whole-project source folder (for the schema and the scripts).
QString SourceDir();

} // namespace protask::testing
