#pragma once

#include "core/sql_helpers.h"

#include <QString>

namespace protask {

// Product stock, stock by storehouse and last prices. Every quantity is converted to the
// product's base unit through t_comProductUnit (product, unit): without a unit row it is used
// as entered, with one it is multiplied by FRatio (a null ratio counts as 0). Bill IDs are
// decimal text; signs are +1 or -1. Each step is set-based over all lines of the bill and
// answers false at the first failing statement (nothing is undone here).

// FCurStock of every product of the bill. `table` is a line table keyed by FFormID, or, for the
// assembly bills, the header table itself keyed by FID (its own product, unit and quantity).
bool UpdateProductCurStock(const QString &table, const QString &keyColumn, const QString &billId,
                           const QString &numberColumn, int sign,
                           const QString &productColumn = QStringLiteral("FProductID"), const QSqlDatabase &db = Db());

// FLastInPrice/FLastInDate (direction +1) or FLastOutPrice/FLastOutDate (direction -1) of the
// bill's product units, from the lines' FPrice; unpriced lines leave the unit alone. Any other
// direction runs nothing and fails.
bool UpdateLastPrice(const QString &listTable, const QString &keyColumn, const QString &billId, int direction,
                     const QSqlDatabase &db = Db());

// t_Balance by the header's storehouse and the lines' products: missing rows are created (batch
// columns left null), then the summed base quantities added.
bool UpdateBalance(const QString &formTable, const QString &listTable, const QString &billId,
                   const QString &numberColumn, const QString &storehouseColumn, int sign,
                   const QString &keyColumn = QStringLiteral("FID"),
                   const QString &productColumn = QStringLiteral("FProductID"), const QSqlDatabase &db = Db());

// t_Balance from one table whose rows carry their own storehouse (the assembly header or the
// assembly lines); created rows get empty batch columns.
bool UpdateBalanceByTable(const QString &table, const QString &keyColumn, const QString &billId, int sign,
                          const QString &numberColumn = QStringLiteral("FNumber"),
                          const QString &productColumn = QStringLiteral("FProductID"),
                          const QString &storehouseColumn = QStringLiteral("FStorehouseID"),
                          const QSqlDatabase &db = Db());

} // namespace protask
