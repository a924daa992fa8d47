#include "posting/stock_steps.h"

#include "posting/posting_common.h"

namespace protask {

bool UpdateProductCurStock(const QString &table, const QString &keyColumn, const QString &billId,
                           const QString &numberColumn, int sign, const QString &productColumn, const QSqlDatabase &db)
{
    TDataSet q(db);
    const QString sql = QStringLiteral("update t_comProducts T1 inner join (select T1.") + productColumn
        + QStringLiteral(" as FProductID, SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.") + numberColumn
        + QStringLiteral(",0)  ELSE IFNULL(T1.") + numberColumn
        + QStringLiteral(",0) * IFNULL(T3.FRatio,0) END) AS FNumber  from ") + table
        + QStringLiteral(" T1   left join t_comProductUnit T3 on T1.") + productColumn
        + QStringLiteral(" = T3.FProductID and T1.FUnitId = T3.FUnitID  where T1.") + keyColumn + QStringLiteral(" = ")
        + billId + QStringLiteral(" group by T1.") + productColumn
        + QStringLiteral(") T2     on T1.FID = T2.FProductID set T1.FCurStock = IfNull(T1.FCurStock,0) + T2.FNumber * ")
        + QString::number(sign);
    return PostExec(q, sql);
}

bool UpdateLastPrice(const QString &listTable, const QString &keyColumn, const QString &billId, int direction,
                     const QSqlDatabase &db)
{
    QString setClause;
    if (direction == 1)
        setClause = QStringLiteral(" set T1.FLastInPrice = T2.FPrice, T1.FLastInDate = now() ");
    else if (direction == -1)
        setClause = QStringLiteral(" set T1.FLastOutPrice = T2.FPrice, T1.FLastOutDate = now() ");
    else
        return false;
    TDataSet q(db);
    const QString sql = QStringLiteral("update t_comProductUnit T1 inner join  ") + listTable
        + QStringLiteral(" T2  on T1.FProductID = T2.FProductID and T1.FUnitId = T2.FUnitID ") + setClause
        + QStringLiteral(" where T2.") + keyColumn + QStringLiteral(" = ") + billId
        + QStringLiteral(" and IfNull(T2.FPrice,0) <> 0");
    return PostExec(q, sql);
}

bool UpdateBalance(const QString &formTable, const QString &listTable, const QString &billId,
                   const QString &numberColumn, const QString &storehouseColumn, int sign, const QString &keyColumn,
                   const QString &productColumn, const QSqlDatabase &db)
{
    TDataSet q(db);
    const QString insertRows = QStringLiteral("insert into t_Balance(FStorehouseID,FProductID)   select IfNull(T1.")
        + storehouseColumn + QStringLiteral(",0) as FStorehouseID,T2.") + productColumn + QStringLiteral("  from ")
        + formTable + QStringLiteral(" T1 inner join ") + listTable
        + QStringLiteral(" T2 on T1.FID = T2.FFormID   where T1.") + keyColumn + QStringLiteral(" = ") + billId
        + QStringLiteral(" and not exists(select * from t_Balance T3             where T3.FStorehouseID = IfNull(T1.")
        + storehouseColumn + QStringLiteral(",0)           and T3.FProductID = T2.") + productColumn
        + QStringLiteral(")  group by IfNull(T1.") + storehouseColumn + QStringLiteral(",0),T2.") + productColumn;
    if (!PostExec(q, insertRows))
        return false;
    const QString addNumbers =
        QStringLiteral("update t_Balance T3 inner join (    select IfNull(T1.") + storehouseColumn
        + QStringLiteral(",0) as FStorehouseID,T2.") + productColumn
        + QStringLiteral(" as FProductID,T2.FUnitID,      SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T2.")
        + numberColumn + QStringLiteral(",0)           ELSE IFNULL(T2.") + numberColumn
        + QStringLiteral(",0) * IFNULL(T3.FRatio,0) END) AS FNumber     FROM ") + formTable
        + QStringLiteral(" T1 INNER JOIN ") + listTable
        + QStringLiteral(" T2 ON T1.FID = T2.FFormID       LEFT JOIN t_comProductUnit T3 ON T2.") + productColumn
        + QStringLiteral(" = T3.FProductID AND T2.FUnitId = T3.FUnitID     WHERE T1.") + keyColumn
        + QStringLiteral(" = ") + billId + QStringLiteral("    GROUP BY IFNULL(T1.") + storehouseColumn
        + QStringLiteral(",0),T2.") + productColumn
        + QStringLiteral(
            "  )  T4   ON T3.FStorehouseID = T4.FStorehouseID AND T3.FProductId = T4.FProductID  SET T3.FNumber "
            "= IFNULL(T3.FNumber,0) + T4.FNumber *")
        + QString::number(sign);
    return PostExec(q, addNumbers);
}

bool UpdateBalanceByTable(const QString &table, const QString &keyColumn, const QString &billId, int sign,
                          const QString &numberColumn, const QString &productColumn, const QString &storehouseColumn,
                          const QSqlDatabase &db)
{
    TDataSet q(db);
    const QString insertRows =
        QStringLiteral("insert into t_Balance(FStorehouseID,FProductID,FBatchNo1,FBatchNo2,FBatchNo3)   select IfNull(")
        + storehouseColumn + QStringLiteral(",0) as FStorehouseID,") + productColumn
        + QStringLiteral(", '','',''   from ") + table + QStringLiteral("  T1   where ") + keyColumn
        + QStringLiteral(" = ") + billId
        + QStringLiteral(" and not exists(select * from t_Balance T3             where T3.FStorehouseID = IfNull(T1.")
        + storehouseColumn + QStringLiteral(",0)           and T3.FProductID = T1.") + productColumn
        + QStringLiteral(")  group by IfNull(T1.") + storehouseColumn + QStringLiteral(",0),T1.") + productColumn;
    if (!PostExec(q, insertRows))
        return false;
    // The lines are summed per storehouse and product, each converted to base units inside
    // the sum. A joined update changes a balance row once, so two rows for one balance row
    // (the same product in two units) would lose one of them.
    const QString addNumbers = QStringLiteral("update t_Balance T3 inner join (    select IfNull(T1.")
        + storehouseColumn + QStringLiteral(",0) as FStorehouseID,T1.") + productColumn
        + QStringLiteral(" as FProductID,      SUM(CASE WHEN IFNULL(T3.FUnitId,0) = 0 THEN IFNULL(T1.") + numberColumn
        + QStringLiteral(",0)           ELSE IFNULL(T1.") + numberColumn
        + QStringLiteral(",0) * IFNULL(T3.FRatio,0) END) AS FNumber     from ") + table
        + QStringLiteral(" T1       LEFT JOIN t_comProductUnit T3 ON T1.") + productColumn
        + QStringLiteral(" = T3.FProductID AND T1.FUnitId = T3.FUnitID     where T1.") + keyColumn
        + QStringLiteral(" = ") + billId + QStringLiteral("    group by IfNull(T1.") + storehouseColumn
        + QStringLiteral(",0),T1.") + productColumn
        + QStringLiteral("    ) T4   on T3.FStorehouseID = T4.FStorehouseID and T3.FProductId = T4.FProductID  Set "
                         "T3.FNumber = IfNull(T3.FNumber,0) + T4.FNumber *")
        + QString::number(sign);
    return PostExec(q, addNumbers);
}

} // namespace protask
