// The line rules, one typed cell (or a price chosen in the price history) at a time, each case
// asserting every cell it names.
#include "billedit/model/history_price.h"
#include "billedit/model/line_rules.h"

#include "line_cells.h"

using namespace protask;
using protask::testing::ExpectCells;
using protask::testing::LineOf;
using namespace Qt::StringLiterals;

namespace {

struct Case {
    const char *name;
    LineSettings settings;
    const char *line; // the cells before
    // "FPrice=10;FTaxRate=6": typed one after the other, each stored as its rule answers;
    // "history=12.5" puts a price chosen in the price history on the line (nothing after the "=": a blank price)
    const char *edits;
    const char *expected; // the cells after; an empty value must be blank
};

const LineSettings kTaxOn{2, 2, true, 13, 0, 0};
const LineSettings kTaxOff{2, 2, false, 13, 0, 0};
const LineSettings kArea{2, 2, false, 13, 0, 1};
const LineSettings kEditorRate{2, 2, false, 13, 90, 0};

const Case kCases[] = {
    {"EmptyLineDropsWhatIsTyped", kTaxOn, "FPrice=10", "FNumber=5", "FNumber=;FPrice=10;FAmount="},
    {"QuantityThenPriceAtThirteenPercent", kTaxOn, "FProductName=桌;FDiscountRate=100;FTaxRate=13",
     "FNumber=3;FPrice=10",
     "FAmount=30;FDiscountPrice=10;FDiscountAmount=30;FTaxPrice=11.3;FTotalAmount=33.9;FTaxAmount=3.9"},
    {"LineTaxRateSixThenPriceAgainTakesTheCompanyRate", kTaxOn,
     "FProductName=桌;FNumber=3;FDiscountRate=100;FTaxRate=13", "FPrice=10;FTaxRate=6",
     "FTaxPrice=10.6;FTotalAmount=31.8;FTaxAmount=1.8"},
    {"PriceAfterTheLineRateChanged", kTaxOn, "FProductName=桌;FNumber=3;FDiscountRate=100;FTaxRate=6", "FPrice=10",
     "FTaxPrice=11.3;FTotalAmount=33.9;FTaxAmount=3.9"},
    {"TaxOffLeavesTheTaxCellsAlone", kTaxOff,
     "FProductName=桌;FNumber=3;FDiscountRate=100;FTaxRate=13;FTaxPrice=9;FTotalAmount=27;FTaxAmount=1",
     "FPrice=10;FAmount=;FDiscountRate=", "FTaxPrice=9;FTotalAmount=27;FTaxAmount=1;FAmount=;FPrice=;FDiscountRate=0"},
    {"TaxOffTheTaxPriceStillComputes", kTaxOff, "FProductName=桌;FNumber=2;FDiscountRate=100;FTaxRate=13",
     "FTaxPrice=11.3", "FDiscountPrice=10;FPrice=10;FDiscountAmount=20;FAmount=20;FTotalAmount=22.6;FTaxAmount=2.6"},
    {"PriceWithoutQuantityAndBlankRate", kTaxOn, "FProductName=桌", "FPrice=10",
     "FDiscountRate=100;FDiscountPrice=10;FAmount=;FDiscountAmount=;FTaxPrice=10"},
    {"PriceWithQuantityAndBlankRate", kTaxOff, "FProductName=桌;FNumber=2", "FPrice=10",
     "FDiscountRate=100;FDiscountPrice=10;FDiscountAmount=20;FAmount=20"},
    {"EditorRateIsTheDefault", kEditorRate, "FProductName=桌;FNumber=2", "FPrice=10",
     "FDiscountRate=90;FDiscountPrice=9;FDiscountAmount=18"},
    {"AmountWithoutQuantityGivesTheQuantity", kTaxOff, "FProductName=桌;FPrice=10;FDiscountRate=80", "FAmount=25",
     "FNumber=2.5;FDiscountPrice=8;FDiscountAmount=20"},
    {"AmountWithQuantityGivesThePrice", kTaxOff, "FProductName=桌;FNumber=4;FDiscountRate=50", "FAmount=30",
     "FPrice=7.5;FDiscountAmount=15;FDiscountPrice=3.75"},
    {"ClearedRateIsZero", kTaxOff, "FProductName=桌;FNumber=2;FPrice=10;FDiscountRate=100",
     "FDiscountRate=", "FDiscountRate=0;FDiscountPrice=0;FDiscountAmount=0"},
    {"DiscountPriceWithoutListPrice", kTaxOff, "FProductName=桌;FNumber=2;FPrice=0", "FDiscountPrice=8",
     "FDiscountPrice=;FDiscountRate=100;FDiscountAmount="},
    {"DiscountPriceGivesTheRate", kTaxOn, "FProductName=桌;FNumber=2;FPrice=10;FTaxRate=13", "FDiscountPrice=8",
     "FDiscountRate=80;FDiscountAmount=16;FTaxPrice=9.04;FTotalAmount=18.08;FTaxAmount=2.08"},
    {"DiscountAmountGivesRateAndPrice", kTaxOn, "FProductName=桌;FNumber=4;FAmount=40;FTaxRate=0", "FDiscountAmount=30",
     "FDiscountRate=75;FDiscountPrice=7.5;FTaxPrice=7.5;FTotalAmount=30;FTaxAmount=0"},
    {"TotalZeroClearsThePrices", kTaxOn,
     "FProductName=桌;FNumber=3;FPrice=10;FAmount=30;FDiscountRate=100;FDiscountPrice=10;FTaxPrice=11.3;FTaxAmount=3.9",
     "FTotalAmount=0", "FTotalAmount=;FPrice=;FAmount=;FDiscountRate=;FDiscountPrice=;FTaxPrice=;FTaxAmount="},
    {"TotalGivesEveryPrice", kTaxOn, "FProductName=桌;FNumber=3;FDiscountRate=100;FTaxRate=13", "FTotalAmount=33.9",
     "FTaxPrice=11.3;FDiscountPrice=10;FPrice=10;FDiscountAmount=30;FAmount=30;FTaxAmount=3.9"},
    {"TotalOnALineWithRateZeroTakesNoDiscount", kTaxOff, "FProductName=桌;FNumber=2;FDiscountRate=0", "FTotalAmount=20",
     "FDiscountRate=100;FPrice=10;FDiscountPrice=10"},
    {"WidthAndLengthDriveTheQuantity", kArea, "FProductName=板;FPrice=10;FDiscountRate=100;FWidth=2", "FLength=3",
     "FSquare=6;FNumber=6;FAmount=60;FDiscountAmount=60"},
    {"ProductionDatePlusShelfLife", kTaxOff, "FProductName=奶;FKFPeriod=30", "FKFDate=2026-01-15",
     "FPeriodDate=2026-02-14"},
    {"ShelfLifeClearedExpiresOnTheProductionDate", kTaxOff, "FProductName=奶;FKFDate=2026-01-15;FKFPeriod=30",
     "FKFPeriod=", "FPeriodDate=2026-01-15"},
    {"NoProductionDateNoExpiry", kTaxOff, "FProductName=奶;FPeriodDate=2026-03-01", "FKFPeriod=10", "FPeriodDate="},
    {"ChosenPriceWithQuantityGivesAmountsAndTax", kTaxOn, "FProductName=桌;FNumber=3;FDiscountRate=90;FTaxRate=13",
     "history=12.5",
     "FPrice=12.5;FAmount=37.5;FDiscountPrice=11.25;FDiscountAmount=33.75;FTaxPrice=12.71;FTotalAmount=38.13;"
     "FTaxAmount=4.38"},
    {"ChosenPriceOnABlankRateSellsWithoutDiscountNotAtTheEditorsRate", kEditorRate, "FProductName=桌;FNumber=2",
     "history=10", "FPrice=10;FDiscountRate=100;FDiscountPrice=10;FAmount=20;FDiscountAmount=20"},
    {"ChosenPriceKeepsTheLinesRateOverTheEditors", kEditorRate, "FProductName=桌;FNumber=2;FDiscountRate=50",
     "history=10", "FDiscountRate=50;FDiscountPrice=5;FDiscountAmount=10"},
    {"ChosenPriceWithoutQuantityOnlyThePricesFollow", kTaxOn,
     "FProductName=桌;FNumber=0;FDiscountRate=80;FTaxRate=13;FAmount=5;FDiscountAmount=4;FTotalAmount=9", "history=10",
     "FPrice=10;FAmount=;FDiscountAmount=;FDiscountPrice=8;FTaxPrice=9.04;FTotalAmount="},
    {"ChosenPriceWithoutQuantityTaxOffLeavesTheTaxPrice", kTaxOff,
     "FProductName=桌;FDiscountRate=100;FTaxPrice=7;FAmount=5", "history=10",
     "FPrice=10;FAmount=;FDiscountPrice=10;FTaxPrice=7"},
    {"ABlankChosenPriceClearsWhatItPriced", kTaxOn,
     "FProductName=桌;FNumber=2;FPrice=9;FDiscountRate=100;FAmount=18;FDiscountPrice=9;FDiscountAmount=18;"
     "FTaxPrice=10.17;FTotalAmount=20.34;FTaxAmount=2.34",
     "history=",
     "FPrice=;FAmount=;FDiscountPrice=;FDiscountAmount=;FTaxPrice=;FTotalAmount=;FTaxAmount=;FNumber=2;"
     "FDiscountRate=100"},
    {"OneDimensionIsNoArea", kArea, "FProductName=板;FPrice=10;FDiscountRate=100", "FWidth=2",
     "FSquare=0;FNumber=0;FAmount=0"}};

TEST(LineRules, RecomputeTheLineFromTheTypedCell)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        LineValues line = LineOf(QString::fromUtf8(c.line));
        for (const QString &cell : QString::fromUtf8(c.edits).split(u';', Qt::SkipEmptyParts)) {
            const QString field = cell.section(u'=', 0, 0);
            const QString value = cell.section(u'=', 1);
            if (field == u"history")
                ApplyChosenPrice(line, value.isEmpty() ? QVariant() : QVariant(value.toDouble()), c.settings);
            else
                line.set(field, ApplyLineRule(field, value, line, c.settings));
        }
        ExpectCells(line, QString::fromUtf8(c.expected));
    }
}

TEST(LineRulesFooter, GiftLinesCountInTheQuantityOnly)
{
    const LineSums sums = SumLines({LineOf(u"FNumber=2;FAmount=100;FDiscountAmount=90;FIsPresent=1"_s),
                                    LineOf(u"FNumber=3;FAmount=30;FDiscountAmount=27"_s)});
    EXPECT_DOUBLE_EQ(sums.number, 5);
    EXPECT_DOUBLE_EQ(sums.amount, 30);
    EXPECT_DOUBLE_EQ(sums.discountAmount, 27);
}

} // namespace
