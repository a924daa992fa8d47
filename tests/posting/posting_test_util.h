#pragma once

// The posting tests' world, bills of any bill type's tables, and a driver that checks and
// unchecks one bill and compares every figure of the books with what it expects.

#include "core/sql_helpers.h"
#include "platform/db.h"
#include "test_db.h"
#include "test_sql.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariantMap>

#include <ostream>
#include <string>

namespace protask::testing {

namespace world {
inline constexpr int kUnitPiece = 1;  // base unit
inline constexpr int kUnitBox = 2;    // 12 pieces of the batch product and of the assembled one
inline constexpr int kUnitCarton = 3; // no product has a unit row for it: quantities count as entered
inline constexpr int kUnitPack = 4;   // the plain product's unit with a null ratio: quantities count 0
inline constexpr int kBoxRatio = 12;
inline constexpr int kPlain = 1;     // product without batches
inline constexpr int kBatch = 2;     // batch-tracked, "胶水"
inline constexpr int kAssembled = 3; // batch-tracked, the assembly header's product
inline constexpr int kStore = 1;
inline constexpr int kStore2 = 2;
inline constexpr int kClient = 1;   // starts at total 1000, paid 400, unpaid 600
inline constexpr int kSupplier = 2; // the same figures
inline constexpr int kFresh = 3;    // a client whose figures are all null
inline constexpr int kCash = 1;     // starts at 5000
// Completion targets in pairs, the second's ID the first's + 1: the standard lines link their
// first line to the first target and the other two to the second. The first targets' counters
// start null, the second's at 1.
inline constexpr int kSaleOrderLine = 501; // and t_PurOrderList
inline constexpr int kTaskLine = 701;      // t_ProTaskList
inline constexpr int kTask = 801;          // t_ProTaskForm
inline constexpr int kSettledBill = 901;   // t_SaleOutForm and t_PurForm settled by receipts/payments
inline constexpr int kUserId = 7;
// Batches at kStore: B1 (2026-01-01) 5 and B2 (2026-02-01) 20 of kBatch, H1 (2026-03-01) 10 of
// kAssembled. kBatch's piece was last bought at 7 and sold at 8.
} // namespace world

void Exec(const QString &sql, const QSqlDatabase &db = Db());
double Number(const QString &sql, const QSqlDatabase &db = Db()); // the first value; null counts as 0
void InsertRow(const QString &table, const QVariantMap &values);  // values bound, not spliced
// Everything of the world above, on emptied tables.
void SeedWorld();
// More master data (the posting benchmark seeds its own products with these).
void SeedProduct(int id, const QString &name, bool batchTracked);
void SeedProductUnit(int productId, int sid, int unitId, const QVariant &ratio);
int SeedBatch(int storehouse, int product, const QString &batchNo, const QDate &kfDate, double number);

// Batch number, production date, shelf life and expiry date; empty texts are null.
struct BatchData {
    QString batchNo = {};
    QString kfDate = {};
    QString kfPeriod = {};
    QString periodDate = {};
};
// A header row (FID = billId, FTypeID = bill type, FBillNo "T<type>-<id>", FBillDate 2026-12-05
// 10:00 unless given) and its lines (FID = billId * 1000 + n, FFormID, FSID = n).
void SeedBill(int billType, const QString &formTable, const QString &listTable, int billId, QVariantMap header,
              const QList<QVariantMap> &lines);
// A line: its amounts (FAmount, FTobeDiscountAmount) are number x price; `more` adds columns.
QVariantMap Line(int product, int unit, double number, double price = 0, const BatchData &batch = {},
                 const QVariantMap &more = {});
// The plain product twice in pieces (2 and 3, price 10) and the batch product once in boxes
// (1 box = 12, price 100, batch "B1" of 2026-01-01); `sign` -1 gives a return bill's lines.
QList<QVariantMap> StandardLines(int sign = 1);

// Checks or unchecks a bill in a transaction of its own, committed when the entry succeeds.
bool Post(bool check, int billType, int billId, const QString &formTable, int *code = nullptr);

// The figures a posting moves, by name: stock<product>, bal<store>.<product>, balrows, balblank
// (balance rows with empty batch texts), <batch no>@<store> and its amount $<batch no>@<store>,
// batchrows, out (out-batch records), paid/total/unpaid/stamp<client>, cash<account>, completion
// counters so<sales order line> sopo<same, ordered from suppliers> sotask<same, put into
// production> po<purchase order line> tl<task line> task<task> sold<sales-out bill>
// bought<purchase bill>, lastin/lastout<product>.<unit> (the price, 0 without its date),
// cp<client>.<product>.<unit> (client price), cprows, marks (cost marks with a date).
QMap<QString, double> ReadFigures();
// The figures that moved since `start`, and changes written as "name change, ...", both sorted.
std::string FigureChanges(const QMap<QString, double> &start);
std::string Changes(const QString &changes);

// One bill checked and unchecked through the entries. `check` lists every figure the check
// moves; the uncheck takes them back except the ones that stay (time stamps, last and client
// prices, cost marks, created balance and batch rows), unless `uncheck` lists what is left.
struct PostingCase {
    const char *name;
    int billType;
    QString form;
    QString list;
    QVariantMap header;
    QList<QVariantMap> lines;
    QString check;
    QString uncheck = {}; // null: what stays of `check`
    bool flagged = true;  // the checked flag follows the postings; else it keeps its seeded state
};
inline constexpr int kCaseBillId = 42;
void RunPostingCase(const PostingCase &c);
inline void PrintTo(const PostingCase &c, std::ostream *os) { *os << c.name; }

// Database tests on the world above.
class PostingTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        SeedWorld();
    }
};

template <typename Case>
class PostingCaseTest : public PostingTest, public ::testing::WithParamInterface<Case> {};

int AddBatch(int storehouse, int product, const BatchData &batch, double number); // answers its FID
// The batch step of a sales-out bill: -1 allocates, +1 releases.
bool SaleOutBatches(int billId, int sign, const QSqlDatabase &db = Db());
// Batch rows of a storehouse and product as "batch kfdate period expiry = number/amount".
std::string BatchRows(int storehouse, int product);

} // namespace protask::testing
