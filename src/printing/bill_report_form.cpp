#include "printing/bill_report_form.h"

#include "core/sql_helpers.h"
#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "printing/bill_report_designer_form.h"
#include "printing/bill_report_load.h"
#include "printing/print_setup.h"
#include "report/designer/export_options.h"
#include "report/designer/report_preview.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace protask {

namespace {

constexpr int kRetailBill = 3005;

struct ActionRow {
    const char *name;
    const char *caption;
};

// The viewer's tool bar, in its order.
const ActionRow kActions[] = {
    {"actPrint", "打印"},          {"actPageSetup", "页面设置"},
    {"actZoomIn", "放大"},         {"actZoomOut", "缩小"},
    {"actFitHeight", "适应高度"},  {"actFitWidth", "适应宽度"},
    {"actDesign", "模板设计"},     {"actBlankRow", "打印空白行"},
    {"actExport", "导出"},         {"actExportExcel", "导出至Excel"},
    {"actExportPdf", "导出至PDF"}, {"actExportImage", "导出至图像"},
    {"actClose", "退出"},
};

} // namespace

TFBaseForm_BillReport::TFBaseForm_BillReport(QWidget *parent, quint32 mainHandle)
    : QDialog(parent), FMainHandle(mainHandle)
{
    setObjectName(QStringLiteral("TFBaseForm_BillReport"));
    buildUi();
}

TFBaseForm_BillReport::~TFBaseForm_BillReport() = default;

void TFBaseForm_BillReport::buildUi()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolBar = new QToolBar(this);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(m_toolBar);
    for (const ActionRow &row : kActions) {
        auto *a = new QAction(QString::fromUtf8(row.caption), this);
        a->setObjectName(QLatin1String(row.name));
        m_actions.insert(a->objectName(), a);
        m_toolBar->addAction(a);
    }
    m_hintBar = new QFrame(this);
    m_hintBar->setObjectName(QStringLiteral("pnlCompanyHint"));
    m_hintBar->setStyleSheet(QStringLiteral("QFrame#pnlCompanyHint { background: #fff6d5; }"));
    auto *hint = new QHBoxLayout(m_hintBar);
    auto *text = new QLabel(QStringLiteral("提示：报表未能显示公司名称、联系地址、电话，如果需要请先设置公司信息数据。"
                                           "设置完成后需要重新刷新报表才生效"),
                            m_hintBar);
    text->setWordWrap(true);
    auto *setCompany = new QPushButton(QStringLiteral("马上设置公司信息"), m_hintBar);
    setCompany->setObjectName(QStringLiteral("btnSetCompany"));
    auto *refresh = new QPushButton(QStringLiteral("刷新生效"), m_hintBar);
    refresh->setObjectName(QStringLiteral("btnCompanyRefresh"));
    hint->addWidget(text, 1);
    hint->addWidget(setCompany);
    hint->addWidget(refresh);
    m_hintBar->setVisible(false);
    layout->addWidget(m_hintBar);

    m_viewer = new report::TReportPreview(this);
    layout->addWidget(m_viewer, 1);

    connect(setCompany, &QPushButton::clicked, this,
            [this]() { SendMessage(FMainHandle, HostMsg::OpenWindow, 2010, 0, this); });
    connect(refresh, &QPushButton::clicked, this, &TFBaseForm_BillReport::CompanyRefresh);
    const auto on = [this](const char *name, auto slot) {
        connect(action(QLatin1String(name)), &QAction::triggered, this, slot);
    };
    on("actPrint", [this]() { PrintReport(); });
    on("actPageSetup", [this]() { PageSetup(); });
    on("actZoomIn", [this]() { m_viewer->zoomIn(); });
    on("actZoomOut", [this]() { m_viewer->zoomOut(); });
    on("actFitHeight", [this]() { m_viewer->fitHeight(); });
    on("actFitWidth", [this]() { m_viewer->fitWidth(); });
    on("actDesign", [this]() { DesignTemplate(); });
    on("actBlankRow", [this]() { ToggleBlankRows(); });
    on("actExport", [this]() { ExportReport(report::ExportType::Excel); });
    on("actExportExcel", [this]() { ExportReport(report::ExportType::Excel); });
    on("actExportPdf", [this]() { ExportReport(report::ExportType::Pdf); });
    on("actExportImage", [this]() { ExportReport(report::ExportType::Image); });
    on("actClose", [this]() { close(); });
}

bool TFBaseForm_BillReport::hintBarShown() const { return !m_hintBar->isHidden(); }

void TFBaseForm_BillReport::closeSoon()
{
    // After the show has finished.
    QTimer::singleShot(1, this, [this]() { reject(); });
}

bool TFBaseForm_BillReport::FormShow()
{
    SendMessage(FMainHandle, HostMsg::RefreshWorkArea, 0, 0, this);
    const WorkArea &area = nvDMBase::instance().workArea;
    if (area.width > 0 && area.height > 3)
        setGeometry(area.left, area.top + 3, area.width, area.height - 3);
    if (!LoadReport()) {
        closeSoon();
        return false;
    }
    if (FPrintOrPreview == 1) {
        setWindowFlag(Qt::FramelessWindowHint, true);
        setGeometry(0, 0, 0, 0);
        PrintReport();
        closeSoon();
    }
    return true;
}

void TFBaseForm_BillReport::setBlankRowCaption()
{
    // The caption names what the button does: with blank rows printed it offers to stop.
    action(QStringLiteral("actBlankRow"))
        ->setText(FAppendBlankRow ? QStringLiteral("不打印空白行") : QStringLiteral("打印空白行"));
}

void TFBaseForm_BillReport::readCompany()
{
    const PrintCompany c = ReadPrintCompany(nvDMBase::instance().connection());
    CompanyName = c.name;
    CompanyTel = c.tel;
    CompanyAddr = c.addr;
}

void TFBaseForm_BillReport::applyParameters()
{
    ApplyBillReportParameters(m_report, FBillTypeID, windowTitle(), PrintCompany{CompanyName, CompanyTel, CompanyAddr},
                              FAppendBlankRow);
}

bool TFBaseForm_BillReport::LoadReport()
{
    m_viewer->stop();
    setWindowTitle(PrintCaption(FBillTypeID, FBillList));
    const BillReportLoad load =
        LoadBillReport(m_report, BillReportRequest{FBillTypeID, FBillID, FBillList, FPrintStyle, FSQL},
                       nvDMBase::instance().connection());
    FAppendBlankRow = load.appendBlankRow;
    setBlankRowCaption();
    CompanyName = load.company.name;
    CompanyTel = load.company.tel;
    CompanyAddr = load.company.addr;
    m_hintBar->setVisible(load.company.incomplete());
    FTemplaceFileName = load.templateFileName;
    FTemplaceDirFileName = load.templatePath;
    if (!load.loaded)
        return false;
    m_viewer->setReport(&m_report);
    m_viewer->start();
    return true;
}

void TFBaseForm_BillReport::PrintReport()
{
    const QString pdf = ProgramPath(windowTitle() + QStringLiteral(".PDF"));
    m_viewer->print(m_printDialog && FBillTypeID != kRetailBill, pdf);
}

void TFBaseForm_BillReport::PageSetup()
{
    if (m_viewer->pageSetup())
        m_viewer->refresh();
}

void TFBaseForm_BillReport::DesignTemplate()
{
    TFBaseForm_BillReport_Designer designer(this, FMainHandle);
    designer.FTemplaceDirFileName = FTemplaceDirFileName;
    designer.FTemplaceFileName = FTemplaceFileName;
    designer.setModal(true);
    if (!designer.FormShow(m_report.data().fields))
        return;
    DesignerClosed(designer.exec());
}

void TFBaseForm_BillReport::DesignerClosed(int modalResult)
{
    if (modalResult == 1 && !LoadReport())
        closeSoon();
}

void TFBaseForm_BillReport::ToggleBlankRows()
{
    FAppendBlankRow = !FAppendBlankRow;
    m_report.setAppendBlankRow(FAppendBlankRow);
    WriteAppendBlankRow(FAppendBlankRow);
    setBlankRowCaption();
    m_viewer->refresh();
}

void TFBaseForm_BillReport::CompanyRefresh()
{
    try {
        readCompany();
    } catch (const DbError &e) {
        LogFailure(QStringLiteral("读取公司信息失败：") + e.message());
    }
    applyParameters();
    m_viewer->refresh();
    if (PrintCompany{CompanyName, CompanyTel, CompanyAddr}.incomplete())
        m_hintBar->setVisible(true);
}

QString TFBaseForm_BillReport::ExportReport(report::ExportType type)
{
    // .xlsx rather than .xls: the workbook is written in the Office Open XML format.
    QString suffix;
    switch (type) {
    case report::ExportType::Excel: suffix = QStringLiteral(".xlsx"); break;
    case report::ExportType::Pdf: suffix = QStringLiteral(".PDF"); break;
    case report::ExportType::Image: suffix = QStringLiteral(".Jpg"); break;
    }
    const QString path = ProgramPath(windowTitle() + suffix);
    QString error;
    bool done = false;
    if (type == report::ExportType::Image && m_exportOptions) {
        report::TImageExportOptions options(this);
        if (options.exec() != QDialog::Accepted)
            return QString();
        done = m_report.exportImages(path, options.mode(), options.dpi(), nullptr, &error);
    } else {
        done = m_report.exportTo(type, path, &error);
    }
    if (!done) {
        LogFailure(QStringLiteral("导出失败：") + error);
        Prompter::current().warning(error);
        return QString();
    }
    if (m_openExported)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    return path;
}

void ShowBillReport(quint32 hostWindow, int billType, int billId, bool continuePrint, int printStyle,
                    const QString &listSql, bool listMode, int printOrPreview)
{
    TFBaseForm_BillReport form(nullptr, hostWindow);
    form.FBillTypeID = billType;
    form.FBillID = billId;
    form.FContinuePrint = continuePrint;
    form.FPrintStyle = printStyle;
    form.FSQL = listSql;
    form.FBillList = listMode;
    form.FPrintOrPreview = printOrPreview;
    form.setModal(true);
    if (!form.FormShow() || printOrPreview == 1) {
        return; // already printed, or nothing to show
    }
    form.exec();
}

} // namespace protask
