// The bill editor as a clerk meets it, against a book of 10,000 products: opening a new task,
// and saving a task of 20 and of 500 lines through the editor (checks, header, lines, log
// and commit; the check workflow is on, so the save does not post). Each _Limit beside them
// does the least the server or Qt needs for the same: the products read in one statement, the
// 10,000 names scanned and the matches listed, the task's rows written with one statement each.
#include "bench_limits.h"
#include "billedit/model/product_lookup.h"
#include "billedit/protask_form.h"
#include "controls/lookup_lists.h"
#include "core/local_dataset.h"
#include "core/sql_helpers.h"
#include "grid/grid_view.h"
#include "platform/nv_dm_base.h"
#include "test_db.h"

#include <QComboBox>

#include <benchmark/benchmark.h>

using namespace protask;
using namespace protask::testing;

namespace {

constexpr int kProducts = 10000;
constexpr int kFirstId = 100000;

void seedProducts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QStringList products;
    QStringList units;
    for (int i = 0; i < kProducts; ++i) {
        const int id = kFirstId + i;
        products << QStringLiteral("(%1,'P%2','材料%2','CL%2',1,1)").arg(id).arg(i, 5, 10, QLatin1Char('0'));
        units << QStringLiteral("(%1,1,1,1)").arg(id);
    }
    ExecScript(
        QStringLiteral("insert into T_BillType(FID,FBillTypeNo,FBillName,FPreCode) values(49,'RWD','生产任务单','RWD') "
                       "on duplicate key update FID=FID;"
                       "insert into t_comUnit(FID,FNo,FName) values(1,'01','个') on duplicate key update FID=FID;"
                       "insert into t_comProducts(FID,FNo,FName,FCode,FStdUnitID,FIsActive) values ")
        + products.join(QLatin1Char(','))
        + QStringLiteral(";insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values ")
        + units.join(QLatin1Char(',')));
    nvDMBase::instance().switches.checkWorkflow = true;
}

void BM_EditorStartup(benchmark::State &state)
{
    seedProducts();
    for (auto _ : state) {
        TFBaseForm_BillBase_BillNo_Protask editor(nullptr, 0);
        editor.showForm();
        benchmark::DoNotOptimize(editor.FDC->rowCountValue());
    }
}

void BM_EditorSave(benchmark::State &state)
{
    seedProducts();
    const int lines = static_cast<int>(state.range(0));
    TFBaseForm_BillBase_BillNo_Protask editor(nullptr, 0);
    editor.showForm();
    static_cast<QComboBox *>(editor.headerControl(QStringLiteral("FClientName")))->setEditText(QStringLiteral("客户A"));
    static_cast<QComboBox *>(editor.headerControl(QStringLiteral("FProductName")))->setEditText(QStringLiteral("书桌"));
    for (int r = 0; r < lines; ++r) {
        if (r >= editor.FDC->rowCountValue())
            editor.FDC->appendRow();
        editor.FDC->setCell(r, QStringLiteral("R_FSID"), r + 1);
        editor.FDC->setCell(r, QStringLiteral("R_FProductName"),
                            QStringLiteral("材料%1").arg(r, 5, 10, QLatin1Char('0')));
        editor.FDC->setCell(r, QStringLiteral("R_FUnitName"), QStringLiteral("个"));
        editor.FDC->setCell(r, QStringLiteral("R_FSingleNumber"), 2);
        editor.FDC->setCell(r, QStringLiteral("R_FNumber"), 2);
        editor.FDC->setCell(r, QStringLiteral("R_FPrice"), 1.5);
        editor.FDC->setCell(r, QStringLiteral("R_FAmount"), 3);
    }
    editor.SaveBill(); // the first save inserts; the timed ones save the stored task again
    if (!editor.FSaveIsFinish)
        state.SkipWithError("the first save failed");
    for (auto _ : state) {
        editor.SetModified();
        editor.SaveBill();
        if (!editor.FSaveIsFinish)
            state.SkipWithError("the save failed");
    }
}

void BM_EditorStartup_Limit(benchmark::State &state)
{
    seedProducts();
    for (auto _ : state) {
        TLocalDataSet products(Db());
        products.open(ProductListSql());
        benchmark::DoNotOptimize(products.recordCount());
    }
}

void BM_EditorSave_Limit(benchmark::State &state)
{
    seedProducts();
    const int lines = static_cast<int>(state.range(0));
    int stamp = 0;
    for (auto _ : state)
        bench::WriteTaskRows(700 + lines, 70000000 + lines * 1000, lines, true, ++stamp);
}

// One keystroke in the product name cell: the 10,000 products filtered on number, name and
// search code in memory and the matches listed in the cell's combo. Argument: the typed text,
// from "材" (every product matches) to "材料12" (111 match) and a search code.
// What a clerk has typed so far, by the benchmark's argument.
QString typedText(int64_t index)
{
    const QStringList typed = {QStringLiteral("材"), QStringLiteral("材料1"), QStringLiteral("材料12"),
                               QStringLiteral("cl99")};
    return typed.at(index);
}

void BM_ProductFilterKeystroke(benchmark::State &state)
{
    seedProducts();
    TLocalDataSet products(Db());
    products.open(ProductListSql());
    QComboBox combo;
    combo.setEditable(true);
    const QString text = typedText(state.range(0));
    for (auto _ : state) {
        FilterLookupList(products, &combo, QStringLiteral("FName"), text, QStringLiteral("FNo"),
                         QStringLiteral("FName"), QStringLiteral("FCode"), LookupComboText::Keep);
        benchmark::DoNotOptimize(combo.count());
    }
}

// The same keystroke as a plain scan: number, name and code of every product tested for the
// typed text, the matching names listed in the combo.
void BM_ProductFilterKeystroke_Limit(benchmark::State &state)
{
    seedProducts();
    TLocalDataSet products(Db());
    products.open(ProductListSql());
    const QStringList numbers = products.fieldTexts(QStringLiteral("FNo"));
    const QStringList names = products.fieldTexts(QStringLiteral("FName"));
    const QStringList codes = products.fieldTexts(QStringLiteral("FCode"));
    QComboBox combo;
    combo.setEditable(true);
    const QString text = typedText(state.range(0));
    for (auto _ : state) {
        QStringList matches;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (numbers[i].contains(text, Qt::CaseInsensitive) || names[i].contains(text, Qt::CaseInsensitive)
                || codes[i].contains(text, Qt::CaseInsensitive))
                matches << names[i];
        }
        combo.clear();
        combo.addItems(matches);
        benchmark::DoNotOptimize(combo.count());
    }
}

// From 新增 to a saved and checked task of 20 material lines, as the editor runs it: the new
// bill, the header, 20 products picked into the lines with their per-unit consumption, save
// (checks, header, lines, log, commit) and check (posting, commit).
void BM_TaskNewToChecked(benchmark::State &state)
{
    seedProducts();
    TFBaseForm_BillBase_BillNo_Protask editor(nullptr, 0);
    editor.showForm();
    QStringList ids;
    for (int i = 0; i < 20; ++i)
        ids << QString::number(kFirstId + 7 * i);
    for (auto _ : state) {
        editor.NewBill();
        static_cast<QComboBox *>(editor.headerControl(QStringLiteral("FClientName")))
            ->setEditText(QStringLiteral("客户A"));
        static_cast<QComboBox *>(editor.headerControl(QStringLiteral("FProductName")))
            ->setEditText(QStringLiteral("书桌"));
        editor.grid()->focusCell(0, 1, false);
        editor.AddProductLine(ids.join(QLatin1Char(',')), 0);
        for (int r = 0; r < 20; ++r)
            editor.FDC->editCell(r, editor.FDC->columnIndex(QStringLiteral("R_FSingleNumber")), 2);
        editor.SaveBill();
        editor.CheckBillAction();
        if (!editor.FSaveIsFinish || editor.editState() != 3)
            state.SkipWithError("the task was not saved and checked");
    }
}

} // namespace

BENCHMARK(BM_TaskNewToChecked)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProductFilterKeystroke)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProductFilterKeystroke_Limit)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EditorStartup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EditorStartup_Limit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EditorSave)->Arg(20)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EditorSave_Limit)->Arg(20)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();
