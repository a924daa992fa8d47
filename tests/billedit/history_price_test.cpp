// The price history's model: which bills it lists per bill type, the client's price level and
// the unit's price list, the period choices, and when a chosen price is a change. A chosen
// price put on a line is a row of the line-rule table.
#include "billedit/model/history_price.h"
#include "core/values.h"

#include "test_db.h"

#include <tuple>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

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

TEST(HistoryPeriods, ChoicesSetTheDatesTheCustomOneKeepsThem)
{
    const std::tuple<HistoryPeriod, QDate, const char *> cases[] = {
        {HistoryPeriod::Today, QDate(2026, 5, 15), "2026-05-15..2026-05-15"},
        {HistoryPeriod::ThisWeek, QDate(2026, 5, 15), "2026-05-11..2026-05-17"},
        {HistoryPeriod::ThisWeek, QDate(2026, 5, 17), "2026-05-11..2026-05-17"}, // a Sunday ends its week
        {HistoryPeriod::ThisWeek, QDate(2026, 1, 1), "2025-12-29..2026-01-04"},
        {HistoryPeriod::ThisMonth, QDate(2028, 2, 10), "2028-02-01..2028-02-29"},
        {HistoryPeriod::ThisYear, QDate(2026, 5, 15), "2026-01-01..2026-12-31"},
        {HistoryPeriod::Custom, QDate(2026, 5, 15), "2020-03-03..2020-04-04"},
    };
    for (const auto &[period, today, range] : cases) {
        QDate begin(2020, 3, 3);
        QDate end(2020, 4, 4);
        EXPECT_EQ(PeriodDates(period, today, begin, end), period != HistoryPeriod::Custom);
        EXPECT_EQ(begin.toString(Qt::ISODate) + u".."_s + end.toString(Qt::ISODate), QString::fromLatin1(range))
            << static_cast<int>(period) << ' ' << today.toString(Qt::ISODate).toStdString();
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
