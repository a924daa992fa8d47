#include "billedit/bill_line_form.h"

#include "billedit/model/line_stock.h"
#include "billedit/product_batch_form.h"
#include "controls/control_values.h"
#include "controls/controls.h"
#include "controls/help.h"
#include "controls/lookup_lists.h"
#include "core/bill_types.h"
#include "core/numbering.h"
#include "core/sql_helpers.h"
#include "core/values.h"
#include "grid/grid_columns.h"
#include "grid/grid_layout.h"
#include "grid/grid_validation.h"
#include "grid/grid_view.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "plugin/comm_call.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace protask {

namespace {

struct LineColumn {
    const char *field;
    const char *caption;
    GridEditorKind kind;
    bool visible;
    int width;
    int tag;
};

constexpr int kRequired = 1 << GridTagBit::Required;
constexpr int kReadOnly = 1 << GridTagBit::ReadOnly;

// The line columns every line-item editor starts from.
const LineColumn kLineColumns[] = {
    {"FSID", "行号", GridEditorKind::Text, true, 40, kReadOnly},
    {"FID", "FID", GridEditorKind::Text, false, 40, 0},
    {"FProductID", "FProductID", GridEditorKind::Text, false, 40, 0},
    {"FProductNo", "商品编码", GridEditorKind::DropDown, true, 100, 0},
    {"FProductName", "商品名称", GridEditorKind::DropDown, true, 160, kRequired},
    {"FUnitName", "单位", GridEditorKind::DropDown, true, 60, 0},
    {"FBatchNo1", "批次", GridEditorKind::Lookup, true, 90, 0},
    {"FBatchNo2", "批次2", GridEditorKind::Text, false, 80, 0},
    {"FBatchNo3", "批次3", GridEditorKind::Text, false, 80, 0},
    {"FKFDate", "生产日期", GridEditorKind::Date, true, 90, 0},
    {"FKFPeriod", "保质期(天)", GridEditorKind::Text, true, 70, 0},
    {"FPeriodDate", "有效期至", GridEditorKind::Date, true, 90, kReadOnly},
    {"FIsBatchNo", "是否批号管理", GridEditorKind::CheckBox, false, 40, 0},
    {"FIsKF", "是否保质期管理", GridEditorKind::CheckBox, false, 40, 0},
    {"FNumber", "数量", GridEditorKind::Quantity, true, 80, kRequired},
    {"FPrice", "单价", GridEditorKind::Price, true, 80, 0},
    {"FAmount", "金额", GridEditorKind::Amount, true, 90, 0},
    {"FDiscountRate", "折扣率(%)", GridEditorKind::Price, true, 70, 0},
    {"FDiscountPrice", "折后单价", GridEditorKind::Price, true, 80, 0},
    {"FDiscountAmount", "折后金额", GridEditorKind::Amount, true, 90, 0},
    {"FTaxRate", "税率(%)", GridEditorKind::Price, true, 60, 0},
    {"FTaxPrice", "含税单价", GridEditorKind::Price, true, 80, 0},
    {"FTaxAmount", "税额", GridEditorKind::Amount, true, 80, 0},
    {"FTotalAmount", "价税合计", GridEditorKind::Amount, true, 90, 0},
    {"FIsPresent", "赠品", GridEditorKind::CheckBox, true, 40, 0},
    {"FPriceIsChange", "是否改变了进价", GridEditorKind::Text, false, 40, 0},
    {"FNote", "备注", GridEditorKind::Text, true, 150, 0},
    {"FProductDefined1", "商品自定义1", GridEditorKind::Text, true, 80, 0},
    {"FProductDefined2", "商品自定义2", GridEditorKind::Text, true, 80, 0},
    {"FProductDefined3", "商品自定义3", GridEditorKind::Text, true, 80, 0},
    {"FListDefined1", "明细自定义1", GridEditorKind::Text, true, 80, 0},
    {"FListDefined2", "明细自定义2", GridEditorKind::Text, true, 80, 0},
    {"FListDefined3", "明细自定义3", GridEditorKind::Text, true, 80, 0},
};

// Cells whose edits run a line rule.
const char *const kRuledFields[] = {"FProductNo", "FProductName",  "FUnitName",    "FSingleNumber",  "FNumber",
                                    "FPrice",     "FDiscountRate", "FAmount",      "FDiscountPrice", "FDiscountAmount",
                                    "FTaxRate",   "FTaxPrice",     "FTotalAmount", "FWidth",         "FHeight",
                                    "FLength",    "FSquare",       "FKFDate",      "FKFPeriod"};

bool isRuled(const QString &field)
{
    for (const char *f : kRuledFields) {
        if (field.compare(QLatin1String(f), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

GridValueType valueTypeOf(GridEditorKind kind)
{
    switch (kind) {
    case GridEditorKind::Quantity:
    case GridEditorKind::Price: return GridValueType::Float;
    case GridEditorKind::Amount: return GridValueType::Currency;
    case GridEditorKind::CheckBox: return GridValueType::Boolean;
    case GridEditorKind::Date: return GridValueType::Date;
    default: return GridValueType::Text;
    }
}

// Bill types whose shelf-life columns are filled from stock, not typed.
bool stockDatedType(int billType)
{
    return billType == 3004 || billType == 3020 || billType == 3022 || billType == 3025 || billType == 3043;
}

} // namespace

TFBaseForm_BillBase_BillNo::TFBaseForm_BillBase_BillNo(QObject *owner, qint32 sheetHandle)
    : TFBaseForm_BillBase(owner, sheetHandle)
{
    m_headerLayout = new QGridLayout(m_header);
    m_headerLayout->setContentsMargins(0, 0, 0, 0);
    edt_FBillNo = new QLineEdit(m_header);
    edt_FBillDate = new TNullableDateEdit(m_header);
    edt_FBillerName = new QLineEdit(m_header);
    addHeaderField(QStringLiteral("FBillNo"), edt_FBillNo, QStringLiteral("单据编号："));
    addHeaderField(QStringLiteral("FBillDate"), edt_FBillDate, QStringLiteral("单据日期："));
    addHeaderField(QStringLiteral("FBillerName"), edt_FBillerName, QStringLiteral("制单人："), 8);
    setupLineColumns();
    connect(GTVList, &TGridView::cellEdited, this, &TFBaseForm_BillBase_BillNo::lineCellEdited);
    connect(GTVList, &TGridView::lookupClicked, this, [this](int row, int) { PickBatch(row); });
    connect(GTVList->table(), &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        const QString field = FDC->column(index.column()).field;
        if (isChecked() || linePickersOff())
            return;
        if (field == QLatin1String("FProductNo") || field == QLatin1String("FProductName"))
            SelectProducts();
        else if (field == QLatin1String("FKFDate") || field == QLatin1String("FBatchNo1"))
            PickBatch(index.row());
        else if (field == QLatin1String("FPrice") || field == QLatin1String("FDiscountPrice"))
            HistoryPrice(index.row());
    });
    connect(GTVList->table()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { RefreshStockHint(current.row()); });
    FDC->setRowForeground([this](int row) { return lineForeground(row); });
    buildPriceHint();
    lbl_StockBalance = new QLabel(m_bottom);
    lbl_StockBalance->setObjectName(QStringLiteral("lbl_StockBalance"));
    static_cast<QHBoxLayout *>(m_bottom->layout())->insertWidget(0, lbl_StockBalance);
    QAction *select = makeAction(QStringLiteral("actSelectProducts"), QStringLiteral("选商品"));
    connect(select, &QAction::triggered, this, [this]() { SelectProducts(); });
    auto *selectButton = new QToolButton(m_bottom);
    selectButton->setObjectName(QStringLiteral("btnSelectProducts"));
    selectButton->setDefaultAction(select);
    selectButton->setFocusPolicy(Qt::NoFocus);
    static_cast<QHBoxLayout *>(m_bottom->layout())->insertWidget(1, selectButton);
    m_lineButtons.append(selectButton);
}

QWidget *TFBaseForm_BillBase_BillNo::addHeaderField(const QString &field, QWidget *editor, const QString &caption,
                                                    int tag)
{
    editor->setParent(m_header);
    editor->setObjectName(QStringLiteral("edt_") + field);
    editor->setProperty("tag", tag);
    const int row = m_headerCells / 4;
    const int col = (m_headerCells % 4) * 2;
    if (!caption.isEmpty()) {
        auto *label = new QLabel(caption, m_header);
        label->setObjectName(QStringLiteral("lbl_") + field);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(editor);
        m_headerLayout->addWidget(label, row, col);
        m_headerLayout->addWidget(editor, row, col + 1);
        ++m_headerCells;
    } else {
        editor->hide();
    }
    return editor;
}

bool TFBaseForm_BillBase_BillNo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->objectName() == QLatin1String("lbl_FClientName") && event->type() == QEvent::MouseButtonRelease) {
        OpenClientRecord();
        return true;
    }
    if (watched->objectName() == QLatin1String("lbl_PriceHintOff")) {
        auto *label = static_cast<QLabel *>(watched);
        if (event->type() == QEvent::Enter)
            label->setStyleSheet(QStringLiteral("color: rgb(247, 123, 0); text-decoration: underline;"));
        else if (event->type() == QEvent::Leave)
            label->setStyleSheet(QStringLiteral("color: black; text-decoration: underline;"));
        else if (event->type() == QEvent::MouseButtonRelease)
            SwitchOffPriceHint();
    }
    if (event->type() == QEvent::KeyPress) {
        QWidget *w = qobject_cast<QWidget *>(watched);
        auto *combo = w ? qobject_cast<TComboBox *>(w) : nullptr;
        if (!combo && w)
            combo = qobject_cast<TComboBox *>(w->parentWidget());
        if (combo && combo->objectName().startsWith(QStringLiteral("edt_"))) {
            const QString field = combo->objectName().mid(4);
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (m_headerLookups.contains(field) && !combo->view()->isVisible()) {
                if (key == Qt::Key_F7
                    || ((key == Qt::Key_Return || key == Qt::Key_Enter) && combo->currentText().trimmed().isEmpty())) {
                    openHeaderLookup(field);
                    return true;
                }
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    focusNextChild();
                    return true;
                }
            }
        }
    }
    return TFBaseForm_BillBase::eventFilter(watched, event);
}

void TFBaseForm_BillBase_BillNo::addHeaderWidget(QWidget *fields)
{
    const int row = (m_headerCells + 3) / 4;
    m_headerLayout->addWidget(fields, row, 0, 1, 8);
    m_headerCells = (row + 1) * 4;
}

QVector<TGridColumn> TFBaseForm_BillBase_BillNo::lineColumns() const
{
    QVector<TGridColumn> columns;
    for (const LineColumn &c : kLineColumns) {
        TGridColumn col;
        col.field = QString::fromLatin1(c.field);
        col.name = QStringLiteral("R_") + col.field;
        col.caption = QString::fromUtf8(c.caption);
        col.editorKind = c.kind;
        col.visible = c.visible;
        col.width = c.width;
        col.tag = c.tag;
        col.valueType = valueTypeOf(c.kind);
        if (c.kind == GridEditorKind::Amount)
            col.displayFormat = QStringLiteral(",0.00;-,0.00");
        if (col.field == QLatin1String("FKFPeriod")) {
            col.valueType = GridValueType::Integer;
            col.decimals = 0;
            col.displayFormat = QStringLiteral("0");
        }
        columns.append(col);
    }
    return columns;
}

void TFBaseForm_BillBase_BillNo::setupLineColumns()
{
    TGridView::LayoutUpdate update(GTVList);
    GTVList->clearSummaries();
    FDC->setColumns(lineColumns());
    for (int i = 0; i < FDC->columnCountValue(); ++i) {
        const QString field = FDC->column(i).field;
        if (field == QLatin1String("FProductNo") || field == QLatin1String("FProductName")
            || field == QLatin1String("FUnitName")) {
            FDC->updateColumn(i, [this, field](TGridColumn &c) {
                c.comboSetup = [this, field](QComboBox *combo, int row) { setupProductCombo(combo, row, field); };
            });
        }
        if (!isRuled(field))
            continue;
        FDC->setColumnRule(FDC->column(i).name, [this, field](TGridModel &, int row, QVariant &value, bool &accept) {
            LineValues line = lineAt(row);
            const QVariant stored = LineRule(field, value, line);
            line.set(field, stored);
            setLine(row, line);
            value = stored;
            accept = true;
        });
    }
    const auto notGift = [this](int row) {
        const int gift = FDC->columnIndex(QStringLiteral("R_FIsPresent"));
        return gift < 0 || !ValueIsTrue(FDC->cell(row, gift));
    };
    GTVList->addSummary({QStringLiteral("R_FNumber"), GridSummaryKind::Sum, QString(), {}});
    GTVList->addSummary({QStringLiteral("R_FAmount"), GridSummaryKind::Sum, QStringLiteral(",0.00;-,0.00"), notGift});
    GTVList->addSummary(
        {QStringLiteral("R_FDiscountAmount"), GridSummaryKind::Sum, QStringLiteral(",0.00;-,0.00"), notGift});
}

LineValues TFBaseForm_BillBase_BillNo::lineAt(int row) const
{
    LineValues line;
    for (int c = 0; c < FDC->columnCountValue(); ++c)
        line.set(FDC->column(c).field, FDC->cell(row, c));
    return line;
}

QList<LineValues> TFBaseForm_BillBase_BillNo::gridLines() const
{
    QList<LineValues> lines;
    for (int r = 0; r < FDC->rowCountValue(); ++r)
        lines.append(lineAt(r));
    return lines;
}

void TFBaseForm_BillBase_BillNo::setLine(int row, const LineValues &line)
{
    for (auto it = line.cells().cbegin(); it != line.cells().cend(); ++it) {
        const int c = FDC->fieldColumnIndex(it.key());
        if (c >= 0 && FDC->cell(row, c) != it.value())
            FDC->setCell(row, c, it.value());
    }
}

LineSettings TFBaseForm_BillBase_BillNo::lineSettings() const
{
    const HostSwitches &sw = nvDMBase::instance().switches;
    LineSettings s;
    s.pricePlaces = FPriceDecimalPlaces;
    s.amountPlaces = FAmountDecimalPlaces;
    s.taxOn = sw.taxSwitch;
    s.defaultTaxRate = sw.defaultTaxRate;
    s.formDiscountRate = FDiscountRate;
    s.dimensionMode = FWidthHeightLength;
    return s;
}

QVariant TFBaseForm_BillBase_BillNo::LineRule(const QString &field, const QVariant &typed, LineValues &line)
{
    const bool byNumber = field == QLatin1String("FProductNo");
    if (byNumber || field == QLatin1String("FProductName")) {
        const QString text = ValueToTrimmedText(typed);
        const LookupOutcome outcome = LookupProduct(byNumber ? ProductLookupMode::ByNumber : ProductLookupMode::ByName,
                                                    text, line, fillContext(), nvDMBase::instance().connection());
        m_focusQuantity = outcome == LookupOutcome::Filled;
        return line.value(field);
    }
    if (field == QLatin1String("FUnitName")) {
        const int productId = productIdOf(ValueToTrimmedText(line.value(QStringLiteral("FProductName"))));
        if (productId != 0) {
            RepriceForUnit(line, productId, ValueToTrimmedText(typed), fillContext(),
                           nvDMBase::instance().connection());
            m_focusQuantity = true;
        }
        return typed;
    }
    return ApplyLineRule(field, typed, line, lineSettings());
}

void TFBaseForm_BillBase_BillNo::lineCellEdited(int row, int)
{
    if (InitType)
        return;
    SetModified();
    AfterLinesChanged();
    if (m_focusQuantity) {
        m_focusQuantity = false;
        focusQuantity(row);
    }
    FCurFocusRecordIndex = -1;
    RefreshStockHint(row);
}

// ---- start-up ----

void TFBaseForm_BillBase_BillNo::FormStartup()
{
    R_KeyID = QStringLiteral("R_FProductName");
    R_Number = QStringLiteral("R_FNumber");
    R_Price = QStringLiteral("R_FPrice");
    FCurFocusRecordIndex = -1;
    GTVListIsNoNull = true;
    const CompanyDecimals d = GetCompanyDecimals(nvDMBase::instance().connection());
    FNumberDecimalPlaces = d.numberDecimals;
    FNumberDisplayFormat = d.numberFormat;
    FPriceDecimalPlaces = d.priceDecimals;
    FPriceDisplayFormat = d.priceFormat;
    SetNumberColumnFormat(GTVList, R_Number, FNumberDecimalPlaces, FNumberDisplayFormat);
    for (const char *c : {"R_FPrice", "R_FDiscountPrice", "R_FTaxPrice"})
        SetNumberColumnFormat(GTVList, QString::fromLatin1(c), FPriceDecimalPlaces, FPriceDisplayFormat);
    for (const char *c : {"R_FWidth", "R_FHeight", "R_FLength", "R_FSquare"})
        SetNumberColumnFormat(GTVList, QString::fromLatin1(c), FNumberDecimalPlaces, FNumberDisplayFormat);

    TFBaseForm_BillBase::FormStartup();

    if (FReturn == 0)
        FReturn = 1;
    if (FBillStatusID != BillStatus::New)
        FInitBillNo = edt_FBillNo->text();
    {
        TGridView::LayoutUpdate update(GTVList);
        for (const char *c :
             {"R_FProductDefined1", "R_FProductDefined2", "R_FProductDefined3", "R_FListDefined1", "R_FListDefined2",
              "R_FListDefined3", "R_FTaxRate", "R_FTaxPrice", "R_FTaxAmount", "R_FTotalAmount"})
            HideColumns(GTVList, QString::fromLatin1(c));
        const int t = FBillTypeID;
        if (nvDMBase::instance().switches.taxSwitch && ((t >= 3001 && t <= 3004) || t == 3015 || t == 3016)) {
            for (const char *c : {"R_FTaxRate", "R_FTaxPrice", "R_FTaxAmount", "R_FTotalAmount"})
                GTVList->setColumnVisible(FDC->columnIndex(QString::fromLatin1(c)), true);
        }
    }
    ApplyFieldCaptions();
    AfterDataLoaded();
    ApplyColumnOptions();
    WriteOperationLog(FBillStatusID == BillStatus::New ? QStringLiteral("新建操作")
                                                       : QStringLiteral("修改操作 - 单据号:") + edt_FBillNo->text(),
                      FBillCaption, nvDMBase::instance().connection());
    for (QWidget *w : {static_cast<QWidget *>(edt_FBillNo), static_cast<QWidget *>(edt_FBillDate)})
        w->installEventFilter(this);
    if (QLabel *client = headerLabel(QStringLiteral("FClientName"));
        client && FBillTypeID >= 3001 && FBillTypeID <= 3005) {
        client->setCursor(Qt::PointingHandCursor);
        client->installEventFilter(this);
    }
}

void TFBaseForm_BillBase_BillNo::FormShowAction()
{
    TFBaseForm_BillBase::FormShowAction();
    NoLength = 5;
    DefNo = QStringLiteral("00001");
    if (FBillStatusID == BillStatus::New)
        FillNewBillDefaults();
    refreshProductList();
    refreshHeaderLookups();
}

void TFBaseForm_BillBase_BillNo::FillNewBillDefaults()
{
    const QSqlDatabase db = nvDMBase::instance().connection();
    QString yearMonth;
    edt_FBillDate->setDate(GetServerBillDate(yearMonth, db));
    BillNumbering numbering;
    numbering.sequenceLength = NoLength;
    numbering.firstSequence = DefNo;
    FInitBillNo = ProposeBillNo(FBillTypeNo, yearMonth, FBillStatusID, FBillTableTypeID, numbering, db);
    edt_FBillNo->setText(FInitBillNo);
    edt_FBillerName->setText(nvDMBase::instance().userName);
}

void TFBaseForm_BillBase_BillNo::ApplyFieldCaptions()
{
    const QSqlDatabase db = nvDMBase::instance().connection();
    for (const FieldCaption &c : ReadHeaderCaptions(FBillTypeID, db)) {
        for (const char *f : {"FFormDefined1", "FFormDefined2", "FFormDefined3"}) {
            if (c.field.compare(QLatin1String(f), Qt::CaseInsensitive) == 0) {
                if (QLabel *l = headerLabel(QString::fromLatin1(f)))
                    l->setText(c.caption + QStringLiteral("："));
            }
        }
    }
    TGridView::LayoutUpdate update(GTVList);
    QHeaderView *header = GTVList->table()->horizontalHeader();
    for (const FieldCaption &c : ReadColumnCaptions(FBillTypeID, db)) {
        const int column = FDC->columnIndex(c.field);
        if (column < 0)
            continue;
        FDC->updateColumn(column, [&c](TGridColumn &col) { col.caption = c.caption; });
        GTVList->setColumnVisible(column, c.visible);
        const int to = qBound(0, c.position, FDC->columnCountValue() - 1);
        header->moveSection(header->visualIndex(column), to);
    }
}

void TFBaseForm_BillBase_BillNo::ApplyColumnOptions()
{
    if (stockDatedType(FBillTypeID)) {
        for (const char *c : {"R_FKFDate", "R_FKFPeriod", "R_FPeriodDate"}) {
            const int column = FDC->columnIndex(QString::fromLatin1(c));
            if (column >= 0)
                FDC->updateColumn(column, [](TGridColumn &col) { col.tag |= kReadOnly; });
        }
    }
    QVariant mode;
    FWidthHeightLength = ReadParameter(QStringLiteral("FWidthHeightLength"), mode, nvDMBase::instance().connection())
        ? ValueToInt(mode)
        : 0;
}

// ---- actions ----

BillRef TFBaseForm_BillBase_BillNo::billRef() const
{
    BillRef b;
    b.billType = FBillTypeID;
    b.billTypeNo = FBillTypeNo;
    b.formTable = FFormTableName;
    b.listTable = FListTableName;
    b.caption = FBillCaption;
    b.billId = FBillID;
    b.statusId = FBillStatusID;
    b.billNo = edt_FBillNo->text().trimmed();
    b.initBillNo = FInitBillNo;
    b.billDate = edt_FBillDate->date();
    return b;
}

void TFBaseForm_BillBase_BillNo::NewBill()
{
    if (FSave && Prompter::current().askYesNo(QString::fromUtf8(BillMessage::Unsaved)))
        SaveBill();
    if (action(QStringLiteral("actNew"))->isVisible())
        startNewBill(false);
}

void TFBaseForm_BillBase_BillNo::InsertBill() { startNewBill(true); }

// The new bill of the action (header cleared, grid reset, states refreshed) and of the insert
// path after save-and-new (the form-show action, without refreshing the states).
void TFBaseForm_BillBase_BillNo::startNewBill(bool insertPath)
{
    InitType = true;
    runAction([this, insertPath]() {
        FSave = false;
        FBillStatusID = BillStatus::New;
        FParamTypeID = 0;
        FParamValue.clear();
        FBillID = 0;
        if (insertPath) {
            FormShowAction();
        } else {
            ClearHeaderControls();
            ResetGridRows(20);
        }
        FillNewBillDefaults();
        refreshProductList();
        AfterDataLoaded();
        if (!insertPath)
            RefreshCheckState();
        SetEditState(1);
        WriteOperationLog(QStringLiteral("新增操作"), FBillCaption, nvDMBase::instance().connection());
    });
    InitType = false;
}

void TFBaseForm_BillBase_BillNo::SaveBill()
{
    edt_FBillerName->setFocus();
    GTVList->table()->setFocus(); // a cell editor still open commits its value
    FSaveIsFinish = false;
    runAction([this]() {
        if (!CanSave())
            return;
        const ActionResult r = protask::SaveBill(*this, billRef(), nvDMBase::instance().switches);
        afterSaved(r);
    });
}

void TFBaseForm_BillBase_BillNo::afterSaved(const ActionResult &r)
{
    if (r.focusBillNo)
        edt_FBillNo->setFocus();
    FBillID = r.billId;
    if (!r.done)
        return;
    FSaveIsFinish = true;
    FBillStatusID = BillStatus::Saved;
    FInitBillNo = r.billNo;
    edt_FBillNo->setText(r.billNo);
    SetModified();
    SetEditState(2);
    const HostSwitches &sw = nvDMBase::instance().switches;
    if (sw.checkWorkflow && sw.checkOnSave)
        SetEditState(3);
}

void TFBaseForm_BillBase_BillNo::SaveAndNew()
{
    edt_FBillerName->setFocus();
    FSaveIsFinish = false;
    SaveBill();
    if (FSaveIsFinish)
        InsertBill();
}

void TFBaseForm_BillBase_BillNo::CheckBillAction()
{
    runAction([this]() {
        const ActionResult r = CheckBill(*this, billRef());
        if (r.done)
            SetEditState(3);
    });
}

void TFBaseForm_BillBase_BillNo::UncheckBillAction()
{
    runAction([this]() {
        const ActionResult r = UncheckBill(*this, billRef());
        if (r.done)
            SetEditState(4);
    });
}

void TFBaseForm_BillBase_BillNo::HelpAction()
{
    // The video help is any file named after the window that the desktop can open.
    const QDir dir(ProgramPath(QStringLiteral("Help")));
    const QStringList found = dir.entryList({FBillCaption + QStringLiteral(".*")}, QDir::Files);
    if (found.isEmpty()) {
        Prompter::current().information(QString::fromUtf8(BillMessage::NoVideoHelp));
        return;
    }
    DelayWithMessages(1000);
    QDesktopServices::openUrl(QUrl::fromLocalFile(dir.filePath(found.first())));
}

void TFBaseForm_BillBase_BillNo::keyPressEvent(QKeyEvent *event)
{
    // F2 is the bar-code key; bar-code entry is not offered, so it does nothing.
    if (event->key() == Qt::Key_F2) {
        event->accept();
        return;
    }
    TFBaseForm_BillBase::keyPressEvent(event);
}

// ---- save steps ----

bool TFBaseForm_BillBase_BillNo::CheckUnits()
{
    return ValidateProductUnits(GTVList, QStringLiteral("R_FProductName"), QStringLiteral("R_FUnitName"),
                                QStringLiteral("R_FProductName"));
}

bool TFBaseForm_BillBase_BillNo::SaveLines(int billId)
{
    SaveLinesContext c;
    c.billType = FBillTypeID;
    c.billId = billId;
    c.savedBill = billId == FBillID && FBillStatusID != BillStatus::New;
    c.lineTable = FListTableName;
    c.billCaption = FBillCaption;
    c.numberPlaces = FNumberDecimalPlaces;
    c.pricePlaces = FPriceDecimalPlaces;
    c.amountPlaces = FAmountDecimalPlaces;
    c.taxOn = nvDMBase::instance().switches.taxSwitch;
    c.sign = FReturn == 0 ? 1 : FReturn;
    c.lineFields = [this, billId](int row, const LineValues &line, LineCells &cells) {
        return SaveLineFields(billId, row, line, cells);
    };
    return protask::SaveLines(gridLines(), c, nvDMBase::instance().connection());
}

bool TFBaseForm_BillBase_BillNo::SaveLineFields(int, int, const LineValues &, LineCells &) { return true; }

} // namespace protask
