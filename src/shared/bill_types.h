#pragma once

#include <QString>

namespace protask {

// Header table, line table and caption of a bill type. Types without an entry yield
// three empty texts; the lookup itself always succeeds.
struct BillTypeTables {
    QString formTable;
    QString listTable;
    QString caption;
};

BillTypeTables GetBillTypeTables(int billType);

// Stock-out flags of a bill type, used by the stock shortage test before checking.
struct StockOutFlags {
    bool blocksOnShortage = false;
    bool warnsOnShortage = false;
};

StockOutFlags GetStockOutFlags(int billType);

} // namespace protask
