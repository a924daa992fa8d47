// The line rules, one typed cell (or a chosen price) at a time, and the footer's sums; the
// price history's bills, price levels, unit prices and periods.
#include "billedit/model/history_price.h"
#include "billedit/model/line_rules.h"
#include "core/values.h"

#include "line_cells.h"
#include "test_db.h"

#include <tuple>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

const LineSettings kTaxOn{2, 2, true, 13, 0, 0};
const LineSettings kTaxOff{2, 2, false, 13, 0, 0};
const LineSettings kArea{2, 2, false, 13, 0, 1};
const LineSettings kEditorRate{2, 2, false, 13, 90, 0};

// name, settings, the cells before, the edits, the cells after (an empty value must be blank).
// Edits "FPrice=10;FTaxRate=6" are typed one after the other, each stored as its rule answers;
// "history=12.5" puts a price chosen in the price history on the line (nothing after "=": blank).
const std::tuple<const char *, LineSettings, const char *, const char *, const char *> kCases[] = {
    {"EmptyLineDropsWhatIsTyped", kTaxOn, "FPrice=10", "FNumber=5", "FNumber=;FPrice=10;FAmount="},
    {"QuantityThenPriceAtThirteenPercent", kTaxOn, "FProductName=桌;FDiscountRate=100;FTaxRate=13",
     "FNumber=3;FPrice=10",
     "FAmount=30;FDiscountPrice=10;FDiscountAmount=30;FTaxPrice=11.3;FTotalAmount=33.9;FTaxAmount=3.9"},
    {"LineTaxRateSixThenPriceAgainTakesTheCompanyRate", kTaxOn,
     "FProductName=桌;FNumber=3;FDiscountRate=100;FTaxRate=13", "FPrice=10;FTaxRate=6",
     "FTaxPrice=10.6;FTotalAmount=31.8;FTaxAmount=1.8"},
    {"PriceAfterTheLineRateChanged", kTaxOn, "FProductName=桌;FNumber=3;FDiscountRate=100;FTaxRate=6", "FPrice=10",
     "FTaxPrice=11.3;FTotalAmount=33.9;FTaxAmount=3.9"},
    {"TaxOffLeavesTheTaxCellsAlone", kTaxOff,
     "FProductName=桌;FNumber=3;FDiscountRate=100;FTaxRate=13;FTaxPrice=9;FTotalAmount=27;FTaxAmount=1",
     "FPrice=10;FAmount=;FDiscountRate=", "FTaxPrice=9;FTotalAmount=27;FTaxAmount=1;FAmount=;FPrice=;FDiscountRate=0"},
    {"TaxOffTheTaxPriceStillComputes", kTaxOff, "FProductName=桌;FNumber=2;FDiscountRate=100;FTaxRate=13",
     "FTaxPrice=11.3", "FDiscountPrice=10;FPrice=10;FDiscountAmount=20;FAmount=20;FTotalAmount=22.6;FTaxAmount=2.6"},
    {"PriceWithoutQuantityAndBlankRate", kTaxOn, "FProductName=桌", "FPrice=10",
     "FDiscountRate=100;FDiscountPrice=10;FAmount=;FDiscountAmount=;FTaxPrice=10"},
    {"PriceWithQuantityAndBlankRate", kTaxOff, "FProductName=桌;FNumber=2", "FPrice=10",
     "FDiscountRate=100;FDiscountPrice=10;FDiscountAmount=20;FAmount=20"},
    {"EditorRateIsTheDefault", kEditorRate, "FProductName=桌;FNumber=2", "FPrice=10",
     "FDiscountRate=90;FDiscountPrice=9;FDiscountAmount=18"},
    {"AmountWithoutQuantityGivesTheQuantity", kTaxOff, "FProductName=桌;FPrice=10;FDiscountRate=80", "FAmount=25",
     "FNumber=2.5;FDiscountPrice=8;FDiscountAmount=20"},
    {"AmountWithQuantityGivesThePrice", kTaxOff, "FProductName=桌;FNumber=4;FDiscountRate=50", "FAmount=30",
     "FPrice=7.5;FDiscountAmount=15;FDiscountPrice=3.75"},
    {"ClearedRateIsZero", kTaxOff, "FProductName=桌;FNumber=2;FPrice=10;FDiscountRate=100",
     "FDiscountRate=", "FDiscountRate=0;FDiscountPrice=0;FDiscountAmount=0"},
    {"DiscountPriceWithoutListPrice", kTaxOff, "FProductName=桌;FNumber=2;FPrice=0", "FDiscountPrice=8",
     "FDiscountPrice=;FDiscountRate=100;FDiscountAmount="},
    {"DiscountPriceGivesTheRate", kTaxOn, "FProductName=桌;FNumber=2;FPrice=10;FTaxRate=13", "FDiscountPrice=8",
     "FDiscountRate=80;FDiscountAmount=16;FTaxPrice=9.04;FTotalAmount=18.08;FTaxAmount=2.08"},
    {"DiscountAmountGivesRateAndPrice", kTaxOn, "FProductName=桌;FNumber=4;FAmount=40;FTaxRate=0", "FDiscountAmount=30",
     "FDiscountRate=75;FDiscountPrice=7.5;FTaxPrice=7.5;FTotalAmount=30;FTaxAmount=0"},
    {"TotalZeroClearsThePrices", kTaxOn,
     "FProductName=桌;FNumber=3;FPrice=10;FAmount=30;FDiscountRate=100;FDiscountPrice=10;FTaxPrice=11.3;FTaxAmount=3.9",
     "FTotalAmount=0", "FTotalAmount=;FPrice=;FAmount=;FDiscountRate=;FDiscountPrice=;FTaxPrice=;FTaxAmount="},
    {"TotalGivesEveryPrice", kTaxOn, "FProductName=桌;FNumber=3;FDiscountRate=100;FTaxRate=13", "FTotalAmount=33.9",
     "FTaxPrice=11.3;FDiscountPrice=10;FPrice=10;FDiscountAmount=30;FAmount=30;FTaxAmount=3.9"},
    {"TotalOnALineWithRateZeroTakesNoDiscount", kTaxOff, "FProductName=桌;FNumber=2;FDiscountRate=0", "FTotalAmount=20",
     "FDiscountRate=100;FPrice=10;FDiscountPrice=10"},
    {"WidthAndLengthDriveTheQuantity", kArea, "FProductName=板;FPrice=10;FDiscountRate=100;FWidth=2", "FLength=3",
     "FSquare=6;FNumber=6;FAmount=60;FDiscountAmount=60"},
    {"ProductionDatePlusShelfLife", kTaxOff, "FProductName=奶;FKFPeriod=30", "FKFDate=2026-01-15",
     "FPeriodDate=2026-02-14"},
    {"ShelfLifeClearedExpiresOnTheProductionDate", kTaxOff, "FProductName=奶;FKFDate=2026-01-15;FKFPeriod=30",
     "FKFPeriod=", "FPeriodDate=2026-01-15"},
    {"NoProductionDateNoExpiry", kTaxOff, "FProductName=奶;FPeriodDate=2026-03-01", "FKFPeriod=10", "FPeriodDate="},
    {"ChosenPriceWithQuantityGivesAmountsAndTax", kTaxOn, "FProductName=桌;FNumber=3;FDiscountRate=90;FTaxRate=13",
     "history=12.5",
     "FPrice=12.5;FAmount=37.5;FDiscountPrice=11.25;FDiscountAmount=33.75;FTaxPrice=12.71;FTotalAmount=38.13;"
     "FTaxAmount=4.38"},
    {"ChosenPriceOnABlankRateSellsWithoutDiscountNotAtTheEditorsRate", kEditorRate, "FProductName=桌;FNumber=2",
     "history=10", "FPrice=10;FDiscountRate=100;FDiscountPrice=10;FAmount=20;FDiscountAmount=20"},
    {"ChosenPriceKeepsTheLinesRateOverTheEditors", kEditorRate, "FProductName=桌;FNumber=2;FDiscountRate=50",
     "history=10", "FDiscountRate=50;FDiscountPrice=5;FDiscountAmount=10"},
    {"ChosenPriceWithoutQuantityOnlyThePricesFollow", kTaxOn,
     "FProductName=桌;FNumber=0;FDiscountRate=80;FTaxRate=13;FAmount=5;FDiscountAmount=4;FTotalAmount=9", "history=10",
     "FPrice=10;FAmount=;FDiscountAmount=;FDiscountPrice=8;FTaxPrice=9.04;FTotalAmount="},
    {"ChosenPriceWithoutQuantityTaxOffLeavesTheTaxPrice", kTaxOff,
     "FProductName=桌;FDiscountRate=100;FTaxPrice=7;FAmount=5", "history=10",
     "FPrice=10;FAmount=;FDiscountPrice=10;FTaxPrice=7"},
    {"ABlankChosenPriceClearsWhatItPriced", kTaxOn,
     "FProductName=桌;FNumber=2;FPrice=9;FDiscountRate=100;FAmount=18;FDiscountPrice=9;FDiscountAmount=18;"
     "FTaxPrice=10.17;FTotalAmount=20.34;FTaxAmount=2.34",
     "history=",
     "FPrice=;FAmount=;FDiscountPrice=;FDiscountAmount=;FTaxPrice=;FTotalAmount=;FTaxAmount=;FNumber=2;"
     "FDiscountRate=100"},
    {"OneDimensionIsNoArea", kArea, "FProductName=板;FPrice=10;FDiscountRate=100", "FWidth=2",
     "FSquare=0;FNumber=0;FAmount=0"}};

TEST(LineRules, RecomputeTheLineFromTheTypedCell)
{
    for (const auto &[name, settings, before, edits, after] : kCases) {
        SCOPED_TRACE(name);
        LineValues line = LineOf(QString::fromUtf8(before));
        for (const QString &cell : QString::fromUtf8(edits).split(u';', Qt::SkipEmptyParts)) {
            const QString field = cell.section(u'=', 0, 0);
            const QString value = cell.section(u'=', 1);
            if (field == u"history")
                ApplyChosenPrice(line, value.isEmpty() ? QVariant() : QVariant(value.toDouble()), settings);
            else
                line.set(field, ApplyLineRule(field, value, line, settings));
        }
        ExpectCells(line, QString::fromUtf8(after));
    }
}

TEST(LineRulesFooter, GiftLinesCountInTheQuantityOnly)
{
    const LineSums sums = SumLines({LineOf(u"FNumber=2;FAmount=100;FDiscountAmount=90;FIsPresent=1"_s),
                                    LineOf(u"FNumber=3;FAmount=30;FDiscountAmount=27"_s)});
    EXPECT_DOUBLE_EQ(sums.number, 5);
    EXPECT_DOUBLE_EQ(sums.amount, 30);
    EXPECT_DOUBLE_EQ(sums.discountAmount, 27);
}

class HistoryPrice : public DatabaseTest {};

// Client 1 is the one asked about, client 2 another; every table holds one bill of client 1
// with product 1 inside the period, and the consignment sale one more whose customer is
// client 2 although its FClientID names client 1. Types without a history run nothing.
TEST_F(HistoryPrice, ListsTheClientsBillsOfTheBillTypesTables)
{
    ExecScript(
        u"insert into t_comClient(FID,FName,FType) values(1,'华联',1),(2,'别家',1);"
        "insert into t_comUnit(FID,FNo,FName) values(1,'01','个');"
        "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values(1,'A01','螺栓',1);"
        "insert into t_PurOrderForm(FID,FBillNo,FBillDate,FClientID) values(1,'CD1','2026-03-01',1);"
        "insert into t_PurOrderList(FID,FFormID,FProductID,FUnitID,FDiscountPrice) values(1,1,1,1,5);"
        "insert into t_PurForm(FID,FBillNo,FBillDate,FClientID) values(1,'JH1','2026-03-01',1);"
        "insert into t_PurList(FID,FFormID,FProductID,FUnitID,FDiscountPrice) values(1,1,1,1,5);"
        "insert into t_SaleOrderForm(FID,FBillNo,FBillDate,FClientID) values(1,'XD1','2026-03-01',1);"
        "insert into t_SaleOrderList(FID,FFormID,FProductID,FUnitID,FDiscountPrice) values(1,1,1,1,5);"
        "insert into t_SaleOutForm(FID,FBillNo,FBillDate,FClientID) values(1,'CH1','2026-03-01',1);"
        "insert into t_SaleOutList(FID,FFormID,FProductID,FUnitID,FDiscountPrice) values(1,1,1,1,5);"
        "insert into t_SaleForForm(FID,FBillNo,FBillDate,FClientID,FCustomerID) values(1,'DS1','2026-03-01',2,1),"
        "(2,'DS2','2026-03-02',1,2);"
        "insert into t_SaleForList(FID,FFormID,FProductID,FUnitID,FDiscountPrice) values(1,1,1,1,5),(2,2,1,1,5)"_s);
    const std::pair<int, const char *> cases[] = {
        {3001, "CD1:个"}, {3002, "JH1:个"}, {3015, "JH1:个"}, {3003, "XD1:个"}, {3004, "CH1:个"},
        {3016, "CH1:个"}, {3006, "DS1:个"}, {3005, ""},       {3010, ""},       {3049, ""}};
    for (const auto &[billType, expected] : cases) {
        const QString sql = HistoryPriceSql(billType, 1, 1, QDate(2026, 1, 1), QDate(2026, 5, 31));
        QStringList bills;
        if (!sql.isEmpty()) {
            TDataSet rows(Db());
            OpenQuery(rows, sql);
            for (rows.first(); !rows.eof(); rows.next())
                bills << rows.fieldByName(u"FBillNo"_s).toString() + u':' + rows.fieldByName(u"FUnitName"_s).toString();
        }
        EXPECT_EQ(bills.join(u','), QString::fromUtf8(expected)) << billType;
        EXPECT_EQ(sql.isEmpty(), bills.isEmpty()) << billType;
    }
}

// Product 1 with its base unit (个) and a second unit (箱) priced apart; product 2 without a
// unit row. A client's level names its price of the list.
TEST_F(HistoryPrice, UnitPriceListsAndClientLevels)
{
    ExecScript(
        u"insert into t_comUnit(FID,FNo,FName) values(1,'01','个'),(2,'02','箱'),(3,'03','包');"
        "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values(1,'A01','螺栓',1),(2,'A02','螺母',1);"
        "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio,FPrePrice1,FPrePrice2,FPrePrice3,FPosPrice) "
        "values(1,1,1,1,11,12,13,20),(1,2,2,12,110,120,null,200);"
        "insert into t_comClient(FID,FName,FType,FPrePriceID) values(1,'无等级',1,null),(2,'零售',1,0),"
        "(3,'一级',1,1),(4,'二级',1,2),(5,'三级',1,3),(6,'五级',1,5),(7,'供应商',2,2)"_s);
    const auto prices = [](int product, int unit) {
        const UnitPriceList list = ReadUnitPriceList(product, unit);
        QStringList shown;
        for (PriceListBox box :
             {PriceListBox::PrePrice1, PriceListBox::PrePrice2, PriceListBox::PrePrice3, PriceListBox::Retail}) {
            const QVariant p = PriceOf(list, box);
            shown << (IsBlankValue(p) ? u"-"_s : QString::number(ValueToFloat(p)));
        }
        return shown.join(u' ');
    };
    EXPECT_EQ(prices(1, 0), u"11 12 13 20"_s) << "unit 0 is the base unit";
    EXPECT_EQ(prices(1, 1), u"11 12 13 20"_s);
    EXPECT_EQ(prices(1, 2), u"110 120 - 200"_s);
    EXPECT_EQ(prices(1, 3), u"- - - -"_s) << "a unit the product does not have";
    EXPECT_EQ(prices(2, 0), u"- - - -"_s) << "a product without unit rows";
    EXPECT_EQ(prices(9, 0), u"- - - -"_s) << "no such product";

    const UnitPriceList list = ReadUnitPriceList(1, 0);
    // client, level name, level price ("" none)
    const std::tuple<int, const char *, const char *> cases[] = {
        {1, "零售价", "20"}, {2, "零售价", "20"}, {3, "售价一", "11"}, {4, "售价二", "12"},
        {5, "售价三", "13"}, {6, "", ""},         {7, "", ""},         {99, "", ""}};
    for (const auto &[client, name, price] : cases) {
        const ClientPriceLevel level = PriceLevelOf(ReadClientPriceLevel(client));
        EXPECT_EQ(level.name, QString::fromUtf8(name)) << client;
        EXPECT_EQ(level.known ? QString::number(ValueToFloat(PriceOf(list, level.box))) : QString(),
                  QString::fromLatin1(price))
            << client;
    }
}

TEST(ChosenPriceChange, OnlyTheClientLevelsOwnPriceIsNoChange)
{
    EXPECT_FALSE(ChosenPriceDiffers(12.0, 12.0));
    EXPECT_FALSE(ChosenPriceDiffers(QVariant(12.0), QVariant(u"12.00"_s)));
    EXPECT_TRUE(ChosenPriceDiffers(20.0, 12.0));
    EXPECT_TRUE(ChosenPriceDiffers(12.0, QVariant())) << "a client without a level price";
    EXPECT_TRUE(ChosenPriceDiffers(QVariant(), QVariant())) << "a blank price is nobody's level price";
}

} // namespace
