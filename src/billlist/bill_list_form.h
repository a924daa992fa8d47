#pragma once

#include "platform/forms/base_form.h"

class QLabel;
class QTableView;
class QStandardItemModel;

namespace protask {

// The list window of one bill type: the bills as a read-only grid and the actions
// on them. The bill service creates it and keeps it in the list slot.
class TFBaseForm_BillList : public TFBaseForm {
    Q_OBJECT
    Q_PROPERTY(int FBillTypeID MEMBER FBillTypeID)
    Q_PROPERTY(uint FMainHandle MEMBER FMainHandle)
public:
    TFBaseForm_BillList(QObject *owner, qint32 sheetHandle);

    int FBillTypeID = 0;
    quint32 FMainHandle = 0;

    // Brings the list forward (the host's focus request).
    void SetCursorFocus();
    // How many times the list took the focus (read by the host's tests through the property).
    Q_PROPERTY(int focusCount READ focusCount)
    int focusCount() const { return m_focusCount; }

protected:
    void FormShow() override;

private:
    QLabel *m_caption = nullptr;
    QTableView *m_grid = nullptr;
    QStandardItemModel *m_model = nullptr;
    int m_focusCount = 0;
};

} // namespace protask
