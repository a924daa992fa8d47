#include "grid/grid_columns.h"

#include "core/sql_helpers.h"
#include "core/values.h"
#include "grid/grid_view.h"
#include "platform/db.h"

#include <QHeaderView>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace protask {

namespace {

const QString kCountFormat = QStringLiteral("合计: # 行");

QString entryAt(const QStringList &list, qsizetype i) { return i < list.size() ? list.at(i).trimmed() : QString(); }

int widthFromText(const QString &text)
{
    bool ok = false;
    const int width = text.trimmed().toInt(&ok);
    if (!ok)
        throw std::invalid_argument(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return width;
}

void applyKind(TGridColumn &column, const QString &kind, std::optional<CompanyDecimals> &company)
{
    const auto decimals = [&company]() -> const CompanyDecimals & {
        if (!company)
            company = GetCompanyDecimals();
        return *company;
    };
    const auto numeric = [&column](GridValueType type) {
        if (column.valueType == GridValueType::Text)
            column.valueType = type;
    };
    if (kind == u"1") {
        column.editorKind = GridEditorKind::Lookup;
    } else if (kind == u"2") {
        column.editorKind = GridEditorKind::Quantity;
        numeric(GridValueType::Float);
        SetNumberColumnFormat(column, decimals().numberDecimals, decimals().numberFormat);
    } else if (kind == u"3") {
        column.editorKind = GridEditorKind::Price;
        numeric(GridValueType::Float);
        SetNumberColumnFormat(column, decimals().priceDecimals, decimals().priceFormat);
    } else if (kind == u"4") {
        column.editorKind = GridEditorKind::CheckBox;
        column.checkedValue = QStringLiteral("1");
        column.uncheckedValue = QStringLiteral("0");
    } else if (kind == u"5") {
        column.editorKind = GridEditorKind::Date;
        column.valueType = GridValueType::Date;
    } else if (kind == u"6") {
        column.editorKind = GridEditorKind::DropDown;
    } else if (kind == u"7") {
        column.editorKind = GridEditorKind::Amount;
        numeric(GridValueType::Currency);
        SetNumberColumnFormat(column, 2, kAmountFormat);
    }
}

bool buildColumns(TGridView *view, const QString &namePrefix, const QString &fields, const QString &captions,
                  const QString &kinds, const QString &visibles, const QString &widths)
{
    if (!view || fields.trimmed().isEmpty() || captions.trimmed().isEmpty())
        return false;
    const QStringList fieldList = fields.split(u',');
    const QStringList captionList = captions.split(u',');
    const QStringList kindList = kinds.split(u',');
    const QStringList visibleList = visibles.split(u',');
    const QStringList widthList = widths.split(u',');

    QVector<TGridColumn> columns;
    columns.reserve(fieldList.size());
    for (qsizetype i = 0; i < fieldList.size(); ++i) {
        TGridColumn column;
        column.field = fieldList.at(i).trimmed();
        column.name = namePrefix + column.field;
        column.caption = i < captionList.size() ? captionList.at(i) : QString();
        column.visible = entryAt(visibleList, i) == u"1";
        column.width = widthFromText(entryAt(widthList, i));
        columns.append(column);
    }
    std::optional<CompanyDecimals> company;
    for (qsizetype i = 0; i < columns.size(); ++i)
        applyKind(columns[i], entryAt(kindList, i), company);

    // Summaries belong to the columns they sit under.
    view->clearSummaries();
    view->model()->setColumns(columns);
    return true;
}

// The column lists of the grids that this module shows.
const GridColumnSet kGridColumnTable[] = {
    // production task list; the quantity shows in the company's quantity format
    {3049,
     QStringLiteral("FID,FBillTypeID,FBillDate,FBillNo,FProductName,FUnitName,FNumber,FBillerName,FIsChecked,"
                    "FCheckName,FDeptName,FManagerName,FNote,FFormDefined1,FFormDefined2,FFormDefined3"),
     QStringLiteral("FID,FBillTypeID,单据日期,单据编号,生产商品,单位,数量,制单人,审核状态,审核人,部门,经办人,说明,"
                    "自定义1,自定义2,自定义3"),
     QStringLiteral(",,,,,,2"), QStringLiteral("0,0,1,1,1,1,1,1,1,1,1,1,1,0,0,0"),
     QStringLiteral("10,10,100,120,120,80,100,80,80,80,80,80,150,100,100,100"), QStringLiteral("FBillDate,FNumber"),
     QStringLiteral("2,1")},
};

} // namespace

bool BuildGridColumns(TGridView *view, const QString &fields, const QString &captions, const QString &kinds,
                      const QString &visibles, const QString &widths)
{
    return buildColumns(view, QString(), fields, captions, kinds, visibles, widths);
}

bool BuildGridColumnsNamed(TGridView *view, const QString &fields, const QString &captions, const QString &kinds,
                           const QString &visibles, const QString &widths)
{
    if (!view)
        return false;
    return buildColumns(view, view->objectName() + u'_', fields, captions, kinds, visibles, widths);
}

void AddFooterSummaries(TGridView *view, const QString &fields, const QString &kinds)
{
    if (!view || fields.trimmed().isEmpty())
        return;
    const QStringList fieldList = fields.split(u',');
    const QStringList kindList = kinds.split(u',');
    for (qsizetype i = 0; i < fieldList.size(); ++i) {
        const QString field = fieldList.at(i).trimmed();
        int column = view->model()->fieldColumnIndex(field);
        if (column < 0)
            column = view->model()->columnIndex(field);
        if (column < 0)
            continue;
        TGridSummary summary;
        summary.columnName = view->model()->column(column).name;
        const QString kind = entryAt(kindList, i);
        if (kind == u"1") {
            summary.kind = GridSummaryKind::Sum;
            summary.format = kAmountFormat;
        } else if (kind == u"2") {
            summary.kind = GridSummaryKind::Count;
            summary.format = kCountFormat;
        } else {
            continue;
        }
        view->addSummary(summary);
    }
}

void SetCheckBoxColumn(TGridView *view, const QString &field, int flag)
{
    if (!view || flag != 1)
        return;
    view->model()->updateColumn(view->model()->fieldColumnIndex(field), [](TGridColumn &column) {
        column.editorKind = GridEditorKind::CheckBox;
        column.checkedValue = QStringLiteral("1");
        column.uncheckedValue = QStringLiteral("0");
    });
}

bool HideColumns(TGridView *view, const QString &names)
{
    if (!view || names.trimmed().isEmpty())
        return false;
    for (const QString &name : names.split(u',')) {
        const int column = view->columnIndex(name);
        if (column >= 0)
            view->setColumnVisible(column, false);
    }
    return true;
}

void SetNumberColumnFormat(TGridColumn &column, int decimals, const QString &format)
{
    column.decimals = decimals;
    column.displayFormat = format;
}

void SetNumberColumnFormat(TGridView *view, const QString &columnName, int decimals, const QString &format)
{
    if (!view)
        return;
    view->model()->updateColumn(view->columnIndex(columnName),
                                [&](TGridColumn &column) { SetNumberColumnFormat(column, decimals, format); });
}

int FindColumnIndex(const TGridView *view, const QString &name) { return view ? view->columnIndex(name) : -1; }

int FindVisibleColumnIndex(const TGridView *view, const QString &name)
{
    if (!view)
        return -1;
    const int wanted = view->columnIndex(name);
    if (wanted < 0 || !view->isColumnVisible(wanted))
        return -1;
    const QHeaderView *header = view->table()->horizontalHeader();
    int position = 0;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical == wanted)
            return position;
        if (view->isColumnVisible(logical))
            ++position;
    }
    return -1;
}

void InitEditorRows(TGridView *view, int rows)
{
    if (!view)
        return;
    TGridModel *model = view->model();
    model->clearRows();
    model->setRowCount(rows);
    RenumberRows(view);
    for (int column = 0; column < model->columnCountValue(); ++column) {
        if (model->column(column).hasTagBit(GridTagBit::ReadOnly))
            model->updateColumn(column, [](TGridColumn &col) {
                col.editable = false;
                col.focusable = false;
            });
    }
}

void RenumberRows(TGridView *view)
{
    if (!view || view->model()->columnCountValue() == 0)
        return;
    TGridModel *model = view->model();
    for (int row = 0; row < model->rowCountValue(); ++row)
        model->setCell(row, 0, row + 1);
}

void ResetBooleanColumns(TGridView *view, int row)
{
    if (!view)
        return;
    TGridModel *model = view->model();
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? model->rowCountValue() - 1 : qMin(row, model->rowCountValue() - 1);
    for (int column = 0; column < model->columnCountValue(); ++column) {
        if (model->column(column).valueType != GridValueType::Boolean)
            continue;
        for (int r = first; r <= last; ++r)
            model->setCell(r, column, false);
    }
}

bool ColumnHasValue(const TGridView *view, int column)
{
    if (!view || column < 0 || column >= view->model()->columnCountValue())
        return false;
    for (int row = 0; row < view->model()->rowCountValue(); ++row)
        if (!IsBlankValue(view->model()->cell(row, column)))
            return true;
    return false;
}

bool ColumnHasValue(const TGridView *view, const QString &columnName)
{
    return view && ColumnHasValue(view, view->columnIndex(columnName));
}

void CopyRecordToRow(TGridView *view, const QString &prefix, int row, const TDataSet &dataset)
{
    if (!view || row < 0 || row >= view->model()->rowCountValue() || dataset.eof())
        return;
    for (const QString &field : dataset.fieldNames()) {
        const int column = view->columnIndex(prefix + field);
        if (column < 0)
            continue;
        const QVariant value = dataset.fieldByName(field);
        if (!value.isNull())
            view->model()->setCell(row, column, value);
    }
}

const GridColumnSet *FindGridColumnSet(int windowCode)
{
    for (const GridColumnSet &entry : kGridColumnTable)
        if (entry.windowCode == windowCode)
            return &entry;
    return nullptr;
}

bool BuildGridFromColumnTable(TGridView *view, int windowCode)
{
    const GridColumnSet *entry = FindGridColumnSet(windowCode);
    if (!entry || !BuildGridColumns(view, entry->fields, entry->captions, entry->kinds, entry->visibles, entry->widths))
        return false;
    AddFooterSummaries(view, entry->footerFields, entry->footerKinds);
    return true;
}

} // namespace protask
