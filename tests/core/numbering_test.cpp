#include "core/numbering.h"
#include "own_connection.h"
#include "test_db.h"

#include <QSet>

#include <atomic>
#include <thread>
#include <vector>

using namespace protask;
using namespace Qt::StringLiterals;
using protask::testing::ExecScript;
using protask::testing::kPinnedNow;
using protask::testing::PinServerClock;
using protask::testing::scalar;

namespace {

// Numbers carry the server's month: the clock of the test connection stands still in
// December 2026. A suite database made by another installer may lack the counter's unique
// key, so every case runs on both shapes of T_BillCode.
class Numbering : public protask::testing::DatabaseCaseTest<bool> {
protected:
    void SetUp() override
    {
        DatabaseCaseTest::SetUp();
        ExecScript(u"insert into T_BillType(FID, FBillTypeID, FBillTypeNo, FPreCode, FBillName, FPrintStyle) values "
                   "(49, 3049, 'RWD', 'RWD', '生产任务单', 1), (7, 3008, 'FKD', 'FKD', '付款单', 1), "
                   "(60, 3060, 'NOPRE', '', '无前缀单', 1)"_s);
        if (!GetParam())
            ExecScript(u"alter table T_BillCode drop primary key"_s);
        ForgetBillCodeKey();
    }
    void TearDown() override
    {
        ExecScript(u"delete from T_BillCode"_s);
        if (!GetParam())
            ExecScript(u"alter table T_BillCode add primary key (FBillTypeID, FYearMonth)"_s);
        ForgetBillCodeKey();
        DatabaseCaseTest::TearDown();
    }
    // The month's counter of the production task; null without a row.
    static QVariant counter()
    {
        return scalar(u"select FCurNo from T_BillCode where FBillTypeID = 49 and FYearMonth = '202612'"_s);
    }
    static QString rwd(const char *sequence) { return u"RWD202612"_s + QLatin1String(sequence); }
    static QString unique(const QString &number, bool isNew = true)
    {
        return MakeBillNoUnique(number, rwd("00001"), isNew, u"RWD"_s, u"t_ProTaskForm"_s);
    }

    PinServerClock clock{Db(), kPinnedNow};
};

TEST_P(Numbering, TakesCreateTheMonthsCounterThenIncrementIt)
{
    EXPECT_EQ(TakeBillNo(u"RWD"_s), rwd("00001"));
    EXPECT_EQ(TakeBillNo(u"RWD"_s), rwd("00002"));
    EXPECT_EQ(scalar(u"select concat(FPreCode, '|', FCurNo) from T_BillCode where FBillTypeID = 49"_s), u"RWD|2"_s);

    // An empty prefix gives year-month and sequence; the editor's own sequence settings apply.
    EXPECT_EQ(TakeBillNo(u"NOPRE"_s), u"20261200001"_s);
    EXPECT_EQ(TakeBillNo(u"NOPRE"_s, BillNumbering{3, u"001"_s}), u"202612002"_s);

    EXPECT_THROW(TakeBillNo(u"NOSUCH"_s), std::runtime_error);
    EXPECT_EQ(scalar(u"select count(*) from T_BillCode where FBillTypeID = 0"_s).toInt(), 0)
        << "no counter row under key 0";
}

TEST_P(Numbering, ProposalsConsumeNothingAndLongSequencesAreNotCut)
{
    int key = 0;
    EXPECT_EQ(ProposeBillNo(u"RWD"_s, u"202612"_s, 1, key), rwd("00001"));
    EXPECT_EQ(ProposeBillNo(u"RWD"_s, u"202612"_s, 1, key), rwd("00001"));
    EXPECT_TRUE(counter().isNull());
    EXPECT_EQ(ProposeBillNo(u"RWD"_s, u"202612"_s, 2, key), QString()) << "a saved bill gets no proposal";
    key = 77;
    ProposeBillNo(u"NOSUCH"_s, u"202612"_s, 1, key);
    EXPECT_EQ(key, 77) << "an unknown code keeps the editor's key";

    ExecScript(
        u"insert into T_BillCode(FBillTypeID, FPreCode, FYearMonth, FCurNo) values (49, 'RWD', '202612', 99999)"_s);
    EXPECT_EQ(ProposeBillNo(u"RWD"_s, u"202612"_s, 1, key), rwd("100000"));
    EXPECT_EQ(key, 49);
    EXPECT_EQ(TakeBillNo(u"RWD"_s), rwd("100000"));
}

TEST_P(Numbering, AMonthChangeBetweenProposalAndSaveStoresTheNewMonth)
{
    clock.moveTo(QDateTime(QDate(2026, 11, 30), QTime(23, 59, 59)));
    QString ym = u"stale"_s;
    EXPECT_EQ(GetServerBillDate(ym), QDate(2026, 11, 30));
    EXPECT_EQ(ym, u"202611"_s);
    int key = 0;
    const QString proposed = ProposeBillNo(u"RWD"_s, ym, 1, key);
    EXPECT_EQ(proposed, u"RWD20261100001"_s);
    clock.moveTo(QDateTime(QDate(2026, 12, 1), QTime(0, 0, 1)));
    EXPECT_EQ(MakeBillNoUnique(proposed, proposed, true, u"RWD"_s, u"t_ProTaskForm"_s), u"RWD20261200001"_s);
}

TEST_P(Numbering, AKeptProposalIsRetakenWhileInUseUpToTheLimit)
{
    ExecScript(u"insert into t_ProTaskForm(FID, FBillNo) values (1, 'RWD20261200001'), (2, 'RWD20261200002')"_s);
    EXPECT_EQ(unique(rwd("00001")), rwd("00003"));
    EXPECT_EQ(counter().toInt(), 3);
    // A number the user typed, or a saved bill's number, is kept as it is.
    EXPECT_EQ(unique(u"X-1"_s), u"X-1"_s);
    EXPECT_EQ(unique(rwd("00001"), false), rwd("00001"));

    QStringList rows;
    for (int i = 4; i < 4 + kMaxNumberTries; ++i)
        rows << u"(%1, 'RWD202612%2')"_s.arg(i).arg(i, 5, 10, QLatin1Char('0'));
    ExecScript(u"insert into t_ProTaskForm(FID, FBillNo) values "_s + rows.join(u','));
    try {
        unique(rwd("00001"));
        ADD_FAILURE() << "every number was in use";
    } catch (const std::runtime_error &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(u"无法取得新的单据号"_s)) << e.what();
    }
    EXPECT_EQ(counter().toInt(), 3 + kMaxNumberTries);
    EXPECT_EQ(unique(rwd("00001")), rwd("01004"));
}

// Several workstations take numbers at once: every number is handed out exactly once and the
// counter ends at the number of takes, whether the month's row was missing or held NULL.
TEST_P(Numbering, ConcurrentTakesNeverHandOutANumberTwice)
{
    constexpr int connections = 8, perConnection = 250;
    for (const char *start : {"delete from T_BillCode", "update T_BillCode set FCurNo = null"}) {
        SCOPED_TRACE(start);
        ExecScript(QString::fromLatin1(start));
        std::atomic<int> ready{0};
        std::vector<std::future<QStringList>> takes;
        for (int c = 0; c < connections; ++c) {
            takes.push_back(protask::testing::OnOwnThread(u"numbering-%1"_s.arg(c), [&ready](const QSqlDatabase &db) {
                const PinServerClock pinned(db, kPinnedNow);
                ++ready;
                while (ready.load() < connections)
                    std::this_thread::yield();
                QStringList taken;
                for (int i = 0; i < perConnection; ++i)
                    taken << TakeBillNo(u"RWD"_s, {}, db);
                return taken;
            }));
        }
        QSet<QString> numbers;
        for (auto &take : takes) {
            const QStringList taken = take.get(); // a failed take fails the test here
            numbers.unite(QSet<QString>(taken.begin(), taken.end()));
        }
        EXPECT_EQ(numbers.size(), connections * perConnection);
        EXPECT_TRUE(numbers.contains(rwd("02000")));
        EXPECT_EQ(counter().toInt(), connections * perConnection);
        EXPECT_EQ(scalar(u"select count(*) from T_BillCode"_s).toInt(), 1) << "one counter row for the month";
    }
}

INSTANTIATE_TEST_SUITE_P(TableShapes, Numbering, ::testing::Values(true, false),
                         [](const auto &tpi) { return tpi.param ? "WithUniqueKey" : "WithoutKey"; });

} // namespace
