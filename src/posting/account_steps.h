#pragma once

#include "core/sql_helpers.h"

#include <QString>

namespace protask {

// Client and supplier totals, cash balances, client price records, completion counters, the
// rebate's payment bill and the cost-recalculation marks. Bill IDs are decimal text unless said
// otherwise; signs are +1 or -1. Every step answers false at its first failing statement and
// undoes nothing: the caller's transaction does.

// t_comClient of the bill's client (the bill's amount summed per client; one row): FPayAmount,
// FUnPayAmount, or FTotalAmount together with FUnPayAmount = new total - paid. A client column
// that is null or names no client changes nothing and succeeds. FLastInOuDateTime is stamped.
bool UpdateClientPayAmount(const QString &table, const QString &keyColumn, const QString &billId, int sign,
                           const QString &amountColumn, const QString &clientColumn, const QSqlDatabase &db = Db());
bool UpdateClientUnPayAmount(const QString &table, const QString &keyColumn, const QString &billId, int sign,
                             const QString &amountColumn, const QString &clientColumn, const QSqlDatabase &db = Db());
bool UpdateClientTotalAmount(const QString &table, const QString &keyColumn, const QString &billId, int sign,
                             const QString &amountColumn, const QString &clientColumn, const QSqlDatabase &db = Db());

// t_comCash.FBalance of the account the bill names: money received is +1, paid out -1.
bool UpdateCashAccount(const QString &table, const QString &billId, int sign, const QString &keyColumn,
                       const QString &cashColumn, const QString &amountColumn, const QSqlDatabase &db = Db());

// The last price per client, product and unit (check only, never taken back): rows are made for
// every product and unit of the bill, priced lines then write quantity, price, amount and date.
// The sign is accepted for symmetry with the other steps and not used.
bool UpdateClientPrice(const QString &formTable, const QString &listTable, const QString &billId,
                       const QString &amountColumn, const QString &priceColumn, const QString &numberColumn,
                       const QString &keyColumn, const QString &productColumn, const QString &clientColumn, int sign,
                       const QSqlDatabase &db = Db());

// Adds the source rows' quantity (or amount), as entered, to the target row each links to;
// rows with a link of 0 or null are left out.
bool UpdateFinishNumber(const QString &targetTable, const QString &targetColumn, const QString &sourceTable,
                        const QString &sourceKeyColumn, int sign, const QString &billId, const QString &numberColumn,
                        const QString &linkColumn, const QSqlDatabase &db = Db());

// Rebate check: spreads the rebate over the supplier's purchase lines of the period (selected
// products only, free gifts excluded) and writes the payment bill that offsets the supplier's
// debt, a fresh "FKD" number each time. Fails when the rebate bill is missing or the payment bill
// cannot be written; `payBillId` is the payment bill's FID.
bool CreateReturnPayBill(int rebateId, int &payBillId, const QSqlDatabase &db = Db());

// Rebate uncheck, in this order: release the purchase lines, read the payment bill (0 when the
// rebate has none), take the payment bill back from the supplier (the client steps, run by the
// caller), delete it, clear the rebate's link.
bool ReleaseRebatePurchases(int rebateId, const QSqlDatabase &db = Db());
bool ReadRebatePayBill(int rebateId, int &payBillId, const QSqlDatabase &db = Db());
bool DeleteRebatePayBill(int payBillId, const QSqlDatabase &db = Db());
bool ClearRebatePayBillLink(const QString &headerTable, int rebateId, const QSqlDatabase &db = Db());

// Marks the bill's products (and, for assembly and dismantling, the header product) for the cost
// run: one t_billcalflag row per product and period (yyyymm), whose FLastDate only ever moves to
// an earlier bill date. Bill types without a cost effect do nothing.
bool MarkBillCalFlag(int billType, int billId, const QSqlDatabase &db = Db());

} // namespace protask
