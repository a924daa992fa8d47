#pragma once

#include "core/sql_helpers.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace protask {

// t_comFieldName holds, per bill type (or window code) and field, a default and a user value
// for the caption, the visibility and the order. Blank user values mean the default; every
// reader computes the effective value in SQL with these expressions.
extern const QString kEffectiveCaption; // case when IfNull(FSetName,'') = '' then FDefaultName else FSetName end
extern const QString kEffectiveShown;   // case when ifnull(FIsShow,'')='' then FDefaultIsShow else FIsShow end
extern const QString kEffectiveOrder;   // case when ifnull(FSID,'')='' then FSystemSID else FSID end

// The window codes of the master data whose free fields carry captions.
namespace FieldNameCode {
constexpr int Products = 2003;
constexpr int Customers = 2004;
constexpr int Suppliers = 2005;
constexpr int FirstReport = 4000; // codes from here on are reports
} // namespace FieldNameCode

// One default row of a bill type: header fields (FFormOrListID 0) carry the plain field
// name, line-grid columns (FFormOrListID 1) the column name "R_" + field.
struct DefaultFieldName {
    const char *field;
    const char *caption;
    int system; // 1: a column that is never hidden
    int order;
    int shown;
    bool isColumn() const;
};

// The default rows of a bill type (empty for a bill type without a list).
QList<DefaultFieldName> DefaultFieldNames(int billType);

// Inserts the default rows that the bill type does not have yet, in one transaction; rows
// that exist are left as they are, so the user's settings survive. False when the
// transaction did not commit (a server error is thrown as DbError, a lost connection or a
// give-up has been reported). `inserted` counts the rows added.
bool SeedFieldNames(int billType, const QString &billCaption, const QSqlDatabase &db = Db(), int *inserted = nullptr);

// The effective values of one field of a bill type; found is false without a row.
struct EffectiveFieldName {
    bool found = false;
    QString caption;
    bool shown = false;
    int order = 0;
};
EffectiveFieldName ReadEffectiveFieldName(int billType, const QString &field, const QSqlDatabase &db = Db());

} // namespace protask
