// A production task from the list to a checked task made from a sales-order line, and back to
// nothing: the host's main window with the module loaded as the host loads it, its windows
// driven as a clerk drives them (actions, cells, the modal source picker, the list's rows),
// and the books read after every step.
#include "host/main_window.h"
#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "test_db.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTabWidget>

#include <QTableView>
#include <QTimer>
#include <memory>

using namespace protask;
using namespace protask::testing;

namespace {

// The column of a grid with that caption.
int columnOf(QTableView *grid, const QString &caption)
{
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
        if (grid->model()->headerData(c, Qt::Horizontal).toString() == caption)
            return c;
    }
    return -1;
}

QString cell(QTableView *grid, int row, const QString &caption)
{
    return grid->model()->index(row, columnOf(grid, caption)).data(Qt::EditRole).toString();
}

class TaskFlow : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        clock = std::make_unique<PinServerClock>(nvDMBase::instance().connection(), kPinnedNow);
        nvDMBase::instance().switches.checkWorkflow = true;
        nvDMBase::instance().userId = 1;
        nvDMBase::instance().userName = QStringLiteral("系统管理员");
        // A checked order of this month: 100 chairs, 30 already in production; the last task for
        // chairs used 4 screws (0.5) and 1.5 boards (20) per chair.
        ExecScript(QStringLiteral(
            "insert into T_BillType(FID,FBillTypeNo,FBillName,FPreCode) values(49,'RWD','生产任务单','RWD'),"
            "(3,'XSDD','销售订单','XSDD');"
            "insert into t_comUnit(FID,FNo,FName) values(1,'01','把'),(2,'02','个'),(3,'03','张');"
            "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values(1,'C01','办公椅',1),(2,'M01','螺丝',2),"
            "(3,'M02','板材',3);"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values(1,1,1,1),(2,2,1,1),(3,3,1,1);"
            "insert into t_comClient(FID,FNo,FName,FType,FIsActive) values(1,'K01','华联商厦',1,1);"
            "insert into t_SaleOrderForm(FID,FTypeID,FBillNo,FBillDate,FClientID,FIsChecked) values"
            " (1,3,'XSDD20261200001','2026-12-01',1,1);"
            "insert into t_SaleOrderList(FID,FFormID,FSID,FProductID,FUnitID,FNumber,FProtaskFinishNumber) values"
            " (1,1,1,1,1,100,30);"
            "insert into t_ProTaskForm(FID,FTypeID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values"
            " (1,49,'RWD20261100001','2026-11-03',1,1,10,0);"
            "insert into t_ProTaskList(FID,FSID,FFormID,FProductID,FUnitID,FSingleNumber,FNumber,FPrice,FAmount) "
            "values (1,1,1,2,2,4,40,0.5,20),(2,2,1,3,3,1.5,15,20,300)"));
        window = std::make_unique<HostMainWindow>();
        ASSERT_TRUE(window->loadModule(QStringLiteral(PROTASK_PLUGIN_PATH)));
    }
    void TearDown() override
    {
        for (int i = 0; i < 4; ++i)
            prompter.queueAnswer(true);
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        clock.reset();
        DatabaseTest::TearDown();
    }
    QWidget *page(const char *className) const
    {
        for (int i = 0; i < window->sheet()->count(); ++i) {
            if (window->sheet()->widget(i)->objectName() == QLatin1String(className))
                return window->sheet()->widget(i);
        }
        return nullptr;
    }
    QWidget *editor() const { return page("TFBaseForm_BillBase_BillNo_Protask"); }
    QWidget *list() const { return page("TFBaseForm_BillList"); }
    QTableView *listRows() const
    {
        return list()->findChild<QWidget *>(QStringLiteral("GTVList"))->findChild<QTableView *>();
    }
    QTableView *lines() const
    {
        return editor()->findChild<QWidget *>(QStringLiteral("GTVList"))->findChild<QTableView *>();
    }
    void trigger(const char *action) { editor()->findChild<QAction *>(QString::fromLatin1(action))->trigger(); }
    QString field(const char *name) const
    {
        return editor()->findChild<QLineEdit *>(QString::fromLatin1(name))->text();
    }
    double finished() { return scalar(QStringLiteral("select FProtaskFinishNumber from t_SaleOrderList")).toDouble(); }

    std::unique_ptr<PinServerClock> clock;
    std::unique_ptr<HostMainWindow> window;
};

TEST_F(TaskFlow, FromTheListThroughASalesOrderLineToCheckedAndBackToNothing)
{
    window->router().openBillList(3049);
    ASSERT_NE(list(), nullptr);
    EXPECT_EQ(listRows()->model()->rowCount(), 0) << "no task this month yet";
    list()->findChild<QAction *>(QStringLiteral("actAdd"))->trigger();
    ASSERT_NE(editor(), nullptr) << "新增 opens the editor through the host";

    // 选择销售订单: the picker lists the open line; the clerk picks it and presses 选择.
    bool answered = false;
    QTimer::singleShot(0, [&answered]() {
        auto *picker = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!picker)
            return;
        auto *table = picker->findChild<QTableView *>();
        table->selectRow(0);
        picker->findChild<QAbstractButton *>(QStringLiteral("btn_Select"))->click();
        answered = true;
    });
    trigger("actSelectSaleOrder");
    ASSERT_TRUE(answered) << "the source picker opened";
    EXPECT_EQ(field("edt_Fnumber"), QStringLiteral("70.00")) << "ordered 100, 30 already in production";
    EXPECT_EQ(field("edt_FFromBillNo"), QStringLiteral("XSDD20261200001"));
    EXPECT_EQ(cell(lines(), 0, QStringLiteral("材料名称")), QStringLiteral("螺丝"));
    EXPECT_DOUBLE_EQ(cell(lines(), 0, QStringLiteral("总耗量")).toDouble(), 280) << "4 screws a chair, 70 chairs";
    EXPECT_DOUBLE_EQ(cell(lines(), 1, QStringLiteral("成本金额")).toDouble(), 2100);

    // One more screw per chair.
    lines()->model()->setData(lines()->model()->index(0, columnOf(lines(), QStringLiteral("单耗量"))), 5);
    EXPECT_DOUBLE_EQ(cell(lines(), 0, QStringLiteral("总耗量")).toDouble(), 350);
    trigger("actSave");
    // A picture of the filled task for the record (the build folder keeps it).
    window->resize(1400, 860);
    window->show();
    QCoreApplication::processEvents();
    window->grab().save(QString::fromLocal8Bit(qgetenv("PROTASK_BINARY_DIR")) + QStringLiteral("/task-filled.png"));
    const int task = editor()->property("FBillID").toInt();
    ASSERT_GT(task, 1) << prompter.lastText().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select concat(FBillNo,'|',Fnumber*1e0,'|',FFromListID,'|',FIsChecked) from "
                                    "t_ProTaskForm where FID = %1")
                         .arg(task))
                  .toString(),
              QStringLiteral("RWD20261200001|70|1|0"));
    EXPECT_EQ(
        scalar(QStringLiteral("select group_concat(concat(FSingleNumber*1e0,'x',FNumber*1e0,'=',FAmount*1e0) order "
                              "by FSID) from t_ProTaskList where FFormID = %1")
                   .arg(task))
            .toString(),
        QStringLiteral("5x350=175,1.5x105=2100"));
    EXPECT_DOUBLE_EQ(finished(), 30) << "saving does not post with the check workflow on";

    trigger("actCheck");
    EXPECT_EQ(scalar(QStringLiteral("select FIsChecked from t_ProTaskForm where FID = %1").arg(task)).toInt(), 1);
    EXPECT_DOUBLE_EQ(finished(), 100) << "the order line is fully in production";

    // Back on the list the checked task is shown; a double-click reopens it read-only.
    window->sheet()->setCurrentWidget(list());
    ASSERT_EQ(listRows()->model()->rowCount(), 1);
    Q_EMIT listRows()->doubleClicked(listRows()->model()->index(0, 2));
    window->sheet()->setCurrentWidget(editor());
    EXPECT_TRUE(editor()->findChild<QLineEdit *>(QStringLiteral("edt_FNote"))->isReadOnly());
    EXPECT_FALSE(editor()->findChild<QAction *>(QStringLiteral("actSave"))->isEnabled());
    EXPECT_FALSE(editor()->findChild<QAction *>(QStringLiteral("actSelectSaleOrder"))->isEnabled());

    trigger("actUnCheck");
    EXPECT_EQ(scalar(QStringLiteral("select FIsChecked from t_ProTaskForm where FID = %1").arg(task)).toInt(), 0);
    EXPECT_DOUBLE_EQ(finished(), 30) << "unchecking takes the production back";
    EXPECT_FALSE(editor()->findChild<QLineEdit *>(QStringLiteral("edt_FNote"))->isReadOnly());

    // Deleted from the list: the task and its lines are gone, the order line as before.
    window->sheet()->setCurrentWidget(list());
    listRows()->setCurrentIndex(listRows()->model()->index(0, 2));
    prompter.queueAnswer(true);
    list()->findChild<QAction *>(QStringLiteral("actDel"))->trigger();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("确定要删除所选单据?"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_ProTaskForm where FID = %1").arg(task)).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_ProTaskList where FFormID = %1").arg(task)).toInt(), 0);
    EXPECT_DOUBLE_EQ(finished(), 30);
    EXPECT_EQ(listRows()->model()->rowCount(), 0);
    EXPECT_EQ(
        scalar(QStringLiteral("select group_concat(FMsgCont order by FLogID separator '|') from zzsyslog")).toString(),
        QStringLiteral("打开操作|新建操作|保存操作 - 单据号:RWD20261200001|审核操作 - 单据号:RWD20261200001|"
                       "反审核操作 - 单据号:RWD20261200001|删除操作 - 单据号:RWD20261200001"));
}

} // namespace
