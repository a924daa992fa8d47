#include "controls/controls.h"
#include "controls/lookup_lists.h"
#include "core/local_dataset.h"
#include "core/sql_helpers.h"
#include "test_db.h"

#include <stdexcept>

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::ExecScript;

namespace {

QString itemsOf(const QComboBox &combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items.join(u'|');
}

// The product list of the editors, in memory: number, name, search code and display form.
TLocalDataSet productRows()
{
    TLocalDataSet ds;
    ds.setRecords({u"FID"_s, u"FNo"_s, u"FName"_s, u"FCode"_s, u"FCNo"_s},
                  {{1, u"A01"_s, u"Bolt"_s, u"BOLT"_s, u"[A01]Bolt"_s},
                   {2, u"B02"_s, u"Nut"_s, u"NUT"_s, u"[B02]Nut"_s},
                   {3, u""_s, u"螺钉"_s, u"LD"_s, u""_s},
                   {4, u"C03"_s, u"O'Brien Nut"_s, u"OBN"_s, u"[C03]O'Brien Nut"_s},
                   {5, QVariant(), u"bolt washer"_s, QVariant(), QVariant()}});
    return ds;
}

QString visibleIds(const TLocalDataSet &ds)
{
    QStringList ids;
    for (int r = 0; r < ds.recordCount(); ++r)
        ids << ds.value(r, u"FID"_s).toString();
    return ids.join(u',');
}

TEST(LocalDataSet, FilterKeepsTheMatchingRowsInOrder)
{
    const auto filtered = [](const char *expression) {
        TLocalDataSet ds = productRows();
        ds.setFilter(QString::fromUtf8(expression));
        ds.setFiltered(true);
        return visibleIds(ds);
    };
    EXPECT_EQ(filtered("FName like '%BOLT%'"), u"1,5"_s);  // contains, any case
    EXPECT_EQ(filtered("FName like 'bolt%'"), u"1,5"_s);   // starts with
    EXPECT_EQ(filtered("FName like '%NUT'"), u"2,4"_s);    // ends with
    EXPECT_EQ(filtered("FName like 'nut'"), u"2"_s);       // without % the whole value
    EXPECT_EQ(filtered("fname = 'NUT'"), u"2"_s);          // field names and texts ignore case
    EXPECT_EQ(filtered("FName = 'O''Brien Nut'"), u"4"_s); // a doubled quote is a quote
    EXPECT_EQ(filtered("FCNO <> ''"), u"1,2,4"_s);         // empty and null both drop out
    EXPECT_EQ(filtered("FNo <> 'A01'"), u"2,3,4,5"_s);
    EXPECT_EQ(filtered("FNo like '%A%' or FCode like '%LD%'"), u"1,3"_s);
    EXPECT_EQ(filtered("FNo = 'A01' or FNo = 'B02' and FCode = 'X'"), u"1"_s); // and binds closer
    EXPECT_EQ(filtered("(FNo = 'A01' or FNo = 'B02') and FCode = 'NUT'"), u"2"_s);
    EXPECT_EQ(filtered("FID <> 4.0"), u"1,2,3,5"_s); // unquoted numbers compare as numbers
    EXPECT_EQ(filtered(" "), u"1,2,3,4,5"_s);        // blank: no filter
}

TEST(LocalDataSet, MalformedExpressionsThrowAndKeepTheFilterInForce)
{
    TLocalDataSet ds = productRows();
    ds.setFilter(u"FNo = 'A01'"_s);
    ds.setFiltered(true);
    for (const char *bad :
         {"FName like", "FName = 'abc", "FName 'x'", "(FName = 'x'", "FName = 'x' or", "FName = 'x' FNo = 'y'",
          "FName > 'x'", "FName like 5", "= 'x'", "FNope = 'x'", "FName = 'x')", "FName = 'x' and or FNo = 'y'"})
        EXPECT_THROW(ds.setFilter(QString::fromLatin1(bad)), std::invalid_argument) << bad;
    EXPECT_EQ(ds.filter(), u"FNo = 'A01'"_s);
    EXPECT_EQ(visibleIds(ds), u"1"_s);
}

TEST(LocalDataSet, FilterSwitchedOffShowsEveryRowAndLocateSeesOnlyPassingRows)
{
    TLocalDataSet ds = productRows();
    ds.setFilter(u"FName like '%nut%'"_s);
    EXPECT_EQ(ds.recordCount(), 5) << "a filter does nothing until it is switched on";
    ds.setFiltered(true);
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.totalRecordCount(), 5);
    EXPECT_FALSE(ds.locate(u"FName"_s, u"Bolt"_s)) << "filtered out";
    EXPECT_TRUE(ds.locate(u"fname"_s, u"O'Brien Nut"_s));
    EXPECT_EQ(ds.fieldByName(u"FNo"_s).toString(), u"C03"_s);
    EXPECT_FALSE(ds.locate(u"FName"_s, u"nut"_s)) << "locate matches case by default";
    EXPECT_TRUE(ds.locate(u"FName"_s, u"nut"_s, Qt::CaseInsensitive));
    EXPECT_EQ(ds.recNo(), 0);
    EXPECT_TRUE(ds.locate(u"FID"_s, 4));
    ds.setFiltered(false);
    EXPECT_EQ(ds.recordCount(), 5);
    EXPECT_THROW(ds.fieldByName(u"FPrice"_s), std::out_of_range);
}

// The products of the database, loaded with their display form. What a typed text matches is
// the search tests' business; here which rows are listed and what the combo's edit shows.
class LookupLists : public protask::testing::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        ExecScript(
            u"insert into t_comProducts(FID,FNo,FName,FCode) values (1,'A01','Bolt','BOLT'),(2,'B02','Nut','NUT'),"
            "(3,'','螺钉','LD'),(4,'C03','O''Brien Nut','OBN'),(5,null,'bolt washer','BW')"_s);
        products.open(
            u"select FID,FNo,FName,FCode,case when IfNull(FNo,'') = '' then '' else concat('[',FNo,']',FName) "
            "end as FCNo from t_comProducts where IfNull(FIsActive,1) = 1 order by FID"_s);
        combo.setEditText(u"螺"_s);
    }
    // Filters by number, name and search code as the editors do: the items listed and the
    // combo's text.
    QString typed(const QString &text, LookupComboText mode = LookupComboText::WriteTyped)
    {
        EXPECT_TRUE(FilterLookupList(products, &combo, u"FName"_s, text, u"FNo"_s, u"FName"_s, u"FCode"_s, mode));
        return itemsOf(combo) + u" ["_s + combo.currentText() + u']';
    }

    TLocalDataSet products;
    TComboBox combo;
};

TEST_F(LookupLists, TypedTextFiltersNumberNameAndCodeAndBecomesTheComboTextUnlessKept)
{
    EXPECT_EQ(typed(u"bo"_s), u"Bolt|bolt washer [bo]"_s);
    EXPECT_EQ(typed(u"ld"_s), u"螺钉 [ld]"_s) << "found by its search code";
    EXPECT_EQ(typed(u"o'b"_s), u"O'Brien Nut [o'b]"_s);
    EXPECT_EQ(typed(u"  "_s), u"Bolt|Nut|螺钉|O'Brien Nut|bolt washer [  ]"_s) << "blank typed text lists every row";
    EXPECT_EQ(typed(u"nut"_s, LookupComboText::Keep), u"Nut|O'Brien Nut [  ]"_s);
    EXPECT_EQ(typed(QString(), LookupComboText::Keep), u"Bolt|Nut|螺钉|O'Brien Nut|bolt washer [  ]"_s);
    ASSERT_TRUE(FilterLookupList(products, &combo, u"FName"_s, u"b"_s, u"FName"_s, QString(), u" "_s));
    EXPECT_EQ(itemsOf(combo), u"Bolt|O'Brien Nut|bolt washer"_s) << "blank field names are left out";
}

TEST_F(LookupLists, TheNumberCellSearchesOneFieldAndListsTheDisplayForm)
{
    const auto number = [this](const QString &text) {
        EXPECT_TRUE(FilterLookupList(products, &combo, u"FCNo"_s, text, u"FNo"_s));
        return itemsOf(combo);
    };
    EXPECT_EQ(number(u"0"_s), u"[A01]Bolt|[B02]Nut|[C03]O'Brien Nut"_s);
    EXPECT_EQ(number(u"bolt"_s), QString()) << "names are not searched by the number cell";
    EXPECT_EQ(number(u" "_s), u"[A01]Bolt|[B02]Nut||[C03]O'Brien Nut|"_s);
    EXPECT_EQ(combo.currentText(), u"螺"_s);

    TLocalDataSet closed;
    combo.clear();
    EXPECT_FALSE(FilterLookupList(closed, &combo, u"FName"_s, u"a"_s, u"FName"_s, QString(), QString()));
    EXPECT_FALSE(FilterLookupList(closed, &combo, u"FName"_s, u"a"_s, u"FName"_s));
    EXPECT_EQ(combo.count(), 0);
}

TEST_F(LookupLists, FillReadsTheRowsAgainWithoutFilterAfterTheFirstItem)
{
    products.setFilter(u"FName like '%nut%'"_s);
    products.setFiltered(true);
    ExecScript(u"insert into t_comProducts(FID,FNo,FName,FCode) values (6,'D04','垫片','DP')"_s);
    combo.setEditText(u"Bo"_s);
    ASSERT_TRUE(FillLookupList(&combo, u"FName"_s, products, u"全部"_s));
    EXPECT_EQ(itemsOf(combo), u"全部|Bolt|Nut|螺钉|O'Brien Nut|bolt washer|垫片"_s);
    EXPECT_TRUE(products.filter().isEmpty());
    EXPECT_FALSE(products.isFiltered());
    EXPECT_EQ(combo.currentText(), u"Bo"_s) << "the text in the edit survives the refill";

    ASSERT_TRUE(FillLookupList(&combo, u"FCNo"_s, products, LookupFilter{u"FCNO <> ''"_s}));
    EXPECT_EQ(itemsOf(combo), u"[A01]Bolt|[B02]Nut|[C03]O'Brien Nut|[D04]垫片"_s);
    EXPECT_FALSE(FillLookupList(&combo, u"FCNo"_s, products, LookupFilter{u"FNo = 'ZZZ'"_s}));
    EXPECT_EQ(combo.count(), 4) << "no rows left: the list stays";
}

TEST_F(LookupLists, FillFromAnEmptyDataSetNeedsAFirstItem)
{
    TDataSet query(Db());
    query.open(u"select FNo,FName,FCode from t_comUnit where 1=1"_s);
    TLocalDataSet units;
    units.load(query);
    ASSERT_TRUE(units.isActive());
    combo.addItem(u"旧"_s);
    EXPECT_FALSE(FillLookupList(&combo, u"FName"_s, units));
    EXPECT_EQ(itemsOf(combo), u"旧"_s);
    EXPECT_TRUE(FillLookupList(&combo, u"FName"_s, units, u"全部"_s));
    EXPECT_EQ(itemsOf(combo), u"全部"_s);

    ExecScript(u"insert into t_comUnit(FID,FNo,FName,FCode) values (1,'01','件','J')"_s);
    units.refresh();
    EXPECT_EQ(units.recordCount(), 1) << "refresh runs the statement the rows were loaded with";
    EXPECT_TRUE(FillLookupList(&combo, u"FName"_s, units));
    EXPECT_EQ(itemsOf(combo), u"件"_s);
}

} // namespace
