// libDllcomm.so as the module meets it: loaded by file name through the loader, its lookup
// and record dialogs driven like a user would, through the library's dialog hook.
#include "comm/comm_kinds.h"
#include "plugin/comm_call.h"
#include "test_db.h"

#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <functional>

using namespace protask;
using namespace Qt::StringLiterals;
using namespace protask::testing;

namespace {

// Answers every dialog the library would run, counting them.
std::function<int(QDialog *)> g_script;
int g_dialogs = 0;

int answerDialog(QDialog *dialog)
{
    ++g_dialogs;
    dialog->show();
    return g_script ? g_script(dialog) : int(QDialog::Rejected);
}

QLineEdit *searchBox(QDialog *d) { return d->findChild<QLineEdit *>(u"edt_Search"_s); }
QTableView *table(QDialog *d) { return d->findChild<QTableView *>(u"grd_Lookup"_s); }

// Key by key, as the user types (keyClicks would send hanzi as Latin-1).
void type(QDialog *d, const QString &text)
{
    searchBox(d)->clear();
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, searchBox(d), Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The numbers of the rows listed, top to bottom.
QStringList listed(QDialog *d)
{
    QStringList numbers;
    for (int row = 0; row < table(d)->model()->rowCount(); ++row)
        numbers.append(table(d)->model()->index(row, 0).data().toString());
    return numbers;
}

void click(QDialog *d, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTableView *view = table(d);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                      view->visualRect(view->model()->index(row, 0)).center());
}

// Products 1-6 are active, 7 is not.
class Comm : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        // The hook outlives this handle because the library is never unloaded.
        TCallDLL library(kCommLibraryName);
        const auto setHook = reinterpret_cast<CommSetDialogHookFunc>(library.resolve("CommSetDialogHook"));
        ASSERT_NE(setHook, nullptr);
        setHook(&answerDialog);
        g_script = nullptr;
        g_dialogs = 0;
        ExecScript(
            u"insert into t_comProducts(FID, FNo, FName, FCode, FIsActive) values"
            " (1, 'P-001', '螺丝 M3', 'LSM3', 1), (2, 'P-002', '50% 折扣件', 'ZKJ', 1),"
            " (3, 'P-003', '508 折扣件', 'ZKJ2', 1), (4, 'P-004', 'a_b 垫片', 'DP', 1),"
            " (5, 'P-005', 'axb 垫片', 'DP2', null), (6, 'P-006', 'O''Brien\\\\杆', 'OBG', 1),"
            " (7, 'P-007', '停用件', 'TYJ', 0);"
            "insert into t_comUnit(FID, FNo, FName, FCode) values (1, 'U-1', '个', 'G'), (2, 'U-2', '箱', 'X')"_s);
    }
    void TearDown() override
    {
        g_script = nullptr;
        DatabaseTest::TearDown();
    }
    LookupResult &lookup = nvDMBase::instance().lookup;
};

TEST_F(Comm, TheLibraryIsFoundBesideTheLoaderAndStaysLoaded)
{
    const QString path = qEnvironmentVariable("PROTASK_BINARY_DIR") + u"/bin/libDllcomm.so"_s;
    EXPECT_EQ(ResolveLibraryFile(kCommLibraryName), QFileInfo(path).absoluteFilePath());
    {
        TCommCall comm(kCommLibraryName);
        ASSERT_NE(comm.CommInts(), nullptr);
    }
    void *stillLoaded = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(stillLoaded, nullptr) << "the library is never unloaded after a call";
    if (stillLoaded)
        dlclose(stillLoaded);
}

TEST_F(Comm, SearchMatchesNumberNameAndCodeLiterally)
{
    struct Search {
        QString typed;
        QStringList numbers;
    };
    const Search searches[] = {
        {u"P-002"_s, {u"P-002"_s}},
        {u"垫片"_s, {u"P-004"_s, u"P-005"_s}},
        {u"lsm"_s, {u"P-001"_s}},
        {QString(), {u"P-001"_s, u"P-002"_s, u"P-003"_s, u"P-004"_s, u"P-005"_s, u"P-006"_s}},
    };
    g_script = [&](QDialog *d) {
        EXPECT_EQ(d->windowTitle(), u"选择商品"_s);
        EXPECT_EQ(searchBox(d)->text(), u"螺丝"_s) << "the filter is the first search text";
        EXPECT_EQ(listed(d), QStringList{u"P-001"_s});
        for (const Search &s : searches) {
            type(d, s.typed);
            EXPECT_EQ(listed(d), s.numbers) << s.typed.toStdString();
        }
        return int(QDialog::Rejected);
    };
    lookup.text1 = u"7"_s;
    EXPECT_FALSE(OpenCommonLookup(2003, kCommPickOne, u"螺丝"_s));
    EXPECT_EQ(g_dialogs, 1);
    EXPECT_TRUE(lookup.text1.isEmpty() && lookup.text2.isEmpty() && lookup.text3.isEmpty());
    EXPECT_TRUE(prompter.entries().isEmpty());
}

TEST_F(Comm, ChosenRecordsLandInTheLookupTexts)
{
    enum How { OkButton, EnterKey, DoubleClick };
    struct Pick {
        int mode;
        QString typed;
        QList<int> rows; // clicked in this order, the later ones with Ctrl
        How how;
        QString ids;
        QString firstName;
    };
    const Pick picks[] = {
        {kCommPickOne, {}, {0, 2}, OkButton, u"3"_s, u"508 折扣件"_s},
        {kCommPickOne, {}, {}, DoubleClick, u"4"_s, u"a_b 垫片"_s},
        {kCommPickSeveral, {}, {2, 0}, OkButton, u"1,3"_s, u"螺丝 M3"_s},
        {kCommPickSeveral, u"垫片"_s, {0, 1}, EnterKey, u"4,5"_s, u"a_b 垫片"_s},
    };
    for (const Pick &p : picks) {
        g_script = [&](QDialog *d) {
            type(d, p.typed);
            for (int i = 0; i < p.rows.size(); ++i)
                click(d, p.rows[i], i == 0 ? Qt::NoModifier : Qt::ControlModifier);
            switch (p.how) {
            case OkButton: QTest::mouseClick(d->findChild<QPushButton *>(u"btn_OK"_s), Qt::LeftButton); break;
            case EnterKey: QTest::keyClick(searchBox(d), Qt::Key_Return); break;
            case DoubleClick: {
                const QPoint at = table(d)->visualRect(table(d)->model()->index(3, 0)).center();
                QTest::mouseClick(table(d)->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(table(d)->viewport(), Qt::LeftButton, {}, at);
                break;
            }
            }
            return d->result();
        };
        EXPECT_TRUE(OpenCommonLookup(2003, p.mode, QString())) << p.ids.toStdString();
        EXPECT_EQ(lookup.text1, p.ids);
        EXPECT_EQ(lookup.text2, p.firstName);
    }
    EXPECT_EQ(g_dialogs, std::size(picks)) << "every lookup of the run opened its dialog";
}

// Every kind's statement runs; clients and suppliers are listed apart, inactive ones left out,
// and a chosen record is read back from the table the loader names.
TEST_F(Comm, EveryKindListsItsOwnRows)
{
    ExecScript(u"insert into t_comClient(FID, FNo, FName, FType, FIsActive) values (1, 'C-1', '华东商贸', 1, 1),"
               " (2, 'S-1', '江南供应', 2, 1), (3, 'C-2', '停用客户', 1, 0)"_s);
    QStringList numbers;
    g_script = [&](QDialog *d) {
        numbers = listed(d);
        return int(QDialog::Accepted);
    };
    for (const CommKind &k : kCommKinds)
        OpenCommonLookup(k.kind, kCommPickOne, QString());
    EXPECT_EQ(g_dialogs, std::size(kCommKinds));
    EXPECT_TRUE(prompter.entries().isEmpty()) << prompter.lastText().toStdString();

    for (const auto &[kind, number] : {std::pair{2004, u"C-1"_s}, {2005, u"S-1"_s}}) {
        EXPECT_TRUE(OpenCommonLookup(kind, kCommPickOne, QString()));
        EXPECT_EQ(numbers, QStringList{number});
        EXPECT_EQ(
            scalar(u"select FNo from "_s + CommonLookupTable(kind) + u" where FID = "_s + lookup.text1).toString(),
            number);
    }
    EXPECT_EQ(CommonLookupTable(2013), QString());
}

// A missing library or kind and a server error reach the user as error boxes.
TEST_F(Comm, FailuresReachTheUserAsErrorBoxes)
{
    struct Failure {
        int kind;
        QString library;
        QString text;
    };
    const Failure failures[] = {
        {2003, u"libDllcomm-absent.so"_s, u"不存在的DLL文件"_s},
        {2003, u"libprotask_platform.so"_s, u"未能找到该DLL文件"_s},
        {2099, kCommLibraryName, u"未知的资料类型：2099"_s},
    };
    for (const Failure &f : failures) {
        prompter.clear();
        EXPECT_FALSE(OpenCommonLookup(f.kind, kCommPickOne, QString(), f.library)) << f.text.toStdString();
        ShowCommonRecord(f.kind, 1, f.library);
        ASSERT_EQ(prompter.texts(), (QStringList{f.text, f.text}));
        EXPECT_EQ(prompter.entries()[0].kind, PromptKind::Error);
    }

    prompter.clear();
    ExecScript(u"RENAME TABLE t_comUnit TO t_comUnit_away"_s);
    EXPECT_FALSE(OpenCommonLookup(2001, kCommPickOne, QString()));
    ExecScript(u"RENAME TABLE t_comUnit_away TO t_comUnit"_s);
    ASSERT_EQ(prompter.entries().size(), 1);
    EXPECT_EQ(prompter.entries()[0].kind, PromptKind::Error);
    EXPECT_TRUE(prompter.lastText().contains(u"t_comunit"_s, Qt::CaseInsensitive)) << prompter.lastText().toStdString();
    EXPECT_EQ(g_dialogs, 0);
}

TEST_F(Comm, ARecordIsShownWithEveryColumn)
{
    ShowCommonRecord(2003, 99);
    EXPECT_EQ(prompter.texts(), QStringList{u"记录不存在"_s});
    EXPECT_EQ(prompter.entries()[0].kind, PromptKind::Information);
    EXPECT_EQ(g_dialogs, 0);

    QMap<QString, QString> shown;
    QString title;
    g_script = [&](QDialog *d) {
        title = d->windowTitle();
        for (QLineEdit *e : d->findChildren<QLineEdit *>())
            shown.insert(e->objectName(), e->isReadOnly() ? e->text() : u"<editable>"_s);
        return int(QDialog::Accepted);
    };
    ShowCommonRecord(2003, 6);
    EXPECT_EQ(g_dialogs, 1);
    EXPECT_EQ(title, u"商品"_s);
    EXPECT_EQ(shown.size(), 16) << "every column of t_comProducts";
    EXPECT_EQ(shown.value(u"edt_FName"_s), u"O'Brien\\杆"_s);
    EXPECT_EQ(shown.value(u"edt_FNo"_s), u"P-006"_s);
    EXPECT_EQ(shown.value(u"edt_FNote"_s), QString());
}

} // namespace
