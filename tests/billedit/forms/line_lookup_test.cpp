#include "billedit/protask_form.h"
#include "comm/comm_interface.h"
#include "grid/grid_view.h"
#include "plugin/comm_call.h"
#include "test_editors.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>

using namespace protask;
using namespace protask::testing;

namespace {

// The product selection dialog of the sibling library picks its first five rows.
int pickFive(QDialog *dialog)
{
    auto *table = dialog->findChild<QTableView *>(QStringLiteral("grd_Lookup"));
    for (int r = 0; r < 5; ++r)
        table->selectionModel()->select(table->model()->index(r, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    dialog->findChild<QAbstractButton *>(QStringLiteral("btn_OK"))->click();
    return dialog->result();
}

class LineLookup : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        ExecScript(QStringLiteral(
            "update t_comProductUnit set FlastInPrice = 4.5, FPosPrice = 9 where FProductID = 1;"
            "insert into t_comUnit(FID,FNo,FName) values(2,'02','箱');"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio,FlastInPrice) values(1,2,2,12,50);"
            "insert into t_comProducts(FID,FNo,FName,FStdUnitID,FCurStock) values(3,'A03','垫片',1,-3),(4,'A04','弹簧',1,8),"
            "(5,'A05','销钉',1,0),(6,'A06','铆钉',1,0),(7,'A07','卡簧',1,0);"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values(3,1,1,1),(4,1,1,1),(5,1,1,1),(6,1,1,1),"
            "(7,1,1,1)"));
    }
    void type(PurchaseEditor &e, int row, const char *column, const QVariant &value)
    {
        e.FDC->editCell(row, e.FDC->columnIndex(QString::fromLatin1(column)), value);
    }
};

TEST_F(LineLookup, TypedProductsFillTheLineByTheBillTypesPriceAndAUnitChangeRepricesIt)
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

TEST_F(LineLookup, FivePickedProductsFillFromTheFocusedLineAndGrowTheGrid)
{
    TCallDLL library(kCommLibraryName);
    reinterpret_cast<CommSetDialogHookFunc>(library.resolve("CommSetDialogHook"))(&pickFive);
    auto e = openPurchase();
    e->FDC->setCell(19, QStringLiteral("R_FProductName"), QStringLiteral("旧的"));
    e->grid()->focusCell(18, e->FDC->columnIndex(QStringLiteral("R_FProductName")), false);
    e->SelectProducts();
    reinterpret_cast<CommSetDialogHookFunc>(library.resolve("CommSetDialogHook"))(nullptr);
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

TEST_F(LineLookup, TheStockHintFollowsTheFocusedLine)
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

TEST_F(LineLookup, ShortStockBlocksOrAsksBeforeASaleIsSaved)
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

TEST_F(LineLookup, ChangedSalePricesAreDrawnBlueAndTheHintCanBeSwitchedOff)
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
