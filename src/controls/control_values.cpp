#include "controls/control_values.h"

#include "controls/controls.h"
#include "core/values.h"
#include "platform/db.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cmath>

namespace protask {

namespace {

const QString kShortDateFormat = QStringLiteral("yyyy-MM-dd");

QString memoText(QWidget *control)
{
    if (auto *p = qobject_cast<QPlainTextEdit *>(control))
        return p->toPlainText();
    if (auto *t = qobject_cast<QTextEdit *>(control))
        return t->toPlainText();
    return QString();
}

QDate columnDate(const QVariant &v)
{
    if (v.typeId() == QMetaType::QString)
        return TNullableDateEdit::parseDate(v.toString().left(10));
    return v.toDate();
}

// A number typed or shown in a control: grouping commas are ignored.
bool readNumber(const QString &text, double &number)
{
    QString plain = text.trimmed();
    plain.remove(u',');
    if (plain.isEmpty()) {
        number = 0.0;
        return true;
    }
    bool ok = false;
    number = plain.toDouble(&ok);
    return ok;
}

} // namespace

ControlKind ControlKindOf(const QWidget *control)
{
    if (!control)
        return ControlKind::Other;
    // Subclasses before the Qt classes they derive from.
    if (qobject_cast<const TTreeLookup *>(control))
        return ControlKind::TreeLookup;
    if (qobject_cast<const TLookupEdit *>(control))
        return ControlKind::Lookup;
    if (qobject_cast<const TCurrencyEdit *>(control))
        return ControlKind::Currency;
    if (qobject_cast<const TNullableDateEdit *>(control))
        return ControlKind::DateEdit;
    if (qobject_cast<const QLineEdit *>(control))
        return ControlKind::Text;
    if (qobject_cast<const QPlainTextEdit *>(control) || qobject_cast<const QTextEdit *>(control))
        return ControlKind::Memo;
    if (qobject_cast<const QComboBox *>(control))
        return ControlKind::Combo;
    if (qobject_cast<const TCheckBox2 *>(control))
        return ControlKind::CheckBox2;
    if (qobject_cast<const QCheckBox *>(control))
        return ControlKind::CheckBox;
    if (qobject_cast<const QDateTimeEdit *>(control))
        return ControlKind::DatePicker;
    if (qobject_cast<const QAbstractSpinBox *>(control))
        return ControlKind::SpinEdit;
    return ControlKind::Other;
}

void ClearControl(QWidget *control)
{
    switch (ControlKindOf(control)) {
    case ControlKind::Text: static_cast<QLineEdit *>(control)->clear(); break;
    case ControlKind::Memo:
        if (auto *p = qobject_cast<QPlainTextEdit *>(control))
            p->clear();
        else
            static_cast<QTextEdit *>(control)->clear();
        break;
    case ControlKind::Lookup: static_cast<TLookupEdit *>(control)->clearLookup(); break;
    case ControlKind::Combo: {
        auto *c = static_cast<QComboBox *>(control);
        c->setCurrentIndex(-1);
        if (c->isEditable())
            c->clearEditText();
        break;
    }
    case ControlKind::CheckBox: static_cast<QCheckBox *>(control)->setChecked(false); break;
    case ControlKind::TreeLookup: static_cast<TTreeLookup *>(control)->clearNode(); break;
    case ControlKind::Currency: static_cast<TCurrencyEdit *>(control)->setValue(0.0); break;
    case ControlKind::DateEdit: static_cast<TNullableDateEdit *>(control)->setDate(QDate()); break;
    case ControlKind::CheckBox2:
    case ControlKind::DatePicker:
    case ControlKind::SpinEdit:
    case ControlKind::Other: break;
    }
}

void LoadControl(QWidget *control, const QVariant &columnValue)
{
    const bool isNull = !columnValue.isValid() || columnValue.isNull();
    const QString text = isNull ? QString() : columnValue.toString();
    switch (ControlKindOf(control)) {
    case ControlKind::Text:
    case ControlKind::Lookup: static_cast<QLineEdit *>(control)->setText(text); break;
    case ControlKind::Memo:
        if (auto *p = qobject_cast<QPlainTextEdit *>(control))
            p->setPlainText(text);
        else
            static_cast<QTextEdit *>(control)->setPlainText(text);
        break;
    case ControlKind::Combo: {
        auto *c = static_cast<QComboBox *>(control);
        if (c->isEditable())
            c->setEditText(text);
        else
            c->setCurrentIndex(c->findText(text));
        break;
    }
    case ControlKind::CheckBox:
    case ControlKind::CheckBox2: static_cast<QCheckBox *>(control)->setChecked(ValueIsTrue(columnValue)); break;
    case ControlKind::Currency: static_cast<TCurrencyEdit *>(control)->setValue(ValueToFloat(columnValue)); break;
    case ControlKind::TreeLookup: static_cast<TTreeLookup *>(control)->selectNode(text); break;
    case ControlKind::DateEdit:
        if (!isNull)
            static_cast<TNullableDateEdit *>(control)->setDate(columnDate(columnValue));
        break;
    case ControlKind::DatePicker:
        if (!isNull) {
            const QDate d = columnDate(columnValue);
            if (d.isValid())
                static_cast<QDateTimeEdit *>(control)->setDate(d);
        }
        break;
    case ControlKind::SpinEdit:
    case ControlKind::Other: break;
    }
}

bool IsControlEmpty(QWidget *control)
{
    switch (ControlKindOf(control)) {
    case ControlKind::Text: return static_cast<QLineEdit *>(control)->text().isEmpty();
    case ControlKind::Memo: return memoText(control).isEmpty();
    case ControlKind::Lookup: return static_cast<QLineEdit *>(control)->text().trimmed().isEmpty();
    case ControlKind::Combo: return static_cast<QComboBox *>(control)->currentText().isEmpty();
    case ControlKind::Currency: return static_cast<TCurrencyEdit *>(control)->value() == 0.0;
    case ControlKind::TreeLookup: return !static_cast<TTreeLookup *>(control)->hasNode();
    case ControlKind::DateEdit: return static_cast<TNullableDateEdit *>(control)->text().trimmed().isEmpty();
    case ControlKind::CheckBox:
    case ControlKind::CheckBox2:
    case ControlKind::DatePicker:
    case ControlKind::SpinEdit:
    case ControlKind::Other: return false;
    }
    return false;
}

void GetControlText(QWidget *control, QString &text)
{
    switch (ControlKindOf(control)) {
    case ControlKind::DatePicker:
        text = static_cast<QDateTimeEdit *>(control)->date().toString(kShortDateFormat);
        break;
    case ControlKind::Text:
    case ControlKind::Lookup:
    case ControlKind::DateEdit: text = static_cast<QLineEdit *>(control)->text(); break;
    case ControlKind::Combo: text = static_cast<QComboBox *>(control)->currentText(); break;
    case ControlKind::TreeLookup: text = static_cast<TTreeLookup *>(control)->nodeText(); break;
    case ControlKind::SpinEdit: text = static_cast<QAbstractSpinBox *>(control)->text(); break;
    case ControlKind::Memo: text = memoText(control); break;
    case ControlKind::CheckBox:
    case ControlKind::CheckBox2:
        text = static_cast<QCheckBox *>(control)->isChecked() ? QStringLiteral("-1") : QStringLiteral("0");
        break;
    case ControlKind::Currency: {
        auto *c = static_cast<TCurrencyEdit *>(control);
        text = c->text().isEmpty() ? QStringLiteral("0") : sqlNumber(c->value());
        break;
    }
    case ControlKind::Other: break;
    }
}

bool ControlTextEquals(QWidget *control, const QString &text)
{
    QString current = text;
    GetControlText(control, current);
    switch (ControlKindOf(control)) {
    case ControlKind::Text:
    case ControlKind::Lookup: return current.trimmed() == text.trimmed();
    case ControlKind::Currency: {
        double a = 0.0;
        double b = 0.0;
        if (readNumber(current, a) && readNumber(text, b))
            return std::fabs(a - b) <= 1e-9 * qMax(1.0, qMax(std::fabs(a), std::fabs(b)));
        return current == text;
    }
    default: return current == text;
    }
}

void SetControlReadOnly(QWidget *control, bool readOnly)
{
    switch (ControlKindOf(control)) {
    case ControlKind::Lookup: {
        auto *e = static_cast<TLookupEdit *>(control);
        e->setReadOnly(readOnly);
        e->setButtonVisible(0, !readOnly);
        break;
    }
    case ControlKind::Text:
    case ControlKind::Currency:
    case ControlKind::DateEdit: static_cast<QLineEdit *>(control)->setReadOnly(readOnly); break;
    case ControlKind::Memo:
        if (auto *p = qobject_cast<QPlainTextEdit *>(control))
            p->setReadOnly(readOnly);
        else
            static_cast<QTextEdit *>(control)->setReadOnly(readOnly);
        break;
    case ControlKind::TreeLookup: control->setEnabled(!readOnly); break;
    case ControlKind::Combo:
        if (auto *t = qobject_cast<TComboBox *>(control))
            t->setReadOnly(readOnly);
        else
            control->setEnabled(!readOnly);
        break;
    case ControlKind::DatePicker:
    case ControlKind::SpinEdit: static_cast<QAbstractSpinBox *>(control)->setReadOnly(readOnly); break;
    case ControlKind::CheckBox:
    case ControlKind::CheckBox2:
        // A check box has no read-only mode of its own.
        control->setEnabled(!readOnly);
        break;
    case ControlKind::Other: break;
    }
}

} // namespace protask
