#pragma once

#include "platform/forms/base_form.h"

#include <QString>

class QLabel;
class QTableView;
class QStandardItemModel;
class QVBoxLayout;
class QGridLayout;

namespace protask {

// The generic bill editor: a header of named editor controls ("edt_" + column, labels
// "lbl_" + column) above a line grid. A subclass names the tables and builds the load
// statements; the base binds header controls to the columns of the header query by name.
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

    // Fields the bill service writes before the form is shown.
    int FBillTypeID = 0;
    int FBillStatusID = 1; // 1 new bill, 2 saved and unchecked, 3 checked
    int FBillID = 0;
    quint32 FMainHandle = 0;
    int FParamTypeID = 0;
    QString FParamValue;
    bool FSave = false;

    QString FBillCaption;
    QString FBillTypeNo;
    int FBillTableTypeID = 0;
    QString FFormTableName;
    QString FListTableName;
    QString FSQLForm;
    QString FSQLList;
    bool InitType = false;

    // Clears the form and loads bill FBillID (the bill service's forced reload).
    void ForceLoadData();

protected:
    // The start-up sequence, run once when the form is first shown.
    void FormShow() override;
    virtual void FormStartup();
    // Builds FSQLForm and FSQLList for FBillID.
    virtual void PrepareLoad() {}
    virtual void LoadHeaderControls();
    virtual void AfterHeaderLoaded() {}
    virtual void AfterDataLoaded() {}
    void ClearHeaderControls();

    QVBoxLayout *m_mainLayout = nullptr;
    QLabel *m_captionLabel = nullptr;
    QWidget *m_header = nullptr;
    QGridLayout *m_headerLayout = nullptr;
    QTableView *m_grid = nullptr;
    QStandardItemModel *m_gridModel = nullptr;
};

} // namespace protask
