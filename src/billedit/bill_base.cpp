#include "billedit/bill_base.h"

#include "core/bill_types.h"

#include "controls/control_values.h"
#include "platform/db.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace protask {

namespace {

const QString kEditPrefix = QStringLiteral("edt_");

} // namespace

TFBaseForm_BillBase::TFBaseForm_BillBase(QObject *owner, qint32 sheetHandle) : TFBaseForm(owner, sheetHandle)
{
    m_mainLayout = new QVBoxLayout(this);
    m_captionLabel = new QLabel(this);
    m_captionLabel->setObjectName(QStringLiteral("lbl_Caption"));
    m_captionLabel->setAlignment(Qt::AlignCenter);
    QFont f = m_captionLabel->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    m_captionLabel->setFont(f);
    m_mainLayout->addWidget(m_captionLabel);

    m_header = new QWidget(this);
    m_headerLayout = new QGridLayout(m_header);
    m_mainLayout->addWidget(m_header);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("GTVList"));
    m_gridModel = new QStandardItemModel(this);
    m_grid->setModel(m_gridModel);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_mainLayout->addWidget(m_grid, 1);
}

void TFBaseForm_BillBase::FormShow()
{
    if (!nvDMBase::instance().prepareAction())
        return;
    try {
        FormStartup();
    } catch (const DbError &e) {
        Prompter::current().error(e.message());
    }
}

void TFBaseForm_BillBase::FormStartup()
{
    FSave = false;
    setWindowTitle(FBillCaption);
    m_captionLabel->setText(FBillCaption);
    ClearHeaderControls();
    PrepareLoad();
    LoadHeaderControls();
    AfterDataLoaded();
}

void TFBaseForm_BillBase::ForceLoadData()
{
    if (!nvDMBase::instance().prepareAction())
        return;
    InitType = true;
    try {
        FSave = false;
        ClearHeaderControls();
        PrepareLoad();
        LoadHeaderControls();
        if (m_grid)
            m_grid->setFocus();
        FSave = false;
        AfterDataLoaded();
    } catch (const DbError &e) {
        Prompter::current().error(e.message());
    }
    InitType = false;
}

void TFBaseForm_BillBase::ClearHeaderControls()
{
    const auto children = findChildren<QWidget *>();
    for (QWidget *w : children) {
        if (w->objectName().startsWith(kEditPrefix))
            ClearControl(w);
    }
}

void TFBaseForm_BillBase::LoadHeaderControls()
{
    if (FBillStatusID == BillStatus::New || FSQLForm.trimmed().isEmpty())
        return;
    TDataSet q(nvDMBase::instance().connection());
    q.open(FSQLForm);
    if (q.isEmpty())
        return;
    // Every "edt_" control loads from the column named by the rest of its name.
    const auto children = findChildren<QWidget *>();
    for (QWidget *w : children) {
        const QString name = w->objectName();
        if (!name.startsWith(kEditPrefix))
            continue;
        const QString column = name.mid(kEditPrefix.size());
        if (q.hasField(column))
            LoadControl(w, q.fieldByName(column));
    }
    if (q.hasField(QStringLiteral("FTypeID")))
        FBillTableTypeID = q.fieldByName(QStringLiteral("FTypeID")).toInt();
    AfterHeaderLoaded();
}

} // namespace protask
