#pragma once

#include <QString>

namespace protask {

// Formats a number with one of the suite's display formats, the way grids, editors and
// printed bills show it:
//   ",0.00;-,0.00"   thousands separators, exactly two decimals; the second section is used
//                    for negative values and carries its own literal "-"
//   ",0.;-,0."       whole numbers with thousands separators, no decimal point
//   "0"              a plain integer
//   ""               the plain text of the number (up to 15 significant digits)
// "0" places are always shown, "#" places only when they are not zero. The value is
// rounded half away from zero on its 15-digit decimal form, so 1.005 shows as 1.01 with two
// places. A value that rounds to zero uses the first section (no "-0.00"). The output
// always uses "," for thousands and "." for decimals, whatever the system locale.
QString FormatDisplayNumber(double value, const QString &format);

// The number of decimal places the first section of a format shows ("0" and "#" after the
// point); 0 for a format without a point, -1 for an empty format (general display).
int FormatDecimals(const QString &format);

} // namespace protask
