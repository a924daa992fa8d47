#include "core/numbering.h"

#include "core/bill_types.h"
#include "core/db_actions.h"
#include "core/values.h"

#include <stdexcept>

namespace protask {

QDate GetServerBillDate(QString &yearMonth, const QSqlDatabase &db)
{
    yearMonth.clear();
    TDataSet q(db);
    OpenQuery(
        q, QStringLiteral("select DATE_FORMAT(now(),'%Y-%m-%d') as BillDate,DATE_FORMAT(now(),'%Y%m') as YearMonth "));
    yearMonth = q.fieldByName(QStringLiteral("YearMonth")).toString();
    return QDate::fromString(q.fieldByName(QStringLiteral("BillDate")).toString(), QStringLiteral("yyyy-MM-dd"));
}

bool FindBillType(const QString &billTypeNo, int &billTypeKey, QString &prefix, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select * from T_BillType where FBillTypeNo = ") + QuotedStr(billTypeNo, db));
    if (q.isEmpty())
        return false;
    billTypeKey = ValueToInt(q.fieldByName(QStringLiteral("FID")));
    prefix = ValueToTrimmedText(q.fieldByName(QStringLiteral("FPreCode")));
    return true;
}

namespace {

QString sequenceText(qint64 current, const BillNumbering &numbering)
{
    return PadLeftZeros(QString::number(current + 1), numbering.sequenceLength);
}

} // namespace

QString ProposeBillNo(const QString &billTypeNo, const QString &yearMonth, int billStatusId, int &billTableTypeId,
                      const BillNumbering &numbering, const QSqlDatabase &db)
{
    if (billStatusId != BillStatus::New)
        return QString();
    QString prefix;
    int key = 0;
    if (FindBillType(billTypeNo, key, prefix, db))
        billTableTypeId = key;
    TDataSet q(db);
    OpenQuery(q,
              causalRead(QStringLiteral("select * from T_BillCode where FBillTypeID = ")
                             + QString::number(billTableTypeId) + QStringLiteral(" and FYearMonth = ")
                             + QuotedStr(yearMonth, db),
                         db));
    if (q.isEmpty())
        return prefix + yearMonth + numbering.firstSequence;
    return prefix + yearMonth
        + sequenceText(q.fieldByName(QStringLiteral("FCurNo")).toString().toLongLong(), numbering);
}

namespace {

// Whether T_BillCode declares a unique key on exactly (FBillTypeID, FYearMonth). A suite
// database made by another installer may lack it; it is looked up once per connection.
bool hasCounterKey(const QSqlDatabase &db)
{
    return RememberedSchemaFact(db, QStringLiteral("bill counter key"), [&] {
        TDataSet q(db);
        OpenQuery(
            q,
            QStringLiteral("select INDEX_NAME from information_schema.STATISTICS where TABLE_SCHEMA = database() "
                           "and lower(TABLE_NAME) = 't_billcode' and NON_UNIQUE = 0 group by INDEX_NAME "
                           "having count(*) = 2 and sum(lower(COLUMN_NAME) in ('fbilltypeid','fyearmonth')) = 2"));
        return !q.isEmpty();
    });
}

// One statement creates the month's counter or increments it, and hands the new value back
// through LAST_INSERT_ID on this connection: no other workstation can read the counter
// between our read and our write, and the unique key turns a lost race on the first take of
// a month into an increment.
qint64 takeWithKey(int key, const QString &prefix, const QString &yearMonth, const QSqlDatabase &db)
{
    TDataSet q(db);
    ExecQuery(q,
              QStringLiteral("insert into T_BillCode(FBillTypeID,FPreCode, FYearMonth,FCurNo)  values(")
                  + QString::number(key) + QStringLiteral(",") + QuotedStr(prefix, db) + QStringLiteral(",")
                  + QuotedStr(yearMonth, db)
                  + QStringLiteral(
                      ",LAST_INSERT_ID(1)) on duplicate key update FCurNo = LAST_INSERT_ID(IfNull(FCurNo,0) + 1)"));
    OpenQuery(q, QStringLiteral("select LAST_INSERT_ID() as FCurNo"));
    return q.fieldByName(QStringLiteral("FCurNo")).toLongLong();
}

// Without the key: the bill type's own row is locked first, so that takes of one bill type
// queue there whatever the isolation level, then the month's counter is read and written.
// Twin counter rows left by an earlier installer all move to the new value.
qint64 takeWithLock(const QString &billTypeNo, int key, const QString &prefix, const QString &yearMonth,
                    const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select FID from T_BillType where FBillTypeNo = ") + QuotedStr(billTypeNo, db)
                  + QStringLiteral(" for update"));
    const QString where = QStringLiteral(" where FBillTypeID = ") + QString::number(key)
        + QStringLiteral(" and FYearMonth = ") + QuotedStr(yearMonth, db);
    OpenQuery(q,
              QStringLiteral("select count(*) as FRows, max(IfNull(FCurNo,0)) as FCurNo from T_BillCode") + where
                  + QStringLiteral(" for update"));
    const qint64 taken = q.fieldByName(QStringLiteral("FCurNo")).toLongLong() + 1;
    if (q.fieldByName(QStringLiteral("FRows")).toLongLong() == 0) {
        ExecQuery(q,
                  QStringLiteral("insert into T_BillCode(FBillTypeID,FPreCode, FYearMonth,FCurNo)  values(")
                      + QString::number(key) + QStringLiteral(",") + QuotedStr(prefix, db) + QStringLiteral(",")
                      + QuotedStr(yearMonth, db) + QStringLiteral(",1)"));
    } else {
        ExecQuery(q, QStringLiteral("update T_BillCode set FCurNo = ") + QString::number(taken) + where);
    }
    return taken;
}

} // namespace

void ForgetBillCodeKey() { ForgetSchemaFacts(); }

namespace {

QString takeInTransaction(const QString &billTypeNo, const BillNumbering &numbering, const QSqlDatabase &db)
{
    int key = 0;
    QString prefix;
    if (!FindBillType(billTypeNo, key, prefix, db))
        throw std::runtime_error(
            QStringLiteral("no bill type %1 in T_BillType: no number can be taken").arg(billTypeNo).toStdString());
    QString yearMonth;
    GetServerBillDate(yearMonth, db);

    const qint64 taken = hasCounterKey(db) ? takeWithKey(key, prefix, yearMonth, db)
                                           : takeWithLock(billTypeNo, key, prefix, yearMonth, db);
    if (taken <= 1)
        return prefix + yearMonth + numbering.firstSequence;
    return prefix + yearMonth + sequenceText(taken - 1, numbering);
}

} // namespace

QString TakeBillNo(const QString &billTypeNo, const BillNumbering &numbering, const QSqlDatabase &db)
{
    if (InTransaction(db))
        return takeInTransaction(billTypeNo, numbering, db);
    // A take of its own is a write action like any other: on a cluster another node's take of
    // the same counter makes it fail certification, and it is run again as a whole.
    QString number;
    const TransactionResult r = RunTransaction(db, [&] {
        number = takeInTransaction(billTypeNo, numbering, db);
        return true;
    });
    if (!r.committed)
        throw r.error ? *r.error : DbError(kErrRetriesExhausted, QString(), QStringLiteral("TakeBillNo"));
    return number;
}

QString MakeBillNoUnique(const QString &number, const QString &initialNumber, bool isNewBill, const QString &billTypeNo,
                         const QString &formTable, const BillNumbering &numbering, const QSqlDatabase &db)
{
    if (!isNewBill || number != initialNumber)
        return number;
    TDataSet q(db);
    for (int tries = 0; tries < kMaxNumberTries; ++tries) {
        const QString taken = TakeBillNo(billTypeNo, numbering, db);
        OpenQuery(q,
                  QStringLiteral("select FBillNo from ") + formTable + QStringLiteral(" where FBillNo = ")
                      + QuotedStr(taken, db));
        if (q.isEmpty())
            return taken;
    }
    throw std::runtime_error(
        QStringLiteral("连续%1个单据号都已被占用，无法取得新的单据号，请检查单据编号设置(T_BillCode)。")
            .arg(kMaxNumberTries)
            .toStdString());
}

} // namespace protask
