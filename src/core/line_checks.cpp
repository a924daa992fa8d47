#include "core/line_checks.h"

#include "core/sql_helpers.h"
#include "core/values.h"
#include "platform/prompter.h"

#include <QStringList>

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
int checkedRowCount(int rowCount, const LineCellReader &cell, int keyColumn)
{
    if (keyColumn < 0)
        return rowCount;
    for (int row = 0; row < rowCount; ++row)
        if (IsBlankValue(cell(row, keyColumn)))
            return row;
    return rowCount;
}

// Blank values are never duplicates of each other.
bool sameUniqueValue(const LineCheckColumn &column, const QVariant &a, const QVariant &b)
{
    if (IsBlankValue(a) || IsBlankValue(b))
        return false;
    if (column.numeric)
        return ValueToFloat(a) == ValueToFloat(b);
    return ValueToTrimmedText(a) == ValueToTrimmedText(b);
}

QString rowText(int row) { return QString::number(row + 1); }

} // namespace

LineCheckCell CheckLineRows(const QList<LineCheckColumn> &columns, int rowCount, const LineCellReader &cell,
                            int keyColumn, int giftColumn)
{
    const int rows = checkedRowCount(rowCount, cell, keyColumn);
    QList<int> uniqueColumns;
    for (int column = 0; column < columns.size(); ++column) {
        if (columns.at(column).unique)
            uniqueColumns.append(column);
    }
    for (int row = 0; row < rows; ++row) {
        const bool gift = giftColumn >= 0 && ValueIsTrue(cell(row, giftColumn));
        for (int column = 0; column < columns.size(); ++column) {
            const LineCheckColumn &col = columns.at(column);
            if ((gift && isGiftExempt(col.name)) || !col.required)
                continue;
            const QVariant value = cell(row, column);
            QString message;
            if (IsBlankValue(value))
                message = u'[' + col.caption + QStringLiteral("]不能为空：请检查第 ") + rowText(row)
                    + QStringLiteral(" 行[") + col.caption + QStringLiteral("]的值");
            else if (col.numeric && !col.zeroAllowed && ValueToFloat(value) == 0.0)
                message = u'[' + col.caption + QStringLiteral("]不能为0：请检查第 ") + rowText(row)
                    + QStringLiteral(" 行[") + col.caption + QStringLiteral("]的值");
            if (!message.isEmpty()) {
                Prompter::current().warning(message);
                return {row, column};
            }
        }

        int duplicateColumn = -1;
        for (int later = row + 1; later < rows && !uniqueColumns.isEmpty(); ++later) {
            for (int column : uniqueColumns) {
                const LineCheckColumn &col = columns.at(column);
                if (!sameUniqueValue(col, cell(row, column), cell(later, column)))
                    continue;
                Prompter::current().warning(QStringLiteral("字段重复：请检查第 ") + rowText(row)
                                            + QStringLiteral(" 行字段[") + col.caption + QStringLiteral("]的值"));
                if (duplicateColumn < 0)
                    duplicateColumn = column;
                break;
            }
        }
        if (duplicateColumn >= 0)
            return {row, duplicateColumn};
    }
    return {};
}

LineCheckCell CheckLineUnits(int rowCount, const LineCellReader &cell, int productColumn, int unitColumn,
                             int productNameColumn)
{
    if (productColumn < 0 || unitColumn < 0 || productNameColumn < 0)
        return {};
    const int rows = checkedRowCount(rowCount, cell, productNameColumn);
    QStringList products;
    QStringList units;
    for (int row = 0; row < rows; ++row) {
        products << ValueToTrimmedText(cell(row, productColumn));
        units << ValueToTrimmedText(cell(row, unitColumn));
    }
    for (int earlier = 0; earlier < rows; ++earlier) {
        for (int later = earlier + 1; later < rows; ++later) {
            if (products.at(later) != products.at(earlier) || units.at(later) == units.at(earlier))
                continue;
            const QString name = ValueToTrimmedText(cell(earlier, productNameColumn));
            if (UnitsBelongToProduct(units.at(earlier), units.at(later), name))
                continue;
            Prompter::current().warning(
                QStringLiteral("请检查第 ") + rowText(earlier) + QStringLiteral(" 行与第 ") + rowText(later)
                + QStringLiteral(" 行,您输入了该商品二个不同的单位,该商品还没有设置双单位换算比率"));
            return {later, unitColumn};
        }
    }
    return {};
}

} // namespace protask
