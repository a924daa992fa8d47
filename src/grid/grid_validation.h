#pragma once

#include "core/line_checks.h"

#include <QList>
#include <QString>

class QWidget;

namespace protask {

class TGridView;
class TGridModel;

// The grid's columns as the row checks see them: name, caption and tag rules.
QList<LineCheckColumn> GridCheckColumns(const TGridModel *model);

// Row checks of a line grid before a bill is saved. Rows are visited from the first up to
// the first row whose key column is blank; rows after it are not checked (a missing key
// column checks every row). Per row: required columns (tag bit 0) must not be blank, and
// numeric ones must not be 0 unless bit 5 allows it; gift rows (R_FIsPresent true) leave
// out their price and amount columns. Then every later row is compared with it in the
// unique columns (bit 2); each later duplicate gives its own warning naming the earlier
// row. After a warning the grid takes the focus on the offending cell with its editor open
// (for a duplicate, the cell of the earlier row that the warning names) and the result is
// false. `form` is the window the grid sits in; it is activated with the grid (may be null).
bool ValidateGridRows(QWidget *form, TGridView *view, const QString &keyColumn);

// Unit check before a bill is checked: two rows (both before the first blank product name)
// with the same product but different trimmed unit names need both units defined for the
// product (UnitsBelongToProduct). The first pair that fails is warned about, the later
// row's unit cell is focused and the result is false. `productColumn` tells which rows hold
// the same product (the product ID or name column); the product name column is the key of
// a row and names the product to the database. Server errors propagate as DbError.
bool ValidateProductUnits(TGridView *view, const QString &productColumn, const QString &unitColumn,
                          const QString &productNameColumn);

} // namespace protask
