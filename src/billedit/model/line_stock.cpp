#include "billedit/model/line_stock.h"

#include "core/bill_types.h"
#include "core/local_dataset.h"
#include "core/sql_helpers.h"
#include "core/values.h"
#include "platform/db.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QStringList>

#include <stdexcept>

namespace protask {

namespace {

// Bills that take their quantity from the batch they draw on.
bool drawsFromBatch(int billType)
{
    for (int t : {3004, 3005, 3006, 3011, 3015, 3018, 3020, 3022}) {
        if (t == billType)
            return true;
    }
    return false;
}

// A date of the batch row, or null when the row holds none (a zero date reads as none too).
QVariant batchDate(const TDataSet &q, const char *field, const char *dayNumber)
{
    if (ValueToFloat(q.fieldByName(QString::fromLatin1(dayNumber))) > 0)
        return q.fieldByName(QString::fromLatin1(field)).toDate();
    return QVariant();
}

// The stock test of one bill: the storehouse condition and the units, each read once.
class StockTest {
public:
    StockTest(const QString &storeName, const QSqlDatabase &db) : m_db(db), m_q(db)
    {
        const QString store = storeName.trimmed();
        if (store.isEmpty())
            return;
        OpenQuery(m_q, QStringLiteral("select FID from t_comStorehouse where FName = ") + QuotedStr(store, m_db));
        const int storeId = m_q.isEmpty() ? 0 : ValueToInt(m_q.fieldByName(QStringLiteral("FID")));
        m_storeCondition = QStringLiteral(" and T1.FStorehouseID = ") + sqlNumber(storeId);
    }

    // Whether the storehouse holds the quantity of the product, in its base unit.
    bool enough(const QString &productName, const QString &unitName, const QVariant &quantity)
    {
        const QString q = sqlNumber(ValueToFloat(quantity));
        OpenQuery(
            m_q,
            QStringLiteral(
                "  SELECT T1.FProductID,SUM(T1.FNumber),sum(T2.FBillNumber)  FROM t_balance T1 INNER JOIN (  SELECT TT2.FID AS FProductID,  CASE WHEN IFNULL(TT3.FUnitId,0) = 0 THEN IFNULL(")
                + q + QStringLiteral(",0) ") + QStringLiteral("ELSE IFNULL(") + q
                + QStringLiteral(",0) * IFNULL(TT3.FRatio,0) END AS FBillNumber  ")
                + QStringLiteral("FROM t_comProducts TT2  ")
                + QStringLiteral("LEFT JOIN t_comProductUnit TT3 ON TT2.FID = TT3.FProductID AND TT3.FUnitID = ")
                + sqlNumber(unitId(unitName)) + QStringLiteral("  ") + QStringLiteral("WHERE TT2.FName = ")
                + QuotedStr(productName.trimmed(), m_db) + QStringLiteral(") T2 ON T1.FProductID = T2.FProductID ")
                + m_storeCondition + QStringLiteral(" GROUP BY T1.FProductID ,T2.FBillNumber ")
                + QStringLiteral(" HAVING SUM(T1.FNumber) >= T2.FBillNumber "));
        return !m_q.isEmpty();
    }

private:
    int unitId(const QString &unitName)
    {
        const QString unit = unitName.trimmed();
        if (unit.isEmpty())
            return 0;
        const auto known = m_units.constFind(unit);
        if (known != m_units.cend())
            return *known;
        OpenQuery(m_q, QStringLiteral("select FID from t_comUnit where FName =") + QuotedStr(unit, m_db));
        const int id = m_q.isEmpty() ? 0 : ValueToInt(m_q.fieldByName(QStringLiteral("FID")));
        m_units.insert(unit, id);
        return id;
    }

    QSqlDatabase m_db;
    TDataSet m_q;
    QString m_storeCondition;
    QHash<QString, int> m_units;
};

bool testsStock(int billType, const HostSwitches &switches)
{
    if (!switches.forbidNegativeStock && !switches.askOnNegativeStock)
        return false;
    const StockOutFlags flags = GetStockOutFlags(billType);
    return flags.blocksOnShortage || flags.warnsOnShortage;
}

// A shortage refuses the bill, asks whether to go on, or passes, by the company's switches
// and what the bill type does on a shortage.
bool answerShortage(int billType, const HostSwitches &switches, const QString &what)
{
    const StockOutFlags flags = GetStockOutFlags(billType);
    if (switches.forbidNegativeStock && flags.blocksOnShortage) {
        Prompter::current().warning(what + QStringLiteral("库存不足"));
        return false;
    }
    if (switches.askOnNegativeStock && flags.warnsOnShortage)
        return Prompter::current().askYesNo(what + QStringLiteral("库存不足,是否允许负库存继续执行?"));
    return true;
}

QString stockText(const QVariant &stock)
{
    const double v = ValueToFloat(stock);
    return QString::number(v == 0 ? 0.0 : v, 'f', QLocale::FloatingPointShortest);
}

// A failure the user is not bothered with goes to the text log with the server's text.
void logFailure(const QString &what, const std::exception &e)
{
    const auto *dbError = dynamic_cast<const DbError *>(&e);
    LogFailure(what + (dbError ? dbError->message() : QString::fromUtf8(e.what())));
}

} // namespace

QString BatchListSql(int productId, int storeId)
{
    QString sql =
        QStringLiteral(
            "select T1.FID, T1.FProductID,T1.FStorehouseID, T1.FBatchNo1,T1.FNumber,T2.FName as FProductName, T3.FName as FStorehouseName,  T1.FKFDate,T1.FKFPeriod,T1.FPeriodDate  from t_comproductbatchno T1  inner join t_comProducts T2 on T1.FProductID = T2.FID  inner join t_comStorehouse T3 on T1.FStorehouseID = T3.FID  where IfNull(T1.FNumber,0) <> 0 and T1.FProductID = ")
        + sqlNumber(productId);
    if (storeId > 0)
        sql += QStringLiteral(" and T1.FStorehouseID = ") + sqlNumber(storeId);
    return sql + QStringLiteral(" order by T1.FKFDate, T1.FBatchNo1 ");
}

int FindProductIdByName(const QString &name, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select FID,FName from t_comProducts where FName = ") + QuotedStr(name.trimmed(), db));
    return q.isEmpty() ? 0 : ValueToInt(q.fieldByName(QStringLiteral("FID")));
}

ProductCaption ReadProductCaption(int productId, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select * from t_comProducts where FID = ") + sqlNumber(productId));
    if (q.isEmpty())
        return {};
    return {q.fieldByName(QStringLiteral("FNo")).toString(), q.fieldByName(QStringLiteral("FName")).toString()};
}

bool ApplyBatch(LineValues &line, int batchRowId, int billType, const LineSettings &settings, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(
        q,
        QStringLiteral(
            "select T1.FID, T1.FProductID,T1.FStorehouseID, T1.FBatchNo1,T1.FNumber,T2.FName as FProductName, T3.FName as FStorehouseName,  T1.FKFDate,T1.FKFPeriod,T1.FPeriodDate,IFNULL(TO_DAYS(T1.FKFDate),0) AS FKDDateNumber, IFNULL(TO_DAYS(T1.FPeriodDate),0) AS FPeriodDateNumber   from t_comproductbatchno T1  inner join t_comProducts T2 on T1.FProductID = T2.FID  inner join t_comStorehouse T3 on T1.FStorehouseID = T3.FID  where T1.FID =  ")
            + sqlNumber(batchRowId));
    if (q.isEmpty())
        return false;
    line.set(QStringLiteral("FBatchNo1"), q.fieldByName(QStringLiteral("FBatchNo1")));
    line.set(QStringLiteral("FKFPeriod"), q.fieldByName(QStringLiteral("FKFPeriod")));
    line.set(QStringLiteral("FKFDate"), batchDate(q, "FKFDate", "FKDDateNumber"));
    line.set(QStringLiteral("FPeriodDate"), batchDate(q, "FPeriodDate", "FPeriodDateNumber"));
    if (drawsFromBatch(billType)) {
        const QString number = QStringLiteral("FNumber");
        line.set(number, ApplyLineRule(number, q.fieldByName(number), line, settings));
    }
    return true;
}

StockHint StockHintFor(const QString &productName, const CurrentStockLookup &currentStock)
{
    if (productName.trimmed().isEmpty())
        return {};
    try {
        const std::optional<QVariant> stock = currentStock(productName);
        if (!stock)
            return {QStringLiteral("无库存"), false};
        return {QStringLiteral("总库存数: ") + stockText(*stock), ValueToFloat(*stock) < 0};
    } catch (const std::exception &e) {
        logFailure(QStringLiteral("读取库存提示失败："), e);
        return {};
    }
}

StockHint StockHintFor(const QString &productName, const TLocalDataSet &products)
{
    return StockHintFor(productName, [&products](const QString &name) -> std::optional<QVariant> {
        for (int r = 0; r < products.recordCount(); ++r) {
            if (products.value(r, QStringLiteral("FName")).toString() == name)
                return products.value(r, QStringLiteral("FCurStock"));
        }
        return std::nullopt;
    });
}

bool CheckStock(const QList<LineValues> &lines, int billType, const HostSwitches &switches, const QString &storeName,
                const QSqlDatabase &db)
{
    if (!testsStock(billType, switches))
        return true;
    StockTest test(storeName, db);
    QStringList shortLines;
    for (int i = 0; i < lines.size(); ++i) {
        const LineValues &line = lines.at(i);
        if (line.blank(QStringLiteral("FProductName")))
            continue;
        if (!test.enough(ValueToTrimmedText(line.value(QStringLiteral("FProductName"))),
                         ValueToTrimmedText(line.value(QStringLiteral("FUnitName"))),
                         line.value(QStringLiteral("FNumber"))))
            shortLines << QString::number(i + 1);
    }
    if (shortLines.isEmpty())
        return true;
    return answerShortage(billType, switches,
                          QStringLiteral("第[") + shortLines.join(u',') + QStringLiteral("]行的商品"));
}

bool CheckHeaderProductStock(const QString &productName, const QString &unitName, const QVariant &quantity,
                             int billType, const HostSwitches &switches, const QString &storeName,
                             const QSqlDatabase &db)
{
    if (!testsStock(billType, switches) || productName.trimmed().isEmpty())
        return true;
    StockTest test(storeName, db);
    if (test.enough(productName, unitName, quantity))
        return true;
    return answerShortage(billType, switches, QStringLiteral("商品[") + productName.trimmed() + QStringLiteral("]"));
}

} // namespace protask
