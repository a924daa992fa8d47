#pragma once

// Seeding and reading helpers of the posting tests: master data, bills of any bill type's
// tables, the figures a posting moves, and a driver that checks and unchecks one bill and
// compares every figure it names with where it started.

#include "platform/db.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <ostream>
#include <string>

namespace protask::testing {

// The fixed world of the posting tests.
namespace world {
inline constexpr int kUnitPiece = 1;   // base unit
inline constexpr int kUnitBox = 2;     // 12 pieces of the batch product
inline constexpr int kBoxRatio = 12;
inline constexpr int kPlain = 1;       // product without batches
inline constexpr int kBatch = 2;       // batch-tracked, sold by piece and by box
inline constexpr int kAssembled = 3;   // batch-tracked, the assembly header's product
inline constexpr int kStore = 1;
inline constexpr int kStore2 = 2;
inline constexpr int kClient = 1;      // starts at total 1000, paid 400, unpaid 600
inline constexpr int kSupplier = 2;    // the same figures
inline constexpr int kCash = 1;        // starts at 5000
// Completion targets, each in pairs: the standard lines link their first line to the first
// target and their second line to the second.
inline constexpr int kSaleOrderLine = 501;
inline constexpr int kSaleOrderLine2 = 502;
inline constexpr int kPurOrderLine = 501;
inline constexpr int kPurOrderLine2 = 502;
inline constexpr int kTaskLine = 701;      // t_ProTaskList
inline constexpr int kTaskLine2 = 702;
inline constexpr int kTask = 801;          // t_ProTaskForm
inline constexpr int kTask2 = 802;
inline constexpr int kSettledBill = 901;   // t_SaleOutForm and t_PurForm settled by receipts/payments
inline constexpr int kSettledBill2 = 902;
inline constexpr int kUserId = 7;
// Batches at kStore: of kBatch "B1" (2026-01-01) 5 and "B2" (2026-02-01) 20; of kAssembled
// "H1" (2026-03-01) 10.
} // namespace world

// Rows from column -> value maps (values bound, not spliced).
void InsertRow(const QString &table, const QVariantMap &values);
void Exec(const QString &sql);

void SeedUnit(int id, const QString &name);
void SeedProduct(int id, const QString &name, bool batchTracked);
void SeedProductUnit(int productId, int sid, int unitId, const QVariant &ratio);
void SeedClient(int id, const QVariant &total, const QVariant &paid, const QVariant &unpaid);
int SeedBatch(int storehouse, int product, const QString &batchNo, const QDate &kfDate, double number);
void SeedBillType(int id, int billType, const QString &billTypeNo, const QString &preCode);

// Everything of the world above, on emptied tables.
void SeedWorld();

// A header row (FID = billId, FTypeID = bill type, FBillNo, FBillDate 2026-12-05 10:00 unless
// given) and its lines (FID = billId * 1000 + n, FFormID, FSID = n).
void SeedBill(int billType, const QString &formTable, const QString &listTable, int billId, QVariantMap header,
              const QList<QVariantMap> &lines);

// The usual three lines: the plain product twice in pieces (2 and 3, price 10; the first linked
// to the first completion targets, the second to the second ones) and the batch product once
// in boxes (1 box = 12, price 100, batch "B1" of 2026-01-01, not linked). `sign` -1 gives the
// negative lines of a return bill.
QList<QVariantMap> StandardLines(int sign = 1);

// Readers (null counts as 0).
QVariant Scalar(const QString &sql);
double Number(const QString &sql);
double CurStock(int product);
double BalanceQty(int storehouse, int product);
int BalanceRows(int storehouse, int product);
double ClientFigure(int client, const QString &column);
double CashBalance(int cash);

// Probe queries for the tables of posting cases.
QString CurStockSql(int product);
QString BalanceSql(int storehouse, int product);
QString BalanceRowsSql(int storehouse, int product);
QString BatchSql(int storehouse, int product, const QString &batchNo);
QString OutBatchRowsSql(int billId);
QString ClientSql(int client, const QString &column);
QString ClientStampedSql(int client);
QString CashSql(int cash);
QString ColumnSql(const QString &table, const QString &column, int id);
QString UnitPriceSql(int product, int unit, const QString &column);
QString ClientPriceRowsSql(int client);
QString CostMarksSql(int period);

// Every row of every table as text, to prove that a rollback left nothing behind.
QMap<QString, QStringList> SnapshotAllTables();
// The names of the tables whose rows differ from the snapshot, empty when none does.
std::string TablesChangedSince(const QMap<QString, QStringList> &snapshot);

// One figure a posting moves, as its change from the start: after the check and after the
// uncheck that follows it.
struct Probe {
    QString what;
    QString sql;
    double afterCheck = 0;
    double afterUnCheck = 0;
};
// Taken back by the uncheck.
Probe Moves(const QString &what, const QString &sql, double delta);
// Kept after the uncheck (last prices, client prices, cost marks, created rows).
Probe Stays(const QString &what, const QString &sql, double delta);
Probe Changes(const QString &what, const QString &sql, double afterCheck, double afterUnCheck);

struct PostingCase {
    QString name;
    int billType = 0;
    QString formTable;
    QString listTable; // empty: header only
    QVariantMap header;
    QList<QVariantMap> lines;
    QList<Probe> probes;
    bool flagged = true; // the checked flag follows the postings
};

// Seeds the bill, checks it in a transaction that is committed, compares every probe and the
// checked flag, unchecks it the same way and compares again.
void RunPostingCase(const PostingCase &c);

// The bill ID RunPostingCase gives its bill.
inline constexpr int kCaseBillId = 42;

// gtest names a failing parameter by this.
void PrintTo(const PostingCase &c, std::ostream *os);

} // namespace protask::testing
