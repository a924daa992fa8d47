// The entries' own rules: starting codes, the empty header name, bill types outside the tables,
// and what a failing step answers, with the caller's rollback leaving every table as it was.
#include "posting/posting_common.h"
#include "posting/posting_engine.h"
#include "posting_test_util.h"
#include "test_db.h"

#include <QSqlDatabase>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>

#include <future>
#include <thread>

using namespace protask;
using namespace protask::testing;
using namespace protask::testing::world;

namespace {

constexpr int kBill = 42;

struct BillSeed {
    QString form;
    QString list;
    QVariantMap header;
    QList<QVariantMap> lines;
};

BillSeed billOfType(int type)
{
    QVariantMap stockHeader{{"FStorehouseID", kStore}, {"FClientID", kClient}, {"FCashID", kCash}, {"FAmount", 150}};
    switch (type) {
    case 3001:
        return {"t_PurOrderForm", "t_PurOrderList", {{"FClientID", kClient}, {"FPayAmount", 30}, {"FCashID", kCash}}, StandardLines()};
    case 3002:
        stockHeader.insert(QStringLiteral("FPayAmount"), 30);
        return {"t_PurForm", "t_PurList", stockHeader, StandardLines()};
    case 3004:
        stockHeader.insert(QStringLiteral("FReceiveAmount"), 30);
        return {"t_SaleOutForm", "t_SaleOutList", stockHeader, StandardLines()};
    case 3010:
        return {"t_FeeForm", "t_FeeList", {{"FAmount", 80}, {"FCashID", kCash}}, {}};
    case 3019:
        return {"t_OtherOutInForm", "t_OtherOutInList",
                {{"FStorehouseID", kStore}, {"FItemTypeID", 2}, {"FItemID", kClient}, {"FAmount", 30}, {"FTobeAmount", 150}},
                StandardLines()};
    case 3049:
        return {"t_ProTaskForm", "t_ProTaskList", {{"FProductID", kAssembled}, {"FNumber", 7}, {"FFromListID", kSaleOrderLine}}, {}};
    default:
        return {};
    }
}

void seedBill(int type)
{
    const BillSeed s = billOfType(type);
    SeedBill(type, s.form, s.list, kBill, s.header, s.lines);
}

// Breaks the schema for one test (DDL commits, so it runs outside the posting's transaction)
// and repairs it whatever happens.
class SchemaBreak {
public:
    SchemaBreak(QString breakSql, QString repairSql) : m_repair(std::move(repairSql)) { Exec(breakSql); }
    ~SchemaBreak()
    {
        try {
            Exec(m_repair);
        } catch (...) {
        }
    }

private:
    QString m_repair;
};

QString renameTable(const QString &t) { return QStringLiteral("rename table %1 to %1_off").arg(t); }
QString restoreTable(const QString &t) { return QStringLiteral("rename table %1_off to %1").arg(t); }
QString renameColumn(const QString &t, const QString &c, const QString &to)
{
    return QStringLiteral("alter table %1 change %2 %3 decimal(24,8) default null").arg(t, c, to);
}
QString renameDateColumn(const QString &t, const QString &c, const QString &to)
{
    return QStringLiteral("alter table %1 change %2 %3 datetime default null").arg(t, c, to);
}

class PostingEntries : public ::testing::Test {
protected:
    void SetUp() override
    {
        EmptyAllTables();
        SeedWorld();
    }
};

TEST_F(PostingEntries, UncheckOfBillZeroAnswersAtOnce)
{
    seedBill(3002);
    const auto before = SnapshotAllTables();
    int code = 99;
    EXPECT_TRUE(UnCheckUpdateData(3002, 0, QStringLiteral("t_PurForm"), code));
    EXPECT_EQ(code, -1);
    EXPECT_EQ(TablesChangedSince(before), "");
}

TEST_F(PostingEntries, EmptyHeaderNameFailsWithCode8AfterThePostingsAndTheRollbackTakesThemBack)
{
    seedBill(3002);
    const auto before = SnapshotAllTables();
    int code = 99;
    {
        TransactionGuard tx(Db());
        EXPECT_FALSE(CheckUpdateData(3002, kBill, QStringLiteral("  "), code));
        EXPECT_EQ(code, 8);
        EXPECT_DOUBLE_EQ(CurStock(kPlain), 5); // the postings did run
        EXPECT_DOUBLE_EQ(ClientFigure(kClient, "FTotalAmount"), 1150);
        tx.rollback();
    }
    EXPECT_EQ(TablesChangedSince(before), "");
}

TEST_F(PostingEntries, TypesOutsideTheStepRangeAreOnlyFlagged)
{
    for (int type : {3000, 3091, 4001}) {
        SCOPED_TRACE(type);
        EmptyAllTables();
        SeedWorld();
        SeedBill(type, QStringLiteral("t_PurForm"), QStringLiteral("t_PurList"), kBill, billOfType(3002).header, StandardLines());
        const auto before = SnapshotAllTables();
        int code = 99;
        ASSERT_TRUE(CheckUpdateData(type, kBill, QStringLiteral("t_PurForm"), code));
        EXPECT_EQ(code, 0);
        EXPECT_EQ(Number(ColumnSql("t_PurForm", "FIsChecked", kBill)), 1);
        EXPECT_DOUBLE_EQ(CurStock(kPlain), 0);
        EXPECT_DOUBLE_EQ(ClientFigure(kClient, "FTotalAmount"), 1000);
        ASSERT_TRUE(UnCheckUpdateData(type, kBill, QStringLiteral("t_PurForm"), code));
        EXPECT_EQ(code, -1);
        EXPECT_EQ(TablesChangedSince(before), "");
    }
}

TEST_F(PostingEntries, Type3047LeavesASetFlagAloneOnUncheck)
{
    SeedBill(3047, QStringLiteral("t_costadjustform"), QStringLiteral("t_costadjustlist"), kBill, {{"FIsChecked", 1}, {"FCheckerID", 3}},
             {});
    int code = 99;
    ASSERT_TRUE(UnCheckUpdateData(3047, kBill, QStringLiteral("t_costadjustform"), code));
    EXPECT_EQ(Number(ColumnSql("t_costadjustform", "FIsChecked", kBill)), 1);
    EXPECT_EQ(Number(ColumnSql("t_costadjustform", "FCheckerID", kBill)), 3);
}

TEST_F(PostingEntries, AFailingCostMarkDoesNotStopTheCheck)
{
    seedBill(3002);
    SchemaBreak broken(renameTable("t_billcalflag"), restoreTable("t_billcalflag"));
    int code = 99;
    TransactionGuard tx(Db());
    ASSERT_TRUE(CheckUpdateData(3002, kBill, QStringLiteral("t_PurForm"), code));
    EXPECT_EQ(code, 0);
    EXPECT_DOUBLE_EQ(CurStock(kPlain), 5);
    EXPECT_EQ(Number(ColumnSql("t_PurForm", "FIsChecked", kBill)), 1);
}

// A deadlock among the cost marks has ended the transaction on the server: going on would write
// the postings outside of it, so the entry throws a retryable error and the caller runs it all
// again.
TEST_F(PostingEntries, ADeadlockAmongTheCostMarksEndsTheEntryBeforeAnyPosting)
{
    seedBill(3002);
    Exec(QStringLiteral("insert into t_billcalflag(FProductID,FTypeID,FPeriod) values (%1,0,202612),(%2,0,202612)")
             .arg(kPlain)
             .arg(kBatch));
    const auto before = SnapshotAllTables();

    std::promise<void> markLocked;
    std::promise<void> cashLocked;
    std::thread other([&] {
        const QString name = QStringLiteral("other-workstation");
        {
            QSqlDatabase db = openConnection(TestConnectionSettings(name));
            TDataSet q(db);
            q.exec(QStringLiteral("START TRANSACTION"));
            // A larger transaction than ours, so that the server picks ours to roll back.
            for (int i = 0; i < 20; ++i)
                q.exec(QStringLiteral("insert into zzsyslog(FMsgCont) values('busy')"));
            q.exec(QStringLiteral("update t_billcalflag set FLastDate = '2026-12-31' where FProductID = %1").arg(kPlain));
            markLocked.set_value();
            cashLocked.get_future().wait();
            q.exec(QStringLiteral("update t_comCash set FBalance = 1 where FID = %1").arg(kCash)); // waits for us
            q.exec(QStringLiteral("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase(name);
    });
    markLocked.get_future().wait();
    int code = 99;
    std::optional<DbError> thrown;
    {
        TransactionGuard tx(Db());
        Exec(QStringLiteral("update t_comCash set FBalance = FBalance + 1 where FID = %1").arg(kCash));
        cashLocked.set_value();
        WaitForLockWaits(1); // the other workstation now waits for our cash row
        try {
            CheckUpdateData(3002, kBill, QStringLiteral("t_PurForm"), code);
        } catch (const DbError &e) {
            thrown = e;
        }
        tx.rollback();
    }
    other.join();
    ASSERT_TRUE(thrown.has_value());
    EXPECT_EQ(thrown->kind(), DbErrorKind::TransactionEnded);
    EXPECT_TRUE(thrown->isRetryable());
    EXPECT_EQ(code, 0);
    EXPECT_EQ(TablesChangedSince(before), "");
}

// A step that meets a server error ends the entry with its code; the caller's rollback leaves
// every table as it was.
struct FailCase {
    const char *name;
    int billType;
    bool uncheck;
    QString breakSql;
    QString repairSql;
    int code;
    int serverCode; // 1146 missing table, 1054 missing column
};

void PrintTo(const FailCase &c, std::ostream *os) { *os << c.name; }

FailCase table(const char *name, int type, bool uncheck, const char *t, int code)
{
    return {name, type, uncheck, renameTable(t), restoreTable(t), code, 1146};
}

FailCase column(const char *name, int type, bool uncheck, const char *t, const char *c, int code, bool isDate = false)
{
    const QString off = QString::fromLatin1(c) + QStringLiteral("_off");
    if (isDate)
        return {name, type, uncheck, renameDateColumn(t, c, off), renameDateColumn(t, off, c), code, 1054};
    return {name, type, uncheck, renameColumn(t, c, off), renameColumn(t, off, c), code, 1054};
}

std::vector<FailCase> failCases()
{
    return {
        table("CheckClientPay", 3002, false, "t_comClient", 1),
        column("CheckClientTotal", 3002, false, "t_comClient", "FTotalAmount", 2),
        table("CheckCurrentStock", 3002, false, "t_comProducts", 3),
        table("CheckBalance", 3002, false, "t_Balance", 4),
        table("CheckIncomingBatch", 3002, false, "t_comProductBatchNo", 14),
        table("CheckOrderCompletion", 3002, false, "t_PurOrderList", 5),
        table("CheckCashLeavesCode0", 3002, false, "t_comCash", 0),
        column("CheckClientUnpaid", 3001, false, "t_comClient", "FUnPayAmount", 6),
        table("CheckOutgoingBatch", 3004, false, "t_comProductOutBatchNo", 4),
        table("CheckOtherInClient", 3019, false, "t_comClient", 1),
        table("CheckProductionTaskCompletion", 3049, false, "t_SaleOrderList", 15),
        column("CheckFlagStatement", 3010, false, "t_FeeForm", "FCheckerDate", 7, true),
        table("UncheckClientPay", 3002, true, "t_comClient", 11),
        column("UncheckClientTotal", 3002, true, "t_comClient", "FTotalAmount", 12),
        table("UncheckCurrentStock", 3002, true, "t_comProducts", 13),
        table("UncheckBalance", 3002, true, "t_Balance", 14),
        table("UncheckOrderCompletion", 3002, true, "t_PurOrderList", 15),
        table("UncheckCashLeavesMinus1", 3002, true, "t_comCash", -1),
        column("UncheckClientUnpaid", 3001, true, "t_comClient", "FUnPayAmount", 16),
        table("UncheckOutgoingBatchRelease", 3004, true, "t_comProductOutBatchNo", 4),
        table("UncheckOtherInClient", 3019, true, "t_comClient", 1),
        column("UncheckFlagStatement", 3010, true, "t_FeeForm", "FCheckerDate", 7, true),
    };
}

class FailingStep : public ::testing::TestWithParam<FailCase> {
protected:
    void SetUp() override
    {
        EmptyAllTables();
        SeedWorld();
    }
};

TEST_P(FailingStep, AnswersItsCodeAndTheRollbackLeavesEveryTable)
{
    const FailCase &c = GetParam();
    seedBill(c.billType);
    const QString form = billOfType(c.billType).form;
    int code = 99;
    if (c.uncheck) {
        TransactionGuard tx(Db());
        ASSERT_TRUE(CheckUpdateData(c.billType, kBill, form, code)) << code;
        tx.commit();
    }
    SchemaBreak broken(c.breakSql, c.repairSql);
    const auto before = SnapshotAllTables();
    {
        TransactionGuard tx(Db());
        try {
            c.uncheck ? UnCheckUpdateData(c.billType, kBill, form, code) : CheckUpdateData(c.billType, kBill, form, code);
            ADD_FAILURE() << "the server's error did not reach the caller";
        } catch (const DbError &e) {
            EXPECT_EQ(e.code(), c.serverCode);
            EXPECT_FALSE(e.isRetryable());
        }
        EXPECT_EQ(code, c.code) << "the code names the step that met the error";
        tx.rollback();
    }
    EXPECT_EQ(TablesChangedSince(before), "");
}

INSTANTIATE_TEST_SUITE_P(EveryCode, FailingStep, ::testing::ValuesIn(failCases()),
                         [](const ::testing::TestParamInfo<FailCase> & tpi) { return std::string(tpi.param.name); });

} // namespace
