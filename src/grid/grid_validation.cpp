#include "grid/grid_validation.h"

#include "core/line_checks.h"
#include "grid/grid_view.h"

#include <QWidget>

namespace protask {

namespace {

LineCellReader cellsOf(const TGridModel *model)
{
    return [model](int row, int column) { return model->cell(row, column); };
}

} // namespace

QList<LineCheckColumn> GridCheckColumns(const TGridModel *model)
{
    QList<LineCheckColumn> columns;
    for (int column = 0; column < model->columnCountValue(); ++column) {
        const TGridColumn &c = model->column(column);
        columns.append({c.name, c.caption, c.hasTagBit(GridTagBit::Required), c.hasTagBit(GridTagBit::ZeroAllowed),
                        c.hasTagBit(GridTagBit::Unique), c.isNumeric()});
    }
    return columns;
}

bool ValidateGridRows(QWidget *form, TGridView *view, const QString &keyColumn)
{
    if (!view)
        return true;
    const TGridModel *model = view->model();
    const LineCheckCell fault =
        CheckLineRows(GridCheckColumns(model), model->rowCountValue(), cellsOf(model), model->columnIndex(keyColumn),
                      model->columnIndex(QStringLiteral("R_FIsPresent")));
    if (!fault.failed())
        return true;
    if (form)
        form->activateWindow();
    view->focusCell(fault.row, fault.column, true);
    return false;
}

bool ValidateProductUnits(TGridView *view, const QString &productColumn, const QString &unitColumn,
                          const QString &productNameColumn)
{
    if (!view)
        return true;
    const TGridModel *model = view->model();
    const LineCheckCell fault =
        CheckLineUnits(model->rowCountValue(), cellsOf(model), model->columnIndex(productColumn),
                       model->columnIndex(unitColumn), model->columnIndex(productNameColumn));
    if (!fault.failed())
        return true;
    view->focusCell(fault.row, fault.column, true);
    return false;
}

} // namespace protask
