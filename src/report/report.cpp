#include "report/report.h"

#include "core/display_format.h"
#include "platform/db.h"

#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace protask::report {

namespace {

bool isNumberFormat(const QString &format)
{
    return !format.isEmpty() && (format.contains(QLatin1Char('0')) || format.contains(QLatin1Char('#')))
        && !format.contains(QLatin1Char('y')) && !format.contains(QLatin1Char('d'));
}

bool isNumericType(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return true;
    default: return false;
    }
}

Qt::Alignment qtAlign(Align a)
{
    switch (a) {
    case Align::Center: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
    }
    return Qt::AlignLeft;
}

// Millimetres to the device's units.
struct Scale {
    double x = 1, y = 1;
    QRectF rect(double left, double top, double w, double h) const { return QRectF(left * x, top * y, w * x, h * y); }
    double len(double mm) const { return mm * x; }
};

// A font of the template over its base: what the own font leaves unset comes from the base.
QFont resolveFont(const TReportFont &own, const TReportFont &base)
{
    const QString family = !own.family.isEmpty() ? own.family
        : !base.family.isEmpty()                 ? base.family
                                                 : QStringLiteral("WenQuanYi Zen Hei");
    QFont f(family);
    f.setPointSizeF(own.size > 0 ? own.size : (base.size > 0 ? base.size : 9));
    f.setBold(own.bold);
    f.setItalic(own.italic);
    return f;
}

// The grid's font: unset parts from the report's.
TReportFont gridFont(const TReportGrid &g, const TReportFont &report)
{
    TReportFont f = g.font;
    if (f.family.isEmpty())
        f.family = report.family;
    if (f.size <= 0)
        f.size = report.size;
    return f;
}

const double kCellPadding = 1.0;

} // namespace

int TReportData::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant TReportData::value(int row, const QString &field) const
{
    const int c = fieldIndex(field);
    if (c < 0 || row < 0 || row >= rows.size())
        return QVariant();
    return rows.at(row).value(c);
}

double TReportData::sum(const QString &field) const
{
    const int c = fieldIndex(field);
    double total = 0;
    if (c < 0)
        return total;
    for (const QList<QVariant> &row : rows)
        total += row.value(c).toDouble();
    return total;
}

bool TReport::loadFromFile(const QString &path, QString *error)
{
    TReportTemplate t;
    if (!LoadTemplate(path, t, error))
        return false;
    m_template = t;
    return true;
}

void TReport::setTemplate(const TReportTemplate &t) { m_template = t; }

bool TReport::openQuery(const QSqlDatabase &db, QString *error)
{
    m_data = TReportData();
    if (m_sql.trimmed().isEmpty())
        return true;
    try {
        TDataSet q(db);
        q.open(m_sql);
        m_data.fields = q.fieldNames();
        m_data.rows.reserve(q.recordCount());
        for (int r = 0; r < q.recordCount(); ++r) {
            QList<QVariant> row;
            row.reserve(q.fieldCount());
            for (int c = 0; c < q.fieldCount(); ++c)
                row.append(q.value(r, c));
            m_data.rows.append(row);
        }
        return true;
    } catch (const DbError &e) {
        if (error)
            *error = e.message();
        return false;
    }
}

QString TReport::resolvedFormat(const QString &format) const
{
    if (format.size() > 2 && format.startsWith(QLatin1Char('{')) && format.endsWith(QLatin1Char('}')))
        return m_formats.value(format.mid(1, format.size() - 2), QStringLiteral(",0.00;-,0.00"));
    return format;
}

QString TReport::formatValue(const QVariant &value, const QString &rawFormat) const
{
    if (!value.isValid() || value.isNull())
        return QString();
    const QString format = resolvedFormat(rawFormat);
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(format.isEmpty() ? QStringLiteral("yyyy-MM-dd") : format);
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        if (!format.isEmpty())
            return dt.toString(format);
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    }
    if (isNumberFormat(format) || isNumericType(value)) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok)
            return FormatDisplayNumber(number, isNumberFormat(format) ? format : QString());
    }
    return value.toString();
}

QString TReport::controlText(const TReportControl &c, int pageIndex, int pageCount) const
{
    switch (c.kind) {
    case ControlKind::StaticText: return c.text;
    case ControlKind::ParameterText: return c.text + parameter(c.source);
    case ControlKind::FieldText: return c.text + formatValue(m_data.value(0, c.source), c.format);
    case ControlKind::SumText: return c.text + formatValue(m_data.sum(c.source), c.format);
    case ControlKind::SystemVar: {
        const QString var = c.source;
        QString v;
        if (var == QLatin1String("PageNumber"))
            v = QString::number(pageIndex + 1);
        else if (var == QLatin1String("PageCount"))
            v = QString::number(pageCount);
        else if (var == QLatin1String("PageOfPages"))
            v = QStringLiteral("第%1页/共%2页").arg(pageIndex + 1).arg(pageCount);
        else if (var == QLatin1String("Date"))
            v = QDate::currentDate().toString(c.format.isEmpty() ? QStringLiteral("yyyy-MM-dd") : c.format);
        else if (var == QLatin1String("DateTime"))
            v = QDateTime::currentDateTime().toString(c.format.isEmpty() ? QStringLiteral("yyyy-MM-dd hh:mm")
                                                                         : c.format);
        return c.text + v;
    }
    case ControlKind::Line:
    case ControlKind::Box: break;
    }
    return QString();
}

QList<TReportPage> TReport::layout() const
{
    const TReportTemplate &t = m_template;
    const TReportGrid &g = t.grid;
    const double rowH = g.rowHeight;
    const double bandsEveryPage =
        (t.pageHeader.present ? t.pageHeader.height : 0) + (t.pageFooter.present ? t.pageFooter.height : 0);
    const double usable = t.contentHeight() - bandsEveryPage;
    bool anySum = false;
    for (const TReportColumn &c : g.columns)
        anySum = anySum || c.sum;
    const bool sumRow = g.showSums && anySum && !g.columns.isEmpty();
    const double tail = (sumRow ? rowH : 0) + (t.reportFooter.present ? t.reportFooter.height : 0);
    const int n = static_cast<int>(m_data.rows.size());

    QList<TReportPage> pages;
    int row = 0;
    for (;;) {
        TReportPage page;
        page.firstRow = row;
        const bool first = pages.isEmpty();
        page.reportHeader = first && t.reportHeader.present;
        const bool rowsLeft = row < n;
        page.gridHeader = !g.columns.isEmpty() && (first || (g.repeatHeader && (rowsLeft || sumRow)));
        double avail =
            usable - (page.reportHeader ? t.reportHeader.height : 0) - (page.gridHeader ? g.headerHeight : 0);
        const int fit = std::max(1, static_cast<int>(std::floor((avail + 1e-6) / rowH)));
        const int remaining = n - row;
        if (remaining <= fit && remaining * rowH + tail <= avail + 1e-6) {
            page.rowCount = remaining;
            page.sumRow = sumRow;
            page.reportFooter = t.reportFooter.present;
            if (g.appendBlankRow)
                page.blankRows = std::max(0, static_cast<int>(std::floor((avail - tail + 1e-6) / rowH)) - remaining);
            pages.append(page);
            return pages;
        }
        if (remaining <= fit) {
            // The rows fit but the sums and the report footer do not: they go on a page of
            // their own after this one.
            page.rowCount = remaining;
            page.blankRows = g.appendBlankRow ? fit - remaining : 0;
            pages.append(page);
            row = n;
            TReportPage last;
            last.firstRow = n;
            last.gridHeader = sumRow && g.repeatHeader;
            last.sumRow = sumRow;
            last.reportFooter = t.reportFooter.present;
            pages.append(last);
            return pages;
        }
        page.rowCount = fit;
        pages.append(page);
        row += fit;
    }
}

void TReport::paintPage(QPainter &painter, int index, const QList<TReportPage> &pages) const
{
    if (index < 0 || index >= pages.size())
        return;
    const TReportTemplate &t = m_template;
    const TReportGrid &g = t.grid;
    const TReportPage &page = pages.at(index);
    QPaintDevice *device = painter.device();
    const Scale s{device->logicalDpiX() / 25.4, device->logicalDpiY() / 25.4};
    const int pageCount = static_cast<int>(pages.size());

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    const auto pen = [&](double widthMm) {
        QPen p(Qt::black);
        p.setWidthF(std::max(s.len(widthMm), 1.0));
        return p;
    };

    const auto paintBand = [&](const TReportBand &band, double top) {
        for (const TReportControl &c : band.controls) {
            const QRectF r = s.rect(t.marginLeft + c.x, top + c.y, c.w, c.h);
            if (c.kind == ControlKind::Line) {
                painter.setPen(pen(c.lineWidth));
                painter.drawLine(r.topLeft(), c.h <= 0 ? r.topRight() : r.bottomRight());
                continue;
            }
            if (c.kind == ControlKind::Box) {
                painter.setPen(pen(c.lineWidth));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(r);
                continue;
            }
            if (c.border) {
                painter.setPen(pen(c.lineWidth));
                painter.drawRect(r);
            }
            painter.setPen(Qt::black);
            painter.setFont(resolveFont(c.font, t.font));
            const QRectF inner = r.adjusted(s.len(kCellPadding / 2), 0, -s.len(kCellPadding / 2), 0);
            const int flags = int(qtAlign(c.align)) | Qt::AlignVCenter | (c.wordWrap ? Qt::TextWordWrap : 0);
            painter.drawText(inner, flags, controlText(c, index, pageCount));
        }
    };

    double y = t.marginTop;
    if (t.pageHeader.present) {
        paintBand(t.pageHeader, y);
        y += t.pageHeader.height;
    }
    if (page.reportHeader) {
        paintBand(t.reportHeader, y);
        y += t.reportHeader.height;
    }

    // The grid: header, rows, blank filler rows and the sum row, ruled.
    const auto cellText = [&](double top, double h, const QStringList &texts, bool header) {
        double x = t.marginLeft;
        for (int i = 0; i < g.columns.size(); ++i) {
            const TReportColumn &col = g.columns.at(i);
            const QRectF r = s.rect(x, top, col.width, h);
            painter.setPen(pen(g.lineWidth));
            painter.drawRect(r);
            if (i < texts.size() && !texts.at(i).isEmpty()) {
                painter.setPen(Qt::black);
                const QRectF inner = r.adjusted(s.len(kCellPadding), 0, -s.len(kCellPadding), 0);
                painter.drawText(inner, int(header ? Qt::AlignHCenter : qtAlign(col.align)) | Qt::AlignVCenter,
                                 texts.at(i));
            }
            x += col.width;
        }
    };
    const QFont rowFont = resolveFont(gridFont(g, t.font), t.font);
    if (page.gridHeader) {
        // Column captions print bold in the rows' font unless the template gives a font.
        QFont f = resolveFont(g.headerFont, gridFont(g, t.font));
        if (g.headerFont.family.isEmpty() && g.headerFont.size <= 0)
            f.setBold(true);
        painter.setFont(f);
        QStringList captions;
        for (const TReportColumn &c : g.columns)
            captions << c.caption;
        cellText(y, g.headerHeight, captions, true);
        y += g.headerHeight;
    }
    painter.setFont(rowFont);
    for (int r = page.firstRow; r < page.firstRow + page.rowCount; ++r) {
        QStringList texts;
        for (const TReportColumn &c : g.columns)
            texts << (c.field.isEmpty() ? QString::number(r + 1) : formatValue(m_data.value(r, c.field), c.format));
        cellText(y, g.rowHeight, texts, false);
        y += g.rowHeight;
    }
    for (int b = 0; b < page.blankRows; ++b) {
        cellText(y, g.rowHeight, {}, false);
        y += g.rowHeight;
    }
    if (page.sumRow) {
        QStringList texts;
        for (int i = 0; i < g.columns.size(); ++i) {
            const TReportColumn &c = g.columns.at(i);
            texts << (c.sum ? formatValue(m_data.sum(c.field), c.format) : (i == 0 ? g.sumCaption : QString()));
        }
        QFont f = rowFont;
        f.setBold(true);
        painter.setFont(f);
        cellText(y, g.rowHeight, texts, false);
        y += g.rowHeight;
    }
    if (page.reportFooter)
        paintBand(t.reportFooter, y);
    if (t.pageFooter.present)
        paintBand(t.pageFooter, t.paperHeight - t.marginBottom - t.pageFooter.height);
    painter.restore();
}

bool TReport::render(QPagedPaintDevice &device) const
{
    const QList<TReportPage> pages = layout();
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage())
            return false;
        paintPage(painter, i, pages);
    }
    return painter.end();
}

} // namespace protask::report
