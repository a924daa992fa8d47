#include "cli/task_commands.h"

#include "billedit/model/bill_actions.h"
#include "billlist/list_grid.h"
#include "billlist/model/list_actions.h"
#include "core/bill_types.h"
#include "core/rights.h"
#include "core/sql_helpers.h"
#include "core/values.h"
#include "platform/prompter.h"

#include <QJsonArray>
#include <QMetaType>

#include <algorithm>

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

QString rightName(int operation) { return GetRightPrefix(kTaskBillType) + GetRightSuffix(operation); }

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
        return refused(QStringLiteral("the user lacks the right ") + rightName(operation));
    if (check && !switches.checkWorkflow)
        return refused(QStringLiteral("tasks are not checked in a separate step (the check workflow is off)"));
    if (check && !CheckOperationRight(kTaskBillType, 3, db))
        return refused(QStringLiteral("the user lacks the right ") + rightName(3));

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
        return refused(QStringLiteral("the list offers no ")
                       + (check ? QStringLiteral("check") : QStringLiteral("uncheck"))
                       + QStringLiteral(" for this task to this user (workflow, rights or the task's state)"));
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
        return refused(
            QStringLiteral("the list offers no delete for this task to this user (rights or the task's state)"));
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
        return refused(QStringLiteral("the list offers no export to this user"));
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

} // namespace protask
