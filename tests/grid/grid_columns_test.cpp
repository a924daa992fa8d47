#include "core/sql_helpers.h"
#include "grid/grid_columns.h"
#include "grid/grid_view.h"
#include "test_db.h"

#include <stdexcept>

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::ExecScript;

namespace {

// The company shows quantities with 3 places and prices with 4.
class GridColumns : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(u"insert into t_comCompany(FID, FName, FNumberDecimal, FPriceDecimal) values (1, '本公司', 3, 4)"_s);
    }
    const TGridColumn &col(const char *name) { return view.model()->column(view.columnIndex(QString::fromUtf8(name))); }
    // The editor kind of every column, numbered as in the kind lists (0: plain text).
    QString kinds()
    {
        QStringList list;
        for (const TGridColumn &c : view.model()->columns())
            list << QString::number(static_cast<int>(c.editorKind));
        return list.join(u' ');
    }
    QString number(const char *name) { return u"%1 %2"_s.arg(col(name).decimals).arg(col(name).displayFormat); }

    TGridView view;
};

TEST_F(GridColumns, KindsApplyByPositionAndMissingKindsArePlainText)
{
    const QString fields = u"F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12"_s;
    ASSERT_TRUE(BuildGridColumns(&view, fields, fields, u",,,,,,,,,,,4"_s, u"1,1,1,1,1,1,1,1,1,1,1,1"_s,
                                 u"50,50,50,50,50,50,50,50,50,50,50,50"_s));
    EXPECT_EQ(kinds(), u"0 0 0 0 0 0 0 0 0 0 0 4"_s);
    EXPECT_EQ(col("F12").checkedValue + col("F12").uncheckedValue, u"10"_s);

    ASSERT_TRUE(BuildGridColumns(&view, u"FA,FB,FC,FD,FE,FF,FG,FH"_s, u"A,B,C,D,E,F,G,H"_s, u"1,2,3,4,5,6,7"_s,
                                 u"1,0,1,yes"_s, u"10,20,30,40,50,60,70,80"_s));
    EXPECT_EQ(kinds(), u"1 2 3 4 5 6 7 0"_s);
    EXPECT_EQ(number("FB"), u"3 ,0.000;-,0.000"_s);
    EXPECT_EQ(number("FC"), u"4 ,0.0000;-,0.0000"_s);
    EXPECT_EQ(col("FG").displayFormat, u",0.00;-,0.00"_s);
    // "1" is visible, anything else (also a missing entry) hidden
    QList<bool> visible;
    for (int i = 0; i < 5; ++i)
        visible.append(view.isColumnVisible(i));
    EXPECT_EQ(visible, (QList<bool>{true, false, true, false, false}));
    EXPECT_EQ(view.table()->columnWidth(view.columnIndex(u"FC"_s)), 30);
    EXPECT_EQ(view.model()->headerData(2, Qt::Horizontal).toString(), u"C"_s);
    EXPECT_EQ(view.model()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
}

TEST_F(GridColumns, EachBuildReadsTheCompanyDecimalsAgain)
{
    const auto shown = [this] {
        EXPECT_TRUE(BuildGridColumns(&view, u"FNumber,FPrice"_s, u"数量,单价"_s, u"2,3"_s, u"1,1"_s, u"80,80"_s));
        view.model()->setRowCount(1);
        view.model()->setCell(0, 0, 1234.5);
        view.model()->setCell(0, 1, 1234.5);
        return view.model()->displayText(0, 0) + u' ' + view.model()->displayText(0, 1);
    };
    EXPECT_EQ(shown(), u"1,234.500 1,234.5000"_s);
    ExecScript(u"update t_comCompany set FNumberDecimal = 0, FPriceDecimal = null"_s);
    EXPECT_EQ(shown(), u"1,235 1,234.50"_s);
    EXPECT_EQ(number("FNumber") + u" | "_s + number("FPrice"), u"0 ,0.;-,0. | 2 ,0.00;-,0.00"_s);
    ExecScript(u"delete from t_comCompany"_s);
    EXPECT_EQ(shown(), u"1,234.50 1,234.50"_s) << "without a company row";
}

TEST_F(GridColumns, BadListsLeaveTheColumnsAsTheyWere)
{
    ASSERT_TRUE(BuildGridColumns(&view, u"FA,FB"_s, u"A,B"_s, QString(), u"1,1"_s, u"10,20"_s));
    EXPECT_FALSE(BuildGridColumns(&view, u" "_s, u"X"_s, QString(), u"1"_s, u"10"_s));
    EXPECT_FALSE(BuildGridColumns(&view, u"FX"_s, QString(), QString(), u"1"_s, u"10"_s));
    EXPECT_THROW(BuildGridColumns(&view, u"FX,FY"_s, u"X,Y"_s, QString(), u"1,1"_s, u"10,wide"_s),
                 std::invalid_argument);
    ASSERT_EQ(view.model()->columnCountValue(), 2);
    EXPECT_EQ(view.model()->column(1).name, u"FB"_s);

    view.setObjectName(u"R"_s);
    ASSERT_TRUE(BuildGridColumnsNamed(&view, u"FProductName"_s, u"商品名称"_s, QString(), u"1"_s, u"120"_s));
    EXPECT_EQ(view.model()->column(0).name + u' ' + view.model()->column(0).field, u"R_FProductName FProductName"_s);
}

TEST_F(GridColumns, ProductionTaskListShowsItsColumnsAndFooter)
{
    EXPECT_EQ(FindGridColumnSet(9999), nullptr);
    ASSERT_TRUE(BuildGridFromColumnTable(&view, 3049));
    const TGridModel *model = view.model();
    ASSERT_EQ(model->columnCountValue(), 16);
    QStringList shown;
    for (int i = 0; i < model->columnCountValue(); ++i)
        if (view.isColumnVisible(i))
            shown.append(model->column(i).caption);
    EXPECT_EQ(shown.join(u' '), u"单据日期 单据编号 生产商品 单位 数量 制单人 审核状态 审核人 部门 经办人 说明"_s);

    const int number = view.columnIndex(u"FNumber"_s);
    view.model()->setRowCount(2);
    view.model()->setCell(0, number, u"1200.50000000"_s);
    view.model()->setCell(1, number, u"3"_s);
    EXPECT_EQ(view.footerText(view.columnIndex(u"FBillDate"_s)), u"合计: 2 行"_s);
    EXPECT_EQ(view.footerText(number), u"1,203.50"_s);

    // The list shows the checked state as a check box, hides columns by name and counts
    // visible positions.
    SetCheckBoxColumn(&view, u"fischecked"_s, 0);
    EXPECT_EQ(col("FIsChecked").editorKind, GridEditorKind::Text);
    SetCheckBoxColumn(&view, u"fischecked"_s, 1);
    EXPECT_EQ(col("FIsChecked").editorKind, GridEditorKind::CheckBox);
    EXPECT_EQ(FindVisibleColumnIndex(&view, u"FNumber"_s), 4);
    EXPECT_FALSE(HideColumns(&view, u" "_s));
    EXPECT_TRUE(HideColumns(&view, u"FBillNo,FNoSuchColumn"_s));
    EXPECT_EQ(FindVisibleColumnIndex(&view, u"FNumber"_s), 3);
    EXPECT_EQ(FindVisibleColumnIndex(&view, u"FBillNo"_s), -1);
    EXPECT_EQ(FindColumnIndex(&view, u"fbillno"_s), 3);
    EXPECT_EQ(FindColumnIndex(&view, u"FNone"_s), -1);
}

TEST_F(GridColumns, EditorRowsAreNumberedResetAndFilledFromARecord)
{
    view.setObjectName(u"R"_s);
    ASSERT_TRUE(BuildGridColumnsNamed(&view, u"FSID,FProductName,FUnitName,FNumber,FIsPresent"_s,
                                      u"行号,商品名称,单位,数量,是否赠品"_s, QString(), u"1,1,1,1,1"_s,
                                      u"40,120,60,80,60"_s));
    TGridModel *model = view.model();
    model->updateColumn(0, [](TGridColumn &c) { c.tag = 1 << GridTagBit::ReadOnly; });
    model->updateColumn(4, [](TGridColumn &c) { c.valueType = GridValueType::Boolean; });

    InitEditorRows(&view, 3);
    ASSERT_EQ(model->rowCountValue(), 3);
    EXPECT_EQ(model->cell(2, 0).toInt(), 3);
    EXPECT_FALSE(model->column(0).editable || model->column(0).focusable);
    EXPECT_TRUE(model->column(1).editable);
    EXPECT_FALSE(ColumnHasValue(&view, u"R_FProductName"_s));
    model->insertBlankRows(0);
    RenumberRows(&view);
    EXPECT_EQ(model->cell(0, 0).toInt(), 1);
    EXPECT_EQ(model->cell(3, 0).toInt(), 4);

    model->setCell(1, u"R_FUnitName"_s, u"个"_s);
    TDataSet record(Db());
    record.open(u"select '螺丝' as FProductName, null as FUnitName, 5 as FNumber, 1 as FNotInGrid"_s);
    CopyRecordToRow(&view, u"R_"_s, 1, record);
    EXPECT_EQ(model->cell(1, u"R_FProductName"_s).toString(), u"螺丝"_s);
    EXPECT_EQ(model->cell(1, u"R_FUnitName"_s).toString(), u"个"_s) << "null is not copied";
    EXPECT_EQ(model->cell(1, u"R_FNumber"_s).toInt(), 5);
    EXPECT_TRUE(ColumnHasValue(&view, u"R_FProductName"_s));

    ResetBooleanColumns(&view, 2);
    EXPECT_EQ(model->cell(2, 4), QVariant(false));
    EXPECT_FALSE(model->cell(1, 4).isValid());
    ResetBooleanColumns(&view, -1);
    for (int row = 0; row < model->rowCountValue(); ++row)
        EXPECT_EQ(model->cell(row, 4), QVariant(false));
    EXPECT_FALSE(model->cell(0, 1).isValid()) << "other columns untouched";
}

} // namespace
