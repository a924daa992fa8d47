#pragma once

#include "report/report.h"

#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace protask::report {

// The image export's options: one file per page or one long image, and the resolution.
class TImageExportOptions : public QDialog {
    Q_OBJECT
public:
    explicit TImageExportOptions(QWidget *parent = nullptr);
    ImageMode mode() const;
    int dpi() const;

private:
    QRadioButton *m_perPage = nullptr;
    QSpinBox *m_dpi = nullptr;
};

} // namespace protask::report
