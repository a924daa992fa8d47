#pragma once

#include "voucher/voucher_generator.h"

#include <QDialog>
#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace protask {

// The small always-on-top window that shows how far a voucher run is.
class TForm_Info : public QWidget, public VoucherProgress {
    Q_OBJECT
public:
    explicit TForm_Info(QWidget *parent = nullptr);

    void open() override;
    void setCaption(const QString &caption) override;
    void setMaximum(int maximum) override;
    // Also lets the screen repaint: the run blocks the user-interface thread.
    void setPosition(int position) override;
    void close() override;

    QString caption() const;
    QProgressBar *progressBar() const { return m_bar; }

private:
    QLabel *m_caption = nullptr;
    QProgressBar *m_bar = nullptr;
};

// The result report of a run, read only.
class TFBaseForm_CreateVoucher_Result : public QDialog {
    Q_OBJECT
public:
    explicit TFBaseForm_CreateVoucher_Result(const QString &report, QWidget *parent = nullptr);
    QString reportText() const;

    // Answers the dialog in place of exec() while set (tests read the report through it).
    static std::function<void(TFBaseForm_CreateVoucher_Result &)> ExecuteHook;

private:
    QPlainTextEdit *m_memo = nullptr;
};

// The voucher actions of the editor and the list: converts one stored bill with the bill
// type's default template, with the progress window and the result report. True when the
// vouchers were written (the caller shows the bill again).
bool ExecuteCreateVoucher(QWidget *parent, int billType, const QString &listTable, const QString &formTable,
                          int billId);

} // namespace protask
