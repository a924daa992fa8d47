#include "platform/host_messages.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QTimer>

namespace protask {

IHostMessageSink::~IHostMessageSink() = default;

namespace {

struct HandleTable {
    QHash<quint32, QPointer<QObject>> windows;
    quint32 next = 0x1000;
};

HandleTable &table()
{
    static HandleTable t;
    return t;
}

} // namespace

quint32 registerWindowHandle(QObject *window)
{
    if (!window)
        return 0;
    if (const quint32 existing = handleOfWindow(window))
        return existing;
    auto &t = table();
    const quint32 h = t.next++;
    t.windows.insert(h, window);
    return h;
}

QObject *windowFromHandle(quint32 handle)
{
    auto &t = table();
    auto it = t.windows.find(handle);
    if (it == t.windows.end())
        return nullptr;
    if (it->isNull()) {
        t.windows.erase(it);
        return nullptr;
    }
    return it->data();
}

quint32 handleOfWindow(const QObject *window)
{
    if (!window)
        return 0;
    auto &t = table();
    for (auto it = t.windows.cbegin(); it != t.windows.cend(); ++it) {
        if (it->data() == window)
            return it.key();
    }
    return 0;
}

namespace {

qintptr deliver(const HostMessage &m)
{
    QObject *w = windowFromHandle(m.target);
    auto *sink = dynamic_cast<IHostMessageSink *>(w);
    if (!sink)
        return 0;
    return sink->hostMessage(m);
}

} // namespace

namespace {

HostMessage makeMessage(quint32 target, uint msg, qintptr wParam, qintptr lParam, QObject *sender)
{
    HostMessage m;
    m.target = target;
    m.msg = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.sender = sender;
    return m;
}

} // namespace

qintptr SendMessage(quint32 target, uint msg, qintptr wParam, qintptr lParam, QObject *sender)
{
    return deliver(makeMessage(target, msg, wParam, lParam, sender));
}

void PostMessage(quint32 target, uint msg, qintptr wParam, qintptr lParam, QObject *sender)
{
    QObject *context = QCoreApplication::instance();
    if (!context)
        return;
    const HostMessage m = makeMessage(target, msg, wParam, lParam, sender);
    QTimer::singleShot(0, context, [m]() { deliver(m); });
}

qintptr SendCopyDataMessage(quint32 target, int code, const QString &text, int prefixNumber, QObject *sender)
{
    HostMessage m = makeMessage(target, HostMsg::CopyData, code, 0, sender);
    // 8-bit text with the terminating zero counted in the length.
    QByteArray bytes = (QString::number(prefixNumber) + text).toLocal8Bit();
    bytes.append('\0');
    m.copyData = bytes;
    return deliver(m);
}

} // namespace protask
