#include "billedit/protask_form.h"

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
    {"R_FSID", "行号", true},
    {"R_FID", "FID", false},
    {"R_FProductNo", "材料编码", true},
    {"R_FProductName", "村料名称", true},
    {"R_FUnitName", "单位", true},
    {"R_FSingleNumber", "单耗量", true},
    {"R_FNumber", "总耗量", true},
    {"R_FPrice", "成本单价", true},
    {"R_FAmount", "成本金额", true},
    {"R_FFinishNumber", "已完成数量", true},
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
    FSQLForm =
        QStringLiteral("select  distinct T1.FID,T1.FTypeID,T1.FBillDate,T1.FProDate,T1.FBillno,T1.FBatchNo,T1.FClientID, "
                       "T1.FManagerID,T1.FDeptID,T1.FFinishNumber, T1.FBillerID,T1.FCheckerID,T1.FIsChecked,T1.FBillerDate,"
                       "T1.FCheckerDate, T1.FFormDefined1,T1.FFormDefined2,T1.FFormDefined3,T1.FNote,T1.Fnumber,T1.Fprice,"
                       "T1.Famount ,T2.FNo as FClientNo, T2.FName as FClientName, T2.FCode as TFClientCode, T3.FNo as "
                       "FManagerNo, T3.FName as FManager, T3.FCode as FManagerCode, T4.FNo as FDeptNo, T4.FName as FDeptName, "
                       "T4.FCode as FDeptCode, T6.FNo as FBillerNo, T6.FName as FBillerName, T6.FCode as FBillerCode,T7.FName "
                       "as FCheckName , null as FCashName,null as FFormDefined1,null as FFormDefined2,null as FFormDefined3 "
                       ",FFromBillTypeID,FFromBillID,FFromBillNo,FFromListID,T8.FName as FProductName,T9.FName as FUnitName "
                       "from t_ProTaskForm T1  left join t_comClient T2 on t1.FClientID = T2.FID  left join t_comEmployee T3 "
                       "on T1.FManagerID = T3.FID  left join t_comdepartment T4 on T1.FDeptID = T4.FID  left join t_comUser T6 "
                       "on T1.FBillerID = T6.FID   left join t_comUser T7 on T1.FCheckerID = T7.FID   left join t_comProducts "
                       "T8 on t1.FProductID = T8.FID   left join t_comUnit T9 on T1.FUnitID = T9.FID  where T1.FID = ")
        + QString::number(FBillID);
    FSQLList =
        QStringLiteral("select T1.FSID,T1.FFormID,T1.FProductID,T1.FUnitID,T1.FBatchNo1,T1.FKFDate,T1.FKFPeriod,T1.FPeriodDate, "
                       "T1.FListDefined1,T1.FListDefined2,T1.FListDefined3,T1.FNumber,T1.FSingleNumber,T1.FPrice,T1.FAmount,"
                       "T1.FFinishNumber,T1.FNote,T2.FNO as FProductNo,T2.FName as FProductName,T2.FProductDefined1,"
                       "T2.FProductDefined2,T2.FProductDefined3,T4.FName as FStdUnitName,T3.FName as FUnitName from "
                       "t_ProTasklist T1 inner join t_comProducts T2 on T1.FproductID = T2.FID  left join t_comUnit T3 on "
                       "T1.FUnitID = T3.FID   left join t_comUnit T4 on T2.FStdUnitID = T4.FID  where FFormID = ")
        + QString::number(FBillID) + QStringLiteral(" order by FSID");
}

} // namespace protask
