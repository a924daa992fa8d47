#pragma once

#include "platform/forms/base_form.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class QVBoxLayout;

namespace protask {

class TGridModel;
class TGridView;

// The generic bill editor: a header of named editor controls ("edt_" + column, captions
// "lbl_" + column, flags in the dynamic property "tag": bit 0 mandatory, bit 3 always
// read-only) above a line grid whose columns are "R_" + column, and a tool bar of actions.
// A subclass names the tables, builds the load statements and fills in the operations below;
// the base binds the controls to the columns by name and runs the editing states.
class TFBaseForm_BillBase : public TFBaseForm {
    Q_OBJECT
    Q_PROPERTY(int FBillTypeID MEMBER FBillTypeID)
    Q_PROPERTY(int FBillStatusID MEMBER FBillStatusID)
    Q_PROPERTY(int FBillID MEMBER FBillID)
    Q_PROPERTY(uint FMainHandle MEMBER FMainHandle)
    Q_PROPERTY(int FParamTypeID MEMBER FParamTypeID)
    Q_PROPERTY(QString FParamValue MEMBER FParamValue)
    Q_PROPERTY(bool FSave MEMBER FSave)
    Q_PROPERTY(QString FBillCaption MEMBER FBillCaption)

public:
    TFBaseForm_BillBase(QObject *owner, qint32 sheetHandle);

    int S_LineEx = 20;
    int FPriceDecimalPlaces = 2;
    int FNumberDecimalPlaces = 2;
    int FAmountDecimalPlaces = 2;
    QString FPriceDisplayFormat;
    QString FNumberDisplayFormat;
    QString FAmountDisplayFormat;
    bool InitType = false;
    QString FRightPre;
    QString FFormTableName;
    QString FListTableName;
    QString FSQLForm;
    QString FSQLList;
    QString R_KeyID = QStringLiteral("R_FProductName");
    QString R_Number = QStringLiteral("R_FNumber");
    QString R_Price = QStringLiteral("R_FPrice");
    TGridModel *FDC = nullptr;
    QString FBillCaption;
    int FBillPrintStyle = 1;
    bool FCanSaveType = true;
    bool GTVListIsNoNull = true;
    bool FButtonEditChangeValue = false;
    QString FOldValue;
    int FReturn = 0;
    QString FBillTypeNo;
    int FBillID = 0;
    int FBillStatusID = 1; // 1 new bill, 2 saved and unchecked, 3 checked (or locked)
    int FBillTypeID = 0;
    int FBillTableTypeID = 0;
    quint32 FMainHandle = 0;
    bool FSave = false;
    int FParamTypeID = 0;
    QString FParamValue;

    // The forced reload of the bill service: clears the form and loads bill FBillID.
    void ForceLoadData();
    void SetEditState(int state);
    void SetModified();
    bool CanSave();
    void RefreshCheckState();
    int FindClientID(int kind, QWidget *editor);
    void OpenClientReport(int kind, int clientId, QWidget *editor, int reportCode);

    // The last state entered (0 before the first).
    int editState() const { return m_editState; }
    TGridView *grid() const { return GTVList; }
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *action(const QString &name) const;
    // The header's "edt_" controls in creation order.
    QList<QWidget *> headerControls() const;
    QWidget *headerControl(const QString &field) const;
    QLabel *headerLabel(const QString &field) const;

protected:
    // The template operations, in slot order.
    virtual bool CheckHeaderFields();
    virtual bool CheckHeaderExtra() { return true; }
    virtual bool CheckLines();
    virtual void LoadHeaderControls();
    virtual void AfterHeaderLoaded() {}
    virtual void LoadLines();
    virtual void PrepareLoad() {}
    virtual void AfterDataLoaded() {}
    virtual void ApplyColumnOptions() {}
    virtual void StateChanged(int) {}
    virtual void ApplyFieldCaptions() {}

    // The form-show action: captions, cleared header, blank numbered grid rows, the saved
    // layout. Subclasses add to it.
    virtual void FormShowAction();
    // The whole start-up when the form is first shown.
    void FormShow() override;
    virtual void FormStartup();
    bool canCloseForm() override;

    // Actions the line-item editor fills in.
    virtual void NewBill() {}
    virtual void SaveBill() {}
    virtual void SaveAndNew() {}
    virtual void CheckBillAction() {}
    virtual void UncheckBillAction() {}
    virtual void HelpAction();
    virtual void PrintAction();
    virtual void PreviewAction();

    void ClearHeaderControls();
    // Fills the grid from the rows of a statement by the "R_" column names, from the first row
    // on, growing the grid by a row for each line beyond it.
    void LoadRows(const QString &sql);
    void ResetGridRows(int rows);
    void RenumberLines();
    void InsertLine();
    void AppendLine();
    void DeleteLine();
    void ClearLine();
    void ChoosePrintStyle(int style);
    // Print (1) or preview (2) through the print form, then the log row.
    void printBill(int printOrPreview);
    void MakeVoucher();
    // The caption settings of this bill type; the captions and columns again when they changed.
    void FieldSettings();
    void ShowVoucher();
    void SendBillList();
    void CloseBill();

    // Runs a user action on a live connection; a server error reaches the user as an error.
    void runAction(const std::function<void()> &action);

    bool isChecked() const { return FBillStatusID == 3; }
    void setLineToolsEnabled(bool enabled);
    QAction *makeAction(const QString &name, const QString &caption, const QKeySequence &key = {});
    bool eventFilter(QObject *watched, QEvent *event) override;

    QVBoxLayout *m_mainLayout = nullptr;
    QToolBar *m_toolBar = nullptr;
    QLabel *m_captionLabel = nullptr;
    QWidget *m_header = nullptr;
    QWidget *m_bottom = nullptr;
    TGridView *GTVList = nullptr;
    QLabel *lbl_FIsCloseAcc = nullptr;
    QLabel *lbl_FIsCreateVoucher = nullptr;
    QMenu *m_printStyleMenu = nullptr;
    QList<QAction *> m_printStyles;
    QList<QToolButton *> m_lineButtons;

private:
    void buildToolBar();
    void lockControls(bool all);
    void unlockControls();
    void applyToolBarVisibility();
    void markMandatoryLabels();
    void headerEntered(QWidget *control);
    void headerLeft(QWidget *control);

    int m_editState = 0;
    bool m_started = false;
};

} // namespace protask
