#include "core/sql_helpers.h"

#include "core/mnemonic_code.h"
#include "core/values.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSqlDriver>
#include <QTextStream>

#include <stdexcept>

namespace protask {

namespace {

bool g_traceOn = false;
QString g_traceStem;

void trace(const QString &sql)
{
    if (g_traceOn)
        WriteTextLog(sql, g_traceStem);
}

} // namespace

QSqlDatabase Db() { return nvDMBase::instance().connection(); }

QString QuotedStr(const QString &text, const QSqlDatabase &db) { return sqlQuoted(text, db); }

QString QuotedLikeContains(const QString &text, const QSqlDatabase &db)
{
    // LIKE's own escapes first (its escape character is the backslash), then the string
    // literal's: a typed backslash becomes \\\\ in the statement, \\ in the pattern, one
    // backslash matched.
    QString pattern;
    pattern.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            pattern += u'\\';
        pattern += c;
    }
    return QStringLiteral("'%") + sqlEscape(pattern, db) + QStringLiteral("%'");
}

void SetQueryTrace(bool on, const QString &fileStem)
{
    g_traceOn = on;
    g_traceStem = fileStem;
}

bool QueryTraceOn() { return g_traceOn; }

QString QueryTraceStem() { return g_traceStem; }

int OpenQuery(TDataSet &query, const QString &sql)
{
    const QString text = sql.trimmed();
    if (text.isEmpty())
        return -1;
    trace(text);
    query.close();
    query.open(text);
    return query.recordCount();
}

int OpenQuery(const QString &sql) { return OpenQuery(nvDMBase::instance().sharedQuery(), sql); }

bool ExecQuery(TDataSet &query, const QString &sql)
{
    trace(sql);
    query.close();
    query.exec(sql);
    return true;
}

bool ExecQuery(const QString &sql) { return ExecQuery(nvDMBase::instance().sharedQuery(), sql); }

void DropTempTable(const QString &name, const QSqlDatabase &db)
{
    TDataSet q(db);
    ExecQuery(q, QStringLiteral("DROP TABLE IF EXISTS `") + name + QStringLiteral("`"));
}

bool InTransaction(const QSqlDatabase &db) { return transactionOpen(db); }

namespace {
QMutex g_factsMutex;
QHash<QString, bool> g_facts;
} // namespace

bool RememberedSchemaFact(const QSqlDatabase &db, const QString &fact, const std::function<bool()> &lookUp)
{
    const QString key = db.connectionName() + QLatin1Char('/') + db.databaseName() + QLatin1Char('/') + fact;
    {
        QMutexLocker lock(&g_factsMutex);
        const auto it = g_facts.constFind(key);
        if (it != g_facts.constEnd())
            return *it;
    }
    const bool found = lookUp();
    QMutexLocker lock(&g_factsMutex);
    g_facts.insert(key, found);
    return found;
}

void ForgetSchemaFacts()
{
    QMutexLocker lock(&g_factsMutex);
    g_facts.clear();
}

bool HasIndex(const QString &table, const QString &index, const QSqlDatabase &db)
{
    return RememberedSchemaFact(
        db, QStringLiteral("index ") + table.toLower() + QLatin1Char('.') + index.toLower(), [&] {
            TDataSet q(db);
            OpenQuery(q,
                      QStringLiteral(
                          "select count(*) as n from information_schema.STATISTICS where TABLE_SCHEMA = database() "
                          "and lower(TABLE_NAME) = ")
                          + QuotedStr(table.toLower(), db) + QStringLiteral(" and lower(INDEX_NAME) = ")
                          + QuotedStr(index.toLower(), db));
            return q.fieldByName(QStringLiteral("n")).toInt() > 0;
        });
}

int GetNextID(const QString &table, const QString &field, const QSqlDatabase &db)
{
    TDataSet q(db);
    QString sql;
    if (InTransaction(db)) {
        // Inside a save the largest key is read with a lock on its row, so that a second save
        // waits instead of taking the same key unnoticed; the primary key stops what slips by.
        sql = QStringLiteral("select ") + field + QStringLiteral(" as FID from ") + table + QStringLiteral(" order by ")
            + field + QStringLiteral(" desc limit 1 for update");
    } else {
        sql = QStringLiteral("select Max(") + field + QStringLiteral(") as FID from ") + table;
    }
    OpenQuery(q, sql);
    if (q.isEmpty())
        return 1;
    const QVariant v = q.fieldByName(QStringLiteral("FID"));
    if (IsBlankValue(v))
        return 1;
    return ValueToInt(v) + 1;
}

int GetOrAddNamedRecord(const QString &table, const QString &keyField, const QString &value, const QString &selectField,
                        const QString &extraFields, const QString &extraValues, const QString &extraWhere,
                        const QSqlDatabase &db)
{
    const QString name = value.trimmed();
    if (table.trimmed().isEmpty() || keyField.trimmed().isEmpty() || name.isEmpty())
        return 0;
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral(" select ") + selectField + QStringLiteral(" , FName from ") + table
                  + QStringLiteral(" where ") + keyField + QStringLiteral("= ") + QuotedStr(name, db) + extraWhere);
    if (!q.isEmpty())
        return ValueToInt(q.fieldByName(QStringLiteral("FID")));
    const int id = GetNextID(table, QStringLiteral("FID"), db);
    const QString code = GetMnemonicCode(name);
    ExecQuery(q,
              QStringLiteral("insert into ") + table + QStringLiteral("(FID,FNo,FName,FCode") + extraFields
                  + QStringLiteral(") ") + QStringLiteral(" values(") + QString::number(id) + QStringLiteral(",'',")
                  + QuotedStr(name, db) + QStringLiteral(",") + QuotedStr(code, db) + extraValues
                  + QStringLiteral(")"));
    return id;
}

int GetOrAddProduct(const QVariant &productNo, const QVariant &productName, const QVariant &unitName, int &unitId,
                    const QSqlDatabase &db)
{
    const QString no = ValueToTrimmedText(productNo);
    const QString name = ValueToTrimmedText(productName);
    const QString unit = ValueToTrimmedText(unitName);
    unitId = 0;
    if (name.isEmpty())
        return 0;
    TDataSet q(db);
    const QString lookup =
        QStringLiteral(" select T1.FID, T1.FName, IfNull(T2.FUnitID,0) as FUnitID, IfNull(T3.FName,'') as FUnitName  "
                       "from t_comProducts T1 left join t_comProductUnit T2 on T1.FID = T2.FProductId and T2.FSID = 1  "
                       "left join t_comUnit T3 on T2.FUnitID = T3.FID  where T1.FName = ")
        + QuotedStr(name, db);
    OpenQuery(q, lookup);
    // Products may share a name, so no key stops a twin: the new key's lock holds off every
    // other workstation adding a product, and a locking read after it sees a product that one
    // added meanwhile.
    const int id = q.isEmpty() ? GetNextID(QStringLiteral("t_comProducts"), QStringLiteral("FID"), db) : 0;
    if (id > 0)
        OpenQuery(q, lookup + QStringLiteral(" for update"));
    if (q.isEmpty()) {
        unitId = GetOrAddNamedRecord(QStringLiteral("t_comUnit"), QStringLiteral("FName"), unit, QStringLiteral("FID"),
                                     QString(), QString(), QString(), db);
        const QString code = GetMnemonicCode(name);
        ExecQuery(q,
                  QStringLiteral("insert into t_comProducts(FID,FgroupID,FNo,FName,FStdUnitID,FCode)  values(")
                      + QString::number(id) + QStringLiteral(",2,") + QuotedStr(no, db) + QStringLiteral(",")
                      + QuotedStr(name, db) + QStringLiteral(",'") + QString::number(unitId) + QStringLiteral("',")
                      + QuotedStr(code, db) + QStringLiteral(")"));
        ExecQuery(q,
                  QStringLiteral("insert into t_comProductUnit(FSID,FProductID,FUnitID,FRatio) value(1,")
                      + QString::number(id) + QStringLiteral(",") + QString::number(unitId) + QStringLiteral(",1) "));
        return id;
    }
    const int productId = ValueToInt(q.fieldByName(QStringLiteral("FID")));
    unitId = ValueToInt(q.fieldByName(QStringLiteral("FUnitID")));
    if (!unit.isEmpty() && unit != q.fieldByName(QStringLiteral("FUnitName")).toString()) {
        OpenQuery(
            q,
            QStringLiteral("select IfNull(T1.FUnitID,0) as FUnitID from t_comProductUnit T1  inner join t_comUnit T2 "
                           "on T1.FUnitID = T2.FID  where T2.FName = ")
                + QuotedStr(unit, db) + QStringLiteral(" and T1.FProductId = ") + QString::number(productId));
        if (!q.isEmpty())
            unitId = ValueToInt(q.fieldByName(QStringLiteral("FUnitID")));
    }
    return productId;
}

bool UnitsBelongToProduct(const QString &unit1, const QString &unit2, const QString &productName,
                          const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral(
                  " SELECT COUNT(T1.FID) AS iCount FROM t_comProductUnit T1 LEFT JOIN t_comUnit T2 ON T1.FUnitID = "
                  "T2.FID inner join t_comProducts T3 on T1.FProductID = T3.FID  WHERE T2.FName IN(")
                  + QuotedStr(unit1, db) + QStringLiteral(",") + QuotedStr(unit2, db)
                  + QStringLiteral(") AND T3.Fname = ") + QuotedStr(productName.trimmed(), db));
    return !q.isEmpty() && ValueToInt(q.fieldByName(QStringLiteral("iCount"))) == 2;
}

bool OtherOutInKindCheck(int billId, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select * from t_OtherOutInForm where FID = ") + QString::number(billId));
    return ValueToInt(q.fieldByName(QStringLiteral("FItemTypeID"))) != 1;
}

bool ReadParameter(const QString &name, QVariant &value, const QSqlDatabase &db)
{
    value = QVariant();
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select * from t_comparameters where FName = ") + QuotedStr(name.trimmed(), db));
    if (q.isEmpty())
        return false;
    switch (ValueToInt(q.fieldByName(QStringLiteral("FTypeID")))) {
    case 1: value = QVariant(ValueToInt(q.fieldByName(QStringLiteral("FIntValue")))); break;
    case 2: value = QVariant(ValueToInt(q.fieldByName(QStringLiteral("FBoolValue"))) != 0); break;
    case 3: value = QVariant(q.fieldByName(QStringLiteral("FCharValue")).toString()); break;
    case 4: value = QVariant(ValueToFloat(q.fieldByName(QStringLiteral("FFloatValue")))); break;
    case 5: value = q.fieldByName(QStringLiteral("FDatetimeValue")).toDateTime(); break;
    default: break;
    }
    return true;
}

const QString kAmountFormat = QStringLiteral(",0.00;-,0.00");

QString DecimalsFormat(int decimals)
{
    const QString zeros = PadLeftZeros(QStringLiteral("0"), decimals);
    return QStringLiteral(",0.") + zeros + QStringLiteral(";-,0.") + zeros;
}

CompanyDecimals GetCompanyDecimals(const QSqlDatabase &db)
{
    CompanyDecimals d;
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select FNumberDecimal,FPriceDecimal from t_comCompany "));
    if (q.isEmpty())
        return d;
    const QVariant n = q.fieldByName(QStringLiteral("FNumberDecimal"));
    if (!n.isNull() && !n.toString().isEmpty()) {
        d.numberDecimals = ValueToInt(n);
        d.numberFormat = DecimalsFormat(d.numberDecimals);
    }
    const QVariant p = q.fieldByName(QStringLiteral("FPriceDecimal"));
    if (!p.isNull() && !p.toString().isEmpty()) {
        d.priceDecimals = ValueToInt(p);
        d.priceFormat = DecimalsFormat(d.priceDecimals);
    }
    return d;
}

namespace {

bool tableHasColumn(TDataSet &q, const QString &table, const QString &column)
{
    OpenQuery(q, QStringLiteral("desc ") + table + QStringLiteral(" ") + column);
    return !q.isEmpty();
}

} // namespace

bool IsPeriodClosed(const QString &table, int billId, bool showMessage, const QSqlDatabase &db)
{
    TDataSet q(db);
    if (!tableHasColumn(q, table, QStringLiteral("FisCloseAcc")))
        return false;
    OpenQuery(q,
              QStringLiteral("select IfNull(FIscloseAcc,0) as FIsCloseAcc from ") + table
                  + QStringLiteral(" where IfNull(FIscloseAcc,0) = 1 and FID = ") + QString::number(billId));
    if (q.isEmpty())
        return false;
    if (showMessage)
        Prompter::current().warning(QStringLiteral("本期已结帐，不允许进行审核或反审核单据。"));
    return true;
}

bool HasVoucher(const QString &table, int billId, bool showMessage, const QSqlDatabase &db)
{
    TDataSet q(db);
    if (!tableHasColumn(q, table, QStringLiteral("FIsCreateVoucher")))
        return false;
    OpenQuery(q,
              QStringLiteral("select IfNull(FIsCreateVoucher,0) as FIsCreateVoucher from ") + table
                  + QStringLiteral(" where IfNull(FIsCreateVoucher,0) = 1 and FID = ") + QString::number(billId));
    if (q.isEmpty())
        return false;
    if (showMessage)
        Prompter::current().warning(QStringLiteral("本单已经生成过凭证,不允许进行审核或反审核单据,请先删除凭证"));
    return true;
}

bool IsBeforeClosingDate(const QString &table, bool showMessage, const QDate &billDate, const QSqlDatabase &db)
{
    nvDMBase &dm = nvDMBase::instance();
    TDataSet q(db);
    if (tableHasColumn(q, table, QStringLiteral("FisCloseAcc"))) {
        QVariant v;
        if (ReadParameter(QStringLiteral("FAccCloseDate"), v, db) && !v.isNull())
            dm.lastClosingDate = v.toDateTime().date();
    }
    if (dm.lastClosingDate.isValid() && billDate.isValid() && billDate < dm.lastClosingDate) {
        if (showMessage)
            Prompter::current().error(QStringLiteral("本期已结帐，不允许审核单据。"));
        return true;
    }
    return false;
}

bool WriteOperationLog(const QString &message, const QString &window, const QSqlDatabase &db)
{
    const nvDMBase &dm = nvDMBase::instance();
    try {
        TDataSet q(db);
        ExecQuery(
            q,
            QStringLiteral("insert into zzsyslog(FDateTime,FUserId,FHostName,FIpAddr,FMsgCont,FWindow)  values(now(),")
                + QString::number(dm.userId) + QStringLiteral(",") + QuotedStr(dm.hostName, db) + QStringLiteral(",")
                + QuotedStr(dm.ipAddress, db) + QStringLiteral(",") + QuotedStr(message, db) + QStringLiteral(",")
                + QuotedStr(window, db) + QStringLiteral(")"));
        return true;
    } catch (const DbError &e) {
        // A log row that fails is no reason to fail the action, unless the server ended the
        // action's transaction with it (a deadlock, or a cluster aborting it for another node's
        // commit): what follows would run outside it, and COMMIT would report a save that
        // never happened.
        if (InTransaction(db) && e.endedTransaction())
            throw;
        return false;
    }
}

void WriteTextLog(const QString &message, const QString &fileStem) { AppendTextLog(message, fileStem); }

QString GetReportsPath() { return ProgramPath(QStringLiteral("Reports")) + QLatin1Char('/'); }

} // namespace protask
