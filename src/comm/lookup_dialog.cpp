#include "comm/lookup_dialog.h"

#include "platform/nv_dm_base.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace protask {

namespace {

// The columns every kind lists first; the search looks at these three.
const CommColumn kCommonColumns[] = {{"FNo", "编号"}, {"FName", "名称"}, {"FCode", "助记码"}};

} // namespace

TCommLookupDialog::TCommLookupDialog(const CommKind &kind, bool severalRecords, QWidget *parent)
    : QDialog(parent), m_kind(kind), m_rows(nvDMBase::instance().connection())
{
    setObjectName(QStringLiteral("TCommLookupDialog"));
    setWindowTitle(QStringLiteral("选择") + QString::fromUtf8(kind.name));
    resize(640, 420);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("edt_Search"));
    m_search->setPlaceholderText(QStringLiteral("编号、名称或助记码"));
    m_search->setClearButtonEnabled(true);

    QStringList captions;
    for (const CommColumn &c : kCommonColumns) {
        m_fields.append(QString::fromLatin1(c.field));
        captions.append(QString::fromUtf8(c.caption));
    }
    for (const CommColumn &c : kind.extra) {
        if (c.field) {
            m_fields.append(QString::fromLatin1(c.field));
            captions.append(QString::fromUtf8(c.caption));
        }
    }
    m_model = new QStandardItemModel(0, static_cast<int>(m_fields.size()), this);
    m_model->setHorizontalHeaderLabels(captions);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("grd_Lookup"));
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(severalRecords ? QAbstractItemView::ExtendedSelection
                                             : QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("btn_OK"));
    m_ok->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btn_Cancel"));

    auto *layout = new QVBoxLayout(this);
    auto *searchLabel = new QLabel(QStringLiteral("查找："), this);
    searchLabel->setBuddy(m_search);
    layout->addWidget(searchLabel);
    layout->addWidget(m_search);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);

    connect(m_search, &QLineEdit::textChanged, this, &TCommLookupDialog::filter);
    connect(m_table, &QAbstractItemView::doubleClicked, this, &TCommLookupDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &TCommLookupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TCommLookupDialog::reject);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_ok->setEnabled(m_table->selectionModel()->hasSelection()); });
    m_ok->setEnabled(false);
}

void TCommLookupDialog::query()
{
    // The table and its condition are constants of the kind table; nothing typed is spliced.
    QString sql = QStringLiteral("select FID, ") + m_fields.join(QStringLiteral(", ")) + QStringLiteral(" from ")
        + QString::fromLatin1(m_kind.table);
    if (*m_kind.where)
        sql += QStringLiteral(" where ") + QString::fromLatin1(m_kind.where);
    sql += QStringLiteral(" order by FNo, FID");
    m_rows.open(sql);
    filter(m_search->text());
}

void TCommLookupDialog::setSearchText(const QString &text)
{
    // The rows already follow the box, so the same text again needs no new filter.
    m_search->setText(text);
}

void TCommLookupDialog::filter(const QString &typed)
{
    if (!m_rows.isActive())
        return;
    m_rows.setFilter(LookupFilterExpression(typed, m_fields.mid(0, 3)));
    m_rows.setFiltered(true);
    m_model->removeRows(0, m_model->rowCount());
    for (m_rows.first(); !m_rows.eof(); m_rows.next()) {
        QList<QStandardItem *> items;
        for (const QString &field : std::as_const(m_fields))
            items.append(new QStandardItem(m_rows.fieldByName(field).toString()));
        items.first()->setData(m_rows.fieldByName(QStringLiteral("FID")), Qt::UserRole);
        m_model->appendRow(items);
    }
    // The first match is ready for Enter.
    if (m_model->rowCount() > 0)
        m_table->selectRow(0);
}

QList<int> TCommLookupDialog::selectedRows() const
{
    QList<int> rows;
    const QModelIndexList selected = m_table->selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<int> TCommLookupDialog::selectedIds() const
{
    QList<int> ids;
    for (int row : selectedRows())
        ids.append(m_model->item(row, 0)->data(Qt::UserRole).toInt());
    return ids;
}

QStringList TCommLookupDialog::selectedNames() const
{
    QStringList names;
    for (int row : selectedRows())
        names.append(m_model->item(row, 1)->text());
    return names;
}

bool TCommLookupDialog::storeChoice() const
{
    const QList<int> ids = selectedIds();
    if (ids.isEmpty())
        return false;
    QStringList texts;
    for (int id : ids)
        texts.append(QString::number(id));
    LookupResult &lookup = nvDMBase::instance().lookup;
    lookup.text1 = texts.join(u',');
    lookup.text2 = selectedNames().constFirst();
    return true;
}

void TCommLookupDialog::accept()
{
    if (m_table->selectionModel()->hasSelection())
        QDialog::accept();
}

} // namespace protask
