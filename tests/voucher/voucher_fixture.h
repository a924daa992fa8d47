#pragma once

#include "core/sql_helpers.h"
#include "test_db.h"
#include "voucher/voucher_generator.h"

#include <QSqlQuery>

#include <memory>
#include <vector>

namespace protask::testing {

inline QVariant scalarOn(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}
inline QVariant dbValue(const QString &sql) { return scalarOn(Db(), sql); }
// The first column of every row.
inline QStringList rowsOf(const QString &sql)
{
    QSqlQuery q(Db());
    q.exec(sql);
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString();
    return rows;
}

// One line of a voucher template: the account, "借" or "贷", and the amount's caption
// ("成本金额" the lines' amount, "加工金额" the header's, "金额" the purchase header's).
struct TemplateLine {
    int account;
    const char *side;
    const char *amount;
};

// The chart of accounts, the bill type names and the amount columns the templates choose
// from, with the server clock of the data module's connection stopped on 2026-12-15.
class VoucherTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        clock = std::make_unique<PinServerClock>(Db(), kPinnedNow);
        seed();
    }
    // Empties the tables again for the next case of a table.
    void fresh()
    {
        EmptyAllTables();
        prompter.clear();
        m_templates = 0;
        seed();
    }
    void seed()
    {
        nvDMBase::instance().userId = 1;
        ExecScript(QStringLiteral(
            "insert into T_BillType(FID,FBillTypeID,FBillTypeNo,FPreCode,FBillName,FPrintStyle) values"
            " (2,3002,'JHD','JH','进货单',1),(49,3049,'RWD','RWD','生产任务单',1);"
            "insert into t_voucheraccount(FID,FNo,FName,FIsCustomer,FIsSupplier,FIsDept,FIsEmployee) values"
            " (1,'5001','生产成本',0,0,0,0),(2,'1403','原材料',0,0,0,0),(3,'6601','销售费用',0,0,1,0),"
            " (4,'2202','应付账款',0,1,0,0),(5,'1122','应收账款',1,0,0,0),(6,'2211','应付职工薪酬',0,0,0,1),"
            " (7,'1405','库存商品',0,0,0,0);"
            "insert into t_vouchermodelfield(FID,FBillTypeID,FFromTableName,FListTableName,FFormOrList,"
            "FAmountFromFieldName,FAmountFromFieldCNName) values"
            " (1,3049,'t_ProTaskForm','t_ProTaskList',1,'FAmount','加工金额'),"
            " (2,3049,'t_ProTaskForm','t_ProTaskList',2,'FAmount','成本金额'),"
            " (3,3002,'t_PurForm','t_PurList',1,'FAmount','金额')"));
    }
    void TearDown() override
    {
        clock.reset();
        DatabaseTest::TearDown();
    }

    // The default template of a bill type.
    void setTemplate(int billType, const std::vector<TemplateLine> &lines)
    {
        const int id = ++m_templates;
        ExecScript(
            QStringLiteral("insert into T_VoucherModelForm(FID,FName,FBillTypeID,FIsDefault) values(%1,'t',%2,1)")
                .arg(id)
                .arg(billType));
        int sid = 0;
        for (const TemplateLine &l : lines) {
            ++sid;
            ExecScript(QStringLiteral("insert into T_VoucherModelList(FID,FFormID,FSID,FNote,FAccountID,FCR,"
                                      "FAmountFromFieldName,FAmountFromFieldCNName) values(%1,%2,%3,'摘要',%4,'%5',"
                                      "'FAmount','%6')")
                           .arg(id * 100 + sid)
                           .arg(id)
                           .arg(sid)
                           .arg(l.account)
                           .arg(QString::fromUtf8(l.side), QString::fromUtf8(l.amount)));
        }
    }

    // A production task of December with its header amount and line amounts.
    static void addTask(int id, bool checked, const QString &header, const std::vector<double> &lines,
                        const QString &date = QStringLiteral("2026-12-03"), int voucher = 0, int biller = 1)
    {
        ExecScript(QStringLiteral("insert into t_ProTaskForm(FID,FBillTypeID,FBillNo,FBillDate,FIsChecked,FAmount,"
                                  "FBillerID,FIsCreateVoucher,FVoucherID) values(%1,3049,'RWD202612%2','%3',%4,%5,%6,"
                                  "%7,%8)")
                       .arg(id)
                       .arg(id, 5, 10, QLatin1Char('0'))
                       .arg(date)
                       .arg(checked ? 1 : 0)
                       .arg(header)
                       .arg(biller)
                       .arg(voucher ? 1 : 0)
                       .arg(voucher));
        int sid = 0;
        for (double amount : lines) {
            ++sid;
            ExecScript(QStringLiteral("insert into t_ProTaskList(FID,FSID,FFormID,FAmount) values(%1,%2,%3,%4)")
                           .arg(id * 100 + sid)
                           .arg(sid)
                           .arg(id)
                           .arg(amount));
        }
    }

    struct Outcome {
        bool written = false;
        QString report;
    };
    static Outcome run(const QString &ids, const QSqlDatabase &db = Db())
    {
        TBillCreateVoucher generator(db, 1);
        Outcome o;
        // The table names as the task list passes them.
        o.written = generator.CreateVoucherMain(3049, 0, QStringLiteral(" t_ProTasklist "),
                                                QStringLiteral(" t_ProTaskform "), ids);
        o.report = generator.resultReport();
        return o;
    }
    // The work tables live on the connection: after a run they must be gone.
    static bool workTablesGone(const QSqlDatabase &db = Db())
    {
        QSqlQuery q(db);
        return !q.exec(QStringLiteral("select 1 from tmpTID")) && !q.exec(QStringLiteral("select 1 from TmpVoucher"));
    }

    std::unique_ptr<PinServerClock> clock;

private:
    int m_templates = 0;
};

inline QString reportOf(int written, int failed, const QStringList &problems)
{
    QString r =
        QStringLiteral("成功生成凭证:%1条\n\n-----------------------------------------------\n传送凭证失败:%2条")
            .arg(written)
            .arg(failed);
    for (const QString &p : problems)
        r += QStringLiteral("\n    单据编号[") + p + QStringLiteral("\n");
    return r;
}

} // namespace protask::testing
