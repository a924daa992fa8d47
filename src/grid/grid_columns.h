#pragma once

#include "grid/grid_model.h"

#include <QString>

namespace protask {

class TDataSet;
class TGridView;

// Builds the columns of a grid from five parallel comma lists (fields, captions, editor
// kinds, visibility "1"/other, widths in pixels). Each column is named after its field and
// bound to it; the kinds are applied after all columns exist:
//   ""  plain text     "1" text with a lookup button   "2" quantity   "3" price
//   "4" check box on "1"/"0"   "5" date   "6" drop-down list   "7" amount (",0.00;-,0.00")
// Quantity and price columns take the company formats, read once per build. Missing kind
// entries at the end mean plain text, missing visibility entries hidden.
// The old columns go with their rows and footer summaries. False, with the view left as it
// was, when the field or caption list is blank. A width that is not a number throws
// std::invalid_argument (the lists are the program's own texts) before anything changes;
// a server error reading the company decimals propagates as DbError.
bool BuildGridColumns(TGridView *view, const QString &fields, const QString &captions, const QString &kinds,
                      const QString &visibles, const QString &widths);
// The same, with each column named view->objectName() + "_" + field (two grids of one form
// that carry the same fields).
bool BuildGridColumnsNamed(TGridView *view, const QString &fields, const QString &captions, const QString &kinds,
                           const QString &visibles, const QString &widths);

// Footer summaries under the columns bound to the listed fields: kind "1" a sum shown with
// ",0.00;-,0.00", kind "2" a count shown as "合计: # 行". Other kinds and unknown fields are
// passed over.
void AddFooterSummaries(TGridView *view, const QString &fields, const QString &kinds);

// With flag 1 the column bound to the field (without regard to case) becomes a check box on
// the text values "1" and "0".
void SetCheckBoxColumn(TGridView *view, const QString &field, int flag);
// Hides every column whose name is in the comma list; false for a blank list.
bool HideColumns(TGridView *view, const QString &names);

void SetNumberColumnFormat(TGridColumn &column, int decimals, const QString &format);
void SetNumberColumnFormat(TGridView *view, const QString &columnName, int decimals, const QString &format);

// Index of the column with that name, -1 when none.
int FindColumnIndex(const TGridView *view, const QString &name);
// Position of the column among the visible columns as shown, -1 when none or hidden.
int FindVisibleColumnIndex(const TGridView *view, const QString &name);

// Empties the grid, creates `rows` blank rows numbered 1.. in the first column, and makes
// every column with tag bit 4 neither editable nor focusable.
void InitEditorRows(TGridView *view, int rows);
void RenumberRows(TGridView *view);
// Sets the Boolean columns to false in one row, or in all rows for row -1.
void ResetBooleanColumns(TGridView *view, int row);
// Whether any row holds a non-blank value in the column.
bool ColumnHasValue(const TGridView *view, int column);
bool ColumnHasValue(const TGridView *view, const QString &columnName);
// Copies the dataset's current record into a row: the column named prefix + field takes
// each field's value unless it is null.
void CopyRecordToRow(TGridView *view, const QString &prefix, int row, const TDataSet &dataset);

// The column lists of the grids, keyed by window code.
struct GridColumnSet {
    int windowCode = 0;
    QString fields;
    QString captions;
    QString kinds;
    QString visibles;
    QString widths;
    QString footerFields;
    QString footerKinds;
};

// nullptr for a window code without an entry.
const GridColumnSet *FindGridColumnSet(int windowCode);
// Builds the columns and the footer of a window code's entry; false without an entry.
bool BuildGridFromColumnTable(TGridView *view, int windowCode);

} // namespace protask
