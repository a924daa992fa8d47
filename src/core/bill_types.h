#pragma once

#include <QString>

namespace protask {

// Bill types the code branches on by name (the per-type tables keep their numbers as data).
namespace BillType {
constexpr int PurchaseIn = 3002;
constexpr int SaleOut = 3004;
constexpr int PurchaseReturn = 3015;
constexpr int OtherInOut = 3019;
constexpr int LossGain = 3021;
constexpr int Assembly = 3025;
constexpr int Dismantling = 3026;
constexpr int CostFlagOnly = 3047; // posts nothing; its checked flag belongs to its own module
constexpr int ProTask = 3049;      // the production task of this module
} // namespace BillType

// The editing mode of a bill editor (FBillStatusID).
namespace BillStatus {
constexpr int New = 1;
constexpr int Saved = 2;   // saved and unchecked
constexpr int Checked = 3; // checked or locked
} // namespace BillStatus

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
