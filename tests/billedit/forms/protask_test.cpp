// The production task editor: save and reload, the proposed materials, the rules it shares with
// tasks made without a screen, preview, and what the shortcuts of a restricted user reach.
#include "billedit/model/protask_bill.h"
#include "billedit/protask_form.h"
#include "grid/grid_validation.h"
#include "grid/grid_view.h"
#include "key_press.h"
#include "platform/program_folder.h"
#include "printing/bill_report_form.h"
#include "test_editors.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

using namespace protask;
using namespace protask::testing;

namespace {

// 书桌 was made twice: task 1, the later number, for 东方家私 with two material lines, and task 2
// with one.
class Protask : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        ExecScript(QStringLiteral(
            "insert into t_comCompany(FID,FName,FAddress,FTel) values(1,'华东精工','文三路100号','88886666');"
            "insert into t_comClient(FID,FNo,FName,FType) values(7,'K1','东方家私',1);"
            "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values(10,'F01','书桌',1);"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values(10,1,1,1);"
            "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FClientID,FProductID,Fnumber,FIsChecked) values"
            " (1,'RWD20261100002','2026-11-20',7,10,1,0),(2,'RWD20261100001','2026-11-02',null,10,1,0);"
            "insert into t_ProTaskList(FID,FSID,FFormID,FProductID,FUnitID,FSingleNumber,FNumber,FPrice,FAmount) values"
            " (1,1,1,1,1,2,2,1.5,3),(2,2,1,2,1,4,4,0.25,1),(3,1,2,2,1,9,9,1,9)"));
    }
    // The stored task, shown and focused as a user opens it.
    std::unique_ptr<TFBaseForm_BillBase_BillNo_Protask> openTask(int bill, int status, int user = 1)
    {
        nvDMBase::instance().userId = user;
        auto task = std::make_unique<TFBaseForm_BillBase_BillNo_Protask>(nullptr, 0);
        task->FBillID = bill;
        task->FBillStatusID = status;
        task->showForm();
        task->show();
        task->activateWindow();
        task->setFocus();
        QCoreApplication::processEvents();
        return task;
    }
};

TEST_F(Protask, TheTaskEditorSavesReloadsAndGrowsItsGrid)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    EXPECT_EQ(task.findChild<TCurrencyEdit *>(QStringLiteral("edt_Fnumber"))->value(), 1) << "a new task makes one";
    static_cast<QComboBox *>(task.headerControl(QStringLiteral("FClientName")))->setEditText(QStringLiteral("新客户"));
    static_cast<QComboBox *>(task.headerControl(QStringLiteral("FProductName")))->setEditText(QStringLiteral("书桌"));
    for (int r = 0; r < 23; ++r) {
        if (r >= task.FDC->rowCountValue())
            task.FDC->appendRow();
        task.FDC->setCell(r, QStringLiteral("R_FProductName"), r % 2 ? QStringLiteral("螺栓") : QStringLiteral("螺母"));
        task.FDC->setCell(r, QStringLiteral("R_FUnitName"), QStringLiteral("个"));
        task.FDC->editCell(r, task.FDC->columnIndex(QStringLiteral("R_FSingleNumber")), 2);
    }
    task.findChild<TCurrencyEdit *>(QStringLiteral("edt_Fnumber"))->setValue(10);
    EXPECT_DOUBLE_EQ(task.FDC->cell(22, QStringLiteral("R_FNumber")).toDouble(), 20) << "the lines follow the quantity";
    task.SaveBill();
    ASSERT_TRUE(task.FSaveIsFinish) << prompter.lastText().toStdString();
    EXPECT_EQ(
        scalar(QStringLiteral("select count(*) from t_ProTaskList where FNumber = 20 and FSingleNumber = 2")).toInt(),
        23);

    const auto reopened = openTask(task.FBillID, 2);
    EXPECT_EQ(reopened->FDC->rowCountValue(), 23) << "the grid grows by one row per extra line";
    EXPECT_EQ(reopened->FDC->cell(22, QStringLiteral("R_FSID")).toInt(), 23);
    EXPECT_EQ(static_cast<QComboBox *>(reopened->headerControl(QStringLiteral("FClientName")))->currentText(),
              QStringLiteral("新客户"));

    // The editor runs the task's value checks: a text longer than its column is refused.
    LoadControl(reopened->headerControl(QStringLiteral("FNote")), QString(501, QChar(0x957F)));
    const QString before = AllTablesChecksum();
    reopened->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("说明(FNote)的内容超过了500个字符(现有501个),不能保存,请检查"));
    EXPECT_EQ(AllTablesChecksum(), before);
}

TEST_F(Protask, ChoosingAProductProposesTheMaterialsOfItsLastTaskScaled)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    task.findChild<TCurrencyEdit *>(QStringLiteral("edt_Fnumber"))->setValue(2.5);
    static_cast<QComboBox *>(task.headerControl(QStringLiteral("FProductName")))->setEditText(QStringLiteral("书桌"));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German)); // a decimal comma must not reach the statement
    task.ProposeMaterials();
    QLocale::setDefault(before);
    EXPECT_EQ(RowCells(task.FDC, 0, "FProductName,FNumber,FAmount"),
              QStringLiteral("FProductName=螺栓;FNumber=5;FAmount=7.5"))
        << "the task with the highest number is the model";
    EXPECT_EQ(RowCells(task.FDC, 1, "FNumber"), QStringLiteral("FNumber=10"));
    EXPECT_EQ(RowCells(task.FDC, 2, "FProductName"), QStringLiteral("FProductName="));
    EXPECT_EQ(task.FDC->rowCountValue(), 20);

    static_cast<QComboBox *>(task.headerControl(QStringLiteral("FProductName")))->setEditText(QStringLiteral("新产品"));
    task.ProposeMaterials();
    EXPECT_EQ(RowCells(task.FDC, 0, "FProductName"), QStringLiteral("FProductName=螺栓"))
        << "a product without tasks leaves the lines";
}

// The fields a task without a screen must have are the editor's mandatory fields, under the
// captions of their labels, and the material grid's row checks are the same: the refusal texts
// are the same.
TEST_F(Protask, MandatoryFieldsWithoutAScreenAreTheEditorsMandatoryFields)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    QStringList editor;
    for (QWidget *w : task.findChildren<QWidget *>()) {
        if (!w->objectName().startsWith(QStringLiteral("edt_")) || !(w->property("tag").toInt() & 1))
            continue;
        const QString field = w->objectName().mid(4);
        if (auto *label = task.findChild<QLabel *>(QStringLiteral("lbl_") + field))
            editor << field + QLatin1Char('=') + label->text();
    }
    QStringList model;
    for (const MandatoryField &f : ProtaskMandatoryFields(ProtaskHeader()))
        model << f.field + QLatin1Char('=') + f.caption;
    editor.sort();
    model.sort();
    EXPECT_EQ(editor, model);

    const auto described = [](const QList<LineCheckColumn> &columns) {
        QStringList d;
        for (const LineCheckColumn &c : columns) {
            if (c.required || c.unique)
                d << c.name + QLatin1Char('=') + c.caption + QLatin1Char(c.required ? 'R' : '-')
                        + QLatin1Char(c.unique ? 'U' : '-') + QLatin1Char(c.numeric ? 'N' : '-')
                        + QLatin1Char(c.zeroAllowed ? 'Z' : '-');
        }
        d.sort();
        return d;
    };
    EXPECT_EQ(described(GridCheckColumns(task.FDC)), described(ProtaskLineCheckColumns()));
}

// The preview key opens the chosen print style's template on the task's lines. User 2 may only
// open and display tasks: the shortcuts of the actions it lacks reach nothing.
TEST_F(Protask, PreviewReachesTheChosenTemplateButARestrictedUsersShortcutsChangeNothing)
{
    QTemporaryDir home;
    SetProgramFolder(home.path());
    SeedProgramFolder(SourceDir() + QStringLiteral("/resources"));
    ExecScript(QStringLiteral("insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0), (2,'张会计',1)"));
    SeedDisplayOnlyRights();
    nvDMBase::instance().switches.checkWorkflow = true;
    const auto task = openTask(1, 2);
    task->findChild<QMenu *>(QStringLiteral("mnuPrintStyle"))->actions().value(1)->trigger(); // "240 * 139 规格"
    QString file;
    qsizetype rows = -1;
    QTimer::singleShot(0, [&]() {
        if (auto *form = qobject_cast<TFBaseForm_BillReport *>(QApplication::activeModalWidget())) {
            file = form->FTemplaceFileName;
            rows = form->report().data().rows.size();
            form->reject();
        }
    });
    PressKeys(task.get(), QStringLiteral("Ctrl+L"));
    EXPECT_EQ(file, QStringLiteral("生产任务单(中).grf"));
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(scalar(QStringLiteral("select FWindow from zzsyslog where FMsgCont = '预览操作 - 单据号:RWD20261100002'"))
                  .toString(),
              QStringLiteral("生产任务单"));
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.lastText().toStdString();

    nvDMBase::instance().switches.rightsSwitch = 1;
    const auto restricted = openTask(1, 3, 2);
    LoadControl(restricted->headerControl(QStringLiteral("FNote")), QStringLiteral("改过"));
    const QString before = AllTablesChecksum();
    // Each key's action is hidden by the missing right, or (save) off while the task is shown.
    const std::pair<const char *, const char *> cases[] = {
        {"Ctrl+N", "actNew"}, {"Ctrl+P", "actPrint"}, {"Ctrl+L", "actPreview"}, {"Ctrl+S", nullptr}};
    for (const auto &[keys, action] : cases) {
        EXPECT_EQ(PressKeys(restricted.get(), QString::fromLatin1(keys)), QString()) << keys;
        if (action) {
            EXPECT_FALSE(restricted->action(QString::fromLatin1(action))->isVisible()) << action;
        }
    }
    for (const char *hidden : {"actCheck", "actUnCheck"}) {
        EXPECT_FALSE(restricted->action(QString::fromLatin1(hidden))->isVisible()) << hidden;
        restricted->action(QString::fromLatin1(hidden))->trigger();
    }
    EXPECT_EQ(AllTablesChecksum(), before);
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.lastText().toStdString();
}

} // namespace
