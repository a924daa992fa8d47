#include "posting_test_util.h"

#include "platform/nv_dm_base.h"
#include "posting/posting_engine.h"
#include "core/sql_helpers.h"
#include "core/values.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <stdexcept>

namespace protask::testing {

namespace {

QSqlQuery run(const QString &sql)
{
    QSqlQuery q(Db());
    if (!q.exec(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
    return q;
}

} // namespace

void Exec(const QString &sql) { run(sql); }

void InsertRow(const QString &table, const QVariantMap &values)
{
    QStringList columns;
    QStringList marks;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        columns << it.key();
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("insert into %1(%2) values(%3)").arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    QSqlQuery q(Db());
    if (!q.prepare(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        q.addBindValue(it.value());
    if (!q.exec())
        throw DbError::fromSqlError(q.lastError(), sql);
}

void SeedUnit(int id, const QString &name) { InsertRow(QStringLiteral("t_comUnit"), {{"FID", id}, {"FName", name}}); }

void SeedProduct(int id, const QString &name, bool batchTracked)
{
    InsertRow(QStringLiteral("t_comProducts"),
              {{"FID", id}, {"FName", name}, {"FStdUnitID", world::kUnitPiece}, {"FIsBatchNo", batchTracked ? 1 : 0}});
}

void SeedProductUnit(int productId, int sid, int unitId, const QVariant &ratio)
{
    InsertRow(QStringLiteral("t_comProductUnit"), {{"FProductID", productId}, {"FSID", sid}, {"FUnitID", unitId}, {"FRatio", ratio}});
}

void SeedClient(int id, const QVariant &total, const QVariant &paid, const QVariant &unpaid)
{
    InsertRow(QStringLiteral("t_comClient"), {{"FID", id},
                                              {"FName", QStringLiteral("客户%1").arg(id)},
                                              {"FTotalAmount", total},
                                              {"FPayAmount", paid},
                                              {"FUnPayAmount", unpaid}});
}

int SeedBatch(int storehouse, int product, const QString &batchNo, const QDate &kfDate, double number)
{
    InsertRow(QStringLiteral("t_comProductBatchNo"), {{"FStorehouseID", storehouse},
                                                      {"FProductID", product},
                                                      {"FBatchNo1", batchNo},
                                                      {"FKFDate", kfDate},
                                                      {"FNumber", number},
                                                      {"FAmount", 0}});
    return Scalar(QStringLiteral("select max(FID) from t_comProductBatchNo")).toInt();
}

void SeedBillType(int id, int billType, const QString &billTypeNo, const QString &preCode)
{
    InsertRow(QStringLiteral("T_BillType"),
              {{"FID", id}, {"FBillTypeID", billType}, {"FBillTypeNo", billTypeNo}, {"FPreCode", preCode}});
}

namespace {

void seedStorehouse(int id)
{
    InsertRow(QStringLiteral("t_comStorehouse"), {{"FID", id}, {"FName", QStringLiteral("仓库%1").arg(id)}});
}

void seedCash(int id, double balance)
{
    InsertRow(QStringLiteral("t_comCash"), {{"FID", id}, {"FName", QStringLiteral("现金%1").arg(id)}, {"FBalance", balance}});
}

} // namespace

void SeedWorld()
{
    using namespace world;
    nvDMBase::instance().userId = kUserId;
    SeedUnit(kUnitPiece, QStringLiteral("个"));
    SeedUnit(kUnitBox, QStringLiteral("箱"));
    SeedProduct(kPlain, QStringLiteral("螺丝"), false);
    SeedProduct(kBatch, QStringLiteral("胶水"), true);
    SeedProduct(kAssembled, QStringLiteral("套件"), true);
    SeedProductUnit(kPlain, 1, kUnitPiece, 1);
    SeedProductUnit(kBatch, 1, kUnitPiece, 1);
    SeedProductUnit(kBatch, 2, kUnitBox, kBoxRatio);
    SeedProductUnit(kAssembled, 1, kUnitPiece, 1);
    seedStorehouse(kStore);
    seedStorehouse(kStore2);
    SeedClient(kClient, 1000, 400, 600);
    SeedClient(kSupplier, 1000, 400, 600);
    seedCash(kCash, 5000);
    SeedBatch(kStore, kBatch, QStringLiteral("B1"), QDate(2026, 1, 1), 5);
    SeedBatch(kStore, kBatch, QStringLiteral("B2"), QDate(2026, 2, 1), 20);
    SeedBatch(kStore, kAssembled, QStringLiteral("H1"), QDate(2026, 3, 1), 10);
    for (int sid : {1, 2}) {
        InsertRow(QStringLiteral("t_SaleOrderList"),
                  {{"FID", kSaleOrderLine + sid - 1}, {"FFormID", 500}, {"FSID", sid}, {"FProductID", kPlain}});
        InsertRow(QStringLiteral("t_PurOrderList"),
                  {{"FID", kPurOrderLine + sid - 1}, {"FFormID", 500}, {"FSID", sid}, {"FProductID", kPlain}});
        InsertRow(QStringLiteral("t_ProTaskList"), {{"FID", kTaskLine + sid - 1}, {"FFormID", kTask}, {"FSID", sid}, {"FProductID", kPlain}});
        InsertRow(QStringLiteral("t_ProTaskForm"),
                  {{"FID", kTask + sid - 1}, {"FTypeID", 3049}, {"FProductID", kAssembled}, {"FNumber", 9}});
        InsertRow(QStringLiteral("t_SaleOutForm"), {{"FID", kSettledBill + sid - 1}, {"FTypeID", 3004}, {"FAmount", 500}});
        InsertRow(QStringLiteral("t_PurForm"), {{"FID", kSettledBill + sid - 1}, {"FTypeID", 3002}, {"FAmount", 500}});
    }
}

void SeedBill(int billType, const QString &formTable, const QString &listTable, int billId, QVariantMap header,
              const QList<QVariantMap> &lines)
{
    header.insert(QStringLiteral("FID"), billId);
    if (!header.contains(QStringLiteral("FTypeID")))
        header.insert(QStringLiteral("FTypeID"), billType);
    if (!header.contains(QStringLiteral("FBillNo")))
        header.insert(QStringLiteral("FBillNo"), QStringLiteral("T%1-%2").arg(billType).arg(billId));
    if (!header.contains(QStringLiteral("FBillDate")))
        header.insert(QStringLiteral("FBillDate"), QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
    InsertRow(formTable, header);
    int n = 0;
    for (QVariantMap line : lines) {
        ++n;
        line.insert(QStringLiteral("FID"), billId * 1000 + n);
        line.insert(QStringLiteral("FFormID"), billId);
        line.insert(QStringLiteral("FSID"), n);
        InsertRow(listTable, line);
    }
}

QList<QVariantMap> StandardLines(int sign)
{
    using namespace world;
    auto plain = [&](double number, int target) {
        return QVariantMap{{"FProductID", kPlain},       {"FUnitID", kUnitPiece},
                           {"FNumber", number * sign},   {"FPrice", 10},
                           {"FAmount", 10 * number * sign}, {"FTobeDiscountAmount", 10 * number * sign},
                           {"FFromOrderListID", kSaleOrderLine + target}, {"FFromListID", kTaskLine + target},
                           {"FFromBillID", kTask + target}};
    };
    const QVariantMap box{{"FProductID", kBatch},  {"FUnitID", kUnitBox},          {"FNumber", 1 * sign},
                          {"FPrice", 100},         {"FAmount", 100 * sign},        {"FTobeDiscountAmount", 100 * sign},
                          {"FBatchNo1", "B1"},     {"FKFDate", QDate(2026, 1, 1)}, {"FFromOrderListID", 0},
                          {"FFromListID", 0},      {"FFromBillID", 0}};
    return {plain(2, 0), plain(3, 1), box};
}

QVariant Scalar(const QString &sql)
{
    QSqlQuery q = run(sql);
    return q.next() ? q.value(0) : QVariant();
}

double Number(const QString &sql) { return ValueToFloat(Scalar(sql)); }

QString CurStockSql(int product)
{
    return QStringLiteral("select IfNull(FCurStock,0) from t_comProducts where FID = %1").arg(product);
}

QString BalanceSql(int storehouse, int product)
{
    return QStringLiteral("select IfNull(sum(FNumber),0) from t_Balance where FStorehouseID = %1 and FProductID = %2")
        .arg(storehouse)
        .arg(product);
}

QString BalanceRowsSql(int storehouse, int product)
{
    return QStringLiteral("select count(*) from t_Balance where FStorehouseID = %1 and FProductID = %2").arg(storehouse).arg(product);
}

QString BatchSql(int storehouse, int product, const QString &batchNo)
{
    return QStringLiteral("select IfNull(sum(FNumber),0) from t_comProductBatchNo where FStorehouseID = %1 and FProductID = %2 "
                          "and FBatchNo1 = '%3'")
        .arg(storehouse)
        .arg(product)
        .arg(batchNo);
}

QString OutBatchRowsSql(int billId)
{
    return QStringLiteral("select count(*) from t_comProductOutBatchNo where FBillID = %1").arg(billId);
}

QString ClientSql(int client, const QString &column)
{
    return QStringLiteral("select IfNull(%1,0) from t_comClient where FID = %2").arg(column).arg(client);
}

QString ClientStampedSql(int client)
{
    return QStringLiteral("select FLastInOuDateTime is not null from t_comClient where FID = %1").arg(client);
}

QString CashSql(int cash) { return QStringLiteral("select IfNull(FBalance,0) from t_comCash where FID = %1").arg(cash); }

QString ColumnSql(const QString &table, const QString &column, int id)
{
    return QStringLiteral("select IfNull(%1,0) from %2 where FID = %3").arg(column, table).arg(id);
}

QString UnitPriceSql(int product, int unit, const QString &column)
{
    return QStringLiteral("select IfNull(%1,0) from t_comProductUnit where FProductID = %2 and FUnitID = %3")
        .arg(column)
        .arg(product)
        .arg(unit);
}

QString ClientPriceRowsSql(int client)
{
    return QStringLiteral("select count(*) from t_comProductsPrice where FClientID = %1").arg(client);
}

QString CostMarksSql(int period)
{
    return QStringLiteral("select count(*) from t_billcalflag where FPeriod = %1").arg(period);
}

double CurStock(int product) { return Number(CurStockSql(product)); }
double BalanceQty(int storehouse, int product) { return Number(BalanceSql(storehouse, product)); }
int BalanceRows(int storehouse, int product) { return static_cast<int>(Number(BalanceRowsSql(storehouse, product))); }
double ClientFigure(int client, const QString &column) { return Number(ClientSql(client, column)); }
double CashBalance(int cash) { return Number(CashSql(cash)); }

QMap<QString, QStringList> SnapshotAllTables()
{
    QMap<QString, QStringList> snapshot;
    QStringList tables;
    {
        QSqlQuery q = run(QStringLiteral("select TABLE_NAME from information_schema.TABLES where TABLE_SCHEMA = database() and "
                                         "TABLE_TYPE = 'BASE TABLE' order by TABLE_NAME"));
        while (q.next())
            tables << q.value(0).toString();
    }
    for (const QString &t : tables) {
        QSqlQuery q = run(QStringLiteral("select * from `%1`").arg(t));
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
            rows << cells.join(QLatin1Char('|'));
        }
        rows.sort();
        snapshot.insert(t.toLower(), rows);
    }
    return snapshot;
}

std::string TablesChangedSince(const QMap<QString, QStringList> &snapshot)
{
    const QMap<QString, QStringList> now = SnapshotAllTables();
    QStringList changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (snapshot.value(it.key()) != it.value())
            changed << it.key();
    }
    for (auto it = snapshot.cbegin(); it != snapshot.cend(); ++it) {
        if (!now.contains(it.key()))
            changed << it.key();
    }
    return changed.join(QStringLiteral(", ")).toStdString();
}

Probe Moves(const QString &what, const QString &sql, double delta) { return {what, sql, delta, 0}; }
Probe Stays(const QString &what, const QString &sql, double delta) { return {what, sql, delta, delta}; }
Probe Changes(const QString &what, const QString &sql, double afterCheck, double afterUnCheck)
{
    return {what, sql, afterCheck, afterUnCheck};
}

void PrintTo(const PostingCase &c, std::ostream *os) { *os << c.name.toStdString(); }

void RunPostingCase(const PostingCase &c)
{
    SCOPED_TRACE(c.name.toStdString());
    SeedBill(c.billType, c.formTable, c.listTable, kCaseBillId, c.header, c.lines);
    QList<double> start;
    for (const Probe &p : c.probes)
        start << Number(p.sql);
    const QSqlDatabase db = Db();
    const QString flagSql = QStringLiteral("select IfNull(FIsChecked,0), FCheckerID, FCheckerDate from %1 where FID = %2")
                                .arg(c.formTable)
                                .arg(kCaseBillId);

    int code = -99;
    {
        TransactionGuard tx(db);
        ASSERT_TRUE(CheckUpdateData(c.billType, kCaseBillId, c.formTable, code, db)) << "check failed with code " << code;
        EXPECT_EQ(code, 0);
        tx.commit();
    }
    for (int i = 0; i < c.probes.size(); ++i)
        EXPECT_NEAR(Number(c.probes[i].sql) - start[i], c.probes[i].afterCheck, 1e-6) << "after check: " << c.probes[i].what.toStdString();
    {
        QSqlQuery q = run(flagSql);
        ASSERT_TRUE(q.next());
        if (c.flagged) {
            EXPECT_EQ(q.value(0).toInt(), 1);
            EXPECT_EQ(q.value(1).toInt(), world::kUserId);
            EXPECT_FALSE(q.value(2).isNull());
        } else {
            EXPECT_EQ(q.value(0).toInt(), 0);
            EXPECT_TRUE(q.value(1).isNull());
        }
    }

    code = -99;
    {
        TransactionGuard tx(db);
        ASSERT_TRUE(UnCheckUpdateData(c.billType, kCaseBillId, c.formTable, code, db)) << "uncheck failed with code " << code;
        EXPECT_EQ(code, -1);
        tx.commit();
    }
    for (int i = 0; i < c.probes.size(); ++i)
        EXPECT_NEAR(Number(c.probes[i].sql) - start[i], c.probes[i].afterUnCheck, 1e-6)
            << "after uncheck: " << c.probes[i].what.toStdString();
    {
        QSqlQuery q = run(flagSql);
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 0);
        EXPECT_TRUE(q.value(1).isNull());
        EXPECT_TRUE(q.value(2).isNull());
    }
}

} // namespace protask::testing
