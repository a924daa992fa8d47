#pragma once

// Seeding and reading back printed output for the report and print-form tests.

#include "test_db.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace protask::testing {

// A production task numbered SCRW20261200001 (FID 1) for 120 件 of 成品柜 in 生产一部 under
// 张经理, made by 王制单 and checked by 李审核, with `lines` material lines: line n is
// 物料n (M-00n), n x 1.5 per unit, n x 180 in total, its note "备注n".
inline void SeedPrintTask(int lines, bool companyTel = true)
{
    ExecScript(
        QStringLiteral("insert into t_comCompany (FID, FName, FAddress, FTel) values (1, '华东精工有限公司', "
                       "'杭州市西湖区文三路100号', %1);"
                       "insert into t_comUnit (FID, FNo, FName) values (1, 'U1', '件'), (2, 'U2', '千克');"
                       "insert into t_comUser (FID, FNo, FName) values (1, 'Z01', '王制单'), (2, 'Z02', '李审核');"
                       "insert into t_comdepartment (FID, FNo, FName) values (1, 'D1', '生产一部');"
                       "insert into t_comEmployee (FID, FNo, FName) values (1, 'E1', '张经理');"
                       "insert into t_comProducts (FID, FNo, FName, FStdUnitID) values (1000, 'P-100', '成品柜', 1);"
                       "insert into t_ProTaskForm (FID, FBillTypeID, FBillNo, FBillDate, FProductID, FUnitID, FNumber, "
                       "FBatchNo, FDeptID, FManagerID, FNote, FBillerID, FCheckerID, FIsChecked) values (1, 3049, "
                       "'SCRW20261200001', '2026-12-15', 1000, 1, 120, 'PB-7', 1, 1, '加急生产', 1, 2, 1)")
            .arg(companyTel ? QStringLiteral("'0571-88886666'") : QStringLiteral("NULL")));
    if (lines <= 0)
        return;
    QStringList products, rows;
    for (int n = 1; n <= lines; ++n) {
        products << QStringLiteral("(%1, 'M-%2', '物料%3', 2)").arg(n).arg(n, 3, 10, QLatin1Char('0')).arg(n);
        rows << QStringLiteral("(%1, 1, %1, %1, 2, %2, %3, '备注%1')").arg(n).arg(n * 1.5).arg(n * 180);
    }
    ExecScript(QStringLiteral("insert into t_comProducts (FID, FNo, FName, FStdUnitID) values ") + products.join(u',')
               + QStringLiteral(";insert into t_ProTaskList (FID, FFormID, FSID, FProductID, FUnitID, "
                                "FSingleNumber, FNumber, FNote) values ")
               + rows.join(u','));
}

// What a tool run on a file writes to standard output.
inline QString ToolOutput(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF (pdftotext, layout kept), one entry per page.
inline QStringList PdfPages(const QString &pdf)
{
    QStringList pages = ToolOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The first page's size as pdfinfo gives it: "842 x 595 pts (A4)".
inline QString PdfPageSize(const QString &pdf)
{
    for (const QString &line : ToolOutput(QStringLiteral("pdfinfo"), {pdf}).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Page size:")))
            return line.mid(10).trimmed();
    return QString();
}

// One file of an .xlsx (unzip -p).
inline QString XlsxPart(const QString &xlsx, const QString &part)
{
    return ToolOutput(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, part});
}

inline QString ShippedTemplate(const QString &fileName)
{
    return SourceDir() + QStringLiteral("/resources/Reports/Bill/") + fileName;
}

} // namespace protask::testing
