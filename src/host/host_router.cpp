#include "host/host_router.h"

#include <QMetaObject>

namespace protask {

HostRouter::HostRouter(HostWindowsOps &ops, quint32 mainHandle, qint32 sheetHandle)
    : m_ops(ops), m_mainHandle(mainHandle), m_sheetHandle(sheetHandle)
{}

void HostRouter::openBillList(int billType)
{
    if (!m_service)
        return;
    m_service->BillList(BillCmd::Open, m_mainHandle, m_sheetHandle, billType);
    m_service->BillCursorFocus(m_mainHandle, m_sheetHandle, billType, "BillList");
}

void HostRouter::openNewBill(int billType)
{
    if (!m_service)
        return;
    if (m_service->BillEdit(BillCmd::IsOpen, m_mainHandle, m_sheetHandle, billType, 1, 0, 0, "", 0) == 1) {
        m_service->BillDisplay(0, billType, 1, "", 0, "");
    } else {
        m_service->BillEdit(BillCmd::Open, m_mainHandle, m_sheetHandle, billType, 1, 0, 0, "", 0);
    }
    m_service->BillCursorFocus(m_mainHandle, m_sheetHandle, billType, "BillEdit");
}

void HostRouter::openBill(int billType, int billId, int operation)
{
    if (!m_service)
        return;
    if (m_service->BillEdit(BillCmd::IsOpen, m_mainHandle, m_sheetHandle, billType, operation, billId, 0, "", 0) == 1) {
        m_service->BillDisplay(billId, billType, operation, "", 0, "");
    } else {
        m_service->BillEdit(BillCmd::Open, m_mainHandle, m_sheetHandle, billType, operation, billId, 0, "", 0);
    }
    m_service->BillCursorFocus(m_mainHandle, m_sheetHandle, billType, "BillEdit");
}

void HostRouter::closeSender(const HostMessage &message)
{
    if (!m_service)
        return;
    const int billType = static_cast<int>(message.wParam);
    const QObject *sender = message.sender.data();
    const bool fromList =
        sender && QString::fromLatin1(sender->metaObject()->className()).endsWith(QLatin1String("BillList"));
    if (fromList)
        m_service->BillList(BillCmd::Close, m_mainHandle, m_sheetHandle, billType);
    else
        m_service->BillEdit(BillCmd::Close, m_mainHandle, m_sheetHandle, billType, 0, 0, 0, "", 0);
}

qintptr HostRouter::route(const HostMessage &message)
{
    const int w = static_cast<int>(message.wParam);
    const int l = static_cast<int>(message.lParam);
    switch (message.msg) {
    case HostMsg::CloseForm: closeSender(message); return 0;
    case HostMsg::OpenWindow:
        if (w == WindowCode::Voucher)
            m_ops.showVoucher(l);
        else if (w == WindowCode::CompanyInformation)
            m_ops.showCompanySettings();
        else
            openBill(w, l, l == 0 ? 1 : 2);
        return 0;
    case HostMsg::OpenBillList: openBillList(w); return 0;
    case HostMsg::RefreshWorkArea: m_ops.refreshWorkArea(); return 0;
    case HostMsg::DisplayBill: openBill(w, l, 3); return 0;
    case HostMsg::NewBill: openNewBill(w); return 0;
    case HostMsg::CopyData: m_ops.showReportRequest(w, copyDataParameters(message.copyData)); return 0;
    default: return 0;
    }
}

QString copyDataParameters(const QByteArray &bytes)
{
    QByteArray b = bytes;
    if (b.endsWith('\0'))
        b.chop(1);
    QString text = QString::fromLocal8Bit(b);
    if (text.startsWith(QLatin1String("10")))
        text = text.mid(2);
    return text;
}

} // namespace protask
