#include "cli_fixture.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

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
    EXPECT_EQ(scalar(u"select FBillDate from t_ProTaskForm where FID = %1"_s.arg(id)).toDate(), kPinnedNow.date())
        << "the server's today, as the tests stop its clock";
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

// The help names every command, and needs no database.
TEST(CliHelp, ListsTheCommandsThatRun)
{
    QProcess p;
    p.start(CliProgram(), {u"--help"_s});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString help = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString &c :
         {u"task from-order"_s, u"task save"_s, u"task show"_s, u"task check"_s, u"task uncheck"_s, u"task delete"_s,
          u"task list"_s, u"task export"_s, u"task print "_s, u"task print-list"_s, u"voucher make"_s})
        EXPECT_TRUE(help.contains(c)) << c.toStdString();
}

} // namespace
