#include "posting/batch_steps.h"

#include "platform/nv_dm_base.h"
#include "posting_test_util.h"

#include <tuple>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

// The world without its batch rows.
class BatchSteps : public PostingTest {
protected:
    void SetUp() override
    {
        PostingTest::SetUp();
        Exec("delete from t_comProductBatchNo");
    }
};

bool purchaseIn(int billId, int sign)
{
    return UpdateBatchNoIn("t_PurForm", "T_PurList", QString::number(billId), "FTobeDiscountAmount", "FNumber", "FID",
                           "FProductID", "FStorehouseID", sign);
}

// Lines add base quantities and amounts per batch row (storehouse, product, number, production and
// expiry date); a new row takes its lines' longest shelf life, an existing one keeps its own.
TEST_F(BatchSteps, IncomingLinesAddBaseQuantitiesAndAmountsToOneRowPerBatch)
{
    const BatchData a1{"A1", "2024-01-10", "365", "2025-01-09"};
    const auto shelf = [](const char *batchNo, const char *period) {
        return BatchData{batchNo, "2024-01-10", period, "2024-12-31"};
    };
    AddBatch(1, kAssembled, {}, 6); // without number or dates: nulls
    AddBatch(2, kBatch, a1, 50);
    AddBatch(1, kBatch, shelf("S1", "90"), 10);
    SeedBill(3002, "t_PurForm", "t_PurList", 1, {{"FStorehouseID", 1}},
             {Line(kBatch, kUnitPiece, 10, 10, a1), Line(kBatch, kUnitBox, 2, 25, a1),
              Line(kBatch, kUnitPiece, 5, 4, {"A2"}), Line(kBatch, kUnitPiece, -3, 10, a1),
              Line(kPlain, kUnitPiece, 7, 10, a1), Line(kAssembled, kUnitPiece, 4, 2),
              Line(kBatch, kUnitPiece, 5, 10, shelf("S1", "30")), Line(kBatch, kUnitPiece, 7, 10, shelf("S1", "60")),
              Line(kBatch, kUnitPiece, 5, 10, shelf("S2", "30")), Line(kBatch, kUnitPiece, 7, 10, shelf("S2", "60"))});
    SeedBill(3002, "t_PurForm", "t_PurList", 2, {{"FStorehouseID", 1}}, {Line(kBatch, kUnitPiece, 1, 10, a1)});

    ASSERT_TRUE(purchaseIn(1, 1));
    ASSERT_TRUE(purchaseIn(2, 1));
    EXPECT_EQ(BatchRows(1, kBatch),
              "S1 2024-01-10 90 2024-12-31 = 22/120\nA1 2024-01-10 365 2025-01-09 = 35/160\n"
              "A2 - - - = 5/20\nS2 2024-01-10 60 2024-12-31 = 12/120");
    EXPECT_EQ(BatchRows(1, kAssembled), "<null> - - - = 10/8");
    EXPECT_EQ(BatchRows(2, kBatch), "A1 2024-01-10 365 2025-01-09 = 50/0");
    EXPECT_EQ(BatchRows(1, kPlain), "");

    ASSERT_TRUE(purchaseIn(1, -1));
    EXPECT_EQ(BatchRows(1, kBatch),
              "S1 2024-01-10 90 2024-12-31 = 10/0\nA1 2024-01-10 365 2025-01-09 = 1/10\n"
              "A2 - - - = 0/0\nS2 2024-01-10 60 2024-12-31 = 0/0");
    EXPECT_EQ(BatchRows(1, kAssembled), "<null> - - - = 6/0");
}

// The uncheck of an incoming bill or the check of a purchase return that would drive a batch
// negative is refused or, with the warning switch alone, asked about.
TEST_F(BatchSteps, TheNegativeBatchStockTestRefusesAsksOrPasses)
{
    const BatchData k1{"K1", "2024-01-01", {}, "2024-12-31"};
    AddBatch(1, kBatch, k1, 5);
    const auto shown = [this] {
        QStringList out;
        for (const ScriptedPrompter::Entry &e : prompter.entries())
            out << QString::number(int(e.kind)) + (e.question ? "? " : " ") + e.text;
        prompter.clear();
        return out.join('\n').toStdString();
    };
    // Each bill would take 8 of the batch's 5; its line of the plain product does not count.
    const std::tuple<bool, int, QString, QString, double> bills[] = {
        {false, 3002, "t_PurForm", "t_PurList", 8},
        {true, 3015, "t_PurForm", "t_PurList", -8},
        {false, 3019, "t_OtherOutInForm", "t_OtherOutInList", 8},
        {false, 3021, "t_LossGainForm", "t_LossGainList", 8},
    };
    HostSwitches &switches = nvDMBase::instance().switches;
    switches.forbidNegativeBatchStock = switches.warnNegativeBatchStock = true;
    for (int id = 1; const auto &[onCheck, type, form, list, number] : bills) {
        SeedBill(type, form, list, id, {{"FStorehouseID", 1}},
                 {Line(kBatch, kUnitPiece, number, 0, k1), Line(kPlain, kUnitPiece, number * 10, 0, k1)});
        EXPECT_FALSE(onCheck ? CheckBatchNoStockOnCheck(type, id) : CheckBatchNoStockOnUnCheck(type, id)) << type;
        EXPECT_EQ(shown(), "1 商品[胶水]批次库存不足");
        ++id;
    }
    switches.forbidNegativeBatchStock = false;
    prompter.queueAnswer(true);
    prompter.queueAnswer(false);
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3002, 1));
    EXPECT_FALSE(CheckBatchNoStockOnCheck(3015, 2));
    EXPECT_EQ(
        shown(),
        "1? 商品[胶水]批次库存不足,是否允许负批次库存继续执行?\n1? 商品[胶水]批次库存不足,是否允许负批次库存继续执行?");
    switches.warnNegativeBatchStock = false;
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3019, 3));
    // Other bill types and sides pass, and so does a batch that suffices.
    switches.forbidNegativeBatchStock = true;
    EXPECT_TRUE(CheckBatchNoStockOnCheck(3002, 1));
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3015, 2));
    EXPECT_TRUE(CheckBatchNoStockOnCheck(3004, 1));
    Exec("update t_comProductBatchNo set FNumber = 8");
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3002, 1));
    EXPECT_EQ(shown(), "");
}

// Rows in FID order as "store product batch kfdate period expiry number".
const char *const kRowsQuery =
    "select concat_ws(' ', FStorehouseID, FProductID, IfNull(FBatchNo1,'<null>'), IfNull(FKFDate,'-'), "
    "IfNull(FKFPeriod,'-'), IfNull(FPeriodDate,'-'), FNumber + 0e0) from t_comProductBatchNo order by FID";

TEST_F(BatchSteps, OutgoingLinesTakeTheirOwnBatchThenTheOldestThenBookTheShortageAndGiveItAllBack)
{
    Exec("insert into t_comProductUnit(FProductID, FSID, FUnitID, FRatio) values (2, 3, 4, 2.5)"); // a pack: 2.5
    const BatchData a30{"A", "2024-01-01", "30", "2024-12-31"};
    const std::tuple<int, int, BatchData, double> rows[] = {
        {1, kBatch, {"A", "2024-03-01", "30", "2024-12-31"}, 1}, // 1: the same number, another production date
        {1, kBatch, a30, 4},                                     // 2: the first line's own batch
        {1, kBatch, {"A", "2024-01-01", "30", "2025-12-31"}, 5}, // 3: the same batch, a later row
        {1, kBatch, {"", "2024-01-01"}, 1.5},                    // 4: a null batch number sorts first
        {1, kBatch, {"", "2024-01-01", {}, "2024-12-31"}, 2},    // 5: then a blank one (set below)
        {1, kBatch, {"A", "2024-01-01", "60", "2025-06-30"}, 3}, // 6: the same batch, another shelf life
        {1, kBatch, {"B", "2024-02-01"}, 0},                     // 7: empty: passed over, takes a shortage
        {1, kBatch, {"C"}, 0.5},                                 // 8: no production date: the oldest
        {2, kBatch, {"A", "2023-01-01"}, 10},                    // 9: another storehouse
        {1, kAssembled, {"A", "2023-01-01"}, 10},                // 10: another product
        {1, kBatch, {"E", "2023-06-01"}, -1},                    // 11: negative: passed over
        {1, kBatch, {"N", "2024-03-01", {}, "2025-03-31"}, 0},   // 12: N of another expiry date
    };
    QList<int> ids;
    for (const auto &[store, product, batch, number] : rows)
        ids << AddBatch(store, product, batch, number);
    Exec(Sql("update t_comProductBatchNo set FBatchNo1 = '' where FID = %1", ids[4]));
    const std::string before = Rows(kRowsQuery);
    const BatchData n{"N", "2024-03-01", {}, "2024-09-30"};
    const QList<QVariantMap> bills[] = {
        // Two lines compete in one bill: the second finds what the first left.
        {Line(kBatch, kUnitPiece, 6, 0, {"a ", "2024-01-01", "30"}),
         Line(kBatch, kUnitPiece, 4.25, 0, {"A", "2024-01-01", "60", "2025-06-30"})},
        // A box of 12, and lines that take nothing: none, a returned one and one without batches.
        {Line(kBatch, kUnitBox, 1, 0, {"B", "2024-02-01", "90"}), Line(kBatch, kUnitPiece, 0, 0, a30),
         Line(kBatch, kUnitPiece, -2, 0, a30), Line(kPlain, kUnitPiece, 5)},
        // Without a unit row the quantity counts as entered; the second line's shortage goes onto
        // the row the first created.
        {Line(kBatch, kUnitCarton, 2, 0, n), Line(kBatch, kUnitCarton, 1, 0, n)},
        {Line(kBatch, kUnitPack, 0.25, 0, {"n", "2024-03-01", {}, "2024-09-30"})},
        {Line(kAssembled, kUnitBox, 1)},
    };
    for (int bill = 1; bill <= 5; ++bill) {
        SeedBill(3004, "t_SaleOutForm", "t_SaleOutList", bill, {{"FStorehouseID", 1}}, bills[bill - 1]);
        ASSERT_TRUE(SaleOutBatches(bill, -1)) << bill;
    }
    // bill list row batch kfdate period expiry number: own and shortage takes carry the line's batch
    // data, the others the row's.
    EXPECT_EQ(Rows("select concat_ws(' ', FBillID, FListID, (select count(*) from t_comProductBatchNo B where B.FID "
                   "<= O.FFromID), FBatchNo1, IfNull(FKFDate,'-'), FKFPeriod, IfNull(FPeriodDate,'-'), FNumber + 0e0) "
                   "from t_comProductOutBatchNo O order by FBillID, FListID, FOutID"),
              "1 1001 2 a  2024-01-01 30 - 4\n"
              "1 1001 8 C - 0 - 0.5\n"
              "1 1001 4  2024-01-01 0 - 1.5\n"
              "1 1002 6 A 2024-01-01 60 2025-06-30 3\n"
              "1 1002 5  2024-01-01 0 2024-12-31 1.25\n"
              "2 2001 5  2024-01-01 0 2024-12-31 0.75\n"
              "2 2001 3 A 2024-01-01 30 2025-12-31 5\n"
              "2 2001 1 A 2024-03-01 30 2024-12-31 1\n"
              "2 2001 7 B 2024-02-01 90 - 5.25\n"
              "3 3001 13 N 2024-03-01 0 2024-09-30 2\n"
              "3 3002 13 N 2024-03-01 0 2024-09-30 1\n"
              "4 4001 13 n 2024-03-01 0 2024-09-30 0.625\n"
              "5 5001 10 A 2023-01-01 0 - 10\n"
              "5 5001 14  - 0 - 2");
    EXPECT_EQ(Rows("select count(*) from t_comProductOutBatchNo where FTypeID = 3004 and FBillNo = concat('T3004-', "
                   "FBillID) and FBillDate = '2026-12-05' and FStorehouseID = 1 and FPrice = 0 and FAmount = 0"),
              "14");
    // Meanwhile a receipt adds 6 to the third row and a bill of another type with the first bill's
    // ID takes 1 of the blank batch: the release puts back exactly what each bill took.
    Exec(Sql("update t_comProductBatchNo set FNumber = FNumber + 6 where FID = %1", ids[2]));
    Exec(Sql("insert into t_comProductOutBatchNo(FFromID, FTypeID, FBillID, FNumber) values (%1, 3020, 1, 1)", ids[4]));
    for (int bill = 1; bill <= 5; ++bill)
        ASSERT_TRUE(SaleOutBatches(bill, 1)) << bill;
    QString restored = QString::fromStdString(before);
    restored.replace("1 2 A 2024-01-01 30 2025-12-31 5", "1 2 A 2024-01-01 30 2025-12-31 11");
    EXPECT_EQ(Rows(kRowsQuery), (restored + "\n1 2 N 2024-03-01 0 2024-09-30 0\n1 3  - 0 - 0").toStdString());
    EXPECT_EQ(Rows("select concat_ws(' ', FTypeID, FBillID, FNumber + 0e0) from t_comProductOutBatchNo"), "3020 1 1");
}

} // namespace
