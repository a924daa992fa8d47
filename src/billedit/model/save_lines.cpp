#include "billedit/model/save_lines.h"

#include "core/sql_helpers.h"
#include "core/values.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <initializer_list>
#include <stdexcept>

namespace protask {

namespace {

// Rows per multi-row statement (and names per product lookup).
constexpr int kRowsPerStatement = 500;

bool among(int billType, std::initializer_list<int> types)
{
    for (int t : types) {
        if (t == billType)
            return true;
    }
    return false;
}

bool between(int billType, int first, int last) { return billType >= first && billType <= last; }

QString sqlValue(const QVariant &v, const QSqlDatabase &db)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("null");
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: return sqlNumber(v.toDouble());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool: return sqlNumber(v.toLongLong());
    case QMetaType::QDate:
    case QMetaType::QDateTime: return QuotedStr(v.toDate().toString(QStringLiteral("yyyy-MM-dd")), db);
    default: return QuotedStr(v.toString(), db);
    }
}

// A date cell as a date, or null (blank or unreadable).
QVariant dateCell(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
        return v.toDate();
    const QDate d = QDate::fromString(ValueToTrimmedText(v), QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? QVariant(d) : QVariant();
}

// The columns of one line, by the bill type's rules.
LineCells commonCells(const LineValues &line, const SaveLinesContext &c, int productId, int unitId)
{
    const int t = c.billType;
    const double s = c.sign;
    LineCells cells;
    if (!among(t, {3010, 3041, 3042, 3047})) {
        cells.append({QStringLiteral("FProductID"), productId});
        cells.append({QStringLiteral("FUnitID"), unitId});
    }
    if (between(t, 3001, 3005) || between(t, 3018, 3022)
        || among(t, {3011, 3015, 3016, 3025, 3026, 3043, 3049, 3089, 3090})) {
        cells.append({QStringLiteral("FKFDate"), dateCell(line.value(QStringLiteral("FKFDate")))});
        cells.append({QStringLiteral("FKFPeriod"), ValueToInt(line.value(QStringLiteral("FKFPeriod")))});
        cells.append({QStringLiteral("FPeriodDate"), dateCell(line.value(QStringLiteral("FPeriodDate")))});
    }
    if (!among(t, {3010, 3017, 3041, 3042, 3047})) {
        cells.append({QStringLiteral("FBatchNo1"), line.value(QStringLiteral("FBatchNo1"))});
        if (t != 3049) {
            cells.append({QStringLiteral("FBatchNo2"), line.value(QStringLiteral("FBatchNo2"))});
            cells.append({QStringLiteral("FBatchNo3"), line.value(QStringLiteral("FBatchNo3"))});
        }
    }
    if (!among(t, {3010, 3047})) {
        for (const char *f : {"FListDefined1", "FListDefined2", "FListDefined3"})
            cells.append({QString::fromLatin1(f), line.value(QString::fromLatin1(f))});
    }
    if (!among(t, {3010, 3011, 3017, 3041, 3042, 3043, 3047, 3049, 3089, 3090})) {
        const auto price = [&](const char *f) {
            return RoundValue(c.pricePlaces, line.number(QString::fromLatin1(f)));
        };
        const auto amount = [&](const char *f) {
            return RoundValue(c.amountPlaces, line.number(QString::fromLatin1(f)) * s);
        };
        cells.append(
            {QStringLiteral("FNumber"), RoundValue(c.numberPlaces, line.number(QStringLiteral("FNumber")) * s)});
        cells.append({QStringLiteral("FPrice"), price("FPrice")});
        cells.append({QStringLiteral("FAmount"), amount("FAmount")});
        cells.append({QStringLiteral("FIsPresent"), ValueIsTrue(line.value(QStringLiteral("FIsPresent"))) ? 1 : 0});
        cells.append({QStringLiteral("FDiscountRate"), line.number(QStringLiteral("FDiscountRate"))});
        cells.append({QStringLiteral("FDiscountPrice"), price("FDiscountPrice")});
        cells.append({QStringLiteral("FDiscountAmount"), amount("FDiscountAmount")});
        cells.append({QStringLiteral("FTobeDiscountPrice"), price("FTobeDiscountPrice")});
        cells.append({QStringLiteral("FTobeDiscountAmount"), amount("FTobeDiscountAmount")});
        if (c.taxOn && among(t, {3001, 3002, 3003, 3004, 3015, 3016})) {
            cells.append({QStringLiteral("FTaxRate"), line.number(QStringLiteral("FTaxRate"))});
            cells.append({QStringLiteral("FTaxPrice"), price("FTaxPrice")});
            cells.append({QStringLiteral("FTaxAmount"), amount("FTaxAmount")});
            cells.append({QStringLiteral("FTotalAmount"), amount("FTotalAmount")});
        }
    }
    if (between(t, 3001, 3005) || among(t, {3015, 3016})) {
        for (const char *f : {"FWidth", "FHeight", "FLength", "FSquare"})
            cells.append({QString::fromLatin1(f), line.number(QString::fromLatin1(f))});
    }
    cells.append({QStringLiteral("FNote"), line.value(QStringLiteral("FNote"))});
    return cells;
}

// Rows that share their column list go out together, a few hundred to a statement; a number
// the bill already has updates its row in place.
void writeRows(const QStringList &columns, const QList<QStringList> &rows, const QString &table, const QSqlDatabase &db)
{
    QStringList updates;
    for (const QString &c : columns) {
        if (c != QLatin1String("FID"))
            updates << c + QStringLiteral(" = values(") + c + QStringLiteral(")");
    }
    TDataSet q(db);
    for (int from = 0; from < rows.size(); from += kRowsPerStatement) {
        QStringList values;
        for (int i = from; i < qMin(rows.size(), from + kRowsPerStatement); ++i)
            values << QStringLiteral("(") + rows.at(i).join(QLatin1Char(',')) + QStringLiteral(")");
        ExecQuery(q,
                  QStringLiteral("insert into ") + table + QStringLiteral("(") + columns.join(QLatin1Char(','))
                      + QStringLiteral(") values ") + values.join(QLatin1Char(','))
                      + QStringLiteral(" on duplicate key update ") + updates.join(QLatin1Char(',')));
    }
}

// The products the lines name that are on file once, with their base unit, read in one
// statement per few hundred names: name -> (product, base unit, base unit name). A name on file
// twice is left out, so that the line falls back to the single lookup and its choice of row.
struct KnownProduct {
    int id = 0;
    int unitId = 0;
    QString unitName;
};
QHash<QString, KnownProduct> knownProducts(const QList<LineValues> &lines, const QSqlDatabase &db)
{
    QStringList names;
    for (const LineValues &line : lines) {
        const QString name = ValueToTrimmedText(line.value(QStringLiteral("FProductName")));
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    QHash<QString, KnownProduct> known;
    QSet<QString> twice;
    TDataSet q(db);
    for (qsizetype from = 0; from < names.size(); from += kRowsPerStatement) {
        QStringList quoted;
        for (qsizetype i = from; i < qMin(names.size(), from + kRowsPerStatement); ++i)
            quoted << QuotedStr(names.at(i), db);
        OpenQuery(q,
                  QStringLiteral("select T1.FID, T1.FName, IfNull(T2.FUnitID,0) as FUnitID, IfNull(T3.FName,'') as "
                                 "FUnitName from t_comProducts T1 left join t_comProductUnit T2 on T1.FID = "
                                 "T2.FProductId and T2.FSID = 1 left join t_comUnit T3 on T2.FUnitID = T3.FID where "
                                 "T1.FName in (")
                      + quoted.join(QLatin1Char(',')) + QStringLiteral(")"));
        for (q.first(); !q.eof(); q.next()) {
            const QString name = q.fieldByName(QStringLiteral("FName")).toString();
            if (known.contains(name))
                twice.insert(name);
            known.insert(name,
                         {ValueToInt(q.fieldByName(QStringLiteral("FID"))),
                          ValueToInt(q.fieldByName(QStringLiteral("FUnitID"))),
                          q.fieldByName(QStringLiteral("FUnitName")).toString()});
        }
    }
    for (const QString &name : twice)
        known.remove(name);
    return known;
}

bool saveLines(const QList<LineValues> &lines, const SaveLinesContext &c, const QSqlDatabase &db)
{
    const QString bill = QString::number(c.billId);
    TDataSet q(db);
    OpenQuery(q, QStringLiteral("select FSID, FID from ") + c.lineTable + QStringLiteral(" where FFormID = ") + bill);
    QHash<int, int> rowOfNumber;
    for (q.first(); !q.eof(); q.next())
        rowOfNumber.insert(ValueToInt(q.fieldByName(QStringLiteral("FSID"))),
                           ValueToInt(q.fieldByName(QStringLiteral("FID"))));

    int nextId = 0;
    const QHash<QString, KnownProduct> known =
        among(c.billType, {3010, 3041, 3042, 3047}) ? QHash<QString, KnownProduct>() : knownProducts(lines, db);
    QHash<QString, std::pair<int, int>> products; // number|name|unit -> (product, unit)
    QList<QStringList> columnSets;
    QList<QList<QStringList>> rowsOf;
    QStringList numbers;
    for (int row = 0; row < lines.size(); ++row) {
        const LineValues &line = lines.at(row);
        if (line.blank(QStringLiteral("FProductName")))
            continue;
        const int number = static_cast<int>(numbers.size()) + 1;
        numbers << QString::number(number);
        int id = rowOfNumber.value(number);
        if (id == 0) {
            nextId = nextId == 0 ? GetNextID(c.lineTable, QStringLiteral("FID"), db) : nextId + 1;
            id = nextId;
        }
        std::pair<int, int> product{0, 0};
        if (!among(c.billType, {3010, 3041, 3042, 3047})) {
            const QString key = ValueToTrimmedText(line.value(QStringLiteral("FProductNo"))) + QLatin1Char('\n')
                + ValueToTrimmedText(line.value(QStringLiteral("FProductName"))) + QLatin1Char('\n')
                + ValueToTrimmedText(line.value(QStringLiteral("FUnitName")));
            if (!products.contains(key)) {
                const QString name = ValueToTrimmedText(line.value(QStringLiteral("FProductName")));
                const QString unit = ValueToTrimmedText(line.value(QStringLiteral("FUnitName")));
                const auto k = known.constFind(name);
                if (k != known.cend() && (unit.isEmpty() || unit == k->unitName))
                    products.insert(key, {k->id, k->unitId});
            }
            if (!products.contains(key)) {
                int unitId = 0;
                const int productId = GetOrAddProduct(line.value(QStringLiteral("FProductNo")),
                                                      line.value(QStringLiteral("FProductName")),
                                                      line.value(QStringLiteral("FUnitName")), unitId, db);
                products.insert(key, {productId, unitId});
            }
            product = products.value(key);
        }
        LineCells cells = {
            {QStringLiteral("FID"), id}, {QStringLiteral("FSID"), number}, {QStringLiteral("FFormID"), c.billId}};
        cells += commonCells(line, c, product.first, product.second);
        if (c.lineFields && !c.lineFields(row, line, cells))
            return false;
        QStringList columns;
        QStringList values;
        for (const auto &[column, value] : cells) {
            columns << column;
            values << sqlValue(value, db);
        }
        int set = static_cast<int>(columnSets.indexOf(columns));
        if (set < 0) {
            columnSets << columns;
            rowsOf << QList<QStringList>();
            set = static_cast<int>(columnSets.size()) - 1;
        }
        rowsOf[set] << values;
    }
    for (int i = 0; i < columnSets.size(); ++i)
        writeRows(columnSets.at(i), rowsOf.at(i), c.lineTable, db);
    if (c.savedBill) {
        // A bill without lines keeps none.
        ExecQuery(q,
                  QStringLiteral("delete from ") + c.lineTable + QStringLiteral(" where FFormID = ") + bill
                      + (numbers.isEmpty() ? QString()
                                           : QStringLiteral(" and FSID NOT IN(") + numbers.join(QLatin1Char(','))
                                 + QStringLiteral(")")));
    }
    return true;
}

} // namespace

bool SaveLines(const QList<LineValues> &lines, const SaveLinesContext &context, const QSqlDatabase &db)
{
    const auto logFailure = [&context](const QString &message) {
        try {
            WriteTextLog(QStringLiteral("[") + context.billCaption + QStringLiteral("] 保存明细失败：") + message);
        } catch (...) {
        }
    };
    try {
        return saveLines(lines, context, db);
    } catch (const DbError &e) {
        logFailure(e.message());
        throw;
    } catch (const std::exception &e) {
        logFailure(QString::fromUtf8(e.what()));
        return false;
    }
}

} // namespace protask
