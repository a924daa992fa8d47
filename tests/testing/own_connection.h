#pragma once

// A second workstation in a test: a connection of its own to the test database, opened for one
// piece of work and removed afterwards, on the test's thread or on a thread of its own (for a
// workstation that blocks on a lock the test holds).
#include "test_db.h"

#include <QSqlDatabase>
#include <QString>

#include <future>

namespace protask::testing {

// Runs `work(db)` on a connection named `name` and answers what it answers.
template <typename Work>
auto OnOwnConnection(const QString &name, Work &&work)
{
    struct Remove {
        QString name;
        ~Remove() { QSqlDatabase::removeDatabase(name); }
    } remove{name};
    const QSqlDatabase db = openConnection(TestConnectionSettings(name));
    return work(db);
}

// The same on a thread of its own; get() waits for the answer.
template <typename Work>
auto OnOwnThread(const QString &name, Work work)
{
    return std::async(std::launch::async, [name, work]() mutable { return OnOwnConnection(name, work); });
}

} // namespace protask::testing
