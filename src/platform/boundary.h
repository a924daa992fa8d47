#pragma once

// The exported operations of the module's libraries: nothing crosses a library's boundary
// but the operation's answer.
#include "platform/db.h"
#include "platform/prompter.h"

#include <cstdint>
#include <exception>

namespace protask {

// An error box that cannot throw, not even when the message box does.
inline void TellUserAtBoundary(const QString &text)
{
    try {
        Prompter::current().error(text);
    } catch (...) {
    }
}

// Runs one operation; an error that no step caught reaches the user as an error box and the
// operation answers `failed`.
template <typename F>
int32_t GuardedAtBoundary(int32_t failed, F &&operation)
{
    try {
        return operation();
    } catch (const DbError &e) {
        TellUserAtBoundary(e.message());
    } catch (const std::exception &e) {
        TellUserAtBoundary(QString::fromUtf8(e.what()));
    } catch (...) {
        TellUserAtBoundary(QStringLiteral("未知错误"));
    }
    return failed;
}

} // namespace protask
