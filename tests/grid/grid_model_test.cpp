#include "grid/grid_model.h"

#include <gtest/gtest.h>

using namespace protask;

namespace {

TGridColumn makeColumn(const QString &field, GridEditorKind kind = GridEditorKind::Text,
                       GridValueType type = GridValueType::Text)
{
    TGridColumn column;
    column.field = field;
    column.name = QStringLiteral("R_") + field;
    column.caption = field;
    column.editorKind = kind;
    column.valueType = type;
    return column;
}

class GridModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        TGridColumn price = makeColumn(QStringLiteral("FPrice"), GridEditorKind::Price, GridValueType::Float);
        price.displayFormat = QStringLiteral(",0.00;-,0.00");
        TGridColumn checked = makeColumn(QStringLiteral("FIsChecked"), GridEditorKind::CheckBox);
        TGridColumn present = makeColumn(QStringLiteral("FIsPresent"), GridEditorKind::CheckBox, GridValueType::Boolean);
        TGridColumn sid = makeColumn(QStringLiteral("FSID"));
        sid.tag = 1 << GridTagBit::ReadOnly;
        model.setColumns({sid, makeColumn(QStringLiteral("FProductName")), makeColumn(QStringLiteral("FNumber")), price,
                          makeColumn(QStringLiteral("FAmount")), checked, present});
        model.setRowCount(3);
    }
    QModelIndex at(int row, const char *name) { return model.index(row, model.columnIndex(QString::fromUtf8(name))); }

    TGridModel model;
};

TEST_F(GridModel, ColumnRuleReplacesRefusesAndWritesOtherCellsOfTheRow)
{
    // Quantity rule: no product, no quantity; otherwise the amount follows quantity × price.
    model.setColumnRule(QStringLiteral("r_fnumber"), [](TGridModel &m, int row, QVariant &value, bool &accept) {
        if (m.cell(row, QStringLiteral("R_FProductName")).toString().isEmpty()) {
            value = QVariant();
            return;
        }
        if (value.toDouble() < 0) {
            accept = false;
            return;
        }
        m.setCell(row, QStringLiteral("R_FAmount"), value.toDouble() * m.cell(row, QStringLiteral("R_FPrice")).toDouble());
    });
    QList<QPair<int, int>> edited;
    QObject::connect(&model, &TGridModel::cellEdited, [&](int row, int column) { edited.append({row, column}); });

    EXPECT_TRUE(model.setData(at(0, "R_FNumber"), 5));
    EXPECT_FALSE(model.cell(0, QStringLiteral("R_FNumber")).isValid()); // replaced by blank
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.at(0), qMakePair(0, model.columnIndex(QStringLiteral("R_FNumber"))));

    model.setCell(1, QStringLiteral("R_FProductName"), QStringLiteral("螺丝"));
    model.setCell(1, QStringLiteral("R_FPrice"), 2.5);
    EXPECT_TRUE(model.setData(at(1, "R_FNumber"), 4));
    EXPECT_EQ(model.cell(1, QStringLiteral("R_FNumber")).toInt(), 4);
    EXPECT_DOUBLE_EQ(model.cell(1, QStringLiteral("R_FAmount")).toDouble(), 10.0);

    EXPECT_FALSE(model.setData(at(1, "R_FNumber"), -1));
    EXPECT_EQ(model.cell(1, QStringLiteral("R_FNumber")).toInt(), 4); // refused: the old value stays
    EXPECT_EQ(edited.count(), 2);

    // Typing the value the cell already holds runs the rule again.
    model.setCell(1, QStringLiteral("R_FAmount"), QVariant());
    EXPECT_TRUE(model.setData(at(1, "R_FNumber"), 4));
    EXPECT_DOUBLE_EQ(model.cell(1, QStringLiteral("R_FAmount")).toDouble(), 10.0);

    // setCell writes as it is: no rule, no edit signal.
    model.setCell(2, QStringLiteral("R_FNumber"), 7);
    EXPECT_EQ(model.cell(2, QStringLiteral("R_FNumber")).toInt(), 7);
    EXPECT_EQ(edited.count(), 3);
}

TEST_F(GridModel, DisplaysNumbersInTheColumnFormatAndCheckBoxesAsCheckStates)
{
    model.setCell(0, QStringLiteral("R_FPrice"), QStringLiteral("1234.5"));
    model.setCell(1, QStringLiteral("R_FPrice"), QStringLiteral("abc"));
    EXPECT_EQ(at(0, "R_FPrice").data().toString(), QStringLiteral("1,234.50"));
    EXPECT_EQ(at(1, "R_FPrice").data().toString(), QStringLiteral("abc"));
    EXPECT_EQ(at(2, "R_FPrice").data().toString(), QString());
    EXPECT_EQ(at(0, "R_FPrice").data(Qt::EditRole).toString(), QStringLiteral("1234.5"));

    model.setCell(0, QStringLiteral("R_FIsChecked"), QStringLiteral("1"));
    model.setCell(1, QStringLiteral("R_FIsChecked"), QStringLiteral("0"));
    EXPECT_EQ(at(0, "R_FIsChecked").data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(at(1, "R_FIsChecked").data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(at(0, "R_FIsChecked").data().isValid());

    // Toggling stores the column's own values: "1"/"0" text, or a Boolean for Boolean columns.
    EXPECT_TRUE(model.setData(at(1, "R_FIsChecked"), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(model.cell(1, QStringLiteral("R_FIsChecked")), QVariant(QStringLiteral("1")));
    EXPECT_TRUE(model.setData(at(0, "R_FIsChecked"), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(model.cell(0, QStringLiteral("R_FIsChecked")), QVariant(QStringLiteral("0")));
    EXPECT_TRUE(model.setData(at(0, "R_FIsPresent"), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(model.cell(0, QStringLiteral("R_FIsPresent")), QVariant(true));
}

TEST_F(GridModel, ReadOnlyColumnsAndALockedGridTakeNoEdits)
{
    EXPECT_FALSE(at(0, "R_FSID").flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(at(0, "R_FSID"), 9));
    EXPECT_FALSE(model.cell(0, 0).isValid());
    EXPECT_TRUE(at(0, "R_FProductName").flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(at(0, "R_FIsChecked").flags() & Qt::ItemIsUserCheckable);

    model.setEditingEnabled(false);
    EXPECT_FALSE(at(0, "R_FProductName").flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(at(0, "R_FIsChecked").flags() & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.setData(at(0, "R_FProductName"), QStringLiteral("x")));
    model.setCell(0, QStringLiteral("R_FProductName"), QStringLiteral("x")); // the program may still fill it
    EXPECT_EQ(model.cell(0, QStringLiteral("R_FProductName")).toString(), QStringLiteral("x"));
}

} // namespace
