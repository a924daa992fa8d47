#include "core/numbering.h"
#include "platform/nv_dm_base.h"
#include "test_db.h"

#include <QElapsedTimer>
#include <QSet>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace protask;
using protask::testing::ExecScript;
using protask::testing::kPinnedNow;
using protask::testing::PinServerClock;

namespace {

// Numbers carry the server's month: the clock of the test connection stands still in
// December 2026, so that a run at a month's end takes every number in one month.
class NumberingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        protask::testing::EmptyAllTables();
        ExecScript(QStringLiteral(
            "insert into T_BillType(FID, FBillTypeID, FBillTypeNo, FPreCode, FBillName, FPrintStyle) values "
            "(49, 3049, 'RWD', 'RWD', '生产任务单', 1), (7, 3008, 'FKD', 'FKD', '付款单', 1), (60, 3060, 'NOPRE', '', '无前缀单', 1)"));
    }
    int counter(int key, const QString &ym)
    {
        TDataSet q(Db());
        q.open(QStringLiteral("select FCurNo from T_BillCode where FBillTypeID = %1 and FYearMonth = '%2'").arg(key).arg(ym));
        return q.isEmpty() ? -1 : q.fieldByName(QStringLiteral("FCurNo")).toInt();
    }
    PinServerClock clock{Db(), kPinnedNow};
    const QString yearMonth = QStringLiteral("202612");
};

TEST_F(NumberingTest, ServerDateGivesTheDateAndYearMonth)
{
    clock.moveTo(QDateTime(QDate(2024, 1, 31), QTime(23, 59, 58)));
    QString ym = QStringLiteral("stale");
    EXPECT_EQ(GetServerBillDate(ym), QDate(2024, 1, 31));
    EXPECT_EQ(ym, QStringLiteral("202401"));
}

TEST_F(NumberingTest, FirstTakeOfMonthCreatesTheCounterAndLaterTakesIncrementIt)
{
    EXPECT_EQ(TakeBillNo(QStringLiteral("RWD")), QStringLiteral("RWD") + yearMonth + QStringLiteral("00001"));
    EXPECT_EQ(counter(49, yearMonth), 1);
    EXPECT_EQ(TakeBillNo(QStringLiteral("RWD")), QStringLiteral("RWD") + yearMonth + QStringLiteral("00002"));
    EXPECT_EQ(counter(49, yearMonth), 2);

    TDataSet q(Db());
    q.open(QStringLiteral("select FPreCode from T_BillCode where FBillTypeID = 49"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("FPreCode")).toString(), QStringLiteral("RWD"));
}

TEST_F(NumberingTest, SequencePastFiveDigitsIsNotCut)
{
    ExecScript(QStringLiteral("insert into T_BillCode(FBillTypeID, FPreCode, FYearMonth, FCurNo) values (49, 'RWD', '%1', 99999)").arg(yearMonth));
    int key = 0;
    EXPECT_EQ(ProposeBillNo(QStringLiteral("RWD"), yearMonth, 1, key), QStringLiteral("RWD") + yearMonth + QStringLiteral("100000"));
    EXPECT_EQ(key, 49);
    EXPECT_EQ(TakeBillNo(QStringLiteral("RWD")), QStringLiteral("RWD") + yearMonth + QStringLiteral("100000"));
}

TEST_F(NumberingTest, ProposalsConsumeNothingAndOnlyNewBillsGetOne)
{
    int key = 0;
    EXPECT_EQ(ProposeBillNo(QStringLiteral("RWD"), yearMonth, 1, key), QStringLiteral("RWD") + yearMonth + QStringLiteral("00001"));
    EXPECT_EQ(ProposeBillNo(QStringLiteral("RWD"), yearMonth, 1, key), QStringLiteral("RWD") + yearMonth + QStringLiteral("00001"));
    EXPECT_EQ(counter(49, yearMonth), -1);
    EXPECT_EQ(ProposeBillNo(QStringLiteral("RWD"), yearMonth, 2, key), QString()) << "a saved bill gets no proposal";

    key = 77;
    ProposeBillNo(QStringLiteral("NOSUCH"), yearMonth, 1, key);
    EXPECT_EQ(key, 77) << "an unknown code keeps the editor's key";
}

TEST_F(NumberingTest, EmptyPrefixGivesYearMonthAndSequence)
{
    EXPECT_EQ(TakeBillNo(QStringLiteral("NOPRE")), yearMonth + QStringLiteral("00001"));
    BillNumbering three{3, QStringLiteral("001")};
    EXPECT_EQ(TakeBillNo(QStringLiteral("NOPRE"), three), yearMonth + QStringLiteral("002"));
}

TEST_F(NumberingTest, UnknownBillTypeCodeIsRefused)
{
    EXPECT_THROW(TakeBillNo(QStringLiteral("NOSUCH")), std::runtime_error);
    TDataSet q(Db());
    q.open(QStringLiteral("select count(*) as n from T_BillCode"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("n")).toInt(), 0) << "no counter row under key 0";
}

TEST_F(NumberingTest, MonthChangeBetweenProposalAndSaveStoresTheNewMonth)
{
    clock.moveTo(QDateTime(QDate(2026, 11, 30), QTime(23, 59, 59)));
    QString ym;
    GetServerBillDate(ym);
    int key = 0;
    const QString proposed = ProposeBillNo(QStringLiteral("RWD"), ym, 1, key);
    EXPECT_EQ(proposed, QStringLiteral("RWD20261100001"));
    clock.moveTo(QDateTime(QDate(2026, 12, 1), QTime(0, 0, 1)));
    const QString stored = MakeBillNoUnique(proposed, proposed, true, QStringLiteral("RWD"), QStringLiteral("t_ProTaskForm"));
    EXPECT_EQ(stored, QStringLiteral("RWD20261200001"));
}

TEST_F(NumberingTest, KeptProposalIsRetakenWhileTheNumberIsInUse)
{
    ExecScript(QStringLiteral("insert into t_ProTaskForm(FID, FBillNo) values (1, 'RWD") + yearMonth + QStringLiteral("00001'), (2, 'RWD")
               + yearMonth + QStringLiteral("00002')"));
    const QString proposed = QStringLiteral("RWD") + yearMonth + QStringLiteral("00001");
    EXPECT_EQ(MakeBillNoUnique(proposed, proposed, true, QStringLiteral("RWD"), QStringLiteral("t_ProTaskForm")),
              QStringLiteral("RWD") + yearMonth + QStringLiteral("00003"));
    // A number the user typed, or a saved bill's number, is kept as it is.
    EXPECT_EQ(MakeBillNoUnique(QStringLiteral("X-1"), proposed, true, QStringLiteral("RWD"), QStringLiteral("t_ProTaskForm")),
              QStringLiteral("X-1"));
    EXPECT_EQ(MakeBillNoUnique(proposed, proposed, false, QStringLiteral("RWD"), QStringLiteral("t_ProTaskForm")), proposed);
    EXPECT_EQ(counter(49, yearMonth), 3);
}

// Several workstations take numbers at once: every number is handed out exactly once and
// the counter ends at the number of takes, whether or not the month's row existed.
void takeConcurrently(int connections, int perConnection, QSet<QString> &numbers, double &perSecond)
{
    std::vector<std::thread> threads;
    std::vector<QStringList> taken(static_cast<size_t>(connections));
    std::atomic<int> ready{0};
    std::atomic<int> failures{0};
    QElapsedTimer clock;
    clock.start();
    for (int c = 0; c < connections; ++c) {
        threads.emplace_back([c, perConnection, connections, &taken, &ready, &failures]() {
            const QString name = QStringLiteral("numbering-%1").arg(c);
            {
                QSqlDatabase db = openConnection(protask::testing::TestConnectionSettings(name));
                ++ready;
                while (ready.load() < connections)
                    std::this_thread::yield();
                try {
                    const PinServerClock pinned(db, kPinnedNow);
                    for (int i = 0; i < perConnection; ++i)
                        taken[static_cast<size_t>(c)] << TakeBillNo(QStringLiteral("RWD"), {}, db);
                } catch (const std::exception &) {
                    ++failures;
                }
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
        });
    }
    for (auto &t : threads)
        t.join();
    perSecond = connections * perConnection / (clock.elapsed() / 1000.0);
    ASSERT_EQ(failures.load(), 0);
    for (const QStringList &list : taken)
        for (const QString &n : list)
            numbers.insert(n);
}

// A suite database made by another installer may lack the counter's unique key: numbering
// must hold on both table shapes.
class NumberingShapeTest : public NumberingTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        NumberingTest::SetUp();
        if (!GetParam())
            ExecScript(QStringLiteral("alter table T_BillCode drop primary key"));
        ForgetBillCodeKey();
    }
    void TearDown() override
    {
        ExecScript(QStringLiteral("delete from T_BillCode"));
        if (!GetParam())
            ExecScript(QStringLiteral("alter table T_BillCode add primary key (FBillTypeID, FYearMonth)"));
        ForgetBillCodeKey();
        NumberingTest::TearDown();
    }
};

TEST_P(NumberingShapeTest, ConcurrentTakesNeverHandOutANumberTwice)
{
    for (int run = 0; run < 2; ++run) {
        // The first run starts before the month's row exists, the second from a NULL counter.
        if (run == 0)
            ExecScript(QStringLiteral("delete from T_BillCode"));
        else
            ExecScript(QStringLiteral("update T_BillCode set FCurNo = null"));
        QSet<QString> numbers;
        double perSecond = 0;
        takeConcurrently(8, 250, numbers, perSecond);
        EXPECT_EQ(numbers.size(), 2000) << "run " << run;
        EXPECT_EQ(counter(49, yearMonth), 2000) << "run " << run;
        EXPECT_TRUE(numbers.contains(QStringLiteral("RWD") + yearMonth + QStringLiteral("02000")));
        TDataSet q(Db());
        q.open(QStringLiteral("select count(*) as n from T_BillCode"));
        EXPECT_EQ(q.fieldByName(QStringLiteral("n")).toInt(), 1) << "one counter row for the month";
        std::printf("[numbering] %s: 8 connections x 250 takes: %.0f numbers/s (run %d)\n",
                    GetParam() ? "unique key" : "no key", perSecond, run);
    }
}

TEST_P(NumberingShapeTest, TakingPastNumbersInUseEndsWithAClearError)
{
    QStringList rows;
    for (int i = 1; i <= kMaxNumberTries; ++i)
        rows << QStringLiteral("(%1, 'RWD%2%3')").arg(i).arg(yearMonth).arg(i, 5, 10, QLatin1Char('0'));
    ExecScript(QStringLiteral("insert into t_ProTaskForm(FID, FBillNo) values ") + rows.join(QLatin1Char(',')));
    const QString proposed = QStringLiteral("RWD") + yearMonth + QStringLiteral("00001");
    try {
        MakeBillNoUnique(proposed, proposed, true, QStringLiteral("RWD"), QStringLiteral("t_ProTaskForm"));
        ADD_FAILURE() << "every number was in use";
    } catch (const std::runtime_error &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("无法取得新的单据号"))) << e.what();
    }
    EXPECT_EQ(counter(49, yearMonth), kMaxNumberTries);
    EXPECT_EQ(MakeBillNoUnique(proposed, proposed, true, QStringLiteral("RWD"), QStringLiteral("t_ProTaskForm")),
              QStringLiteral("RWD") + yearMonth + QStringLiteral("01001"));
}

INSTANTIATE_TEST_SUITE_P(TableShapes, NumberingShapeTest, ::testing::Values(true, false),
                         [](const auto & tpi) { return tpi.param ? "WithUniqueKey" : "WithoutKey"; });

} // namespace
