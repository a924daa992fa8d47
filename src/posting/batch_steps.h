#pragma once

#include "core/sql_helpers.h"

#include <QString>

namespace protask {

// Batch-number stock of batch-tracked products (t_comProducts.FIsBatchNo = 1): incoming lines
// add to batch rows (creating missing ones), outgoing lines take stock from the line's own batch
// first and then oldest first, recording every take in t_comProductOutBatchNo so that the bill
// can be taken back exactly. Bill IDs are decimal text; signs are +1 or -1.

// Storehouse from the header, product and batch data from the lines. Only at +1 are missing
// batch rows created; lines with a quantity of 0 or less are left out.
bool UpdateBatchNoIn(const QString &formTable, const QString &listTable, const QString &billId,
                     const QString &amountColumn, const QString &numberColumn, const QString &keyColumn,
                     const QString &productColumn, const QString &storehouseColumn, int sign,
                     const QSqlDatabase &db = Db());

// Everything from one table (the assembly header or the assembly lines).
bool UpdateBatchNoInByTable(const QString &table, const QString &billId, int sign, const QString &amountColumn,
                            const QString &numberColumn, const QString &keyColumn, const QString &productColumn,
                            const QString &storehouseColumn, const QSqlDatabase &db = Db());

// Sign -1 allocates the bill's outgoing lines, +1 releases what the bill took; any other sign
// does nothing and succeeds.
bool UpdateBatchNoOut(int billType, const QString &formTable, const QString &listTable, const QString &numberColumn,
                      const QString &keyColumn, const QString &productColumn, const QString &storehouseColumn, int sign,
                      const QString &billId, const QSqlDatabase &db = Db());

// The negative batch stock test run by the check and uncheck actions before their transaction:
// refuses (forbid switch) or asks (warn switch) when a line would drive its batch negative.
bool CheckBatchNoStock(int billType, int billId, const QString &formTable, int multiplier, const QString &listTable,
                       const QSqlDatabase &db = Db());
bool CheckBatchNoStockOnCheck(int billType, int billId, const QSqlDatabase &db = Db());
bool CheckBatchNoStockOnUnCheck(int billType, int billId, const QSqlDatabase &db = Db());

} // namespace protask
