#pragma once

#include "core/sql_helpers.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace protask {

// The items of the range box (cxComboBox1) and of the checked-state box (cbbCheck), in order.
QStringList ListRangeItems();   // "今日", "本周", "本月", "本年", "全部", "自定义"
QStringList ListCheckedItems(); // "全部", "已审核", "未审核"
// The range box's text when the list opens.
QString ListOpeningRangeItem(); // "自定义"

// The two date pickers: a disabled pair means no date condition.
struct ListDateRange {
    bool enabled = true;
    QDate begin;
    QDate end;
    bool operator==(const ListDateRange &) const = default;
};

// Today as the server has it: the list's month and presets follow the server's clock.
QDate ListToday(const QSqlDatabase &db = Db());
// The pickers when the list opens: the current month.
ListDateRange OpeningDateRange(const QDate &today);
// The pickers after an item of the range box is chosen: both enabled, then today, the week
// (Monday to Sunday), the month or the year around today; "全部" disables both; "自定义"
// (and any text that is no item) keeps the dates of `pickers`.
ListDateRange ApplyRangeItem(const QString &item, const QDate &today, const ListDateRange &pickers);

// What the find button read from the find box and the checked-state box. It is kept until the
// next find: a change of the pickers alone takes effect at the next find or refresh.
struct ListFind {
    QString text;    // the find box trimmed and in upper case; empty: no find condition
    int checked = 0; // 0 all, 1 only checked, 2 only unchecked
};
// The checked state counts only with the check workflow on (the box is hidden without it);
// an unknown item means all.
ListFind MakeListFind(const QString &typed, const QString &checkedItem, bool checkWorkflow);

// How the list statement finds the bills that match.
enum class ListQueryShape {
    // "select distinct" over the header joined with its lines and their products: every line of
    // every bill in the range is joined before the duplicates are dropped.
    DistinctJoin,
    // The header with its own joins only; the find asks the lines, and the products, managers and
    // departments, once each for the keys that match ("key in (select ...)"). The same rows in
    // the same order, without a line joined when nothing is searched.
    SubqueryFind,
};

// The statement of a list with its table names.
struct ListQuery {
    QString sql;       // FormTableSQL; empty for a bill type whose list statement is not here
    QString formTable; // FormTableName: the header table as the actions splice it (" t_ProTaskform ")
    QString listTable; // ListTableName: the line table (" t_ProTasklist ")
    QString findText;  // FormFindText: the find and checked-state conditions as spliced
};

// " and T1.FBillDate >= 'begin'and T1.FBillDate <'end + 1 day'"; empty for disabled pickers.
// The upper bound is the day after the end date, so that bills of the whole end day are listed
// whatever their time.
QString ListDateCondition(const ListDateRange &range, const QSqlDatabase &db = Db());
// The find condition over the type's searched columns, as the distinct statement takes it,
// followed by the checked-state condition: " and(T1.FBillNo like '%T%' or ... like '%T%')".
// The text is matched literally: quotes, backslashes, % and _ match only themselves.
QString ListFindCondition(int billType, const ListFind &find, const QSqlDatabase &db = Db());
// The list statement of the bill type over the date range and the find; the production task
// list (3049) has its statement here. Other types answer their table names without a statement.
ListQuery BuildListQuery(int billType, const ListDateRange &range, const ListFind &find,
                         ListQueryShape shape = ListQueryShape::SubqueryFind, const QSqlDatabase &db = Db());

} // namespace protask
