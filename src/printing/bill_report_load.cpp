#include "printing/bill_report_load.h"

#include "core/sql_helpers.h"
#include "platform/db.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

#include <QFile>
#include <QFileInfo>

namespace protask {

namespace {

constexpr int kRetailBill = 3005;

// The editor's style menu, in style order.
const char *const kStyleMenu[] = {"210 * 297 规格", "240 * 139 规格", "240 * 93 规格"};

bool loadTemplate(report::TReport &report, const BillReportLoad &load)
{
    Prompter &prompter = Prompter::current();
    if (!QFileInfo::exists(load.templatePath)) {
        prompter.warning(QStringLiteral("打印文件不存在,请检查"));
        return false;
    }
    QString error;
    if (report.loadFromFile(load.templatePath, &error))
        return true;
    LogFailure(QStringLiteral("加载打印文件错误：") + error);
    const QString backup = PrintTemplateBackupPath(load.templateFileName);
    if (!QFileInfo::exists(backup)) {
        prompter.warning(QStringLiteral("加载打印文件错误,请检查"));
        return false;
    }
    if (!prompter.askYesNo(QStringLiteral("加载打印文件错误，是否恢复系统默认的打印文件?")))
        return false;
    QFile::remove(load.templatePath);
    QFile::copy(backup, load.templatePath);
    if (!QFileInfo::exists(load.templatePath)) {
        prompter.warning(QStringLiteral("打印文件不存在,请检查"));
        return false;
    }
    return report.loadFromFile(load.templatePath, &error);
}

} // namespace

void ApplyBillReportParameters(report::TReport &report, int billType, const QString &title, const PrintCompany &company,
                               bool appendBlankRow)
{
    report.setParameter(QStringLiteral("Title"), title);
    report.setParameter(QStringLiteral("CompanyName"), company.name);
    report.setAppendBlankRow(appendBlankRow);
    if (billType != kRetailBill)
        if (report::TReportControl *box = report.controlByName(QStringLiteral("StaticBoxAddr")))
            box->w = report.designPaperWidth() - 5.5;
    report.setParameter(QStringLiteral("CompanyAddr"), company.addressLine());
}

BillReportLoad LoadBillReport(report::TReport &report, const BillReportRequest &request, const QSqlDatabase &db)
{
    BillReportLoad load;
    load.appendBlankRow = ReadAppendBlankRow();
    try {
        load.company = ReadPrintCompany(db);
    } catch (const DbError &e) {
        LogFailure(QStringLiteral("读取公司信息失败：") + e.message());
    }
    load.templateFileName = PrintTemplateFileName(request.billType, request.listMode, request.printStyle);
    load.templatePath = PrintTemplatePath(load.templateFileName);
    if (!loadTemplate(report, load))
        return load;

    ApplyBillReportParameters(report, request.billType, PrintCaption(request.billType, request.listMode), load.company,
                              load.appendBlankRow);
    try {
        const CompanyDecimals decimals = GetCompanyDecimals(db);
        report.setNamedFormat(QStringLiteral("Number"), decimals.numberFormat);
        report.setNamedFormat(QStringLiteral("Price"), decimals.priceFormat);
    } catch (const DbError &e) {
        LogFailure(QStringLiteral("读取小数位数失败：") + e.message());
    }
    report.setNamedFormat(QStringLiteral("Amount"), kAmountFormat);

    report.setQuerySql(request.listMode ? request.listSql : PrintDataQuery(request.billType, request.billId));
    QString error;
    if (!report.openQuery(db, &error)) {
        LogFailure(QStringLiteral("加载数据发生错误：") + error);
        Prompter::current().warning(QStringLiteral("加载数据发生错误,请检查"));
        return load;
    }
    load.loaded = true;
    return load;
}

int PrintStyleFromName(int billType, const QString &name)
{
    const QString n = name.trimmed();
    for (int style = 1; style <= 3; ++style) {
        const QString suffix = PrintStyleSuffix(style);
        if (n == suffix || n == suffix.mid(1, suffix.size() - 2) || n == QString::fromUtf8(kStyleMenu[style - 1])
            || n == PrintTemplateFileName(billType, false, style)
            || n == PrintTemplateFileName(billType, false, style).chopped(4))
            return style;
    }
    return 0;
}

} // namespace protask
