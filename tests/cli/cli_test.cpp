#include "cli_run.h"
#include "platform/db.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

QVariant scalar(const QString &sql)
{
    TDataSet q(nvDMBase::instance().connection());
    q.open(sql);
    return q.isEmpty() ? QVariant() : q.value(0, 0);
}
int count(const QString &sql) { return scalar(sql).toInt(); }

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
    int inProduction() { return scalar(u"select FProtaskFinishNumber from t_SaleOrderList where FID = 501"_s).toInt(); }
};

// The whole round of a task made from an order line: proposal, save with check, the order's
// counter, uncheck, and delete only after a Yes.
TEST_F(Cli, TaskFromAnOrderLineRunsTheWholeRound)
{
    const CliRun proposal = RunCli({u"task"_s, u"from-order"_s, u"--line"_s, u"501"_s});
    ASSERT_EQ(proposal.exitCode, 0) << proposal.errors.toStdString();
    const QJsonObject task = proposal.object();
    EXPECT_EQ(task.value(u"Fnumber"_s).toDouble(), 90) << "ordered less already in production";
    EXPECT_EQ(task.value(u"FClientName"_s).toString(), u"东方家私"_s);
    EXPECT_EQ(task.value(u"FFromListID"_s).toInt(), 501);
    EXPECT_TRUE(task.value(u"FBillNo"_s).toString().startsWith(u"RWD"_s));
    const QJsonArray lines = task.value(u"lines"_s).toArray();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.at(0).toObject().value(u"FProductName"_s).toString(), u"螺栓"_s);
    EXPECT_EQ(lines.at(0).toObject().value(u"FNumber"_s).toDouble(), 180) << "two bolts for each of 90 chairs";
    EXPECT_EQ(count(u"select count(*) from t_ProTaskForm"_s), 1) << "a proposal stores nothing";

    const CliRun saved = RunCli(
        {u"task"_s, u"from-order"_s, u"--line"_s, u"501"_s, u"--quantity"_s, u"30"_s, u"--save"_s, u"--check"_s});
    ASSERT_EQ(saved.exitCode, 0) << saved.errors.toStdString();
    const int id = saved.object().value(u"FID"_s).toInt();
    EXPECT_TRUE(saved.object().value(u"checked"_s).toBool());
    EXPECT_EQ(scalar(u"select FBillNo from t_ProTaskForm where FID = %1"_s.arg(id)).toString(),
              saved.object().value(u"FBillNo"_s).toString());
    EXPECT_EQ(scalar(u"select FNumber from t_ProTaskList where FFormID = %1"_s.arg(id)).toDouble(), 60);
    EXPECT_EQ(inProduction(), 40);
    EXPECT_EQ(count(u"select count(*) from zzsyslog where FMsgCont like '审核操作%'"_s), 1);

    const CliRun again = RunCli({u"task"_s, u"check"_s, u"--id"_s, QString::number(id)});
    EXPECT_EQ(again.exitCode, 1) << "a checked task is not checked twice";
    EXPECT_EQ(inProduction(), 40);

    ASSERT_EQ(RunCli({u"task"_s, u"uncheck"_s, u"--id"_s, QString::number(id)}).exitCode, 0);
    EXPECT_EQ(inProduction(), 10);

    const CliRun no = RunCli({u"task"_s, u"delete"_s, u"--id"_s, QString::number(id)});
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_TRUE(no.object().value(u"messages"_s).toArray().contains(u"确定要删除所选单据?"_s))
        << no.errors.toStdString();
    EXPECT_EQ(count(u"select count(*) from t_ProTaskForm where FID = %1"_s.arg(id)), 1);
    ASSERT_EQ(RunCli({u"--yes"_s, u"task"_s, u"delete"_s, u"--id"_s, QString::number(id)}).exitCode, 0);
    EXPECT_EQ(count(u"select count(*) from t_ProTaskForm where FID = %1"_s.arg(id)), 0);
    EXPECT_EQ(count(u"select count(*) from t_ProTaskList where FFormID = %1"_s.arg(id)), 0);
}

// A task from a file: what the file says is stored, the editor's refusals come back as the
// editor's texts, and a file that cannot be read changes nothing.
TEST_F(Cli, TaskFromAFileIsSavedOrRefusedWithTheEditorsMessage)
{
    const QByteArray good = R"({"FClientName":"新客户","FProductName":"办公椅","FUnitName":"把","Fnumber":4,
        "FBillDate":"2026-12-03","FNote":"It's a \\ test %_ 😀 𠀀",
        "lines":[{"FProductName":"螺栓","FUnitName":"把","FSingleNumber":2,"FNumber":8,"FPrice":0.5,"FAmount":4}]})";
    const CliRun saved = RunCli({u"task"_s, u"save"_s, u"--file"_s, u"-"_s}, u"1"_s, good);
    ASSERT_EQ(saved.exitCode, 0) << saved.errors.toStdString();
    const int id = saved.object().value(u"FID"_s).toInt();
    EXPECT_EQ(scalar(u"select FNote from t_ProTaskForm where FID = %1"_s.arg(id)).toString(),
              u"It's a \\ test %_ 😀 𠀀"_s);
    EXPECT_EQ(scalar(u"select FBillDate from t_ProTaskForm where FID = %1"_s.arg(id)).toDate(), QDate(2026, 12, 3));
    EXPECT_EQ(count(u"select count(*) from t_comClient where FName = '新客户' and FType = 1"_s), 1);
    EXPECT_EQ(scalar(u"select FAmount from t_ProTaskList where FFormID = %1"_s.arg(id)).toDouble(), 4);

    struct Case {
        QByteArray file;
        int exitCode;
        QString message;
    };
    const Case cases[] = {
        {R"({"FProductName":"办公椅","lines":[{"FProductName":"螺栓","FNumber":1}]})", 1, u"客户不能为空"_s},
        {R"({"FClientName":"东方家私","lines":[{"FProductName":"螺栓","FNumber":1}]})", 1, u"产品名称不能为空"_s},
        {R"({"FClientName":"东方家私","FProductName":"办公椅","lines":[]})", 1, u"请输入单据商品明细,请检查"_s},
        {R"({"FClientName":"东方家私","FProductName":"办公椅","lines":[{"FProductName":"螺栓","FNumber":0}]})", 1,
         u"[总耗量]不能为0：请检查第 1 行[总耗量]的值"_s},
        {R"({"FClientName":"东方家私","FProductName":"办公椅","lines":[{"FProductName":"螺栓","FUnitName":"把",
            "FNumber":1},{"FProductName":"螺栓","FUnitName":"箱","FNumber":1}]})",
         1, u"请检查第 1 行与第 2 行,您输入了该商品二个不同的单位,该商品还没有设置双单位换算比率"_s},
        {R"({"FClientName":"东方家私","FProductName":"办公椅","FBillDate":"2025-02-30"})", 2, u"FBillDate"_s},
        {R"({"FClientName":"东方家私","FProductName":"办公椅","Fnumber":"1e3"})", 2, u"Fnumber"_s},
        {R"({"FID":999,"FClientName":"东方家私","FProductName":"办公椅"})", 1, u"no task with FID 999"_s},
        {R"(not json)", 2, u"JSON"_s},
    };
    for (const Case &c : cases) {
        const CliRun r = RunCli({u"task"_s, u"save"_s, u"--file"_s, u"-"_s}, u"1"_s, c.file);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.file.constData();
        EXPECT_TRUE(r.errors.contains(c.message)) << c.file.constData() << " -> " << r.errors.toStdString();
    }
    EXPECT_EQ(count(u"select count(*) from t_ProTaskForm"_s), 2) << "refusals store nothing";
}

// With the rights switch on, a user without the task's rights cannot save, check, uncheck,
// delete or export through the command, and nothing changes.
TEST_F(Cli, ARestrictedUserIsRefusedEveryWritingAction)
{
    const CliRun saved = RunCli({u"task"_s, u"from-order"_s, u"--line"_s, u"501"_s, u"--save"_s});
    ASSERT_EQ(saved.exitCode, 0) << saved.errors.toStdString();
    const QString id = QString::number(saved.object().value(u"FID"_s).toInt());
    ExecScript(u"insert into t_comparameters(FName,FTypeID,FIntValue) values ('FIsUseRight',1,1);"
               "insert into t_comRight(FID,Fvalue) values (1,'Bill.Protask'), (2,'Bill.Protask.Display');"
               "insert into t_comUserRight(FUserID,FRightID) values (2,1), (2,2)"_s);
    const QList<QStringList> actions = {
        {u"task"_s, u"from-order"_s, u"--line"_s, u"501"_s, u"--save"_s},
        {u"task"_s, u"check"_s, u"--id"_s, id},
        {u"--yes"_s, u"task"_s, u"delete"_s, u"--id"_s, id},
        {u"task"_s, u"export"_s, u"--all"_s, u"--out"_s, QDir::tempPath() + u"/refused.xlsx"_s},
    };
    for (const QStringList &a : actions) {
        const CliRun r = RunCli(a, u"张会计"_s);
        EXPECT_EQ(r.exitCode, 1) << a.join(u' ').toStdString() << ": " << r.errors.toStdString();
    }
    EXPECT_EQ(count(u"select count(*) from t_ProTaskForm"_s), 2);
    EXPECT_EQ(count(u"select count(*) from t_ProTaskForm where FIsChecked = 1"_s), 0);
    EXPECT_EQ(RunCli({u"task"_s, u"list"_s, u"--all"_s}, u"张会计"_s).exitCode, 0) << "reading stays open";
    EXPECT_EQ(RunCli({u"task"_s, u"list"_s}, u"nobody"_s).exitCode, 2) << "an unknown user does not sign in";
}

// The list's rows with its find and dates, and the export of the same rows to a workbook.
TEST_F(Cli, ListAndExportShowTheListsRows)
{
    ASSERT_EQ(RunCli({u"task"_s, u"from-order"_s, u"--line"_s, u"501"_s, u"--save"_s}).exitCode, 0);
    const CliRun all = RunCli({u"task"_s, u"list"_s, u"--all"_s});
    ASSERT_EQ(all.exitCode, 0) << all.errors.toStdString();
    EXPECT_EQ(all.json.array().size(), 2);
    const CliRun found = RunCli({u"task"_s, u"list"_s, u"--all"_s, u"--find"_s, u"rwd202611"_s});
    ASSERT_EQ(found.json.array().size(), 1);
    EXPECT_EQ(found.json.array().at(0).toObject().value(u"FBillNo"_s).toString(), u"RWD20261100001"_s);
    EXPECT_EQ(RunCli({u"task"_s, u"list"_s, u"--all"_s, u"--find"_s, u"%"_s}).json.array().size(), 0)
        << "% matches only itself";
    const CliRun november = RunCli({u"task"_s, u"list"_s, u"--from"_s, u"2026-11-01"_s, u"--to"_s, u"2026-11-30"_s});
    EXPECT_EQ(november.json.array().size(), 1);
    EXPECT_EQ(RunCli({u"task"_s, u"list"_s, u"--from"_s, u"2026-02-30"_s, u"--to"_s, u"2026-03-01"_s}).exitCode, 2);

    QTemporaryDir dir;
    const QString file = dir.filePath(u"tasks.xlsx"_s);
    const CliRun exported = RunCli({u"task"_s, u"export"_s, u"--all"_s, u"--out"_s, file});
    ASSERT_EQ(exported.exitCode, 0) << exported.errors.toStdString();
    EXPECT_EQ(exported.object().value(u"rows"_s).toInt(), 2);
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, file, u"xl/sharedStrings.xml"_s});
    unzip.waitForFinished();
    const QString strings = QString::fromUtf8(unzip.readAllStandardOutput());
    EXPECT_TRUE(strings.contains(u"RWD20261100001"_s)) << strings.toStdString();
    EXPECT_EQ(count(u"select count(*) from zzsyslog where FMsgCont = '导出操作'"_s), 1);
}

// The help names every command that runs and none that does not yet, and needs no database.
TEST(CliHelp, ListsTheCommandsThatRun)
{
    QProcess p;
    p.start(CliProgram(), {u"--help"_s});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString help = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString &c : {u"from-order"_s, u"save"_s, u"check"_s, u"uncheck"_s, u"delete"_s, u"list"_s, u"export"_s})
        EXPECT_TRUE(help.contains(u"task "_s + c)) << c.toStdString();
    for (const QString &absent : {u"pdf"_s, u"task print"_s, u"voucher"_s})
        EXPECT_FALSE(help.contains(absent, Qt::CaseInsensitive)) << absent.toStdString();
}

} // namespace
