#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTimer>
#include <QWidget>

namespace protask::testing {

// Presses a key sequence on a widget as a user would (shortcuts first); answers the modal window
// the key opened, closed again at once ("dialog" when it has no name), empty when none.
inline QString PressKeys(QWidget *focus, const QString &keys)
{
    QString opened;
    QTimer::singleShot(0, [&opened]() {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = modal->objectName().isEmpty() ? QStringLiteral("dialog") : modal->objectName();
            modal->close();
        }
    });
    const QKeyCombination k = QKeySequence(keys)[0];
    QKeyEvent press(QEvent::KeyPress, k.key(), k.keyboardModifiers());
    QApplication::sendEvent(focus, &press);
    QCoreApplication::processEvents();
    return opened;
}

} // namespace protask::testing
