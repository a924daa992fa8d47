#pragma once

#include "host/host_data.h"
#include "platform/nv_dm_base.h"

#include <QDialog>

class QComboBox;
class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;
class QLineEdit;
class QTableWidget;

namespace protask {

// Sign-in: one user of t_comUser.
class SignInDialog : public QDialog {
    Q_OBJECT
public:
    explicit SignInDialog(QWidget *parent = nullptr);
    int userId() const;
    QString userName() const;

private:
    QComboBox *m_users;
};

// The host's company information and system parameters.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget *parent = nullptr);
    // Writes the company row and the parameters; false with a message on a server error.
    bool save();

protected:
    void accept() override;

private:
    void load();
    QLineEdit *m_name, *m_address, *m_tel;
    QSpinBox *m_numberDecimals, *m_priceDecimals;
    QCheckBox *m_checkWorkflow, *m_checkOnSave, *m_tax, *m_blueOff, *m_hintOff, *m_forbidNeg, *m_askNeg, *m_forbidBatch,
        *m_warnBatch;
    QSpinBox *m_rights;
    QDoubleSpinBox *m_taxRate;
};

// A read-only view of one voucher: t_VoucherForm and its t_voucherList lines.
class VoucherViewer : public QDialog {
    Q_OBJECT
public:
    VoucherViewer(int voucherId, QWidget *parent = nullptr);
};

} // namespace protask
