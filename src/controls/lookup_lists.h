#pragma once

// The drop-down lists of the lookup combos (header lookups, product, number and unit cells):
// refilled from a dataset held in memory as the user types, without going back to the server.

#include "core/local_dataset.h"

#include <QString>
#include <QStringList>

class QComboBox;

namespace protask {

// Whether FilterLookupList writes the typed text back into the combo.
enum class LookupComboText { WriteTyped, Keep };

// A filter expression for FillLookupList, in place of a first item.
struct LookupFilter {
    QString expression;
};

// Filters the dataset on the typed text in up to three fields and lists the valueField of the
// remaining rows in the combo. With WriteTyped the combo's text becomes the typed text and blank
// typed text sets the filter " "; with Keep the combo's text stays and blank typed text sets an
// empty filter. Either way blank typed text lists every row. False when the dataset is not open.
bool FilterLookupList(TLocalDataSet &dataset, QComboBox *combo, const QString &valueField, const QString &typed,
                      const QString &field1, const QString &field2, const QString &field3,
                      LookupComboText text = LookupComboText::WriteTyped);
// The same on one field, keeping the combo's text.
bool FilterLookupList(TLocalDataSet &dataset, QComboBox *combo, const QString &valueField, const QString &typed,
                      const QString &field);

// Reads the dataset again, clears its filter and lists the field of all its rows, after the first
// item when one is given. An empty dataset without a first item leaves the list as it was and
// answers false.
bool FillLookupList(QComboBox *combo, const QString &field, TLocalDataSet &dataset,
                    const QString &firstItem = QString());
// Reads the dataset again, applies the filter and lists the field of the rows that pass; when
// none pass the list stays as it was and the answer is false.
bool FillLookupList(QComboBox *combo, const QString &field, TLocalDataSet &dataset, const LookupFilter &filter);

} // namespace protask
