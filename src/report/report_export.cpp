#include "report/report.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <xlsxwriter.h>

namespace protask::report {

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// A display format as an Excel number format: ",0.00;-,0.00" -> "#,##0.00;-#,##0.00".
QString excelFormat(const QString &format)
{
    QString f = format;
    f.replace(QStringLiteral(",0"), QStringLiteral("#,##0"));
    return f;
}

QString sheetName(const QString &title)
{
    QString name = title.isEmpty() ? QStringLiteral("Sheet1") : title;
    for (const QChar c : {u'[', u']', u':', u'*', u'?', u'/', u'\\'})
        name.remove(c);
    return name.left(31);
}

QImage pageImage(const TReport &report, int index, const QList<TReportPage> &pages, int dpi)
{
    const TReportTemplate &t = report.reportTemplate();
    const int w = qRound(t.paperWidth / 25.4 * dpi);
    const int h = qRound(t.paperHeight / 25.4 * dpi);
    QImage image(w, h, QImage::Format_RGB32);
    const int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    QPainter painter(&image);
    report.paintPage(painter, index, pages);
    painter.end();
    return image;
}

} // namespace

bool TReport::exportPdf(const QString &path, QString *error) const
{
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setTitle(m_template.parameter(QStringLiteral("Title")));
    writer.setCreator(QStringLiteral("protask"));
    // A page size is always given upright; a wide paper is that size turned.
    const bool landscape = m_template.paperWidth > m_template.paperHeight;
    const QSizeF upright = landscape ? QSizeF(m_template.paperHeight, m_template.paperWidth)
                                     : QSizeF(m_template.paperWidth, m_template.paperHeight);
    if (!writer.setPageLayout(QPageLayout(QPageSize(upright, QPageSize::Millimeter),
                                          landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                          QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter)))
        return fail(error, QStringLiteral("无法设置纸张：") + path);
    if (!render(writer))
        return fail(error, QStringLiteral("无法写入文件：") + path);
    return true;
}

bool TReport::exportImages(const QString &path, ImageMode mode, int dpi, QStringList *written, QString *error) const
{
    const QList<TReportPage> pages = layout();
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    const char *format = (suffix == QLatin1String("png")) ? "PNG" : "JPG";
    if (mode == ImageMode::LongImage) {
        QList<QImage> images;
        int height = 0;
        for (int i = 0; i < pages.size(); ++i) {
            images.append(pageImage(*this, i, pages, dpi));
            height += images.last().height();
        }
        if (images.isEmpty())
            return fail(error, QStringLiteral("没有可导出的页"));
        QImage all(images.first().width(), height, QImage::Format_RGB32);
        all.setDotsPerMeterX(images.first().dotsPerMeterX());
        all.setDotsPerMeterY(images.first().dotsPerMeterY());
        all.fill(Qt::white);
        QPainter painter(&all);
        int y = 0;
        for (const QImage &img : images) {
            painter.drawImage(0, y, img);
            y += img.height();
        }
        painter.end();
        if (!all.save(path, format))
            return fail(error, QStringLiteral("无法写入文件：") + path);
        if (written)
            *written << path;
        return true;
    }
    for (int i = 0; i < pages.size(); ++i) {
        const QString file = i == 0 ? path
                                    : info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('_')
                + QString::number(i + 1) + QLatin1Char('.') + info.suffix();
        if (!pageImage(*this, i, pages, dpi).save(file, format))
            return fail(error, QStringLiteral("无法写入文件：") + file);
        if (written)
            *written << file;
    }
    return true;
}

bool TReport::exportExcel(const QString &path, QString *error) const
{
    const QByteArray file = path.toLocal8Bit();
    lxw_workbook *workbook = workbook_new(file.constData());
    if (!workbook)
        return fail(error, QStringLiteral("无法创建文件：") + path);
    const QString title = m_template.parameter(QStringLiteral("Title")).isEmpty()
        ? m_template.title
        : m_template.parameter(QStringLiteral("Title"));
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, sheetName(title).toUtf8().constData());
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_format *titleFormat = workbook_add_format(workbook);
    format_set_bold(titleFormat);
    format_set_font_size(titleFormat, 14);
    lxw_format *headerFormat = workbook_add_format(workbook);
    format_set_bold(headerFormat);
    format_set_align(headerFormat, LXW_ALIGN_CENTER);
    format_set_border(headerFormat, LXW_BORDER_THIN);

    lxw_row_t row = 0;
    worksheet_write_string(sheet, row++, 0, title.toUtf8().constData(), titleFormat);
    // The parameters the report shows above its grid: one "name | value" row each.
    for (const TReportParameter &p : m_template.parameters) {
        if (p.name == QLatin1String("Title") || p.value.isEmpty())
            continue;
        worksheet_write_string(sheet, row, 0, p.name.toUtf8().constData(), bold);
        worksheet_write_string(sheet, row++, 1, p.value.toUtf8().constData(), nullptr);
    }
    ++row;

    const QList<TReportColumn> &columns = m_template.grid.columns;
    QList<lxw_format *> formats;
    for (int c = 0; c < columns.size(); ++c) {
        const TReportColumn &column = columns.at(c);
        const auto col = static_cast<lxw_col_t>(c);
        worksheet_write_string(sheet, row, col, column.caption.toUtf8().constData(), headerFormat);
        worksheet_set_column(sheet, col, col, std::max(6.0, column.width / 2.2), nullptr);
        const QString fmt = resolvedFormat(column.format);
        lxw_format *format = nullptr;
        if (!fmt.isEmpty() && !fmt.contains(QLatin1Char('y'))) {
            format = workbook_add_format(workbook);
            format_set_num_format(format, excelFormat(fmt).toUtf8().constData());
        }
        formats.append(format);
    }
    ++row;
    for (int r = 0; r < m_data.rows.size(); ++r, ++row) {
        for (int c = 0; c < columns.size(); ++c) {
            const TReportColumn &column = columns.at(c);
            const auto col = static_cast<lxw_col_t>(c);
            if (column.field.isEmpty()) {
                worksheet_write_number(sheet, row, col, r + 1, nullptr);
                continue;
            }
            const QVariant v = m_data.value(r, column.field);
            if (!v.isValid() || v.isNull())
                continue;
            const int type = v.typeId();
            const bool dateLike = type == QMetaType::QDate || type == QMetaType::QDateTime;
            bool ok = false;
            const double number = v.toDouble(&ok);
            const bool numeric = !dateLike && ok
                && (formats.at(c) || type == QMetaType::Double || type == QMetaType::Int
                    || type == QMetaType::LongLong);
            if (numeric)
                worksheet_write_number(sheet, row, col, number, formats.at(c));
            else
                worksheet_write_string(sheet, row, col, formatValue(v, column.format).toUtf8().constData(), nullptr);
        }
    }
    bool anySum = false;
    for (const TReportColumn &c : columns)
        anySum = anySum || c.sum;
    if (m_template.grid.showSums && anySum) {
        for (int c = 0; c < columns.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            if (columns.at(c).sum)
                worksheet_write_number(sheet, row, col, m_data.sum(columns.at(c).field), formats.at(c));
            else if (c == 0 && !m_template.grid.sumCaption.isEmpty())
                worksheet_write_string(sheet, row, col, m_template.grid.sumCaption.toUtf8().constData(), bold);
        }
    }
    if (workbook_close(workbook) != LXW_NO_ERROR)
        return fail(error, QStringLiteral("无法写入文件：") + path);
    return true;
}

bool TReport::exportTo(ExportType type, const QString &path, QString *error) const
{
    switch (type) {
    case ExportType::Excel: return exportExcel(path, error);
    case ExportType::Pdf: return exportPdf(path, error);
    case ExportType::Image: return exportImages(path, ImageMode::PagePerFile, 150, nullptr, error);
    }
    return false;
}

} // namespace protask::report
