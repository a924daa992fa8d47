// The bill editor through the purchase test editor: proposals, the save's checks and its
// transaction, the check states, the line actions and the header's lookup edits.
#include "billedit/image_help.h"
#include "platform/program_folder.h"
#include "test_editors.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>

using namespace protask;
using namespace protask::testing;

namespace {

TEST_F(BillEditor, ANewBillsMandatoryChecksAndFailingStepsStopTheSaveWithTheirMessages)
{
    auto e = openPurchase();
    EXPECT_EQ(e->billDate()->date(), QDate(2026, 12, 15));
    EXPECT_EQ(e->text("FBillerName"), QStringLiteral("张三"));
    EXPECT_EQ(e->headerLabel(QStringLiteral("FClientName"))->styleSheet(), QStringLiteral("color: red;"));

    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("供应商不能为空"));
    e->set("FClientName", QStringLiteral("华东五金"));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("总金额不能为空")) << "a currency field holding 0 is empty";
    e->set("FAmount", QStringLiteral("30"));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("请输入单据商品明细,请检查"));

    // A failing step rolls the whole save back and says which.
    e->setLine(0, QStringLiteral("螺栓"), 3, 10);
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

// With the check workflow a save posts only when the company checks on saving; the bill is then
// shown checked.
TEST_F(BillEditor, WithTheCheckWorkflowSavingPostsOnlyWhenItChecks)
{
    struct Case {
        bool checkOnSave;
        double stock;
        int state;
    };
    const Case cases[] = {{false, 0, 2}, {true, 3, 3}};
    for (const Case &c : cases) {
        EmptyAllTables();
        seed();
        nvDMBase::instance().switches.checkWorkflow = true;
        nvDMBase::instance().switches.checkOnSave = c.checkOnSave;
        auto e = filledPurchase();
        e->SaveBill();
        SCOPED_TRACE(c.checkOnSave);
        EXPECT_TRUE(e->FSaveIsFinish) << prompter.lastText().toStdString();
        EXPECT_EQ(e->editState(), c.state);
        EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select IfNull(sum(FNumber),0) from t_Balance")).toDouble(), c.stock);
    }
}

TEST_F(BillEditor, NumberAndDateTestsStopTheSaveWithTheirMessages)
{
    ExecScript(QStringLiteral("insert into t_PurForm(FID,FBillNo,FIsChecked) values(7,'JH-OLD',0)"));
    auto e = filledPurchase();
    e->billNo()->setText(QStringLiteral("  "));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("单据编号不能为空"));

    e->billNo()->setText(QStringLiteral("JH20261200001"));
    e->billDate()->setDate(QDate(2023, 6, 1));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("检测到您输入的单据日期跨越比较大，请确认是否正确？"));
    EXPECT_FALSE(e->FSaveIsFinish) << "No keeps the bill unsaved";
    prompter.clear();
    // Another workstation stored the proposed number meanwhile: the save takes the next free one.
    ExecScript(QStringLiteral("insert into t_PurForm(FID,FBillNo,FIsChecked) values(8,'JH20261200001',0)"));
    e->billDate()->setDate(QDate(2024, 6, 1));
    e->SaveBill();
    EXPECT_TRUE(e->FSaveIsFinish) << "two years back asks nothing";
    EXPECT_TRUE(prompter.entries().isEmpty());
    EXPECT_EQ(e->billNo()->text(), QStringLiteral("JH20261200002"));

    e->billNo()->setText(QStringLiteral("JH-OLD"));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("单据编号已经存在,请修改"));
    e->billNo()->setText(QStringLiteral("JH20261200002"));
    e->SaveBill();
    EXPECT_TRUE(e->FSaveIsFinish) << "a bill keeps its own number";

    // A number with quotes, backslashes, wildcards and an emoji is stored and read back exactly,
    // and the duplicate test matches it exactly.
    const QString odd = QStringLiteral("J'H\\1%_🙂");
    ExecScript(QStringLiteral("insert into t_PurForm(FID,FBillNo,FIsChecked) values(20,'J''H\\\\1xx🙂',0)"));
    e->billNo()->setText(odd);
    e->SaveBill();
    ASSERT_TRUE(e->FSaveIsFinish) << prompter.lastText().toStdString();
    EXPECT_EQ(openPurchase(e->FBillID, 2)->billNo()->text(), odd);
    auto other = filledPurchase();
    other->billNo()->setText(odd);
    other->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("单据编号已经存在,请修改"));
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
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select sum(FNumber) from t_Balance")).toDouble(), 3);
    e->CheckBillAction();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("该单据已经审核过了,不能重复审核"));
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("该单据已经被审核过了,不能进行保存,请先反审核操作"));

    e->UncheckBillAction();
    EXPECT_EQ(e->editState(), 4);
    EXPECT_EQ(e->FBillStatusID, 2);
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select sum(FNumber) from t_Balance")).toDouble(), 0);
    EXPECT_FALSE(e->text("FBillerName").isEmpty());
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

TEST_F(BillEditor, LineActionsRenumberAndMarkTheBillModified)
{
    auto e = openPurchase();
    TGridModel *m = e->FDC;
    const int name = m->columnIndex(QStringLiteral("R_FProductName"));
    m->setCell(0, name, QStringLiteral("螺栓"));
    m->setCell(1, name, QStringLiteral("螺母"));
    e->grid()->focusCell(1, name, false);
    e->action(QStringLiteral("actInsertLine"))->trigger();
    EXPECT_EQ(RowCells(m, 1, "FSID,FProductName"), QStringLiteral("FSID=2;FProductName="));
    EXPECT_EQ(RowCells(m, 2, "FSID,FProductName"), QStringLiteral("FSID=3;FProductName=螺母"));
    EXPECT_FALSE(e->FSave) << "a blank line changes nothing yet";

    e->grid()->focusCell(0, name, false);
    e->action(QStringLiteral("actDeleteLine"))->trigger();
    EXPECT_EQ(RowCells(m, 1, "FSID,FProductName"), QStringLiteral("FSID=2;FProductName=螺母"));
    EXPECT_TRUE(e->FSave);
    EXPECT_EQ(e->editState(), 5);

    e->grid()->focusCell(1, name, false);
    e->action(QStringLiteral("actClearLine"))->trigger();
    EXPECT_EQ(RowCells(m, 1, "FSID,FProductName"), QStringLiteral("FSID=2;FProductName="));
    e->action(QStringLiteral("actAppendLine"))->trigger();
    EXPECT_EQ(m->cell(20, QStringLiteral("R_FSID")).toInt(), 21);
}

TEST_F(BillEditor, NewBillAsksAboutUnsavedChangesAndSaveAndNewStartsTheNextNumber)
{
    auto e = filledPurchase();
    e->SetModified();
    prompter.queueAnswer(false);
    e->NewBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("数据未保存,是否保存?"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_PurForm")).toInt(), 0) << "No drops the bill";
    EXPECT_TRUE(e->text("FClientName").isEmpty());
    EXPECT_EQ(e->editState(), 1);

    e->set("FClientName", QStringLiteral("华东五金"));
    e->set("FAmount", QStringLiteral("30"));
    e->setLine(0, QStringLiteral("螺栓"), 3, 10);
    e->action(QStringLiteral("actSaveNew"))->trigger();
    EXPECT_EQ(e->FBillID, 0) << "a new bill follows the saved one";
    EXPECT_EQ(e->billNo()->text(), QStringLiteral("JH20261200002"));
    EXPECT_TRUE(e->FDC->cell(0, QStringLiteral("R_FProductName")).toString().isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(FMsgCont order by FLogID) from zzsyslog")).toString(),
              QStringLiteral("新建操作,新增操作,保存操作 - 单据号:JH20261200001,新增操作"));
}

// A lookup edit remembers its value on entry; leaving it changed marks the bill modified, and
// a typed text other than the stored value asks the editor to resolve it.
TEST_F(BillEditor, LookupEditsReportTypedChangesOnExit)
{
    auto e = std::make_unique<PurchaseEditor>();
    auto *store = new TLookupEdit;
    store->addButton(TLookupEdit::ButtonKind::Caption);
    e->addHeaderField(QStringLiteral("FCashName"), store, QStringLiteral("账户："));
    e->showForm();
    const auto focus = [&](QEvent::Type type) {
        QFocusEvent event(type);
        QApplication::sendEvent(store, &event);
    };
    focus(QEvent::FocusIn);
    store->setText(QStringLiteral("现金"));
    focus(QEvent::FocusOut);
    EXPECT_TRUE(e->FButtonEditChangeValue);
    EXPECT_TRUE(e->FSave);
    EXPECT_EQ(e->editState(), 5);

    focus(QEvent::FocusIn);
    EXPECT_FALSE(e->FButtonEditChangeValue) << "entering starts afresh";
    store->setText(QStringLiteral("  "));
    focus(QEvent::FocusOut);
    EXPECT_EQ(store->storedValue(), QStringLiteral("0")) << "an emptied lookup is cleared";
    EXPECT_TRUE(store->text().isEmpty());
}

TEST_F(BillEditor, HelpOpensTheVideoAndShowsThePicturesFoundInTheHelpFolder)
{
    QTemporaryDir home;
    SetProgramFolder(home.path());
    QTextBrowser opened; // takes the URL the help opens
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "setSource");
    auto e = openPurchase();
    e->action(QStringLiteral("actHelp"))->trigger();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有找到视频帮助文件"));
    QDir(home.path()).mkpath(QStringLiteral("Help"));
    QFile video(home.path() + QStringLiteral("/Help/进货单.mp4"));
    ASSERT_TRUE(video.open(QIODevice::WriteOnly));
    video.close();
    e->action(QStringLiteral("actHelp"))->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(opened.source().toLocalFile(), video.fileName());

    // The task's picture help shows a sheet for each picture that exists.
    QFile picture(home.path() + QStringLiteral("/Help/进货单表头.png"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    TFBaseForm_ImageHelp help;
    ASSERT_EQ(help.sheets()->count(), 1);
    EXPECT_EQ(help.sheets()->tabText(0), QStringLiteral("  供应商资料类帮助  "));
}

} // namespace
