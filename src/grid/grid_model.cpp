#include "grid/grid_model.h"

#include <QColor>

#include "core/display_format.h"
#include "core/values.h"

#include <QDate>
#include <QDateTime>

namespace protask {

bool TGridColumn::hasTagBit(int bit) const { return IsBitSet(tag, bit); }

bool TGridColumn::isNumeric() const
{
    switch (valueType) {
    case GridValueType::Integer:
    case GridValueType::Float:
    case GridValueType::Currency: return true;
    default: break;
    }
    return editorKind == GridEditorKind::Quantity || editorKind == GridEditorKind::Price
        || editorKind == GridEditorKind::Amount;
}

bool TGridColumn::isChecked(const QVariant &value) const
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (valueType == GridValueType::Boolean)
        return ValueIsTrue(value);
    return ValueToTrimmedText(value) == checkedValue;
}

QVariant TGridColumn::checkValue(bool checked) const
{
    if (valueType == GridValueType::Boolean)
        return QVariant(checked);
    return QVariant(checked ? checkedValue : uncheckedValue);
}

TGridModel::TGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void TGridModel::setColumns(const QVector<TGridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    m_rows.clear();
    endResetModel();
}

void TGridModel::clearColumns() { setColumns({}); }

int TGridModel::columnIndex(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).name.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TGridModel::fieldColumnIndex(const QString &field) const
{
    const QString wanted = field.trimmed();
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).field.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TGridModel::setColumn(int index, const TGridColumn &column)
{
    if (index < 0 || index >= m_columns.size())
        return;
    m_columns[index] = column;
    Q_EMIT headerDataChanged(Qt::Horizontal, index, index);
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(this->index(0, index), this->index(rowCountValue() - 1, index));
    Q_EMIT columnChanged(index);
}

void TGridModel::updateColumn(int index, const std::function<void(TGridColumn &)> &change)
{
    if (index < 0 || index >= m_columns.size())
        return;
    TGridColumn column = m_columns.at(index);
    change(column);
    setColumn(index, column);
}

void TGridModel::setColumnRule(const QString &name, CellRule rule)
{
    const int index = columnIndex(name);
    if (index >= 0)
        m_columns[index].rule = std::move(rule);
}

void TGridModel::storeColumnWidth(int index, int width)
{
    if (index >= 0 && index < m_columns.size())
        m_columns[index].width = width;
}

void TGridModel::setRowCount(int rows)
{
    rows = qMax(0, rows);
    if (rows > rowCountValue())
        insertBlankRows(rowCountValue(), rows - rowCountValue());
    else if (rows < rowCountValue()) {
        beginRemoveRows(QModelIndex(), rows, rowCountValue() - 1);
        m_rows.resize(rows);
        endRemoveRows();
    }
}

void TGridModel::insertBlankRows(int row, int count)
{
    if (count <= 0)
        return;
    row = qBound(0, row, rowCountValue());
    beginInsertRows(QModelIndex(), row, row + count - 1);
    m_rows.insert(row, count, QVector<QVariant>(m_columns.size()));
    endInsertRows();
}

void TGridModel::appendRow() { insertBlankRows(rowCountValue(), 1); }

void TGridModel::removeRowAt(int row)
{
    if (row < 0 || row >= rowCountValue())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void TGridModel::clearRow(int row)
{
    if (row < 0 || row >= rowCountValue() || m_columns.isEmpty())
        return;
    m_rows[row].fill(QVariant());
    Q_EMIT dataChanged(index(row, 0), index(row, columnCountValue() - 1));
}

void TGridModel::clearRows() { setRowCount(0); }

bool TGridModel::validCell(int row, int column) const
{
    return row >= 0 && row < rowCountValue() && column >= 0 && column < columnCountValue();
}

QVariant TGridModel::cell(int row, int column) const
{
    return validCell(row, column) ? m_rows.at(row).at(column) : QVariant();
}

QVariant TGridModel::cell(int row, const QString &name) const { return cell(row, columnIndex(name)); }

void TGridModel::setCell(int row, int column, const QVariant &value)
{
    if (!validCell(row, column))
        return;
    m_rows[row][column] = value;
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i);
}

void TGridModel::setCell(int row, const QString &name, const QVariant &value)
{
    setCell(row, columnIndex(name), value);
}

bool TGridModel::editCell(int row, int column, const QVariant &value)
{
    if (!validCell(row, column))
        return false;
    QVariant newValue = value;
    bool accept = true;
    // The rule may rebuild the columns' rules (it is the editor's code), so run a copy.
    if (const CellRule rule = m_columns.at(column).rule)
        rule(*this, row, newValue, accept);
    if (!accept || !validCell(row, column))
        return false;
    setCell(row, column, newValue);
    Q_EMIT cellEdited(row, column);
    return true;
}

void TGridModel::setEditingEnabled(bool enabled)
{
    if (m_editingEnabled == enabled)
        return;
    m_editingEnabled = enabled;
    if (!m_rows.isEmpty() && !m_columns.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCountValue() - 1, columnCountValue() - 1));
}

bool TGridModel::isCellEditable(int column) const
{
    return m_editingEnabled && column >= 0 && column < columnCountValue() && !m_columns.at(column).isReadOnly();
}

int TGridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : rowCountValue(); }

int TGridModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : columnCountValue(); }

QString TGridModel::displayText(int row, int column) const
{
    if (!validCell(row, column))
        return QString();
    const TGridColumn &col = m_columns.at(column);
    const QVariant value = m_rows.at(row).at(column);
    if (IsBlankValue(value))
        return QString();
    if (col.isNumeric()) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        if (ok)
            return FormatDisplayNumber(number, col.displayFormat);
        return value.toString();
    }
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        if (col.valueType == GridValueType::Date || col.editorKind == GridEditorKind::Date || dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
        return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    return value.toString();
}

QVariant TGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !validCell(index.row(), index.column()))
        return QVariant();
    const TGridColumn &col = m_columns.at(index.column());
    const QVariant &value = m_rows.at(index.row()).at(index.column());
    switch (role) {
    case Qt::DisplayRole: return col.isCheckBox() ? QVariant() : QVariant(displayText(index.row(), index.column()));
    case Qt::EditRole: return value;
    case Qt::CheckStateRole:
        if (col.isCheckBox())
            return col.isChecked(value) ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    case Qt::TextAlignmentRole:
        if (col.isNumeric())
            return QVariant(static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));
        if (col.isCheckBox())
            return QVariant(static_cast<int>(Qt::AlignCenter));
        return QVariant(static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::ForegroundRole: return m_rowForeground ? m_rowForeground(index.row()) : QVariant();
    case Qt::BackgroundRole:
        return isCellLocked(index.row(), index.column()) ? QVariant(QColor(0xE4, 0xE4, 0xE4)) : QVariant();
    default: return QVariant();
    }
}

bool TGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !isCellEditable(index.column()))
        return false;
    const TGridColumn &col = m_columns.at(index.column());
    if (role == Qt::CheckStateRole) {
        if (!col.isCheckBox())
            return false;
        const bool checked = value.toInt() == Qt::Checked;
        return editCell(index.row(), index.column(), col.checkValue(checked));
    }
    if (role != Qt::EditRole)
        return false;
    return editCell(index.row(), index.column(), value);
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section + 1;
        return QVariant();
    }
    if (section < 0 || section >= columnCountValue())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_columns.at(section).caption;
    if (role == Qt::TextAlignmentRole)
        return QVariant(static_cast<int>(Qt::AlignCenter));
    return QVariant();
}

Qt::ItemFlags TGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isCellLocked(index.row(), index.column()))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isCellEditable(index.column()))
        f |= m_columns.at(index.column()).isCheckBox() ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return f;
}

} // namespace protask
