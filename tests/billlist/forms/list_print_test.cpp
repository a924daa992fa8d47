// Print preview from the task list: the print form opens in list mode on the list's template
// with the rows of the list's current statement, and the log row follows. The list's keyboard
// shortcuts for a user without the rights behind them reach no action and change nothing.

#include "billlist/bill_list_form.h"
#include "core/sql_helpers.h"
#include "grid/grid_view.h"
#include "key_press.h"
#include "platform/host_messages.h"
#include "platform/program_folder.h"
#include "printing/bill_report_form.h"
#include "test_db.h"

#include <QAction>
#include <QApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using namespace protask;
using namespace protask::testing;

namespace {

class ListPrint : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        clock = std::make_unique<PinServerClock>(nvDMBase::instance().connection(), kPinnedNow);
        SetProgramFolder(home.path());
        SeedProgramFolder(SourceDir() + QStringLiteral("/resources"));
        ExecScript(QStringLiteral(
            "insert into t_comUnit(FID,FName) values(1,'把');"
            "insert into t_comProducts(FID,FNo,FName) values(1,'C01','办公椅');"
            "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values"
            " (1,'RWD20261200001','2026-12-02',1,1,30,1),(2,'RWD20261200002','2026-12-05',1,1,12.5,0),"
            " (3,'RWD20261100001','2026-11-20',1,1,8,0)"));
    }
    void TearDown() override
    {
        clock.reset();
        DatabaseTest::TearDown();
    }
    QTemporaryDir home;
    std::unique_ptr<PinServerClock> clock;
};

TEST_F(ListPrint, PreviewShowsThisMonthsTasksOnTheListTemplate)
{
    TFBaseForm_BillList list(nullptr, 0);
    list.FBillTypeID = 3049;
    list.showForm();
    QAction *preview = list.action(ListAction::Preview);
    ASSERT_TRUE(preview->isVisible());
    ASSERT_TRUE(list.action(ListAction::Print)->isVisible());

    QString file, title, sql;
    QStringList numbers;
    QTimer::singleShot(0, [&]() {
        if (auto *form = qobject_cast<TFBaseForm_BillReport *>(QApplication::activeModalWidget())) {
            file = form->FTemplaceFileName;
            title = form->windowTitle();
            sql = form->FSQL;
            for (int r = 0; r < form->report().data().rows.size(); ++r)
                numbers << form->report().data().value(r, QStringLiteral("FBillNo")).toString();
            form->reject();
        }
    });
    preview->trigger();
    EXPECT_EQ(file, QStringLiteral("生产任务单列表.grf"));
    EXPECT_EQ(title, QStringLiteral("生产任务单列表"));
    EXPECT_EQ(sql, list.FormTableSQL);
    EXPECT_EQ(numbers, (QStringList{QStringLiteral("RWD20261200001"), QStringLiteral("RWD20261200002")}));
    QSqlQuery q(nvDMBase::instance().connection());
    ASSERT_TRUE(q.exec(QStringLiteral("select count(*) from zzsyslog where FMsgCont = '预览操作'")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
}

// Besides the print fixture: user 2 may open and display tasks, nothing more, with the check
// workflow and the rights switch on.
class ListRights : public ListPrint {
protected:
    void SetUp() override
    {
        ListPrint::SetUp();
        ExecScript(
            QStringLiteral("insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0), (2,'张会计',1);"
                           "insert into t_comRight(FID,Fvalue) values (1,'Bill.Protask'), (2,'Bill.Protask.Display');"
                           "insert into t_comUserRight(FUserID,FRightID) values (2,1), (2,2)"));
        nvDMBase::instance().switches.checkWorkflow = true;
        nvDMBase::instance().switches.rightsSwitch = 1;
    }
    void TearDown() override
    {
        list.reset();
        ListPrint::TearDown();
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

    RecordingHost host;
    std::unique_ptr<TFBaseForm_BillList> list;
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
