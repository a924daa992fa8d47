// The task list's keyboard shortcuts for a user without the rights behind them: with the check
// workflow and the rights switch on, the keys reach no action and nothing changes.

#include "billlist/bill_list_form.h"
#include "grid/grid_view.h"
#include "key_press.h"
#include "platform/host_messages.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QAction>
#include <QTemporaryDir>

#include <memory>

using namespace protask;
using namespace protask::testing;

namespace {

class ListRights : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        clock = std::make_unique<PinServerClock>(nvDMBase::instance().connection(), kPinnedNow);
        SetProgramFolder(home.path());
        SeedProgramFolder(SourceDir() + QStringLiteral("/resources"));
        ExecScript(QStringLiteral(
            "insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0), (2,'张会计',1);"
            "insert into t_comRight(FID,Fvalue) values (1,'Bill.Protask'), (2,'Bill.Protask.Display');"
            "insert into t_comUserRight(FUserID,FRightID) values (2,1), (2,2);"
            "insert into t_comUnit(FID,FName) values(1,'把');"
            "insert into t_comProducts(FID,FNo,FName) values(1,'C01','办公椅');"
            "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values"
            " (1,'RWD20261200001','2026-12-02',1,1,30,1),(2,'RWD20261200002','2026-12-05',1,1,12.5,0)"));
        nvDMBase::instance().switches.checkWorkflow = true;
        nvDMBase::instance().switches.rightsSwitch = 1;
    }
    void TearDown() override
    {
        list.reset();
        clock.reset();
        DatabaseTest::TearDown();
    }
    QWidget *open(int user)
    {
        nvDMBase::instance().userId = user;
        list = std::make_unique<TFBaseForm_BillList>(nullptr, 0);
        list->FBillTypeID = 3049;
        list->FMainHandle = registerWindowHandle(&host);
        list->showForm();
        list->show();
        list->activateWindow();
        list->setCurrentRow(1); // the unchecked task
        QWidget *grid = list->grid()->table();
        grid->setFocus();
        QCoreApplication::processEvents();
        return grid;
    }

    QTemporaryDir home;
    RecordingHost host;
    std::unique_ptr<TFBaseForm_BillList> list;
    std::unique_ptr<PinServerClock> clock;
};

TEST_F(ListRights, ARestrictedUsersShortcutsChangeNothing)
{
    // The keys reach the list: without the rights switch the delete key asks first.
    nvDMBase::instance().switches.rightsSwitch = 0;
    prompter.queueAnswer(false);
    PressKeys(open(1), QStringLiteral("Ctrl+D"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("确定要删除所选单据?"));
    prompter.clear();
    nvDMBase::instance().switches.rightsSwitch = 1;

    QWidget *grid = open(2);
    const QString before = AllTablesChecksum();
    struct Case {
        const char *keys;
        ListAction action;
    };
    const Case cases[] = {
        {"Ctrl+N", ListAction::Add},   {"Ctrl+E", ListAction::Edit},    {"Ctrl+D", ListAction::Delete},
        {"Ctrl+P", ListAction::Print}, {"Ctrl+L", ListAction::Preview}, {"Ctrl+O", ListAction::ExportOut},
    };
    for (const Case &c : cases) {
        EXPECT_FALSE(list->action(c.action)->isVisible()) << c.keys;
        EXPECT_EQ(PressKeys(grid, QString::fromLatin1(c.keys)), QString()) << c.keys;
    }
    for (const ListAction hidden : {ListAction::Check, ListAction::UnCheck}) {
        EXPECT_FALSE(list->action(hidden)->isVisible());
        list->action(hidden)->trigger();
    }
    EXPECT_EQ(AllTablesChecksum(), before);
    EXPECT_TRUE(host.received.isEmpty()) << host.received.join(u',').toStdString();
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.lastText().toStdString();
}

} // namespace
