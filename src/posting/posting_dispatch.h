#pragma once

#include "core/sql_helpers.h"

#include <QString>

#include <vector>

namespace protask {

// One posting step of a bill type: an operation, its table and column arguments, its sign and
// the error code it leaves when it fails. The check and uncheck tables hold these per bill type
// in the order they run.
enum class StepKind {
    CurStock,            // UpdateProductCurStock(table, key, number, sign)
    LastPrice,           // UpdateLastPrice(list, key, direction = sign)
    Balance,             // UpdateBalance(table, list, number, storehouse, sign)
    BalanceByTable,      // UpdateBalanceByTable(table, key, sign)
    BatchIn,             // UpdateBatchNoIn(table, list, amount, number, storehouse, sign)
    BatchInByTable,      // UpdateBatchNoInByTable(table, key, amount, sign)
    BatchOut,            // UpdateBatchNoOut(bill type, table, list, number, storehouse, sign)
    ClientPay,           // UpdateClientPayAmount(table, amount, client, sign)
    ClientUnPay,         // UpdateClientUnPayAmount(table, amount, client, sign)
    ClientTotal,         // UpdateClientTotalAmount(table, amount, client, sign)
    Cash,                // UpdateCashAccount(table, amount, sign)
    CashByKind,          // income/expense: the cash step with the sign, or its opposite, by t_Account.FBillTypeID
    ClientPrice,         // UpdateClientPrice(table, list, client)
    Finish,              // UpdateFinishNumber(target, target column, source, source key, number, link, sign)
    RebatePayBill,       // CreateReturnPayBill(bill): the payment bill the later steps post
    RebateRelease,       // rebate uncheck: release the purchase lines
    RebateReadPayBill,   // rebate uncheck: the payment bill the later steps take back
    RebateDeletePayBill, // rebate uncheck: delete the payment bill
    RebateClearLink,     // rebate uncheck: clear the rebate's link (on the entry's header table)
};

// When a step runs.
enum class StepWhen {
    Always,
    OtherOutInForClient, // other stock-in/out: only when the bill names a client (FItemTypeID not 1)
};

// Which bill a step works on.
enum class StepBill {
    Self,          // the bill being posted
    RebatePayBill, // the payment bill of the rebate being posted
};

// The code of a step that leaves the entry's starting code (0 on check, -1 on uncheck).
inline constexpr int kKeepCode = -1000;

struct PostingStep {
    StepKind kind;
    QString table;  // header table, the one table, or the completion target table
    QString list;   // line table, or the completion source table
    QString key;    // key column of a one-table step or of the completion source
    QString number; // quantity or amount column
    QString column; // storehouse, client or completion target column
    QString link;   // completion link column
    QString amount; // amount column the batch rows accumulate beside the quantity
    int sign = 0;
    int code = kKeepCode;
    StepWhen when = StepWhen::Always;
    StepBill bill = StepBill::Self;
};

// The steps of a bill type, in order; empty for types without steps.
const std::vector<PostingStep> &CheckSteps(int billType);
const std::vector<PostingStep> &UnCheckSteps(int billType);

// Runs the steps in order; the first failing step sets `errorCode` to its code (a step with
// kKeepCode leaves it) and ends the run with false.
bool RunPostingSteps(const std::vector<PostingStep> &steps, int billType, int billId, const QString &headerTable,
                     int &errorCode, const QSqlDatabase &db = Db());

} // namespace protask
