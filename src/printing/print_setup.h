#pragma once

#include <QSqlDatabase>
#include <QString>

namespace protask {

// What the print form takes from the database and the program folder: titles, template
// paths, the company's data and the print data queries. QtCore and QtSql only.

// The template title of a bill type, for one bill or for its list; empty for a bill type
// that has none.
QString PrintTitle(int billType, bool listMode);
// The window caption (also the report's "Title"): the template title except for the two
// lists whose windows have their own names.
QString PrintCaption(int billType, bool listMode);
// "(标准)", "(中)", "(小)" for print styles 1, 2, 3; empty otherwise.
QString PrintStyleSuffix(int printStyle);
// The template's file name: title + style + ".grf" (no style in list mode).
QString PrintTemplateFileName(int billType, bool listMode, int printStyle);
// Program folder + "Reports/Bill/" + file name, and the backup in "Reports/BillBak/".
QString PrintTemplatePath(const QString &fileName);
QString PrintTemplateBackupPath(const QString &fileName, const QString &backupFolder = QString());

struct PrintCompany {
    QString name, tel, addr;
    // The hint bar asks for company data when any of the three is blank.
    bool incomplete() const;
    // "地址:" + address + "   电话:" + telephone.
    QString addressLine() const;
};
PrintCompany ReadPrintCompany(const QSqlDatabase &db);

// The data query of one bill; empty for a bill type without a print query here.
QString PrintDataQuery(int billType, int billId);

// The blank-row print option in vane.ini.
bool ReadAppendBlankRow();
void WriteAppendBlankRow(bool on);

} // namespace protask
