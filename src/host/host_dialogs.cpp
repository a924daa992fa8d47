#include "host/host_dialogs.h"

#include "host/host_config.h"
#include "host/host_data.h"
#include "platform/db.h"
#include "platform/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace protask {

SignInDialog::SignInDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("登录"));
    auto *form = new QFormLayout(this);
    m_users = new QComboBox(this);
    if (nvDMBase::instance().prepareAction()) {
        try {
            for (const auto &[id, name] : ListUsers(nvDMBase::instance().connection()))
                m_users->addItem(name, id);
        } catch (const DbError &e) {
            Prompter::current().error(e.message());
        }
    }
    form->addRow(QStringLiteral("用户："), m_users);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

int SignInDialog::userId() const { return m_users->currentData().toInt(); }

QString SignInDialog::userName() const { return m_users->currentText(); }

SettingsDialog::SettingsDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("公司信息与系统参数"));
    auto *layout = new QVBoxLayout(this);

    auto *company = new QGroupBox(QStringLiteral("公司信息"), this);
    auto *cf = new QFormLayout(company);
    m_name = new QLineEdit(company);
    m_name->setObjectName(QStringLiteral("edt_FName"));
    m_address = new QLineEdit(company);
    m_address->setObjectName(QStringLiteral("edt_FAddress"));
    m_tel = new QLineEdit(company);
    m_tel->setObjectName(QStringLiteral("edt_FTel"));
    m_numberDecimals = new QSpinBox(company);
    m_numberDecimals->setObjectName(QStringLiteral("edt_FNumberDecimal"));
    m_numberDecimals->setRange(0, 6);
    m_priceDecimals = new QSpinBox(company);
    m_priceDecimals->setObjectName(QStringLiteral("edt_FPriceDecimal"));
    m_priceDecimals->setRange(0, 6);
    cf->addRow(QStringLiteral("公司名称："), m_name);
    cf->addRow(QStringLiteral("地址："), m_address);
    cf->addRow(QStringLiteral("电话："), m_tel);
    cf->addRow(QStringLiteral("数量小数位："), m_numberDecimals);
    cf->addRow(QStringLiteral("单价小数位："), m_priceDecimals);
    layout->addWidget(company);

    auto *params = new QGroupBox(QStringLiteral("系统参数"), this);
    auto *pf = new QFormLayout(params);
    // Parameter controls are named after their row in t_comparameters.
    auto box = [&](const char *parameter, const QString &text) {
        auto *c = new QCheckBox(text, params);
        c->setObjectName(QString::fromLatin1(parameter));
        pf->addRow(c);
        return c;
    };
    m_checkWorkflow = box("FIsCheckBill", QStringLiteral("单据需要审核"));
    m_checkOnSave = box("FIsSaveCheck", QStringLiteral("保存时同时审核"));
    m_rights = new QSpinBox(params);
    m_rights->setObjectName(QStringLiteral("FIsUseRight"));
    m_rights->setRange(0, 9);
    pf->addRow(QStringLiteral("权限控制："), m_rights);
    m_tax = box("FIsTax", QStringLiteral("启用税率"));
    m_taxRate = new QDoubleSpinBox(params);
    m_taxRate->setObjectName(QStringLiteral("FTaxRate"));
    m_taxRate->setRange(0, 100);
    m_taxRate->setDecimals(2);
    pf->addRow(QStringLiteral("默认税率(%)："), m_taxRate);
    m_blueOff = box("FBluePriceMarkOff", QStringLiteral("关闭销售单价蓝色字体提醒"));
    m_hintOff = box("FSalePriceVariationHint", QStringLiteral("关闭销售单价差异提示"));
    m_forbidNeg = box("FForbidNegativeStock", QStringLiteral("禁止负库存"));
    m_askNeg = box("FAskNegativeStock", QStringLiteral("负库存时提示"));
    m_forbidBatch = box("FForbidNegativeBatchStock", QStringLiteral("禁止负批次库存"));
    m_warnBatch = box("FWarnNegativeBatchStock", QStringLiteral("负批次库存时提示"));
    layout->addWidget(params);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    load();
}

void SettingsDialog::load()
{
    m_numberDecimals->setValue(2);
    m_priceDecimals->setValue(2);
    if (nvDMBase::instance().prepareAction()) {
        try {
            const CompanyInfo c = ReadCompany(nvDMBase::instance().connection());
            m_name->setText(c.name);
            m_address->setText(c.address);
            m_tel->setText(c.tel);
            m_numberDecimals->setValue(c.numberDecimals);
            m_priceDecimals->setValue(c.priceDecimals);
        } catch (const DbError &e) {
            Prompter::current().error(e.message());
        }
    }
    const HostSwitches &s = nvDMBase::instance().switches;
    m_checkWorkflow->setChecked(s.checkWorkflow);
    m_checkOnSave->setChecked(s.checkOnSave);
    m_rights->setValue(s.rightsSwitch);
    m_tax->setChecked(s.taxSwitch);
    m_taxRate->setValue(s.defaultTaxRate);
    m_blueOff->setChecked(s.bluePriceMarkingOff);
    m_hintOff->setChecked(s.priceVariationHintOff);
    m_forbidNeg->setChecked(s.forbidNegativeStock);
    m_askNeg->setChecked(s.askOnNegativeStock);
    m_forbidBatch->setChecked(s.forbidNegativeBatchStock);
    m_warnBatch->setChecked(s.warnNegativeBatchStock);
}

bool SettingsDialog::save()
{
    nvDMBase &dm = nvDMBase::instance();
    if (!dm.prepareAction())
        return false;
    const QSqlDatabase db = dm.connection();
    HostSwitches s = dm.switches;
    s.checkWorkflow = m_checkWorkflow->isChecked();
    s.checkOnSave = m_checkOnSave->isChecked();
    s.rightsSwitch = m_rights->value();
    s.taxSwitch = m_tax->isChecked();
    s.defaultTaxRate = m_taxRate->value();
    s.bluePriceMarkingOff = m_blueOff->isChecked();
    s.priceVariationHintOff = m_hintOff->isChecked();
    s.forbidNegativeStock = m_forbidNeg->isChecked();
    s.askOnNegativeStock = m_askNeg->isChecked();
    s.forbidNegativeBatchStock = m_forbidBatch->isChecked();
    s.warnNegativeBatchStock = m_warnBatch->isChecked();
    const CompanyInfo company{m_name->text(), m_address->text(), m_tel->text(), m_numberDecimals->value(),
                              m_priceDecimals->value()};
    try {
        SaveCompanyAndSwitches(company, s, db);
    } catch (const DbError &e) {
        Prompter::current().error(QStringLiteral("保存失败：") + e.serverText());
        return false;
    }
    dm.switches = s;
    return true;
}

void SettingsDialog::accept()
{
    if (save())
        QDialog::accept();
}

VoucherViewer::VoucherViewer(int voucherId, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("记帐凭证"));
    resize(820, 420);
    auto *layout = new QVBoxLayout(this);
    VoucherView voucher;
    if (nvDMBase::instance().prepareAction()) {
        try {
            voucher = ReadVoucher(voucherId, nvDMBase::instance().connection());
        } catch (const DbError &e) {
            Prompter::current().error(e.message());
        }
    }
    auto *title = new QLabel(this);
    if (!voucher.found) {
        title->setText(QStringLiteral("凭证不存在：%1").arg(voucherId));
    } else {
        title->setText(QStringLiteral("凭证号：记-%1    日期：%2    期间：%3年%4期    来源单号：%5")
                           .arg(voucher.number, voucher.date, voucher.year, voucher.period, voucher.fromBillNo));
    }
    layout->addWidget(title);
    auto *table = new QTableWidget(static_cast<int>(voucher.lines.size()), 5, this);
    table->setHorizontalHeaderLabels({QStringLiteral("行号"), QStringLiteral("摘要"), QStringLiteral("科目"),
                                      QStringLiteral("借方金额"), QStringLiteral("贷方金额")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < voucher.lines.size(); ++r) {
        for (int c = 0; c < 5; ++c)
            table->setItem(r, c, new QTableWidgetItem(voucher.lines.at(r).at(c)));
    }
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace protask
