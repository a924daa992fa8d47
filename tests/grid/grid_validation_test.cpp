#include "grid/grid_columns.h"
#include "grid/grid_validation.h"
#include "grid/grid_view.h"
#include "platform/prompter.h"
#include "test_db.h"

#include <gtest/gtest.h>

using namespace protask;
using protask::testing::ExecScript;

namespace {

constexpr int kRequired = 1 << GridTagBit::Required;
constexpr int kUnique = 1 << GridTagBit::Unique;
constexpr int kZeroAllowed = 1 << GridTagBit::ZeroAllowed;

class GridValidation : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.setObjectName(QStringLiteral("R"));
        ASSERT_TRUE(BuildGridColumnsNamed(
            &view, QStringLiteral("FSID,FProductName,FUnitName,FNumber,FPrice,FAmount,FBatchNo,FIsPresent"),
            QStringLiteral("行号,商品名称,单位,数量,单价,金额,批号,是否赠品"), QStringLiteral(",1,,,,7,,4"),
            QStringLiteral("1,1,1,1,1,1,1,1"), QStringLiteral("40,120,60,80,80,80,80,60")));
        setTag("R_FNumber", kRequired);
        setTag("R_FPrice", kRequired);
        setTag("R_FAmount", kRequired);
        setTag("R_FBatchNo", kUnique);
        for (const char *name : {"R_FNumber", "R_FPrice"})
            view.model()->updateColumn(col(name), [](TGridColumn &c) { c.valueType = GridValueType::Float; });
        InitEditorRows(&view, 6);
        view.show();
    }
    int col(const char *name) { return view.columnIndex(QString::fromUtf8(name)); }
    void setTag(const char *name, int tag)
    {
        view.model()->updateColumn(col(name), [tag](TGridColumn &c) { c.tag = tag; });
    }
    void line(int row, const QString &product, const QVariant &number, const QVariant &price, const QVariant &amount,
              const QVariant &batch = QVariant(), const QString &unit = QString())
    {
        TGridModel *m = view.model();
        m->setCell(row, col("R_FProductName"), product.isEmpty() ? QVariant() : QVariant(product));
        m->setCell(row, col("R_FUnitName"), unit.isEmpty() ? QVariant() : QVariant(unit));
        m->setCell(row, col("R_FNumber"), number);
        m->setCell(row, col("R_FPrice"), price);
        m->setCell(row, col("R_FAmount"), amount);
        m->setCell(row, col("R_FBatchNo"), batch);
        m->setCell(row, col("R_FIsPresent"), QStringLiteral("0"));
    }
    bool validate()
    {
        prompter.clear();
        return ValidateGridRows(&view, &view, QStringLiteral("R_FProductName"));
    }

    TGridView view;
    ScriptedPrompter prompter;
    PrompterScope scope{prompter};
};

TEST_F(GridValidation, RequiredColumnsRefuseBlankAndZeroAndFocusTheCell)
{
    line(0, QStringLiteral("螺丝"), 2, 1.5, 3);
    line(1, QStringLiteral("螺母"), 4, QVariant(), 8);
    EXPECT_FALSE(validate());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("[单价]不能为空：请检查第 2 行[单价]的值")});
    EXPECT_EQ(prompter.entries().at(0).kind, PromptKind::Warning);
    EXPECT_EQ(view.focusedRow(), 1);
    EXPECT_EQ(view.focusedColumn(), col("R_FPrice"));
    EXPECT_TRUE(view.table()->isEditing());

    view.model()->setCell(1, col("R_FPrice"), QStringLiteral("0.00"));
    EXPECT_FALSE(validate());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("[单价]不能为0：请检查第 2 行[单价]的值")});

    // Zero is a number test: a required text column holding "0" passes.
    view.model()->setCell(1, col("R_FPrice"), 2);
    view.model()->setCell(0, col("R_FUnitName"), QStringLiteral("个"));
    view.model()->setCell(1, col("R_FUnitName"), QStringLiteral("0"));
    setTag("R_FUnitName", kRequired);
    EXPECT_TRUE(validate());
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(GridValidation, ZeroAllowedAcceptsZeroButNotBlank)
{
    setTag("R_FNumber", kRequired | kZeroAllowed);
    line(0, QStringLiteral("螺丝"), 0, 1.5, 3);
    EXPECT_TRUE(validate());
    view.model()->setCell(0, col("R_FNumber"), QVariant());
    EXPECT_FALSE(validate());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("[数量]不能为空：请检查第 1 行[数量]的值")});
}

TEST_F(GridValidation, GiftRowsLeaveOutPricesAndAmountsOnly)
{
    line(0, QStringLiteral("螺丝"), 2, QVariant(), QVariant());
    view.model()->setCell(0, col("R_FIsPresent"), QStringLiteral("1"));
    EXPECT_TRUE(validate());
    view.model()->setCell(0, col("R_FNumber"), QVariant());
    EXPECT_FALSE(validate());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("[数量]不能为空：请检查第 1 行[数量]的值")});
}

TEST_F(GridValidation, EachLaterDuplicateIsReportedAgainstTheEarlierRow)
{
    line(0, QStringLiteral("螺丝"), 1, 1, 1, QStringLiteral("B1"));
    line(1, QStringLiteral("螺母"), 1, 1, 1, QStringLiteral("B1"));
    line(2, QStringLiteral("垫片"), 1, 1, 1, QStringLiteral("B2"));
    line(3, QStringLiteral("弹簧"), 1, 1, 1, QStringLiteral(" B1"));
    EXPECT_FALSE(validate());
    const QString warning = QStringLiteral("字段重复：请检查第 1 行字段[批号]的值");
    EXPECT_EQ(prompter.texts(), (QStringList{warning, warning}));
    EXPECT_EQ(view.focusedRow(), 0);
    EXPECT_EQ(view.focusedColumn(), col("R_FBatchNo"));

    // Blank values are no duplicates; a pair further down names its own earlier row.
    line(0, QStringLiteral("螺丝"), 1, 1, 1);
    line(3, QStringLiteral("弹簧"), 1, 1, 1);
    view.model()->setCell(2, col("R_FBatchNo"), QStringLiteral("B1"));
    EXPECT_FALSE(validate());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("字段重复：请检查第 2 行字段[批号]的值")});
}

TEST_F(GridValidation, ABlankKeyRowEndsTheCheck)
{
    line(0, QStringLiteral("螺丝"), 2, 1.5, 3, QStringLiteral("B1"));
    line(2, QStringLiteral("螺母"), QVariant(), QVariant(), QVariant(), QStringLiteral("B1"));
    EXPECT_TRUE(validate());
    EXPECT_TRUE(prompter.texts().isEmpty());

    // Filled in, the middle row no longer ends the check: the rows below it take part in
    // the duplicate test, and it is checked itself.
    view.model()->setCell(1, col("R_FProductName"), QStringLiteral("垫片"));
    EXPECT_FALSE(validate());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("字段重复：请检查第 1 行字段[批号]的值")});
    view.model()->setCell(2, col("R_FBatchNo"), QStringLiteral("B2"));
    EXPECT_FALSE(validate());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("[数量]不能为空：请检查第 2 行[数量]的值")});
}

class GridUnitValidation : public GridValidation {
protected:
    void SetUp() override
    {
        GridValidation::SetUp();
        protask::testing::EmptyAllTables();
        ExecScript(QStringLiteral(
            "insert into t_comUnit(FID, FName) values (1, '个'), (2, '箱'), (3, '包');"
            "insert into t_comProducts(FID, FNo, FName, FStdUnitID) values (1, 'P1', '螺丝', 1), (2, 'P2', '螺母', 1);"
            "insert into t_comProductUnit(FProductID, FSID, FUnitID, FRatio) values (1, 1, 1, 1), (1, 2, 2, 100),"
            " (2, 1, 1, 1)"));
    }
    bool validateUnits()
    {
        prompter.clear();
        return ValidateProductUnits(&view, QStringLiteral("R_FProductName"), QStringLiteral("R_FUnitName"),
                                    QStringLiteral("R_FProductName"));
    }
};

TEST_F(GridUnitValidation, TwoUnitsOfOneProductMustBothBeDefinedForIt)
{
    line(0, QStringLiteral("螺丝"), 1, 1, 1, QVariant(), QStringLiteral("个"));
    line(1, QStringLiteral("螺母"), 1, 1, 1, QVariant(), QStringLiteral("箱")); // another product
    line(2, QStringLiteral("螺丝"), 1, 1, 1, QVariant(), QStringLiteral("箱 "));
    EXPECT_TRUE(validateUnits());
    EXPECT_TRUE(prompter.texts().isEmpty());

    line(3, QStringLiteral("螺丝"), 1, 1, 1, QVariant(), QStringLiteral("包"));
    EXPECT_FALSE(validateUnits());
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral(
                  "请检查第 1 行与第 4 行,您输入了该商品二个不同的单位,该商品还没有设置双单位换算比率")});
    EXPECT_EQ(view.focusedRow(), 3);
    EXPECT_EQ(view.focusedColumn(), col("R_FUnitName"));

    // Rows after a blank product are not compared.
    view.model()->clearRow(1);
    EXPECT_TRUE(validateUnits());
}

} // namespace
