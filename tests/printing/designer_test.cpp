// The template designer: load, edit, save with the backup written once, close without saving,
// and the print form reloading what was saved.

#include "platform/program_folder.h"
#include "print_seed.h"
#include "printing/bill_report_designer_form.h"
#include "printing/bill_report_form.h"
#include "printing/print_setup.h"
#include "report/designer/report_designer.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace protask::testing {
namespace {

using report::ControlKind;
using report::TReportTemplate;

TReportTemplate loaded(const QString &path)
{
    TReportTemplate t;
    EXPECT_TRUE(report::LoadTemplate(path, t));
    return t;
}

class Designer : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        SetProgramFolder(home.path());
        SeedProgramFolder(SourceDir() + QStringLiteral("/resources"));
        file = PrintTemplatePath(name);
        backup = PrintTemplateBackupPath(name);
    }

    std::unique_ptr<TFBaseForm_BillReport_Designer> open()
    {
        auto d = std::make_unique<TFBaseForm_BillReport_Designer>(nullptr, 0);
        d->FTemplaceDirFileName = file;
        d->FTemplaceFileName = name;
        EXPECT_TRUE(d->FormShow({QStringLiteral("FBillNo"), QStringLiteral("FProductName")}));
        return d;
    }

    QTemporaryDir home;
    const QString name = QStringLiteral("生产任务单(标准).grf");
    QString file, backup; // under the test's program folder, set in SetUp
};

TEST_F(Designer, FirstSaveKeepsTheOldFileAsBackupLaterSavesLeaveItAlone)
{
    const QByteArray shipped = ReadFileBytes(file);
    auto first = open();
    EXPECT_EQ(first->windowTitle(), QStringLiteral("模板设计"));
    ASSERT_TRUE(first->designer()->moveControl(QStringLiteral("TitleText"), 20, 3));
    first->SaveTemplate();
    EXPECT_EQ(first->result(), 1);
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("修改保存成功")});
    EXPECT_EQ(ReadFileBytes(backup), shipped);
    EXPECT_EQ(loaded(file).control(QStringLiteral("TitleText"))->x, 20);

    auto second = open();
    ASSERT_TRUE(second->designer()->resizeControl(QStringLiteral("TitleText"), 100, 9));
    second->SaveTemplate();
    EXPECT_EQ(ReadFileBytes(backup), shipped) << "the backup stays as before any change";
    const TReportTemplate now = loaded(file);
    EXPECT_EQ(now.control(QStringLiteral("TitleText"))->x, 20);
    EXPECT_EQ(now.control(QStringLiteral("TitleText"))->w, 100);
}

TEST_F(Designer, ClosingWithoutSavingReturns2AndLeavesTheFiles)
{
    const QByteArray shipped = ReadFileBytes(file);
    auto d = open();
    d->designer()->moveControl(QStringLiteral("TitleText"), 50, 50);
    d->CloseDesigner();
    EXPECT_EQ(d->result(), 2);
    EXPECT_EQ(ReadFileBytes(file), shipped);
    EXPECT_FALSE(QFileInfo::exists(backup));
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(Designer, EditsFromThePanelsReachTheSavedTemplate)
{
    auto d = open();
    report::TReportDesigner *designer = d->designer();
    // The property panel edits the selected control.
    ASSERT_TRUE(designer->selectControl(QStringLiteral("StaticBoxAddr")));
    auto *top = designer->findChild<QDoubleSpinBox *>(QStringLiteral("spnTop"));
    ASSERT_NE(top, nullptr);
    top->setValue(17.5);
    Q_EMIT top->editingFinished();
    const QString field = designer->addControl(ControlKind::FieldText, QStringLiteral("FProductName"));
    EXPECT_EQ(field, QStringLiteral("Field1"));
    const QString line = designer->addControl(ControlKind::Line);
    EXPECT_TRUE(designer->selectControl(line));
    EXPECT_TRUE(designer->deleteSelectedControl());
    const int columns = static_cast<int>(designer->currentTemplate().grid.columns.size());
    designer->addColumn(QStringLiteral("FBillNo"));
    EXPECT_TRUE(designer->deleteColumn(0));
    EXPECT_FALSE(designer->deleteColumn(99));
    d->SaveTemplate();

    const TReportTemplate t = loaded(file);
    EXPECT_EQ(t.control(QStringLiteral("StaticBoxAddr"))->y, 17.5);
    ASSERT_NE(t.control(QStringLiteral("Field1")), nullptr);
    EXPECT_EQ(t.control(QStringLiteral("Field1"))->source, QStringLiteral("FProductName"));
    EXPECT_EQ(t.control(line), nullptr);
    ASSERT_EQ(t.grid.columns.size(), columns);
    EXPECT_EQ(t.grid.columns.last().field, QStringLiteral("FBillNo"));
    EXPECT_EQ(t.grid.columns.first().caption, QStringLiteral("物料编号")) << "序号 was deleted";
}

TEST_F(Designer, PrintFormReloadsAfterASaveAndKeepsItsReportAfterClose)
{
    SeedPrintTask(3);
    TFBaseForm_BillReport form(nullptr, 0);
    form.FBillTypeID = 3049;
    form.FBillID = 1;
    ASSERT_TRUE(form.FormShow());
    TFBaseForm_BillReport_Designer d(nullptr, 0);
    d.FTemplaceDirFileName = form.FTemplaceDirFileName;
    d.FTemplaceFileName = form.FTemplaceFileName;
    ASSERT_TRUE(d.FormShow(form.report().data().fields));
    d.designer()->moveControl(QStringLiteral("TitleText"), 40, 2);
    d.CloseDesigner();
    form.DesignerClosed(d.result());
    EXPECT_EQ(form.report().controlByName(QStringLiteral("TitleText"))->x, 0);
    d.designer()->moveControl(QStringLiteral("TitleText"), 40, 2);
    d.SaveTemplate();
    form.DesignerClosed(d.result());
    EXPECT_EQ(form.report().controlByName(QStringLiteral("TitleText"))->x, 40);
    EXPECT_EQ(form.report().data().rows.size(), 3);
}

} // namespace
} // namespace protask::testing
