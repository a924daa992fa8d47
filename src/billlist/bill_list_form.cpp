#include "billlist/bill_list_form.h"

#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace protask {

namespace {

struct ListTitle {
    int billType;
    const char *title;
};

const ListTitle kListTitles[] = {
    {3001, "采购订单列表"},   {3002, "进货单列表"},     {3015, "进货单列表"},     {3003, "销售订单列表"},
    {3004, "出货单列表"},     {3016, "出货单列表"},     {3005, "零售单列表"},     {3006, "代售单列表"},
    {3010, "费用单列表"},     {3011, "盘点单列表"},     {3017, "返利单列表"},     {3018, "调拨单列表"},
    {3019, "其它入库单列表"}, {3020, "其它出库单列表"}, {3021, "报溢单列表"},     {3022, "报损单列表"},
    {3025, "组装单列表"},     {3026, "拆卸单列表"},     {3041, "销售收款单列表"}, {3042, "采购付款单列表"},
    {3043, "成本调价单列表"}, {3049, "生产任务单列表"}, {3089, "生产领料单列表"}, {3090, "完工入库单列表"},
};

} // namespace

QString BillListTitle(int billType)
{
    for (const ListTitle &t : kListTitles) {
        if (t.billType == billType)
            return QString::fromUtf8(t.title);
    }
    return QString();
}

TFBaseForm_BillList::TFBaseForm_BillList(QObject *owner, qint32 sheetHandle) : TFBaseForm(owner, sheetHandle)
{
    setObjectName(QStringLiteral("TFBaseForm_BillList"));
    auto *layout = new QVBoxLayout(this);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblCaption"));
    m_caption->setAlignment(Qt::AlignCenter);
    QFont f = m_caption->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    m_caption->setFont(f);
    layout->addWidget(m_caption);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("GTVList"));
    m_model = new QStandardItemModel(this);
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    layout->addWidget(m_grid, 1);
}

void TFBaseForm_BillList::FormShow()
{
    const QString title = BillListTitle(FBillTypeID);
    setWindowTitle(title);
    m_caption->setText(title);
}

void TFBaseForm_BillList::SetCursorFocus()
{
    ++m_focusCount;
    bringToFront();
    m_grid->setFocus(Qt::OtherFocusReason);
}

} // namespace protask
