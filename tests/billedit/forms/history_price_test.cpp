// The price history: the dialog on its own, and opened from a sales line's price cells, where
// a price double-clicked in it becomes the line's price.
#include "billedit/history_price_form.h"

#include "grid/grid_view.h"
#include "test_editors.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>

using namespace protask;
using namespace protask::testing;

namespace {

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

// Client 华联超市 sells at the second price; the supplier 华东五金 is of type 2. The sales
// bills of 华联超市 around the period 2026-01-01..2026-05-31: on its first and last day (late
// in the evening), one entered later for February, and the ones the history leaves out (before
// and after the period, another client, another product, no discounted price).
class HistoryPrice : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        ExecScript(QStringLiteral(
            "insert into t_comClient(FID,FName,FType,FPrePriceID) values(10,'华联超市',1,2),(11,'别家超市',1,0),"
            "(12,'华东五金',2,null);"
            "update t_comProductUnit set FPrePrice1 = 11, FPrePrice2 = 12, FPrePrice3 = 13, FPosPrice = 20 "
            "where FProductID = 1;"
            "insert into t_SaleOutForm(FID,FBillNo,FBillDate,FClientID) values(1,'CH-0101','2026-01-01 00:00:00',10),"
            "(2,'CH-0531','2026-05-31 21:45:00',10),(3,'CH-0601','2026-06-01 00:00:00',10),"
            "(4,'CH-0301','2026-03-01',11),(5,'CH-0302','2026-03-02',10),(6,'CH-0303','2026-03-03',10),"
            "(7,'CH-1231','2025-12-31 23:59:59',10),(8,'CH-0201','2026-02-01 08:00:00',10),"
            "(9,'CH-0401','2026-04-01',12);"
            "insert into t_SaleOutList(FID,FFormID,FProductID,FUnitID,FNumber,FDiscountPrice,FDiscountAmount) values"
            "(1,1,1,1,2,9.5,19),(2,2,1,1,1,10,10),(3,3,1,1,1,10.5,10.5),(4,4,1,1,1,8,8),(5,5,1,1,1,0,0),"
            "(6,6,2,1,1,7,7),(7,7,1,1,1,9,9),(8,8,1,1,3,9.8,29.4),(9,9,1,1,1,6,6),(10,5,1,1,1,null,null)"));
        ExecScript(QStringLiteral("SET timestamp = UNIX_TIMESTAMP('2026-05-15 10:00:00')"));
    }
    void TearDown() override
    {
        TFBaseForm_ProductHistoryPrice::ExecuteHook = nullptr;
        BillEditor::TearDown();
    }

    // A sale to the client with 3 螺栓 at 9 on its first line.
    std::unique_ptr<SalesOutEditor> openSale(const QString &client)
    {
        auto e = std::make_unique<SalesOutEditor>();
        e->showForm();
        e->set("FClientName", client);
        e->setLine(0, QStringLiteral("螺栓"), 3, 9);
        e->FSave = false;
        return e;
    }
    // The history opened from a cell of the first line, answered by `answer`.
    void openFrom(SalesOutEditor &e, const char *column,
                  const std::function<void(TFBaseForm_ProductHistoryPrice &)> &answer)
    {
        TFBaseForm_ProductHistoryPrice::ExecuteHook = answer;
        Q_EMIT e.grid()->table()->doubleClicked(e.FDC->index(0, e.FDC->columnIndex(QString::fromLatin1(column))));
    }
    static double cell(const SalesOutEditor &e, const char *column)
    {
        return e.FDC->cell(0, QString::fromLatin1(column)).toDouble();
    }
};

TEST_F(HistoryPrice, OpensOnTheClientsPricedLinesAndAChosenPriceRepricesTheLine)
{
    auto e = openSale(QStringLiteral("华联超市"));
    openFrom(*e, "R_FPrice", [](TFBaseForm_ProductHistoryPrice &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("历史价 - 查看"));
        EXPECT_EQ(d.clientCaptionText(), QStringLiteral("华联超市"));
        EXPECT_EQ(d.periodCombo()->currentText(), QStringLiteral("自定义"));
        EXPECT_EQ(range(d), QStringLiteral("2026-01-01..2026-05-31"));
        EXPECT_EQ(listed(d), QStringLiteral("2026-01-01 CH-0101 9.5,2026-02-01 CH-0201 9.8,2026-05-31 CH-0531 10"));
        EXPECT_FALSE(d.pricePanel()->isHidden());
        EXPECT_EQ(d.levelNameText(), QStringLiteral("售价二"));
        EXPECT_EQ(d.priceBox(PriceListBox::PrePrice1)->text(), QStringLiteral("11.00"));
        EXPECT_EQ(d.priceBox(PriceListBox::PrePrice2)->text(), QStringLiteral("12.00"));
        EXPECT_EQ(d.priceBox(PriceListBox::PrePrice3)->text(), QStringLiteral("13.00"));
        EXPECT_EQ(d.priceBox(PriceListBox::Retail)->text(), QStringLiteral("20.00"));
        EXPECT_EQ(d.priceBox(PriceListBox::Retail)->toolTip(), QStringLiteral("双击返回当前价格"));
        EXPECT_TRUE(d.priceBox(PriceListBox::Retail)->isReadOnly());
        EXPECT_DOUBLE_EQ(d.RetClientPrice.toDouble(), 12);
        EXPECT_FALSE(d.bRet);
        d.findChild<QPushButton *>(QStringLiteral("btn_Exit"))->click();
    });
    EXPECT_DOUBLE_EQ(cell(*e, "R_FPrice"), 9) << "leaving the history changes nothing";
    EXPECT_FALSE(e->FSave);

    // The client's level price is no change; any other price is.
    openFrom(*e, "R_FPrice", [](TFBaseForm_ProductHistoryPrice &d) {
        doubleClick(d.priceBox(PriceListBox::PrePrice2));
        EXPECT_TRUE(d.bRet);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    EXPECT_DOUBLE_EQ(cell(*e, "R_FPrice"), 12);
    EXPECT_DOUBLE_EQ(cell(*e, "R_FAmount"), 36);
    EXPECT_EQ(e->FDC->cell(0, QStringLiteral("R_FPriceIsChange")).toInt(), 0);
    EXPECT_TRUE(e->FSave);

    e->FSave = false;
    openFrom(*e, "R_FDiscountPrice",
             [](TFBaseForm_ProductHistoryPrice &d) { doubleClick(d.priceBox(PriceListBox::Retail)); });
    EXPECT_DOUBLE_EQ(cell(*e, "R_FPrice"), 20);
    EXPECT_DOUBLE_EQ(cell(*e, "R_FDiscountAmount"), 60);
    EXPECT_EQ(e->FDC->cell(0, QStringLiteral("R_FPriceIsChange")).toInt(), 1);
    EXPECT_TRUE(e->FSave);
}

TEST_F(HistoryPrice, AClientOfAnotherTypeSeesOnlyItsHistory)
{
    auto e = openSale(QStringLiteral("华东五金"));
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
    EXPECT_DOUBLE_EQ(cell(*e, "R_FPrice"), 9);
    EXPECT_TRUE(e->FDC->cell(0, QStringLiteral("R_FPriceIsChange")).isNull());
    EXPECT_FALSE(e->FSave);
}

TEST_F(HistoryPrice, OpensOnlyForAPricedCellOfAnEditableLineWithClientAndKnownProduct)
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
    purchase->set("FClientName", QStringLiteral("华东五金"));
    purchase->setLine(0, QStringLiteral("螺栓"), 3, 9);
    Q_EMIT purchase->grid()->table()->doubleClicked(
        purchase->FDC->index(0, purchase->FDC->columnIndex(QStringLiteral("R_FPrice"))));
    EXPECT_EQ(opened, 1) << "an editor without a history client";
}

TEST_F(HistoryPrice, PeriodChoicesWaitForTheQueryAndOtherBillTypesListNothing)
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
    d.endDate()->setDate(QDate(2026, 6, 1));
    d.findChild<QPushButton *>(QStringLiteral("btn_Query"))->click();
    EXPECT_EQ(listed(d), QStringLiteral("2026-05-31 CH-0531 10,2026-06-01 CH-0601 10.5"));

    Q_EMIT d.grid()->table()->doubleClicked(d.grid()->model()->index(0, 2));
    EXPECT_FALSE(d.bRet) << "a history row is not a choice";
    EXPECT_DOUBLE_EQ(d.RetPrice.toDouble(), 0);

    d.FBillTypeID = 3010;
    d.FormShow();
    EXPECT_EQ(d.grid()->model()->rowCountValue(), 0);
    EXPECT_EQ(d.levelNameText(), QStringLiteral("售价二")) << "the prices show all the same";
}

} // namespace
