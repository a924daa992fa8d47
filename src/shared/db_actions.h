#pragma once

#include "db.h"

#include <QSqlDatabase>

#include <functional>
#include <optional>

namespace protask {

// The outcome of one database action run as a whole transaction.
struct TransactionResult {
    bool committed = false;
    bool refused = false;            // the body answered false: rolled back, the caller reports
    std::optional<DbError> error;    // the last server error when it gave up
    bool connectionLost = false;     // already reported to the user; the connection is open again
    int attempts = 0;
};

// Runs `body` inside a transaction on `db` and commits when it answers true. A deadlock, a
// lock wait timeout or a duplicate key rolls back and runs the whole body again (at most
// `maxAttempts` times, with a short random pause) since another workstation got in the way.
// A lost connection is reopened and reported ("nothing was saved"); any other server error
// rolls back and is handed to the caller, which shows its own message.
TransactionResult RunTransaction(const QSqlDatabase &db, const std::function<bool()> &body, int maxAttempts = 5);

// The message shown when the connection was lost in the middle of an action.
extern const char *const kConnectionLostMessage;

} // namespace protask
