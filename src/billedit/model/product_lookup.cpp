#include "billedit/model/product_lookup.h"

#include "core/sql_helpers.h"
#include "core/values.h"
#include "platform/db.h"
#include "platform/program_folder.h"

#include <QRegularExpression>
#include <QStringList>

#include <stdexcept>

namespace protask {

namespace {

const QString kProductID = QStringLiteral("FProductID");
const QString kProductNo = QStringLiteral("FProductNo");
const QString kProductName = QStringLiteral("FProductName");
const QString kUnitName = QStringLiteral("FUnitName");
const QString kNumber = QStringLiteral("FNumber");
const QString kPrice = QStringLiteral("FPrice");
const QString kAmount = QStringLiteral("FAmount");
const QString kRate = QStringLiteral("FDiscountRate");
const QString kDiscountPrice = QStringLiteral("FDiscountPrice");
const QString kDiscountAmount = QStringLiteral("FDiscountAmount");
const QString kTaxRate = QStringLiteral("FTaxRate");
const QString kTaxPrice = QStringLiteral("FTaxPrice");
const QString kTotal = QStringLiteral("FTotalAmount");
const QString kTaxAmount = QStringLiteral("FTaxAmount");
const QString kNote = QStringLiteral("FNote");
const QString kKFDate = QStringLiteral("FKFDate");
const QString kKFPeriod = QStringLiteral("FKFPeriod");
const QString kPeriodDate = QStringLiteral("FPeriodDate");
const QString kIsBatchNo = QStringLiteral("FIsBatchNo");
const QString kIsKF = QStringLiteral("FIsKF");

struct PriceKindEntry {
    int billType;
    PriceKind kind;
};

// Bills that bring a price along with a looked-up product; every other type brings none.
const PriceKindEntry kPriceKinds[] = {
    {3001, PriceKind::Purchase},                          // purchase order
    {3002, PriceKind::Purchase},                          // purchase in
    {3015, PriceKind::Purchase},                          // purchase return
    {3019, PriceKind::Purchase},                          // other in/out
    {3021, PriceKind::Purchase},                          // loss and gain
    {3003, PriceKind::Sale},                              // sales order
    {3004, PriceKind::Sale},                              // sales out
    {3006, PriceKind::Sale},     {3016, PriceKind::Sale}, // sales return
    {3020, PriceKind::Sale},     {3022, PriceKind::Sale},
};

// Bills whose lines take no production date from a looked-up product: the sales side takes
// its dates from the batch it draws on.
bool takesNoProductionDate(int billType)
{
    for (int t : {3003, 3004, 3005, 3006, 3043}) {
        if (t == billType)
            return true;
    }
    return false;
}

QVariant emptyText() { return QVariant(QString()); }

// The editor's discount rate; 0 means none is set and gives 100 (no discount).
double formRate(const LineSettings &s) { return s.formDiscountRate != 0 ? s.formDiscountRate : 100; }

void clearCells(LineValues &line, std::initializer_list<QString> fields)
{
    for (const QString &f : fields)
        line.clear(f);
}

// A failure the user is not bothered with goes to the text log with the server's text.
void logFailure(const QString &what, const std::exception &e)
{
    const auto *dbError = dynamic_cast<const DbError *>(&e);
    LogFailure(what + (dbError ? dbError->message() : QString::fromUtf8(e.what())));
}

// The amounts of a freshly priced line; a line without a quantity keeps them blank.
void priceAmounts(LineValues &line, double price, double discountPrice, const LineSettings &s, bool round)
{
    if (line.blank(kNumber)) {
        clearCells(line, {kAmount, kDiscountAmount});
        ApplyTaxStep(line, s);
        if (s.taxOn)
            clearCells(line, {kTotal, kTaxAmount});
        return;
    }
    const double q = line.number(kNumber);
    const auto amount = [&](double v) { return round ? RoundValue(s.amountPlaces, v) : v; };
    line.set(kAmount, amount(q * price));
    line.set(kDiscountAmount, amount(q * discountPrice));
    ApplyTaxStep(line, s);
}

} // namespace

ProductRow::ProductRow(std::initializer_list<std::pair<QString, QVariant>> fields)
{
    for (const auto &[field, value] : fields)
        set(field, value);
}

ProductRow ProductRow::fromDataSet(const TDataSet &dataset, int row)
{
    ProductRow r;
    const QStringList fields = dataset.fieldNames();
    for (int c = 0; c < fields.size(); ++c)
        r.set(fields.at(c), dataset.value(row, c));
    return r;
}

QString ProductListSql()
{
    return QStringLiteral(
        "select FID,FNo,FName,FCode,FCurStock, FStdUnitID,FUnitID,case when IfNull(FNo,'') = '' then '' else concat('[',FNo,']',FName) end  as FCNo from t_comProducts where  IfNull(FIsActive,1) = 1 order by FNo");
}

QString ProductStatementSql(int clientId, const QString &condition)
{
    return QStringLiteral(
               "SELECT  T1.FID,T1.FNo,T1.FName,T3.FUnitID,T2.FName as FUnitName, IfNull(T1.FIsBatchNo,0) as FIsBatchNo, IfNull(T1.FEffectiveDate,0) as FFKPeroid, case when IfNull(T1.FEffectiveDate,0) = 0 then 0 else 1 end as FIsKF, case when IfNull(FEffectiveDate,0) = 0 then null else concat('保质期[',cast(FEffectiveDate as char),']天') end as FEffectiveDate, T1.FRatio,T1.FCode,T1.FProductDefined1,T1.FProductDefined2,T1.FProductDefined3,  T3.FBarCode,T3.FPosPrice,T3.FPrePrice1,T3.FPrePrice2,T3.FPrePrice3,T3.FlastInPrice,T3.FlastOutPrice,T3.FAtaSalePosPrice,T4.FPrice AS FSalePrice FROM t_comproducts T1  LEFT JOIN t_comProductUnit T3 ON T1.FID = T3.FProductID AND T3.FSID = 1 LEFT JOIN t_comUnit T2 ON T3.FUnitID = T2.FID  LEFT JOIN t_comProductsPrice T4 ON T1.FID = T4.FProductID           AND T3.FUnitId = T4.FUnitID AND T4.FClientID = ")
        + sqlNumber(clientId) + condition;
}

ClientContext FindClientContext(const QString &clientName, const QSqlDatabase &db)
{
    const QString name = clientName.trimmed();
    if (name.isEmpty())
        return {};
    TDataSet q(db);
    OpenQuery(q,
              QStringLiteral("select FID,IfNull(FPrePriceID,0) as FPrePriceID  from t_comClient where FName = ")
                  + QuotedStr(name, db));
    if (q.isEmpty())
        return {};
    return {ValueToInt(q.fieldByName(QStringLiteral("FID"))), ValueToInt(q.fieldByName(QStringLiteral("FPrePriceID")))};
}

PriceKind PriceKindOf(int billType)
{
    for (const PriceKindEntry &e : kPriceKinds) {
        if (e.billType == billType)
            return e.kind;
    }
    return PriceKind::None;
}

double SalePrice(const ProductRow &row, int clientId, int priceLevel)
{
    const auto price = [&row](const char *field) { return ValueToFloat(row.value(QString::fromLatin1(field))); };
    double p = price("FAtaSalePosPrice");
    if (p != 0)
        return p;
    if (clientId == 0) {
        p = price("FPosPrice");
        return p != 0 ? p : price("FlastOutPrice");
    }
    p = price("FSalePrice");
    if (p == 0) {
        switch (priceLevel) {
        case 0: p = price("FPosPrice"); break;
        case 1: p = price("FPrePrice1"); break;
        case 2: p = price("FPrePrice2"); break;
        case 3: p = price("FPrePrice3"); break;
        default: break;
        }
    }
    if (p == 0)
        p = price("FlastOutPrice");
    if (p == 0)
        p = price("FPosPrice");
    return p;
}

void FillProductLine(LineValues &line, const ProductRow &row, const FillContext &context)
{
    line.set(kProductID, row.value(QStringLiteral("FID")));
    line.set(kProductNo, row.value(QStringLiteral("FNo")));
    line.set(kProductName, row.value(QStringLiteral("FName")));
    line.set(kUnitName, row.value(QStringLiteral("FUnitName")));
    for (const QString &f :
         {QStringLiteral("FProductDefined1"), QStringLiteral("FProductDefined2"), QStringLiteral("FProductDefined3")})
        line.set(f, row.value(f));
    line.set(kNote, row.value(QStringLiteral("FEffectiveDate"))); // the shelf-life note

    if (!takesNoProductionDate(context.billType) && ValueToInt(row.value(kIsBatchNo)) == 1) {
        const int shelfLife = ValueToInt(row.value(QStringLiteral("FFKPeroid")));
        line.set(kKFDate, context.today);
        line.set(kKFPeriod, shelfLife);
        line.set(kPeriodDate, context.today.addDays(shelfLife));
        line.set(kIsBatchNo, true);
        line.set(kIsKF, ValueIsTrue(row.value(kIsKF)));
    }

    const LineSettings &s = context.settings;
    const double rate = formRate(s);
    line.set(kRate, rate);
    line.set(kTaxRate, s.defaultTaxRate);

    switch (PriceKindOf(context.billType)) {
    case PriceKind::Purchase: {
        const double price = ValueToFloat(row.value(QStringLiteral("FlastInPrice")));
        const double discountPrice = rate * price / 100;
        line.set(kPrice, price);
        line.set(kDiscountPrice, discountPrice);
        priceAmounts(line, price, discountPrice, s, false);
        break;
    }
    case PriceKind::Sale: {
        const double price = SalePrice(row, context.client.clientId, context.client.priceLevel);
        const double discountPrice = rate * price / 100;
        line.set(QStringLiteral("FPriceIsChange"), 0);
        line.set(kPrice, price);
        line.set(kDiscountPrice, discountPrice);
        priceAmounts(line, price, discountPrice, s, true);
        break;
    }
    case PriceKind::None: break;
    }
}

LookupOutcome LookupProduct(ProductLookupMode mode, const QString &text, LineValues &line, const FillContext &context,
                            const QSqlDatabase &db)
{
    if (text.trimmed().isEmpty()) {
        line.clear(kProductID);
        line.clear(kProductNo);
        line.set(kProductName, emptyText());
        line.set(kUnitName, emptyText());
        clearCells(line,
                   {kNumber, kPrice, kAmount, kRate, kDiscountPrice, kDiscountAmount, kTaxPrice, kTotal, kTaxAmount,
                    kTaxRate});
        line.set(kNote, emptyText());
        clearCells(line, {kKFDate, kKFPeriod, kPeriodDate});
        line.set(kIsBatchNo, false);
        line.set(kIsKF, false);
        return LookupOutcome::Cleared;
    }

    // The typed text is matched exactly: quoted, so that ' \ % _ stand for themselves.
    const QString typed = QuotedStr(text, db);
    const QString condition = mode == ProductLookupMode::ByNumber
        ? QString(QStringLiteral(" where concat('[',T1.FNo,']',T1.FName)   = ") + typed
                  + QStringLiteral(" or T1.FNo = ") + typed)
        : QString(QStringLiteral(" where T1.FName = ") + typed);
    TDataSet q(db);
    try {
        OpenQuery(q, ProductStatementSql(context.client.clientId, condition));
    } catch (const DbError &e) {
        logFailure(QStringLiteral("查找商品失败："), e);
        return LookupOutcome::NotFound;
    }

    if (!q.isEmpty()) {
        FillProductLine(line, ProductRow::fromDataSet(q, 0), context);
        line.set(kRate, formRate(context.settings));
        return LookupOutcome::Filled;
    }

    line.clear(kProductID);
    if (mode == ProductLookupMode::ByNumber) {
        line.set(kProductNo, emptyText());
        line.clear(kUnitName);
        line.clear(kPrice);
        return LookupOutcome::NotFound;
    }
    line.set(kProductName, text);
    line.set(kUnitName, emptyText());
    clearCells(line,
               {kNumber, kPrice, kAmount, kDiscountPrice, kDiscountAmount, kTaxPrice, kTotal, kTaxAmount, kTaxRate});
    line.set(kRate, formRate(context.settings));
    line.set(kNote, emptyText());
    clearCells(line, {kKFDate, kKFPeriod, kPeriodDate});
    line.set(kIsBatchNo, false);
    line.set(kIsKF, false);
    return LookupOutcome::NotFound;
}

void RepriceForUnit(LineValues &line, int productId, const QString &unitName, const FillContext &context,
                    const QSqlDatabase &db)
{
    if (productId == 0)
        return;
    TDataSet q(db);
    try {
        OpenQuery(q, QStringLiteral("select FID from t_comUnit where FName =") + QuotedStr(unitName.trimmed(), db));
        const int unitId = q.isEmpty() ? 0 : ValueToInt(q.fieldByName(QStringLiteral("FID")));
        OpenQuery(
            q,
            QStringLiteral(
                "SELECT  T1.FBarCode,T1.FPosPrice,T1.FPrePrice1,T1.FPrePrice2,T1.FPrePrice3,T1.FlastInPrice,T1.FlastOutPrice,T1.FAtaSalePosPrice,T2.FPrice AS FSalePrice FROM t_comProductUnit T1 LEFT JOIN t_comProductsPrice T2 ON T1.FProductID = T2.FProductID  AND T2.FClientID = ")
                + sqlNumber(context.client.clientId)
                + QStringLiteral(" AND T1.FUnitId = T2.FUnitID WHERE T1.FProductID = ") + sqlNumber(productId)
                + QStringLiteral(" AND T1.FUnitID = ") + sqlNumber(unitId));
    } catch (const DbError &e) {
        logFailure(QStringLiteral("读取单位价格失败："), e);
        return;
    }
    if (q.isEmpty()) {
        clearCells(line, {kPrice, kAmount, kDiscountPrice, kDiscountAmount, kTotal, kTaxAmount, kTaxPrice});
        return;
    }

    const LineSettings &s = context.settings;
    if (line.blank(kRate))
        line.set(kRate, formRate(s));
    const double rate = line.number(kRate);
    const ProductRow row = ProductRow::fromDataSet(q, 0);
    const PriceKind kind = PriceKindOf(context.billType);
    if (kind != PriceKind::None) {
        const double price = kind == PriceKind::Purchase
            ? ValueToFloat(row.value(QStringLiteral("FlastInPrice")))
            : SalePrice(row, context.client.clientId, context.client.priceLevel);
        line.set(kPrice, price);
        line.set(kDiscountPrice, price * rate / 100);
        ApplyTaxStep(line, s); // the tax price; the total follows below
    }

    const double n = line.number(kNumber);
    if (n == 0) {
        clearCells(line, {kAmount, kDiscountAmount, kTotal, kTaxAmount});
        return;
    }
    const double price = line.number(kPrice);
    line.set(kAmount, n * price);
    line.set(kDiscountAmount, n * price * rate / 100);
    ApplyTaxStep(line, s);
}

UnitListStatement UnitListSql(int productId)
{
    if (productId == 0)
        return {QStringLiteral("select FNo,FName,FCode from t_comUnit where 1=1"), false};
    return {
        QStringLiteral(
            "select T2.FID,T2.FNo,T2.FName,T2.FCode from t_comProductUnit T1 left join t_comUnit T2  on T1.FUnitID = T2.FID where T1.FProductId = ")
            + sqlNumber(productId),
        true};
}

QList<ProductRow> ProductsByIds(const QString &idList, int clientId, const QSqlDatabase &db)
{
    // Only numbers reach the statement: the list is read into integers and written out again.
    static const QRegularExpression kInteger(QStringLiteral("^\\s*-?[0-9]{1,18}\\s*$"));
    QStringList ids;
    for (const QString &key : idList.split(u',')) {
        if (!kInteger.match(key).hasMatch())
            return {};
        ids << sqlNumber(key.trimmed().toLongLong());
    }
    QList<ProductRow> rows;
    TDataSet q(db);
    try {
        OpenQuery(q,
                  ProductStatementSql(clientId,
                                      QStringLiteral(" where T1.FID in(") + ids.join(u',')
                                          + QStringLiteral(" ) Order by T1.FNo,T1.FName ")));
    } catch (const DbError &e) {
        logFailure(QStringLiteral("读取选中的商品失败："), e);
        return {};
    }
    for (int r = 0; r < q.recordCount(); ++r)
        rows.append(ProductRow::fromDataSet(q, r));
    return rows;
}

int FillLinesFromProducts(QList<LineValues> &lines, int startLine, const QList<ProductRow> &rows,
                          const FillContext &context)
{
    int line = startLine < 0 ? 0 : startLine;
    int appended = 0;
    for (const ProductRow &row : rows) {
        while (line >= lines.size()) {
            lines.append(LineValues());
            ++appended;
        }
        FillProductLine(lines[line], row, context);
        ++line;
    }
    return appended;
}

} // namespace protask
