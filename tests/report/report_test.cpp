// The report engine against the shipped task template and the real print query: what the
// workshop gets on paper (PDF text), in the workbook and in the images.

#include "core/sql_helpers.h"
#include "print_seed.h"
#include "printing/print_setup.h"
#include "report/report.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace protask::testing {
namespace {

using report::TReport;

class ReportTest : public DatabaseTest {
protected:
    // The A4 task template filled as the print form fills it.
    TReport taskReport(int lines, bool blankRows = false)
    {
        SeedPrintTask(lines);
        TReport r;
        QString error;
        EXPECT_TRUE(r.loadFromFile(ShippedTemplate(QStringLiteral("生产任务单(标准).grf")), &error))
            << error.toStdString();
        r.setParameter(QStringLiteral("Title"), QStringLiteral("生产任务单"));
        r.setParameter(QStringLiteral("CompanyName"), QStringLiteral("华东精工有限公司"));
        r.setParameter(QStringLiteral("CompanyAddr"),
                       QStringLiteral("地址:杭州市西湖区文三路100号   电话:0571-88886666"));
        r.setNamedFormat(QStringLiteral("Number"), QStringLiteral(",0.00;-,0.00"));
        r.setAppendBlankRow(blankRows);
        r.setQuerySql(PrintDataQuery(3049, 1));
        EXPECT_TRUE(r.openQuery(Db(), &error)) << error.toStdString();
        return r;
    }

    QTemporaryDir dir;
};

TEST_F(ReportTest, ThreeLineTaskPrintsOnePageWithHeaderLinesAndSums)
{
    const TReport r = taskReport(3);
    ASSERT_EQ(r.data().rows.size(), 3);
    const QString pdf = dir.filePath(QStringLiteral("task.pdf"));
    ASSERT_TRUE(r.exportPdf(pdf));
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    const QString text = pages.first();
    for (const char *expected :
         {"华东精工有限公司", "生产任务单", "单据编号：SCRW20261200001", "单据日期：2026-12-15", "生产部门：生产一部",
          "产品编号：P-100", "产品名称：成品柜", "生产数量：120.00", "批号：PB-7", "负责人：张经理", "备注：加急生产",
          "物料编号", "需求数量", "制单人：王制单", "审核人：李审核", "第1页/共1页"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    // pdftotext gives the address line's run of blanks as one.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("地址:杭州市西湖区文三路100号\\s+电话:0571-88886666"))
                    .match(text)
                    .hasMatch());
    // Each line with its number, material, unit, amounts and note, then the sums.
    const QRegularExpression line1(QStringLiteral("1\\s+M-001\\s+物料1\\s+千克\\s+1.50\\s+180.00\\s+备注1"));
    const QRegularExpression line3(QStringLiteral("3\\s+M-003\\s+物料3\\s+千克\\s+4.50\\s+540.00\\s+备注3"));
    EXPECT_TRUE(line1.match(text).hasMatch()) << text.toStdString();
    EXPECT_TRUE(line3.match(text).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("合计\\s+1,080.00")).match(text).hasMatch()) << text.toStdString();
}

TEST_F(ReportTest, SixtyLinesBreakPagesRepeatingColumnHeadersAndSumOnlyAtTheEnd)
{
    const TReport r = taskReport(60);
    const QString pdf = dir.filePath(QStringLiteral("task60.pdf"));
    ASSERT_TRUE(r.exportPdf(pdf));
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), r.pageCount());
    ASSERT_GE(pages.size(), 2);
    int linesSeen = 0;
    for (int p = 0; p < pages.size(); ++p) {
        const QString &text = pages.at(p);
        EXPECT_TRUE(text.contains(QStringLiteral("物料编号")) && text.contains(QStringLiteral("需求数量")))
            << "column headers missing on page " << p + 1;
        EXPECT_TRUE(text.contains(QStringLiteral("第%1页/共%2页").arg(p + 1).arg(pages.size())));
        // The company and the task's header fields head the first page only.
        EXPECT_EQ(text.contains(QStringLiteral("单据编号：")), p == 0);
        EXPECT_EQ(text.contains(QStringLiteral("合计")), p == pages.size() - 1);
        linesSeen += static_cast<int>(text.count(QRegularExpression(QStringLiteral("M-\\d{3}"))));
    }
    EXPECT_EQ(linesSeen, 60);
    for (int n : {1, 29, 30, 31, 59, 60})
        EXPECT_TRUE(pages.join(QString()).contains(QStringLiteral("M-%1").arg(n, 3, 10, QLatin1Char('0')))) << n;
    // 180 x (1 + ... + 60)
    EXPECT_TRUE(pages.last().contains(QStringLiteral("329,400.00")));
}

TEST_F(ReportTest, BlankRowsFillEveryPageAndAreRuled)
{
    const TReport plain = taskReport(3);
    TReport filled = plain;
    filled.setAppendBlankRow(true);
    const auto plainPages = plain.layout();
    const auto filledPages = filled.layout();
    ASSERT_EQ(filledPages.size(), 1);
    EXPECT_EQ(plainPages.first().blankRows, 0);
    EXPECT_GT(filledPages.first().blankRows, 20);

    // The rendered page shows the extra rules: more dark pixels.
    const auto darkPixels = [&](const TReport &r) {
        QStringList files;
        EXPECT_TRUE(
            r.exportImages(dir.filePath(QStringLiteral("page.png")), report::ImageMode::PagePerFile, 60, &files));
        const QImage img(files.first());
        int dark = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                dark += qGray(img.pixel(x, y)) < 128;
        return dark;
    };
    EXPECT_GT(darkPixels(filled), darkPixels(plain) * 3 / 2);
}

TEST_F(ReportTest, ImagesPerPageOrOneLongImageAtThePapersSize)
{
    const TReport r = taskReport(60);
    const int pages = r.pageCount();
    QStringList files;
    ASSERT_TRUE(r.exportImages(dir.filePath(QStringLiteral("task.png")), report::ImageMode::PagePerFile, 100, &files));
    ASSERT_EQ(files.size(), pages);
    EXPECT_EQ(files.at(1), dir.filePath(QStringLiteral("task_2.png")));
    for (const QString &f : files) {
        const QImage img(f);
        EXPECT_EQ(img.size(), QSize(827, 1169)) << f.toStdString(); // A4 at 100 dpi
    }
    QStringList one;
    ASSERT_TRUE(r.exportImages(dir.filePath(QStringLiteral("task.jpg")), report::ImageMode::LongImage, 100, &one));
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(QImage(one.first()).size(), QSize(827, 1169 * pages));
}

TEST_F(ReportTest, ExcelHoldsTitleParametersAndLinesWithNumbersAsNumbers)
{
    const TReport r = taskReport(3);
    const QString xlsx = dir.filePath(QStringLiteral("task.xlsx"));
    ASSERT_TRUE(r.exportTo(report::ExportType::Excel, xlsx));
    const QString strings = XlsxPart(xlsx, QStringLiteral("xl/sharedStrings.xml"));
    const QString sheet = XlsxPart(xlsx, QStringLiteral("xl/worksheets/sheet1.xml"));
    for (const char *s : {"生产任务单", "CompanyName", "华东精工有限公司", "物料编号", "物料3", "备注2", "合计"})
        EXPECT_TRUE(strings.contains(QString::fromUtf8(s))) << s;
    // Amounts and quantities are numeric cells: needed 180, 360, 540 and their sum.
    for (const char *v : {"<v>180</v>", "<v>360</v>", "<v>540</v>", "<v>1080</v>", "<v>4.5</v>"})
        EXPECT_TRUE(sheet.contains(QLatin1String(v))) << v;
    EXPECT_TRUE(XlsxPart(xlsx, QStringLiteral("xl/workbook.xml")).contains(QStringLiteral("name=\"生产任务单\"")));
}

TEST_F(ReportTest, QueryFailureIsReportedWithTheServersText)
{
    TReport r;
    r.setQuerySql(QStringLiteral("select * from t_NoSuchTable"));
    QString error;
    EXPECT_FALSE(r.openQuery(Db(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("t_NoSuchTable"), Qt::CaseInsensitive)) << error.toStdString();
}

} // namespace
} // namespace protask::testing
