#include "billlist/xlsx_export.h"

#include "grid/grid_view.h"

#include <QDate>
#include <QDateTime>
#include <QHeaderView>

#include <xlsxwriter.h>

namespace protask {

namespace {

// The grid's display format as an Excel number format: ",0.00;-,0.00" -> "#,##0.00;-#,##0.00".
QString excelNumberFormat(const TGridColumn &column)
{
    QString f = column.displayFormat;
    if (f.isEmpty())
        return column.decimals > 0 ? QStringLiteral("0.") + QString(column.decimals, QLatin1Char('0'))
                                   : QStringLiteral("0");
    f.replace(QStringLiteral(",0"), QStringLiteral("#,##0"));
    return f;
}

} // namespace

bool ExportGridToXlsx(const TGridView *view, const QString &path, const QString &sheetName, QString &error)
{
    const QByteArray file = path.toLocal8Bit();
    lxw_workbook *workbook = workbook_new(file.constData());
    if (!workbook) {
        error = QStringLiteral("无法创建文件：") + path;
        return false;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, sheetName.left(31).toUtf8().constData());
    lxw_format *header = workbook_add_format(workbook);
    format_set_bold(header);
    format_set_align(header, LXW_ALIGN_CENTER);
    lxw_format *dateFormat = workbook_add_format(workbook);
    format_set_num_format(dateFormat, "yyyy-mm-dd");

    const TGridModel *model = view->model();
    const QHeaderView *shown = view->table()->horizontalHeader();
    QList<int> columns;
    for (int visual = 0; visual < shown->count(); ++visual) {
        const int logical = shown->logicalIndex(visual);
        if (logical >= 0 && view->isColumnVisible(logical))
            columns.append(logical);
    }
    QList<lxw_format *> numberFormats;
    for (int c = 0; c < columns.size(); ++c) {
        const TGridColumn &column = model->column(columns.at(c));
        lxw_format *format = nullptr;
        if (column.isNumeric()) {
            format = workbook_add_format(workbook);
            format_set_num_format(format, excelNumberFormat(column).toUtf8().constData());
        }
        numberFormats.append(format);
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), column.caption.toUtf8().constData(), header);
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             qMax(8.0, view->columnWidth(columns.at(c)) / 7.0), nullptr);
    }
    for (int r = 0; r < model->rowCountValue(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (int c = 0; c < columns.size(); ++c) {
            const TGridColumn &column = model->column(columns.at(c));
            const QVariant value = model->cell(r, columns.at(c));
            const auto col = static_cast<lxw_col_t>(c);
            if (!value.isValid() || value.isNull())
                continue;
            if (column.isNumeric()) {
                bool ok = false;
                const double number = value.toDouble(&ok);
                if (ok) {
                    worksheet_write_number(sheet, row, col, number, numberFormats.at(c));
                    continue;
                }
            }
            if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
                const QDate d = value.toDate();
                lxw_datetime when = {d.year(), d.month(), d.day(), 0, 0, 0.0};
                worksheet_write_datetime(sheet, row, col, &when, dateFormat);
                continue;
            }
            worksheet_write_string(sheet, row, col, model->displayText(r, columns.at(c)).toUtf8().constData(), nullptr);
        }
    }
    const lxw_error result = workbook_close(workbook);
    if (result != LXW_NO_ERROR) {
        error = QStringLiteral("导出失败：") + QString::fromUtf8(lxw_strerror(result));
        return false;
    }
    return true;
}

} // namespace protask
