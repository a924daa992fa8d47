#pragma once

#include "platform/host_messages.h"
#include "plugin/bill_interface.h"

#include <QString>

namespace protask {

// What the host does itself when a message asks for one of its own windows.
class HostWindowsOps {
public:
    virtual ~HostWindowsOps() = default;
    virtual void showVoucher(int voucherId) = 0;
    virtual void showCompanySettings() = 0;
    virtual void showReportRequest(int reportCode, const QString &parameters) = 0;
    // Refreshes the work area held by the data module (message 1039).
    virtual void refreshWorkArea() = 0;
};

// Answers the module's window messages by calling the bill service again.
class HostRouter {
public:
    HostRouter(HostWindowsOps &ops, quint32 mainHandle, qint32 sheetHandle);

    void setService(IBillInterface *service) { m_service = service; }
    IBillInterface *service() const { return m_service; }

    qintptr route(const HostMessage &message);

    // The host's own menu entries.
    void openBillList(int billType);
    void openNewBill(int billType);
    // Opens bill `billId` in the editor; operation 2 to edit, 3 to display read-only.
    void openBill(int billType, int billId, int operation);

private:
    void closeSender(const HostMessage &message);

    HostWindowsOps &m_ops;
    IBillInterface *m_service = nullptr;
    quint32 m_mainHandle;
    qint32 m_sheetHandle;
};

// Decodes the copy-data record of message 74: the text after the prefix number "10",
// without the terminating zero.
QString copyDataParameters(const QByteArray &bytes);

} // namespace protask
