#pragma once

// The sales-order line a production task is made from, for the command-line and host tests.

#include "test_db.h"

namespace protask::testing {

// The task's bill type with the check workflow on; a checked sales order of this month whose
// line 501 asks for 100 chairs (办公椅) of which 10 are in production; a November task
// (RWD20261100001) whose chair needed two bolts (螺栓, 0.5 each); users 1 (系统管理员) and 2
// (张会计, whom rights restrict).
inline void SeedOrderLineAndEarlierTask()
{
    ExecScript(QStringLiteral(
        "insert into T_BillType(FID,FBillTypeID,FBillTypeNo,FBillName,FPreCode) values (49,3049,'RWD','生产任务单',"
        "'RWD');"
        "insert into t_comparameters(FName,FTypeID,FBoolValue) values ('FIsCheckBill',2,1);"
        "insert into t_comUnit(FID,FNo,FName) values (1,'U1','把');"
        "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values (1,'CP001','办公椅',1), (2,'CL001','螺栓',1);"
        "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values (1,1,1,1), (2,1,1,1);"
        "insert into t_comClient(FID,FNo,FName,FType) values (7,'K1','东方家私',1);"
        "insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0), (2,'张会计',1);"
        "insert into t_SaleOrderForm(FID,FBillNo,FBillDate,FClientID,FTypeID,FIsChecked) values"
        " (500,'XSD20261200001','2026-12-01',7,56,1);"
        "insert into t_SaleOrderList(FID,FFormID,FSID,FProductID,FUnitID,FNumber,FProtaskFinishNumber)"
        " values (501,500,1,1,1,100,10);"
        "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values"
        " (1,'RWD20261100001','2026-11-02',1,1,1,0);"
        "insert into t_ProTaskList(FID,FFormID,FSID,FProductID,FUnitID,FSingleNumber,FNumber,FPrice)"
        " values (1,1,1,2,1,2,2,0.5)"));
}

} // namespace protask::testing
