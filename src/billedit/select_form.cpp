#include "billedit/select_form.h"

#include "controls/controls.h"
#include "core/numbering.h"
#include "core/values.h"
#include "grid/grid_columns.h"
#include "grid/grid_layout.h"
#include "grid/grid_view.h"
#include "platform/db.h"
#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace protask {

namespace {

// A user action of the form: a dropped connection is reopened first, and a server error is
// shown rather than thrown into the event loop.
template <typename Action>
void RunAction(Action &&action)
{
    if (!nvDMBase::instance().prepareAction())
        return;
    try {
        action();
    } catch (const DbError &e) {
        Prompter::current().error(e.message());
    }
}

QDate ServerToday()
{
    QString yearMonth;
    return GetServerBillDate(yearMonth, Db());
}

} // namespace

std::function<int(TFBaseForm_SelectForm &)> TFBaseForm_SelectForm::ExecuteHook;

TFBaseForm_SelectForm::ExecuteHookScope::ExecuteHookScope(std::function<int(TFBaseForm_SelectForm &)> hook)
    : m_previous(std::exchange(ExecuteHook, std::move(hook)))
{}

TFBaseForm_SelectForm::ExecuteHookScope::~ExecuteHookScope() { ExecuteHook = std::move(m_previous); }

TFBaseForm_SelectForm::TFBaseForm_SelectForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFBaseForm_SelectForm"));
    resize(900, 520);

    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("条件："), this));
    m_findEdit = new QLineEdit(this);
    m_findEdit->setObjectName(QStringLiteral("edt_FindText"));
    bar->addWidget(m_findEdit, 1);
    auto *find = new QPushButton(QStringLiteral("查询(&F)"), this);
    find->setObjectName(QStringLiteral("btn_Find"));
    find->setAutoDefault(false);
    bar->addWidget(find);
    m_periodBox = new QComboBox(this);
    m_periodBox->setObjectName(QStringLiteral("cbx_Period"));
    // In the order of DatePeriod.
    m_periodBox->addItems({QStringLiteral("今日"), QStringLiteral("本周"), QStringLiteral("本月"),
                           QStringLiteral("本年"), QStringLiteral("自定义")});
    m_periodBox->setCurrentIndex(static_cast<int>(DatePeriod::Custom));
    bar->addWidget(m_periodBox);
    bar->addWidget(new QLabel(QStringLiteral("日期："), this));
    m_startDate = new TDatePicker(this);
    m_startDate->setObjectName(QStringLiteral("edt_StartDate"));
    bar->addWidget(m_startDate);
    bar->addWidget(new QLabel(QStringLiteral("至"), this));
    m_endDate = new TDatePicker(this);
    m_endDate->setObjectName(QStringLiteral("edt_EndDate"));
    bar->addWidget(m_endDate);
    layout->addLayout(bar);

    m_grid = new TGridView(this);
    m_grid->setObjectName(QStringLiteral("GTVSelect"));
    m_grid->setToolTip(QStringLiteral("按住Ctrl键或Shift键可以进行多行记录的选择"));
    m_grid->setFooterVisible(false);
    m_grid->table()->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->table()->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->table()->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_grid, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_selectButton = new QPushButton(QStringLiteral("选择"), this);
    m_selectButton->setObjectName(QStringLiteral("btn_Select"));
    buttons->addWidget(m_selectButton);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btn_Cancel"));
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(find, &QPushButton::clicked, this, [this] { RunAction([this] { FindClick(); }); });
    // Enter in the search field searches; elsewhere it chooses.
    connect(m_findEdit, &QLineEdit::returnPressed, this, [this] { RunAction([this] { FindClick(); }); });
    connect(m_periodBox, &QComboBox::activated, this,
            [this](int index) { RunAction([this, index] { ChoosePeriod(static_cast<DatePeriod>(index)); }); });
    connect(m_selectButton, &QPushButton::clicked, this, [this] { SelectClick(); });
    connect(cancel, &QPushButton::clicked, this, &TFBaseForm_SelectForm::CancelClick);
    connect(m_grid->table(), &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!m_grid->table()->selectionModel()->isRowSelected(index.row(), QModelIndex()))
            selectRows({index.row()});
        SelectClick();
    });
    connect(m_grid, &TGridView::columnLayoutChanged, this, [this] { SaveGridLayout(m_grid, layoutName()); });
}

bool TFBaseForm_SelectForm::FormShow()
{
    m_shown = true;
    takeWorkArea();
    m_kind = FindSourceKind(FBillTypeID);
    try {
        InitDateRange();
        InitColumns();
        InitSourceKind();
        OpenSelectList();
    } catch (const DbError &e) {
        Prompter::current().error(e.message());
        return false;
    }
    QAbstractItemView *table = m_grid->table();
    table->setSelectionMode(FMultiSelected ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    table->setFocus();
    return true;
}

void TFBaseForm_SelectForm::takeWorkArea()
{
    SendMessage(FMainHandle, HostMsg::RefreshWorkArea, 0, 0, this);
    const WorkArea &area = nvDMBase::instance().workArea;
    if (area.left == 0 && area.top == 0 && area.height == 0 && area.width == 0)
        return;
    // A little shorter than the work area, so that the host's sheet tabs stay in sight.
    move(area.left, area.top + 10);
    resize(area.width, area.height - 20);
}

void TFBaseForm_SelectForm::InitDateRange()
{
    const QDate today = ServerToday();
    m_startDate->setDate(MonthFirstDay(today));
    m_endDate->setDate(MonthLastDay(today));
}

void TFBaseForm_SelectForm::InitColumns()
{
    if (!m_kind)
        return;
    TGridView::LayoutUpdate update(m_grid);
    const SourceColumns &columns = *m_kind->columns;
    BuildGridColumns(m_grid, columns.fields, columns.captions, columns.kinds, columns.visibles, columns.widths);
    m_grid->model()->setEditingEnabled(false);
    RestoreGridLayout(m_grid, layoutName());
}

void TFBaseForm_SelectForm::InitSourceKind()
{
    if (!m_kind)
        return;
    setWindowTitle(m_kind->caption);
    FKeyColumnName1 = m_kind->keyColumn;
    FConsistencyColumnName = m_kind->sameValueColumn;
    FCheckConsistencyRecord = !FConsistencyColumnName.isEmpty();
    // The warning names the column as the grid's header shows it.
    const int column = m_grid->columnIndex(FConsistencyColumnName);
    FConsistencyCaption = column < 0 ? QString() : m_grid->model()->column(column).caption;
}

void TFBaseForm_SelectForm::BuildSelectSQL(QString &sql)
{
    sql =
        m_kind ? SourceSelectSql(*m_kind, m_startDate->date(), m_endDate->date(), FormFindText, FClientID) : QString();
}

void TFBaseForm_SelectForm::OpenSelectList()
{
    QString sql;
    BuildSelectSQL(sql);
    TDataSet list(Db());
    OpenQuery(list, sql);
    fillGrid(list);
}

void TFBaseForm_SelectForm::fillGrid(const TDataSet &list)
{
    TGridModel *model = m_grid->model();
    m_grid->table()->clearSelection();
    model->clearRows();
    model->setRowCount(list.recordCount());
    const QStringList fields = list.fieldNames();
    QList<int> columns;
    for (const QString &field : fields)
        columns << m_grid->columnIndex(field);
    // The order lists carry the bill's FAmount before the line's: the later field wins, so
    // that a line shows its own amount.
    for (int row = 0; row < list.recordCount(); ++row) {
        for (int f = 0; f < fields.size(); ++f) {
            const QVariant value = list.value(row, f);
            if (columns.at(f) >= 0 && !value.isNull())
                model->setCell(row, columns.at(f), value);
        }
    }
}

void TFBaseForm_SelectForm::ChoosePeriod(DatePeriod period)
{
    m_periodBox->setCurrentIndex(static_cast<int>(period));
    if (period == DatePeriod::Custom)
        return;
    if (const std::optional<DateRange> range = PeriodDates(period, ServerToday())) {
        m_startDate->setDate(range->start);
        m_endDate->setDate(range->end);
    }
}

void TFBaseForm_SelectForm::FindClick()
{
    if (m_kind)
        FormFindText = SourceFindCondition(*m_kind, m_findEdit->text(), FormFindText);
    OpenSelectList();
}

void TFBaseForm_SelectForm::selectRows(const QList<int> &rows)
{
    QItemSelectionModel *selection = m_grid->table()->selectionModel();
    selection->clearSelection();
    const TGridModel *model = m_grid->model();
    for (const int row : rows) {
        if (row < 0 || row >= model->rowCountValue())
            continue;
        const QModelIndex index = model->index(row, 0);
        selection->select(index,
                          (FMultiSelected ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect)
                              | QItemSelectionModel::Rows);
        selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
}

bool TFBaseForm_SelectForm::SelectClick()
{
    const TGridModel *model = m_grid->model();
    const QModelIndexList rows = m_grid->table()->selectionModel()->selectedRows();
    if (FCheckConsistencyRecord && !rows.isEmpty()) {
        QList<QVariant> values;
        for (const QModelIndex &index : rows)
            values << model->cell(index.row(), FConsistencyColumnName);
        if (FirstDifferingValue(values) >= 0) {
            Prompter::current().warning(SameValueWarning(FConsistencyCaption));
            m_grid->table()->setFocus();
            return false;
        }
    }
    QList<QVariant> keys;
    for (const QModelIndex &index : rows)
        keys << model->cell(index.row(), FKeyColumnName1);
    SqlFilterText = JoinKeyValues(keys);
    accept();
    return true;
}

void TFBaseForm_SelectForm::CancelClick() { reject(); }

void TFBaseForm_SelectForm::reject()
{
    SqlFilterText.clear();
    QDialog::reject();
}

void TFBaseForm_SelectForm::showEvent(QShowEvent *event)
{
    if (!m_shown)
        FormShow();
    QDialog::showEvent(event);
}

void TFBaseForm_SelectForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // The search field has searched on its own already.
        if (focusWidget() != m_findEdit)
            SelectClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString TFBaseForm_SelectForm::layoutName() const { return QStringLiteral("TFBaseForm_SelectForm%1").arg(FBillTypeID); }

QString ExecuteSelectForm(int sourceKind, int clientId, quint32 mainHandle, bool multi, QWidget *parent)
{
    if (!nvDMBase::instance().prepareAction())
        return QString();
    TFBaseForm_SelectForm form(parent);
    form.FBillTypeID = sourceKind;
    form.FClientID = clientId;
    form.FMainHandle = mainHandle;
    form.FMultiSelected = multi;
    if (!form.FormShow())
        return QString();
    // A copy: the hook may put itself away while it runs.
    const std::function<int(TFBaseForm_SelectForm &)> hook = TFBaseForm_SelectForm::ExecuteHook;
    const int result = hook ? hook(form) : form.exec();
    return result == QDialog::Accepted ? form.SqlFilterText : QString();
}

} // namespace protask
