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

// Puts a page where the program looks: the shipped one (from resources/help) or one made up.
void putPage(const QString &topic, const QString &madeUpTitle = QString())
{
    QDir().mkpath(ProgramPath(u"help"_s));
    QFile::remove(HelpPagePath(topic));
    if (madeUpTitle.isEmpty()) {
        QFile::copy(protask::testing::SourceDir() + u"/resources/help/"_s + topic + u".htm"_s, HelpPagePath(topic));
        return;
    }
    QFile f(HelpPagePath(topic));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        u"<html><head><meta charset=\"utf-8\"><title>%1</title></head><body><p>%1</p></body></html>"_s.arg(madeUpTitle)
            .toUtf8());
}

TEST_F(Help, OpensThePageOfTheTrimmedTopicInOneReusedWindow)
{
    putPage(u"测试单据"_s, u"测试单据说明"_s);
    putPage(u"测试单据列表"_s, u"列表说明"_s);
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
    EXPECT_EQ(viewer->browser()->documentTitle(), u"列表说明"_s);
    EXPECT_TRUE(prompter.entries().isEmpty());

    EXPECT_FALSE(ShowHelpTopic(u"没有这一页"_s));
    EXPECT_FALSE(ShowHelpTopic(u"  "_s));
    EXPECT_EQ(prompter.texts(), QStringList(2, u"没有找到对应的帮助文档"_s));
}

// The shipped pages explain the editor's fields, lines and keys, and the list's filters,
// actions and delete rules.
TEST_F(Help, ShippedPagesExplainWhatTheWindowsShow)
{
    const std::pair<QString, QString> pages[] = {
        {u"生产任务单"_s,
         u"客户|产品名称|单位|批次|生产数量|加工单价|加工金额|生产日期|经办人|生产部门|说明|来源单号|"
         "已完成数量|单耗量|总耗量|成本单价|成本金额|选择销售订单|审核|反审核|打印|预览|Ctrl+N|Ctrl+S|"
         "Ctrl+P|Ctrl+L|Ctrl+A|Ctrl+Q|F1"_s},
        {u"生产任务单列表"_s,
         u"今日|本周|本月|本年|全部|自定义|条件|审核状态|已审核|未审核|"
         "该单据已经被生产领料单引用,不能删除！|该单据已经被完工入库单引用,不能删除！|"
         "确定要删除所选单据?|导出|Ctrl+D|Ctrl+E|Ctrl+O|F5"_s}};
    for (const auto &[topic, terms] : pages) {
        putPage(topic);
        ASSERT_TRUE(ShowHelpTopic(topic)) << qPrintable(topic);
        const QString text = CurrentHelpViewer()->browser()->toPlainText();
        for (const QString &term : terms.split(u'|'))
            EXPECT_TRUE(text.contains(term)) << qPrintable(topic + u": "_s + term);
    }
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
