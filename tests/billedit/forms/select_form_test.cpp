// The pickers driven without exec(): of source bills (what it lists, how the period, the search
// and the client narrow it, and the keys it answers) and of a product's batches.
#include "billedit/product_batch_form.h"
#include "billedit/select_form.h"

#include "controls/controls.h"
#include "grid/grid_view.h"
#include "platform/host_messages.h"
#include "test_db.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

using namespace protask;
using namespace protask::testing;

namespace {

// The visible cells of a row, joined.
QString shown(const TGridView *grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid->model()->columnCountValue(); ++c) {
        if (grid->isColumnVisible(c))
            cells << grid->model()->displayText(row, c);
    }
    return cells.join(u'|');
}

class SelectFormTest : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        // Sales orders of December unless said otherwise; 16 is fully in production, 15 fully
        // delivered (which does not matter for production), order 3 unchecked, order 4 the
        // evening before the month and order 5 the first instant after it. Order 2 is dated in
        // the afternoon of the month's last day. Client 2's code holds the characters that
        // LIKE and string literals give a meaning of their own.
        ExecScript(QStringLiteral(
            "insert into t_comClient(FID,FNo,FName,FCode,FType) values(1,'C01','华东五金','HDWJ',1),"
            "(2,'C02','南方机电','O''B\\\\50%_X',1);"
            "insert into t_comUnit(FID,FNo,FName) values(1,'01','个');"
            "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values(1,'A01','螺栓',1),(2,'A02','螺母',1);"
            "insert into t_comdepartment(FID,FNo,FName) values(1,'D1','生产一部'),(2,'D2','生产二部');"
            "insert into t_SaleOrderForm(FID,FBillNo,FBillDate,FClientID,FIsChecked,FAmount) values"
            "(1,'XD001','2026-12-03 09:00:00',1,1,100),(2,'XD002','2026-12-31 15:00:00',2,1,80),"
            "(3,'XD003','2026-12-05 00:00:00',1,0,10),(4,'XD004','2026-11-30 23:00:00',1,1,10),"
            "(5,'XD005','2027-01-01 00:00:00',1,1,10);"
            "insert into t_SaleOrderList(FID,FFormID,FProductID,FUnitID,FNumber,FPrice,FAmount,FFinishNumber,"
            "FProtaskFinishNumber) values(12,1,1,1,10,6,60,0,4),(15,1,2,1,5,8,40,5,0),(16,1,2,1,3,1,3,0,3),"
            "(21,2,2,1,8,10,80,null,null),(31,3,1,1,1,1,1,0,0),(41,4,1,1,1,1,1,0,0),(51,5,1,1,1,1,1,0,0);"
            "insert into t_PurOrderForm(FID,FBillNo,FBillDate,FClientID,FIsChecked) values"
            "(1,'CD001','2026-12-02',1,1),(2,'CD002','2026-12-04',2,1);"
            "insert into t_PurOrderList(FID,FFormID,FProductID,FNumber,FFinishNumber) values(101,1,1,5,1),"
            "(102,2,2,5,0);"
            "insert into t_SaleOutForm(FID,FBillNo,FBillDate,FClientID,FIsChecked,FAmount,FReceiveAmount,"
            "FOrderAmount,FFinishAmount) values(7,'CH007','2026-12-06',1,1,100,40,0,0),"
            "(8,'CH008','2026-12-06',1,1,50,50,0,0),(9,'CH009','2026-12-07',2,1,80,0,0,20);"
            "insert into t_PurForm(FID,FBillNo,FBillDate,FClientID,FIsChecked,FAmount,FPayAmount,FOrderAmount,"
            "FFinishAmount) values(7,'JH007','2026-12-06',1,1,100,0,30,0),(8,'JH008','2026-12-06',2,1,100,0,0,100);"
            "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FDeptID,FProductID,FUnitID,FNumber,FFinishNumber,"
            "FIsChecked) values(1,'RW001','2026-12-08',1,1,1,10,0,1),(2,'RW002','2026-12-09',2,1,1,5,5,1),"
            "(3,'RW003','2026-12-10',2,2,1,4,1,1)"));
    }
    std::unique_ptr<TFBaseForm_SelectForm> open(int kind, int client = 0, bool multi = true)
    {
        auto form = std::make_unique<TFBaseForm_SelectForm>();
        form->FBillTypeID = kind;
        form->FClientID = client;
        form->FMainHandle = registerWindowHandle(&host);
        form->FMultiSelected = multi;
        EXPECT_TRUE(form->FormShow());
        return form;
    }
    // The answered keys of the listed rows, in the list's order.
    static QString listed(const TFBaseForm_SelectForm &form)
    {
        QStringList keys;
        for (int row = 0; row < form.grid()->model()->rowCountValue(); ++row)
            keys << form.grid()->model()->cell(row, form.FKeyColumnName1).toString();
        return keys.join(u',');
    }
    static void press(QWidget *target, int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }

    RecordingHost host;
};

TEST_F(SelectFormTest, OpensOnTheMonthsOpenLinesOfCheckedOrdersInTheHostsWorkArea)
{
    nvDMBase::instance().workArea = WorkArea{5, 40, 600, 800};
    auto form = open(3056);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].msg, 1039u) << "the host is asked for its work area";
    EXPECT_EQ(form->pos(), QPoint(5, 50));
    EXPECT_EQ(form->size(), QSize(800, 580));
    EXPECT_EQ(form->grid()->table()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(form->focusWidget(), form->grid()->table());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("销售订单选择"));
    EXPECT_EQ(form->startDate()->date(), QDate(2026, 12, 1));
    EXPECT_EQ(form->endDate()->date(), QDate(2026, 12, 31));
    EXPECT_FALSE(form->grid()->model()->editingEnabled());
    // Line 21 is listed though its order was made at 15:00 on the end day.
    EXPECT_EQ(listed(*form), QStringLiteral("12,15,21"));
    EXPECT_EQ(shown(form->grid(), 0),
              QStringLiteral("2026-12-03|XD001|华东五金||A01|螺栓|个||10.00|4.00|6.00|6.00|60.00||"))
        << "the line's own amount, not the order's";

    // Without a work area the form keeps its own place; without multi-selection one row.
    nvDMBase::instance().workArea = WorkArea{};
    auto single = open(3056, 2, false);
    EXPECT_EQ(listed(*single), QStringLiteral("21")) << "one client's lines";
    EXPECT_EQ(single->size(), QSize(900, 520));
    EXPECT_EQ(single->grid()->table()->selectionMode(), QAbstractItemView::SingleSelection);
}

// Every kind chooses all its listed rows: the answer is their keys, unless the kind wants one
// value of a column among them.
TEST_F(SelectFormTest, EachKindAnswersItsKeysOrRefusesMixedValues)
{
    struct Case {
        int kind;
        QString listed;
        QString answer;
        QString warning;
    };
    const QList<Case> cases = {
        {3050, QStringLiteral("101,102"), QString(), QStringLiteral("不能同时选择不同[供应商]的记录")},
        {3051, QStringLiteral("12,16,21"), QString(), QStringLiteral("不能同时选择不同[客户]的记录")},
        {3053, QStringLiteral("7,9"), QStringLiteral("7,9"), QString()},
        {3054, QStringLiteral("7"), QStringLiteral("7"), QString()},
        {3055, QStringLiteral("1,3"), QStringLiteral("1,3"), QString()},
        {3056, QStringLiteral("12,15,21"), QString(), QStringLiteral("不能同时选择不同[客户]的记录")},
        {3057, QStringLiteral("1,3"), QString(), QStringLiteral("不能同时选择不同[部门]的记录")},
        {3058, QStringLiteral("1,3"), QString(), QStringLiteral("不能同时选择不同[部门]的记录")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        prompter.clear();
        auto form = open(c.kind);
        form->show();
        ASSERT_EQ(listed(*form), c.listed);
        QList<int> all;
        for (int row = 0; row < form->grid()->model()->rowCountValue(); ++row)
            all << row;
        form->selectRows(all);
        EXPECT_EQ(form->SelectClick(), c.warning.isEmpty());
        EXPECT_EQ(form->SqlFilterText, c.answer);
        EXPECT_EQ(prompter.lastText(), c.warning);
        EXPECT_EQ(form->isVisible(), !c.warning.isEmpty()) << "a refusal keeps the form open";
        if (!c.warning.isEmpty()) {
            EXPECT_EQ(prompter.entries().last().kind, PromptKind::Warning);
            EXPECT_EQ(form->focusWidget(), form->grid()->table());
        }
    }
}

TEST_F(SelectFormTest, EnterAndDoubleClickChooseCancelAndEscapeAnswerNothing)
{
    auto form = open(3056);
    form->selectRows({1, 0}); // lines 15 and 12
    press(form.get(), Qt::Key_Return);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->SqlFilterText, QStringLiteral("15,12")) << "the keys in the order chosen";
    EXPECT_TRUE(prompter.entries().isEmpty());

    form = open(3056);
    form->selectRows({0});
    Q_EMIT form->grid()->table()->doubleClicked(form->grid()->model()->index(2, 4));
    EXPECT_EQ(form->SqlFilterText, QStringLiteral("21")) << "the row clicked, not the one chosen before";
    EXPECT_EQ(form->result(), QDialog::Accepted);

    form->show();
    press(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_TRUE(form->SqlFilterText.isEmpty());
    form->selectRows({0});
    ASSERT_TRUE(form->SelectClick());
    form->CancelClick();
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_TRUE(form->SqlFilterText.isEmpty());
}

// The server reads the search as typed: only client 2's code holds these characters.
TEST_F(SelectFormTest, SearchMatchesTheTypedTextLiterally)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("%"), QStringLiteral("21")},
        {QStringLiteral("o'b\\50%_"), QStringLiteral("21")},
        {QStringLiteral("5_%"), QString()},
        {QString(), QStringLiteral("12,15,21")},
    };
    auto form = open(3056);
    for (const auto &[text, keys] : cases) {
        form->findEdit()->setText(text);
        ASSERT_NO_THROW(form->FindClick()) << text.toStdString();
        EXPECT_EQ(listed(*form), keys) << text.toStdString();
    }

    // Enter in the search field searches and chooses nothing.
    form->findEdit()->setText(QStringLiteral("南方"));
    form->findEdit()->setFocus();
    press(form->findEdit(), Qt::Key_Return);
    EXPECT_EQ(listed(*form), QStringLiteral("21"));
    EXPECT_NE(form->result(), QDialog::Accepted);
}

// The period box sets the dates around the server's today; the custom item keeps the typed ones.
TEST_F(SelectFormTest, PeriodChoicesSetTheDatesFromTheServersToday)
{
    auto form = open(3056);
    PinServerClock clock(Db(), kPinnedNow);
    clock.moveTo(QDateTime(QDate(2027, 1, 1), QTime(10, 0)));
    form->startDate()->setDate(QDate(2020, 3, 3));
    form->endDate()->setDate(QDate(2020, 3, 4));
    Q_EMIT form->periodBox()->activated(4);
    EXPECT_EQ(form->startDate()->date(), QDate(2020, 3, 3));
    EXPECT_EQ(form->endDate()->date(), QDate(2020, 3, 4));
    Q_EMIT form->periodBox()->activated(1);
    EXPECT_EQ(form->startDate()->date(), QDate(2026, 12, 28));
    EXPECT_EQ(form->endDate()->date(), QDate(2027, 1, 3));

    // The list follows the dates at the next search: the whole year takes in November.
    clock.moveTo(kPinnedNow);
    form->ChoosePeriod(DatePeriod::ThisYear);
    EXPECT_EQ(form->periodBox()->currentText(), QStringLiteral("本年"));
    form->FindClick();
    EXPECT_EQ(listed(*form), QStringLiteral("41,12,15,21"));
    form->ChoosePeriod(DatePeriod::Today);
    form->FindClick();
    EXPECT_EQ(listed(*form), QString());
}

TEST_F(SelectFormTest, ExecuteAnswersThroughTheHookAsAfterTheModalLoop)
{
    int clientSeen = -1;
    QList<int> rows;
    {
        TFBaseForm_SelectForm::ExecuteHookScope scope([&](TFBaseForm_SelectForm &form) {
            clientSeen = form.FClientID;
            form.selectRows(rows);
            form.SelectClick();
            return form.result();
        });
        rows = {0, 1};
        EXPECT_EQ(ExecuteSelectForm(3056, 1, 0, true), QStringLiteral("12,15"));
        EXPECT_EQ(clientSeen, 1);
        EXPECT_EQ(ExecuteSelectForm(3056, 0, 0, false), QStringLiteral("15")) << "single selection keeps the last";
        rows = {0, 1, 2};
        EXPECT_EQ(ExecuteSelectForm(3056, 0, 0, true), QString()) << "a refused choice answers nothing";
        EXPECT_EQ(prompter.lastText(), QStringLiteral("不能同时选择不同[客户]的记录"));
    }
    EXPECT_FALSE(TFBaseForm_SelectForm::ExecuteHook) << "the scope puts the previous hook back";
}

using BatchPicker = DatabaseTest;

// Milk's batches in two storehouses; the picker lists those of the first with stock, oldest first.
TEST_F(BatchPicker, ListsTheBatchesWithStockAndAnswersTheChosenOne)
{
    ExecScript(QStringLiteral(
        "insert into t_comStorehouse(FID, FName) values (1, '主仓'), (2, '分仓');"
        "insert into t_comProducts(FID, FNo, FName) values (4, 'M1', 'Milk');"
        "insert into t_comProductBatchNo(FID, FStorehouseID, FProductID, FBatchNo1, FNumber, FKFDate, FKFPeriod, "
        "FPeriodDate) values (11, 1, 4, 'B-c', 5, '2024-02-01', 30, '2024-03-02'),"
        " (12, 1, 4, 'B-a', -2, '2024-01-15', 30, '2024-02-14'), (13, 1, 4, 'B-z', 0, '2024-01-01', 30, null),"
        " (14, 2, 4, 'B-b', 3, '2023-12-01', 30, '2023-12-31')"));
    TFBaseForm_ProductBatchNo picker;
    picker.FProductID = 4;
    picker.FStorehouseID = 1;
    picker.LoadData();
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("库存批号"));
    EXPECT_EQ(picker.productNoText() + u' ' + picker.productNameText(), QStringLiteral("M1 Milk"));
    ASSERT_EQ(picker.grid()->model()->rowCountValue(), 2);
    EXPECT_EQ(shown(picker.grid(), 0), QStringLiteral("B-a|-2.00|Milk|主仓|2024-01-15|30|2024-02-14"));

    picker.acceptSelection(); // nothing is chosen until the user picks
    EXPECT_EQ(picker.FID, 0);
    EXPECT_FALSE(picker.bRet);
    EXPECT_EQ(picker.result(), QDialog::Rejected);
    picker.selectRow(1);
    picker.acceptSelection();
    EXPECT_EQ(picker.FID, 11);
    EXPECT_TRUE(picker.bRet);
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    picker.selectRow(-1);
    Q_EMIT picker.grid()->table()->doubleClicked(picker.grid()->model()->index(0, 4));
    EXPECT_EQ(picker.FID, 12) << "a double click takes the row clicked";
    EXPECT_TRUE(picker.bRet);
    picker.exitDialog();
    EXPECT_FALSE(picker.bRet);
    EXPECT_EQ(picker.result(), QDialog::Rejected);
}

} // namespace
