#include "billedit/bill_base.h"

#include "billedit/model/bill_actions.h"
#include "controls/control_values.h"
#include "controls/controls.h"
#include "controls/help.h"
#include "core/bill_types.h"
#include "core/numbering.h"
#include "core/rights.h"
#include "core/sql_helpers.h"
#include "fieldcaptions/model/field_names.h"
#include "fieldcaptions/setdefined_form.h"
#include "grid/grid_columns.h"
#include "grid/grid_layout.h"
#include "grid/grid_validation.h"
#include "grid/grid_view.h"
#include "platform/db.h"
#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "printing/bill_report_form.h"
#include "voucher/forms/voucher_forms.h"
#include "voucher/voucher_generator.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace protask {

namespace {

const QString kEditPrefix = QStringLiteral("edt_");
const QString kLabelPrefix = QStringLiteral("lbl_");
constexpr int kMandatoryBit = 1;
constexpr int kReadOnlyBit = 8;

int tagOf(const QWidget *w) { return w->property("tag").toInt(); }

} // namespace

TFBaseForm_BillBase::TFBaseForm_BillBase(QObject *owner, qint32 sheetHandle) : TFBaseForm(owner, sheetHandle)
{
    m_mainLayout = new QVBoxLayout(this);
    m_mainLayout->setContentsMargins(4, 4, 4, 4);
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_mainLayout->addWidget(m_toolBar);
    buildToolBar();

    auto *captionRow = new QHBoxLayout;
    m_captionLabel = new QLabel(this);
    m_captionLabel->setObjectName(QStringLiteral("lbl_Caption"));
    m_captionLabel->setAlignment(Qt::AlignCenter);
    QFont f = m_captionLabel->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    m_captionLabel->setFont(f);
    lbl_FIsCloseAcc = new QLabel(QStringLiteral("已结帐"), this);
    lbl_FIsCloseAcc->setObjectName(QStringLiteral("lbl_FIsCloseAcc"));
    lbl_FIsCreateVoucher = new QLabel(QStringLiteral("已生成凭证"), this);
    lbl_FIsCreateVoucher->setObjectName(QStringLiteral("lbl_FIsCreateVoucher"));
    for (QLabel *l : {lbl_FIsCloseAcc, lbl_FIsCreateVoucher}) {
        l->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
        l->hide();
    }
    captionRow->addWidget(lbl_FIsCloseAcc);
    captionRow->addWidget(m_captionLabel, 1);
    captionRow->addWidget(lbl_FIsCreateVoucher);
    m_mainLayout->addLayout(captionRow);

    m_header = new QWidget(this);
    m_header->setObjectName(QStringLiteral("pnlHeader"));
    m_mainLayout->addWidget(m_header);

    GTVList = new TGridView(this);
    GTVList->setObjectName(QStringLiteral("GTVList"));
    FDC = GTVList->model();
    m_mainLayout->addWidget(GTVList, 1);

    m_bottom = new QWidget(this);
    m_bottom->setObjectName(QStringLiteral("pnlBottom"));
    auto *bottomLayout = new QHBoxLayout(m_bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    const struct {
        const char *name;
        const char *caption;
        void (TFBaseForm_BillBase::*slot)();
    } lineButtons[] = {
        {"btnInsertLine", "插入空白行", &TFBaseForm_BillBase::InsertLine},
        {"btnAppendLine", "增加空白行", &TFBaseForm_BillBase::AppendLine},
        {"btnDeleteLine", "删除当前行", &TFBaseForm_BillBase::DeleteLine},
        {"btnClearLine", "清空当前行", &TFBaseForm_BillBase::ClearLine},
    };
    for (const auto &b : lineButtons) {
        auto *button = new QToolButton(m_bottom);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(QString::fromUtf8(b.caption));
        button->setFocusPolicy(Qt::NoFocus);
        const auto slot = b.slot;
        connect(button, &QToolButton::clicked, this, [this, slot]() { (this->*slot)(); });
        bottomLayout->addWidget(button);
        m_lineButtons.append(button);
    }
    bottomLayout->addStretch(1);
    m_mainLayout->addWidget(m_bottom);

    connect(GTVList, &TGridView::columnLayoutChanged, this, [this]() { SaveGridLayout(GTVList, FBillCaption); });
}

QAction *TFBaseForm_BillBase::makeAction(const QString &name, const QString &caption, const QKeySequence &key)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    QWidget::addAction(a);
    return a;
}

QAction *TFBaseForm_BillBase::action(const QString &name) const { return findChild<QAction *>(name); }

void TFBaseForm_BillBase::buildToolBar()
{
    const auto run = [this](QAction *a, auto member) {
        connect(a, &QAction::triggered, this, [this, member]() {
            if (QAction *self = qobject_cast<QAction *>(sender()); self && !self->isEnabled())
                return;
            (this->*member)();
        });
    };
    QAction *actNew =
        makeAction(QStringLiteral("actNew"), QStringLiteral("新增"), QKeySequence(QStringLiteral("Ctrl+N")));
    QAction *actSave = makeAction(QStringLiteral("actSave"), QStringLiteral("保存"));
    QAction *actSaveNew =
        makeAction(QStringLiteral("actSaveNew"), QStringLiteral("保存并新增"), QKeySequence(QStringLiteral("Ctrl+S")));
    QAction *actCheck = makeAction(QStringLiteral("actCheck"), QStringLiteral("审核"));
    QAction *actUncheck = makeAction(QStringLiteral("actUnCheck"), QStringLiteral("反审核"));
    QAction *actPrint =
        makeAction(QStringLiteral("actPrint"), QStringLiteral("  打印  "), QKeySequence(QStringLiteral("Ctrl+P")));
    QAction *actPreview =
        makeAction(QStringLiteral("actPreview"), QStringLiteral("预览"), QKeySequence(QStringLiteral("Ctrl+L")));
    QAction *actMakeVoucher = makeAction(QStringLiteral("actCreateVoucher"), QStringLiteral("生成凭证"));
    QAction *actShowVoucher = makeAction(QStringLiteral("actShowVoucher"), QStringLiteral("查看凭证"));
    QAction *actFieldSettings = makeAction(QStringLiteral("actFieldSettings"), QStringLiteral("字段设置"));
    QAction *actBillList =
        makeAction(QStringLiteral("actBillList"), QStringLiteral("全部单据"), QKeySequence(QStringLiteral("Ctrl+A")));
    QAction *actHelp = makeAction(QStringLiteral("actHelp"), QStringLiteral("帮助"), QKeySequence(Qt::Key_F1));
    QAction *actClose =
        makeAction(QStringLiteral("actClose"), QStringLiteral("退出"), QKeySequence(QStringLiteral("Ctrl+Q")));
    QAction *actInsertLine = makeAction(QStringLiteral("actInsertLine"), QStringLiteral("插入空白行"));
    QAction *actAppendLine = makeAction(QStringLiteral("actAppendLine"), QStringLiteral("增加空白行"));
    QAction *actDeleteLine = makeAction(QStringLiteral("actDeleteLine"), QStringLiteral("删除当前行"));
    QAction *actClearLine = makeAction(QStringLiteral("actClearLine"), QStringLiteral("清空当前行"));

    run(actNew, &TFBaseForm_BillBase::NewBill);
    run(actSave, &TFBaseForm_BillBase::SaveBill);
    run(actSaveNew, &TFBaseForm_BillBase::SaveAndNew);
    run(actCheck, &TFBaseForm_BillBase::CheckBillAction);
    run(actUncheck, &TFBaseForm_BillBase::UncheckBillAction);
    run(actPrint, &TFBaseForm_BillBase::PrintAction);
    run(actPreview, &TFBaseForm_BillBase::PreviewAction);
    run(actMakeVoucher, &TFBaseForm_BillBase::MakeVoucher);
    run(actShowVoucher, &TFBaseForm_BillBase::ShowVoucher);
    run(actFieldSettings, &TFBaseForm_BillBase::FieldSettings);
    run(actBillList, &TFBaseForm_BillBase::SendBillList);
    run(actHelp, &TFBaseForm_BillBase::HelpAction);
    run(actClose, &TFBaseForm_BillBase::CloseBill);
    run(actInsertLine, &TFBaseForm_BillBase::InsertLine);
    run(actAppendLine, &TFBaseForm_BillBase::AppendLine);
    run(actDeleteLine, &TFBaseForm_BillBase::DeleteLine);
    run(actClearLine, &TFBaseForm_BillBase::ClearLine);

    for (QAction *a : {actNew, actSave, actSaveNew, actCheck, actUncheck, actPrint, actPreview})
        m_toolBar->addAction(a);
    m_printStyleMenu = new QMenu(this);
    m_printStyleMenu->setObjectName(QStringLiteral("mnuPrintStyle"));
    const char *styles[] = {"210 * 297 规格", "240 * 139 规格", "240 * 93 规格"};
    for (int i = 0; i < 3; ++i) {
        QAction *s = m_printStyleMenu->addAction(QString::fromUtf8(styles[i]));
        s->setCheckable(true);
        connect(s, &QAction::triggered, this, [this, i]() { runAction([this, i]() { ChoosePrintStyle(i + 1); }); });
        m_printStyles.append(s);
    }
    actPrint->setMenu(m_printStyleMenu);
    auto *voucherMenu = new QMenu(this);
    voucherMenu->addAction(actMakeVoucher);
    voucherMenu->addAction(actShowVoucher);
    QAction *actVoucher = makeAction(QStringLiteral("actVoucher"), QStringLiteral("凭证"));
    actVoucher->setMenu(voucherMenu);
    m_toolBar->addAction(actVoucher);
    for (QAction *a : {actFieldSettings, actBillList, actHelp, actClose})
        m_toolBar->addAction(a);
    // A clerk reaches every button with Tab, and presses it with Space.
    const auto buttons = m_toolBar->findChildren<QToolButton *>();
    for (QToolButton *b : buttons)
        b->setFocusPolicy(Qt::TabFocus);
}

// ---- start-up and loading ----

void TFBaseForm_BillBase::runAction(const std::function<void()> &action)
{
    if (!nvDMBase::instance().prepareAction())
        return;
    try {
        action();
    } catch (const DbError &e) {
        LogFailure(e.message());
        Prompter::current().error(e.message());
    } catch (const std::exception &e) {
        LogFailure(QString::fromUtf8(e.what()));
        Prompter::current().error(QString::fromUtf8(e.what()));
    }
}

void TFBaseForm_BillBase::FormShow()
{
    runAction([this]() { FormStartup(); });
}

void TFBaseForm_BillBase::applyToolBarVisibility()
{
    const HostSwitches &sw = nvDMBase::instance().switches;
    action(QStringLiteral("actCheck"))->setVisible(sw.checkWorkflow);
    action(QStringLiteral("actUnCheck"))->setVisible(sw.checkWorkflow);
    // Vouchers are offered where the bill type makes them.
    const bool voucher = BillTypeMakesVouchers(FBillTypeID);
    action(QStringLiteral("actVoucher"))->setVisible(voucher);
    action(QStringLiteral("actCreateVoucher"))->setVisible(voucher);
    action(QStringLiteral("actShowVoucher"))->setVisible(voucher);
    action(QStringLiteral("actFieldSettings"))->setVisible(true);
    if (sw.checkWorkflow && sw.rightsSwitch != 0) {
        FRightPre = GetRightPrefix(FBillTypeID);
        action(QStringLiteral("actNew"))->setVisible(CheckOperationRight(FBillTypeID, 1));
        action(QStringLiteral("actCheck"))->setVisible(CheckOperationRight(FBillTypeID, 3));
        action(QStringLiteral("actUnCheck"))->setVisible(CheckOperationRight(FBillTypeID, 4));
        action(QStringLiteral("actPrint"))->setVisible(CheckOperationRight(FBillTypeID, 8));
    }
    action(QStringLiteral("actPreview"))->setVisible(action(QStringLiteral("actPrint"))->isVisible());
    action(QStringLiteral("actSaveNew"))->setVisible(action(QStringLiteral("actSave"))->isVisible());
}

void TFBaseForm_BillBase::markMandatoryLabels()
{
    for (QWidget *w : headerControls()) {
        if (!(tagOf(w) & kMandatoryBit))
            continue;
        if (QLabel *l = headerLabel(w->objectName().mid(kEditPrefix.size())))
            l->setStyleSheet(QStringLiteral("color: red;"));
    }
}

void TFBaseForm_BillBase::FormStartup()
{
    applyToolBarVisibility();
    FBillStatusID == 3 ? lockControls(true) : lockControls(false);
    markMandatoryLabels();
    PrepareLoad();
    FormShowAction();
    LoadHeaderControls();
    LoadLines();
    // The print format chosen last time, by any workstation, is the one the menu offers.
    const BillTypeRecord type = ReadBillTypeRecord(FBillTypeNo, nvDMBase::instance().connection());
    if (type.found && type.printStyle >= 1 && type.printStyle <= m_printStyles.size())
        FBillPrintStyle = type.printStyle;
    for (int i = 0; i < m_printStyles.size(); ++i)
        m_printStyles[i]->setChecked(i + 1 == FBillPrintStyle);
    RefreshCheckState();
    m_started = true;
    for (QWidget *w : headerControls())
        w->installEventFilter(this);
}

void TFBaseForm_BillBase::FormShowAction()
{
    FSave = false;
    setWindowTitle(FBillCaption);
    m_captionLabel->setText(FBillCaption);
    FDC = GTVList->model();
    FAmountDecimalPlaces = 2;
    FAmountDisplayFormat = QStringLiteral(",0.00;-,0.00");
    ClearHeaderControls();
    ResetGridRows(FBillTypeID == 3005 ? S_LineEx : 20);
    RestoreGridLayout(GTVList, FBillCaption);
    GTVListIsNoNull = true;
    action(QStringLiteral("actSave"))->setEnabled(true);
    action(QStringLiteral("actSaveNew"))->setEnabled(true);
}

void TFBaseForm_BillBase::ForceLoadData()
{
    runAction([this]() {
        InitType = true;
        FormShowAction();
        PrepareLoad();
        LoadHeaderControls();
        LoadLines();
        GTVList->table()->setFocus();
        FSave = false;
        AfterDataLoaded();
        RefreshCheckState();
    });
    InitType = false;
}

QList<QWidget *> TFBaseForm_BillBase::headerControls() const
{
    QList<QWidget *> list;
    const auto children = findChildren<QWidget *>();
    for (QWidget *w : children) {
        if (w->objectName().startsWith(kEditPrefix))
            list.append(w);
    }
    return list;
}

QWidget *TFBaseForm_BillBase::headerControl(const QString &field) const
{
    return findChild<QWidget *>(kEditPrefix + field);
}

QLabel *TFBaseForm_BillBase::headerLabel(const QString &field) const
{
    return findChild<QLabel *>(kLabelPrefix + field);
}

void TFBaseForm_BillBase::ClearHeaderControls()
{
    for (QWidget *w : headerControls())
        ClearControl(w);
}

void TFBaseForm_BillBase::ResetGridRows(int rows) { InitEditorRows(GTVList, rows); }

void TFBaseForm_BillBase::LoadHeaderControls()
{
    if (FBillStatusID == BillStatus::New || FSQLForm.trimmed().isEmpty())
        return;
    TDataSet q(nvDMBase::instance().connection());
    q.open(FSQLForm);
    if (q.isEmpty())
        return;
    for (QWidget *w : headerControls()) {
        const QString column = w->objectName().mid(kEditPrefix.size());
        if (q.hasField(column))
            LoadControl(w, q.fieldByName(column));
    }
    if (q.hasField(QStringLiteral("FTypeID")))
        FBillTableTypeID = q.fieldByName(QStringLiteral("FTypeID")).toInt();
    AfterHeaderLoaded();
}

void TFBaseForm_BillBase::LoadLines()
{
    if (FBillStatusID == BillStatus::New || !GTVListIsNoNull || FSQLList.trimmed().isEmpty())
        return;
    LoadRows(FSQLList);
}

void TFBaseForm_BillBase::LoadRows(const QString &sql)
{
    TDataSet q(nvDMBase::instance().connection());
    q.open(sql);
    for (int row = 0; !q.eof(); q.next(), ++row) {
        if (row >= FDC->rowCountValue()) {
            FDC->appendRow();
            RenumberLines();
        }
        CopyRecordToRow(GTVList, QStringLiteral("R_"), row, q);
    }
}

// ---- checks ----

bool TFBaseForm_BillBase::CheckHeaderFields()
{
    const QList<QWidget *> controls = headerControls();
    QList<MandatoryField> fields;
    for (QWidget *w : controls) {
        MandatoryField f;
        f.field = w->objectName().mid(kEditPrefix.size());
        f.tag = tagOf(w);
        if (f.tag & kMandatoryBit) {
            f.empty = IsControlEmpty(w);
            if (QLabel *l = headerLabel(f.field))
                f.caption = l->text();
        }
        fields.append(f);
    }
    QString message;
    const int missing = FirstMissingField(fields, message);
    if (missing < 0)
        return true;
    Prompter::current().information(message);
    controls.at(missing)->setFocus();
    return false;
}

bool TFBaseForm_BillBase::CheckLines()
{
    const int key = FDC->columnIndex(R_KeyID);
    if (GTVListIsNoNull && !ColumnHasValue(GTVList, key)) {
        Prompter::current().information(QString::fromUtf8(BillMessage::NoLines));
        GTVList->focusCell(0, 1);
        return false;
    }
    return ValidateGridRows(this, GTVList, R_KeyID);
}

bool TFBaseForm_BillBase::CanSave()
{
    FCanSaveType = CheckHeaderFields() && CheckHeaderExtra() && CheckLines();
    return FCanSaveType;
}

// ---- editing states ----

void TFBaseForm_BillBase::RefreshCheckState()
{
    const CheckState s = ReadCheckState(FFormTableName, FBillID, FBillStatusID,
                                        nvDMBase::instance().switches.checkWorkflow, nvDMBase::instance().connection());
    FBillStatusID = s.statusId;
    for (int state : s.states)
        SetEditState(state);
    lbl_FIsCloseAcc->setVisible(s.periodClosed);
    lbl_FIsCreateVoucher->setVisible(s.voucher);
}

void TFBaseForm_BillBase::setLineToolsEnabled(bool enabled)
{
    for (const char *name : {"actInsertLine", "actAppendLine", "actDeleteLine", "actClearLine"})
        action(QString::fromLatin1(name))->setEnabled(enabled);
    for (QToolButton *b : m_lineButtons)
        b->setEnabled(enabled);
}

void TFBaseForm_BillBase::SetEditState(int state)
{
    m_editState = state;
    const EditStateEffect *e = FindEditState(state);
    if (!e) {
        StateChanged(state);
        return;
    }
    if (e->statusId != 0)
        FBillStatusID = e->statusId;
    if (!e->readOnly || state == 12)
        unlockControls();
    lockControls(FBillStatusID == BillStatus::Checked);
    const auto set = [this](const char *name, bool on) {
        QAction *a = action(QString::fromLatin1(name));
        if (a->isVisible())
            a->setEnabled(on);
    };
    set("actSave", e->save);
    set("actCheck", e->check);
    set("actUnCheck", e->uncheck);
    set("actPrint", e->print);
    set("actPreview", e->print);
    setLineToolsEnabled(e->lineActions);
    if (e->lockGrid || (FBillStatusID == BillStatus::Checked && nvDMBase::instance().switches.checkWorkflow)) {
        FDC->setEditingEnabled(false);
        action(QStringLiteral("actSave"))->setEnabled(false);
        setLineToolsEnabled(false);
    }
    action(QStringLiteral("actSaveNew"))->setEnabled(action(QStringLiteral("actSave"))->isEnabled());
    if (!e->keepSave)
        FSave = false;
    StateChanged(state);
}

void TFBaseForm_BillBase::lockControls(bool all)
{
    for (QWidget *w : headerControls()) {
        if (all || (tagOf(w) & kReadOnlyBit)) {
            SetControlReadOnly(w, true);
            if (!all)
                w->setFocusPolicy(Qt::NoFocus);
        }
    }
}

void TFBaseForm_BillBase::unlockControls()
{
    for (QWidget *w : headerControls()) {
        if (tagOf(w) & kReadOnlyBit)
            continue;
        SetControlReadOnly(w, false);
        w->setFocusPolicy(Qt::StrongFocus);
    }
    FDC->setEditingEnabled(true);
    setLineToolsEnabled(true);
}

void TFBaseForm_BillBase::SetModified()
{
    FSave = true;
    SetEditState(5);
}

bool TFBaseForm_BillBase::canCloseForm() { return true; }

// ---- header editors ----

bool TFBaseForm_BillBase::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *w = qobject_cast<QWidget *>(watched)) {
        if (event->type() == QEvent::FocusIn)
            headerEntered(w);
        else if (event->type() == QEvent::FocusOut)
            headerLeft(w);
    }
    return TFBaseForm::eventFilter(watched, event);
}

void TFBaseForm_BillBase::headerEntered(QWidget *control)
{
    if (auto *lookup = qobject_cast<TLookupEdit *>(control)) {
        FButtonEditChangeValue = false;
        if (!lookup->text().isEmpty() && lookup->buttonCount() > 0)
            lookup->setButtonCaption(0, lookup->storedValue());
    }
    if (!isChecked()) {
        FOldValue.clear();
        GetControlText(control, FOldValue);
    }
}

void TFBaseForm_BillBase::headerLeft(QWidget *control)
{
    if (InitType || isChecked())
        return;
    if (auto *lookup = qobject_cast<TLookupEdit *>(control)) {
        const QString typed = lookup->text().trimmed();
        if (typed.isEmpty()) {
            lookup->clearLookup();
        } else if (typed != lookup->storedValue()) {
            FButtonEditChangeValue = true;
        }
    }
    if (!ControlTextEquals(control, FOldValue))
        SetModified();
}

// ---- lines ----

void TFBaseForm_BillBase::RenumberLines() { RenumberRows(GTVList); }

void TFBaseForm_BillBase::InsertLine()
{
    if (FDC->rowCountValue() == 0 || !FDC->editingEnabled())
        return;
    const int row = qMax(0, GTVList->focusedRow());
    FDC->insertBlankRows(row);
    RenumberLines();
}

void TFBaseForm_BillBase::AppendLine()
{
    if (!FDC->editingEnabled())
        return;
    FDC->appendRow();
    RenumberLines();
}

void TFBaseForm_BillBase::DeleteLine()
{
    const int row = GTVList->focusedRow();
    if (row < 0 || !FDC->editingEnabled())
        return;
    FDC->removeRowAt(row);
    RenumberLines();
    SetModified();
}

void TFBaseForm_BillBase::ClearLine()
{
    const int row = GTVList->focusedRow();
    if (row < 0 || !FDC->editingEnabled())
        return;
    FDC->clearRow(row);
    RenumberLines();
    SetModified();
}

// ---- other actions ----

void TFBaseForm_BillBase::printBill(int printOrPreview)
{
    ShowBillReport(FMainHandle, FBillTypeID, FBillID, false, FBillPrintStyle, QString(), false, printOrPreview);
    QString billNo;
    if (QWidget *control = headerControl(QStringLiteral("FBillNo")))
        GetControlText(control, billNo);
    WriteOperationLog(
        (printOrPreview == 1 ? QStringLiteral("打印操作 - 单据号:") : QStringLiteral("预览操作 - 单据号:")) + billNo,
        FBillCaption, nvDMBase::instance().connection());
}

void TFBaseForm_BillBase::PrintAction() { printBill(1); }

void TFBaseForm_BillBase::PreviewAction() { printBill(2); }

void TFBaseForm_BillBase::ChoosePrintStyle(int style)
{
    FBillPrintStyle = style;
    for (int i = 0; i < m_printStyles.size(); ++i)
        m_printStyles[i]->setChecked(i + 1 == style);
    const QSqlDatabase db = nvDMBase::instance().connection();
    WritePrintStyle(FBillTypeNo, style, db);
    const BillTypeRecord r = ReadBillTypeRecord(FBillTypeNo, db);
    if (r.found) {
        FBillCaption = r.caption;
        FBillPrintStyle = r.printStyle;
    }
}

void TFBaseForm_BillBase::MakeVoucher()
{
    if (FBillID == 0) {
        Prompter::current().warning(QString::fromUtf8(BillMessage::VoucherUnsaved));
        return;
    }
    runAction([this]() {
        if (ExecuteCreateVoucher(this, FBillTypeID, FListTableName, FFormTableName, FBillID))
            RefreshCheckState();
    });
}

void TFBaseForm_BillBase::ShowVoucher()
{
    if (FBillID == 0)
        return;
    runAction([this]() {
        const int voucher = FindVoucherId(FFormTableName, FBillID, nvDMBase::instance().connection());
        if (voucher == 0) {
            Prompter::current().information(QString::fromUtf8(BillMessage::NoVoucher));
            return;
        }
        SendMessage(FMainHandle, HostMsg::OpenWindow, WindowCode::Voucher, voucher, this);
    });
}

void TFBaseForm_BillBase::SendBillList() { SendMessage(FMainHandle, HostMsg::OpenBillList, FBillTypeID, 0, this); }

void TFBaseForm_BillBase::CloseBill() { PostMessage(FMainHandle, HostMsg::CloseForm, FBillTypeID, 0, this); }

void TFBaseForm_BillBase::HelpAction() { ShowHelpTopic(FBillCaption); }

void TFBaseForm_BillBase::FieldSettings()
{
    runAction([this]() {
        if (SeedFieldNames(FBillTypeID, FBillCaption, nvDMBase::instance().connection())
            && ShowFieldSettings(FBillTypeID, this))
            ApplyFieldCaptions();
    });
}

int TFBaseForm_BillBase::FindClientID(int kind, QWidget *editor)
{
    QString name;
    GetControlText(editor, name);
    return protask::FindClientID(kind, name, nvDMBase::instance().connection());
}

void TFBaseForm_BillBase::OpenClientReport(int, int clientId, QWidget *editor, int reportCode)
{
    QString name;
    GetControlText(editor, name);
    QString yearMonth;
    const QDate today = GetServerBillDate(yearMonth, nvDMBase::instance().connection());
    const QString params = ClientReportParams(reportCode, clientId, name, today);
    if (!params.isEmpty())
        SendCopyDataMessage(FMainHandle, reportCode, params, reportCode, this);
}

} // namespace protask
