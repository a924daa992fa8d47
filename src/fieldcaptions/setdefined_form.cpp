#include "fieldcaptions/setdefined_form.h"

#include "core/db_actions.h"
#include "core/values.h"
#include "fieldcaptions/model/field_names.h"
#include "grid/grid_columns.h"
#include "grid/grid_view.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace protask {

namespace {

const char *const kHeaderFields[] = {"FFormDefined1", "FFormDefined2", "FFormDefined3"};

// The master-data boxes: caption, the edits' prefix, the window code, the hints' stem.
struct MasterBox {
    const char *caption;
    const char *prefix;
    const char *field;
    int code;
    const char *hint;
};
const MasterBox kMasterBoxes[] = {
    {"商品自定义", "p", "FProductDefined", FieldNameCode::Products, "商品自定义"},
    {"客户自定义", "c", "FClientUserDefined", FieldNameCode::Customers, "客户自定义"},
    {"供应商自定义", "s", "FClientUserDefined", FieldNameCode::Suppliers, "供应商自定义"},
};

const char *const kKeyProperty = "fieldKey";
const QString kShown = QStringLiteral("R_FIsShow");
const QString kSystem = QStringLiteral("R_FIsSystem");
const QString kOrder = QStringLiteral("R_FSID");

} // namespace

bool TFBaseForm_SetDefined::MaintenanceMode = false;
std::function<int(TFBaseForm_SetDefined &)> TFBaseForm_SetDefined::ExecuteHook;

TFBaseForm_SetDefined::ExecuteHookScope::ExecuteHookScope(std::function<int(TFBaseForm_SetDefined &)> hook)
    : m_previous(std::exchange(ExecuteHook, std::move(hook)))
{}

TFBaseForm_SetDefined::ExecuteHookScope::~ExecuteHookScope() { ExecuteHook = std::move(m_previous); }

TFBaseForm_SetDefined::TFBaseForm_SetDefined(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFBaseForm_SetDefined"));
    setWindowTitle(QStringLiteral("自定义设置"));
    resize(900, 560);
    auto *layout = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pgcMain"));
    layout->addWidget(m_pages, 1);

    const auto addEdit = [this](QGridLayout *grid, int row, const QString &name, const QString &label,
                                const QString &hint) {
        grid->addWidget(new QLabel(label, this), row, 0);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setToolTip(hint);
        grid->addWidget(edit, row, 1);
        connect(edit, &QLineEdit::editingFinished, this, [this, edit]() { leaveEdit(edit); });
        return edit;
    };

    tab_com = new QWidget(this);
    tab_com->setObjectName(QStringLiteral("tab_com"));
    auto *comLayout = new QHBoxLayout(tab_com);
    for (const MasterBox &box : kMasterBoxes) {
        auto *group = new QGroupBox(QString::fromUtf8(box.caption), tab_com);
        auto *grid = new QGridLayout(group);
        for (int i = 1; i <= 3; ++i) {
            m_masterEdits.append(
                addEdit(grid, i - 1,
                        QString::fromLatin1(box.prefix) + u'_' + QString::fromLatin1(box.field) + QString::number(i),
                        QStringLiteral("自定义%1：").arg(i), QString::fromUtf8(box.hint) + QString::number(i)));
        }
        grid->setRowStretch(3, 1);
        comLayout->addWidget(group);
    }
    m_pages->addTab(tab_com, QStringLiteral("  基础资料自定义  "));

    tab_bill = new QWidget(this);
    tab_bill->setObjectName(QStringLiteral("tab_bill"));
    auto *billLayout = new QHBoxLayout(tab_bill);
    dbtree = new QTreeWidget(tab_bill);
    dbtree->setObjectName(QStringLiteral("dbtree"));
    dbtree->setHeaderHidden(true);
    dbtree->setFixedWidth(170);
    billLayout->addWidget(dbtree);
    connect(dbtree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (!btreeInit && item)
            guarded([this, item]() { selectNode(dbtree->indexOfTopLevelItem(item)); });
    });
    auto *right = new QVBoxLayout;
    m_headerBox = new QGroupBox(QStringLiteral("表头自定义"), tab_bill);
    m_headerBox->setObjectName(QStringLiteral("grpForm"));
    auto *headerGrid = new QGridLayout(m_headerBox);
    for (int i = 1; i <= 3; ++i) {
        m_headerEdits.append(addEdit(headerGrid, i - 1, QStringLiteral("edt_FFormDefined%1").arg(i),
                                     QStringLiteral("自定义%1：").arg(i), QStringLiteral("表头自定义%1").arg(i)));
    }
    right->addWidget(m_headerBox);
    m_listBox = new QGroupBox(QStringLiteral("表体自定义"), tab_bill);
    m_listBox->setObjectName(QStringLiteral("grpList"));
    auto *listLayout = new QHBoxLayout(m_listBox);
    cxGTV = new TGridView(m_listBox);
    cxGTV->setObjectName(QStringLiteral("cxGTV"));
    cxGTV->setFooterVisible(false);
    listLayout->addWidget(cxGTV, 1);
    auto *buttons = new QVBoxLayout;
    const std::pair<const char *, void (TFBaseForm_SetDefined::*)()> gridButtons[] = {
        {"下移", &TFBaseForm_SetDefined::MoveDownClick},
        {"上移", &TFBaseForm_SetDefined::MoveUpClick},
        {"系统默认", &TFBaseForm_SetDefined::SystemDefaultClick},
        {"全清", &TFBaseForm_SetDefined::ClearAllClick},
        {"全选", &TFBaseForm_SetDefined::SelectAllClick},
        {"保存为默认", &TFBaseForm_SetDefined::SaveDefaultClick},
        {"重新序号", &TFBaseForm_SetDefined::RenumberClick},
    };
    for (const auto &[caption, member] : gridButtons) {
        auto *b = new QPushButton(QString::fromUtf8(caption), m_listBox);
        connect(b, &QPushButton::clicked, this, [this, member]() { guarded([this, member]() { (this->*member)(); }); });
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    listLayout->addLayout(buttons);
    right->addWidget(m_listBox, 1);
    billLayout->addLayout(right, 1);
    m_pages->addTab(tab_bill, QStringLiteral("  单据自定义  "));

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btn_OK"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btn_Cancel"));
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    layout->addLayout(bottom);
    connect(ok, &QPushButton::clicked, this, &TFBaseForm_SetDefined::OkClick);
    connect(cancel, &QPushButton::clicked, this, &TFBaseForm_SetDefined::CancelClick);

    BuildGridColumns(
        cxGTV, QStringLiteral("FSID,FDefaultName,FSetName,FIsShow,FIsSystem,FSystemSID,FFieldName,FID,FBillTypeID"),
        QStringLiteral("顺序号,默认名称,显示名称,显示,系统字段,系统默认顺序号,FFieldName,FID,FBillTypeID"),
        QStringLiteral(",,,4,4,,,,"), QStringLiteral("1,1,1,1,1,1,0,0,0"),
        QStringLiteral("60,160,160,50,60,100,10,10,10"));
    TGridModel *model = cxGTV->model();
    for (int c = 0; c < model->columnCountValue(); ++c) {
        model->updateColumn(c, [](TGridColumn &col) {
            col.name = QStringLiteral("R_") + col.field;
            if (col.field != QLatin1String("FSetName") && col.field != QLatin1String("FIsShow"))
                col.tag |= 1 << GridTagBit::ReadOnly;
        });
    }
    // The shown flag of a system column stays as it is: such a column is never hidden. Its cell is
    // grey and takes neither the focus nor an edit.
    model->setColumnRule(kShown, [](TGridModel &m, int row, QVariant &, bool &accept) {
        if (ValueToInt(m.cell(row, kSystem)) == 1)
            accept = false;
    });
    const int shown = model->columnIndex(kShown);
    model->setLockedCells(
        [model, shown](int row, int column) { return column == shown && ValueToInt(model->cell(row, kSystem)) == 1; });
    cxGTV->table()->horizontalHeader()->setSectionsMovable(false);
    cxGTV->table()->setSortingEnabled(false);
}

QLineEdit *TFBaseForm_SetDefined::edit(const QString &name) const { return findChild<QLineEdit *>(name); }

QPushButton *TFBaseForm_SetDefined::button(const QString &caption) const
{
    const auto buttons = findChildren<QPushButton *>();
    for (QPushButton *b : buttons) {
        if (b->text() == caption)
            return b;
    }
    return nullptr;
}

void TFBaseForm_SetDefined::guarded(const std::function<void()> &work)
{
    try {
        work();
    } catch (const DbError &e) {
        LogFailure(e.message());
        Prompter::current().error(e.message());
    }
}

void TFBaseForm_SetDefined::FormShow(const QSqlDatabase &db)
{
    m_db = db;
    bRet = false;
    bisSave = false;
    for (const char *c : {"R_FIsSystem", "R_FSystemSID"})
        cxGTV->setColumnVisible(cxGTV->columnIndex(QString::fromLatin1(c)), MaintenanceMode);
    button(QStringLiteral("保存为默认"))->setVisible(MaintenanceMode);
    button(QStringLiteral("重新序号"))->setVisible(MaintenanceMode);

    if (FBillTypeID != 0) {
        m_pages->setTabVisible(m_pages->indexOf(tab_com), false);
        dbtree->setVisible(false);
        m_pages->setCurrentWidget(tab_bill);
        if (FBillTypeID >= FieldNameCode::FirstReport) {
            m_headerBox->setVisible(false);
            resize(width() - 180, height());
            setWindowTitle(QStringLiteral("报表自定义"));
            m_pages->setTabText(m_pages->indexOf(tab_bill), QStringLiteral("列标题自定义"));
            m_listBox->setTitle(QString());
            m_listBox->setFlat(true);
        } else {
            resize(width() - 170, height());
            m_headerEdits.first()->setFocus();
        }
    } else {
        m_masterRows = LoadMasterFieldNames(db);
        for (const MasterFieldName &row : std::as_const(m_masterRows)) {
            for (const MasterBox &box : kMasterBoxes) {
                if (box.code != row.billType)
                    continue;
                if (QLineEdit *e = edit(QString::fromLatin1(box.prefix) + u'_' + row.field)) {
                    e->setText(row.caption);
                    e->setProperty(kKeyProperty, QString(QString::number(row.billType) + u';' + row.field));
                }
            }
        }
        m_pages->setCurrentWidget(tab_com);
    }

    CreateWorkingTables(db);
    m_shownBillType = -1;
    btreeInit = true;
    dbtree->clear();
    for (const FieldNameNode &node : LoadFieldNameNodes(FBillTypeID, db)) {
        auto *item = new QTreeWidgetItem(dbtree, QStringList(node.name));
        item->setData(0, Qt::UserRole, node.billType);
    }
    dbtree->expandAll();
    if (dbtree->topLevelItemCount() > 0)
        dbtree->setCurrentItem(dbtree->topLevelItem(0));
    btreeInit = false;
    if (dbtree->topLevelItemCount() > 0)
        loadNode(dbtree->topLevelItem(0)->data(0, Qt::UserRole).toInt());
}

void TFBaseForm_SetDefined::selectNode(int index)
{
    QTreeWidgetItem *item = dbtree->topLevelItem(index);
    if (!item)
        return;
    if (dbtree->currentItem() != item) {
        btreeInit = true;
        dbtree->setCurrentItem(item);
        btreeInit = false;
    }
    writePendingEdits();
    loadNode(item->data(0, Qt::UserRole).toInt());
}

void TFBaseForm_SetDefined::loadNode(int billType)
{
    for (QLineEdit *e : std::as_const(m_headerEdits)) {
        e->clear();
        e->setProperty(kKeyProperty, QVariant());
    }
    m_headerRows = LoadHeaderNode(billType, m_db);
    for (const HeaderFieldName &row : std::as_const(m_headerRows)) {
        for (int i = 0; i < 3; ++i) {
            if (row.field.toUpper() != QString::fromLatin1(kHeaderFields[i]).toUpper())
                continue;
            m_headerEdits[i]->setText(row.caption);
            m_headerEdits[i]->setProperty(
                kKeyProperty,
                QString(QString::number(row.fid) + u';' + QString::number(row.billType) + u';' + row.field));
        }
    }
    loadGrid(billType);
    m_shownBillType = billType;
}

void TFBaseForm_SetDefined::loadGrid(int billType)
{
    bgridInit = true;
    const QList<ColumnFieldName> rows = LoadColumnNode(billType, m_db);
    TGridModel *model = cxGTV->model();
    model->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const ColumnFieldName &c = rows.at(r);
        model->setCell(r, QStringLiteral("R_FID"), c.fid);
        model->setCell(r, QStringLiteral("R_FBillTypeID"), c.billType);
        model->setCell(r, QStringLiteral("R_FFieldName"), c.field);
        model->setCell(r, QStringLiteral("R_FDefaultName"), c.defaultName);
        model->setCell(r, QStringLiteral("R_FSetName"), c.setName);
        model->setCell(r, kShown, c.shown != 0 ? QStringLiteral("1") : QStringLiteral("0"));
        model->setCell(r, kSystem, c.system == 1 ? QStringLiteral("1") : QStringLiteral("0"));
        model->setCell(r, QStringLiteral("R_FSystemSID"), c.systemOrder);
        model->setCell(r, kOrder, c.order);
    }
    renumber();
    m_loadedOrder = gridOrder();
    bgridInit = false;
}

void TFBaseForm_SetDefined::renumber()
{
    TGridModel *model = cxGTV->model();
    for (int r = 0; r < model->rowCountValue(); ++r)
        model->setCell(r, kOrder, r + 1);
}

QStringList TFBaseForm_SetDefined::gridOrder() const
{
    QStringList order;
    for (int r = 0; r < cxGTV->model()->rowCountValue(); ++r)
        order.append(cxGTV->model()->cell(r, QStringLiteral("R_FFieldName")).toString());
    return order;
}

QList<ColumnFieldName> TFBaseForm_SetDefined::gridRows() const
{
    QList<ColumnFieldName> rows;
    const TGridModel *model = cxGTV->model();
    for (int r = 0; r < model->rowCountValue(); ++r) {
        ColumnFieldName c;
        c.field = model->cell(r, QStringLiteral("R_FFieldName")).toString();
        c.setName = ValueToTrimmedText(model->cell(r, QStringLiteral("R_FSetName")));
        c.shown = ValueToInt(model->cell(r, kShown)) != 0 ? 1 : 0;
        c.order = ValueToInt(model->cell(r, kOrder));
        rows.append(c);
    }
    return rows;
}

void TFBaseForm_SetDefined::writePendingEdits()
{
    if (m_shownBillType < 0)
        return;
    QList<HeaderFieldName> edits;
    for (QLineEdit *e : std::as_const(m_headerEdits)) {
        const QStringList key = e->property(kKeyProperty).toString().split(u';');
        if (key.size() != 3)
            continue;
        edits.append({key.at(0).toInt(), key.at(1).toInt(), key.at(2), e->text(), false});
    }
    WriteHeaderEdits(edits, m_db);
    WriteColumnEdits(m_shownBillType, gridRows(), gridOrder() != m_loadedOrder, m_db);
}

void TFBaseForm_SetDefined::SelectAllClick()
{
    TGridModel *model = cxGTV->model();
    for (int r = 0; r < model->rowCountValue(); ++r)
        model->setCell(r, kShown, QStringLiteral("1"));
}

void TFBaseForm_SetDefined::ClearAllClick()
{
    TGridModel *model = cxGTV->model();
    for (int r = 0; r < model->rowCountValue(); ++r) {
        if (ValueToInt(model->cell(r, kSystem)) != 1)
            model->setCell(r, kShown, QStringLiteral("0"));
    }
}

void TFBaseForm_SetDefined::swapRows(int row, int other)
{
    TGridModel *model = cxGTV->model();
    for (int c = 0; c < model->columnCountValue(); ++c) {
        const QVariant v = model->cell(row, c);
        model->setCell(row, c, model->cell(other, c));
        model->setCell(other, c, v);
    }
}

void TFBaseForm_SetDefined::MoveUpClick()
{
    const int row = cxGTV->focusedRow();
    if (row <= 0 || row >= cxGTV->model()->rowCountValue())
        return;
    const int column = qMax(0, cxGTV->focusedColumn());
    swapRows(row, row - 1);
    cxGTV->focusCell(row - 1, column, false);
    renumber();
}

void TFBaseForm_SetDefined::MoveDownClick()
{
    const int row = cxGTV->focusedRow();
    if (row < 0 || row >= cxGTV->model()->rowCountValue() - 1)
        return;
    const int column = qMax(0, cxGTV->focusedColumn());
    swapRows(row, row + 1);
    cxGTV->focusCell(row + 1, column, false);
    renumber();
}

void TFBaseForm_SetDefined::SystemDefaultClick()
{
    if (m_shownBillType < 0)
        return;
    ResetColumnsToDefaults(m_shownBillType, m_db);
    loadGrid(m_shownBillType);
}

void TFBaseForm_SetDefined::SaveDefaultClick()
{
    const TransactionResult r = RunTransaction(m_db, [this]() {
        SaveReportDefaults(m_db);
        return true;
    });
    if (!r.committed && r.error && !r.reported)
        Prompter::current().error(r.error->message());
}

void TFBaseForm_SetDefined::RenumberClick() { renumber(); }

bool TFBaseForm_SetDefined::leaveEdit(QLineEdit *e)
{
    // An edit without a row behind it (a bill type without header fields) saves nothing.
    if (m_refusing || !e->property(kKeyProperty).isValid() || !e->text().trimmed().isEmpty())
        return true;
    m_refusing = true;
    Prompter::current().information(e->toolTip() + QStringLiteral("不能为空!"));
    m_pages->setCurrentWidget(m_headerEdits.contains(e) ? tab_bill : tab_com);
    e->setFocus();
    m_refusing = false;
    return false;
}

bool TFBaseForm_SetDefined::editsAreFilled()
{
    if (!m_headerBox->isHidden()) {
        for (QLineEdit *e : std::as_const(m_headerEdits)) {
            if (!leaveEdit(e))
                return false;
        }
    }
    if (FBillTypeID == 0) {
        for (QLineEdit *e : std::as_const(m_masterEdits)) {
            if (!leaveEdit(e))
                return false;
        }
    }
    return true;
}

void TFBaseForm_SetDefined::OkClick()
{
    bisSave = false;
    if (!editsAreFilled())
        return;
    bool changed = false;
    try {
        writePendingEdits();
        const bool withHeader = !m_headerBox->isHidden();
        const TransactionResult r = RunTransaction(m_db, [&]() {
            changed = SaveWorkingTables(withHeader, m_db);
            if (FBillTypeID == 0) {
                for (const MasterFieldName &row : std::as_const(m_masterRows)) {
                    for (const MasterBox &box : kMasterBoxes) {
                        QLineEdit *e = box.code == row.billType
                            ? edit(QString::fromLatin1(box.prefix) + u'_' + row.field)
                            : nullptr;
                        if (e && SaveMasterFieldName(row, e->text(), m_db))
                            changed = true;
                    }
                }
            }
            return true;
        });
        if (!r.committed) {
            if (r.error)
                LogFailure(r.error->message());
            if (!r.reported)
                Prompter::current().error(QStringLiteral("保存失败!"));
            return;
        }
    } catch (const DbError &e) {
        LogFailure(e.message());
        Prompter::current().error(QStringLiteral("保存失败!"));
        return;
    }
    bisSave = changed;
    bRet = bisSave;
    done(bisSave ? QDialog::Accepted : QDialog::Rejected);
}

void TFBaseForm_SetDefined::CancelClick()
{
    bRet = false;
    reject();
}

bool ShowFieldSettings(int billType, QWidget *parent)
{
    if (!nvDMBase::instance().prepareAction())
        return false;
    TFBaseForm_SetDefined form(parent);
    form.FBillTypeID = billType;
    try {
        form.FormShow();
    } catch (const DbError &e) {
        LogFailure(e.message());
        Prompter::current().error(e.message());
        return false;
    }
    const std::function<int(TFBaseForm_SetDefined &)> hook = TFBaseForm_SetDefined::ExecuteHook;
    const int result = hook ? hook(form) : form.exec();
    return result == QDialog::Accepted && form.bisSave;
}

} // namespace protask
