#pragma once

#include "billedit/model/source_select.h"
#include "core/values.h"

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace protask {

class TDatePicker;
class TGridView;

// The picker of earlier bills a new bill is made from: the open lines (or open bills) of one
// source kind, checked and dated within a period, optionally of one client, searched by a
// text. The answer is the chosen rows' keys joined by "," (SqlFilterText); where the kind
// asks for it, all chosen rows must share one value (one client, one department).
//
// Every step runs without exec(): FormShow() prepares and opens the list, ChoosePeriod()
// and FindClick() change it, selectRows() chooses, SelectClick() and CancelClick() answer.
class TFBaseForm_SelectForm : public QDialog {
    Q_OBJECT

public:
    explicit TFBaseForm_SelectForm(QWidget *parent = nullptr);

    // Given by the caller before the form is shown
    int FBillTypeID = 0;     // the source kind, 3050..3058
    int FClientID = 0;       // 0: every client's rows
    quint32 FMainHandle = 0; // the host's main window, told to refresh its work area
    bool FMultiSelected = false;

    // Set by the form from its source kind
    bool FCheckConsistencyRecord = false;
    QString FConsistencyColumnName;
    QString FConsistencyCaption;
    QString FKeyColumnName1;
    // The search's condition on the list statement (empty: no search)
    QString FormFindText;
    // The answer: the chosen keys joined by ","; empty until chosen and after Cancel
    QString SqlFilterText;

    // The steps of showing: the host refreshes and lends its work area, then the date range,
    // the columns and the kind's rules are set and the list is opened. False, after the
    // error was shown, when the list cannot be read. Showing the form runs it once unless
    // it already ran.
    bool FormShow();
    // Reads the list again with the current dates, search and client. Server errors
    // propagate as DbError.
    void OpenSelectList();

    // The period box: sets the dates from the server's today (Custom keeps them).
    void ChoosePeriod(DatePeriod period);
    // "查询(&F)": turns the search text into FormFindText and reads the list again.
    void FindClick();
    // Chooses grid rows, in this order, as the user would with Ctrl held (single selection:
    // the last one).
    void selectRows(const QList<int> &rows);
    // "选择", Enter or a double click: true when the form closed with OK. Chosen rows that
    // break the kind's same-value rule keep the form open with a warning.
    bool SelectClick();
    // "取消" or Esc: nothing chosen.
    void CancelClick();

    TGridView *grid() const { return m_grid; }
    QLineEdit *findEdit() const { return m_findEdit; }
    QComboBox *periodBox() const { return m_periodBox; }
    TDatePicker *startDate() const { return m_startDate; }
    TDatePicker *endDate() const { return m_endDate; }
    const SourceKind *sourceKind() const { return m_kind; }

    void reject() override;

    // The test seam of callers: while it holds a function, ExecuteSelectForm calls it with the
    // prepared form (FormShow() has run) in place of exec(). The function drives the form
    // (selectRows, SelectClick or CancelClick) and returns the dialog's result; the answer is
    // the form's SqlFilterText as after exec(). Set it through ExecuteHookScope.
    static std::function<int(TFBaseForm_SelectForm &)> ExecuteHook;

    // Installs an ExecuteHook for its lifetime and puts the previous one back.
    class ExecuteHookScope {
    public:
        explicit ExecuteHookScope(std::function<int(TFBaseForm_SelectForm &)> hook);
        ~ExecuteHookScope();
        ExecuteHookScope(const ExecuteHookScope &) = delete;
        ExecuteHookScope &operator=(const ExecuteHookScope &) = delete;

    private:
        std::function<int(TFBaseForm_SelectForm &)> m_previous;
    };

protected:
    // The slots of the kinds' behaviour, in this order
    virtual void BuildSelectSQL(QString &sql);
    // The server's current month, first to last day.
    virtual void InitDateRange();
    virtual void InitColumns();
    // Caption, answered key and the same-value rule of the kind.
    virtual void InitSourceKind();

    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void takeWorkArea();
    void fillGrid(const TDataSet &list);
    QString layoutName() const;

    const SourceKind *m_kind = nullptr;
    bool m_shown = false;
    QLineEdit *m_findEdit = nullptr;
    QComboBox *m_periodBox = nullptr;
    TDatePicker *m_startDate = nullptr;
    TDatePicker *m_endDate = nullptr;
    TGridView *m_grid = nullptr;
    QPushButton *m_selectButton = nullptr;
};

// Shows the picker modally (or hands it to TFBaseForm_SelectForm::ExecuteHook) and answers
// its SqlFilterText: the chosen keys joined by ",", empty when cancelled or when the list
// could not be read (the error is shown).
QString ExecuteSelectForm(int sourceKind, int clientId, quint32 mainHandle, bool multi, QWidget *parent = nullptr);

} // namespace protask
