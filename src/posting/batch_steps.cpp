#include "batch_steps.h"

#include "nv_dm_base.h"
#include "posting_common.h"
#include "prompter.h"
#include "values.h"

#include <QDate>
#include <QDateTime>

#include <algorithm>

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
    QString lineAlias;   // alias of the rows that carry product and batch data
    QString insertFrom;  // the insertion's from clause (without the surrounding blanks)
    QString updateFrom;  // the update's from clause (without the surrounding blanks)
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
            QStringLiteral("insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate)   select IfNull(T1.")
            + S + QStringLiteral(",0) as FStorehouseID,") + L + QStringLiteral(".") + P + QStringLiteral(",   IfNull(") + L
            + QStringLiteral(".FBatchNo1,'') as FBatchNo1,") + L + QStringLiteral(".FKFDate,max(") + L + QStringLiteral(".FKFPeriod),") + L
            + QStringLiteral(".FPeriodDate   ") + src.insertFrom + QStringLiteral("   where T1.") + keyColumn + QStringLiteral(" = ")
            + billId + QStringLiteral("      and IfNull(") + L + QStringLiteral(".") + N
            + QStringLiteral(",0) > 0 and cp1.FIsBatchNo = 1       and not exists(select * from t_comProductBatchNo T3             where T3.FStorehouseID = IfNull(T1.")
            + S + QStringLiteral(",0)           and T3.FProductID = ") + L + QStringLiteral(".") + P
            + QStringLiteral(" and IfNull(T3.FBatchNo1,'') = IfNull(") + L
            + QStringLiteral(".FBatchNo1,'')           and IfNull(T3.FKFDate,'') = ifNull(") + L
            + QStringLiteral(".FKFDate,'')          and IfNull(T3.FPeriodDate,'') = ifNull(") + L
            + QStringLiteral(".FPeriodDate,''))  group by IfNull(T1.") + S + QStringLiteral(",0),") + L + QStringLiteral(".") + P
            + QStringLiteral(",           IfNull(") + L + QStringLiteral(".FBatchNo1,'') ,") + L + QStringLiteral(".FKFDate,") + L
            + QStringLiteral(".FPeriodDate");
        if (!PostExec(q, insert))
            return false;
    }

    const QString update =
        QStringLiteral("update t_comProductBatchNo T3 inner join (    select IfNull(T1.") + S + QStringLiteral(",0) as FStorehouseID,") + L
        + QStringLiteral(".") + P + QStringLiteral(" as FProductID,") + L
        + QStringLiteral(".FUnitID,      IfNull(FBatchNo1,'') as FBatchNo1,") + L + QStringLiteral(".FKFDate,max(") + L
        + QStringLiteral(".FKFPeriod) as FKFPeriod,") + L + QStringLiteral(".FPeriodDate,       SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(")
        + L + QStringLiteral(".") + N + QStringLiteral(",0)           ELSE IFNULL(") + L + QStringLiteral(".") + N
        + QStringLiteral(",0) * IFNULL(T3.FRatio,0) END) AS FNumber,      sum(IfNull(") + L + QStringLiteral(".") + amountColumn
        + QStringLiteral(",0)) as FAmount     ") + src.updateFrom + QStringLiteral("       LEFT JOIN t_comProductUnit T3 ON ") + L
        + QStringLiteral(".") + P + QStringLiteral(" = T3.FProductID AND ") + L
        + QStringLiteral(".FUnitId = T3.FUnitID     WHERE T1.") + keyColumn + QStringLiteral(" = ") + billId
        + QStringLiteral("      and IfNull(") + L + QStringLiteral(".") + N
        + QStringLiteral(",0) > 0 and cp1.FIsBatchNo = 1     GROUP BY IFNULL(T1.") + S + QStringLiteral(",0),") + L
        + QStringLiteral(".") + P + QStringLiteral(",      IFNULL(FBatchNo1,''),") + L + QStringLiteral(".FKFDate,") + L
        + QStringLiteral(".FPeriodDate   )  T4   ON T3.FStorehouseID = T4.FStorehouseID AND T3.FProductId = T4.FProductID       AND IFNULL(T3.FBatchNo1,'') = IFNULL(T4.FBatchNo1,'')           and IfNull(T3.FKFDate,'') = ifNull(T4.FKFDate,'')          and IfNull(T3.FPeriodDate,'') = ifNull(T4.FPeriodDate,'') SET T3.FNumber = IFNULL(T3.FNumber,0) + T4.FNumber *")
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
    return PostOpen(q, QStringLiteral("select FID from t_comProducts where FID in (") + ids.join(QLatin1Char(','))
                           + QStringLiteral(") order by FID for update"));
}

// One outgoing line as the allocation needs it: ids as decimal text, dates as "yyyy-mm-dd".
struct OutLine {
    QString billTypeId;
    QString billId;
    QString listId;
    QString billNo;
    QString billDate;
    QString storehouseId;
    QString productId;
    QString batchNo;
    QString kfDate;     // "yyyy-mm-dd" or empty
    int kfPeriod = 0;
    QString periodDate; // "yyyy-mm-dd" or empty
    double needed = 0;
};

// What a take was taken from: the batch row and the batch data written on the record.
struct TakenBatch {
    QString batchRowId;
    QString batchNo;
    QString kfDate;
    QString kfPeriodSql; // already in the form the record wants it (quoted or plain)
    QString periodDate;
};

bool recordTake(TDataSet &exec, const OutLine &line, const TakenBatch &from, double take, const QSqlDatabase &db)
{
    const QString sql =
        QStringLiteral("Insert into t_comProductOutBatchNo (FFromID,FTypeID,FBillID,FListID,FBillNo,FBillDate,FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber,FPrice,FAmount)  values ( ")
        + from.batchRowId + QStringLiteral(",") + line.billTypeId + QStringLiteral(",") + line.billId + QStringLiteral(",")
        + line.listId + QStringLiteral(",") + QuotedStr(line.billNo, db) + QStringLiteral(",") + QuotedStr(line.billDate, db)
        + QStringLiteral(",") + line.storehouseId + QStringLiteral(",") + line.productId + QStringLiteral(",")
        + QuotedStr(from.batchNo, db) + QStringLiteral(",STR_TO_DATE(") + QuotedStr(from.kfDate, db)
        + QStringLiteral(",'%Y-%m-%d'),") + from.kfPeriodSql + QStringLiteral(",STR_TO_DATE(") + QuotedStr(from.periodDate, db)
        + QStringLiteral(",'%Y-%m-%d'),") + sqlNumber(take) + QStringLiteral(",0,0)");
    return PostExec(exec, sql);
}

bool takeFromBatchRow(TDataSet &exec, const QString &batchRowId, double take)
{
    return PostExec(exec, QStringLiteral("update t_comProductBatchNo set FNumber = IfNull(FNumber,0) - ") + sqlNumber(take)
                              + QStringLiteral(" where FID = ") + batchRowId);
}

// The rest that no batch could cover becomes negative stock of the line's own batch (the
// row is created when the storehouse never held it), recorded like any other take so that
// a release adds it back.
bool AddBatchNoShortage(const OutLine &line, double rest, const QSqlDatabase &db)
{
    const QString quotedBatchNo = QuotedStr(line.batchNo, db);
    const QString quotedKFDate = QuotedStr(line.kfDate, db);
    const QString quotedExpiry = QuotedStr(line.periodDate, db);
    const QString kfPeriod = QString::number(line.kfPeriod);
    const QString negRest = sqlNumber(rest * -1);
    const QString sameBatch = QStringLiteral(" where FStorehouseID = ") + line.storehouseId + QStringLiteral(" and FProductID = ")
                              + line.productId + QStringLiteral(" and IfNull(FBatchNo1,'') = ") + quotedBatchNo
                              + QStringLiteral(" and IfNull(FKFPeriod,'') = ") + kfPeriod
                              + QStringLiteral(" and IfNull(FPeriodDate,'') = ") + quotedExpiry
                              + QStringLiteral(" and IfNull(FKFDate,'') = ") + quotedKFDate;

    TDataSet batch(db);
    TDataSet exec(db);
    if (!PostOpen(batch, QStringLiteral("select * from t_comProductBatchNo ") + sameBatch + QStringLiteral(" for update")))
        return false;
    QString batchRowId;
    if (batch.isEmpty()) {
        const QString insert =
            QStringLiteral("insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber) values(")
            + line.storehouseId + QStringLiteral(",") + line.productId + QStringLiteral(",") + quotedBatchNo
            + QStringLiteral(",STR_TO_DATE(") + quotedKFDate + QStringLiteral(",'%Y-%m-%d'),") + kfPeriod
            + QStringLiteral(",STR_TO_DATE(") + quotedExpiry + QStringLiteral(",'%Y-%m-%d'),") + negRest + QStringLiteral(")");
        if (!PostExec(exec, insert))
            return false;
        if (!PostOpen(batch, QStringLiteral("SELECT LAST_INSERT_ID() AS IBatchNoID")))
            return false;
        batchRowId = idText(batch.fieldByName(QStringLiteral("IBatchNoID")));
    } else {
        batchRowId = idText(batch.fieldByName(QStringLiteral("FID")));
        if (!PostExec(exec, QStringLiteral("update t_comProductBatchNo set FNumber = IfNull(FNumber,0) + ") + negRest + sameBatch))
            return false;
    }
    const TakenBatch own{batchRowId, line.batchNo, line.kfDate, kfPeriod, line.periodDate};
    return recordTake(exec, line, own, rest, db);
}

// The line's own batch first (when it holds stock), then the oldest batches of the product
// in the storehouse, then a shortage on the line's own batch.
bool allocateLine(const OutLine &line, const QSqlDatabase &db)
{
    TDataSet batch(db);
    TDataSet exec(db);
    const QString quotedBatchNo = QuotedStr(line.batchNo, db);
    const QString quotedKFDate = QuotedStr(line.kfDate, db);
    const QString kfPeriod = QString::number(line.kfPeriod);

    double rest = line.needed;
    const QString ownBatch = QStringLiteral("select * from t_comProductBatchNo  where FStorehouseID = ") + line.storehouseId
                             + QStringLiteral(" and FProductID = ") + line.productId + QStringLiteral(" and IfNull(FBatchNo1,'') = ")
                             + quotedBatchNo + QStringLiteral(" and IfNull(FKFDate,'') = ") + quotedKFDate
                             + QStringLiteral(" and IfNull(FKFPeriod,0) = ") + kfPeriod
                             + QStringLiteral(" and IfNull(FNumber,0) > 0 for update");
    if (!PostOpen(batch, ownBatch))
        return false;
    if (!batch.isEmpty()) {
        const QString rowId = idText(batch.fieldByName(QStringLiteral("FID")));
        const double onHand = ValueToFloat(batch.fieldByName(QStringLiteral("FNumber")));
        rest = RoundValue(kQuantityPlaces, line.needed - onHand);
        const double take = rest >= 0 ? onHand : line.needed;
        if (!takeFromBatchRow(exec, rowId, take))
            return false;
        const TakenBatch own{rowId, line.batchNo, line.kfDate, QuotedStr(kfPeriod, db), line.periodDate};
        if (!recordTake(exec, line, own, take, db))
            return false;
    }

    if (rest > 0) {
        // The batch emptied above now holds 0 and is no longer listed.
        const QString oldestFirst = QStringLiteral("select * from t_comProductBatchNo  where FStorehouseID = ") + line.storehouseId
                                    + QStringLiteral(" and FProductID = ") + line.productId
                                    + QStringLiteral(" and ifNull(FNumber,0) > 0  order by FKFDate,FBatchNo1 for update");
        if (!PostOpen(batch, oldestFirst))
            return false;
        for (batch.first(); !batch.eof() && rest > 0; batch.next()) {
            const double onHand = ValueToFloat(batch.fieldByName(QStringLiteral("FNumber")));
            double take = 0;
            if (onHand >= rest) {
                take = rest;
                rest = 0;
            } else {
                take = onHand;
                rest = RoundValue(kQuantityPlaces, rest - take);
            }
            const QString rowId = idText(batch.fieldByName(QStringLiteral("FID")));
            if (!takeFromBatchRow(exec, rowId, take))
                return false;
            const TakenBatch from{rowId, batch.fieldByName(QStringLiteral("FBatchNo1")).toString(),
                                  dateText(batch.fieldByName(QStringLiteral("FKFDate"))),
                                  QuotedStr(batch.fieldByName(QStringLiteral("FKFPeriod")).toString(), db),
                                  dateText(batch.fieldByName(QStringLiteral("FPeriodDate")))};
            if (!recordTake(exec, line, from, take, db))
                return false;
        }
    }

    if (rest > 0)
        return AddBatchNoShortage(line, rest, db);
    return true;
}

QString outgoingLinesQuery(int billType, const QString &formTable, const QString &listTable, const QString &numberColumn,
                           const QString &keyColumn, const QString &productColumn, const QString &storehouseColumn,
                           const QString &billId)
{
    const QString &S = storehouseColumn;
    const QString &P = productColumn;
    const QString &N = numberColumn;
    const QString &K = keyColumn;
    if (billType == 3025) {
        // Assembly: the components leave from the storehouse of each line.
        return QStringLiteral(" select T1.FTypeID as FBillTypeID, T1.FID as FBillID,T2.FID as FListID, T1.FBillNo, T1.FBillDate as FBillDate, T2.")
               + S + QStringLiteral(" as FStorehouseID,  T2.") + P
               + QStringLiteral(" as FProductID,  CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.") + N
               + QStringLiteral(",0)     ELSE IFNULL(T2.") + N
               + QStringLiteral(",0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T2.FBatchNo1,'') as FBatchNo1,T2.FKFDate,IfNull(T2.FKFPeriod,0) as FKFPeriod,T2.FPeriodDate  from ")
               + formTable + QStringLiteral(" T1 inner join ") + listTable + QStringLiteral(" T2     on T1.") + K
               + QStringLiteral(" = T2.FFormID and T1.") + K + QStringLiteral(" = ") + billId
               + QStringLiteral("  inner join t_comProducts cp1 on T2.") + P
               + QStringLiteral(" = cp1.FID  LEFT JOIN t_comProductUnit T3 ON T2.") + P
               + QStringLiteral(" = T3.FProductID AND T2.FUnitId = T3.FUnitID  where IfNull(T2.") + N
               + QStringLiteral(",0) > 0  and cp1.FIsBatchNo = 1 ");
    }
    if (billType == 3026) {
        // Dismantling: the header's product leaves.
        return QStringLiteral(" select T1.FTypeID as FBillTypeID, T1.FID as FBillID, 0 as FListID, T1.FBillNo, T1.FBillDate as FBillDate, T1.")
               + S + QStringLiteral(" as FStorehouseID, T1.") + P
               + QStringLiteral(" as FProductID,  CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.") + N
               + QStringLiteral(",0)     ELSE IFNULL(T1.") + N
               + QStringLiteral(",0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T1.FBatchNo1,'') as FBatchNo1,T1.FKFDate,IfNull(T1.FKFPeriod,0) as FKFPeriod,T1.FPeriodDate  from ")
               + formTable + QStringLiteral(" T1 inner join t_comProducts cp1 on T1.") + P
               + QStringLiteral(" = cp1.FID  LEFT JOIN t_comProductUnit T3 ON T1.") + P
               + QStringLiteral(" = T3.FProductID AND T1.FUnitId = T3.FUnitID  where T1.") + K + QStringLiteral(" = ") + billId
               + QStringLiteral(" and IfNull(T1.") + N + QStringLiteral(",0) > 0  and cp1.FIsBatchNo = 1 ");
    }
    return QStringLiteral(" select T1.FTypeID as FBillTypeID, T1.FID as FBillID, T2.FID as FListid,T1.FBillNo, T1.FBillDate as FBillDate, T1.")
           + S + QStringLiteral(" as FStorehouseID,  T2.") + P
           + QStringLiteral(" as FProductID,   CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.") + N
           + QStringLiteral(",0)     ELSE IFNULL(T2.") + N
           + QStringLiteral(",0) * IFNULL(T3.FRatio,0) END  AS FNumber, ifNull(T2.FBatchNo1,'') as FBatchNo1,T2.FKFDate,IfNull(T2.FKFPeriod,0) as FKFPeriod,T2.FPeriodDate  from ")
           + formTable + QStringLiteral(" T1 inner join ") + listTable + QStringLiteral(" T2    on T1.") + K
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
    if (!PostOpen(lines, outgoingLinesQuery(billType, formTable, listTable, numberColumn, keyColumn, productColumn,
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
        line.storehouseId = idText(lines.fieldByName(QStringLiteral("FStorehouseID")));
        line.productId = idText(lines.fieldByName(QStringLiteral("FProductID")));
        line.batchNo = lines.fieldByName(QStringLiteral("FBatchNo1")).toString();
        line.kfDate = dateText(lines.fieldByName(QStringLiteral("FKFDate")));
        line.kfPeriod = ValueToInt(lines.fieldByName(QStringLiteral("FKFPeriod")));
        line.periodDate = dateText(lines.fieldByName(QStringLiteral("FPeriodDate")));
        line.needed = RoundValue(kQuantityPlaces, ValueToFloat(lines.fieldByName(QStringLiteral("FNumber"))));
        products << line.productId.toInt();
        work << line;
    }

    if (!lockProducts(products, db))
        return false;
    for (const OutLine &line : work) {
        if (!allocateLine(line, db))
            return false;
    }
    return true;
}

// Everything the bill took goes back onto the very rows it came from, whatever other bills
// did to them since; the bill's records are matched by bill ID and the bill's own type.
bool releaseBill(const QString &formTable, const QString &billId, const QSqlDatabase &db)
{
    TDataSet q(db);
    if (!PostOpen(q, QStringLiteral("select FTypeID from ") + formTable + QStringLiteral(" where FID = ") + billId))
        return false;
    const QString typeId = idText(q.fieldByName(QStringLiteral("FTypeID")));

    if (!PostOpen(q, QStringLiteral("select distinct FProductID from t_comProductOutBatchNo where FBillID = ") + billId
                         + QStringLiteral(" and FTypeID = ") + typeId))
        return false;
    QList<int> products;
    for (q.first(); !q.eof(); q.next())
        products << ValueToInt(q.fieldByName(QStringLiteral("FProductID")));
    if (!lockProducts(products, db))
        return false;

    // The takes are summed per batch row first: a joined update changes each batch row once,
    // and two lines of one bill often take from the same batch.
    if (!PostExec(q, QStringLiteral("update t_comProductBatchNo T1 inner join (select FFromID, sum(IfNull(FNumber,0)) as "
                                    "FNumber from t_comProductOutBatchNo where FBillID = ")
                         + billId + QStringLiteral("    and FTypeID = ") + typeId
                         + QStringLiteral(" group by FFromID) T2 on T1.FID = T2.FFromID  set T1.FNumber = IfNull(T1.FNumber,0) "
                                          "+ IfNull(T2.FNumber,0) ")))
        return false;
    return PostExec(q, QStringLiteral("delete from t_comProductOutBatchNo where FBillID = ") + billId
                           + QStringLiteral("    and FTypeID = ") + typeId);
}

} // namespace

bool UpdateBatchNoIn(const QString &formTable, const QString &listTable, const QString &billId, const QString &amountColumn,
                     const QString &numberColumn, const QString &keyColumn, const QString &productColumn,
                     const QString &storehouseColumn, int sign, const QSqlDatabase &db)
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
    ClearLastPostingError();
    TDataSet q(db);
    const QString sql =
        QStringLiteral("SELECT T4.FName as FProductName FROM ") + formTable + QStringLiteral(" T1 INNER JOIN ") + listTable
        + QStringLiteral(" T2 ON T1.FID = T2.FFormID  LEFT JOIN t_comProductBatchNo T3 ON T2.FProductID = T3.FProductID AND  T1.FStorehouseID = T3.FStorehouseID AND IFNULL(T2.FBatchNo1,'') = IFNULL(T3.FBatchNo1,'') AND IFNULL(T2.FKFDate,'') = IFNULL(T3.FKFDate,'') AND IFNULL(T2.FPeriodDate,0) = IFNULL(T3.FPeriodDate,0) left join t_comProducts T4 on T2.FProductID = T4.FID  WHERE T1.FID = ")
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
        return Prompter::current().askYesNo(QStringLiteral("商品[") + name + QStringLiteral("]批次库存不足,是否允许负批次库存继续执行?"),
                                            PromptKind::Warning);
    return true;
}

bool CheckBatchNoStockOnCheck(int billType, int billId, const QSqlDatabase &db)
{
    // A purchase return takes its (negative) line quantities out of the batches.
    if (billType == 3015)
        return CheckBatchNoStock(billType, billId, QStringLiteral("t_PurForm"), -1, QStringLiteral("T_PurList"), db);
    return true;
}

bool CheckBatchNoStockOnUnCheck(int billType, int billId, const QSqlDatabase &db)
{
    // Taking an incoming bill back takes its quantities out of the batches again.
    switch (billType) {
    case 3002:
        return CheckBatchNoStock(billType, billId, QStringLiteral("t_PurForm"), 1, QStringLiteral("T_PurList"), db);
    case 3019:
        return CheckBatchNoStock(billType, billId, QStringLiteral("t_OtherOutInForm"), 1, QStringLiteral("T_OtherOutInList"), db);
    case 3021:
        return CheckBatchNoStock(billType, billId, QStringLiteral("t_LossGainForm"), 1, QStringLiteral("T_LossGainList"), db);
    default:
        return true;
    }
}

} // namespace protask
