#include "printing/print_setup.h"

#include "core/sql_helpers.h"
#include "platform/db.h"
#include "platform/program_folder.h"

namespace protask {

namespace {

struct TitleRow {
    int billType;
    const char *single;
    const char *list;
};

// Template titles by bill type; nullptr where the bill type has no template of that kind.
const TitleRow kTitles[] = {
    {3001, "采购订单", "采购订单列表"},
    {3002, "进货单", "进货单列表"},
    {3015, "采购退货单", "进货单列表"},
    {3003, "销售订单", "销售订单列表"},
    {3004, "出货单", "出货单列表"},
    {3016, "销售退货单", "出货单列表"},
    {3005, "零售单", nullptr},
    {3006, "代售单", "代售单列表"},
    {3007, nullptr, "客户欠款明细"},
    {3034, nullptr, "客户欠款明细"},
    {3008, nullptr, "供应商欠款明细"},
    {3032, nullptr, "供应商欠款明细"},
    {3010, "费用单", "费用单列表"},
    {3011, "盘点单", "盘点单列表"},
    {3012, nullptr, "付款明细列表"},
    {3013, nullptr, "收款明细列表"},
    {3014, nullptr, "收支明细列表"},
    {3017, "返利单", "返利单列表"},
    {3018, "调拨单", "调拨单列表"},
    {3019, "其它入库单", "其它入库单列表"},
    {3020, "其它出库单", "其它出库单列表"},
    {3021, "报溢单", "报溢单列表"},
    {3022, "报损单", "报损单列表"},
    {3025, "组装单", "组装单列表"},
    {3026, "拆卸单", "拆卸单列表"},
    {3027, "记帐凭证", "凭证管理列表"},
    {3036, nullptr, "付款单列表"},
    {3042, "采购付款单", "付款单列表"},
    {3037, nullptr, "收款单列表"},
    {3041, "销售收款单", "收款单列表"},
    {3038, nullptr, "其它应付款单列表"},
    {3039, nullptr, "其它应收款单列表"},
    {3043, "成本调价单", "成本调价单列表"},
    {3049, "生产任务单", "生产任务单列表"},
    {3089, "生产领料单", "生产领料单列表"},
    {3090, "完工入库单", "完工入库单列表"},
};

// The production task's print query: the header with its product, unit, biller, checker,
// department and manager, and every line with its product and units.
const char kProtaskQuery[] =
    "select  distinct T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo, T1.FProductID,T1.FNote as "
    "FFormNote,T1.FUnitID,T1.FNumber as FFormNumber,T1.FPrice as FFormPrice,T1.FAmount as FFormAmount "
    ",T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,T1.FCheckerDate, "
    "T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T1.FBatchNo as FFormBatchNo, T4.FNo as FFormProductNo, "
    "T4.FName as FFormProductName, T4.FCode as FFormProductCode, T5.FNo as FFormUnitNo, T5.FName as "
    "FFormUnitName, T5.FCode as FFormUnitCode, T6.FNo as FBillNo, T6.FName as FBillName, T6.FCode as "
    "FBillCode,T7.FName as FCheckName, T8.FNo as FDeptNo, T8.FName as FDeptName, T8.FCode as "
    "FDeptCode,T9.FNo as FManagerNo, T9.FName as FManagerName, T9.FCode as "
    "FManagerCode,T11.FListDefined1,T11.FListDefined2,T11.FListDefined3,T12.FProductDefined1,T12."
    "FProductDefined2,T12.FProductDefined3,T11.FSID,T11.FFormID,T11.FproductID,T11.FUnitID,T11.FBatchNo1,T11."
    "FKFDate,T11.FKFPeriod,T11.FPeriodDate, T11.FNumber,T11.FSingleNumber,T11.FPrice,T11.FNote as "
    "FNote,T11.FAmount  as FAmount,T12.FNo as FProductNo, T12.FName as FProductName, T14.FName as "
    "FStdUnitName, T13.FName as FUnitName from t_protaskform T1 left join t_comProducts T4 on T1.FProductID = "
    "T4.FID left join t_comUnit T5 on T1.FUnitID = T5.FID left join t_comUser T6 on T1.FBillerID = T6.FID "
    "left join t_comUser T7 on T1.FCheckerID = T7.FID left join t_protasklist T11 on T1.FID = T11.FFormID "
    "inner join t_comProducts T12 on T11.FproductID = T12.FID left join t_comUnit T13 on T11.FUnitID = "
    "T13.FID left join t_comUnit T14 on T12.FStdUnitID = T14.FID left join t_comdepartment T8 on T1.FDeptID "
    "= T8.FID left join t_comEmployee T9 on T1.FManagerID = T9.FID  where T1.FID = ";

const QString kVaneIni = QStringLiteral("vane.ini");

} // namespace

QString PrintTitle(int billType, bool listMode)
{
    for (const TitleRow &row : kTitles)
        if (row.billType == billType) {
            const char *title = listMode ? row.list : row.single;
            return title ? QString::fromUtf8(title) : QString();
        }
    return QString();
}

QString PrintCaption(int billType, bool listMode)
{
    if (listMode && billType == 3014)
        return QStringLiteral("收支明细");
    if (listMode && billType == 3027)
        return QStringLiteral("凭证管理");
    return PrintTitle(billType, listMode);
}

QString PrintStyleSuffix(int printStyle)
{
    switch (printStyle) {
    case 1: return QStringLiteral("(标准)");
    case 2: return QStringLiteral("(中)");
    case 3: return QStringLiteral("(小)");
    default: return QString();
    }
}

QString PrintTemplateFileName(int billType, bool listMode, int printStyle)
{
    return PrintTitle(billType, listMode) + (listMode ? QString() : PrintStyleSuffix(printStyle))
        + QStringLiteral(".grf");
}

QString PrintTemplatePath(const QString &fileName) { return ProgramPath(QStringLiteral("Reports/Bill/") + fileName); }

QString PrintTemplateBackupPath(const QString &fileName, const QString &backupFolder)
{
    const QString folder = backupFolder.isEmpty() ? QStringLiteral("BillBak") : backupFolder;
    return ProgramPath(QStringLiteral("Reports/") + folder + QLatin1Char('/') + fileName);
}

bool PrintCompany::incomplete() const
{
    return name.trimmed().isEmpty() || tel.trimmed().isEmpty() || addr.trimmed().isEmpty();
}

QString PrintCompany::addressLine() const { return QStringLiteral("地址:") + addr + QStringLiteral("   电话:") + tel; }

PrintCompany ReadPrintCompany(const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select * from t_comCompany "));
    PrintCompany c;
    if (q.isEmpty())
        return c;
    q.first();
    c.name = q.fieldByName(QStringLiteral("FName")).toString();
    c.tel = q.fieldByName(QStringLiteral("FTel")).toString();
    c.addr = q.fieldByName(QStringLiteral("FAddress")).toString();
    return c;
}

QString PrintDataQuery(int billType, int billId)
{
    if (billType == 3049)
        return QLatin1String(kProtaskQuery) + sqlNumber(billId) + QStringLiteral(" order by T11.FSID");
    return QString();
}

bool ReadAppendBlankRow()
{
    return ReadIniValue(kVaneIni, QStringLiteral("Main"), QStringLiteral("AppendBlankRow"), false).toBool();
}

void WriteAppendBlankRow(bool on)
{
    if (!WriteIniValue(kVaneIni, QStringLiteral("Main"), QStringLiteral("AppendBlankRow"), on))
        LogFailure(QStringLiteral("写入 vane.ini 失败"));
}

} // namespace protask
