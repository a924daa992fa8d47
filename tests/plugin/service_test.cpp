// The bill service exactly as the host meets it: libprotask.so loaded by file name and
// GetBillInts resolved from it.
#include "plugin/bill_interface.h"
#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"
#include "test_db.h"

#include <QApplication>
#include <QLibrary>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace protask;

namespace {

constexpr int32_t kTask = 3049;

class ServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        library = new QLibrary(QStringLiteral(PROTASK_PLUGIN_PATH));
        ASSERT_TRUE(library->load()) << library->errorString().toStdString();
        getBillInts = reinterpret_cast<GetBillIntsFunc>(library->resolve("GetBillInts"));
        ASSERT_NE(getBillInts, nullptr);
    }

    void SetUp() override
    {
        protask::testing::EmptyAllTables();
        sheet = new QTabWidget;
        mainWindow = new QWidget;
        mainHandle = registerWindowHandle(mainWindow);
        sheetHandle = static_cast<int32_t>(registerWindowHandle(sheet));
        service = getBillInts();
        prompter.clear();
        scope = std::make_unique<PrompterScope>(prompter);
    }

    void TearDown() override
    {
        // Close whatever the test left open, answering Yes to any question.
        prompter.queueAnswer(true);
        service->BillEdit(1020, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0);
        service->BillList(1020, mainHandle, sheetHandle, kTask);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        service->Release();
        scope.reset();
        delete sheet;
        delete mainWindow;
    }

    int32_t openEditor(int32_t op = 1, int32_t billId = 0, int32_t paramType = 0, const char *param = "")
    {
        return service->BillEdit(1001, mainHandle, sheetHandle, kTask, op, billId, paramType, param, 0);
    }

    QWidget *editorForm() const
    {
        for (int i = 0; i < sheet->count(); ++i) {
            if (sheet->widget(i)->objectName() == QLatin1String("TFBaseForm_BillBase_BillNo_Protask"))
                return sheet->widget(i);
        }
        return nullptr;
    }
    QWidget *listForm() const
    {
        for (int i = 0; i < sheet->count(); ++i) {
            if (sheet->widget(i)->objectName() == QLatin1String("TFBaseForm_BillList"))
                return sheet->widget(i);
        }
        return nullptr;
    }
    QString editorText(const char *name) const
    {
        auto *e = editorForm()->findChild<QLineEdit *>(QString::fromLatin1(name));
        return e ? e->text() : QStringLiteral("<missing>");
    }

    static QLibrary *library;
    static GetBillIntsFunc getBillInts;
    QTabWidget *sheet = nullptr;
    QWidget *mainWindow = nullptr;
    quint32 mainHandle = 0;
    int32_t sheetHandle = 0;
    IBillInterface *service = nullptr;
    ScriptedPrompter prompter;
    std::unique_ptr<PrompterScope> scope;
};

QLibrary *ServiceTest::library = nullptr;
GetBillIntsFunc ServiceTest::getBillInts = nullptr;

TEST_F(ServiceTest, NothingIsOpenOrModifiedBeforeTheFirstOpen)
{
    EXPECT_EQ(service->BillEdit(1010, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 0);
    EXPECT_EQ(service->BillEdit(1021, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 0);
    EXPECT_EQ(service->BillList(1010, mainHandle, sheetHandle, kTask), 0);
    EXPECT_EQ(service->BillEdit(1020, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 0);
    EXPECT_EQ(sheet->count(), 0);
}

TEST_F(ServiceTest, ReferenceCountsFollowAddRefAndRelease)
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

    IBillInterface *second = getBillInts();
    EXPECT_NE(second, service) << "each call makes a new service";
    EXPECT_EQ(second->Release(), 0);
}

TEST_F(ServiceTest, OpeningTwiceKeepsTheFirstFormsFields)
{
    EXPECT_EQ(openEditor(1, 0, 0, ""), 0);
    QWidget *form = editorForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->property("FBillTypeID").toInt(), kTask);
    EXPECT_EQ(form->property("FBillStatusID").toInt(), 1);
    EXPECT_EQ(form->property("FMainHandle").toUInt(), mainHandle);

    EXPECT_EQ(openEditor(2, 77, 11, "StorehouseID=1ProductsID=5"), 0);
    EXPECT_EQ(editorForm(), form);
    EXPECT_EQ(sheet->count(), 1);
    EXPECT_EQ(form->property("FBillID").toInt(), 0);
    EXPECT_EQ(form->property("FBillStatusID").toInt(), 1);
    EXPECT_EQ(form->property("FParamTypeID").toInt(), 0);
    EXPECT_EQ(service->BillEdit(1010, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 1);
}

TEST_F(ServiceTest, OtherBillTypesAreIgnored)
{
    EXPECT_EQ(service->BillEdit(1001, mainHandle, sheetHandle, 3002, 1, 0, 0, "", 0), 0);
    EXPECT_EQ(sheet->count(), 0);
    openEditor();
    EXPECT_EQ(service->BillEdit(1010, mainHandle, sheetHandle, 3002, 0, 0, 0, "", 0), 0);
    EXPECT_EQ(service->BillEdit(1020, mainHandle, sheetHandle, 3002, 0, 0, 0, "", 0), 0);
    EXPECT_EQ(sheet->count(), 1) << "a close for another type leaves the editor";
}

TEST_F(ServiceTest, ClosingAModifiedEditorAsksAndNoKeepsIt)
{
    openEditor();
    editorForm()->setProperty("FSave", true);
    EXPECT_EQ(service->BillEdit(1021, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 1);

    prompter.queueAnswer(false);
    EXPECT_EQ(service->BillEdit(1020, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 1);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("数据未保存,是否确认要关闭吗?"));
    EXPECT_EQ(service->BillEdit(1010, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 1);
    EXPECT_NE(editorForm(), nullptr);

    prompter.queueAnswer(true);
    EXPECT_EQ(service->BillEdit(1020, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 0);
    EXPECT_EQ(service->BillEdit(1010, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 0);
    EXPECT_EQ(sheet->count(), 0);
}

// A prompter whose question fails, as a message box can when the display goes away.
class FailingQuestionPrompter : public ScriptedPrompter {
public:
    bool askYesNo(const QString &, PromptKind) override { throw std::runtime_error("the question could not be asked"); }
};

TEST_F(ServiceTest, AFailureInsideTheCloseKeepsTheEditorAndSaysNotClosed)
{
    openEditor();
    QWidget *form = editorForm();
    form->setProperty("FSave", true);
    {
        FailingQuestionPrompter failing;
        PrompterScope inside(failing);
        EXPECT_EQ(service->BillEdit(1020, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 1) << "not closed";
        EXPECT_EQ(failing.lastText(), QStringLiteral("the question could not be asked"));
    }
    EXPECT_EQ(service->BillEdit(1010, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 1);
    EXPECT_EQ(editorForm(), form);
    EXPECT_TRUE(form->isVisibleTo(sheet));

    prompter.queueAnswer(true);
    EXPECT_EQ(service->BillEdit(1020, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 0) << "the kept slot still closes";
    EXPECT_EQ(sheet->count(), 0);
}

TEST_F(ServiceTest, ClosingAnUnmodifiedEditorAsksNothing)
{
    openEditor();
    EXPECT_EQ(service->BillEdit(1020, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 0);
    EXPECT_TRUE(prompter.entries().isEmpty());
    EXPECT_EQ(sheet->count(), 0);
}

TEST_F(ServiceTest, DisplayLoadsAnotherBillIntoTheOpenEditor)
{
    protask::testing::ExecScript(QStringLiteral(
        "insert into t_ProTaskForm(FID, FTypeID, FBillNo, FBillDate, FNote) values "
        "(7, 49, 'RWD20261200007', '2026-12-05 10:30:00', '加急')"));
    openEditor();
    QWidget *form = editorForm();

    EXPECT_EQ(service->BillDisplay(7, kTask, 0, "", 5, "x"), 0);
    EXPECT_EQ(form->property("FBillID").toInt(), 7);
    EXPECT_EQ(form->property("FBillStatusID").toInt(), 2);
    EXPECT_EQ(form->property("FParamTypeID").toInt(), 5);
    EXPECT_EQ(editorText("edt_FBillNo"), QStringLiteral("RWD20261200007"));
    EXPECT_EQ(editorText("edt_FNote"), QStringLiteral("加急"));
    EXPECT_EQ(editorText("edt_FBillDate"), QStringLiteral("2026-12-05")) << "the bill date loads into the date edit";

    EXPECT_EQ(service->BillDisplay(0, kTask, 0, "", 0, ""), 0);
    EXPECT_EQ(form->property("FBillID").toInt(), 0);
    EXPECT_EQ(form->property("FBillStatusID").toInt(), 1);
    EXPECT_EQ(editorText("edt_FBillNo"), QString()) << "a new bill starts cleared";
}

TEST_F(ServiceTest, OpeningOnASavedBillLoadsItAtStartUp)
{
    protask::testing::ExecScript(QStringLiteral(
        "insert into t_ProTaskForm(FID, FTypeID, FBillNo, FBillDate, FNote) values (9, 49, 'RWD20261200009', now(), '样品')"));
    openEditor(2, 9);
    EXPECT_EQ(editorText("edt_FBillNo"), QStringLiteral("RWD20261200009"));
    EXPECT_EQ(editorText("edt_FNote"), QStringLiteral("样品"));
    EXPECT_EQ(editorForm()->windowTitle(), QStringLiteral("生产任务单"));
}

TEST_F(ServiceTest, DisplayOnAModifiedEditorAsksAndNoLeavesTheBill)
{
    protask::testing::ExecScript(QStringLiteral(
        "insert into t_ProTaskForm(FID, FTypeID, FBillNo, FBillDate) values (8, 49, 'RWD20261200008', now())"));
    openEditor();
    QWidget *form = editorForm();
    form->setProperty("FSave", true);
    prompter.queueAnswer(false);
    service->BillDisplay(8, kTask, 0, "", 0, "");
    EXPECT_EQ(prompter.lastText(), QStringLiteral("数据未保存,确认不保存数据吗?"));
    EXPECT_EQ(form->property("FBillID").toInt(), 0);
    EXPECT_TRUE(form->property("FSave").toBool());

    prompter.queueAnswer(true);
    service->BillDisplay(8, kTask, 0, "", 0, "");
    EXPECT_EQ(form->property("FBillID").toInt(), 8);
    EXPECT_FALSE(form->property("FSave").toBool());
}

TEST_F(ServiceTest, DisplayWithoutAnEditorDoesNothing)
{
    EXPECT_EQ(service->BillDisplay(8, kTask, 0, "", 0, ""), 0);
    EXPECT_EQ(sheet->count(), 0);
    EXPECT_EQ(service->BillEdit(1010, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 0);
}

TEST_F(ServiceTest, ListOpensOnceAndClosesWithoutAQuestion)
{
    EXPECT_EQ(service->BillList(1001, mainHandle, sheetHandle, kTask), 0);
    QWidget *list = listForm();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->property("FBillTypeID").toInt(), kTask);
    EXPECT_EQ(list->property("FMainHandle").toUInt(), mainHandle);
    EXPECT_EQ(sheet->tabText(sheet->indexOf(list)), QStringLiteral("生产任务单列表"));
    EXPECT_EQ(service->BillList(1001, mainHandle, sheetHandle, 3002), 0);
    EXPECT_EQ(listForm(), list);
    EXPECT_EQ(list->property("FBillTypeID").toInt(), kTask);
    EXPECT_EQ(service->BillList(1010, mainHandle, sheetHandle, kTask), 1);
    EXPECT_EQ(service->BillList(1020, mainHandle, sheetHandle, kTask), 0);
    EXPECT_EQ(service->BillList(1010, mainHandle, sheetHandle, kTask), 0);
    EXPECT_TRUE(prompter.entries().isEmpty());
}

// The server ends an idle session (wait_timeout, a restart): the next open or display
// reopens the connection and works as if nothing happened.
TEST_F(ServiceTest, WindowsOpenAndLoadAfterTheServerDroppedTheConnection)
{
    protask::testing::ExecScript(QStringLiteral(
        "insert into t_ProTaskForm(FID, FTypeID, FBillNo, FBillDate, FNote) values "
        "(7, 49, 'RWD20261200007', '2026-12-05 10:30:00', '加急'), (9, 49, 'RWD20261200009', '2026-12-06 09:00:00', '样品')"));
    const QSqlDatabase db = nvDMBase::instance().connection();

    protask::testing::KillConnection(db);
    EXPECT_EQ(openEditor(2, 9), 0);
    ASSERT_NE(editorForm(), nullptr);
    EXPECT_EQ(editorText("edt_FBillNo"), QStringLiteral("RWD20261200009"));

    protask::testing::KillConnection(db);
    EXPECT_EQ(service->BillDisplay(7, kTask, 0, "", 0, ""), 0);
    EXPECT_EQ(editorText("edt_FNote"), QStringLiteral("加急"));

    protask::testing::KillConnection(db);
    EXPECT_EQ(service->BillList(1001, mainHandle, sheetHandle, kTask), 0);
    EXPECT_NE(listForm(), nullptr);

    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ServiceTest, FocusNamesIgnoreCase)
{
    openEditor();
    service->BillList(1001, mainHandle, sheetHandle, kTask);
    EXPECT_EQ(sheet->currentWidget(), listForm());

    service->BillCursorFocus(mainHandle, sheetHandle, kTask, "billedit");
    EXPECT_EQ(sheet->currentWidget(), editorForm());

    const int before = listForm()->property("focusCount").toInt();
    service->BillCursorFocus(mainHandle, sheetHandle, 1234, "BILLLIST");
    EXPECT_EQ(sheet->currentWidget(), listForm()) << "the list ignores the bill type";
    EXPECT_EQ(listForm()->property("focusCount").toInt(), before + 1);

    service->BillCursorFocus(mainHandle, sheetHandle, 3002, "BillEdit");
    EXPECT_EQ(sheet->currentWidget(), listForm()) << "another bill type does not focus the editor";
    service->BillCursorFocus(mainHandle, sheetHandle, kTask, "Report");
    EXPECT_EQ(sheet->currentWidget(), listForm());
    EXPECT_EQ(service->BillDetailList(1001, mainHandle, sheetHandle, kTask, ""), 0);
}

TEST_F(ServiceTest, WindowsOutliveTheServiceThatOpenedThem)
{
    openEditor();
    service->BillList(1001, mainHandle, sheetHandle, kTask);
    EXPECT_EQ(service->Release(), 0);
    service = getBillInts();
    EXPECT_EQ(service->BillEdit(1010, mainHandle, sheetHandle, kTask, 0, 0, 0, "", 0), 1);
    EXPECT_EQ(service->BillList(1010, mainHandle, sheetHandle, kTask), 1);
    EXPECT_EQ(sheet->count(), 2);
}

} // namespace
