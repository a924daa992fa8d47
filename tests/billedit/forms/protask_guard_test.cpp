// What the task editor keeps from the database: the keyboard shortcuts of a user without the
// rights behind them (check workflow and rights switch on) reach no action, and a text longer
// than its column is refused before anything is written.

#include "billedit/protask_form.h"
#include "key_press.h"
#include "platform/program_folder.h"
#include "test_editors.h"

#include <QAction>
#include <QTemporaryDir>

using namespace protask;
using namespace protask::testing;

namespace {

class ProtaskRights : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        SetProgramFolder(home.path());
        SeedProgramFolder(SourceDir() + QStringLiteral("/resources"));
        ExecScript(QStringLiteral(
            "insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0), (2,'张会计',1);"
            "insert into t_comRight(FID,Fvalue) values (1,'Bill.Protask'), (2,'Bill.Protask.Display');"
            "insert into t_comUserRight(FUserID,FRightID) values (2,1), (2,2);"
            "insert into t_comClient(FID,FNo,FName,FType) values (7,'K1','东方家私',1);"
            "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FClientID,FProductID,FUnitID,Fnumber,FIsChecked) values"
            " (1,'RWD20261200001','2026-12-15',7,1,1,5,0);"
            "insert into t_ProTaskList(FID,FSID,FFormID,FProductID,FUnitID,FSingleNumber,FNumber) values"
            " (1,1,1,2,1,2,10)"));
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
    QTemporaryDir home;
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
