#include "host/main_window.h"

#include "core/bill_types.h"

#include "host/host_dialogs.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

namespace protask {

namespace {
constexpr int kProtask = BillType::ProTask;
}

HostMainWindow::HostMainWindow()
{
    setObjectName(QStringLiteral("HostMainWindow"));
    setWindowTitle(QStringLiteral("进销存管理系统 - 生产任务"));
    resize(1280, 800);
    m_sheet = new QTabWidget(this);
    m_sheet->setObjectName(QStringLiteral("SheetArea"));
    m_sheet->setDocumentMode(true);
    setCentralWidget(m_sheet);
    m_mainHandle = registerWindowHandle(this);
    m_sheetHandle = registerWindowHandle(m_sheet);
    nvDMBase::instance().mainHandle = m_mainHandle;
    m_router = std::make_unique<HostRouter>(*this, m_mainHandle, static_cast<qint32>(m_sheetHandle));
    // Coming back to the list shows what the editor saved, checked or deleted meanwhile.
    connect(m_sheet, &QTabWidget::currentChanged, this, [this](int index) {
        QWidget *page = m_sheet->widget(index);
        if (m_service && page
            && QString::fromLatin1(page->metaObject()->className()).endsWith(QLatin1String("BillList")))
            m_service->BillCursorFocus(m_mainHandle, sheetHandle(), kProtask, "BillList");
    });

    m_userLabel = new QLabel(this);
    m_dbLabel = new QLabel(this);
    statusBar()->addWidget(m_userLabel);
    statusBar()->addPermanentWidget(m_dbLabel);
    buildMenus();
}

HostMainWindow::~HostMainWindow()
{
    if (m_service)
        m_service->Release();
}

void HostMainWindow::buildMenus()
{
    QMenu *bills = menuBar()->addMenu(QStringLiteral("生产管理(&P)"));
    QAction *list = bills->addAction(QStringLiteral("生产任务单列表"));
    list->setObjectName(QStringLiteral("actProtaskList"));
    connect(list, &QAction::triggered, this, [this]() { m_router->openBillList(kProtask); });
    QAction *add = bills->addAction(QStringLiteral("新增生产任务单"));
    add->setObjectName(QStringLiteral("actProtaskNew"));
    connect(add, &QAction::triggered, this, [this]() { m_router->openNewBill(kProtask); });

    QMenu *system = menuBar()->addMenu(QStringLiteral("基础资料(&B)"));
    QAction *settings = system->addAction(QStringLiteral("公司信息与系统参数"));
    connect(settings, &QAction::triggered, this, [this]() { showCompanySettings(); });
    system->addSeparator();
    QAction *quit = system->addAction(QStringLiteral("退出"));
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

bool HostMainWindow::loadModule(const QString &path)
{
    m_library.setFileName(path);
    if (!m_library.load()) {
        Prompter::current().error(QStringLiteral("无法加载模块 %1：%2").arg(path, m_library.errorString()));
        return false;
    }
    auto get = reinterpret_cast<GetBillIntsFunc>(m_library.resolve("GetBillInts"));
    if (!get) {
        Prompter::current().error(QStringLiteral("模块 %1 没有导出 GetBillInts").arg(path));
        return false;
    }
    m_service = get();
    m_router->setService(m_service);
    return m_service != nullptr;
}

void HostMainWindow::setStatus(const QString &user, const QString &database)
{
    m_userLabel->setText(QStringLiteral("当前用户：") + user);
    m_dbLabel->setText(QStringLiteral("数据库：") + database);
}

qintptr HostMainWindow::hostMessage(const HostMessage &message) { return m_router->route(message); }

void HostMainWindow::showVoucher(int voucherId)
{
    VoucherViewer viewer(voucherId, this);
    viewer.exec();
}

void HostMainWindow::showCompanySettings()
{
    SettingsDialog dialog(this);
    dialog.exec();
}

void HostMainWindow::showReportRequest(int reportCode, const QString &parameters)
{
    QString text = QStringLiteral("报表请求：%1\n参数：").arg(reportCode);
    for (const QString &p : parameters.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        text += QStringLiteral("\n    ") + p;
    statusBar()->showMessage(QStringLiteral("报表请求 %1").arg(reportCode), 10000);
    Prompter::current().information(text);
}

void HostMainWindow::refreshWorkArea()
{
    const QRect r = m_sheet->geometry();
    const QPoint topLeft = m_sheet->mapToGlobal(QPoint(0, 0));
    WorkArea &w = nvDMBase::instance().workArea;
    w.left = topLeft.x();
    w.top = topLeft.y();
    w.width = r.width();
    w.height = r.height();
}

void HostMainWindow::closeEvent(QCloseEvent *event)
{
    if (m_service) {
        // The editor asks about unsaved data; a refusal keeps the host open.
        if (m_service->BillEdit(BillCmd::Close, m_mainHandle, sheetHandle(), kProtask, 0, 0, 0, "", 0) != 0) {
            event->ignore();
            return;
        }
        m_service->BillList(BillCmd::Close, m_mainHandle, sheetHandle(), kProtask);
    }
    event->accept();
}

} // namespace protask
