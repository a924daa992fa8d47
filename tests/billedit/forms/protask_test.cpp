#include "billedit/image_help.h"
#include "billedit/model/protask_bill.h"
#include "billedit/protask_form.h"
#include "core/values.h"
#include "grid/grid_validation.h"
#include "grid/grid_view.h"
#include "platform/program_folder.h"
#include "test_editors.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTemporaryDir>

#include <atomic>
#include <set>
#include <thread>

using namespace protask;
using namespace protask::testing;

namespace {

class Protask : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        ExecScript(QStringLiteral(
            "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values(10,'F01','书桌',1);"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values(10,1,1,1);"
            "insert into t_ProTaskForm(FID,FBillNo,FProductID,Fnumber,FIsChecked) values"
            " (1,'RWD20261100002',10,1,0),(2,'RWD20261100001',10,1,0);"
            "insert into t_ProTaskList(FID,FSID,FFormID,FProductID,FUnitID,FSingleNumber,FNumber,FPrice,FAmount) values"
            " (1,1,1,1,1,2,2,1.5,3),(2,2,1,2,1,4,4,0.25,1),(3,1,2,2,1,9,9,1,9)"));
    }
    QString text(TFBaseForm_BillBase_BillNo_Protask &t, const char *field)
    {
        QString value;
        GetControlText(t.headerControl(QString::fromLatin1(field)), value);
        return value;
    }
};

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
    EXPECT_EQ(task.FDC->cell(0, QStringLiteral("R_FProductName")).toString(), QStringLiteral("螺栓"))
        << "the task with the highest number is the model";
    EXPECT_DOUBLE_EQ(task.FDC->cell(0, QStringLiteral("R_FNumber")).toDouble(), 5);
    EXPECT_DOUBLE_EQ(task.FDC->cell(0, QStringLiteral("R_FAmount")).toDouble(), 7.5);
    EXPECT_DOUBLE_EQ(task.FDC->cell(1, QStringLiteral("R_FNumber")).toDouble(), 10);
    EXPECT_TRUE(task.FDC->cell(2, QStringLiteral("R_FProductName")).toString().isEmpty());
    EXPECT_EQ(task.FDC->rowCountValue(), 20);
    // A task made without a screen gets the same proposal.
    const QList<LineValues> proposed = ProposeProtaskMaterials(QStringLiteral("书桌"), 2.5, Db());
    ASSERT_EQ(proposed.size(), 2);
    for (int r = 0; r < 2; ++r) {
        for (const char *f : {"FProductName", "FNumber", "FSingleNumber", "FPrice", "FAmount"})
            EXPECT_EQ(ValueToTrimmedText(proposed.at(r).value(QString::fromLatin1(f))),
                      ValueToTrimmedText(task.FDC->cell(r, QStringLiteral("R_") + QString::fromLatin1(f))))
                << r << f;
    }

    static_cast<QComboBox *>(task.headerControl(QStringLiteral("FProductName")))->setEditText(QStringLiteral("新产品"));
    task.ProposeMaterials();
    EXPECT_EQ(task.FDC->cell(0, QStringLiteral("R_FProductName")).toString(), QStringLiteral("螺栓"))
        << "a product without tasks leaves the lines";
}

// The fields a task without a screen must have are the editor's mandatory fields, under the
// captions of their labels: the refusal texts are the same.
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

    // The same for the material grid's row checks.
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

TEST_F(Protask, TheSalesOrderButtonFollowsTheStatesWithTheWorkflowOn)
{
    nvDMBase::instance().switches.checkWorkflow = true;
    ExecScript(QStringLiteral("update t_ProTaskForm set FIsChecked = 1 where FID = 1"));
    TFBaseForm_BillBase_BillNo_Protask checked(nullptr, 0);
    checked.FBillID = 1;
    checked.FBillStatusID = 2;
    checked.showForm();
    EXPECT_EQ(checked.editState(), 3);
    EXPECT_FALSE(checked.action(QStringLiteral("actSelectSaleOrder"))->isEnabled());
    TFBaseForm_BillBase_BillNo_Protask open(nullptr, 0);
    open.FBillID = 2;
    open.FBillStatusID = 2;
    open.showForm();
    EXPECT_TRUE(open.action(QStringLiteral("actSelectSaleOrder"))->isEnabled());
    EXPECT_TRUE(open.action(QStringLiteral("actSelectSaleOrder"))->isVisible());
}

TEST_F(Protask, PictureHelpShowsTheSheetsWhosePicturesExist)
{
    QTemporaryDir home;
    SetProgramFolder(home.path());
    QDir(home.path()).mkpath(QStringLiteral("Help"));
    QFile picture(home.path() + QStringLiteral("/Help/进货单表头.png"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    TFBaseForm_ImageHelp help;
    ASSERT_EQ(help.sheets()->count(), 1);
    EXPECT_EQ(help.sheets()->tabText(0), QStringLiteral("  供应商资料类帮助  "));
}

// Two workstations save new tasks at the same moment, again and again: every task gets a
// number and a key of its own, and its lines stay with it.
TEST_F(Protask, TwoWorkstationsSavingAtOnceGetDifferentNumbersAndKeys)
{
    constexpr int kEach = 25;
    std::atomic<int> failed{0};
    const auto workstation = [&](int w) {
        const QString name = QStringLiteral("task-ws%1").arg(w);
        {
            const QSqlDatabase db = openConnection(TestConnectionSettings(name));
            PinServerClock pinned(db, kPinnedNow);
            for (int i = 0; i < kEach; ++i) {
                ProtaskBill bill(db);
                bill.header.billTableTypeId = 49;
                bill.header.billDate = QDate(2026, 12, 15);
                bill.header.clientName = QStringLiteral("客户%1").arg(w);
                bill.header.productName = QStringLiteral("书桌");
                bill.header.number = 1;
                bill.header.billNo = bill.header.initBillNo = QStringLiteral("RWD20261200001");
                bill.lines = {{{QStringLiteral("FProductName"), QStringLiteral("螺栓")},
                               {QStringLiteral("FUnitName"), QStringLiteral("个")},
                               {QStringLiteral("FNumber"), w * 1000 + i}}};
                HostSwitches sw;
                sw.checkWorkflow = true;
                if (!SaveBill(bill, bill.ref(), sw, db).done)
                    ++failed;
            }
        }
        QSqlDatabase::removeDatabase(name);
    };
    std::thread a(workstation, 1);
    std::thread b(workstation, 2);
    a.join();
    b.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(
        scalar(QStringLiteral("select count(distinct FBillNo) from t_ProTaskForm where FBillNo like 'RWD202612%'"))
            .toInt(),
        2 * kEach);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_ProTaskForm")).toInt(), 2 * kEach + 2);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_ProTaskList L inner join t_ProTaskForm F on F.FID = "
                                    "L.FFormID inner join t_comClient C on C.FID = F.FClientID and C.FName = "
                                    "concat('客户', floor(L.FNumber / 1000)) where F.FBillNo like 'RWD202612%'"))
                  .toInt(),
              2 * kEach)
        << "each line belongs to its own workstation's task";
}

} // namespace
