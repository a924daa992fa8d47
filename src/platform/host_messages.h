#pragma once

#include "platform/platform_export.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QtGlobal>

namespace protask {

// Window messages that the module's forms send to the host's main window.
namespace HostMsg {
constexpr uint CopyData = 74;          // open a report: wParam report code, copy-data text
constexpr uint CloseForm = 1035;       // posted; wParam bill type of the sending form
constexpr uint OpenWindow = 1036;      // wParam window code (bill type, 3027 voucher, 2010 company), lParam record ID
constexpr uint OpenBillList = 1037;    // wParam bill type
constexpr uint RefreshWorkArea = 1039; // before a form positions itself in the work area
constexpr uint DisplayBill = 1040;     // wParam bill type, lParam bill ID, read-only
constexpr uint NewBill = 1041;         // wParam bill type
constexpr uint PriceHint = 1195;       // a form to itself: show the price-variation hint
} // namespace HostMsg

// Window codes that travel in wParam of 1036 besides bill types.
namespace WindowCode {
constexpr int CompanyInformation = 2010;
constexpr int Voucher = 3027;
} // namespace WindowCode

struct HostMessage {
    quint32 target = 0;
    uint msg = 0;
    qintptr wParam = 0;
    qintptr lParam = 0;
    QPointer<QObject> sender; // the form that sent it (the host answers 1035 for that window)
    QByteArray copyData;      // message 74 only: the bytes of the copy-data record
};

// Implemented by a window that receives window messages (the host's main window).
class PROTASK_PLATFORM_EXPORT IHostMessageSink {
public:
    virtual ~IHostMessageSink();
    virtual qintptr hostMessage(const HostMessage &message) = 0;
};

// Window handles: small integers that name a window across the plug-in boundary
// (the host's main window, its sheet area). A handle stays valid while its window lives.
PROTASK_PLATFORM_EXPORT quint32 registerWindowHandle(QObject *window);
PROTASK_PLATFORM_EXPORT QObject *windowFromHandle(quint32 handle);
PROTASK_PLATFORM_EXPORT quint32 handleOfWindow(const QObject *window);

// Delivers at once to the target window's sink; 0 when the target is gone or is no sink.
PROTASK_PLATFORM_EXPORT qintptr SendMessage(quint32 target, uint msg, qintptr wParam, qintptr lParam,
                                            QObject *sender = nullptr);
// Delivers later on the event loop.
PROTASK_PLATFORM_EXPORT void PostMessage(quint32 target, uint msg, qintptr wParam, qintptr lParam,
                                         QObject *sender = nullptr);
// Message 74: the number as decimal text followed by the text, 8-bit, ended by a zero byte
// that the length counts.
PROTASK_PLATFORM_EXPORT qintptr SendCopyDataMessage(quint32 target, int code, const QString &text, int prefixNumber,
                                                    QObject *sender = nullptr);

} // namespace protask
