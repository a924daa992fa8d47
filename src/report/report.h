#pragma once

#include "report/report_template.h"

#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

class QPainter;
class QPagedPaintDevice;

namespace protask::report {

// The rows a report prints: field names as the query gave them and the values per row.
struct TReportData {
    QStringList fields;
    QList<QList<QVariant>> rows;

    // The first field of that name (a query may give two columns the same name; the first
    // one wins), ignoring letter case; -1 when there is none.
    int fieldIndex(const QString &name) const;
    QVariant value(int row, const QString &field) const;
    double sum(const QString &field) const;
};

// Which rows, blank filler rows and bands one page holds.
struct TReportPage {
    int firstRow = 0;
    int rowCount = 0;
    int blankRows = 0;
    bool reportHeader = false;
    bool gridHeader = false;
    bool sumRow = false;
    bool reportFooter = false;
};

enum class ExportType { Excel = 1, Pdf = 5, Image = 7 };
// Image export: one file per page (page 1 under the given name, page n as "<name>_n.<ext>")
// or all pages stacked into one long image.
enum class ImageMode { PagePerFile, LongImage };

// A loaded template with its parameters and data: lays the rows out into pages and paints
// them onto any paint device (printer, PDF writer, image). No widgets.
class TReport {
public:
    bool loadFromFile(const QString &path, QString *error = nullptr);
    void setTemplate(const TReportTemplate &t);
    const TReportTemplate &reportTemplate() const { return m_template; }
    TReportTemplate &reportTemplate() { return m_template; }

    void setParameter(const QString &name, const QString &value) { m_template.setParameter(name, value); }
    QString parameter(const QString &name) const { return m_template.parameter(name); }
    void setAppendBlankRow(bool on) { m_template.grid.appendBlankRow = on; }
    bool appendBlankRow() const { return m_template.grid.appendBlankRow; }
    TReportControl *controlByName(const QString &name) { return m_template.control(name); }
    // The paper width the template was designed for, in millimetres.
    double designPaperWidth() const { return m_template.paperWidth; }
    // Formats that templates name in braces ("{Number}", "{Price}", "{Amount}"): the
    // program's decimals are not known when a template is designed.
    void setNamedFormat(const QString &name, const QString &format) { m_formats.insert(name, format); }

    void setQuerySql(const QString &sql) { m_sql = sql; }
    QString querySql() const { return m_sql; }
    // Runs the query on the connection and keeps its rows; an empty query gives no rows.
    // False with the server's text when the query fails.
    bool openQuery(const QSqlDatabase &db, QString *error = nullptr);
    void setData(const TReportData &data) { m_data = data; }
    const TReportData &data() const { return m_data; }

    QList<TReportPage> layout() const;
    int pageCount() const { return static_cast<int>(layout().size()); }
    // Paints page `index` (from 0) with the paper's top-left corner at the device's origin.
    void paintPage(QPainter &painter, int index, const QList<TReportPage> &pages) const;
    // Paints every page, starting a new device page for each after the first.
    bool render(QPagedPaintDevice &device) const;

    bool exportPdf(const QString &path, QString *error = nullptr) const;
    bool exportImages(const QString &path, ImageMode mode, int dpi = 150, QStringList *written = nullptr,
                      QString *error = nullptr) const;
    bool exportExcel(const QString &path, QString *error = nullptr) const;
    bool exportTo(ExportType type, const QString &path, QString *error = nullptr) const;

    // A value as the report prints it with a display format.
    QString formatValue(const QVariant &value, const QString &format) const;
    // The text a text control shows on a page.
    QString controlText(const TReportControl &c, int pageIndex, int pageCount) const;

private:
    QString resolvedFormat(const QString &format) const;

    TReportTemplate m_template;
    TReportData m_data;
    QString m_sql;
    QMap<QString, QString> m_formats;
};

} // namespace protask::report
