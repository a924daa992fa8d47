#pragma once

#include "billedit/bill_line_form.h"
#include "controls/control_values.h"
#include "controls/controls.h"
#include "core/numbering.h"
#include "core/sql_helpers.h"
#include "core/values.h"
#include "grid/grid_view.h"
#include "test_db.h"

#include <QLabel>
#include <QLineEdit>

#include <memory>

namespace protask::testing {

// The named cells of a grid row as "FPrice=4.5;FAmount=" (the fields without their R_ prefix).
inline QString RowCells(const TGridModel *m, int row, const char *fields)
{
    QStringList cells;
    for (const QString &f : QString::fromLatin1(fields).split(u','))
        cells << f + u'=' + ValueToTrimmedText(m->cell(row, QStringLiteral("R_") + f));
    return cells.join(u';');
}

// A purchase bill editor made only for these tests: supplier, storehouse and a mandatory
// amount field over the suite's purchase tables, so that saving posts real stock.
class PurchaseEditor : public TFBaseForm_BillBase_BillNo {
public:
    using TFBaseForm_BillBase_BillNo::addHeaderField;

    PurchaseEditor() : TFBaseForm_BillBase_BillNo(nullptr, 0)
    {
        FBillTypeID = 3002;
        FBillTypeNo = QStringLiteral("JHD");
        FBillCaption = QStringLiteral("进货单");
        FFormTableName = QStringLiteral("t_PurForm");
        FListTableName = QStringLiteral("t_PurList");
        addHeaderField(QStringLiteral("FClientName"), new TComboBox, QStringLiteral("供应商(必填)："), 1);
        addHeaderField(QStringLiteral("FStorehouseName"), new QLineEdit, QStringLiteral("仓库："));
        addHeaderField(QStringLiteral("FAmount"), new TCurrencyEdit, QStringLiteral("总金额(必填)："), 1);
    }

    void PrepareLoad() override
    {
        FSQLForm = QStringLiteral("select T1.*, T2.FName as FClientName from t_PurForm T1 left join t_comClient T2 on "
                                  "T1.FClientID = T2.FID where T1.FID = ")
            + QString::number(FBillID);
        FSQLList =
            QStringLiteral("select T1.*, T2.FName as FProductName from t_PurList T1 left join t_comProducts T2 on "
                           "T1.FProductID = T2.FID where FFormID = ")
            + QString::number(FBillID) + QStringLiteral(" order by FSID");
    }

    int SaveHeader(int billId) override
    {
        if (failHeader)
            return -1;
        const QSqlDatabase db = Db();
        const QString number =
            MakeBillNoUnique(edt_FBillNo->text().trimmed(), FInitBillNo, billId == 0, FBillTypeNo, FFormTableName);
        const int id = billId ? billId : GetNextID(QStringLiteral("t_PurForm"), QStringLiteral("FID"), db);
        const int supplier = GetOrAddNamedRecord(QStringLiteral("t_comClient"), QStringLiteral("FName"),
                                                 text("FClientName"), QStringLiteral("FID"), QStringLiteral(",FType"),
                                                 QStringLiteral(",2"), QStringLiteral(" and FType = 2"), db);
        const int store = GetOrAddNamedRecord(QStringLiteral("t_comStorehouse"), QStringLiteral("FName"),
                                              text("FStorehouseName"), QStringLiteral("FID"), {}, {}, {}, db);
        TDataSet q(db);
        q.exec(QStringLiteral("replace into t_PurForm(FID,FBillTypeID,FBillNo,FBillDate,FClientID,FStorehouseID,"
                              "FIsChecked,FAmount) values(%1,3002,%2,%3,%4,%5,0,%6)")
                   .arg(id)
                   .arg(QuotedStr(number), QuotedStr(edt_FBillDate->text()))
                   .arg(supplier)
                   .arg(store)
                   .arg(findChild<TCurrencyEdit *>(QStringLiteral("edt_FAmount"))->value()));
        return id;
    }

    bool SaveLineFields(int, int, const LineValues &, LineCells &) override { return !failLines; }

    QString text(const char *field) const
    {
        QString t;
        GetControlText(headerControl(QString::fromLatin1(field)), t);
        return t.trimmed();
    }
    void set(const char *field, const QString &value) { LoadControl(headerControl(QString::fromLatin1(field)), value); }
    void setLine(int row, const QString &product, double number, double price)
    {
        FDC->setCell(row, QStringLiteral("R_FProductName"), product);
        FDC->setCell(row, QStringLiteral("R_FUnitName"), QStringLiteral("个"));
        FDC->setCell(row, QStringLiteral("R_FNumber"), number);
        FDC->editCell(row, FDC->columnIndex(QStringLiteral("R_FPrice")), price);
    }
    QLineEdit *billNo() const { return edt_FBillNo; }
    TNullableDateEdit *billDate() const { return edt_FBillDate; }

    bool failHeader = false;
    bool failLines = false;

protected:
    // Made a sales-out (3004), the editor reads the header's client for prices and the price history.
    QString ClientName() const override { return FBillTypeID == 3004 ? text("FClientName") : QString(); }
    QString HistoryClientName() const override { return ClientName(); }
};

class BillEditor : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        seed();
    }
    // The bill types, a unit and two products every editor test starts from.
    void seed()
    {
        ExecScript(QStringLiteral(
            "insert into T_BillType(FID,FBillTypeNo,FBillName,FPreCode,FPrintStyle) values(2,'JHD','进货单','JH',1),"
            "(49,'RWD','生产任务单','RWD',1);"
            "insert into t_comUnit(FID,FNo,FName) values(1,'01','个');"
            "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values(1,'A01','螺栓',1),(2,'A02','螺母',1);"
            "insert into t_comProductUnit(FProductID,FUnitID,FSID,FRatio) values(1,1,1,1),(2,1,1,1)"));
        nvDMBase::instance().userName = QStringLiteral("张三");
        nvDMBase::instance().userId = 1;
    }
    std::unique_ptr<PurchaseEditor> openPurchase(int billId = 0, int status = 1)
    {
        auto e = std::make_unique<PurchaseEditor>();
        e->FBillID = billId;
        e->FBillStatusID = status;
        e->showForm();
        return e;
    }
    std::unique_ptr<PurchaseEditor> filledPurchase()
    {
        auto e = openPurchase();
        e->set("FClientName", QStringLiteral("华东五金"));
        e->set("FStorehouseName", QStringLiteral("主仓"));
        e->set("FAmount", QStringLiteral("30"));
        e->setLine(0, QStringLiteral("螺栓"), 3, 10);
        return e;
    }
};

} // namespace protask::testing
