#include "platform/forms/base_form.h"

#include "platform/host_messages.h"

#include <QApplication>
#include <QEvent>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace protask {

TFBaseForm::TFBaseForm(QObject *owner, qint32 sheetHandle) : QWidget(nullptr), m_sheetHandle(sheetHandle)
{
    Q_UNUSED(owner); // forms belong to the application; the sheet area holds them
    setAttribute(Qt::WA_DeleteOnClose, false);
    embed();
}

TFBaseForm::~TFBaseForm() = default;

quint32 TFBaseForm::handle()
{
    if (!m_handle)
        m_handle = registerWindowHandle(this);
    return m_handle;
}

void TFBaseForm::embed()
{
    QWidget *sheet = qobject_cast<QWidget *>(windowFromHandle(static_cast<quint32>(m_sheetHandle)));
    if (auto *tabs = qobject_cast<QTabWidget *>(sheet)) {
        tabs->addTab(this, windowTitle());
        return;
    }
    if (sheet) {
        setParent(sheet);
        if (sheet->layout())
            sheet->layout()->addWidget(this);
        return;
    }
    // No sheet: a window of its own.
}

void TFBaseForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowTitleChange) {
        if (auto *tabs = qobject_cast<QTabWidget *>(windowFromHandle(static_cast<quint32>(m_sheetHandle)))) {
            const int i = tabs->indexOf(this);
            if (i >= 0)
                tabs->setTabText(i, windowTitle());
        }
    }
    QWidget::changeEvent(event);
}

void TFBaseForm::bringToFront()
{
    if (auto *tabs = qobject_cast<QTabWidget *>(windowFromHandle(static_cast<quint32>(m_sheetHandle)))) {
        tabs->setCurrentWidget(this);
    } else if (isWindow()) {
        show();
        raise();
        activateWindow();
    }
    setFocus(Qt::OtherFocusReason);
}

void TFBaseForm::runFormShow()
{
    if (m_formShown)
        return;
    m_formShown = true;
    FormShow();
}

void TFBaseForm::showForm()
{
    show();
    bringToFront();
    runFormShow();
}

bool TFBaseForm::lsClose()
{
    if (m_closed)
        return true;
    if (!canCloseForm())
        return false;
    m_closed = true;
    hide();
    if (auto *tabs = qobject_cast<QTabWidget *>(windowFromHandle(static_cast<quint32>(m_sheetHandle)))) {
        const int i = tabs->indexOf(this);
        if (i >= 0)
            tabs->removeTab(i);
    }
    setParent(nullptr);
    deleteLater();
    return true;
}

} // namespace protask
