#pragma once

#include "platform/db.h"
#include "platform/nv_dm_base.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

namespace protask {

// What every program of the suite that signs in shares: the database options, the private
// server when none is named, the company switches of t_comparameters and the user of
// t_comUser. The host and the command line read them through these, so that both reach the
// same server the same way.

// The options that name the program folder, the server and the user to sign in as.
struct DatabaseOptions {
    QCommandLineOption home{QStringLiteral("home"),
                            QStringLiteral("Program folder (default $PROTASK_HOME or the XDG data folder)."),
                            QStringLiteral("dir")};
    QCommandLineOption dbHost{QStringLiteral("db-host"), QStringLiteral("Suite server host."), QStringLiteral("host")};
    QCommandLineOption dbPort{QStringLiteral("db-port"), QStringLiteral("Suite server port."), QStringLiteral("port")};
    QCommandLineOption dbSocket{QStringLiteral("db-socket"), QStringLiteral("Suite server Unix socket."),
                                QStringLiteral("path")};
    QCommandLineOption dbUser{QStringLiteral("db-user"), QStringLiteral("Database user."), QStringLiteral("user")};
    QCommandLineOption dbPassword{QStringLiteral("db-password"), QStringLiteral("Database password."),
                                  QStringLiteral("password")};
    QCommandLineOption dbName{QStringLiteral("db-name"), QStringLiteral("Database name (default protask)."),
                              QStringLiteral("name")};
    QCommandLineOption user{QStringLiteral("user"), QStringLiteral("Sign in as this user (name or ID)."),
                            QStringLiteral("user")};

    QList<QCommandLineOption> all() const { return {home, dbHost, dbPort, dbSocket, dbUser, dbPassword, dbName, user}; }
};

// Where the database is, as the options and the INI file `protask-host.ini` of the program
// folder (section Database: host, port, socket, user, password, name) say. A host or a socket
// in either place means an existing server; otherwise the private server of <home>/db.
struct DatabaseChoice {
    QString home; // program folder
    ConnectionSettings db;
    bool usePrivateServer = true;
    QString signInUser; // user name or ID from --user
};
// Sets the program folder from --home. Throws std::runtime_error with a readable text on bad
// options.
DatabaseChoice ReadDatabaseOptions(const QCommandLineParser &parser, const DatabaseOptions &options);

// Starts the private server through the protask-db tool beside the program when needed and
// creates the database with the suite schema when it does not exist yet. Throws
// std::runtime_error.
void PreparePrivateServer(DatabaseChoice &choice, const QString &appDir);

// Creates the database `server.database` on the server of `server` and loads
// `schemaFile` into it with the mariadb client, unless the database already holds
// tables. True when it was created. Throws DbError or std::runtime_error.
bool CreateDatabaseOnFirstUse(const QString &tool, const ConnectionSettings &server, const QString &schemaFile);

// The host parameters of t_comparameters that fill the switches of the data module.
struct HostParameter {
    const char *name;
    const char *meaning;
};
extern const HostParameter kHostParameters[];
extern const int kHostParameterCount;

// Reads the switches from t_comparameters (missing rows leave the defaults).
void LoadHostSwitches(nvDMBase &dm);
// Writes the switches back (the settings dialog, inside its transaction). Throws DbError
// when a write fails.
void SaveHostSwitches(const HostSwitches &switches);

// Finds a user of t_comUser by name or ID; false when there is none.
bool FindUser(const QString &nameOrId, int &userId, QString &userName);

} // namespace protask
