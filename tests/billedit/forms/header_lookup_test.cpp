#include "billedit/protask_form.h"
#include "comm/comm_interface.h"
#include "plugin/comm_call.h"
#include "test_editors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTableView>

using namespace protask;
using namespace protask::testing;

namespace {

// The row the sibling library's lookup dialog is answered with; -1 cancels it.
int g_pickRow = -1;
int g_dialogs = 0;

int answerDialog(QDialog *dialog)
{
    ++g_dialogs;
    if (g_pickRow < 0)
        return QDialog::Rejected;
    dialog->findChild<QTableView *>(QStringLiteral("grd_Lookup"))->selectRow(g_pickRow);
    dialog->findChild<QAbstractButton *>(QStringLiteral("btn_OK"))->click();
    return dialog->result();
}

void press(QWidget *w, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

class HeaderLookup : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        TCallDLL library(kCommLibraryName);
        reinterpret_cast<CommSetDialogHookFunc>(library.resolve("CommSetDialogHook"))(&answerDialog);
        g_pickRow = -1;
        g_dialogs = 0;
        ExecScript(QStringLiteral(
            "insert into t_comClient(FID,FNo,FName,FCode,FType,FIsActive) values"
            "(1,'C1','华东五金','HDWJ',1,1),(2,'C2','华南木业','HNMY',1,1),(3,'S1','供应商甲','GYS',2,1)"));
    }
};

TEST_F(HeaderLookup, F7AndEnterOnAnEmptyFieldOpenTheCommonLookupAndItsChoiceFillsTheField)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    auto *client = static_cast<QComboBox *>(task.headerControl(QStringLiteral("FClientName")));
    EXPECT_EQ(client->count(), 2) << "the list holds the active clients";

    press(client, Qt::Key_F7);
    EXPECT_EQ(g_dialogs, 1);
    EXPECT_TRUE(client->currentText().isEmpty()) << "a cancelled lookup changes nothing";
    EXPECT_FALSE(task.FSave);

    g_pickRow = 1;
    press(client->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(g_dialogs, 2) << "a second lookup in one run";
    EXPECT_EQ(client->currentText(), QStringLiteral("华南木业"));
    EXPECT_TRUE(task.FSave);

    press(client->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(g_dialogs, 2) << "Enter on a filled field moves on";
}

TEST_F(HeaderLookup, ARefusedRightOpensNoLookup)
{
    ExecScript(QStringLiteral("insert into t_comUser(FID,FName,FRightType) values(1,'张三',1)"));
    nvDMBase::instance().switches.checkWorkflow = true;
    nvDMBase::instance().switches.rightsSwitch = 1;
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    g_pickRow = 0;
    press(task.headerControl(QStringLiteral("FClientName")), Qt::Key_F7);
    EXPECT_EQ(g_dialogs, 0);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("您未被授权"));
}

TEST_F(HeaderLookup, TheSupplierLabelShowsTheSupplierOrSaysThereIsNone)
{
    auto e = openPurchase();
    e->set("FClientName", QStringLiteral("华东五金"));
    e->OpenClientRecord();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("供应商不存在！")) << "a client is no supplier";
    EXPECT_EQ(g_dialogs, 0);
    e->set("FClientName", QStringLiteral("供应商甲"));
    e->OpenClientRecord();
    EXPECT_EQ(g_dialogs, 1) << "the record of the supplier is shown";
}

} // namespace
