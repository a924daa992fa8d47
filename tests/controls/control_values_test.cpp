#include "controls/control_values.h"
#include "controls/controls.h"
#include "test_db.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStandardItemModel>

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

void press(QWidget *w, int key, const QString &text = QString())
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &event);
}

void typeAndCommit(QWidget *w, const QString &text)
{
    for (QChar c : text)
        press(w, 0, QString(c));
    press(w, Qt::Key_Return);
}

// What the adapters read back: the control's text and whether it counts as empty.
QString state(QWidget *w)
{
    QString text = u"unchanged"_s;
    GetControlText(w, text);
    return text + (IsControlEmpty(w) ? u" (empty)"_s : QString());
}
QString loaded(QWidget *w, const QVariant &value)
{
    LoadControl(w, value);
    return state(w);
}
QString cleared(QWidget *w)
{
    ClearControl(w);
    return state(w);
}

// For each of the |-separated texts whether the control's text equals it: "+" or "-".
QString equals(QWidget *w, const QString &texts)
{
    QString answers;
    for (const QString &t : texts.split(u'|'))
        answers += ControlTextEquals(w, t) ? u'+' : u'-';
    return answers;
}

TEST(ControlValues, EachKindLoadsClearsAndReadsItsValue)
{
    QLineEdit text;
    EXPECT_EQ(loaded(&text, u"RWD20240300001"_s), u"RWD20240300001"_s);
    EXPECT_EQ(cleared(&text), u" (empty)"_s);
    EXPECT_EQ(loaded(&text, QVariant()), u" (empty)"_s) << "a null column loads as empty text";
    EXPECT_EQ(loaded(&text, u"   "_s), u"   "_s) << "only the lookup edit trims before the emptiness test";
    QPlainTextEdit memo;
    EXPECT_EQ(loaded(&memo, u"第一行\n第二行"_s), u"第一行\n第二行"_s) << "all lines as one text";
    EXPECT_EQ(cleared(&memo), u" (empty)"_s);

    TComboBox combo;
    combo.addItems({u"甲"_s, u"乙"_s});
    combo.setCurrentIndex(1);
    EXPECT_EQ(loaded(&combo, u"丙公司"_s), u"丙公司"_s) << "a text that is not in the list still loads";
    EXPECT_EQ(cleared(&combo), u" (empty)"_s);
    EXPECT_EQ(combo.currentIndex(), -1) << "no item selected";
    EXPECT_EQ(combo.count(), 2) << "clearing keeps the list";

    // A currency edit reads its value, not the formatted text, and is empty at 0.
    TCurrencyEdit amount;
    EXPECT_TRUE(amount.isBlank());
    EXPECT_EQ(state(&amount), u"0 (empty)"_s) << "no text reads as 0";
    EXPECT_EQ(loaded(&amount, u"1234.50000000"_s), u"1234.5"_s) << "DECIMAL columns arrive as text";
    EXPECT_EQ(amount.text(), u"1,234.50"_s);
    EXPECT_EQ(cleared(&amount), u"0 (empty)"_s);
    EXPECT_FALSE(amount.isBlank()) << "cleared to 0, not to no value";
    EXPECT_EQ(loaded(&amount, QVariant()), u"0 (empty)"_s);
    EXPECT_EQ(loaded(&amount, -0.5), u"-0.5"_s) << "only 0 is empty";

    // Check boxes are never empty; only the first kind is cleared.
    QCheckBox box;
    TCheckBox2 box2;
    for (QCheckBox *b : {&box, static_cast<QCheckBox *>(&box2)}) {
        EXPECT_EQ(loaded(b, 1), u"-1"_s);
        EXPECT_EQ(loaded(b, u"0"_s), u"0"_s);
        EXPECT_EQ(loaded(b, u"1"_s), u"-1"_s);
        EXPECT_EQ(loaded(b, QVariant()), u"0"_s) << "null loads unchecked";
        b->setChecked(true);
    }
    EXPECT_EQ(cleared(&box), u"0"_s);
    EXPECT_EQ(cleared(&box2), u"-1"_s) << "the second kind is not cleared";

    // Date kinds load only non-null values; only the date edit clears.
    TNullableDateEdit date;
    TDatePicker picker;
    EXPECT_EQ(loaded(&date, QDate(2024, 3, 5)), u"2024-03-05"_s);
    EXPECT_EQ(loaded(&picker, QDateTime(QDate(2024, 3, 5), QTime(18, 30))), u"2024-03-05"_s) << "DATETIME columns";
    EXPECT_EQ(loaded(&date, QVariant()), u"2024-03-05"_s) << "a null column leaves the date";
    EXPECT_EQ(loaded(&picker, QVariant()), u"2024-03-05"_s);
    EXPECT_EQ(cleared(&date), u" (empty)"_s);
    EXPECT_FALSE(date.date().isValid());
    EXPECT_EQ(cleared(&picker), u"2024-03-05"_s) << "the date picker is never cleared";
    EXPECT_EQ(loaded(&date, u"2024-01-31 00:00:00"_s), u"2024-01-31"_s) << "a date arriving as text";

    // Spin edits read their number; other controls are left alone.
    QSpinBox spin;
    spin.setValue(42);
    EXPECT_EQ(state(&spin), u"42"_s);
    QLabel label(u"标签"_s);
    EXPECT_EQ(cleared(&label), u"unchanged"_s);
    EXPECT_EQ(label.text(), u"标签"_s);
    EXPECT_EQ(equals(&label, u"anything"_s), u"+"_s);
}

// A node below the top level is found by its text, shown, and counts as a value.
TEST(ControlValues, TreeLookupSelectsTheNodeItsColumnNames)
{
    QStandardItemModel tree;
    auto *factory = new QStandardItem(u"工厂"_s);
    factory->appendRow(new QStandardItem(u"一车间"_s));
    factory->appendRow(new QStandardItem(u"二车间"_s));
    tree.appendRow(factory);
    TTreeLookup lookup;
    lookup.setTree(&tree);
    EXPECT_EQ(state(&lookup), u" (empty)"_s);
    EXPECT_EQ(loaded(&lookup, u"二车间"_s), u"二车间"_s);
    EXPECT_EQ(lookup.currentText(), u"二车间"_s);
    LoadControl(&lookup, u"三车间"_s);
    EXPECT_TRUE(IsControlEmpty(&lookup)) << "a name without a node selects nothing";
    LoadControl(&lookup, u"工厂"_s);
    EXPECT_EQ(cleared(&lookup), u" (empty)"_s);
}

TEST(ControlValues, LookupEditClearedStoresZeroAndResetsItsButtons)
{
    TLookupEdit edit;
    const int counter = edit.addButton(TLookupEdit::ButtonKind::Counter, u"5"_s);
    edit.setText(u"华东机械"_s);
    edit.setStoredValue(u"17"_s);
    edit.setButtonCaption(0, u"C017"_s);
    QList<int> clicks;
    QObject::connect(&edit, &TLookupEdit::buttonClicked, [&](int index) { clicks << index; });
    edit.button(counter)->click();
    edit.button(0)->click();
    EXPECT_EQ(clicks, QList<int>({counter, 0}));

    EXPECT_EQ(state(&edit), u"华东机械"_s);
    EXPECT_EQ(cleared(&edit), u" (empty)"_s);
    EXPECT_EQ(edit.storedValue(), u"0"_s);
    EXPECT_EQ(edit.buttonCaption(0), QString()) << "first kind: blank caption";
    EXPECT_EQ(edit.buttonCaption(counter), u"0"_s) << "second kind: caption 0";
    EXPECT_EQ(loaded(&edit, u"  "_s), u"   (empty)"_s) << "blank text counts as empty";

    SetControlReadOnly(&edit, true);
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_FALSE(edit.isButtonVisible(0)) << "a locked lookup edit hides its first button";
    EXPECT_TRUE(edit.isButtonVisible(counter));
    SetControlReadOnly(&edit, false);
    EXPECT_TRUE(edit.isButtonVisible(0));
}

TEST(ControlValues, TextEqualityTrimsTextAndLookupEditsAndComparesCurrencyNumerically)
{
    QLineEdit text(u"  螺栓 "_s);
    EXPECT_EQ(equals(&text, u"螺栓|螺母"_s), u"+-"_s);
    TLookupEdit lookup;
    lookup.setText(u"A01 "_s);
    EXPECT_EQ(equals(&lookup, u" A01"_s), u"+"_s);
    QPlainTextEdit memo(u" 说明"_s);
    EXPECT_EQ(equals(&memo, u"说明| 说明"_s), u"-+"_s) << "memos are compared as they stand";
    TComboBox combo;
    combo.setEditText(u"客户 "_s);
    EXPECT_EQ(equals(&combo, u"客户|客户 "_s), u"-+"_s);
    TCurrencyEdit amount;
    amount.setValue(12.5);
    EXPECT_EQ(equals(&amount, u"12.50|12.5000|12.51"_s), u"++-"_s);
    amount.clear();
    EXPECT_EQ(equals(&amount, u"0|0.00"_s), u"++"_s) << "no value equals 0";
    QCheckBox box;
    box.setChecked(true);
    EXPECT_EQ(equals(&box, u"-1|0"_s), u"+-"_s);
    TDatePicker picker;
    picker.setDate(QDate(2024, 3, 1));
    EXPECT_EQ(equals(&picker, u"2024-03-01|2024-03-02"_s), u"+-"_s);
}

TEST(CurrencyEdit, ShowsTheDisplayFormat)
{
    TCurrencyEdit edit;
    const auto shown = [&edit](const char *format, int decimals, double value) {
        edit.setDisplayFormat(QString::fromLatin1(format));
        edit.setDecimalPlaces(decimals);
        edit.setValue(value);
        return edit.text();
    };
    // The format decides, whatever the decimal places; without one the places do.
    EXPECT_EQ(shown(",0.000;-,0.000", 2, -999.9996), u"-1,000.000"_s);
    EXPECT_EQ(shown("0.##", 2, 3.1), u"3.1"_s);
    EXPECT_EQ(shown("", 2, 1234.5), u"1234.50"_s);
    EXPECT_EQ(shown("", 2, -0.001), u"0.00"_s) << "a value that rounds to zero has no sign";
}

TEST(CurrencyEdit, TypedNumbersAreRoundedToItsDecimalsOnCommit)
{
    TCurrencyEdit edit;
    edit.setDecimalPlaces(2);
    QList<double> changed;
    QObject::connect(&edit, &TCurrencyEdit::valueChanged, [&](double v) { changed << v; });
    for (QChar c : u"12a34.567"_s)
        press(&edit, 0, QString(c));
    EXPECT_EQ(edit.text(), u"1234.567"_s) << "letters are not accepted";
    EXPECT_TRUE(changed.isEmpty()) << "no change while typing";
    press(&edit, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(edit.value(), 1234.57);
    EXPECT_EQ(changed, QList<double>{1234.57});
    press(&edit, Qt::Key_Return);
    EXPECT_EQ(changed.size(), 1) << "committing the same value again is no change";
    edit.setValue(7.0);
    EXPECT_EQ(changed.size(), 2) << "a value set by the program is a change";
}

TEST(NullableDateEdit, AcceptsTypedDatesAndRevertsTextThatIsNoDate)
{
    TNullableDateEdit edit;
    QList<QDate> changed;
    QObject::connect(&edit, &TNullableDateEdit::dateChanged, [&](const QDate &d) { changed << d; });
    EXPECT_FALSE(edit.date().isValid()) << "starts blank";
    typeAndCommit(&edit, u"2024-3-5"_s);
    EXPECT_EQ(edit.text(), u"2024-03-05"_s);
    EXPECT_EQ(changed, QList<QDate>{QDate(2024, 3, 5)});
    edit.selectAll();
    typeAndCommit(&edit, u"2024-13-45"_s);
    EXPECT_EQ(edit.text(), u"2024-03-05"_s) << "an impossible date goes back to the last one";
    EXPECT_EQ(changed.size(), 1);
    edit.selectAll();
    typeAndCommit(&edit, u"20240229"_s);
    EXPECT_EQ(edit.date(), QDate(2024, 2, 29));
    edit.selectAll();
    press(&edit, Qt::Key_Delete);
    press(&edit, Qt::Key_Return);
    EXPECT_TRUE(edit.isBlank());
    EXPECT_EQ(changed, (QList<QDate>{QDate(2024, 3, 5), QDate(2024, 2, 29), QDate()})) << "blank is allowed";
}

TEST(NullableDateEdit, CalendarPicksADateUnlessReadOnly)
{
    TNullableDateEdit edit;
    edit.show();
    const QDate before = QDate::currentDate(); // midnight may pass while the calendar opens
    edit.showCalendar();
    const QDate after = QDate::currentDate();
    ASSERT_TRUE(edit.isCalendarVisible());
    const QDate opened = edit.calendar()->selectedDate();
    EXPECT_TRUE(opened == before || opened == after)
        << "a blank edit opens on today, not on " << opened.toString(Qt::ISODate).toStdString();
    Q_EMIT edit.calendar()->clicked(QDate(2023, 12, 31));
    EXPECT_FALSE(edit.isCalendarVisible());
    EXPECT_EQ(edit.text(), u"2023-12-31"_s);
    edit.setReadOnly(true);
    edit.showCalendar();
    EXPECT_FALSE(edit.isCalendarVisible());
}

TEST(ComboBox, ReportsDropDownAndCloseUpAndStaysShutWhenReadOnly)
{
    TComboBox combo;
    combo.addItems({u"件"_s, u"箱"_s});
    combo.show();
    int dropping = 0, closed = 0;
    QObject::connect(&combo, &TComboBox::aboutToDropDown, [&] { ++dropping; });
    QObject::connect(&combo, &TComboBox::closedUp, [&] { ++closed; });
    combo.showPopup();
    combo.hidePopup();
    EXPECT_EQ(QList<int>({dropping, closed}), QList<int>({1, 1}));
    SetControlReadOnly(&combo, true);
    combo.showPopup();
    EXPECT_EQ(dropping, 1) << "a read-only combo does not open";
    EXPECT_TRUE(combo.lineEdit()->isReadOnly());
}

} // namespace
