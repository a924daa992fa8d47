#pragma once

// The data kinds of the common lookups and the tables that hold them. Header-only data: the
// library builds its dialogs from it and the loader answers the table a chosen record is read
// back from.

#include <QString>

namespace protask {

struct CommColumn {
    const char *field = nullptr;
    const char *caption = nullptr; // UTF-8
};

struct CommKind {
    int kind;
    const char *table;
    const char *where; // the rows a lookup offers; empty for all
    const char *name;  // what the data is called, UTF-8
    CommColumn extra[2];
};

// Every lookup lists FNo, FName and FCode, then the kind's extra columns.
inline constexpr CommKind kCommKinds[] = {
    {2001, "t_comUnit", "", "计量单位", {{"FNote", "备注"}}},
    {2003, "t_comProducts", "ifnull(FIsActive, 1) = 1", "商品", {{"FCurStock", "库存"}, {"FNote", "备注"}}},
    {2004,
     "t_comClient",
     "FType = 1 and ifnull(FIsActive, 1) = 1",
     "客户",
     {{"FContact", "联系人"}, {"FPhone", "电话"}}},
    {2005,
     "t_comClient",
     "FType = 2 and ifnull(FIsActive, 1) = 1",
     "供应商",
     {{"FContact", "联系人"}, {"FPhone", "电话"}}},
    {2006, "t_comEmployee", "", "职员", {{"FPhone", "电话"}}},
    {2007, "t_comStorehouse", "", "仓库", {{"FAddress", "地址"}}},
    {2008, "t_comItem", "", "收支项目", {{"FNote", "备注"}}},
    {2013, "t_comProducts", "ifnull(FIsActive, 1) = 1", "商品", {{"FCurStock", "库存"}, {"FNote", "备注"}}},
    {2014, "t_comdepartment", "", "部门", {{"FNote", "备注"}}},
    {2017, "t_comVIP", "", "会员", {{"FPhone", "电话"}, {"FDiscountRate", "折扣率"}}},
};

// The kind's row of the table; nullptr for a kind the lookups do not know.
inline const CommKind *FindCommKind(int kind)
{
    for (const CommKind &k : kCommKinds) {
        if (k.kind == kind)
            return &k;
    }
    return nullptr;
}

} // namespace protask
