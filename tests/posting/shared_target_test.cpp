// Several lines of one bill that land on the same row: every line must count.
#include "platform/db.h"
#include "platform/nv_dm_base.h"
#include "posting/posting_engine.h"
#include "posting_test_util.h"
#include "posting/stock_steps.h"
#include "test_db.h"

#include <gtest/gtest.h>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

class SharedTargetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EmptyAllTables();
        SeedWorld();
    }
    bool post(bool check, int billType, int billId, const QString &table)
    {
        int code = 0;
        TransactionGuard tx(Db());
        const bool ok = check ? CheckUpdateData(billType, billId, table, code) : UnCheckUpdateData(billType, billId, table, code);
        if (ok)
            tx.commit();
        return ok;
    }
};

QVariantMap line(int product, int unit, double number, const QString &batch, int orderLine, const QDate &kfDate = {})
{
    QVariantMap m{{"FProductID", product}, {"FUnitID", unit},        {"FNumber", number},
                  {"FPrice", 10},          {"FAmount", 10 * number}, {"FBatchNo1", batch},
                  {"FFromOrderListID", orderLine}};
    if (kfDate.isValid())
        m.insert(QStringLiteral("FKFDate"), kfDate);
    return m;
}

TEST_F(SharedTargetTest, TwoLinesOnOneOrderLineBothCountAndBothGoBack)
{
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 60,
             {{"FStorehouseID", kStore}, {"FClientID", kClient}},
             {line(kPlain, kUnitPiece, 2, QString(), kSaleOrderLine), line(kPlain, kUnitPiece, 3, QString(), kSaleOrderLine)});
    const QString counter = ColumnSql(QStringLiteral("t_SaleOrderList"), QStringLiteral("FFinishNumber"), kSaleOrderLine);
    const double before = Number(counter);
    ASSERT_TRUE(post(true, 3004, 60, QStringLiteral("t_SaleOutForm")));
    EXPECT_DOUBLE_EQ(Number(counter) - before, 5.0);
    ASSERT_TRUE(post(false, 3004, 60, QStringLiteral("t_SaleOutForm")));
    EXPECT_DOUBLE_EQ(Number(counter), before);
}

TEST_F(SharedTargetTest, TwoLinesTakingFromOneBatchAreBothPutBack)
{
    // B2 holds 20: both lines name it, so both take from the same batch row.
    SeedBill(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("t_SaleOutList"), 61,
             {{"FStorehouseID", kStore}, {"FClientID", kClient}},
             {line(kBatch, kUnitPiece, 4, QStringLiteral("B2"), 0, QDate(2026, 2, 1)),
              line(kBatch, kUnitPiece, 6, QStringLiteral("B2"), 0, QDate(2026, 2, 1))});
    const QString b1 = BatchSql(kStore, kBatch, QStringLiteral("B1"));
    const QString b2 = BatchSql(kStore, kBatch, QStringLiteral("B2"));
    const double b1Before = Number(b1);
    const double b2Before = Number(b2);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(post(true, 3004, 61, QStringLiteral("t_SaleOutForm")));
        EXPECT_DOUBLE_EQ(Number(b2), b2Before - 10) << "round " << round;
        ASSERT_TRUE(post(false, 3004, 61, QStringLiteral("t_SaleOutForm")));
        EXPECT_DOUBLE_EQ(Number(b2), b2Before) << "round " << round;
        EXPECT_DOUBLE_EQ(Number(b1), b1Before) << "round " << round;
    }
}

TEST_F(SharedTargetTest, OneProductInTwoUnitsMovesItsWholeQuantityThroughTheBalance)
{
    // Assembly components: the batch product once in pieces and once in boxes of 12.
    SeedBill(3025, QStringLiteral("t_AssemblyForm"), QStringLiteral("t_AssemblyList"), 62,
             {{"FStorehouseID", kStore}, {"FProductID", kAssembled}, {"FUnitID", kUnitPiece}, {"FNumber", 1}},
             {QVariantMap{{"FProductID", kBatch}, {"FUnitID", kUnitPiece}, {"FNumber", 5}, {"FStorehouseID", kStore}},
              QVariantMap{{"FProductID", kBatch}, {"FUnitID", kUnitBox}, {"FNumber", 1}, {"FStorehouseID", kStore}}});
    const double before = BalanceQty(kStore, kBatch);
    TransactionGuard tx(Db());
    ASSERT_TRUE(UpdateBalanceByTable(QStringLiteral("t_AssemblyList"), QStringLiteral("FFormID"), QStringLiteral("62"), -1,
                                     QStringLiteral("FNumber"), QStringLiteral("FProductID"), QStringLiteral("FStorehouseID")));
    tx.commit();
    EXPECT_DOUBLE_EQ(BalanceQty(kStore, kBatch), before - (5 + kBoxRatio));
    EXPECT_EQ(BalanceRows(kStore, kBatch), 1);
}

} // namespace
