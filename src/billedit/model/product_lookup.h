#pragma once

#include "billedit/model/line_rules.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <utility>

namespace protask {

class TDataSet;

// One row of a product or unit price statement: its fields by name, without regard to case
// (as the server treats column names). A field the row does not have reads as null.
class ProductRow {
public:
    ProductRow() = default;
    ProductRow(std::initializer_list<std::pair<QString, QVariant>> fields);
    // The dataset's row `row`.
    static ProductRow fromDataSet(const TDataSet &dataset, int row);

    QVariant value(const QString &field) const { return m_fields.value(field.toUpper()); }
    void set(const QString &field, const QVariant &value) { m_fields.insert(field.toUpper(), value); }

private:
    QHash<QString, QVariant> m_fields; // upper-case name → value
};

// The editor's product list (held in a local dataset): the name combo lists FName, the number
// combo FCNo ("[number]name") where it is not empty. Inactive products are left out.
QString ProductListSql();

// The product statement: the product with its base unit, that unit's prices and the client's
// agreed price for it; `condition` (" where …") picks the products.
QString ProductStatementSql(int clientId, const QString &condition);

// The client of the bill header and its price level (0 list price, 1–3 the price columns).
struct ClientContext {
    int clientId = 0;
    int priceLevel = 0;
};
// Zeros for a blank name or a name no client has. Server errors propagate as DbError.
ClientContext FindClientContext(const QString &clientName, const QSqlDatabase &db);

// Which price a looked-up product brings along: the last purchase price, the sale price rule,
// or none (a task, a transfer, a count…).
enum class PriceKind { None, Purchase, Sale };
PriceKind PriceKindOf(int billType);

// The sale price of a unit row (FAtaSalePosPrice, FPosPrice, FPrePrice1..3, FlastOutPrice and
// the client's agreed FSalePrice); the first non-zero wins:
//   the promotion price FAtaSalePosPrice;
//   without a client the list price FPosPrice, else the last sale price;
//   with a client the agreed price, else the client's level price (0 FPosPrice, 1–3
//   FPrePrice1–3, other levels none), else the last sale price, else the list price.
double SalePrice(const ProductRow &row, int clientId, int priceLevel);

// What a looked-up product is filled in with.
struct FillContext {
    int billType = 0;
    ClientContext client;
    LineSettings settings;
    QDate today; // the production date of a batch-tracked product
};

// Fills a line from a row of the product statement: identity, base unit, the user fields and
// the shelf-life note; for batch-tracked products (outside the sales order and sales bills)
// today as the production date and the expiry date after the shelf life; the editor's
// discount rate and the company's tax rate; then by the bill type's price kind the price,
// the discounted price and the amounts, and the tax step.
//
// Choices:
// - the editor's discount rate 0 means none is set, as in the line rules: the line gets 100
//   (no discount), else every looked-up product would carry a discounted price of 0;
// - on a line without a quantity the amounts stay blank instead of reading 0; the quantity
//   rule fills them once a quantity is typed;
// - purchase amounts are not rounded (the grid shows them in its format and the save rounds),
//   sale amounts are rounded to the amount places;
// - the flags FIsBatchNo and FIsKF are stored as Booleans.
void FillProductLine(LineValues &line, const ProductRow &row, const FillContext &context);

enum class ProductLookupMode { ByNumber = 1, ByName = 2 };
enum class LookupOutcome {
    Cleared,  // blank text: the line is empty (the editor empties its unit list)
    Filled,   // the first product found fills the line (the editor moves on to the quantity)
    NotFound, // nothing found, or the lookup failed on the server (written to the text log)
};

// Finds the product typed into the number cell ("[number]name" or the number alone) or the
// name cell, as the server compares the typed text (quotes, backslashes, % and _ stand for
// themselves), and fills the line with the first row the server returns. A blank text empties
// the whole line. A number not found empties the product's key, number, unit and price; a name
// not found keeps the typed name and empties the product's cells, amounts, dates and flags (the
// discount rate becomes the editor's). A server error is written to the text log and answers
// NotFound with the line as it was.
LookupOutcome LookupProduct(ProductLookupMode mode, const QString &text, LineValues &line, const FillContext &context,
                            const QSqlDatabase &db);

// The unit of a line changed: its price is read again for that unit of the product (0: no
// product, nothing happens), the discounted price and the amounts follow; the quantity stays
// as it is (it is not converted to the new unit). A unit the product does not have clears the
// prices and amounts. A blank discount rate reads as the editor's rate (100 without one), as in
// the line rules. A server error is written to the text log and leaves the line as it was.
void RepriceForUnit(LineValues &line, int productId, const QString &unitName, const FillContext &context,
                    const QSqlDatabase &db);

// The unit list of the unit cell: without a product every unit, typed freely; with one the
// product's own units, of which one must be picked.
struct UnitListStatement {
    QString sql;
    bool pickFromList = false;
};
UnitListStatement UnitListSql(int productId);

// The products picked in the product selection dialog, which answers their keys as a text
// like "12,15,3"; anything but a comma list of integers answers no rows (and runs nothing).
// Ordered by number and name. A server error is written to the text log and answers no rows.
QList<ProductRow> ProductsByIds(const QString &idList, int clientId, const QSqlDatabase &db);

// Fills the lines from `startLine` on (-1: the first) with the picked products, one line each,
// overwriting what they held; lines past the end are appended. Answers how many were appended
// (the editor appends as many grid rows).
int FillLinesFromProducts(QList<LineValues> &lines, int startLine, const QList<ProductRow> &rows,
                          const FillContext &context);

} // namespace protask
