#pragma once

#include "comm/comm_kinds.h"
#include "core/local_dataset.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace protask {

// The lookup dialog of one data kind: a search box over number, name and mnemonic code, a
// read-only table of the rows that match, OK and Cancel. The rows are read once and filtered
// in memory as the user types. Every step runs without exec(): query(), setSearchText(),
// selection through the table, accept() / reject(), then storeChoice().
class TCommLookupDialog : public QDialog {
    Q_OBJECT
public:
    TCommLookupDialog(const CommKind &kind, bool severalRecords, QWidget *parent = nullptr);

    // Reads the kind's rows on the data module's connection. Throws DbError.
    void query();
    void setSearchText(const QString &text);
    // The IDs and names of the selected rows, top to bottom.
    QList<int> selectedIds() const;
    QStringList selectedNames() const;
    // Leaves the chosen IDs, comma-separated, in nvDMBase::lookup.text1 and the first name in
    // text2; false, changing nothing, when no row is selected.
    bool storeChoice() const;

    // OK, double-click and Enter: closes only with a row selected.
    void accept() override;

private:
    void filter(const QString &typed);
    QList<int> selectedRows() const;

    const CommKind &m_kind;
    TLocalDataSet m_rows;
    QStringList m_fields;
    QLineEdit *m_search;
    QTableView *m_table;
    QStandardItemModel *m_model;
    QPushButton *m_ok;
};

} // namespace protask
