#include "cli/task_commands.h"

#include "billedit/model/bill_actions.h"
#include "billlist/list_grid.h"
#include "billlist/model/list_actions.h"
#include "billlist/model/list_tables.h"
#include "core/bill_types.h"
#include "core/rights.h"
#include "core/sql_helpers.h"
#include "core/values.h"
#include "platform/prompter.h"
#include "printing/bill_report_load.h"
#include "voucher/voucher_generator.h"

#include <QJsonArray>
#include <QMetaType>

#include <algorithm>
#include <cstdio>

namespace protask {

namespace {

constexpr int kTaskBillType = 3049;

// The header fields the JSON carries: texts, numbers, keys and dates by the editor's names.
struct TextField {
    const char *name;
    QString ProtaskHeader::*member;
};
const TextField kTextFields[] = {
    {"FBillNo", &ProtaskHeader::billNo},           {"FClientName", &ProtaskHeader::clientName},
    {"FProductName", &ProtaskHeader::productName}, {"FUnitName", &ProtaskHeader::unitName},
    {"FBatchNo", &ProtaskHeader::batchNo},         {"FDeptName", &ProtaskHeader::deptName},
    {"FManager", &ProtaskHeader::managerName},     {"FNote", &ProtaskHeader::note},
    {"FFromBillNo", &ProtaskHeader::fromBillNo},
};
struct NumberField {
    const char *name;
    double ProtaskHeader::*member;
};
const NumberField kNumberFields[] = {
    {"Fnumber", &ProtaskHeader::number}, {"Fprice", &ProtaskHeader::price}, {"Famount", &ProtaskHeader::amount}};
struct KeyField {
    const char *name;
    int ProtaskHeader::*member;
};
const KeyField kKeyFields[] = {
    {"FID", &ProtaskHeader::billId},
    {"FFromBillID", &ProtaskHeader::fromBillId},
    {"FFromListID", &ProtaskHeader::fromListId},
    {"FFromBillTypeID", &ProtaskHeader::fromBillTypeId},
};
struct DateField {
    const char *name;
    QDate ProtaskHeader::*member;
};
const DateField kDateFields[] = {{"FBillDate", &ProtaskHeader::billDate}, {"FProDate", &ProtaskHeader::proDate}};

QString key(const char *name) { return QString::fromLatin1(name); }

QJsonValue cellToJson(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QJsonValue::Null;
    switch (v.typeId()) {
    case QMetaType::QDate: return v.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime: return v.toDateTime().toString(Qt::ISODate);
    case QMetaType::Bool: return v.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float: return v.toDouble();
    default: return v.toString();
    }
}

CommandResult refused(const QString &why) { return {false, QJsonValue(), why}; }

CommandResult done(const QJsonValue &data) { return {true, data, QString()}; }

QString rightName(int operation, int billType = kTaskBillType)
{
    return GetRightPrefix(billType) + GetRightSuffix(operation);
}

// A right the user lacks: the windows' text for it, and the right's name as the reason.
CommandResult notAuthorised(int operation, int billType = kTaskBillType)
{
    Prompter::current().information(QStringLiteral("您未被授权"));
    return refused(QStringLiteral("the user lacks the right ") + rightName(operation, billType));
}

// Why the list does not offer an action: a right the user lacks (which hides the button), or
// the workflow and the row's state (`why`).
CommandResult listRefusal(const ListContext &list, ListAction action, const QString &why, const QSqlDatabase &db)
{
    const int operation = ListActionInfoOf(action).rightOperation;
    if (operation != 0 && list.switches.checkWorkflow && list.switches.rightsSwitch != 0
        && !CheckOperationRight(list.billType, operation, db))
        return notAuthorised(operation, list.billType);
    return refused(why);
}

CommandResult writePdf(const report::TReport &report, const QString &path, const QString &billNo)
{
    QString error;
    if (!report.exportPdf(path, &error)) {
        Prompter::current().error(error);
        return refused(QString());
    }
    QJsonObject o{{QStringLiteral("file"), path}, {QStringLiteral("pages"), report.pageCount()}};
    if (!billNo.isEmpty())
        o.insert(QStringLiteral("FBillNo"), billNo);
    return done(o);
}

} // namespace

QJsonObject TaskToJson(const ProtaskBill &bill)
{
    const ProtaskHeader &h = bill.header;
    QJsonObject o;
    for (const KeyField &f : kKeyFields)
        o.insert(key(f.name), h.*f.member);
    for (const TextField &f : kTextFields)
        o.insert(key(f.name), h.*f.member);
    for (const NumberField &f : kNumberFields)
        o.insert(key(f.name), h.*f.member);
    for (const DateField &f : kDateFields)
        o.insert(key(f.name),
                 (h.*f.member).isValid() ? QJsonValue((h.*f.member).toString(Qt::ISODate)) : QJsonValue::Null);
    for (int i = 0; i < 3; ++i)
        o.insert(QStringLiteral("FFormDefined") + QString::number(i + 1), h.formDefined[i]);
    QJsonArray lines;
    for (const LineValues &line : bill.lines) {
        QJsonObject cells;
        for (auto it = line.cells().cbegin(); it != line.cells().cend(); ++it)
            cells.insert(it.key(), cellToJson(it.value()));
        lines.append(cells);
    }
    o.insert(QStringLiteral("lines"), lines);
    return o;
}

bool TaskFromJson(const QJsonObject &json, ProtaskBill &bill, QString &error)
{
    ProtaskHeader &h = bill.header;
    const auto wrongKind = [&error](const QString &field, const char *kind) {
        error = field + QStringLiteral(": ") + QString::fromLatin1(kind) + QStringLiteral(" expected");
        return false;
    };
    for (const TextField &f : kTextFields) {
        const QJsonValue v = json.value(key(f.name));
        if (v.isUndefined() || v.isNull())
            continue;
        if (!v.isString())
            return wrongKind(key(f.name), "a text");
        h.*f.member = v.toString();
    }
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("FFormDefined") + QString::number(i + 1);
        const QJsonValue v = json.value(name);
        if (v.isString())
            h.formDefined[i] = v.toString();
        else if (!v.isUndefined() && !v.isNull())
            return wrongKind(name, "a text");
    }
    for (const NumberField &f : kNumberFields) {
        const QJsonValue v = json.value(key(f.name));
        if (v.isUndefined() || v.isNull())
            continue;
        if (!v.isDouble())
            return wrongKind(key(f.name), "a number");
        h.*f.member = v.toDouble();
    }
    for (const KeyField &f : kKeyFields) {
        const QJsonValue v = json.value(key(f.name));
        if (v.isUndefined() || v.isNull())
            continue;
        if (!v.isDouble() || v.toDouble() != double(v.toInt()) || v.toInt() < 0)
            return wrongKind(key(f.name), "a whole number of at least 0");
        h.*f.member = v.toInt();
    }
    for (const DateField &f : kDateFields) {
        const QJsonValue v = json.value(key(f.name));
        if (v.isUndefined())
            continue;
        if (v.isNull()) {
            h.*f.member = QDate();
            continue;
        }
        const QDate d = QDate::fromString(v.toString(), Qt::ISODate);
        if (!v.isString() || !d.isValid())
            return wrongKind(key(f.name), "a date yyyy-mm-dd");
        h.*f.member = d;
    }
    const QJsonValue lines = json.value(QStringLiteral("lines"));
    if (!lines.isUndefined()) {
        if (!lines.isArray())
            return wrongKind(QStringLiteral("lines"), "a list");
        bill.lines.clear();
        for (const QJsonValue &l : lines.toArray()) {
            if (!l.isObject())
                return wrongKind(QStringLiteral("lines"), "a list of objects");
            LineValues line;
            const QJsonObject cells = l.toObject();
            for (auto it = cells.begin(); it != cells.end(); ++it)
                line.set(it.key(), it.value().toVariant());
            bill.lines.append(line);
        }
    }
    return true;
}

CommandResult ShowTask(int billId, const QSqlDatabase &db)
{
    ProtaskBill bill(db);
    ProtaskHeader &h = bill.header;
    TDataSet q(db);
    OpenQuery(q, ProtaskHeaderSql(billId));
    if (q.isEmpty())
        return refused(QStringLiteral("no task with FID ") + QString::number(billId));
    q.first();
    // Texts exactly as stored: a round trip through a file changes nothing.
    for (const TextField &f : kTextFields)
        h.*f.member = q.fieldByName(key(f.name)).toString();
    for (const NumberField &f : kNumberFields)
        h.*f.member = ValueToFloat(q.fieldByName(key(f.name)));
    for (const KeyField &f : kKeyFields)
        h.*f.member = ValueToInt(q.fieldByName(key(f.name)));
    for (const DateField &f : kDateFields)
        h.*f.member = q.fieldByName(key(f.name)).toDate();
    for (int i = 0; i < 3; ++i)
        h.formDefined[i] = q.fieldByName(QStringLiteral("FFormDefined") + QString::number(i + 1)).toString();
    OpenQuery(q, ProtaskLinesSql(billId));
    const QStringList fields = q.fieldNames();
    for (int r = 0; r < q.recordCount(); ++r) {
        LineValues line;
        for (int f = 0; f < fields.size(); ++f)
            line.set(fields.at(f), q.value(r, f));
        bill.lines.append(line);
    }
    return done(TaskToJson(bill));
}

CommandResult PrepareTask(ProtaskBill &bill, int userId, const QSqlDatabase &db)
{
    ProtaskHeader &h = bill.header;
    const CompanyDecimals d = GetCompanyDecimals(db);
    bill.numberPlaces = d.numberDecimals;
    bill.pricePlaces = d.priceDecimals;
    h.userId = userId;
    if (h.billId == 0) {
        const ProtaskHeader given = h;
        StartNewProtask(h, userId, db);
        // What the file gives stands, as typed into the new task's fields.
        const ProtaskHeader started = h;
        h = given;
        h.billTableTypeId = started.billTableTypeId;
        h.initBillNo = started.initBillNo;
        if (h.billNo.trimmed().isEmpty())
            h.billNo = started.billNo;
        if (!h.billDate.isValid())
            h.billDate = started.billDate;
        h.userId = userId;
        bill.statusId = BillStatus::New;
        return done(QJsonValue());
    }
    const ListRow stored = ReadListRow(QStringLiteral("t_ProTaskForm"), h.billId, db);
    if (stored.id == 0)
        return refused(QStringLiteral("no task with FID ") + QString::number(h.billId));
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select FTypeID from t_ProTaskForm where FID = ") + QString::number(h.billId));
    h.billTableTypeId = ValueToInt(q.fieldByName(QStringLiteral("FTypeID")));
    h.initBillNo = stored.billNo;
    if (h.billNo.trimmed().isEmpty())
        h.billNo = stored.billNo;
    if (!h.billDate.isValid())
        h.billDate = stored.billDate;
    bill.statusId = BillStatus::Saved;
    return done(QJsonValue());
}

CommandResult TaskFromOrder(ProtaskBill &bill, int listId, std::optional<double> quantity, int userId,
                            const QSqlDatabase &db)
{
    const SalesOrderSource source = ReadSalesOrderSource(QString::number(listId), db);
    if (!source.found)
        return refused(QStringLiteral("no sales-order line with FID ") + QString::number(listId));
    bill.header = ProtaskHeader();
    bill.lines.clear();
    if (CommandResult r = PrepareTask(bill, userId, db); !r.done)
        return r;
    CopySalesOrderSource(bill.header, source);
    bill.lines = ProposeProtaskMaterials(bill.header.productName, bill.header.number, db);
    if (quantity) {
        bill.header.number = *quantity;
        bill.header.amount = *quantity * bill.header.price;
        ScaleProtaskLines(bill.lines, *quantity);
    }
    return done(TaskToJson(bill));
}

CommandResult SaveTask(ProtaskBill &bill, bool check, const HostSwitches &switches, const QSqlDatabase &db)
{
    const bool isNew = bill.header.billId == 0;
    const int operation = isNew ? 1 : 5;
    if (!CheckOperationRight(kTaskBillType, operation, db))
        return notAuthorised(operation);
    if (check && !switches.checkWorkflow)
        return refused(QStringLiteral("tasks are not checked in a separate step (the check workflow is off)"));
    if (check && !CheckOperationRight(kTaskBillType, 3, db))
        return notAuthorised(3);

    QString message;
    if (FirstMissingField(ProtaskMandatoryFields(bill.header), message) >= 0) {
        Prompter::current().information(message);
        return refused(QString());
    }
    if (!bill.CheckLines())
        return refused(QString());

    const ActionResult saved = SaveBill(bill, bill.ref(), switches, db);
    if (!saved.done)
        return refused(QString());
    bill.header.billId = saved.billId;
    bill.header.billNo = bill.header.initBillNo = saved.billNo;
    bill.statusId = BillStatus::Saved;
    bool checked = switches.checkWorkflow && switches.checkOnSave;
    if (check && !checked) {
        // The task is saved whatever the check meets: the answer says so and names it.
        QString why;
        try {
            checked = CheckBill(bill, bill.ref(), db).done;
        } catch (const DbError &e) {
            why = QStringLiteral("the task was saved but not checked: ") + e.message();
        }
        if (!checked) {
            QJsonObject partly{{QStringLiteral("FID"), saved.billId},
                               {QStringLiteral("FBillNo"), saved.billNo},
                               {QStringLiteral("checked"), false}};
            return {false, partly, why};
        }
    }
    return done(QJsonObject{{QStringLiteral("FID"), saved.billId},
                            {QStringLiteral("FBillNo"), saved.billNo},
                            {QStringLiteral("checked"), checked || !switches.checkWorkflow}});
}

CommandResult CheckTask(int billId, bool check, const HostSwitches &switches, const QSqlDatabase &db)
{
    const ListContext list = OpenListContext(kTaskBillType, switches, db);
    const ListRow row = ReadListRow(list.formTable, billId, db);
    if (row.id == 0)
        return refused(QStringLiteral("no task with FID ") + QString::number(billId));
    const ListAction action = check ? ListAction::Check : ListAction::UnCheck;
    if (!ListActionAllowed(list, action, row))
        return listRefusal(list, action,
                           QStringLiteral("the list offers no ")
                               + (check ? QStringLiteral("check") : QStringLiteral("uncheck"))
                               + QStringLiteral(" for this task (the check workflow or the task's state)"),
                           db);
    const ListOutcome outcome = check ? CheckListBill(list, row, db) : UncheckListBill(list, row, db);
    if (outcome != ListOutcome::Done)
        return refused(QString());
    return done(QJsonObject{
        {QStringLiteral("FID"), billId}, {QStringLiteral("FBillNo"), row.billNo}, {QStringLiteral("checked"), check}});
}

CommandResult DeleteTask(int billId, const HostSwitches &switches, const QSqlDatabase &db)
{
    const ListContext list = OpenListContext(kTaskBillType, switches, db);
    const ListRow row = ReadListRow(list.formTable, billId, db);
    if (row.id == 0)
        return refused(QStringLiteral("no task with FID ") + QString::number(billId));
    if (!ListActionAllowed(list, ListAction::Delete, row))
        return listRefusal(list, ListAction::Delete,
                           QStringLiteral("the list offers no delete for this task (the task's state)"), db);
    const ListOutcome outcome = DeleteListBill(list, row, db);
    if (outcome == ListOutcome::Cancelled)
        return refused(QStringLiteral("not deleted: the question was answered No (use --yes)"));
    if (outcome != ListOutcome::Done)
        return refused(QString());
    return done(QJsonObject{
        {QStringLiteral("FID"), billId}, {QStringLiteral("FBillNo"), row.billNo}, {QStringLiteral("deleted"), true}});
}

CommandResult ListTasks(const ListDateRange &range, const ListFind &find, const QSqlDatabase &db)
{
    const ListQuery query = BuildListQuery(kTaskBillType, range, find, ListQueryShape::SubqueryFind, db);
    TDataSet q(db);
    OpenQuery(q, query.sql);
    const QStringList fields = q.fieldNames();
    QJsonArray rows;
    for (int r = 0; r < q.recordCount(); ++r) {
        QJsonObject row;
        for (int f = 0; f < fields.size(); ++f)
            row.insert(fields.at(f), cellToJson(q.value(r, f)));
        rows.append(row);
    }
    return done(rows);
}

CommandResult ExportTasks(const ListDateRange &range, const ListFind &find, const QString &path,
                          const HostSwitches &switches, const QSqlDatabase &db)
{
    const ListContext list = OpenListContext(kTaskBillType, switches, db);
    if (!ListActionAllowed(list, ListAction::ExportOut, ListRow()))
        return listRefusal(list, ListAction::ExportOut, QStringLiteral("the list offers no export"), db);
    const ListQuery query = BuildListQuery(kTaskBillType, range, find, ListQueryShape::SubqueryFind, db);
    TDataSet q(db);
    OpenQuery(q, query.sql);
    QString error;
    if (!ExportListToXlsx(kTaskBillType, switches, q, path, error, db)) {
        Prompter::current().error(error);
        return refused(QString());
    }
    WriteOperationLog(QStringLiteral("导出操作"), list.title, db);
    return done(QJsonObject{{QStringLiteral("file"), path}, {QStringLiteral("rows"), q.recordCount()}});
}

CommandResult PrintTask(int billId, int printStyle, const QString &path, const QSqlDatabase &db)
{
    const ListRow row = ReadListRow(QStringLiteral("t_ProTaskForm"), billId, db);
    if (row.id == 0)
        return refused(QStringLiteral("no task with FID ") + QString::number(billId));
    // The editor shows its print button only to a user with the print right.
    if (!CheckOperationRight(kTaskBillType, 8, db))
        return notAuthorised(8);
    const BillTypeRecord type = ReadBillTypeRecord(ProtaskHeader().billTypeNo, db);
    report::TReport report;
    // Without a style given, the one chosen last in the editor, as the editor offers it.
    if (printStyle <= 0)
        printStyle = type.found && type.printStyle >= 1 && type.printStyle <= 3 ? type.printStyle : 1;
    const BillReportRequest request{kTaskBillType, billId, false, printStyle, {}};
    const BillReportLoad load = LoadBillReport(report, request, db);
    if (!load.loaded)
        return refused(QString());
    CommandResult r = writePdf(report, path, row.billNo);
    if (r.done) {
        QJsonObject o = r.data.toObject();
        o.insert(QStringLiteral("template"), load.templateFileName);
        r.data = o;
        WriteOperationLog(QStringLiteral("打印操作 - 单据号:") + row.billNo,
                          type.found ? type.caption : QStringLiteral("生产任务单"), db);
    }
    return r;
}

CommandResult PrintTaskList(const ListDateRange &range, const ListFind &find, const QString &path,
                            const HostSwitches &switches, const QSqlDatabase &db)
{
    const ListContext list = OpenListContext(kTaskBillType, switches, db);
    if (!ListActionAllowed(list, ListAction::Print, ListRow()))
        return listRefusal(list, ListAction::Print, QStringLiteral("the list offers no print"), db);
    const ListQuery query = BuildListQuery(kTaskBillType, range, find, ListQueryShape::SubqueryFind, db);
    report::TReport report;
    if (!LoadBillReport(report, BillReportRequest{kTaskBillType, 0, true, 1, query.sql}, db).loaded)
        return refused(QString());
    const CommandResult r = writePdf(report, path, QString());
    if (r.done)
        WriteOperationLog(QStringLiteral("打印操作"), list.title, db);
    return r;
}

CommandResult MakeVoucher(int billType, int billId, int userId, const HostSwitches &switches, const QSqlDatabase &db)
{
    // The editor offers the voucher menu by bill type, and the list by its own table.
    if (!BillTypeMakesVouchers(billType))
        return refused(QStringLiteral("bill type %1 makes no vouchers: the windows offer 生成凭证 only for bill types "
                                      "3002, 3004, 3006, 3011, 3015, 3016, 3019, 3020, 3021, 3022, 3041 and 3042")
                           .arg(billType));
    const ListContext list = OpenListContext(billType, switches, db);
    const ListRow row = ReadListRow(list.formTable, billId, db);
    if (row.id == 0)
        return refused(QStringLiteral("no bill of type %1 with FID %2").arg(billType).arg(billId));
    if (!ListActionAllowed(list, ListAction::CreateVoucher, row) || !list.buttonVisible(ListAction::CreateVoucher))
        return listRefusal(list, ListAction::CreateVoucher,
                           QStringLiteral("the list of bill type %1 offers no 生成凭证").arg(billType), db);
    const int before = FindVoucherId(list.formTable, billId, db);
    TBillCreateVoucher generator(db, userId);
    // A bill the run cannot convert (not checked, already converted, …) is named in the report.
    const bool written =
        generator.CreateVoucherMain(billType, 0, list.listTable, list.formTable, QString::number(billId)) && before == 0
        && FindVoucherId(list.formTable, billId, db) != 0;
    QJsonObject o{{QStringLiteral("billType"), billType},
                  {QStringLiteral("FID"), billId},
                  {QStringLiteral("FBillNo"), row.billNo},
                  {QStringLiteral("written"), written},
                  {QStringLiteral("FVoucherID"), FindVoucherId(list.formTable, billId, db)},
                  {QStringLiteral("report"), generator.resultReport()}};
    if (!written) {
        if (!generator.resultReport().isEmpty())
            std::fprintf(stderr, "%s\n", generator.resultReport().toUtf8().constData());
        return {false, o, QStringLiteral("no voucher was made for this bill")};
    }
    return done(o);
}

} // namespace protask
