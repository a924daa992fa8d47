#pragma once

#include "core/sql_helpers.h"
#include "platform/nv_dm_base.h"

#include <QSqlDatabase>
#include <QString>

namespace protask {

class TGridView;

// The list's grid as the list window shows it, for the window and for an export without one:
// the bill type's column table, the columns hidden by the switches and rights, the checked
// column as check boxes with the workflow on, and renamed free fields shown under their names.
void SetupListGrid(TGridView *view, int billType, const HostSwitches &switches, const QSqlDatabase &db);
// The rows of the list statement's result into the grid, column by field name.
void FillListGrid(TGridView *view, const TDataSet &list);

// The list written to an Excel workbook without a window: the grid built and filled as the
// list window has it, then exported. False with `error` set when the file cannot be written.
bool ExportListToXlsx(int billType, const HostSwitches &switches, const TDataSet &list, const QString &path,
                      QString &error, const QSqlDatabase &db);

} // namespace protask
