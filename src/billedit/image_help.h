#pragma once

#include <QDialog>

class QTabWidget;

namespace protask {

// The picture help of the editors: one sheet per picture of the Help folder under the program
// folder; a picture that is not there leaves its sheet out.
class TFBaseForm_ImageHelp : public QDialog {
    Q_OBJECT
public:
    explicit TFBaseForm_ImageHelp(QWidget *parent = nullptr);
    QTabWidget *sheets() const { return m_sheets; }

private:
    QTabWidget *m_sheets = nullptr;
};

} // namespace protask
