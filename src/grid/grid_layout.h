#pragma once

#include <QString>

namespace protask {

class TGridView;

// Per-user column layouts in LSIniFile/<layout name>.ini under the program folder: one
// section per column name with its position (as shown) and its width. Captions and
// visibility always come from the column lists and the caption settings, so a save removes
// any "Caption" and "Visible" keys from the file, and a restore never reads them.

// Creates the folder when missing and writes the file; false when anything fails.
bool SaveGridLayout(TGridView *view, const QString &layoutName);
// Applies the stored positions and widths inside one update of the view. A damaged file
// restores what it can (unknown columns, unreadable or out-of-range values are passed over).
// False when there is no layout file (nothing restored) or the view is missing.
bool RestoreGridLayout(TGridView *view, const QString &layoutName);
// The file a layout lives in.
QString GridLayoutPath(const QString &layoutName);

} // namespace protask
