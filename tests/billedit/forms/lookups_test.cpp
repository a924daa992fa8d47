// What the editors look up: header fields through the sibling library's common lookup, and
// the products, prices, stock and price marks of the lines.
#include "billedit/protask_form.h"
#include "comm/comm_interface.h"
#include "grid/grid_view.h"
#include "plugin/comm_call.h"
#include "test_editors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>

using namespace protask;
using namespace protask::testing;

namespace {

// The row the sibling library's lookup dialog is answered with; -1 cancels it.
int g_pickRow = -1;
int g_dialogs = 0;

int answerDialog(QDialog *dialog)
{
    ++g_dialogs;
    if (g_pickRow < 0)
        return QDialog::Rejected;
    dialog->findChild<QTableView *>(QStringLiteral("grd_Lookup"))->selectRow(g_pickRow);
    dialog->findChild<QAbstractButton *>(QStringLiteral("btn_OK"))->click();
    return dialog->result();
}

// The product selection dialog picks its first five rows.
int pickFive(QDialog *dialog)
{
    auto *table = dialog->findChild<QTableView *>(QStringLiteral("grd_Lookup"));
    for (int r = 0; r < 5; ++r)
        table->selectionModel()->select(table->model()->index(r, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    dialog->findChild<QAbstractButton *>(QStringLiteral("btn_OK"))->click();
    return dialog->result();
}

void press(QWidget *w, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Two clients and a supplier; 螺栓 also sold by the box of 12, and five more products with
// stock of their own.
class Lookups : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        setDialogHook(&answerDialog);
        g_pickRow = -1;
        g_dialogs = 0;
        ExecScript(QStringLiteral(
            "insert into t_comClient(FID,FNo,FName,FCode,FType,FIsActive) values"
            "(1,'C1','华东五金','HDWJ',1,1),(2,'C2','华南木业','HNMY',1,1),(3,'S1','供应商甲','GYS',2,1);"
            "update t_comProductUnit set FlastInPrice = 4.5, FPosPrice = 9 where FProductID = 1;"
            "insert into t_comUnit(FID,FNo,FName) values(2,'02','箱');"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio,FlastInPrice) values(1,2,2,12,50);"
            "insert into t_comProducts(FID,FNo,FName,FStdUnitID,FCurStock) values(3,'A03','垫片',1,-3),(4,'A04','弹簧',1,8),"
            "(5,'A05','销钉',1,0),(6,'A06','铆钉',1,0),(7,'A07','卡簧',1,0);"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values(3,1,1,1),(4,1,1,1),(5,1,1,1),(6,1,1,1),"
            "(7,1,1,1)"));
    }
    static void setDialogHook(int (*hook)(QDialog *))
    {
        TCallDLL library(kCommLibraryName);
        reinterpret_cast<CommSetDialogHookFunc>(library.resolve("CommSetDialogHook"))(hook);
    }
    static void type(PurchaseEditor &e, int row, const char *column, const QVariant &value)
    {
        e.FDC->editCell(row, e.FDC->columnIndex(QString::fromLatin1(column)), value);
    }
};

TEST_F(Lookups, F7AndEnterOnAnEmptyFieldOpenTheCommonLookupAndItsChoiceFillsTheField)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    auto *client = static_cast<QComboBox *>(task.headerControl(QStringLiteral("FClientName")));
    EXPECT_EQ(client->count(), 2) << "the list holds the active clients";

    press(client, Qt::Key_F7);
    EXPECT_EQ(g_dialogs, 1);
    EXPECT_TRUE(client->currentText().isEmpty()) << "a cancelled lookup changes nothing";
    EXPECT_FALSE(task.FSave);

    g_pickRow = 1;
    press(client->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(g_dialogs, 2) << "a second lookup in one run";
    EXPECT_EQ(client->currentText(), QStringLiteral("华南木业"));
    EXPECT_TRUE(task.FSave);

    press(client->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(g_dialogs, 2) << "Enter on a filled field moves on";
}

TEST_F(Lookups, ARefusedRightOpensNoLookup)
{
    ExecScript(QStringLiteral("insert into t_comUser(FID,FName,FRightType) values(1,'张三',1)"));
    nvDMBase::instance().switches.checkWorkflow = true;
    nvDMBase::instance().switches.rightsSwitch = 1;
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    g_pickRow = 0;
    press(task.headerControl(QStringLiteral("FClientName")), Qt::Key_F7);
    EXPECT_EQ(g_dialogs, 0);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("您未被授权"));
}

TEST_F(Lookups, TheSupplierLabelShowsTheSupplierOrSaysThereIsNone)
{
    auto e = openPurchase();
    e->set("FClientName", QStringLiteral("华东五金"));
    e->OpenClientRecord();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("供应商不存在！")) << "a client is no supplier";
    EXPECT_EQ(g_dialogs, 0);
    e->set("FClientName", QStringLiteral("供应商甲"));
    e->OpenClientRecord();
    EXPECT_EQ(g_dialogs, 1) << "the record of the supplier is shown";
}

TEST_F(Lookups, TypedProductsFillTheLineByTheBillTypesPriceAndAUnitChangeRepricesIt)
{
    auto e = openPurchase();
    type(*e, 0, "R_FProductNo", QStringLiteral("[A01]螺栓"));
    EXPECT_EQ(e->FDC->cell(0, QStringLiteral("R_FProductName")).toString(), QStringLiteral("螺栓"));
    EXPECT_EQ(e->FDC->cell(0, QStringLiteral("R_FUnitName")).toString(), QStringLiteral("个"));
    EXPECT_DOUBLE_EQ(e->FDC->cell(0, QStringLiteral("R_FPrice")).toDouble(), 4.5) << "a purchase takes the last price";
    EXPECT_TRUE(e->FSave);
    type(*e, 0, "R_FNumber", 4);
    type(*e, 0, "R_FUnitName", QStringLiteral("箱"));
    EXPECT_DOUBLE_EQ(e->FDC->cell(0, QStringLiteral("R_FPrice")).toDouble(), 50);
    EXPECT_DOUBLE_EQ(e->FDC->cell(0, QStringLiteral("R_FAmount")).toDouble(), 200);
    EXPECT_DOUBLE_EQ(e->FDC->cell(0, QStringLiteral("R_FNumber")).toDouble(), 4) << "the quantity is not converted";

    type(*e, 1, "R_FProductName", QStringLiteral("不存在的件"));
    EXPECT_EQ(e->FDC->cell(1, QStringLiteral("R_FProductName")).toString(), QStringLiteral("不存在的件"));
    EXPECT_TRUE(e->FDC->cell(1, QStringLiteral("R_FProductID")).isNull());
    type(*e, 0, "R_FProductName", QString());
    EXPECT_TRUE(e->FDC->cell(0, QStringLiteral("R_FPrice")).isNull()) << "clearing the name empties the line";
    EXPECT_TRUE(e->FDC->cell(0, QStringLiteral("R_FUnitName")).toString().isEmpty());

    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    task.FDC->editCell(0, task.FDC->columnIndex(QStringLiteral("R_FProductName")), QStringLiteral("螺栓"));
    EXPECT_EQ(task.FDC->cell(0, QStringLiteral("R_FProductNo")).toString(), QStringLiteral("A01"));
    EXPECT_TRUE(task.FDC->cell(0, QStringLiteral("R_FPrice")).isNull()) << "a task sets no price";
}

TEST_F(Lookups, FivePickedProductsFillFromTheFocusedLineAndGrowTheGrid)
{
    setDialogHook(&pickFive);
    auto e = openPurchase();
    e->FDC->setCell(19, QStringLiteral("R_FProductName"), QStringLiteral("旧的"));
    e->grid()->focusCell(18, e->FDC->columnIndex(QStringLiteral("R_FProductName")), false);
    e->SelectProducts();
    EXPECT_EQ(e->FDC->rowCountValue(), 23);
    QStringList names;
    for (int r = 18; r < 23; ++r)
        names << e->FDC->cell(r, QStringLiteral("R_FProductName")).toString();
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("螺栓"), QStringLiteral("螺母"), QStringLiteral("垫片"),
                           QStringLiteral("弹簧"), QStringLiteral("销钉")}));
    EXPECT_EQ(e->FDC->cell(22, QStringLiteral("R_FSID")).toInt(), 23);
    EXPECT_TRUE(e->FSave);
}

TEST_F(Lookups, TheStockHintFollowsTheFocusedLine)
{
    auto e = openPurchase();
    e->FDC->setCell(0, QStringLiteral("R_FProductName"), QStringLiteral("垫片"));
    e->FDC->setCell(1, QStringLiteral("R_FProductName"), QStringLiteral("弹簧"));
    e->FDC->setCell(2, QStringLiteral("R_FProductName"), QStringLiteral("手写的件"));
    const auto hint = [&](int row) {
        e->grid()->focusCell(row, 4, false);
        auto *label = e->findChild<QLabel *>(QStringLiteral("lbl_StockBalance"));
        return label->text()
            + (label->styleSheet().contains(QStringLiteral("red")) ? QStringLiteral(" red") : QString());
    };
    EXPECT_EQ(hint(0), QStringLiteral("总库存数: -3 red"));
    EXPECT_EQ(hint(1), QStringLiteral("总库存数: 8"));
    EXPECT_EQ(hint(2), QStringLiteral("无库存"));
    EXPECT_EQ(hint(3), QString());
}

TEST_F(Lookups, ShortStockBlocksASaleBeforeItIsSaved)
{
    nvDMBase::instance().switches.forbidNegativeStock = true;
    auto e = filledPurchase();
    e->FBillTypeID = 3004; // a sales-out blocks on a shortage; nothing is in stock
    e->FFormTableName = QStringLiteral("t_saleoutform");
    e->FListTableName = QStringLiteral("t_saleoutList");
    e->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("第[1]行的商品库存不足"));
    EXPECT_FALSE(e->FSaveIsFinish);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_saleoutform")).toInt(), 0);
}

TEST_F(Lookups, ChangedSalePricesAreDrawnBlueAndTheHintCanBeSwitchedOff)
{
    ExecScript(QStringLiteral("insert into t_comparameters(FName,FBoolValue) values('FSalePriceVariationHint',0)"));
    auto e = openPurchase();
    e->FBillTypeID = 3004;
    e->FDC->setCell(0, QStringLiteral("R_FPriceIsChange"), 1);
    e->FDC->setCell(1, QStringLiteral("R_FPriceIsChange"), 0);
    const auto colour = [&](int row) { return e->FDC->index(row, 4).data(Qt::ForegroundRole); };
    EXPECT_EQ(colour(0), QVariant(QColor(Qt::blue)));
    EXPECT_FALSE(colour(1).isValid());
    QCoreApplication::processEvents();
    auto *hint = e->findChild<QFrame *>(QStringLiteral("pnl_FSalePriceVariationHint"));
    EXPECT_TRUE(hint->isVisibleTo(e.get())) << "the first blue line brings up the hint";
    e->SwitchOffPriceHint();
    EXPECT_FALSE(hint->isVisibleTo(e.get()));
    EXPECT_EQ(scalar(QStringLiteral("select FBoolValue from t_comparameters where FName = 'FSalePriceVariationHint'"))
                  .toInt(),
              1);
    nvDMBase::instance().switches.bluePriceMarkingOff = true;
    EXPECT_FALSE(colour(0).isValid());
}

} // namespace
