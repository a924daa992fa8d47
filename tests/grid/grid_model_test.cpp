#include "grid/grid_model.h"
#include "test_db.h"

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

TGridColumn makeColumn(const QString &field, GridEditorKind kind = GridEditorKind::Text,
                       GridValueType type = GridValueType::Text)
{
    TGridColumn column;
    column.field = field;
    column.name = u"R_"_s + field;
    column.caption = field;
    column.editorKind = kind;
    column.valueType = type;
    return column;
}

// A read-only row number, text, a formatted price and check boxes on text and on Boolean values.
class GridModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        TGridColumn price = makeColumn(u"FPrice"_s, GridEditorKind::Price, GridValueType::Float);
        price.displayFormat = u",0.00;-,0.00"_s;
        TGridColumn sid = makeColumn(u"FSID"_s);
        sid.tag = 1 << GridTagBit::ReadOnly;
        model.setColumns({sid, makeColumn(u"FProductName"_s), makeColumn(u"FNumber"_s), price, makeColumn(u"FAmount"_s),
                          makeColumn(u"FIsChecked"_s, GridEditorKind::CheckBox),
                          makeColumn(u"FIsPresent"_s, GridEditorKind::CheckBox, GridValueType::Boolean)});
        model.setRowCount(3);
    }
    QModelIndex at(int row, const char *name) { return model.index(row, model.columnIndex(QString::fromUtf8(name))); }
    QVariant cell(int row, const char *name) { return model.cell(row, QString::fromUtf8(name)); }

    TGridModel model;
};

TEST_F(GridModel, ColumnRuleReplacesRefusesAndWritesOtherCellsOfTheRow)
{
    // Quantity rule: no product, no quantity; otherwise the amount follows quantity × price.
    model.setColumnRule(u"r_fnumber"_s, [](TGridModel &m, int row, QVariant &value, bool &accept) {
        if (m.cell(row, u"R_FProductName"_s).toString().isEmpty())
            value = QVariant();
        else if (value.toDouble() < 0)
            accept = false;
        else
            m.setCell(row, u"R_FAmount"_s, value.toDouble() * m.cell(row, u"R_FPrice"_s).toDouble());
    });
    QList<QPair<int, int>> edited;
    QObject::connect(&model, &TGridModel::cellEdited, [&](int row, int column) { edited.append({row, column}); });

    EXPECT_TRUE(model.setData(at(0, "R_FNumber"), 5));
    EXPECT_FALSE(cell(0, "R_FNumber").isValid()) << "replaced by blank";
    EXPECT_EQ(edited, (QList<QPair<int, int>>{{0, 2}}));

    model.setCell(1, u"R_FProductName"_s, u"螺丝"_s);
    model.setCell(1, u"R_FPrice"_s, 2.5);
    EXPECT_TRUE(model.setData(at(1, "R_FNumber"), 4));
    EXPECT_EQ(cell(1, "R_FNumber").toInt(), 4);
    EXPECT_DOUBLE_EQ(cell(1, "R_FAmount").toDouble(), 10.0);
    EXPECT_FALSE(model.setData(at(1, "R_FNumber"), -1));
    EXPECT_EQ(cell(1, "R_FNumber").toInt(), 4) << "refused: the old value stays";
    EXPECT_EQ(edited.count(), 2);

    // Typing the value the cell already holds runs the rule again; setCell writes as it is,
    // with no rule and no edit signal.
    model.setCell(1, u"R_FAmount"_s, QVariant());
    EXPECT_TRUE(model.setData(at(1, "R_FNumber"), 4));
    EXPECT_DOUBLE_EQ(cell(1, "R_FAmount").toDouble(), 10.0);
    model.setCell(2, u"R_FNumber"_s, 7);
    EXPECT_EQ(cell(2, "R_FNumber").toInt(), 7);
    EXPECT_EQ(edited.count(), 3);
}

TEST_F(GridModel, DisplaysNumbersInTheColumnFormatAndCheckBoxesAsCheckStates)
{
    model.setCell(0, u"R_FPrice"_s, u"1234.5"_s);
    model.setCell(1, u"R_FPrice"_s, u"abc"_s);
    EXPECT_EQ(at(0, "R_FPrice").data().toString(), u"1,234.50"_s);
    EXPECT_EQ(at(1, "R_FPrice").data().toString(), u"abc"_s);
    EXPECT_EQ(at(2, "R_FPrice").data().toString(), QString());
    EXPECT_EQ(at(0, "R_FPrice").data(Qt::EditRole).toString(), u"1234.5"_s);

    model.setCell(0, u"R_FIsChecked"_s, u"1"_s);
    model.setCell(1, u"R_FIsChecked"_s, u"0"_s);
    EXPECT_EQ(at(0, "R_FIsChecked").data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(at(1, "R_FIsChecked").data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(at(0, "R_FIsChecked").data().isValid());

    // Toggling stores the column's own values: "1"/"0" text, or a Boolean for Boolean columns.
    EXPECT_TRUE(model.setData(at(1, "R_FIsChecked"), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model.setData(at(0, "R_FIsChecked"), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_TRUE(model.setData(at(0, "R_FIsPresent"), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(cell(1, "R_FIsChecked"), QVariant(u"1"_s));
    EXPECT_EQ(cell(0, "R_FIsChecked"), QVariant(u"0"_s));
    EXPECT_EQ(cell(0, "R_FIsPresent"), QVariant(true));
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
    EXPECT_FALSE(model.setData(at(0, "R_FProductName"), u"x"_s));
    model.setCell(0, u"R_FProductName"_s, u"x"_s); // the program may still fill it
    EXPECT_EQ(cell(0, "R_FProductName").toString(), u"x"_s);
}

} // namespace
