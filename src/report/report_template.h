#pragma once

#include <QColor>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

namespace protask::report {

// The template format: a JSON document with "format": "protask-report" and "version": 1.
// Every length is in millimetres from the paper's top-left corner (controls: from their
// band's top-left corner inside the margins); font sizes are in points.
inline constexpr int kTemplateVersion = 1;
inline const char kTemplateFormat[] = "protask-report";

enum class Align { Left, Center, Right };

struct TReportFont {
    QString family;  // empty: the report's font
    double size = 0; // 0: the report's size
    bool bold = false;
    bool italic = false;
};

enum class ControlKind {
    StaticText,    // text
    ParameterText, // the value of the named parameter
    FieldText,     // the first data row's field
    SystemVar,     // page number, page count, "第n页/共m页", date, time
    SumText,       // the sum of a field over all rows
    Line,          // from the top-left to the bottom-right corner of its box (h 0: horizontal)
    Box            // a frame
};

struct TReportControl {
    QString name;
    ControlKind kind = ControlKind::StaticText;
    QString text;   // static text; for the text kinds a prefix shown before the value
    QString source; // parameter name, field name or system variable name
    double x = 0, y = 0, w = 20, h = 6;
    TReportFont font;
    Align align = Align::Left;
    QString format; // display format of numbers (",0.00;-,0.00") or dates ("yyyy-MM-dd")
    bool border = false;
    bool wordWrap = false;
    double lineWidth = 0.2;
};

struct TReportBand {
    bool present = false;
    double height = 0;
    QList<TReportControl> controls;
};

struct TReportColumn {
    QString name;
    QString field; // empty: the row number
    QString caption;
    double width = 20;
    Align align = Align::Left;
    QString format;
    bool sum = false;
};

struct TReportGrid {
    QList<TReportColumn> columns;
    double rowHeight = 6;
    double headerHeight = 7;
    bool appendBlankRow = false; // fill every page with blank ruled rows
    bool repeatHeader = true;    // column headers on every page
    bool showSums = true;        // a sum row after the last line
    QString sumCaption;          // in the first column of the sum row
    TReportFont font;
    TReportFont headerFont;
    double lineWidth = 0.2;
};

struct TReportParameter {
    QString name;
    QString value;
};

struct TReportTemplate {
    QString title;
    double paperWidth = 210, paperHeight = 297;
    double marginLeft = 10, marginTop = 10, marginRight = 10, marginBottom = 10;
    TReportFont font{QStringLiteral("WenQuanYi Zen Hei"), 9, false, false};
    QList<TReportParameter> parameters;
    TReportBand reportHeader, pageHeader, reportFooter, pageFooter;
    TReportGrid grid;

    double contentWidth() const { return paperWidth - marginLeft - marginRight; }
    double contentHeight() const { return paperHeight - marginTop - marginBottom; }
    // The control of that name in any band; nullptr when there is none.
    TReportControl *control(const QString &name);
    const TReportControl *control(const QString &name) const;
    QString parameter(const QString &name) const;
    void setParameter(const QString &name, const QString &value);
};

// Reads a template. False with a reason for a file that is missing, not JSON, of another
// format or a newer version, or that lacks the paper or the detail grid.
bool LoadTemplate(const QString &path, TReportTemplate &out, QString *error = nullptr);
bool TemplateFromJson(const QByteArray &json, TReportTemplate &out, QString *error = nullptr);
QByteArray TemplateToJson(const TReportTemplate &t);
bool SaveTemplate(const QString &path, const TReportTemplate &t, QString *error = nullptr);

QString ControlKindName(ControlKind kind);
QString AlignName(Align align);

} // namespace protask::report
