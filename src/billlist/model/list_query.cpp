#include "billlist/model/list_query.h"

#include "billlist/model/list_tables.h"
#include "core/bill_types.h"
#include "core/numbering.h"
#include "core/values.h"

#include <iterator>

namespace protask {

namespace {

QString text(const char *s) { return QString::fromUtf8(s); }

const char *const kRangeItems[] = {"今日", "本周", "本月", "本年", "全部", "自定义"};
const char *const kCheckedItems[] = {"全部", "已审核", "未审核"};

// The production task list: header, product, manager, unit, biller, checker, department, and
// (for the distinct statement) the lines and their products.
const char *const kProtaskSelect =
    "T1.FID,T1.FTypeID,T1.FBillTypeID,T1.FBillDate,T1.FBillNo,T1.FProductID, FManagerID,T1.FDeptID,T1.FUnitID, "
    "T1.FBillerID,T1.FCheckerID,IfNull(T1.FIsChecked,0) as FIsChecked,T1.FBillerDate,T1.FCheckerDate, "
    "T1.FNote,T1.FNumber,T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T2.FNo as FProductNo, T2.FName as "
    "FProductName, T2.FCode as TFProductCode, T3.FNo as FManagerNo, T3.FName as FManagerName, T3.FCode as "
    "FManagerCode, T4.FNo as FUnitNo, T4.FName as FUnitName, T4.FCode as FUnitCode, T6.FNo as FBillerNo, T6.FName "
    "as FBillerName, T6.FCode as FBillerCode,T7.FName as FCheckName ,T8.FNo as FDeptNo, T8.FName as FDeptName, "
    "T8.FCode as FDeptCode  from ";
const char *const kProtaskHeaderJoins = " T1 left join t_comProducts T2 on t1.FProductID = T2.FID "
                                        "left join t_comEmployee T3 on T1.FManagerID = T3.FID "
                                        "left join t_comUnit T4 on T1.FUnitID = T4.FID "
                                        "left join t_comUser T6 on T1.FBillerID = T6.FID "
                                        "left join t_comUser T7 on T1.FCheckerID = T7.FID "
                                        " left join t_comdepartment T8 on T1.FDeptID = T8.FID ";
const char *const kProtaskFormTable = " t_ProTaskform ";
const char *const kProtaskListTable = " t_ProTasklist ";
// The records the distinct statement joins by a key, and the key that joins each: the task's
// product, manager and department on the header, the product on each line.
struct JoinedRecord {
    const char *alias;
    const char *key;
    const char *table;
};
const JoinedRecord kHeaderRecords[] = {
    {"T2", "T1.FProductID", "t_comProducts"},
    {"T3", "T1.FManagerID", "t_comEmployee"},
    {"T8", "T1.FDeptID", "t_comdepartment"},
};
const JoinedRecord kLineRecords[] = {{"T12", "T11.FProductID", "t_comProducts"}};

QString dateText(const QDate &d, const QSqlDatabase &db) { return QuotedStr(d.toString(u"yyyy-MM-dd"), db); }

// "C1 like P or C2 like P ...".
QString anyColumnLike(const QStringList &columns, const QString &pattern)
{
    QString sql;
    for (const QString &c : columns) {
        if (!sql.isEmpty())
            sql += QStringLiteral(" or ");
        sql += c + QStringLiteral(" like ") + pattern;
    }
    return sql;
}

QString checkedCondition(int checked)
{
    if (checked == 1)
        return QStringLiteral(" and IfNull(T1.FIsChecked,0) = 1  ");
    if (checked == 2)
        return QStringLiteral(" and IfNull(T1.FIsChecked,0) = 0 ");
    return QString();
}

QString aliasOf(const QString &column) { return column.section(QLatin1Char('.'), 0, 0); }

// The header's (or the line's) own searched columns, and for each record it joins by a key
// "key in (select A.FID from table A where ...)". The subquery names nothing of the outer row, so
// the server reads its set of keys once however many bills there are; a correlated exists under
// an "or" would be asked again for every bill on servers that do not rewrite it.
QString matchesOf(const QString &alias, const QStringList &columns, const JoinedRecord *begin, const JoinedRecord *end,
                  const QString &pattern)
{
    QStringList own;
    for (const QString &c : columns) {
        if (aliasOf(c) == alias)
            own << c;
    }
    QString sql = anyColumnLike(own, pattern);
    for (const JoinedRecord *r = begin; r != end; ++r) {
        const QString recordAlias = QString::fromLatin1(r->alias);
        QStringList searched;
        for (const QString &c : columns) {
            if (aliasOf(c) == recordAlias)
                searched << c;
        }
        if (searched.isEmpty())
            continue;
        sql += QStringLiteral(" or ") + QLatin1String(r->key) + QStringLiteral(" in (select ") + recordAlias
            + QStringLiteral(".FID from ") + QLatin1String(r->table) + QLatin1Char(' ') + recordAlias
            + QStringLiteral(" where ") + anyColumnLike(searched, pattern) + QLatin1Char(')');
    }
    return sql;
}

// The find condition of the task list without joining its lines: a task matches by its own
// columns, by the keys of its product, manager and department, or by being among the tasks
// that have a matching line (a line matches by its own columns or its product's). That is the
// distinct statement's "any joined row matches", and a task without lines still matches by its
// header.
QString protaskSubqueryFind(const ListFind &find, const QString &listTable, const QSqlDatabase &db)
{
    if (find.text.isEmpty())
        return checkedCondition(find.checked);
    const QString pattern = QuotedLikeContains(find.text, db);
    const QStringList columns = ListSearchColumns(BillType::ProTask);
    return QStringLiteral(" and(")
        + matchesOf(QStringLiteral("T1"), columns, std::begin(kHeaderRecords), std::end(kHeaderRecords), pattern)
        + QStringLiteral(" or T1.FID in (select T11.FFormID from") + listTable + QStringLiteral("T11 where ")
        + matchesOf(QStringLiteral("T11"), columns, std::begin(kLineRecords), std::end(kLineRecords), pattern)
        + QStringLiteral("))") + checkedCondition(find.checked);
}

} // namespace

QStringList ListRangeItems()
{
    QStringList items;
    for (const char *item : kRangeItems)
        items << text(item);
    return items;
}

QStringList ListCheckedItems()
{
    QStringList items;
    for (const char *item : kCheckedItems)
        items << text(item);
    return items;
}

QString ListOpeningRangeItem() { return text(kRangeItems[5]); }

QDate ListToday(const QSqlDatabase &db)
{
    QString yearMonth;
    return GetServerBillDate(yearMonth, db);
}

ListDateRange OpeningDateRange(const QDate &today) { return {true, MonthFirstDay(today), MonthLastDay(today)}; }

ListDateRange ApplyRangeItem(const QString &item, const QDate &today, const ListDateRange &pickers)
{
    ListDateRange r = pickers;
    r.enabled = true;
    // The items up to "本年" are the date periods in their order; "全部" disables the pickers.
    const int index = ListRangeItems().indexOf(item);
    if (index == 4)
        r.enabled = false;
    else if (index >= 0 && index <= static_cast<int>(DatePeriod::ThisYear)) {
        const DateRange range = *PeriodDates(static_cast<DatePeriod>(index), today);
        r.begin = range.start;
        r.end = range.end;
    }
    return r;
}

ListFind MakeListFind(const QString &typed, const QString &checkedItem, bool checkWorkflow)
{
    ListFind f;
    f.text = typed.trimmed().toUpper();
    if (checkWorkflow)
        f.checked = qMax(0, ListCheckedItems().indexOf(checkedItem));
    return f;
}

QString ListDateCondition(const ListDateRange &range, const QSqlDatabase &db)
{
    if (!range.enabled || !range.begin.isValid() || !range.end.isValid())
        return QString();
    return QStringLiteral(" and T1.FBillDate >= ") + dateText(range.begin, db) + QStringLiteral("and T1.FBillDate <")
        + dateText(range.end.addDays(1), db);
}

QString ListFindCondition(int billType, const ListFind &find, const QSqlDatabase &db)
{
    const QStringList columns = ListSearchColumns(billType);
    if (find.text.isEmpty() || columns.isEmpty())
        return checkedCondition(find.checked);
    return QStringLiteral(" and(") + anyColumnLike(columns, QuotedLikeContains(find.text, db)) + QStringLiteral(")")
        + checkedCondition(find.checked);
}

ListQuery BuildListQuery(int billType, const ListDateRange &range, const ListFind &find, ListQueryShape shape,
                         const QSqlDatabase &db)
{
    ListQuery q;
    if (billType != BillType::ProTask) {
        const BillTypeTables tables = GetBillTypeTables(billType);
        q.formTable = tables.formTable;
        q.listTable = tables.listTable;
        q.findText = ListFindCondition(billType, find, db);
        return q;
    }
    q.formTable = QString::fromLatin1(kProtaskFormTable);
    q.listTable = QString::fromLatin1(kProtaskListTable);
    const bool distinct = shape == ListQueryShape::DistinctJoin;
    q.findText = distinct ? ListFindCondition(billType, find, db) : protaskSubqueryFind(find, q.listTable, db);
    q.sql = QStringLiteral("select  ") + (distinct ? QStringLiteral("distinct ") : QString())
        + QString::fromLatin1(kProtaskSelect) + q.formTable + QString::fromLatin1(kProtaskHeaderJoins);
    if (distinct)
        q.sql += QStringLiteral("left join ") + q.listTable
            + QStringLiteral("  T11 on T1.FID = T11.FFormID left join t_comProducts T12 on T11.FProductID = T12.FID ");
    q.sql += QStringLiteral(" where T1.FID >0 ") + ListDateCondition(range, db) + q.findText
        + QStringLiteral(" order by T1.FBillDate,T1.FBillNo");
    // The list shows what every workstation committed, whichever node it went through.
    q.sql = causalRead(q.sql, db);
    return q;
}

} // namespace protask
