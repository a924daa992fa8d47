#include "controls/help.h"
#include "platform/program_folder.h"
#include "test_db.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

using Help = protask::testing::DatabaseTest;

TEST_F(Help, OpensThePageOfTheTrimmedTopicInOneReusedWindow)
{
    QDir().mkpath(ProgramPath(u"help"_s));
    for (const QString &topic : {u"测试单据"_s, u"测试单据列表"_s}) {
        QFile f(HelpPagePath(topic));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(u"<html><head><meta charset=\"utf-8\"><title>%1说明</title></head><body></body></html>"_s.arg(topic)
                    .toUtf8());
    }
    EXPECT_EQ(HelpPagePath(u" 测试单据 "_s), ProgramPath(u"help/测试单据.htm"_s));
    ASSERT_TRUE(ShowHelpTopic(u"  测试单据 "_s));
    THelpViewer *viewer = CurrentHelpViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    EXPECT_EQ(viewer->windowTitle(), u"帮助"_s);
    EXPECT_EQ(viewer->browser()->source(), QUrl::fromLocalFile(HelpPagePath(u"测试单据"_s)));
    EXPECT_EQ(viewer->browser()->documentTitle(), u"测试单据说明"_s) << "read as UTF-8";

    viewer->close();
    ASSERT_TRUE(ShowHelpTopic(u"测试单据列表"_s));
    EXPECT_EQ(CurrentHelpViewer(), viewer) << "one window, reused";
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->browser()->documentTitle(), u"测试单据列表说明"_s);
    EXPECT_TRUE(prompter.entries().isEmpty());

    EXPECT_FALSE(ShowHelpTopic(u"没有这一页"_s));
    EXPECT_FALSE(ShowHelpTopic(u"  "_s));
    EXPECT_EQ(prompter.texts(), QStringList(2, u"没有找到对应的帮助文档"_s));
    // The pages of the task windows ship with the program.
    for (const QString &topic : {u"生产任务单"_s, u"生产任务单列表"_s})
        EXPECT_TRUE(QFile::exists(protask::testing::SourceDir() + u"/resources/help/"_s + topic + u".htm"_s));
}

TEST(DelayWithMessages, KeepsTheEventLoopRunning)
{
    bool fired = false;
    QTimer::singleShot(10, [&fired] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    DelayWithMessages(80);
    EXPECT_GE(clock.elapsed(), 80);
    EXPECT_TRUE(fired) << "a timer due during the wait runs";
}

} // namespace
