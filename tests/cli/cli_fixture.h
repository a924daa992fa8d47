#pragma once

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

// A sales-order line of 100 chairs of which 10 are in production, an earlier task of the chair
// that needs two bolts per chair, and the check workflow on.
class Cli : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(u"insert into T_BillType(FID,FBillTypeID,FBillTypeNo,FBillName,FPreCode) values (49,3049,'RWD',"
                   "'生产任务单','RWD');"
                   "insert into t_comparameters(FName,FTypeID,FBoolValue) values ('FIsCheckBill',2,1);"
                   "insert into t_comUnit(FID,FNo,FName) values (1,'U1','把');"
                   "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values (1,'CP001','办公椅',1),"
                   " (2,'CL001','螺栓',1);"
                   "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values (1,1,1,1), (2,1,1,1);"
                   "insert into t_comClient(FID,FNo,FName,FType) values (7,'K1','东方家私',1);"
                   "insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0), (2,'张会计',1);"
                   "insert into t_SaleOrderForm(FID,FBillNo,FBillDate,FClientID,FTypeID) values"
                   " (500,'XSD20261200001','2026-12-01',7,56);"
                   "insert into t_SaleOrderList(FID,FFormID,FSID,FProductID,FUnitID,FNumber,FProtaskFinishNumber)"
                   " values (501,500,1,1,1,100,10);"
                   "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values"
                   " (1,'RWD20261100001','2026-11-02',1,1,1,0);"
                   "insert into t_ProTaskList(FID,FFormID,FSID,FProductID,FUnitID,FSingleNumber,FNumber,FPrice)"
                   " values (1,1,1,2,1,2,2,0.5)"_s);
    }
    int inProduction() { return count(u"select FProtaskFinishNumber from t_SaleOrderList where FID = 501"_s); }
};

} // namespace protask::testing
