// The task list: what it opens on, its export and refresh, print preview on the list's template,
// and what a user without the rights behind the keyboard shortcuts can reach.
#include "billlist/bill_list_form.h"
#include "grid/grid_view.h"
#include "key_press.h"
#include "platform/host_messages.h"
#include "platform/program_folder.h"
#include "printing/bill_report_form.h"
#include "test_db.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using namespace protask;
using namespace protask::testing;

namespace {

// Two tasks of this month, the first checked, and one of the month before.
class ListForm : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        nvDMBase::instance().switches.checkWorkflow = true;
        ExecScript(QStringLiteral(
            "insert into t_comUnit(FID,FName) values(1,'把');"
            "insert into t_comProducts(FID,FNo,FName) values(1,'C01','办公椅');"
            "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked,FNote) values"
            " (1,'RWD20261200001','2026-12-02 09:00',1,1,30,1,'首批'),(2,'RWD20261200002','2026-12-05',1,1,12.5,0,'x'),"
            " (3,'RWD20261100001','2026-11-20',1,1,8,0,'上月')"));
    }
    void TearDown() override
    {
        list.reset();
        DatabaseTest::TearDown();
    }
    // The list as the user opens it, with the focus on its rows.
    QWidget *open(int user = 1)
    {
        nvDMBase::instance().userId = user;
        list = std::make_unique<TFBaseForm_BillList>(nullptr, 0);
        list->FBillTypeID = 3049;
        list->FMainHandle = registerWindowHandle(&host);
        list->showForm();
        list->show();
        list->activateWindow();
        QWidget *grid = list->grid()->table();
        grid->setFocus();
        QCoreApplication::processEvents();
        return grid;
    }
    QString cell(int row, const char *field)
    {
        TGridModel *m = list->grid()->model();
        return m->cell(row, m->fieldColumnIndex(QString::fromLatin1(field))).toString();
    }

    QTemporaryDir home; // the program folder of the print tests
    RecordingHost host;
    std::unique_ptr<TFBaseForm_BillList> list;
};

TEST_F(ListForm, OpensOnThisMonthExportsTheGridAsShownAndRefreshKeepsTheBill)
{
    open();
    ASSERT_EQ(list->grid()->model()->rowCountValue(), 2) << "this month's tasks";
    EXPECT_EQ(cell(0, "FBillNo"), QStringLiteral("RWD20261200001"));
    EXPECT_EQ(list->grid()->footerText(list->grid()->model()->fieldColumnIndex(QStringLiteral("FBillDate"))),
              QStringLiteral("合计: 2 行"));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("tasks.xlsx"));
    ASSERT_TRUE(list->ExportTo(file));
    const auto part = [&](const char *name) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QString::fromLatin1(name)});
        unzip.waitForFinished();
        return QString::fromUtf8(unzip.readAllStandardOutput());
    };
    const QString strings = part("xl/sharedStrings.xml");
    const QString sheet = part("xl/worksheets/sheet1.xml");
    EXPECT_TRUE(strings.contains(QStringLiteral("单据编号")) && strings.contains(QStringLiteral("RWD20261200002")));
    EXPECT_FALSE(strings.contains(QStringLiteral("FBillTypeID"))) << "hidden columns stay out";
    // Row 3 (the second task): its quantity is a number, its date a date serial (2026-12-05).
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>12.5</v>"))) << sheet.left(2000).toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>46361</v>"))) << "the bill date as a date";
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from zzsyslog where FMsgCont = '导出操作'")).toInt(), 1);

    list->setCurrentRow(1);
    ExecScript(QStringLiteral("insert into t_ProTaskForm(FID,FBillNo,FBillDate,FIsChecked) values"
                              "(4,'RWD20261200000','2026-12-01',0)"));
    list->Refresh();
    EXPECT_EQ(cell(list->currentRow(), "FBillNo"), QStringLiteral("RWD20261200002")) << "a refresh keeps the bill";
}

// The preview key opens the print form in list mode on the list's template with the list's
// statement (the print form's own tests show what it makes of them). With the rights switch on,
// user 2 may open and display tasks, nothing more: neither the shortcuts nor the actions it
// lacks, run directly, change anything.
TEST_F(ListForm, PreviewPrintsTheListsStatementButARestrictedUsersShortcutsChangeNothing)
{
    SetProgramFolder(home.path());
    SeedProgramFolder(SourceDir() + QStringLiteral("/resources"));
    ExecScript(QStringLiteral("insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0), (2,'张会计',1)"));
    SeedDisplayOnlyRights();
    QWidget *grid = open();
    QString file, sql;
    QTimer::singleShot(0, [&]() {
        if (auto *form = qobject_cast<TFBaseForm_BillReport *>(QApplication::activeModalWidget())) {
            file = form->FTemplaceFileName;
            sql = form->FSQL;
            form->reject();
        }
    });
    PressKeys(grid, QStringLiteral("Ctrl+L"));
    EXPECT_EQ(file, QStringLiteral("生产任务单列表.grf"));
    EXPECT_EQ(sql, list->FormTableSQL);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from zzsyslog where FMsgCont = '预览操作'")).toInt(), 1);

    host.received.clear();
    nvDMBase::instance().switches.rightsSwitch = 1;
    grid = open(2);
    list->setCurrentRow(1); // the unchecked task
    const QString before = AllTablesChecksum();
    const std::pair<const char *, ListAction> cases[] = {
        {"Ctrl+N", ListAction::Add},   {"Ctrl+E", ListAction::Edit},    {"Ctrl+D", ListAction::Delete},
        {"Ctrl+P", ListAction::Print}, {"Ctrl+L", ListAction::Preview}, {"Ctrl+O", ListAction::ExportOut},
    };
    for (const auto &[keys, action] : cases) {
        EXPECT_FALSE(list->action(action)->isVisible()) << keys;
        EXPECT_EQ(PressKeys(grid, QString::fromLatin1(keys)), QString()) << keys;
    }
    for (const ListAction hidden : {ListAction::Check, ListAction::UnCheck})
        EXPECT_FALSE(list->action(hidden)->isVisible());
    for (const ListAction refused :
         {ListAction::Add, ListAction::Edit, ListAction::Delete, ListAction::Check, ListAction::UnCheck})
        list->runListAction(refused);
    EXPECT_EQ(AllTablesChecksum(), before);
    EXPECT_TRUE(host.received.isEmpty()) << host.received.join(u',').toStdString();
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.lastText().toStdString();
}

} // namespace
