#pragma once

#include "core/sql_helpers.h"

#include <QString>

namespace protask {

// The codes the entries report besides the steps' own.
namespace PostingCode {
constexpr int CheckStart = 0;    // check: no step failed
constexpr int UnCheckStart = -1; // uncheck: no step failed
constexpr int CheckedFlag = 7;   // writing the checked flag failed
constexpr int NoHeaderTable = 8; // the bill type names no header table
} // namespace PostingCode

// The posting entries of every bill type of the suite. Check applies a bill to the shared books
// (stock, balances, batches, last prices, client and cash accounts, completion counters) and
// sets its checked flag; uncheck takes the same effects back and clears the flag.
//
// Neither opens a transaction: the caller starts one, commits on true and rolls back on false,
// also when the failure came after postings already ran. On false `errorCode` tells the step
// that refused (check starts at 0, uncheck at -1). A server error is thrown as a DbError with
// `errorCode` naming the step it met, so that the action around the entries can retry a
// deadlock and report anything else with the step's code. That includes a transaction the
// server ended under a step whose failure is otherwise ignored (kind TransactionEnded): nothing
// is ever written outside the transaction.
bool CheckUpdateData(int billType, int billId, const QString &headerTable, int &errorCode,
                     const QSqlDatabase &db = Db());
bool UnCheckUpdateData(int billType, int billId, const QString &headerTable, int &errorCode,
                       const QSqlDatabase &db = Db());

} // namespace protask
