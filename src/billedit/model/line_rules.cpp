#include "billedit/model/line_rules.h"

#include "core/values.h"

#include <QDate>

namespace protask {

double LineValues::number(const QString &field) const { return ValueToFloat(value(field)); }

bool LineValues::blank(const QString &field) const
{
    const QVariant v = value(field);
    return IsBlankValue(v) || ValueToTrimmedText(v).isEmpty();
}

bool LineValues::given(const QString &field) const { return !blank(field) && number(field) != 0; }

namespace {

const QString kNumber = QStringLiteral("FNumber");
const QString kPrice = QStringLiteral("FPrice");
const QString kRate = QStringLiteral("FDiscountRate");
const QString kAmount = QStringLiteral("FAmount");
const QString kDiscountPrice = QStringLiteral("FDiscountPrice");
const QString kDiscountAmount = QStringLiteral("FDiscountAmount");
const QString kTaxRate = QStringLiteral("FTaxRate");
const QString kTaxPrice = QStringLiteral("FTaxPrice");
const QString kTaxAmount = QStringLiteral("FTaxAmount");
const QString kTotal = QStringLiteral("FTotalAmount");
const QString kSquare = QStringLiteral("FSquare");
const QString kProductName = QStringLiteral("FProductName");

bool isBlank(const QVariant &v) { return IsBlankValue(v) || ValueToTrimmedText(v).isEmpty(); }

// One rule's work on one line: the settings, the rounding and the steps several rules share.
class Rule {
public:
    Rule(LineValues &line, const LineSettings &s) : m_line(line), m_s(s) {}

    double price(double v) const { return RoundValue(m_s.pricePlaces, v); }
    double amount(double v) const { return RoundValue(m_s.amountPlaces, v); }
    double n() const { return m_line.number(kNumber); }
    double p() const { return m_line.number(kPrice); }

    double defaultRate() const { return m_s.formDiscountRate != 0 ? m_s.formDiscountRate : 100; }
    // The line's discount rate; a blank one is the editor's default, written into the line.
    double rate()
    {
        if (m_line.blank(kRate))
            m_line.set(kRate, defaultRate());
        return m_line.number(kRate);
    }
    // The rate a list price is derived with: a rate of 0 cannot give one back, so it becomes
    // 100 and the list price equals the discounted price.
    double divisorRate()
    {
        double r = rate();
        if (r == 0) {
            r = 100;
            m_line.set(kRate, r);
        }
        return r;
    }

    // The company's tax factor: 1 on a line without tax, else the company's rate.
    double companyFactor() const { return m_line.number(kTaxRate) == 0 ? 1 : 1 + m_s.defaultTaxRate / 100; }
    // The line's own tax factor.
    double ownFactor() const
    {
        const double t = m_line.number(kTaxRate);
        return t == 0 ? 1 : 1 + t / 100;
    }

    void clear(std::initializer_list<QString> fields)
    {
        for (const QString &f : fields)
            m_line.clear(f);
    }
    // The tax cells are the tax switch's: with it off nothing clears them either.
    void clearTax(std::initializer_list<QString> fields)
    {
        if (m_s.taxOn)
            clear(fields);
    }
    void set(const QString &field, double v) { m_line.set(field, v); }
    double get(const QString &field) const { return m_line.number(field); }

    // Tax price from the discounted price, total from the quantity, tax amount as the rest.
    void taxStep()
    {
        if (!m_s.taxOn)
            return;
        set(kTaxPrice, price(get(kDiscountPrice) * companyFactor()));
        totalAndTax();
    }
    void totalAndTax()
    {
        set(kTotal, amount(n() * get(kTaxPrice)));
        set(kTaxAmount, amount(get(kTotal) - get(kDiscountAmount)));
    }

    LineValues &m_line;
    const LineSettings &m_s;
};

QVariant emptyText() { return QVariant(QString()); }

QVariant quantityRule(const QVariant &typed, Rule &r)
{
    const double x = ValueToFloat(typed);
    if (isBlank(typed) || r.p() == 0) {
        r.clear({kAmount, kDiscountAmount});
        r.clearTax({kTotal, kTaxAmount});
        return typed;
    }
    const double rate = r.rate();
    r.set(kAmount, r.amount(r.p() * x));
    r.set(kDiscountAmount, r.amount(r.p() * x * rate / 100));
    if (r.m_s.taxOn) {
        r.set(kTotal, r.amount(r.get(kTaxPrice) * x));
        r.set(kTaxAmount, r.amount(r.get(kTotal) - r.get(kDiscountAmount)));
    }
    return typed;
}

QVariant priceRule(const QVariant &typed, Rule &r)
{
    if (isBlank(typed)) {
        r.clear({kAmount, kDiscountPrice, kDiscountAmount});
        r.clearTax({kTaxPrice, kTotal, kTaxAmount});
        return typed;
    }
    const double x = ValueToFloat(typed);
    const double rate = r.rate();
    if (r.n() == 0) {
        r.clear({kAmount, kDiscountAmount});
        r.set(kDiscountPrice, r.price(x * rate / 100));
        if (r.m_s.taxOn) {
            r.set(kTaxPrice, r.price(r.get(kDiscountPrice) * r.companyFactor()));
            r.clear({kTotal, kTaxAmount});
        }
        return typed;
    }
    r.set(kAmount, r.amount(r.n() * x));
    r.set(kDiscountPrice, r.price(x * rate / 100));
    r.set(kDiscountAmount, r.amount(r.n() * x * rate / 100));
    r.taxStep();
    return typed;
}

QVariant discountRateRule(const QVariant &typed, Rule &r)
{
    const QVariant stored = isBlank(typed) ? QVariant(0.0) : typed;
    const double x = ValueToFloat(stored);
    if (r.p() == 0) {
        r.clear({kDiscountPrice, kDiscountAmount});
        r.clearTax({kTaxAmount, kTotal});
        return stored;
    }
    r.set(kDiscountPrice, r.price(r.p() * x / 100));
    if (r.m_line.given(kNumber))
        r.set(kDiscountAmount, r.amount(r.p() * x / 100 * r.n()));
    else
        r.clear({kDiscountAmount});
    r.taxStep();
    return stored;
}

QVariant amountRule(const QVariant &typed, Rule &r)
{
    const double x = ValueToFloat(typed);
    if (!isBlank(typed) && r.m_line.given(kNumber)) {
        const double rate = r.rate();
        r.set(kPrice, r.price(x / r.n()));
        r.set(kDiscountAmount, r.amount(x * rate / 100));
        r.set(kDiscountPrice, r.price(x / r.n() * rate / 100));
        r.taxStep();
        return typed;
    }
    if (!isBlank(typed) && r.m_line.given(kPrice)) {
        const double rate = r.rate();
        // The quantity is rounded with the price places.
        r.set(kNumber, r.price(x / r.p()));
        r.set(kDiscountPrice, r.price(r.p() * rate / 100));
        r.set(kDiscountAmount, r.amount(x * rate / 100));
        r.taxStep();
        return typed;
    }
    r.clear({kPrice, kDiscountAmount, kDiscountPrice});
    r.clearTax({kTaxPrice, kTotal, kTaxAmount});
    return emptyText();
}

QVariant discountPriceRule(const QVariant &typed, Rule &r)
{
    if (isBlank(typed)) {
        r.clear({kRate, kDiscountAmount});
        r.clearTax({kTaxAmount, kTotal});
        return emptyText();
    }
    if (r.p() == 0) {
        r.set(kRate, r.defaultRate());
        r.clear({kDiscountAmount});
        r.clearTax({kTaxAmount, kTotal});
        return emptyText();
    }
    const double x = ValueToFloat(typed);
    r.set(kRate, RoundValue(2, x / r.p() * 100));
    if (r.m_line.given(kNumber))
        r.set(kDiscountAmount, r.amount(r.n() * x));
    else
        r.clear({kDiscountAmount});
    if (r.m_s.taxOn) {
        r.set(kTaxPrice, r.price(x * r.companyFactor()));
        r.totalAndTax();
    }
    return typed;
}

QVariant discountAmountRule(const QVariant &typed, Rule &r)
{
    if (isBlank(typed) || !r.m_line.given(kAmount)) {
        r.clear({kRate, kDiscountPrice});
        r.clearTax({kTaxPrice, kTotal, kTaxAmount});
        return emptyText();
    }
    const double x = ValueToFloat(typed);
    r.set(kRate, RoundValue(2, x / r.get(kAmount) * 100));
    if (r.m_line.given(kNumber))
        r.set(kDiscountPrice, r.price(x / r.n()));
    else
        r.clear({kDiscountPrice});
    r.set(kDiscountAmount, x); // the tax amount is the total minus the typed amount
    r.taxStep();
    return typed;
}

QVariant taxRateRule(const QVariant &typed, Rule &r)
{
    const QVariant stored = isBlank(typed) ? QVariant(0.0) : typed;
    if (!r.m_s.taxOn)
        return stored;
    const double x = ValueToFloat(stored);
    r.set(kTaxPrice, r.price(r.get(kDiscountPrice) * (1 + x / 100)));
    if (r.m_line.given(kNumber))
        r.totalAndTax();
    else
        r.clear({kTotal, kTaxAmount});
    return stored;
}

QVariant taxPriceRule(const QVariant &typed, Rule &r)
{
    if (isBlank(typed)) {
        r.clear({kDiscountAmount, kTaxAmount, kTotal});
        return emptyText();
    }
    const double x = ValueToFloat(typed);
    r.set(kDiscountPrice, r.price(x / r.ownFactor()));
    r.set(kPrice, r.price(r.get(kDiscountPrice) / r.divisorRate() * 100));
    if (!r.m_line.given(kNumber)) {
        r.clear({kDiscountAmount, kTaxAmount, kTotal});
        return typed;
    }
    r.set(kDiscountAmount, r.amount(r.n() * r.get(kDiscountPrice)));
    r.set(kAmount, r.amount(r.n() * r.get(kPrice)));
    r.set(kTotal, r.amount(x * r.n()));
    r.set(kTaxAmount, r.amount(r.get(kTotal) - r.get(kDiscountAmount)));
    return typed;
}

QVariant totalRule(const QVariant &typed, Rule &r)
{
    const double x = ValueToFloat(typed);
    if (isBlank(typed) || x == 0 || !r.m_line.given(kNumber)) {
        r.clear({kPrice, kAmount, kRate, kDiscountPrice, kTaxPrice, kTaxAmount});
        return emptyText();
    }
    r.set(kTaxPrice, r.price(x / r.n()));
    r.set(kDiscountPrice, r.price(r.get(kTaxPrice) / r.ownFactor()));
    r.set(kPrice, r.price(r.get(kDiscountPrice) / r.divisorRate() * 100));
    r.set(kDiscountAmount, r.amount(r.n() * r.get(kDiscountPrice)));
    r.set(kAmount, r.amount(r.n() * r.get(kPrice)));
    r.set(kTaxAmount, r.amount(x - r.get(kDiscountAmount)));
    return typed;
}

// The area hands itself on to the quantity (mode 1) or the price (mode 2) through the rule
// bound to that column.
void driveByArea(double area, LineValues &line, const LineSettings &s, const ColumnRule &columnRule)
{
    const QString target = s.dimensionMode == 1 ? kNumber : s.dimensionMode == 2 ? kPrice : QString();
    if (target.isEmpty())
        return;
    line.set(target, area);
    line.set(target, columnRule(target, area, line));
}

QVariant dimensionRule(const QString &field, const QVariant &typed, LineValues &line, const LineSettings &s,
                       const ColumnRule &columnRule)
{
    double area = 1;
    int given = 0;
    for (const QString &d : {QStringLiteral("FWidth"), QStringLiteral("FHeight"), QStringLiteral("FLength")}) {
        const QVariant v = d == field ? typed : line.value(d);
        if (!ValueToTrimmedText(v).isEmpty())
            ++given;
        area *= ValueToRatio(v);
    }
    if (given < 2)
        area = 0;
    line.set(kSquare, area);
    driveByArea(area, line, s, columnRule);
    return typed;
}

// Dates typed or stored on a line are read in the system's short date format.
QDate lineDate(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
        return v.toDate();
    return QDate::fromString(ValueToTrimmedText(v), QStringLiteral("yyyy-MM-dd"));
}

// The expiry date follows the production date and the shelf life.
void setExpiry(LineValues &line, const QVariant &productionDate, int shelfLifeDays)
{
    const QDate made = lineDate(productionDate);
    if (isBlank(productionDate) || !made.isValid())
        line.clear(QStringLiteral("FPeriodDate"));
    else
        line.set(QStringLiteral("FPeriodDate"), made.addDays(shelfLifeDays));
}

} // namespace

QVariant ApplyLineRule(const QString &field, const QVariant &typed, LineValues &line, const LineSettings &settings,
                       const ColumnRule &columnRule)
{
    // Cells without a rule of their own (the gift flag among them) store what is typed.
    static const QStringList kRuled = {kNumber,
                                       kPrice,
                                       kRate,
                                       kAmount,
                                       kDiscountPrice,
                                       kDiscountAmount,
                                       kTaxRate,
                                       kTaxPrice,
                                       kTotal,
                                       QStringLiteral("FWidth"),
                                       QStringLiteral("FHeight"),
                                       QStringLiteral("FLength"),
                                       kSquare,
                                       QStringLiteral("FKFDate"),
                                       QStringLiteral("FKFPeriod")};
    if (!kRuled.contains(field))
        return typed;
    // A line without a product is empty: what is typed there is dropped.
    if (line.blank(kProductName))
        return field == kRate || field == kTaxRate ? QVariant() : emptyText();

    const ColumnRule bound = columnRule ? columnRule : [&settings](const QString &f, const QVariant &v, LineValues &l) {
        return ApplyLineRule(f, v, l, settings);
    };
    Rule r(line, settings);
    if (field == kNumber)
        return quantityRule(typed, r);
    if (field == kPrice)
        return priceRule(typed, r);
    if (field == kRate)
        return discountRateRule(typed, r);
    if (field == kAmount)
        return amountRule(typed, r);
    if (field == kDiscountPrice)
        return discountPriceRule(typed, r);
    if (field == kDiscountAmount)
        return discountAmountRule(typed, r);
    if (field == kTaxRate)
        return taxRateRule(typed, r);
    if (field == kTaxPrice)
        return taxPriceRule(typed, r);
    if (field == kTotal)
        return totalRule(typed, r);
    if (field == QStringLiteral("FKFDate")) {
        setExpiry(line, typed, ValueToInt(line.value(QStringLiteral("FKFPeriod"))));
        return typed;
    }
    if (field == QStringLiteral("FKFPeriod")) {
        setExpiry(line, line.value(QStringLiteral("FKFDate")), isBlank(typed) ? 0 : ValueToInt(typed));
        return typed;
    }
    if (field == kSquare) {
        driveByArea(ValueToFloat(typed), line, settings, bound);
        return typed;
    }
    return dimensionRule(field, typed, line, settings, bound);
}

void ApplyTaxStep(LineValues &line, const LineSettings &settings)
{
    Rule r(line, settings);
    r.taxStep();
}

LineSums SumLines(const QList<LineValues> &lines)
{
    LineSums sums;
    for (const LineValues &line : lines) {
        sums.number += line.number(kNumber);
        if (ValueIsTrue(line.value(QStringLiteral("FIsPresent"))))
            continue;
        sums.amount += line.number(kAmount);
        sums.discountAmount += line.number(kDiscountAmount);
    }
    return sums;
}

} // namespace protask
