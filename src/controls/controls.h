#pragma once

// The editor control kinds of the bill headers. Plain QLineEdit (text edit), QPlainTextEdit
// (memo), QCheckBox and QComboBox serve as they are; the kinds below add what Qt lacks.

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QList>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>

class QAbstractButton;
class QAbstractItemModel;
class QAction;
class QCalendarWidget;
class QFrame;
class QToolButton;

namespace protask {

// A text edit with buttons at its right end (the suite's "button edit"). The first button
// carries a caption and opens the editor's lookup; further buttons may be added. Beside the
// visible text the edit keeps a hidden stored value text (the key or number of the record the
// text names), "0" when nothing is chosen.
class TLookupEdit : public QLineEdit {
    Q_OBJECT
public:
    // Caption buttons are blank when the edit is cleared; counter buttons show "0".
    enum class ButtonKind { Caption, Counter };

    explicit TLookupEdit(QWidget *parent = nullptr);

    int addButton(ButtonKind kind, const QString &caption = QString());
    int buttonCount() const { return static_cast<int>(m_buttons.size()); }
    ButtonKind buttonKind(int index) const;
    QString buttonCaption(int index) const;
    void setButtonCaption(int index, const QString &caption);
    void setButtonVisible(int index, bool visible);
    bool isButtonVisible(int index) const;
    QAbstractButton *button(int index) const;

    QString storedValue() const { return m_storedValue; }
    void setStoredValue(const QString &value) { m_storedValue = value; }

    // Empty text, stored value "0", caption buttons blank, counter buttons "0".
    void clearLookup();

Q_SIGNALS:
    void buttonClicked(int index);
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Button {
        QToolButton *widget = nullptr;
        ButtonKind kind = ButtonKind::Caption;
        bool visible = true;
    };
    void layoutButtons();

    QList<Button> m_buttons;
    QString m_storedValue = QStringLiteral("0");
};

// An editable combo box whose list drops down on demand: the lookup fields of the headers and
// the product, number and unit cells of the line grid. It reports the moments the lookup lists
// are refilled (before dropping down, after closing up) and double clicks, which open the
// common lookup dialog.
class TComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget *parent = nullptr);

    // QComboBox has no read-only mode: the text cannot be changed and the list does not open.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    void showPopup() override;
    void hidePopup() override;

Q_SIGNALS:
    void aboutToDropDown();
    void closedUp();
    void doubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool m_readOnly = false;
};

// The second check-box kind: a flag that the header clearing leaves as it is.
class TCheckBox2 : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
};

// A number edit for quantities, prices and amounts. The value is shown in a display format of
// the suite's kind (",0.00;-,0.00": thousands separators, two decimals, a section for negative
// numbers), formatted as the grids format it, and edited as a plain number. The text may also
// be empty: the edit then holds no value and value() answers 0.
class TCurrencyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCurrencyEdit(QWidget *parent = nullptr);

    double value() const;
    void setValue(double value);
    // No value: the text is empty. clear() does the same.
    bool isBlank() const;

    int decimalPlaces() const { return m_decimals; }
    void setDecimalPlaces(int decimals);
    QString displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &format);

    // The value as the display format shows it.
    QString formatValue(double value) const;

Q_SIGNALS:
    // A new value: set by the program, or typed and committed by the user.
    void valueChanged(double value);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void onTextChanged(const QString &text);
    void commitEdit();
    void showText(const QString &text);
    void notifyIfChanged();
    QString editingText() const;

    double m_value = 0.0;
    int m_decimals = 2;
    QString m_displayFormat = QStringLiteral(",0.00;-,0.00");
    bool m_settingText = false;
    bool m_lastBlank = true;
    double m_lastValue = 0.0;
};

// A date edit that may be left blank (Qt's date edits always hold a date). The date is typed
// as yyyy-MM-dd (yyyy-M-d, yyyy/M/d and yyyyMMdd are read too) or picked from a calendar that
// drops down from the button at the right end. Blank text means no date.
class TNullableDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNullableDateEdit(QWidget *parent = nullptr);

    // Invalid when the edit is blank or its text is not a date.
    QDate date() const;
    // An invalid date blanks the edit.
    void setDate(const QDate &date);
    bool isBlank() const { return text().trimmed().isEmpty(); }

    void showCalendar();
    QCalendarWidget *calendar() const { return m_calendar; }
    bool isCalendarVisible() const;

    // The date a text names, or an invalid date.
    static QDate parseDate(const QString &text);

Q_SIGNALS:
    void dateChanged(const QDate &date);

private:
    void commitEdit();
    void pickDate(const QDate &date);

    QAction *m_calendarAction = nullptr;
    QFrame *m_popup = nullptr;
    QCalendarWidget *m_calendar = nullptr;
    QString m_committedText;
};

// The tree lookup: a drop-down tree of nodes (departments under departments, product groups)
// of which one may be selected; its text is the selected node's.
class TTreeLookup : public QComboBox {
    Q_OBJECT
public:
    explicit TTreeLookup(QWidget *parent = nullptr);

    // The tree the nodes are picked from (the lookup does not own it).
    void setTree(QAbstractItemModel *tree);
    // Selects the first node (depth first) whose text equals the text; none: nothing selected.
    void selectNode(const QString &text);
    void clearNode();
    bool hasNode() const { return m_node.isValid(); }
    QString nodeText() const { return m_node.isValid() ? m_node.data().toString() : QString(); }

private:
    void showNode();
    QPersistentModelIndex m_node;
};

// The date picker: always holds a date, shown as yyyy-MM-dd, with a calendar popup.
class TDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit TDatePicker(QWidget *parent = nullptr);
};

} // namespace protask
