#pragma once

#include "comm/comm_kinds.h"

#include <QDialog>

namespace protask {

// One record of a data kind, read-only: every column of its row as "column name: value",
// and OK. load() runs without exec().
class TCommRecordDialog : public QDialog {
    Q_OBJECT
public:
    explicit TCommRecordDialog(const CommKind &kind, QWidget *parent = nullptr);

    // Reads the row and lists its columns; false, listing nothing, when there is no such
    // record. Throws DbError.
    bool load(int recordId);

private:
    const CommKind &m_kind;
};

} // namespace protask
