#pragma once

#include "test_db.h"
#include "test_sql.h"
#include "voucher/voucher_generator.h"

#include <QSqlQuery>

#include <vector>

namespace protask::testing {

// The chart of accounts (5 a customer's, 4 a supplier's, 3 a department's, 6 an employee's
// account) and the amount columns the templates choose from: "加工金额" the task header's,
// "成本金额" its lines', "金额" the purchase header's.
inline void SeedVoucherAccounts()
{
    ExecScript("insert into t_voucheraccount(FID,FNo,FName,FIsCustomer,FIsSupplier,FIsDept,FIsEmployee) values"
               " (1,'5001','生产成本',0,0,0,0),(2,'1403','原材料',0,0,0,0),(3,'6601','销售费用',0,0,1,0),"
               " (4,'2202','应付账款',0,1,0,0),(5,'1122','应收账款',1,0,0,0),(6,'2211','应付职工薪酬',0,0,0,1),"
               " (7,'1405','库存商品',0,0,0,0);"
               "insert into t_vouchermodelfield(FID,FBillTypeID,FFromTableName,FListTableName,FFormOrList,"
               "FAmountFromFieldName,FAmountFromFieldCNName) values"
               " (1,3049,'t_ProTaskForm','t_ProTaskList',1,'FAmount','加工金额'),"
               " (2,3049,'t_ProTaskForm','t_ProTaskList',2,'FAmount','成本金额'),"
               " (3,3002,'t_PurForm','t_PurList',1,'FAmount','金额')");
}

// One line of a voucher template: the account, "借" or "贷", and the amount's caption.
struct TemplateLine {
    int account;
    const char *side;
    const char *amount;
};

// The default template of a bill type.
inline void SetVoucherTemplate(int billType, const std::vector<TemplateLine> &lines)
{
    ExecScript(Sql("insert into T_VoucherModelForm(FID,FName,FBillTypeID,FIsDefault) values(1,'t',%1,1)", billType));
    for (int sid = 1; const TemplateLine &l : lines)
        ExecScript(Sql("insert into T_VoucherModelList(FID,FFormID,FSID,FNote,FAccountID,FCR,FAmountFromFieldName,"
                       "FAmountFromFieldCNName) values(%1,1,%1,'摘要',%2,'%3','FAmount','%4')",
                       sid++, l.account, QString::fromUtf8(l.side), QString::fromUtf8(l.amount)));
}

// The bill type names and the accounts on the server clock every test stops on 2026-12-15.
class VoucherTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        seed();
    }
    // Empties the tables again for the next case of a table.
    void fresh()
    {
        EmptyAllTables();
        prompter.clear();
        seed();
    }
    static void seed()
    {
        nvDMBase::instance().userId = 1;
        ExecScript("insert into T_BillType(FID,FBillTypeID,FBillTypeNo,FPreCode,FBillName,FPrintStyle) values"
                   " (2,3002,'JHD','JH','进货单',1),(49,3049,'RWD','RWD','生产任务单',1)");
        SeedVoucherAccounts();
    }

    // A production task "RWD202612<id>" with its header amount and line amounts.
    static void addTask(int id, bool checked, const QString &header, const std::vector<double> &lines,
                        const QString &date = "2026-12-03", int biller = 1)
    {
        ExecScript(Sql("insert into t_ProTaskForm(FID,FBillTypeID,FBillNo,FBillDate,FIsChecked,FAmount,FBillerID) "
                       "values(%1,3049,'RWD202612%2','%3',%4,%5,%6)",
                       id, QString::number(id).rightJustified(5, '0'), date, int(checked), header, biller));
        for (int i = 0; i < int(lines.size()); ++i)
            ExecScript(Sql("insert into t_ProTaskList(FID,FSID,FFormID,FAmount) values(%1,%2,%3,%4)", id * 100 + i + 1,
                           i + 1, id, lines[i]));
    }

    struct Outcome {
        bool written = false;
        QString report;
    };
    static Outcome run(const QString &ids, const QSqlDatabase &db = Db())
    {
        TBillCreateVoucher generator(db, 1);
        // The table names as the task list passes them.
        const bool written = generator.CreateVoucherMain(3049, 0, " t_ProTasklist ", " t_ProTaskform ", ids);
        return {written, generator.resultReport()};
    }
    // The work tables live on the connection: after a run they must be gone.
    static bool workTablesGone(const QSqlDatabase &db = Db())
    {
        QSqlQuery q(db);
        return !q.exec("select 1 from tmpTID") && !q.exec("select 1 from TmpVoucher");
    }
};

inline QString reportOf(int written, int failed, const QStringList &problems = {})
{
    QString r =
        Sql("成功生成凭证:%1条\n\n-----------------------------------------------\n传送凭证失败:%2条", written, failed);
    for (const QString &p : problems)
        r += "\n    单据编号[" + p + "\n";
    return r;
}

} // namespace protask::testing
