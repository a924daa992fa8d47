#include "billedit/protask_form.h"
#include "controls/control_values.h"
#include "controls/controls.h"
#include "core/numbering.h"
#include "core/sql_helpers.h"
#include "grid/grid_view.h"
#include "test_db.h"
#include "test_editors.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

using namespace protask;
using namespace protask::testing;

namespace {

TEST_F(BillEditor, ANewBillProposesItsNumberAndDateAndTheMandatoryChecksNameTheField)
{
    auto e = openPurchase();
    EXPECT_EQ(e->billNo()->text(), QStringLiteral("JH20261200001"));
    EXPECT_EQ(e->billDate()->date(), QDate(2026, 12, 15));
    EXPECT_EQ(e->text("FBillerName"), QStringLiteral("张三"));
    EXPECT_EQ(e->editState(), 1);
    EXPECT_EQ(e->FDC->rowCountValue(), 20);
    EXPECT_EQ(e->headerLabel(QStringLiteral("FClientName"))->styleSheet(), QStringLiteral("color: red;"));

    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("供应商不能为空"));
    e->set("FClientName", QStringLiteral("华东五金"));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("总金额不能为空")) << "a currency field holding 0 is empty";
    e->set("FAmount", QStringLiteral("30"));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("请输入单据商品明细,请检查"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_PurForm")).toInt(), 0);
}

TEST_F(BillEditor, SavingPostsOnlyWhenTheCheckWorkflowSaysSo)
{
    struct Case {
        bool workflow;
        bool checkOnSave;
        double stock;
        int state;
    };
    const Case cases[] = {{false, false, 3, 2}, {true, false, 0, 2}, {true, true, 3, 3}};
    for (const Case &c : cases) {
        EmptyAllTables();
        seed();
        nvDMBase::instance().switches.checkWorkflow = c.workflow;
        nvDMBase::instance().switches.checkOnSave = c.checkOnSave;
        auto e = filledPurchase();
        e->SaveBill();
        SCOPED_TRACE(c.workflow * 10 + c.checkOnSave);
        EXPECT_TRUE(e->FSaveIsFinish) << prompter.lastText().toStdString();
        EXPECT_EQ(e->FBillID, 1);
        EXPECT_EQ(e->editState(), c.state);
        EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_PurList where FFormID = 1")).toInt(), 1);
        EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select IfNull(sum(FNumber),0) from t_Balance")).toDouble(), c.stock);
        EXPECT_EQ(scalar(QStringLiteral("select FMsgCont from zzsyslog order by FLogID desc limit 1")).toString(),
                  QStringLiteral("保存操作 - 单据号:JH20261200001"));
    }
}

TEST_F(BillEditor, NumberAndDateTestsStopTheSaveWithTheirMessages)
{
    ExecScript(QStringLiteral("insert into t_PurForm(FID,FBillNo,FIsChecked) values(7,'JH-OLD',0)"));
    auto e = filledPurchase();

    e->billNo()->setText(QStringLiteral("  "));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("单据编号不能为空"));
    e->billNo()->setText(QStringLiteral("JH-OLD"));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("单据编号已经存在,请修改"));
    EXPECT_FALSE(e->FSaveIsFinish);

    e->billNo()->setText(QStringLiteral("JH20261200001"));
    e->billDate()->setDate(QDate(2023, 6, 1));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("检测到您输入的单据日期跨越比较大，请确认是否正确？"));
    EXPECT_FALSE(e->FSaveIsFinish) << "No keeps the bill unsaved";
    prompter.clear();
    e->billDate()->setDate(QDate(2024, 6, 1));
    e->SaveBill();
    EXPECT_TRUE(e->FSaveIsFinish) << "two years back asks nothing";
    EXPECT_TRUE(prompter.entries().isEmpty());

    e->billNo()->setText(QStringLiteral("JH-OLD"));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("单据编号已经存在,请修改"));
    e->billNo()->setText(QStringLiteral("JH20261200001"));
    e->SaveBill();
    EXPECT_TRUE(e->FSaveIsFinish) << "a bill keeps its own number";
}

TEST_F(BillEditor, AKeptProposalThatIsTakenMeanwhileMakesWayForAFreeNumber)
{
    auto e = filledPurchase();
    // Another workstation stored the proposed number without this one noticing.
    ExecScript(QStringLiteral("insert into t_PurForm(FID,FBillNo,FIsChecked) values(7,'JH20261200001',0)"));
    e->SaveBill();
    EXPECT_TRUE(e->FSaveIsFinish);
    EXPECT_EQ(e->billNo()->text(), QStringLiteral("JH20261200002"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_PurForm where FBillNo = 'JH20261200001'")).toInt(), 1);
}

TEST_F(BillEditor, FailingStepsRollBackEverythingAndSayWhich)
{
    auto e = filledPurchase();
    e->failLines = true;
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("保存明细数据失败"));
    e->failLines = false;
    e->failHeader = true;
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("保存表头数据失败"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_PurForm")).toInt(), 0) << "no header row is left behind";
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_comClient")).toInt(), 0);
    EXPECT_EQ(e->FBillStatusID, 1);
    EXPECT_EQ(e->text("FClientName"), QStringLiteral("华东五金")) << "the form keeps what was typed";
}

TEST_F(BillEditor, CheckAndUncheckMoveTheStatesAndRefuseTwice)
{
    nvDMBase::instance().switches.checkWorkflow = true;
    auto e = filledPurchase();
    e->SaveBill();
    ASSERT_TRUE(e->FSaveIsFinish);
    e->UncheckBillAction();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("该单据未审核,不能进行反审核"));

    e->CheckBillAction();
    EXPECT_EQ(e->editState(), 3);
    EXPECT_EQ(scalar(QStringLiteral("select FIsChecked from t_PurForm")).toInt(), 1);
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select sum(FNumber) from t_Balance")).toDouble(), 3);
    EXPECT_FALSE(e->enabled("actSave"));
    EXPECT_FALSE(e->FDC->editingEnabled());
    EXPECT_TRUE(e->billNo()->isReadOnly());
    e->CheckBillAction();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("该单据已经审核过了,不能重复审核"));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("该单据已经被审核过了,不能进行保存,请先反审核操作"));

    e->UncheckBillAction();
    EXPECT_EQ(e->editState(), 4);
    EXPECT_EQ(e->FBillStatusID, 2);
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select sum(FNumber) from t_Balance")).toDouble(), 0);
    EXPECT_FALSE(e->billNo()->isReadOnly());
    EXPECT_FALSE(e->text("FBillerName").isEmpty());
    EXPECT_TRUE(e->headerControl(QStringLiteral("FBillerName"))->property("tag").toInt() & 8);
}

TEST_F(BillEditor, StoredBillsOpenInTheStateTheirFlagsGive)
{
    ExecScript(QStringLiteral("insert into t_PurForm(FID,FBillNo,FIsChecked,FIsCloseAcc) values(1,'A',1,0),"
                              "(2,'B',0,1),(3,'C',0,0)"));
    struct Case {
        bool workflow;
        int bill;
        int state;
        bool gridLocked;
        bool closedLabel;
    };
    const Case cases[] = {{true, 1, 3, true, false}, {false, 2, 12, true, true}, {false, 3, 2, false, false}};
    for (const Case &c : cases) {
        nvDMBase::instance().switches.checkWorkflow = c.workflow;
        auto e = openPurchase(c.bill, 2);
        SCOPED_TRACE(c.bill);
        EXPECT_EQ(e->editState(), c.state);
        EXPECT_EQ(e->billNo()->text(), QString(QChar(u'A' + c.bill - 1)));
        EXPECT_EQ(!e->FDC->editingEnabled(), c.gridLocked);
        EXPECT_EQ(e->findChild<QLabel *>(QStringLiteral("lbl_FIsCloseAcc"))->isVisibleTo(e.get()), c.closedLabel);
        EXPECT_EQ(e->billNo()->isReadOnly(), c.state != 2);
    }
}

// The print format chosen on one editor is stored for the bill type: the next editor opens on it.
TEST_F(BillEditor, ThePrintFormatChosenLastIsTheOneTheNextEditorOffers)
{
    const auto marked = [](const PurchaseEditor &e) {
        QString marks;
        for (const QAction *a : e.findChild<QMenu *>(QStringLiteral("mnuPrintStyle"))->actions())
            marks += a->isChecked() ? u'x' : u'-';
        return marks;
    };
    auto first = openPurchase();
    EXPECT_EQ(marked(*first), QStringLiteral("x--"));
    first->findChild<QMenu *>(QStringLiteral("mnuPrintStyle"))->actions().at(2)->trigger();
    EXPECT_EQ(scalar(QStringLiteral("select FPrintStyle from T_BillType where FBillTypeNo = 'JHD'")).toInt(), 3);
    auto second = openPurchase();
    EXPECT_EQ(second->FBillPrintStyle, 3);
    EXPECT_EQ(marked(*second), QStringLiteral("--x"));
}

TEST_F(BillEditor, TheTaskEditorSavesReloadsAndGrowsItsGrid)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    EXPECT_EQ(task.findChild<TCurrencyEdit *>(QStringLiteral("edt_Fnumber"))->value(), 1) << "a new task makes one";
    task.SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("客户不能为空"));

    static_cast<QComboBox *>(task.headerControl(QStringLiteral("FClientName")))
        ->setEditText(QStringLiteral("新客户'%_"));
    static_cast<QComboBox *>(task.headerControl(QStringLiteral("FProductName")))->setEditText(QStringLiteral("书桌"));
    static_cast<QLineEdit *>(task.headerControl(QStringLiteral("FNote")))->setText(QStringLiteral("急\\件 🙂"));
    for (int r = 0; r < 23; ++r) {
        if (r >= task.FDC->rowCountValue())
            task.FDC->appendRow();
        task.FDC->setCell(r, QStringLiteral("R_FProductName"), r % 2 ? QStringLiteral("螺栓") : QStringLiteral("螺母"));
        task.FDC->setCell(r, QStringLiteral("R_FUnitName"), QStringLiteral("个"));
        task.FDC->editCell(r, task.FDC->columnIndex(QStringLiteral("R_FSingleNumber")), 2);
    }
    task.findChild<TCurrencyEdit *>(QStringLiteral("edt_Fnumber"))->setValue(10);
    EXPECT_DOUBLE_EQ(task.FDC->cell(22, QStringLiteral("R_FNumber")).toDouble(), 20) << "the lines follow the quantity";
    task.SaveBill();
    ASSERT_TRUE(task.FSaveIsFinish) << prompter.lastText().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select FType from t_comClient where FName = '新客户''%_'")).toInt(), 1);
    EXPECT_EQ(
        scalar(QStringLiteral("select count(*) from t_ProTaskList where FNumber = 20 and FSingleNumber = 2")).toInt(),
        23);

    TFBaseForm_BillBase_BillNo_Protask reopened(nullptr, 0);
    reopened.FBillID = task.FBillID;
    reopened.FBillStatusID = 2;
    reopened.showForm();
    EXPECT_EQ(reopened.FDC->rowCountValue(), 23) << "the grid grows by one row per extra line";
    EXPECT_EQ(reopened.FDC->cell(22, QStringLiteral("R_FSID")).toInt(), 23);
    QString note;
    GetControlText(reopened.headerControl(QStringLiteral("FNote")), note);
    EXPECT_EQ(note, QStringLiteral("急\\件 🙂"));
    QString client;
    GetControlText(reopened.headerControl(QStringLiteral("FClientName")), client);
    EXPECT_EQ(client, QStringLiteral("新客户'%_"));
}

// A second workstation holds the supplier key this save needs and then asks for the purchase
// key this save holds: the server picks this save as the deadlock's victim (it changed fewer
// rows), and the save runs again as a whole once the other side is done.
TEST_F(BillEditor, ASaveThatLosesADeadlockRunsAgainAndSavesOnce)
{
    ExecScript(QStringLiteral("insert into t_comClient(FID,FName,FType) values(5,'老客户',1);"
                              "insert into t_PurForm(FID,FBillNo,FIsChecked) values(3,'X',0)"));
    auto e = filledPurchase();
    QString otherError = QStringLiteral("not run");
    std::atomic<bool> holding{false};
    std::thread other([&]() {
        {
            const QSqlDatabase db = openConnection(TestConnectionSettings(QStringLiteral("other")));
            QSqlQuery q(db);
            q.exec(QStringLiteral("start transaction"));
            q.exec(QStringLiteral("insert into t_comUnit(FID,FName) values(100,'a'),(101,'b'),(102,'c'),(103,'d')"));
            q.exec(QStringLiteral("select FID from t_comClient order by FID desc limit 1 for update"));
            holding = true;
            WaitForLockWaits(1);
            otherError = q.exec(QStringLiteral("select FID from t_PurForm order by FID desc limit 1 for update"))
                ? QString()
                : q.lastError().text();
            q.exec(QStringLiteral("commit"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    });
    while (!holding)
        QThread::yieldCurrentThread();
    e->SaveBill();
    other.join();
    EXPECT_EQ(otherError, QString()) << "the other workstation went through";
    EXPECT_TRUE(e->FSaveIsFinish) << prompter.lastText().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_PurForm where FBillNo = 'JH20261200001'")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_PurList")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_comClient where FName = '华东五金'")).toInt(), 1);
}

} // namespace
