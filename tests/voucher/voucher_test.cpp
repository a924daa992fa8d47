#include "host/host_data.h"
#include "voucher_fixture.h"

#include <atomic>
#include <future>

using namespace protask;
using namespace protask::testing;

namespace {

const std::vector<TemplateLine> kMaterials = {{1, "借", "成本金额"}, {2, "贷", "成本金额"}};

// Each voucher made from a bill: bill, number, key, amount, the lines that carry its note, and
// whether the bill is marked with it.
const char *const kVouchers =
    "select concat_ws(':', FFromBillID, FNumber, FSID, FDebitAmount+0e0, (select count(*) from t_voucherList L where "
    "L.FFormID = V.FID and L.FNote = concat('生产任务单_', V.FFromBillNo)), (select count(*) from t_ProTaskForm T "
    "where T.FVoucherID = V.FID and T.FID = V.FFromBillID and T.FIsCreateVoucher = 1)) from t_VoucherForm V where "
    "FFromBillID is not null order by FNumber";

// A checked task becomes one voucher with its lines, notes and mark, numbered after the last of
// its period; converting it again changes nothing and says why. Within one run the numbers follow
// the bill numbers.
TEST_F(VoucherTest, CheckedTasksBecomeVouchersNumberedInTheirPeriod)
{
    SetVoucherTemplate(3049, kMaterials);
    ExecScript("insert into t_VoucherForm(FID,FYear,FPeriod,FVoucherTypeID,FNumber,FSID) values"
               " (5,2026,12,1,3,3),(6,2026,11,1,9,9)");
    addTask(1, true, "90", {60, 40});
    addTask(2, true, "0", {20});
    addTask(3, true, "0", {30});
    const Outcome o = run("1");
    ASSERT_TRUE(o.written);
    EXPECT_EQ(o.report, reportOf(1, 0));
    EXPECT_TRUE(workTablesGone());

    const QString voucher =
        QString::fromStdString(Rows("select FVoucherID from t_ProTaskForm where FID = 1 and FIsCreateVoucher = 1"));
    ASSERT_NE(voucher, "");
    EXPECT_EQ(Rows(Sql("select concat_ws('|',FDate,FYear,FPeriod,FNumber,FSID,FVoucherTypeID,FDebitAmount+0e0,"
                       "FCreditAmount+0e0,FBillerID,date(FBillDate),FIsBillCreate,FFromBillTypeID,FFromBillID,"
                       "FFromBillNo,FIsChecked,FIsPost,FIsCloseAcc) from t_VoucherForm where FID = %1",
                       voucher)),
              "2026-12-03|2026|12|4|4|1|100|100|1|2026-12-15|1|3049|1|RWD20261200001|0|0|0");
    EXPECT_EQ(Rows(Sql("select concat_ws('|',FSID,FNote,FAccountID,FDC,IfNull(FDebitAmount+0e0,'-'),IfNull("
                       "FCreditAmount+0e0,'-'),IfNull(FDebitAmountFor+0e0,'-')) from t_voucherList where FFormID = %1 "
                       "order by FSID",
                       voucher)),
              "1|生产任务单_RWD20261200001|1|-1|100|-|100\n2|生产任务单_RWD20261200001|2|1|-|100|-");
    // The host's voucher window shows what was made.
    const VoucherView view = ReadVoucher(voucher.toInt(), Db());
    ASSERT_TRUE(view.found);
    EXPECT_EQ(view.number, "4");
    EXPECT_EQ(view.fromBillNo, "RWD20261200001");
    ASSERT_EQ(view.lines.size(), 2);
    EXPECT_EQ(view.lines.at(1).at(1), "生产任务单_RWD20261200001");

    EXPECT_EQ(run("1").report, reportOf(0, 1, {"RWD20261200001] 已经生成过凭证"}));
    EXPECT_EQ(run("3,2").report, reportOf(2, 0));
    EXPECT_EQ(Rows(kVouchers), "1:4:4:100:2:1\n2:5:5:20:2:1\n3:6:6:30:2:1");
}

// A template that cannot make a voucher stops the run with its message; a bill the run cannot
// convert is listed under its reason. Either way nothing of the bill is written.
TEST_F(VoucherTest, NothingIsWrittenForAWrongTemplateOrABillWithAProblem)
{
    struct Case {
        const char *what;
        int billType; // of the template
        std::vector<TemplateLine> lines;
        bool checked;
        const char *header;
        const char *message; // shown, and the run fails; else
        const char *reason;  // listed by a run that succeeds
    };
    // clang-format off
    const Case cases[] = {
        {"no default template", 3002, kMaterials, true, "100", "您还未设置凭证模板或未设置为默认模板,不能生成凭证！", ""},
        {"one line", 3049, {{1, "借", "成本金额"}}, true, "100", "您的凭证模板不正确,凭证最少需要二行会计科目,不能生成凭证！", ""},
        {"department account", 3049, {{3, "借", "成本金额"}, {2, "贷", "成本金额"}}, true, "100", "", "科目需要设置部门"},
        {"supplier account", 3049, {{1, "借", "成本金额"}, {4, "贷", "成本金额"}}, true, "100", "", "科目需要设置供应商"},
        {"customer account", 3049, {{5, "借", "成本金额"}, {2, "贷", "成本金额"}}, true, "100", "", "科目需要设置客户"},
        {"debit 100, credit 90", 3049, {{1, "借", "成本金额"}, {2, "贷", "加工金额"}}, true, "90", "", "借贷不相等"},
        {"no amount", 3049, {{1, "借", "加工金额"}, {2, "贷", "加工金额"}}, true, "null", "", "借方或贷方没有金额"},
        {"not checked", 3049, kMaterials, false, "100", "", "未审核"},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        SetVoucherTemplate(c.billType, c.lines);
        addTask(1, c.checked, c.header, {60, 40});
        const Outcome o = run("1");
        if (*c.message) {
            EXPECT_FALSE(o.written);
            EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(c.message)});
        } else {
            EXPECT_TRUE(o.written) << "the run itself succeeds";
            EXPECT_EQ(o.report, reportOf(0, 1, {"RWD20261200001] " + QString::fromUtf8(c.reason)}));
        }
        EXPECT_EQ(Rows("select concat_ws(' ', (select count(*) from t_VoucherForm), (select count(*) from "
                       "t_voucherList), IfNull(FIsCreateVoucher,0) + IfNull(FVoucherID,0)) from t_ProTaskForm"),
                  "0 0 0");
        EXPECT_TRUE(workTablesGone());
    }
}

TEST_F(VoucherTest, OneRunWritesTheGoodBillsAndListsTheOthers)
{
    SetVoucherTemplate(3049, {{6, "借", "加工金额"}, {2, "贷", "成本金额"}});
    ExecScript(
        "insert into t_comparameters(FName,FID,FTypeID,FDatetimeValue) values('FAccCloseDate',13,5,'2026-11-30')");
    addTask(1, true, "100", {60, 40}, "2026-12-01", 7);
    addTask(2, true, "100", {60, 40}, "2026-11-20");
    addTask(3, true, "100", {60, 40}, "2026-12-02", 0);
    const Outcome o = run("1,2,3,99");
    ASSERT_TRUE(o.written);
    EXPECT_EQ(o.report,
              reportOf(1, 3,
                       {"RWD20261200002] 单据日期的财务期间已经结帐", "99] 单据不存在或已被删除",
                        "RWD20261200003] 科目需要设置职员"}));
    // The header amount counts once, not once per line; the employee is the bill's maker.
    EXPECT_EQ(Rows("select concat_ws(':', V.FFromBillID, V.FDebitAmount+0e0, V.FCreditAmount+0e0, L.FEmployeeID) from "
                   "t_VoucherForm V inner join t_voucherList L on L.FFormID = V.FID and L.FSID = 1"),
              "1:100:100:7");
}

// Two workstations convert bills of the same period at once, the second starting while the first
// holds its keys: it waits for them, and every voucher gets a number, a key and lines of its own.
TEST_F(VoucherTest, TwoWorkstationsConvertingAtOnceNeverShareANumberOrAKey)
{
    constexpr int kEach = 8;
    SetVoucherTemplate(3049, kMaterials);
    ExecScript("insert into t_VoucherForm(FID,FYear,FPeriod,FVoucherTypeID,FNumber,FSID) values (5,2026,12,1,3,3);"
               "insert into t_voucherList(FID,FFormID,FSID) values(11,5,1),(12,5,2)");
    for (int id = 1; id <= 2 * kEach; ++id)
        addTask(id, true, "0", {double(id)});

    std::promise<void> atCommit;
    std::promise<void> goOn;
    std::shared_future<void> go = goOn.get_future().share();
    std::atomic<bool> staged{false};
    setBeforeCommitHook([&atCommit, &staged, go](const QSqlDatabase &db) {
        if (db.connectionName() != "voucher-ws1" || staged.exchange(true))
            return;
        atCommit.set_value();
        go.wait();
    });
    const auto workstation = [](int w) {
        return OnOwnThread(Sql("voucher-ws%1", w), [w](const QSqlDatabase &db) {
            PinServerClock pin(db, kPinnedNow);
            int written = 0;
            for (int i = 0; i < kEach; ++i) {
                written += run(QString::number(w + 2 * i), db).written;
                EXPECT_TRUE(workTablesGone(db));
            }
            return written;
        });
    };
    auto first = workstation(1);
    atCommit.get_future().wait(); // the first holds its keys, not yet committed
    auto second = workstation(2);
    WaitForLockWaits(1); // the second waits on the first's keys
    goOn.set_value();
    EXPECT_EQ(first.get() + second.get(), 2 * kEach);
    setBeforeCommitHook(nullptr);

    EXPECT_EQ(Rows("select FNumber from t_VoucherForm where FFromBillID = 1"), "4");
    // Recomputed from what committed: vouchers, numbers, keys, vouchers with their two lines and
    // marked bills; the numbers follow each other.
    EXPECT_EQ(Rows("select concat_ws(':', count(*), count(distinct FNumber), min(FNumber), max(FNumber), count("
                   "distinct FSID), (select count(distinct FID) from t_voucherList), sum((select count(*) from "
                   "t_voucherList L where L.FFormID = V.FID and L.FNote = concat('生产任务单_', V.FFromBillNo)) = 2), "
                   "(select count(*) from t_ProTaskForm T inner join t_VoucherForm F on F.FID = T.FVoucherID and "
                   "F.FFromBillID = T.FID)) from t_VoucherForm V where FYear = 2026 and FPeriod = 12"),
              "17:17:3:19:17:34:16:16");
}

} // namespace
