// Writing the grid's lines into the line table, by the bill type's rules.
#include "billedit/model/save_lines.h"

#include "core/db_actions.h"
#include "core/sql_helpers.h"
#include "line_cells.h"
#include "test_db.h"

using namespace protask;
using protask::testing::ExecScript;
using protask::testing::LineOf;
using namespace Qt::StringLiterals;

namespace {

QString rows(const QString &sql)
{
    TDataSet q(Db());
    q.open(sql);
    QStringList out;
    for (q.first(); !q.eof(); q.next()) {
        QStringList cells;
        for (int c = 0; c < q.fieldCount(); ++c)
            cells << q.value(q.recNo(), c).toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out.join(QLatin1Char(';'));
}

class SaveLinesTest : public protask::testing::DatabaseTest {
protected:
    bool save(const QList<LineValues> &lines, SaveLinesContext c)
    {
        bool ok = false;
        const TransactionResult r = RunTransaction(Db(), [&] { return ok = SaveLines(lines, c, Db()); });
        return ok && r.committed;
    }
    SaveLinesContext purchase{3002, 7, false, u"t_PurList"_s, u"进货单"_s, 2, 2, 2, true, 1, {}};
};

TEST_F(SaveLinesTest, LinesAreNumberedInGridOrderAndKeepTheirRowsOnTheNextSave)
{
    ExecScript(u"insert into t_PurList(FID, FFormID, FSID) values (40, 9, 1)"_s);
    const QList<LineValues> lines = {
        LineOf(u"FProductName=O'Neil\\五金 100%_😀;FUnitName=个;FNumber=2.004;FPrice=10.004;FAmount=20.05;FTaxRate=13;"
               "FTaxPrice=11.3;FBatchNo1=B-1;FKFDate=2026-01-15;FNote=a'b"_s),
        LineOf(u"FProductName=  ;FNumber=5"_s), LineOf(u"FProductName=螺丝;FNumber=3;FIsPresent=1"_s)};
    ASSERT_TRUE(save(lines, purchase));
    EXPECT_EQ(rows(u"select FID, FSID, FNumber + 0, FPrice + 0, FAmount + 0, FTaxRate + 0, FTaxPrice + 0, "
                   "FIsPresent, FBatchNo1, FKFDate, FNote from t_PurList where FFormID = 7 order by FSID"_s),
              u"41|1|2|10|20.05|13|11.3|0|B-1|2026-01-15|a'b;42|2|3|0|0|0|0|1|||"_s)
        << "the blank line is skipped, keys follow the largest one, values rounded";
    EXPECT_EQ(rows(u"select P.FName, U.FName from t_PurList L join t_comProducts P on P.FID = L.FProductID "
                   "left join t_comUnit U on U.FID = L.FUnitID where L.FFormID = 7 order by L.FSID"_s),
              u"O'Neil\\五金 100%_😀|个;螺丝|"_s)
        << "products are made on the fly, names exactly as typed";

    // Saved again without the first line: the second takes number 1 and its row, the rest goes.
    purchase.savedBill = true;
    ASSERT_TRUE(save({lines.at(2)}, purchase));
    EXPECT_EQ(rows(u"select FID, FSID, FIsPresent from t_PurList where FFormID = 7"_s), u"41|1|1"_s);
    ASSERT_TRUE(save({}, purchase));
    EXPECT_EQ(rows(u"select count(*) from t_PurList where FFormID = 7"_s), u"0"_s);
    EXPECT_EQ(rows(u"select count(*) from t_PurList where FFormID = 9"_s), u"1"_s) << "other bills keep their lines";
}

TEST_F(SaveLinesTest, TheTaskWritesItsOwnFieldsAndNoPrices)
{
    SaveLinesContext task{3049, 3, false, u"t_ProTaskList"_s, u"生产任务单"_s, 2, 2, 2, true, 1, {}};
    task.lineFields = [](int, const LineValues &line, LineCells &cells) {
        cells.append({u"FSingleNumber"_s, line.number(u"FSingleNumber"_s)});
        cells.append({u"FNumber"_s, line.number(u"FNumber"_s)});
        return line.number(u"FNumber"_s) >= 0;
    };
    const LineValues board = LineOf(u"FProductName=板材;FNumber=20;FSingleNumber=2;FPrice=9;FBatchNo2=X"_s);
    ASSERT_TRUE(save({board}, task));
    EXPECT_EQ(rows(u"select FSingleNumber + 0, FNumber + 0, IfNull(FPrice, 'none') from t_ProTaskList"_s),
              u"2|20|none"_s);

    // The editor's own fields refuse: nothing of the save stays.
    LineValues negative = board;
    negative.set(u"FNumber"_s, -1);
    EXPECT_FALSE(save({board, negative}, task));
    EXPECT_EQ(rows(u"select count(*) from t_ProTaskList"_s), u"1"_s);
}

TEST_F(SaveLinesTest, AServerErrorIsLoggedAndReachesTheAction)
{
    purchase.lineTable = u"t_NoSuchList"_s;
    const LineValues line = LineOf(u"FProductName=螺丝"_s);
    const TransactionResult r = RunTransaction(Db(), [&] { return SaveLines({line}, purchase, Db()); });
    ASSERT_TRUE(r.error.has_value());
    EXPECT_EQ(r.error->code(), 1146);
}

} // namespace
