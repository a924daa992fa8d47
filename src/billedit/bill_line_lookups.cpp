#include "billedit/bill_line_form.h"

#include "billedit/history_price_form.h"
#include "billedit/model/history_price.h"
#include "billedit/model/line_stock.h"
#include "billedit/product_batch_form.h"
#include "controls/control_values.h"
#include "controls/controls.h"
#include "controls/lookup_lists.h"
#include "core/numbering.h"
#include "core/values.h"
#include "grid/grid_view.h"
#include "platform/nv_dm_base.h"
#include "plugin/comm_call.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

// The line-item editor's lookups: products, units, batches and stock of the lines, the header
// lookups through the sibling library, the client label and the price-variation hint.

namespace protask {

void TFBaseForm_BillBase_BillNo::bindHeaderLookup(const QString &field, int kind, const QString &listSql)
{
    auto *combo = qobject_cast<TComboBox *>(headerControl(field));
    if (!combo)
        return;
    HeaderLookup lookup{kind, listSql, std::make_shared<TLocalDataSet>()};
    m_headerLookups.insert(field, lookup);
    combo->installEventFilter(this);
    if (combo->lineEdit())
        combo->lineEdit()->installEventFilter(this);
    connect(combo, &TComboBox::doubleClicked, this, [this, field]() { openHeaderLookup(field); });
    if (combo->lineEdit()) {
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, field, combo](const QString &typed) {
            const HeaderLookup &l = m_headerLookups[field];
            if (l.list->isActive())
                FilterLookupList(*l.list, combo, QStringLiteral("FName"), typed, QStringLiteral("FNo"),
                                 QStringLiteral("FName"), QStringLiteral("FCode"));
        });
    }
}

void TFBaseForm_BillBase_BillNo::refreshHeaderLookups()
{
    const QSqlDatabase db = nvDMBase::instance().connection();
    for (auto it = m_headerLookups.begin(); it != m_headerLookups.end(); ++it) {
        auto *combo = qobject_cast<TComboBox *>(headerControl(it.key()));
        it->list->setDatabase(db);
        it->list->setSql(it->listSql);
        const QString current = combo->currentText();
        FillLookupList(combo, QStringLiteral("FName"), *it->list);
        combo->setEditText(current);
    }
}

void TFBaseForm_BillBase_BillNo::openHeaderLookup(const QString &field)
{
    if (isChecked() || !m_headerLookups.contains(field))
        return;
    auto *combo = qobject_cast<TComboBox *>(headerControl(field));
    nvDMBase::instance().lookup.value = 0;
    const int kind = m_headerLookups.value(field).kind;
    if (!OpenCommonLookup(kind, 22, QString()))
        return;
    runAction([&]() {
        const QString name = LookupChoiceName(CommonLookupTable(kind), nvDMBase::instance().lookup.text1,
                                              nvDMBase::instance().connection());
        if (name.isEmpty() || name == combo->currentText())
            return;
        combo->setEditText(name);
        SetModified();
    });
}

void TFBaseForm_BillBase_BillNo::OpenClientRecord()
{
    // Purchases name a supplier, sales a client; other bills have no client label.
    const int t = FBillTypeID;
    if (t < 3001 || t > 3005 || !headerControl(QStringLiteral("FClientName")))
        return;
    const bool supplier = t <= 3002;
    runAction([&]() {
        const int id = FindClientID(supplier ? 2 : 1, headerControl(QStringLiteral("FClientName")));
        if (id > 0)
            ShowCommonRecord(supplier ? 2005 : 2004, id);
    });
}

void TFBaseForm_BillBase_BillNo::SwitchOffPriceHint()
{
    runAction([this]() {
        SwitchOffPriceVariationHint(nvDMBase::instance().connection());
        nvDMBase::instance().switches.priceVariationHintOff = true;
        pnl_FSalePriceVariationHint->hide();
    });
}

FillContext TFBaseForm_BillBase_BillNo::fillContext() const
{
    FillContext c;
    c.billType = FBillTypeID;
    const QSqlDatabase db = nvDMBase::instance().connection();
    c.client = FindClientContext(ClientName(), db);
    c.settings = lineSettings();
    QString yearMonth;
    c.today = GetServerBillDate(yearMonth, db);
    return c;
}

void TFBaseForm_BillBase_BillNo::refreshProductList()
{
    qryProducts.setDatabase(nvDMBase::instance().connection());
    // The stock hint shows FCurStock from here: with every workstation's postings, on any node.
    qryProducts.open(causalRead(ProductListSql(), nvDMBase::instance().connection()));
    qryUnit.setDatabase(nvDMBase::instance().connection());
    m_productByName.clear();
    for (int row = 0; row < qryProducts.recordCount(); ++row) {
        const QString n = qryProducts.value(row, QStringLiteral("FName")).toString();
        if (!m_productByName.contains(n))
            m_productByName.insert(n,
                                   std::make_pair(ValueToInt(qryProducts.value(row, QStringLiteral("FID"))),
                                                  qryProducts.value(row, QStringLiteral("FCurStock"))));
    }
}

int TFBaseForm_BillBase_BillNo::productIdOf(const QString &name) const { return m_productByName.value(name).first; }

void TFBaseForm_BillBase_BillNo::setupProductCombo(QComboBox *combo, int row, const QString &field)
{
    if (field == QLatin1String("FUnitName")) {
        const QString product = ValueToTrimmedText(FDC->cell(row, QStringLiteral("R_FProductName")));
        if (product.isEmpty())
            return;
        const UnitListStatement units = UnitListSql(productIdOf(product));
        runAction([&]() {
            qryUnit.open(units.sql);
            FilterLookupList(qryUnit, combo, QStringLiteral("FName"), QString(), QStringLiteral("FName"));
        });
        if (units.pickFromList)
            combo->setEditable(false);
        else
            connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [this, combo](const QString &typed) {
                FilterLookupList(qryUnit, combo, QStringLiteral("FName"), typed, QStringLiteral("FNo"),
                                 QStringLiteral("FName"), QStringLiteral("FCode"), LookupComboText::Keep);
            });
        return;
    }
    if (!qryProducts.isActive())
        return;
    const bool number = field == QLatin1String("FProductNo");
    const QString shown = number ? QStringLiteral("FCNo") : QStringLiteral("FName");
    if (number)
        FilterLookupList(qryProducts, combo, shown, QString(), QStringLiteral("FNo"));
    else
        FilterLookupList(qryProducts, combo, shown, QString(), QStringLiteral("FNo"), QStringLiteral("FName"),
                         QStringLiteral("FCode"), LookupComboText::Keep);
    connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [this, combo, number, shown](const QString &typed) {
        if (number)
            FilterLookupList(qryProducts, combo, shown, typed, QStringLiteral("FNo"));
        else
            FilterLookupList(qryProducts, combo, shown, typed, QStringLiteral("FNo"), QStringLiteral("FName"),
                             QStringLiteral("FCode"), LookupComboText::Keep);
    });
}

void TFBaseForm_BillBase_BillNo::focusQuantity(int row)
{
    const int column = FDC->columnIndex(R_Number);
    QTimer::singleShot(0, this, [this, row, column]() { GTVList->focusCell(row, column); });
}

void TFBaseForm_BillBase_BillNo::SelectProducts()
{
    if (isChecked() || !FDC->editingEnabled())
        return;
    if (FBillTypeID == 3011) {
        AfterProductsAdded();
        return;
    }
    nvDMBase::instance().lookup.clear();
    const bool single = FBillTypeID == 3005;
    if (!OpenCommonLookup(single ? 2013 : 2003, single ? 22 : 23, QString()))
        return;
    AddProductLine(nvDMBase::instance().lookup.text1, GTVList->focusedRow());
}

void TFBaseForm_BillBase_BillNo::AddProductLine(const QString &productIds, int)
{
    runAction([&]() {
        const FillContext context = fillContext();
        const QList<ProductRow> rows =
            ProductsByIds(productIds, context.client.clientId, nvDMBase::instance().connection());
        if (rows.isEmpty())
            return;
        const int start = qMax(0, GTVList->focusedRow());
        QList<LineValues> lines = gridLines();
        const int appended = FillLinesFromProducts(lines, start, rows, context);
        for (int i = 0; i < appended; ++i)
            FDC->appendRow();
        for (int r = start; r < start + rows.size(); ++r)
            setLine(r, lines.at(r));
        RenumberLines();
        focusQuantity(start);
        SetModified();
        AfterLinesChanged();
    });
}

void TFBaseForm_BillBase_BillNo::PickBatch(int row)
{
    if (row < 0 || isChecked() || linePickersOff())
        return;
    const QString product = ValueToTrimmedText(FDC->cell(row, QStringLiteral("R_FProductName")));
    if (product.isEmpty())
        return;
    runAction([&]() {
        const QSqlDatabase db = nvDMBase::instance().connection();
        const int productId = FindProductIdByName(product, db);
        int batchRowId = 0;
        if (productId == 0 || !ExecuteBatchPicker(productId, 0, batchRowId, this))
            return;
        LineValues line = lineAt(row);
        if (!ApplyBatch(line, batchRowId, FBillTypeID, lineSettings(), db))
            return;
        setLine(row, line);
        SetModified();
    });
}

void TFBaseForm_BillBase_BillNo::HistoryPrice(int row)
{
    if (row < 0 || isChecked() || linePickersOff())
        return;
    const QString client = HistoryClientName().trimmed();
    const QString product = ValueToTrimmedText(FDC->cell(row, QStringLiteral("R_FProductName")));
    if (client.isEmpty() || product.isEmpty())
        return;
    runAction([&]() {
        const QSqlDatabase db = nvDMBase::instance().connection();
        const int productId = FindProductIdByName(product, db);
        if (productId == 0)
            return;
        const int unitId = FindUnitIdByName(ValueToTrimmedText(FDC->cell(row, QStringLiteral("R_FUnitName"))), db);
        const HistoryClient found = FindHistoryClient(client, db);
        if (found.id == 0)
            return;
        const HistoryPriceChoice choice =
            ExecuteHistoryPrice(FBillTypeID, found.id, found.type, productId, unitId, 0, found.name, this);
        if (!choice.chosen || !TakesHistoryPrice(FBillTypeID))
            return;
        LineValues line = lineAt(row);
        ApplyChosenPrice(line, choice.price, lineSettings());
        line.set(QStringLiteral("FPriceIsChange"), ChosenPriceDiffers(choice.price, choice.clientPrice) ? 1 : 0);
        setLine(row, line);
        SetModified();
        AfterLinesChanged();
    });
}

void TFBaseForm_BillBase_BillNo::RefreshStockHint(int row)
{
    if (row == FCurFocusRecordIndex || linePickersOff() || row < 0)
        return;
    FCurFocusRecordIndex = row;
    const QString product = ValueToTrimmedText(FDC->cell(row, QStringLiteral("R_FProductName")));
    const StockHint hint = StockHintFor(product, [this](const QString &name) -> std::optional<QVariant> {
        const auto it = m_productByName.constFind(name);
        if (it == m_productByName.cend())
            return std::nullopt;
        return it->second;
    });
    lbl_StockBalance->setText(hint.text);
    lbl_StockBalance->setStyleSheet(hint.red ? QStringLiteral("color: red;") : QStringLiteral("color: black;"));
}

// Lines of a sale whose price differs from the client's agreed one are drawn blue; the first
// one drawn brings up the hint that explains the colour (unless the company switched it off).
QVariant TFBaseForm_BillBase_BillNo::lineForeground(int row) const
{
    const HostSwitches &sw = nvDMBase::instance().switches;
    if ((FBillTypeID != 3003 && FBillTypeID != 3004) || sw.bluePriceMarkingOff)
        return QVariant();
    try {
        if (ValueToInt(FDC->cell(row, QStringLiteral("R_FPriceIsChange"))) != 1)
            return QVariant();
    } catch (const std::exception &) {
        return QVariant();
    }
    if (!sw.priceVariationHintOff && pnl_FSalePriceVariationHint->isHidden())
        QMetaObject::invokeMethod(
            pnl_FSalePriceVariationHint, [panel = pnl_FSalePriceVariationHint]() { panel->show(); },
            Qt::QueuedConnection);
    return QColor(Qt::blue);
}

void TFBaseForm_BillBase_BillNo::buildPriceHint()
{
    pnl_FSalePriceVariationHint = new QFrame(this);
    pnl_FSalePriceVariationHint->setObjectName(QStringLiteral("pnl_FSalePriceVariationHint"));
    auto *layout = new QHBoxLayout(pnl_FSalePriceVariationHint);
    auto *text = new QLabel(
        QStringLiteral("提示：蓝色字体的行说明当前客户设定的售价与最新出库价存在差异，对单价列双击可以查看商品的价格\n"
                       "    如果要关闭蓝色字体提醒功能，设置：菜单的 基础资料->公司信息->系统参数->关闭销售单价..."),
        pnl_FSalePriceVariationHint);
    text->setStyleSheet(QStringLiteral("color: blue;"));
    auto *dismiss = new QLabel(QStringLiteral("我知道了，下次不再提示"), pnl_FSalePriceVariationHint);
    dismiss->setObjectName(QStringLiteral("lbl_PriceHintOff"));
    dismiss->setCursor(Qt::PointingHandCursor);
    dismiss->setStyleSheet(QStringLiteral("color: black; text-decoration: underline;"));
    dismiss->installEventFilter(this);
    layout->addWidget(text, 1);
    layout->addWidget(dismiss);
    pnl_FSalePriceVariationHint->hide();
    m_mainLayout->insertWidget(m_mainLayout->indexOf(m_bottom), pnl_FSalePriceVariationHint);
}

QString TFBaseForm_BillBase_BillNo::stockHintText() const { return lbl_StockBalance->text(); }

bool TFBaseForm_BillBase_BillNo::CheckStock()
{
    return protask::CheckStock(gridLines(), FBillTypeID, nvDMBase::instance().switches, StoreName(),
                               nvDMBase::instance().connection());
}

} // namespace protask
