// Time to write a bill's lines (20 and 500) into the line table, commit included, as a saved bill
// does on its next save: every row updated in place, products found by name. The products are
// the ones the posting benchmarks seed. The limit writes the same lines with one statement.
#include "bench_limits.h"
#include "billedit/model/save_lines.h"
#include "core/db_actions.h"
#include "core/sql_helpers.h"

#include <benchmark/benchmark.h>

using namespace protask;

namespace {

void saveLines(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    QList<LineValues> lines;
    for (int n = 0; n < count; ++n)
        lines.append({{QStringLiteral("FProductName"), QStringLiteral("批次商品%1").arg(100 + n % 100)},
                      {QStringLiteral("FNumber"), n + 1},
                      {QStringLiteral("FSingleNumber"), 1.5},
                      {QStringLiteral("FBatchNo1"), QStringLiteral("X10")},
                      {QStringLiteral("FNote"), QStringLiteral("第%1行").arg(n + 1)}});
    SaveLinesContext c{3049,  900 + count, true, QStringLiteral("t_ProTaskList"), QStringLiteral("生产任务单"), 2, 2, 2,
                       false, 1,           {}};
    c.lineFields = [](int, const LineValues &line, LineCells &cells) {
        cells.append({QStringLiteral("FSingleNumber"), line.number(QStringLiteral("FSingleNumber"))});
        cells.append({QStringLiteral("FNumber"), line.number(QStringLiteral("FNumber"))});
        return true;
    };
    RunTransaction(Db(), [&] { return SaveLines(lines, c, Db()); }); // the first save inserts
    for (auto _ : state) {
        const TransactionResult r = RunTransaction(Db(), [&] { return SaveLines(lines, c, Db()); });
        if (!r.committed)
            state.SkipWithError("the save did not commit");
    }
}

void saveLinesLimit(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    int stamp = 0;
    for (auto _ : state)
        bench::WriteTaskRows(800 + count, 80000000 + count * 1000, count, false, ++stamp);
}

} // namespace

BENCHMARK(saveLinesLimit)
    ->Name("BM_SaveTaskLines_Limit")
    ->Arg(20)
    ->Arg(500)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(saveLines)->Name("BM_SaveTaskLines")->Arg(20)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();
