#include "billlist/model/list_tables.h"

#include "core/values.h"
#include "platform/db.h"

#include <initializer_list>
#include <iterator>
#include <stdexcept>

namespace protask {

namespace {

QString text(const char *s) { return QString::fromUtf8(s); }

struct ActionRow {
    ListAction action;
    const char *name;
    const char *caption;
    const char *hint;
    const char *shortcut;
    const char *button;
    const char *guardButton;
    int rightOperation;
    bool needsRow;
};

// clang-format off
const ActionRow kActions[] = {
    //                                                                                                         right row
    {ListAction::Add,            "actAdd",             "  新增  ", "新增(Ctrl +N)",      "Ctrl+N", "advBtn_Add",       "advBtn_Add",       1, false},
    {ListAction::AddReturn,      "act_AddRed",         "新增退货", "",                   "",       "advBtn_AddRed",    "advBtn_Add",       0, false},
    {ListAction::Edit,           "actEdit",            "修改",     "修改(Ctrl +E)",      "Ctrl+E", "advBtn_Edit",      "advBtn_Edit",      5, true},
    {ListAction::Display,        "actDisplay",         "查看",     "查看(Ctrl + F)",     "Ctrl+F", "advBtn_Display",   "advBtn_Display",   6, true},
    {ListAction::Delete,         "actDel",             "删除",     "删除(Ctrl +D)",      "Ctrl+D", "advBtn_Del",       "advBtn_Del",       7, true},
    {ListAction::Check,          "act_Check",          "审核",     "",                   "",       "advBtn_Check",     "advBtn_Check",     3, true},
    {ListAction::UnCheck,        "act_UnCheck",        "反审核",   "",                   "",       "advBtn_UnCheck",   "advBtn_UnCheck",   4, true},
    {ListAction::Print,          "actPrint",           "打印",     "打印(Ctrl + P)",     "Ctrl+P", "advBtn_Print",     "advBtn_Print",     8, false},
    // preview follows the print right
    {ListAction::Preview,        "actPreview",         "预览",     "打印预览(Ctrl + L)", "Ctrl+L", "advBtn_Preview",   "advBtn_Preview",   8, false},
    {ListAction::ExportOut,      "actExportOut",       "导出",     "导出(Ctrl + O)",     "Ctrl+O", "advBtn_ExportOut", "advBtn_ExportOut", 10, false},
    {ListAction::CreateVoucher,  "act_CreateVoucher",  "生成凭证", "",                   "",       "",                 "",                 0, true},
    {ListAction::DisplayVoucher, "act_DisplayVoucher", "显示凭证", "",                   "",       "",                 "",                 0, true},
    {ListAction::Refresh,        "actRefresh",         "刷新",     "刷新(F5)",           "F5",     "",                 "",                 0, false},
    {ListAction::Help,           "actHelp",            "帮助",     "查看帮助(F1)",       "F1",     "advbtn_Help",      "",                 0, false},
    {ListAction::Close,          "act_Close",          "退出",     "退出(Ctrl + Q)",     "Ctrl+Q", "advBtn_Close",     "",                 0, false},
};

struct ListTypeRow {
    std::initializer_list<int> types;
    const char *title;
    const char *findHint;
    bool addReturn;
    bool voucher;
};

const ListTypeRow kListTypes[] = {
    //                                                                                                       return voucher
    {{3001},       "采购订单列表",   "请输入单据编号或供应商名称或采购人或收货人或产品名称",               false, false},
    {{3002, 3015}, "进货单列表",     "请输入单据编号或供应商名称或仓库或采购人或收货人或产品名称",         true,  true},
    {{3003},       "销售订单列表",   "请输入单据编号或客户名称或业务员或产品名称",                         false, false},
    {{3004, 3016}, "出货单列表",     "请输入单据编号或客户名称或仓库或销货人或产品名称",                   true,  true},
    {{3005},       "零售单列表",     "请输入单据编号或VIP名称或仓库或制单人或产品名称",                    false, true},
    {{3006},       "代售单列表",     "请输入单据编号或代售商或客户名称或销货人或产品名称",                 false, true},
    {{3010},       "费用单列表",     "请输入单据编号或单据日期或费用金额或供应商名称或费用项目",           false, false},
    {{3011},       "盘点单列表",     "请输入单据编号或仓库名称或产品名称",                                 false, true},
    {{3017},       "返利单列表",     "请输入单据编号或供应商名称或产品名称",                               false, false},
    {{3018},       "调拨单列表",     "请输入单据编号或调入仓库或调出仓库或经办人或收货人或产品名称",       false, false},
    {{3019},       "其它入库单列表", "请输入单据编号或客户或仓库或收货人或产品名称",                       false, true},
    {{3020},       "其它出库单列表", "请输入单据编号或供应商或仓库或收货人或产品名称",                     false, true},
    {{3021},       "报溢单列表",     "请输入单据编号经办人或仓库或产品名称",                               false, true},
    {{3022},       "报损单列表",     "请输入单据编号经办人或仓库或产品名称",                               false, true},
    {{3025},       "组装单列表",     "请输入单据编号或仓库或产品名称",                                     false, false},
    {{3026},       "拆卸单列表",     "请输入单据编号或仓库或产品名称",                                     false, false},
    {{3041},       "销售收款单列表", "请输入单据编号或客户",                                               false, true},
    {{3042},       "采购付款单列表", "请输入单据编号或供应商",                                             false, true},
    {{3043},       "成本调价单列表", "请输入单据编号或产品名称",                                           false, false},
    {{3049},       "生产任务单列表", "请输入单据编号或客户名称或经办人或产品名称",                         false, false},
    {{3089},       "生产领料单列表", "请输入单据编号或部门或领料人或产品名称",                             false, false},
    {{3090},       "完工入库单列表", "请输入单据编号或部门或领料人或产品名称",                             false, false},
};

// The searched columns after T1.FBillNo and T1.FNote, which every list searches first.
// Shorthand: H the header's custom fields T1.FFormDefined1..3; L:Tn the line custom fields
// Tn.FListDefined1..3; P:Tn the product custom fields Tn.FProductDefined1..3; N:Tn the alias's
// FNo, FName, FCode; anything else is a column as written.
struct SearchRow {
    std::initializer_list<int> types;
    const char *columns;
};

const SearchRow kSearchColumns[] = {
    {{3001, 3002, 3015}, "H L:T7 P:T8 N:T2 T2.FPhone T2.FTel N:T3 N:T4 N:T8"},
    {{3003},             "H L:T7 P:T8 N:T2 T2.FPhone T2.FTel N:T3 N:T8"},
    {{3004, 3016},       "H T1.FClientContact T1.FClientPhone L:T7 P:T8 N:T2 N:T3 N:T4 N:T8"},
    {{3005},             "N:T2 N:T3 N:T4 N:T8 N:T3"},
    {{3006},             "H L:T7 P:T8 N:T2 N:T3 N:T4 N:T8"},
    {{3019, 3020},       "H L:T10 P:T8 N:T2 N:T3 N:T4 N:T8"},
    {{3010},             "H L:T4 T1.FAmount T1.FBillDate T1.FNote N:T2 N:T5"},
    {{3011},             "H L:T7 P:T8 N:T3 N:T8"},
    {{3017},             "H L:T4 P:T5 N:T3 N:T5"},
    {{3018},             "H L:T10 P:T8 N:T2 N:T21 N:T3 N:T4 N:T8"},
    {{3021, 3022},       "H L:T7 P:T8 N:T2 N:T3 N:T8"},
    {{3025, 3026},       "H L:T11 P:T12 N:T2 N:T3 N:T12 N:T11"},
    {{3041, 3042},       "H L:T11 P:T12 N:T2 N:T3"},
    {{3043},             "H L:T11 P:T12 N:T12"},
    {{3049},             "H L:T11 P:T12 N:T2 N:T3 N:T8 N:T12"},
    {{3089},             "H L:T11 P:T12 N:T3 N:T8 N:T12"},
    {{3090},             "H L:T11 P:T12 N:T3 N:T8 N:T9 N:T12"},
};

struct ReferenceRow {
    int billType;
    bool onLines;
    const char *counterColumn;
    const char *message;
    bool stops;
};

const ReferenceRow kReferenceTests[] = {
    {3001, true,  "FFinishNumber",         "该单据已经被进货单引用,不能删除！",     false},
    {3002, true,  "FFinishNumber",         "该单据已经被付款单引用,不能删除！",     false},
    {3003, true,  "FFinishNumber",         "该单据已经被出货单引用,不能删除！",     false},
    {3003, true,  "FPurOrderFinishNumber", "该单据已经被采购订单引用,不能删除！",   false},
    {3003, true,  "FProtaskFinishNumber",  "该单据已经被生产任务单引用,不能删除！", true},
    {3004, true,  "FFinishNumber",         "该单据已经被收款单引用,不能删除！",     false},
    {3049, true,  "FFinishNumber",         "该单据已经被生产领料单引用,不能删除！", true},
    {3049, false, "FFinishNumber",         "该单据已经被完工入库单引用,不能删除！", true},
};

// Lists of two kinds: the first kind, the second, and whether check and uncheck resolve the
// row's kind too (elsewhere only edit and display do).
struct KindPair {
    int first;
    int second;
    bool forPosting;
};

const KindPair kKindPairs[] = {
    {3002, 3015, true},  {3004, 3016, true},  {3019, 3020, false},
    {3021, 3022, false}, {3025, 3026, false}, {3041, 3042, false},
};
// clang-format on

const int kRedReturnLists[] = {3002, 3004, 3015, 3016};

template <typename Row>
const Row *findByType(const Row *begin, const Row *end, int billType)
{
    for (const Row *row = begin; row != end; ++row) {
        for (int t : row->types) {
            if (t == billType)
                return row;
        }
    }
    return nullptr;
}

QList<ListActionInfo> buildActionTable()
{
    QList<ListActionInfo> list;
    for (const ActionRow &r : kActions)
        list.append({r.action, QString::fromLatin1(r.name), text(r.caption), text(r.hint),
                     QString::fromLatin1(r.shortcut), QString::fromLatin1(r.button), QString::fromLatin1(r.guardButton),
                     r.rightOperation, r.needsRow});
    return list;
}

QList<BillListType> buildListTypes()
{
    QList<BillListType> list;
    for (const ListTypeRow &r : kListTypes) {
        for (int t : r.types)
            list.append({t, text(r.title), text(r.findHint), r.addReturn, r.voucher});
    }
    return list;
}

void appendShorthand(QStringList &columns, const QString &token)
{
    const auto three = [&](const QString &alias, const char *stem) {
        for (int i = 1; i <= 3; ++i)
            columns << alias + QLatin1Char('.') + QLatin1String(stem) + QString::number(i);
    };
    if (token == u"H") {
        three(QStringLiteral("T1"), "FFormDefined");
    } else if (token.startsWith(u"L:")) {
        three(token.mid(2), "FListDefined");
    } else if (token.startsWith(u"P:")) {
        three(token.mid(2), "FProductDefined");
    } else if (token.startsWith(u"N:")) {
        const QString alias = token.mid(2);
        columns << alias + QStringLiteral(".FNo") << alias + QStringLiteral(".FName")
                << alias + QStringLiteral(".FCode");
    } else {
        columns << token;
    }
}

} // namespace

const QList<ListActionInfo> &ListActionTable()
{
    static const QList<ListActionInfo> table = buildActionTable();
    return table;
}

const ListActionInfo &ListActionInfoOf(ListAction action)
{
    for (const ListActionInfo &info : ListActionTable()) {
        if (info.action == action)
            return info;
    }
    return ListActionTable().constFirst(); // every action has a row
}

const BillListType *FindBillListType(int billType)
{
    static const QList<BillListType> types = buildListTypes();
    for (const BillListType &t : types) {
        if (t.billType == billType)
            return &t;
    }
    return nullptr;
}

QString BillListTitle(int billType)
{
    const BillListType *t = FindBillListType(billType);
    return t ? t->title : QString();
}

QStringList ListSearchColumns(int billType)
{
    const SearchRow *row = findByType(std::begin(kSearchColumns), std::end(kSearchColumns), billType);
    if (!row)
        return {};
    QStringList columns{QStringLiteral("T1.FBillNo"), QStringLiteral("T1.FNote")};
    for (const QString &token : QString::fromLatin1(row->columns).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        appendShorthand(columns, token);
    return columns;
}

QList<ListReferenceTest> ListReferenceTests(int billType)
{
    QList<ListReferenceTest> tests;
    for (const ReferenceRow &r : kReferenceTests) {
        if (r.billType == billType)
            tests.append({r.onLines, QString::fromLatin1(r.counterColumn), text(r.message), r.stops});
    }
    return tests;
}

QString ListReferenceCondition(const ListReferenceTest &test, int billId)
{
    return (test.onLines ? QStringLiteral(" where FFormID = ") : QStringLiteral(" where FID = ")) + sqlNumber(billId)
        + QStringLiteral(" and IfNull(") + test.counterColumn + QStringLiteral(",0) > 0 ");
}

int EffectiveBillType(int listBillType, ListAction action, const QVariant &rowBillTypeId)
{
    const bool posting = action == ListAction::Check || action == ListAction::UnCheck || action == ListAction::Delete;
    const bool opening = action == ListAction::Edit || action == ListAction::Display;
    if (!posting && !opening)
        return listBillType;
    int kind = 0;
    try {
        kind = ValueToInt(rowBillTypeId);
    } catch (const std::invalid_argument &) {
        kind = 0;
    }
    for (const KindPair &p : kKindPairs) {
        if (listBillType != p.first && listBillType != p.second)
            continue;
        if (posting)
            return p.forPosting ? (kind == 2 ? p.second : p.first) : listBillType;
        return kind == 1 ? p.first : kind == 2 ? p.second : listBillType;
    }
    return listBillType;
}

ListRowColour ListRowColourOf(int listBillType, const QVariant &rowBillTypeId)
{
    for (int t : kRedReturnLists) {
        if (t == listBillType)
            return rowBillTypeId.toString().trimmed() == u"2" ? ListRowColour::Red : ListRowColour::Default;
    }
    return ListRowColour::Default;
}

} // namespace protask
