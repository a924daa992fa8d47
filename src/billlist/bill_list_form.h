#pragma once

#include "billlist/model/list_actions.h"
#include "billlist/model/list_query.h"
#include "platform/db.h"
#include "platform/forms/base_form.h"

#include <QHash>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolBar;

namespace protask {

class TDatePicker;
class TGridView;

// The list window of one bill type: the bills as a read-only grid and the actions on them. The
// bill service creates it and keeps it in the list slot. The statement, the guards, the row
// states and the actions are the list model's; the form shows them and asks the host to open
// the editor.
class TFBaseForm_BillList : public TFBaseForm {
    Q_OBJECT
    Q_PROPERTY(int FBillTypeID MEMBER FBillTypeID)
    Q_PROPERTY(uint FMainHandle MEMBER FMainHandle)
    Q_PROPERTY(int focusCount READ focusCount)

public:
    TFBaseForm_BillList(QObject *owner, qint32 sheetHandle);

    int FBillTypeID = 0;
    quint32 FMainHandle = 0;
    bool FIsSetDefined = false;
    QString FRightPre;
    QString FormTableSQL;
    QString FormTableName;
    QString ListTableName;
    QString FormFindText;

    // Brings the list forward (the host's focus request): refresh, then the action states.
    void SetCursorFocus();
    int focusCount() const { return m_focusCount; }

    // The actions, as the tool bar, the keys and the grid run them.
    void runListAction(ListAction action);
    // "查询(&F)": the find box, the checked state and the dates.
    void Find();
    // Re-runs the list, keeping the current bill.
    void Refresh();
    // Writes the grid as shown to an Excel workbook; the export action asks for the path.
    bool ExportTo(const QString &path);

    TGridView *grid() const { return GTVList; }
    QAction *action(ListAction a) const { return m_actions.value(a); }
    int currentRow() const;
    void setCurrentRow(int row);
    const ListContext &context() const { return m_context; }

protected:
    void FormShow() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBar();
    void buildFilters();
    void openList(int keepBillId = 0);
    void fillGrid();
    void UpdateActionStates();
    ListRow rowAt(int row) const;
    void send(const ListHostRequest &request);
    void exportOut();
    // Print (1) or preview (2) of the list's current statement through the print form.
    void printList(int printOrPreview);
    void runGuarded(const std::function<void()> &work);

    QToolBar *m_toolBar = nullptr;
    QLabel *lblCaption = nullptr;
    QComboBox *cbbCheck = nullptr;
    QLineEdit *edt_Find = nullptr;
    QComboBox *cxComboBox1 = nullptr;
    TDatePicker *dtp_Begin = nullptr;
    TDatePicker *dtp_End = nullptr;
    TGridView *GTVList = nullptr;
    QHash<ListAction, QAction *> m_actions;
    ListContext m_context;
    ListFind m_find;
    TDataSet qryList;
    QString m_title;
    int m_focusCount = 0;
};

} // namespace protask
