#include "billlist/bill_list_form.h"

#include "billlist/model/list_tables.h"

#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace protask {

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
