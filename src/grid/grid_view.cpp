#include "grid/grid_view.h"

#include "core/display_format.h"
#include "core/values.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace protask {

namespace {

const TGridColumn *columnOf(const QModelIndex &index)
{
    const auto *model = qobject_cast<const TGridModel *>(index.model());
    if (!model || index.column() < 0 || index.column() >= model->columnCountValue())
        return nullptr;
    return &model->column(index.column());
}

QVariant textOrNull(const QString &text) { return text.trimmed().isEmpty() ? QVariant() : QVariant(text); }

// Every editor is committed when it closes, also when the user only passed through the
// cell; the delegates store a value only when it was typed, so passing through a cell does
// not run its rule or mark the bill modified.
class TextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *edit = new QLineEdit(parent);
        edit->setFrame(false);
        return edit;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(editor);
        edit->setText(index.data(Qt::EditRole).toString());
        edit->setModified(false);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(editor);
        if (edit->isModified())
            model->setData(index, textOrNull(edit->text()));
    }
};

// Text with a button that asks the form for a lookup.
class LookupDelegate : public TextDelegate {
public:
    LookupDelegate(std::function<void(const QModelIndex &)> onLookup, QObject *parent)
        : TextDelegate(parent), m_onLookup(std::move(onLookup))
    {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        auto *box = new QWidget(parent);
        auto *layout = new QHBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto *edit = new QLineEdit(box);
        edit->setFrame(false);
        auto *button = new QToolButton(box);
        button->setText(QStringLiteral("..."));
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(edit, 1);
        layout->addWidget(button);
        box->setFocusProxy(edit);
        const QPersistentModelIndex at(index);
        QObject::connect(button, &QToolButton::clicked, box, [this, at] {
            if (at.isValid() && m_onLookup)
                m_onLookup(at);
        });
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        TextDelegate::setEditorData(editor->findChild<QLineEdit *>(), index);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        TextDelegate::setModelData(editor->findChild<QLineEdit *>(), model, index);
    }

private:
    std::function<void(const QModelIndex &)> m_onLookup;
};

// The trimmed text a number or date editor commits; false when there is nothing more to
// store: the user only passed through the cell, or cleared it (the cell becomes null).
bool typedText(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index, QString &text)
{
    auto *edit = static_cast<QLineEdit *>(editor);
    if (!edit->isModified())
        return false;
    text = edit->text().trimmed();
    if (text.isEmpty()) {
        model->setData(index, QVariant());
        return false;
    }
    return true;
}

// Quantities, prices and amounts: a line edit that takes a plain number with at most the
// column's decimals, or nothing (the cell becomes null).
class NumberDelegate : public TextDelegate {
public:
    using TextDelegate::TextDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(TextDelegate::createEditor(parent, option, index));
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const TGridColumn *column = columnOf(index);
        int decimals = column ? column->decimals : 2;
        if (column && column->valueType == GridValueType::Integer)
            decimals = 0;
        auto *validator = new QDoubleValidator(-1e15, 1e15, qMax(0, decimals), edit);
        validator->setNotation(QDoubleValidator::StandardNotation);
        validator->setLocale(QLocale::c());
        edit->setValidator(validator);
        return edit;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(editor);
        const QVariant value = index.data(Qt::EditRole);
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        edit->setText(IsBlankValue(value) ? QString() : ok ? FormatDisplayNumber(number, QString()) : value.toString());
        edit->setModified(false);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        QString text;
        if (!typedText(editor, model, index, text))
            return;
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (ok)
            model->setData(index, number);
    }
};

// A centred check box on the cell's checked and unchecked values; a click or the space key
// toggles it through the model, so the column's rule runs.
class CheckBoxDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        cell.text.clear();
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

        QStyleOptionButton box;
        box.state = (index.flags() & Qt::ItemIsUserCheckable) ? QStyle::State_Enabled : QStyle::State_None;
        box.state |= index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        QRect rect = style->subElementRect(QStyle::SE_CheckBoxIndicator, &box, widget);
        rect.moveCenter(option.rect.center());
        box.rect = rect;
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
    }
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &,
                     const QModelIndex &index) override
    {
        if (!(index.flags() & Qt::ItemIsUserCheckable))
            return false;
        bool toggle = false;
        switch (event->type()) {
        case QEvent::MouseButtonRelease: toggle = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton; break;
        case QEvent::MouseButtonDblClick: return true;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            toggle = key == Qt::Key_Space || key == Qt::Key_Select;
            break;
        }
        default: break;
        }
        if (!toggle)
            return false;
        const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        return true;
    }
};

// A date typed as yyyy-MM-dd (also yyyy/M/d or yyyyMMdd); clearing the text clears the date.
class DateDelegate : public TextDelegate {
public:
    using TextDelegate::TextDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(TextDelegate::createEditor(parent, option, index));
        edit->setPlaceholderText(QStringLiteral("yyyy-MM-dd"));
        edit->setMaxLength(10);
        return edit;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(editor);
        const QVariant value = index.data(Qt::EditRole);
        if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
            edit->setText(value.toDate().toString(QStringLiteral("yyyy-MM-dd")));
        else
            edit->setText(value.toString());
        edit->setModified(false);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        QString text;
        if (!typedText(editor, model, index, text))
            return;
        for (const QString &format : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyy-M-d"),
                                      QStringLiteral("yyyy/M/d"), QStringLiteral("yyyyMMdd")}) {
            const QDate date = QDate::fromString(text, format);
            if (date.isValid()) {
                model->setData(index, date);
                return;
            }
        }
    }
};

// An editable drop-down list with the column's items.
class DropDownDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        auto *combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        if (const TGridColumn *column = columnOf(index)) {
            if (column->comboSetup)
                column->comboSetup(combo, index.row());
            else
                combo->addItems(column->dropDownItems);
        }
        return combo;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *combo = static_cast<QComboBox *>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        combo->setCurrentText(text);
        combo->setProperty("protaskOriginalText", text);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *combo = static_cast<QComboBox *>(editor);
        const QString text = combo->currentText();
        if (text != combo->property("protaskOriginalText").toString())
            model->setData(index, textOrNull(text));
    }
};

} // namespace

// ---------------------------------------------------------------------------------------

TGridTable::TGridTable(QWidget *parent) : QTableView(parent) {}

QModelIndex TGridTable::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    auto *grid = qobject_cast<TGridModel *>(model());
    const QModelIndex current = currentIndex();
    if (!grid || !current.isValid() || grid->columnCountValue() == 0)
        return QTableView::moveCursor(cursorAction, modifiers);

    const QHeaderView *header = horizontalHeader();
    const int columns = grid->columnCountValue();
    const int rows = grid->rowCountValue();
    const auto takesFocus = [&](int visual) {
        const int logical = header->logicalIndex(visual);
        return logical >= 0 && !isColumnHidden(logical) && grid->column(logical).isFocusable();
    };

    int step = 0;
    bool wrap = false;
    int visual = header->visualIndex(current.column());
    switch (cursorAction) {
    case MoveLeft: step = -1; break;
    case MoveRight: step = 1; break;
    case MoveNext:
        step = 1;
        wrap = true;
        break;
    case MovePrevious:
        step = -1;
        wrap = true;
        break;
    case MoveHome:
    case MoveEnd:
        if (modifiers & Qt::ControlModifier)
            return QTableView::moveCursor(cursorAction, modifiers);
        step = cursorAction == MoveHome ? 1 : -1;
        visual = cursorAction == MoveHome ? -1 : columns;
        break;
    default: return QTableView::moveCursor(cursorAction, modifiers);
    }

    int row = current.row();
    for (int tries = 0; tries < 2 * columns + 2; ++tries) {
        visual += step;
        if (visual < 0 || visual >= columns) {
            if (!wrap)
                return current;
            row += step;
            if (row < 0 || row >= rows)
                return current;
            visual = step > 0 ? 0 : columns - 1;
        }
        if (takesFocus(visual))
            return grid->index(row, header->logicalIndex(visual));
    }
    return current;
}

bool TGridTable::isEditing() const { return state() == EditingState; }

// ---------------------------------------------------------------------------------------

TGridFooter::TGridFooter(TGridView *view) : QWidget(view), m_view(view) { setFixedHeight(sizeHint().height()); }

QSize TGridFooter::sizeHint() const { return QSize(200, fontMetrics().height() + 8); }

void TGridFooter::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    const TGridTable *table = m_view->table();
    const QHeaderView *header = table->horizontalHeader();
    const int left = table->geometry().x() - geometry().x() + table->viewport()->geometry().x();
    painter.setClipRect(QRect(left, 0, table->viewport()->width(), height()));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(left, 0, left + table->viewport()->width(), 0);

    const TGridModel *model = m_view->model();
    for (int column = 0; column < model->columnCountValue(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        const QRect cell(left + header->sectionViewportPosition(column), 0, header->sectionSize(column), height());
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(cell.topRight(), cell.bottomRight());
        const QString text = m_view->footerText(column);
        if (text.isEmpty())
            continue;
        bool isSum = false;
        for (const TGridSummary &summary : m_view->summaries())
            if (summary.kind == GridSummaryKind::Sum
                && summary.columnName.compare(model->column(column).name, Qt::CaseInsensitive) == 0)
                isSum = true;
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(cell.adjusted(3, 0, -3, 0), (isSum ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
    }
}

// ---------------------------------------------------------------------------------------

TGridView::LayoutUpdate::LayoutUpdate(TGridView *view) : m_view(view)
{
    if (m_view->m_layoutUpdates++ == 0)
        m_view->setUpdatesEnabled(false);
}

TGridView::LayoutUpdate::~LayoutUpdate()
{
    if (--m_view->m_layoutUpdates == 0) {
        m_view->setUpdatesEnabled(true);
        m_view->m_footer->update();
    }
}

TGridView::TGridView(QWidget *parent)
    : QWidget(parent), m_model(new TGridModel(this)), m_table(new TGridTable(this)), m_footer(new TGridFooter(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_footer);

    m_table->setModel(m_model);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_table->horizontalHeader()->setSectionsMovable(true);
    // The column lists give narrow widths for columns that are hidden at first (10 pixels).
    m_table->horizontalHeader()->setMinimumSectionSize(1);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);

    m_textDelegate = new TextDelegate(m_table);
    m_lookupDelegate = new LookupDelegate(
        [this](const QModelIndex &index) { Q_EMIT lookupClicked(index.row(), index.column()); }, m_table);
    m_numberDelegate = new NumberDelegate(m_table);
    m_checkBoxDelegate = new CheckBoxDelegate(m_table);
    m_dateDelegate = new DateDelegate(m_table);
    m_dropDownDelegate = new DropDownDelegate(m_table);

    connect(m_model, &QAbstractItemModel::modelReset, this, &TGridView::applyAllColumns);
    connect(m_model, &TGridModel::columnChanged, this, &TGridView::applyColumn);
    connect(m_model, &TGridModel::cellEdited, this, &TGridView::cellEdited);
    const auto refreshFooter = [this] { m_footer->update(); };
    connect(m_model, &QAbstractItemModel::dataChanged, m_footer, refreshFooter);
    connect(m_model, &QAbstractItemModel::rowsInserted, m_footer, refreshFooter);
    connect(m_model, &QAbstractItemModel::rowsRemoved, m_footer, refreshFooter);

    QHeaderView *header = m_table->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, [this](int logical, int, int newSize) {
        if (newSize > 0 && !m_table->isColumnHidden(logical))
            m_model->storeColumnWidth(logical, newSize);
        m_footer->update();
        if (m_layoutUpdates == 0)
            Q_EMIT columnLayoutChanged();
    });
    connect(header, &QHeaderView::sectionMoved, this, [this] {
        m_footer->update();
        if (m_layoutUpdates == 0)
            Q_EMIT columnLayoutChanged();
    });
    connect(header, &QHeaderView::geometriesChanged, m_footer, refreshFooter);
    connect(m_table->horizontalScrollBar(), &QScrollBar::valueChanged, m_footer, refreshFooter);
}

QStyledItemDelegate *TGridView::delegateFor(const TGridColumn &column) const
{
    switch (column.editorKind) {
    case GridEditorKind::Lookup: return m_lookupDelegate;
    case GridEditorKind::Quantity:
    case GridEditorKind::Price:
    case GridEditorKind::Amount: return m_numberDelegate;
    case GridEditorKind::CheckBox: return m_checkBoxDelegate;
    case GridEditorKind::Date: return m_dateDelegate;
    case GridEditorKind::DropDown: return m_dropDownDelegate;
    case GridEditorKind::Text: break;
    }
    return column.isNumeric() ? m_numberDelegate : m_textDelegate;
}

void TGridView::applyColumn(int column)
{
    if (column < 0 || column >= m_model->columnCountValue())
        return;
    const LayoutUpdate guard(this);
    const TGridColumn &col = m_model->column(column);
    const int width = col.width;
    m_table->setItemDelegateForColumn(column, delegateFor(col));
    m_table->setColumnHidden(column, false);
    m_table->setColumnWidth(column, width);
    m_table->setColumnHidden(column, !col.visible);
}

void TGridView::applyAllColumns()
{
    const LayoutUpdate guard(this);
    for (int column = 0; column < m_model->columnCountValue(); ++column)
        applyColumn(column);
}

void TGridView::setColumnVisible(int column, bool visible)
{
    m_model->updateColumn(column, [visible](TGridColumn &col) { col.visible = visible; });
}

bool TGridView::isColumnVisible(int column) const
{
    return column >= 0 && column < m_model->columnCountValue() && !m_table->isColumnHidden(column);
}

void TGridView::setColumnWidth(int column, int width)
{
    m_model->updateColumn(column, [width](TGridColumn &col) { col.width = width; });
}

int TGridView::columnWidth(int column) const
{
    if (column < 0 || column >= m_model->columnCountValue())
        return 0;
    return m_model->column(column).width;
}

int TGridView::columnPosition(int column) const
{
    if (column < 0 || column >= m_model->columnCountValue())
        return -1;
    return m_table->horizontalHeader()->visualIndex(column);
}

void TGridView::addSummary(const TGridSummary &summary)
{
    m_summaries.append(summary);
    m_footer->update();
}

void TGridView::clearSummaries()
{
    m_summaries.clear();
    m_footer->update();
}

QString TGridView::footerText(int column) const
{
    if (column < 0 || column >= m_model->columnCountValue())
        return QString();
    const QString &name = m_model->column(column).name;
    QStringList texts;
    for (const TGridSummary &summary : m_summaries) {
        if (summary.columnName.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (summary.kind == GridSummaryKind::Count) {
            int count = 0;
            for (int row = 0; row < m_model->rowCountValue(); ++row)
                if (!summary.include || summary.include(row))
                    ++count;
            QString text = summary.format.isEmpty() ? QStringLiteral("#") : summary.format;
            texts.append(text.replace(u'#', QString::number(count)));
        } else {
            double total = 0.0;
            for (int row = 0; row < m_model->rowCountValue(); ++row)
                if (!summary.include || summary.include(row))
                    total += ValueToFloat(m_model->cell(row, column));
            texts.append(FormatDisplayNumber(total, summary.format));
        }
    }
    return texts.join(u' ');
}

void TGridView::setFooterVisible(bool visible) { m_footer->setVisible(visible); }

void TGridView::focusCell(int row, int column, bool openEditor)
{
    if (row < 0 || row >= m_model->rowCountValue() || column < 0 || column >= m_model->columnCountValue())
        return;
    const QModelIndex index = m_model->index(row, column);
    m_table->setFocus(Qt::OtherFocusReason);
    m_table->setCurrentIndex(index);
    m_table->scrollTo(index);
    if (openEditor && (m_model->flags(index) & Qt::ItemIsEditable) && !m_table->indexWidget(index))
        m_table->edit(index);
}

int TGridView::focusedRow() const { return m_table->currentIndex().isValid() ? m_table->currentIndex().row() : -1; }

int TGridView::focusedColumn() const
{
    return m_table->currentIndex().isValid() ? m_table->currentIndex().column() : -1;
}

} // namespace protask
