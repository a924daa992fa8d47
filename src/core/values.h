#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace protask {

// Nullable field values: blank means null, empty, or text that is blank after trimming.
bool IsBlankValue(const QVariant &v);
// 0 for blank values, else the value's text parsed as a floating-point number (0 when unreadable).
double ValueToFloat(const QVariant &v);
// Unit ratios: 1 for blank values.
double ValueToRatio(const QVariant &v);
// 0 for null or empty; otherwise the text as an integer. Throws std::invalid_argument for a
// text that is not an integer.
int ValueToInt(const QVariant &v);
QString ValueToTrimmedText(const QVariant &v);
bool ValueIsTrue(const QVariant &v);
bool IsBitSet(int value, int bit);

// Rounds to `digits` places, ties to the even neighbour; at 0 or fewer places 0.000000001 is
// added first so that an exact half rounds up there.
double RoundValue(int digits, double value);
// The text prefixed with "0" up to `width` characters; width 0 gives an empty text.
QString PadLeftZeros(const QString &text, int width);

// First and last day of the date's month, at midnight.
QDate MonthFirstDay(const QDate &date);
QDate MonthLastDay(const QDate &date);

// The periods of a date box, in the order of its items: the day, its week (Monday to Sunday),
// its month and its year; a custom period keeps the dates as they are typed.
enum class DatePeriod { Today, ThisWeek, ThisMonth, ThisYear, Custom };
struct DateRange {
    QDate start;
    QDate end;
    bool operator==(const DateRange &) const = default;
};
// None for Custom.
std::optional<DateRange> PeriodDates(DatePeriod period, const QDate &today);

} // namespace protask
