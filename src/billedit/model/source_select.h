#pragma once

#include "core/sql_helpers.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <optional>

namespace protask {

struct SourceKind;
// The select list and the joins of a kind's list statement, up to its where clause.
using SourceStatementHead = QString (*)(const SourceKind &kind);

// The column lists of the picker's grid (see BuildGridColumns): fields, captions, editor
// kinds, visibility and widths.
struct SourceColumns {
    QString fields;
    QString captions;
    QString kinds;
    QString visibles;
    QString widths;
};

// An earlier bill kind that a new bill copies from, keyed by the code the caller hands the
// picker. T1 is the header table; the order kinds list lines (T7), the others whole bills.
struct SourceKind {
    int billTypeId = 0;
    QString caption;
    QString headerTable;
    QString lineTable;       // T7 of the order kinds, empty for the others
    QString keyColumn;       // what the picker answers: FListID (rows of lines) or FID (bills)
    QString sameValueColumn; // the chosen rows must all hold one value of it; empty: no such rule
    QString finishColumn;    // what is already done of a line, shown as FFinishNumber
    QString openQuantity;    // what is still open of a row; a row is listed while it is above 0
    QString findAliases;     // the joins besides T1.FBillNo whose FNo, FName, FCode the search
                             // matches; empty: the search leaves the condition as it was
    QString orderBy;
    SourceStatementHead head = nullptr;
    const SourceColumns *columns = nullptr;
};

const QList<SourceKind> &SourceKinds();
// nullptr for a code that is no source kind.
const SourceKind *FindSourceKind(int billTypeId);

// The list statement: checked bills dated from `start` through the whole of `end`, rows
// still open, the search condition, and one client's rows only when clientId is not 0.
QString SourceSelectSql(const SourceKind &kind, const QDate &start, const QDate &end, const QString &findCondition,
                        int clientId, const QSqlDatabase &db = Db());

// The condition the search text adds to the list statement: empty for a blank text, the
// current condition for a kind that offers no search, else a contains-match of the trimmed
// upper-case text on the bill number and the kind's joined names, numbers and codes.
QString SourceFindCondition(const SourceKind &kind, const QString &text, const QString &current,
                            const QSqlDatabase &db = Db());

// The index of the first value that differs from the first one (compared as text); -1 when
// all agree or there are fewer than two.
int FirstDifferingValue(const QList<QVariant> &values);
// The warning when the chosen rows differ in the kind's same-value column.
QString SameValueWarning(const QString &caption);
// The chosen keys as the caller splices them into its statements: texts joined by ",".
QString JoinKeyValues(const QList<QVariant> &values);

} // namespace protask
