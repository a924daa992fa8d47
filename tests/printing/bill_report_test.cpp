// The print form on the shipped templates in a program folder of its own: which template a
// bill loads, the load failures and the restore from the backup, the company parameters and
// hint bar, the blank-row switch in vane.ini, exports and printing without a printer.

#include "core/sql_helpers.h"
#include "platform/host_messages.h"
#include "platform/program_folder.h"
#include "print_seed.h"
#include "printing/bill_report_form.h"
#include "printing/print_setup.h"
#include "report/designer/report_preview.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

namespace protask::testing {
namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

class BillReport : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        SetProgramFolder(home.path());
        SeedProgramFolder(SourceDir() + QStringLiteral("/resources"));
    }

    std::unique_ptr<TFBaseForm_BillReport> form(int billType = 3049, int billId = 1, int style = 1,
                                                bool listMode = false, const QString &sql = QString())
    {
        auto f = std::make_unique<TFBaseForm_BillReport>(nullptr, registerWindowHandle(&host));
        f->FBillTypeID = billType;
        f->FBillID = billId;
        f->FPrintStyle = style;
        f->FBillList = listMode;
        f->FSQL = sql;
        f->setOpenExportedFiles(false);
        f->setExportOptionsShown(false);
        f->setPrintDialogShown(false);
        return f;
    }

    QString bill(const char *file) const { return PrintTemplatePath(QString::fromUtf8(file)); }

    QTemporaryDir home;
    RecordingHost host;
};

TEST_F(BillReport, PreviewLoadsTheTemplateOfThePrintStyleWithTitleCompanyAndLines)
{
    SeedPrintTask(3);
    struct Case {
        int style;
        const char *file;
        double paperWidth, paperHeight;
    };
    for (const Case &c : {Case{1, "生产任务单(标准).grf", 210, 297}, Case{2, "生产任务单(中).grf", 240, 139},
                          Case{3, "生产任务单(小).grf", 240, 93}}) {
        auto f = form(3049, 1, c.style);
        ASSERT_TRUE(f->FormShow()) << prompter.lastText().toStdString();
        EXPECT_EQ(f->FTemplaceFileName, QString::fromUtf8(c.file));
        EXPECT_EQ(f->FTemplaceDirFileName, bill(c.file));
        EXPECT_EQ(f->report().reportTemplate().paperHeight, c.paperHeight);
        EXPECT_EQ(f->windowTitle(), QStringLiteral("生产任务单"));
        EXPECT_EQ(f->report().parameter(QStringLiteral("Title")), QStringLiteral("生产任务单"));
        EXPECT_EQ(f->report().parameter(QStringLiteral("CompanyName")), QStringLiteral("华东精工有限公司"));
        EXPECT_EQ(f->report().data().rows.size(), 3);
        EXPECT_EQ(f->report().controlByName(QStringLiteral("StaticBoxAddr"))->w, c.paperWidth - 5.5);
        EXPECT_FALSE(f->hintBarShown());
        EXPECT_GE(f->viewer()->pageCount(), 1);
    }
    EXPECT_EQ(host.received.value(0), QStringLiteral("1039/0/0"));
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(BillReport, LoadFailuresShowTheirMessageAndADamagedTemplateIsRestoredOnYes)
{
    SeedPrintTask(3);
    const QString file = bill("生产任务单(标准).grf");
    const QString backup = PrintTemplateBackupPath(QStringLiteral("生产任务单(标准).grf"));
    const QByteArray shipped = ReadFileBytes(file);
    struct Case {
        const char *name;
        bool removeTemplate, damage, withBackup, answerYes;
        bool loads;
        QStringList texts;
    };
    const QString missing = QStringLiteral("打印文件不存在,请检查");
    const QString damaged = QStringLiteral("加载打印文件错误,请检查");
    const QString restore = QStringLiteral("加载打印文件错误，是否恢复系统默认的打印文件?");
    const Case cases[] = {
        {"missing", true, false, false, false, false, {missing}},
        {"damaged, no backup", false, true, false, false, false, {damaged}},
        {"damaged, backup, No", false, true, true, false, false, {restore}},
        {"damaged, backup, Yes", false, true, true, true, true, {restore}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompter.clear();
        QFile::remove(backup);
        writeFile(file, shipped);
        if (c.removeTemplate)
            QFile::remove(file);
        if (c.damage)
            writeFile(file, QByteArray("{\"format\": \"protask-report\", \"version\": 1, \"paper\""));
        if (c.withBackup)
            writeFile(backup, shipped);
        prompter.queueAnswer(c.answerYes);
        auto f = form();
        EXPECT_EQ(f->FormShow(), c.loads);
        EXPECT_EQ(prompter.texts(), c.texts);
        if (c.withBackup) {
            EXPECT_EQ(ReadFileBytes(file) == shipped, c.answerYes);
        }
        if (c.loads) {
            EXPECT_EQ(f->report().data().rows.size(), 3);
        }
    }
    // A list of the retail bill has no title and so no template.
    prompter.clear();
    auto retail = form(3005, 0, 1, true, QStringLiteral("select 1"));
    EXPECT_FALSE(retail->FormShow());
    EXPECT_EQ(prompter.texts(), QStringList{missing});
}

TEST_F(BillReport, CompanyWithoutTelephoneShowsTheHintBarUntilRefreshedWithComplete)
{
    SeedPrintTask(3, false);
    auto f = form();
    ASSERT_TRUE(f->FormShow());
    EXPECT_TRUE(f->hintBarShown());
    EXPECT_EQ(f->report().parameter(QStringLiteral("CompanyAddr")),
              QStringLiteral("地址:杭州市西湖区文三路100号   电话:"));
    f->findChild<QPushButton *>(QStringLiteral("btnSetCompany"))->click();
    EXPECT_EQ(host.received.last(), QStringLiteral("1036/2010/0"));

    ExecScript(QStringLiteral("update t_comCompany set FTel = '0571-1', FName = '新名称'"));
    f->findChild<QPushButton *>(QStringLiteral("btnCompanyRefresh"))->click();
    EXPECT_EQ(f->report().parameter(QStringLiteral("CompanyName")), QStringLiteral("新名称"));
    EXPECT_EQ(f->report().parameter(QStringLiteral("CompanyAddr")),
              QStringLiteral("地址:杭州市西湖区文三路100号   电话:0571-1"));
    EXPECT_TRUE(f->hintBarShown()); // keeps its visibility once complete
    const QString pdf = f->ExportReport(report::ExportType::Pdf);
    EXPECT_TRUE(PdfPages(pdf).value(0).contains(QStringLiteral("新名称")));
}

TEST_F(BillReport, BlankRowsToggledTwiceRestoreTheIniValueAndTheCaption)
{
    SeedPrintTask(3);
    for (const bool initial : {false, true}) {
        WriteIniValue(QStringLiteral("vane.ini"), QStringLiteral("Main"), QStringLiteral("AppendBlankRow"), initial);
        auto f = form();
        ASSERT_TRUE(f->FormShow());
        QAction *blank = f->action(QStringLiteral("actBlankRow"));
        const QString offered = initial ? QStringLiteral("不打印空白行") : QStringLiteral("打印空白行");
        EXPECT_EQ(blank->text(), offered);
        EXPECT_EQ(f->report().appendBlankRow(), initial);
        const int blankRowsBefore = f->report().layout().first().blankRows;
        blank->trigger();
        EXPECT_EQ(ReadAppendBlankRow(), !initial);
        EXPECT_NE(blank->text(), offered);
        EXPECT_NE(f->report().layout().first().blankRows, blankRowsBefore);
        blank->trigger();
        EXPECT_EQ(ReadAppendBlankRow(), initial);
        EXPECT_EQ(blank->text(), offered);
    }
}

TEST_F(BillReport, ExportsGoIntoTheProgramFolderUnderTheCaption)
{
    SeedPrintTask(60);
    auto f = form();
    ASSERT_TRUE(f->FormShow());
    const QString xlsx = f->ExportReport(report::ExportType::Excel);
    EXPECT_EQ(xlsx, ProgramPath(QStringLiteral("生产任务单.xlsx")));
    EXPECT_TRUE(XlsxPart(xlsx, QStringLiteral("xl/sharedStrings.xml")).contains(QStringLiteral("物料60")));
    const QString pdf = f->ExportReport(report::ExportType::Pdf);
    EXPECT_EQ(pdf, ProgramPath(QStringLiteral("生产任务单.PDF")));
    EXPECT_EQ(PdfPages(pdf).size(), f->report().pageCount());
    const QString jpg = f->ExportReport(report::ExportType::Image);
    EXPECT_EQ(jpg, ProgramPath(QStringLiteral("生产任务单.Jpg")));
    EXPECT_FALSE(QImage(jpg).isNull());
    EXPECT_FALSE(QImage(ProgramPath(QStringLiteral("生产任务单_2.Jpg"))).isNull());
}

TEST_F(BillReport, ImageExportAsksForOneFilePerPageOrOneLongImage)
{
    SeedPrintTask(60);
    auto f = form();
    f->setExportOptionsShown(true);
    ASSERT_TRUE(f->FormShow());
    const int pages = f->report().pageCount();
    ASSERT_EQ(pages, 2);
    const auto answer = [](bool longImage, bool ok) {
        QTimer::singleShot(0, [=]() {
            QWidget *w = QApplication::activeModalWidget();
            if (!w)
                return;
            w->findChild<QRadioButton *>(longImage ? QStringLiteral("rbLongImage") : QStringLiteral("rbPerPage"))
                ->setChecked(true);
            w->findChild<QSpinBox *>(QStringLiteral("spnDpi"))->setValue(100);
            ok ? static_cast<QDialog *>(w)->accept() : static_cast<QDialog *>(w)->reject();
        });
    };
    answer(true, false);
    EXPECT_TRUE(f->ExportReport(report::ExportType::Image).isEmpty()) << "cancelled";
    answer(true, true);
    const QString jpg = f->ExportReport(report::ExportType::Image);
    EXPECT_EQ(QImage(jpg).size(), QSize(827, 1169 * 2));
    EXPECT_FALSE(QFileInfo::exists(ProgramPath(QStringLiteral("生产任务单_2.Jpg"))));
    answer(false, true);
    EXPECT_EQ(QImage(f->ExportReport(report::ExportType::Image)).size(), QSize(827, 1169));
    EXPECT_EQ(QImage(ProgramPath(QStringLiteral("生产任务单_2.Jpg"))).size(), QSize(827, 1169));
}

TEST_F(BillReport, ListModePrintsTheListsStatement)
{
    SeedPrintTask(2);
    ExecScript(
        QStringLiteral("insert into t_ProTaskForm (FID, FBillNo, FBillDate, FProductID, FUnitID, FNumber) values "
                       "(2, 'SCRW20261200002', '2026-12-16', 1000, 1, 30)"));
    const QString sql = QStringLiteral("select T1.FBillNo, T1.FBillDate, T2.FName as FProductName, T1.FNumber from "
                                       "t_ProTaskForm T1 left join t_comProducts T2 on T1.FProductID = T2.FID order by "
                                       "T1.FBillNo");
    auto f = form(3049, 0, 1, true, sql);
    ASSERT_TRUE(f->FormShow());
    EXPECT_EQ(f->FTemplaceFileName, QStringLiteral("生产任务单列表.grf"));
    EXPECT_EQ(f->windowTitle(), QStringLiteral("生产任务单列表"));
    const QString pdf = f->ExportReport(report::ExportType::Pdf);
    EXPECT_EQ(PdfPageSize(pdf), QStringLiteral("842 x 595 pts (A4)")) << "the list prints on A4 turned";
    const QString text = PdfPages(pdf).join(QString());
    for (const char *s : {"生产任务单列表", "SCRW20261200001", "SCRW20261200002", "2026-12-16", "150.00"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
}

TEST_F(BillReport, PrintModeWithoutAPrinterWritesThePdfPrinter)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is attached";
    SeedPrintTask(3);
    auto f = form();
    f->FPrintOrPreview = 1;
    ASSERT_TRUE(f->FormShow());
    const QStringList pages = PdfPages(ProgramPath(QStringLiteral("生产任务单.PDF")));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages.first().contains(QStringLiteral("SCRW20261200001")));
}

} // namespace
} // namespace protask::testing
