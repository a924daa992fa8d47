// A line filled from the catalogue and the stock: products looked up, repriced and picked;
// batches, the stock hint and the stock test before a bill takes stock out.
#include "billedit/model/line_stock.h"
#include "billedit/model/product_lookup.h"

#include "core/local_dataset.h"
#include "core/sql_helpers.h"
#include "line_cells.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QFile>

#include <tuple>

using namespace protask;
using protask::testing::ExecScript;
using protask::testing::ExpectCells;
using protask::testing::LineOf;
using namespace Qt::StringLiterals;

namespace {

// Two names full of quoting traps, one character apart.
const char kOddName[] = "O'Neil\\五金 100%_😀";
const char kNearName[] = "O'Neil\\五金 100%x😀";

// Units 个 盒 瓶; Bolt in 个 and 盒 (12), two products named Nut, Milk kept in batches with a
// shelf life of 30 days, two names full of quoting traps, and products only the stock hint
// reads; two clients at price level 2, 张三 with an agreed price for Bolt. Two storehouses:
// Bolt with 10 in 主仓 and 100 in 分仓, Milk with 5 in 主仓; Milk's batches for the list,
// Bolt's batches to put on lines (one without production date, one with zero dates).
void SeedCatalogue()
{
    ExecScript(
        u"insert into t_comUnit(FID, FNo, FName) values (1, '01', '个'), (2, '02', '盒'), (3, '03', '瓶');"
        "insert into t_comProducts(FID, FNo, FName, FCurStock, FIsBatchNo, FEffectiveDate, FIsActive, "
        "FProductDefined1, FProductDefined2) values (1, 'A01', 'Bolt', -3, 0, null, 1, 'M8', 'zinc'),"
        " (2, 'N1', 'Nut', 0, 0, null, 1, null, null), (3, 'N2', 'Nut', 0, 0, null, 1, null, null),"
        " (4, 'M1', 'Milk', 12.5, 1, 30, 1, null, null), (8, 'B1', 'Big', 1000000, 0, null, 1, null, null),"
        " (9, 'Z1', 'NoStock', null, 0, null, 1, null, null), (10, 'X1', 'Old', 5, 0, null, 0, null, null);"
        "insert into t_comProductUnit(FProductID, FSID, FUnitID, FRatio, FPosPrice, FPrePrice1, FPrePrice2, "
        "FPrePrice3, FAtaSalePosPrice, FLastInPrice, FLastOutPrice) values"
        " (1, 1, 1, 1, 3.333, 3, 7, 8, 0, 2.4, 4), (1, 2, 2, 12, 45, 40, 44, 43, 0, 40.1234, 46),"
        " (2, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1), (3, 1, 1, 1, 2, 0, 0, 0, 0, 2, 2),"
        " (4, 1, 3, 1, 10, 0, 0, 0, 0, 8.125, 9), (5, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1),"
        " (6, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1);"
        "insert into t_comClient(FID, FName, FPrePriceID) values (1, '张三', 2), (2, '李四', 2);"
        "insert into t_comProductsPrice(FClientID, FProductID, FUnitID, FPrice) values (1, 1, 1, 6.5);"
        "insert into t_comStorehouse(FID, FName) values (1, '主仓'), (2, '分仓');"
        "insert into t_Balance(FStorehouseID, FProductID, FNumber) values (1, 1, 10), (2, 1, 100), (1, 4, 5);"
        "insert into t_comProductBatchNo(FID, FStorehouseID, FProductID, FBatchNo1, FNumber, FKFDate, FKFPeriod, "
        "FPeriodDate) values (1, 1, 4, 'B-c', 5, '2024-02-01', 30, '2024-03-02'),"
        " (2, 1, 4, 'B-a', -2, '2024-02-01', 30, '2024-03-02'), (3, 1, 4, 'B-z', 0, '2024-01-01', 30, '2024-01-31'),"
        " (4, 2, 4, 'B-b', 3, '2023-12-01', 30, '2023-12-31'),"
        " (5, 1, 1, 'B-7', 7, '2024-03-01', 30, '2024-03-31'), (6, 1, 1, 'B-n', 1, null, 30, null),"
        " (7, 1, 1, 'B-0', 1, '0000-00-00', 15, '0000-00-00')"_s);
    ExecScript(u"insert into t_comProducts(FID, FNo, FName) values (5, 'Q1', "_s
               + QuotedStr(QString::fromUtf8(kOddName)) + u"), (6, 'Q2', "_s + QuotedStr(QString::fromUtf8(kNearName))
               + u")"_s);
}

const LineSettings kTaxOff{2, 2, false, 13, 0, 0};
const LineSettings kTaxOn{2, 2, true, 13, 0, 0};
const LineSettings kRate90{2, 2, false, 13, 90, 0};
const LineSettings kRate90TaxOn{2, 2, true, 13, 90, 0};

HostSwitches Switches(bool forbid, bool ask) { return {.forbidNegativeStock = forbid, .askOnNegativeStock = ask}; }

class CatalogueTest : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        SeedCatalogue();
    }
};

// A typed number or name fills the line by the bill type and the header's client, or empties
// it; names match exactly whatever characters they hold.
TEST_F(CatalogueTest, ATypedNumberOrNameFillsOrEmptiesTheLine)
{
    using M = ProductLookupMode;
    using O = LookupOutcome;
    const char *bolt = "FProductID=1;FProductNo=A0;FProductName=Bolt;FUnitName=个;FPrice=2";
    const char *boltFilled = "FProductID=1;FProductNo=A01;FProductName=Bolt;FUnitName=个;FProductDefined1=M8;"
                             "FProductDefined2=zinc;FProductDefined3=;FNote=";
    const char *boltNotFound = "FProductID=;FProductNo='';FUnitName=;FPrice=;FProductName=Bolt";
    // name, mode, typed, bill type, client, settings, the cells before, outcome, the cells after
    const std::tuple<const char *, M, const char *, int, const char *, LineSettings, const char *, O, const char *>
        cases[] = {
            {"the bracketed number", M::ByNumber, "[A01]Bolt", 3002, "", kTaxOff, "", O::Filled, boltFilled},
            {"the number alone", M::ByNumber, "A01", 3002, "", kTaxOff, "", O::Filled, boltFilled},
            {"a name in the number cell", M::ByNumber, "Bolt", 3002, "", kTaxOff, bolt, O::NotFound, boltNotFound},
            {"a bracketed number cut short", M::ByNumber, "[A01]Bol", 3002, "", kTaxOff, bolt, O::NotFound,
             boltNotFound},
            {"a number cut short", M::ByNumber, "A0", 3002, "", kTaxOff, bolt, O::NotFound, boltNotFound},
            {"a name not found keeps what was typed", M::ByName, "Milky", 3002, "", kRate90,
             "FProductID=4;FUnitName=瓶;FNumber=3;FPrice=8;FAmount=24;FNote=x;FKFDate=2024-01-01;FIsBatchNo=1",
             O::NotFound,
             "FProductID=;FProductName=Milky;FUnitName=;FNumber=;FPrice=;FAmount=;FDiscountRate=90;FNote=;FKFDate=;"
             "FIsBatchNo=0"},
            {"a blank name empties the whole line", M::ByName, "  ", 3002, "", kTaxOn,
             "FProductID=4;FProductNo=M1;FProductName=Milk;FUnitName=瓶;FNumber=3;FPrice=8;FAmount=24;FDiscountRate=100;"
             "FDiscountPrice=8;FDiscountAmount=24;FTaxPrice=9.04;FTotalAmount=27.12;FTaxAmount=3.12;FTaxRate=13;"
             "FKFDate=2024-03-01;FKFPeriod=30;FPeriodDate=2024-03-31;FIsBatchNo=1;FIsKF=1;FNote=保质期[30]天",
             O::Cleared,
             "FProductID=;FProductNo=;FNumber=;FPrice=;FAmount=;FDiscountRate=;FDiscountPrice=;FDiscountAmount=;"
             "FTaxPrice=;FTotalAmount=;FTaxAmount=;FTaxRate=;FKFDate=;FKFPeriod=;FPeriodDate=;FIsBatchNo=0;FIsKF=0;"
             "FProductName='';FUnitName='';FNote=''"},
            {"a batch product in a purchase takes today and the shelf life", M::ByName, "Milk", 3002, "", kTaxOff,
             "FNumber=3", O::Filled,
             "FProductID=4;FUnitName=瓶;FKFDate=2024-03-01;FKFPeriod=30;FPeriodDate=2024-03-31;FNote=保质期[30]天;"
             "FIsBatchNo=1;FIsKF=1;FDiscountRate=100;FTaxRate=13;FPrice=8.125;FDiscountPrice=8.125;FAmount=24.375;"
             "FDiscountAmount=24.375"},
            {"a batch product in a sales order takes no dates", M::ByName, "Milk", 3003, "", kTaxOff, "FNumber=3",
             O::Filled,
             "FKFDate=;FKFPeriod=;FPeriodDate=;FIsBatchNo=;FNote=保质期[30]天;FPrice=10;FPriceIsChange=0;FAmount=30"},
            {"the task takes identity, unit, note and rates but no price", M::ByName, "Milk", 3049, "", kRate90TaxOn,
             "FNumber=3", O::Filled,
             "FProductID=4;FProductNo=M1;FProductName=Milk;FUnitName=瓶;FNote=保质期[30]天;FKFDate=2024-03-01;"
             "FDiscountRate=90;FTaxRate=13;FPrice=;FDiscountPrice=;FAmount=;FTaxPrice="},
            {"a purchase without quantity leaves the amounts blank", M::ByName, "Bolt", 3002, "", kTaxOn, "", O::Filled,
             "FUnitName=个;FPrice=2.4;FDiscountPrice=2.4;FAmount=;FDiscountAmount=;FTaxPrice=2.71;FTotalAmount=;"
             "FTaxAmount="},
            {"sale amounts are rounded", M::ByName, "Bolt", 3004, "", kTaxOff, "FNumber=3", O::Filled,
             "FPrice=3.333;FDiscountPrice=3.333;FAmount=10;FDiscountAmount=10"},
            {"the client's agreed price with the editor's rate and tax", M::ByName, "Bolt", 3004, "张三", kRate90TaxOn,
             "FNumber=4", O::Filled,
             "FPrice=6.5;FDiscountRate=90;FDiscountPrice=5.85;FAmount=26;FDiscountAmount=23.4;FTaxPrice=6.61;"
             "FTotalAmount=26.44;FTaxAmount=3.04"},
            {"a client without agreed price takes its level", M::ByName, "Bolt", 3016, "李四", kTaxOff, "FNumber=1",
             O::Filled, "FPrice=7;FAmount=7"},
            {"quotes, backslash, % and _ as typed", M::ByName, kOddName, 3002, "", kTaxOff, "", O::Filled,
             "FProductID=5"},
            {"one character apart", M::ByName, kNearName, 3002, "", kTaxOff, "", O::Filled, "FProductID=6"},
            {"the odd name's number", M::ByNumber, "[Q1]O'Neil\\五金 100%_😀", 3002, "", kTaxOff, "", O::Filled,
             "FProductID=5"},
            {"without the backslash", M::ByName, "O'Neil五金 100%_😀", 3002, "", kTaxOff, "", O::NotFound,
             "FProductID="},
            {"another last character", M::ByName, "O'Neil\\五金 100%_😁", 3002, "", kTaxOff, "", O::NotFound,
             "FProductID="},
            {"a beginning only", M::ByName, "O'Neil\\五金 100%", 3002, "", kTaxOff, "", O::NotFound, "FProductID="},
            {"a wildcard", M::ByName, "%", 3002, "", kTaxOff, "", O::NotFound, "FProductID="},
        };
    for (const auto &[name, mode, typed, billType, client, settings, before, outcome, after] : cases) {
        SCOPED_TRACE(name);
        const FillContext context{billType, FindClientContext(QString::fromUtf8(client), Db()), settings,
                                  QDate(2024, 3, 1)};
        LineValues line = LineOf(QString::fromUtf8(before));
        EXPECT_EQ(LookupProduct(mode, QString::fromUtf8(typed), line, context, Db()), outcome);
        ExpectCells(line, QString::fromUtf8(after));
    }
}

TEST_F(CatalogueTest, ANameTwoProductsShareFillsFromTheFirstRowTheServerReturns)
{
    TDataSet q(Db());
    q.open(ProductStatementSql(0, u" where T1.FName = 'Nut'"_s));
    ASSERT_EQ(q.recordCount(), 2);
    LineValues line;
    EXPECT_EQ(LookupProduct(ProductLookupMode::ByName, u"Nut"_s, line, {3002, {}, kTaxOff, {}}, Db()),
              LookupOutcome::Filled);
    EXPECT_EQ(line.value(u"FProductID"_s).toInt(), q.value(0, u"FID"_s).toInt());
    EXPECT_EQ(line.value(u"FProductNo"_s).toString(), q.value(0, u"FNo"_s).toString());
    EXPECT_DOUBLE_EQ(line.number(u"FPrice"_s), q.value(0, u"FlastInPrice"_s).toDouble())
        << "the price comes from the same row";
}

// A failing lookup is logged and leaves the line as it was; a failing stock test reaches the
// action, but bills that take no stock out run no statement.
TEST_F(CatalogueTest, ServerErrorsAreLoggedOrReachTheAction)
{
    const QSqlDatabase closed;
    LineValues line = LineOf(u"FProductID=1;FProductName=Bolt;FNumber=2"_s);
    EXPECT_EQ(LookupProduct(ProductLookupMode::ByName, u"Milk"_s, line, {3002, {}, kTaxOff, {}}, closed),
              LookupOutcome::NotFound);
    ExpectCells(line, u"FProductID=1;FProductName=Bolt;FNumber=2;FPrice="_s);
    QFile log(ProgramPath(u"log/"_s + QDate::currentDate().toString(u"yyyyMMdd"_s) + u".txt"_s));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains(u"查找商品失败"_s));

    EXPECT_THROW(CheckStock({line}, 3004, Switches(true, false), u"主仓"_s, closed), DbError);
    EXPECT_TRUE(CheckStock({line}, 3049, Switches(true, true), u"主仓"_s, closed)) << "the task takes no stock out";
    EXPECT_TRUE(CheckHeaderProductStock(u"Bolt"_s, QString(), 99, 3049, Switches(true, true), u"主仓"_s, closed));
}

ProductRow Prices(QVariant ata, QVariant pos, QVariant pre2, QVariant lastOut, QVariant agreed = QVariant())
{
    return {{u"FAtaSalePosPrice"_s, ata}, {u"FPosPrice"_s, pos}, {u"FPrePrice1"_s, 1},
            {u"FPrePrice2"_s, pre2},      {u"FPrePrice3"_s, 3},  {u"FlastOutPrice"_s, lastOut},
            {u"FSalePrice"_s, agreed}};
}

// The first non-zero of the promotion price, the agreed price, the level price, the last sale
// price and the list price.
TEST(SalePriceRule, FirstNonZeroWins)
{
    // name, client, price level, the unit's prices, the sale price
    const std::tuple<const char *, int, int, ProductRow, double> cases[] = {
        {"no client, no list price: the last sale", 0, 0, Prices(0, 0, 7, 12.5), 12.5},
        {"no client: the list price", 0, 2, Prices(0, 5, 7, 12.5), 5},
        {"no client: the promotion first", 0, 0, Prices(9, 5, 7, 12.5), 9},
        {"the promotion before the agreed price", 1, 2, Prices(9, 5, 7, 12.5, 6), 9},
        {"the agreed price", 1, 2, Prices(0, 5, 7, 12.5, 6), 6},
        {"level 2 without agreed price", 1, 2, Prices(0, 5, 7, 12.5), 7},
        {"level price 0: the last sale", 1, 2, Prices(0, 5, 0, 12.5), 12.5},
        {"then the list price", 1, 2, Prices(0, 5, QVariant(), 0), 5},
        {"level 0 is the list price", 1, 0, Prices(0, 5, 7, 12.5), 5},
        {"an unknown level has no price", 1, 4, Prices(0, 5, 7, 12.5), 12.5},
        {"decimal texts as the server may send them", 1, 2, Prices(u"0.00000000"_s, u"5.0"_s, u"7.25000000"_s, 12.5),
         7.25},
    };
    for (const auto &[name, client, level, row, expected] : cases)
        EXPECT_DOUBLE_EQ(SalePrice(row, client, level), expected) << name;
}

// The unit of a filled line changes: the price of that unit, the quantity as it stands.
TEST_F(CatalogueTest, AnotherUnitRepricesTheLine)
{
    // name, bill type, settings, the cells before, the unit typed, the cells after
    const std::tuple<const char *, int, LineSettings, const char *, const char *, const char *> cases[] = {
        {"a purchase takes the unit's last purchase price, amounts unrounded", 3002, kTaxOff,
         "FProductName=Bolt;FNumber=4;FDiscountRate=100;FPrice=2.5", "盒",
         "FNumber=4;FPrice=40.1234;FDiscountPrice=40.1234;FAmount=160.4936;FDiscountAmount=160.4936"},
        {"a purchase at half rate with tax", 3002, kTaxOn,
         "FProductName=Bolt;FNumber=4;FDiscountRate=50;FTaxRate=13;FPrice=2.5", "盒",
         "FPrice=40.1234;FDiscountPrice=20.0617;FDiscountAmount=80.2468;FTaxPrice=22.67;FTotalAmount=90.68;"
         "FTaxAmount=10.43"},
        {"a sale without quantity clears the amounts", 3004, kTaxOn,
         "FProductName=Bolt;FDiscountRate=100;FTaxRate=13;FPrice=3;FAmount=9;FTotalAmount=10", "盒",
         "FPrice=45;FDiscountPrice=45;FTaxPrice=50.85;FAmount=;FDiscountAmount=;FTotalAmount=;FTaxAmount="},
        {"a unit the product does not have clears the prices", 3002, kTaxOn,
         "FProductName=Bolt;FNumber=4;FPrice=2.5;FAmount=10;FDiscountPrice=2.5;FTaxPrice=2.83", "瓶",
         "FNumber=4;FPrice=;FAmount=;FDiscountPrice=;FDiscountAmount=;FTaxPrice=;FTotalAmount="},
        {"the task keeps its price and recomputes the amount", 3049, kTaxOff,
         "FProductName=Bolt;FNumber=2;FDiscountRate=100;FPrice=9", " 盒 ", "FPrice=9;FAmount=18;FDiscountAmount=18"},
    };
    for (const auto &[name, billType, settings, before, unit, after] : cases) {
        SCOPED_TRACE(name);
        LineValues line = LineOf(QString::fromUtf8(before));
        RepriceForUnit(line, 1, QString::fromUtf8(unit), FillContext{billType, {}, settings, {}}, Db());
        ExpectCells(line, QString::fromUtf8(after));
    }
}

// Picked keys are read only from a comma list of integers; the products fill the lines from
// the start line on, appending what does not fit, and keep the quantity for the amounts.
TEST_F(CatalogueTest, PickedProductsFillTheLinesFromTheStartLine)
{
    const QList<ProductRow> picked = ProductsByIds(u"4, 1"_s, 1, Db());
    ASSERT_EQ(picked.size(), 2);
    EXPECT_EQ(picked.at(0).value(u"FNo"_s).toString(), u"A01"_s);
    EXPECT_DOUBLE_EQ(picked.at(0).value(u"FSalePrice"_s).toDouble(), 6.5) << "the client's agreed price";
    EXPECT_EQ(picked.at(1).value(u"FNo"_s).toString(), u"M1"_s);
    for (const char *refused : {"1) or (1=1", "", "1,,2", "1;2", "0x1", "1 2", "1,2)"})
        EXPECT_TRUE(ProductsByIds(QString::fromLatin1(refused), 0, Db()).isEmpty()) << refused;

    QList<ProductRow> rows;
    for (int id = 1; id <= 5; ++id)
        rows.append({{u"FID"_s, id}, {u"FName"_s, u"P%1"_s.arg(id)}});
    const FillContext task{3049, {}, kTaxOff, {}};
    QList<LineValues> lines(20, LineOf(u"FProductName=old;FNumber=2"_s));
    EXPECT_EQ(FillLinesFromProducts(lines, 18, rows, task), 3);
    ASSERT_EQ(lines.size(), 23);
    ExpectCells(lines.at(17), u"FProductName=old;FProductID="_s);
    for (int i = 18; i < 23; ++i)
        ExpectCells(lines.at(i), u"FProductID=%1;FProductName=P%1"_s.arg(i - 17));
    ExpectCells(lines.at(18), u"FNumber=2"_s);
    QList<LineValues> empty;
    EXPECT_EQ(FillLinesFromProducts(empty, -1, rows.mid(0, 2), task), 2);
    ExpectCells(empty.at(0), u"FProductName=P1"_s);
}

TEST_F(CatalogueTest, TheBatchListShowsBatchesWithStockOldestFirst)
{
    const auto listed = [](int storeId) {
        TDataSet q(Db());
        OpenQuery(q, BatchListSql(4, storeId));
        QStringList rows;
        for (q.first(); !q.eof(); q.next())
            rows << q.fieldByName(u"FBatchNo1"_s).toString() + u' '
                    + QString::number(q.fieldByName(u"FNumber"_s).toDouble()) + u' '
                    + q.fieldByName(u"FStorehouseName"_s).toString();
        return rows.join(u',');
    };
    EXPECT_EQ(listed(1), u"B-a -2 主仓,B-c 5 主仓"_s);
    EXPECT_EQ(listed(0), u"B-b 3 分仓,B-a -2 主仓,B-c 5 主仓"_s);
    EXPECT_EQ(FindProductIdByName(u" Milk "_s, Db()), 4);
    EXPECT_EQ(FindProductIdByName(u"Mil"_s, Db()), 0);
}

// A missing or zero batch date clears the line's date: null, not an invalid date.
TEST_F(CatalogueTest, ABatchGivesTheLineItsNumberDatesAndOnStockOutItsQuantity)
{
    // name, batch, bill type, the cells after
    const std::tuple<const char *, int, int, const char *> cases[] = {
        {"a batch that is gone leaves the line alone", 99, 3004, "FNumber=2;FBatchNo1=old;FKFDate=2020-01-01"},
        {"sales out takes the batch's quantity", 5, 3004,
         "FBatchNo1=B-7;FNumber=7;FAmount=70;FDiscountAmount=70;FKFDate=2024-03-01;FKFPeriod=30;"
         "FPeriodDate=2024-03-31"},
        {"the task keeps its quantity", 5, 3049, "FBatchNo1=B-7;FNumber=2;FAmount=;FPeriodDate=2024-03-31"},
        {"no production date", 6, 3004, "FBatchNo1=B-n;FNumber=1;FAmount=10;FKFDate=;FKFPeriod=30;FPeriodDate="},
        {"zero dates", 7, 3002, "FBatchNo1=B-0;FNumber=2;FKFDate=;FKFPeriod=15;FPeriodDate="},
    };
    for (const auto &[name, batch, billType, after] : cases) {
        SCOPED_TRACE(name);
        LineValues line = LineOf(u"FProductName=Bolt;FNumber=2;FPrice=10;FDiscountRate=100;"
                                 "FKFDate=2020-01-01;FPeriodDate=2020-02-01;FBatchNo1=old"_s);
        EXPECT_EQ(ApplyBatch(line, batch, billType, LineSettings{}, Db()), batch != 99);
        ExpectCells(line, QString::fromUtf8(after));
        for (const QString &date : {u"FKFDate"_s, u"FPeriodDate"_s})
            EXPECT_TRUE(line.value(date).isNull() || line.value(date).toDate().isValid()) << date.toStdString();
    }
}

// The hint under the grid: the product's current stock, red below zero; nothing for a blank
// name or a failing lookup.
TEST_F(CatalogueTest, TheStockHintReadsTheProductList)
{
    TLocalDataSet products(Db());
    products.open(ProductListSql());
    const auto hint = [](const TLocalDataSet &list, const char *name) {
        const StockHint h = StockHintFor(QString::fromUtf8(name), list);
        return h.text + (h.red ? u" red"_s : QString());
    };
    EXPECT_EQ(hint(products, "Bolt"), u"总库存数: -3 red"_s);
    EXPECT_EQ(hint(products, "Milk"), u"总库存数: 12.5"_s);
    EXPECT_EQ(hint(products, "Big"), u"总库存数: 1000000"_s);
    EXPECT_EQ(hint(products, "NoStock"), u"总库存数: 0"_s);
    for (const char *none : {"bolt ", "Old", "Nothing"})
        EXPECT_EQ(hint(products, none), u"无库存"_s) << none;
    EXPECT_EQ(hint(products, "  "), QString());
    TLocalDataSet withoutStock;
    withoutStock.setRecords({u"FName"_s}, {{u"Bolt"_s}});
    EXPECT_EQ(hint(withoutStock, "Bolt"), QString()) << "a failing lookup shows nothing";
}

// The lines of a sales-out bill: enough Bolt in 个, Bolt in 盒 beyond 主仓's stock, more Milk
// than there is, a product never stocked; the second line is blank. Refused or asked about by
// the switches and the bill type; enough stock says nothing.
TEST_F(CatalogueTest, ShortLinesAreRefusedOrAskedAboutByTheSwitchesAndTheBillType)
{
    const QList<LineValues> lines = {LineOf(u"FProductName=Bolt;FUnitName=个;FNumber=4"_s), LineOf(u"FNumber=3"_s),
                                     LineOf(u"FProductName=Bolt;FUnitName=盒;FNumber=1"_s),
                                     LineOf(u"FProductName=Milk;FNumber=6"_s), LineOf(u"FProductName=NoStock"_s)};
    const QString block = u"第[3,4,5]行的商品库存不足"_s;
    const QString ask = u"第[3,4,5]行的商品库存不足,是否允许负库存继续执行?"_s;
    // name, bill type, switches, storehouse, answer (-1: no question), passes, the text shown
    const std::tuple<const char *, int, HostSwitches, const char *, int, bool, QString> cases[] = {
        {"forbidden", 3004, Switches(true, false), "主仓", -1, false, block},
        {"asked, yes", 3004, Switches(false, true), "主仓", 1, true, ask},
        {"asked, no", 3004, Switches(false, true), "主仓", 0, false, ask},
        {"all storehouses", 3015, Switches(true, false), "  ", -1, false, u"第[4,5]行的商品库存不足"_s},
        {"an unknown storehouse holds nothing", 3004, Switches(true, false), "无此仓", -1, false,
         u"第[1,3,4,5]行的商品库存不足"_s},
        {"the sales order is only asked about", 3003, Switches(true, false), "主仓", -1, true, QString()},
        {"switches off", 3004, Switches(false, false), "主仓", -1, true, QString()},
    };
    for (const auto &[name, billType, switches, store, answer, passes, shown] : cases) {
        SCOPED_TRACE(name);
        prompter.clear();
        if (answer >= 0)
            prompter.queueAnswer(answer == 1);
        EXPECT_EQ(CheckStock(lines, billType, switches, QString::fromUtf8(store), Db()), passes);
        EXPECT_EQ(prompter.texts(), shown.isEmpty() ? QStringList() : QStringList{shown});
        if (!shown.isEmpty()) {
            EXPECT_EQ(prompter.entries().first().kind, answer >= 0 ? PromptKind::Question : PromptKind::Warning);
        }
    }
    prompter.clear();
    EXPECT_TRUE(CheckStock(lines.mid(0, 2), 3004, Switches(true, true), u"主仓"_s, Db()));
    EXPECT_TRUE(prompter.entries().isEmpty());
}

TEST_F(CatalogueTest, TheDismantledProductIsNamedInTheTexts)
{
    const auto check = [](const char *unit, double quantity, const HostSwitches &switches) {
        return CheckHeaderProductStock(u" Bolt"_s, QString::fromUtf8(unit), quantity, 3026, switches, u"主仓"_s, Db());
    };
    EXPECT_TRUE(check("个", 10, Switches(true, false)));
    EXPECT_FALSE(check("盒", 1, Switches(true, false)));
    prompter.queueAnswer(true);
    EXPECT_TRUE(check("盒", 1, Switches(false, true)));
    EXPECT_EQ(prompter.texts(),
              QStringList({u"商品[Bolt]库存不足"_s, u"商品[Bolt]库存不足,是否允许负库存继续执行?"_s}));
}

} // namespace
