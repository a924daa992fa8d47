#include "billedit/model/history_price.h"

#include "core/values.h"
#include "platform/db.h"

#include <QtMath>

#include <initializer_list>

namespace protask {

namespace {

struct HistoryTableRow {
    std::initializer_list<int> types;
    const char *form;
    const char *list;
    const char *clientField;
};

const HistoryTableRow kHistoryTables[] = {
    {{3001}, "t_PurOrderForm", "t_PurOrderList", "FClientID"},
    {{3002, 3015}, "t_PurForm", "t_PurList", "FClientID"},
    {{3003}, "t_SaleOrderForm", "t_SaleOrderList", "FClientID"},
    {{3004, 3016}, "t_SaleOutForm", "t_SaleOutList", "FClientID"},
    {{3006}, "t_SaleForForm", "t_SaleForList", "FCustomerID"},
};

struct PriceLevelRow {
    int level;
    const char *name;
    PriceListBox box;
};

const PriceLevelRow kPriceLevels[] = {
    {0, "零售价", PriceListBox::Retail},
    {1, "售价一", PriceListBox::PrePrice1},
    {2, "售价二", PriceListBox::PrePrice2},
    {3, "售价三", PriceListBox::PrePrice3},
};

QString dateText(const QDate &date, const QSqlDatabase &db)
{
    return QuotedStr(date.toString(QStringLiteral("yyyy-MM-dd")), db);
}

} // namespace

HistoryTables HistoryTablesOf(int billType)
{
    for (const HistoryTableRow &row : kHistoryTables) {
        for (int t : row.types) {
            if (t == billType)
                return {QString::fromLatin1(row.form), QString::fromLatin1(row.list),
                        QString::fromLatin1(row.clientField)};
        }
    }
    return {};
}

QString HistoryPriceSql(int billType, int clientId, int productId, const QDate &begin, const QDate &end,
                        const QSqlDatabase &db)
{
    const HistoryTables t = HistoryTablesOf(billType);
    if (t.isEmpty())
        return {};
    return QStringLiteral("select  distinct T1.FID,T1.FBillDate,T1.FBillNo,T4.FNo as FProductNo, T4.FName as "
                          "FProductName, T3.FNumber,T3.FDiscountPrice,T3.FDiscountAmount,T6.FName as FStdUnitName, "
                          "T5.FName as FUnitName from ")
        + t.formTable + QStringLiteral(" T1 left join t_comClient T2 on t1.") + t.clientField
        + QStringLiteral(" = T2.FID left join ") + t.listTable
        + QStringLiteral("  T3 on T1.FID = T3.FFormID left join t_comProducts T4 on T3.FProductID = T4.FID  left join "
                         "t_comUnit T5 on T3.FUnitID = T5.FID left join t_comUnit T6 on T4.FStdUnitID = T6.FID  where "
                         "1=1 and T1.FBillDate >= ")
        + dateText(begin, db) + QStringLiteral(" and T1.FBillDate < ") + dateText(end.addDays(1), db)
        + QStringLiteral(" and T1.") + t.clientField + QStringLiteral(" = ") + sqlNumber(clientId)
        + QStringLiteral(" and T3.FProductID = ") + sqlNumber(productId)
        + QStringLiteral(" and IfNull(T3.FDiscountPrice,0) <> 0  order by T1.FBillDate,T1.FBillNo");
}

UnitPriceList ReadUnitPriceList(int productId, int unitId, const QSqlDatabase &db)
{
    const QString columns = QStringLiteral(
        "SELECT T3.FPosPrice,T3.FPrePrice1,T3.FPrePrice2,T3.FPrePrice3,T3.FlastInPrice,T3.FlastOutPrice,"
        "T3.FAtaSalePosPrice  FROM t_comproducts T1  LEFT JOIN t_comProductUnit T3 ON T1.FID = T3.FProductID ");
    // The base unit is the product's first unit row; another unit is looked up by its key.
    const QString sql = unitId == 0
        ? QString(columns + QStringLiteral("and T3.FSID = 1  where T1.FID = ") + sqlNumber(productId))
        : QString(columns + QStringLiteral("  where T1.FID = ") + sqlNumber(productId)
                  + QStringLiteral(" and T3.FUnitID = ") + sqlNumber(unitId));
    TDataSet q(db);
    OpenQuery(q, sql);
    if (q.isEmpty())
        return {};
    return {q.fieldByName(QStringLiteral("FPrePrice1")), q.fieldByName(QStringLiteral("FPrePrice2")),
            q.fieldByName(QStringLiteral("FPrePrice3")), q.fieldByName(QStringLiteral("FPosPrice"))};
}

QVariant PriceOf(const UnitPriceList &prices, PriceListBox box)
{
    switch (box) {
    case PriceListBox::PrePrice1: return prices.prePrice1;
    case PriceListBox::PrePrice2: return prices.prePrice2;
    case PriceListBox::PrePrice3: return prices.prePrice3;
    case PriceListBox::Retail: return prices.posPrice;
    }
    return {};
}

ClientPriceLevel PriceLevelOf(int level)
{
    for (const PriceLevelRow &row : kPriceLevels) {
        if (row.level == level)
            return {QString::fromUtf8(row.name), true, row.box};
    }
    return {};
}

int ReadClientPriceLevel(int clientId, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select IfNull(FPrePriceID,0) as FPrePriceID from t_comClient where FID =")
                  + sqlNumber(clientId) + QStringLiteral(" and FType = 1"));
    return q.isEmpty() ? -1 : ValueToInt(q.fieldByName(QStringLiteral("FPrePriceID")));
}

HistoryClient FindHistoryClient(const QString &name, const QSqlDatabase &db)
{
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select FID,FName,FType from t_comClient where FName = ") + QuotedStr(name.trimmed(), db));
    if (q.isEmpty())
        return {};
    return {ValueToInt(q.fieldByName(QStringLiteral("FID"))), q.fieldByName(QStringLiteral("FName")).toString(),
            ValueToInt(q.fieldByName(QStringLiteral("FType")))};
}

int FindUnitIdByName(const QString &name, const QSqlDatabase &db)
{
    const QString unit = name.trimmed();
    if (unit.isEmpty())
        return 0;
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select FID,FName from t_comUnit where FName = ") + QuotedStr(unit, db));
    return q.isEmpty() ? 0 : ValueToInt(q.fieldByName(QStringLiteral("FID")));
}

bool TakesHistoryPrice(int billType)
{
    return billType == 3003 || billType == 3004 || billType == 3006 || billType == 3016;
}

void ApplyChosenPrice(LineValues &line, const QVariant &price, const LineSettings &settings)
{
    // The price rule itself, with no editor rate to fall back on: a blank rate reads as 100.
    LineSettings noDefaultRate = settings;
    noDefaultRate.formDiscountRate = 0;
    const QVariant typed = IsBlankValue(price) ? QVariant(QString()) : price;
    line.set(QStringLiteral("FPrice"), ApplyLineRule(QStringLiteral("FPrice"), typed, line, noDefaultRate));
}

bool ChosenPriceDiffers(const QVariant &price, const QVariant &clientPrice)
{
    if (IsBlankValue(price) || IsBlankValue(clientPrice))
        return true;
    return qAbs(ValueToFloat(price) - ValueToFloat(clientPrice)) > 1e-9;
}

} // namespace protask
