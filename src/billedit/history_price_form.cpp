#include "billedit/history_price_form.h"

#include "controls/controls.h"
#include "core/numbering.h"
#include "core/values.h"
#include "grid/grid_columns.h"
#include "grid/grid_layout.h"
#include "grid/grid_view.h"
#include "platform/db.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace protask {

namespace {

const QString kCaption = QStringLiteral("历史价 - 查看");

struct PriceBoxRow {
    PriceListBox box;
    const char *field;
    const char *caption;
};

const PriceBoxRow kPriceBoxes[] = {
    {PriceListBox::PrePrice1, "FPrePrice1", "售价一："},
    {PriceListBox::PrePrice2, "FPrePrice2", "售价二："},
    {PriceListBox::PrePrice3, "FPrePrice3", "售价三："},
    {PriceListBox::Retail, "FPosPrice", "零售价："},
};

} // namespace

std::function<void(TFBaseForm_ProductHistoryPrice &)> TFBaseForm_ProductHistoryPrice::ExecuteHook;

TFBaseForm_ProductHistoryPrice::TFBaseForm_ProductHistoryPrice(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFBaseForm_ProductHistoryPrice"));
    setWindowTitle(kCaption);
    resize(820, 480);

    auto *layout = new QVBoxLayout(this);
    m_clientCaption = new QLabel(this);
    m_clientCaption->setObjectName(QStringLiteral("lbl_FClientName"));
    QFont bold = m_clientCaption->font();
    bold.setBold(true);
    m_clientCaption->setFont(bold);
    layout->addWidget(m_clientCaption);

    auto *filter = new QHBoxLayout;
    m_period = new QComboBox(this);
    m_period->setObjectName(QStringLiteral("cbb_Period"));
    m_period->addItems({QStringLiteral("今日"), QStringLiteral("本周"), QStringLiteral("本月"), QStringLiteral("本年"),
                        QStringLiteral("自定义")});
    m_period->setCurrentIndex(static_cast<int>(DatePeriod::Custom));
    filter->addWidget(m_period);
    filter->addWidget(new QLabel(QStringLiteral("日期："), this));
    m_begin = new TDatePicker(this);
    m_begin->setObjectName(QStringLiteral("edt_BeginDate"));
    filter->addWidget(m_begin);
    filter->addWidget(new QLabel(QStringLiteral("至"), this));
    m_end = new TDatePicker(this);
    m_end->setObjectName(QStringLiteral("edt_EndDate"));
    filter->addWidget(m_end);
    auto *query = new QPushButton(QStringLiteral("查询(&F)"), this);
    query->setObjectName(QStringLiteral("btn_Query"));
    filter->addWidget(query);
    filter->addStretch(1);
    layout->addLayout(filter);

    m_grid = new TGridView(this);
    m_grid->setObjectName(QStringLiteral("GTVHistory"));
    m_grid->setFooterVisible(false);
    m_grid->table()->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->table()->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_grid, 1);

    m_pricePanel = new QFrame(this);
    m_pricePanel->setObjectName(QStringLiteral("pnl_ClientPrice"));
    auto *prices = new QGridLayout(m_pricePanel);
    prices->addWidget(new QLabel(QStringLiteral("客户售价等级："), m_pricePanel), 0, 0);
    m_levelName = new QLineEdit(m_pricePanel);
    m_levelName->setObjectName(QStringLiteral("edt_FPrePriceName"));
    m_levelName->setReadOnly(true);
    prices->addWidget(m_levelName, 0, 1);
    int column = 0;
    for (const PriceBoxRow &row : kPriceBoxes) {
        auto *box = new TCurrencyEdit(m_pricePanel);
        box->setObjectName(QStringLiteral("edt_") + QString::fromLatin1(row.field));
        box->setDisplayFormat(QStringLiteral(",0.00;-,0.00"));
        box->setReadOnly(true);
        box->setToolTip(QStringLiteral("双击返回当前价格"));
        box->installEventFilter(this);
        m_boxes[static_cast<int>(row.box)] = box;
        prices->addWidget(new QLabel(QString::fromUtf8(row.caption), m_pricePanel), 1, column++);
        prices->addWidget(box, 1, column++);
    }
    layout->addWidget(m_pricePanel);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *exit = new QPushButton(QStringLiteral("退出"), this);
    exit->setObjectName(QStringLiteral("btn_Exit"));
    buttons->addWidget(exit);
    layout->addLayout(buttons);

    connect(m_period, &QComboBox::currentIndexChanged, this,
            [this](int index) { setPeriod(static_cast<DatePeriod>(index)); });
    connect(query, &QPushButton::clicked, this, [this]() {
        if (!nvDMBase::instance().prepareAction())
            return;
        try {
            QueryHistory();
        } catch (const DbError &e) {
            Prompter::current().error(e.message());
        }
    });
    connect(exit, &QPushButton::clicked, this, &TFBaseForm_ProductHistoryPrice::exitDialog);
    connect(m_grid, &TGridView::columnLayoutChanged, this, [this] { SaveGridLayout(m_grid, kCaption); });
}

void TFBaseForm_ProductHistoryPrice::FormShow(const QSqlDatabase &db)
{
    bRet = false;
    RetPrice = 0.0;
    RetClientPrice = QVariant();
    m_clientCaption->setText(FClientName);
    QString yearMonth;
    m_today = GetServerBillDate(yearMonth, db);
    {
        const QSignalBlocker quiet(m_period);
        m_period->setCurrentIndex(static_cast<int>(DatePeriod::Custom));
    }
    m_begin->setDate(QDate(m_today.year(), 1, 1));
    m_end->setDate(MonthLastDay(m_today));
    showPrices(db);
    {
        TGridView::LayoutUpdate update(m_grid);
        BuildGridColumns(m_grid,
                         QStringLiteral("FID,FBillDate,FBillNo,FProductNo,FProductName,FNumber,FDiscountPrice,"
                                        "FDiscountAmount,FStdUnitName,FUnitName"),
                         QStringLiteral("FID,单据日期,单据编号,商品编码,商品名称,数量,单价,金额,基本单位,单位"),
                         QStringLiteral(",5,,,,2,3,7,,"), QStringLiteral("0,1,1,1,1,1,1,1,1,1"),
                         QStringLiteral("10,90,130,100,150,80,80,90,70,70"));
        m_grid->model()->setEditingEnabled(false);
        RestoreGridLayout(m_grid, kCaption);
    }
    QueryHistory(db);
}

void TFBaseForm_ProductHistoryPrice::showPrices(const QSqlDatabase &db)
{
    m_pricePanel->setHidden(FClientType != 1);
    if (FClientType != 1)
        return;
    const UnitPriceList prices = ReadUnitPriceList(FProductID, FUnitID, db);
    for (const PriceBoxRow &row : kPriceBoxes) {
        const QVariant price = PriceOf(prices, row.box);
        if (IsBlankValue(price))
            priceBox(row.box)->clear();
        else
            priceBox(row.box)->setValue(ValueToFloat(price));
    }
    const ClientPriceLevel level = PriceLevelOf(ReadClientPriceLevel(FClientID, db));
    m_levelName->setText(level.name);
    RetClientPrice = level.known ? boxPrice(level.box) : QVariant();
}

void TFBaseForm_ProductHistoryPrice::setPeriod(DatePeriod period)
{
    if (const std::optional<DateRange> range =
            PeriodDates(period, m_today.isValid() ? m_today : QDate::currentDate())) {
        m_begin->setDate(range->start);
        m_end->setDate(range->end);
    }
}

void TFBaseForm_ProductHistoryPrice::QueryHistory(const QSqlDatabase &db)
{
    const QString sql = HistoryPriceSql(FBillTypeID, FClientID, FProductID, m_begin->date(), m_end->date(), db);
    TDataSet rows(db);
    if (!sql.isEmpty())
        OpenQuery(rows, sql);
    TGridView::LayoutUpdate update(m_grid);
    m_grid->model()->clearRows();
    m_grid->model()->setRowCount(rows.recordCount());
    for (rows.first(); !rows.eof(); rows.next())
        CopyRecordToRow(m_grid, QString(), rows.recNo(), rows);
}

void TFBaseForm_ProductHistoryPrice::ChoosePrice(PriceListBox box)
{
    if (m_pricePanel->isHidden())
        return;
    RetPrice = boxPrice(box);
    bRet = true;
    accept();
}

void TFBaseForm_ProductHistoryPrice::exitDialog()
{
    bRet = false;
    reject();
}

TCurrencyEdit *TFBaseForm_ProductHistoryPrice::priceBox(PriceListBox box) const
{
    return m_boxes[static_cast<int>(box)];
}

QString TFBaseForm_ProductHistoryPrice::levelNameText() const { return m_levelName->text(); }

QString TFBaseForm_ProductHistoryPrice::clientCaptionText() const { return m_clientCaption->text(); }

QVariant TFBaseForm_ProductHistoryPrice::boxPrice(PriceListBox box) const
{
    const TCurrencyEdit *edit = priceBox(box);
    return edit->isBlank() ? QVariant() : QVariant(edit->value());
}

bool TFBaseForm_ProductHistoryPrice::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (const PriceBoxRow &row : kPriceBoxes) {
            if (watched == priceBox(row.box)) {
                ChoosePrice(row.box);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

HistoryPriceChoice ExecuteHistoryPrice(int billType, int clientId, int clientType, int productId, int unitId,
                                       int inOrOut, const QString &clientName, QWidget *parent)
{
    if (!nvDMBase::instance().prepareAction())
        return {};
    TFBaseForm_ProductHistoryPrice dialog(parent);
    dialog.FBillTypeID = billType;
    dialog.FClientID = clientId;
    dialog.FClientType = clientType;
    dialog.FProductID = productId;
    dialog.FUnitID = unitId;
    dialog.FInOrOut = inOrOut;
    dialog.FClientName = clientName;
    try {
        dialog.FormShow();
    } catch (const DbError &e) {
        Prompter::current().error(e.message());
        return {};
    }
    if (TFBaseForm_ProductHistoryPrice::ExecuteHook)
        TFBaseForm_ProductHistoryPrice::ExecuteHook(dialog);
    else
        dialog.exec();
    if (!dialog.bRet)
        return {};
    return {true, dialog.RetPrice, dialog.RetClientPrice};
}

} // namespace protask
