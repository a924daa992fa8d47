#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace protask {

// The row checks of a bill's lines before a save, over any table of cells: the editor's grid
// and a bill without a screen run the same rules. Each refusal is warned about through the
// prompter; the answer names the cell the user is taken to (row -1: every row passed).

// A column as the checks see it: its grid name ("R_FNumber"), caption and tag rules.
struct LineCheckColumn {
    QString name;
    QString caption;
    bool required = false;    // tag bit 0: not blank, and not 0 when numeric
    bool zeroAllowed = false; // tag bit 5: a required number may be 0
    bool unique = false;      // tag bit 2: no two rows alike
    bool numeric = false;
};
struct LineCheckCell {
    int row = -1;
    int column = -1;
    bool failed() const { return row >= 0; }
};
using LineCellReader = std::function<QVariant(int row, int column)>;

// Rows are visited from the first up to the first row whose key column is blank; rows after it
// are not checked (no key column: every row). Per row: required columns must not be blank, and
// numeric ones must not be 0 unless allowed; gift rows (`giftColumn` true) leave out their price
// and amount columns. Then every later row is compared with it in the unique columns; each later
// duplicate gives its own warning naming the earlier row, whose cell is answered.
LineCheckCell CheckLineRows(const QList<LineCheckColumn> &columns, int rowCount, const LineCellReader &cell,
                            int keyColumn, int giftColumn);

// Two rows (before the first blank product name) with the same product but different trimmed
// unit names need both units defined for the product; the first pair that fails is warned
// about and the later row's unit cell answered. Server errors propagate as DbError.
LineCheckCell CheckLineUnits(int rowCount, const LineCellReader &cell, int productColumn, int unitColumn,
                             int productNameColumn);

} // namespace protask
