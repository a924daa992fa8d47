#pragma once

#include "billedit/model/protask_bill.h"
#include "billlist/model/list_query.h"
#include "platform/nv_dm_base.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace protask {

// What a command answers: its JSON, or the reason it was refused (the messages the windows
// would have shown are with the prompter).
struct CommandResult {
    bool done = false;
    QJsonValue data;
    QString refusal; // empty when done, or when the messages shown say why
};

// A task as JSON: the header under the editor's field names (FID, FBillNo, FBillDate,
// FClientName, Fnumber, FFromListID, …) and "lines", each an object of cells by field name.
QJsonObject TaskToJson(const ProtaskBill &bill);
// Reads a task from JSON; false with `error` for a value of the wrong kind or a date that is
// not a day of the calendar. Missing fields keep the task's values.
bool TaskFromJson(const QJsonObject &json, ProtaskBill &bill, QString &error);

// A new task made from a sales-order line as the editor makes it: the new task's number and
// date, the line's unfinished quantity (or `quantity`, which scales the materials as typing
// it in the editor does), the materials of the product's last task.
CommandResult TaskFromOrder(ProtaskBill &bill, int listId, std::optional<double> quantity, int userId,
                            const QSqlDatabase &db);
// A stored task as the editor loads it (its header and material statements), in the JSON that
// `TaskFromJson` reads back.
CommandResult ShowTask(int billId, const QSqlDatabase &db);
// A task made from header and lines (a new one when it has no FID): numbered and dated like a
// new task where the JSON leaves that open.
CommandResult PrepareTask(ProtaskBill &bill, int userId, const QSqlDatabase &db);

// Save as the editor's save button does, then (with `check`) its check button.
CommandResult SaveTask(ProtaskBill &bill, bool check, const HostSwitches &switches, const QSqlDatabase &db);
// Check, uncheck and delete as the list does them on the task's row.
CommandResult CheckTask(int billId, bool check, const HostSwitches &switches, const QSqlDatabase &db);
CommandResult DeleteTask(int billId, const HostSwitches &switches, const QSqlDatabase &db);
// The list's rows over a date range and a find, each an object of the list statement's
// columns.
CommandResult ListTasks(const ListDateRange &range, const ListFind &find, const QSqlDatabase &db);
// The same rows written to an Excel workbook as the list's export writes them (needs a
// QApplication: the grid is built as the list window builds it).
CommandResult ExportTasks(const ListDateRange &range, const ListFind &find, const QString &path,
                          const HostSwitches &switches, const QSqlDatabase &db);

// A task printed to a PDF file as the editor's print prints it: the template of the print style
// (0: 标准, the style the editor opens with), its parameters and the
// print query; the editor's log line. Needs a QGuiApplication (the engine paints).
CommandResult PrintTask(int billId, int printStyle, const QString &path, const QSqlDatabase &db);
// The list printed to a PDF file through the list's template, as the list's print does.
CommandResult PrintTaskList(const ListDateRange &range, const ListFind &find, const QString &path,
                            const HostSwitches &switches, const QSqlDatabase &db);
// Vouchers for one checked bill of a bill type that makes them, as the editor's and the list's
// 生成凭证 make them (the bill type's default template); the result report in the answer.
CommandResult MakeVoucher(int billType, int billId, int userId, const HostSwitches &switches, const QSqlDatabase &db);

} // namespace protask
