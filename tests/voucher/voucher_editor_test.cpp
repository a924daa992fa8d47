#include "billedit/protask_form.h"
#include "billlist/bill_list_form.h"
#include "grid/grid_view.h"
#include "platform/host_messages.h"
#include "test_editors.h"
#include "voucher/forms/voucher_forms.h"

#include <QAction>
#include <QLabel>

using namespace protask;
using namespace protask::testing;

namespace {

class VoucherEditor : public BillEditor {
protected:
    void trigger(QObject *form, const char *action)
    {
        form->findChild<QAction *>(QString::fromLatin1(action))->trigger();
    }
    // The purchase template: stock debited, the supplier's payable credited, both by the bill's
    // amount.
    static void seedPurchaseTemplate()
    {
        ExecScript(QStringLiteral(
            "update T_BillType set FBillTypeID = 3002 where FID = 2;"
            "insert into t_voucheraccount(FID,FNo,FName,FIsSupplier) values(7,'1405','库存商品',0),(4,'2202','应付账款',1);"
            "insert into t_vouchermodelfield(FID,FBillTypeID,FFromTableName,FListTableName,FFormOrList,"
            "FAmountFromFieldName,FAmountFromFieldCNName) values(3,3002,'t_PurForm','t_PurList',1,'FAmount','金额');"
            "insert into T_VoucherModelForm(FID,FName,FBillTypeID,FIsDefault) values(1,'进货',3002,1);"
            "insert into T_VoucherModelList(FID,FFormID,FSID,FNote,FAccountID,FCR,FAmountFromFieldName,"
            "FAmountFromFieldCNName) values(1,1,1,'进货',7,'借','FAmount','金额'),(2,1,2,'进货',4,'贷','FAmount','金额')"));
    }
    static bool visible(QObject *form, const char *action)
    {
        return form->findChild<QAction *>(QString::fromLatin1(action))->isVisible();
    }
};

// The purchase editor: a saved and checked bill becomes a voucher through its menu, the editor
// locks as "voucher made", and showing the voucher asks the host for it.
TEST_F(VoucherEditor, APurchaseBillMakesAndShowsItsVoucherFromTheEditor)
{
    nvDMBase::instance().switches.checkWorkflow = true;
    seedPurchaseTemplate();
    RecordingHost host;
    auto e = filledPurchase();
    e->FMainHandle = registerWindowHandle(&host);
    for (const char *name : {"actVoucher", "actCreateVoucher", "actShowVoucher"})
        EXPECT_TRUE(visible(e.get(), name)) << name;

    trigger(e.get(), "actCreateVoucher");
    EXPECT_EQ(prompter.lastText(), QStringLiteral("该单据未保存,不能生成凭证！"));
    e->SaveBill();
    ASSERT_TRUE(e->FSaveIsFinish);
    e->CheckBillAction();
    ASSERT_EQ(e->editState(), 3);
    trigger(e.get(), "actShowVoucher");
    EXPECT_EQ(prompter.lastText(), QStringLiteral("该单据未生成凭证,不能进行查看"));
    EXPECT_TRUE(host.received.isEmpty());

    QString shown;
    TFBaseForm_CreateVoucher_Result::ExecuteHook = [&shown](TFBaseForm_CreateVoucher_Result &d) {
        shown = d.reportText();
    };
    trigger(e.get(), "actCreateVoucher");
    TFBaseForm_CreateVoucher_Result::ExecuteHook = nullptr;
    EXPECT_EQ(shown,
              QStringLiteral("成功生成凭证:1条\n\n-----------------------------------------------\n传送凭证失败:0条"));
    EXPECT_EQ(e->editState(), 13);
    EXPECT_FALSE(e->findChild<QLabel *>(QStringLiteral("lbl_FIsCreateVoucher"))->isHidden());
    const int voucher = scalar(QStringLiteral("select FVoucherID from t_PurForm where FIsCreateVoucher = 1")).toInt();
    ASSERT_NE(voucher, 0);
    EXPECT_EQ(scalar(QStringLiteral("select concat(L.FAccountID,':',IfNull(L.FSupplierID,0) = F.FClientID,':',"
                                    "L.FCreditAmount+0e0,':',L.FNote) from t_voucherList L inner join t_PurForm F on "
                                    "F.FVoucherID = L.FFormID where L.FSID = 2"))
                  .toString(),
              QStringLiteral("4:1:30:进货单_") + e->billNo()->text())
        << "the supplier account takes the bill's supplier";

    trigger(e.get(), "actShowVoucher");
    EXPECT_EQ(host.received, QStringList({QStringLiteral("1036/3027/%1").arg(voucher)}));
}

// The task list keeps its voucher buttons hidden, and their actions do nothing, also when a
// template would convert the task.
TEST_F(VoucherEditor, TheTaskListNeitherShowsNorRunsItsVoucherActions)
{
    nvDMBase::instance().switches.checkWorkflow = true;
    ExecScript(QStringLiteral(
        "insert into t_voucheraccount(FID,FNo,FName) values(1,'5001','生产成本'),(2,'1403','原材料');"
        "insert into t_vouchermodelfield(FID,FBillTypeID,FFromTableName,FListTableName,FFormOrList,"
        "FAmountFromFieldName,FAmountFromFieldCNName) values(1,3049,'t_ProTaskForm','t_ProTaskList',1,'FAmount','金额');"
        "insert into T_VoucherModelForm(FID,FName,FBillTypeID,FIsDefault) values(1,'任务',3049,1);"
        "insert into T_VoucherModelList(FID,FFormID,FSID,FNote,FAccountID,FCR,FAmountFromFieldName,"
        "FAmountFromFieldCNName) values(1,1,1,'t',1,'借','FAmount','金额'),(2,1,2,'t',2,'贷','FAmount','金额');"
        "insert into t_ProTaskForm(FID,FBillTypeID,FBillNo,FBillDate,FIsChecked,FAmount) values"
        " (1,3049,'RWD20261200001','2026-12-02',1,30)"));
    RecordingHost host;
    TFBaseForm_BillList list(nullptr, 0);
    list.FBillTypeID = 3049;
    list.FMainHandle = registerWindowHandle(&host);
    list.showForm();
    ASSERT_EQ(list.grid()->model()->rowCountValue(), 1);
    list.setCurrentRow(0);
    for (const char *name : {"act_CreateVoucher", "act_DisplayVoucher"}) {
        EXPECT_FALSE(visible(&list, name)) << name;
        trigger(&list, name);
    }
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_VoucherForm")).toInt(), 0);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_TRUE(host.received.isEmpty());
}

TEST_F(VoucherEditor, TheProductionTaskNeverOffersTheVoucherMenu)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    for (const char *name : {"actVoucher", "actCreateVoucher", "actShowVoucher"})
        EXPECT_FALSE(visible(&task, name)) << name;
}

} // namespace
