#pragma once

#include "grid/grid_model.h"

#include <QTableView>
#include <QWidget>

#include <functional>

class QStyledItemDelegate;

namespace protask {

class TGridView;

enum class GridSummaryKind { Sum, Count };

// One footer summary under the column of that name. A sum adds the rows' values (blank
// counts as nothing) and shows the total in `format` (no format: plain number); a count
// shows `format` with "#" replaced by the number of rows. `include` leaves rows out (gift
// lines contribute nothing to the amount sums); empty means every row.
struct TGridSummary {
    QString columnName;
    GridSummaryKind kind = GridSummaryKind::Sum;
    QString format;
    std::function<bool(int row)> include;
};

// The grid's table: keyboard moves skip columns that cannot take the focus.
class TGridTable : public QTableView {
    Q_OBJECT

public:
    explicit TGridTable(QWidget *parent = nullptr);
    // A cell editor is open.
    bool isEditing() const;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
};

// The footer row under the grid: one cell per visible column, following the columns'
// widths, order and the horizontal scroll position.
class TGridFooter : public QWidget {
    Q_OBJECT

public:
    explicit TGridFooter(TGridView *view);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TGridView *m_view;
};

// A line grid: a table over a TGridModel with one editor per column kind, centred header
// texts and a footer of summaries.
class TGridView : public QWidget {
    Q_OBJECT

public:
    explicit TGridView(QWidget *parent = nullptr);

    TGridModel *model() const { return m_model; }
    TGridTable *table() const { return m_table; }
    TGridFooter *footer() const { return m_footer; }

    int columnIndex(const QString &name) const { return m_model->columnIndex(name); }
    void setColumnVisible(int column, bool visible);
    bool isColumnVisible(int column) const;
    void setColumnWidth(int column, int width);
    int columnWidth(int column) const;
    // Position of a column as shown (its visual index); -1 when it does not exist.
    int columnPosition(int column) const;

    // Footer
    void addSummary(const TGridSummary &summary);
    void clearSummaries();
    const QVector<TGridSummary> &summaries() const { return m_summaries; }
    // The footer text under a column ("" when it has no summary).
    QString footerText(int column) const;
    void setFooterVisible(bool visible);

    // Focus
    void focusCell(int row, int column, bool openEditor = true);
    int focusedRow() const;
    int focusedColumn() const;

    // Column moves and resizes made while this guard is held are not reported as the
    // user's (building columns, restoring a layout).
    class LayoutUpdate {
    public:
        explicit LayoutUpdate(TGridView *view);
        ~LayoutUpdate();
        LayoutUpdate(const LayoutUpdate &) = delete;
        LayoutUpdate &operator=(const LayoutUpdate &) = delete;

    private:
        TGridView *m_view;
    };

Q_SIGNALS:
    void lookupClicked(int row, int column);
    void cellEdited(int row, int column);
    // The user moved or resized a column (the editor saves its layout on it); a drag
    // reports every step.
    void columnLayoutChanged();

private:
    void applyColumn(int column);
    void applyAllColumns();
    QStyledItemDelegate *delegateFor(const TGridColumn &column) const;

    TGridModel *m_model;
    TGridTable *m_table;
    TGridFooter *m_footer;
    QVector<TGridSummary> m_summaries;
    int m_layoutUpdates = 0;

    // Owned by the table.
    QStyledItemDelegate *m_textDelegate;
    QStyledItemDelegate *m_lookupDelegate;
    QStyledItemDelegate *m_numberDelegate;
    QStyledItemDelegate *m_checkBoxDelegate;
    QStyledItemDelegate *m_dateDelegate;
    QStyledItemDelegate *m_dropDownDelegate;
};

} // namespace protask
