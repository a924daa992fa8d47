#pragma once

#include "order_seed.h"
#include "test_db.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace protask::testing {

using namespace Qt::StringLiterals;

// One run of protask-cli against the test database.
struct CliRun {
    int exitCode = -1;
    QJsonDocument json;
    QString errors; // standard error: the messages shown
    QJsonObject object() const { return json.object(); }
    QString id() const { return QString::number(object().value(u"FID"_s).toInt()); }
};

// Signed in as `user`, with `input` on standard input.
inline CliRun RunCli(const QStringList &arguments, const QString &user = u"1"_s, const QByteArray &input = {})
{
    QProcess p;
    // The command line reads the server's clock stopped where the tests in process stop it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"PROTASK_SERVER_CLOCK"_s, kPinnedNow.toString(Qt::ISODate));
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("PROTASK_BINARY_DIR") + u"/bin/protask-cli"_s,
            QStringList{u"--db-socket"_s, TestSocket(), u"--db-name"_s, TestDatabaseName(), u"--user"_s, user}
                + arguments);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QJsonDocument::fromJson(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// `task save` of a task file given on standard input.
inline CliRun SaveTaskFile(const QByteArray &file, const QString &user = u"1"_s)
{
    return RunCli({u"task"_s, u"save"_s, u"--file"_s, u"-"_s}, user, file);
}

// `task from-order` of the fixture's order line, with further options.
inline CliRun FromOrderLine(const QStringList &options = {})
{
    return RunCli(QStringList{u"task"_s, u"from-order"_s, u"--line"_s, u"501"_s} + options);
}

inline int count(const QString &sql) { return scalar(sql).toInt(); }

// The order line 501 and the earlier task of its product (SeedOrderLineAndEarlierTask).
class Cli : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        SeedOrderLineAndEarlierTask();
    }
    int inProduction() { return count(u"select FProtaskFinishNumber from t_SaleOrderList where FID = 501"_s); }
};

} // namespace protask::testing
