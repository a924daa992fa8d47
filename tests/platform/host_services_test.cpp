// What the platform gives a form: the program folder and its INI files, window messages to the
// host, and the form's place in the host's sheet.
#include "platform/boundary.h"
#include "platform/forms/base_form.h"
#include "platform/host_messages.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::ReadFileBytes;

namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(dir.path()); }
    void TearDown() override { SetProgramFolder(previous); }
    QString previous = ProgramFolder();
    QTemporaryDir dir;
};

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

TEST_F(ProgramFolderTest, PathsUseTheFolderWhateverSeparatorAndTheEnvironmentWhenNotSet)
{
    EXPECT_EQ(ProgramPath(u"Reports\\Bill\\生产任务单(标准).grf"_s),
              dir.path() + u"/Reports/Bill/生产任务单(标准).grf"_s);
    EXPECT_EQ(ProgramPath(u"/log/20240131.txt"_s), dir.path() + u"/log/20240131.txt"_s);

    SetProgramFolder(QString());
    qputenv("PROTASK_HOME", "/tmp/protask-home-probe");
    EXPECT_EQ(ProgramFolder(), u"/tmp/protask-home-probe"_s);
    qunsetenv("PROTASK_HOME");
    EXPECT_TRUE(ProgramFolder().endsWith(u"/protask"_s));
    EXPECT_FALSE(ProgramFolder().startsWith(u"/usr"_s));
}

TEST_F(ProgramFolderTest, SeedingCopiesShippedFilesButKeepsTheUsersOwn)
{
    QTemporaryDir shipped;
    writeFile(shipped.path() + u"/help/生产任务单.htm"_s, "shipped help");
    writeFile(shipped.path() + u"/Reports/Bill/生产任务单(标准).grf"_s, "shipped template");
    writeFile(ProgramPath(u"Reports/Bill/生产任务单(标准).grf"_s), "edited by the user");

    SeedProgramFolder(shipped.path());
    EXPECT_EQ(ReadFileBytes(ProgramPath(u"help/生产任务单.htm"_s)), QByteArray("shipped help"));
    EXPECT_EQ(ReadFileBytes(ProgramPath(u"Reports/Bill/生产任务单(标准).grf"_s)), QByteArray("edited by the user"));
}

TEST_F(ProgramFolderTest, IniValuesRoundTripInTheProgramFolder)
{
    const QString vane = u"vane.ini"_s, main = u"Main"_s, key = u"AppendBlankRow"_s;
    EXPECT_FALSE(ReadIniValue(vane, main, key, false).toBool());
    ASSERT_TRUE(WriteIniValue(vane, main, key, true));
    EXPECT_TRUE(ReadIniValue(vane, main, key).toBool());
    EXPECT_TRUE(QFile::exists(ProgramPath(vane)));
}

// A host that answers 42 to every message it records.
class AnsweringHost : public protask::testing::RecordingHost {
public:
    qintptr hostMessage(const HostMessage &m) override { return RecordingHost::hostMessage(m) + 42; }
};

// What no step caught ends the operation with its failed answer and an error box, whatever was
// thrown and even when the box itself throws.
TEST(Boundary, AnUncaughtThrowAnswersFailedAndTellsTheUser)
{
    struct FailingBox : ScriptedPrompter {
        void show(PromptKind kind, const QString &text) override
        {
            ScriptedPrompter::show(kind, text);
            throw std::runtime_error("no display");
        }
    } box;
    PrompterScope scope(box);
    EXPECT_EQ(GuardedAtBoundary(-1, []() -> int32_t { throw 42; }), -1);
    EXPECT_EQ(GuardedAtBoundary(-1, []() -> int32_t { return 7; }), 7);
    EXPECT_EQ(box.texts(), QStringList{u"未知错误"_s});
}

TEST(HostMessages, SendAndCopyDataDeliverAtOnceWithTheSender)
{
    AnsweringHost host;
    QWidget form;
    const quint32 h = registerWindowHandle(&host);
    EXPECT_EQ(registerWindowHandle(&host), h) << "one handle per window";
    EXPECT_EQ(windowFromHandle(h), &host);

    EXPECT_EQ(SendMessage(h, HostMsg::OpenBillList, 3049, 0, &form), 42);
    SendCopyDataMessage(h, 4009, u";FClientID=5;FClientName=ACME"_s, 10);
    ASSERT_EQ(host.messages.size(), 2);
    EXPECT_EQ(host.received[0], u"1037/3049/0"_s);
    EXPECT_EQ(host.messages[0].sender.data(), &form);
    // The copy data carries the prefix, the text and a terminating zero that is counted.
    EXPECT_TRUE(host.received[1].startsWith(u"74/4009/"_s));
    EXPECT_EQ(host.messages[1].copyData, QByteArray("10;FClientID=5;FClientName=ACME") + '\0');

    EXPECT_EQ(SendMessage(h + 999, HostMsg::OpenBillList, 3049, 0), 0) << "unknown handle";
    QWidget plain;
    EXPECT_EQ(SendMessage(registerWindowHandle(&plain), HostMsg::OpenBillList, 3049, 0), 0) << "not a receiver";
}

TEST(HostMessages, PostDeliversOnTheEventLoopAndNotAfterTheHostIsGone)
{
    auto *host = new protask::testing::RecordingHost;
    const quint32 h = registerWindowHandle(host);
    PostMessage(h, HostMsg::CloseForm, 3049, 0);
    EXPECT_TRUE(host->received.isEmpty()) << "posted messages wait for the event loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(host->received, QStringList{u"1035/3049/0"_s});

    PostMessage(h, HostMsg::CloseForm, 3049, 0);
    delete host;
    QCoreApplication::processEvents(); // must not touch the deleted window
    EXPECT_EQ(windowFromHandle(h), nullptr);
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
        setWindowTitle(u"生产任务单列表"_s);
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
    EXPECT_EQ(sheet.tabText(0), u"生产任务单列表"_s);
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
