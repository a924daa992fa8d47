#pragma once

#include "core/sql_helpers.h"
#include "fieldcaptions/model/working_tables.h"

#include <QDialog>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>

#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace protask {

class TGridView;

// The caption settings of one bill type (or of every bill type and the master data, with
// FBillTypeID 0): the free header captions, and the captions, visibility and order of the
// line columns. Edits collect in the connection's working tables while the user moves
// through the bill types; "确定" writes them and closes with OK only when something changed.
class TFBaseForm_SetDefined : public QDialog {
    Q_OBJECT

public:
    explicit TFBaseForm_SetDefined(QWidget *parent = nullptr);

    int FBillTypeID = 0; // 0: the general mode with the master-data page
    bool bRet = false;
    bool btreeInit = false; // the tree is being loaded: node changes are ignored
    bool bgridInit = false; // the grid is being loaded
    bool bisSave = false;   // something was written

    // The maintenance mode shows the system columns and the buttons that change the defaults;
    // this module never switches it on.
    static bool MaintenanceMode;

    // Opening: the pages for the mode, the working tables, the tree, the first bill type.
    // Server errors propagate as DbError.
    void FormShow(const QSqlDatabase &db = Db());
    // The tree moved to the node at `index`: the shown bill type's edits go into the working
    // tables, then the node's bill type is shown.
    void selectNode(int index);
    int shownBillType() const { return m_shownBillType; }

    void SelectAllClick();     // 全选
    void ClearAllClick();      // 全清
    void MoveUpClick();        // 上移
    void MoveDownClick();      // 下移
    void SystemDefaultClick(); // 系统默认
    void SaveDefaultClick();   // 保存为默认
    void RenumberClick();      // 重新序号
    // Leaving a header or master-data edit: a blank one is refused with its hint and takes
    // the focus back. False when refused.
    bool leaveEdit(QLineEdit *edit);
    // 确定: writes the settings and closes (OK when something was written, else Cancel); a
    // server error shows "保存失败!" and keeps the dialog open.
    void OkClick();
    void CancelClick();

    TGridView *grid() const { return cxGTV; }
    QTreeWidget *tree() const { return dbtree; }
    QTabWidget *pages() const { return m_pages; }
    QGroupBox *headerBox() const { return m_headerBox; }
    QGroupBox *listBox() const { return m_listBox; }
    QLineEdit *edit(const QString &name) const;
    QPushButton *button(const QString &caption) const;

    // The test seam of callers: while it holds a function, ShowFieldSettings calls it with
    // the opened dialog in place of exec() and takes its answer as the dialog's result.
    static std::function<int(TFBaseForm_SetDefined &)> ExecuteHook;
    class ExecuteHookScope {
    public:
        explicit ExecuteHookScope(std::function<int(TFBaseForm_SetDefined &)> hook);
        ~ExecuteHookScope();
        ExecuteHookScope(const ExecuteHookScope &) = delete;
        ExecuteHookScope &operator=(const ExecuteHookScope &) = delete;

    private:
        std::function<int(TFBaseForm_SetDefined &)> m_previous;
    };

private:
    void loadNode(int billType);
    void loadGrid(int billType);
    void writePendingEdits();
    QList<ColumnFieldName> gridRows() const;
    QStringList gridOrder() const;
    void swapRows(int row, int other);
    void renumber();
    bool editsAreFilled();
    void guarded(const std::function<void()> &work);

    QSqlDatabase m_db;
    QTabWidget *m_pages = nullptr;
    QWidget *tab_com = nullptr;
    QWidget *tab_bill = nullptr;
    QTreeWidget *dbtree = nullptr;
    QGroupBox *m_headerBox = nullptr;
    QGroupBox *m_listBox = nullptr;
    TGridView *cxGTV = nullptr;
    QList<QLineEdit *> m_headerEdits;
    QList<QLineEdit *> m_masterEdits;
    QList<HeaderFieldName> m_headerRows;
    QList<MasterFieldName> m_masterRows;
    QStringList m_loadedOrder;
    int m_shownBillType = -1;
    bool m_refusing = false;
};

// Opens the settings of a bill type (0: the general mode) modally; true exactly when they
// closed with something saved. A server error while opening is shown and answers false.
bool ShowFieldSettings(int billType, QWidget *parent = nullptr);

} // namespace protask
