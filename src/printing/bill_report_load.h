#pragma once

#include "printing/print_setup.h"
#include "report/report.h"

#include <QSqlDatabase>
#include <QString>

namespace protask {

// What a print of a bill or of a list asks for: the print form's fields.
struct BillReportRequest {
    int billType = 0;
    int billId = 0; // one bill; unused in list mode
    bool listMode = false;
    int printStyle = 1; // 1 标准, 2 中, 3 小; lists have one template
    QString listSql;    // the list's statement, in list mode
};

// The print's template, parameters and data as the print form prepares them, without the form:
// the template of the bill type, mode and style (with the offer to restore the shipped one
// when it does not load), the blank-row option, the company's name and address line, the
// company's decimals for the templates' named formats, and the rows of the print query or the
// list's statement. False after the form's message when there is nothing to print.
struct BillReportLoad {
    bool loaded = false;
    QString templateFileName; // FTemplaceFileName
    QString templatePath;     // FTemplaceDirFileName
    PrintCompany company;
    bool appendBlankRow = false;
};
BillReportLoad LoadBillReport(report::TReport &report, const BillReportRequest &request, const QSqlDatabase &db);

// The parameters the print form sets, again after the company data changed: the title, the
// company's name and address line, blank rows, and the address box across the paper.
void ApplyBillReportParameters(report::TReport &report, int billType, const QString &title, const PrintCompany &company,
                               bool appendBlankRow);

// A print style by its name as the editor's style menu and the template files name it
// ("标准", "中", "小", "(标准)", "210 * 297 规格", or the whole template file name); 0 for
// none of them.
int PrintStyleFromName(int billType, const QString &name);

} // namespace protask
