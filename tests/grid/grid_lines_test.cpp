// The line grid of the bill editors: its model, its view and the checks before a save.
#include "core/sql_helpers.h"
#include "core/values.h"
#include "grid/grid_columns.h"
#include "grid/grid_validation.h"
#include "grid/grid_view.h"
#include "test_db.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

constexpr int kRequired = 1 << GridTagBit::Required;

// Six editor rows as the editors build them (columns named R_...): a read-only row number, a
// lookup product, the unit, quantity, price and amount, a unique batch number and a gift check
// box. Without a company row quantities and prices show 2 places.
class LineGrid : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        view.setObjectName(u"R"_s);
        ASSERT_TRUE(BuildGridColumnsNamed(&view,
                                          u"FSID,FProductName,FUnitName,FNumber,FPrice,FAmount,FBatchNo,FIsPresent"_s,
                                          u"行号,商品名称,单位,数量,单价,金额,批号,是否赠品"_s, u",1,,2,3,7,,4"_s,
                                          u"1,1,1,1,1,1,1,1"_s, u"40,120,60,80,80,80,80,60"_s));
        setTag("R_FSID", 1 << GridTagBit::ReadOnly);
        setTag("R_FBatchNo", 1 << GridTagBit::Unique);
        InitEditorRows(&view, 6);
        view.resize(600, 300);
        view.show();
    }
    int col(const char *name) { return view.columnIndex(QString::fromUtf8(name)); }
    QModelIndex at(int row, const char *name) { return model->index(row, col(name)); }
    QVariant cell(int row, const char *name) { return model->cell(row, col(name)); }
    void set(int row, const char *name, const QVariant &value) { model->setCell(row, col(name), value); }
    void setTag(const char *name, int tag)
    {
        model->updateColumn(col(name), [tag](TGridColumn &c) { c.tag = tag; });
    }
    // Fills a line: the columns from the product name on, in their order; not a gift.
    void line(int row, const QString &product, const QVariant &number, const QVariant &price, const QVariant &amount,
              const QVariant &batch = QVariant(), const QVariant &unit = QVariant())
    {
        const QVariantList values = {product, unit, number, price, amount, batch, u"0"_s};
        for (int i = 0; i < values.size(); ++i)
            model->setCell(row, col("R_FProductName") + i, values[i]);
    }
    // "ok", or the warnings shown and the cell focused (row, column name) with its editor open.
    QString check(bool units = false)
    {
        prompter.clear();
        const bool ok = units ? ValidateProductUnits(&view, u"R_FProductName"_s, u"R_FUnitName"_s, u"R_FProductName"_s)
                              : ValidateGridRows(&view, &view, u"R_FProductName"_s);
        if (ok)
            return prompter.texts().isEmpty() ? u"ok"_s : u"ok but shown: "_s + prompter.texts().join(u'|');
        EXPECT_TRUE(prompter.entries().isEmpty() || prompter.entries().at(0).kind == PromptKind::Warning);
        EXPECT_TRUE(view.table()->isEditing());
        return prompter.texts().join(u'|')
            + u" @%1 %2"_s.arg(view.focusedRow()).arg(model->column(view.focusedColumn()).name);
    }
    void press(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(view.table(), &event);
    }

    TGridView view;
    TGridModel *model = view.model();
};

TEST_F(LineGrid, EditorRowsAreNumberedResetAndFilledFromARecord)
{
    EXPECT_EQ(model->rowCountValue(), 6);
    EXPECT_EQ(model->cell(5, 0).toInt(), 6);
    EXPECT_FALSE(model->column(0).editable || model->column(0).focusable);
    EXPECT_TRUE(model->column(1).editable);
    EXPECT_FALSE(ColumnHasValue(&view, u"R_FProductName"_s));
    model->insertBlankRows(0);
    RenumberRows(&view);
    EXPECT_EQ(model->cell(3, 0).toInt(), 4);

    set(1, "R_FUnitName", u"个"_s);
    TDataSet record(Db());
    record.open(u"select '螺丝' as FProductName, null as FUnitName, 5 as FNumber, 1 as FNotInGrid"_s);
    CopyRecordToRow(&view, u"R_"_s, 1, record);
    EXPECT_EQ(cell(1, "R_FProductName").toString(), u"螺丝"_s);
    EXPECT_EQ(cell(1, "R_FUnitName").toString(), u"个"_s) << "null is not copied";
    EXPECT_EQ(cell(1, "R_FNumber").toInt(), 5);
    EXPECT_TRUE(ColumnHasValue(&view, u"R_FProductName"_s));

    model->updateColumn(col("R_FIsPresent"), [](TGridColumn &c) { c.valueType = GridValueType::Boolean; });
    ResetBooleanColumns(&view, 2);
    EXPECT_EQ(cell(2, "R_FIsPresent"), QVariant(false));
    EXPECT_FALSE(cell(1, "R_FIsPresent").isValid());
    ResetBooleanColumns(&view, -1);
    for (int row = 0; row < model->rowCountValue(); ++row)
        EXPECT_EQ(cell(row, "R_FIsPresent"), QVariant(false));
    EXPECT_FALSE(cell(0, "R_FProductName").isValid()) << "other columns untouched";
}

TEST_F(LineGrid, ColumnRuleReplacesRefusesAndWritesOtherCellsOfTheRow)
{
    // Quantity rule: no product, no quantity; otherwise the amount follows quantity × price.
    model->setColumnRule(u"r_fnumber"_s, [](TGridModel &m, int row, QVariant &value, bool &accept) {
        if (m.cell(row, u"R_FProductName"_s).toString().isEmpty())
            value = QVariant();
        else if (value.toDouble() < 0)
            accept = false;
        else
            m.setCell(row, u"R_FAmount"_s, value.toDouble() * m.cell(row, u"R_FPrice"_s).toDouble());
    });
    QList<QPair<int, int>> edited;
    QObject::connect(model, &TGridModel::cellEdited, [&](int row, int column) { edited.append({row, column}); });

    EXPECT_TRUE(model->setData(at(0, "R_FNumber"), 5));
    EXPECT_FALSE(cell(0, "R_FNumber").isValid()) << "replaced by blank";
    EXPECT_EQ(edited, (QList<QPair<int, int>>{{0, col("R_FNumber")}}));

    set(1, "R_FProductName", u"螺丝"_s);
    set(1, "R_FPrice", 2.5);
    EXPECT_TRUE(model->setData(at(1, "R_FNumber"), 4));
    EXPECT_EQ(cell(1, "R_FNumber").toInt(), 4);
    EXPECT_DOUBLE_EQ(cell(1, "R_FAmount").toDouble(), 10.0);
    EXPECT_FALSE(model->setData(at(1, "R_FNumber"), -1));
    EXPECT_EQ(cell(1, "R_FNumber").toInt(), 4) << "refused: the old value stays";
    EXPECT_EQ(edited.count(), 2);

    // Typing the value the cell already holds runs the rule again; setCell writes as it is,
    // with no rule and no edit signal.
    set(1, "R_FAmount", QVariant());
    EXPECT_TRUE(model->setData(at(1, "R_FNumber"), 4));
    EXPECT_DOUBLE_EQ(cell(1, "R_FAmount").toDouble(), 10.0);
    set(2, "R_FNumber", 7);
    EXPECT_EQ(cell(2, "R_FNumber").toInt(), 7);
    EXPECT_EQ(edited.count(), 3);
}

TEST_F(LineGrid, DisplaysNumbersInTheColumnFormatAndCheckBoxesAsCheckStates)
{
    set(0, "R_FPrice", u"1234.5"_s);
    set(1, "R_FPrice", u"abc"_s);
    EXPECT_EQ(at(0, "R_FPrice").data().toString(), u"1,234.50"_s);
    EXPECT_EQ(at(1, "R_FPrice").data().toString(), u"abc"_s);
    EXPECT_EQ(at(2, "R_FPrice").data().toString(), QString());
    EXPECT_EQ(at(0, "R_FPrice").data(Qt::EditRole).toString(), u"1234.5"_s);

    set(0, "R_FIsPresent", u"1"_s);
    EXPECT_EQ(at(0, "R_FIsPresent").data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(at(1, "R_FIsPresent").data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(at(0, "R_FIsPresent").data().isValid());
    // Toggling stores the column's own values: "1"/"0" text, or a Boolean for Boolean columns.
    EXPECT_TRUE(model->setData(at(1, "R_FIsPresent"), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model->setData(at(0, "R_FIsPresent"), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(cell(1, "R_FIsPresent"), QVariant(u"1"_s));
    EXPECT_EQ(cell(0, "R_FIsPresent"), QVariant(u"0"_s));
    model->updateColumn(col("R_FIsPresent"), [](TGridColumn &c) { c.valueType = GridValueType::Boolean; });
    EXPECT_TRUE(model->setData(at(2, "R_FIsPresent"), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(cell(2, "R_FIsPresent"), QVariant(true));
}

TEST_F(LineGrid, ReadOnlyColumnsAndALockedGridTakeNoEdits)
{
    EXPECT_FALSE(at(0, "R_FSID").flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(at(0, "R_FSID"), 9));
    EXPECT_EQ(cell(0, "R_FSID").toInt(), 1);
    EXPECT_TRUE(at(0, "R_FProductName").flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(at(0, "R_FIsPresent").flags() & Qt::ItemIsUserCheckable);

    model->setEditingEnabled(false);
    EXPECT_FALSE(at(0, "R_FProductName").flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(at(0, "R_FIsPresent").flags() & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model->setData(at(0, "R_FProductName"), u"x"_s));
    set(0, "R_FProductName", u"x"_s); // the program may still fill it
    EXPECT_EQ(cell(0, "R_FProductName").toString(), u"x"_s);
}

TEST_F(LineGrid, FooterCountsRowsAndSumsAmountsWithoutGiftLines)
{
    line(0, u"螺丝"_s, 2, QVariant(), 100);
    line(1, u"螺母"_s, 3, QVariant(), 50);
    line(2, u"垫片"_s, 1.5, QVariant(), 20.25);
    set(1, "R_FIsPresent", u"1"_s);
    AddFooterSummaries(&view, u"R_FSID,FAmount,FNoSuchField,FNumber"_s, u"2,1,1,9"_s);
    EXPECT_EQ(view.footerText(col("R_FSID")), u"合计: 6 行"_s);
    EXPECT_EQ(view.footerText(col("R_FAmount")), u"170.25"_s);
    EXPECT_EQ(view.footerText(col("R_FNumber")), QString()) << "kind 9 is no summary";

    // The editor's footer: the quantity sum without format (gift lines count), the amount sum
    // without the gift line.
    view.clearSummaries();
    const auto notGift = [this](int row) { return !ValueIsTrue(cell(row, "R_FIsPresent")); };
    view.addSummary({u"R_FNumber"_s, GridSummaryKind::Sum, QString(), {}});
    view.addSummary({u"R_FAmount"_s, GridSummaryKind::Sum, kAmountFormat, notGift});
    EXPECT_EQ(view.footerText(col("R_FNumber")) + u' ' + view.footerText(col("R_FAmount")), u"6.5 120.25"_s);
    set(2, "R_FAmount", 1000000);
    set(1, "R_FIsPresent", u"0"_s);
    EXPECT_EQ(view.footerText(col("R_FAmount")), u"1,000,150.00"_s);
}

TEST_F(LineGrid, NumberEditorCommitsOnlyTypedValuesAndClearsToNull)
{
    set(0, "R_FAmount", 100);
    int ruleRuns = 0;
    model->setColumnRule(u"R_FAmount"_s, [&](TGridModel &, int, QVariant &, bool &) { ++ruleRuns; });
    const auto edit = [this] {
        view.focusCell(0, col("R_FAmount"), true);
        return qobject_cast<QLineEdit *>(view.table()->indexWidget(at(0, "R_FAmount")));
    };
    const auto leave = [this] { view.table()->setCurrentIndex(at(1, "R_FAmount")); };

    QLineEdit *editor = edit();
    ASSERT_TRUE(view.table()->isEditing());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), u"100"_s);
    leave(); // passing through
    EXPECT_EQ(ruleRuns, 0);
    EXPECT_EQ(cell(0, "R_FAmount").toInt(), 100);

    editor = edit();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    editor->backspace();
    leave();
    EXPECT_EQ(ruleRuns, 1);
    EXPECT_TRUE(IsBlankValue(cell(0, "R_FAmount")));
}

TEST_F(LineGrid, KeyboardSkipsReadOnlyColumnsAndTheLookupButtonReportsTheCell)
{
    setTag("R_FUnitName", 1 << GridTagBit::ReadOnly);
    InitEditorRows(&view, 6);
    view.table()->setCurrentIndex(at(0, "R_FProductName"));
    QStringList visited;
    for (int key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}) {
        press(key);
        visited << model->column(view.focusedColumn()).field;
    }
    // over the read-only unit, and the row number takes no focus
    EXPECT_EQ(visited.join(u' '), u"FNumber FProductName FProductName"_s);
    view.table()->setCurrentIndex(at(0, "R_FIsPresent"));
    press(Qt::Key_Tab);
    EXPECT_EQ(view.focusedRow(), 1);
    EXPECT_EQ(view.focusedColumn(), col("R_FProductName"));

    QList<QPair<int, int>> lookups;
    QObject::connect(&view, &TGridView::lookupClicked, [&](int row, int column) { lookups.append({row, column}); });
    view.focusCell(2, col("R_FProductName"), true);
    QWidget *editor = view.table()->indexWidget(at(2, "R_FProductName"));
    ASSERT_NE(editor, nullptr);
    editor->findChild<QToolButton *>()->click();
    EXPECT_EQ(lookups, (QList<QPair<int, int>>{{2, col("R_FProductName")}}));
}

// Quantity, price and amount are required below; the batch number is unique.
class LineChecks : public LineGrid {
protected:
    void SetUp() override
    {
        LineGrid::SetUp();
        for (const char *name : {"R_FNumber", "R_FPrice", "R_FAmount"})
            setTag(name, kRequired);
    }
};

TEST_F(LineChecks, RequiredColumnsRefuseBlankAndZeroUnlessZeroIsAllowed)
{
    line(0, u"螺丝"_s, 2, 1.5, 3);
    line(1, u"螺母"_s, 4, QVariant(), 8);
    EXPECT_EQ(check(), u"[单价]不能为空：请检查第 2 行[单价]的值 @1 R_FPrice"_s);
    set(1, "R_FPrice", u"0.00"_s);
    EXPECT_EQ(check(), u"[单价]不能为0：请检查第 2 行[单价]的值 @1 R_FPrice"_s);
    // Zero is a number test: a required text column holding "0" passes.
    set(1, "R_FPrice", 2);
    set(0, "R_FUnitName", u"个"_s);
    set(1, "R_FUnitName", u"0"_s);
    setTag("R_FUnitName", kRequired);
    EXPECT_EQ(check(), u"ok"_s);

    setTag("R_FNumber", kRequired | 1 << GridTagBit::ZeroAllowed);
    set(0, "R_FNumber", 0);
    EXPECT_EQ(check(), u"ok"_s);
    set(0, "R_FNumber", QVariant());
    EXPECT_EQ(check(), u"[数量]不能为空：请检查第 1 行[数量]的值 @0 R_FNumber"_s);
}

TEST_F(LineChecks, GiftRowsLeaveOutPricesAndAmountsOnly)
{
    line(0, u"螺丝"_s, 2, QVariant(), QVariant());
    set(0, "R_FIsPresent", u"1"_s);
    EXPECT_EQ(check(), u"ok"_s);
    set(0, "R_FNumber", QVariant());
    EXPECT_EQ(check(), u"[数量]不能为空：请检查第 1 行[数量]的值 @0 R_FNumber"_s);
}

TEST_F(LineChecks, EachLaterDuplicateIsReportedAgainstTheEarlierRow)
{
    line(0, u"螺丝"_s, 1, 1, 1, u"B1"_s);
    line(1, u"螺母"_s, 1, 1, 1, u"B1"_s);
    line(2, u"垫片"_s, 1, 1, 1, u"B2"_s);
    line(3, u"弹簧"_s, 1, 1, 1, u" B1"_s);
    EXPECT_EQ(check(), u"字段重复：请检查第 1 行字段[批号]的值|字段重复：请检查第 1 行字段[批号]的值 @0 R_FBatchNo"_s);
    // Blank values are no duplicates; a pair further down names its own earlier row.
    line(0, u"螺丝"_s, 1, 1, 1);
    line(3, u"弹簧"_s, 1, 1, 1);
    set(2, "R_FBatchNo", u"B1"_s);
    EXPECT_EQ(check(), u"字段重复：请检查第 2 行字段[批号]的值 @1 R_FBatchNo"_s);
}

TEST_F(LineChecks, ABlankKeyRowEndsTheCheck)
{
    line(0, u"螺丝"_s, 2, 1.5, 3, u"B1"_s);
    line(2, u"螺母"_s, QVariant(), QVariant(), QVariant(), u"B1"_s);
    EXPECT_EQ(check(), u"ok"_s);
    // Filled in, the middle row no longer ends the check: the rows below it take part in the
    // duplicate test, and it is checked itself.
    set(1, "R_FProductName", u"垫片"_s);
    EXPECT_EQ(check(), u"字段重复：请检查第 1 行字段[批号]的值 @0 R_FBatchNo"_s);
    set(2, "R_FBatchNo", u"B2"_s);
    EXPECT_EQ(check(), u"[数量]不能为空：请检查第 2 行[数量]的值 @1 R_FNumber"_s);
}

TEST_F(LineChecks, TwoUnitsOfOneProductMustBothBeDefinedForIt)
{
    protask::testing::ExecScript(
        u"insert into t_comUnit(FID, FName) values (1, '个'), (2, '箱'), (3, '包');"
        "insert into t_comProducts(FID, FNo, FName, FStdUnitID) values (1, 'P1', '螺丝', 1), (2, 'P2', '螺母', 1);"
        "insert into t_comProductUnit(FProductID, FSID, FUnitID, FRatio) values (1, 1, 1, 1), (1, 2, 2, 100), (2, 1, 1, 1)"_s);
    // Rows of another product are not compared with these; unit names are compared trimmed.
    line(0, u"螺丝"_s, 1, 1, 1, QVariant(), u"个"_s);
    line(1, u"螺母"_s, 1, 1, 1, QVariant(), u"箱"_s);
    line(2, u"螺丝"_s, 1, 1, 1, QVariant(), u"箱 "_s);
    line(3, u"螺母"_s, 1, 1, 1, QVariant(), u" 箱"_s);
    EXPECT_EQ(check(true), u"ok"_s);
    line(4, u"螺丝"_s, 1, 1, 1, QVariant(), u"包"_s);
    EXPECT_EQ(check(true),
              u"请检查第 1 行与第 5 行,您输入了该商品二个不同的单位,该商品还没有设置双单位换算比率 @4 R_FUnitName"_s);
    model->clearRow(1);
    EXPECT_EQ(check(true), u"ok"_s) << "rows after a blank product are not compared";
}

} // namespace
