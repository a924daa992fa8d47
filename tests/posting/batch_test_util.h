#pragma once

// Seeding and reading helpers of the batch stock tests. Everything takes the connection
// last so that the concurrency tests can use them on their own connections.

#include "platform/db.h"
#include "core/sql_helpers.h"
#include "test_db.h"

#include <QString>
#include <QVariant>

namespace protask::batchtest {

// Products: 1 batch-tracked with a box of 12 (unit 2) besides the piece (unit 1),
// 2 without batches, 3 batch-tracked with pieces only. Storehouses 1 and 2.
inline constexpr int kBatchProduct = 1;
inline constexpr int kPlainProduct = 2;
inline constexpr int kSecondBatchProduct = 3;
inline constexpr int kPiece = 1;
inline constexpr int kBox = 2;

inline void SeedProductsAndStorehouses()
{
    protask::testing::ExecScript(QStringLiteral(
        "insert into t_comUnit(FID, FName) values (1, '个'), (2, '箱');"
        "insert into t_comProducts(FID, FName, FStdUnitID, FIsBatchNo) values"
        " (1, '批次奶粉', 1, 1), (2, '普通饼干', 1, 0), (3, '批次酸奶', 1, 1);"
        "insert into t_comProductUnit(FProductID, FSID, FUnitID, FRatio) values"
        " (1, 1, 1, 1), (1, 2, 2, 12), (2, 1, 1, 1), (3, 1, 1, 1);"
        "insert into t_comStorehouse(FID, FName) values (1, '总仓'), (2, '门店仓')"));
}

// A nullable SQL literal: empty text becomes null.
inline QString SqlText(const QString &text, const QSqlDatabase &db = Db())
{
    return text.isEmpty() ? QStringLiteral("null") : QuotedStr(text, db);
}

inline void Exec(const QString &sql, const QSqlDatabase &db = Db())
{
    TDataSet q(db);
    q.exec(sql);
}

inline QVariant Scalar(const QString &sql, const QSqlDatabase &db = Db())
{
    TDataSet q(db);
    q.open(sql);
    return q.isEmpty() ? QVariant() : q.value(0, 0);
}

inline double Number(const QString &sql, const QSqlDatabase &db = Db()) { return Scalar(sql, db).toDouble(); }

// A batch stock row; answers its FID.
inline int AddBatch(int storehouse, int product, const QString &batchNo, const QString &kfDate, double number,
                    const QString &periodDate = QString(), const QString &kfPeriod = QString(), const QSqlDatabase &db = Db())
{
    TDataSet q(db);
    q.exec(QStringLiteral("insert into t_comProductBatchNo(FStorehouseID, FProductID, FBatchNo1, FKFDate, FKFPeriod, "
                          "FPeriodDate, FNumber, FAmount) values (%1, %2, %3, %4, %5, %6, %7, 0)")
               .arg(storehouse)
               .arg(product)
               .arg(SqlText(batchNo, db), SqlText(kfDate, db), kfPeriod.isEmpty() ? QStringLiteral("null") : kfPeriod,
                    SqlText(periodDate, db), sqlNumber(number)));
    return q.lastInsertId().toInt();
}

inline double BatchStock(int batchId, const QSqlDatabase &db = Db())
{
    return Number(QStringLiteral("select FNumber from t_comProductBatchNo where FID = %1").arg(batchId), db);
}

inline int CountRows(const QString &table, const QString &where = QString(), const QSqlDatabase &db = Db())
{
    return Scalar(QStringLiteral("select count(*) from ") + table + (where.isEmpty() ? QString() : QStringLiteral(" where ") + where), db)
        .toInt();
}

// A bill header with the columns every stock bill has.
inline void AddHeader(const QString &table, int id, int typeId, const QString &billNo, const QString &billDate, int storehouse,
                      const QSqlDatabase &db = Db())
{
    Exec(QStringLiteral("insert into %1(FID, FTypeID, FBillNo, FBillDate, FStorehouseID) values (%2, %3, %4, %5, %6)")
             .arg(table)
             .arg(id)
             .arg(typeId)
             .arg(QuotedStr(billNo, db), QuotedStr(billDate, db))
             .arg(storehouse),
         db);
}

// The batch data a line (or an assembly header) carries.
struct BatchData {
    QString batchNo;
    QString kfDate;
    QString kfPeriod;   // empty for null
    QString periodDate;
};

inline QString BatchValues(const BatchData &b, const QSqlDatabase &db)
{
    return SqlText(b.batchNo, db) + QStringLiteral(", ") + SqlText(b.kfDate, db) + QStringLiteral(", ")
           + (b.kfPeriod.isEmpty() ? QStringLiteral("null") : b.kfPeriod) + QStringLiteral(", ") + SqlText(b.periodDate, db);
}

// A bill line; `amount` goes into FTobeDiscountAmount and FAmount alike, `storehouse` only
// into tables whose lines carry one (assembly components).
inline void AddLine(const QString &table, int id, int formId, int product, int unit, double number, const BatchData &batch,
                    double amount = 0, int storehouse = 0, const QSqlDatabase &db = Db())
{
    const QString storeColumn = storehouse ? QStringLiteral(", FStorehouseID") : QString();
    const QString storeValue = storehouse ? QStringLiteral(", ") + QString::number(storehouse) : QString();
    Exec(QStringLiteral("insert into %1(FID, FFormID, FSID, FProductID, FUnitID, FNumber, FAmount, FTobeDiscountAmount, "
                        "FBatchNo1, FKFDate, FKFPeriod, FPeriodDate%2) values (%3, %4, %3, %5, %6, %7, %8, %8, %9%10)")
             .arg(table, storeColumn)
             .arg(id)
             .arg(formId)
             .arg(product)
             .arg(unit)
             .arg(sqlNumber(number), sqlNumber(amount), BatchValues(batch, db), storeValue),
         db);
}

} // namespace protask::batchtest
