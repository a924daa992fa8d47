#include "billedit/protask_form.h"

#include "billedit/model/protask_bill.h"

#include "controls/controls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>

namespace protask {

namespace {

// Header controls of the task: control name, kind, label caption, tag.
struct HeaderControl {
    const char *name;
    enum Kind { Text, Combo, Currency, Date } kind;
    const char *caption; // empty: no label (hidden control)
    int tag;
    bool enabled;
    bool visible;
};

const HeaderControl kHeaderControls[] = {
    {"FBillNo", HeaderControl::Text, "单据编号：", 0, true, true},
    {"FBillDate", HeaderControl::Date, "单据日期：", 0, true, true},
    {"FClientName", HeaderControl::Combo, "客户(必填)：", 1, true, true},
    {"FProductName", HeaderControl::Combo, "产品名称(必填)：", 1, true, true},
    {"FUnitName", HeaderControl::Combo, "单位：", 0, true, true},
    {"FBatchNo", HeaderControl::Text, "批次：", 0, true, true},
    {"FFromBillNo", HeaderControl::Text, "来源单号：", 0, false, true},
    {"Fnumber", HeaderControl::Currency, "生产数量：", 0, true, true},
    {"Fprice", HeaderControl::Currency, "加工单价：", 0, true, true},
    {"Famount", HeaderControl::Currency, "加工金额：", 0, true, true},
    {"FFinishNumber", HeaderControl::Currency, "已完成数量：", 8, false, true},
    {"FProDate", HeaderControl::Date, "生产日期：", 2, true, true},
    {"FManager", HeaderControl::Combo, "经办人：", 0, true, true},
    {"FDeptName", HeaderControl::Combo, "生产部门：", 0, true, true},
    {"FNote", HeaderControl::Text, "说  明：", 0, true, true},
    {"FBillerName", HeaderControl::Text, "制单人：", 8, false, true},
    {"FFormDefined1", HeaderControl::Text, "自定义1：", 0, true, true},
    {"FFormDefined2", HeaderControl::Text, "自定义2：", 0, true, true},
    {"FFormDefined3", HeaderControl::Text, "自定义3：", 0, true, true},
    {"FFromBillID", HeaderControl::Currency, "", 8, true, false},
    {"FFromBillTypeID", HeaderControl::Currency, "", 8, true, false},
    {"FFromListID", HeaderControl::Currency, "", 8, true, false},
};

struct GridColumn {
    const char *name;
    const char *caption;
    bool visible;
};

const GridColumn kGridColumns[] = {
    {"R_FSID", "行号", true},           {"R_FID", "FID", false},
    {"R_FProductNo", "材料编码", true}, {"R_FProductName", "村料名称", true},
    {"R_FUnitName", "单位", true},      {"R_FSingleNumber", "单耗量", true},
    {"R_FNumber", "总耗量", true},      {"R_FPrice", "成本单价", true},
    {"R_FAmount", "成本金额", true},    {"R_FFinishNumber", "已完成数量", true},
    {"R_FNote", "备注", true},
};

} // namespace

TFBaseForm_BillBase_BillNo_Protask::TFBaseForm_BillBase_BillNo_Protask(QObject *owner, qint32 sheetHandle)
    : TFBaseForm_BillBase(owner, sheetHandle)
{
    setObjectName(QStringLiteral("TFBaseForm_BillBase_BillNo_Protask"));
    FBillTypeNo = QStringLiteral("RWD");
    FBillCaption = QStringLiteral("生产任务单");
    FFormTableName = QStringLiteral("t_ProTaskForm");
    FListTableName = QStringLiteral("t_ProTaskList");
    setWindowTitle(FBillCaption);
    buildHeader();
    buildGridColumns();
}

void TFBaseForm_BillBase_BillNo_Protask::buildHeader()
{
    int row = 0;
    int col = 0;
    for (const HeaderControl &c : kHeaderControls) {
        const QString field = QString::fromLatin1(c.name);
        QWidget *editor = nullptr;
        switch (c.kind) {
        case HeaderControl::Combo: editor = new TComboBox(m_header); break;
        case HeaderControl::Currency: editor = new TCurrencyEdit(m_header); break;
        case HeaderControl::Date: editor = new TNullableDateEdit(m_header); break;
        case HeaderControl::Text: editor = new QLineEdit(m_header); break;
        }
        editor->setObjectName(QStringLiteral("edt_") + field);
        editor->setProperty("tag", c.tag);
        editor->setEnabled(c.enabled);
        if (!c.visible) {
            editor->hide();
            continue;
        }
        auto *label = new QLabel(QString::fromUtf8(c.caption), m_header);
        label->setObjectName(QStringLiteral("lbl_") + field);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (c.tag & 1)
            label->setStyleSheet(QStringLiteral("color: red;"));
        m_headerLayout->addWidget(label, row, col * 2);
        m_headerLayout->addWidget(editor, row, col * 2 + 1);
        if (++col == 3) {
            col = 0;
            ++row;
        }
    }
}

void TFBaseForm_BillBase_BillNo_Protask::buildGridColumns()
{
    QStringList captions;
    for (const GridColumn &c : kGridColumns)
        captions << QString::fromUtf8(c.caption);
    m_gridModel->setColumnCount(captions.size());
    m_gridModel->setHorizontalHeaderLabels(captions);
    m_gridModel->setRowCount(20);
    for (int i = 0; i < int(std::size(kGridColumns)); ++i) {
        if (!kGridColumns[i].visible)
            m_grid->setColumnHidden(i, true);
    }
    for (int r = 0; r < 20; ++r)
        m_gridModel->setData(m_gridModel->index(r, 0), r + 1);
}

void TFBaseForm_BillBase_BillNo_Protask::PrepareLoad()
{
    FSQLForm = ProtaskHeaderSql(FBillID);
    FSQLList = ProtaskLinesSql(FBillID);
}

} // namespace protask
