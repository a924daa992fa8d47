// Batches put on a line, the batch list, the stock hint and the stock test before a bill
// takes stock out, against seeded stock on the real server.
#include "billedit/model/line_stock.h"

#include "billedit/model/product_lookup.h"
#include "core/local_dataset.h"
#include "core/sql_helpers.h"
#include "line_cells.h"
#include "test_db.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace protask;
using protask::testing::ExecScript;
using protask::testing::ExpectCells;
using protask::testing::LineOf;

namespace {

// Two storehouses; Bolt in 个 and 盒 (12) with 10 in 主仓 and 100 in 分仓, Milk with 5 in 主仓;
// Milk's batches for the list, Bolt's batches to put on lines (one without production date,
// one with zero dates).
class LineStockTest : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(QStringLiteral(
            "insert into t_comStorehouse(FID, FName) values (1, '主仓'), (2, '分仓');"
            "insert into t_comUnit(FID, FNo, FName) values (1, '01', '个'), (2, '02', '盒');"
            "insert into t_comProducts(FID, FNo, FName, FCurStock) values (1, 'A01', 'Bolt', -3), (4, 'M1', 'Milk', 12.5),"
            " (8, 'B1', 'Big', 1000000), (9, 'Z1', 'NoStock', null);"
            "insert into t_comProducts(FID, FNo, FName, FCurStock, FIsActive) values (10, 'X1', 'Old', 5, 0);"
            "insert into t_comProductUnit(FProductID, FSID, FUnitID, FRatio) values (1, 1, 1, 1), (1, 2, 2, 12);"
            "insert into t_Balance(FStorehouseID, FProductID, FNumber) values (1, 1, 10), (2, 1, 100), (1, 4, 5);"
            "insert into t_comProductBatchNo(FID, FStorehouseID, FProductID, FBatchNo1, FNumber, FKFDate, FKFPeriod, "
            "FPeriodDate) values (1, 1, 4, 'B-c', 5, '2024-02-01', 30, '2024-03-02'),"
            " (2, 1, 4, 'B-a', -2, '2024-02-01', 30, '2024-03-02'), (3, 1, 4, 'B-z', 0, '2024-01-01', 30, '2024-01-31'),"
            " (4, 2, 4, 'B-b', 3, '2023-12-01', 30, '2023-12-31'),"
            " (5, 1, 1, 'B-7', 7, '2024-03-01', 30, '2024-03-31'), (6, 1, 1, 'B-n', 1, null, 30, null),"
            " (7, 1, 1, 'B-0', 1, '0000-00-00', 15, '0000-00-00')"));
    }
};

TEST_F(LineStockTest, TheBatchListShowsBatchesWithStockOldestFirst)
{
    const auto listed = [](int storeId) {
        TDataSet q(Db());
        OpenQuery(q, BatchListSql(4, storeId));
        QStringList rows;
        for (q.first(); !q.eof(); q.next())
            rows << q.fieldByName(QStringLiteral("FBatchNo1")).toString() + u' '
                    + QString::number(q.fieldByName(QStringLiteral("FNumber")).toDouble()) + u' '
                    + q.fieldByName(QStringLiteral("FStorehouseName")).toString();
        return rows.join(u',');
    };
    EXPECT_EQ(listed(1), QStringLiteral("B-a -2 主仓,B-c 5 主仓"));
    EXPECT_EQ(listed(0), QStringLiteral("B-b 3 分仓,B-a -2 主仓,B-c 5 主仓"));
    EXPECT_EQ(FindProductIdByName(QStringLiteral(" Milk "), Db()), 4);
    EXPECT_EQ(FindProductIdByName(QStringLiteral("Mil"), Db()), 0);
}

// A batch put on a line: its number and dates always, its quantity on the bills that draw on
// it; a missing or zero date clears the line's date (null, not an invalid date). A batch that
// is gone changes nothing.
TEST_F(LineStockTest, ABatchGivesTheLineItsNumberDatesAndOnStockOutItsQuantity)
{
    struct {
        const char *name;
        int batch;
        int billType;
        const char *expected;
    } const cases[] = {
        {"a batch that is gone leaves the line alone", 99, 3004, "FNumber=2;FBatchNo1=old;FKFDate=2020-01-01"},
        {"sales out takes the batch's quantity", 5, 3004,
         "FBatchNo1=B-7;FNumber=7;FAmount=70;FDiscountAmount=70;FKFDate=2024-03-01;FKFPeriod=30;"
         "FPeriodDate=2024-03-31"},
        {"the task keeps its quantity", 5, 3049, "FBatchNo1=B-7;FNumber=2;FAmount=;FPeriodDate=2024-03-31"},
        {"no production date", 6, 3004, "FBatchNo1=B-n;FNumber=1;FAmount=10;FKFDate=;FKFPeriod=30;FPeriodDate="},
        {"zero dates", 7, 3002, "FBatchNo1=B-0;FNumber=2;FKFDate=;FKFPeriod=15;FPeriodDate="},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LineValues line = LineOf(QStringLiteral("FProductName=Bolt;FNumber=2;FPrice=10;FDiscountRate=100;"
                                                "FKFDate=2020-01-01;FPeriodDate=2020-02-01;FBatchNo1=old"));
        EXPECT_EQ(ApplyBatch(line, c.batch, c.billType, LineSettings{}, Db()), c.batch != 99);
        ExpectCells(line, QString::fromUtf8(c.expected));
        for (const QString &date : {QStringLiteral("FKFDate"), QStringLiteral("FPeriodDate")})
            EXPECT_TRUE(line.value(date).isNull() || line.value(date).toDate().isValid()) << date.toStdString();
    }
}

TEST_F(LineStockTest, TheStockHintReadsTheProductList)
{
    TLocalDataSet products(Db());
    products.open(ProductListSql());
    struct {
        const char *product;
        const char *text;
        bool red;
    } const cases[] = {
        {"Bolt", "总库存数: -3", true},      {"Milk", "总库存数: 12.5", false},
        {"Big", "总库存数: 1000000", false}, {"NoStock", "总库存数: 0", false},
        {"bolt ", "无库存", false},          {"Old", "无库存", false},
        {"Nothing", "无库存", false},        {"  ", "", false},
    };
    for (const auto &c : cases) {
        const StockHint hint = StockHintFor(QString::fromUtf8(c.product), products);
        EXPECT_EQ(hint.text, QString::fromUtf8(c.text)) << c.product;
        EXPECT_EQ(hint.red, c.red) << c.product;
    }

    TLocalDataSet withoutStock;
    withoutStock.setRecords({QStringLiteral("FName")}, {{QStringLiteral("Bolt")}});
    EXPECT_EQ(StockHintFor(QStringLiteral("Bolt"), withoutStock).text, QString()) << "a failing lookup shows nothing";
}

// The lines of a sales-out bill: enough Bolt in 个, Bolt in 盒 beyond 主仓's stock, more Milk
// than there is, a product never stocked; the second line is blank.
QList<LineValues> ShortLines()
{
    return {LineOf(QStringLiteral("FProductName=Bolt;FUnitName=个;FNumber=4")), LineOf(QStringLiteral("FNumber=3")),
            LineOf(QStringLiteral("FProductName=Bolt;FUnitName=盒;FNumber=1")),
            LineOf(QStringLiteral("FProductName=Milk;FNumber=6")), LineOf(QStringLiteral("FProductName=NoStock"))};
}

HostSwitches Switches(bool forbid, bool ask) { return {.forbidNegativeStock = forbid, .askOnNegativeStock = ask}; }

TEST_F(LineStockTest, ShortLinesAreRefusedOrAskedAboutByTheSwitchesAndTheBillType)
{
    const QString block = QStringLiteral("第[3,4,5]行的商品库存不足");
    const QString ask = QStringLiteral("第[3,4,5]行的商品库存不足,是否允许负库存继续执行?");
    struct {
        const char *name;
        int billType;
        HostSwitches switches;
        const char *store;
        int answer; // -1: no question expected, 0 No, 1 Yes
        bool passes;
        QString shown;
    } const cases[] = {
        {"forbidden", 3004, Switches(true, false), "主仓", -1, false, block},
        {"asked, yes", 3004, Switches(false, true), "主仓", 1, true, ask},
        {"asked, no", 3004, Switches(false, true), "主仓", 0, false, ask},
        {"all storehouses", 3015, Switches(true, false), "  ", -1, false, QStringLiteral("第[4,5]行的商品库存不足")},
        {"an unknown storehouse holds nothing", 3004, Switches(true, false), "无此仓", -1, false,
         QStringLiteral("第[1,3,4,5]行的商品库存不足")},
        {"the sales order is only asked about", 3003, Switches(true, false), "主仓", -1, true, QString()},
        {"switches off", 3004, Switches(false, false), "主仓", -1, true, QString()},
    };
    for (const auto &c : cases) {
        prompter.clear();
        if (c.answer >= 0)
            prompter.queueAnswer(c.answer == 1);
        EXPECT_EQ(CheckStock(ShortLines(), c.billType, c.switches, QString::fromUtf8(c.store), Db()), c.passes)
            << c.name;
        EXPECT_EQ(prompter.texts(), c.shown.isEmpty() ? QStringList() : QStringList{c.shown}) << c.name;
        if (!c.shown.isEmpty()) {
            EXPECT_EQ(prompter.entries().first().kind, c.answer >= 0 ? PromptKind::Question : PromptKind::Warning);
        }
    }

    prompter.clear();
    EXPECT_TRUE(CheckStock(ShortLines().mid(0, 2), 3004, Switches(true, true), QStringLiteral("主仓"), Db()));
    EXPECT_TRUE(prompter.entries().isEmpty());
}

TEST_F(LineStockTest, BillsWithoutStockOutAreNotTestedAndServerErrorsReachTheAction)
{
    const QSqlDatabase closed;
    EXPECT_TRUE(CheckStock(ShortLines(), 3049, Switches(true, true), QStringLiteral("主仓"), closed))
        << "no statement runs for the task";
    EXPECT_TRUE(CheckHeaderProductStock(QStringLiteral("Bolt"), QString(), 99, 3049, Switches(true, true),
                                        QStringLiteral("主仓"), closed));
    EXPECT_THROW(CheckStock(ShortLines(), 3004, Switches(true, false), QStringLiteral("主仓"), closed), DbError);
}

TEST_F(LineStockTest, TheDismantledProductIsNamedInTheTexts)
{
    const auto check = [](const char *unit, double quantity, const HostSwitches &switches) {
        return CheckHeaderProductStock(QStringLiteral(" Bolt"), QString::fromUtf8(unit), quantity, 3026, switches,
                                       QStringLiteral("主仓"), Db());
    };
    EXPECT_TRUE(check("个", 10, Switches(true, false)));
    EXPECT_FALSE(check("盒", 1, Switches(true, false)));
    prompter.queueAnswer(true);
    EXPECT_TRUE(check("盒", 1, Switches(false, true)));
    EXPECT_EQ(prompter.texts(),
              QStringList({QStringLiteral("商品[Bolt]库存不足"),
                           QStringLiteral("商品[Bolt]库存不足,是否允许负库存继续执行?")}));
}

} // namespace
