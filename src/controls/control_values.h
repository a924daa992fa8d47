#pragma once

// The per-kind adapter between header controls and column values. The header binding visits
// the "edt_" controls and calls these without knowing their kinds.

#include <QString>
#include <QVariant>

class QWidget;

namespace protask {

enum class ControlKind {
    Other,
    Text,       // QLineEdit
    Memo,       // QPlainTextEdit, QTextEdit
    Lookup,     // TLookupEdit
    Combo,      // QComboBox, TComboBox
    CheckBox,   // QCheckBox
    CheckBox2,  // TCheckBox2
    Currency,   // TCurrencyEdit
    DateEdit,   // TNullableDateEdit
    DatePicker, // TDatePicker, any QDateTimeEdit
    SpinEdit,   // other QAbstractSpinBox
    TreeLookup, // TTreeLookup
};

ControlKind ControlKindOf(const QWidget *control);

// Clears a control to its kind's blank state: text, memo and combo empty; lookup edit empty
// with stored value "0"; check box unchecked; currency edit 0; date edit blank. The second
// check-box kind and the date picker keep their values.
void ClearControl(QWidget *control);
// Loads a column value: texts as text, check boxes as a flag, the currency edit as a number;
// the date kinds only when the value is not null.
void LoadControl(QWidget *control, const QVariant &columnValue);
// The mandatory-field test: text kinds when empty (the lookup edit after trimming), the currency
// edit at 0, the date edit when blank. Check boxes and the date picker are never empty.
bool IsControlEmpty(QWidget *control);

// The control's value as text, the way changes of header fields are detected: the date picker
// as yyyy-MM-dd, check boxes "-1" or "0", the currency edit "0" when its text is empty and its
// value otherwise, the other editors their displayed text (the memo all its lines). A control of
// any other kind leaves the text unchanged.
void GetControlText(QWidget *control, QString &text);
// False when the control's value, taken as GetControlText takes it, differs from the text.
// Text and lookup edits compare trimmed texts; the currency edit compares numbers.
bool ControlTextEquals(QWidget *control, const QString &text);

// Locks or unlocks a control for editing. A locked lookup edit also hides its first button.
void SetControlReadOnly(QWidget *control, bool readOnly);

} // namespace protask
