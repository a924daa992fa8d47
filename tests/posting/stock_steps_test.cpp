// The stock steps on their own: the base-unit rule, balance rows, the header-table form of the
// assembly bills and the last prices.
#include "posting_test_util.h"
#include "posting/stock_steps.h"
#include "test_db.h"

#include <gtest/gtest.h>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

constexpr int kBill = 42;
const QString kBillId = QStringLiteral("42");
constexpr int kUnitCarton = 3;  // no t_comProductUnit row for any product
constexpr int kNullRatioUnit = 4;

class StockSteps : public ::testing::Test {
protected:
    void SetUp() override
    {
        EmptyAllTables();
        SeedWorld();
        SeedUnit(kUnitCarton, QStringLiteral("盒"));
        SeedUnit(kNullRatioUnit, QStringLiteral("包"));
        SeedProductUnit(kPlain, 2, kNullRatioUnit, QVariant());
    }
};

TEST_F(StockSteps, UnitWithoutRowPostsAsEnteredAndNullRatioPostsNothing)
{
    SeedBill(3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), kBill, {{"FStorehouseID", kStore}},
             {
                 {{"FProductID", kBatch}, {"FUnitID", kUnitCarton}, {"FNumber", 4}},    // unconverted: 4
                 {{"FProductID", kBatch}, {"FUnitID", kUnitBox}, {"FNumber", 2}},       // 2 x 12
                 {{"FProductID", kPlain}, {"FUnitID", kNullRatioUnit}, {"FNumber", 5}}, // ratio null: 0
                 {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 3}},
             });
    ASSERT_TRUE(UpdateProductCurStock(QStringLiteral("t_PurList"), QStringLiteral("FFormID"), kBillId, QStringLiteral("FNumber"), 1));
    ASSERT_TRUE(UpdateBalance(QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), kBillId, QStringLiteral("FNumber"),
                              QStringLiteral("FStorehouseID"), 1));
    EXPECT_DOUBLE_EQ(CurStock(kBatch), 4 + 24);
    EXPECT_DOUBLE_EQ(CurStock(kPlain), 3);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore, kBatch), 28);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore, kPlain), 3);

    // The other way round with the opposite sign.
    ASSERT_TRUE(UpdateProductCurStock(QStringLiteral("t_PurList"), QStringLiteral("FFormID"), kBillId, QStringLiteral("FNumber"), -1));
    ASSERT_TRUE(UpdateBalance(QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), kBillId, QStringLiteral("FNumber"),
                              QStringLiteral("FStorehouseID"), -1));
    EXPECT_DOUBLE_EQ(CurStock(kBatch), 0);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore, kBatch), 0);
    EXPECT_EQ(BalanceRows(kStore, kBatch), 1);
    EXPECT_EQ(BalanceRows(kStore, kPlain), 1);
}

TEST_F(StockSteps, BalanceRowsAreMadeOncePerStorehouseAndProduct)
{
    // Header storehouse for the line bills; each line's own storehouse for the assembly lines.
    SeedBill(3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), kBill, {{"FStorehouseID", kStore}}, StandardLines());
    SeedBill(3025, QStringLiteral("t_AssemblyForm"), QStringLiteral("t_AssemblyList"), kBill,
             {{"FProductID", kAssembled}, {"FUnitID", kUnitPiece}, {"FNumber", 1}, {"FStorehouseID", kStore2}},
             {
                 {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 2}, {"FStorehouseID", kStore2}},
                 {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 3}, {"FStorehouseID", kStore2}},
                 {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 4}, {"FStorehouseID", kStore}},
             });
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(UpdateBalance(QStringLiteral("t_PurForm"), QStringLiteral("T_PurList"), kBillId, QStringLiteral("FNumber"),
                                  QStringLiteral("FStorehouseID"), 1));
    ASSERT_TRUE(UpdateBalanceByTable(QStringLiteral("t_AssemblyList"), QStringLiteral("FFormID"), kBillId, 1));
    ASSERT_TRUE(UpdateBalanceByTable(QStringLiteral("t_AssemblyForm"), QStringLiteral("FID"), kBillId, 1));

    EXPECT_EQ(BalanceRows(kStore, kPlain), 1);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore, kPlain), 2 * 5 + 4);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore, kBatch), 2 * 12);
    EXPECT_EQ(BalanceRows(kStore2, kPlain), 1);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore2, kPlain), 5);
    EXPECT_DOUBLE_EQ(BalanceQty(kStore2, kAssembled), 1);
    // Rows made from a header and its lines leave the batch columns null, rows made from one
    // table get empty texts.
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_Balance where FStorehouseID = %1 and FBatchNo1 is null").arg(kStore)), 2);
    EXPECT_EQ(Number(QStringLiteral("select count(*) from t_Balance where FStorehouseID = %1 and FBatchNo1 = '' and "
                                    "FBatchNo2 = '' and FBatchNo3 = ''")
                         .arg(kStore2)),
              2);
}

TEST_F(StockSteps, AssemblyHeaderPostsItsOwnProductInItsOwnUnit)
{
    SeedBill(3025, QStringLiteral("t_AssemblyForm"), QStringLiteral("t_AssemblyList"), kBill,
             {{"FProductID", kBatch}, {"FUnitID", kUnitBox}, {"FNumber", 2}, {"FStorehouseID", kStore}},
             {{{"FProductID", kBatch}, {"FUnitID", kUnitPiece}, {"FNumber", 100}, {"FStorehouseID", kStore}}});
    ASSERT_TRUE(UpdateProductCurStock(QStringLiteral("t_AssemblyForm"), QStringLiteral("FID"), kBillId, QStringLiteral("FNumber"), 1));
    EXPECT_DOUBLE_EQ(CurStock(kBatch), 24);
    ASSERT_TRUE(UpdateBalanceByTable(QStringLiteral("t_AssemblyForm"), QStringLiteral("FID"), kBillId, -1));
    EXPECT_DOUBLE_EQ(BalanceQty(kStore, kBatch), -24);
}

TEST_F(StockSteps, LastPricesComeFromPricedLinesOnlyAndOtherDirectionsRunNothing)
{
    Exec(QStringLiteral("update t_comProductUnit set FLastInPrice = 7, FLastOutPrice = 8 where FProductID = %1").arg(kPlain));
    SeedBill(3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), kBill, {{"FStorehouseID", kStore}},
             {
                 {{"FProductID", kPlain}, {"FUnitID", kUnitPiece}, {"FNumber", 2}, {"FPrice", 0}},
                 {{"FProductID", kBatch}, {"FUnitID", kUnitBox}, {"FNumber", 1}, {"FPrice", 100}},
                 {{"FProductID", kBatch}, {"FUnitID", kUnitPiece}, {"FNumber", 1}},
             });
    const auto before = SnapshotAllTables();
    for (int direction : {0, 2, -2}) {
        EXPECT_FALSE(UpdateLastPrice(QStringLiteral("T_PurList"), QStringLiteral("FFormID"), kBillId, direction)) << direction;
    }
    EXPECT_EQ(TablesChangedSince(before), "");

    ASSERT_TRUE(UpdateLastPrice(QStringLiteral("T_PurList"), QStringLiteral("FFormID"), kBillId, 1));
    EXPECT_DOUBLE_EQ(Number(UnitPriceSql(kPlain, kUnitPiece, "FLastInPrice")), 7); // unpriced line: kept
    EXPECT_TRUE(Scalar(UnitPriceSql(kPlain, kUnitPiece, "FLastInDate is not null")).toInt() == 0);
    EXPECT_DOUBLE_EQ(Number(UnitPriceSql(kBatch, kUnitBox, "FLastInPrice")), 100);
    EXPECT_EQ(Number(UnitPriceSql(kBatch, kUnitBox, "FLastInDate is not null")), 1);
    EXPECT_DOUBLE_EQ(Number(UnitPriceSql(kBatch, kUnitPiece, "FLastInPrice")), 0);
    EXPECT_DOUBLE_EQ(Number(UnitPriceSql(kBatch, kUnitBox, "FLastOutPrice")), 0);

    ASSERT_TRUE(UpdateLastPrice(QStringLiteral("T_PurList"), QStringLiteral("FFormID"), kBillId, -1));
    EXPECT_DOUBLE_EQ(Number(UnitPriceSql(kBatch, kUnitBox, "FLastOutPrice")), 100);
    EXPECT_DOUBLE_EQ(Number(UnitPriceSql(kPlain, kUnitPiece, "FLastOutPrice")), 8);
}

} // namespace
