#include "controls/control_values.h"
#include "controls/controls.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace protask;

namespace {

void type(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
    }
}

void pressReturn(QWidget *w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

QString textOf(QWidget *w, const QString &start = QStringLiteral("unchanged"))
{
    QString t = start;
    GetControlText(w, t);
    return t;
}

} // namespace

TEST(ControlValues, TextKindsClearToEmptyAndLoadTheColumnText)
{
    QLineEdit text;
    QPlainTextEdit memo;
    TComboBox combo;
    combo.addItems({QStringLiteral("甲"), QStringLiteral("乙")});
    combo.setCurrentIndex(1);

    LoadControl(&text, QStringLiteral("RWD20240300001"));
    LoadControl(&memo, QStringLiteral("第一行\n第二行"));
    LoadControl(&combo, QStringLiteral("丙公司"));
    EXPECT_EQ(text.text(), QStringLiteral("RWD20240300001"));
    EXPECT_EQ(textOf(&memo), QStringLiteral("第一行\n第二行")) << "all lines as one text";
    EXPECT_EQ(textOf(&combo), QStringLiteral("丙公司")) << "a text that is not in the list still loads";
    for (QWidget *w : {static_cast<QWidget *>(&text), static_cast<QWidget *>(&memo), static_cast<QWidget *>(&combo)})
        EXPECT_FALSE(IsControlEmpty(w)) << w->metaObject()->className();

    for (QWidget *w : {static_cast<QWidget *>(&text), static_cast<QWidget *>(&memo), static_cast<QWidget *>(&combo)}) {
        ClearControl(w);
        EXPECT_TRUE(IsControlEmpty(w)) << w->metaObject()->className();
        EXPECT_EQ(textOf(w), QString()) << w->metaObject()->className();
    }
    EXPECT_EQ(combo.currentIndex(), -1) << "no item selected";
    EXPECT_EQ(combo.count(), 2) << "clearing keeps the list";

    LoadControl(&text, QVariant());
    EXPECT_TRUE(IsControlEmpty(&text)) << "a null column loads as empty text";

    // Only the lookup edit trims before the emptiness test.
    text.setText(QStringLiteral("   "));
    EXPECT_FALSE(IsControlEmpty(&text));
}

TEST(ControlValues, LookupEditClearedStoresZeroAndResetsItsButtons)
{
    TLookupEdit edit;
    const int counter = edit.addButton(TLookupEdit::ButtonKind::Counter, QStringLiteral("5"));
    edit.setText(QStringLiteral("华东机械"));
    edit.setStoredValue(QStringLiteral("17"));
    edit.setButtonCaption(0, QStringLiteral("C017"));

    QList<int> clicks;
    QObject::connect(&edit, &TLookupEdit::buttonClicked, [&](int index) { clicks << index; });
    edit.button(counter)->click();
    edit.button(0)->click();
    EXPECT_EQ(clicks, QList<int>({counter, 0}));

    EXPECT_FALSE(IsControlEmpty(&edit));
    ClearControl(&edit);
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(edit.storedValue(), QStringLiteral("0"));
    EXPECT_EQ(edit.buttonCaption(0), QString()) << "first kind: blank caption";
    EXPECT_EQ(edit.buttonCaption(counter), QStringLiteral("0")) << "second kind: caption 0";
    EXPECT_TRUE(IsControlEmpty(&edit));

    LoadControl(&edit, QStringLiteral("  "));
    EXPECT_TRUE(IsControlEmpty(&edit)) << "blank text counts as empty";

    SetControlReadOnly(&edit, true);
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_FALSE(edit.isButtonVisible(0)) << "a locked lookup edit hides its first button";
    EXPECT_TRUE(edit.isButtonVisible(counter));
    SetControlReadOnly(&edit, false);
    EXPECT_TRUE(edit.isButtonVisible(0));
}

TEST(ControlValues, CurrencyEditAtZeroCountsAsEmpty)
{
    TCurrencyEdit edit;
    EXPECT_TRUE(edit.isBlank());
    EXPECT_EQ(textOf(&edit), QStringLiteral("0")) << "no text reads as 0";
    EXPECT_TRUE(IsControlEmpty(&edit));

    LoadControl(&edit, QStringLiteral("1234.50000000")); // DECIMAL columns arrive as text
    EXPECT_DOUBLE_EQ(edit.value(), 1234.5);
    EXPECT_EQ(edit.text(), QStringLiteral("1,234.50"));
    EXPECT_EQ(textOf(&edit), QStringLiteral("1234.5")) << "the value, not the formatted text";
    EXPECT_FALSE(IsControlEmpty(&edit));

    ClearControl(&edit);
    EXPECT_DOUBLE_EQ(edit.value(), 0.0);
    EXPECT_FALSE(edit.isBlank()) << "cleared to 0, not to no value";
    EXPECT_TRUE(IsControlEmpty(&edit));
    EXPECT_EQ(textOf(&edit), QStringLiteral("0"));

    LoadControl(&edit, QVariant());
    EXPECT_TRUE(IsControlEmpty(&edit));
    LoadControl(&edit, -0.5);
    EXPECT_FALSE(IsControlEmpty(&edit)) << "only 0 is empty, negative values are not";
}

TEST(ControlValues, CheckBoxesAreNeverEmptyAndOnlyTheFirstKindIsCleared)
{
    QCheckBox box;
    TCheckBox2 box2;
    for (QCheckBox *b : {&box, static_cast<QCheckBox *>(&box2)}) {
        LoadControl(b, 1);
        EXPECT_TRUE(b->isChecked());
        EXPECT_EQ(textOf(b), QStringLiteral("-1"));
        LoadControl(b, QStringLiteral("0"));
        EXPECT_FALSE(b->isChecked());
        EXPECT_EQ(textOf(b), QStringLiteral("0"));
        EXPECT_FALSE(IsControlEmpty(b)) << "unchecked is a value too";
        LoadControl(b, QVariant());
        EXPECT_FALSE(b->isChecked());
        b->setChecked(true);
    }
    ClearControl(&box);
    ClearControl(&box2);
    EXPECT_FALSE(box.isChecked());
    EXPECT_TRUE(box2.isChecked()) << "the second kind is not cleared";
}

TEST(ControlValues, DateKindsLoadOnlyNonNullValuesAndOnlyTheDateEditClears)
{
    TNullableDateEdit dateEdit;
    TDatePicker picker;
    const QDate march5(2024, 3, 5);

    LoadControl(&dateEdit, march5);
    LoadControl(&picker, QDateTime(march5, QTime(18, 30))); // DATETIME columns
    EXPECT_EQ(dateEdit.text(), QStringLiteral("2024-03-05"));
    EXPECT_EQ(picker.date(), march5);
    EXPECT_EQ(textOf(&picker), QStringLiteral("2024-03-05")) << "short date text";

    LoadControl(&dateEdit, QVariant());
    LoadControl(&picker, QVariant());
    EXPECT_EQ(dateEdit.date(), march5) << "a null column leaves the date edit";
    EXPECT_EQ(picker.date(), march5) << "a null column leaves the date picker";

    ClearControl(&dateEdit);
    ClearControl(&picker);
    EXPECT_FALSE(dateEdit.date().isValid());
    EXPECT_TRUE(IsControlEmpty(&dateEdit));
    EXPECT_EQ(textOf(&dateEdit), QString());
    EXPECT_EQ(picker.date(), march5) << "the date picker is never cleared";
    EXPECT_FALSE(IsControlEmpty(&picker));

    LoadControl(&dateEdit, QStringLiteral("2024-01-31 00:00:00"));
    EXPECT_EQ(dateEdit.date(), QDate(2024, 1, 31)) << "a date arriving as text";
}

TEST(ControlValues, GetControlTextReadsSpinEditsAndLeavesOtherControlsAlone)
{
    QSpinBox spin;
    spin.setValue(42);
    EXPECT_EQ(textOf(&spin), QStringLiteral("42"));
    QLabel label(QStringLiteral("标签"));
    EXPECT_EQ(textOf(&label, QStringLiteral("keep")), QStringLiteral("keep"));
    EXPECT_TRUE(ControlTextEquals(&label, QStringLiteral("anything")));
    ClearControl(&label);
    EXPECT_EQ(label.text(), QStringLiteral("标签"));
    EXPECT_FALSE(IsControlEmpty(&label));
}

TEST(ControlValues, TextEqualityTrimsTextAndLookupEditsAndComparesCurrencyNumerically)
{
    QLineEdit text;
    text.setText(QStringLiteral("  螺栓 "));
    EXPECT_TRUE(ControlTextEquals(&text, QStringLiteral("螺栓")));
    EXPECT_FALSE(ControlTextEquals(&text, QStringLiteral("螺母")));

    TLookupEdit lookup;
    lookup.setText(QStringLiteral("A01 "));
    EXPECT_TRUE(ControlTextEquals(&lookup, QStringLiteral(" A01")));

    QPlainTextEdit memo;
    memo.setPlainText(QStringLiteral(" 说明"));
    EXPECT_FALSE(ControlTextEquals(&memo, QStringLiteral("说明"))) << "memos are compared as they stand";
    TComboBox combo;
    combo.setEditText(QStringLiteral("客户 "));
    EXPECT_FALSE(ControlTextEquals(&combo, QStringLiteral("客户")));
    EXPECT_TRUE(ControlTextEquals(&combo, QStringLiteral("客户 ")));

    TCurrencyEdit amount;
    amount.setValue(12.5);
    EXPECT_TRUE(ControlTextEquals(&amount, QStringLiteral("12.50")));
    EXPECT_TRUE(ControlTextEquals(&amount, QStringLiteral("12.5000")));
    EXPECT_FALSE(ControlTextEquals(&amount, QStringLiteral("12.51")));
    amount.clear();
    EXPECT_TRUE(ControlTextEquals(&amount, QStringLiteral("0"))) << "no value equals 0";
    EXPECT_TRUE(ControlTextEquals(&amount, QStringLiteral("0.00")));

    QCheckBox box;
    box.setChecked(true);
    EXPECT_TRUE(ControlTextEquals(&box, QStringLiteral("-1")));
    EXPECT_FALSE(ControlTextEquals(&box, QStringLiteral("0")));

    TDatePicker picker;
    picker.setDate(QDate(2024, 3, 1));
    EXPECT_TRUE(ControlTextEquals(&picker, QStringLiteral("2024-03-01")));
    EXPECT_FALSE(ControlTextEquals(&picker, QStringLiteral("2024-03-02")));
}

TEST(CurrencyEdit, ShowsTheDisplayFormat)
{
    TCurrencyEdit edit;
    struct Case { const char *format; int decimals; double value; const char *shown; };
    const Case cases[] = {
        {",0.00;-,0.00", 2, 1234567.891, "1,234,567.89"},
        {",0.00;-,0.00", 2, -1234.5, "-1,234.50"},
        {",0.00;-,0.00", 2, -0.001, "0.00"},
        {",0.000;-,0.000", 3, 0.0, "0.000"},
        {",0.000;-,0.000", 3, 999.9996, "1,000.000"},
        {",0.;-,0.", 0, 1234.6, "1,235"},
        {",0.;-,0.", 0, 0.4, "0"},
        {"0.##", 2, 3.1, "3.1"},
        {"", 2, 1234.5, "1234.50"},
    };
    for (const Case &c : cases) {
        edit.setDisplayFormat(QString::fromLatin1(c.format));
        edit.setDecimalPlaces(c.decimals);
        edit.setValue(c.value);
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.shown)) << c.format << " " << c.value;
    }
}

TEST(CurrencyEdit, TypedNumbersAreRoundedToItsDecimalsOnCommit)
{
    TCurrencyEdit edit;
    edit.setDecimalPlaces(2);
    QList<double> changed;
    QObject::connect(&edit, &TCurrencyEdit::valueChanged, [&](double v) { changed << v; });

    type(&edit, QStringLiteral("12a34.567"));
    EXPECT_EQ(edit.text(), QStringLiteral("1234.567")) << "letters are not accepted";
    EXPECT_TRUE(changed.isEmpty()) << "no change while typing";
    pressReturn(&edit);
    EXPECT_DOUBLE_EQ(edit.value(), 1234.57);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_DOUBLE_EQ(changed[0], 1234.57);

    pressReturn(&edit);
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

    type(&edit, QStringLiteral("2024-3-5"));
    pressReturn(&edit);
    EXPECT_EQ(edit.text(), QStringLiteral("2024-03-05"));
    EXPECT_EQ(edit.date(), QDate(2024, 3, 5));
    ASSERT_EQ(changed.size(), 1);

    edit.selectAll();
    type(&edit, QStringLiteral("2024-13-45"));
    pressReturn(&edit);
    EXPECT_EQ(edit.text(), QStringLiteral("2024-03-05")) << "an impossible date goes back to the last one";
    EXPECT_EQ(changed.size(), 1);

    edit.selectAll();
    type(&edit, QStringLiteral("20240229"));
    pressReturn(&edit);
    EXPECT_EQ(edit.date(), QDate(2024, 2, 29));

    edit.selectAll();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(&edit, &del);
    pressReturn(&edit);
    EXPECT_TRUE(edit.isBlank());
    EXPECT_FALSE(edit.date().isValid()) << "blank is allowed";
    ASSERT_EQ(changed.size(), 3);
    EXPECT_FALSE(changed[2].isValid());
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
    EXPECT_TRUE(opened == before || opened == after) << "a blank edit opens on today, not on "
                                                     << opened.toString(Qt::ISODate).toStdString();
    Q_EMIT edit.calendar()->clicked(QDate(2023, 12, 31));
    EXPECT_FALSE(edit.isCalendarVisible());
    EXPECT_EQ(edit.text(), QStringLiteral("2023-12-31"));

    edit.setReadOnly(true);
    edit.showCalendar();
    EXPECT_FALSE(edit.isCalendarVisible());
}

TEST(ComboBox, ReportsDropDownAndCloseUpAndStaysShutWhenReadOnly)
{
    TComboBox combo;
    combo.addItems({QStringLiteral("件"), QStringLiteral("箱")});
    combo.show();
    int dropping = 0;
    int closed = 0;
    QObject::connect(&combo, &TComboBox::aboutToDropDown, [&] { ++dropping; });
    QObject::connect(&combo, &TComboBox::closedUp, [&] { ++closed; });
    combo.showPopup();
    combo.hidePopup();
    EXPECT_EQ(dropping, 1);
    EXPECT_EQ(closed, 1);

    SetControlReadOnly(&combo, true);
    combo.showPopup();
    EXPECT_EQ(dropping, 1) << "a read-only combo does not open";
    EXPECT_TRUE(combo.lineEdit()->isReadOnly());
}
