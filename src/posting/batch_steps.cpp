#include "posting/batch_steps.h"

#include "core/bill_types.h"

#include "core/values.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"
#include "posting/posting_common.h"

#include <QDate>
#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace protask {

namespace {

// Quantities are kept to 8 places on the server; the running rest of a line is rounded the
// same way so that a difference like 0.1 + 0.2 - 0.3 does not book a shortage of 1e-17.
constexpr int kQuantityPlaces = 8;

QString idText(const QVariant &v) { return QString::number(ValueToInt(v)); }

// A date field as "yyyy-mm-dd", or empty text when it is null.
QString dateText(const QVariant &v)
{
    if (IsBlankValue(v))
        return QString();
    if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    return v.toString().trimmed();
}

// The pieces in which the two incoming forms differ: where the batch data comes from (the
// lines joined to the header, or one table of its own) and how that source is read.
struct IncomingSource {
    QString lineAlias;  // alias of the rows that carry product and batch data
    QString insertFrom; // the insertion's from clause (without the surrounding blanks)
    QString updateFrom; // the update's from clause (without the surrounding blanks)
};

bool postIncoming(const IncomingSource &src, const QString &billId, const QString &amountColumn,
                  const QString &numberColumn, const QString &keyColumn, const QString &productColumn,
                  const QString &storehouseColumn, int sign, const QSqlDatabase &db)
{
    const QString L = src.lineAlias;
    const QString S = storehouseColumn;
    const QString P = productColumn;
    const QString N = numberColumn;
    const QString signText = QString::number(sign);
    TDataSet q(db);

    // A batch row is one storehouse, product, batch number, production and expiry date; the
    // shelf life is copied onto a new row (the longest of its lines) but tells no rows apart.
    // Lines are summed per target row first: a joined update changes each target row once.
    // Only an incoming posting creates batch rows; taking it back leaves them (at 0).
    if (sign == 1) {
        const QString insert =
            QStringLiteral(
                "insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate)   select IfNull(T1.")
            + S + QStringLiteral(",0) as FStorehouseID,") + L + QStringLiteral(".") + P + QStringLiteral(",   IfNull(")
            + L + QStringLiteral(".FBatchNo1,'') as FBatchNo1,") + L + QStringLiteral(".FKFDate,max(") + L
            + QStringLiteral(".FKFPeriod),") + L + QStringLiteral(".FPeriodDate   ") + src.insertFrom
            + QStringLiteral("   where T1.") + keyColumn + QStringLiteral(" = ") + billId
            + QStringLiteral("      and IfNull(") + L + QStringLiteral(".") + N
            + QStringLiteral(
                ",0) > 0 and cp1.FIsBatchNo = 1       and not exists(select * from t_comProductBatchNo T3             where T3.FStorehouseID = IfNull(T1.")
            + S + QStringLiteral(",0)           and T3.FProductID = ") + L + QStringLiteral(".") + P
            + QStringLiteral(" and IfNull(T3.FBatchNo1,'') = IfNull(") + L
            + QStringLiteral(".FBatchNo1,'')           and IfNull(T3.FKFDate,'') = ifNull(") + L
            + QStringLiteral(".FKFDate,'')          and IfNull(T3.FPeriodDate,'') = ifNull(") + L
            + QStringLiteral(".FPeriodDate,''))  group by IfNull(T1.") + S + QStringLiteral(",0),") + L
            + QStringLiteral(".") + P + QStringLiteral(",           IfNull(") + L + QStringLiteral(".FBatchNo1,'') ,")
            + L + QStringLiteral(".FKFDate,") + L + QStringLiteral(".FPeriodDate");
        if (!PostExec(q, insert))
            return false;
    }

    const QString update =
        QStringLiteral("update t_comProductBatchNo T3 inner join (    select IfNull(T1.") + S
        + QStringLiteral(",0) as FStorehouseID,") + L + QStringLiteral(".") + P + QStringLiteral(" as FProductID,") + L
        + QStringLiteral(".FUnitID,      IfNull(FBatchNo1,'') as FBatchNo1,") + L + QStringLiteral(".FKFDate,max(") + L
        + QStringLiteral(".FKFPeriod) as FKFPeriod,") + L
        + QStringLiteral(".FPeriodDate,       SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(") + L
        + QStringLiteral(".") + N + QStringLiteral(",0)           ELSE IFNULL(") + L + QStringLiteral(".") + N
        + QStringLiteral(",0) * IFNULL(T3.FRatio,0) END) AS FNumber,      sum(IfNull(") + L + QStringLiteral(".")
        + amountColumn + QStringLiteral(",0)) as FAmount     ") + src.updateFrom
        + QStringLiteral("       LEFT JOIN t_comProductUnit T3 ON ") + L + QStringLiteral(".") + P
        + QStringLiteral(" = T3.FProductID AND ") + L + QStringLiteral(".FUnitId = T3.FUnitID     WHERE T1.")
        + keyColumn + QStringLiteral(" = ") + billId + QStringLiteral("      and IfNull(") + L + QStringLiteral(".") + N
        + QStringLiteral(",0) > 0 and cp1.FIsBatchNo = 1     GROUP BY IFNULL(T1.") + S + QStringLiteral(",0),") + L
        + QStringLiteral(".") + P + QStringLiteral(",      IFNULL(FBatchNo1,''),") + L + QStringLiteral(".FKFDate,") + L
        + QStringLiteral(
            ".FPeriodDate   )  T4   ON T3.FStorehouseID = T4.FStorehouseID AND T3.FProductId = T4.FProductID       AND IFNULL(T3.FBatchNo1,'') = IFNULL(T4.FBatchNo1,'')           and IfNull(T3.FKFDate,'') = ifNull(T4.FKFDate,'')          and IfNull(T3.FPeriodDate,'') = ifNull(T4.FPeriodDate,'') SET T3.FNumber = IFNULL(T3.FNumber,0) + T4.FNumber *")
        + signText + QStringLiteral(" ,T3.FAmount = IfNull(T3.FAmount,0) + T4.FAmount * ") + signText;
    return PostExec(q, update);
}

// Every allocation and release of a product's batch stock first locks the product rows
// involved, lowest ID first. A second workstation drawing on the same product waits there,
// before it has read or locked any batch row, and two bills listing the same products in
// a different order cannot lock each other out. The batch rows themselves are then read
// with locking reads, which see the latest committed stock rather than the transaction's
// snapshot.
bool lockProducts(QList<int> productIds, const QSqlDatabase &db)
{
    std::sort(productIds.begin(), productIds.end());
    productIds.erase(std::unique(productIds.begin(), productIds.end()), productIds.end());
    if (productIds.isEmpty())
        return true;
    QStringList ids;
    for (int id : productIds)
        ids << QString::number(id);
    TDataSet q(db);
    return PostOpen(q,
                    QStringLiteral("select FID from t_comProducts where FID in (") + ids.join(QLatin1Char(','))
                        + QStringLiteral(") order by FID for update"));
}

// Quantities of the allocation in hundred-millionths: the server keeps 8 places, and whole
// numbers of them add and compare exactly, as the server's decimals do.
using Units = qint64;
constexpr double kUnitsPerOne = 1e8;

Units toUnits(const QVariant &v) { return std::llround(RoundValue(kQuantityPlaces, ValueToFloat(v)) * kUnitsPerOne); }

QString unitsSql(Units units) { return sqlNumber(static_cast<double>(units) / kUnitsPerOne); }

// Batch numbers are told apart by the server's collation (case and trailing blanks do not
// count), as the lookups by batch number always did; both sides carry the collation weights
// the server gives them, padded to the column's 100 characters.
QString batchKeySql(const QString &column)
{
    return QStringLiteral("WEIGHT_STRING(IfNull(") + column + QStringLiteral(",'') AS CHAR(100))");
}

// One outgoing line as the allocation needs it: bill ids as decimal text, dates as "yyyy-mm-dd".
struct OutLine {
    QString billTypeId;
    QString billId;
    QString listId;
    QString billNo;
    QString billDate;
    int storehouseId = 0;
    int productId = 0;
    QString batchNo;
    QByteArray batchKey;
    QString kfDate; // "yyyy-mm-dd" or empty
    int kfPeriod = 0;
    QString periodDate; // "yyyy-mm-dd" or empty
    Units needed = 0;
};

// A batch row of one of the bill's storehouses and products, as the bill's earlier takes left it.
struct BatchRow {
    int id = 0; // of a created row: 0 until it is written
    int storehouseId = 0;
    int productId = 0;
    QString batchNo; // as a take records it: empty for null
    QByteArray batchKey;
    QString kfDate;
    int kfPeriod = 0; // IfNull(FKFPeriod,0), which is what a record of a null shelf life always held
    QString periodDate;
    Units number = 0;
    Units taken = 0;      // everything the bill takes from it, shortages included
    bool created = false; // a shortage row of a batch the storehouse never held
};

// A take is recorded with the line's own batch values when it came from the line's own
// batch (or is its shortage), else with the batch row's.
struct Take {
    int line = 0;
    int row = 0;
    Units quantity = 0;
    bool lineValues = false;
};

using StockKey = std::pair<int, int>; // storehouse, product

QString dateValueSql(const QString &date, const QSqlDatabase &db)
{
    return QStringLiteral("STR_TO_DATE(") + QuotedStr(date, db) + QStringLiteral(",'%Y-%m-%d')");
}

QString batchValuesSql(const QString &batchNo, const QString &kfDate, int kfPeriod, const QString &periodDate,
                       const QSqlDatabase &db)
{
    return QuotedStr(batchNo, db) + QStringLiteral(",") + dateValueSql(kfDate, db) + QStringLiteral(",")
        + sqlNumber(kfPeriod) + QStringLiteral(",") + dateValueSql(periodDate, db);
}

// Statements that list rows are cut into pieces of this many rows.
constexpr int kRowsPerStatement = 1000;

// The allocation of one bill: every batch row of the bill's storehouses and products is read
// once with a locking read, the lines take from them in memory in the order they come (an
// earlier line may empty a batch that a later one would take), and the outcome is written
// with statements that each cover many rows.
class BillAllocation {
public:
    BillAllocation(QList<OutLine> lines, const QSqlDatabase &db) : m_lines(std::move(lines)), m_db(db) {}

    bool run()
    {
        if (m_lines.isEmpty())
            return true;
        if (!readBatchRows())
            return false;
        for (int i = 0; i < m_lines.size(); ++i)
            allocateLine(i);
        return writeCreatedRows() && writeBatchStock() && writeTakes();
    }

private:
    static StockKey stockOf(const OutLine &line) { return {line.storehouseId, line.productId}; }

    bool readBatchRows()
    {
        std::map<int, std::set<int>> products;
        for (const OutLine &line : std::as_const(m_lines))
            products[line.storehouseId].insert(line.productId);
        // One locking read per storehouse and product, through the batch key: on a small table
        // the server may prefer a scan, which would lock (and wait for) the batch rows of
        // products that other workstations are selling. A suite database without the key
        // reads without the hint.
        QString index;
        try {
            if (HasIndex(QStringLiteral("t_comProductBatchNo"), QStringLiteral("ux_batch"), m_db))
                index = QStringLiteral(" force index (ux_batch)");
        } catch (const DbError &e) {
            LogPostingError(e);
            throw;
        }
        TDataSet q(m_db);
        for (const auto &[storehouse, ids] : products) {
            for (int product : ids) {
                if (!PostOpen(q,
                              QStringLiteral("select FID, FStorehouseID, FProductID, FBatchNo1, FKFDate, FKFPeriod, "
                                             "FPeriodDate, FNumber, ")
                                  + batchKeySql(QStringLiteral("FBatchNo1"))
                                  + QStringLiteral(" as FBatchKey from t_comProductBatchNo") + index
                                  + QStringLiteral(" where FStorehouseID = ") + QString::number(storehouse)
                                  + QStringLiteral(" and FProductID = ") + QString::number(product)
                                  + QStringLiteral(" order by FKFDate, FBatchNo1, FID for update")))
                    return false;
                readRows(q);
            }
        }
        return true;
    }

    void readRows(TDataSet &q)
    {
        for (q.first(); !q.eof(); q.next()) {
            BatchRow row;
            row.id = ValueToInt(q.fieldByName(QStringLiteral("FID")));
            row.storehouseId = ValueToInt(q.fieldByName(QStringLiteral("FStorehouseID")));
            row.productId = ValueToInt(q.fieldByName(QStringLiteral("FProductID")));
            row.batchNo = q.fieldByName(QStringLiteral("FBatchNo1")).toString();
            row.batchKey = q.fieldByName(QStringLiteral("FBatchKey")).toByteArray();
            row.kfDate = dateText(q.fieldByName(QStringLiteral("FKFDate")));
            row.kfPeriod = ValueToInt(q.fieldByName(QStringLiteral("FKFPeriod")));
            row.periodDate = dateText(q.fieldByName(QStringLiteral("FPeriodDate")));
            row.number = toUnits(q.fieldByName(QStringLiteral("FNumber")));
            m_rowsOf[{row.storehouseId, row.productId}].push_back(static_cast<int>(m_rows.size()));
            m_rows.push_back(row);
        }
    }

    void take(int line, int row, Units quantity, bool lineValues)
    {
        m_rows[row].number -= quantity;
        m_rows[row].taken += quantity;
        m_takes.push_back({line, row, quantity, lineValues});
    }

    // The line's own batch when it holds stock: the first such row, as a lookup by the
    // storehouse's and product's index finds it.
    int ownBatchRow(const OutLine &line)
    {
        int found = -1;
        for (int r : m_rowsOf[stockOf(line)]) {
            const BatchRow &row = m_rows[r];
            if (row.number > 0 && row.batchKey == line.batchKey && row.kfDate == line.kfDate
                && row.kfPeriod == line.kfPeriod && (found < 0 || row.id < m_rows[found].id))
                found = r;
        }
        return found;
    }

    // The line's own batch first (when it holds stock), then the oldest batches of the product
    // in the storehouse, then a shortage on the line's own batch.
    void allocateLine(int i)
    {
        const OutLine &line = m_lines.at(i);
        Units rest = line.needed;
        const int own = ownBatchRow(line);
        if (own >= 0) {
            const Units onHand = m_rows[own].number;
            rest = line.needed - onHand;
            take(i, own, rest >= 0 ? onHand : line.needed, true);
        }
        // The batch emptied above now holds 0 and is passed over; the rows come oldest
        // production date first, then by batch number.
        for (int r : m_rowsOf[stockOf(line)]) {
            if (rest <= 0)
                break;
            const Units onHand = m_rows[r].number;
            if (onHand <= 0)
                continue;
            const Units quantity = std::min(onHand, rest);
            take(i, r, quantity, false);
            rest -= quantity;
        }
        if (rest > 0)
            AddBatchNoShortage(i, rest);
    }

    // The rest that no batch could cover becomes negative stock of the line's own batch: the
    // row of the same storehouse, product, batch number, production and expiry date (the
    // shelf life does not tell batch rows apart), created when the storehouse never held the
    // batch. It is recorded like any other take so that a release adds it back.
    void AddBatchNoShortage(int i, Units rest)
    {
        const OutLine &line = m_lines.at(i);
        std::vector<int> &rows = m_rowsOf[stockOf(line)];
        int found = -1;
        for (int r : rows) {
            const BatchRow &row = m_rows[r];
            if (row.batchKey == line.batchKey && row.kfDate == line.kfDate && row.periodDate == line.periodDate
                && (found < 0 || row.id < m_rows[found].id))
                found = r;
        }
        if (found < 0) {
            BatchRow created;
            created.storehouseId = line.storehouseId;
            created.productId = line.productId;
            created.batchNo = line.batchNo;
            created.batchKey = line.batchKey;
            created.kfDate = line.kfDate;
            created.kfPeriod = line.kfPeriod;
            created.periodDate = line.periodDate;
            created.created = true;
            found = static_cast<int>(m_rows.size());
            rows.push_back(found);
            m_rows.push_back(created);
        }
        take(i, found, rest, true);
    }

    // A created row starts with all the shortages booked on it; each needs its ID for the
    // takes that name it.
    bool writeCreatedRows()
    {
        TDataSet q(m_db);
        for (BatchRow &row : m_rows) {
            if (!row.created)
                continue;
            const QString insert =
                QStringLiteral(
                    "insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber) values(")
                + QString::number(row.storehouseId) + QStringLiteral(",") + QString::number(row.productId)
                + QStringLiteral(",") + batchValuesSql(row.batchNo, row.kfDate, row.kfPeriod, row.periodDate, m_db)
                + QStringLiteral(",") + unitsSql(row.number) + QStringLiteral(")");
            if (!PostExec(q, insert) || !PostOpen(q, QStringLiteral("SELECT LAST_INSERT_ID() AS IBatchNoID")))
                return false;
            row.id = ValueToInt(q.fieldByName(QStringLiteral("IBatchNoID")));
        }
        return true;
    }

    // What the bill takes is summed per batch row: one joined update changes every row once.
    bool writeBatchStock()
    {
        std::vector<const BatchRow *> taken;
        for (const BatchRow &row : m_rows) {
            if (row.taken != 0 && !row.created)
                taken.push_back(&row);
        }
        TDataSet q(m_db);
        for (size_t from = 0; from < taken.size(); from += kRowsPerStatement) {
            const size_t to = std::min(taken.size(), from + kRowsPerStatement);
            QStringList selects;
            for (size_t i = from; i < to; ++i)
                selects << (i == from ? QString(QStringLiteral("select ") + QString::number(taken[i]->id)
                                                + QStringLiteral(" as FID, ") + unitsSql(taken[i]->taken)
                                                + QStringLiteral(" as FNumber"))
                                      : QString(QStringLiteral("select ") + QString::number(taken[i]->id)
                                                + QStringLiteral(",") + unitsSql(taken[i]->taken)));
            if (!PostExec(q,
                          QStringLiteral("update t_comProductBatchNo T inner join (")
                              + selects.join(QStringLiteral(" union all "))
                              + QStringLiteral(") D on T.FID = D.FID set T.FNumber = IfNull(T.FNumber,0) - D.FNumber")))
                return false;
        }
        return true;
    }

    bool writeTakes()
    {
        // What every record of a line and of a batch row repeats, spliced once.
        QStringList lineHeads;
        QStringList lineBatches;
        for (const OutLine &line : std::as_const(m_lines)) {
            lineHeads << line.billTypeId + QStringLiteral(",") + line.billId + QStringLiteral(",") + line.listId
                    + QStringLiteral(",") + QuotedStr(line.billNo, m_db) + QStringLiteral(",")
                    + QuotedStr(line.billDate, m_db) + QStringLiteral(",") + QString::number(line.storehouseId)
                    + QStringLiteral(",") + QString::number(line.productId) + QStringLiteral(",");
            lineBatches << batchValuesSql(line.batchNo, line.kfDate, line.kfPeriod, line.periodDate, m_db);
        }
        std::vector<QString> rowBatches(m_rows.size());
        QStringList values;
        values.reserve(m_takes.size());
        for (const Take &t : std::as_const(m_takes)) {
            const BatchRow &row = m_rows[t.row];
            QString &rowBatch = rowBatches[t.row];
            if (!t.lineValues && rowBatch.isEmpty())
                rowBatch = batchValuesSql(row.batchNo, row.kfDate, row.kfPeriod, row.periodDate, m_db);
            values << QStringLiteral("(") + QString::number(row.id) + QStringLiteral(",") + lineHeads.at(t.line)
                    + (t.lineValues ? lineBatches.at(t.line) : rowBatch) + QStringLiteral(",") + unitsSql(t.quantity)
                    + QStringLiteral(",0,0)");
        }
        TDataSet q(m_db);
        for (qsizetype from = 0; from < values.size(); from += kRowsPerStatement) {
            if (!PostExec(
                    q,
                    QStringLiteral(
                        "Insert into t_comProductOutBatchNo (FFromID,FTypeID,FBillID,FListID,FBillNo,FBillDate,FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber,FPrice,FAmount)  values ")
                        + values.mid(from, kRowsPerStatement).join(QLatin1Char(','))))
                return false;
        }
        return true;
    }

    QList<OutLine> m_lines;
    QSqlDatabase m_db;
    std::vector<BatchRow> m_rows;
    std::map<StockKey, std::vector<int>> m_rowsOf; // indexes into m_rows, oldest first
    std::vector<Take> m_takes;
};

QString outgoingLinesQuery(int billType, const QString &formTable, const QString &listTable,
                           const QString &numberColumn, const QString &keyColumn, const QString &productColumn,
                           const QString &storehouseColumn, const QString &billId)
{
    const QString &S = storehouseColumn;
    const QString &P = productColumn;
    const QString &N = numberColumn;
    const QString &K = keyColumn;
    if (billType == 3025) {
        // Assembly: the components leave from the storehouse of each line.
        return QStringLiteral(
                   " select T1.FTypeID as FBillTypeID, T1.FID as FBillID,T2.FID as FListID, T1.FBillNo, T1.FBillDate as FBillDate, T2.")
            + S + QStringLiteral(" as FStorehouseID,  T2.") + P
            + QStringLiteral(" as FProductID,  CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.") + N
            + QStringLiteral(",0)     ELSE IFNULL(T2.") + N
            + QStringLiteral(
                   ",0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T2.FBatchNo1,'') as FBatchNo1,T2.FKFDate,IfNull(T2.FKFPeriod,0) as FKFPeriod,T2.FPeriodDate, ")
            + batchKeySql(QStringLiteral("T2.FBatchNo1")) + QStringLiteral(" as FBatchKey  from ") + formTable
            + QStringLiteral(" T1 inner join ") + listTable + QStringLiteral(" T2     on T1.") + K
            + QStringLiteral(" = T2.FFormID and T1.") + K + QStringLiteral(" = ") + billId
            + QStringLiteral("  inner join t_comProducts cp1 on T2.") + P
            + QStringLiteral(" = cp1.FID  LEFT JOIN t_comProductUnit T3 ON T2.") + P
            + QStringLiteral(" = T3.FProductID AND T2.FUnitId = T3.FUnitID  where IfNull(T2.") + N
            + QStringLiteral(",0) > 0  and cp1.FIsBatchNo = 1 ");
    }
    if (billType == 3026) {
        // Dismantling: the header's product leaves.
        return QStringLiteral(
                   " select T1.FTypeID as FBillTypeID, T1.FID as FBillID, 0 as FListID, T1.FBillNo, T1.FBillDate as FBillDate, T1.")
            + S + QStringLiteral(" as FStorehouseID, T1.") + P
            + QStringLiteral(" as FProductID,  CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.") + N
            + QStringLiteral(",0)     ELSE IFNULL(T1.") + N
            + QStringLiteral(
                   ",0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T1.FBatchNo1,'') as FBatchNo1,T1.FKFDate,IfNull(T1.FKFPeriod,0) as FKFPeriod,T1.FPeriodDate, ")
            + batchKeySql(QStringLiteral("T1.FBatchNo1")) + QStringLiteral(" as FBatchKey  from ") + formTable
            + QStringLiteral(" T1 inner join t_comProducts cp1 on T1.") + P
            + QStringLiteral(" = cp1.FID  LEFT JOIN t_comProductUnit T3 ON T1.") + P
            + QStringLiteral(" = T3.FProductID AND T1.FUnitId = T3.FUnitID  where T1.") + K + QStringLiteral(" = ")
            + billId + QStringLiteral(" and IfNull(T1.") + N + QStringLiteral(",0) > 0  and cp1.FIsBatchNo = 1 ");
    }
    return QStringLiteral(
               " select T1.FTypeID as FBillTypeID, T1.FID as FBillID, T2.FID as FListid,T1.FBillNo, T1.FBillDate as FBillDate, T1.")
        + S + QStringLiteral(" as FStorehouseID,  T2.") + P
        + QStringLiteral(" as FProductID,   CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.") + N
        + QStringLiteral(",0)     ELSE IFNULL(T2.") + N
        + QStringLiteral(
               ",0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T2.FBatchNo1,'') as FBatchNo1,T2.FKFDate,IfNull(T2.FKFPeriod,0) as FKFPeriod,T2.FPeriodDate, ")
        + batchKeySql(QStringLiteral("T2.FBatchNo1")) + QStringLiteral(" as FBatchKey  from ") + formTable
        + QStringLiteral(" T1 inner join ") + listTable + QStringLiteral(" T2    on T1.") + K
        + QStringLiteral(" = T2.FFormID and T1.") + K + QStringLiteral(" = ") + billId
        + QStringLiteral("  inner join t_comProducts cp1 on T2.") + P
        + QStringLiteral(" = cp1.FID  LEFT JOIN t_comProductUnit T3 ON T2.") + P
        + QStringLiteral(" = T3.FProductID AND T2.FUnitId = T3.FUnitID  where IfNull(T2.") + N
        + QStringLiteral(",0) > 0  and cp1.FIsBatchNo = 1 ");
}

bool allocateBill(int billType, const QString &formTable, const QString &listTable, const QString &numberColumn,
                  const QString &keyColumn, const QString &productColumn, const QString &storehouseColumn,
                  const QString &billId, const QSqlDatabase &db)
{
    TDataSet lines(db);
    if (!PostOpen(lines,
                  outgoingLinesQuery(billType, formTable, listTable, numberColumn, keyColumn, productColumn,
                                     storehouseColumn, billId)))
        return false;

    QList<OutLine> work;
    QList<int> products;
    for (lines.first(); !lines.eof(); lines.next()) {
        if (ValueToInt(lines.fieldByName(QStringLiteral("FBillID"))) == 0)
            continue;
        OutLine line;
        line.billTypeId = idText(lines.fieldByName(QStringLiteral("FBillTypeID")));
        line.billId = idText(lines.fieldByName(QStringLiteral("FBillID")));
        line.listId = idText(lines.fieldByName(QStringLiteral("FListID")));
        line.billNo = lines.fieldByName(QStringLiteral("FBillNo")).toString();
        line.billDate = PostingDateText(lines.fieldByName(QStringLiteral("FBillDate")).toDate());
        line.storehouseId = ValueToInt(lines.fieldByName(QStringLiteral("FStorehouseID")));
        line.productId = ValueToInt(lines.fieldByName(QStringLiteral("FProductID")));
        line.batchNo = lines.fieldByName(QStringLiteral("FBatchNo1")).toString();
        line.batchKey = lines.fieldByName(QStringLiteral("FBatchKey")).toByteArray();
        line.kfDate = dateText(lines.fieldByName(QStringLiteral("FKFDate")));
        line.kfPeriod = ValueToInt(lines.fieldByName(QStringLiteral("FKFPeriod")));
        line.periodDate = dateText(lines.fieldByName(QStringLiteral("FPeriodDate")));
        line.needed = toUnits(lines.fieldByName(QStringLiteral("FNumber")));
        products << line.productId;
        work << line;
    }

    if (!lockProducts(products, db))
        return false;
    return BillAllocation(std::move(work), db).run();
}

// Everything the bill took goes back onto the very rows it came from, whatever other bills
// did to them since; the bill's records are matched by bill ID and the bill's own type.
bool releaseBill(const QString &formTable, const QString &billId, const QSqlDatabase &db)
{
    TDataSet q(db);
    if (!PostOpen(q, QStringLiteral("select FTypeID from ") + formTable + QStringLiteral(" where FID = ") + billId))
        return false;
    const QString typeId = idText(q.fieldByName(QStringLiteral("FTypeID")));

    if (!PostOpen(q,
                  QStringLiteral("select distinct FProductID from t_comProductOutBatchNo where FBillID = ") + billId
                      + QStringLiteral(" and FTypeID = ") + typeId))
        return false;
    QList<int> products;
    for (q.first(); !q.eof(); q.next())
        products << ValueToInt(q.fieldByName(QStringLiteral("FProductID")));
    if (!lockProducts(products, db))
        return false;

    // The takes are summed per batch row first: a joined update changes each batch row once,
    // and two lines of one bill often take from the same batch.
    if (!PostExec(
            q,
            QStringLiteral("update t_comProductBatchNo T1 inner join (select FFromID, sum(IfNull(FNumber,0)) as "
                           "FNumber from t_comProductOutBatchNo where FBillID = ")
                + billId + QStringLiteral("    and FTypeID = ") + typeId
                + QStringLiteral(" group by FFromID) T2 on T1.FID = T2.FFromID  set T1.FNumber = IfNull(T1.FNumber,0) "
                                 "+ IfNull(T2.FNumber,0) ")))
        return false;
    return PostExec(q,
                    QStringLiteral("delete from t_comProductOutBatchNo where FBillID = ") + billId
                        + QStringLiteral("    and FTypeID = ") + typeId);
}

} // namespace

bool UpdateBatchNoIn(const QString &formTable, const QString &listTable, const QString &billId,
                     const QString &amountColumn, const QString &numberColumn, const QString &keyColumn,
                     const QString &productColumn, const QString &storehouseColumn, int sign, const QSqlDatabase &db)
{
    const IncomingSource src{
        QStringLiteral("T2"),
        QStringLiteral("from ") + formTable + QStringLiteral(" T1 inner join ") + listTable
            + QStringLiteral(" T2 on T1.FID = T2.FFormID   inner join t_comProducts cp1 on T2.") + productColumn
            + QStringLiteral(" = cp1.FID"),
        QStringLiteral("FROM ") + formTable + QStringLiteral(" T1 INNER JOIN ") + listTable
            + QStringLiteral(" T2 ON T1.FID = T2.FFormID      inner join t_comProducts cp1 on T2.") + productColumn
            + QStringLiteral(" = cp1.FID"),
    };
    return postIncoming(src, billId, amountColumn, numberColumn, keyColumn, productColumn, storehouseColumn, sign, db);
}

bool UpdateBatchNoInByTable(const QString &table, const QString &billId, int sign, const QString &amountColumn,
                            const QString &numberColumn, const QString &keyColumn, const QString &productColumn,
                            const QString &storehouseColumn, const QSqlDatabase &db)
{
    const IncomingSource src{
        QStringLiteral("T1"),
        QStringLiteral("from ") + table + QStringLiteral(" T1 inner join t_comProducts cp1 on T1.") + productColumn
            + QStringLiteral(" = cp1.FID"),
        QStringLiteral("FROM ") + table + QStringLiteral(" T1   inner join t_comProducts cp1 on T1.") + productColumn
            + QStringLiteral(" = cp1.FID"),
    };
    return postIncoming(src, billId, amountColumn, numberColumn, keyColumn, productColumn, storehouseColumn, sign, db);
}

bool UpdateBatchNoOut(int billType, const QString &formTable, const QString &listTable, const QString &numberColumn,
                      const QString &keyColumn, const QString &productColumn, const QString &storehouseColumn, int sign,
                      const QString &billId, const QSqlDatabase &db)
{
    if (sign == 1)
        return releaseBill(formTable, billId, db);
    if (sign == -1)
        return allocateBill(billType, formTable, listTable, numberColumn, keyColumn, productColumn, storehouseColumn,
                            billId, db);
    return true;
}

bool CheckBatchNoStock(int billType, int billId, const QString &formTable, int multiplier, const QString &listTable,
                       const QSqlDatabase &db)
{
    Q_UNUSED(billType);
    TDataSet q(db);
    const QString sql =
        QStringLiteral("SELECT T4.FName as FProductName FROM ") + formTable + QStringLiteral(" T1 INNER JOIN ")
        + listTable
        + QStringLiteral(
            " T2 ON T1.FID = T2.FFormID  LEFT JOIN t_comProductBatchNo T3 ON T2.FProductID = T3.FProductID AND  T1.FStorehouseID = T3.FStorehouseID AND IFNULL(T2.FBatchNo1,'') = IFNULL(T3.FBatchNo1,'') AND IFNULL(T2.FKFDate,'') = IFNULL(T3.FKFDate,'') AND IFNULL(T2.FPeriodDate,0) = IFNULL(T3.FPeriodDate,0) left join t_comProducts T4 on T2.FProductID = T4.FID  WHERE T1.FID = ")
        + QString::number(billId) + QStringLiteral(" AND (IFNULL(T2.FNumber,0) * ") + QString::number(multiplier)
        + QStringLiteral(") >  IFNULL(T3.FNumber,0) and T4.FIsBatchNo = 1 ");
    if (!PostOpen(q, sql))
        return false;
    if (q.isEmpty())
        return true;

    const QString name = q.fieldByName(QStringLiteral("FProductName")).toString();
    const HostSwitches &switches = nvDMBase::instance().switches;
    if (switches.forbidNegativeBatchStock) {
        Prompter::current().warning(QStringLiteral("商品[") + name + QStringLiteral("]批次库存不足"));
        return false;
    }
    if (switches.warnNegativeBatchStock)
        return Prompter::current().askYesNo(QStringLiteral("商品[") + name
                                                + QStringLiteral("]批次库存不足,是否允许负批次库存继续执行?"),
                                            PromptKind::Warning);
    return true;
}

bool CheckBatchNoStockOnCheck(int billType, int billId, const QSqlDatabase &db)
{
    // A purchase return takes its (negative) line quantities out of the batches.
    if (billType == BillType::PurchaseReturn)
        return CheckBatchNoStock(billType, billId, QStringLiteral("t_PurForm"), -1, QStringLiteral("T_PurList"), db);
    return true;
}

bool CheckBatchNoStockOnUnCheck(int billType, int billId, const QSqlDatabase &db)
{
    // Taking an incoming bill back takes its quantities out of the batches again.
    switch (billType) {
    case BillType::PurchaseIn:
        return CheckBatchNoStock(billType, billId, QStringLiteral("t_PurForm"), 1, QStringLiteral("T_PurList"), db);
    case BillType::OtherInOut:
        return CheckBatchNoStock(billType, billId, QStringLiteral("t_OtherOutInForm"), 1,
                                 QStringLiteral("T_OtherOutInList"), db);
    case BillType::LossGain:
        return CheckBatchNoStock(billType, billId, QStringLiteral("t_LossGainForm"), 1,
                                 QStringLiteral("T_LossGainList"), db);
    default: return true;
    }
}

} // namespace protask
