#pragma once

#include "host/host_router.h"
#include "platform/host_messages.h"

#include <QLibrary>
#include <QMainWindow>
#include <memory>

class QTabWidget;
class QLabel;

namespace protask {

// The host's main window: menus, the sheet area where the module's forms embed, and the
// receiver of the module's window messages.
class HostMainWindow : public QMainWindow, public IHostMessageSink, public HostWindowsOps {
    Q_OBJECT
public:
    HostMainWindow();
    ~HostMainWindow() override;

    // Loads the plug-in and fetches the bill service; false with a message on failure.
    bool loadModule(const QString &path);
    void setStatus(const QString &user, const QString &database);

    qintptr hostMessage(const HostMessage &message) override;

    void showVoucher(int voucherId) override;
    void showCompanySettings() override;
    void showReportRequest(int reportCode, const QString &parameters) override;
    void refreshWorkArea() override;

    HostRouter &router() { return *m_router; }
    QTabWidget *sheet() const { return m_sheet; }
    quint32 mainHandle() const { return m_mainHandle; }
    qint32 sheetHandle() const { return static_cast<qint32>(m_sheetHandle); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();

    QTabWidget *m_sheet = nullptr;
    QLabel *m_userLabel = nullptr;
    QLabel *m_dbLabel = nullptr;
    quint32 m_mainHandle = 0;
    quint32 m_sheetHandle = 0;
    std::unique_ptr<HostRouter> m_router;
    QLibrary m_library;
    IBillInterface *m_service = nullptr;
};

} // namespace protask
