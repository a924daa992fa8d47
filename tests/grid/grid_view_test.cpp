#include "grid/grid_columns.h"
#include "grid/grid_view.h"
#include "core/sql_helpers.h"
#include "core/values.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace protask;

namespace {

// A line grid as the editors build it: row number and unit read-only, a lookup product, an
// amount column and a gift flag. No quantity or price kinds, so no company settings are read.
class GridView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildGridColumns(&view, QStringLiteral("FSID,FProductName,FUnitName,FNumber,FAmount,FIsPresent"),
                                     QStringLiteral("行号,商品名称,单位,数量,金额,是否赠品"), QStringLiteral(",1,,,7,4"),
                                     QStringLiteral("1,1,1,1,1,1"), QStringLiteral("40,120,60,80,80,60")));
        model()->updateColumn(column("FSID"), [](TGridColumn &c) { c.tag = 1 << GridTagBit::ReadOnly; });
        model()->updateColumn(column("FUnitName"), [](TGridColumn &c) { c.tag = 1 << GridTagBit::ReadOnly; });
        InitEditorRows(&view, 3);
        const QList<QVariantList> lines = {{QStringLiteral("螺丝"), 2, 100},
                                           {QStringLiteral("螺母"), 3, 50},
                                           {QStringLiteral("垫片"), 1.5, 20.25}};
        for (int row = 0; row < lines.size(); ++row) {
            model()->setCell(row, column("FProductName"), lines[row][0]);
            model()->setCell(row, column("FNumber"), lines[row][1]);
            model()->setCell(row, column("FAmount"), lines[row][2]);
            model()->setCell(row, column("FIsPresent"), QStringLiteral("0"));
        }
        model()->setCell(1, column("FIsPresent"), QStringLiteral("1")); // a gift line
        view.resize(600, 300);
        view.show();
    }
    TGridModel *model() { return view.model(); }
    int column(const char *field) { return model()->fieldColumnIndex(QString::fromUtf8(field)); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(view.table(), &event);
    }

    TGridView view;
};

TEST_F(GridView, FooterCountsRowsAndSumsAmountsWithoutGiftLines)
{
    AddFooterSummaries(&view, QStringLiteral("FSID,FAmount,FNoSuchField,FNumber"), QStringLiteral("2,1,1,9"));
    EXPECT_EQ(view.footerText(column("FSID")), QStringLiteral("合计: 3 行"));
    EXPECT_EQ(view.footerText(column("FAmount")), QStringLiteral("170.25"));
    EXPECT_EQ(view.footerText(column("FNumber")), QString()); // kind 9 is no summary

    // The editor's footer: the quantity sum without format (gift lines count), the amount
    // sum without the gift line.
    view.clearSummaries();
    const auto notGift = [this](int row) { return !ValueIsTrue(model()->cell(row, column("FIsPresent"))); };
    view.addSummary({QStringLiteral("FNumber"), GridSummaryKind::Sum, QString(), {}});
    view.addSummary({QStringLiteral("FAmount"), GridSummaryKind::Sum, kAmountFormat, notGift});
    EXPECT_EQ(view.footerText(column("FNumber")), QStringLiteral("6.5"));
    EXPECT_EQ(view.footerText(column("FAmount")), QStringLiteral("120.25"));

    model()->setCell(2, column("FAmount"), 1000000);
    model()->setCell(1, column("FIsPresent"), QStringLiteral("0"));
    EXPECT_EQ(view.footerText(column("FAmount")), QStringLiteral("1,000,150.00"));
}

TEST_F(GridView, NumberEditorCommitsOnlyTypedValuesAndClearsToNull)
{
    int ruleRuns = 0;
    model()->setColumnRule(QStringLiteral("FAmount"), [&](TGridModel &, int, QVariant &, bool &) { ++ruleRuns; });
    const QModelIndex amount = model()->index(0, column("FAmount"));

    view.focusCell(0, column("FAmount"), true);
    ASSERT_TRUE(view.table()->isEditing());
    auto *edit = qobject_cast<QLineEdit *>(view.table()->indexWidget(amount));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("100"));
    view.table()->setCurrentIndex(model()->index(1, column("FAmount"))); // passing through
    EXPECT_EQ(ruleRuns, 0);
    EXPECT_EQ(model()->cell(0, column("FAmount")).toInt(), 100);

    view.focusCell(0, column("FAmount"), true);
    edit = qobject_cast<QLineEdit *>(view.table()->indexWidget(amount));
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    edit->backspace();
    view.table()->setCurrentIndex(model()->index(1, column("FAmount")));
    EXPECT_EQ(ruleRuns, 1);
    EXPECT_TRUE(IsBlankValue(model()->cell(0, column("FAmount"))));
}

TEST_F(GridView, KeyboardSkipsReadOnlyColumnsAndLookupButtonReportsTheCell)
{
    view.table()->setCurrentIndex(model()->index(0, column("FProductName")));
    press(Qt::Key_Right);
    EXPECT_EQ(view.focusedColumn(), column("FNumber")); // over the read-only unit
    press(Qt::Key_Left);
    EXPECT_EQ(view.focusedColumn(), column("FProductName"));
    press(Qt::Key_Left);
    EXPECT_EQ(view.focusedColumn(), column("FProductName")); // the row number takes no focus
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
    ASSERT_EQ(lookups.size(), 1);
    EXPECT_EQ(lookups.at(0), qMakePair(2, column("FProductName")));
}

} // namespace
