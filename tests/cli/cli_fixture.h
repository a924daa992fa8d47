#pragma once

#include "cli_run.h"
#include "platform/db.h"
#include "test_db.h"

#include <QStringList>

namespace protask::testing {

using namespace Qt::StringLiterals;

inline int count(const QString &sql) { return scalar(sql).toInt(); }

// A sales-order line of 100 chairs of which 10 are in production, an earlier task of the chair
// that needs two bolts per chair, and the check workflow on.
class Cli : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(u"insert into T_BillType(FID,FBillTypeID,FBillTypeNo,FBillName,FPreCode) values (49,3049,'RWD',"
                   "'生产任务单','RWD');"
                   "insert into t_comparameters(FName,FTypeID,FBoolValue) values ('FIsCheckBill',2,1);"
                   "insert into t_comUnit(FID,FNo,FName) values (1,'U1','把');"
                   "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values (1,'CP001','办公椅',1),"
                   " (2,'CL001','螺栓',1);"
                   "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values (1,1,1,1), (2,1,1,1);"
                   "insert into t_comClient(FID,FNo,FName,FType) values (7,'K1','东方家私',1);"
                   "insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0), (2,'张会计',1);"
                   "insert into t_SaleOrderForm(FID,FBillNo,FBillDate,FClientID,FTypeID) values"
                   " (500,'XSD20261200001','2026-12-01',7,56);"
                   "insert into t_SaleOrderList(FID,FFormID,FSID,FProductID,FUnitID,FNumber,FProtaskFinishNumber)"
                   " values (501,500,1,1,1,100,10);"
                   "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values"
                   " (1,'RWD20261100001','2026-11-02',1,1,1,0);"
                   "insert into t_ProTaskList(FID,FFormID,FSID,FProductID,FUnitID,FSingleNumber,FNumber,FPrice)"
                   " values (1,1,1,2,1,2,2,0.5)"_s);
    }
    int inProduction() { return scalar(u"select FProtaskFinishNumber from t_SaleOrderList where FID = 501"_s).toInt(); }
};

} // namespace protask::testing
