#include "report/designer/export_options.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QRadioButton>
#include <QSpinBox>

namespace protask::report {

TImageExportOptions::TImageExportOptions(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("导出至图像"));
    m_perPage = new QRadioButton(QStringLiteral("每页一个图像文件"), this);
    m_perPage->setObjectName(QStringLiteral("rbPerPage"));
    auto *longImage = new QRadioButton(QStringLiteral("所有页合成一个长图像"), this);
    longImage->setObjectName(QStringLiteral("rbLongImage"));
    m_perPage->setChecked(true);
    m_dpi = new QSpinBox(this);
    m_dpi->setObjectName(QStringLiteral("spnDpi"));
    m_dpi->setRange(72, 600);
    m_dpi->setValue(150);
    m_dpi->setSuffix(QStringLiteral(" dpi"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(m_perPage);
    form->addRow(longImage);
    form->addRow(QStringLiteral("分辨率"), m_dpi);
    form->addRow(buttons);
}

ImageMode TImageExportOptions::mode() const
{
    return m_perPage->isChecked() ? ImageMode::PagePerFile : ImageMode::LongImage;
}

int TImageExportOptions::dpi() const { return m_dpi->value(); }

} // namespace protask::report
