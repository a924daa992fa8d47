#include "posting_test_util.h"

#include "core/sql_helpers.h"
#include "core/values.h"
#include "platform/nv_dm_base.h"
#include "posting/batch_steps.h"
#include "posting/posting_engine.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace protask::testing {

namespace {

QSqlQuery run(const QString &sql, const QSqlDatabase &db = Db())
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError::fromSqlError(q.lastError(), sql);
    return q;
}

QVariant orNull(const QString &text) { return text.isEmpty() ? QVariant() : QVariant(text); }

// "name change" pairs sorted by name; changes round to 6 places.
std::string render(const QMap<QString, double> &changes)
{
    QStringList out;
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        const double v = std::round(it.value() * 1e6) / 1e6;
        if (v != 0)
            out << it.key() + QLatin1Char(' ') + QString::number(v, 'g', 12);
    }
    return out.join(QStringLiteral(", ")).toStdString();
}

QMap<QString, double> parse(const QString &text, bool stickyOnly)
{
    static const QStringList sticky{"stamp", "last", "cp", "marks", "balrows", "balblank", "batchrows"};
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
    QMap<QString, double> out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (!stickyOnly
            || std::any_of(sticky.begin(), sticky.end(), [&](const QString &s) { return parts[i].startsWith(s); }))
            out[parts[i]] += parts[i + 1].toDouble();
    }
    return out;
}

} // namespace

void Exec(const QString &sql, const QSqlDatabase &db) { run(sql, db); }

double Number(const QString &sql, const QSqlDatabase &db)
{
    return QString::fromStdString(Rows(sql, db)).section(QLatin1Char('\n'), 0, 0).toDouble();
}

void InsertRow(const QString &table, const QVariantMap &values)
{
    const QString sql = QStringLiteral("insert into %1(%2) values(%3)")
                            .arg(table, values.keys().join(QLatin1Char(',')),
                                 QStringList(values.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    QSqlQuery q(Db());
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        throw DbError::fromSqlError(q.lastError(), sql);
}

void SeedWorld()
{
    nvDMBase::instance().userId = world::kUserId;
    // Completion targets: the first of each pair counts from null, the second from 1.
    ExecScript(
        "insert into t_comProducts(FID, FName, FStdUnitID, FIsBatchNo) values (1, '螺丝', 1, 0), (2, '胶水', 1, 1), (3, '套件', 1, 1);"
        "insert into t_comProductUnit(FProductID, FSID, FUnitID, FRatio, FLastInPrice, FLastOutPrice, FLastInDate, FLastOutDate) values "
        "(1, 1, 1, 1, null, null, null, null), (1, 2, 4, null, null, null, null, null), (2, 1, 1, 1, 7, 8, '2026-11-01', '2026-11-02'), (2, 2, 2, 12, null, null, null, null), (3, 1, 1, 1, null, null, null, null), (3, 2, 2, 12, null, null, null, null);"
        "insert into t_comCash(FID, FName, FBalance) values (1, '现金1', 5000);"
        "insert into t_comClient(FID, FName, FTotalAmount, FPayAmount, FUnPayAmount) values (1, '客户', 1000, 400, 600), (2, '供应商', 1000, 400, 600), (3, '新客户', null, null, null);"
        "insert into t_comProductBatchNo(FStorehouseID, FProductID, FBatchNo1, FKFDate, FNumber, FAmount) values "
        "(1, 2, 'B1', '2026-01-01', 5, 0), (1, 2, 'B2', '2026-02-01', 20, 0), (1, 3, 'H1', '2026-03-01', 10, 0);"
        "insert into t_SaleOrderList(FID, FFormID, FSID, FProductID, FFinishNumber, FPurOrderFinishNumber, FProtaskFinishNumber) values "
        "(501, 500, 1, 1, null, null, null), (502, 500, 2, 1, 1, 1, 1);"
        "insert into t_PurOrderList(FID, FFormID, FSID, FProductID, FFinishNumber) values (501, 500, 1, 1, null), (502, 500, 2, 1, 1);"
        "insert into t_ProTaskList(FID, FFormID, FSID, FProductID, FFinishNumber) values (701, 801, 1, 1, null), (702, 801, 2, 1, 1);"
        "insert into t_ProTaskForm(FID, FTypeID, FProductID, FNumber, FFinishNumber) values (801, 3049, 3, 9, null), (802, 3049, 3, 9, 1);"
        "insert into t_SaleOutForm(FID, FTypeID, FFinishAmount) values (901, 3004, null), (902, 3004, 1);"
        "insert into t_PurForm(FID, FTypeID, FFinishAmount) values (901, 3002, null), (902, 3002, 1)");
}

void SeedProduct(int id, const QString &name, bool batchTracked)
{
    InsertRow("t_comProducts",
              {{"FID", id}, {"FName", name}, {"FStdUnitID", world::kUnitPiece}, {"FIsBatchNo", batchTracked ? 1 : 0}});
}

void SeedProductUnit(int productId, int sid, int unitId, const QVariant &ratio)
{
    InsertRow("t_comProductUnit", {{"FProductID", productId}, {"FSID", sid}, {"FUnitID", unitId}, {"FRatio", ratio}});
}

int SeedBatch(int storehouse, int product, const QString &batchNo, const QDate &kfDate, double number)
{
    return AddBatch(storehouse, product, {batchNo, kfDate.toString(Qt::ISODate)}, number);
}

void SeedBill(int billType, const QString &formTable, const QString &listTable, int billId, QVariantMap header,
              const QList<QVariantMap> &lines)
{
    QVariantMap row{{"FID", billId},
                    {"FTypeID", billType},
                    {"FBillNo", Sql("T%1-%2", billType, billId)},
                    {"FBillDate", QDateTime(QDate(2026, 12, 5), QTime(10, 0))}};
    row.insert(header);
    InsertRow(formTable, row);
    for (int n = 1; n <= lines.size(); ++n) {
        QVariantMap line = lines[n - 1];
        line.insert({{"FID", billId * 1000 + n}, {"FFormID", billId}, {"FSID", n}});
        InsertRow(listTable, line);
    }
}

QVariantMap Line(int product, int unit, double number, double price, const BatchData &batch, const QVariantMap &more)
{
    QVariantMap line{{"FProductID", product},
                     {"FUnitID", unit},
                     {"FNumber", number},
                     {"FPrice", price},
                     {"FAmount", price * number},
                     {"FTobeDiscountAmount", price * number},
                     {"FBatchNo1", orNull(batch.batchNo)},
                     {"FKFDate", orNull(batch.kfDate)},
                     {"FKFPeriod", orNull(batch.kfPeriod)},
                     {"FPeriodDate", orNull(batch.periodDate)}};
    line.insert(more);
    return line;
}

QList<QVariantMap> StandardLines(int sign)
{
    using namespace world;
    const auto target = [](int n) {
        return QVariantMap{
            {"FFromOrderListID", kSaleOrderLine + n}, {"FFromListID", kTaskLine + n}, {"FFromBillID", kTask + n}};
    };
    return {Line(kPlain, kUnitPiece, 2 * sign, 10, {}, target(0)),
            Line(kPlain, kUnitPiece, 3 * sign, 10, {}, target(1)),
            Line(kBatch, kUnitBox, sign, 100, {"B1", "2026-01-01"}, target(1))};
}

bool Post(bool check, int billType, int billId, const QString &formTable, int *code)
{
    int c = 99;
    TransactionGuard tx(Db());
    const bool ok =
        check ? CheckUpdateData(billType, billId, formTable, c) : UnCheckUpdateData(billType, billId, formTable, c);
    if (ok)
        tx.commit();
    if (code)
        *code = c;
    return ok;
}

QMap<QString, double> ReadFigures()
{
    QSqlQuery q = run(
        "select concat('stock', FID), FCurStock from t_comProducts union all select 'balrows', count(*) from t_Balance "
        "union all select 'balblank', count(*) from t_Balance where FBatchNo1 = '' and FBatchNo2 = '' and FBatchNo3 = '' "
        "union all select concat('bal', FStorehouseID, '.', FProductID), sum(FNumber) from t_Balance group by FStorehouseID, FProductID "
        "union all select concat(IfNull(FBatchNo1,''), '@', FStorehouseID), sum(FNumber) from t_comProductBatchNo group by FStorehouseID, FBatchNo1 "
        "union all select concat('$', IfNull(FBatchNo1,''), '@', FStorehouseID), sum(FAmount) from t_comProductBatchNo group by FStorehouseID, FBatchNo1 "
        "union all select 'batchrows', count(*) from t_comProductBatchNo union all select 'out', count(*) from t_comProductOutBatchNo "
        "union all select concat('paid', FID), FPayAmount from t_comClient union all select concat('total', FID), FTotalAmount from t_comClient "
        "union all select concat('unpaid', FID), FUnPayAmount from t_comClient "
        "union all select concat('stamp', FID), FLastInOuDateTime is not null from t_comClient "
        "union all select concat('cash', FID), FBalance from t_comCash union all select concat('so', FID), FFinishNumber from t_SaleOrderList "
        "union all select concat('sopo', FID), FPurOrderFinishNumber from t_SaleOrderList "
        "union all select concat('sotask', FID), FProtaskFinishNumber from t_SaleOrderList "
        "union all select concat('po', FID), FFinishNumber from t_PurOrderList union all select concat('tl', FID), FFinishNumber from t_ProTaskList "
        "union all select concat('task', FID), FFinishNumber from t_ProTaskForm union all select concat('sold', FID), FFinishAmount from t_SaleOutForm "
        "union all select concat('bought', FID), FFinishAmount from t_PurForm "
        "union all select concat('lastin', FProductID, '.', FUnitID), FLastInPrice * (FLastInDate is not null) from t_comProductUnit "
        "union all select concat('lastout', FProductID, '.', FUnitID), FLastOutPrice * (FLastOutDate is not null) from t_comProductUnit "
        "union all select concat('cp', FClientID, '.', FProductID, '.', FUnitID), FPrice from t_comProductsPrice "
        "union all select 'cprows', count(*) from t_comProductsPrice union all select 'marks', count(FLastDate) from t_billcalflag");
    QMap<QString, double> figures;
    while (q.next())
        figures[q.value(0).toString()] += ValueToFloat(q.value(1));
    return figures;
}

std::string FigureChanges(const QMap<QString, double> &start)
{
    QMap<QString, double> changes = ReadFigures();
    for (auto it = start.cbegin(); it != start.cend(); ++it)
        changes[it.key()] -= it.value();
    return render(changes);
}

std::string Changes(const QString &changes) { return render(parse(changes, false)); }

void RunPostingCase(const PostingCase &c)
{
    SeedBill(c.billType, c.form, c.list, kCaseBillId, c.header, c.lines);
    const QString flagSql = Sql("select concat_ws(' ', IfNull(FIsChecked,0), IfNull(FCheckerID,'-'), FCheckerDate is "
                                "not null) from %1 where FID = %2",
                                c.form, kCaseBillId);
    const std::string seededFlag = Rows(flagSql);
    const QMap<QString, double> start = ReadFigures();
    for (const bool check : {true, false}) {
        SCOPED_TRACE(check ? "after check" : "after uncheck");
        int code = 99;
        ASSERT_TRUE(Post(check, c.billType, kCaseBillId, c.form, &code)) << "code " << code;
        EXPECT_EQ(code, check ? 0 : -1);
        EXPECT_EQ(
            FigureChanges(start),
            render(check || !c.uncheck.isNull() ? parse(check ? c.check : c.uncheck, false) : parse(c.check, true)));
        EXPECT_EQ(Rows(flagSql), !c.flagged ? seededFlag : std::string(check ? "1 7 1" : "0 - 0"));
    }
}

int AddBatch(int storehouse, int product, const BatchData &batch, double number)
{
    InsertRow("t_comProductBatchNo",
              {{"FStorehouseID", storehouse},
               {"FProductID", product},
               {"FBatchNo1", orNull(batch.batchNo)},
               {"FKFDate", orNull(batch.kfDate)},
               {"FKFPeriod", orNull(batch.kfPeriod)},
               {"FPeriodDate", orNull(batch.periodDate)},
               {"FNumber", number},
               {"FAmount", 0}});
    return int(Number("select LAST_INSERT_ID()"));
}

bool SaleOutBatches(int billId, int sign, const QSqlDatabase &db)
{
    return UpdateBatchNoOut(3004, "t_SaleOutForm", "T_SaleOutList", "FNumber", "FID", "FProductID", "FStorehouseID",
                            sign, QString::number(billId), db);
}

std::string BatchRows(int storehouse, int product)
{
    return Rows(Sql("select concat_ws(' ', IfNull(FBatchNo1,'<null>'), IfNull(FKFDate,'-'), IfNull(FKFPeriod,'-'), "
                    "IfNull(FPeriodDate,'-'), '=', concat(FNumber + 0e0, '/', IfNull(FAmount,0) + 0e0)) from "
                    "t_comProductBatchNo where FStorehouseID = %1 and FProductID = %2 order by FID",
                    storehouse, product));
}

} // namespace protask::testing
