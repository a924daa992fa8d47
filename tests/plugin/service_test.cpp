// The bill service exactly as the host meets it: libprotask.so loaded by file name and
// GetBillInts resolved from it.
#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"
#include "plugin/bill_interface.h"
#include "test_db.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

// The numbers the host sends, written out: they are the interface.
constexpr int32_t kTask = 3049;
enum : int32_t { Open = 1001, IsOpen = 1010, Close = 1020, IsModified = 1021 };
const char *const kEditor = "TFBaseForm_BillBase_BillNo_Protask";
const char *const kList = "TFBaseForm_BillList";

GetBillIntsFunc getBillInts()
{
    static QLibrary library(QStringLiteral(PROTASK_PLUGIN_PATH));
    static const auto resolved = reinterpret_cast<GetBillIntsFunc>(library.resolve("GetBillInts"));
    return resolved;
}

class Service : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ASSERT_NE(getBillInts(), nullptr) << PROTASK_PLUGIN_PATH;
        service = getBillInts()();
        ExecScript(u"insert into t_ProTaskForm(FID, FTypeID, FBillNo, FBillDate, FNote) values "
                   "(7, 49, 'RWD20261200007', '2026-12-05 10:30:00', '加急'), "
                   "(9, 49, 'RWD20261200009', '2026-12-06 09:00:00', '样品')"_s);
    }
    void TearDown() override
    {
        // Close whatever the test left open, answering Yes to any question.
        if (service) {
            prompter.queueAnswer(true);
            edit(Close);
            list(Close);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            service->Release();
        }
        DatabaseTest::TearDown();
    }

    int32_t edit(int32_t cmd, int32_t type = kTask)
    {
        return service->BillEdit(cmd, mainHandle, sheetHandle, type, 0, 0, 0, "", 0);
    }
    int32_t list(int32_t cmd, int32_t type = kTask) { return service->BillList(cmd, mainHandle, sheetHandle, type); }
    int32_t open(int32_t op = 1, int32_t billId = 0, int32_t paramType = 0, const char *param = "")
    {
        return service->BillEdit(Open, mainHandle, sheetHandle, kTask, op, billId, paramType, param, 0);
    }
    int32_t display(int32_t billId, int32_t paramType = 0)
    {
        return service->BillDisplay(billId, kTask, 0, "", paramType, "x");
    }
    void focus(int32_t type, const char *name) { service->BillCursorFocus(mainHandle, sheetHandle, type, name); }
    QWidget *form(const char *className) const
    {
        for (int i = 0; i < sheet.count(); ++i) {
            if (sheet.widget(i)->objectName() == QLatin1String(className))
                return sheet.widget(i);
        }
        return nullptr;
    }
    QString shown(const char *field) const
    {
        auto *e = form(kEditor)->findChild<QLineEdit *>(QString::fromLatin1(field));
        return e ? e->text() : u"<missing>"_s;
    }
    int property(const char *className, const char *name) const { return form(className)->property(name).toInt(); }
    // The editor as the host and the user see it: "bill/status/parameter type [number] [note]".
    QString editor() const
    {
        return u"%1/%2/%3 [%4] [%5]"_s.arg(property(kEditor, "FBillID"))
            .arg(property(kEditor, "FBillStatusID"))
            .arg(property(kEditor, "FParamTypeID"))
            .arg(shown("edt_FBillNo"), shown("edt_FNote"));
    }

    QTabWidget sheet;
    QWidget mainWindow;
    const quint32 mainHandle = registerWindowHandle(&mainWindow);
    const int32_t sheetHandle = static_cast<int32_t>(registerWindowHandle(&sheet));
    IBillInterface *service = nullptr;
};

TEST_F(Service, NothingAnswersBeforeTheFirstOpenNorForAnotherBillType)
{
    EXPECT_EQ(edit(IsOpen), 0);
    EXPECT_EQ(edit(IsModified), 0);
    EXPECT_EQ(list(IsOpen), 0);
    EXPECT_EQ(edit(Close), 0);
    EXPECT_EQ(display(7), 0);
    EXPECT_EQ(service->BillEdit(Open, mainHandle, sheetHandle, 3002, 1, 0, 0, "", 0), 0);
    EXPECT_EQ(sheet.count(), 0);

    open();
    EXPECT_EQ(edit(IsOpen, 3002), 0);
    EXPECT_EQ(edit(Close, 3002), 0);
    EXPECT_EQ(sheet.count(), 1) << "a close for another type leaves the editor";
}

TEST_F(Service, ReferenceCountsFollowAddRefAndRelease)
{
    EXPECT_EQ(service->AddRef(), 2) << "GetBillInts hands out the only reference";
    EXPECT_EQ(service->Release(), 1);

    void *same = nullptr;
    EXPECT_EQ(service->QueryInterface(InterfaceId{}, &same), 0);
    EXPECT_EQ(same, service);
    EXPECT_EQ(service->Release(), 1);

    InterfaceId other;
    other.data1 = 0x12345678;
    void *none = reinterpret_cast<void *>(1);
    EXPECT_EQ(service->QueryInterface(other, &none), kNoInterface);
    EXPECT_EQ(none, nullptr);

    IBillInterface *second = getBillInts()();
    EXPECT_NE(second, service) << "each call makes a new service";
    EXPECT_EQ(second->Release(), 0);
}

// A second open keeps the editor's fields; a display loads another bill, asking before it drops
// changes.
TEST_F(Service, TheEditorOpensOnceAndDisplaysTheBillsItIsGiven)
{
    EXPECT_EQ(open(2, 9), 0);
    QWidget *first = form(kEditor);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(property(kEditor, "FBillTypeID"), kTask);
    EXPECT_EQ(first->property("FMainHandle").toUInt(), mainHandle);
    EXPECT_EQ(editor(), u"9/2/0 [RWD20261200009] [样品]"_s);
    EXPECT_EQ(open(1, 77, 11, "StorehouseID=1ProductsID=5"), 0);
    EXPECT_EQ(form(kEditor), first);
    EXPECT_EQ(sheet.count(), 1);
    EXPECT_EQ(editor(), u"9/2/0 [RWD20261200009] [样品]"_s);
    EXPECT_EQ(edit(IsOpen), 1);

    EXPECT_EQ(display(7, 5), 0);
    EXPECT_EQ(editor(), u"7/2/5 [RWD20261200007] [加急]"_s);
    form(kEditor)->setProperty("FSave", true);
    prompter.queueAnswer(false);
    display(9);
    EXPECT_EQ(prompter.lastText(), u"数据未保存,确认不保存数据吗?"_s);
    EXPECT_EQ(editor(), u"7/2/5 [RWD20261200007] [加急]"_s);
    EXPECT_TRUE(form(kEditor)->property("FSave").toBool());
    prompter.queueAnswer(true);
    display(9);
    EXPECT_EQ(editor(), u"9/2/0 [RWD20261200009] [样品]"_s);
    EXPECT_FALSE(form(kEditor)->property("FSave").toBool());

    EXPECT_EQ(display(0), 0);
    EXPECT_EQ(editor(), u"0/1/0 [20261200001] []"_s) << "a new bill starts cleared";
}

// A prompter whose question fails, as a message box can when the display goes away.
class FailingQuestionPrompter : public ScriptedPrompter {
public:
    bool askYesNo(const QString &, PromptKind) override { throw std::runtime_error("the question could not be asked"); }
};

// A No, or a failure inside the close, keeps the editor and answers "not closed".
TEST_F(Service, ClosingAsksOnlyForAModifiedEditorAndNoOrAFailureKeepsIt)
{
    open();
    EXPECT_EQ(edit(Close), 0);
    EXPECT_TRUE(prompter.entries().isEmpty()) << "an unmodified editor closes without a question";
    EXPECT_EQ(sheet.count(), 0);

    open();
    QWidget *editor = form(kEditor);
    editor->setProperty("FSave", true);
    EXPECT_EQ(edit(IsModified), 1);
    {
        FailingQuestionPrompter failing;
        PrompterScope inside(failing);
        EXPECT_EQ(edit(Close), 1) << "not closed";
        EXPECT_EQ(failing.lastText(), u"the question could not be asked"_s);
    }
    prompter.queueAnswer(false);
    EXPECT_EQ(edit(Close), 1);
    EXPECT_EQ(prompter.lastText(), u"数据未保存,是否确认要关闭吗?"_s);
    EXPECT_EQ(edit(IsOpen), 1);
    EXPECT_EQ(form(kEditor), editor);
    EXPECT_TRUE(editor->isVisibleTo(&sheet));
    prompter.queueAnswer(true);
    EXPECT_EQ(edit(Close), 0);
    EXPECT_EQ(edit(IsOpen), 0);
    EXPECT_EQ(sheet.count(), 0);
}

// Focus names ignore case; the windows outlive the service that opened them.
TEST_F(Service, TheListOpensOnceAndTheWindowsTakeFocusByName)
{
    open();
    EXPECT_EQ(list(Open), 0);
    QWidget *billList = form(kList);
    ASSERT_NE(billList, nullptr);
    EXPECT_EQ(property(kList, "FBillTypeID"), kTask);
    EXPECT_EQ(billList->property("FMainHandle").toUInt(), mainHandle);
    EXPECT_EQ(sheet.tabText(sheet.indexOf(billList)), u"生产任务单列表"_s);
    EXPECT_EQ(list(Open, 3002), 0);
    EXPECT_EQ(form(kList), billList);
    EXPECT_EQ(property(kList, "FBillTypeID"), kTask);
    EXPECT_EQ(sheet.currentWidget(), billList);

    focus(kTask, "billedit");
    EXPECT_EQ(sheet.currentWidget(), form(kEditor));
    const int before = property(kList, "focusCount");
    focus(1234, "BILLLIST");
    EXPECT_EQ(sheet.currentWidget(), billList) << "the list ignores the bill type";
    EXPECT_EQ(property(kList, "focusCount"), before + 1);
    focus(3002, "BillEdit");
    EXPECT_EQ(sheet.currentWidget(), billList) << "another bill type does not focus the editor";
    focus(kTask, "Report");
    EXPECT_EQ(sheet.currentWidget(), billList);
    EXPECT_EQ(service->BillDetailList(Open, mainHandle, sheetHandle, kTask, ""), 0);

    EXPECT_EQ(service->Release(), 0);
    service = getBillInts()();
    EXPECT_EQ(edit(IsOpen), 1);
    EXPECT_EQ(list(IsOpen), 1);
    EXPECT_EQ(sheet.count(), 2);
    EXPECT_EQ(list(Close), 0);
    EXPECT_EQ(list(IsOpen), 0);
    EXPECT_TRUE(prompter.entries().isEmpty());
}

// After the server ended an idle session, the next open or display reopens the connection;
// while it cannot, they say so and no window opens or loads another bill.
TEST_F(Service, WindowsOpenAndLoadAfterTheServerDroppedTheConnection)
{
    QSqlDatabase db = nvDMBase::instance().connection();
    const QString reachable = db.connectOptions();
    const auto serverGone = [&db]() {
        KillConnection(db);
        db.setConnectOptions(u"UNIX_SOCKET=/nonexistent/mysqld.sock"_s);
    };
    serverGone();
    EXPECT_EQ(open(2, 9), 0);
    EXPECT_EQ(list(Open), 0);
    EXPECT_EQ(form(kEditor), nullptr);
    EXPECT_EQ(form(kList), nullptr);
    db.setConnectOptions(reachable);
    EXPECT_EQ(open(2, 9), 0);
    ASSERT_NE(form(kEditor), nullptr);
    EXPECT_EQ(shown("edt_FBillNo"), u"RWD20261200009"_s);
    serverGone();
    EXPECT_EQ(display(7), 0);
    EXPECT_EQ(property(kEditor, "FBillID"), 9);
    db.setConnectOptions(reachable);
    EXPECT_EQ(prompter.texts().size(), 3);
    for (const QString &text : prompter.texts())
        EXPECT_TRUE(text.startsWith(u"无法连接数据库"_s)) << text.toStdString();
    prompter.clear();

    EXPECT_EQ(display(7), 0);
    EXPECT_EQ(shown("edt_FNote"), u"加急"_s);

    KillConnection(db);
    EXPECT_EQ(list(Open), 0);
    EXPECT_NE(form(kList), nullptr);
    EXPECT_TRUE(connectionAlive(db)) << "the list's open reopened the connection";
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('\n')).toStdString();
}

} // namespace
