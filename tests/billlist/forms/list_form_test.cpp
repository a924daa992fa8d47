#include "billlist/bill_list_form.h"
#include "grid/grid_view.h"
#include "platform/host_messages.h"
#include "test_db.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

using namespace protask;
using namespace protask::testing;

namespace {

class ListForm : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        clock = std::make_unique<PinServerClock>(nvDMBase::instance().connection(), kPinnedNow);
        nvDMBase::instance().switches.checkWorkflow = true;
        nvDMBase::instance().userId = 1;
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
        clock.reset();
        DatabaseTest::TearDown();
    }
    void open()
    {
        list = std::make_unique<TFBaseForm_BillList>(nullptr, 0);
        list->FBillTypeID = 3049;
        list->FMainHandle = registerWindowHandle(&host);
        list->showForm();
    }
    QString cell(int row, const char *field)
    {
        TGridModel *m = list->grid()->model();
        return m->cell(row, m->fieldColumnIndex(QString::fromLatin1(field))).toString();
    }

    RecordingHost host;
    std::unique_ptr<TFBaseForm_BillList> list;
    std::unique_ptr<PinServerClock> clock;
};

TEST_F(ListForm, OpensOnThisMonthAndExportsTheGridAsShown)
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
}

TEST_F(ListForm, RefreshKeepsTheBillAndGuardsHoldForKeysAndDoubleClicks)
{
    open();
    list->setCurrentRow(1);
    ExecScript(QStringLiteral("insert into t_ProTaskForm(FID,FBillNo,FBillDate,FIsChecked) values"
                              "(4,'RWD20261200000','2026-12-01',0)"));
    list->Refresh();
    EXPECT_EQ(cell(list->currentRow(), "FBillNo"), QStringLiteral("RWD20261200002")) << "the same bill stays current";

    // A checked row: edit and delete are off, so Ctrl+D does nothing; double-click displays it.
    list->setCurrentRow(1);
    ASSERT_EQ(cell(1, "FBillNo"), QStringLiteral("RWD20261200001"));
    list->action(ListAction::Delete)->trigger();
    EXPECT_TRUE(prompter.entries().isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_ProTaskForm")).toInt(), 4);
    Q_EMIT list->grid()->table()->doubleClicked(list->grid()->model()->index(1, 2));
    EXPECT_EQ(host.received.value(0), QStringLiteral("1040/3049/1"));

    // Without the delete right the action stays hidden and its key does nothing.
    nvDMBase::instance().switches.rightsSwitch = 1;
    ExecScript(QStringLiteral("insert into t_comUser(FID,FName,FRightType) values(1,'张会计',1)"));
    open();
    list->setCurrentRow(2);
    EXPECT_FALSE(list->action(ListAction::Delete)->isVisible());
    list->runListAction(ListAction::Delete);
    EXPECT_TRUE(prompter.entries().isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_ProTaskForm")).toInt(), 4);
}

TEST_F(ListForm, DeletingAnUncheckedTaskAsksAndRemovesIt)
{
    open();
    list->setCurrentRow(1);
    ASSERT_EQ(cell(1, "FBillNo"), QStringLiteral("RWD20261200002"));
    prompter.queueAnswer(true);
    list->runListAction(ListAction::Delete);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("确定要删除所选单据?"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_ProTaskForm where FID = 2")).toInt(), 0);
    EXPECT_EQ(list->grid()->model()->rowCountValue(), 1);
}

} // namespace
