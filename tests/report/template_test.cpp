// The template format: a template survives a save and load unchanged, damaged or foreign
// files are refused with a reason; the value formats and a failing query. What the shipped
// templates print is tested through the print form (tests/printing).

#include "core/sql_helpers.h"
#include "print_seed.h"
#include "report/report.h"

#include <QFile>
#include <QTemporaryDir>

#include <tuple>

namespace protask::testing {
namespace {

using namespace protask::report;
using namespace Qt::StringLiterals;

TEST(ReportTemplate, SaveAndLoadKeepEverything)
{
    TReportTemplate t;
    ASSERT_TRUE(LoadTemplate(ShippedTemplate(u"生产任务单(标准).grf"_s), t));
    t.control(u"StaticBoxAddr"_s)->x = 33.5;
    t.grid.columns[2].caption = u"材料"_s;
    t.grid.appendBlankRow = true;
    const TReportFont bold{QString(), 12, true, false};
    // name, kind, text, source, x, y, w, h, font, align, format, border, word wrap, line width
    const TReportControl extra(u"Extra"_s, ControlKind::SumText, u"合计："_s, u"FNumber"_s, 1, 2, 30, 5, bold,
                               Align::Right, u",0.00"_s, true, true, 0.3);
    t.reportFooter.controls.append(extra);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.grf"_s);
    ASSERT_TRUE(SaveTemplate(path, t));
    TReportTemplate back;
    ASSERT_TRUE(LoadTemplate(path, back));
    EXPECT_EQ(TemplateToJson(back), TemplateToJson(t));
    EXPECT_EQ(back.control(u"StaticBoxAddr"_s)->x, 33.5);
    const TReportControl *read = back.control(u"extra"_s);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->kind, ControlKind::SumText);
    EXPECT_TRUE(read->font.bold);
    EXPECT_EQ(read->align, Align::Right);
    EXPECT_TRUE(back.grid.appendBlankRow);
}

TEST(ReportTemplate, DamagedOrForeignFilesAreRefused)
{
    // the file's text, a word of the reason given
    const std::pair<const char *, const char *> cases[] = {
        {"", "not a template"},
        {"{\"format\": \"protask-report\", \"version\": 1, \"paper\": {\"width\": 210", "not a template"},
        {"<?xml version=\"1.0\"?><Report/>", "not a template"},
        {"{\"format\": \"other\", \"version\": 1}", "format"},
        {"{\"format\": \"protask-report\", \"version\": 2, \"paper\": {\"width\": 210, \"height\": 297}}", "version 2"},
        {"{\"format\": \"protask-report\", \"version\": 1, \"paper\": {}}", "paper"},
        {"{\"format\": \"protask-report\", \"version\": 1, \"paper\": {\"width\": 210, \"height\": 297}, \"bands\": {}}",
         "detail grid"},
        {"{\"format\": \"protask-report\", \"version\": 1, \"paper\": {\"width\": 210, \"height\": 297}, \"bands\": "
         "{\"detail\": {\"columns\": []}, \"reportHeader\": {\"height\": 10, \"controls\": [{\"name\": \"X\", "
         "\"kind\": \"chart\"}]}}}",
         "chart"},
    };
    for (const auto &[json, reason] : cases) {
        TReportTemplate t;
        QString error;
        EXPECT_FALSE(TemplateFromJson(QByteArray(json), t, &error)) << json;
        EXPECT_TRUE(error.contains(QLatin1String(reason))) << json << " -> " << error.toStdString();
    }
    TReportTemplate t;
    EXPECT_FALSE(LoadTemplate(u"/nonexistent/x.grf"_s, t));
}

TEST(ReportTemplate, ValuesPrintInTheProgramsFormats)
{
    TReport r;
    r.setNamedFormat(u"Number"_s, u",0.000;-,0.000"_s);
    // value, format, text; DECIMAL columns come as text, an unknown named format is the amounts'
    const std::tuple<QVariant, const char *, const char *> cases[] = {
        {QVariant(1234.5), "{Number}", "1,234.500"},
        {QVariant(u"1234.5"_s), ",0.00;-,0.00", "1,234.50"},
        {QVariant(-2.0), "{Amount}", "-2.00"},
        {QVariant(0.1 + 0.2), "", "0.3"},
        {QVariant(QDate(2026, 12, 5)), "", "2026-12-05"},
        {QVariant(QDateTime(QDate(2026, 12, 5), QTime(0, 0))), "", "2026-12-05"},
        {QVariant(QDateTime(QDate(2026, 12, 5), QTime(9, 30))), "", "2026-12-05 09:30"},
        {QVariant(QDateTime(QDate(2026, 12, 5), QTime(9, 30))), "yyyy年M月d日", "2026年12月5日"},
        {QVariant(), ",0.00", ""},
        {QVariant(u"PB-7"_s), "", "PB-7"},
    };
    for (const auto &[value, format, expected] : cases)
        EXPECT_EQ(r.formatValue(value, QString::fromUtf8(format)), QString::fromUtf8(expected)) << expected;
}

TEST(ReportTemplate, AQueryFailureIsReportedWithTheServersText)
{
    TReport r;
    r.setQuerySql(u"select * from t_NoSuchTable"_s);
    QString error;
    EXPECT_FALSE(r.openQuery(Db(), &error));
    EXPECT_TRUE(error.contains(u"t_NoSuchTable"_s, Qt::CaseInsensitive)) << error.toStdString();
}

} // namespace
} // namespace protask::testing
