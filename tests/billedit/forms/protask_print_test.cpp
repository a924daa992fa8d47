// Print and preview from the task editor: the print form opens modally on the template of the
// chosen print style with the task's lines, and the log row follows. What the editor keeps
// from the database: the keyboard shortcuts of a user without the rights behind them (check
// workflow and rights switch on) reach no action, and a text longer than its column is refused
// before anything is written.

#include "billedit/protask_form.h"
#include "key_press.h"
#include "platform/program_folder.h"
#include "printing/bill_report_form.h"
#include "test_editors.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

using namespace protask;
using namespace protask::testing;

namespace {

class ProtaskPrint : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        SetProgramFolder(home.path());
        SeedProgramFolder(SourceDir() + QStringLiteral("/resources"));
        ExecScript(QStringLiteral(
            "insert into t_comCompany(FID,FName,FAddress,FTel) values(1,'华东精工','文三路100号','88886666');"
            "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values"
            " (1,'RWD20261200001','2026-12-15',1,1,5,0);"
            "insert into t_ProTaskList(FID,FSID,FFormID,FProductID,FUnitID,FSingleNumber,FNumber) values"
            " (1,1,1,2,1,2,10),(2,2,1,1,1,1,5)"));
    }
    QTemporaryDir home;
};

TEST_F(ProtaskPrint, PreviewOpensTheChosenStylesTemplateWithTheLinesAndLogs)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.FBillID = 1;
    task.FBillStatusID = 2;
    task.showForm();
    // The print style menu: "240 * 139 规格".
    auto *styles = task.findChild<QMenu *>(QStringLiteral("mnuPrintStyle"));
    ASSERT_NE(styles, nullptr);
    styles->actions().value(1)->trigger();
    QAction *preview = task.action(QStringLiteral("actPreview"));
    ASSERT_TRUE(preview->isVisible());
    ASSERT_TRUE(preview->isEnabled());
    EXPECT_TRUE(task.action(QStringLiteral("actPrint"))->isVisible());

    QString file;
    qsizetype rows = -1;
    QTimer::singleShot(0, [&]() {
        if (auto *form = qobject_cast<TFBaseForm_BillReport *>(QApplication::activeModalWidget())) {
            file = form->FTemplaceFileName;
            rows = form->report().data().rows.size();
            form->reject();
        }
    });
    preview->trigger();
    EXPECT_EQ(file, QStringLiteral("生产任务单(中).grf"));
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(scalar(QStringLiteral("select FWindow from zzsyslog where FMsgCont = '预览操作 - 单据号:RWD20261200001'"))
                  .toString(),
              QStringLiteral("生产任务单"));
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.lastText().toStdString();
}

// Besides the print fixture: the task has a client, and user 2 may open and display tasks,
// nothing more.
class ProtaskRights : public ProtaskPrint {
protected:
    void SetUp() override
    {
        ProtaskPrint::SetUp();
        ExecScript(
            QStringLiteral("insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0), (2,'张会计',1);"
                           "insert into t_comRight(FID,Fvalue) values (1,'Bill.Protask'), (2,'Bill.Protask.Display');"
                           "insert into t_comUserRight(FUserID,FRightID) values (2,1), (2,2);"
                           "insert into t_comClient(FID,FNo,FName,FType) values (7,'K1','东方家私',1);"
                           "update t_ProTaskForm set FClientID = 7"));
        nvDMBase::instance().switches.checkWorkflow = true;
        nvDMBase::instance().switches.rightsSwitch = 1;
    }
    std::unique_ptr<TFBaseForm_BillBase_BillNo_Protask> openTask(int user, int status)
    {
        nvDMBase::instance().userId = user;
        auto task = std::make_unique<TFBaseForm_BillBase_BillNo_Protask>(nullptr, 0);
        task->FBillID = 1;
        task->FBillStatusID = status;
        task->showForm();
        task->show();
        task->activateWindow();
        task->setFocus();
        QCoreApplication::processEvents();
        return task;
    }
};

TEST_F(ProtaskRights, ARestrictedUsersShortcutsChangeNothing)
{
    // The keys reach the form: without the rights switch the preview key opens the print form.
    nvDMBase::instance().switches.rightsSwitch = 0;
    EXPECT_EQ(PressKeys(openTask(1, 2).get(), QStringLiteral("Ctrl+L")), QStringLiteral("TFBaseForm_BillReport"));
    nvDMBase::instance().switches.rightsSwitch = 1;
    ExecScript(QStringLiteral("delete from zzsyslog"));
    prompter.clear();

    // The list opens the task for display only: the user holds no edit right.
    const auto task = openTask(2, 3);
    LoadControl(task->headerControl(QStringLiteral("FNote")), QStringLiteral("改过"));
    const QString before = AllTablesChecksum();
    struct Case {
        const char *keys;
        const char *action; // hidden by the missing right, or (save) off while the task is shown
    };
    const Case cases[] = {
        {"Ctrl+N", "actNew"},
        {"Ctrl+P", "actPrint"},
        {"Ctrl+L", "actPreview"},
        {"Ctrl+S", nullptr},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(PressKeys(task.get(), QString::fromLatin1(c.keys)), QString()) << c.keys;
        if (c.action) {
            EXPECT_FALSE(task->action(QString::fromLatin1(c.action))->isVisible()) << c.action;
        }
    }
    for (const char *hidden : {"actCheck", "actUnCheck"}) {
        EXPECT_FALSE(task->action(QString::fromLatin1(hidden))->isVisible()) << hidden;
        task->action(QString::fromLatin1(hidden))->trigger();
    }
    EXPECT_EQ(AllTablesChecksum(), before);
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.lastText().toStdString();
}

TEST_F(ProtaskRights, ATextLongerThanItsColumnIsRefusedBeforeAnythingIsWritten)
{
    nvDMBase::instance().switches.rightsSwitch = 0;
    const auto task = openTask(1, 2);
    LoadControl(task->headerControl(QStringLiteral("FNote")), QString(501, QChar(0x957F)));
    const QString before = AllTablesChecksum();
    task->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("说明(FNote)的内容超过了500个字符(现有501个),不能保存,请检查"));
    EXPECT_EQ(AllTablesChecksum(), before);
}

} // namespace
