#include "billedit/model/protask_bill.h"
#include "billlist/model/list_actions.h"
#include "billlist/model/list_tables.h"
#include "core/bill_types.h"
#include "core/db_actions.h"
#include "core/sql_helpers.h"
#include "platform/host_messages.h"
#include "test_db.h"

#include <optional>
#include <tuple>

using namespace protask;
using namespace protask::testing;
using namespace Qt::StringLiterals;

namespace {

// A sales order line of 100 chairs of which 10 are in production already, and the tasks made
// from it. The server's clock stands on 15 December 2026.
class ListActions : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        dm.lastClosingDate = QDate();
        ExecScript(u"insert into T_BillType(FID,FBillTypeID,FBillTypeNo,FBillName,FPreCode) values (49,3049,'RWD',"
                   "'生产任务单','RWD');"
                   "insert into t_comUnit(FID,FNo,FName) values (1,'U1','把');"
                   "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values (1,'CP001','办公椅',1),"
                   " (2,'CL001','螺栓',1);"
                   "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values (1,1,1,1), (2,1,1,1);"
                   "insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0);"
                   "insert into t_SaleOrderForm(FID,FBillNo,FBillDate) values (500,'XSD20261200001','2026-12-01');"
                   "insert into t_SaleOrderList(FID,FFormID,FSID,FProductID,FUnitID,FNumber,FProtaskFinishNumber)"
                   " values (501,500,1,1,1,100,10)"_s);
        dm.userId = 1;
    }
    // A task of 40 chairs for the order line with one material line, stored as the editor
    // stores it (posted at once without the check workflow).
    int saveTask(bool workflow, int storedId = 0)
    {
        ProtaskBill bill(Db());
        bill.header.billId = storedId;
        bill.statusId = storedId ? BillStatus::Saved : BillStatus::New;
        bill.header.billTableTypeId = 49;
        bill.header.billNo = bill.header.initBillNo = u"RWD20261200001"_s;
        bill.header.billDate = QDate(2026, 12, 10);
        bill.header.productName = u"办公椅"_s;
        bill.header.number = 40;
        bill.header.fromBillNo = u"XSD20261200001"_s;
        bill.header.fromBillId = 500;
        bill.header.fromListId = 501;
        bill.header.userId = 1;
        bill.lines = {{{u"FProductName"_s, u"螺栓"_s}, {u"FUnitName"_s, u"把"_s}, {u"FNumber"_s, 80}}};
        HostSwitches sw;
        sw.checkWorkflow = workflow;
        const ActionResult saved = SaveBill(bill, bill.ref(), sw, Db());
        return saved.done ? saved.billId : 0;
    }
    // A fresh start for a case of a table: no task, no closing, the order line at 10 in
    // production and nothing else made from it.
    void resetTasks()
    {
        ExecScript(
            u"delete from t_ProTaskForm; delete from t_ProTaskList; delete from zzsyslog;"
            "delete from t_comparameters; update t_SaleOrderForm set FIsCloseAcc = 0;"
            "update t_SaleOrderList set FProtaskFinishNumber = 10, FFinishNumber = 0, FPurOrderFinishNumber = 0"_s);
        dm.lastClosingDate = QDate();
    }
    ListContext taskList(bool workflow)
    {
        dm.switches.checkWorkflow = workflow;
        return OpenListContext(3049, dm.switches);
    }
    static ListRow rowOf(int id) { return ReadListRow(u"t_ProTaskForm"_s, id); }
    // "in production|tasks|task lines|checked|checker" of the order line and the tasks on file;
    // the last two are "-" without a task, all is empty without the sales order.
    static QString figures()
    {
        return scalar(u"select concat(cast(FProtaskFinishNumber as signed), '|', (select count(*) from t_ProTaskForm),"
                      " '|', (select count(*) from t_ProTaskList), '|', IfNull((select concat(IfNull(FIsChecked,0),"
                      " '|', IfNull(FCheckerID,'-')) from t_ProTaskForm limit 1), '-|-')) from t_SaleOrderList L"
                      " join t_SaleOrderForm F on F.FID = L.FFormID where L.FID = 501"_s)
            .toString();
    }
    static int count(const QString &sql) { return scalar(sql).toInt(); }

    nvDMBase &dm = nvDMBase::instance();
};

// A save that knows its outcome takes its mark away, and the marks a day old that others left.
TEST_F(ListActions, ASaveLeavesOnlyTheCommitMarksOfTheLastDay)
{
    ExecScript(
        u"insert into zzcommitmark values ('old', now() - interval 25 hour), ('young', now() - interval 23 hour)"_s);
    ASSERT_NE(saveTask(false), 0);
    EXPECT_EQ(scalar(u"select group_concat(FToken) from zzcommitmark"_s).toString(), u"young"_s);
}

// The connection is lost while the COMMIT of a save is on its way: the user is told what the
// server did, for a stored task too, whose row is there whether or not this save landed.
TEST_F(ListActions, ASaveWhoseCommitIsLostIsReportedAsTheServerDidIt)
{
    std::optional<PinServerClock> clock;
    for (const bool stored : {false, true}) {
        for (const bool serverCommitted : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "stored " << stored << ", committed " << serverCommitted);
            resetTasks();
            const int first = stored ? saveTask(false) : 0;
            const int logRows = count(u"select count(*) from zzsyslog"_s);
            setBeforeCommitHook([serverCommitted](const QSqlDatabase &db) {
                if (serverCommitted)
                    TDataSet(db).exec(u"COMMIT"_s);
                KillConnection(db);
            });
            prompter.clear();
            const int id = saveTask(false, first);
            setBeforeCommitHook(nullptr);
            clock.emplace(Db(), kPinnedNow); // the reopened session
            EXPECT_EQ(id != 0, serverCommitted);
            EXPECT_EQ(prompter.lastText(),
                      QString::fromUtf8(serverCommitted ? kCommitLandedMessage : kConnectionLostMessage));
            EXPECT_EQ(count(u"select count(*) from zzsyslog"_s), logRows + (serverCommitted ? 1 : 0));
            EXPECT_EQ(count(u"select count(*) from t_ProTaskForm"_s), stored || serverCommitted ? 1 : 0);
        }
    }

    // The server crashed before the COMMIT and, restarted, gave another workstation on this
    // machine the same new key, the same proposed number and the log row's key again: its
    // log row reads like this save's own, but this save did not land.
    resetTasks();
    setBeforeCommitHook([](const QSqlDatabase &db) {
        TDataSet mine(db);
        mine.open(u"select concat_ws(',',FLogID,quote(FDateTime),FUserId,quote(FHostName),quote(FIpAddr),"
                  "quote(FMsgCont),quote(FWindow)) as FLog, (select concat(FID,',',quote(FBillNo)) from "
                  "t_ProTaskForm order by FID desc limit 1) as FTask from zzsyslog where FLogID = LAST_INSERT_ID()"_s);
        const QString log = mine.fieldByName(u"FLog"_s).toString();
        const QString task = mine.fieldByName(u"FTask"_s).toString();
        KillConnection(db);
        {
            TDataSet twin(openConnection(TestConnectionSettings(u"twin"_s)));
            twin.exec(u"insert into zzsyslog(FLogID,FDateTime,FUserId,FHostName,FIpAddr,FMsgCont,FWindow) values("_s
                      + log + u")"_s);
            twin.exec(u"insert into t_ProTaskForm(FID,FBillNo,FBillDate) values("_s + task + u",now())"_s);
        }
        QSqlDatabase::removeDatabase(u"twin"_s);
    });
    prompter.clear();
    EXPECT_EQ(saveTask(false), 0);
    setBeforeCommitHook(nullptr);
    EXPECT_EQ(prompter.lastText(), QString::fromUtf8(kConnectionLostMessage));
}

// A refused action shows its messages, never asks, and leaves the bills, their lines and the
// order line's production figure as they were. A task is deleted posted (no workflow), so that
// nothing is taken back; a stopping reference ends a delete before the closing test, the sales
// order's deliveries and purchase orders let it speak.
TEST_F(ListActions, RefusalsByReferencesClosingAndVouchersChangeNothing)
{
    using A = ListAction;
    const QString fed = u"该单据已经被出货单引用,不能删除！;该单据已经被采购订单引用,不能删除！"_s;
    const QString voucher = u"本单已经生成过凭证,不允许进行审核或反审核单据,请先删除凭证"_s;
    // list (the task or the sales order 500), action, marks, the texts shown (";" between)
    const std::tuple<int, ListAction, const char *, QString> cases[] = {
        {3049, A::Delete, "update t_ProTaskList set FFinishNumber = 3; update t_ProTaskForm set FIsCloseAcc = 1",
         u"该单据已经被生产领料单引用,不能删除！"_s},
        {3049, A::Delete, "update t_ProTaskForm set FFinishNumber = 2", u"该单据已经被完工入库单引用,不能删除！"_s},
        {3049, A::Delete, "update t_ProTaskForm set FIsCloseAcc = 1", u"该单据已经结帐过,不能删除！"_s},
        {3049, A::Delete, "update t_ProTaskForm set FIsCreateVoucher = 1, FVoucherID = 7",
         u"该单据已经生成凭证,不能删除！"_s},
        {3049, A::Check,
         "insert into t_comparameters(FName,FTypeID,FDatetimeValue) values ('FAccCloseDate',5,'2026-12-11')",
         u"本期已结帐，不允许审核单据。"_s},
        {3049, A::Check, "update t_ProTaskForm set FIsCreateVoucher = 1", voucher},
        {3049, A::UnCheck, "update t_ProTaskForm set FIsCloseAcc = 1", u"本期已结帐，不允许进行审核或反审核单据。"_s},
        {3049, A::UnCheck, "update t_ProTaskForm set FIsCreateVoucher = 1", voucher},
        {3003, A::Delete,
         "update t_SaleOrderForm set FIsCloseAcc = 1;"
         "update t_SaleOrderList set FFinishNumber = 5, FPurOrderFinishNumber = 2, FProtaskFinishNumber = 0",
         fed + u";该单据已经结帐过,不能删除！"_s},
        {3003, A::Delete,
         "update t_SaleOrderList set FFinishNumber = 5, FPurOrderFinishNumber = 2, FProtaskFinishNumber = 0", fed},
        {3003, A::Delete,
         "update t_SaleOrderForm set FIsCloseAcc = 1;"
         "update t_SaleOrderList set FFinishNumber = 5, FPurOrderFinishNumber = 2, FProtaskFinishNumber = 10",
         fed + u";该单据已经被生产任务单引用,不能删除！"_s},
    };
    for (const auto &[billType, action, marks, shown] : cases) {
        SCOPED_TRACE(shown.toStdString());
        resetTasks();
        const bool workflow = action != A::Delete;
        const int id = billType == 3049 ? saveTask(workflow) : 500;
        dm.switches.checkWorkflow = workflow;
        const ListContext list = OpenListContext(billType, dm.switches);
        if (action == A::UnCheck) {
            ASSERT_EQ(CheckListBill(list, rowOf(id)), ListOutcome::Done);
        }
        ExecScript(QString::fromUtf8(marks));
        const QString before = figures();
        prompter.clear();
        prompter.queueAnswer(true);
        const ListRow row = ReadListRow(list.formTable, id);
        const ListOutcome outcome = action == A::Delete ? DeleteListBill(list, row)
            : action == A::Check                        ? CheckListBill(list, row)
                                                        : UncheckListBill(list, row);
        EXPECT_EQ(outcome, ListOutcome::Refused);
        EXPECT_EQ(prompter.texts(), shown.split(u';'));
        EXPECT_EQ(figures(), before);
    }
}

// Without the check workflow a saved task counts in the order line's production figure; deleting
// it from the list takes that back. (With the workflow the host's task flow deletes a task.)
TEST_F(ListActions, DeleteTakesTheSavedTasksPostingBackWithoutTheWorkflow)
{
    const int id = saveTask(false);
    ASSERT_EQ(figures(), u"50|1|1|1|1"_s);
    const ListContext list = taskList(false);
    const ListRow row = rowOf(id);

    prompter.queueAnswer(false);
    EXPECT_EQ(DeleteListBill(list, row), ListOutcome::Cancelled);
    EXPECT_EQ(prompter.texts(), QStringList{u"确定要删除所选单据?"_s});
    EXPECT_EQ(prompter.entries().value(0).kind, PromptKind::Warning);
    EXPECT_EQ(figures(), u"50|1|1|1|1"_s);

    prompter.queueAnswer(true);
    EXPECT_EQ(DeleteListBill(list, row), ListOutcome::Done);
    EXPECT_EQ(figures(), u"10|0|0|-|-"_s);
    EXPECT_EQ(scalar(u"select concat(FMsgCont,'|',FWindow) from zzsyslog order by FLogID desc limit 1"_s).toString(),
              u"删除操作 - 单据号:"_s + row.billNo + u"|生产任务单列表"_s);
}

// Check and uncheck from the list post and take back the task's figure and write their log
// rows. A row read before another workstation checked (or unchecked) the task neither posts it
// twice nor deletes a checked task past its posting.
TEST_F(ListActions, CheckAndUncheckPostOnceEvenFromAStaleRow)
{
    const int id = saveTask(true);
    const ListContext list = taskList(true);
    const ListRow unchecked = rowOf(id);
    ASSERT_EQ(CheckListBill(list, unchecked), ListOutcome::Done);
    EXPECT_EQ(figures(), u"50|1|1|1|1"_s);
    const ListRow checked = rowOf(id);
    ASSERT_EQ(UncheckListBill(list, checked), ListOutcome::Done);
    EXPECT_EQ(figures(), u"10|1|1|0|-"_s);
    EXPECT_TRUE(prompter.entries().isEmpty()) << prompter.lastText().toStdString();
    EXPECT_EQ(count(u"select count(*) from zzsyslog where FWindow = '生产任务单列表' and FMsgCont in "
                    "('审核操作 - 单据号:RWD20261200001', '反审核操作 - 单据号:RWD20261200001')"_s),
              2);

    ASSERT_EQ(CheckListBill(list, unchecked), ListOutcome::Done);
    EXPECT_EQ(CheckListBill(list, unchecked), ListOutcome::Failed);
    EXPECT_EQ(prompter.lastText(), u"该单据已经审核过了,不能重复审核"_s);
    prompter.queueAnswer(true);
    EXPECT_EQ(DeleteListBill(list, unchecked), ListOutcome::Failed);
    EXPECT_EQ(prompter.lastText(), u"删除数据失败,请重试"_s);
    EXPECT_EQ(DeleteListBill(list, checked), ListOutcome::Ignored) << "a checked row's delete is disabled";
    EXPECT_EQ(figures(), u"50|1|1|1|1"_s);
    ASSERT_EQ(UncheckListBill(list, checked), ListOutcome::Done);
    EXPECT_EQ(UncheckListBill(list, checked), ListOutcome::Failed);
    EXPECT_EQ(prompter.lastText(), u"该单据未审核,不能进行反审核"_s);
    EXPECT_EQ(figures(), u"10|1|1|0|-"_s);
}

// User 2 may add, edit and display tasks but not check them: what the rights leave is reachable,
// a check is ignored. (The list form and the command line show what a user without rights meets.)
TEST_F(ListActions, ARestrictedUserEditsButCannotCheck)
{
    ExecScript(u"insert into t_comUser(FID,FName,FRightType) values (2,'张会计',1);"
               "insert into t_comRight(FID,Fvalue) values (1,'Bill.Protask'), (2,'Bill.Protask.Add'),"
               " (3,'Bill.Protask.Edit'), (4,'Bill.Protask.Display'), (5,'Bill.Protask.Del'), (6,'Bill.Protask.Check'),"
               " (7,'Bill.Protask.UnCheck');"
               "insert into t_comUserRight(FUserID,FRightID) select 1, FID from t_comRight union all"
               " select 2, FID from t_comRight where FID <= 4"_s);
    const int id = saveTask(true);
    dm.switches.rightsSwitch = 1;
    dm.userId = 2;
    const ListContext clerk = taskList(true);
    const ListRow row = rowOf(id);
    EXPECT_EQ(CheckListBill(clerk, row), ListOutcome::Ignored);
    EXPECT_TRUE(prompter.entries().isEmpty());
    EXPECT_EQ(figures(), u"10|1|1|0|-"_s);
    EXPECT_EQ(ListHostRequestFor(clerk, ListAction::Edit, row),
              (ListHostRequest{HostMsg::OpenWindow, 3049, id, false}));

    dm.userId = 1;
    EXPECT_EQ(CheckListBill(taskList(true), row), ListOutcome::Done) << "the administrator may";
    dm.switches.rightsSwitch = 0;
    EXPECT_TRUE(OpenListContext(kRetailList, dm.switches).buttonVisible(ListAction::Edit))
        << "without the rights switch the retail list keeps its buttons";
}

TEST_F(ListActions, ColumnsHiddenByTheWorkflowAndTheRightType)
{
    ExecScript(u"insert into t_comUser(FID,FName,FRightType) values (2,'张会计',1), (3,'王经理',2)"_s);
    dm.userId = 2;
    EXPECT_EQ(ListHiddenColumns(3049, false), (QStringList{u"FIsChecked"_s, u"FCheckName"_s}));
    EXPECT_EQ(ListHiddenColumns(3006, true), (QStringList{u"FPayTobeAmount"_s, u"FPayAmount"_s}));
    dm.userId = 3;
    EXPECT_TRUE(ListHiddenColumns(3006, true).isEmpty());
    EXPECT_TRUE(ListHiddenColumns(3049, true).isEmpty());
}

// A rebate over a supplier's December purchases of paint: refused once another rebate bill has
// counted one of those purchases, not for its own earlier counting or another product's.
TEST_F(ListActions, ARebateIsNotCountedTwice)
{
    ExecScript(u"insert into t_ReturnForm(FID,FClientID,FBeginDate,FEndDate) values (1,10,'2026-12-01','2026-12-31');"
               "insert into t_ReturnList(FID,FFormID,FSID,FProductID,FIsSelected) values (1,1,1,37,1), (2,1,2,38,0);"
               "insert into t_PurForm(FID,FClientID,FBillDate) values (1,10,'2026-12-05'), (2,10,'2027-01-02');"
               "insert into t_PurList(FID,FFormID,FSID,FProductID,FIsPresent,FReturnFromFormID) values"
               " (1,1,1,37,0,1), (2,1,2,38,0,2), (3,2,1,37,0,2)"_s);
    EXPECT_FALSE(RebateAlreadyCounted(1)) << "only its own, an unselected product's and a later purchase's";
    EXPECT_TRUE(prompter.entries().isEmpty());
    ExecScript(u"update t_PurList set FReturnFromFormID = 2 where FID = 1"_s);
    EXPECT_TRUE(RebateAlreadyCounted(1));
    EXPECT_EQ(prompter.texts(), QStringList{u"您要返利的期间已经存在被其它返利单计算过了返利，不能重复计算返利"_s});
}

// Stock shortages before checking a sales-out bill of 3 + 2 bolts from storehouse 1 and a sales
// order of 5 bolts and the chairs, which storehouse 2 holds (an order counts every storehouse):
// refused when negative stock is forbidden, asked when the company wants to be asked; a sales
// order never blocks.
TEST_F(ListActions, TheStockTestRefusesOrAsksOnAShortage)
{
    ExecScript(
        u"insert into t_SaleOutForm(FID,FStorehouseID) values (1,1);"
        "insert into t_SaleOutList(FID,FFormID,FSID,FProductID,FUnitID,FNumber) values (1,1,1,2,1,3), (2,1,2,2,1,2);"
        "insert into t_SaleOrderList(FID,FFormID,FSID,FProductID,FUnitID,FNumber) values (502,500,2,2,1,5)"_s);
    const char *refused = "存在商品[ 螺栓 ]库存不足";
    const char *asked = "存在商品[ 螺栓 ]库存不足,是否允许负库存继续执行?";
    // bill type, bolts per storehouse, forbid, ask, answer (-1: no question), passes, text shown
    const std::tuple<int, const char *, bool, bool, int, bool, const char *> cases[] = {
        {3004, "(1,2,4)", true, false, -1, false, refused},
        {3004, "(1,2,4)", false, true, 0, false, asked},
        {3004, "(1,2,4)", false, true, 1, true, asked},
        {3004, "(1,2,4)", false, false, -1, true, nullptr},
        {3004, "(1,2,5)", true, false, -1, true, nullptr},
        {3004, "(1,2,3), (3,2,3)", true, false, -1, false, refused},
        {3003, "(1,2,4)", true, false, -1, true, nullptr},
        {3003, "(1,2,4)", false, true, 0, false, asked},
        {3003, "(1,2,3), (3,2,3)", false, true, -1, true, nullptr},
    };
    for (const auto &[billType, stock, forbid, ask, answer, passes, shown] : cases) {
        SCOPED_TRACE(::testing::Message() << billType << " " << stock << " " << forbid << ask << answer);
        ExecScript(
            u"delete from t_Balance; insert into t_Balance(FStorehouseID,FProductID,FNumber) values (2,1,100), "_s
            + QString::fromUtf8(stock));
        prompter.clear();
        if (answer >= 0)
            prompter.queueAnswer(answer == 1);
        const bool order = billType == 3003;
        EXPECT_EQ(ListStockTest(billType, order ? u"t_SaleOrderForm"_s : u"t_SaleOutForm"_s,
                                order ? u"t_SaleOrderList"_s : u"t_SaleOutList"_s, order ? 500 : 1,
                                {.forbidNegativeStock = forbid, .askOnNegativeStock = ask}),
                  passes);
        EXPECT_EQ(prompter.texts(), shown ? QStringList{QString::fromUtf8(shown)} : QStringList());
    }
}

} // namespace
