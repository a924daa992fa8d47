#include "controls/lookup_lists.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <optional>

namespace protask {

namespace {

// Replaces the combo's items. The text in its edit is the user's typing (or a choice just made
// from the list) and must survive the refill: it is restored, or replaced by newText.
void setItems(QComboBox *combo, const QStringList &items, const std::optional<QString> &newText = std::nullopt)
{
    QLineEdit *edit = combo->lineEdit();
    const QString oldText = combo->currentText();
    const int cursor = edit ? edit->cursorPosition() : 0;
    const QString text = newText.value_or(oldText);

    const QSignalBlocker blockCombo(combo);
    const QSignalBlocker blockEdit(edit);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    if (combo->isEditable()) {
        combo->setEditText(text);
        if (edit)
            edit->setCursorPosition(newText ? static_cast<int>(text.size())
                                            : qMin(cursor, static_cast<int>(text.size())));
    } else {
        combo->setCurrentIndex(combo->findText(text));
    }
}

bool filterAndList(TLocalDataSet &dataset, QComboBox *combo, const QString &valueField, const QString &expression,
                   const std::optional<QString> &newText)
{
    if (!dataset.isActive() || !combo)
        return false;
    dataset.setFiltered(false);
    dataset.setFilter(expression);
    dataset.setFiltered(true);
    setItems(combo, dataset.fieldTexts(valueField), newText);
    return true;
}

} // namespace

bool FilterLookupList(TLocalDataSet &dataset, QComboBox *combo, const QString &valueField, const QString &typed,
                      const QString &field1, const QString &field2, const QString &field3, LookupComboText text)
{
    QString expression = LookupFilterExpression(typed, {field1, field2, field3});
    if (text == LookupComboText::WriteTyped) {
        if (expression.isEmpty())
            expression = QStringLiteral(" ");
        return filterAndList(dataset, combo, valueField, expression, typed);
    }
    return filterAndList(dataset, combo, valueField, expression, std::nullopt);
}

bool FilterLookupList(TLocalDataSet &dataset, QComboBox *combo, const QString &valueField, const QString &typed,
                      const QString &field)
{
    return filterAndList(dataset, combo, valueField, LookupFilterExpression(typed, {field}), std::nullopt);
}

bool FillLookupList(QComboBox *combo, const QString &field, TLocalDataSet &dataset, const QString &firstItem)
{
    if (!combo)
        return false;
    dataset.refresh();
    dataset.setFiltered(false);
    dataset.setFilter(QString());
    if (dataset.isEmpty() && firstItem.isEmpty())
        return false;
    QStringList items;
    if (!firstItem.isEmpty())
        items.append(firstItem);
    items += dataset.fieldTexts(field);
    setItems(combo, items);
    return true;
}

bool FillLookupList(QComboBox *combo, const QString &field, TLocalDataSet &dataset, const LookupFilter &filter)
{
    if (!combo)
        return false;
    dataset.refresh();
    dataset.setFiltered(false);
    dataset.setFilter(filter.expression);
    dataset.setFiltered(true);
    if (dataset.isEmpty())
        return false;
    setItems(combo, dataset.fieldTexts(field));
    return true;
}

} // namespace protask
