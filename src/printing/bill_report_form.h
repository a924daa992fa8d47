#pragma once

#include "report/report.h"

#include <QDialog>
#include <QMap>

class QAction;
class QFrame;
class QToolBar;

namespace protask {

namespace report {
class TReportPreview;
}

// The print form: picks and loads the template of a bill type, list mode and print style,
// fills its parameters and data, and shows the viewer with its tool bar, or prints at once.
// Modal; its work (FormShow, the actions) runs without exec() for the tests.
class TFBaseForm_BillReport : public QDialog {
    Q_OBJECT
public:
    TFBaseForm_BillReport(QWidget *parent, quint32 mainHandle);
    ~TFBaseForm_BillReport() override;

    bool FAppendBlankRow = false;
    quint32 FMainHandle = 0;
    QString FTemplaceDirFileName;
    QString FTemplaceFileName;
    QString CompanyName, CompanyTel, CompanyAddr;
    QString FSQL;
    bool FBillList = false;
    int FPrintStyle = 1;
    bool FMultiPrint = false;
    // Kept for the callers; the engine always starts each print job on a new sheet.
    bool FContinuePrint = false;
    QString FMultiBillID;
    int FBillTypeID = 0;
    int FBillID = 0;
    int FPrintOrPreview = 2;

    // The show steps: notify the host, take the work area, load the report, and in print
    // mode print. False when the report did not load (the form then closes itself).
    bool FormShow();
    bool LoadReport();

    void PrintReport();
    void PageSetup();
    // Opens the designer on the loaded template; a save there (modal result 1) reloads.
    void DesignTemplate();
    void DesignerClosed(int modalResult);
    void ToggleBlankRows();
    void CompanyRefresh();
    // Exports into the program folder under the window caption; the file's path, or empty
    // when the export failed (the reason was shown) or was cancelled in its options. Images
    // are one file per page unless the options ask for one long image.
    QString ExportReport(report::ExportType type);

    QAction *action(const QString &name) const { return m_actions.value(name); }
    report::TReport &report() { return m_report; }
    report::TReportPreview *viewer() const { return m_viewer; }
    bool hintBarShown() const;
    // Tests keep exported files closed, skip the export options and print without the dialog.
    void setOpenExportedFiles(bool on) { m_openExported = on; }
    void setExportOptionsShown(bool on) { m_exportOptions = on; }
    void setPrintDialogShown(bool on) { m_printDialog = on; }

private:
    void buildUi();
    void readCompany();
    void applyParameters();
    void setBlankRowCaption();
    void closeSoon();

    report::TReport m_report;
    report::TReportPreview *m_viewer = nullptr;
    QToolBar *m_toolBar = nullptr;
    QFrame *m_hintBar = nullptr;
    QMap<QString, QAction *> m_actions;
    bool m_openExported = true;
    bool m_exportOptions = true;
    bool m_printDialog = true;
};

// Creates the print form, shows it modally and frees it. `printOrPreview` 1 prints at once,
// 2 shows the viewer.
void ShowBillReport(quint32 hostWindow, int billType, int billId, bool continuePrint, int printStyle,
                    const QString &listSql, bool listMode, int printOrPreview);

} // namespace protask
