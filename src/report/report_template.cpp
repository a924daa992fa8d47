#include "report/report_template.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <utility>

namespace protask::report {

namespace {

const std::pair<ControlKind, const char *> kKindNames[] = {
    {ControlKind::StaticText, "static"}, {ControlKind::ParameterText, "parameter"},
    {ControlKind::FieldText, "field"},   {ControlKind::SystemVar, "system"},
    {ControlKind::SumText, "sum"},       {ControlKind::Line, "line"},
    {ControlKind::Box, "box"},
};

const std::pair<Align, const char *> kAlignNames[] = {
    {Align::Left, "left"}, {Align::Center, "center"}, {Align::Right, "right"}};

bool kindFromName(const QString &name, ControlKind &kind)
{
    for (const auto &[k, n] : kKindNames)
        if (name == QLatin1String(n)) {
            kind = k;
            return true;
        }
    return false;
}

Align alignFromName(const QString &name)
{
    for (const auto &[a, n] : kAlignNames)
        if (name == QLatin1String(n))
            return a;
    return Align::Left;
}

QString str(const QJsonObject &o, const char *key) { return o.value(QLatin1String(key)).toString(); }
double num(const QJsonObject &o, const char *key, double fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() ? v.toDouble() : fallback;
}
bool flag(const QJsonObject &o, const char *key, bool fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isBool() ? v.toBool() : fallback;
}

TReportFont fontFrom(const QJsonObject &o)
{
    TReportFont f;
    f.family = str(o, "family");
    f.size = num(o, "size", 0);
    f.bold = flag(o, "bold", false);
    f.italic = flag(o, "italic", false);
    return f;
}

QJsonObject fontTo(const TReportFont &f)
{
    QJsonObject o;
    if (!f.family.isEmpty())
        o.insert(QStringLiteral("family"), f.family);
    if (f.size > 0)
        o.insert(QStringLiteral("size"), f.size);
    if (f.bold)
        o.insert(QStringLiteral("bold"), true);
    if (f.italic)
        o.insert(QStringLiteral("italic"), true);
    return o;
}

bool controlFrom(const QJsonObject &o, TReportControl &c, QString &error)
{
    c.name = str(o, "name");
    if (!kindFromName(str(o, "kind"), c.kind)) {
        error = QStringLiteral("unknown control kind \"%1\" of control \"%2\"").arg(str(o, "kind"), c.name);
        return false;
    }
    c.text = str(o, "text");
    c.source = str(o, "source");
    c.x = num(o, "x", 0);
    c.y = num(o, "y", 0);
    c.w = num(o, "w", 20);
    c.h = num(o, "h", 6);
    c.font = fontFrom(o.value(QStringLiteral("font")).toObject());
    c.align = alignFromName(str(o, "align"));
    c.format = str(o, "format");
    c.border = flag(o, "border", false);
    c.wordWrap = flag(o, "wordWrap", false);
    c.lineWidth = num(o, "lineWidth", 0.2);
    return true;
}

QJsonObject controlTo(const TReportControl &c)
{
    QJsonObject o;
    o.insert(QStringLiteral("name"), c.name);
    o.insert(QStringLiteral("kind"), ControlKindName(c.kind));
    if (!c.text.isEmpty())
        o.insert(QStringLiteral("text"), c.text);
    if (!c.source.isEmpty())
        o.insert(QStringLiteral("source"), c.source);
    o.insert(QStringLiteral("x"), c.x);
    o.insert(QStringLiteral("y"), c.y);
    o.insert(QStringLiteral("w"), c.w);
    o.insert(QStringLiteral("h"), c.h);
    const QJsonObject font = fontTo(c.font);
    if (!font.isEmpty())
        o.insert(QStringLiteral("font"), font);
    if (c.align != Align::Left)
        o.insert(QStringLiteral("align"), AlignName(c.align));
    if (!c.format.isEmpty())
        o.insert(QStringLiteral("format"), c.format);
    if (c.border)
        o.insert(QStringLiteral("border"), true);
    if (c.wordWrap)
        o.insert(QStringLiteral("wordWrap"), true);
    if (c.kind == ControlKind::Line || c.kind == ControlKind::Box || c.border)
        o.insert(QStringLiteral("lineWidth"), c.lineWidth);
    return o;
}

bool bandFrom(const QJsonObject &bands, const char *key, TReportBand &band, QString &error)
{
    const QJsonValue v = bands.value(QLatin1String(key));
    band = TReportBand();
    if (!v.isObject())
        return true;
    const QJsonObject o = v.toObject();
    band.present = true;
    band.height = num(o, "height", 0);
    for (const QJsonValue &cv : o.value(QStringLiteral("controls")).toArray()) {
        TReportControl c;
        if (!controlFrom(cv.toObject(), c, error))
            return false;
        band.controls.append(c);
    }
    return true;
}

void bandTo(QJsonObject &bands, const char *key, const TReportBand &band)
{
    if (!band.present)
        return;
    QJsonArray controls;
    for (const TReportControl &c : band.controls)
        controls.append(controlTo(c));
    QJsonObject o;
    o.insert(QStringLiteral("height"), band.height);
    o.insert(QStringLiteral("controls"), controls);
    bands.insert(QLatin1String(key), o);
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

QString ControlKindName(ControlKind kind)
{
    for (const auto &[k, n] : kKindNames)
        if (k == kind)
            return QLatin1String(n);
    return QString();
}

QString AlignName(Align align)
{
    for (const auto &[a, n] : kAlignNames)
        if (a == align)
            return QLatin1String(n);
    return QString();
}

TReportControl *TReportTemplate::control(const QString &name)
{
    for (TReportBand *band : {&reportHeader, &pageHeader, &reportFooter, &pageFooter})
        for (TReportControl &c : band->controls)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                return &c;
    return nullptr;
}

const TReportControl *TReportTemplate::control(const QString &name) const
{
    return const_cast<TReportTemplate *>(this)->control(name);
}

QString TReportTemplate::parameter(const QString &name) const
{
    for (const TReportParameter &p : parameters)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p.value;
    return QString();
}

void TReportTemplate::setParameter(const QString &name, const QString &value)
{
    for (TReportParameter &p : parameters)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) {
            p.value = value;
            return;
        }
    parameters.append({name, value});
}

bool TemplateFromJson(const QByteArray &json, TReportTemplate &out, QString *error)
{
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (doc.isNull() || !doc.isObject())
        return fail(error, QStringLiteral("not a template: ") + parse.errorString());
    const QJsonObject root = doc.object();
    if (str(root, "format") != QLatin1String(kTemplateFormat))
        return fail(error, QStringLiteral("not a template: format is not protask-report"));
    const int version = root.value(QStringLiteral("version")).toInt(0);
    if (version < 1 || version > kTemplateVersion)
        return fail(error, QStringLiteral("template version %1 is not supported").arg(version));

    TReportTemplate t;
    t.title = str(root, "title");
    const QJsonObject paper = root.value(QStringLiteral("paper")).toObject();
    t.paperWidth = num(paper, "width", 0);
    t.paperHeight = num(paper, "height", 0);
    if (t.paperWidth <= 0 || t.paperHeight <= 0)
        return fail(error, QStringLiteral("the template has no paper size"));
    const QJsonObject margins = paper.value(QStringLiteral("margins")).toObject();
    t.marginLeft = num(margins, "left", 10);
    t.marginTop = num(margins, "top", 10);
    t.marginRight = num(margins, "right", 10);
    t.marginBottom = num(margins, "bottom", 10);
    const TReportFont font = fontFrom(root.value(QStringLiteral("font")).toObject());
    if (!font.family.isEmpty())
        t.font.family = font.family;
    if (font.size > 0)
        t.font.size = font.size;

    for (const QJsonValue &pv : root.value(QStringLiteral("parameters")).toArray()) {
        const QJsonObject p = pv.toObject();
        t.parameters.append({str(p, "name"), str(p, "value")});
    }

    const QJsonObject bands = root.value(QStringLiteral("bands")).toObject();
    QString bandError;
    if (!bandFrom(bands, "reportHeader", t.reportHeader, bandError)
        || !bandFrom(bands, "pageHeader", t.pageHeader, bandError)
        || !bandFrom(bands, "reportFooter", t.reportFooter, bandError)
        || !bandFrom(bands, "pageFooter", t.pageFooter, bandError))
        return fail(error, bandError);

    const QJsonValue gridValue = bands.value(QStringLiteral("detail"));
    if (!gridValue.isObject())
        return fail(error, QStringLiteral("the template has no detail grid"));
    const QJsonObject grid = gridValue.toObject();
    t.grid.rowHeight = num(grid, "rowHeight", 6);
    t.grid.headerHeight = num(grid, "headerHeight", 7);
    t.grid.appendBlankRow = flag(grid, "appendBlankRow", false);
    t.grid.repeatHeader = flag(grid, "repeatHeader", true);
    t.grid.showSums = flag(grid, "showSums", true);
    t.grid.sumCaption = str(grid, "sumCaption");
    t.grid.font = fontFrom(grid.value(QStringLiteral("font")).toObject());
    t.grid.headerFont = fontFrom(grid.value(QStringLiteral("headerFont")).toObject());
    t.grid.lineWidth = num(grid, "lineWidth", 0.2);
    if (t.grid.rowHeight <= 0)
        return fail(error, QStringLiteral("the detail grid has no row height"));
    for (const QJsonValue &cv : grid.value(QStringLiteral("columns")).toArray()) {
        const QJsonObject c = cv.toObject();
        TReportColumn column;
        column.name = str(c, "name");
        column.field = str(c, "field");
        column.caption = str(c, "caption");
        column.width = num(c, "width", 20);
        column.align = alignFromName(str(c, "align"));
        column.format = str(c, "format");
        column.sum = flag(c, "sum", false);
        t.grid.columns.append(column);
    }
    out = t;
    return true;
}

QByteArray TemplateToJson(const TReportTemplate &t)
{
    QJsonObject root;
    root.insert(QStringLiteral("format"), QLatin1String(kTemplateFormat));
    root.insert(QStringLiteral("version"), kTemplateVersion);
    root.insert(QStringLiteral("title"), t.title);
    QJsonObject margins{{QStringLiteral("left"), t.marginLeft},
                        {QStringLiteral("top"), t.marginTop},
                        {QStringLiteral("right"), t.marginRight},
                        {QStringLiteral("bottom"), t.marginBottom}};
    root.insert(QStringLiteral("paper"),
                QJsonObject{{QStringLiteral("width"), t.paperWidth},
                            {QStringLiteral("height"), t.paperHeight},
                            {QStringLiteral("margins"), margins}});
    root.insert(QStringLiteral("font"), fontTo(t.font));
    QJsonArray parameters;
    for (const TReportParameter &p : t.parameters)
        parameters.append(QJsonObject{{QStringLiteral("name"), p.name}, {QStringLiteral("value"), p.value}});
    root.insert(QStringLiteral("parameters"), parameters);

    QJsonObject bands;
    bandTo(bands, "reportHeader", t.reportHeader);
    bandTo(bands, "pageHeader", t.pageHeader);
    QJsonArray columns;
    for (const TReportColumn &c : t.grid.columns) {
        QJsonObject o{{QStringLiteral("name"), c.name},
                      {QStringLiteral("field"), c.field},
                      {QStringLiteral("caption"), c.caption},
                      {QStringLiteral("width"), c.width}};
        if (c.align != Align::Left)
            o.insert(QStringLiteral("align"), AlignName(c.align));
        if (!c.format.isEmpty())
            o.insert(QStringLiteral("format"), c.format);
        if (c.sum)
            o.insert(QStringLiteral("sum"), true);
        columns.append(o);
    }
    QJsonObject grid{{QStringLiteral("rowHeight"), t.grid.rowHeight},
                     {QStringLiteral("headerHeight"), t.grid.headerHeight},
                     {QStringLiteral("appendBlankRow"), t.grid.appendBlankRow},
                     {QStringLiteral("repeatHeader"), t.grid.repeatHeader},
                     {QStringLiteral("showSums"), t.grid.showSums},
                     {QStringLiteral("sumCaption"), t.grid.sumCaption},
                     {QStringLiteral("lineWidth"), t.grid.lineWidth},
                     {QStringLiteral("columns"), columns}};
    if (!fontTo(t.grid.font).isEmpty())
        grid.insert(QStringLiteral("font"), fontTo(t.grid.font));
    if (!fontTo(t.grid.headerFont).isEmpty())
        grid.insert(QStringLiteral("headerFont"), fontTo(t.grid.headerFont));
    bands.insert(QStringLiteral("detail"), grid);
    bandTo(bands, "reportFooter", t.reportFooter);
    bandTo(bands, "pageFooter", t.pageFooter);
    root.insert(QStringLiteral("bands"), bands);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool LoadTemplate(const QString &path, TReportTemplate &out, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot read ") + path);
    return TemplateFromJson(file.readAll(), out, error);
}

bool SaveTemplate(const QString &path, const TReportTemplate &t, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(TemplateToJson(t)) < 0 || !file.commit())
        return fail(error, QStringLiteral("cannot write ") + path);
    return true;
}

} // namespace protask::report
