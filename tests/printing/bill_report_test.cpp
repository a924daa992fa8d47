// The print form and the template designer on the shipped templates, in a program folder of
// their own. Which style a command or menu picks is tested where it is picked (cli, editor).

#include "platform/program_folder.h"
#include "print_seed.h"
#include "printing/bill_report_designer_form.h"
#include "printing/bill_report_form.h"
#include "printing/print_setup.h"
#include "report/designer/report_designer.h"
#include "report/designer/report_preview.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <tuple>

namespace protask::testing {
namespace {

using report::ExportType;
using namespace Qt::StringLiterals;

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// Every pattern of the ";" list (regular expressions: pdftotext gives a run of blanks as one)
// is in the text.
void ExpectInText(const QString &text, const QString &patterns)
{
    for (const QString &p : patterns.split(u';'))
        EXPECT_TRUE(QRegularExpression(p).match(text).hasMatch()) << p.toStdString() << "\n" << text.toStdString();
}

class PrintForm : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        SetProgramFolder(home.path());
        SeedProgramFolder(SourceDir() + u"/resources"_s);
        standard = PrintTemplatePath(kStandard);
        backup = PrintTemplateBackupPath(kStandard);
    }

    std::unique_ptr<TFBaseForm_BillReport> form(int style = 1, bool listMode = false, const QString &sql = QString(),
                                                int billType = 3049)
    {
        auto f = std::make_unique<TFBaseForm_BillReport>(nullptr, registerWindowHandle(&host));
        f->FBillTypeID = billType;
        f->FBillID = listMode ? 0 : 1;
        f->FPrintStyle = style;
        f->FBillList = listMode;
        f->FSQL = sql;
        f->setOpenExportedFiles(false);
        f->setExportOptionsShown(false);
        f->setPrintDialogShown(false);
        return f;
    }

    // The designer on the standard template, offered two fields.
    std::unique_ptr<TFBaseForm_BillReport_Designer> designer()
    {
        auto d = std::make_unique<TFBaseForm_BillReport_Designer>(nullptr, 0);
        d->FTemplaceDirFileName = standard;
        d->FTemplaceFileName = kStandard;
        EXPECT_TRUE(d->FormShow({u"FBillNo"_s, u"FProductName"_s}));
        return d;
    }

    QTemporaryDir home;
    RecordingHost host;
    const QString kStandard = u"生产任务单(标准).grf"_s;
    QString standard, backup; // under the test's program folder, set in SetUp
};

// The template of the print style, the title and company as parameters; in the host's work area.
TEST_F(PrintForm, AThreeLineTaskOnPaperInTheWorkbookAndPrintedWithoutAPrinter)
{
    SeedPrintTask(3);
    auto f = form();
    ASSERT_TRUE(f->FormShow()) << prompter.lastText().toStdString();
    EXPECT_EQ(f->FTemplaceDirFileName, standard);
    EXPECT_EQ(f->windowTitle(), u"生产任务单"_s);
    EXPECT_EQ(f->report().parameter(u"Title"_s), u"生产任务单"_s);
    EXPECT_EQ(f->report().controlByName(u"StaticBoxAddr"_s)->w, 210 - 5.5) << "the address box spans the paper";
    EXPECT_FALSE(f->hintBarShown());
    EXPECT_GE(f->viewer()->pageCount(), 1);
    EXPECT_EQ(host.received.value(0), u"1039/0/0"_s);
    const QString pdf = f->ExportReport(ExportType::Pdf);
    EXPECT_EQ(pdf, ProgramPath(u"生产任务单.PDF"_s));
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    ExpectInText(
        pages.first(),
        u"华东精工有限公司;生产任务单;单据编号：SCRW20261200001;单据日期：2026-12-15;生产部门：生产一部;"
        "产品编号：P-100;产品名称：成品柜;生产数量：120.00;批号：PB-7;负责人：张经理;备注：加急生产;物料编号;"
        "需求数量;制单人：王制单;审核人：李审核;第1页/共1页;地址:杭州市西湖区文三路100号\\s+电话:0571-88886666;"
        "1\\s+M-001\\s+物料1\\s+千克\\s+1\\.50\\s+180\\.00\\s+备注1;"
        "3\\s+M-003\\s+物料3\\s+千克\\s+4\\.50\\s+540\\.00\\s+备注3;合计\\s+1,080\\.00"_s);

    const QString xlsx = f->ExportReport(ExportType::Excel);
    EXPECT_EQ(xlsx, ProgramPath(u"生产任务单.xlsx"_s));
    ExpectInText(XlsxPart(xlsx, u"xl/sharedStrings.xml"_s),
                 u"生产任务单;CompanyName;华东精工有限公司;物料编号;物料3;备注2;合计"_s);
    // Amounts and quantities are numeric cells: needed 180, 360, 540 and their sum.
    ExpectInText(XlsxPart(xlsx, u"xl/worksheets/sheet1.xml"_s),
                 u"<v>180</v>;<v>360</v>;<v>540</v>;<v>1080</v>;<v>4.5</v>"_s);
    ExpectInText(XlsxPart(xlsx, u"xl/workbook.xml"_s), u"name=\"生产任务单\""_s);

    if (!QPrinterInfo::availablePrinters().isEmpty())
        return; // print mode prints to the printer attached
    QFile::remove(pdf);
    auto printed = form();
    printed->FPrintOrPreview = 1;
    ASSERT_TRUE(printed->FormShow());
    EXPECT_EQ(PdfPages(pdf).value(0), pages.first()) << "without a printer print mode writes the PDF";
}

TEST_F(PrintForm, SixtyLinesBreakPagesAndExportAsOneImageOrOnePerPage)
{
    SeedPrintTask(60);
    auto f = form();
    ASSERT_TRUE(f->FormShow());
    const QStringList pages = PdfPages(f->ExportReport(ExportType::Pdf));
    ASSERT_EQ(pages.size(), f->report().pageCount());
    int linesSeen = 0;
    for (int p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p + 1);
        const QString &text = pages.at(p);
        ExpectInText(text, u"物料编号;需求数量"_s);
        EXPECT_TRUE(text.contains(u"第%1页/共%2页"_s.arg(p + 1).arg(pages.size())));
        EXPECT_EQ(text.contains(u"单据编号："_s), p == 0) << "the task's header heads the first page";
        EXPECT_EQ(text.contains(u"合计"_s), p == pages.size() - 1);
        linesSeen += static_cast<int>(text.count(QRegularExpression(u"M-\\d{3}"_s)));
    }
    EXPECT_EQ(linesSeen, 60);
    EXPECT_TRUE(pages.last().contains(u"329,400.00"_s)) << "180 x (1 + ... + 60)";

    // The image export asks for one file per page or one long image.
    ASSERT_EQ(pages.size(), 2);
    f->setExportOptionsShown(true);
    const auto answer = [](bool longImage, bool ok) {
        QTimer::singleShot(0, [=]() {
            QWidget *w = QApplication::activeModalWidget();
            if (!w)
                return;
            w->findChild<QRadioButton *>(longImage ? u"rbLongImage"_s : u"rbPerPage"_s)->setChecked(true);
            w->findChild<QSpinBox *>(u"spnDpi"_s)->setValue(100);
            ok ? static_cast<QDialog *>(w)->accept() : static_cast<QDialog *>(w)->reject();
        });
    };
    const QString second = ProgramPath(u"生产任务单_2.Jpg"_s);
    answer(true, false);
    EXPECT_TRUE(f->ExportReport(ExportType::Image).isEmpty()) << "cancelled";
    answer(true, true);
    const QString jpg = f->ExportReport(ExportType::Image);
    EXPECT_EQ(jpg, ProgramPath(u"生产任务单.Jpg"_s));
    EXPECT_EQ(QImage(jpg).size(), QSize(827, 1169 * 2)) << "A4 at 100 dpi, two pages";
    EXPECT_FALSE(QFileInfo::exists(second));
    answer(false, true);
    EXPECT_EQ(QImage(f->ExportReport(ExportType::Image)).size(), QSize(827, 1169));
    EXPECT_EQ(QImage(second).size(), QSize(827, 1169));
}

TEST_F(PrintForm, LoadFailuresShowTheirMessageAndADamagedTemplateIsRestoredOnYes)
{
    SeedPrintTask(3);
    const QByteArray shipped = ReadFileBytes(standard);
    const QString missing = u"打印文件不存在,请检查"_s;
    const QString restore = u"加载打印文件错误，是否恢复系统默认的打印文件?"_s;
    // name, damaged (else missing), with a backup, the answer, the text shown
    const std::tuple<const char *, bool, bool, bool, QString> cases[] = {
        {"missing", false, false, false, missing},
        {"damaged, no backup", true, false, false, u"加载打印文件错误,请检查"_s},
        {"damaged, backup, No", true, true, false, restore},
        {"damaged, backup, Yes", true, true, true, restore},
    };
    for (const auto &[name, damaged, withBackup, answerYes, shown] : cases) {
        SCOPED_TRACE(name);
        prompter.clear();
        QFile::remove(backup);
        QFile::remove(standard);
        if (damaged)
            writeFile(standard, QByteArray("{\"format\": \"protask-report\", \"version\": 1, \"paper\""));
        if (withBackup)
            writeFile(backup, shipped);
        prompter.queueAnswer(answerYes);
        auto f = form();
        EXPECT_EQ(f->FormShow(), answerYes) << "only a restored template loads";
        EXPECT_EQ(prompter.texts(), QStringList{shown});
        EXPECT_EQ(ReadFileBytes(standard) == shipped, answerYes);
        EXPECT_EQ(f->report().data().rows.size(), answerYes ? 3 : 0);
    }
    // A list of the retail bill has no title and so no template.
    prompter.clear();
    EXPECT_FALSE(form(1, true, u"select 1"_s, 3005)->FormShow());
    EXPECT_EQ(prompter.texts(), QStringList{missing});
}

TEST_F(PrintForm, CompanyWithoutTelephoneShowsTheHintBarUntilRefreshedWithComplete)
{
    SeedPrintTask(3, false);
    auto f = form();
    ASSERT_TRUE(f->FormShow());
    EXPECT_TRUE(f->hintBarShown());
    EXPECT_EQ(f->report().parameter(u"CompanyAddr"_s), u"地址:杭州市西湖区文三路100号   电话:"_s);
    f->findChild<QPushButton *>(u"btnSetCompany"_s)->click();
    EXPECT_EQ(host.received.last(), u"1036/2010/0"_s);

    ExecScript(u"update t_comCompany set FTel = '0571-1', FName = '新名称'"_s);
    f->findChild<QPushButton *>(u"btnCompanyRefresh"_s)->click();
    EXPECT_EQ(f->report().parameter(u"CompanyName"_s), u"新名称"_s);
    EXPECT_EQ(f->report().parameter(u"CompanyAddr"_s), u"地址:杭州市西湖区文三路100号   电话:0571-1"_s);
    EXPECT_TRUE(f->hintBarShown()); // keeps its visibility once complete
    EXPECT_TRUE(PdfPages(f->ExportReport(ExportType::Pdf)).value(0).contains(u"新名称"_s));
}

TEST_F(PrintForm, BlankRowsToggledTwiceRestoreTheIniValueAndTheCaption)
{
    SeedPrintTask(3);
    for (const bool initial : {false, true}) {
        WriteIniValue(u"vane.ini"_s, u"Main"_s, u"AppendBlankRow"_s, initial);
        auto f = form();
        ASSERT_TRUE(f->FormShow());
        QAction *blank = f->action(u"actBlankRow"_s);
        const QString offered = initial ? u"不打印空白行"_s : u"打印空白行"_s;
        EXPECT_EQ(blank->text(), offered);
        EXPECT_EQ(f->report().layout().first().blankRows > 20, initial) << "blank rows fill the page";
        const QImage page(f->ExportReport(ExportType::Image));
        blank->trigger();
        EXPECT_EQ(ReadAppendBlankRow(), !initial);
        EXPECT_NE(blank->text(), offered);
        EXPECT_EQ(f->report().layout().first().blankRows > 20, !initial);
        EXPECT_NE(QImage(f->ExportReport(ExportType::Image)), page) << "blank rows are ruled";
        blank->trigger();
        EXPECT_EQ(ReadAppendBlankRow(), initial);
        EXPECT_EQ(blank->text(), offered);
    }
}

TEST_F(PrintForm, ListModePrintsTheListsStatementOnA4Turned)
{
    SeedPrintTask(0);
    auto f = form(1, true,
                  u"select T1.FBillNo, T1.FBillDate, T2.FName as FProductName, T1.FNumber from "
                  "t_ProTaskForm T1 left join t_comProducts T2 on T1.FProductID = T2.FID"_s);
    ASSERT_TRUE(f->FormShow());
    EXPECT_EQ(f->windowTitle(), u"生产任务单列表"_s);
    const QString pdf = f->ExportReport(ExportType::Pdf);
    EXPECT_EQ(PdfPageSize(pdf), u"842 x 595 pts (A4)"_s);
    ExpectInText(PdfPages(pdf).join(QString()), u"生产任务单列表;SCRW20261200001;2026-12-15;120.00"_s);
}

// A close keeps the files and the print form's report; the first save keeps the file as it was
// as the backup and reloads the print form, later saves leave the backup alone.
TEST_F(PrintForm, TheDesignerSavesWithABackupWrittenOnceAndThePrintFormReloads)
{
    SeedPrintTask(3);
    const QByteArray shipped = ReadFileBytes(standard);
    auto f = form();
    ASSERT_TRUE(f->FormShow());
    auto d = designer();
    d->designer()->moveControl(u"TitleText"_s, 40, 2);
    d->CloseDesigner();
    EXPECT_EQ(d->result(), 2);
    f->DesignerClosed(d->result());
    EXPECT_EQ(f->report().controlByName(u"TitleText"_s)->x, 0);
    EXPECT_EQ(ReadFileBytes(standard), shipped);
    EXPECT_FALSE(QFileInfo::exists(backup));
    EXPECT_TRUE(prompter.texts().isEmpty());

    d->designer()->moveControl(u"TitleText"_s, 40, 2);
    d->SaveTemplate();
    EXPECT_EQ(d->result(), 1);
    EXPECT_EQ(prompter.texts(), QStringList{u"修改保存成功"_s});
    EXPECT_EQ(ReadFileBytes(backup), shipped);
    f->DesignerClosed(d->result());
    EXPECT_EQ(f->report().controlByName(u"TitleText"_s)->x, 40);

    // A second designer: a resize and the panels' edits reach the file, the backup stays.
    auto second = designer();
    report::TReportDesigner *panels = second->designer();
    ASSERT_TRUE(panels->resizeControl(u"TitleText"_s, 100, 9));
    ASSERT_TRUE(panels->selectControl(u"StaticBoxAddr"_s));
    auto *top = panels->findChild<QDoubleSpinBox *>(u"spnTop"_s);
    ASSERT_NE(top, nullptr);
    top->setValue(17.5);
    Q_EMIT top->editingFinished();
    EXPECT_EQ(panels->addControl(report::ControlKind::FieldText, u"FProductName"_s), u"Field1"_s);
    const QString line = panels->addControl(report::ControlKind::Line);
    EXPECT_TRUE(panels->selectControl(line));
    EXPECT_TRUE(panels->deleteSelectedControl());
    const int columns = static_cast<int>(panels->currentTemplate().grid.columns.size());
    panels->addColumn(u"FBillNo"_s);
    EXPECT_TRUE(panels->deleteColumn(0));
    EXPECT_FALSE(panels->deleteColumn(99));
    second->SaveTemplate();
    EXPECT_EQ(ReadFileBytes(backup), shipped) << "the backup stays as before any change";
    report::TReportTemplate t;
    ASSERT_TRUE(report::LoadTemplate(standard, t));
    EXPECT_EQ(t.control(u"TitleText"_s)->x, 40);
    EXPECT_EQ(t.control(u"TitleText"_s)->w, 100);
    EXPECT_EQ(t.control(u"StaticBoxAddr"_s)->y, 17.5);
    ASSERT_NE(t.control(u"Field1"_s), nullptr);
    EXPECT_EQ(t.control(u"Field1"_s)->source, u"FProductName"_s);
    EXPECT_EQ(t.control(line), nullptr);
    ASSERT_EQ(t.grid.columns.size(), columns);
    EXPECT_EQ(t.grid.columns.last().field, u"FBillNo"_s);
    EXPECT_EQ(t.grid.columns.first().caption, u"物料编号"_s) << "序号 was deleted";
}

} // namespace
} // namespace protask::testing
