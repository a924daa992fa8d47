#include "billlist/list_grid.h"

#include "billedit/model/bill_actions.h"
#include "billlist/model/list_actions.h"
#include "billlist/model/list_tables.h"
#include "billlist/xlsx_export.h"
#include "grid/grid_columns.h"
#include "grid/grid_view.h"

namespace protask {

void SetupListGrid(TGridView *view, int billType, const HostSwitches &switches, const QSqlDatabase &db)
{
    TGridView::LayoutUpdate update(view);
    BuildGridFromColumnTable(view, billType);
    view->model()->setEditingEnabled(false);
    for (const QString &hidden : ListHiddenColumns(billType, switches.checkWorkflow, db))
        HideColumns(view, hidden);
    if (switches.checkWorkflow)
        SetCheckBoxColumn(view, QStringLiteral("FIsChecked"), 1);
    // Custom captions: a renamed free field is shown under its name.
    for (const FieldCaption &c : ReadHeaderCaptions(billType, db)) {
        const int column = view->model()->fieldColumnIndex(c.field);
        if (column < 0)
            continue;
        view->model()->updateColumn(column, [&c](TGridColumn &col) { col.caption = c.caption; });
        view->setColumnVisible(column, true);
    }
}

void FillListGrid(TGridView *view, const TDataSet &list)
{
    TGridModel *m = view->model();
    m->clearRows();
    const int rows = list.isActive() ? list.recordCount() : 0;
    m->setRowCount(rows);
    for (int c = 0; c < m->columnCountValue(); ++c) {
        const int index = list.fieldIndex(m->column(c).field);
        if (index < 0)
            continue;
        for (int r = 0; r < rows; ++r)
            m->setCell(r, c, list.value(r, index));
    }
}

bool ExportListToXlsx(int billType, const HostSwitches &switches, const TDataSet &list, const QString &path,
                      QString &error, const QSqlDatabase &db)
{
    TGridView view;
    SetupListGrid(&view, billType, switches, db);
    FillListGrid(&view, list);
    return ExportGridToXlsx(&view, path, BillListTitle(billType), error);
}

} // namespace protask
