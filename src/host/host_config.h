#pragma once

#include "core/sign_in.h"

#include <QString>
#include <QStringList>

namespace protask {

// How the host reaches its database and where it keeps its files.
struct HostConfig : DatabaseChoice {
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

} // namespace protask
