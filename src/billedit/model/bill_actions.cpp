#include "billedit/model/bill_actions.h"

#include "core/bill_types.h"
#include "core/db_actions.h"
#include "core/numbering.h"
#include "core/sql_helpers.h"
#include "core/values.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "posting/batch_steps.h"
#include "posting/posting_engine.h"

#include <cstdlib>

namespace protask {

namespace {

QString text(const char *s) { return QString::fromUtf8(s); }

void warn(const char *message) { Prompter::current().warning(text(message)); }

// Refusals inside the transaction are shown after the rollback, never while locks are held.
struct Refusal {
    QString message;
    void set(const QString &m) { message = m; }
};

// Tells the user what became of an action whose transaction did not commit, unless the
// transaction helper did already or the body's own refusal says it.
void reportFailure(const TransactionResult &r, const Refusal &refusal)
{
    if (r.reported)
        return;
    if (r.refused) {
        if (!refusal.message.isEmpty())
            Prompter::current().warning(refusal.message);
        return;
    }
    if (r.error)
        Prompter::current().error(r.error->message());
}

bool rowExists(const QString &sql, const QSqlDatabase &db)
{
    TDataSet q(db);
    q.open(sql);
    return !q.isEmpty();
}

// The action's marker after a lost COMMIT: the checked flag as the action left it.
std::function<bool(const QSqlDatabase &)> checkedMarker(const BillRef &bill, int flag)
{
    return [bill, flag](const QSqlDatabase &db) { return ReadCheckedFlag(bill.formTable, bill.billId, db) == flag; };
}

// The closing-date, batch and stock tests that check and save share.
bool numberTestsPass(const BillRef &bill, ActionResult &result, const QSqlDatabase &db)
{
    if (bill.billNo.isEmpty()) {
        warn(BillMessage::EmptyNumber);
        result.focusBillNo = true;
        return false;
    }
    if (bill.billNo == bill.initBillNo)
        return true;
    const QString sql = QStringLiteral("select FBillNo from ") + bill.formTable + QStringLiteral(" where FBillNo = ")
        + QuotedStr(bill.billNo, db) + QStringLiteral(" and FID <>")
        + QString::number(bill.statusId == BillStatus::New ? 0 : bill.billId);
    if (rowExists(causalRead(sql, db), db)) {
        warn(BillMessage::DuplicateNumber);
        result.focusBillNo = true;
        return false;
    }
    return true;
}

} // namespace

bool BillSteps::AfterSaveLines(int, int &) { return true; }

bool PostStoredBill(BillSteps &steps, const BillRef &bill, bool check, const QString &failureText,
                    const QSqlDatabase &db)
{
    Refusal refusal;
    TransactionOptions options;
    options.landed = checkedMarker(bill, check ? 1 : 0);
    const TransactionResult r = RunTransaction(
        db,
        [&]() {
            refusal = {};
            // The flag again, under a lock, now that nobody else can change it: a bill another
            // workstation checked or unchecked meanwhile is never posted or taken back twice.
            TDataSet q(db);
            q.open(QStringLiteral("select FIsChecked from ") + bill.formTable + QStringLiteral(" where FID = ")
                   + sqlNumber(bill.billId) + QStringLiteral(" for update"));
            if (!q.isEmpty() && (ValueToInt(q.fieldByName(QStringLiteral("FIsChecked"))) == 1) == check) {
                refusal.set(text(check ? BillMessage::AlreadyChecked : BillMessage::NotChecked));
                return false;
            }
            int errorCode = 0;
            const bool posted =
                check ? steps.PostBill(bill, bill.billId, errorCode) : steps.UnpostBill(bill, errorCode);
            if (!posted) {
                refusal.set(failureText + QString::number(errorCode));
                return false;
            }
            WriteOperationLog((check ? QStringLiteral("审核操作 - 单据号:") : QStringLiteral("反审核操作 - 单据号:"))
                                  + bill.billNo,
                              bill.caption, db);
            return true;
        },
        options);
    if (!r.committed)
        reportFailure(r, refusal);
    return r.committed;
}

bool BillSteps::PostBill(const BillRef &bill, int billId, int &errorCode)
{
    return CheckUpdateData(bill.billType, billId, bill.formTable, errorCode);
}

bool BillSteps::UnpostBill(const BillRef &bill, int &errorCode)
{
    return UnCheckUpdateData(bill.billType, bill.billId, bill.formTable, errorCode);
}

int ReadCheckedFlag(const QString &formTable, int billId, const QSqlDatabase &db)
{
    TDataSet q(db);
    q.open(QStringLiteral("select FIsChecked from ") + formTable + QStringLiteral(" where FID = ")
           + QString::number(billId));
    if (q.isEmpty())
        return -1;
    return ValueToInt(q.fieldByName(QStringLiteral("FIsChecked"))) == 1 ? 1 : 0;
}

ActionResult SaveBill(BillSteps &steps, const BillRef &bill, const HostSwitches &switches, const QSqlDatabase &db)
{
    ActionResult result;
    result.billId = bill.billId;
    const bool stored = bill.statusId != BillStatus::New && bill.billId != 0;
    const bool exempt = bill.billType == BillType::CostFlagOnly;

    if (switches.checkWorkflow && stored && ReadCheckedFlag(bill.formTable, bill.billId, db) == 1) {
        warn(BillMessage::SaveChecked);
        return result;
    }
    if (!exempt) {
        QString yearMonth;
        const QDate today = GetServerBillDate(yearMonth, db);
        if (std::abs(bill.billDate.year() - today.year()) > 2
            && !Prompter::current().askYesNo(text(BillMessage::DateSpan)))
            return result;
        if (IsBeforeClosingDate(bill.formTable, false, bill.billDate, db)) {
            Prompter::current().error(text(BillMessage::BeforeClosing));
            return result;
        }
        if (!numberTestsPass(bill, result, db))
            return result;
    }
    if (!steps.CheckUnits())
        return result;
    if ((!switches.checkWorkflow || switches.checkOnSave) && !steps.CheckStock())
        return result;
    steps.ApplyBillDiscount();
    if (!steps.CheckBeforePost())
        return result;

    const bool posts =
        bill.billType == 3005 || !switches.checkWorkflow || (switches.checkWorkflow && switches.checkOnSave);
    Refusal refusal;
    int savedId = 0;
    QString savedNo;
    int attemptedId = 0;
    TransactionOptions options;
    // The attempt's own mark tells whether its COMMIT landed: the bill's row does not, for a
    // stored bill has it before the save, and after a lost COMMIT another workstation may have
    // taken the same new key and number.
    const QString logText = QStringLiteral("保存操作 - 单据号:") + bill.billNo;
    CommitMark mark;
    options.landed = [&mark](const QSqlDatabase &c) { return mark.landed(c); };
    const TransactionResult r = RunTransaction(
        db,
        [&]() {
            refusal = {};
            savedId = 0;
            int errorCode = 0;
            if (!switches.checkWorkflow && stored && !steps.UnpostBill(bill, errorCode)) {
                refusal.set(text(BillMessage::UnpostFailed) + QString::number(errorCode));
                return false;
            }
            int id = -1;
            try {
                id = steps.SaveHeader(stored ? bill.billId : 0);
            } catch (const DbError &) {
                throw; // retried or reported by the transaction
            } catch (const std::exception &e) {
                // A refusal that is not the server's (no free bill number): the header fails.
                LogFailure(QString::fromUtf8(e.what()));
                refusal.set(text(BillMessage::HeaderFailed) + QStringLiteral("：") + QString::fromUtf8(e.what()));
                return false;
            }
            if (id < 0) {
                refusal.set(text(BillMessage::HeaderFailed));
                return false;
            }
            savedId = id;
            if (!steps.SaveLines(id)) {
                refusal.set(text(BillMessage::LinesFailed));
                return false;
            }
            if (!steps.AfterSaveLines(id, errorCode)) {
                refusal.set(text(BillMessage::AfterLinesFailed));
                return false;
            }
            attemptedId = id;
            if (posts && !steps.PostBill(bill, id, errorCode)) {
                refusal.set(text(BillMessage::UnpostFailed) + QString::number(errorCode));
                return false;
            }
            WriteOperationLog(logText, bill.caption, db);
            mark.write(db);
            // The number as stored is read before COMMIT: once the bill is saved, no statement
            // may fail and leave the user told otherwise.
            TDataSet q(db);
            q.open(QStringLiteral("select FBillNo from ") + bill.formTable + QStringLiteral(" where FID = ")
                   + QString::number(id));
            savedNo = q.isEmpty() ? bill.billNo : ValueToTrimmedText(q.fieldByName(QStringLiteral("FBillNo")));
            return true;
        },
        options);
    if (r.committed) {
        mark.clear(db);
        result.done = true;
        result.billId = savedId;
        result.billNo = savedNo;
        return result;
    }
    // The key of a bill whose posting was refused stays shown, as the suite has always done; the
    // bill stays new, so its next save takes a fresh key.
    if (attemptedId > 0)
        result.billId = attemptedId;
    reportFailure(r, refusal);
    return result;
}

ActionResult CheckBill(BillSteps &steps, const BillRef &bill, const QSqlDatabase &db)
{
    ActionResult result;
    result.billId = bill.billId;
    if (ReadCheckedFlag(bill.formTable, bill.billId, db) == 1) {
        warn(BillMessage::AlreadyChecked);
        return result;
    }
    if (IsBeforeClosingDate(bill.formTable, true, bill.billDate, db))
        return result;
    if (!CheckBatchNoStockOnCheck(bill.billType, bill.billId, db) || !steps.CheckBeforePost() || !steps.CheckStock())
        return result;
    result.done = PostStoredBill(steps, bill, true, QStringLiteral("审核失败,错误代码："), db);
    return result;
}

ActionResult UncheckBill(BillSteps &steps, const BillRef &bill, const QSqlDatabase &db)
{
    ActionResult result;
    result.billId = bill.billId;
    if (ReadCheckedFlag(bill.formTable, bill.billId, db) != 1) {
        warn(BillMessage::NotChecked);
        return result;
    }
    if (IsPeriodClosed(bill.formTable, bill.billId, true, db))
        return result;
    if (!CheckBatchNoStockOnUnCheck(bill.billType, bill.billId, db))
        return result;
    result.done = PostStoredBill(steps, bill, false, QStringLiteral("反审核失败,错误代码："), db);
    return result;
}

CheckState ReadCheckState(const QString &formTable, int billId, int statusId, bool checkWorkflow,
                          const QSqlDatabase &db)
{
    CheckState s;
    s.statusId = statusId;
    if (statusId == BillStatus::New) {
        s.states = {1};
        return s;
    }
    if (statusId == BillStatus::Saved) {
        if (checkWorkflow) {
            const int flag = ReadCheckedFlag(formTable, billId, db);
            if (flag == 1)
                s.statusId = BillStatus::Checked;
            else {
                s.states = {2};
                return s;
            }
        } else {
            s.periodClosed = IsPeriodClosed(formTable, billId, false, db);
            if (s.periodClosed) {
                s.states = {12};
                return s;
            }
            s.states = {2};
            s.voucher = HasVoucher(formTable, billId, false, db);
            if (s.voucher)
                s.states.append(13);
            return s;
        }
    }
    // Checked (also when just found so above).
    s.periodClosed = IsPeriodClosed(formTable, billId, false, db);
    s.states = {s.periodClosed ? 12 : 3};
    s.voucher = HasVoucher(formTable, billId, false, db);
    if (s.voucher)
        s.states.append(13);
    return s;
}

const EditStateEffect *FindEditState(int state)
{
    //                                  save   check  uncheck print  lines  status ro     grid   keepSave
    static const EditStateEffect kStates[] = {
        {1, false, false, false, false, true, 0, false, false, false},
        {2, false, true, false, true, true, 0, false, false, false},
        {3, false, false, true, true, false, 3, true, false, false},
        {4, false, true, false, true, true, 2, false, false, false},
        {5, true, false, false, false, true, 0, false, false, true},
        {12, false, false, false, true, false, 3, true, true, false},
        {13, false, false, false, true, false, 3, true, true, false},
    };
    for (const EditStateEffect &e : kStates) {
        if (e.state == state)
            return &e;
    }
    return nullptr;
}

int FirstMissingField(const QList<MandatoryField> &fields, QString &message)
{
    for (int i = 0; i < fields.size(); ++i) {
        const MandatoryField &f = fields.at(i);
        if (!(f.tag & 1) || !f.empty || f.caption.isEmpty())
            continue;
        message = f.caption.left(qMax(0, int(f.caption.size()) - 5)) + text(BillMessage::MandatorySuffix);
        return i;
    }
    return -1;
}

BillTypeRecord ReadBillTypeRecord(const QString &billTypeNo, const QSqlDatabase &db)
{
    BillTypeRecord r;
    TDataSet q(db);
    q.open(QStringLiteral("select * from t_billtype where FBillTypeNo =") + QuotedStr(billTypeNo, db));
    if (q.isEmpty())
        return r;
    r.found = true;
    r.caption = ValueToTrimmedText(q.fieldByName(QStringLiteral("FBillName")));
    r.printStyle = ValueToInt(q.fieldByName(QStringLiteral("FPrintStyle")));
    return r;
}

void WritePrintStyle(const QString &billTypeNo, int style, const QSqlDatabase &db)
{
    TDataSet q(db);
    q.exec(QStringLiteral("update t_billtype set FPrintStyle = ") + QString::number(style)
           + QStringLiteral(" where FBillTypeNo = ") + QuotedStr(billTypeNo, db));
}

int FindVoucherId(const QString &formTable, int billId, const QSqlDatabase &db)
{
    if (billId == 0)
        return 0;
    TDataSet q(db);
    q.open(QStringLiteral("desc ") + formTable + QStringLiteral(" FIsCreateVoucher"));
    if (q.isEmpty())
        return 0;
    q.open(QStringLiteral("select IfNull(FIsCreateVoucher,0) as FIsCreateVoucher, FVoucherID from ") + formTable
           + QStringLiteral(" where IfNull(FIsCreateVoucher,0) = 1 and FID = ") + QString::number(billId));
    if (q.isEmpty())
        return 0;
    return ValueToInt(q.fieldByName(QStringLiteral("FVoucherID")));
}

int FindClientID(int kind, const QString &name, const QSqlDatabase &db)
{
    TDataSet q(db);
    q.open(QStringLiteral("select FID from t_comClient where FType = ") + QString::number(kind)
           + QStringLiteral(" and FName =") + QuotedStr(name.trimmed(), db));
    if (q.isEmpty()) {
        Prompter::current().information(kind == 1 ? QStringLiteral("客户不存在！") : QStringLiteral("供应商不存在！"));
        return -1;
    }
    return ValueToInt(q.fieldByName(QStringLiteral("FID")));
}

QString ClientReportParams(int reportCode, int clientId, const QString &clientName, const QDate &today)
{
    const QDate first(today.year(), today.month(), 1);
    const QString format = QStringLiteral("yyyy-MM-dd");
    QString params = QStringLiteral(";FDateTypeID=自定义;FBeginDate=") + first.toString(format)
        + QStringLiteral(";FEndDate=") + first.addMonths(1).addDays(-1).toString(format);
    if (reportCode == 4004 || reportCode == 4005)
        return params + QStringLiteral(";src_FClientID=") + QString::number(clientId)
            + QStringLiteral(";src_FClientName=") + clientName;
    if (reportCode == 4008 || reportCode == 4009)
        return params + QStringLiteral(";FClientID=") + QString::number(clientId) + QStringLiteral(";FClientName=")
            + clientName;
    return QString();
}

QString LookupChoiceName(const QString &table, const QString &idText, const QSqlDatabase &db)
{
    bool ok = false;
    const int id = idText.section(QLatin1Char(','), 0, 0).trimmed().toInt(&ok);
    if (!ok || table.isEmpty())
        return QString();
    TDataSet q(db);
    q.open(QStringLiteral("select FID,FNo,FName from ") + table + QStringLiteral(" where FID = ")
           + QString::number(id));
    return q.isEmpty() ? QString() : q.fieldByName(QStringLiteral("FName")).toString();
}

void SwitchOffPriceVariationHint(const QSqlDatabase &db)
{
    TDataSet q(db);
    ExecQuery(q, QStringLiteral("update t_comParameters SET FBoolValue = 1 WHERE FName = 'FSalePriceVariationHint'"));
}

QList<FieldCaption> ReadHeaderCaptions(int billType, const QSqlDatabase &db)
{
    QList<FieldCaption> list;
    TDataSet q(db);
    q.open(QStringLiteral("select FFieldName,case when IfNull(FSetName,'') = '' then FDefaultName else FSetName end as "
                          "FSetname  from t_comFieldName where FFormOrListID = 0 and FBillTypeID = ")
           + QString::number(billType));
    for (; !q.eof(); q.next()) {
        FieldCaption c;
        c.field = ValueToTrimmedText(q.fieldByName(QStringLiteral("FFieldName")));
        c.caption = ValueToTrimmedText(q.fieldByName(QStringLiteral("FSetname")));
        list.append(c);
    }
    return list;
}

QList<FieldCaption> ReadColumnCaptions(int billType, const QSqlDatabase &db)
{
    QList<FieldCaption> list;
    TDataSet q(db);
    q.open(QStringLiteral(
               "select FID,FFieldName,case when IfNull(FSetName,'') = '' then FDefaultName else FSetName end as "
               "FSetname, case when IfNull(FIsShow,'') = '' then FDefaultIsShow else FIsShow end as FIsShow,  case "
               "when IfNull(FSID,'') = '' then FSystemSID else FSID end as FSID  from t_comFieldName where "
               "FFormOrListID = 1 and FBillTypeID = ")
           + QString::number(billType)
           + QStringLiteral(" order by case when IfNull(FSID,'') = '' then FSystemSID else FSID end "));
    for (; !q.eof(); q.next()) {
        FieldCaption c;
        c.field = ValueToTrimmedText(q.fieldByName(QStringLiteral("FFieldName")));
        c.caption = ValueToTrimmedText(q.fieldByName(QStringLiteral("FSetname")));
        c.visible = ValueToInt(q.fieldByName(QStringLiteral("FIsShow"))) != 0;
        c.position = ValueToInt(q.fieldByName(QStringLiteral("FSID")));
        list.append(c);
    }
    return list;
}

} // namespace protask
