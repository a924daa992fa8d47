#include "platform/db.h"
#include "grid/grid_columns.h"
#include "grid/grid_view.h"
#include "core/sql_helpers.h"
#include "test_db.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace protask;
using protask::testing::ExecScript;

namespace {

class GridColumns : public ::testing::Test {
protected:
    void SetUp() override
    {
        protask::testing::EmptyAllTables();
        ExecScript(QStringLiteral("insert into t_comCompany(FID, FName, FNumberDecimal, FPriceDecimal) values (1, '本公司', 3, 4)"));
    }
    const TGridColumn &col(const char *name) { return view.model()->column(view.columnIndex(QString::fromUtf8(name))); }

    TGridView view;
};

TEST_F(GridColumns, KindsApplyByPositionAndMissingKindsArePlainText)
{
    const QString fields = QStringLiteral("F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12");
    ASSERT_TRUE(BuildGridColumns(&view, fields, fields, QStringLiteral(",,,,,,,,,,,4"),
                                 QStringLiteral("1,1,1,1,1,1,1,1,1,1,1,1"), QStringLiteral("50,50,50,50,50,50,50,50,50,50,50,50")));
    ASSERT_EQ(view.model()->columnCountValue(), 12);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(view.model()->column(i).editorKind, GridEditorKind::Text) << i;
    EXPECT_EQ(col("F12").editorKind, GridEditorKind::CheckBox);
    EXPECT_EQ(col("F12").checkedValue, QStringLiteral("1"));
    EXPECT_EQ(col("F12").uncheckedValue, QStringLiteral("0"));

    ASSERT_TRUE(BuildGridColumns(&view, QStringLiteral("FA,FB,FC,FD,FE,FF,FG,FH"), QStringLiteral("A,B,C,D,E,F,G,H"),
                                 QStringLiteral("1,2,3,4,5,6,7"), QStringLiteral("1,0,1,yes"),
                                 QStringLiteral("10,20,30,40,50,60,70,80")));
    EXPECT_EQ(col("FA").editorKind, GridEditorKind::Lookup);
    EXPECT_EQ(col("FB").editorKind, GridEditorKind::Quantity);
    EXPECT_EQ(col("FB").decimals, 3);
    EXPECT_EQ(col("FB").displayFormat, QStringLiteral(",0.000;-,0.000"));
    EXPECT_EQ(col("FC").editorKind, GridEditorKind::Price);
    EXPECT_EQ(col("FC").decimals, 4);
    EXPECT_EQ(col("FC").displayFormat, QStringLiteral(",0.0000;-,0.0000"));
    EXPECT_EQ(col("FD").editorKind, GridEditorKind::CheckBox);
    EXPECT_EQ(col("FE").editorKind, GridEditorKind::Date);
    EXPECT_EQ(col("FF").editorKind, GridEditorKind::DropDown);
    EXPECT_EQ(col("FG").editorKind, GridEditorKind::Amount);
    EXPECT_EQ(col("FG").displayFormat, QStringLiteral(",0.00;-,0.00"));
    EXPECT_EQ(col("FH").editorKind, GridEditorKind::Text);
    // "1" is visible, anything else (also a missing entry) hidden
    QList<bool> visible;
    for (int i = 0; i < 5; ++i)
        visible.append(view.isColumnVisible(i));
    EXPECT_EQ(visible, (QList<bool>{true, false, true, false, false}));
    EXPECT_EQ(view.table()->columnWidth(view.columnIndex(QStringLiteral("FC"))), 30);
    EXPECT_EQ(view.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("C"));
    EXPECT_EQ(view.model()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), static_cast<int>(Qt::AlignCenter));
}

TEST_F(GridColumns, EachBuildReadsTheCompanyDecimalsAgain)
{
    const auto build = [this] {
        ASSERT_TRUE(BuildGridColumns(&view, QStringLiteral("FNumber,FPrice"), QStringLiteral("数量,单价"),
                                     QStringLiteral("2,3"), QStringLiteral("1,1"), QStringLiteral("80,80")));
        view.model()->setRowCount(1);
        view.model()->setCell(0, 0, 1234.5);
        view.model()->setCell(0, 1, 1234.5);
    };
    build();
    EXPECT_EQ(view.model()->displayText(0, 0), QStringLiteral("1,234.500"));
    EXPECT_EQ(view.model()->displayText(0, 1), QStringLiteral("1,234.5000"));

    ExecScript(QStringLiteral("update t_comCompany set FNumberDecimal = 0, FPriceDecimal = null"));
    build();
    EXPECT_EQ(col("FNumber").decimals, 0);
    EXPECT_EQ(view.model()->displayText(0, 0), QStringLiteral("1,235"));
    EXPECT_EQ(col("FPrice").decimals, 2);
    EXPECT_EQ(view.model()->displayText(0, 1), QStringLiteral("1,234.50"));
}

TEST_F(GridColumns, BadListsLeaveTheColumnsAsTheyWere)
{
    ASSERT_TRUE(BuildGridColumns(&view, QStringLiteral("FA,FB"), QStringLiteral("A,B"), QString(), QStringLiteral("1,1"),
                                 QStringLiteral("10,20")));
    EXPECT_FALSE(BuildGridColumns(&view, QStringLiteral(" "), QStringLiteral("X"), QString(), QStringLiteral("1"),
                                  QStringLiteral("10")));
    EXPECT_FALSE(BuildGridColumns(&view, QStringLiteral("FX"), QString(), QString(), QStringLiteral("1"),
                                  QStringLiteral("10")));
    EXPECT_THROW(BuildGridColumns(&view, QStringLiteral("FX,FY"), QStringLiteral("X,Y"), QString(), QStringLiteral("1,1"),
                                  QStringLiteral("10,wide")),
                 std::invalid_argument);
    ASSERT_EQ(view.model()->columnCountValue(), 2);
    EXPECT_EQ(view.model()->column(1).name, QStringLiteral("FB"));

    view.setObjectName(QStringLiteral("R"));
    ASSERT_TRUE(BuildGridColumnsNamed(&view, QStringLiteral("FProductName"), QStringLiteral("商品名称"), QString(),
                                      QStringLiteral("1"), QStringLiteral("120")));
    EXPECT_EQ(view.model()->column(0).name, QStringLiteral("R_FProductName"));
    EXPECT_EQ(view.model()->column(0).field, QStringLiteral("FProductName"));
}

TEST_F(GridColumns, ProductionTaskListHasItsColumnsAndFooter)
{
    EXPECT_EQ(FindGridColumnSet(9999), nullptr);
    ASSERT_TRUE(BuildGridFromColumnTable(&view, 3049));
    const TGridModel *model = view.model();
    ASSERT_EQ(model->columnCountValue(), 16);
    const QStringList visible = {QStringLiteral("单据日期"), QStringLiteral("单据编号"), QStringLiteral("生产商品"),
                                 QStringLiteral("单位"), QStringLiteral("数量"), QStringLiteral("制单人"),
                                 QStringLiteral("审核状态"), QStringLiteral("审核人"), QStringLiteral("部门"),
                                 QStringLiteral("经办人"), QStringLiteral("说明")};
    QStringList shown;
    for (int i = 0; i < model->columnCountValue(); ++i)
        if (view.isColumnVisible(i))
            shown.append(model->column(i).caption);
    EXPECT_EQ(shown, visible);
    EXPECT_EQ(col("FFormDefined2").caption, QStringLiteral("自定义2"));
    EXPECT_FALSE(view.isColumnVisible(view.columnIndex(QStringLiteral("FFormDefined2"))));
    EXPECT_EQ(col("FNote").width, 150);
    EXPECT_EQ(col("FBillNo").width, 120);
    EXPECT_EQ(col("FID").width, 10);

    view.model()->setRowCount(2);
    view.model()->setCell(0, view.columnIndex(QStringLiteral("FNumber")), QStringLiteral("1200.50000000"));
    view.model()->setCell(1, view.columnIndex(QStringLiteral("FNumber")), QStringLiteral("3"));
    EXPECT_EQ(view.footerText(view.columnIndex(QStringLiteral("FBillDate"))), QStringLiteral("合计: 2 行"));
    EXPECT_EQ(view.footerText(view.columnIndex(QStringLiteral("FNumber"))), QStringLiteral("1,203.50"));

    // The list shows the checked state as a check box, hides columns by name and counts
    // visible positions.
    SetCheckBoxColumn(&view, QStringLiteral("fischecked"), 0);
    EXPECT_EQ(col("FIsChecked").editorKind, GridEditorKind::Text);
    SetCheckBoxColumn(&view, QStringLiteral("fischecked"), 1);
    EXPECT_EQ(col("FIsChecked").editorKind, GridEditorKind::CheckBox);
    EXPECT_EQ(FindVisibleColumnIndex(&view, QStringLiteral("FNumber")), 4);
    EXPECT_FALSE(HideColumns(&view, QStringLiteral(" ")));
    EXPECT_TRUE(HideColumns(&view, QStringLiteral("FBillNo,FNoSuchColumn")));
    EXPECT_EQ(FindVisibleColumnIndex(&view, QStringLiteral("FNumber")), 3);
    EXPECT_EQ(FindVisibleColumnIndex(&view, QStringLiteral("FBillNo")), -1);
    EXPECT_EQ(FindColumnIndex(&view, QStringLiteral("fbillno")), 3);
    EXPECT_EQ(FindColumnIndex(&view, QStringLiteral("FNone")), -1);
}

TEST_F(GridColumns, EditorRowsAreNumberedResetAndFilledFromARecord)
{
    view.setObjectName(QStringLiteral("R"));
    ASSERT_TRUE(BuildGridColumnsNamed(&view, QStringLiteral("FSID,FProductName,FUnitName,FNumber,FIsPresent"),
                                      QStringLiteral("行号,商品名称,单位,数量,是否赠品"), QString(),
                                      QStringLiteral("1,1,1,1,1"), QStringLiteral("40,120,60,80,60")));
    TGridModel *model = view.model();
    model->updateColumn(0, [](TGridColumn &c) { c.tag = 1 << GridTagBit::ReadOnly; });
    model->updateColumn(4, [](TGridColumn &c) { c.valueType = GridValueType::Boolean; });

    InitEditorRows(&view, 3);
    ASSERT_EQ(model->rowCountValue(), 3);
    EXPECT_EQ(model->cell(2, 0).toInt(), 3);
    EXPECT_FALSE(model->column(0).editable);
    EXPECT_FALSE(model->column(0).focusable);
    EXPECT_TRUE(model->column(1).editable);
    EXPECT_FALSE(ColumnHasValue(&view, QStringLiteral("R_FProductName")));

    model->insertBlankRows(0);
    RenumberRows(&view);
    EXPECT_EQ(model->cell(0, 0).toInt(), 1);
    EXPECT_EQ(model->cell(3, 0).toInt(), 4);

    model->setCell(1, QStringLiteral("R_FUnitName"), QStringLiteral("个"));
    TDataSet record(Db());
    record.open(QStringLiteral("select '螺丝' as FProductName, null as FUnitName, 5 as FNumber, 1 as FNotInGrid"));
    CopyRecordToRow(&view, QStringLiteral("R_"), 1, record);
    EXPECT_EQ(model->cell(1, QStringLiteral("R_FProductName")).toString(), QStringLiteral("螺丝"));
    EXPECT_EQ(model->cell(1, QStringLiteral("R_FUnitName")).toString(), QStringLiteral("个")); // null is not copied
    EXPECT_EQ(model->cell(1, QStringLiteral("R_FNumber")).toInt(), 5);
    EXPECT_TRUE(ColumnHasValue(&view, QStringLiteral("R_FProductName")));

    ResetBooleanColumns(&view, 2);
    EXPECT_EQ(model->cell(2, 4), QVariant(false));
    EXPECT_FALSE(model->cell(1, 4).isValid());
    ResetBooleanColumns(&view, -1);
    for (int row = 0; row < model->rowCountValue(); ++row)
        EXPECT_EQ(model->cell(row, 4), QVariant(false));
    EXPECT_FALSE(model->cell(0, 1).isValid()); // other columns untouched
}

} // namespace
