#include "controls/controls.h"

#include "core/display_format.h"
#include "core/values.h"

#include <QAction>
#include <QCalendarWidget>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace protask {

// ---------------------------------------------------------------------------------------------
// TLookupEdit

TLookupEdit::TLookupEdit(QWidget *parent) : QLineEdit(parent) { addButton(ButtonKind::Caption); }

int TLookupEdit::addButton(ButtonKind kind, const QString &caption)
{
    Button b;
    b.kind = kind;
    b.widget = new QToolButton(this);
    b.widget->setText(caption);
    b.widget->setCursor(Qt::ArrowCursor);
    b.widget->setFocusPolicy(Qt::NoFocus);
    b.widget->setAutoRaise(false);
    const int index = static_cast<int>(m_buttons.size());
    connect(b.widget, &QToolButton::clicked, this, [this, index]() { Q_EMIT buttonClicked(index); });
    m_buttons.append(b);
    layoutButtons();
    return index;
}

TLookupEdit::ButtonKind TLookupEdit::buttonKind(int index) const { return m_buttons.value(index).kind; }

QString TLookupEdit::buttonCaption(int index) const
{
    const QToolButton *w = m_buttons.value(index).widget;
    return w ? w->text() : QString();
}

void TLookupEdit::setButtonCaption(int index, const QString &caption)
{
    if (index < 0 || index >= m_buttons.size())
        return;
    m_buttons[index].widget->setText(caption);
    layoutButtons();
}

void TLookupEdit::setButtonVisible(int index, bool visible)
{
    if (index < 0 || index >= m_buttons.size())
        return;
    // Kept apart from isVisible(): a button of a hidden edit is still meant to be shown.
    m_buttons[index].visible = visible;
    layoutButtons();
}

bool TLookupEdit::isButtonVisible(int index) const
{
    return index >= 0 && index < m_buttons.size() && m_buttons[index].visible;
}

QAbstractButton *TLookupEdit::button(int index) const { return m_buttons.value(index).widget; }

void TLookupEdit::clearLookup()
{
    clear();
    m_storedValue = QStringLiteral("0");
    for (Button &b : m_buttons)
        b.widget->setText(b.kind == ButtonKind::Counter ? QStringLiteral("0") : QString());
    layoutButtons();
}

void TLookupEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    Q_EMIT doubleClicked();
}

void TLookupEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    layoutButtons();
}

void TLookupEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        layoutButtons();
}

void TLookupEdit::layoutButtons()
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int h = qMax(0, height() - 2 * frame);
    int right = width() - frame;
    int used = 0;
    for (int i = static_cast<int>(m_buttons.size()) - 1; i >= 0; --i) {
        QToolButton *w = m_buttons[i].widget;
        w->setVisible(m_buttons[i].visible);
        if (!m_buttons[i].visible)
            continue;
        const int textWidth = w->text().isEmpty() ? 0 : w->fontMetrics().horizontalAdvance(w->text()) + 10;
        const int bw = qMax(h, textWidth);
        right -= bw;
        w->setGeometry(right, frame, bw, h);
        used += bw;
    }
    setTextMargins(0, 0, used, 0);
}

// ---------------------------------------------------------------------------------------------
// TComboBox

TComboBox::TComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // Typed text is matched by the lookup lists; the combo must neither complete it on its own
    // nor add it to the list on Enter.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    if (lineEdit())
        lineEdit()->installEventFilter(this);
}

void TComboBox::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    if (lineEdit())
        lineEdit()->setReadOnly(readOnly);
}

void TComboBox::showPopup()
{
    if (m_readOnly)
        return;
    Q_EMIT aboutToDropDown();
    QComboBox::showPopup();
}

void TComboBox::hidePopup()
{
    QComboBox::hidePopup();
    Q_EMIT closedUp();
}

bool TComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonDblClick)
        Q_EMIT doubleClicked();
    return QComboBox::eventFilter(watched, event);
}

void TComboBox::keyPressEvent(QKeyEvent *event)
{
    if (m_readOnly) {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_F4: event->ignore(); return;
        default: break;
        }
    }
    QComboBox::keyPressEvent(event);
}

void TComboBox::wheelEvent(QWheelEvent *event)
{
    if (m_readOnly) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

// ---------------------------------------------------------------------------------------------
// TCurrencyEdit

namespace {

// A number with fixed places; a value that rounds to zero shows no minus sign.
QString plainNumber(double value, int places)
{
    QString text = QString::number(value, 'f', places);
    if (text.startsWith(QLatin1Char('-'))
        && QString(text).remove(QLatin1Char('-')).remove(QLatin1Char('0')).remove(QLatin1Char('.')).isEmpty())
        text.remove(0, 1);
    return text;
}

// The number a text shows: grouping and anything but digits, point and sign are dropped.
double parseNumber(const QString &text)
{
    QString plain;
    plain.reserve(text.size());
    for (QChar c : text) {
        if (c.isDigit() || c == u'.' || c == u'-')
            plain.append(c);
    }
    bool ok = false;
    const double d = plain.toDouble(&ok);
    return ok ? d : 0.0;
}

} // namespace

TCurrencyEdit::TCurrencyEdit(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^-?[0-9,]*\\.?[0-9]*$")), this));
    connect(this, &QLineEdit::textChanged, this, &TCurrencyEdit::onTextChanged);
    connect(this, &QLineEdit::editingFinished, this, &TCurrencyEdit::commitEdit);
}

double TCurrencyEdit::value() const { return isBlank() ? 0.0 : m_value; }

void TCurrencyEdit::setValue(double value)
{
    m_value = value;
    showText(hasFocus() && !isReadOnly() ? editingText() : formatValue(value));
    notifyIfChanged();
}

bool TCurrencyEdit::isBlank() const { return text().trimmed().isEmpty(); }

void TCurrencyEdit::setDecimalPlaces(int decimals)
{
    m_decimals = qMax(0, decimals);
    if (!isBlank() && !hasFocus())
        showText(formatValue(m_value));
}

void TCurrencyEdit::setDisplayFormat(const QString &format)
{
    m_displayFormat = format;
    if (!isBlank() && !hasFocus())
        showText(formatValue(m_value));
}

QString TCurrencyEdit::formatValue(double value) const
{
    if (m_displayFormat.isEmpty())
        return plainNumber(value, m_decimals);
    return FormatDisplayNumber(value, m_displayFormat);
}

void TCurrencyEdit::focusInEvent(QFocusEvent *event)
{
    if (!isBlank() && !isReadOnly())
        showText(editingText());
    QLineEdit::focusInEvent(event);
}

void TCurrencyEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason)
        return;
    commitEdit();
    if (!isBlank())
        showText(formatValue(m_value));
}

void TCurrencyEdit::onTextChanged(const QString &text)
{
    if (!m_settingText)
        m_value = parseNumber(text);
}

void TCurrencyEdit::commitEdit()
{
    if (!isBlank())
        m_value = RoundValue(m_decimals, parseNumber(text()));
    notifyIfChanged();
}

void TCurrencyEdit::showText(const QString &text)
{
    m_settingText = true;
    setText(text);
    m_settingText = false;
}

void TCurrencyEdit::notifyIfChanged()
{
    const bool blank = isBlank();
    const double v = value();
    if (blank == m_lastBlank && v == m_lastValue)
        return;
    m_lastBlank = blank;
    m_lastValue = v;
    Q_EMIT valueChanged(v);
}

QString TCurrencyEdit::editingText() const { return plainNumber(m_value, m_decimals); }

// ---------------------------------------------------------------------------------------------
// TNullableDateEdit

namespace {
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
}

TNullableDateEdit::TNullableDateEdit(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[0-9./-]{0,10}$")), this));
    m_calendarAction = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    connect(m_calendarAction, &QAction::triggered, this, &TNullableDateEdit::showCalendar);

    m_popup = new QFrame(this, Qt::Popup);
    m_popup->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(m_popup);
    layout->setContentsMargins(1, 1, 1, 1);
    m_calendar = new QCalendarWidget(m_popup);
    m_calendar->setGridVisible(true);
    layout->addWidget(m_calendar);
    connect(m_calendar, &QCalendarWidget::clicked, this, &TNullableDateEdit::pickDate);
    connect(m_calendar, &QCalendarWidget::activated, this, &TNullableDateEdit::pickDate);

    connect(this, &QLineEdit::editingFinished, this, &TNullableDateEdit::commitEdit);
}

QDate TNullableDateEdit::date() const { return parseDate(text()); }

void TNullableDateEdit::setDate(const QDate &date)
{
    setText(date.isValid() ? date.toString(kDateFormat) : QString());
    commitEdit();
}

void TNullableDateEdit::showCalendar()
{
    if (isReadOnly() || !isEnabled())
        return;
    const QDate current = date();
    m_calendar->setSelectedDate(current.isValid() ? current : QDate::currentDate());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(rect().bottomLeft()));
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

bool TNullableDateEdit::isCalendarVisible() const { return m_popup->isVisible(); }

QDate TNullableDateEdit::parseDate(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QDate();
    static const char *const formats[] = {"yyyy-MM-dd", "yyyy-M-d", "yyyy/MM/dd", "yyyy/M/d",
                                          "yyyy.MM.dd", "yyyy.M.d", "yyyyMMdd"};
    for (const char *f : formats) {
        const QDate d = QDate::fromString(t, QLatin1String(f));
        if (d.isValid())
            return d;
    }
    return QDate();
}

void TNullableDateEdit::commitEdit()
{
    const QString t = text().trimmed();
    QString normal;
    if (!t.isEmpty()) {
        const QDate d = parseDate(t);
        // Text that is no date goes back to the last date the edit held.
        normal = d.isValid() ? d.toString(kDateFormat) : m_committedText;
    }
    if (text() != normal)
        setText(normal);
    if (normal != m_committedText) {
        m_committedText = normal;
        Q_EMIT dateChanged(date());
    }
}

void TNullableDateEdit::pickDate(const QDate &date)
{
    m_popup->hide();
    setDate(date);
    setFocus(Qt::PopupFocusReason);
}

// ---------------------------------------------------------------------------------------------
// TDatePicker

TDatePicker::TDatePicker(QWidget *parent) : QDateEdit(QDate::currentDate(), parent)
{
    setCalendarPopup(true);
    setDisplayFormat(kDateFormat);
}

TTreeLookup::TTreeLookup(QWidget *parent) : QComboBox(parent)
{
    auto *view = new QTreeView(this);
    view->setHeaderHidden(true);
    setView(view);
    connect(view, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        m_node = index;
        showNode();
        hidePopup();
    });
}

void TTreeLookup::setTree(QAbstractItemModel *tree)
{
    setModel(tree);
    clearNode();
}

void TTreeLookup::selectNode(const QString &text)
{
    m_node = QModelIndex();
    if (model() && !text.isEmpty()) {
        const QModelIndexList found =
            model()->match(model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty())
            m_node = found.first();
    }
    showNode();
}

void TTreeLookup::clearNode()
{
    m_node = QModelIndex();
    showNode();
}

// The combo shows the node's text even when it sits below the top level.
void TTreeLookup::showNode()
{
    if (!m_node.isValid()) {
        setRootModelIndex(QModelIndex());
        setCurrentIndex(-1);
        return;
    }
    setRootModelIndex(m_node.parent());
    setCurrentIndex(m_node.row());
    setRootModelIndex(QModelIndex());
}

} // namespace protask
