#include "controls/controls.h"
#include "core/local_dataset.h"
#include "controls/lookup_lists.h"
#include "core/sql_helpers.h"
#include "test_db.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace protask;

namespace {

QStringList itemsOf(const QComboBox &combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

// The product list of the editors, in memory: number, name, search code and display form.
TLocalDataSet productRows()
{
    const QStringList fields = {QStringLiteral("FID"), QStringLiteral("FNo"), QStringLiteral("FName"),
                                QStringLiteral("FCode"), QStringLiteral("FCNo")};
    QVector<QVector<QVariant>> rows = {
        {1, QStringLiteral("A01"), QStringLiteral("Bolt"), QStringLiteral("BOLT"), QStringLiteral("[A01]Bolt")},
        {2, QStringLiteral("B02"), QStringLiteral("Nut"), QStringLiteral("NUT"), QStringLiteral("[B02]Nut")},
        {3, QStringLiteral(""), QStringLiteral("螺钉"), QStringLiteral("LD"), QStringLiteral("")},
        {4, QStringLiteral("C03"), QStringLiteral("O'Brien Nut"), QStringLiteral("OBN"), QStringLiteral("[C03]O'Brien Nut")},
        {5, QVariant(), QStringLiteral("bolt washer"), QVariant(), QVariant()},
    };
    TLocalDataSet ds;
    ds.setRecords(fields, rows);
    return ds;
}

QStringList visibleIds(const TLocalDataSet &ds)
{
    QStringList ids;
    for (int r = 0; r < ds.recordCount(); ++r)
        ids << ds.value(r, QStringLiteral("FID")).toString();
    return ids;
}

struct FilterCase {
    const char *expression;
    const char *ids; // visible FIDs, comma separated
};

void PrintTo(const FilterCase &c, std::ostream *os) { *os << c.expression; }

class LocalFilter : public ::testing::TestWithParam<FilterCase> {};

} // namespace

TEST_P(LocalFilter, KeepsTheMatchingRowsInOrder)
{
    TLocalDataSet ds = productRows();
    ds.setFilter(QString::fromUtf8(GetParam().expression));
    ds.setFiltered(true);
    const QString expected = QString::fromLatin1(GetParam().ids);
    EXPECT_EQ(visibleIds(ds), expected.isEmpty() ? QStringList() : expected.split(u','));
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, LocalFilter,
    ::testing::Values(FilterCase{"FName like '%BOLT%'", "1,5"},          // contains, any case
                    FilterCase{"FName like 'bolt%'", "1,5"},           // starts with
                    FilterCase{"FName like '%NUT'", "2,4"},            // ends with
                    FilterCase{"FName like 'nut'", "2"},               // without % the whole value
                    FilterCase{"fname = 'NUT'", "2"},                  // field names and texts ignore case
                    FilterCase{"FName = 'O''Brien Nut'", "4"},         // a doubled quote is a quote
                    FilterCase{"FName like '%''B%'", "4"},
                    FilterCase{"FCNO <> ''", "1,2,4"},                 // empty and null both drop out
                    FilterCase{"FNo <> 'A01'", "2,3,4,5"},
                    FilterCase{"FNo like '%A%' or FCode like '%LD%'", "1,3"},
                    FilterCase{"FNo = 'A01' or FNo = 'B02' and FCode = 'X'", "1"}, // and binds closer
                    FilterCase{"(FNo = 'A01' or FNo = 'B02') and FCode = 'NUT'", "2"},
                    FilterCase{"FName like '%螺%'", "3"},
                    FilterCase{"FID = 4", "4"},                        // unquoted numbers compare as numbers
                    FilterCase{"FID <> 4.0", "1,2,3,5"},
                    FilterCase{"FName like '%x%'", ""},
                    FilterCase{" ", "1,2,3,4,5"},                      // blank: no filter
                    FilterCase{"", "1,2,3,4,5"}));

TEST(LocalDataSet, MalformedExpressionsThrowAndKeepTheFilterInForce)
{
    TLocalDataSet ds = productRows();
    ds.setFilter(QStringLiteral("FNo = 'A01'"));
    ds.setFiltered(true);
    const char *bad[] = {
        "FName like",           "FName = 'abc",          "FName 'x'",     "(FName = 'x'",
        "FName = 'x' or",       "FName = 'x' FNo = 'y'", "FName > 'x'",   "FName like 5",
        "= 'x'",                "FNope = 'x'",           "FName = 'x')",  "FName = 'x' and or FNo = 'y'",
    };
    for (const char *expression : bad)
        EXPECT_THROW(ds.setFilter(QString::fromLatin1(expression)), std::invalid_argument) << expression;
    EXPECT_EQ(ds.filter(), QStringLiteral("FNo = 'A01'"));
    EXPECT_EQ(visibleIds(ds), QStringList{QStringLiteral("1")});
}

TEST(LocalDataSet, FilterSwitchedOffShowsEveryRowAndLocateSeesOnlyPassingRows)
{
    TLocalDataSet ds = productRows();
    ds.setFilter(QStringLiteral("FName like '%nut%'"));
    EXPECT_EQ(ds.recordCount(), 5) << "a filter does nothing until it is switched on";
    ds.setFiltered(true);
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.totalRecordCount(), 5);

    EXPECT_FALSE(ds.locate(QStringLiteral("FName"), QStringLiteral("Bolt"))) << "filtered out";
    EXPECT_TRUE(ds.locate(QStringLiteral("fname"), QStringLiteral("O'Brien Nut")));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("FNo")).toString(), QStringLiteral("C03"));
    EXPECT_FALSE(ds.locate(QStringLiteral("FName"), QStringLiteral("nut"))) << "locate matches case by default";
    EXPECT_TRUE(ds.locate(QStringLiteral("FName"), QStringLiteral("nut"), Qt::CaseInsensitive));
    EXPECT_EQ(ds.recNo(), 0);
    EXPECT_TRUE(ds.locate(QStringLiteral("FID"), 4));

    ds.setFiltered(false);
    EXPECT_EQ(ds.recordCount(), 5);
    EXPECT_THROW(ds.fieldByName(QStringLiteral("FPrice")), std::out_of_range);
}

class LookupLists : public ::testing::Test {
protected:
    void SetUp() override
    {
        protask::testing::EmptyAllTables();
        protask::testing::ExecScript(QStringLiteral(
            "insert into t_comProducts(FID,FNo,FName,FCode) values (1,'A01','Bolt','BOLT'),(2,'B02','Nut','NUT'),"
            "(3,'','螺钉','LD'),(4,'C03','O''Brien Nut','OBN'),(5,null,'bolt washer','BW')"));
        products.open(QStringLiteral(
            "select FID,FNo,FName,FCode,case when IfNull(FNo,'') = '' then '' else concat('[',FNo,']',FName) end "
            "as FCNo from t_comProducts where IfNull(FIsActive,1) = 1 order by FID"));
    }
    void TearDown() override { protask::testing::EmptyAllTables(); }

    TLocalDataSet products;
    TComboBox combo;
};

TEST_F(LookupLists, TypedTextFiltersNumberNameAndCodeAndBecomesTheComboText)
{
    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FName"), QStringLiteral("bo"),
                                 QStringLiteral("FNo"), QStringLiteral("FName"), QStringLiteral("FCode")));
    EXPECT_EQ(products.filter(), QStringLiteral("FNo like '%BO%' or FName like '%BO%' or FCode like '%BO%'"));
    EXPECT_EQ(itemsOf(combo), (QStringList{QStringLiteral("Bolt"), QStringLiteral("bolt washer")}));
    EXPECT_EQ(combo.currentText(), QStringLiteral("bo")) << "the typed text, as typed";

    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FName"), QStringLiteral("ld"),
                                 QStringLiteral("FNo"), QStringLiteral("FName"), QStringLiteral("FCode")));
    EXPECT_EQ(itemsOf(combo), QStringList{QStringLiteral("螺钉")}) << "found by its search code";

    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FName"), QStringLiteral("o'b"),
                                 QStringLiteral("FNo"), QStringLiteral("FName"), QStringLiteral("FCode")));
    EXPECT_EQ(products.filter(), QStringLiteral("FNo like '%O''B%' or FName like '%O''B%' or FCode like '%O''B%'"));
    EXPECT_EQ(itemsOf(combo), QStringList{QStringLiteral("O'Brien Nut")});
    EXPECT_EQ(combo.currentText(), QStringLiteral("o'b"));

    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FName"), QStringLiteral("  "),
                                 QStringLiteral("FNo"), QStringLiteral("FName"), QStringLiteral("FCode")));
    EXPECT_EQ(products.filter(), QStringLiteral(" "));
    EXPECT_EQ(combo.count(), 5) << "blank typed text lists every row";
    EXPECT_EQ(combo.currentText(), QStringLiteral("  "));

    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FName"), QStringLiteral("b"), QStringLiteral("FName"),
                                 QString(), QStringLiteral(" ")));
    EXPECT_EQ(products.filter(), QStringLiteral("FName like '%B%'")) << "blank field names are left out";
}

TEST_F(LookupLists, VariantsWithoutTextKeepTheComboTextAndSetAnEmptyFilterForBlankText)
{
    combo.setEditText(QStringLiteral("螺"));
    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FName"), QStringLiteral("nut"), QStringLiteral("FNo"),
                                 QStringLiteral("FName"), QStringLiteral("FCode"), LookupComboText::Keep));
    EXPECT_EQ(itemsOf(combo), (QStringList{QStringLiteral("Nut"), QStringLiteral("O'Brien Nut")}));
    EXPECT_EQ(combo.currentText(), QStringLiteral("螺"));

    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FName"), QString(), QStringLiteral("FNo"),
                                 QStringLiteral("FName"), QStringLiteral("FCode"), LookupComboText::Keep));
    EXPECT_EQ(products.filter(), QString());
    EXPECT_EQ(combo.count(), 5);

    // The number cell: one field, the display form listed.
    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FCNo"), QStringLiteral("0"), QStringLiteral("FNo")));
    EXPECT_EQ(products.filter(), QStringLiteral("FNo like '%0%'"));
    EXPECT_EQ(itemsOf(combo), (QStringList{QStringLiteral("[A01]Bolt"), QStringLiteral("[B02]Nut"),
                                           QStringLiteral("[C03]O'Brien Nut")}));
    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FCNo"), QStringLiteral("bolt"), QStringLiteral("FNo")));
    EXPECT_EQ(combo.count(), 0) << "names are not searched by the number cell";
    ASSERT_TRUE(FilterLookupList(products, &combo, QStringLiteral("FCNo"), QStringLiteral(" "), QStringLiteral("FNo")));
    EXPECT_EQ(products.filter(), QString());
    EXPECT_EQ(combo.currentText(), QStringLiteral("螺"));

    TLocalDataSet closed;
    combo.clear();
    EXPECT_FALSE(FilterLookupList(closed, &combo, QStringLiteral("FName"), QStringLiteral("a"), QStringLiteral("FName"),
                                  QString(), QString()));
    EXPECT_FALSE(FilterLookupList(closed, &combo, QStringLiteral("FName"), QStringLiteral("a"), QStringLiteral("FName")));
    EXPECT_EQ(combo.count(), 0);
}

TEST_F(LookupLists, FillReadsTheRowsAgainWithoutFilterAfterTheFirstItem)
{
    products.setFilter(QStringLiteral("FName like '%nut%'"));
    products.setFiltered(true);
    protask::testing::ExecScript(QStringLiteral("insert into t_comProducts(FID,FNo,FName,FCode) values (6,'D04','垫片','DP')"));
    combo.setEditText(QStringLiteral("Bo"));

    ASSERT_TRUE(FillLookupList(&combo, QStringLiteral("FName"), products, QStringLiteral("全部")));
    EXPECT_EQ(itemsOf(combo), (QStringList{QStringLiteral("全部"), QStringLiteral("Bolt"), QStringLiteral("Nut"),
                                           QStringLiteral("螺钉"), QStringLiteral("O'Brien Nut"),
                                           QStringLiteral("bolt washer"), QStringLiteral("垫片")}));
    EXPECT_TRUE(products.filter().isEmpty());
    EXPECT_FALSE(products.isFiltered());
    EXPECT_EQ(combo.currentText(), QStringLiteral("Bo")) << "the text in the edit survives the refill";

    ASSERT_TRUE(FillLookupList(&combo, QStringLiteral("FCNo"), products, LookupFilter{QStringLiteral("FCNO <> ''")}));
    EXPECT_EQ(itemsOf(combo), (QStringList{QStringLiteral("[A01]Bolt"), QStringLiteral("[B02]Nut"),
                                           QStringLiteral("[C03]O'Brien Nut"), QStringLiteral("[D04]垫片")}));

    EXPECT_FALSE(FillLookupList(&combo, QStringLiteral("FCNo"), products, LookupFilter{QStringLiteral("FNo = 'ZZZ'")}));
    EXPECT_EQ(combo.count(), 4) << "no rows left: the list stays";
}

TEST_F(LookupLists, FillFromAnEmptyDataSetNeedsAFirstItem)
{
    TDataSet query(Db());
    query.open(QStringLiteral("select FNo,FName,FCode from t_comUnit where 1=1"));
    TLocalDataSet units;
    units.load(query);
    ASSERT_TRUE(units.isActive());
    combo.addItem(QStringLiteral("旧"));
    EXPECT_FALSE(FillLookupList(&combo, QStringLiteral("FName"), units));
    EXPECT_EQ(itemsOf(combo), QStringList{QStringLiteral("旧")});
    EXPECT_TRUE(FillLookupList(&combo, QStringLiteral("FName"), units, QStringLiteral("全部")));
    EXPECT_EQ(itemsOf(combo), QStringList{QStringLiteral("全部")});

    protask::testing::ExecScript(QStringLiteral("insert into t_comUnit(FID,FNo,FName,FCode) values (1,'01','件','J')"));
    units.refresh();
    EXPECT_EQ(units.recordCount(), 1) << "refresh runs the statement the rows were loaded with";
    EXPECT_TRUE(FillLookupList(&combo, QStringLiteral("FName"), units));
    EXPECT_EQ(itemsOf(combo), QStringList{QStringLiteral("件")});
}
