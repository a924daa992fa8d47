#pragma once

#include "platform/db.h"

#include <QSqlDatabase>

#include <functional>
#include <optional>

namespace protask {

// How a database action is run as one transaction.
struct TransactionOptions {
    // Attempts and wall time the retries may take in all; the first attempt always runs.
    int maxAttempts = 100;
    int budgetMs = 5000;
    // Asked, once the connection is open again, when the connection was lost while COMMIT was
    // on its way: true when the action's own marker is in the database (the bill row with its
    // key, the checked flag, the operation log row). Without it the outcome is reported as
    // unknown rather than guessed.
    std::function<bool(const QSqlDatabase &)> landed;
};

// The outcome of one database action run as a whole transaction.
struct TransactionResult {
    bool committed = false;
    bool refused = false;         // the body answered false: rolled back, the caller reports
    std::optional<DbError> error; // the last server error when it did not commit
    bool connectionLost = false;  // the connection was lost; the connection is open again if it could be
    bool outcomeUnknown = false;  // lost during COMMIT and the marker could not be read
    bool gaveUp = false;          // another workstation kept getting in the way until the budget ran out
    bool reported = false;        // the user has been told already (lost connection, give-up)
    int attempts = 0;
};

// Runs `body` inside a transaction on `db` and commits when it answers true. A deadlock (on a
// cluster also a certification conflict, at any statement or at COMMIT), a lock wait timeout,
// a duplicate key, a transaction the server ended or a cluster node not ready rolls back and
// runs the whole body again, after a pause that grows with each attempt (with jitter so that two
// workstations do not collide again), until the budget runs out; the give-up is reported.
// A lost connection is reopened and reported truthfully: before COMMIT nothing was saved;
// during COMMIT the `landed` marker says whether it was. Any other server error rolls back
// and is handed to the caller, which shows its own message.
TransactionResult RunTransaction(const QSqlDatabase &db, const std::function<bool()> &body,
                                 const TransactionOptions &options);
TransactionResult RunTransaction(const QSqlDatabase &db, const std::function<bool()> &body, int maxAttempts = 100);

// A row that only one attempt of one action writes, so that after a lost COMMIT it tells
// whether that attempt landed. A key the server hands out (a log row's) cannot: a server that
// crashed before the COMMIT hands the same key out again after its restart, and another
// workstation on the same machine may write the same text into it.
class CommitMark {
public:
    // Inside the transaction: a token of its own for each attempt.
    void write(const QSqlDatabase &db);
    // Whether the last attempt's token is in the database (TransactionOptions::landed).
    bool landed(const QSqlDatabase &db) const;
    // Once the outcome is known the token goes, with any mark a day old; a failure leaves one
    // small row and a trace line.
    void clear(const QSqlDatabase &db);

private:
    QString m_token;
};

// Attempts of the last RunTransaction on this thread (for the log of an action that does not
// hand its TransactionResult back, and for measurements).
int LastTransactionAttempts();

// The messages of a lost connection: before COMMIT, during COMMIT with the marker found or
// not readable, and of a give-up.
extern const char *const kConnectionLostMessage;
extern const char *const kCommitLandedMessage;
extern const char *const kCommitUnknownMessage;
extern const char *const kRetriesExhaustedMessage; // %1: the attempts
extern const char *const kNodeNotReadyMessage;     // %1: the attempts; the node is not a working cluster member
// How long a COMMIT whose answer was lost waits for the server to answer again before its
// outcome is told unknown.
inline constexpr int kSettleReopenMs = 10000;

// Pause before attempt `attempt` + 1 (attempt counts from 1): exponential from 10 ms, capped
// at `capMs`, with full jitter in its upper half.
int RetryPauseMs(int attempt, int capMs = 400);
// The cap after a cluster's certification conflict: its winner has committed already, so a
// longer pause only lets newer actions in first, and the action that keeps losing (on a node
// that applies the winners a little later) would starve within the budget.
constexpr int kClusterRetryCapMs = 100;

} // namespace protask
