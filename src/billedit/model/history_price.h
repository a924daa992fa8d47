#pragma once

#include "billedit/model/line_rules.h"
#include "core/sql_helpers.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace protask {

// The price history of one product for one client: the lines of the client's earlier bills
// of the caller's kind, the product's price list for a unit and the price of the client's
// level, from which a line of a sale takes its new list price.

// Where a bill type's earlier bills live: header table, line table and the header's client
// column. Empty for bill types without a history.
//
// The consignment sale (3006) lists its own bills, t_SaleForForm/t_SaleForList, by their
// customer FCustomerID: the sale-out tables have no customer column, and FCustomerID is the
// client the posting of a consignment sale credits and keeps the agreed price of.
struct HistoryTables {
    QString formTable;
    QString listTable;
    QString clientField;
    bool isEmpty() const { return formTable.isEmpty(); }
};
HistoryTables HistoryTablesOf(int billType);

// The client's lines of the product in bills dated from `begin` to `end`, both whole days
// (FBillDate is a date and time: the upper bound is the day after `end`), leaving out lines
// without a discounted price, oldest bill first. Empty for bill types without a history.
QString HistoryPriceSql(int billType, int clientId, int productId, const QDate &begin, const QDate &end,
                        const QSqlDatabase &db = Db());

// The price list of a product's unit (0: the base unit) as the history shows it; a price the
// product does not have is null.
struct UnitPriceList {
    QVariant prePrice1;
    QVariant prePrice2;
    QVariant prePrice3;
    QVariant posPrice; // the retail price
};
// Server errors propagate as DbError.
UnitPriceList ReadUnitPriceList(int productId, int unitId, const QSqlDatabase &db = Db());

// The four prices of the list, in the order the history shows them.
enum class PriceListBox { PrePrice1, PrePrice2, PrePrice3, Retail };
QVariant PriceOf(const UnitPriceList &prices, PriceListBox box);

// A client's sale price level: its name and which price of the list it sells at. Levels 0–3
// are the retail price and the three sale prices; a client without a level (not a client of
// type 1, or a level the suite does not know) has no name and no price.
struct ClientPriceLevel {
    QString name;
    bool known = false;
    PriceListBox box = PriceListBox::Retail;
};
ClientPriceLevel PriceLevelOf(int level);
// The level of a client of type 1 (a blank level is 0); -1 when there is no such client.
// Server errors propagate as DbError.
int ReadClientPriceLevel(int clientId, const QSqlDatabase &db = Db());

// The client named in a bill header, as the history looks it up (0 when there is none).
struct HistoryClient {
    int id = 0;
    QString name;
    int type = 0;
};
// Server errors propagate as DbError.
HistoryClient FindHistoryClient(const QString &name, const QSqlDatabase &db = Db());
// The key of the unit with exactly that name (trimmed); 0 for a blank name or none.
int FindUnitIdByName(const QString &name, const QSqlDatabase &db = Db());

// Bill types whose lines take a price chosen from the history.
bool TakesHistoryPrice(int billType);

// A price chosen from the history becomes the line's list price and the line follows as when
// the price is typed: the amounts, the discounted price and the tax step, or the amounts
// cleared without a quantity, or everything priced cleared for a blank price. Unlike a typed
// price a blank discount rate does not take the editor's default rate: the chosen price is
// sold without a discount (the rate becomes 100). A line without a product takes no price.
void ApplyChosenPrice(LineValues &line, const QVariant &price, const LineSettings &settings);
// FPriceIsChange of a line that took a chosen price: false only when it is the price of the
// client's level. A blank price is nobody's level price, and a client without a level (or
// whose level price is blank) has none to keep.
bool ChosenPriceDiffers(const QVariant &price, const QVariant &clientPrice);

} // namespace protask
