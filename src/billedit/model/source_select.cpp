#include "billedit/model/source_select.h"

#include "core/values.h"

#include <QStringList>

namespace protask {

namespace {

// The lines of a sales order: what the sales order kinds list, one row per open line.
QString SaleOrderLinesHead(const SourceKind &kind)
{
    return QStringLiteral(
               "select  distinct T1.FID,T1.FTypeID,T1.FBillDate,T1.FBillNo,T1.FClientID, T1.FDeliverDate,T1.FSaleEmpID,T1.FAddr,T1.FSettlementID, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FFinishType,T1.FAmount,T1.FDiscountAmount,T1.FDiscountRate, T1.FReceiveAmount , T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as TFClientCode, T3.FNo as FSaleEmpNo, T3.FName as FSaleEmpName, T3.FCode as FSaleEmpCode, T5.FNo as FSettlementNo, T5.FName as FSettlementName, T5.FCode as FSettlementCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode, T7.FID as FListID,T7.FproductID,T7.FUnitID,T7.FBatchNo1,T7.FBatchNo2,T7.FBatchNo3,T7.FNumber,")
        + kind.finishColumn + QStringLiteral(" as FFinishNumber, T7.FPrice,T7.FAmount,T7.FNote as FListNote,")
        + kind.openQuantity
        + QStringLiteral(
               " as FUnFinishNumber,T8.FNo as FProductNo, T8.FName as FProductName, T8.FCode as FProductCode,T9.FNo as FUnitNo, T9.FName as FUnitName, T9.FCode as FUnitCode from ")
        + kind.headerTable
        + QStringLiteral(
               " T1 left join t_comClient T2 on t1.FClientID = T2.FID left join t_comEmployee T3 on T1.FSaleEmpID = T3.FID left join t_comItem T5 on T1.FSettlementID = T5.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join ")
        + kind.lineTable
        + QStringLiteral(
               "  T7 on T1.FID = T7.FFormID left join t_comProducts T8 on T7.FProductID = T8.FID left join t_comUnit T9 on T7.FUnitID = T9.FID ");
}

// The lines of a purchase order. The order's storehouse is T4 (its search matches the
// storehouse where the sales orders match the settlement method).
QString PurOrderLinesHead(const SourceKind &kind)
{
    return QStringLiteral(
               "select  distinct T1.FID,T1.FTypeID,T1.FBillDate,T1.FBillNo,T1.FClientID, T1.FDeliverDate,T1.FPurEmpID,T1.FStorehouseID,T1.FAddr,T1.FSettlementID, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FAmount,T1.FDiscountAmount,T1.FDiscountRate, T1.FPayAmount , T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as FClientCode, T3.FNo as FPurEmpNo, T3.FName as FPurEmpName, T3.FCode as FPurEmpCode, T4.FNo as FStorehouseNo, T4.FName as FStorehouseName, T4.FCode as FStorehouseCode, T5.FNo as FSettlementNo, T5.FName as FSettlementName, T5.FCode as FSettlementCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode, T7.FID as FListID,T7.FProductID,T7.FUnitID,T7.FBatchNo1,T7.FBatchNo2,T7.FBatchNo3,T7.FNumber,")
        + kind.finishColumn + QStringLiteral(" as FFinishNumber, T7.FPrice,T7.FAmount,T7.FNote as FListNote,")
        + kind.openQuantity
        + QStringLiteral(
               " as FUnFinishNumber,T8.FNo as FProductNo, T8.FName as FProductName, T8.FCode as FProductCode,T9.FNo as FUnitNo, T9.FName as FUnitName, T9.FCode as FUnitCode from ")
        + kind.headerTable
        + QStringLiteral(
               " T1 left join t_comClient T2 on T1.FClientID = T2.FID left join t_comEmployee T3 on T1.FPurEmpID = T3.FID left join t_comStorehouse T4 on T1.FStorehouseID = T4.FID left join t_comItem T5 on T1.FSettlementID = T5.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join ")
        + kind.lineTable
        + QStringLiteral(
               "  T7 on T1.FID = T7.FFormID left join t_comProducts T8 on T7.FProductID = T8.FID left join t_comUnit T9 on T7.FUnitID = T9.FID ");
}

// Whole sales-out bills, one row each, with what is still open of their amount.
QString SaleOutBillsHead(const SourceKind &kind)
{
    return QStringLiteral(
               "select  distinct T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FClientID, T1.FStorehouseID,T1.FSaleEmpID,T1.FAddr,T1.FSettlementID, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FAmount,T1.FDiscountAmount,T1.FDiscountRate, T1.FReceiveAmount,T1.FOrderAmount,T1.FFinishAmount,")
        + kind.openQuantity
        + QStringLiteral(
               " as FUnFinishAmount, T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as FClientCode, T3.FNo as FSaleEmpNo, T3.FName as FSaleEmpName, T3.FCode as FSaleEmpCode, T4.FNo as FStorehouseNo, T4.FName as FStorehouseName, T4.FCode as FStorehouseCode, T5.FNo as FSettlementNo, T5.FName as FSettlementName, T5.FCode as FSettlementCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode from ")
        + kind.headerTable
        + QStringLiteral(
               " T1 left join t_comClient T2 on T1.FClientID = T2.FID left join t_comEmployee T3 on T1.FSaleEmpID = T3.FID left join t_comStorehouse T4 on T1.FStorehouseID = T4.FID left join t_comItem T5 on T1.FSettlementID = T5.FID left join t_comUser T6 on T1.FBillerID = T6.FID ");
}

// Whole purchase receipts, one row each, with what is still open of their amount.
QString PurBillsHead(const SourceKind &kind)
{
    return QStringLiteral(
               "select  distinct T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FClientID, T1.FStorehouseID,T1.FPurEmpID,T1.FReceiveEmpID,T1.FSettlementID, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FAmount,T1.FDiscountAmount,T1.FDiscountRate, T1.FPayAmount,T1.FOrderAmount,T1.FFinishAmount,")
        + kind.openQuantity
        + QStringLiteral(
               " as FUnFinishAmount, T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as FClientCode, T3.FNo as FPurEmpNo, T3.FName as FPurEmpName, T3.FCode as FPurEmpCode, T4.FNo as FStorehouseNo, T4.FName as FStorehouseName, T4.FCode as FStorehouseCode, T5.FNo as FSettlementNo, T5.FName as FSettlementName, T5.FCode as FSettlementCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode from ")
        + kind.headerTable
        + QStringLiteral(
               " T1 left join t_comClient T2 on T1.FClientID = T2.FID left join t_comEmployee T3 on T1.FPurEmpID = T3.FID left join t_comStorehouse T4 on T1.FStorehouseID = T4.FID left join t_comItem T5 on T1.FSettlementID = T5.FID left join t_comUser T6 on T1.FBillerID = T6.FID ");
}

// Production tasks. A task makes one product, so the task is its own line: FListID is the
// task's key, its product and quantity are those of the line.
QString ProTaskHead(const SourceKind &kind)
{
    return QStringLiteral(
               "select  distinct T1.FID,T1.FTypeID,T1.FBillDate,T1.FBillNo,T1.FProDate,T1.FClientID,T1.FManagerID,T1.FDeptID, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,T1.FCheckerDate, T1.FNote,T1.FFromBillNo, T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as FClientCode, T3.FNo as FManagerNo, T3.FName as FManagerName, T3.FCode as FManagerCode, T5.FNo as FDepartNo, T5.FName as FDepartName, T5.FCode as FDepartCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode, T1.FID as FListID,T1.FProductID,T1.FUnitID,T1.FBatchNo as FBatchNo1,T1.FNumber,")
        + kind.finishColumn + QStringLiteral(" as FFinishNumber, T1.FPrice,T1.FAmount,") + kind.openQuantity
        + QStringLiteral(
               " as FUnFinishNumber,T8.FNo as FProductNo, T8.FName as FProductName, T8.FCode as FProductCode,T9.FNo as FUnitNo, T9.FName as FUnitName, T9.FCode as FUnitCode from ")
        + kind.headerTable
        + QStringLiteral(
               " T1 left join t_comClient T2 on T1.FClientID = T2.FID left join t_comEmployee T3 on T1.FManagerID = T3.FID left join t_comdepartment T5 on T1.FDeptID = T5.FID left join t_comUser T6 on T1.FBillerID = T6.FID left join t_comProducts T8 on T1.FProductID = T8.FID left join t_comUnit T9 on T1.FUnitID = T9.FID ");
}

// The hidden keys lead every list; the user sees the rest.
const SourceColumns kSaleOrderColumns{
    QStringLiteral("FID,FListID,FClientID,FBillDate,FBillNo,FClientName,FSaleEmpName,FProductNo,FProductName,FUnitName,"
                   "FBatchNo1,FNumber,FFinishNumber,FUnFinishNumber,FPrice,FAmount,FListNote,FNote"),
    QStringLiteral("FID,FListID,FClientID,单据日期,单据编号,客户,业务员,商品编码,商品名称,单位,批号,数量,已完成数量,"
                   "未完成数量,单价,金额,备注,单据备注"),
    QStringLiteral(",,,5,,,,,,,,2,2,2,3,7,,"), QStringLiteral("0,0,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1"),
    QStringLiteral("10,10,10,80,120,150,70,90,150,50,80,80,80,80,80,90,120,120")};

const SourceColumns kPurOrderColumns{
    QStringLiteral("FID,FListID,FClientID,FBillDate,FBillNo,FClientName,FPurEmpName,FStorehouseName,FProductNo,"
                   "FProductName,FUnitName,FBatchNo1,FNumber,FFinishNumber,FUnFinishNumber,FPrice,FAmount,FListNote,"
                   "FNote"),
    QStringLiteral("FID,FListID,FClientID,单据日期,单据编号,供应商,采购员,仓库,商品编码,商品名称,单位,批号,数量,"
                   "已完成数量,未完成数量,单价,金额,备注,单据备注"),
    QStringLiteral(",,,5,,,,,,,,,2,2,2,3,7,,"), QStringLiteral("0,0,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1"),
    QStringLiteral("10,10,10,80,120,150,70,80,90,150,50,80,80,80,80,80,90,120,120")};

const SourceColumns kSaleOutColumns{
    QStringLiteral("FID,FClientID,FBillDate,FBillNo,FClientName,FSaleEmpName,FStorehouseName,FAmount,FReceiveAmount,"
                   "FOrderAmount,FFinishAmount,FUnFinishAmount,FNote"),
    QStringLiteral(
        "FID,FClientID,单据日期,单据编号,客户,业务员,仓库,金额,已收金额,已订金额,已完成金额,未完成金额,备注"),
    QStringLiteral(",,5,,,,,7,7,7,7,7,"), QStringLiteral("0,0,1,1,1,1,1,1,1,1,1,1,1"),
    QStringLiteral("10,10,80,120,150,70,80,90,90,90,90,90,150")};

const SourceColumns kPurColumns{
    QStringLiteral("FID,FClientID,FBillDate,FBillNo,FClientName,FPurEmpName,FStorehouseName,FAmount,FPayAmount,"
                   "FOrderAmount,FFinishAmount,FUnFinishAmount,FNote"),
    QStringLiteral(
        "FID,FClientID,单据日期,单据编号,供应商,采购员,仓库,金额,已付金额,已订金额,已完成金额,未完成金额,备注"),
    QStringLiteral(",,5,,,,,7,7,7,7,7,"), QStringLiteral("0,0,1,1,1,1,1,1,1,1,1,1,1"),
    QStringLiteral("10,10,80,120,150,70,80,90,90,90,90,90,150")};

const SourceColumns kProTaskColumns{
    QStringLiteral("FID,FListID,FClientID,FBillDate,FBillNo,FClientName,FDepartName,FManagerName,FProductNo,"
                   "FProductName,FUnitName,FBatchNo1,FNumber,FFinishNumber,FUnFinishNumber,FPrice,FAmount,FNote"),
    QStringLiteral("FID,FListID,FClientID,单据日期,单据编号,客户,部门,负责人,商品编码,商品名称,单位,批号,数量,"
                   "已完成数量,未完成数量,单价,金额,备注"),
    QStringLiteral(",,,5,,,,,,,,,2,2,2,3,7,"), QStringLiteral("0,0,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1"),
    QStringLiteral("10,10,10,80,120,150,80,70,90,150,50,80,80,80,80,80,90,150")};

const QString kByDateNumberProduct = QStringLiteral(" order by T1.FBillDate,T1.FBillNo, T8.FNo");
const QString kByDateNumber = QStringLiteral(" order by T1.FBillDate,T1.FBillNo");

} // namespace

const QList<SourceKind> &SourceKinds()
{
    // clang-format off
    static const QList<SourceKind> kinds{
        {3050, QStringLiteral("采购订单选择"), QStringLiteral("t_PurOrderForm"), QStringLiteral("t_PurOrderList"),
         QStringLiteral("FListID"), QStringLiteral("FClientName"), QStringLiteral("T7.FFinishNumber"),
         QStringLiteral("IfNull(T7.FNumber,0) - IfNull(T7.FFinishNumber,0)"), QStringLiteral("T2,T3,T4,T8"),
         kByDateNumberProduct, PurOrderLinesHead, &kPurOrderColumns},
        {3051, QStringLiteral("销售订单选择"), QStringLiteral("t_SaleOrderForm"), QStringLiteral("t_SaleOrderList"),
         QStringLiteral("FListID"), QStringLiteral("FClientName"), QStringLiteral("T7.FFinishNumber"),
         QStringLiteral("IfNull(T7.FNumber,0) - IfNull(T7.FFinishNumber,0)"), QStringLiteral("T2,T3,T5,T8"),
         kByDateNumberProduct, SaleOrderLinesHead, &kSaleOrderColumns},
        {3053, QStringLiteral("出货单选择"), QStringLiteral("t_SaleOutForm"), QString(),
         QStringLiteral("FID"), QString(), QString(),
         QStringLiteral("IfNull(T1.FAmount,0) - IfNull(T1.FReceiveAmount,0) - IfNull(T1.FOrderAmount,0) - IfNull(T1.FFinishAmount,0)"),
         QString(), kByDateNumber, SaleOutBillsHead, &kSaleOutColumns},
        {3054, QStringLiteral("进货单选择"), QStringLiteral("t_PurForm"), QString(),
         QStringLiteral("FID"), QString(), QString(),
         QStringLiteral("IfNull(T1.FAmount,0) - IfNull(T1.FPayAmount,0) - IfNull(T1.FOrderAmount,0) - IfNull(T1.FFinishAmount,0)"),
         QString(), kByDateNumber, PurBillsHead, &kPurColumns},
        {3055, QStringLiteral("销售订单选择"), QStringLiteral("t_ProTaskForm"), QString(),
         QStringLiteral("FListID"), QString(), QStringLiteral("T1.FFinishNumber"),
         QStringLiteral("IfNull(T1.FNumber,0) - IfNull(T1.FFinishNumber,0)"), QStringLiteral("T2,T3,T5,T8"),
         kByDateNumberProduct, ProTaskHead, &kProTaskColumns},
        {3056, QStringLiteral("销售订单选择"), QStringLiteral("t_SaleOrderForm"), QStringLiteral("t_SaleOrderList"),
         QStringLiteral("FListID"), QStringLiteral("FClientName"), QStringLiteral("T7.FProtaskFinishNumber"),
         QStringLiteral("IfNull(T7.FNumber,0) - IfNull(T7.FProtaskFinishNumber,0)"), QStringLiteral("T2,T3,T5,T8"),
         kByDateNumberProduct, SaleOrderLinesHead, &kSaleOrderColumns},
        {3057, QStringLiteral("生产任务单选择"), QStringLiteral("t_ProTaskForm"), QString(),
         QStringLiteral("FListID"), QStringLiteral("FDepartName"), QStringLiteral("T1.FFinishNumber"),
         QStringLiteral("IfNull(T1.FNumber,0) - IfNull(T1.FFinishNumber,0)"), QStringLiteral("T2,T8"),
         kByDateNumberProduct, ProTaskHead, &kProTaskColumns},
        {3058, QStringLiteral("生产任务单选择"), QStringLiteral("t_ProTaskForm"), QString(),
         QStringLiteral("FListID"), QStringLiteral("FDepartName"), QStringLiteral("T1.FFinishNumber"),
         QStringLiteral("IfNull(T1.FNumber,0) - IfNull(T1.FFinishNumber,0)"), QStringLiteral("T2,T8"),
         kByDateNumber, ProTaskHead, &kProTaskColumns},
    };
    // clang-format on
    return kinds;
}

const SourceKind *FindSourceKind(int billTypeId)
{
    for (const SourceKind &kind : SourceKinds()) {
        if (kind.billTypeId == billTypeId)
            return &kind;
    }
    return nullptr;
}

QString SourceSelectSql(const SourceKind &kind, const QDate &start, const QDate &end, const QString &findCondition,
                        int clientId, const QSqlDatabase &db)
{
    const QString dateFormat = QStringLiteral("yyyy-MM-dd");
    // FBillDate holds the time of day too: the upper bound is the day after the end date,
    // so that a bill made in the afternoon of the end day is listed.
    QString sql = kind.head(kind) + QStringLiteral(" where T1.FIsChecked = 1 and T1.FBillDate >= ")
        + QuotedStr(start.toString(dateFormat), db) + QStringLiteral(" and T1.FBillDate < ")
        + QuotedStr(end.addDays(1).toString(dateFormat), db) + QStringLiteral(" and ") + kind.openQuantity
        + QStringLiteral(" > 0 ") + findCondition;
    if (clientId != 0)
        sql += QStringLiteral(" and T2.FID = ") + sqlNumber(clientId);
    return sql + kind.orderBy;
}

QString SourceFindCondition(const SourceKind &kind, const QString &text, const QString &current, const QSqlDatabase &db)
{
    const QString wanted = text.trimmed().toUpper();
    if (wanted.isEmpty())
        return QString();
    if (kind.findAliases.isEmpty())
        return current;
    const QString pattern = QuotedLikeContains(wanted, db);
    QStringList matches{QStringLiteral("T1.FBillNo like ") + pattern};
    for (const QString &alias : kind.findAliases.split(u',')) {
        for (const QString &field : {QStringLiteral("FNo"), QStringLiteral("FName"), QStringLiteral("FCode")})
            matches << alias + u'.' + field + QStringLiteral(" like ") + pattern;
    }
    return QStringLiteral(" and(") + matches.join(QStringLiteral(" or ")) + u')';
}

int FirstDifferingValue(const QList<QVariant> &values)
{
    for (int i = 1; i < values.size(); ++i) {
        if (values.at(i).toString() != values.first().toString())
            return i;
    }
    return -1;
}

QString SameValueWarning(const QString &caption)
{
    return QStringLiteral("不能同时选择不同[") + caption + QStringLiteral("]的记录");
}

QString JoinKeyValues(const QList<QVariant> &values)
{
    QStringList keys;
    for (const QVariant &value : values) {
        if (!IsBlankValue(value))
            keys << sqlNumber(value.toLongLong());
    }
    return keys.join(u',');
}

} // namespace protask
