// Printing a production task: the print query, the layout and the PDF of a task with 1,000
// material lines on the A4 template (about 28 pages). The physical limit is the PDF writer
// shaping and embedding the glyphs of every cell; the query reads 1,000 rows in a few ms.
// With PROTASK_BENCH_PAGES set to a folder, the A4 pages of a 3-line and a 60-line task and
// the pages of the 3-line task on the two smaller papers are also written there as PNG images.
// The limit is a bare PDF of the same cells on the same number of A4 pages: text drawn row by
// row with the report's font, no layout, no template.
#include "core/sql_helpers.h"
#include "printing/print_setup.h"
#include "report/report.h"
#include "test_db.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace protask;
using namespace protask::testing;

namespace {

// Keys far above what the other benchmarks use.
constexpr int kTask = 9000000;
constexpr int kProductBase = 9000000;
constexpr int kLineBase = 90000000;

// Tasks kTask + lines (3, 60, 1000), material n with n x 1.5 per unit.
void seedTask(int lines)
{
    const int id = kTask + lines;
    ExecScript(
        QStringLiteral("insert ignore into t_comCompany (FID, FName, FAddress, FTel) values (1, "
                       "'华东精工有限公司', '杭州市西湖区文三路100号', '0571-88886666');"
                       "insert ignore into t_comUnit (FID, FNo, FName) values (%1, 'UB1', '件'), (%2, 'UB2', "
                       "'千克');"
                       "insert ignore into t_comProducts (FID, FNo, FName, FStdUnitID) select %3 + n, "
                       "concat('M-', lpad(n, 4, '0')), concat('物料', n), %2 from (select a.d + 10*b.d + "
                       "100*c.d + 1 as n from (select 0 d union select 1 union select 2 union select 3 union "
                       "select 4 union select 5 union select 6 union select 7 union select 8 union select 9) a, "
                       "(select 0 d union select 1 union select 2 union select 3 union select 4 union select 5 "
                       "union select 6 union select 7 union select 8 union select 9) b, (select 0 d union select "
                       "1 union select 2 union select 3 union select 4 union select 5 union select 6 union "
                       "select 7 union select 8 union select 9) c) nums;"
                       "insert into t_ProTaskForm (FID, FBillTypeID, FBillNo, FBillDate, FProductID, FUnitID, "
                       "FNumber, FNote) values (%4, 3049, concat('SCRW2026120', %5), '2026-12-15', %3 + 1, %1, "
                       "120, '加急生产');"
                       "insert into t_ProTaskList (FID, FFormID, FSID, FProductID, FUnitID, FSingleNumber, "
                       "FNumber, FNote) select %6 + %5 * 1000 + FID - %3, %4, FID - %3, FID, %2, (FID - %3) * "
                       "1.5, (FID - %3) * 180, concat('备注', FID - %3) from t_comProducts where FID between %3 "
                       "+ 1 and %3 + %5")
            .arg(kProductBase)
            .arg(kProductBase + 1)
            .arg(kProductBase)
            .arg(id)
            .arg(lines)
            .arg(kLineBase));
}

report::TReport loadTask(int lines, const QString &templateFile = QStringLiteral("生产任务单(标准).grf"))
{
    report::TReport r;
    r.loadFromFile(SourceDir() + QStringLiteral("/resources/Reports/Bill/") + templateFile);
    r.setParameter(QStringLiteral("Title"), QStringLiteral("生产任务单"));
    r.setParameter(QStringLiteral("CompanyName"), QStringLiteral("华东精工有限公司"));
    r.setParameter(QStringLiteral("CompanyAddr"), QStringLiteral("地址:杭州市西湖区文三路100号   电话:0571-88886666"));
    r.setQuerySql(PrintDataQuery(3049, kTask + lines));
    r.openQuery(Db());
    return r;
}

// The three tasks once, and the page images when asked for.
report::TReport taskReport(int lines)
{
    static bool seeded = false;
    if (!seeded) {
        seeded = true;
        for (int n : {3, 60, 1000})
            seedTask(n);
        const QString pages = qEnvironmentVariable("PROTASK_BENCH_PAGES");
        if (!pages.isEmpty()) {
            QDir().mkpath(pages);
            for (int n : {3, 60})
                loadTask(n).exportImages(pages + QStringLiteral("/task-%1-lines.png").arg(n),
                                         report::ImageMode::PagePerFile, 110);
            // The two smaller papers with a 3-line task.
            loadTask(3, QStringLiteral("生产任务单(中).grf"))
                .exportImages(pages + QStringLiteral("/task-3-lines-medium.png"), report::ImageMode::PagePerFile, 110);
            loadTask(3, QStringLiteral("生产任务单(小).grf"))
                .exportImages(pages + QStringLiteral("/task-3-lines-small.png"), report::ImageMode::PagePerFile, 110);
        }
    }
    return loadTask(lines);
}

void BM_TaskPrintQuery(benchmark::State &state)
{
    for (auto _ : state) {
        const report::TReport r = taskReport(1000);
        if (r.data().rows.size() != 1000)
            state.SkipWithError("the task does not have 1,000 lines");
    }
}

// The task's 1,000 lines read with one plain statement.
void BM_TaskPrintQuery_Limit(benchmark::State &state)
{
    taskReport(1000);
    TDataSet q(Db());
    for (auto _ : state) {
        if (OpenQuery(q, QStringLiteral("select * from t_ProTaskList where FFormID = %1").arg(kTask + 1000)) != 1000)
            state.SkipWithError("the task does not have 1,000 lines");
    }
}

void BM_TaskToPdf(benchmark::State &state)
{
    const report::TReport r = taskReport(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    for (auto _ : state)
        r.exportPdf(dir.filePath(QStringLiteral("task.pdf")));
    state.counters["pages"] = r.pageCount();
}

void BM_TaskToPdf_Limit(benchmark::State &state)
{
    const report::TReport r = taskReport(static_cast<int>(state.range(0)));
    const int pages = std::max(1, r.pageCount());
    QList<QStringList> cells;
    for (const QList<QVariant> &row : r.data().rows) {
        QStringList texts;
        for (const QVariant &v : row)
            texts << v.toString();
        cells << texts;
    }
    const qsizetype perPage = (cells.size() + pages - 1) / pages;
    QTemporaryDir dir;
    for (auto _ : state) {
        QPdfWriter pdf(dir.filePath(QStringLiteral("bare.pdf")));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        QPainter p(&pdf);
        p.setFont(QFont(QStringLiteral("WenQuanYi Zen Hei"), 9));
        const int rowHeight = pdf.height() / int(perPage + 2);
        const int columnWidth = pdf.width() / 8;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0 && i % perPage == 0)
                pdf.newPage();
            const int y = int(i % perPage + 1) * rowHeight;
            for (int c = 0; c < std::min<qsizetype>(8, cells[i].size()); ++c)
                p.drawText(QRect(c * columnWidth, y, columnWidth, rowHeight), Qt::AlignVCenter, cells[i][c]);
        }
    }
    state.counters["pages"] = pages;
}

BENCHMARK(BM_TaskPrintQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TaskPrintQuery_Limit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TaskToPdf)->Arg(3)->Arg(60)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TaskToPdf_Limit)->Arg(3)->Arg(60)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
