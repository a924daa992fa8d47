#include "voucher/forms/voucher_forms.h"

#include "platform/nv_dm_base.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QVBoxLayout>

namespace protask {

TForm_Info::TForm_Info(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TForm_Info"));
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    m_caption = new QLabel(QStringLiteral("正在获取参数......"), this);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    layout->addWidget(m_caption);
    layout->addWidget(m_bar);
    resize(320, 80);
}

void TForm_Info::open()
{
    show();
    QCoreApplication::processEvents();
}

void TForm_Info::setCaption(const QString &caption)
{
    m_caption->setText(caption);
    setWindowTitle(caption);
}

void TForm_Info::setMaximum(int maximum) { m_bar->setMaximum(maximum); }

void TForm_Info::setPosition(int position)
{
    m_bar->setValue(position);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm_Info::close() { hide(); }

QString TForm_Info::caption() const { return m_caption->text(); }

std::function<void(TFBaseForm_CreateVoucher_Result &)> TFBaseForm_CreateVoucher_Result::ExecuteHook;

TFBaseForm_CreateVoucher_Result::TFBaseForm_CreateVoucher_Result(const QString &report, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFBaseForm_CreateVoucher_Result"));
    setWindowTitle(QStringLiteral("凭证生成结果"));
    auto *layout = new QVBoxLayout(this);
    m_memo = new QPlainTextEdit(this);
    m_memo->setReadOnly(true);
    m_memo->setPlainText(report);
    layout->addWidget(m_memo);
    resize(420, 360);
}

QString TFBaseForm_CreateVoucher_Result::reportText() const { return m_memo->toPlainText(); }

bool ExecuteCreateVoucher(QWidget *parent, int billType, const QString &listTable, const QString &formTable, int billId)
{
    nvDMBase &dm = nvDMBase::instance();
    TForm_Info info(parent);
    TBillCreateVoucher generator(dm.connection(), dm.userId);
    generator.setProgress(&info);
    generator.setReportViewer([parent](const QString &report) {
        TFBaseForm_CreateVoucher_Result result(report, parent);
        if (TFBaseForm_CreateVoucher_Result::ExecuteHook)
            TFBaseForm_CreateVoucher_Result::ExecuteHook(result);
        else
            result.exec();
    });
    return generator.CreateVoucherMain(billType, 0, listTable, formTable, QString::number(billId));
}

} // namespace protask
