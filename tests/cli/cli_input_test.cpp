#include "cli_fixture.h"

using namespace protask;
using namespace protask::testing;

namespace {

// A task that saves, with one field changed: a header field, or "lines.F" for the first line.
QByteArray taskWith(const QString &field, const QJsonValue &value)
{
    QJsonObject line{{u"FProductName"_s, u"螺栓"_s}, {u"FUnitName"_s, u"把"_s}, {u"FNumber"_s, 2}};
    QJsonObject task{
        {u"FClientName"_s, u"东方家私"_s}, {u"FProductName"_s, u"办公椅"_s}, {u"FBillDate"_s, u"2026-12-03"_s}};
    if (field.startsWith(u"lines."_s))
        line.insert(field.mid(6), value);
    else
        task.insert(field, value);
    // A product on file keeps its unit: a unit name is stored with a new product.
    if (field == u"FUnitName"_s)
        task.insert(u"FProductName"_s, u"新产品"_s);
    if (field == u"lines.FUnitName"_s)
        line.insert(u"FProductName"_s, u"新材料"_s);
    task.insert(u"lines"_s, QJsonArray{line});
    return QJsonDocument(task).toJson(QJsonDocument::Compact);
}

// The field of the stored task as `task show` gives it (a header field, or "lines.F").
QJsonValue shownField(const CliRun &saved, const QString &field)
{
    const QJsonObject task = RunCli({u"task"_s, u"show"_s, u"--id"_s, saved.id()}).object();
    return field.startsWith(u"lines."_s) ? task.value(u"lines"_s).toArray().at(0).toObject().value(field.mid(6))
                                         : task.value(field);
}

// Every text field: a header field, or "lines.F" for a field of the first line.
const QStringList kTextFields =
    u"FBillNo FClientName FProductName FUnitName FBatchNo FDeptName FManager FNote FFormDefined1 FFormDefined2 "
    "FFormDefined3 FFromBillNo lines.FProductName lines.FUnitName lines.FBatchNo1 lines.FListDefined1 "
    "lines.FListDefined2 lines.FListDefined3 lines.FNote"_s.split(u' ');

// Quotes, backslashes, LIKE wildcards and characters outside the basic plane are stored exactly;
// a NUL or a text longer than its column is refused naming the field and changes nothing.
TEST_F(Cli, EveryTextRoundTripsExactlyOrIsRefusedNamingItsField)
{
    const QString specials = u"It's \\ 100% a_b 😀 𠀀 \\"_s;
    const QString nul = u"a"_s + QChar(0) + u"b"_s;
    const QString tooLong(10000, u'长');
    int n = 0;
    for (const QString &field : kTextFields) {
        const QString value = field == u"FBillNo"_s ? u"RWD'\\%_😀𠀀\\"_s : specials + QString::number(++n);
        const CliRun saved = SaveTaskFile(taskWith(field, value));
        ASSERT_EQ(saved.exitCode, 0) << field.toStdString() << ": " << saved.errors.toStdString();
        EXPECT_EQ(shownField(saved, field).toString(), value) << field.toStdString();

        const QString name = u"("_s + field.mid(field.indexOf(u'.') + 1) + u")"_s;
        for (const QString &refused : {nul, tooLong}) {
            const QString before = AllTablesChecksum();
            const CliRun r = SaveTaskFile(taskWith(field, refused));
            EXPECT_EQ(r.exitCode, 1) << field.toStdString();
            EXPECT_TRUE(r.errors.contains(name) && r.errors.contains(u"请检查"_s))
                << field.toStdString() << ": " << r.errors.left(300).toStdString();
            EXPECT_EQ(AllTablesChecksum(), before) << field.toStdString();
        }
    }
    // Characters are counted as the server counts them: 500 four-byte characters fill 说明.
    const QString full(500, QChar(0x4E2D));
    const QString wide = QString::fromUcs4(std::u32string(500, U'\U00020000').c_str());
    for (const QString &value : {full, wide}) {
        const CliRun r = SaveTaskFile(taskWith(u"FNote"_s, value));
        ASSERT_EQ(r.exitCode, 0) << r.errors.left(300).toStdString();
        EXPECT_EQ(shownField(r, u"FNote"_s).toString(), value);
    }
    EXPECT_EQ(SaveTaskFile(taskWith(u"FNote"_s, wide + u"x"_s)).exitCode, 1);

    // A task shown, saved back unchanged and shown again is the same file.
    const QStringList show = {u"task"_s, u"show"_s, u"--id"_s,
                              scalar(u"select max(FID) from t_ProTaskForm"_s).toString()};
    const QByteArray shown = RunCli(show).json.toJson();
    ASSERT_EQ(SaveTaskFile(shown).exitCode, 0);
    EXPECT_EQ(RunCli(show).json.toJson(), shown);
}

// A field is stored as given, or the task is refused (exit 1, nothing changed), or the file is
// not read (exit 2).
TEST_F(Cli, FieldsAreStoredAsGivenOrRefused)
{
    struct Case {
        const char *field;
        const char *json; // the value as written in the file
        int exitCode;
        const char *expect; // the stored value, or a text of the refusal
    };
    const Case cases[] = {
        {"FBillDate", "\"2026-12-07\"", 0, "2026-12-07"},
        {"Fnumber", "1e3", 0, "1000"},
        {"lines.FNumber", "2.5e1", 0, "25"},
        {"lines.FKFDate", "\"2024-02-29\"", 0, "2024-02-29"},
        {"Fnumber", "\"1e3\"", 2, "Fnumber"},
        {"FProDate", "\"2025-02-30\"", 2, "FProDate"},
        {"Fnumber", "-1e300", 1, "(Fnumber)"},
        {"Famount", "1e16", 1, "(Famount)"},
        {"lines.FNumber", "1e20", 1, "(FNumber)"},
        {"lines.FKFDate", "\"2025-02-30\"", 1, "(FKFDate)"},
        {"FClientName", "\" \"", 1, "客户不能为空"},
        {"lines.FNumber", "0", 1, "[总耗量]不能为0：请检查第 1 行[总耗量]的值"},
        {"FID", "999", 1, "no task with FID 999"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.json);
        const QString field = QString::fromLatin1(c.field);
        QByteArray file = taskWith(field, u"@"_s);
        file.replace("\"@\"", c.json);
        const QString before = AllTablesChecksum();
        const CliRun r = SaveTaskFile(file);
        ASSERT_EQ(r.exitCode, c.exitCode) << r.errors.toStdString();
        const QString expect = QString::fromUtf8(c.expect);
        if (c.exitCode == 0) {
            const QJsonValue shown = shownField(r, field);
            EXPECT_EQ(shown.isString() ? shown.toString() : QString::number(shown.toDouble()), expect);
        } else {
            EXPECT_TRUE(r.errors.contains(expect)) << r.errors.toStdString();
            EXPECT_EQ(AllTablesChecksum(), before);
        }
    }
    EXPECT_EQ(SaveTaskFile("not json").exitCode, 2);
}

} // namespace
