#include "billlist/bill_list_form.h"

#include "billedit/model/bill_actions.h"
#include "billlist/list_grid.h"
#include "billlist/xlsx_export.h"
#include "controls/controls.h"
#include "controls/help.h"
#include "core/rights.h"
#include "core/sql_helpers.h"
#include "grid/grid_columns.h"
#include "grid/grid_view.h"
#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "printing/bill_report_form.h"
#include "voucher/forms/voucher_forms.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace protask {

namespace {

// Separators of the tool bar stand before these actions.
bool separatorBefore(ListAction a)
{
    return a == ListAction::Check || a == ListAction::Print || a == ListAction::Refresh || a == ListAction::Close;
}

} // namespace

TFBaseForm_BillList::TFBaseForm_BillList(QObject *owner, qint32 sheetHandle) : TFBaseForm(owner, sheetHandle)
{
    setObjectName(QStringLiteral("TFBaseForm_BillList"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_toolBar = new QToolBar(this);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(m_toolBar);
    buildToolBar();
    lblCaption = new QLabel(this);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    lblCaption->setAlignment(Qt::AlignCenter);
    QFont f = lblCaption->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    lblCaption->setFont(f);
    layout->addWidget(lblCaption);
    buildFilters();
    GTVList = new TGridView(this);
    GTVList->setObjectName(QStringLiteral("GTVList"));
    GTVList->table()->setSelectionBehavior(QAbstractItemView::SelectRows);
    GTVList->table()->setSelectionMode(QAbstractItemView::SingleSelection);
    GTVList->table()->installEventFilter(this);
    layout->addWidget(GTVList, 1);
    connect(GTVList->table(), &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        runGuarded([&]() {
            const ListRow row = rowAt(index.row());
            runListAction(ListDoubleClickAction(m_context, row));
        });
    });
}

void TFBaseForm_BillList::buildToolBar()
{
    for (const ListActionInfo &info : ListActionTable()) {
        if (separatorBefore(info.action))
            m_toolBar->addSeparator();
        auto *a = new QAction(info.caption, this);
        a->setObjectName(info.name);
        a->setToolTip(info.hint.isEmpty() ? info.caption.trimmed() : info.hint);
        if (!info.shortcut.isEmpty()) {
            a->setShortcut(QKeySequence(info.shortcut));
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        QWidget::addAction(a);
        m_toolBar->addAction(a);
        const ListAction action = info.action;
        connect(a, &QAction::triggered, this, [this, action]() { runListAction(action); });
        m_actions.insert(action, a);
    }
    const auto buttons = m_toolBar->findChildren<QToolButton *>();
    for (QToolButton *b : buttons)
        b->setFocusPolicy(Qt::TabFocus);
}

void TFBaseForm_BillList::buildFilters()
{
    auto *row = new QHBoxLayout;
    cbbCheck = new QComboBox(this);
    cbbCheck->setObjectName(QStringLiteral("cbbCheck"));
    cbbCheck->addItems(ListCheckedItems());
    row->addWidget(cbbCheck);
    row->addWidget(new QLabel(QStringLiteral("条件："), this));
    edt_Find = new QLineEdit(this);
    edt_Find->setObjectName(QStringLiteral("edt_Find"));
    connect(edt_Find, &QLineEdit::returnPressed, this, [this]() { Find(); });
    row->addWidget(edt_Find, 1);
    row->addWidget(new QLabel(QStringLiteral("日期："), this));
    cxComboBox1 = new QComboBox(this);
    cxComboBox1->setObjectName(QStringLiteral("cxComboBox1"));
    cxComboBox1->addItems(ListRangeItems());
    cxComboBox1->setCurrentText(ListOpeningRangeItem());
    row->addWidget(cxComboBox1);
    dtp_Begin = new TDatePicker(this);
    dtp_Begin->setObjectName(QStringLiteral("dtp_Begin"));
    dtp_End = new TDatePicker(this);
    dtp_End->setObjectName(QStringLiteral("dtp_End"));
    row->addWidget(dtp_Begin);
    row->addWidget(new QLabel(QStringLiteral("至"), this));
    row->addWidget(dtp_End);
    auto *find = new QPushButton(QStringLiteral("查询(&F)"), this);
    find->setObjectName(QStringLiteral("btn_Find"));
    connect(find, &QPushButton::clicked, this, [this]() { Find(); });
    row->addWidget(find);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
    connect(cxComboBox1, &QComboBox::currentTextChanged, this, [this](const QString &item) {
        runGuarded([&]() {
            const ListDateRange range = ApplyRangeItem(item, ListToday(nvDMBase::instance().connection()),
                                                       {true, dtp_Begin->date(), dtp_End->date()});
            dtp_Begin->setDate(range.begin);
            dtp_End->setDate(range.end);
            dtp_Begin->setEnabled(range.enabled);
            dtp_End->setEnabled(range.enabled);
        });
    });
}

void TFBaseForm_BillList::runGuarded(const std::function<void()> &work)
{
    if (!nvDMBase::instance().prepareAction())
        return;
    try {
        work();
    } catch (const std::exception &e) {
        LogFailure(QString::fromUtf8(e.what()));
        Prompter::current().error(QString::fromUtf8(e.what()));
    }
    QGuiApplication::restoreOverrideCursor();
}

void TFBaseForm_BillList::FormShow()
{
    runGuarded([this]() {
        FIsSetDefined = true;
        const QSqlDatabase db = nvDMBase::instance().connection();
        const HostSwitches &sw = nvDMBase::instance().switches;
        m_title = BillListTitle(FBillTypeID);
        setWindowTitle(m_title);
        lblCaption->setText(m_title);
        if (const BillListType *type = FindBillListType(FBillTypeID))
            edt_Find->setPlaceholderText(type->findHint);
        const ListDateRange range = OpeningDateRange(ListToday(db));
        dtp_Begin->setDate(range.begin);
        dtp_End->setDate(range.end);
        cbbCheck->setVisible(sw.checkWorkflow);
        m_context = OpenListContext(FBillTypeID, sw, db);
        if (sw.checkWorkflow && sw.rightsSwitch != 0)
            FRightPre = GetRightPrefix(FBillTypeID);
        for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
            it.value()->setVisible(m_context.buttonVisible(it.key()));
        SetupListGrid(GTVList, FBillTypeID, sw, db);
        GTVList->model()->setRowForeground([this](int row) -> QVariant {
            const int column = GTVList->model()->fieldColumnIndex(QStringLiteral("FBillTypeID"));
            const QVariant kind = column < 0 ? QVariant() : GTVList->model()->cell(row, column);
            return ListRowColourOf(FBillTypeID, kind) == ListRowColour::Red ? QVariant(QColor(Qt::red)) : QVariant();
        });
        connect(GTVList->table()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this]() { UpdateActionStates(); });
        m_find = MakeListFind(QString(), cbbCheck->currentText(), sw.checkWorkflow);
        openList();
        WriteOperationLog(QStringLiteral("打开操作"), m_title, db);
    });
}

void TFBaseForm_BillList::openList(int keepBillId)
{
    const int oldRow = currentRow();
    // "全部" lists every date: the pickers are switched off.
    const ListQuery query = BuildListQuery(FBillTypeID, {dtp_Begin->isEnabled(), dtp_Begin->date(), dtp_End->date()},
                                           m_find, ListQueryShape::SubqueryFind, nvDMBase::instance().connection());
    FormTableSQL = query.sql;
    FormTableName = query.formTable;
    ListTableName = query.listTable;
    FormFindText = query.findText;
    qryList.setDatabase(nvDMBase::instance().connection());
    if (FormTableSQL.isEmpty()) {
        qryList.close();
    } else {
        qryList.open(FormTableSQL);
    }
    fillGrid();
    if (qryList.recordCount() > 0)
        setCurrentRow(ListRowToKeep(qryList, keepBillId, oldRow));
    UpdateActionStates();
}

void TFBaseForm_BillList::fillGrid() { FillListGrid(GTVList, qryList); }

int TFBaseForm_BillList::currentRow() const
{
    const QModelIndex current = GTVList->table()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TFBaseForm_BillList::setCurrentRow(int row)
{
    if (row < 0 || row >= GTVList->model()->rowCountValue())
        return;
    GTVList->table()->setCurrentIndex(GTVList->model()->index(row, 0));
    GTVList->table()->selectRow(row);
}

ListRow TFBaseForm_BillList::rowAt(int row) const
{
    if (row < 0 || row >= qryList.recordCount())
        return {};
    return ListRowAt(qryList, row);
}

void TFBaseForm_BillList::UpdateActionStates()
{
    const ListRow current = rowAt(currentRow());
    const QList<ListButtonState> states = ListRowStates(m_context, current.id ? &current : nullptr);
    for (const ListButtonState &s : states) {
        if (QAction *a = m_actions.value(s.action); a && a->isVisible())
            a->setEnabled(s.enabled);
    }
}

void TFBaseForm_BillList::send(const ListHostRequest &request)
{
    if (request.post)
        PostMessage(FMainHandle, request.message, request.wParam, request.lParam, this);
    else
        SendMessage(FMainHandle, request.message, request.wParam, request.lParam, this);
}

void TFBaseForm_BillList::runListAction(ListAction action)
{
    runGuarded([&]() {
        const ListRow row = rowAt(currentRow());
        if (!ListActionAllowed(m_context, action, row))
            return;
        const QSqlDatabase db = nvDMBase::instance().connection();
        ListOutcome outcome = ListOutcome::Ignored;
        switch (action) {
        case ListAction::Delete:
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            outcome = DeleteListBill(m_context, row, db);
            break;
        case ListAction::Check: outcome = CheckListBill(m_context, row, db); break;
        case ListAction::UnCheck: outcome = UncheckListBill(m_context, row, db); break;
        case ListAction::Refresh: Refresh(); return;
        case ListAction::ExportOut: exportOut(); return;
        case ListAction::Print:
        case ListAction::Preview: printList(action == ListAction::Print ? 1 : 2); return;
        case ListAction::Help: ShowHelpTopic(m_title); return;
        // The voucher menu is offered by bill type; where it is hidden its actions do nothing.
        case ListAction::CreateVoucher:
            if (!m_context.buttonVisible(action))
                return;
            if (ExecuteCreateVoucher(this, FBillTypeID, ListTableName, FormTableName, row.id))
                Refresh();
            return;
        case ListAction::DisplayVoucher:
            if (!m_context.buttonVisible(action))
                return;
            if (const int voucher = FindVoucherId(FormTableName, row.id, db))
                SendMessage(FMainHandle, HostMsg::OpenWindow, WindowCode::Voucher, voucher, this);
            else
                Prompter::current().information(QString::fromUtf8(BillMessage::NoVoucher));
            return;
        default:
            if (const auto request = ListHostRequestFor(m_context, action, row))
                send(*request);
            return;
        }
        QGuiApplication::restoreOverrideCursor();
        if (outcome == ListOutcome::Done)
            openList(action == ListAction::Delete ? 0 : row.id);
    });
}

void TFBaseForm_BillList::Find()
{
    runGuarded([this]() {
        m_find = MakeListFind(edt_Find->text(), cbbCheck->currentText(), nvDMBase::instance().switches.checkWorkflow);
        openList(rowAt(currentRow()).id);
    });
}

void TFBaseForm_BillList::Refresh()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    openList(rowAt(currentRow()).id);
    QGuiApplication::restoreOverrideCursor();
}

void TFBaseForm_BillList::SetCursorFocus()
{
    ++m_focusCount;
    bringToFront();
    if (m_context.billType != 0)
        runGuarded([this]() { Refresh(); });
    GTVList->table()->setFocus(Qt::OtherFocusReason);
}

bool TFBaseForm_BillList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == GTVList->table() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            runGuarded([this]() { runListAction(ListDoubleClickAction(m_context, rowAt(currentRow()))); });
            return true;
        }
    }
    return TFBaseForm::eventFilter(watched, event);
}

void TFBaseForm_BillList::printList(int printOrPreview)
{
    ShowBillReport(FMainHandle, FBillTypeID, 0, false, 1, FormTableSQL, true, printOrPreview);
    WriteOperationLog(printOrPreview == 1 ? QStringLiteral("打印操作") : QStringLiteral("预览操作"), m_title,
                      nvDMBase::instance().connection());
}

bool TFBaseForm_BillList::ExportTo(const QString &path)
{
    QString error;
    if (!ExportGridToXlsx(GTVList, path, m_title, error)) {
        Prompter::current().error(error);
        return false;
    }
    WriteOperationLog(QStringLiteral("导出操作"), m_title, nvDMBase::instance().connection());
    return true;
}

void TFBaseForm_BillList::exportOut()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出"),
                                                      folder + QLatin1Char('/') + m_title + QStringLiteral(".xlsx"),
                                                      QStringLiteral("Excel (*.xlsx)"));
    if (!path.isEmpty())
        ExportTo(path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".xlsx"));
}

} // namespace protask
