#pragma once

#include "db.h"
#include "sql_helpers.h"

#include <QString>

#include <functional>
#include <optional>

namespace protask {

// Posting steps answer a Boolean: a server error is a failed step, not an exception. The
// error is written to the text log and remembered here (per thread), so that the action
// that owns the transaction can tell a deadlock or lock timeout (run it again) from any
// other failure. Each entry clears it first.
const std::optional<DbError> &LastPostingError();
void ClearLastPostingError();
// Logs and remembers a server error that a helper outside the step statements raised
// (numbering, next key, a parameter read), so that it counts like a failed statement.
void RememberPostingError(const DbError &error);

// Runs one statement of a step; false on a server error (logged and remembered).
bool PostExec(TDataSet &query, const QString &sql);
// Opens a query of a step; false on a server error (logged and remembered).
bool PostOpen(TDataSet &query, const QString &sql);

// Runs a step whose failure the posting deliberately ignores (cost marks, the rebate's
// spread and link) inside a savepoint, so that a failed step is undone on its own and the
// transaction goes on. When the server ended the whole transaction under the step (a
// deadlock victim on the auto-increment lock reports 1467 and rolls everything back), the
// savepoint is gone: the error is remembered and thrown as a DbError of kind
// TransactionEnded, since every statement after it would run outside the transaction.
void RunIgnorableStep(const QSqlDatabase &db, const QString &name, const std::function<bool()> &step);

// Dates spliced into posting statements use the host's short date format.
QString PostingDateText(const QDate &date);

} // namespace protask
