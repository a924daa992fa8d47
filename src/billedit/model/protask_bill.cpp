#include "billedit/model/protask_bill.h"

#include "core/numbering.h"
#include "core/sql_helpers.h"
#include "core/values.h"

#include <QStringList>

namespace protask {

QString ProtaskHeaderSql(int billId)
{
    return QStringLiteral(
               "select  distinct T1.FID,T1.FTypeID,T1.FBillDate,T1.FProDate,T1.FBillno,T1.FBatchNo,T1.FClientID, "
               "T1.FManagerID,T1.FDeptID,T1.FFinishNumber, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,"
               "T1.FCheckerDate, T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T1.FNote,T1.Fnumber,T1.Fprice,"
               "T1.Famount ,T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as TFClientCode, T3.FNo as "
               "FManagerNo, T3.FName as FManager, T3.FCode as FManagerCode, T4.FNo as FDeptNo, T4.FName as FDeptName, "
               "T4.FCode as FDeptCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName "
               "as FCheckName , null as FCashName,null as FFormDefined1,null as FFormDefined2,null as FFormDefined3 "
               ",FFromBillTypeID,FFromBillID,FFromBillNo,FFromListID,T8.FName as FProductName,T9.FName as FUnitName "
               "from t_ProTaskForm T1  left join t_comClient T2 on t1.FClientID = T2.FID  left join t_comEmployee T3 "
               "on T1.FManagerID = T3.FID  left join t_comdepartment T4 on T1.FDeptID = T4.FID  left join t_comUser T6 "
               "on T1.FBillerID = T6.FID   left join t_comUser T7 on T1.FCheckerID = T7.FID   left join t_comProducts "
               "T8 on t1.FProductID = T8.FID   left join t_comUnit T9 on T1.FUnitID = T9.FID  where T1.FID = ")
        + QString::number(billId);
}

QString ProtaskLinesSql(int billId)
{
    return QStringLiteral(
               "select T1.FSID,T1.FFormID,T1.FProductID,T1.FUnitID,T1.FBatchNo1,T1.FKFDate,T1.FKFPeriod,T1.FPeriodDate, "
               "T1.FListDefined1,T1.FListDefined2,T1.FListDefined3,T1.FNumber,T1.FSingleNumber,T1.FPrice,T1.FAmount,"
               "T1.FFinishNumber,T1.FNote,T2.FNO as FProductNo,T2.FName as FProductName,T2.FProductDefined1,"
               "T2.FProductDefined2,T2.FProductDefined3,T4.FName as FStdUnitName,T3.FName as FUnitName from "
               "t_ProTasklist T1 inner join t_comProducts T2 on T1.FproductID = T2.FID  left join t_comUnit T3 on "
               "T1.FUnitID = T3.FID   left join t_comUnit T4 on T2.FStdUnitID = T4.FID  where FFormID = ")
        + QString::number(billId) + QStringLiteral(" order by FSID");
}

} // namespace protask

namespace protask {

namespace {

QString sqlText(const QString &text, const QSqlDatabase &db) { return QuotedStr(text.trimmed(), db); }

QString sqlDate(const QDate &date, const QSqlDatabase &db)
{
    return date.isValid() ? QuotedStr(date.toString(QStringLiteral("yyyy-MM-dd")), db) : QStringLiteral("null");
}

} // namespace

QString ProtaskClientListSql()
{
    return QStringLiteral(
        "select FNo,FName,FCode from t_comClient where Ftype = 1 and FIsActive = 1 order by FIsSystem desc, FNo ,FName asc ");
}

QString ProtaskDeptListSql()
{
    return QStringLiteral("select FNo,FName,FCode from t_comdepartment order by  FNo ,FName asc ");
}

QString ProtaskEmployeeListSql()
{
    return QStringLiteral("select FNo,FName,FCode from t_comEmployee order by FNo,FName");
}

QString ProtaskProductListSql()
{
    return QStringLiteral("select FNo,FName,FCode from t_comProducts where IfNull(FIsActive,1) = 1 order by FNo");
}

int SaveProtaskHeader(const ProtaskHeader &h, const QSqlDatabase &db)
{
    const bool isNew = h.billId == 0;
    const QString table = QStringLiteral("t_ProTaskForm");
    const int id = isNew ? GetNextID(table, QStringLiteral("FID"), db) : h.billId;
    const int clientId =
        GetOrAddNamedRecord(QStringLiteral("t_comClient"), QStringLiteral("FName"), h.clientName, QStringLiteral("FID"),
                            QStringLiteral(",Ftype"), QStringLiteral(",1"), QStringLiteral(" and FType = 1"), db);
    const int deptId = GetOrAddNamedRecord(QStringLiteral("t_comdepartment"), QStringLiteral("FName"), h.deptName,
                                           QStringLiteral("FID"), QString(), QString(), QString(), db);
    const int managerId = GetOrAddNamedRecord(QStringLiteral("t_comEmployee"), QStringLiteral("FName"), h.managerName,
                                              QStringLiteral("FID"), QString(), QString(), QString(), db);
    int unitId = 0;
    const int productId = GetOrAddProduct(QVariant(), h.productName, h.unitName, unitId, db);
    const QString billNo =
        MakeBillNoUnique(h.billNo.trimmed(), h.initBillNo, isNew, h.billTypeNo, table, BillNumbering{}, db);

    QList<std::pair<QString, QString>> cells = {
        {QStringLiteral("FTypeID"), QString::number(h.billTableTypeId)},
        {QStringLiteral("FClientID"), QString::number(clientId)},
        {QStringLiteral("FDeptID"), QString::number(deptId)},
        {QStringLiteral("FManagerID"), QString::number(managerId)},
        {QStringLiteral("FIsChecked"), QStringLiteral("0")},
        {QStringLiteral("FBillNo"), sqlText(billNo, db)},
        {QStringLiteral("FBillDate"), sqlDate(h.billDate, db)},
        {QStringLiteral("FNote"), sqlText(h.note, db)},
        {QStringLiteral("FProDate"), sqlDate(h.proDate, db)},
        {QStringLiteral("Fnumber"), sqlNumber(h.number)},
        {QStringLiteral("Fprice"), sqlNumber(h.price)},
        {QStringLiteral("Famount"), sqlNumber(h.amount)},
        {QStringLiteral("FFormDefined1"), sqlText(h.formDefined[0], db)},
        {QStringLiteral("FFormDefined2"), sqlText(h.formDefined[1], db)},
        {QStringLiteral("FFormDefined3"), sqlText(h.formDefined[2], db)},
        {QStringLiteral("FBatchNo"), sqlText(h.batchNo, db)},
        {QStringLiteral("FProductID"), QString::number(productId)},
        {QStringLiteral("FUnitID"), QString::number(unitId)},
    };
    if (!h.fromBillNo.trimmed().isEmpty()) {
        cells.append({QStringLiteral("FFromBillNo"), sqlText(h.fromBillNo, db)});
        cells.append({QStringLiteral("FFromBillID"), QString::number(h.fromBillId)});
        cells.append({QStringLiteral("FFromListID"), QString::number(h.fromListId)});
        cells.append({QStringLiteral("FFromBillTypeID"), QString::number(h.fromBillTypeId)});
    }
    TDataSet q(db);
    q.open(QStringLiteral("select FID from ") + table + QStringLiteral(" where FID = ") + QString::number(id));
    if (q.isEmpty()) {
        cells.prepend({QStringLiteral("FID"), QString::number(id)});
        if (isNew) {
            cells.append({QStringLiteral("FBillerID"), QString::number(h.userId)});
            cells.append({QStringLiteral("FBillerDate"), QStringLiteral("now()")});
        }
        QStringList columns;
        QStringList values;
        for (const auto &[column, value] : cells) {
            columns << column;
            values << value;
        }
        q.exec(QStringLiteral("insert into ") + table + QStringLiteral("(") + columns.join(QLatin1Char(','))
               + QStringLiteral(") values(") + values.join(QLatin1Char(',')) + QStringLiteral(")"));
    } else {
        QStringList sets;
        for (const auto &[column, value] : cells)
            sets << column + QStringLiteral(" = ") + value;
        q.exec(QStringLiteral("update ") + table + QStringLiteral(" set ") + sets.join(QLatin1Char(','))
               + QStringLiteral(" where FID = ") + QString::number(id));
    }
    return id;
}

QVariant ApplyProtaskLineRule(const QString &field, const QVariant &typed, LineValues &line, double h, bool hBlank,
                              int numberPlaces, int pricePlaces, int amountPlaces)
{
    const QString single = QStringLiteral("FSingleNumber");
    const QString total = QStringLiteral("FNumber");
    const QString price = QStringLiteral("FPrice");
    const QString amount = QStringLiteral("FAmount");
    const bool isRule = field == single || field == total || field == price || field == amount;
    if (!isRule)
        return typed;
    if (line.blank(QStringLiteral("FProductName")))
        return QVariant(QString());
    const bool blank = IsBlankValue(typed);
    const double x = ValueToFloat(typed);
    if (field == single) {
        if (blank) {
            line.clear(total);
            line.clear(amount);
            return typed;
        }
        const double n = RoundValue(numberPlaces, x * h);
        line.set(total, n);
        if (line.given(price))
            line.set(amount, RoundValue(amountPlaces, n * line.number(price)));
        else
            line.clear(amount);
    } else if (field == total) {
        if (blank || hBlank || h == 0) {
            line.clear(single);
            line.clear(amount);
            return typed;
        }
        line.set(single, RoundValue(numberPlaces, x / h));
        if (line.given(price))
            line.set(amount, RoundValue(amountPlaces, x * line.number(price)));
        else
            line.clear(amount);
    } else if (field == price) {
        if (blank || !line.given(total))
            line.clear(amount);
        else
            line.set(amount, RoundValue(amountPlaces, line.number(total) * x));
    } else {
        if (blank) {
            line.clear(price);
            return typed;
        }
        if (line.given(total)) {
            line.set(price, RoundValue(pricePlaces, x / line.number(total)));
        } else if (line.given(price)) {
            const double n = RoundValue(numberPlaces, x / line.number(price));
            line.set(total, n);
            if (!hBlank && h != 0)
                line.set(single, n / h);
        }
    }
    return typed;
}

void ScaleProtaskLines(QList<LineValues> &lines, double h)
{
    for (LineValues &line : lines) {
        if (line.blank(QStringLiteral("FProductName")) || line.blank(QStringLiteral("FSingleNumber")))
            continue;
        const double n = line.number(QStringLiteral("FSingleNumber")) * h;
        line.set(QStringLiteral("FNumber"), n);
        line.set(QStringLiteral("FAmount"), n * line.number(QStringLiteral("FPrice")));
    }
}

} // namespace protask
