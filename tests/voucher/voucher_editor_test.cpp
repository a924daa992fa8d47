#include "billedit/protask_form.h"
#include "billlist/bill_list_form.h"
#include "grid/grid_view.h"
#include "platform/host_messages.h"
#include "test_editors.h"
#include "voucher/forms/voucher_forms.h"
#include "voucher_fixture.h"

#include <QAction>
#include <QLabel>

using namespace protask;
using namespace protask::testing;

namespace {

class VoucherEditor : public BillEditor {
protected:
    static QAction *action(QObject *form, const char *name) { return form->findChild<QAction *>(name); }
};

// The purchase editor: a saved and checked bill becomes a voucher through its menu (stock
// debited, the supplier's payable credited), the editor locks as "voucher made", and showing
// the voucher asks the host for it.
TEST_F(VoucherEditor, APurchaseBillMakesAndShowsItsVoucherFromTheEditor)
{
    nvDMBase::instance().switches.checkWorkflow = true;
    ExecScript("update T_BillType set FBillTypeID = 3002 where FID = 2");
    SeedVoucherAccounts();
    SetVoucherTemplate(3002, {{7, "借", "金额"}, {4, "贷", "金额"}});
    RecordingHost host;
    auto e = filledPurchase();
    e->FMainHandle = registerWindowHandle(&host);
    for (const char *name : {"actVoucher", "actCreateVoucher", "actShowVoucher"})
        EXPECT_TRUE(action(e.get(), name)->isVisible()) << name;

    action(e.get(), "actCreateVoucher")->trigger();
    EXPECT_EQ(prompter.lastText(), "该单据未保存,不能生成凭证！");
    e->SaveBill();
    ASSERT_TRUE(e->FSaveIsFinish);
    e->CheckBillAction();
    ASSERT_EQ(e->editState(), 3);
    action(e.get(), "actShowVoucher")->trigger();
    EXPECT_EQ(prompter.lastText(), "该单据未生成凭证,不能进行查看");
    EXPECT_TRUE(host.received.isEmpty());

    QString shown;
    TFBaseForm_CreateVoucher_Result::ExecuteHook = [&shown](TFBaseForm_CreateVoucher_Result &d) {
        shown = d.reportText();
    };
    action(e.get(), "actCreateVoucher")->trigger();
    TFBaseForm_CreateVoucher_Result::ExecuteHook = nullptr;
    EXPECT_EQ(shown, reportOf(1, 0));
    EXPECT_EQ(e->editState(), 13);
    EXPECT_FALSE(e->findChild<QLabel *>("lbl_FIsCreateVoucher")->isHidden());
    const QString voucher = scalar("select FVoucherID from t_PurForm where FIsCreateVoucher = 1").toString();
    ASSERT_NE(voucher, "");
    EXPECT_EQ(Rows("select concat(L.FAccountID,':',IfNull(L.FSupplierID,0) = F.FClientID,':',L.FCreditAmount+0e0,':',"
                   "L.FNote) from t_voucherList L inner join t_PurForm F on F.FVoucherID = L.FFormID where L.FSID = 2"),
              ("4:1:30:进货单_" + e->billNo()->text()).toStdString())
        << "the supplier account takes the bill's supplier";

    action(e.get(), "actShowVoucher")->trigger();
    EXPECT_EQ(host.received, QStringList{"1036/3027/" + voucher});
}

// The task list keeps its voucher buttons hidden, and their actions do nothing, also when a
// template would convert the task; the task's editor never offers the voucher menu.
TEST_F(VoucherEditor, TheProductionTaskNeitherShowsNorRunsItsVoucherActions)
{
    nvDMBase::instance().switches.checkWorkflow = true;
    SeedVoucherAccounts();
    SetVoucherTemplate(3049, {{1, "借", "加工金额"}, {2, "贷", "加工金额"}});
    ExecScript("insert into t_ProTaskForm(FID,FBillTypeID,FBillNo,FBillDate,FIsChecked,FAmount) values"
               " (1,3049,'RWD20261200001','2026-12-02',1,30)");
    RecordingHost host;
    TFBaseForm_BillList list(nullptr, 0);
    list.FBillTypeID = 3049;
    list.FMainHandle = registerWindowHandle(&host);
    list.showForm();
    ASSERT_EQ(list.grid()->model()->rowCountValue(), 1);
    list.setCurrentRow(0);
    for (const char *name : {"act_CreateVoucher", "act_DisplayVoucher"}) {
        EXPECT_FALSE(action(&list, name)->isVisible()) << name;
        action(&list, name)->trigger();
    }
    EXPECT_EQ(scalar("select count(*) from t_VoucherForm").toInt(), 0);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_TRUE(host.received.isEmpty());

    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    for (const char *name : {"actVoucher", "actCreateVoucher", "actShowVoucher"})
        EXPECT_FALSE(action(&task, name)->isVisible()) << name;
}

} // namespace
