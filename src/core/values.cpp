#include "core/values.h"

#include <cfenv>
#include <cmath>
#include <stdexcept>

namespace protask {

bool IsBlankValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return true;
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().isEmpty();
    return v.toString().isEmpty() && !v.canConvert<double>();
}

double ValueToFloat(const QVariant &v)
{
    if (IsBlankValue(v))
        return 0.0;
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? d : 0.0;
}

double ValueToRatio(const QVariant &v)
{
    if (IsBlankValue(v))
        return 1.0;
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? d : 1.0;
}

int ValueToInt(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return 0;
    const QString text = v.toString().trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const int i = text.toInt(&ok);
    if (!ok)
        throw std::invalid_argument(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return i;
}

QString ValueToTrimmedText(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    return v.toString().trimmed();
}

bool ValueIsTrue(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return false;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        return t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || t == QLatin1String("-1")
            || t == QLatin1String("1");
    }
    return v.toDouble() != 0.0;
}

bool IsBitSet(int value, int bit)
{
    if (bit < 0 || bit > 31)
        return false;
    return (static_cast<unsigned>(value) >> bit) & 1u;
}

double RoundValue(int digits, double value)
{
    // The factor is 10 to the power -digits, computed as the suite does (an integer power).
    double factor = 1.0;
    for (int i = 0; i < std::abs(digits); ++i)
        factor *= 10.0;
    if (digits > 0)
        factor = 1.0 / factor;
    if (digits <= 0)
        value += 0.000000001;
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double whole = std::nearbyint(value / factor);
    std::fesetround(previous);
    return whole * factor;
}

QString PadLeftZeros(const QString &text, int width)
{
    if (width <= 0)
        return QString();
    QString s = text;
    while (s.size() < width)
        s.prepend(QLatin1Char('0'));
    return s;
}

QDate MonthFirstDay(const QDate &date) { return QDate(date.year(), date.month(), 1); }

QDate MonthLastDay(const QDate &date) { return QDate(date.year(), date.month(), date.daysInMonth()); }

std::optional<DateRange> PeriodDates(DatePeriod period, const QDate &today)
{
    switch (period) {
    case DatePeriod::Today: return DateRange{today, today};
    case DatePeriod::ThisWeek: {
        const QDate monday = today.addDays(1 - today.dayOfWeek());
        return DateRange{monday, monday.addDays(6)};
    }
    case DatePeriod::ThisMonth: return DateRange{MonthFirstDay(today), MonthLastDay(today)};
    case DatePeriod::ThisYear: return DateRange{QDate(today.year(), 1, 1), QDate(today.year(), 12, 31)};
    case DatePeriod::Custom: break;
    }
    return std::nullopt;
}

} // namespace protask
