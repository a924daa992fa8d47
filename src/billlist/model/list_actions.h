#pragma once

#include "billlist/model/list_tables.h"
#include "core/sql_helpers.h"
#include "platform/nv_dm_base.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

namespace protask {

// The values of a list row that the actions read.
struct ListRow {
    int id = 0;           // FID; 0 is no row
    QString billNo;       // FBillNo
    QDate billDate;       // FBillDate
    QVariant billTypeId;  // FBillTypeID: the kind of the row in lists of two kinds
    bool checked = false; // FIsChecked reads "1"
};
// A row from its values by field name; missing fields stay empty.
ListRow ListRowFromValues(const QVariantMap &values);
// Row `row` of the list statement's result; out of range gives no row.
ListRow ListRowAt(const TDataSet &list, int row);
// The row of a stored bill of the list's header table as the list would show it, for a caller
// that names the bill by its key instead of standing on it; no row (id 0) when there is none.
ListRow ReadListRow(const QString &formTable, int billId, const QSqlDatabase &db = Db());

// A bill list as its actions see it: the bill type, the title the log names as window, the
// tables of the list statement, the company switches and which tool bar buttons show.
struct ListContext {
    int billType = 0;
    QString title;
    QString formTable; // FormTableName, as spliced by the actions
    QString listTable; // ListTableName
    HostSwitches switches;
    quint32 hiddenButtons = 0; // bit (1 << ListAction) per hidden button

    bool buttonVisible(ListAction action) const { return !(hiddenButtons & (1u << int(action))); }
};

// The list as it opens: title and tables, and its buttons: add return and voucher by the bill
// type; check, uncheck and display only with the check workflow; with the workflow on and the
// rights switch set, the retail list's editing buttons hidden and each remaining button shown
// only when the signed-in user holds its right (preview follows print).
ListContext OpenListContext(int billType, const HostSwitches &switches, const QSqlDatabase &db = Db());

// The enabled state of a row's buttons after opening, a find, a check, an uncheck or a move to
// another row: with the check workflow on and a current row, a checked row may be displayed and
// unchecked, an unchecked one edited, deleted and checked (the retail list deletes checked rows
// too). Only visible buttons are listed; an empty list leaves every button as it is.
struct ListButtonState {
    ListAction action;
    bool enabled;
};
QList<ListButtonState> ListRowStates(const ListContext &list, const ListRow *current);

// The guard that every way into an action passes, the tool bar, a shortcut, a double click
// alike: with the check workflow on an action whose button is hidden (by rights, by the
// workflow or by the bill type) or disabled for the row does nothing; row actions do nothing
// without a row. Without the workflow there are no check and uncheck: saving posts.
bool ListActionAllowed(const ListContext &list, ListAction action, const ListRow &row);

// What a double click or Enter on a row opens: edit without the check workflow, otherwise
// display for a checked row and edit for an unchecked one. Guarded like the others.
ListAction ListDoubleClickAction(const ListContext &list, const ListRow &row);

// A window message the list sends (or posts) to the host's main window for an action: a new
// bill of a type (add, add return), a bill to edit or to display by the row's effective type,
// closing the list. None when the action sends nothing or its guard refuses.
struct ListHostRequest {
    uint message = 0;
    qintptr wParam = 0;
    qintptr lParam = 0;
    bool post = false; // posted, not sent
    bool operator==(const ListHostRequest &) const = default;
};
std::optional<ListHostRequest> ListHostRequestFor(const ListContext &list, ListAction action, const ListRow &row);

// The grid columns the list hides beyond its column table: the checked columns without the
// check workflow, and the consignment list's pay columns from users whose right type is not 2.
QStringList ListHiddenColumns(int billType, bool checkWorkflow, const QSqlDatabase &db = Db());

// The row to stand on after the list was read again: the same bill where it is now, else (the
// bill is gone) the same position, within the rows there are; -1 for an empty list.
int ListRowToKeep(const TDataSet &list, int billId, int oldRow);

// What became of an action on a row.
enum class ListOutcome {
    Ignored,   // guarded: nothing ran and nothing was shown
    Refused,   // a test refused; its message was shown
    Cancelled, // the user answered No
    Done,      // committed: reopen the list (keeping the current row) and update the row states
    Failed,    // nothing was committed; the reason was shown
};

// Delete: the reference tests of the bill type, the closing and voucher tests, the question, then
// one transaction (retried on a deadlock) that takes the posting back first (the retail list, and
// every list without the check workflow), deletes the lines and the header and writes the log.
ListOutcome DeleteListBill(const ListContext &list, const ListRow &row, const QSqlDatabase &db = Db());
// Check and uncheck from the list: the closing and voucher tests (and the rebate test of the
// rebate list), the stock tests of the row's effective type, then the same posting as the
// editor's in one transaction with its log line.
ListOutcome CheckListBill(const ListContext &list, const ListRow &row, const QSqlDatabase &db = Db());
ListOutcome UncheckListBill(const ListContext &list, const ListRow &row, const QSqlDatabase &db = Db());

// The stock test before a bill is checked from a list, for bill types that take stock out:
// the bill's quantities in base units per storehouse (where the header names one) and product,
// against t_Balance. A shortage refuses with a warning when negative stock is forbidden, asks
// when the company wants to be asked; false stops the check.
bool ListStockTest(int billType, const QString &formTable, const QString &listTable, int billId,
                   const HostSwitches &switches, const QSqlDatabase &db = Db());
// The rebate list's test before checking: true (after telling the user) when another rebate bill
// already counted a purchase of the same supplier, period and selected products.
bool RebateAlreadyCounted(int billId, const QSqlDatabase &db = Db());

namespace ListMessage {
inline constexpr const char *PeriodClosed = "该单据已经结帐过,不能删除！";
inline constexpr const char *VoucherMade = "该单据已经生成凭证,不能删除！";
inline constexpr const char *ConfirmDelete = "确定要删除所选单据?";
inline constexpr const char *UnpostFailed = "删除数据失败";
inline constexpr const char *DeleteFailed = "删除数据失败,请重试";
inline constexpr const char *CheckFailed = "审核更新数据失败";
inline constexpr const char *UncheckFailed = "反审核更新数据失败";
inline constexpr const char *RebateCounted = "您要返利的期间已经存在被其它返利单计算过了返利，不能重复计算返利";
} // namespace ListMessage

} // namespace protask
