#include "../voucher/voucher_fixture.h"
#include "cli_fixture.h"
#include "print_seed.h"

#include <QFile>
#include <QTemporaryDir>

using namespace protask;
using namespace protask::testing;

namespace {

// A task and the list printed through the shipped templates: a PDF of the pages laid out.
TEST_F(Cli, PrintsATaskAndTheListThroughTheirTemplates)
{
    QTemporaryDir home;
    const CliRun saved = FromOrderLine({u"--save"_s});
    ASSERT_EQ(saved.exitCode, 0) << saved.errors.toStdString();
    const QString id = saved.id();
    const QString billNo = saved.object().value(u"FBillNo"_s).toString();
    // A long task runs over pages.
    QJsonArray lines;
    for (int i = 0; i < 80; ++i)
        lines.append(QJsonObject{{u"FProductName"_s, u"螺栓"_s}, {u"FUnitName"_s, u"把"_s}, {u"FNumber"_s, i + 1}});
    const QJsonObject task{{u"FClientName"_s, u"东方家私"_s}, {u"FProductName"_s, u"办公椅"_s}, {u"lines"_s, lines}};
    const CliRun long_ = SaveTaskFile(QJsonDocument(task).toJson());
    ASSERT_EQ(long_.exitCode, 0) << long_.errors.toStdString();

    struct Case {
        QStringList arguments;
        QString text;      // printed
        QString template_; // of a task's print
        int pages;
    };
    // Without --style, the format chosen last in the editor (小, stored for the bill type).
    ExecScript(u"update T_BillType set FPrintStyle = 3 where FBillTypeNo = 'RWD'"_s);
    const QString middle = u"生产任务单(中).grf"_s; // a style given by its template's name
    const Case cases[] = {
        {{u"task"_s, u"print"_s, u"--id"_s, id}, billNo, u"生产任务单(小).grf"_s, 1},
        {{u"task"_s, u"print"_s, u"--id"_s, id, u"--style"_s, u"标准"_s}, billNo, u"生产任务单(标准).grf"_s, 1},
        {{u"task"_s, u"print"_s, u"--id"_s, id, u"--style"_s, middle}, billNo, middle, 1},
        {{u"task"_s, u"print-list"_s, u"--all"_s}, u"RWD20261100001"_s, QString(), 1},
        {{u"task"_s, u"print"_s, u"--id"_s, long_.id()}, u"80"_s, u"生产任务单(小).grf"_s, 7}, // 80 lines
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const QString file = home.filePath(u"p%1.pdf"_s.arg(++n));
        const CliRun r = RunCli(QStringList{u"--home"_s, home.path()} + c.arguments + QStringList{u"--out"_s, file});
        ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
        const QStringList pages = PdfPages(file);
        EXPECT_EQ(pages.size(), c.pages);
        EXPECT_EQ(r.object().value(u"pages"_s).toInt(), c.pages);
        EXPECT_EQ(r.object().value(u"template"_s).toString(), c.template_);
        EXPECT_TRUE(pages.join(u'\f').contains(c.text));
    }
    EXPECT_EQ(count(u"select count(*) from zzsyslog where FMsgCont like '打印操作%'"_s), 5);
    EXPECT_EQ(RunCli({u"--home"_s, home.path(), u"task"_s, u"print"_s, u"--id"_s, id, u"--style"_s, u"A5"_s, u"--out"_s,
                      home.filePath(u"x.pdf"_s)})
                  .exitCode,
              2);
}

// A checked purchase bill becomes a voucher as 生成凭证 makes it; a production task makes none.
TEST_F(Cli, VouchersAreMadeOnlyForBillTypesThatMakeThem)
{
    SeedVoucherAccounts();
    SetVoucherTemplate(3002, {{2, "借", "金额"}, {7, "贷", "金额"}});
    ExecScript(
        u"insert into T_BillType(FID,FBillTypeID,FBillTypeNo,FBillName,FPreCode) values (2,3002,'JHD','进货单','JH');"
        "insert into t_PurForm(FID,FBillTypeID,FBillNo,FBillDate,FIsChecked,FAmount,FBillerID) values"
        " (9,3002,'JHD20261200009','2026-12-03',1,250,1);"
        "insert into t_PurList(FID,FFormID,FSID,FProductID,FUnitID,FNumber,FAmount) values (90,9,1,2,1,500,250)"_s);
    const QStringList make = {u"voucher"_s, u"make"_s, u"--type"_s, u"3002"_s, u"--id"_s, u"9"_s};
    const CliRun made = RunCli(make);
    ASSERT_EQ(made.exitCode, 0) << made.errors.toStdString();
    EXPECT_TRUE(made.object().value(u"report"_s).toString().contains(u"成功生成凭证"_s));
    EXPECT_EQ(count(u"select FVoucherID from t_PurForm where FID = 9"_s), made.object().value(u"FVoucherID"_s).toInt());

    const QString before = AllTablesChecksum();
    EXPECT_EQ(RunCli(make).exitCode, 1) << "a bill has one voucher";
    const CliRun task = RunCli({u"voucher"_s, u"make"_s, u"--type"_s, u"3049"_s, u"--id"_s, u"1"_s});
    EXPECT_EQ(task.exitCode, 1);
    EXPECT_TRUE(task.errors.contains(u"bill type 3049 makes no vouchers"_s)) << task.errors.toStdString();
    EXPECT_EQ(AllTablesChecksum(), before);
}

// A user holding only the task's window rights is refused every writing action and the prints
// with the windows' text, and nothing changes.
TEST_F(Cli, ARestrictedUserIsRefusedEveryWritingActionAndThePrints)
{
    QTemporaryDir home;
    const CliRun open = FromOrderLine({u"--save"_s});
    const CliRun checked = FromOrderLine({u"--quantity"_s, u"5"_s, u"--save"_s, u"--check"_s});
    ASSERT_EQ(open.exitCode + checked.exitCode, 0) << open.errors.toStdString() << checked.errors.toStdString();
    const QString id = open.id();
    ExecScript(u"insert into t_comparameters(FName,FTypeID,FIntValue) values ('FIsUseRight',1,1)"_s);
    SeedDisplayOnlyRights();
    const QByteArray newTask = R"({"FClientName":"东方家私","FProductName":"办公椅",
        "lines":[{"FProductName":"螺栓","FUnitName":"把","FNumber":1}]})";
    const QByteArray storedTask = R"({"FID":)" + id.toUtf8() + "," + newTask.mid(1);
    const QString out = home.filePath(u"refused.pdf"_s);
    const QStringList save = {u"task"_s, u"save"_s, u"--file"_s, u"-"_s};
    struct Case {
        QStringList arguments;
        QByteArray input;
        const char *right;
    };
    const Case cases[] = {
        {save, newTask, "Bill.Protask.Add"},
        {save, storedTask, "Bill.Protask.Edit"},
        {{u"task"_s, u"check"_s, u"--id"_s, id}, {}, "Bill.Protask.Check"},
        {{u"task"_s, u"uncheck"_s, u"--id"_s, checked.id()}, {}, "Bill.Protask.UnCheck"},
        {{u"--yes"_s, u"task"_s, u"delete"_s, u"--id"_s, id}, {}, "Bill.Protask.Del"},
        {{u"task"_s, u"print"_s, u"--id"_s, id, u"--out"_s, out}, {}, "Bill.Protask.Print"},
        {{u"task"_s, u"print-list"_s, u"--all"_s, u"--out"_s, out}, {}, "Bill.Protask.Print"},
        {{u"task"_s, u"export"_s, u"--all"_s, u"--out"_s, out}, {}, "Bill.Protask.ExportOut"},
    };
    const QString before = AllTablesChecksum();
    for (const Case &c : cases) {
        const CliRun r = RunCli(QStringList{u"--home"_s, home.path()} + c.arguments, u"张会计"_s, c.input);
        SCOPED_TRACE(c.arguments.join(u' ').toStdString() + ": " + r.errors.toStdString());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.object().value(u"messages"_s).toArray().contains(u"您未被授权"_s));
        EXPECT_TRUE(r.errors.contains(QString::fromLatin1(c.right)));
    }
    EXPECT_EQ(AllTablesChecksum(), before);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(RunCli({u"task"_s, u"list"_s, u"--all"_s}, u"张会计"_s).exitCode, 0) << "reading stays open";
    EXPECT_EQ(RunCli({u"task"_s, u"list"_s}, u"nobody"_s).exitCode, 2) << "an unknown user does not sign in";
}

} // namespace
