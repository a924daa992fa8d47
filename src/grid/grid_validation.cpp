#include "grid/grid_validation.h"

#include "core/sql_helpers.h"
#include "core/values.h"
#include "grid/grid_view.h"
#include "platform/prompter.h"

#include <QWidget>

namespace protask {

namespace {

// Columns a gift row leaves empty: it is given away.
bool isGiftExempt(const QString &columnName)
{
    static const QStringList exempt = {QStringLiteral("R_FPrice"), QStringLiteral("R_FDiscountPrice"),
                                       QStringLiteral("R_FAmount"), QStringLiteral("R_FDiscountAmount")};
    return exempt.contains(columnName, Qt::CaseInsensitive);
}

// The rows to check: up to, not including, the first row with a blank key.
int checkedRowCount(const TGridModel *model, int keyColumn)
{
    if (keyColumn < 0)
        return model->rowCountValue();
    for (int row = 0; row < model->rowCountValue(); ++row)
        if (IsBlankValue(model->cell(row, keyColumn)))
            return row;
    return model->rowCountValue();
}

// Blank values are never duplicates of each other.
bool sameUniqueValue(const TGridColumn &column, const QVariant &a, const QVariant &b)
{
    if (IsBlankValue(a) || IsBlankValue(b))
        return false;
    if (column.isNumeric())
        return ValueToFloat(a) == ValueToFloat(b);
    return ValueToTrimmedText(a) == ValueToTrimmedText(b);
}

void focusOffendingCell(QWidget *form, TGridView *view, int row, int column)
{
    if (form)
        form->activateWindow();
    view->focusCell(row, column, true);
}

QString rowText(int row) { return QString::number(row + 1); }

} // namespace

bool ValidateGridRows(QWidget *form, TGridView *view, const QString &keyColumn)
{
    if (!view)
        return true;
    const TGridModel *model = view->model();
    const int rows = checkedRowCount(model, model->columnIndex(keyColumn));
    const int giftColumn = model->columnIndex(QStringLiteral("R_FIsPresent"));

    QVector<int> uniqueColumns;
    for (int column = 0; column < model->columnCountValue(); ++column) {
        if (model->column(column).hasTagBit(GridTagBit::Unique))
            uniqueColumns.append(column);
    }
    for (int row = 0; row < rows; ++row) {
        const bool gift = giftColumn >= 0 && ValueIsTrue(model->cell(row, giftColumn));
        for (int column = 0; column < model->columnCountValue(); ++column) {
            const TGridColumn &col = model->column(column);
            if (gift && isGiftExempt(col.name))
                continue;
            if (!col.hasTagBit(GridTagBit::Required))
                continue;
            const QVariant value = model->cell(row, column);
            QString message;
            if (IsBlankValue(value))
                message = u'[' + col.caption + QStringLiteral("]不能为空：请检查第 ") + rowText(row)
                    + QStringLiteral(" 行[") + col.caption + QStringLiteral("]的值");
            else if (col.isNumeric() && !col.hasTagBit(GridTagBit::ZeroAllowed) && ValueToFloat(value) == 0.0)
                message = u'[' + col.caption + QStringLiteral("]不能为0：请检查第 ") + rowText(row)
                    + QStringLiteral(" 行[") + col.caption + QStringLiteral("]的值");
            if (!message.isEmpty()) {
                Prompter::current().warning(message);
                focusOffendingCell(form, view, row, column);
                return false;
            }
        }

        int duplicateColumn = -1;
        for (int later = row + 1; later < rows && !uniqueColumns.isEmpty(); ++later) {
            for (int column : uniqueColumns) {
                const TGridColumn &col = model->column(column);
                if (!sameUniqueValue(col, model->cell(row, column), model->cell(later, column)))
                    continue;
                Prompter::current().warning(QStringLiteral("字段重复：请检查第 ") + rowText(row)
                                            + QStringLiteral(" 行字段[") + col.caption + QStringLiteral("]的值"));
                if (duplicateColumn < 0)
                    duplicateColumn = column;
                break;
            }
        }
        if (duplicateColumn >= 0) {
            focusOffendingCell(form, view, row, duplicateColumn);
            return false;
        }
    }
    return true;
}

bool ValidateProductUnits(TGridView *view, const QString &productColumn, const QString &unitColumn,
                          const QString &productNameColumn)
{
    if (!view)
        return true;
    const TGridModel *model = view->model();
    const int product = model->columnIndex(productColumn);
    const int unit = model->columnIndex(unitColumn);
    const int productName = model->columnIndex(productNameColumn);
    if (product < 0 || unit < 0 || productName < 0)
        return true;
    const int rows = checkedRowCount(model, productName);

    QStringList products;
    QStringList units;
    for (int row = 0; row < rows; ++row) {
        products << ValueToTrimmedText(model->cell(row, product));
        units << ValueToTrimmedText(model->cell(row, unit));
    }
    for (int earlier = 0; earlier < rows; ++earlier) {
        const QString &earlierProduct = products.at(earlier);
        const QString &earlierUnit = units.at(earlier);
        for (int later = earlier + 1; later < rows; ++later) {
            if (products.at(later) != earlierProduct)
                continue;
            const QString &laterUnit = units.at(later);
            if (laterUnit == earlierUnit)
                continue;
            const QString name = ValueToTrimmedText(model->cell(earlier, productName));
            if (UnitsBelongToProduct(earlierUnit, laterUnit, name))
                continue;
            Prompter::current().warning(
                QStringLiteral("请检查第 ") + rowText(earlier) + QStringLiteral(" 行与第 ") + rowText(later)
                + QStringLiteral(" 行,您输入了该商品二个不同的单位,该商品还没有设置双单位换算比率"));
            view->focusCell(later, unit, true);
            return false;
        }
    }
    return true;
}

} // namespace protask
