#pragma once

#include "core/sql_helpers.h"
#include "platform/db.h"

#include <QString>

#include <functional>
#include <optional>

namespace protask {

// Posting steps answer a Boolean for a rule that says no; a server error is a DbError that
// travels up to the action owning the transaction, which retries what is retryable. Every
// server error is written to the text log on its way.
// Runs one statement of a step and answers true; a server error is logged and thrown.
bool PostExec(TDataSet &query, const QString &sql);
// Opens a query of a step and answers true; a server error is logged and thrown.
bool PostOpen(TDataSet &query, const QString &sql);
// Writes a server error that a step met to the text log.
void LogPostingError(const DbError &error);

// Runs a step whose failure the posting deliberately ignores (cost marks, the rebate's
// spread and link) inside a savepoint, so that a failed step is undone on its own and the
// transaction goes on. When the server ended the whole transaction under the step (a
// deadlock victim on the auto-increment lock reports 1467 and rolls everything back), the
// savepoint is gone: the error is logged and thrown as a DbError of kind
// TransactionEnded, since every statement after it would run outside the transaction.
void RunIgnorableStep(const QSqlDatabase &db, const QString &name, const std::function<bool()> &step);

// Dates spliced into posting statements use the host's short date format.
QString PostingDateText(const QDate &date);

} // namespace protask
