// Print and preview from the task editor: the print form opens modally on the template of the
// chosen print style with the task's lines, and the log row follows.

#include "billedit/protask_form.h"
#include "platform/program_folder.h"
#include "printing/bill_report_form.h"
#include "test_editors.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

using namespace protask;
using namespace protask::testing;

namespace {

class ProtaskPrint : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        SetProgramFolder(home.path());
        SeedProgramFolder(SourceDir() + QStringLiteral("/resources"));
        ExecScript(QStringLiteral(
            "insert into t_comCompany(FID,FName,FAddress,FTel) values(1,'华东精工','文三路100号','88886666');"
            "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values"
            " (1,'RWD20261200001','2026-12-15',1,1,5,0);"
            "insert into t_ProTaskList(FID,FSID,FFormID,FProductID,FUnitID,FSingleNumber,FNumber) values"
            " (1,1,1,2,1,2,10),(2,2,1,1,1,1,5)"));
    }
    QTemporaryDir home;
};

TEST_F(ProtaskPrint, PreviewOpensTheChosenStylesTemplateWithTheLinesAndLogs)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.FBillID = 1;
    task.FBillStatusID = 2;
    task.showForm();
    // The print style menu: "240 * 139 规格".
    auto *styles = task.findChild<QMenu *>(QStringLiteral("mnuPrintStyle"));
    ASSERT_NE(styles, nullptr);
    styles->actions().value(1)->trigger();
    QAction *preview = task.action(QStringLiteral("actPreview"));
    ASSERT_TRUE(preview->isVisible());
    ASSERT_TRUE(preview->isEnabled());
    EXPECT_TRUE(task.action(QStringLiteral("actPrint"))->isVisible());

    QString file;
    qsizetype rows = -1;
    QTimer::singleShot(0, [&]() {
        if (auto *form = qobject_cast<TFBaseForm_BillReport *>(QApplication::activeModalWidget())) {
            file = form->FTemplaceFileName;
            rows = form->report().data().rows.size();
            form->reject();
        }
    });
    preview->trigger();
    EXPECT_EQ(file, QStringLiteral("生产任务单(中).grf"));
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(scalar(QStringLiteral("select FWindow from zzsyslog where FMsgCont = '预览操作 - 单据号:RWD20261200001'"))
                  .toString(),
              QStringLiteral("生产任务单"));
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.lastText().toStdString();
}

} // namespace
