#pragma once

#include "core/sql_helpers.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

namespace protask {

// What the generator tells the progress window; the default does nothing (a run without a
// screen, a second workstation in a test).
class VoucherProgress {
public:
    virtual ~VoucherProgress();
    virtual void open() {}
    virtual void setCaption(const QString &) {}
    virtual void setMaximum(int) {}
    virtual void setPosition(int) {}
    virtual void close() {}
};

// The state of a requested bill (tmpTID) or of a voucher row (TmpVoucher) in one run.
namespace VoucherState {
inline constexpr int Requested = 100; // left when the bill is not in the header table
inline constexpr int ToConvert = 0;
inline constexpr int NotChecked = 1;
inline constexpr int HasVoucher = 2;
inline constexpr int BeforeClosingDate = 4;
inline constexpr int NeedsEmployee = 11;
inline constexpr int NeedsDept = 12;
inline constexpr int NeedsSupplier = 13;
inline constexpr int NeedsCustomer = 14;
inline constexpr int NoAmount = 20;
inline constexpr int Unbalanced = 21;
} // namespace VoucherState

namespace VoucherMessage {
inline constexpr const char *NoDefaultTemplate = "您还未设置凭证模板或未设置为默认模板,不能生成凭证！";
inline constexpr const char *TemplateTooShort = "您的凭证模板不正确,凭证最少需要二行会计科目,不能生成凭证！";
inline constexpr const char *Collecting = "正在进行数据整理......";
inline constexpr const char *Writing = "正在生成凭证......";
inline constexpr const char *Written = "成功生成凭证:";
inline constexpr const char *NotWritten = "传送凭证失败:";
inline constexpr const char *Rows = "条";
inline constexpr const char *Rule = "-----------------------------------------------";
} // namespace VoucherMessage

// The bill types whose editor offers the voucher menu (the production task's does not).
bool BillTypeMakesVouchers(int billType);

// The report line of a state ("" for the states that are only counted).
QString VoucherStateText(int state);

// The dimensions an account may ask for, and the header column that fills one on a bill type.
enum class VoucherDimension { Employee, Dept, Supplier, Customer };
// Empty when the bill type has no such column: the rows then stay without it.
QString VoucherDimensionColumn(VoucherDimension dimension, int billType);

// Turns checked bills into accounting vouchers by the bill type's default template: one object
// per run, made and freed by the action that calls it, on one connection.
//
// The rows are built in two temporary tables of the connection, every problem is classified,
// and the vouchers of the bills without problems are written in one transaction that marks the
// bills. Decisions where the suite leaves a choice:
// - the closing date is the suite's FAccCloseDate parameter (the one the check test uses); a
//   bill dated before it is reported, none without the parameter;
// - a template line that takes its amount from a header column sums the header once per bill,
//   not once per line of the bill; a line whose column is neither a header nor a line column
//   (or unknown to t_vouchermodelfield) has no amount and is reported as such;
// - every voucher gets a number and a line group of its own in its period, also when one run
//   converts several bills of one period, and also when two workstations write at once: the
//   keys and numbers are read with locks inside the writing transaction, and a collision that
//   slips by meets the period's unique voucher number and is written again from the start.
// As the suite's vouchers always were: the voucher is dated with the bill's date but filed in
// the period of the day it is made, and the first voucher's key leaves one key free after the
// largest stored one. Bills missing from the header table are listed by their ID.
class TBillCreateVoucher {
public:
    // userId: the signed-in user that makes the vouchers.
    TBillCreateVoucher(const QSqlDatabase &db, int userId);
    ~TBillCreateVoucher();
    TBillCreateVoucher(const TBillCreateVoucher &) = delete;
    TBillCreateVoucher &operator=(const TBillCreateVoucher &) = delete;

    void setProgress(VoucherProgress *progress) { FormInfo = progress ? progress : &m_silent; }
    // Shows the result report after a successful write (the caller's modal dialog).
    void setReportViewer(std::function<void(const QString &)> viewer) { m_viewer = std::move(viewer); }

    // Converts the bills (IDs as comma text) of a bill type; templateId 0 takes the bill type's
    // default template. False when nothing could be written: no template (after telling the
    // user), a failing statement (in the text log) or a transaction that did not commit.
    bool CreateVoucherMain(int billType, int templateId, const QString &listTable, const QString &formTable,
                           const QString &billIds);

    // The result report of the last run (also when no viewer is set).
    const QString &resultReport() const { return m_report; }

private:
    bool createTables();
    bool classifyBills();
    bool chooseTemplate();
    bool buildRows();
    bool fillLine(const TDataSet &line);
    QString buildReport(int written);
    bool writeVouchers(const QList<int> &bills);
    bool writeAttempt(const QList<int> &bills);
    void dropTables();
    void exec(const QString &sql);
    QString templateSelection(bool sideAsSign) const;

    QSqlDatabase m_db;
    int m_userId = 0;
    QString sSQL;
    TDataSet qryVoucher;
    TDataSet qryModel;
    QDate FVoucherAccDate;
    QDate FBillDate;
    int FVoucherYear = 0;
    int FVoucherMonth = 0;
    QList<int> FSLBillID;
    VoucherProgress m_silent;
    VoucherProgress *FormInfo = &m_silent;
    int FBillTypeID = 0;
    int FVoucherModeID = 0;
    QString FBillID; // the requested IDs as spliced, "1,2,3"
    QString FFormTableName;
    QString FListTableName;
    std::function<void(const QString &)> m_viewer;
    QString m_report;
};

} // namespace protask
