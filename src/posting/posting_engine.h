#pragma once

#include "sql_helpers.h"

#include <QString>

namespace protask {

// The posting entries of every bill type of the suite. Check applies a bill to the shared books
// (stock, balances, batches, last prices, client and cash accounts, completion counters) and
// sets its checked flag; uncheck takes the same effects back and clears the flag.
//
// Neither opens a transaction: the caller starts one, commits on true and rolls back on false,
// also when the failure came after postings already ran. On false `errorCode` tells the step
// that failed (check starts at 0, uncheck at -1); LastPostingError() holds the server's error
// when a statement failed, so that the caller can tell a deadlock from anything else.
// A transaction that the server ended under a step whose failure is otherwise ignored is not
// a refusal: it is thrown as a retryable DbError (kind TransactionEnded), so that nothing is
// written outside the transaction and the caller's retry runs the whole action again.
bool CheckUpdateData(int billType, int billId, const QString &headerTable, int &errorCode, const QSqlDatabase &db = Db());
bool UnCheckUpdateData(int billType, int billId, const QString &headerTable, int &errorCode,
                       const QSqlDatabase &db = Db());

} // namespace protask
