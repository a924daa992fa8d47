#include "core/bill_types.h"

#include <initializer_list>

namespace protask {

namespace {

struct BillTypeRow {
    std::initializer_list<int> types;
    const char *form;
    const char *list; // empty: header only
    const char *caption;
};

// The spelling of each table name is kept as the suite writes it.
const BillTypeRow kBillTypes[] = {
    {{3001}, "t_purorderform", "t_purorderList", "采购订单"},
    {{3002, 3015}, "t_purform", "t_purList", "进货单"},
    {{3003}, "t_saleorderform", "t_saleorderList", "销售订单"},
    {{3004, 3016}, "t_saleoutform", "t_saleoutList", "出货单"},
    {{3005}, "t_saleoutform", "t_saleoutList", "零售单"},
    {{3006}, "t_saleforform", "t_saleforList", "代售单"},
    {{3007, 3013}, "t_receivepayform", "", "收款单"},
    {{3008, 3012}, "t_receivepayform", "", "付款单"},
    {{3010}, "t_feeform", "t_feeList", "费用单"},
    {{3011}, "t_inventoryform", "t_inventoryList", "盘点单"},
    {{3014}, "t_account", "", "收支单"},
    {{3017}, "t_returnform", "t_returnList", "返利单"},
    {{3018}, "t_transferform", "t_transferList", "调拨单"},
    {{3019}, "t_otheroutinform", "t_otheroutinList", "其它入库单"},
    {{3020}, "t_otheroutinform", "t_otheroutinList", "其它出库单"},
    {{3021}, "t_lossgainform", "t_lossgainList", "盘盈单"},
    {{3022}, "t_lossgainform", "t_lossgainList", "盘亏单"},
    {{3025}, "t_assemblyform", "t_assemblyList", "组装单"},
    {{3026}, "t_assemblyform", "t_assemblyList", "拆卸单"},
    {{3043}, "t_costadjustform", "t_costadjustList", "成本调价单"},
    {{3089}, "t_outpickingform", "t_outpickinglist", "生产领料单"},
    {{3090}, "t_infinishform", "t_infinishlist", "完工入库单"},
};

} // namespace

BillTypeTables GetBillTypeTables(int billType)
{
    if (billType < 3001 || billType > 3090)
        return {};
    for (const BillTypeRow &row : kBillTypes) {
        for (int t : row.types) {
            if (t == billType)
                return {QString::fromLatin1(row.form), QString::fromLatin1(row.list), QString::fromUtf8(row.caption)};
        }
    }
    return {};
}

StockOutFlags GetStockOutFlags(int billType)
{
    switch (billType) {
    case 3004:
    case 3005:
    case 3015:
    case 3018:
    case 3020:
    case 3022:
    case 3025:
    case 3026:
    case 3089: return {true, true};
    case 3003: return {false, true};
    default: return {};
    }
}

} // namespace protask
