#pragma once

#include <QWidget>

#include <memory>

class QPrinter;
class QPrintPreviewWidget;

namespace protask::report {

class TReport;

// The print viewer: the report's pages in Qt's preview widget on a printer set to the
// template's paper, with print (with or without the print dialog), page setup and zoom.
class TReportPreview : public QWidget {
    Q_OBJECT
public:
    explicit TReportPreview(QWidget *parent = nullptr);
    ~TReportPreview() override;

    // The report stays the caller's; null stops the viewer.
    void setReport(const TReport *report);
    const TReport *report() const { return m_report; }
    // Paper from the template, then the pages painted again.
    void start();
    void stop() { m_report = nullptr; }
    void refresh();
    int pageCount() const;

    void zoomIn();
    void zoomOut();
    void fitWidth();
    void fitHeight();
    double zoomFactor() const;

    // Prints the report. Without any printer on the system the output goes to a PDF file
    // (`pdfFallback`); the dialog then offers that file as its printer. False when the user
    // cancels or printing fails.
    bool print(bool showDialog, const QString &pdfFallback);
    // The page setup dialog on the viewer's printer; true when the user accepted it.
    bool pageSetup();
    QPrinter *printer() const { return m_printer.get(); }

private:
    void applyPaper();

    const TReport *m_report = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget *m_view = nullptr;
};

} // namespace protask::report
