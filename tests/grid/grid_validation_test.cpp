#include "grid/grid_columns.h"
#include "grid/grid_validation.h"
#include "grid/grid_view.h"
#include "test_db.h"

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

constexpr int kRequired = 1 << GridTagBit::Required;

// Six editor rows: number, price and amount required, the batch number unique.
class GridValidation : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        view.setObjectName(u"R"_s);
        ASSERT_TRUE(BuildGridColumnsNamed(&view,
                                          u"FSID,FProductName,FUnitName,FNumber,FPrice,FAmount,FBatchNo,FIsPresent"_s,
                                          u"行号,商品名称,单位,数量,单价,金额,批号,是否赠品"_s, u",1,,,,7,,4"_s,
                                          u"1,1,1,1,1,1,1,1"_s, u"40,120,60,80,80,80,80,60"_s));
        for (const char *name : {"R_FNumber", "R_FPrice", "R_FAmount"})
            setTag(name, kRequired);
        setTag("R_FBatchNo", 1 << GridTagBit::Unique);
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
    void set(int row, const char *name, const QVariant &value) { view.model()->setCell(row, col(name), value); }
    // Fills a line: the columns from the product name on, in their order; not a gift.
    void line(int row, const QString &product, const QVariant &number, const QVariant &price, const QVariant &amount,
              const QVariant &batch = QVariant(), const QVariant &unit = QVariant())
    {
        const QVariantList values = {product, unit, number, price, amount, batch, u"0"_s};
        for (int i = 0; i < values.size(); ++i)
            view.model()->setCell(row, col("R_FProductName") + i, values[i]);
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
            + u" @%1 %2"_s.arg(view.focusedRow()).arg(view.model()->column(view.focusedColumn()).name);
    }

    TGridView view;
};

TEST_F(GridValidation, RequiredColumnsRefuseBlankAndZeroUnlessZeroIsAllowed)
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

TEST_F(GridValidation, GiftRowsLeaveOutPricesAndAmountsOnly)
{
    line(0, u"螺丝"_s, 2, QVariant(), QVariant());
    set(0, "R_FIsPresent", u"1"_s);
    EXPECT_EQ(check(), u"ok"_s);
    set(0, "R_FNumber", QVariant());
    EXPECT_EQ(check(), u"[数量]不能为空：请检查第 1 行[数量]的值 @0 R_FNumber"_s);
}

TEST_F(GridValidation, EachLaterDuplicateIsReportedAgainstTheEarlierRow)
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

TEST_F(GridValidation, ABlankKeyRowEndsTheCheck)
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

TEST_F(GridValidation, TwoUnitsOfOneProductMustBothBeDefinedForIt)
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
    view.model()->clearRow(1);
    EXPECT_EQ(check(true), u"ok"_s) << "rows after a blank product are not compared";
}

} // namespace
