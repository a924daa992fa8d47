#include "numbering.h"

#include "values.h"

#include <stdexcept>

namespace protask {

QDate GetServerBillDate(QString &yearMonth, const QSqlDatabase &db)
{
    yearMonth.clear();
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select DATE_FORMAT(now(),'%Y-%m-%d') as BillDate,DATE_FORMAT(now(),'%Y%m') as YearMonth "));
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
    if (billStatusId != 1)
        return QString();
    QString prefix;
    int key = 0;
    if (FindBillType(billTypeNo, key, prefix, db))
        billTableTypeId = key;
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select * from T_BillCode where FBillTypeID = ") + QString::number(billTableTypeId)
                     + QStringLiteral(" and FYearMonth = ") + QuotedStr(yearMonth, db));
    if (q.isEmpty())
        return prefix + yearMonth + numbering.firstSequence;
    return prefix + yearMonth + sequenceText(q.fieldByName(QStringLiteral("FCurNo")).toString().toLongLong(), numbering);
}

QString TakeBillNo(const QString &billTypeNo, const BillNumbering &numbering, const QSqlDatabase &db)
{
    int key = 0;
    QString prefix;
    if (!FindBillType(billTypeNo, key, prefix, db))
        throw std::runtime_error(("no bill type " + billTypeNo + " in T_BillType: no number can be taken").toStdString());
    QString yearMonth;
    GetServerBillDate(yearMonth, db);

    // One statement creates the month's counter or increments it, and hands the new value
    // back through LAST_INSERT_ID on this connection: no other workstation can read the
    // counter between our read and our write.
    TDataSet q(db);
    ExecQuery(q, QStringLiteral("insert into T_BillCode(FBillTypeID,FPreCode, FYearMonth,FCurNo)  values(")
                     + QString::number(key) + QStringLiteral(",") + QuotedStr(prefix, db) + QStringLiteral(",")
                     + QuotedStr(yearMonth, db)
                     + QStringLiteral(",LAST_INSERT_ID(1)) on duplicate key update FCurNo = LAST_INSERT_ID(FCurNo + 1)"));
    OpenQuery(q, QStringLiteral("select LAST_INSERT_ID() as FCurNo"));
    const qint64 taken = q.fieldByName(QStringLiteral("FCurNo")).toLongLong();
    if (taken <= 1)
        return prefix + yearMonth + numbering.firstSequence;
    return prefix + yearMonth + sequenceText(taken - 1, numbering);
}

QString MakeBillNoUnique(const QString &number, const QString &initialNumber, bool isNewBill, const QString &billTypeNo,
                         const QString &formTable, const BillNumbering &numbering, const QSqlDatabase &db)
{
    if (!isNewBill || number != initialNumber)
        return number;
    QString taken = TakeBillNo(billTypeNo, numbering, db);
    TDataSet q(db);
    for (;;) {
        OpenQuery(q, QStringLiteral("select FBillNo from ") + formTable + QStringLiteral(" where FBillNo = ") + QuotedStr(taken, db));
        if (q.isEmpty())
            return taken;
        taken = TakeBillNo(billTypeNo, numbering, db);
    }
}

} // namespace protask
