#pragma once

#include "billedit/model/line_rules.h"
#include "platform/nv_dm_base.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace protask {

class TLocalDataSet;

// The batches of a product that still hold stock, in one storehouse (storeId > 0) or in all,
// the oldest production date first.
QString BatchListSql(int productId, int storeId);

// The key of the product with exactly that name (trimmed); 0 when there is none. Server
// errors propagate as DbError.
int FindProductIdByName(const QString &name, const QSqlDatabase &db);

// Number and name of a product, for the header of the batch picker; empty for an unknown key.
struct ProductCaption {
    QString number;
    QString name;
};
ProductCaption ReadProductCaption(int productId, const QSqlDatabase &db);

// Puts the batch (a row of t_comProductBatchNo) on the line: its batch number, shelf life,
// production and expiry dates (a missing or zero date clears the line's date). On the bills
// that draw stock out of a batch the batch's whole quantity becomes the line's quantity,
// through the quantity rule, so the amounts follow. False, with the line untouched, for a batch
// that is gone. Server errors propagate as DbError.
bool ApplyBatch(LineValues &line, int batchRowId, int billType, const LineSettings &settings, const QSqlDatabase &db);

// The stock hint under the grid for the product of the current line.
struct StockHint {
    QString text;
    bool red = false; // the stock is below zero
};
// Answers a product's FCurStock by exact name, nullopt when it has no such product.
using CurrentStockLookup = std::function<std::optional<QVariant>(const QString &productName)>;
// "总库存数: " and the stock (a product without a stock figure shows 0), red below zero;
// "无库存" for a name the list does not know, nothing for a blank name. A failing lookup shows
// nothing and is written to the text log.
StockHint StockHintFor(const QString &productName, const CurrentStockLookup &currentStock);
// The same over the editor's product list (ProductListSql), the rows its filter lets through.
StockHint StockHintFor(const QString &productName, const TLocalDataSet &products);

// The stock test before a bill that takes stock out is saved or checked, when the company
// forbids negative stock or asks about it: every line with a product must find at least its
// quantity (in the product's base unit) in the storehouse named in the header (all of them
// without one). Short lines are named by their line number (1-based); the company's switch
// and the bill type decide between refusing with a warning and asking whether to go on. True
// when the bill may go on. One statement per line, as the lines may repeat a product in
// several units and each is judged on its own. Server errors propagate as DbError.
bool CheckStock(const QList<LineValues> &lines, int billType, const HostSwitches &switches, const QString &storeName,
                const QSqlDatabase &db);
// The same for the one product of a bill header (the dismantling bill), named in the texts.
bool CheckHeaderProductStock(const QString &productName, const QString &unitName, const QVariant &quantity,
                             int billType, const HostSwitches &switches, const QString &storeName,
                             const QSqlDatabase &db);

} // namespace protask
