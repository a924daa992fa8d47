#include "billedit/product_batch_form.h"

#include "billedit/model/line_stock.h"
#include "grid/grid_columns.h"
#include "grid/grid_layout.h"
#include "grid/grid_view.h"
#include "platform/db.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace protask {

namespace {

const QString kCaption = QStringLiteral("库存批号");

} // namespace

TFBaseForm_ProductBatchNo::TFBaseForm_ProductBatchNo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFBaseForm_ProductBatchNo"));
    setWindowTitle(kCaption);
    resize(760, 420);

    auto *layout = new QVBoxLayout(this);
    auto *header = new QGridLayout;
    header->addWidget(new QLabel(QStringLiteral("商品编码："), this), 0, 0);
    m_productNo = new QLabel(this);
    m_productNo->setObjectName(QStringLiteral("lbl_FProductNo"));
    header->addWidget(m_productNo, 0, 1);
    header->addWidget(new QLabel(QStringLiteral("商品名称："), this), 0, 2);
    m_productName = new QLabel(this);
    m_productName->setObjectName(QStringLiteral("lbl_FProductName"));
    header->addWidget(m_productName, 0, 3);
    header->setColumnStretch(3, 1);
    layout->addLayout(header);

    m_grid = new TGridView(this);
    m_grid->setObjectName(QStringLiteral("GTVBatchNo"));
    m_grid->setFooterVisible(false);
    m_grid->table()->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->table()->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->table()->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_grid, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btn_OK"));
    QPushButton *exit = buttons->addButton(QStringLiteral("退出"), QDialogButtonBox::RejectRole);
    exit->setObjectName(QStringLiteral("btn_Exit"));
    layout->addWidget(buttons);

    connect(ok, &QPushButton::clicked, this, &TFBaseForm_ProductBatchNo::acceptSelection);
    connect(exit, &QPushButton::clicked, this, &TFBaseForm_ProductBatchNo::exitDialog);
    connect(m_grid->table(), &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        selectRow(index.row());
        acceptSelection();
    });
    connect(m_grid, &TGridView::columnLayoutChanged, this, [this] { SaveGridLayout(m_grid, kCaption); });
}

void TFBaseForm_ProductBatchNo::LoadData(const QSqlDatabase &db)
{
    FID = 0;
    bRet = false;
    const ProductCaption product = ReadProductCaption(FProductID, db);
    m_productNo->setText(product.number);
    m_productName->setText(product.name);

    TDataSet batches(db);
    OpenQuery(batches, BatchListSql(FProductID, FStorehouseID));
    {
        TGridView::LayoutUpdate update(m_grid);
        BuildGridColumns(
            m_grid,
            QStringLiteral(
                "FID,FProductID,FStorehouseID,FBatchNo1,FNumber,FProductName,FStorehouseName,FKFDate,FKFPeriod,FPeriodDate"),
            QStringLiteral("FID,FProductID,FStorehouseID,批次,数量,商品名称,仓库,生产日期,保质期(天),有效期至"),
            QStringLiteral(",,,,2,,,5,,5"), QStringLiteral("0,0,0,1,1,1,1,1,1,1"),
            QStringLiteral("10,10,10,120,90,150,100,90,80,90"));
        m_grid->model()->setEditingEnabled(false);
        m_grid->model()->setRowCount(batches.recordCount());
        for (batches.first(); !batches.eof(); batches.next())
            CopyRecordToRow(m_grid, QString(), batches.recNo(), batches);
        RestoreGridLayout(m_grid, kCaption);
    }
    selectRow(-1);
}

void TFBaseForm_ProductBatchNo::selectRow(int row)
{
    QAbstractItemView *table = m_grid->table();
    if (row < 0 || row >= m_grid->model()->rowCountValue()) {
        table->clearSelection();
        table->setCurrentIndex(QModelIndex());
        return;
    }
    m_grid->table()->selectRow(row);
}

int TFBaseForm_ProductBatchNo::selectedRow() const
{
    const QModelIndexList rows = m_grid->table()->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TFBaseForm_ProductBatchNo::acceptSelection()
{
    const int row = selectedRow();
    FID = row < 0 ? 0 : m_grid->model()->cell(row, QStringLiteral("FID")).toInt();
    bRet = row >= 0;
    done(bRet ? QDialog::Accepted : QDialog::Rejected);
}

void TFBaseForm_ProductBatchNo::exitDialog()
{
    bRet = false;
    reject();
}

QString TFBaseForm_ProductBatchNo::productNoText() const { return m_productNo->text(); }

QString TFBaseForm_ProductBatchNo::productNameText() const { return m_productName->text(); }

bool ExecuteBatchPicker(int productId, int storeId, int &batchRowId, QWidget *parent)
{
    if (!nvDMBase::instance().prepareAction())
        return false;
    TFBaseForm_ProductBatchNo picker(parent);
    picker.FProductID = productId;
    picker.FStorehouseID = storeId;
    try {
        picker.LoadData();
    } catch (const DbError &e) {
        Prompter::current().error(e.message());
        return false;
    }
    picker.exec();
    if (!picker.bRet)
        return false;
    batchRowId = picker.FID;
    return true;
}

} // namespace protask
