#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

class QComboBox;

namespace protask {

class TGridModel;

enum class GridEditorKind { Text, Lookup, Quantity, Price, CheckBox, Date, DropDown, Amount };
enum class GridValueType { Text, Integer, Float, Currency, Boolean, Date };

// Bits of a column's tag (bit 0 is the lowest); the editor forms read further bits.
namespace GridTagBit {
constexpr int Required = 0;    // the value must not be blank, a number must not be 0
constexpr int Unique = 2;      // no two rows may hold the same value
constexpr int ReadOnly = 4;    // the column can neither be edited nor focused
constexpr int ZeroAllowed = 5; // lifts the non-zero test of Required
} // namespace GridTagBit

// The validation rule of a column, run with the typed value before it is stored. The rule
// may replace the value, refuse it (accept = false keeps the old one) and write other cells
// of the same row with TGridModel::setCell.
using CellRule = std::function<void(TGridModel &model, int row, QVariant &newValue, bool &accept)>;
// Prepares the editable combo of a drop-down cell before it opens (its list, its typing
// filter); without one the combo lists the column's items.
using ComboSetup = std::function<void(QComboBox *editor, int row)>;

struct TGridColumn {
    QString name;  // "R_FNumber"
    QString field; // "FNumber"
    QString caption;
    int width = 64;
    bool visible = true;
    GridEditorKind editorKind = GridEditorKind::Text;
    int tag = 0;
    GridValueType valueType = GridValueType::Text;
    int decimals = 2;
    QString displayFormat;
    QString checkedValue = QStringLiteral("1");
    QString uncheckedValue = QStringLiteral("0");
    QStringList dropDownItems;
    bool editable = true;
    bool focusable = true;
    CellRule rule;
    ComboSetup comboSetup;

    bool hasTagBit(int bit) const;
    bool isReadOnly() const { return !editable || hasTagBit(GridTagBit::ReadOnly); }
    bool isFocusable() const { return focusable && !hasTagBit(GridTagBit::ReadOnly); }
    // Holds numbers: a numeric value type or a number editor.
    bool isNumeric() const;
    bool isCheckBox() const { return editorKind == GridEditorKind::CheckBox; }
    bool isChecked(const QVariant &value) const;
    QVariant checkValue(bool checked) const;
};

// The cells of a line grid: rows of nullable values under column descriptors. Columns are
// addressed by index or by name (without regard to case). Edits that come from the view go
// through the column's rule; setCell writes a value as it is.
class TGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TGridModel(QObject *parent = nullptr);

    // Columns
    void setColumns(const QVector<TGridColumn> &columns); // drops all rows
    void clearColumns();
    int columnCountValue() const { return static_cast<int>(m_columns.size()); }
    const TGridColumn &column(int index) const { return m_columns.at(index); }
    const QVector<TGridColumn> &columns() const { return m_columns; }
    int columnIndex(const QString &name) const;
    // Index of the column bound to a field (without regard to case), -1 when none.
    int fieldColumnIndex(const QString &field) const;
    // Replaces a descriptor; the view takes over width, visibility and editor.
    void setColumn(int index, const TGridColumn &column);
    void updateColumn(int index, const std::function<void(TGridColumn &)> &change);
    void setColumnRule(const QString &name, CellRule rule);
    // Remembers a width the view already shows (no notification).
    void storeColumnWidth(int index, int width);

    // Rows
    int rowCountValue() const { return static_cast<int>(m_rows.size()); }
    void setRowCount(int rows);
    void insertBlankRows(int row, int count = 1);
    void appendRow();
    void removeRowAt(int row);
    void clearRow(int row);
    void clearRows();

    // Cells
    QVariant cell(int row, int column) const;
    QVariant cell(int row, const QString &name) const;
    void setCell(int row, int column, const QVariant &value);
    void setCell(int row, const QString &name, const QVariant &value);
    // An edit as the user makes it: the column's rule first, then the value is stored and
    // cellEdited is emitted. Typing the value a cell already holds is an edit too (the rule
    // recomputes the row); the editors leave untouched cells alone. False when refused.
    bool editCell(int row, int column, const QVariant &value);

    // The text colour of a row (an invalid value: the default), asked whenever a cell is drawn.
    void setRowForeground(std::function<QVariant(int row)> foreground) { m_rowForeground = std::move(foreground); }

    // Cells that never take an edit or the focus (a system row's flag): drawn grey.
    void setLockedCells(std::function<bool(int row, int column)> locked) { m_lockedCell = std::move(locked); }
    bool isCellLocked(int row, int column) const { return m_lockedCell && m_lockedCell(row, column); }

    // Editing of the whole grid (off while a bill is locked).
    void setEditingEnabled(bool enabled);
    bool editingEnabled() const { return m_editingEnabled; }
    bool isCellEditable(int column) const;

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The text a cell shows: numbers in the column's display format, dates as yyyy-MM-dd.
    QString displayText(int row, int column) const;

Q_SIGNALS:
    void cellEdited(int row, int column);
    void columnChanged(int column);

private:
    bool validCell(int row, int column) const;

    QVector<TGridColumn> m_columns;
    QVector<QVector<QVariant>> m_rows;
    bool m_editingEnabled = true;
    std::function<QVariant(int row)> m_rowForeground;
    std::function<bool(int row, int column)> m_lockedCell;
};

} // namespace protask
