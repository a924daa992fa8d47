#include "controls/help.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "test_db.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

using namespace protask;

namespace {

void writePage(const QString &topic, const QString &title)
{
    QDir().mkpath(ProgramPath(QStringLiteral("help")));
    QFile f(HelpPagePath(topic));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write((QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") + title
             + QStringLiteral("</title></head><body><p>") + title + QStringLiteral("</p></body></html>"))
                .toUtf8());
}

// The shipped page as the help viewer shows it, after it was put where the program looks.
QString shippedPageText(const QString &topic)
{
    QDir().mkpath(ProgramPath(QStringLiteral("help")));
    const QString source = protask::testing::SourceDir() + QStringLiteral("/resources/help/") + topic + QStringLiteral(".htm");
    QFile::remove(HelpPagePath(topic));
    if (!QFile::copy(source, HelpPagePath(topic)))
        return QString();
    if (!ShowHelpTopic(topic))
        return QString();
    return CurrentHelpViewer()->browser()->toPlainText();
}

} // namespace

TEST(Help, OpensThePageOfTheTrimmedTopicInOneReusedWindow)
{
    ScriptedPrompter prompter;
    PrompterScope scope(prompter);
    writePage(QStringLiteral("测试单据"), QStringLiteral("测试单据说明"));
    writePage(QStringLiteral("测试单据列表"), QStringLiteral("列表说明"));
    EXPECT_EQ(HelpPagePath(QStringLiteral(" 测试单据 ")), ProgramPath(QStringLiteral("help/测试单据.htm")));

    ASSERT_TRUE(ShowHelpTopic(QStringLiteral("  测试单据 ")));
    THelpViewer *viewer = CurrentHelpViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("帮助"));
    EXPECT_EQ(viewer->browser()->source(), QUrl::fromLocalFile(HelpPagePath(QStringLiteral("测试单据"))));
    EXPECT_EQ(viewer->browser()->documentTitle(), QStringLiteral("测试单据说明")) << "read as UTF-8";

    viewer->close();
    ASSERT_TRUE(ShowHelpTopic(QStringLiteral("测试单据列表")));
    EXPECT_EQ(CurrentHelpViewer(), viewer) << "one window, reused";
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->browser()->documentTitle(), QStringLiteral("列表说明"));
    EXPECT_TRUE(prompter.entries().isEmpty());
}

TEST(Help, AMissingPageShowsTheMessage)
{
    ScriptedPrompter prompter;
    PrompterScope scope(prompter);
    EXPECT_FALSE(ShowHelpTopic(QStringLiteral("没有这一页")));
    EXPECT_FALSE(ShowHelpTopic(QStringLiteral("  ")));
    EXPECT_EQ(prompter.texts(), QStringList({QStringLiteral("没有找到对应的帮助文档"), QStringLiteral("没有找到对应的帮助文档")}));
}

TEST(Help, ShippedEditorPageExplainsTheFieldsLinesAndKeys)
{
    const QString text = shippedPageText(QStringLiteral("生产任务单"));
    ASSERT_FALSE(text.isEmpty());
    for (const char *term : {"客户", "产品名称", "单位", "批次", "生产数量", "加工单价", "加工金额", "生产日期", "经办人",
                             "生产部门", "说明", "来源单号", "已完成数量", "单耗量", "总耗量", "成本单价", "成本金额",
                             "选择销售订单", "审核", "反审核", "打印", "预览", "Ctrl+N", "Ctrl+S", "Ctrl+P", "Ctrl+L",
                             "Ctrl+A", "Ctrl+Q", "F1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(term))) << term;
}

TEST(Help, ShippedListPageExplainsFiltersActionsAndDeleteRules)
{
    const QString text = shippedPageText(QStringLiteral("生产任务单列表"));
    ASSERT_FALSE(text.isEmpty());
    for (const char *term : {"今日", "本周", "本月", "本年", "全部", "自定义", "条件", "审核状态", "已审核", "未审核",
                             "该单据已经被生产领料单引用,不能删除！", "该单据已经被完工入库单引用,不能删除！",
                             "确定要删除所选单据?", "导出", "Ctrl+D", "Ctrl+E", "Ctrl+O", "F5"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(term))) << term;
}

TEST(Help, DelayWithMessagesKeepsTheEventLoopRunning)
{
    bool fired = false;
    QTimer::singleShot(10, [&fired] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    DelayWithMessages(80);
    EXPECT_GE(clock.elapsed(), 80);
    EXPECT_TRUE(fired) << "a timer due during the wait runs";
}
