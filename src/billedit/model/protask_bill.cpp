#include "billedit/model/protask_bill.h"

#include "core/numbering.h"
#include "core/sql_helpers.h"
#include "core/values.h"

#include "platform/prompter.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

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
    // A new task is always inserted: on a cluster node the largest key may be read before
    // another node's task with the next key arrives, and that task must meet the primary key
    // (the save is retried) instead of being overwritten.
    if (isNew || q.isEmpty()) {
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

int FindLastTaskOfProduct(const QString &productName, const QSqlDatabase &db)
{
    TDataSet q(db);
    q.open(QStringLiteral("select f.FID from t_protaskform f ,t_comproducts p  where f.FProductID=p.FID  and p.Fname=")
           + QuotedStr(productName.trimmed(), db) + QStringLiteral(" order by FbillNo desc limit 1"));
    return q.isEmpty() ? 0 : ValueToInt(q.fieldByName(QStringLiteral("FID")));
}

QString ProtaskMaterialSql(int taskId, double productionQuantity)
{
    const QString h = sqlNumber(productionQuantity);
    return QStringLiteral("select T1.FSID,T1.FFormID,T1.FProductID,T1.FUnitID,T1.FBatchNo1,T1.FListDefined1,"
                          "T1.FListDefined2,T1.FListDefined3,T1.FSingleNumber*")
        + h + QStringLiteral(" as FNumber,T1.FSingleNumber,T1.FPrice") + QStringLiteral(" ,T1.FSingleNumber*") + h
        + QStringLiteral("*T1.FPrice as FAmount,T1.FNote")
        + QStringLiteral(",T2.FNo as FProductNo,T2.FName as FProductName,T2.FProductDefined1,T2.FProductDefined2,"
                         "T2.FProductDefined3")
        + QStringLiteral(",T4.FName as FStdUnitName,T3.FName as FUnitName")
        + QStringLiteral(" from t_ProTasklist T1 inner join t_comProducts T2 on T1.FproductID = T2.FID ")
        + QStringLiteral(" left join t_comUnit T3 on T1.FUnitID = T3.FID ")
        + QStringLiteral("  left join t_comUnit T4 on T2.FStdUnitID = T4.FID ") + QStringLiteral(" where FFormID = ")
        + QString::number(taskId) + QStringLiteral(" order by FSID");
}

SalesOrderSource ReadSalesOrderSource(const QString &listIds, const QSqlDatabase &db)
{
    SalesOrderSource s;
    QStringList ids;
    for (const QString &part : listIds.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qlonglong id = part.trimmed().toLongLong(&ok);
        if (!ok)
            return s;
        ids << sqlNumber(id);
    }
    if (ids.isEmpty())
        return s;
    TDataSet q(db);
    // The unfinished quantity follows every task checked against the line, through any node.
    q.open(causalRead(
        QStringLiteral(
            "select  distinct T1.FID,T1.FTypeID,T1.FBillDate,T1.FBillNo,T1.FClientID, T1.FDeliverDate,T1.FSaleEmpID,"
            "T1.FAddr,T1.FSettlementID,T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,T1.FCheckerDate, "
            "T1.FNote,T1.FFinishType,T1.FAmount,T1.FDiscountAmount,T1.FDiscountRate, T1.FReceiveAmount , T2.FNo as "
            "FClientNo, T2.FName as FClientName, T2.FCode as TFClientCode, T3.FNo as FSaleEmpNo, T3.FName as "
            "FSaleEmpName, T3.FCode as FSaleEmpCode, T5.FNo as FSettlementNo, T5.FName as FSettlementName, T5.FCode "
            "as FSettlementCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode, T7.FID as "
            "FListID,T7.FproductID,T7.FUnitID,T7.FBatchNo1,T7.FBatchNo2,T7.FBatchNo3,T7.FNumber,"
            "T7.FProtaskFinishNumber as FFinishNumber, T7.FPrice,T7.FAmount,T7.FNote as FListNote,"
            "IfNull(T7.FNumber,0) - IfNull(T7.FProtaskFinishNumber,0) as FUnFinishNumber,T8.FNo as FProductNo, "
            "T8.FName as FProductName, T8.FCode as FProductCode,T9.FNo as FUnitNo, T9.FName as FUnitName, T9.FCode "
            "as FUnitCode from t_SaleOrderForm T1 left join t_comClient T2 on t1.FClientID = T2.FID left join "
            "t_comEmployee T3 on T1.FSaleEmpID = T3.FID left join t_comItem T5 on T1.FSettlementID = T5.FID left "
            "join t_comUser T6 on T1.FBillerID = T6.FID left join t_SaleOrderList  T7 on T1.FID = T7.FFormID left "
            "join t_comProducts T8 on T7.FProductID = T8.FID left join t_comUnit T9 on T7.FUnitID = T9.FID  where "
            "T7.FID In( ")
            + ids.join(QLatin1Char(',')) + QStringLiteral(") order by FSID"),
        db));
    if (q.isEmpty())
        return s;
    const auto text = [&q](const char *field) { return ValueToTrimmedText(q.fieldByName(QString::fromLatin1(field))); };
    s.found = true;
    s.clientName = text("FClientName");
    s.unfinished = ValueToFloat(q.fieldByName(QStringLiteral("FUnFinishNumber")));
    s.productName = text("FProductName");
    s.batchNo = text("FBatchNo1");
    s.unitName = text("FUnitName");
    s.billNo = text("FBillNo");
    s.billId = ValueToInt(q.fieldByName(QStringLiteral("FID")));
    s.listId = ValueToInt(q.fieldByName(QStringLiteral("FListID")));
    s.billTypeId = ValueToInt(q.fieldByName(QStringLiteral("FTypeID")));
    return s;
}

int FindOrderClientId(const QString &clientName, const QSqlDatabase &db)
{
    if (clientName.trimmed().isEmpty())
        return 0;
    TDataSet q(db);
    q.open(QStringLiteral("select FID from t_comClient where FName = ") + QuotedStr(clientName.trimmed(), db)
           + QStringLiteral(" and FType = 2 "));
    return q.isEmpty() ? 0 : ValueToInt(q.fieldByName(QStringLiteral("FID")));
}

void ProtaskLineFields(const LineValues &line, int numberPlaces, int pricePlaces, int amountPlaces, LineCells &cells)
{
    cells.append({QStringLiteral("FNumber"), RoundValue(numberPlaces, line.number(QStringLiteral("FNumber")))});
    cells.append(
        {QStringLiteral("FSingleNumber"), RoundValue(numberPlaces, line.number(QStringLiteral("FSingleNumber")))});
    cells.append({QStringLiteral("FPrice"), RoundValue(pricePlaces, line.number(QStringLiteral("FPrice")))});
    cells.append({QStringLiteral("FAmount"), RoundValue(amountPlaces, line.number(QStringLiteral("FAmount")))});
}

void StartNewProtask(ProtaskHeader &header, int userId, const QSqlDatabase &db)
{
    QString yearMonth;
    header.billId = 0;
    header.billDate = GetServerBillDate(yearMonth, db);
    header.initBillNo = ProposeBillNo(header.billTypeNo, yearMonth, 1, header.billTableTypeId, BillNumbering{}, db);
    header.billNo = header.initBillNo;
    header.number = 1;
    header.userId = userId;
}

void CopySalesOrderSource(ProtaskHeader &header, const SalesOrderSource &source)
{
    header.clientName = source.clientName;
    header.number = source.unfinished;
    header.productName = source.productName;
    header.batchNo = source.batchNo;
    header.unitName = source.unitName;
    header.fromBillNo = source.billNo;
    header.fromBillId = source.billId;
    header.fromListId = source.listId;
    header.fromBillTypeId = source.billTypeId;
    header.amount = header.number * header.price;
}

QList<LineValues> ProposeProtaskMaterials(const QString &productName, double productionQuantity, const QSqlDatabase &db)
{
    QList<LineValues> lines;
    if (productName.trimmed().isEmpty())
        return lines;
    const int task = FindLastTaskOfProduct(productName, db);
    if (task == 0)
        return lines;
    TDataSet q(db);
    q.open(ProtaskMaterialSql(task, productionQuantity));
    const QStringList fields = q.fieldNames();
    for (int r = 0; r < q.recordCount(); ++r) {
        LineValues line;
        for (int f = 0; f < fields.size(); ++f)
            line.set(fields.at(f), q.value(r, f));
        lines.append(line);
    }
    return lines;
}

QList<MandatoryField> ProtaskMandatoryFields(const ProtaskHeader &header)
{
    return {
        {QStringLiteral("FClientName"), QStringLiteral("客户(必填)："), 1, header.clientName.trimmed().isEmpty()},
        {QStringLiteral("FProductName"), QStringLiteral("产品名称(必填)："), 1, header.productName.trimmed().isEmpty()},
    };
}

namespace {

// Where a value of the task is stored, and the caption its message names it by.
struct StoredField {
    const char *field;
    const char *caption;
    const char *table; // lower case, as information_schema names tables here
    const char *column;
};

// clang-format off
const StoredField kHeaderTexts[] = {
    {"FBillNo",       "单据编号", "t_protaskform",   "fbillno"},
    {"FClientName",   "客户",     "t_comclient",     "fname"},
    {"FProductName",  "产品名称", "t_comproducts",   "fname"},
    {"FUnitName",     "单位",     "t_comunit",       "fname"},
    {"FBatchNo",      "批次",     "t_protaskform",   "fbatchno"},
    {"FDeptName",     "生产部门", "t_comdepartment", "fname"},
    {"FManager",      "经办人",   "t_comemployee",   "fname"},
    {"FNote",         "说明",     "t_protaskform",   "fnote"},
    {"FFormDefined1", "自定义1",  "t_protaskform",   "fformdefined1"},
    {"FFormDefined2", "自定义2",  "t_protaskform",   "fformdefined2"},
    {"FFormDefined3", "自定义3",  "t_protaskform",   "fformdefined3"},
    {"FFromBillNo",   "来源单号", "t_protaskform",   "ffrombillno"},
};
const StoredField kHeaderNumbers[] = {
    {"Fnumber", "生产数量", "t_protaskform", "fnumber"},
    {"Fprice",  "加工单价", "t_protaskform", "fprice"},
    {"Famount", "加工金额", "t_protaskform", "famount"},
};
// Line cells whose value goes to another table than the line table's column of its name.
const StoredField kLineNames[] = {
    {"FProductName", nullptr, "t_comproducts", "fname"},
    {"FUnitName",    nullptr, "t_comunit",     "fname"},
};
const StoredField kLineCaptions[] = {
    {"FProductName",  "材料名称", nullptr, nullptr},
    {"FUnitName",     "单位",     nullptr, nullptr},
    {"FBatchNo1",     "批号",     nullptr, nullptr},
    {"FListDefined1", "自定义1",  nullptr, nullptr},
    {"FListDefined2", "自定义2",  nullptr, nullptr},
    {"FListDefined3", "自定义3",  nullptr, nullptr},
    {"FNote",         "备注",     nullptr, nullptr},
    {"FSingleNumber", "单位耗量", nullptr, nullptr},
    {"FNumber",       "总耗量",   nullptr, nullptr},
    {"FPrice",        "成本单价", nullptr, nullptr},
    {"FAmount",       "成本金额", nullptr, nullptr},
    {"FKFDate",       "生产日期", nullptr, nullptr},
    {"FPeriodDate",   "有效期至", nullptr, nullptr},
};
// clang-format on

struct ColumnKind {
    int textLength = -1;    // characters; -1 for a column that is no text
    double numberLimit = 0; // the first value too large for a decimal or integer column; 0: none
    bool date = false;
};

using ColumnKinds = QHash<QString, ColumnKind>; // by "table.column", lower case

// One read of the columns' kinds per save. The server keeps table names in lower case, so the
// names are compared as they are: information_schema then opens only these tables.
ColumnKinds readColumnKinds(const QSqlDatabase &db)
{
    QStringList tables;
    for (const StoredField &f : kHeaderTexts)
        tables << QuotedStr(QString::fromLatin1(f.table), db);
    tables << QStringLiteral("'t_protaskform'") << QStringLiteral("'t_protasklist'");
    tables.removeDuplicates();
    TDataSet q(db);
    q.open(QStringLiteral("select lower(TABLE_NAME), lower(COLUMN_NAME), lower(DATA_TYPE), CHARACTER_MAXIMUM_LENGTH,"
                          " NUMERIC_PRECISION, NUMERIC_SCALE from information_schema.COLUMNS"
                          " where TABLE_SCHEMA = database() and TABLE_NAME in (")
           + tables.join(QLatin1Char(',')) + QStringLiteral(")"));
    ColumnKinds kinds;
    for (int r = 0; r < q.recordCount(); ++r) {
        ColumnKind k;
        const QString type = q.value(r, 2).toString();
        if (!q.value(r, 3).isNull() && (type.contains(QLatin1String("char")) || type.contains(QLatin1String("text"))))
            k.textLength = q.value(r, 3).toInt();
        else if (!q.value(r, 4).isNull())
            k.numberLimit = std::pow(10.0, q.value(r, 4).toInt() - q.value(r, 5).toInt());
        k.date = type == QLatin1String("date") || type == QLatin1String("datetime");
        kinds.insert(q.value(r, 0).toString() + QLatin1Char('.') + q.value(r, 1).toString(), k);
    }
    return kinds;
}

QString fieldName(const char *caption, const QString &field)
{
    return QString::fromUtf8(caption) + QStringLiteral("(") + field + QStringLiteral(")");
}

// Empty when the text fits its column, else the refusal.
QString textRefusal(const QString &text, const ColumnKind &kind, const QString &name)
{
    if (text.contains(QChar(0)))
        return name + QStringLiteral("含有空字符(\\0),不能保存,请检查");
    const qsizetype characters = text.toUcs4().size();
    if (kind.textLength >= 0 && characters > kind.textLength)
        return name
            + QStringLiteral("的内容超过了%1个字符(现有%2个),不能保存,请检查").arg(kind.textLength).arg(characters);
    return QString();
}

QString numberRefusal(double value, const ColumnKind &kind, const QString &name)
{
    if (!std::isfinite(value) || (kind.numberLimit > 0 && std::abs(value) >= kind.numberLimit))
        return name + QStringLiteral("的数值超出了可以保存的范围,请检查");
    return QString();
}

QString lineCaption(const QString &field)
{
    for (const StoredField &f : kLineCaptions)
        if (field == QLatin1String(f.field))
            return fieldName(f.caption, field);
    return fieldName("", field);
}

QString lineCellRefusal(const QString &field, const QVariant &value, const ColumnKinds &kinds)
{
    if (!value.isValid() || value.isNull())
        return QString();
    QString key = QStringLiteral("t_protasklist.") + field.toLower();
    for (const StoredField &f : kLineNames)
        if (field == QLatin1String(f.field))
            key = QString::fromLatin1(f.table) + QLatin1Char('.') + QString::fromLatin1(f.column);
    const auto kind = kinds.constFind(key);
    if (kind == kinds.cend())
        return QString();
    const QString name = lineCaption(field);
    if (kind->date) {
        if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
            return QString();
        const QString text = ValueToTrimmedText(value);
        return text.isEmpty() || QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid()
            ? QString()
            : name + QStringLiteral("不是有效的日期(yyyy-mm-dd),请检查");
    }
    if (kind->textLength >= 0)
        return textRefusal(value.toString(), *kind, name);
    if (kind->numberLimit > 0) {
        if (value.typeId() == QMetaType::QString && ValueToTrimmedText(value).isEmpty())
            return QString();
        bool ok = false;
        const double n = value.toDouble(&ok);
        return ok ? numberRefusal(n, *kind, name) : name + QStringLiteral("不是有效的数值,请检查");
    }
    return QString();
}

} // namespace

bool CheckProtaskValues(const ProtaskHeader &h, const QList<LineValues> &lines, const QSqlDatabase &db)
{
    const ColumnKinds kinds = readColumnKinds(db);
    const auto kindOf = [&kinds](const StoredField &f) {
        return kinds.value(QString::fromLatin1(f.table) + QLatin1Char('.') + QString::fromLatin1(f.column));
    };
    const QString texts[] = {h.billNo,         h.clientName,     h.productName,    h.unitName,
                             h.batchNo,        h.deptName,       h.managerName,    h.note,
                             h.formDefined[0], h.formDefined[1], h.formDefined[2], h.fromBillNo};
    static_assert(std::size(texts) == std::size(kHeaderTexts));
    QString why;
    for (size_t i = 0; i < std::size(kHeaderTexts) && why.isEmpty(); ++i)
        why = textRefusal(texts[i], kindOf(kHeaderTexts[i]),
                          fieldName(kHeaderTexts[i].caption, QString::fromLatin1(kHeaderTexts[i].field)));
    const double numbers[] = {h.number, h.price, h.amount};
    for (size_t i = 0; i < std::size(kHeaderNumbers) && why.isEmpty(); ++i)
        why = numberRefusal(numbers[i], kindOf(kHeaderNumbers[i]),
                            fieldName(kHeaderNumbers[i].caption, QString::fromLatin1(kHeaderNumbers[i].field)));
    for (int row = 0; row < lines.size() && why.isEmpty(); ++row) {
        // Only lines with a material are stored.
        if (lines.at(row).blank(QStringLiteral("FProductName")))
            continue;
        const QHash<QString, QVariant> &cells = lines.at(row).cells();
        for (auto it = cells.cbegin(); it != cells.cend() && why.isEmpty(); ++it) {
            why = lineCellRefusal(it.key(), it.value(), kinds);
            if (!why.isEmpty())
                why = QStringLiteral("第 %1 行").arg(row + 1) + why;
        }
    }
    if (why.isEmpty())
        return true;
    Prompter::current().warning(why);
    return false;
}

QList<LineCheckColumn> ProtaskLineCheckColumns()
{
    LineCheckColumn material{QStringLiteral("R_FProductName"), QStringLiteral("材料名称")};
    material.required = true;
    LineCheckColumn total{QStringLiteral("R_FNumber"), QStringLiteral("总耗量")};
    total.required = true;
    total.numeric = true;
    return {material, total};
}

namespace {

// The lines' cells by the check columns' grid names.
LineCellReader lineCells(const QList<LineValues> &lines, const QList<LineCheckColumn> &columns)
{
    return [&lines, columns](int row, int column) { return lines.at(row).value(columns.at(column).name.mid(2)); };
}

} // namespace

bool ProtaskBill::CheckLines() const
{
    const bool hasLine = std::any_of(lines.cbegin(), lines.cend(),
                                     [](const LineValues &l) { return !l.blank(QStringLiteral("FProductName")); });
    if (!hasLine) {
        Prompter::current().information(QString::fromUtf8(BillMessage::NoLines));
        return false;
    }
    const QList<LineCheckColumn> columns = ProtaskLineCheckColumns();
    return !CheckLineRows(columns, int(lines.size()), lineCells(lines, columns), 0, -1).failed();
}

bool ProtaskBill::CheckUnits()
{
    const QList<LineCheckColumn> columns = {{QStringLiteral("R_FProductName"), QString()},
                                            {QStringLiteral("R_FUnitName"), QString()}};
    return !CheckLineUnits(int(lines.size()), lineCells(lines, columns), 0, 1, 0).failed();
}

bool ProtaskBill::CheckBeforePost() { return CheckProtaskValues(header, lines, m_db); }

BillRef ProtaskBill::ref() const
{
    BillRef b;
    b.billType = 3049;
    b.billTypeNo = header.billTypeNo;
    b.formTable = QStringLiteral("t_ProTaskForm");
    b.listTable = QStringLiteral("t_ProTaskList");
    b.caption = QStringLiteral("生产任务单");
    b.billId = header.billId;
    b.statusId = statusId;
    b.billNo = header.billNo.trimmed();
    b.initBillNo = header.initBillNo;
    b.billDate = header.billDate;
    return b;
}

int ProtaskBill::SaveHeader(int billId)
{
    ProtaskHeader h = header;
    h.billId = billId;
    return SaveProtaskHeader(h, m_db);
}

bool ProtaskBill::SaveLines(int billId)
{
    SaveLinesContext c;
    c.billType = 3049;
    c.billId = billId;
    c.savedBill = statusId != 1 && billId == header.billId;
    c.lineTable = QStringLiteral("t_ProTaskList");
    c.billCaption = QStringLiteral("生产任务单");
    c.numberPlaces = numberPlaces;
    c.pricePlaces = pricePlaces;
    c.amountPlaces = amountPlaces;
    c.lineFields = [this](int, const LineValues &line, LineCells &cells) {
        ProtaskLineFields(line, numberPlaces, pricePlaces, amountPlaces, cells);
        return true;
    };
    return protask::SaveLines(lines, c, m_db);
}

} // namespace protask
