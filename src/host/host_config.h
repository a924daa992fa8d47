#pragma once

#include "platform/db.h"
#include "platform/nv_dm_base.h"

#include <QString>
#include <QStringList>

namespace protask {

// How the host reaches its database and where it keeps its files.
struct HostConfig {
    QString home;          // program folder
    ConnectionSettings db; // an existing suite server, or the private one
    bool usePrivateServer = true;
    QString signInUser; // user name or ID from --user
    QString pluginPath;
    QString screenshotFile;  // --screenshot: save the main window and quit
    QStringList openAtStart; // --open list,new
};

// Reads the command line over the INI file `protask-host.ini` of the program folder
// (section Database: host, port, socket, user, password, name). A host or a socket in
// either place means an existing server; otherwise the private server of
// <home>/db is used. Throws std::runtime_error with a readable text on bad options.
HostConfig ParseHostConfig(const QStringList &arguments, const QString &appDir);

// A command line that asks for the option list or the version instead of a run. Read
// before any application object exists, so that --help answers without a display.
enum class HostRequest { Run, Help, Version };
HostRequest HostCommandLineRequest(const QStringList &arguments);
// The text --help prints: usage and every option of ParseHostConfig.
QString HostHelpText();

// Starts the private server through protask-db when needed and creates the database
// with the suite schema when it does not exist yet. Throws std::runtime_error.
void PreparePrivateServer(HostConfig &config, const QString &appDir);

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

} // namespace protask
