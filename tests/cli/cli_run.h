#pragma once

#include "test_db.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace protask::testing {

// One run of protask-cli against the test database, signed in as `user`.
struct CliRun {
    int exitCode = -1;
    QJsonDocument json;
    QString errors; // standard error: the messages shown
    QJsonObject object() const { return json.object(); }
};

inline QString CliProgram() { return qEnvironmentVariable("PROTASK_BINARY_DIR") + QStringLiteral("/bin/protask-cli"); }

inline CliRun RunCli(const QStringList &arguments, const QString &user = QStringLiteral("1"),
                     const QByteArray &input = {})
{
    QProcess p;
    // The command line reads the server's clock stopped where the tests in process stop it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PROTASK_SERVER_CLOCK"), kPinnedNow.toString(Qt::ISODate));
    p.setProcessEnvironment(env);
    p.setProgram(CliProgram());
    p.setArguments(QStringList{QStringLiteral("--db-socket"), TestSocket(), QStringLiteral("--db-name"),
                               TestDatabaseName(), QStringLiteral("--user"), user}
                   + arguments);
    p.start();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    CliRun r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.json = QJsonDocument::fromJson(p.readAllStandardOutput());
    r.errors = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace protask::testing
