// The production task list against four years of a busy factory: 100,000 tasks with 1,000,000
// material lines over 10,000 products. Opening a month (about 2,100 tasks) and a find over all
// dates, each through the distinct statement over the lines (shape 0) and the statement that asks
// the lines only for the find (shape 1), the rows read into memory as the list holds them. Each
// _Limit reads the same tasks with one plain statement: the month by its date key, a find's
// tasks by their keys together with one pass over the text of the million lines.
#include "billlist/model/list_query.h"
#include "core/sql_helpers.h"
#include "test_db.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace protask;
using namespace protask::testing;

namespace {

// Keys far above what the other benchmarks use, so that their bills and lines never meet these.
constexpr int kTaskBase = 1000000;
constexpr int kLineBase = 10000000;
constexpr int kProductBase = 500000;
constexpr int kTasks = 100000;
constexpr int kLinesPerTask = 10;
constexpr int kProducts = 10000;

// Every row is made by a set-based INSERT ... SELECT over a table of the numbers 0..99,999 (a
// cross join of digits): the million lines take seconds, not a million round trips.
void seedFactory()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QElapsedTimer clock;
    clock.start();
    const QString sql =
        QStringLiteral(
            "drop table if exists bench_digits; drop table if exists bench_numbers;"
            "create table bench_digits (d int primary key);"
            "insert into bench_digits values (0),(1),(2),(3),(4),(5),(6),(7),(8),(9);"
            "create table bench_numbers (n int primary key);"
            "insert into bench_numbers select a.d + 10*b.d + 100*c.d + 1000*e.d + 10000*f.d from bench_digits a, "
            "bench_digits b, bench_digits c, bench_digits e, bench_digits f;"
            // products: the first 200 are what the factory makes, the rest its materials
            "insert into t_comProducts(FID,FNo,FName,FCode,FStdUnitID,FProductDefined1) select %1 + n, "
            "concat('P', lpad(n,5,'0')), if(n < 200, concat('成品', lpad(n,5,'0')), concat('材料', lpad(n,5,'0'))), "
            "concat('CL', lpad(n,5,'0')), %1, concat('规格', n % 30) from bench_numbers where n < %2;"
            "insert into t_comUnit(FID,FNo,FName,FCode) select %1 + n, concat('U', n), concat('单位', n), concat('DW', n) "
            "from bench_numbers where n < 10;"
            "insert into t_comEmployee(FID,FNo,FName,FCode) select %1 + n, concat('E', n), concat('员工', n), "
            "concat('YG', n) from bench_numbers where n < 50;"
            "insert into t_comdepartment(FID,FNo,FName,FCode) select %1 + n, concat('D', n), concat('部门', n), "
            "concat('BM', n) from bench_numbers where n < 10;"
            "insert into t_comUser(FID,FNo,FName,FCode) select %1 + n, concat('U', n), concat('制单', n), concat('ZD', n) "
            "from bench_numbers where n < 5;"
            // tasks: four years from 2023 on, about 2,100 a month, numbered in date order; every third checked
            "insert into t_ProTaskForm(FID,FTypeID,FBillTypeID,FBillNo,FBillDate,FProductID,FUnitID,FNumber,FManagerID,"
            "FDeptID,FBillerID,FCheckerID,FIsChecked,FNote,FFormDefined1,FFromListID) select %3 + n, 49, 1, "
            "concat('RWD', date_format(T.d, '%Y%m'), lpad(n, 6, '0')), T.d, %1 + n % 200, %1 + n % 10, 1 + n % 50, "
            "%1 + n % 50, %1 + n % 10, %1 + n % 5, if(n % 3 = 0, %1, null), if(n % 3 = 0, 1, 0), "
            "if(n % 997 = 0, concat('加急订单', n), concat('第', n % 50, '批')), if(n % 7 = 0, concat('HT', n), null), 0 "
            "from (select n, timestamp('2023-01-01') + interval floor(n * 1461 / %4) day + interval 8 + n % 10 hour as "
            "d from bench_numbers) T;"
            // ten material lines a task, some with a remark
            "insert into t_ProTaskList(FID,FFormID,FSID,FProductID,FUnitID,FSingleNumber,FNumber,FPrice,FAmount,"
            "FListDefined1) select %5 + n * 10 + D.d, %3 + n, D.d + 1, %1 + 200 + (n * 7 + D.d * 131) % %6, %1 + D.d, "
            "1 + D.d, (1 + D.d) * (1 + n % 50), 2.5, 2.5 * (1 + D.d) * (1 + n % 50), "
            "if((n + D.d) % 101 = 0, concat('批注', n), null) from bench_numbers, bench_digits D;"
            "drop table bench_digits; drop table bench_numbers;"
            "analyze table t_ProTaskForm, t_ProTaskList, t_comProducts")
            .arg(kProductBase)
            .arg(kProducts)
            .arg(kTaskBase)
            .arg(kTasks)
            .arg(kLineBase)
            .arg(kProducts - 200);
    ExecScript(sql);
    TDataSet q(Db());
    q.open(
        QStringLiteral("select (select count(*) from t_ProTaskForm where FID >= %1) as ntasks, (select count(*) from "
                       "t_ProTaskList where FID >= %2) as nlines")
            .arg(kTaskBase)
            .arg(kLineBase));
    std::fprintf(stderr, "list data: %d tasks, %d lines made in %.1f s\n",
                 q.fieldByName(QStringLiteral("ntasks")).toInt(), q.fieldByName(QStringLiteral("nlines")).toInt(),
                 clock.elapsed() / 1000.0);
}

ListQueryShape shapeOf(const benchmark::State &state)
{
    return state.range(0) == 0 ? ListQueryShape::DistinctJoin : ListQueryShape::SubqueryFind;
}

int openList(const QString &sql)
{
    TDataSet list(Db());
    return OpenQuery(list, sql);
}

// June 2025, as the list opens on its month.
void BM_ListOpenMonth(benchmark::State &state)
{
    seedFactory();
    const QString sql =
        BuildListQuery(3049, OpeningDateRange(QDate(2025, 6, 15)), MakeListFind({}, {}, true), shapeOf(state)).sql;
    int rows = 0;
    for (auto _ : state)
        rows = openList(sql);
    state.counters["rows"] = rows;
}

// The list's tasks (their FIDs) read again with one SELECT of their headers: the month by its
// date range; a find's tasks by key, in the statement that also reads `scan` (a pass over
// what any find must look at).
void listLimit(benchmark::State &state, const QString &listSql, const QString &month, const QString &scan = {})
{
    TDataSet list(Db());
    OpenQuery(list, listSql);
    QStringList ids = {QStringLiteral("0")};
    for (int r = 0; r < list.recordCount(); ++r)
        ids << list.value(r, QStringLiteral("FID")).toString();
    const QString sql = QStringLiteral("select * from t_ProTaskForm where ")
        + (month.isEmpty() ? QStringLiteral("FID in (") + ids.join(QLatin1Char(',')) + QStringLiteral(") or ") + scan
                           : month);
    int rows = 0;
    for (auto _ : state)
        rows = openList(sql);
    state.counters["rows"] = rows;
    if (rows != list.recordCount())
        state.SkipWithError("the limit read other rows than the list");
}

void BM_ListOpenMonth_Limit(benchmark::State &state)
{
    seedFactory();
    const QString sql =
        BuildListQuery(3049, OpeningDateRange(QDate(2025, 6, 15)), MakeListFind({}, {}, true), shapeOf(state)).sql;
    listLimit(state, sql, QStringLiteral("FBillDate >= '2025-06-01' and FBillDate < '2025-07-01'"));
}

// A find over every date: a material of the lines (about 100 tasks), a remark of the header
// (about 100 tasks), and a text nothing holds (every row looked at, none listed).
void BM_ListFindAllDates(benchmark::State &state)
{
    seedFactory();
    const char *const finds[] = {"材料04321", "加急", "没有这个"};
    const ListFind find = MakeListFind(QString::fromUtf8(finds[state.range(1)]), {}, true);
    const QString sql = BuildListQuery(3049, {false, {}, {}}, find, shapeOf(state)).sql;
    int rows = 0;
    for (auto _ : state)
        rows = openList(sql);
    state.counters["rows"] = rows;
}

void BM_ListFindAllDates_Limit(benchmark::State &state)
{
    seedFactory();
    const char *const finds[] = {"材料04321", "加急", "没有这个"};
    const ListFind find = MakeListFind(QString::fromUtf8(finds[state.range(1)]), {}, true);
    // Any contains-find over all dates reads the text of every line once: the limit does so over
    // the lines' remarks, which hold none of the finds, so that the rows stay the list's.
    const QString pattern = QStringLiteral("%") + QString::fromUtf8(finds[state.range(1)]) + QStringLiteral("%");
    listLimit(state, BuildListQuery(3049, {false, {}, {}}, find, shapeOf(state)).sql, QString(),
              QStringLiteral("FID in (select FFormID from t_ProTaskList where FListDefined1 like ")
                  + QuotedStr(pattern, Db()) + QStringLiteral(")"));
}

} // namespace

BENCHMARK(BM_ListOpenMonth)->ArgName("shape")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListOpenMonth_Limit)->ArgName("shape")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListFindAllDates)
    ->ArgNames({"shape", "find"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_ListFindAllDates_Limit)
    ->ArgNames({"shape", "find"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
