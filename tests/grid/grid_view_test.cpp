#include "core/sql_helpers.h"
#include "core/values.h"
#include "grid/grid_columns.h"
#include "grid/grid_view.h"
#include "test_db.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

// A line grid as the editors build it: row number and unit read-only, a lookup product, an
// amount column and a gift flag; the second line is a gift. No quantity or price kinds, so no
// company settings are read.
class GridView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildGridColumns(&view, u"FSID,FProductName,FUnitName,FNumber,FAmount,FIsPresent"_s,
                                     u"行号,商品名称,单位,数量,金额,是否赠品"_s, u",1,,,7,4"_s, u"1,1,1,1,1,1"_s,
                                     u"40,120,60,80,80,60"_s));
        for (const char *field : {"FSID", "FUnitName"})
            model()->updateColumn(column(field), [](TGridColumn &c) { c.tag = 1 << GridTagBit::ReadOnly; });
        InitEditorRows(&view, 3);
        const QList<QVariantList> lines = {
            {u"螺丝"_s, 2, 100, u"0"_s}, {u"螺母"_s, 3, 50, u"1"_s}, {u"垫片"_s, 1.5, 20.25, u"0"_s}};
        for (int row = 0; row < lines.size(); ++row) {
            int i = 0;
            for (const char *field : {"FProductName", "FNumber", "FAmount", "FIsPresent"})
                model()->setCell(row, column(field), lines[row][i++]);
        }
        view.resize(600, 300);
        view.show();
    }
    TGridModel *model() { return view.model(); }
    int column(const char *field) { return model()->fieldColumnIndex(QString::fromUtf8(field)); }
    void press(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(view.table(), &event);
    }
    QString footer(const char *field) { return view.footerText(column(field)); }

    TGridView view;
};

TEST_F(GridView, FooterCountsRowsAndSumsAmountsWithoutGiftLines)
{
    AddFooterSummaries(&view, u"FSID,FAmount,FNoSuchField,FNumber"_s, u"2,1,1,9"_s);
    EXPECT_EQ(footer("FSID"), u"合计: 3 行"_s);
    EXPECT_EQ(footer("FAmount"), u"170.25"_s);
    EXPECT_EQ(footer("FNumber"), QString()) << "kind 9 is no summary";

    // The editor's footer: the quantity sum without format (gift lines count), the amount sum
    // without the gift line.
    view.clearSummaries();
    const auto notGift = [this](int row) { return !ValueIsTrue(model()->cell(row, column("FIsPresent"))); };
    view.addSummary({u"FNumber"_s, GridSummaryKind::Sum, QString(), {}});
    view.addSummary({u"FAmount"_s, GridSummaryKind::Sum, kAmountFormat, notGift});
    EXPECT_EQ(footer("FNumber") + u' ' + footer("FAmount"), u"6.5 120.25"_s);
    model()->setCell(2, column("FAmount"), 1000000);
    model()->setCell(1, column("FIsPresent"), u"0"_s);
    EXPECT_EQ(footer("FAmount"), u"1,000,150.00"_s);
}

TEST_F(GridView, NumberEditorCommitsOnlyTypedValuesAndClearsToNull)
{
    int ruleRuns = 0;
    model()->setColumnRule(u"FAmount"_s, [&](TGridModel &, int, QVariant &, bool &) { ++ruleRuns; });
    const auto edit = [this] {
        view.focusCell(0, column("FAmount"), true);
        return qobject_cast<QLineEdit *>(view.table()->indexWidget(model()->index(0, column("FAmount"))));
    };
    const auto leave = [this] { view.table()->setCurrentIndex(model()->index(1, column("FAmount"))); };

    QLineEdit *editor = edit();
    ASSERT_TRUE(view.table()->isEditing());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), u"100"_s);
    leave(); // passing through
    EXPECT_EQ(ruleRuns, 0);
    EXPECT_EQ(model()->cell(0, column("FAmount")).toInt(), 100);

    editor = edit();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    editor->backspace();
    leave();
    EXPECT_EQ(ruleRuns, 1);
    EXPECT_TRUE(IsBlankValue(model()->cell(0, column("FAmount"))));
}

TEST_F(GridView, KeyboardSkipsReadOnlyColumnsAndTheLookupButtonReportsTheCell)
{
    view.table()->setCurrentIndex(model()->index(0, column("FProductName")));
    QStringList visited;
    for (int key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}) {
        press(key);
        visited << model()->column(view.focusedColumn()).field;
    }
    // over the read-only unit, and the row number takes no focus
    EXPECT_EQ(visited.join(u' '), u"FNumber FProductName FProductName"_s);
    view.table()->setCurrentIndex(model()->index(0, column("FIsPresent")));
    press(Qt::Key_Tab);
    EXPECT_EQ(view.focusedRow(), 1);
    EXPECT_EQ(view.focusedColumn(), column("FProductName"));

    QList<QPair<int, int>> lookups;
    QObject::connect(&view, &TGridView::lookupClicked, [&](int row, int col) { lookups.append({row, col}); });
    view.focusCell(2, column("FProductName"), true);
    QWidget *editor = view.table()->indexWidget(model()->index(2, column("FProductName")));
    ASSERT_NE(editor, nullptr);
    editor->findChild<QToolButton *>()->click();
    EXPECT_EQ(lookups, (QList<QPair<int, int>>{{2, column("FProductName")}}));
}

} // namespace
