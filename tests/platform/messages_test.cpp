// Window messages to the host, the prompter every message box goes through, and the base
// form's place in the host's sheet.
#include "platform/forms/base_form.h"
#include "platform/host_messages.h"
#include "platform/prompter.h"

#include <QCoreApplication>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace protask;

namespace {

class RecordingWindow : public QWidget, public IHostMessageSink {
public:
    qintptr hostMessage(const HostMessage &m) override
    {
        received.append(m);
        return 42;
    }
    QList<HostMessage> received;
};

TEST(HostMessages, SendAndCopyDataDeliverAtOnceWithTheSender)
{
    RecordingWindow host;
    QWidget form;
    const quint32 h = registerWindowHandle(&host);
    EXPECT_EQ(registerWindowHandle(&host), h) << "one handle per window";
    EXPECT_EQ(windowFromHandle(h), &host);

    EXPECT_EQ(SendMessage(h, HostMsg::OpenBillList, 3049, 0, &form), 42);
    SendCopyDataMessage(h, 4009, QStringLiteral(";FClientID=5;FClientName=ACME"), 10);
    ASSERT_EQ(host.received.size(), 2);
    EXPECT_EQ(host.received[0].msg, 1037u);
    EXPECT_EQ(host.received[0].wParam, 3049);
    EXPECT_EQ(host.received[0].sender.data(), &form);
    // The copy data carries the prefix, the text and a terminating zero that is counted.
    EXPECT_EQ(host.received[1].msg, 74u);
    EXPECT_EQ(host.received[1].wParam, 4009);
    EXPECT_EQ(host.received[1].copyData, QByteArray("10;FClientID=5;FClientName=ACME") + '\0');

    EXPECT_EQ(SendMessage(h + 999, HostMsg::OpenBillList, 3049, 0), 0) << "unknown handle";
    QWidget plain;
    EXPECT_EQ(SendMessage(registerWindowHandle(&plain), HostMsg::OpenBillList, 3049, 0), 0) << "not a receiver";
}

TEST(HostMessages, PostDeliversOnTheEventLoopAndNotAfterTheHostIsGone)
{
    auto *host = new RecordingWindow;
    const quint32 h = registerWindowHandle(host);
    PostMessage(h, HostMsg::CloseForm, 3049, 0);
    EXPECT_TRUE(host->received.isEmpty()) << "posted messages wait for the event loop";
    QCoreApplication::processEvents();
    ASSERT_EQ(host->received.size(), 1);
    EXPECT_EQ(host->received[0].msg, 1035u);

    PostMessage(h, HostMsg::CloseForm, 3049, 0);
    delete host;
    QCoreApplication::processEvents(); // must not touch the deleted window
    EXPECT_EQ(windowFromHandle(h), nullptr);
}

TEST(Prompter, ScriptedPrompterRecordsTextsAndAnswersNoByDefault)
{
    ScriptedPrompter scripted;
    {
        PrompterScope scope(scripted);
        Prompter::current().warning(QStringLiteral("单据编号不能为空"));
        scripted.queueAnswer(true);
        EXPECT_TRUE(Prompter::current().askYesNo(QStringLiteral("确定要删除所选单据?"), PromptKind::Warning));
        EXPECT_FALSE(Prompter::current().askYesNo(QStringLiteral("数据未保存,是否保存?")));
    }
    EXPECT_NE(&Prompter::current(), &scripted) << "the scope restores the previous prompter";
    ASSERT_EQ(scripted.entries().size(), 3);
    EXPECT_EQ(scripted.entries()[0].kind, PromptKind::Warning);
    EXPECT_FALSE(scripted.entries()[0].question);
    EXPECT_EQ(scripted.entries()[1].kind, PromptKind::Warning);
    EXPECT_TRUE(scripted.entries()[1].question);
    EXPECT_EQ(scripted.texts().last(), QStringLiteral("数据未保存,是否保存?"));
}

class ClosableForm : public TFBaseForm {
public:
    using TFBaseForm::TFBaseForm;
    bool allowClose = true;
    int startups = 0;

protected:
    bool canCloseForm() override { return allowClose; }
    void FormShow() override
    {
        ++startups;
        setWindowTitle(QStringLiteral("生产任务单列表"));
    }
};

TEST(BaseForm, StartsUpOnceAsATabOfTheSheetAndLeavesItOnlyWhenItMayClose)
{
    QTabWidget sheet;
    sheet.show(); // a visible sheet shows a new tab while the form is still being built
    QPointer<ClosableForm> form = new ClosableForm(nullptr, static_cast<qint32>(registerWindowHandle(&sheet)));
    ASSERT_EQ(sheet.count(), 1);
    EXPECT_EQ(form->startups, 0);
    form->showForm();
    form->showForm();
    EXPECT_EQ(form->startups, 1);
    EXPECT_EQ(sheet.tabText(0), QStringLiteral("生产任务单列表"));
    EXPECT_EQ(sheet.currentWidget(), form);

    form->allowClose = false;
    EXPECT_FALSE(form->lsClose());
    EXPECT_EQ(sheet.count(), 1);
    form->allowClose = true;
    EXPECT_TRUE(form->lsClose());
    EXPECT_EQ(sheet.count(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull()) << "a closed form no longer exists";

    ClosableForm alone(nullptr, 0);
    EXPECT_TRUE(alone.isWindow()) << "without a sheet a form is a window of its own";
}

} // namespace
