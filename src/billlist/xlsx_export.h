#pragma once

#include <QString>

namespace protask {

class TGridView;

// Writes the grid as the user sees it into an Excel workbook: the visible columns in the order
// they are shown, their captions in the first row, then one row per grid row, numbers as numbers
// in the column's format, dates as dates, check boxes and texts as text. False with `error` set
// when the file cannot be written.
bool ExportGridToXlsx(const TGridView *view, const QString &path, const QString &sheetName, QString &error);

} // namespace protask
