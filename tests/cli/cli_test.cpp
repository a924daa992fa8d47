#include "cli_fixture.h"

#include <QTemporaryDir>

using namespace protask;
using namespace protask::testing;

namespace {

// Proposal, save with check, the order's counter, uncheck, and delete only after a Yes. What the
// proposal holds is the source picker's rule, which the host's task flow proves.
TEST_F(Cli, TaskFromAnOrderLineRunsTheWholeRound)
{
    const CliRun proposal = FromOrderLine();
    ASSERT_EQ(proposal.exitCode, 0) << proposal.errors.toStdString();
    EXPECT_EQ(proposal.object().value(u"FFromListID"_s).toInt(), 501);
    EXPECT_EQ(count(u"select count(*) from t_ProTaskForm"_s), 1) << "a proposal stores nothing";

    const CliRun saved = FromOrderLine({u"--quantity"_s, u"30"_s, u"--save"_s, u"--check"_s});
    ASSERT_EQ(saved.exitCode, 0) << saved.errors.toStdString();
    const QString id = saved.id();
    EXPECT_TRUE(saved.object().value(u"checked"_s).toBool());
    EXPECT_EQ(scalar(u"select FBillNo from t_ProTaskForm where FID = "_s + id).toString(),
              saved.object().value(u"FBillNo"_s).toString());
    EXPECT_EQ(scalar(u"select FNumber from t_ProTaskList where FFormID = "_s + id).toDouble(), 60)
        << "the materials scaled to the quantity given";
    EXPECT_EQ(scalar(u"select FBillDate from t_ProTaskForm where FID = "_s + id).toDate(), kPinnedNow.date())
        << "the server's today, as the tests stop its clock";
    EXPECT_EQ(inProduction(), 40);

    EXPECT_EQ(RunCli({u"task"_s, u"check"_s, u"--id"_s, id}).exitCode, 1) << "a checked task is not checked twice";
    ASSERT_EQ(RunCli({u"task"_s, u"uncheck"_s, u"--id"_s, id}).exitCode, 0);

    const CliRun no = RunCli({u"task"_s, u"delete"_s, u"--id"_s, id});
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_TRUE(no.object().value(u"messages"_s).toArray().contains(u"确定要删除所选单据?"_s))
        << no.errors.toStdString();
    EXPECT_EQ(count(u"select count(*) from t_ProTaskForm where FID = "_s + id), 1);
    ASSERT_EQ(RunCli({u"--yes"_s, u"task"_s, u"delete"_s, u"--id"_s, id}).exitCode, 0);
    EXPECT_EQ(count(u"select count(*) from t_ProTaskForm where FID = "_s + id), 0);
}

// The list's rows by date and found text, and their export to a workbook.
TEST_F(Cli, ListAndExportShowTheListsRows)
{
    ASSERT_EQ(FromOrderLine({u"--save"_s}).exitCode, 0);
    const CliRun all = RunCli({u"task"_s, u"list"_s, u"--all"_s});
    ASSERT_EQ(all.exitCode, 0) << all.errors.toStdString();
    EXPECT_EQ(all.json.array().size(), 2);
    const CliRun november = RunCli({u"task"_s, u"list"_s, u"--from"_s, u"2026-11-01"_s, u"--to"_s, u"2026-11-30"_s});
    EXPECT_EQ(november.json.array().size(), 1);
    EXPECT_EQ(RunCli({u"task"_s, u"list"_s, u"--all"_s, u"--find"_s, u"rwd20261100001"_s}).json.array().size(), 1);
    EXPECT_EQ(RunCli({u"task"_s, u"list"_s, u"--from"_s, u"2026-02-30"_s, u"--to"_s, u"2026-03-01"_s}).exitCode, 2);

    QTemporaryDir dir;
    const QString file = dir.filePath(u"tasks.xlsx"_s);
    const CliRun exported = RunCli({u"task"_s, u"export"_s, u"--all"_s, u"--out"_s, file});
    ASSERT_EQ(exported.exitCode, 0) << exported.errors.toStdString();
    EXPECT_EQ(exported.object().value(u"rows"_s).toInt(), 2);
    EXPECT_EQ(count(u"select count(*) from zzsyslog where FMsgCont = '导出操作'"_s), 1);
}

// The help answers without a database and names the commands.
TEST(CliHelp, NeedsNoDatabase)
{
    QProcess p;
    p.start(qEnvironmentVariable("PROTASK_BINARY_DIR") + u"/bin/protask-cli"_s, {u"--help"_s});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(u"task from-order"_s));
}

} // namespace
