// A task from the list through a sales-order line to checked and back to nothing, in the host's
// main window with the module loaded as the host loads it.
#include "host/main_window.h"
#include "order_seed.h"
#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "test_db.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <memory>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

// The cell of a grid in the column with that caption.
QString cell(QTableView *grid, int row, const QString &caption)
{
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
        if (grid->model()->headerData(c, Qt::Horizontal).toString() == caption)
            return grid->model()->index(row, c).data(Qt::EditRole).toString();
    }
    return u"<no column %1>"_s.arg(caption);
}

class TaskFlow : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        nvDMBase::instance().switches.checkWorkflow = true;
        nvDMBase::instance().userId = 1;
        nvDMBase::instance().userName = u"系统管理员"_s;
        SeedOrderLineAndEarlierTask();
        window = std::make_unique<HostMainWindow>();
        ASSERT_TRUE(window->loadModule(QStringLiteral(PROTASK_PLUGIN_PATH)));
    }
    void TearDown() override
    {
        for (int i = 0; i < 4; ++i)
            prompter.queueAnswer(true);
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DatabaseTest::TearDown();
    }
    QWidget *page(const QString &className) const
    {
        for (int i = 0; i < window->sheet()->count(); ++i) {
            if (window->sheet()->widget(i)->objectName() == className)
                return window->sheet()->widget(i);
        }
        return nullptr;
    }
    QWidget *editor() const { return page(u"TFBaseForm_BillBase_BillNo_Protask"_s); }
    QWidget *list() const { return page(u"TFBaseForm_BillList"_s); }
    static QTableView *grid(QWidget *form)
    {
        return form->findChild<QWidget *>(u"GTVList"_s)->findChild<QTableView *>();
    }
    QAction *action(QWidget *form, const QString &name) const { return form->findChild<QAction *>(name); }
    QLineEdit *edit(const QString &name) const { return editor()->findChild<QLineEdit *>(name); }
    double finished() { return scalar(u"select FProtaskFinishNumber from t_SaleOrderList"_s).toDouble(); }

    std::unique_ptr<HostMainWindow> window;
};

TEST_F(TaskFlow, FromTheListThroughASalesOrderLineToCheckedAndBackToNothing)
{
    window->router().openBillList(3049);
    ASSERT_NE(list(), nullptr);
    action(list(), u"actAdd"_s)->trigger();
    ASSERT_NE(editor(), nullptr) << "新增 opens the editor through the host";

    // 选择销售订单: the picker lists the open line; the clerk picks it and presses 选择.
    bool answered = false;
    QTimer::singleShot(0, [&answered]() {
        auto *picker = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!picker)
            return;
        picker->findChild<QTableView *>()->selectRow(0);
        picker->findChild<QAbstractButton *>(u"btn_Select"_s)->click();
        answered = true;
    });
    action(editor(), u"actSelectSaleOrder"_s)->trigger();
    ASSERT_TRUE(answered) << "the source picker opened";
    EXPECT_EQ(edit(u"edt_Fnumber"_s)->text(), u"90.00"_s) << "ordered 100, 10 already in production";
    EXPECT_EQ(edit(u"edt_FFromBillNo"_s)->text(), u"XSD20261200001"_s);
    QTableView *lines = grid(editor());
    EXPECT_EQ(cell(lines, 0, u"材料名称"_s), u"螺栓"_s);
    EXPECT_DOUBLE_EQ(cell(lines, 0, u"总耗量"_s).toDouble(), 180) << "2 bolts a chair, 90 chairs";
    action(editor(), u"actSave"_s)->trigger();
    const QString task = editor()->property("FBillID").toString();
    ASSERT_GT(task.toInt(), 1) << prompter.lastText().toStdString();
    EXPECT_DOUBLE_EQ(finished(), 10) << "saving does not post with the check workflow on";

    action(editor(), u"actCheck"_s)->trigger();
    EXPECT_DOUBLE_EQ(finished(), 100) << "the saved 90 are in production on the order line";

    // Back on the list the checked task is shown; a double-click reopens it read-only.
    window->sheet()->setCurrentWidget(list());
    ASSERT_EQ(grid(list())->model()->rowCount(), 1);
    Q_EMIT grid(list())->doubleClicked(grid(list())->model()->index(0, 2));
    window->sheet()->setCurrentWidget(editor());
    EXPECT_TRUE(edit(u"edt_FNote"_s)->isReadOnly());
    EXPECT_FALSE(action(editor(), u"actSave"_s)->isEnabled());
    EXPECT_FALSE(action(editor(), u"actSelectSaleOrder"_s)->isEnabled());

    action(editor(), u"actUnCheck"_s)->trigger();
    EXPECT_DOUBLE_EQ(finished(), 10) << "unchecking takes the production back";
    EXPECT_FALSE(edit(u"edt_FNote"_s)->isReadOnly());

    // Deleted from the list, the order line as before.
    window->sheet()->setCurrentWidget(list());
    grid(list())->setCurrentIndex(grid(list())->model()->index(0, 2));
    prompter.queueAnswer(true);
    action(list(), u"actDel"_s)->trigger();
    EXPECT_EQ(prompter.lastText(), u"确定要删除所选单据?"_s);
    EXPECT_DOUBLE_EQ(finished(), 10);
    EXPECT_EQ(grid(list())->model()->rowCount(), 0);
    EXPECT_EQ(scalar(u"select group_concat(FMsgCont order by FLogID separator '|') from zzsyslog"_s).toString(),
              u"打开操作|新建操作|保存操作 - 单据号:RWD20261200001|审核操作 - 单据号:RWD20261200001|"
              "反审核操作 - 单据号:RWD20261200001|删除操作 - 单据号:RWD20261200001"_s);
}

} // namespace
