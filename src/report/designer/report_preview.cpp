#include "report/designer/report_preview.h"

#include "report/report.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>

namespace protask::report {

TReportPreview::TReportPreview(QWidget *parent)
    : QWidget(parent), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    // The template places everything from the paper's corner; the printer must not add its
    // own margins on top.
    m_printer->setFullPage(true);
    m_view = new QPrintPreviewWidget(m_printer.get(), this);
    m_view->setObjectName(QStringLiteral("GRPrintViewerMain"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *printer) {
        if (m_report)
            m_report->render(*printer);
    });
}

TReportPreview::~TReportPreview() = default;

void TReportPreview::setReport(const TReport *report) { m_report = report; }

void TReportPreview::applyPaper()
{
    if (!m_report)
        return;
    const TReportTemplate &t = m_report->reportTemplate();
    const bool landscape = t.paperWidth > t.paperHeight;
    const QSizeF size = landscape ? QSizeF(t.paperHeight, t.paperWidth) : QSizeF(t.paperWidth, t.paperHeight);
    m_printer->setPageLayout(QPageLayout(QPageSize(size, QPageSize::Millimeter),
                                         landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

void TReportPreview::start()
{
    applyPaper();
    refresh();
}

void TReportPreview::refresh() { m_view->updatePreview(); }

int TReportPreview::pageCount() const { return m_view->pageCount(); }

void TReportPreview::zoomIn() { m_view->zoomIn(); }
void TReportPreview::zoomOut() { m_view->zoomOut(); }
void TReportPreview::fitWidth() { m_view->fitToWidth(); }
void TReportPreview::fitHeight() { m_view->fitInView(); }
double TReportPreview::zoomFactor() const { return m_view->zoomFactor(); }

bool TReportPreview::print(bool showDialog, const QString &pdfFallback)
{
    if (!m_report)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(m_printer->pageLayout());
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFallback);
    } else {
        printer.setPrinterName(m_printer->printerName());
    }
    if (showDialog) {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    return m_report->render(printer);
}

bool TReportPreview::pageSetup()
{
    QPageSetupDialog dialog(m_printer.get(), this);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace protask::report
