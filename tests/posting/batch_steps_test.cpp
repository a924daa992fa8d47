#include "posting/batch_steps.h"

#include "batch_test_util.h"
#include "platform/nv_dm_base.h"
#include "posting/posting_common.h"
#include "platform/prompter.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace protask;
using namespace protask::batchtest;

namespace {

// Row lists compare as text so that a failure shows them.
std::string lines(const QStringList &rows) { return rows.join(QLatin1Char('\n')).toStdString(); }

class BatchStepsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        protask::testing::EmptyAllTables();
        SeedProductsAndStorehouses();
        savedSwitches = nvDMBase::instance().switches;
        scope = std::make_unique<PrompterScope>(prompter);
    }
    void TearDown() override { nvDMBase::instance().switches = savedSwitches; }

    // Batch rows of a storehouse and product as "batch kfdate period expiry = number/amount".
    static std::string batchRows(int storehouse, int product)
    {
        TDataSet q(Db());
        q.open(QStringLiteral("select IfNull(FBatchNo1,'<null>') as b, IfNull(NullIf(DATE_FORMAT(FKFDate,'%Y-%m-%d'),'0000-00-00'),'-') as k, "
                              "IfNull(FKFPeriod,'-') as p, IfNull(NullIf(DATE_FORMAT(FPeriodDate,'%Y-%m-%d'),'0000-00-00'),'-') as e, "
                              "FNumber + 0 as n, IfNull(FAmount,0) + 0 as a from t_comProductBatchNo "
                              "where FStorehouseID = %1 and FProductID = %2 order by FID")
                   .arg(storehouse)
                   .arg(product));
        QStringList rows;
        for (q.first(); !q.eof(); q.next())
            rows << QStringLiteral("%1 %2 %3 %4 = %5/%6")
                        .arg(q.fieldByName("b").toString(), q.fieldByName("k").toString(), q.fieldByName("p").toString(),
                             q.fieldByName("e").toString())
                        .arg(q.fieldByName("n").toDouble())
                        .arg(q.fieldByName("a").toDouble());
        return lines(rows);
    }

    // Out-batch records of a bill in the order they were written: "fromID list batch kfdate period expiry number".
    static std::string outRecords(int billId, int typeId = 3004)
    {
        TDataSet q(Db());
        q.open(QStringLiteral("select FFromID, FListID, FBatchNo1, IfNull(NullIf(DATE_FORMAT(FKFDate,'%Y-%m-%d'),'0000-00-00'),'-') as k, "
                              "IfNull(FKFPeriod,'-') as p, IfNull(NullIf(DATE_FORMAT(FPeriodDate,'%Y-%m-%d'),'0000-00-00'),'-') as e, FNumber + 0 as n "
                              "from t_comProductOutBatchNo where FBillID = %1 and FTypeID = %2 order by FOutID")
                   .arg(billId)
                   .arg(typeId));
        QStringList rows;
        for (q.first(); !q.eof(); q.next())
            rows << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                        .arg(q.fieldByName("FFromID").toInt())
                        .arg(q.fieldByName("FListID").toInt())
                        .arg(q.fieldByName("FBatchNo1").toString(), q.fieldByName("k").toString(),
                             q.fieldByName("p").toString(), q.fieldByName("e").toString())
                        .arg(q.fieldByName("n").toDouble());
        return lines(rows);
    }

    static bool saleOut(int billId, int sign)
    {
        return UpdateBatchNoOut(3004, QStringLiteral("t_SaleOutForm"), QStringLiteral("T_SaleOutList"), QStringLiteral("FNumber"),
                                QStringLiteral("FID"), QStringLiteral("FProductID"), QStringLiteral("FStorehouseID"), sign,
                                QString::number(billId));
    }

    static bool purchaseIn(int billId, int sign)
    {
        return UpdateBatchNoIn(QStringLiteral("t_PurForm"), QStringLiteral("T_PurList"), QString::number(billId),
                               QStringLiteral("FTobeDiscountAmount"), QStringLiteral("FNumber"), QStringLiteral("FID"),
                               QStringLiteral("FProductID"), QStringLiteral("FStorehouseID"), sign);
    }

    HostSwitches savedSwitches;
    ScriptedPrompter prompter;
    std::unique_ptr<PrompterScope> scope;
};

const BatchData kA1{QStringLiteral("A1"), QStringLiteral("2024-01-10"), QStringLiteral("365"), QStringLiteral("2025-01-09")};

TEST_F(BatchStepsTest, IncomingLinesAddBaseQuantitiesToOneRowPerBatch)
{
    AddBatch(1, kSecondBatchProduct, QString(), QString(), 6); // a batch without number or dates, stored as nulls
    AddBatch(2, kBatchProduct, QStringLiteral("A1"), QStringLiteral("2024-01-10"), 50, QStringLiteral("2025-01-09"), QStringLiteral("365"));
    AddHeader(QStringLiteral("t_PurForm"), 1, 3002, QStringLiteral("JH-1"), QStringLiteral("2024-03-01"), 1);
    AddLine(QStringLiteral("t_PurList"), 11, 1, kBatchProduct, kPiece, 10, kA1, 100);
    AddLine(QStringLiteral("t_PurList"), 12, 1, kBatchProduct, kBox, 2, kA1, 50); // 24 pieces
    AddLine(QStringLiteral("t_PurList"), 13, 1, kBatchProduct, kPiece, 5, {QStringLiteral("A2"), {}, {}, {}}, 20);
    AddLine(QStringLiteral("t_PurList"), 14, 1, kBatchProduct, kPiece, -3, kA1, -30);  // a returned line
    AddLine(QStringLiteral("t_PurList"), 15, 1, kPlainProduct, kPiece, 7, kA1, 70);    // no batches kept
    AddLine(QStringLiteral("t_PurList"), 16, 1, kSecondBatchProduct, kPiece, 4, {}, 8); // matches the null row
    AddHeader(QStringLiteral("t_PurForm"), 2, 3002, QStringLiteral("JH-2"), QStringLiteral("2024-03-02"), 1);
    AddLine(QStringLiteral("t_PurList"), 21, 2, kBatchProduct, kPiece, 1, kA1, 10);

    ASSERT_TRUE(purchaseIn(1, 1));
    ASSERT_TRUE(purchaseIn(2, 1));
    EXPECT_EQ(batchRows(1, kBatchProduct), lines({QStringLiteral("A1 2024-01-10 365 2025-01-09 = 35/160"),
                                                        QStringLiteral("A2 - - - = 5/20")}));
    EXPECT_EQ(batchRows(1, kSecondBatchProduct), lines({QStringLiteral("<null> - - - = 10/8")}));
    EXPECT_EQ(batchRows(2, kBatchProduct), lines({QStringLiteral("A1 2024-01-10 365 2025-01-09 = 50/0")}))
        << "another storehouse's batch of the same number stays apart";
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductBatchNo"), QStringLiteral("FProductID = 2")), 0);

    // Taking the first bill back leaves the rows in place.
    ASSERT_TRUE(purchaseIn(1, -1));
    EXPECT_EQ(batchRows(1, kBatchProduct), lines({QStringLiteral("A1 2024-01-10 365 2025-01-09 = 1/10"),
                                                        QStringLiteral("A2 - - - = 0/0")}));
    EXPECT_EQ(batchRows(1, kSecondBatchProduct), lines({QStringLiteral("<null> - - - = 6/0")}));
}

TEST_F(BatchStepsTest, LinesOfOneBatchWithTwoShelfLivesPostToOneRow)
{
    // Shelf lives 30 and 60 of one batch: 5 and 7 pieces, amounts 50 and 70.
    struct Case {
        const char *what;
        bool rowExists;
        QString afterCheck;
        QString afterUnCheck;
    };
    const Case cases[] = {
        {"the bill creates the row, with the longer shelf life", false, QStringLiteral("S1 2024-01-10 60 2024-12-31 = 12/120"),
         QStringLiteral("S1 2024-01-10 60 2024-12-31 = 0/0")},
        {"the row was there", true, QStringLiteral("S1 2024-01-10 90 2024-12-31 = 22/120"),
         QStringLiteral("S1 2024-01-10 90 2024-12-31 = 10/0")},
    };
    int billId = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Exec(QStringLiteral("delete from t_comProductBatchNo"));
        if (c.rowExists)
            AddBatch(1, kBatchProduct, QStringLiteral("S1"), QStringLiteral("2024-01-10"), 10, QStringLiteral("2024-12-31"), QStringLiteral("90"));
        ++billId;
        AddHeader(QStringLiteral("t_PurForm"), billId, 3002, QStringLiteral("JH-%1").arg(billId), QStringLiteral("2024-03-01"), 1);
        for (const auto &[n, period, number] : {std::tuple{1, "30", 5}, std::tuple{2, "60", 7}})
            AddLine(QStringLiteral("t_PurList"), billId * 10 + n, billId, kBatchProduct, kPiece, number,
                    {QStringLiteral("S1"), QStringLiteral("2024-01-10"), QLatin1String(period), QStringLiteral("2024-12-31")}, number * 10);

        ASSERT_TRUE(purchaseIn(billId, 1));
        EXPECT_EQ(batchRows(1, kBatchProduct), lines({c.afterCheck}));
        ASSERT_TRUE(purchaseIn(billId, -1));
        EXPECT_EQ(batchRows(1, kBatchProduct), lines({c.afterUnCheck}));
    }
}

TEST_F(BatchStepsTest, AssemblyHeaderAndLinesPostIncomingBatchesFromTheirOwnRows)
{
    // Assembly: the assembled product comes in by the header (its own storehouse, box unit).
    Exec(QStringLiteral("insert into t_AssemblyForm(FID, FTypeID, FBillNo, FBillDate, FProductID, FUnitID, FNumber, FAmount, "
                        "FStorehouseID, FBatchNo1, FKFDate, FKFPeriod, FPeriodDate) "
                        "values (1, 3025, 'ZZ-1', '2024-03-01', 1, 2, 1, 240, 2, 'ASM', '2024-03-01', 30, '2024-03-31')"));
    ASSERT_TRUE(UpdateBatchNoInByTable(QStringLiteral("t_AssemblyForm"), QStringLiteral("1"), 1, QStringLiteral("FAmount"),
                                       QStringLiteral("FNumber"), QStringLiteral("FID"), QStringLiteral("FProductID"),
                                       QStringLiteral("FStorehouseID")));
    EXPECT_EQ(batchRows(2, kBatchProduct), lines({QStringLiteral("ASM 2024-03-01 30 2024-03-31 = 12/240")}));

    // Dismantling: the components come in by the lines, each into the storehouse it names.
    AddHeader(QStringLiteral("t_AssemblyForm"), 2, 3026, QStringLiteral("CX-1"), QStringLiteral("2024-03-02"), 1);
    AddLine(QStringLiteral("t_AssemblyList"), 21, 2, kBatchProduct, kPiece, 3, {QStringLiteral("C1"), {}, {}, {}}, 30, 1);
    AddLine(QStringLiteral("t_AssemblyList"), 22, 2, kSecondBatchProduct, kPiece, 2, {QStringLiteral("C2"), {}, {}, {}}, 4, 2);
    AddLine(QStringLiteral("t_AssemblyList"), 23, 2, kPlainProduct, kPiece, 5, {QStringLiteral("C3"), {}, {}, {}}, 5, 1);
    AddLine(QStringLiteral("t_AssemblyList"), 24, 2, kBatchProduct, kPiece, 0, {QStringLiteral("C4"), {}, {}, {}}, 0, 1);
    const auto components = [](int sign) {
        return UpdateBatchNoInByTable(QStringLiteral("t_AssemblyList"), QStringLiteral("2"), sign,
                                      QStringLiteral("FTobeDiscountAmount"), QStringLiteral("FNumber"), QStringLiteral("FFormID"),
                                      QStringLiteral("FProductID"), QStringLiteral("FStorehouseID"));
    };
    ASSERT_TRUE(components(1));
    EXPECT_EQ(batchRows(1, kBatchProduct), lines({QStringLiteral("C1 - - - = 3/30")}));
    EXPECT_EQ(batchRows(2, kSecondBatchProduct), lines({QStringLiteral("C2 - - - = 2/4")}));
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductBatchNo")), 3) << "no row for the plain product or the empty line";

    ASSERT_TRUE(components(-1));
    EXPECT_EQ(batchRows(1, kBatchProduct), lines({QStringLiteral("C1 - - - = 0/0")}));
    EXPECT_EQ(batchRows(2, kSecondBatchProduct), lines({QStringLiteral("C2 - - - = 0/0")}));
}

const BatchData kB2{QStringLiteral("B2"), QStringLiteral("2024-02-01"), QStringLiteral("180"), QStringLiteral("2024-07-30")};

TEST_F(BatchStepsTest, ANamedBatchWithEnoughStockGivesEverythingInBaseUnits)
{
    const int older = AddBatch(1, kBatchProduct, QStringLiteral("B1"), QStringLiteral("2024-01-01"), 20);
    const int own = AddBatch(1, kBatchProduct, QStringLiteral("B2"), QStringLiteral("2024-02-01"), 20, QStringLiteral("2024-07-30"),
                             QStringLiteral("180"));
    AddHeader(QStringLiteral("t_SaleOutForm"), 100, 3004, QStringLiteral("XS-0001"), QStringLiteral("2024-05-06 13:45:00"), 1);
    AddLine(QStringLiteral("T_SaleOutList"), 1001, 100, kBatchProduct, kPiece, 8, kB2);
    AddLine(QStringLiteral("T_SaleOutList"), 1002, 100, kBatchProduct, kBox, 1, kB2); // 12 pieces: exactly what is left

    ASSERT_TRUE(saleOut(100, -1));
    EXPECT_DOUBLE_EQ(BatchStock(own), 0);
    EXPECT_DOUBLE_EQ(BatchStock(older), 20) << "the older batch is not touched while the named one suffices";
    EXPECT_EQ(outRecords(100), lines({QStringLiteral("%1 1001 B2 2024-02-01 180 2024-07-30 8").arg(own),
                                            QStringLiteral("%1 1002 B2 2024-02-01 180 2024-07-30 12").arg(own)}));
    TDataSet q(Db());
    q.open(QStringLiteral("select * from t_comProductOutBatchNo where FListID = 1001"));
    EXPECT_EQ(q.fieldByName("FBillNo").toString().toStdString(), "XS-0001");
    EXPECT_EQ(q.fieldByName("FBillDate").toDateTime(), QDateTime(QDate(2024, 5, 6), QTime(0, 0)));
    EXPECT_EQ(q.fieldByName("FStorehouseID").toInt(), 1);
    EXPECT_EQ(q.fieldByName("FProductID").toInt(), kBatchProduct);
    EXPECT_DOUBLE_EQ(q.fieldByName("FPrice").toDouble(), 0);
    EXPECT_DOUBLE_EQ(q.fieldByName("FAmount").toDouble(), 0);
}

TEST_F(BatchStepsTest, AShortNamedBatchIsEmptiedThenTheOldestBatchesGiveTheRest)
{
    const int own = AddBatch(1, kBatchProduct, QStringLiteral("OWN"), QStringLiteral("2024-02-01"), 3);
    const int late = AddBatch(1, kBatchProduct, QStringLiteral("A-LATE"), QStringLiteral("2024-03-01"), 5, QStringLiteral("2024-09-01"),
                              QStringLiteral("184"));
    const int second = AddBatch(1, kBatchProduct, QStringLiteral("B-2"), QStringLiteral("2024-01-01"), 2);
    const int first = AddBatch(1, kBatchProduct, QStringLiteral("B-1"), QStringLiteral("2024-01-01"), 4);
    const int elsewhere = AddBatch(2, kBatchProduct, QStringLiteral("OLDEST"), QStringLiteral("2023-01-01"), 50);
    const int otherProduct = AddBatch(1, kSecondBatchProduct, QStringLiteral("P3"), QStringLiteral("2023-06-01"), 50);
    const int empty = AddBatch(1, kBatchProduct, QStringLiteral("EMPTY"), QStringLiteral("2023-01-01"), 0);
    const int negative = AddBatch(1, kBatchProduct, QStringLiteral("NEG"), QStringLiteral("2022-01-01"), -5);
    AddHeader(QStringLiteral("t_SaleOutForm"), 100, 3004, QStringLiteral("XS-0002"), QStringLiteral("2024-05-06"), 1);
    AddLine(QStringLiteral("T_SaleOutList"), 1001, 100, kBatchProduct, kPiece, 10, {QStringLiteral("OWN"), QStringLiteral("2024-02-01"), {}, {}});

    ASSERT_TRUE(saleOut(100, -1));
    EXPECT_EQ(outRecords(100), lines({QStringLiteral("%1 1001 OWN 2024-02-01 0 - 3").arg(own),
                                            QStringLiteral("%1 1001 B-1 2024-01-01 0 - 4").arg(first),
                                            QStringLiteral("%1 1001 B-2 2024-01-01 0 - 2").arg(second),
                                            QStringLiteral("%1 1001 A-LATE 2024-03-01 184 2024-09-01 1").arg(late)}))
        << "oldest production date first, then batch number; each take names the batch it came from";
    for (int id : {own, first, second})
        EXPECT_DOUBLE_EQ(BatchStock(id), 0);
    EXPECT_DOUBLE_EQ(BatchStock(late), 4);
    EXPECT_DOUBLE_EQ(BatchStock(elsewhere), 50);
    EXPECT_DOUBLE_EQ(BatchStock(otherProduct), 50);
    EXPECT_DOUBLE_EQ(BatchStock(empty), 0);
    EXPECT_DOUBLE_EQ(BatchStock(negative), -5);
}

TEST_F(BatchStepsTest, WhatNoBatchCoversBecomesNegativeStockOfTheLinesOwnBatch)
{
    AddBatch(2, kBatchProduct, QStringLiteral("NEW"), QStringLiteral("2024-04-01"), 40, QStringLiteral("2024-06-30"), QStringLiteral("90"));
    const int ownAtZero = AddBatch(1, kSecondBatchProduct, QStringLiteral("OWN"), QStringLiteral("2024-01-01"), 0);
    const int old = AddBatch(1, kSecondBatchProduct, QStringLiteral("OLD"), QStringLiteral("2023-01-01"), 4);
    AddHeader(QStringLiteral("t_SaleOutForm"), 100, 3004, QStringLiteral("XS-0003"), QStringLiteral("2024-05-06"), 1);
    // Storehouse 1 never held batch NEW; only storehouse 2 does.
    AddLine(QStringLiteral("T_SaleOutList"), 1001, 100, kBatchProduct, kPiece, 6,
            {QStringLiteral("NEW"), QStringLiteral("2024-04-01"), QStringLiteral("90"), QStringLiteral("2024-06-30")});
    // Its own batch exists at 0: 4 come from the old batch, the 6 missing go onto the existing row.
    AddLine(QStringLiteral("T_SaleOutList"), 1002, 100, kSecondBatchProduct, kPiece, 10, {QStringLiteral("OWN"), QStringLiteral("2024-01-01"), {}, {}});
    const int rowsBefore = CountRows(QStringLiteral("t_comProductBatchNo"));

    ASSERT_TRUE(saleOut(100, -1));
    const int created = Scalar(QStringLiteral("select FID from t_comProductBatchNo where FStorehouseID = 1 and FBatchNo1 = 'NEW'")).toInt();
    ASSERT_NE(created, 0);
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductBatchNo")), rowsBefore + 1) << "only the missing batch row is created";
    EXPECT_EQ(batchRows(1, kBatchProduct), lines({QStringLiteral("NEW 2024-04-01 90 2024-06-30 = -6/0")}));
    EXPECT_DOUBLE_EQ(BatchStock(ownAtZero), -6);
    EXPECT_DOUBLE_EQ(BatchStock(old), 0);
    EXPECT_EQ(outRecords(100), lines({QStringLiteral("%1 1001 NEW 2024-04-01 90 2024-06-30 6").arg(created),
                                            QStringLiteral("%1 1002 OLD 2023-01-01 0 - 4").arg(old),
                                            QStringLiteral("%1 1002 OWN 2024-01-01 0 - 6").arg(ownAtZero)}));

    ASSERT_TRUE(saleOut(100, 1));
    EXPECT_DOUBLE_EQ(BatchStock(created), 0) << "the release brings the shortage row back, and keeps it";
    EXPECT_DOUBLE_EQ(BatchStock(ownAtZero), 0);
    EXPECT_DOUBLE_EQ(BatchStock(old), 4);
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductOutBatchNo")), 0);

    // A line without batch number or dates books its shortage on a row with neither.
    AddHeader(QStringLiteral("t_SaleOutForm"), 101, 3004, QStringLiteral("XS-0004"), QStringLiteral("2024-05-07"), 2);
    AddLine(QStringLiteral("T_SaleOutList"), 1011, 101, kSecondBatchProduct, kPiece, 2, {});
    ASSERT_TRUE(saleOut(101, -1));
    EXPECT_EQ(batchRows(2, kSecondBatchProduct), lines({QStringLiteral(" - 0 - = -2/0")}));
}

TEST_F(BatchStepsTest, BatchNumbersMatchAsTheServerComparesThemAndShelfLifeDoesNotCountForAShortage)
{
    // Case and trailing blanks do not tell batch numbers apart: "ab-1 " is the row "AB-1".
    const int older = AddBatch(1, kBatchProduct, QStringLiteral("OLD"), QStringLiteral("2023-01-01"), 4);
    const int own = AddBatch(1, kBatchProduct, QStringLiteral("AB-1"), QStringLiteral("2024-01-10"), 5, QStringLiteral("2024-12-31"),
                             QStringLiteral("30"));
    // A row of the same batch at 0 that a shortage of another shelf life must find.
    const int empty = AddBatch(1, kSecondBatchProduct, QStringLiteral("Y1"), QStringLiteral("2024-01-10"), 0,
                               QStringLiteral("2024-12-31"), QStringLiteral("30"));
    AddHeader(QStringLiteral("t_SaleOutForm"), 100, 3004, QStringLiteral("XS-0005"), QStringLiteral("2024-05-06"), 1);
    AddLine(QStringLiteral("T_SaleOutList"), 1001, 100, kBatchProduct, kPiece, 3,
            {QStringLiteral("ab-1 "), QStringLiteral("2024-01-10"), QStringLiteral("30"), {}});
    AddLine(QStringLiteral("T_SaleOutList"), 1002, 100, kBatchProduct, kPiece, 10,
            {QStringLiteral("Ab-1"), QStringLiteral("2024-01-10"), QStringLiteral("30"), QStringLiteral("2024-12-31")});
    AddLine(QStringLiteral("T_SaleOutList"), 1003, 100, kSecondBatchProduct, kPiece, 2,
            {QStringLiteral("y1"), QStringLiteral("2024-01-10"), QStringLiteral("60"), QStringLiteral("2024-12-31")});

    ASSERT_TRUE(saleOut(100, -1));
    EXPECT_EQ(outRecords(100), lines({QStringLiteral("%1 1001 ab-1  2024-01-10 30 - 3").arg(own),
                                      QStringLiteral("%1 1002 Ab-1 2024-01-10 30 2024-12-31 2").arg(own),
                                      QStringLiteral("%1 1002 OLD 2023-01-01 0 - 4").arg(older),
                                      QStringLiteral("%1 1002 Ab-1 2024-01-10 30 2024-12-31 4").arg(own),
                                      QStringLiteral("%1 1003 y1 2024-01-10 60 2024-12-31 2").arg(empty)}));
    EXPECT_DOUBLE_EQ(BatchStock(own), -4);
    EXPECT_DOUBLE_EQ(BatchStock(older), 0);
    EXPECT_DOUBLE_EQ(BatchStock(empty), -2);
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductBatchNo")), 3) << "no second row of a batch the storehouse holds";

    ASSERT_TRUE(saleOut(100, 1));
    EXPECT_DOUBLE_EQ(BatchStock(own), 5);
    EXPECT_DOUBLE_EQ(BatchStock(older), 4);
    EXPECT_DOUBLE_EQ(BatchStock(empty), 0);
}

TEST_F(BatchStepsTest, ReleasePutsBackExactlyWhatTheBillTookFromEachRow)
{
    const int x = AddBatch(1, kBatchProduct, QStringLiteral("X"), QStringLiteral("2024-01-01"), 10);
    const int y = AddBatch(1, kBatchProduct, QStringLiteral("Y"), QStringLiteral("2024-02-01"), 10);
    AddHeader(QStringLiteral("t_SaleOutForm"), 100, 3004, QStringLiteral("XS-0100"), QStringLiteral("2024-05-06"), 1);
    AddLine(QStringLiteral("T_SaleOutList"), 1001, 100, kBatchProduct, kPiece, 15, {});
    AddHeader(QStringLiteral("t_SaleOutForm"), 101, 3004, QStringLiteral("XS-0101"), QStringLiteral("2024-05-07"), 1);
    AddLine(QStringLiteral("T_SaleOutList"), 1011, 101, kBatchProduct, kPiece, 3, {});
    ASSERT_TRUE(saleOut(100, -1)); // X 10, Y 5
    ASSERT_TRUE(saleOut(101, -1)); // Y 3
    // Meanwhile a receipt adds to X, and an other-issue bill that happens to have the same ID took 1 of Y.
    Exec(QStringLiteral("update t_comProductBatchNo set FNumber = FNumber + 7 where FID = %1").arg(x));
    Exec(QStringLiteral("update t_comProductBatchNo set FNumber = FNumber - 1 where FID = %1").arg(y));
    Exec(QStringLiteral("insert into t_comProductOutBatchNo(FFromID, FTypeID, FBillID, FListID, FNumber) values (%1, 3020, 100, 9, 1)").arg(y));
    ASSERT_DOUBLE_EQ(BatchStock(x), 7);
    ASSERT_DOUBLE_EQ(BatchStock(y), 1);

    ASSERT_TRUE(saleOut(100, 1));
    EXPECT_DOUBLE_EQ(BatchStock(x), 17);
    EXPECT_DOUBLE_EQ(BatchStock(y), 6);
    EXPECT_TRUE(outRecords(100).empty());
    EXPECT_EQ(outRecords(101), lines({QStringLiteral("%1 1011 Y 2024-02-01 0 - 3").arg(y)}));
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductOutBatchNo"), QStringLiteral("FBillID = 100 and FTypeID = 3020")), 1) << "another bill type's records of the same ID stay";

    ASSERT_TRUE(saleOut(100, 1)) << "releasing again finds nothing to put back";
    EXPECT_DOUBLE_EQ(BatchStock(x), 17);
}

TEST_F(BatchStepsTest, LinesWithoutBatchTrackingOrQuantityAndOtherSignsMoveNothing)
{
    const int b = AddBatch(1, kBatchProduct, QStringLiteral("B"), QStringLiteral("2024-01-01"), 10);
    AddBatch(1, kPlainProduct, QStringLiteral("B"), QStringLiteral("2024-01-01"), 10);
    AddHeader(QStringLiteral("t_SaleOutForm"), 100, 3016, QStringLiteral("XT-0001"), QStringLiteral("2024-05-06"), 1);
    AddLine(QStringLiteral("T_SaleOutList"), 1001, 100, kBatchProduct, kPiece, 0, {QStringLiteral("B"), QStringLiteral("2024-01-01"), {}, {}});
    AddLine(QStringLiteral("T_SaleOutList"), 1002, 100, kBatchProduct, kPiece, -4, {QStringLiteral("B"), QStringLiteral("2024-01-01"), {}, {}});
    AddLine(QStringLiteral("T_SaleOutList"), 1003, 100, kPlainProduct, kPiece, 5, {QStringLiteral("B"), QStringLiteral("2024-01-01"), {}, {}});
    AddHeader(QStringLiteral("t_SaleOutForm"), 101, 3004, QStringLiteral("XS-0001"), QStringLiteral("2024-05-06"), 1);
    AddLine(QStringLiteral("T_SaleOutList"), 1011, 101, kBatchProduct, kPiece, 4, {});

    ASSERT_TRUE(saleOut(100, -1));
    for (int sign : {0, 2, -2})
        EXPECT_TRUE(saleOut(101, sign)) << sign;
    EXPECT_EQ(Number(QStringLiteral("select sum(FNumber) from t_comProductBatchNo")), 20);
    EXPECT_DOUBLE_EQ(BatchStock(b), 10);
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductBatchNo")), 2);
    EXPECT_EQ(CountRows(QStringLiteral("t_comProductOutBatchNo")), 0);
}

TEST_F(BatchStepsTest, AssemblyLinesLeaveFromTheirOwnStorehouseAndDismantlingFromTheHeader)
{
    const int inStore1 = AddBatch(1, kBatchProduct, QStringLiteral("S1"), QStringLiteral("2024-01-01"), 20);
    const int inStore2 = AddBatch(2, kBatchProduct, QStringLiteral("S2"), QStringLiteral("2024-02-01"), 10);
    const int yoghurt = AddBatch(1, kSecondBatchProduct, QStringLiteral("Y1"), QStringLiteral("2024-01-01"), 10);
    const auto post = [](int type, int billId, int sign, const QString &storehouse = QStringLiteral("FStorehouseID")) {
        return UpdateBatchNoOut(type, QStringLiteral("t_AssemblyForm"), QStringLiteral("t_AssemblyList"), QStringLiteral("FNumber"),
                                QStringLiteral("FID"), QStringLiteral("FProductID"), storehouse, sign, QString::number(billId));
    };

    // Assembly: the header names storehouse 1, but the first component leaves storehouse 2.
    AddHeader(QStringLiteral("t_AssemblyForm"), 200, 3025, QStringLiteral("ZZ-0001"), QStringLiteral("2024-05-06"), 1);
    AddLine(QStringLiteral("t_AssemblyList"), 2001, 200, kBatchProduct, kPiece, 3, {}, 0, 2);
    AddLine(QStringLiteral("t_AssemblyList"), 2002, 200, kSecondBatchProduct, kPiece, 2, {}, 0, 1);
    ASSERT_TRUE(post(3025, 200, -1));
    EXPECT_EQ(outRecords(200, 3025), lines({QStringLiteral("%1 2001 S2 2024-02-01 0 - 3").arg(inStore2),
                                                  QStringLiteral("%1 2002 Y1 2024-01-01 0 - 2").arg(yoghurt)}));
    EXPECT_DOUBLE_EQ(BatchStock(inStore1), 20);

    // Dismantling: the header's product (one box) leaves the header's storehouse; its lines come in elsewhere.
    Exec(QStringLiteral("insert into t_AssemblyForm(FID, FTypeID, FBillNo, FBillDate, FProductID, FUnitID, FNumber, FStorehouseID) "
                        "values (201, 3026, 'CX-0001', '2024-05-06', 1, 2, 1, 1)"));
    AddLine(QStringLiteral("t_AssemblyList"), 2011, 201, kSecondBatchProduct, kPiece, 5, {}, 0, 1);
    ASSERT_TRUE(post(3026, 201, -1));
    EXPECT_EQ(outRecords(201, 3026), lines({QStringLiteral("%1 0 S1 2024-01-01 0 - 12").arg(inStore1)}));
    EXPECT_DOUBLE_EQ(BatchStock(yoghurt), 8);

    ASSERT_TRUE(post(3026, 201, 1));
    ASSERT_TRUE(post(3025, 200, 1));
    EXPECT_DOUBLE_EQ(BatchStock(inStore1), 20);
    EXPECT_DOUBLE_EQ(BatchStock(inStore2), 10);
    EXPECT_DOUBLE_EQ(BatchStock(yoghurt), 10);

    // A statement the server refuses reaches the caller as its error.
    try {
        post(3025, 200, -1, QStringLiteral("FNoSuchStorehouse"));
        ADD_FAILURE() << "the refused statement went unnoticed";
    } catch (const DbError &e) {
        EXPECT_EQ(e.code(), 1054);
    }
}

TEST_F(BatchStepsTest, TheNegativeBatchStockTestRefusesAsksOrPasses)
{
    AddBatch(1, kBatchProduct, QStringLiteral("K1"), QStringLiteral("2024-01-01"), 5, QStringLiteral("2024-12-31"));
    const BatchData k1{QStringLiteral("K1"), QStringLiteral("2024-01-01"), {}, QStringLiteral("2024-12-31")};
    const QString refusal = QStringLiteral("商品[批次奶粉]批次库存不足");
    const QString question = QStringLiteral("商品[批次奶粉]批次库存不足,是否允许负批次库存继续执行?");
    // Each bill would take 8 of the batch's 5 (uncheck of an incoming bill, check of a purchase return).
    struct Case {
        bool onCheck;
        int billType;
        QString form;
        QString list;
        double number;
    };
    const QList<Case> cases = {
        {false, 3002, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), 8},
        {true, 3015, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), -8},
        {false, 3019, QStringLiteral("t_OtherOutInForm"), QStringLiteral("t_OtherOutInList"), 8},
        {false, 3021, QStringLiteral("t_LossGainForm"), QStringLiteral("t_LossGainList"), 8},
    };
    HostSwitches &switches = nvDMBase::instance().switches;
    int billId = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.billType);
        ++billId;
        AddHeader(c.form, billId, c.billType, QStringLiteral("B-%1").arg(billId), QStringLiteral("2024-05-06"), 1);
        AddLine(c.list, billId * 10, billId, kBatchProduct, kPiece, c.number, k1);
        AddLine(c.list, billId * 10 + 1, billId, kPlainProduct, kPiece, c.number * 10, k1);
        const auto test = [&]() {
            return c.onCheck ? CheckBatchNoStockOnCheck(c.billType, billId) : CheckBatchNoStockOnUnCheck(c.billType, billId);
        };

        prompter.clear();
        switches.forbidNegativeBatchStock = true;
        switches.warnNegativeBatchStock = true;
        EXPECT_FALSE(test());
        ASSERT_EQ(prompter.entries().size(), 1);
        EXPECT_EQ(prompter.entries().at(0).kind, PromptKind::Warning);
        EXPECT_FALSE(prompter.entries().at(0).question);
        EXPECT_EQ(prompter.lastText().toStdString(), refusal.toStdString());

        prompter.clear();
        switches.forbidNegativeBatchStock = false;
        prompter.queueAnswer(true);
        prompter.queueAnswer(false);
        EXPECT_TRUE(test());
        EXPECT_FALSE(test());
        ASSERT_EQ(prompter.entries().size(), 2);
        EXPECT_TRUE(prompter.entries().at(1).question);
        EXPECT_EQ(lines(prompter.texts()), lines({question, question}));

        prompter.clear();
        switches.warnNegativeBatchStock = false;
        EXPECT_TRUE(test());
        EXPECT_TRUE(prompter.entries().isEmpty());
    }

    // The test applies only to those bill types on that side, and not when the batch suffices.
    switches.forbidNegativeBatchStock = true;
    prompter.clear();
    EXPECT_TRUE(CheckBatchNoStockOnCheck(3002, 1)) << "checking a purchase adds stock";
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3015, 2));
    EXPECT_TRUE(CheckBatchNoStockOnCheck(3004, 1));
    Exec(QStringLiteral("update t_comProductBatchNo set FNumber = 8"));
    EXPECT_TRUE(CheckBatchNoStockOnUnCheck(3002, 1));
    EXPECT_TRUE(prompter.entries().isEmpty());
}

} // namespace
