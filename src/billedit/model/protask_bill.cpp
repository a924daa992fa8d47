#include "billedit/model/protask_bill.h"

namespace protask {

QString ProtaskHeaderSql(int billId)
{
    return QStringLiteral(
               "select  distinct T1.FID,T1.FTypeID,T1.FBillDate,T1.FProDate,T1.FBillno,T1.FBatchNo,T1.FClientID, "
               "T1.FManagerID,T1.FDeptID,T1.FFinishNumber, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,"
               "T1.FCheckerDate, T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T1.FNote,T1.Fnumber,T1.Fprice,"
               "T1.Famount ,T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as TFClientCode, T3.FNo as "
               "FManagerNo, T3.FName as FManager, T3.FCode as FManagerCode, T4.FNo as FDeptNo, T4.FName as FDeptName, "
               "T4.FCode as FDeptCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName "
               "as FCheckName , null as FCashName,null as FFormDefined1,null as FFormDefined2,null as FFormDefined3 "
               ",FFromBillTypeID,FFromBillID,FFromBillNo,FFromListID,T8.FName as FProductName,T9.FName as FUnitName "
               "from t_ProTaskForm T1  left join t_comClient T2 on t1.FClientID = T2.FID  left join t_comEmployee T3 "
               "on T1.FManagerID = T3.FID  left join t_comdepartment T4 on T1.FDeptID = T4.FID  left join t_comUser T6 "
               "on T1.FBillerID = T6.FID   left join t_comUser T7 on T1.FCheckerID = T7.FID   left join t_comProducts "
               "T8 on t1.FProductID = T8.FID   left join t_comUnit T9 on T1.FUnitID = T9.FID  where T1.FID = ")
        + QString::number(billId);
}

QString ProtaskLinesSql(int billId)
{
    return QStringLiteral(
               "select T1.FSID,T1.FFormID,T1.FProductID,T1.FUnitID,T1.FBatchNo1,T1.FKFDate,T1.FKFPeriod,T1.FPeriodDate, "
               "T1.FListDefined1,T1.FListDefined2,T1.FListDefined3,T1.FNumber,T1.FSingleNumber,T1.FPrice,T1.FAmount,"
               "T1.FFinishNumber,T1.FNote,T2.FNO as FProductNo,T2.FName as FProductName,T2.FProductDefined1,"
               "T2.FProductDefined2,T2.FProductDefined3,T4.FName as FStdUnitName,T3.FName as FUnitName from "
               "t_ProTasklist T1 inner join t_comProducts T2 on T1.FproductID = T2.FID  left join t_comUnit T3 on "
               "T1.FUnitID = T3.FID   left join t_comUnit T4 on T2.FStdUnitID = T4.FID  where FFormID = ")
        + QString::number(billId) + QStringLiteral(" order by FSID");
}

} // namespace protask
