#include "posting/account_steps.h"

#include "core/bill_types.h"
#include "core/numbering.h"
#include "core/values.h"
#include "platform/nv_dm_base.h"
#include "posting/posting_common.h"

#include <QDateTime>
#include <QStringList>

#include <exception>

namespace protask {

namespace {

QString clientTotalsStatement(const QString &table, const QString &keyColumn, const QString &billId,
                              const QString &amountColumn, const QString &clientColumn, const QString &assignments)
{
    return QStringLiteral("update t_comClient T1 inner join  (select ") + clientColumn
        + QStringLiteral(" as FClientID,sum(IfNull(") + amountColumn + QStringLiteral(",0)) as FAmount from ") + table
        + QStringLiteral(" where ") + keyColumn + QStringLiteral(" = ") + billId + QStringLiteral(" group by ")
        + clientColumn + QStringLiteral(") T2  on T1.FID = T2.FClientID set FLastInOuDateTime = now(),") + assignments;
}

void logFailure(const QString &what, const std::exception &e)
{
    try {
        WriteTextLog(what + QString::fromUtf8(e.what()));
    } catch (...) {
    }
}

QString dateTimeLiteral(const QVariant &v, const QSqlDatabase &db)
{
    if (IsBlankValue(v))
        return QStringLiteral("null");
    return QuotedStr(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), db);
}

} // namespace

bool UpdateClientPayAmount(const QString &table, const QString &keyColumn, const QString &billId, int sign,
                           const QString &amountColumn, const QString &clientColumn, const QSqlDatabase &db)
{
    TDataSet q(db);
    return PostExec(q,
                    clientTotalsStatement(table, keyColumn, billId, amountColumn, clientColumn,
                                          QStringLiteral("T1.FPayAmount = IfNull(T1.FPayAmount,0) + T2.FAmount * ")
                                              + QString::number(sign)));
}

bool UpdateClientUnPayAmount(const QString &table, const QString &keyColumn, const QString &billId, int sign,
                             const QString &amountColumn, const QString &clientColumn, const QSqlDatabase &db)
{
    TDataSet q(db);
    return PostExec(q,
                    clientTotalsStatement(table, keyColumn, billId, amountColumn, clientColumn,
                                          QStringLiteral("T1.FUnPayAmount = IfNull(T1.FUnPayAmount,0) + T2.FAmount * ")
                                              + QString::number(sign)));
}

bool UpdateClientTotalAmount(const QString &table, const QString &keyColumn, const QString &billId, int sign,
                             const QString &amountColumn, const QString &clientColumn, const QSqlDatabase &db)
{
    // Both assignments read the row as it was before the statement, so the unpaid amount is the
    // new total minus the paid amount as it stands.
    const QString s = QString::number(sign);
    TDataSet q(db);
    return PostExec(
        q,
        clientTotalsStatement(table, keyColumn, billId, amountColumn, clientColumn,
                              QStringLiteral("T1.FTotalAmount = IfNull(T1.FTotalAmount,0) + T2.FAmount * ") + s
                                  + QStringLiteral(",T1.FUnPayAmount = (IfNull(T1.FTotalAmount,0) + T2.FAmount * ") + s
                                  + QStringLiteral(") - IfNull(T1.FPayAmount,0)")));
}

bool UpdateCashAccount(const QString &table, const QString &billId, int sign, const QString &keyColumn,
                       const QString &cashColumn, const QString &amountColumn, const QSqlDatabase &db)
{
    TDataSet q(db);
    const QString sql = QStringLiteral("update t_comCash T3 Inner join ") + table
        + QStringLiteral(" T4 on T3.FID = T4.") + cashColumn
        + QStringLiteral(" set T3.FBalance = IfNull(T3.FBalance,0) + IfNull(T4.") + amountColumn
        + QStringLiteral(",0) * ") + QString::number(sign) + QStringLiteral(" where T4.") + keyColumn
        + QStringLiteral(" = ") + billId;
    return PostExec(q, sql);
}

bool UpdateClientPrice(const QString &formTable, const QString &listTable, const QString &billId,
                       const QString &amountColumn, const QString &priceColumn, const QString &numberColumn,
                       const QString &keyColumn, const QString &productColumn, const QString &clientColumn, int sign,
                       const QSqlDatabase &db)
{
    Q_UNUSED(sign);
    TDataSet q(db);
    const QString insertRows =
        QStringLiteral("insert into t_comProductsPrice(FProductID,FUnitID,FClientID)   select T2.") + productColumn
        + QStringLiteral(" as FPriductID, T2.FUnitID,IfNull(T1.") + clientColumn
        + QStringLiteral(",0) as FClientID   from ") + formTable + QStringLiteral(" T1 inner join ") + listTable
        + QStringLiteral(" T2 on T1.FID = T2.FFormID   where T1.") + keyColumn + QStringLiteral(" = ") + billId
        + QStringLiteral(
            " and not exists(select * from t_comProductsPrice T3             where T3.FClientID = IfNull(T1.")
        + clientColumn + QStringLiteral(",0)           and T3.FProductID = T2.") + productColumn
        + QStringLiteral(" and T3.FUnitID = T2.FUnitID)  group by IfNull(T1.") + clientColumn
        + QStringLiteral(",0),T2.") + productColumn + QStringLiteral(",T2.FUnitID");
    if (!PostExec(q, insertRows))
        return false;
    const QString writePrices =
        QStringLiteral("update t_comProductsPrice T3 inner join (    select IfNull(T1.") + clientColumn
        + QStringLiteral(",0) as FClientID,T2.") + productColumn
        + QStringLiteral(" as FProductID,T2.FUnitID,           IfNull(T2.") + numberColumn
        + QStringLiteral(",0) as FNumber,IfNull(T2.") + priceColumn
        + QStringLiteral(",0) as FPrice,           IfNull(T2.") + amountColumn
        + QStringLiteral(",0) as FAmount     from ") + formTable + QStringLiteral(" T1 inner join ") + listTable
        + QStringLiteral(" T2 on T1.FID = T2.FFormID     where T1.") + keyColumn + QStringLiteral(" = ") + billId
        + QStringLiteral(" and IfNull(T2.") + priceColumn
        + QStringLiteral(
            ",0) <> 0     ) T4   on T3.FClientID = T4.FClientID and T3.FProductId = T4.FProductID and T3.FUnitID = "
            "T4.FUnitID  Set T3.FNumber = T4.FNumber,T3.FPrice = T4.FPrice, T3.FAmount = T4.FAmount, T3.FDate = now()");
    return PostExec(q, writePrices);
}

bool UpdateFinishNumber(const QString &targetTable, const QString &targetColumn, const QString &sourceTable,
                        const QString &sourceKeyColumn, int sign, const QString &billId, const QString &numberColumn,
                        const QString &linkColumn, const QSqlDatabase &db)
{
    // The source lines are summed per target row first: a joined update changes each target
    // row once, so two lines of one bill on one order line would otherwise count once.
    TDataSet q(db);
    const QString sql = QStringLiteral("update ") + targetTable + QStringLiteral(" T1 inner join (select ") + linkColumn
        + QStringLiteral(", sum(IfNull(") + numberColumn + QStringLiteral(",0)) as FSourceNumber from ") + sourceTable
        + QStringLiteral(" where ") + sourceKeyColumn + QStringLiteral(" = ") + billId
        + QStringLiteral("   and IfNull(") + linkColumn + QStringLiteral(",0) <> 0  group by ") + linkColumn
        + QStringLiteral(") T2  on T1.FID = T2.") + linkColumn + QStringLiteral(" set T1.") + targetColumn
        + QStringLiteral(" = IfNull(T1.") + targetColumn + QStringLiteral(",0) + IfNull(T2.FSourceNumber,0) * ")
        + QString::number(sign);
    return PostExec(q, sql);
}

// ---------------------------------------------------------------------------
// Rebate

bool CreateReturnPayBill(int rebateId, int &payBillId, const QSqlDatabase &db)
{
    payBillId = 0;
    const QString rebate = QString::number(rebateId);
    TDataSet q(db);
    if (!PostOpen(q, QStringLiteral("select * from t_returnform where FID = '") + rebate + QStringLiteral("'"))
        || q.isEmpty())
        return false;
    const double rebateAmount = ValueToFloat(q.fieldByName(QStringLiteral("FAmount")));
    const QString clientId = QString::number(ValueToInt(q.fieldByName(QStringLiteral("FClientID"))));
    const QString begin = PostingDateText(q.fieldByName(QStringLiteral("FBeginDate")).toDate());
    const QString end = PostingDateText(q.fieldByName(QStringLiteral("FEndDate")).toDate());
    const QVariant billDate = q.fieldByName(QStringLiteral("FBillDate"));
    const int receiveFormId = ValueToInt(q.fieldByName(QStringLiteral("FReceiveFormID")));
    const int rebateTypeId = ValueToInt(q.fieldByName(QStringLiteral("FTypeID")));

    if (!PostOpen(q,
                  QStringLiteral("select * from t_returnList where FIsSelected = 1 and FFormID = '") + rebate
                      + QStringLiteral("'")))
        return false;
    QStringList products;
    for (q.first(); !q.eof(); q.next())
        products << QString::number(ValueToInt(q.fieldByName(QStringLiteral("FProductID"))));
    const QString productFilter = products.isEmpty()
        ? QString()
        : QStringLiteral(" and L.FProductID in( ") + products.join(QLatin1Char(',')) + QStringLiteral(")");

    const QString period = QStringLiteral(" where F.FClientID = ") + clientId + QStringLiteral(" and F.FBillDate >= '")
        + begin + QStringLiteral("' and F.FBillDate <='") + end + QStringLiteral("' and L.FIsPresent = 0 ")
        + productFilter;
    if (!PostOpen(q,
                  QStringLiteral("select sum(IfNull(L.FTobeDiscountAmount,0)) as Amount  from t_purForm F inner join "
                                 "t_purList L on F.FID = L.FFormID ")
                      + period))
        return false;
    const double total = ValueToFloat(q.fieldByName(QStringLiteral("Amount")));

    int priceDecimals = 2;
    try {
        priceDecimals = GetCompanyDecimals(db).priceDecimals;
    } catch (const DbError &e) {
        LogPostingError(e);
        throw;
    } catch (const std::exception &e) {
        logFailure(QStringLiteral("返利单读取价格小数位失败："), e);
        return false;
    }
    // The spread's own result is not looked at: a period without purchases simply has no line
    // to spread over (a zero total leaves any matching line with a null rebate amount).
    const QString spread =
        QStringLiteral("update t_purForm F inner join t_purList L on F.FID = L.FFormID  set L.FIsReturn = "
                       "1,L.FReturnFromFormID = ")
        + rebate + QStringLiteral(", L.FReturnAmount = Round(IfNull(L.FTobeDiscountAmount,0) / ") + sqlNumber(total)
        + QStringLiteral(" * ") + sqlNumber(rebateAmount)
        + QStringLiteral(",2), L.FReturnPrice =Round(IfNull(L.FTobeDiscountAmount,0) / ") + sqlNumber(total)
        + QStringLiteral(" * ") + sqlNumber(rebateAmount) + QStringLiteral("/ L.FNumber,")
        + QString::number(priceDecimals) + QStringLiteral(")") + period;
    RunIgnorableStep(db, QStringLiteral("rebate_spread"), [&] { return PostExec(q, spread); });

    QString billNo;
    int newId = 0;
    try {
        billNo = TakeBillNo(QStringLiteral("FKD"), BillNumbering{5, QStringLiteral("00001")}, db);
        newId = GetNextID(QStringLiteral("t_ReceivePayForm"), QStringLiteral("FID"), db);
    } catch (const DbError &e) {
        LogPostingError(e);
        throw;
    } catch (const std::exception &e) {
        logFailure(QStringLiteral("返利单生成付款单失败："), e);
        return false;
    }

    if (!PostOpen(q, QStringLiteral("select * from t_ReceivePayForm where FID = ") + QString::number(receiveFormId)))
        return false;
    const bool isNew = q.isEmpty();
    payBillId = isNew ? newId : ValueToInt(q.fieldByName(QStringLiteral("FID")));

    const QString fromType = QString::number(rebateTypeId);
    const QString biller = QString::number(nvDMBase::instance().userId);
    const QString note = QuotedStr(QStringLiteral("返利单生成的付款单,用于抵供应商欠款"), db);
    QString write;
    if (isNew) {
        write = QStringLiteral(
                    "insert into t_ReceivePayForm(FID,FBillTypeID,FTypeID,FFromBillTypeID,FFromFormBillID,FBillerID,"
                    "FBillNo,FClientID,FBillDate,FAmount,FNote) values(")
            + QString::number(payBillId) + QStringLiteral(",2,7,") + fromType + QStringLiteral(",") + rebate
            + QStringLiteral(",") + biller + QStringLiteral(",") + QuotedStr(billNo, db) + QStringLiteral(",")
            + clientId + QStringLiteral(",") + dateTimeLiteral(billDate, db) + QStringLiteral(",")
            + sqlNumber(rebateAmount) + QStringLiteral(",") + note + QStringLiteral(")");
    } else {
        write = QStringLiteral("update t_ReceivePayForm set FBillTypeID = 2,FTypeID = 7,FFromBillTypeID = ") + fromType
            + QStringLiteral(",FFromFormBillID = ") + rebate + QStringLiteral(",FBillerID = ") + biller
            + QStringLiteral(",FBillNo = ") + QuotedStr(billNo, db) + QStringLiteral(",FClientID = ") + clientId
            + QStringLiteral(",FBillDate = ") + dateTimeLiteral(billDate, db) + QStringLiteral(",FAmount = ")
            + sqlNumber(rebateAmount) + QStringLiteral(",FNote = ") + note + QStringLiteral(" where FID = ")
            + QString::number(payBillId);
    }
    if (!PostExec(q, write))
        return false;

    // Once the payment bill is written the rebate has succeeded; the link is written without
    // looking at its result.
    const QString link = QStringLiteral("update t_ReturnForm set FReceiveFormID = ") + QString::number(payBillId)
        + QStringLiteral(" where FID = ") + rebate;
    RunIgnorableStep(db, QStringLiteral("rebate_link"), [&] { return PostExec(q, link); });
    return true;
}

bool ReleaseRebatePurchases(int rebateId, const QSqlDatabase &db)
{
    TDataSet q(db);
    return PostExec(
        q,
        QStringLiteral("update t_PurForm T1 inner join t_PurList T2 on T1.FID = T2.FFormID  set T2.FIsReturn = 0, "
                       "T2.FReturnPrice = 0, T2.FReturnAmount = 0, T2.FReturnFromFormID = 0  where "
                       "IfNull(T2.FReturnFromFormID,0) = ")
            + QString::number(rebateId));
}

bool ReadRebatePayBill(int rebateId, int &payBillId, const QSqlDatabase &db)
{
    payBillId = 0;
    TDataSet q(db);
    if (!PostOpen(q,
                  QStringLiteral("select FClientID,FReceiveFormID from t_ReturnForm where FID = ")
                      + QString::number(rebateId)))
        return false;
    payBillId = ValueToInt(q.fieldByName(QStringLiteral("FReceiveFormID")));
    return true;
}

bool DeleteRebatePayBill(int payBillId, const QSqlDatabase &db)
{
    TDataSet q(db);
    return PostExec(q, QStringLiteral("delete from t_ReceivePayForm where FID =") + QString::number(payBillId));
}

bool ClearRebatePayBillLink(const QString &headerTable, int rebateId, const QSqlDatabase &db)
{
    TDataSet q(db);
    return PostExec(q,
                    QStringLiteral("update ") + headerTable + QStringLiteral(" set FReceiveFormID = 0 where FID = ")
                        + QString::number(rebateId));
}

// ---------------------------------------------------------------------------
// Cost-recalculation marks

bool MarkBillCalFlag(int billType, int billId, const QSqlDatabase &db)
{
    switch (billType) {
    case 3002:
    case 3004:
    case 3005:
    case 3006:
    case 3011:
    case 3015:
    case 3016:
    case 3018:
    case 3019:
    case 3020:
    case 3021:
    case 3022:
    case 3025:
    case 3026:
    case 3031:
    case 3043:
    case 3089:
    case 3090: break;
    default: return true;
    }
    const BillTypeTables tables = GetBillTypeTables(billType);
    if (tables.formTable.trimmed().isEmpty())
        return true;
    const QString bill = QString::number(billId);
    TDataSet q(db);
    if (!PostOpen(q,
                  QStringLiteral("select FBillDate from ") + tables.formTable + QStringLiteral(" where FID = ") + bill))
        return false;
    if (q.isEmpty())
        return true;
    const QDate billDate = q.fieldByName(QStringLiteral("FBillDate")).toDate();
    if (!billDate.isValid())
        return true;
    const QString period = QString::number(billDate.year() * 100 + billDate.month());

    if (!PostExec(
            q,
            QStringLiteral("insert into t_billcalflag(FProductID,FTypeID, FPeriod) select distinct T2.FProductID, 0, ")
                + period + QStringLiteral(" from ") + tables.formTable + QStringLiteral(" T1 inner join ")
                + tables.listTable + QStringLiteral(" T2  on T1.FID = T2.FFormID where T1.FID = ") + bill
                + QStringLiteral(" and not exists( select * from t_billcalflag T3   where T2.FProductID = "
                                 "T3.FProductID and T3.FPeriod = ")
                + period + QStringLiteral(" )")))
        return false;
    if (!PostExec(q,
                  QStringLiteral(
                      "UPDATE t_billcalflag TT1 INNER JOIN  (SELECT DISTINCT T1.FBillDate, T2.FProductID      from ")
                      + tables.formTable + QStringLiteral(" T1 inner join ") + tables.listTable
                      + QStringLiteral(" T2      on T1.FID = T2.FFormID where T1.FID = ") + bill
                      + QStringLiteral(" ) TT2   ON  TT1.FProductID = TT2.FProductID and TT1.FPeriod = ") + period
                      + QStringLiteral(" SET TT1.FLastDate = TT2.FBillDate WHERE  (TT1.FLastDate > TT2.FBillDate OR "
                                       "(IFNULL(TT1.FLastDate,'') = ''))")))
        return false;
    if (billType != 3025 && billType != 3026)
        return true;
    // Assembly and dismantling move the header's product too.
    if (!PostExec(q,
                  QStringLiteral("insert into t_billcalflag(FProductID,FTypeID, FPeriod) select FProductID, 0, ")
                      + period + QStringLiteral(" from ") + tables.formTable + QStringLiteral(" T1 where T1.FID = ")
                      + bill
                      + QStringLiteral(" and not exists( select * from t_billcalflag T3   where T1.FProductID = "
                                       "T3.FProductID and T3.FPeriod = ")
                      + period + QStringLiteral(")")))
        return false;
    return PostExec(
        q,
        QStringLiteral("UPDATE t_billcalflag TT1 INNER JOIN  (SELECT DISTINCT T1.FBillDate, T1.FProductID      from ")
            + tables.formTable + QStringLiteral(" T1  where T1.FID = ") + bill
            + QStringLiteral(" ) TT2   ON  TT1.FProductID = TT2.FProductID and TT1.FPeriod = ") + period
            + QStringLiteral(" SET TT1.FLastDate = TT2.FBillDate  WHERE TT1.FLastDate > TT2.FBillDate OR "
                             "(IFNULL(TT1.FLastDate,'') = '')"));
}

} // namespace protask
