// Writing the grid's lines into the line table, by the bill type's rules.
#include "billedit/model/save_lines.h"

#include "core/db_actions.h"
#include "core/sql_helpers.h"
#include "test_db.h"

#include <gtest/gtest.h>

using namespace protask;
using protask::testing::ExecScript;

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
    SaveLinesContext purchase{3002, 7, false, QStringLiteral("t_PurList"), QStringLiteral("进货单"), 2, 2, 2,
                              true, 1, {}};
};

TEST_F(SaveLinesTest, LinesAreNumberedInGridOrderAndKeepTheirRowsOnTheNextSave)
{
    ExecScript(QStringLiteral("insert into t_PurList(FID, FFormID, FSID) values (40, 9, 1)"));
    const QList<LineValues> lines = {
        {{QStringLiteral("FProductName"), QStringLiteral("O'Neil\\五金 100%_😀")},
         {QStringLiteral("FUnitName"), QStringLiteral("个")},
         {QStringLiteral("FNumber"), 2.004},
         {QStringLiteral("FPrice"), 10.004},
         {QStringLiteral("FAmount"), 20.05},
         {QStringLiteral("FTaxRate"), 13},
         {QStringLiteral("FTaxPrice"), 11.3},
         {QStringLiteral("FBatchNo1"), QStringLiteral("B-1")},
         {QStringLiteral("FKFDate"), QStringLiteral("2026-01-15")},
         {QStringLiteral("FNote"), QStringLiteral("a'b")}},
        {{QStringLiteral("FProductName"), QStringLiteral("  ")}, {QStringLiteral("FNumber"), 5}},
        {{QStringLiteral("FProductName"), QStringLiteral("螺丝")},
         {QStringLiteral("FNumber"), 3},
         {QStringLiteral("FIsPresent"), true}}};
    ASSERT_TRUE(save(lines, purchase));
    EXPECT_EQ(
        rows(QStringLiteral("select FID, FSID, FNumber + 0, FPrice + 0, FAmount + 0, FTaxRate + 0, FTaxPrice + 0, "
                            "FIsPresent, FBatchNo1, FKFDate, FNote from t_PurList where FFormID = 7 order by FSID"))
            .toStdString(),
        "41|1|2|10|20.05|13|11.3|0|B-1|2026-01-15|a'b;42|2|3|0|0|0|0|1|||")
        << "the blank line is skipped, keys follow the largest one, values rounded";
    EXPECT_EQ(
        rows(QStringLiteral("select P.FName, U.FName from t_PurList L join t_comProducts P on P.FID = L.FProductID "
                            "left join t_comUnit U on U.FID = L.FUnitID where L.FFormID = 7 order by L.FSID"))
            .toStdString(),
        "O'Neil\\五金 100%_😀|个;螺丝|")
        << "products are made on the fly, names exactly as typed";

    // Saved again without the first line: the second takes number 1 and its row, the rest goes.
    purchase.savedBill = true;
    ASSERT_TRUE(save({lines.at(2)}, purchase));
    EXPECT_EQ(rows(QStringLiteral("select FID, FSID, FIsPresent from t_PurList where FFormID = 7")).toStdString(),
              "41|1|1");
    ASSERT_TRUE(save({}, purchase));
    EXPECT_EQ(rows(QStringLiteral("select count(*) from t_PurList where FFormID = 7")).toStdString(), "0");
    EXPECT_EQ(rows(QStringLiteral("select count(*) from t_PurList where FFormID = 9")).toStdString(), "1")
        << "other bills keep their lines";
}

TEST_F(SaveLinesTest, TheTaskWritesItsOwnFieldsAndNoPrices)
{
    SaveLinesContext task{3049, 3, false, QStringLiteral("t_ProTaskList"), QStringLiteral("生产任务单"), 2, 2, 2,
                          true, 1, {}};
    task.lineFields = [](int, const LineValues &line, LineCells &cells) {
        cells.append({QStringLiteral("FSingleNumber"), line.number(QStringLiteral("FSingleNumber"))});
        cells.append({QStringLiteral("FNumber"), line.number(QStringLiteral("FNumber"))});
        return line.number(QStringLiteral("FNumber")) >= 0;
    };
    const LineValues board{{QStringLiteral("FProductName"), QStringLiteral("板材")},
                           {QStringLiteral("FNumber"), 20},
                           {QStringLiteral("FSingleNumber"), 2},
                           {QStringLiteral("FPrice"), 9},
                           {QStringLiteral("FBatchNo2"), QStringLiteral("X")}};
    ASSERT_TRUE(save({board}, task));
    EXPECT_EQ(rows(QStringLiteral("select FSingleNumber + 0, FNumber + 0, IfNull(FPrice, 'none') from t_ProTaskList"))
                  .toStdString(),
              "2|20|none");

    // The editor's own fields refuse: nothing of the save stays.
    LineValues negative = board;
    negative.set(QStringLiteral("FNumber"), -1);
    EXPECT_FALSE(save({board, negative}, task));
    EXPECT_EQ(rows(QStringLiteral("select count(*) from t_ProTaskList")).toStdString(), "1");
}

TEST_F(SaveLinesTest, AServerErrorIsLoggedAndReachesTheAction)
{
    purchase.lineTable = QStringLiteral("t_NoSuchList");
    const LineValues line{{QStringLiteral("FProductName"), QStringLiteral("螺丝")}};
    const TransactionResult r = RunTransaction(Db(), [&] { return SaveLines({line}, purchase, Db()); });
    ASSERT_TRUE(r.error.has_value());
    EXPECT_EQ(r.error->code(), 1146);
}

} // namespace
