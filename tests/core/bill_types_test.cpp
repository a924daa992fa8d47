#include "core/bill_types.h"

#include <gtest/gtest.h>

using namespace protask;

TEST(BillTypes, TablesAndCaptionsKeepTheSuitesSpelling)
{
    struct Case { int type; const char *form; const char *list; const char *caption; };
    const Case cases[] = {
        {3001, "t_purorderform", "t_purorderList", "采购订单"},
        {3015, "t_purform", "t_purList", "进货单"},
        {3005, "t_saleoutform", "t_saleoutList", "零售单"},
        {3012, "t_receivepayform", "", "付款单"},
        {3014, "t_account", "", "收支单"},
        {3022, "t_lossgainform", "t_lossgainList", "盘亏单"},
        {3089, "t_outpickingform", "t_outpickinglist", "生产领料单"},
        {3090, "t_infinishform", "t_infinishlist", "完工入库单"},
    };
    for (const Case &c : cases) {
        const BillTypeTables t = GetBillTypeTables(c.type);
        EXPECT_EQ(t.formTable, QString::fromLatin1(c.form)) << c.type;
        EXPECT_EQ(t.listTable, QString::fromLatin1(c.list)) << c.type;
        EXPECT_EQ(t.caption, QString::fromUtf8(c.caption)) << c.type;
    }
    for (int type : {3049, 2999, 3009, 3091, 0}) {
        const BillTypeTables t = GetBillTypeTables(type);
        EXPECT_TRUE(t.formTable.isEmpty() && t.listTable.isEmpty() && t.caption.isEmpty()) << type;
    }
}

TEST(BillTypes, StockOutFlags)
{
    for (int type : {3004, 3005, 3015, 3018, 3020, 3022, 3025, 3026, 3089}) {
        EXPECT_TRUE(GetStockOutFlags(type).blocksOnShortage) << type;
        EXPECT_TRUE(GetStockOutFlags(type).warnsOnShortage) << type;
    }
    EXPECT_FALSE(GetStockOutFlags(3003).blocksOnShortage);
    EXPECT_TRUE(GetStockOutFlags(3003).warnsOnShortage);
    for (int type : {3049, 3002, 3016, 3001}) {
        EXPECT_FALSE(GetStockOutFlags(type).blocksOnShortage) << type;
        EXPECT_FALSE(GetStockOutFlags(type).warnsOnShortage) << type;
    }
}
