#pragma once

#include "platform/forms/forms_export.h"

#include <QWidget>

namespace protask {

// The host's base form. It embeds itself in the host's sheet area named by the sheet
// handle (a tab of the host's tab widget), or becomes a window of its own when the
// handle names no sheet.
class PROTASK_FORMS_EXPORT TFBaseForm : public QWidget {
    Q_OBJECT
public:
    TFBaseForm(QObject *owner, qint32 sheetHandle);
    ~TFBaseForm() override;

    // Closes the form; true when it closed (it is then removed from the sheet and
    // deleted on the event loop), false when it refused to close.
    bool lsClose();

    qint32 sheetHandle() const { return m_sheetHandle; }
    // Handle of this form, for messages that carry the sending window.
    quint32 handle();
    // Brings the form forward in the sheet area and gives it the input focus.
    void bringToFront();
    // Shows the form, brings it forward and runs its one-time start-up (FormShow). The
    // start-up is not tied to the show event: a visible sheet shows a new tab while the
    // form is still being constructed.
    void showForm();

protected:
    // The form's start-up, run once by the first showForm.
    virtual void FormShow() {}

    // Asked by lsClose before the form goes; a subclass refuses by answering false.
    virtual bool canCloseForm() { return true; }
    void changeEvent(QEvent *event) override;

private:
    void embed();
    qint32 m_sheetHandle = 0;
    quint32 m_handle = 0;
    bool m_closed = false;
    bool m_formShown = false;
    void runFormShow();
};

} // namespace protask
