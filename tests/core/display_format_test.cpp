#include "core/display_format.h"
#include "test_db.h"

#include <QLocale>

using namespace protask;

namespace {

struct FormatCase {
    double value;
    const char *format;
    const char *expected;
};

void PrintTo(const FormatCase &c, std::ostream *os) { *os << c.value << " with \"" << c.format << '"'; }

class DisplayFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DisplayFormat, ShowsTheValueAsTheSuiteFormats)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(FormatDisplayNumber(c.value, QString::fromUtf8(c.format)), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DisplayFormat,
    ::testing::Values(
        // thousands and fixed decimals
        FormatCase{1234567.891, ",0.00;-,0.00", "1,234,567.89"}, FormatCase{0, ",0.00;-,0.00", "0.00"},
        FormatCase{999.999, ",0.00;-,0.00", "1,000.00"}, FormatCase{0.5, ",0.0000;-,0.0000", "0.5000"},
        // negatives take the second section with its own "-", or a "-" before the first
        FormatCase{-1234.5, ",0.00;-,0.00", "-1,234.50"}, FormatCase{-5, "0.00", "-5.00"},
        // a value that rounds to zero from below shows as zero, never "-0"
        FormatCase{-0.001, ",0.00;-,0.00", "0.00"}, FormatCase{-0.001, "0.00", "0.00"},
        FormatCase{-0.4, ",0.;-,0.", "0"}, FormatCase{-0.4, "0", "0"}, FormatCase{-0.004, "0.##", "0"},
        FormatCase{-0.0, ",0.00;-,0.00", "0.00"}, FormatCase{-0.0, "", "0"},
        FormatCase{-0.001, ",0.00;-,0.00;零", "零"},
        // halves round away from zero, also where the binary value lies just below the half
        FormatCase{1.005, ",0.00;-,0.00", "1.01"}, FormatCase{-1.005, ",0.00;-,0.00", "-1.01"},
        FormatCase{0.125, ",0.00;-,0.00", "0.13"}, FormatCase{1.0049, ",0.00;-,0.00", "1.00"},
        FormatCase{-0.005, "0.00", "-0.01"},
        // whole numbers
        FormatCase{1234.5, ",0.;-,0.", "1,235"}, FormatCase{-1234.5, ",0.;-,0.", "-1,235"}, FormatCase{2.5, "0", "3"},
        FormatCase{-2.5, "0", "-3"}, FormatCase{1234567, "0", "1234567"},
        // no format: the number's plain text
        FormatCase{0.1 + 0.2, "", "0.3"}, FormatCase{-1234567, "", "-1234567"}, FormatCase{-0.001, "", "-0.001"}));

TEST(DisplayFormatting, IgnoresTheSystemLocaleAndCountsThePlacesOfTheFirstSection)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = FormatDisplayNumber(1234.5, QStringLiteral(",0.00;-,0.00"));
    QLocale::setDefault(saved);
    EXPECT_EQ(text, QStringLiteral("1,234.50"));

    EXPECT_EQ(FormatDecimals(QStringLiteral(",0.000;-,0.000")), 3);
    EXPECT_EQ(FormatDecimals(QStringLiteral("0.0#;-0.00000")), 2);
    EXPECT_EQ(FormatDecimals(QStringLiteral(",0.;-,0.")), 0);
    EXPECT_EQ(FormatDecimals(QString()), -1);
}

} // namespace
