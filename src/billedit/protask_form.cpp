#include "billedit/protask_form.h"

#include "billedit/image_help.h"
#include "billedit/model/line_stock.h"
#include "billedit/model/product_lookup.h"
#include "billedit/model/protask_bill.h"
#include "billedit/select_form.h"
#include "controls/control_values.h"
#include "controls/controls.h"
#include "controls/lookup_lists.h"
#include "core/local_dataset.h"
#include "core/sql_helpers.h"
#include "core/values.h"
#include "grid/grid_columns.h"
#include "grid/grid_view.h"
#include "platform/nv_dm_base.h"
#include "ui_protask_header.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>

namespace protask {

namespace {

// The material columns: captions of the task, and which columns it shows.
struct TaskColumn {
    const char *field;
    const char *caption;
};
const TaskColumn kShownColumns[] = {
    {"FSID", "行号"},
    {"FProductNo", "材料编码"},
    {"FProductName", "材料名称"},
    {"FUnitName", "单位"},
    {"FBatchNo1", "批次"},
    {"FSingleNumber", "单耗量"},
    {"FNumber", "总耗量"},
    {"FPrice", "成本单价"},
    {"FAmount", "成本金额"},
    {"FFinishNumber", "已完成数量"},
    {"FNote", "备注"},
};

QString text(QWidget *w)
{
    QString t;
    GetControlText(w, t);
    return t.trimmed();
}

} // namespace

TFBaseForm_BillBase_BillNo_Protask::TFBaseForm_BillBase_BillNo_Protask(QObject *owner, qint32 sheetHandle)
    : TFBaseForm_BillBase_BillNo(owner, sheetHandle)
{
    setObjectName(QStringLiteral("TFBaseForm_BillBase_BillNo_Protask"));
    FBillTypeID = kProtaskBillType;
    FBillTypeNo = QStringLiteral("RWD");
    FBillCaption = QStringLiteral("生产任务单");
    FFormTableName = QStringLiteral("t_ProTaskForm");
    FListTableName = QStringLiteral("t_ProTaskList");
    FReturn = 1;
    setWindowTitle(FBillCaption);
    buildHeader();
    setupLineColumns();
    QAction *saleOrder = makeAction(QStringLiteral("actSelectSaleOrder"), QStringLiteral("选择销售订单"));
    connect(saleOrder, &QAction::triggered, this, [this]() { CopyFromSalesOrder(); });
    toolBar()->insertAction(action(QStringLiteral("actBillList")), saleOrder);
    auto *tips = new QToolButton(this);
    tips->setObjectName(QStringLiteral("btnImageHelp"));
    tips->setText(QStringLiteral("操作技巧"));
    tips->setFocusPolicy(Qt::NoFocus);
    connect(tips, &QToolButton::clicked, this, [this]() { ShowPictureHelp(); });
    toolBar()->addWidget(tips);
}

void TFBaseForm_BillBase_BillNo_Protask::buildHeader()
{
    auto *fields = new QWidget(m_header);
    Ui::ProtaskHeader ui;
    ui.setupUi(fields);
    addHeaderWidget(fields);
    edt_Fnumber = ui.edt_Fnumber;
    edt_Fprice = ui.edt_Fprice;
    edt_Famount = ui.edt_Famount;
    connect(edt_Fnumber, &TCurrencyEdit::valueChanged, this, [this]() { productionQuantityChanged(); });
    connect(edt_Fprice, &TCurrencyEdit::valueChanged, this, [this]() { processingPriceChanged(); });
    auto *product = static_cast<TComboBox *>(headerControl(QStringLiteral("FProductName")));
    connect(product->lineEdit(), &QLineEdit::editingFinished, this, [this]() { productNameCommitted(); });
    connect(product, &QComboBox::activated, this, [this]() { productNameCommitted(); });
    connect(static_cast<TComboBox *>(headerControl(QStringLiteral("FUnitName"))), &TComboBox::aboutToDropDown, this,
            [this]() { fillUnitList(); });
    bindHeaderLookup(QStringLiteral("FClientName"), 2004, ProtaskClientListSql());
    bindHeaderLookup(QStringLiteral("FProductName"), 2003, ProtaskProductListSql());
    bindHeaderLookup(QStringLiteral("FManager"), 2006, ProtaskEmployeeListSql());
    bindHeaderLookup(QStringLiteral("FDeptName"), 2014, ProtaskDeptListSql());
}

QVector<TGridColumn> TFBaseForm_BillBase_BillNo_Protask::lineColumns() const
{
    QVector<TGridColumn> columns = TFBaseForm_BillBase_BillNo::lineColumns();
    TGridColumn single;
    single.field = QStringLiteral("FSingleNumber");
    single.name = QStringLiteral("R_FSingleNumber");
    single.editorKind = GridEditorKind::Quantity;
    single.valueType = GridValueType::Float;
    single.width = 80;
    TGridColumn finished = single;
    finished.field = QStringLiteral("FFinishNumber");
    finished.name = QStringLiteral("R_FFinishNumber");
    finished.tag = 1 << GridTagBit::ReadOnly;
    // Per-unit consumption sits before the total consumption.
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].field == QLatin1String("FNumber")) {
            columns.insert(i, single);
            break;
        }
    }
    columns.append(finished);
    for (TGridColumn &c : columns) {
        c.visible = false;
        for (const TaskColumn &t : kShownColumns) {
            if (c.field == QLatin1String(t.field)) {
                c.visible = true;
                c.caption = QString::fromUtf8(t.caption);
            }
        }
    }
    return columns;
}

void TFBaseForm_BillBase_BillNo_Protask::PrepareLoad()
{
    FSQLForm = ProtaskHeaderSql(FBillID);
    FSQLList = ProtaskLinesSql(FBillID);
}

void TFBaseForm_BillBase_BillNo_Protask::AfterDataLoaded()
{
    edt_Fnumber->setDecimalPlaces(FNumberDecimalPlaces);
    edt_Fnumber->setDisplayFormat(FNumberDisplayFormat);
    edt_Fprice->setDecimalPlaces(FPriceDecimalPlaces);
    edt_Fprice->setDisplayFormat(FPriceDisplayFormat);
    edt_Famount->setDecimalPlaces(FAmountDecimalPlaces);
    edt_Famount->setDisplayFormat(FAmountDisplayFormat);
    SetNumberColumnFormat(GTVList, QStringLiteral("R_FNumber"), FNumberDecimalPlaces, FNumberDisplayFormat);
    SetNumberColumnFormat(GTVList, QStringLiteral("R_FSingleNumber"), FNumberDecimalPlaces, FNumberDisplayFormat);
    if (FBillID == 0) {
        const bool init = InitType;
        InitType = true;
        edt_Fnumber->setValue(1);
        InitType = init;
    }
    // The host hands over products to start the task with: "StorehouseID=<id>ProductsID=<ids>".
    const QString products = QStringLiteral("ProductsID=");
    const qsizetype at = FParamValue.indexOf(products);
    if (FParamTypeID == 11 && at >= 0)
        AddProductLine(FParamValue.mid(at + products.size()), -1);
}

void TFBaseForm_BillBase_BillNo_Protask::productionQuantityChanged()
{
    if (InitType)
        return;
    if (edt_Fnumber->isBlank()) {
        edt_Fnumber->setValue(1);
        return;
    }
    const double h = edt_Fnumber->value();
    edt_Famount->setValue(h * edt_Fprice->value());
    QList<LineValues> lines = gridLines();
    ScaleProtaskLines(lines, h);
    for (int r = 0; r < lines.size(); ++r)
        setLine(r, lines.at(r));
}

void TFBaseForm_BillBase_BillNo_Protask::processingPriceChanged()
{
    if (InitType)
        return;
    if (edt_Fnumber->isBlank())
        edt_Fnumber->setValue(1);
    edt_Famount->setValue(edt_Fprice->value() * edt_Fnumber->value());
}

void TFBaseForm_BillBase_BillNo_Protask::StateChanged(int state)
{
    if (!nvDMBase::instance().switches.checkWorkflow)
        return;
    QAction *saleOrder = action(QStringLiteral("actSelectSaleOrder"));
    if (state == 1 || state == 2 || state == 4 || state == 5)
        saleOrder->setEnabled(true);
    else if (state == 3)
        saleOrder->setEnabled(false);
}

void TFBaseForm_BillBase_BillNo_Protask::productNameCommitted()
{
    if (InitType)
        return;
    QString name;
    GetControlText(headerControl(QStringLiteral("FProductName")), name);
    name = name.trimmed();
    if (name.isEmpty() || name == m_proposedFor)
        return;
    ProposeMaterials();
}

void TFBaseForm_BillBase_BillNo_Protask::ProposeMaterials()
{
    QString name;
    GetControlText(headerControl(QStringLiteral("FProductName")), name);
    name = name.trimmed();
    m_proposedFor = name;
    if (name.isEmpty())
        return;
    runAction([&]() {
        const int task = FindLastTaskOfProduct(name, nvDMBase::instance().connection());
        if (task == 0)
            return;
        const bool init = InitType;
        InitType = true;
        ResetGridRows(20);
        LoadRows(ProtaskMaterialSql(task, edt_Fnumber->value()));
        InitType = init;
        SetModified();
    });
}

void TFBaseForm_BillBase_BillNo_Protask::fillUnitList()
{
    QString product;
    GetControlText(headerControl(QStringLiteral("FProductName")), product);
    if (product.trimmed().isEmpty())
        return;
    auto *units = static_cast<TComboBox *>(headerControl(QStringLiteral("FUnitName")));
    runAction([&]() {
        TLocalDataSet list(nvDMBase::instance().connection());
        list.open(UnitListSql(FindProductIdByName(product, nvDMBase::instance().connection())).sql);
        const QString current = units->currentText();
        FilterLookupList(list, units, QStringLiteral("FName"), QString(), QStringLiteral("FName"));
        units->setEditText(current);
    });
}

void TFBaseForm_BillBase_BillNo_Protask::CopyFromSalesOrder()
{
    if (isChecked())
        return;
    runAction([this]() {
        const QSqlDatabase db = nvDMBase::instance().connection();
        QString client;
        GetControlText(headerControl(QStringLiteral("FClientName")), client);
        const int clientId = FindOrderClientId(client, db);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const QString lines = ExecuteSelectForm(3056, clientId, FMainHandle, true, this);
        QGuiApplication::restoreOverrideCursor();
        if (lines.isEmpty())
            return;
        const SalesOrderSource source = ReadSalesOrderSource(lines, db);
        if (!source.found)
            return;
        ProtaskHeader h;
        h.price = edt_Fprice->value();
        CopySalesOrderSource(h, source);
        const bool init = InitType;
        InitType = true;
        const auto set = [this](const char *field, const QVariant &value) {
            LoadControl(headerControl(QString::fromLatin1(field)), value);
        };
        set("FClientName", h.clientName);
        set("Fnumber", h.number);
        set("FProductName", h.productName);
        set("FBatchNo", h.batchNo);
        set("FUnitName", h.unitName);
        set("FFromBillNo", h.fromBillNo);
        set("FFromBillID", h.fromBillId);
        set("FFromListID", h.fromListId);
        set("FFromBillTypeID", h.fromBillTypeId);
        edt_Famount->setValue(h.amount);
        InitType = init;
        ProposeMaterials();
        SetModified();
    });
}

void TFBaseForm_BillBase_BillNo_Protask::ShowPictureHelp()
{
    TFBaseForm_ImageHelp help(this);
    help.exec();
}

QVariant TFBaseForm_BillBase_BillNo_Protask::LineRule(const QString &field, const QVariant &typed, LineValues &line)
{
    if (field == QLatin1String("FSingleNumber") || field == QLatin1String("FNumber") || field == QLatin1String("FPrice")
        || field == QLatin1String("FAmount"))
        return ApplyProtaskLineRule(field, typed, line, edt_Fnumber->value(), edt_Fnumber->isBlank(),
                                    FNumberDecimalPlaces, FPriceDecimalPlaces, FAmountDecimalPlaces);
    return TFBaseForm_BillBase_BillNo::LineRule(field, typed, line);
}

ProtaskHeader TFBaseForm_BillBase_BillNo_Protask::headerValues(int billId) const
{
    ProtaskHeader h;
    h.billId = billId;
    h.billTableTypeId = FBillTableTypeID;
    h.billTypeNo = FBillTypeNo;
    h.billNo = edt_FBillNo->text().trimmed();
    h.initBillNo = FInitBillNo;
    h.billDate = edt_FBillDate->date();
    h.proDate = findChild<TNullableDateEdit *>(QStringLiteral("edt_FProDate"))->date();
    const auto field = [this](const char *name) { return text(headerControl(QString::fromLatin1(name))); };
    h.clientName = field("FClientName");
    h.productName = field("FProductName");
    h.unitName = field("FUnitName");
    h.batchNo = field("FBatchNo");
    h.deptName = field("FDeptName");
    h.managerName = field("FManager");
    h.note = field("FNote");
    h.number = edt_Fnumber->value();
    h.price = edt_Fprice->value();
    h.amount = edt_Famount->value();
    h.formDefined[0] = field("FFormDefined1");
    h.formDefined[1] = field("FFormDefined2");
    h.formDefined[2] = field("FFormDefined3");
    h.fromBillNo = field("FFromBillNo");
    h.fromBillId = ValueToInt(field("FFromBillID"));
    h.fromListId = ValueToInt(field("FFromListID"));
    h.fromBillTypeId = ValueToInt(field("FFromBillTypeID"));
    h.userId = nvDMBase::instance().userId;
    return h;
}

int TFBaseForm_BillBase_BillNo_Protask::SaveHeader(int billId)
{
    return SaveProtaskHeader(headerValues(billId), nvDMBase::instance().connection());
}

bool TFBaseForm_BillBase_BillNo_Protask::CheckBeforePost()
{
    return CheckProtaskValues(headerValues(FBillID), gridLines(), nvDMBase::instance().connection());
}

bool TFBaseForm_BillBase_BillNo_Protask::SaveLineFields(int, int, const LineValues &line, LineCells &cells)
{
    ProtaskLineFields(line, FNumberDecimalPlaces, FPriceDecimalPlaces, FAmountDecimalPlaces, cells);
    return true;
}

} // namespace protask
