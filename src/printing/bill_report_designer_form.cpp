#include "printing/bill_report_designer_form.h"

#include "platform/host_messages.h"
#include "platform/nv_dm_base.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "printing/print_setup.h"
#include "report/designer/report_designer.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

namespace protask {

TFBaseForm_BillReport_Designer::TFBaseForm_BillReport_Designer(QWidget *parent, quint32 mainHandle)
    : QDialog(parent), FMainHandle(mainHandle)
{
    setObjectName(QStringLiteral("TFBaseForm_BillReport_Designer"));
    setWindowTitle(QStringLiteral("模板设计"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *toolBar = new QToolBar(this);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction *save = toolBar->addAction(QStringLiteral("保存"));
    save->setObjectName(QStringLiteral("actSave"));
    QAction *close = toolBar->addAction(QStringLiteral("退出"));
    close->setObjectName(QStringLiteral("actClose"));
    connect(save, &QAction::triggered, this, &TFBaseForm_BillReport_Designer::SaveTemplate);
    connect(close, &QAction::triggered, this, &TFBaseForm_BillReport_Designer::CloseDesigner);
    layout->addWidget(toolBar);
    m_designer = new report::TReportDesigner(this);
    layout->addWidget(m_designer, 1);
    auto *hint = new QLabel(QStringLiteral("提示：请不要删除系统默认的项目，否则将无法打印当前模板   "), this);
    hint->setStyleSheet(QStringLiteral("color: red;"));
    layout->addWidget(hint);
}

TFBaseForm_BillReport_Designer::~TFBaseForm_BillReport_Designer() = default;

bool TFBaseForm_BillReport_Designer::FormShow(const QStringList &fields)
{
    SendMessage(FMainHandle, HostMsg::RefreshWorkArea, 0, 0, this);
    const WorkArea &area = nvDMBase::instance().workArea;
    if (area.width > 0 && area.height > 0)
        setGeometry(area.left, area.top, area.width, area.height);
    report::TReportTemplate t;
    QString error;
    if (!report::LoadTemplate(FTemplaceDirFileName, t, &error)) {
        LogFailure(QStringLiteral("加载打印文件错误：") + error);
        Prompter::current().warning(QStringLiteral("加载打印文件错误,请检查"));
        return false;
    }
    m_designer->setTemplate(t);
    m_designer->setFields(fields);
    return true;
}

void TFBaseForm_BillReport_Designer::SaveTemplate()
{
    if (FTempDir.isEmpty())
        FTempDir = QStringLiteral("BillBak");
    // The backup keeps the template as it was before the first change made here.
    const QString backup = PrintTemplateBackupPath(FTemplaceFileName, FTempDir);
    if (!QFileInfo::exists(backup)) {
        QDir().mkpath(QFileInfo(backup).absolutePath());
        if (!QFile::copy(FTemplaceDirFileName, backup))
            LogFailure(QStringLiteral("备份打印文件失败：") + backup);
    }
    QString error;
    if (!report::SaveTemplate(FTemplaceDirFileName, m_designer->currentTemplate(), &error))
        LogFailure(error);
    Prompter::current().information(QStringLiteral("修改保存成功"));
    done(1);
}

void TFBaseForm_BillReport_Designer::CloseDesigner() { done(2); }

} // namespace protask
