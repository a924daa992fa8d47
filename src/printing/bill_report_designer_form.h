#pragma once

#include <QDialog>
#include <QStringList>

namespace protask {

namespace report {
class TReportDesigner;
}

// The template designer form: edits the template the print form has loaded and saves it
// back over the file, keeping the file as it was before the first save as the backup that
// the print form restores from. Modal result 1 after a save, 2 after close.
class TFBaseForm_BillReport_Designer : public QDialog {
    Q_OBJECT
public:
    TFBaseForm_BillReport_Designer(QWidget *parent, quint32 mainHandle);
    ~TFBaseForm_BillReport_Designer() override;

    quint32 FMainHandle = 0;
    QString FTemplaceDirFileName;
    QString FTemplaceFileName;
    QString FTempDir; // backup folder under Reports/; "BillBak" when empty

    // Notifies the host, takes the work area and loads the template; false when it does not
    // load (the reason was shown).
    bool FormShow(const QStringList &fields = {});
    void SaveTemplate();
    void CloseDesigner();
    report::TReportDesigner *designer() const { return m_designer; }

private:
    report::TReportDesigner *m_designer = nullptr;
};

} // namespace protask
