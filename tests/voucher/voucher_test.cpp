#include "host/host_data.h"
#include "voucher_fixture.h"

#include <future>
#include <thread>

using namespace protask;
using namespace protask::testing;

namespace {

const std::vector<TemplateLine> kMaterials = {{1, "借", "成本金额"}, {2, "贷", "成本金额"}};

TEST_F(VoucherTest, ACheckedTaskBecomesOneVoucherWithItsLinesNotesAndMark)
{
    setTemplate(3049, kMaterials);
    addTask(1, true, QStringLiteral("90"), {60, 40});
    const Outcome o = run(QStringLiteral("1"));
    ASSERT_TRUE(o.written);
    EXPECT_EQ(o.report, reportOf(1, 0, {}));
    EXPECT_TRUE(workTablesGone());

    const int voucher = dbValue(QStringLiteral("select FVoucherID from t_ProTaskForm where FID = 1")).toInt();
    EXPECT_EQ(dbValue(QStringLiteral("select FIsCreateVoucher from t_ProTaskForm where FID = 1")).toInt(), 1);
    EXPECT_EQ(
        dbValue(QStringLiteral("select concat_ws('|',FDate,FYear,FPeriod,FNumber,FSID,FVoucherTypeID,FDebitAmount+0e0,"
                               "FCreditAmount+0e0,FBillerID,date(FBillDate),FIsBillCreate,FFromBillTypeID,"
                               "FFromBillID,FFromBillNo,FIsChecked,FIsPost,FIsCloseAcc) from t_VoucherForm "
                               "where FID = %1")
                    .arg(voucher))
            .toString(),
        QStringLiteral("2026-12-03|2026|12|1|1|1|100|100|1|2026-12-15|1|3049|1|RWD20261200001|0|0|0"));
    const QStringList got =
        rowsOf(QStringLiteral("select concat_ws('|',FSID,FNote,FAccountID,FDC,IfNull(FDebitAmount+0e0,'-'),"
                              "IfNull(FCreditAmount+0e0,'-'),IfNull(FDebitAmountFor+0e0,'-')) from t_voucherList "
                              "where FFormID = %1 order by FSID")
                   .arg(voucher));
    EXPECT_EQ(got,
              QStringList({QStringLiteral("1|生产任务单_RWD20261200001|1|-1|100|-|100"),
                           QStringLiteral("2|生产任务单_RWD20261200001|2|1|-|100|-")}));

    // The host's voucher window shows what was made.
    const VoucherView view = ReadVoucher(voucher, Db());
    ASSERT_TRUE(view.found);
    EXPECT_EQ(view.number, QStringLiteral("1"));
    EXPECT_EQ(view.fromBillNo, QStringLiteral("RWD20261200001"));
    ASSERT_EQ(view.lines.size(), 2);
    EXPECT_EQ(view.lines.at(1).at(1), QStringLiteral("生产任务单_RWD20261200001"));

    // Converting again changes nothing and says why.
    const Outcome again = run(QStringLiteral("1"));
    EXPECT_EQ(again.report, reportOf(0, 1, {QStringLiteral("RWD20261200001] 已经生成过凭证")}));
    EXPECT_EQ(dbValue(QStringLiteral("select count(*) from t_VoucherForm")).toInt(), 1);
    EXPECT_EQ(dbValue(QStringLiteral("select FVoucherID from t_ProTaskForm where FID = 1")).toInt(), voucher);
}

TEST_F(VoucherTest, EveryVoucherOfAPeriodGetsANumberOfItsOwnAlsoWithinOneRun)
{
    setTemplate(3049, kMaterials);
    ExecScript(QStringLiteral("insert into t_VoucherForm(FID,FYear,FPeriod,FVoucherTypeID,FNumber,FSID) values"
                              " (5,2026,12,1,3,3),(6,2026,11,1,9,9)"));
    for (int id = 1; id <= 3; ++id)
        addTask(id, true, QStringLiteral("0"), {10.0 * id});
    EXPECT_TRUE(run(QStringLiteral("2")).written);
    const Outcome two = run(QStringLiteral("3,1"));
    ASSERT_TRUE(two.written);
    EXPECT_EQ(two.report, reportOf(2, 0, {}));
    const QStringList got =
        rowsOf(QStringLiteral("select concat(FFromBillID,':',FNumber,'/',FSID,'/',FDebitAmount+0e0) from t_VoucherForm "
                              "where FFromBillID is not null order by FNumber"));
    EXPECT_EQ(got, QStringList({QStringLiteral("2:4/4/20"), QStringLiteral("1:5/5/10"), QStringLiteral("3:6/6/30")}))
        << "numbers continue the period's, in bill number order within the run";
    EXPECT_EQ(dbValue(QStringLiteral("select count(*) from t_ProTaskForm T inner join t_VoucherForm V on V.FID = "
                                     "T.FVoucherID and V.FFromBillID = T.FID where T.FIsCreateVoucher = 1"))
                  .toInt(),
              3);
    EXPECT_EQ(dbValue(QStringLiteral("select count(*) from t_voucherList L inner join t_VoucherForm V on V.FID = "
                                     "L.FFormID where L.FNote = concat('生产任务单_', V.FFromBillNo)"))
                  .toInt(),
              6);
}

TEST_F(VoucherTest, TemplatesThatCannotMakeAVoucherStopBeforeAnyRow)
{
    struct Case {
        int billType; // of the template
        std::vector<TemplateLine> lines;
        const char *message;
    };
    const Case cases[] = {
        {3002, kMaterials, "您还未设置凭证模板或未设置为默认模板,不能生成凭证！"},
        {3049, {{1, "借", "成本金额"}}, "您的凭证模板不正确,凭证最少需要二行会计科目,不能生成凭证！"},
    };
    for (const Case &c : cases) {
        fresh();
        setTemplate(c.billType, c.lines);
        addTask(1, true, QStringLiteral("0"), {10});
        const Outcome o = run(QStringLiteral("1"));
        EXPECT_FALSE(o.written) << c.message;
        EXPECT_EQ(prompter.texts(), QStringList({QString::fromUtf8(c.message)}));
        EXPECT_EQ(dbValue(QStringLiteral("select count(*) from t_VoucherForm")).toInt(), 0);
        EXPECT_EQ(dbValue(QStringLiteral("select IfNull(FIsCreateVoucher,0) from t_ProTaskForm")).toInt(), 0);
        EXPECT_TRUE(workTablesGone()) << c.message;
    }
}

// Bills the run cannot convert are listed under their reason, and nothing of them is written.
TEST_F(VoucherTest, BillsWithAProblemAreReportedAndLeftAlone)
{
    struct Case {
        const char *what;
        std::vector<TemplateLine> lines;
        bool checked;
        const char *header;
        const char *reason;
    };
    const Case cases[] = {
        {"department account", {{3, "借", "成本金额"}, {2, "贷", "成本金额"}}, true, "100", "科目需要设置部门"},
        {"supplier account", {{1, "借", "成本金额"}, {4, "贷", "成本金额"}}, true, "100", "科目需要设置供应商"},
        {"customer account", {{5, "借", "成本金额"}, {2, "贷", "成本金额"}}, true, "100", "科目需要设置客户"},
        {"debit 100, credit 90", {{1, "借", "成本金额"}, {2, "贷", "加工金额"}}, true, "90", "借贷不相等"},
        {"no amount", {{1, "借", "加工金额"}, {2, "贷", "加工金额"}}, true, "null", "借方或贷方没有金额"},
        {"not checked", kMaterials, false, "100", "未审核"},
    };
    for (const Case &c : cases) {
        fresh();
        setTemplate(3049, c.lines);
        addTask(1, c.checked, QString::fromLatin1(c.header), {60, 40});
        const Outcome o = run(QStringLiteral("1"));
        EXPECT_TRUE(o.written) << c.what << ": the run itself succeeds";
        EXPECT_EQ(o.report, reportOf(0, 1, {QStringLiteral("RWD20261200001] ") + QString::fromUtf8(c.reason)}))
            << c.what;
        EXPECT_EQ(dbValue(QStringLiteral("select count(*) from t_VoucherForm")).toInt()
                      + dbValue(QStringLiteral("select count(*) from t_voucherList")).toInt(),
                  0)
            << c.what;
        EXPECT_EQ(dbValue(QStringLiteral("select IfNull(FIsCreateVoucher,0) + IfNull(FVoucherID,0) from "
                                         "t_ProTaskForm"))
                      .toInt(),
                  0)
            << c.what;
        EXPECT_TRUE(workTablesGone()) << c.what;
    }
}

TEST_F(VoucherTest, OneRunWritesTheGoodBillsAndListsTheOthers)
{
    setTemplate(3049, {{6, "借", "加工金额"}, {2, "贷", "成本金额"}});
    ExecScript(QStringLiteral("insert into t_comparameters(FName,FID,FTypeID,FDatetimeValue) values"
                              "('FAccCloseDate',13,5,'2026-11-30')"));
    addTask(1, true, QStringLiteral("100"), {60, 40}, QStringLiteral("2026-12-01"), 0, 7);
    addTask(2, true, QStringLiteral("100"), {60, 40}, QStringLiteral("2026-11-20"));
    addTask(3, true, QStringLiteral("100"), {60, 40}, QStringLiteral("2026-12-02"), 0, 0);
    const Outcome o = run(QStringLiteral("1,2,3,99"));
    ASSERT_TRUE(o.written);
    EXPECT_EQ(
        o.report,
        reportOf(1, 3,
                 {QStringLiteral("RWD20261200002] 单据日期的财务期间已经结帐"),
                  QStringLiteral("99] 单据不存在或已被删除"), QStringLiteral("RWD20261200003] 科目需要设置职员")}));
    // The header amount counts once, not once per line; the employee is the bill's maker.
    EXPECT_EQ(dbValue(QStringLiteral("select concat(FFromBillID,':',FDebitAmount+0e0,':',FCreditAmount+0e0) from "
                                     "t_VoucherForm"))
                  .toString(),
              QStringLiteral("1:100:100"));
    EXPECT_EQ(dbValue(QStringLiteral("select FEmployeeID from t_voucherList where FSID = 1")).toInt(), 7);
}

// Two workstations convert bills of the same period at the same moment: the second waits for
// the first's keys, then numbers after it.
TEST_F(VoucherTest, TwoWorkstationsConvertingAtOnceGetDifferentNumbersAndKeys)
{
    setTemplate(3049, kMaterials);
    ExecScript(QStringLiteral("insert into t_VoucherForm(FID,FYear,FPeriod,FVoucherTypeID,FNumber,FSID) values"
                              " (5,2026,12,1,3,3)"));
    ExecScript(QStringLiteral("insert into t_voucherList(FID,FFormID,FSID) values(11,5,1),(12,5,2)"));
    addTask(1, true, QStringLiteral("0"), {10});
    addTask(2, true, QStringLiteral("0"), {20});

    std::promise<void> atCommit;
    std::promise<void> goOn;
    std::shared_future<void> go = goOn.get_future().share();
    setBeforeCommitHook([&atCommit, go](const QSqlDatabase &db) {
        if (db.connectionName() != QStringLiteral("voucher-ws1"))
            return;
        atCommit.set_value();
        go.wait();
    });
    std::atomic<int> written{0};
    const auto workstation = [&written](int w) {
        const QString name = QStringLiteral("voucher-ws%1").arg(w);
        {
            const QSqlDatabase db = openConnection(TestConnectionSettings(name));
            PinServerClock pin(db, kPinnedNow);
            if (run(QString::number(w), db).written)
                ++written;
            EXPECT_TRUE(workTablesGone(db));
        }
        QSqlDatabase::removeDatabase(name);
    };
    std::thread first(workstation, 1);
    atCommit.get_future().wait(); // the first holds its keys, not yet committed
    std::thread second(workstation, 2);
    WaitForLockWaits(1); // the second waits on the first's keys
    goOn.set_value();
    first.join();
    second.join();
    setBeforeCommitHook(nullptr);

    EXPECT_EQ(written, 2);
    // Recomputed from what committed: numbers and keys follow each other, each bill with its own.
    const QStringList got =
        rowsOf(QStringLiteral("select concat(V.FFromBillID,':',V.FNumber,':',V.FSID,':',count(L.FID),':',"
                              "sum(L.FFormID = V.FID)) from t_VoucherForm V left join t_voucherList L on "
                              "L.FNote = concat('生产任务单_', V.FFromBillNo) where V.FFromBillID is not null "
                              "group by V.FID order by V.FNumber"));
    EXPECT_EQ(got, QStringList({QStringLiteral("1:4:4:2:2"), QStringLiteral("2:5:5:2:2")}));
    EXPECT_EQ(dbValue(QStringLiteral("select count(distinct FID) from t_voucherList")).toInt(), 6);
    EXPECT_EQ(dbValue(QStringLiteral("select count(*) from t_ProTaskForm T inner join t_VoucherForm V on V.FID = "
                                     "T.FVoucherID and V.FFromBillID = T.FID"))
                  .toInt(),
              2);
}

// Without staging, again and again: every voucher of the period keeps a number of its own.
TEST_F(VoucherTest, TwoWorkstationsConvertingManyBillsNeverShareANumber)
{
    constexpr int kEach = 8;
    setTemplate(3049, kMaterials);
    for (int id = 1; id <= 2 * kEach; ++id)
        addTask(id, true, QStringLiteral("0"), {double(id)});
    std::atomic<int> written{0};
    const auto workstation = [&written](int w) {
        const QString name = QStringLiteral("voucher-run%1").arg(w);
        {
            const QSqlDatabase db = openConnection(TestConnectionSettings(name));
            PinServerClock pin(db, kPinnedNow);
            for (int i = 0; i < kEach; ++i) {
                if (run(QString::number(w + 2 * i), db).written)
                    ++written;
            }
        }
        QSqlDatabase::removeDatabase(name);
    };
    std::thread a(workstation, 1);
    std::thread b(workstation, 2);
    a.join();
    b.join();
    EXPECT_EQ(written, 2 * kEach);
    EXPECT_EQ(dbValue(QStringLiteral("select concat(count(*),':',count(distinct FNumber),':',min(FNumber),':',"
                                     "max(FNumber)) from t_VoucherForm where FYear = 2026 and FPeriod = 12"))
                  .toString(),
              QStringLiteral("16:16:1:16"));
    EXPECT_EQ(dbValue(QStringLiteral("select count(*) from t_ProTaskForm T inner join t_VoucherForm V on V.FID = "
                                     "T.FVoucherID and V.FFromBillID = T.FID"))
                  .toInt(),
              2 * kEach);
}

} // namespace
