#include "core/display_format.h"

#include <QStringList>

#include <cmath>

namespace protask {

namespace {

// One section of a display format: literal text around a number pattern.
struct FormatSection {
    QString prefix;
    QString suffix;
    bool hasDigits = false;
    bool thousands = false;
    int minIntegerDigits = 0; // "0" places before the point
    int requiredDecimals = 0; // "0" places after the point
    int optionalDecimals = 0; // "#" places after the point
};

bool isPatternChar(QChar c) { return c == u'0' || c == u'#' || c == u'.' || c == u','; }

// Splits on ";" outside quoted literals.
QStringList splitSections(const QString &format)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    sections.append(current);
    return sections;
}

FormatSection parseSection(const QString &text)
{
    FormatSection section;
    bool inPattern = false;
    bool afterPattern = false;
    bool afterPoint = false;
    QChar quote;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (inPattern || afterPattern ? section.suffix : section.prefix).append(c);
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            if (inPattern) {
                inPattern = false;
                afterPattern = true;
            }
            continue;
        }
        if (isPatternChar(c) && !afterPattern) {
            inPattern = true;
            if (c == u',') {
                section.thousands = true;
            } else if (c == u'.') {
                afterPoint = true;
            } else {
                section.hasDigits = true;
                if (afterPoint)
                    (c == u'0' ? section.requiredDecimals : section.optionalDecimals)++;
                else if (c == u'0')
                    section.minIntegerDigits++;
            }
            continue;
        }
        if (inPattern) {
            inPattern = false;
            afterPattern = true;
        }
        (afterPattern ? section.suffix : section.prefix).append(c);
    }
    return section;
}

// The decimal digits of a non-negative value rounded half away from zero to `decimals`
// places. The rounding works on the value's 15-significant-digit text, so a binary value
// just below a half (1.005 is 1.00499999…) rounds as its decimal text reads.
void roundedDigits(double absValue, int decimals, QString &integerDigits, QString &fractionDigits)
{
    integerDigits.clear();
    fractionDigits = QString(decimals, u'0');
    if (absValue == 0.0)
        return;
    const QString e = QString::number(absValue, 'e', 14);
    const qsizetype ePos = e.indexOf(u'e');
    QString digits = e.left(ePos).remove(u'.');
    qsizetype point = e.mid(ePos + 1).toInt() + 1; // digits before the decimal point
    if (point < 0) {
        digits.prepend(QString(-point, u'0'));
        point = 0;
    }
    const qsizetype keep = point + decimals;
    if (digits.size() < keep + 1)
        digits.append(QString(keep + 1 - digits.size(), u'0'));
    QString kept = digits.left(keep);
    if (digits.at(keep) >= u'5') {
        qsizetype i = kept.size() - 1;
        while (i >= 0 && kept.at(i) == u'9') {
            kept[i] = u'0';
            --i;
        }
        if (i >= 0) {
            kept[i] = QChar(kept.at(i).unicode() + 1);
        } else {
            kept.prepend(u'1');
            ++point;
        }
    }
    integerDigits = kept.left(point);
    fractionDigits = kept.mid(point);
    qsizetype lead = 0;
    while (lead < integerDigits.size() && integerDigits.at(lead) == u'0')
        ++lead;
    integerDigits.remove(0, lead);
}

bool allZeros(const QString &digits)
{
    for (const QChar c : digits)
        if (c != u'0')
            return false;
    return true;
}

// Renders a non-negative value with one section; `isZero` tells whether it rounded to 0.
QString renderSection(const FormatSection &section, double absValue, bool &isZero)
{
    if (!section.hasDigits) {
        isZero = absValue == 0.0;
        return section.prefix + section.suffix;
    }
    QString integerDigits;
    QString fractionDigits;
    roundedDigits(absValue, section.requiredDecimals + section.optionalDecimals, integerDigits, fractionDigits);
    isZero = allZeros(integerDigits) && allZeros(fractionDigits);

    while (fractionDigits.size() > section.requiredDecimals && fractionDigits.endsWith(u'0'))
        fractionDigits.chop(1);
    if (integerDigits.size() < section.minIntegerDigits)
        integerDigits.prepend(QString(section.minIntegerDigits - integerDigits.size(), u'0'));
    if (section.thousands) {
        for (qsizetype i = integerDigits.size() - 3; i > 0; i -= 3)
            integerDigits.insert(i, u',');
    }
    QString text = section.prefix + integerDigits;
    if (!fractionDigits.isEmpty())
        text += u'.' + fractionDigits;
    return text + section.suffix;
}

} // namespace

QString FormatDisplayNumber(double value, const QString &format)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (format.isEmpty()) {
        if (value == 0.0)
            return QStringLiteral("0");
        return QString::number(value, 'g', 15);
    }

    const QStringList sections = splitSections(format);
    const bool negative = value < 0.0;
    const double absValue = std::fabs(value);
    const bool ownNegativeSection = negative && sections.size() >= 2 && !sections.at(1).isEmpty();

    bool isZero = false;
    const QString text = renderSection(parseSection(sections.at(ownNegativeSection ? 1 : 0)), absValue, isZero);
    if (isZero) {
        if (sections.size() >= 3 && !sections.at(2).isEmpty())
            return renderSection(parseSection(sections.at(2)), 0.0, isZero);
        if (negative)
            return renderSection(parseSection(sections.at(0)), 0.0, isZero);
        return text;
    }
    if (negative && !ownNegativeSection)
        return u'-' + text;
    return text;
}

int FormatDecimals(const QString &format)
{
    if (format.isEmpty())
        return -1;
    const FormatSection section = parseSection(splitSections(format).at(0));
    return section.requiredDecimals + section.optionalDecimals;
}

} // namespace protask
