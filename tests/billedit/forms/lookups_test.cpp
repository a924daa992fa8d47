// What the editors look up: header fields through the common lookup, the products, stock and
// price marks of the lines, and the price history, whose double-clicked price reprices the line.
#include "billedit/history_price_form.h"
#include "billedit/protask_form.h"
#include "comm/comm_interface.h"
#include "plugin/comm_call.h"
#include "test_editors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>

using namespace protask;
using namespace protask::testing;

namespace {

// The rows the sibling library's lookup dialogs are answered with; none cancels them.
QList<int> g_pickRows;
int g_dialogs = 0;

int answerDialog(QDialog *dialog)
{
    ++g_dialogs;
    if (g_pickRows.isEmpty())
        return QDialog::Rejected;
    auto *table = dialog->findChild<QTableView *>(QStringLiteral("grd_Lookup"));
    table->setCurrentIndex(table->model()->index(g_pickRows.first(), 0));
    for (const int r : g_pickRows)
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

void doubleClick(QWidget *widget)
{
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &click);
}

// "date bill price" of every row the history lists.
QString listed(const TFBaseForm_ProductHistoryPrice &d)
{
    const TGridModel *m = d.grid()->model();
    QStringList rows;
    for (int r = 0; r < m->rowCountValue(); ++r)
        rows << m->displayText(r, m->columnIndex(QStringLiteral("FBillDate"))) + u' '
                + m->cell(r, QStringLiteral("FBillNo")).toString() + u' '
                + QString::number(m->cell(r, QStringLiteral("FDiscountPrice")).toDouble());
    return rows.join(u',');
}

QString range(const TFBaseForm_ProductHistoryPrice &d)
{
    return d.beginDate()->date().toString(Qt::ISODate) + QStringLiteral("..")
        + d.endDate()->date().toString(Qt::ISODate);
}

// Two clients and a supplier; 螺栓 also sold by the box of 12, and two more products with
// stock of their own. 华联超市 buys at the second price; its sales bills around the period
// 2026-01-01..2026-05-31 (today is 2026-05-15): on its first and last day (late in the evening),
// one entered later for February, and the ones the history leaves out (before and after the
// period, another client, another product, no discounted price).
class Lookups : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        TCallDLL library(kCommLibraryName);
        reinterpret_cast<CommSetDialogHookFunc>(library.resolve("CommSetDialogHook"))(&answerDialog);
        g_pickRows.clear();
        g_dialogs = 0;
        ExecScript(QStringLiteral(
            "insert into t_comClient(FID,FNo,FName,FCode,FType,FIsActive) values"
            "(1,'C1','华东五金','HDWJ',1,1),(2,'C2','华南木业','HNMY',1,1),(3,'S1','供应商甲','GYS',2,1);"
            "update t_comProductUnit set FlastInPrice = 4.5, FPrePrice1 = 11, FPrePrice2 = 12, FPrePrice3 = 13, "
            "FPosPrice = 20 where FProductID = 1;"
            "insert into t_comUnit(FID,FNo,FName) values(2,'02','箱');"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio,FlastInPrice) values(1,2,2,12,50);"
            "insert into t_comProducts(FID,FNo,FName,FStdUnitID,FCurStock) values(3,'A03','垫片',1,-3),(4,'A04','弹簧',1,8);"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values(3,1,1,1),(4,1,1,1);"
            "insert into t_comClient(FID,FNo,FName,FType,FPrePriceID) values(10,'C3','华联超市',1,2),(11,'C4','别家超市',1,0);"
            "insert into t_SaleOutForm(FID,FBillNo,FBillDate,FClientID) values(1,'CH-0101','2026-01-01 00:00:00',10),"
            "(2,'CH-0531','2026-05-31 21:45:00',10),(3,'CH-0601','2026-06-01 00:00:00',10),"
            "(4,'CH-0301','2026-03-01',11),(5,'CH-0302','2026-03-02',10),(6,'CH-0303','2026-03-03',10),"
            "(7,'CH-1231','2025-12-31 23:59:59',10),(8,'CH-0201','2026-02-01 08:00:00',10),"
            "(9,'CH-0401','2026-04-01',3);"
            "insert into t_SaleOutList(FID,FFormID,FProductID,FUnitID,FNumber,FDiscountPrice,FDiscountAmount) values"
            "(1,1,1,1,2,9.5,19),(2,2,1,1,1,10,10),(3,3,1,1,1,10.5,10.5),(4,4,1,1,1,8,8),(5,5,1,1,1,0,0),"
            "(6,6,2,1,1,7,7),(7,7,1,1,1,9,9),(8,8,1,1,3,9.8,29.4),(9,9,1,1,1,6,6),(10,5,1,1,1,null,null);"
            "SET timestamp = UNIX_TIMESTAMP('2026-05-15 10:00:00')"));
    }
    void TearDown() override
    {
        TFBaseForm_ProductHistoryPrice::ExecuteHook = nullptr;
        BillEditor::TearDown();
    }
    static void type(PurchaseEditor &e, int row, const char *column, const QVariant &value)
    {
        e.FDC->editCell(row, e.FDC->columnIndex(QString::fromLatin1(column)), value);
    }
    // A sale to the client with 3 螺栓 at 9 on its first line.
    std::unique_ptr<PurchaseEditor> openSale(const QString &client)
    {
        auto e = std::make_unique<PurchaseEditor>();
        e->FBillTypeID = 3004;
        e->showForm();
        e->set("FClientName", client);
        e->setLine(0, QStringLiteral("螺栓"), 3, 9);
        e->FSave = false;
        return e;
    }
    // The history opened from a cell of the first line, answered by `answer`.
    void openFrom(PurchaseEditor &e, const char *column,
                  const std::function<void(TFBaseForm_ProductHistoryPrice &)> &answer)
    {
        TFBaseForm_ProductHistoryPrice::ExecuteHook = answer;
        Q_EMIT e.grid()->table()->doubleClicked(e.FDC->index(0, e.FDC->columnIndex(QString::fromLatin1(column))));
    }
};

TEST_F(Lookups, HeaderFieldsOpenTheCommonLookupOnF7OrEnterUnlessTheRightIsRefused)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    auto *client = static_cast<QComboBox *>(task.headerControl(QStringLiteral("FClientName")));
    EXPECT_EQ(client->count(), 4) << "the list holds the clients, not the supplier";

    press(client, Qt::Key_F7);
    EXPECT_EQ(g_dialogs, 1);
    EXPECT_TRUE(client->currentText().isEmpty()) << "a cancelled lookup changes nothing";
    EXPECT_FALSE(task.FSave);

    g_pickRows = {1};
    press(client->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(g_dialogs, 2) << "a second lookup in one run";
    EXPECT_EQ(client->currentText(), QStringLiteral("华南木业"));
    EXPECT_TRUE(task.FSave);

    press(client->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(g_dialogs, 2) << "Enter on a filled field moves on";

    // The purchase's supplier label shows the supplier's record, or says there is none.
    g_pickRows.clear();
    auto e = openPurchase();
    e->set("FClientName", QStringLiteral("华东五金"));
    e->OpenClientRecord();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("供应商不存在！")) << "a client is no supplier";
    e->set("FClientName", QStringLiteral("供应商甲"));
    e->OpenClientRecord();
    EXPECT_EQ(g_dialogs, 3) << "the record of the supplier is shown";

    // A user without the right to the client records opens no lookup.
    ExecScript(QStringLiteral("insert into t_comUser(FID,FName,FRightType) values(1,'张三',1)"));
    nvDMBase::instance().switches.checkWorkflow = true;
    nvDMBase::instance().switches.rightsSwitch = 1;
    TFBaseForm_BillBase_BillNo_Protask restricted(nullptr, 0);
    restricted.showForm();
    press(restricted.headerControl(QStringLiteral("FClientName")), Qt::Key_F7);
    EXPECT_EQ(g_dialogs, 3);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("您未被授权"));
}

// The lines' cells reach the product lookups with the editor's bill type; the lookups themselves
// are tested on their own.
TEST_F(Lookups, TypedProductsFillTheLineByTheBillTypeAndTheStockHintFollowsTheFocus)
{
    auto e = openPurchase();
    type(*e, 0, "R_FProductNo", QStringLiteral("[A01]螺栓"));
    EXPECT_EQ(RowCells(e->FDC, 0, "FProductName,FUnitName,FPrice"),
              QStringLiteral("FProductName=螺栓;FUnitName=个;FPrice=4.5"))
        << "a purchase takes the last price";
    EXPECT_TRUE(e->FSave);
    type(*e, 0, "R_FNumber", 4);
    type(*e, 0, "R_FUnitName", QStringLiteral("箱"));
    EXPECT_EQ(RowCells(e->FDC, 0, "FPrice,FAmount"), QStringLiteral("FPrice=50;FAmount=200"));
    type(*e, 0, "R_FProductName", QString());
    EXPECT_EQ(RowCells(e->FDC, 0, "FUnitName,FPrice"), QStringLiteral("FUnitName=;FPrice=")) << "cleared by name";

    // The stock hint follows the focused line.
    e->FDC->setCell(1, QStringLiteral("R_FProductName"), QStringLiteral("垫片"));
    e->FDC->setCell(2, QStringLiteral("R_FProductName"), QStringLiteral("弹簧"));
    const auto hint = [&](int row) {
        e->grid()->focusCell(row, 4, false);
        auto *label = e->findChild<QLabel *>(QStringLiteral("lbl_StockBalance"));
        return label->text()
            + (label->styleSheet().contains(QStringLiteral("red")) ? QStringLiteral(" red") : QString());
    };
    EXPECT_EQ(hint(1), QStringLiteral("总库存数: -3 red"));
    EXPECT_EQ(hint(2), QStringLiteral("总库存数: 8"));

    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    task.FDC->editCell(0, task.FDC->columnIndex(QStringLiteral("R_FProductName")), QStringLiteral("螺栓"));
    EXPECT_EQ(RowCells(task.FDC, 0, "FProductNo,FPrice"), QStringLiteral("FProductNo=A01;FPrice="))
        << "a task sets no price";
}

TEST_F(Lookups, PickedProductsFillFromTheFocusedLineAndGrowTheGrid)
{
    g_pickRows = {0, 1, 2};
    auto e = openPurchase();
    e->FDC->setCell(19, QStringLiteral("R_FProductName"), QStringLiteral("旧的"));
    e->grid()->focusCell(18, e->FDC->columnIndex(QStringLiteral("R_FProductName")), false);
    e->SelectProducts();
    EXPECT_EQ(e->FDC->rowCountValue(), 21);
    EXPECT_EQ(RowCells(e->FDC, 18, "FProductName") + RowCells(e->FDC, 19, "FProductName"),
              QStringLiteral("FProductName=螺栓FProductName=螺母"));
    EXPECT_EQ(RowCells(e->FDC, 20, "FSID,FProductName"), QStringLiteral("FSID=21;FProductName=垫片"));
    EXPECT_TRUE(e->FSave);
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
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_saleoutform where FBillNo like 'JH%'")).toInt(), 0);
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

TEST_F(Lookups, HistoryOpensOnTheClientsPricedLinesAndAChosenPriceRepricesTheLine)
{
    auto e = openSale(QStringLiteral("华联超市"));
    openFrom(*e, "R_FPrice", [](TFBaseForm_ProductHistoryPrice &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("历史价 - 查看"));
        EXPECT_EQ(d.clientCaptionText(), QStringLiteral("华联超市"));
        EXPECT_EQ(range(d), QStringLiteral("2026-01-01..2026-05-31"));
        EXPECT_EQ(listed(d), QStringLiteral("2026-01-01 CH-0101 9.5,2026-02-01 CH-0201 9.8,2026-05-31 CH-0531 10"));
        EXPECT_FALSE(d.pricePanel()->isHidden());
        EXPECT_EQ(d.levelNameText(), QStringLiteral("售价二"));
        EXPECT_EQ(d.priceBox(PriceListBox::PrePrice2)->text(), QStringLiteral("12.00"));
        EXPECT_DOUBLE_EQ(d.RetClientPrice.toDouble(), 12);
        d.findChild<QPushButton *>(QStringLiteral("btn_Exit"))->click();
    });
    EXPECT_EQ(RowCells(e->FDC, 0, "FPrice"), QStringLiteral("FPrice=9")) << "leaving the history changes nothing";
    EXPECT_FALSE(e->FSave);

    // The client's level price is no change; any other price is.
    openFrom(*e, "R_FPrice", [](TFBaseForm_ProductHistoryPrice &d) {
        doubleClick(d.priceBox(PriceListBox::PrePrice2));
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    EXPECT_EQ(RowCells(e->FDC, 0, "FPrice,FAmount,FPriceIsChange"),
              QStringLiteral("FPrice=12;FAmount=36;FPriceIsChange=0"));
    EXPECT_TRUE(e->FSave);

    e->FSave = false;
    openFrom(*e, "R_FDiscountPrice",
             [](TFBaseForm_ProductHistoryPrice &d) { doubleClick(d.priceBox(PriceListBox::Retail)); });
    EXPECT_EQ(RowCells(e->FDC, 0, "FPrice,FDiscountAmount,FPriceIsChange"),
              QStringLiteral("FPrice=20;FDiscountAmount=60;FPriceIsChange=1"));
    EXPECT_TRUE(e->FSave);

    // A client of another type sees only its history, and no prices to choose.
    e->set("FClientName", QStringLiteral("供应商甲"));
    e->FSave = false;
    int opened = 0;
    openFrom(*e, "R_FPrice", [&](TFBaseForm_ProductHistoryPrice &d) {
        ++opened;
        EXPECT_TRUE(d.pricePanel()->isHidden());
        EXPECT_EQ(listed(d), QStringLiteral("2026-04-01 CH-0401 6"));
        EXPECT_FALSE(d.RetClientPrice.isValid());
        doubleClick(d.priceBox(PriceListBox::Retail));
        EXPECT_FALSE(d.bRet) << "hidden prices cannot be chosen";
        d.exitDialog();
    });
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(RowCells(e->FDC, 0, "FPrice"), QStringLiteral("FPrice=20"));
    EXPECT_FALSE(e->FSave);
}

TEST_F(Lookups, HistoryOpensOnlyForAPricedCellOfAnEditableLineWithClientAndKnownProduct)
{
    int opened = 0;
    const auto count = [&opened](TFBaseForm_ProductHistoryPrice &d) {
        ++opened;
        d.exitDialog();
    };
    auto e = openSale(QStringLiteral("华联超市"));
    openFrom(*e, "R_FAmount", count);
    e->FDC->setCell(1, QStringLiteral("R_FProductName"), QStringLiteral("不存在的件"));
    TFBaseForm_ProductHistoryPrice::ExecuteHook = count;
    e->HistoryPrice(1);
    e->HistoryPrice(2); // no product
    e->set("FClientName", QStringLiteral("无名客户"));
    openFrom(*e, "R_FPrice", count);
    e->set("FClientName", QString());
    openFrom(*e, "R_FPrice", count);
    e->set("FClientName", QStringLiteral("华联超市"));
    e->FBillStatusID = 3;
    openFrom(*e, "R_FPrice", count);
    EXPECT_EQ(opened, 0);

    e->FBillStatusID = 2;
    openFrom(*e, "R_FPrice", count);
    EXPECT_EQ(opened, 1) << "the same line once the bill is editable";

    auto purchase = openPurchase();
    purchase->set("FClientName", QStringLiteral("供应商甲"));
    purchase->setLine(0, QStringLiteral("螺栓"), 3, 9);
    Q_EMIT purchase->grid()->table()->doubleClicked(
        purchase->FDC->index(0, purchase->FDC->columnIndex(QStringLiteral("R_FPrice"))));
    EXPECT_EQ(opened, 1) << "an editor without a history client";
}

TEST_F(Lookups, HistoryPeriodChoicesWaitForTheQueryAndOtherBillTypesListNothing)
{
    TFBaseForm_ProductHistoryPrice d;
    d.FBillTypeID = 3004;
    d.FClientID = 10;
    d.FClientType = 1;
    d.FProductID = 1;
    d.FClientName = QStringLiteral("华联超市");
    d.FormShow();
    d.periodCombo()->setCurrentText(QStringLiteral("本月"));
    EXPECT_EQ(range(d), QStringLiteral("2026-05-01..2026-05-31"));
    EXPECT_EQ(d.grid()->model()->rowCountValue(), 3) << "not queried yet";
    d.findChild<QPushButton *>(QStringLiteral("btn_Query"))->click();
    EXPECT_EQ(listed(d), QStringLiteral("2026-05-31 CH-0531 10"));

    Q_EMIT d.grid()->table()->doubleClicked(d.grid()->model()->index(0, 2));
    EXPECT_FALSE(d.bRet) << "a history row is not a choice";

    d.FBillTypeID = 3010;
    d.FormShow();
    EXPECT_EQ(d.grid()->model()->rowCountValue(), 0);
    EXPECT_EQ(d.levelNameText(), QStringLiteral("售价二")) << "the prices show all the same";
}

} // namespace
