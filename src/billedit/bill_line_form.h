#pragma once

#include "billedit/bill_base.h"
#include "billedit/model/bill_actions.h"
#include "billedit/model/line_rules.h"
#include "billedit/model/product_lookup.h"
#include "billedit/model/save_lines.h"
#include "grid/grid_model.h"

#include "core/local_dataset.h"

#include <QDate>
#include <QHash>

#include <memory>

class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace protask {

class TNullableDateEdit;

// A numbered bill with product lines and its life cycle: new, save, check, uncheck. The
// actions run the bill model's plain functions; this form gathers the values from its
// controls and grid for them and shows what they answer.
class TFBaseForm_BillBase_BillNo : public TFBaseForm_BillBase, public BillSteps {
    Q_OBJECT
public:
    TFBaseForm_BillBase_BillNo(QObject *owner, qint32 sheetHandle);

    int NoLength = 5;
    QString DefNo = QStringLiteral("00001");
    QString FInitBillNo;
    bool FSaveIsFinish = false;
    int FCurFocusRecordIndex = -1;
    int FWidthHeightLength = 0;
    double FDiscountRate = 0; // the form-level discount rate; 0 means none is set

    // The grid row as the line rules and the line save see it.
    LineValues lineAt(int row) const;
    QList<LineValues> gridLines() const;
    void setLine(int row, const LineValues &line);
    LineSettings lineSettings() const;

    // The actions (tool bar, keys); public so that the host and the tests drive them as a
    // clerk would.
    void NewBill() override;
    void SaveBill() override;
    void SaveAndNew() override;
    void CheckBillAction() override;
    void UncheckBillAction() override;
    // The insert path of save-and-new: a new bill without asking.
    void InsertBill();

    // Products picked in the product selection dialog (their keys as "12,15,3") fill the lines
    // from the focused one on; lines are appended as needed.
    virtual void AddProductLine(const QString &productIds, int row);
    // The product selection action ("选商品").
    void SelectProducts();
    // The client label: shows the bill's client or supplier record.
    void OpenClientRecord();
    // "我知道了，下次不再提示" under the grid.
    void SwitchOffPriceHint();
    // Fills the focused line from a batch of stock of its product.
    void PickBatch(int row);
    // The stock hint under the grid for the focused line.
    void RefreshStockHint(int row);
    QString stockHintText() const;
    // The price history of the line's product for the header's client; a price chosen there
    // becomes the line's list price on the sales bills.
    void HistoryPrice(int row);

    // BillSteps
    bool SaveLines(int billId) override;
    bool CheckUnits() override;
    bool CheckStock() override;
    int SaveHeader(int billId) override = 0;

protected:
    // The line columns of the editor: the common set, which a subclass adjusts.
    virtual QVector<TGridColumn> lineColumns() const;
    // The rule of an edited line cell; answers the value to store.
    virtual QVariant LineRule(const QString &field, const QVariant &typed, LineValues &line);
    // Cells of a line the subclass writes itself (its quantity columns); false stops the save.
    virtual bool SaveLineFields(int billId, int row, const LineValues &line, LineCells &cells);
    virtual void AfterLinesChanged() {}
    virtual void AfterProductsAdded() {}
    // The header fields the lookups read: the client (its price level) and the store; empty
    // when the editor has none.
    virtual QString ClientName() const { return QString(); }
    virtual QString StoreName() const { return QString(); }
    // The client field the price history is looked up for; empty in editors without one.
    virtual QString HistoryClientName() const { return {}; }
    FillContext fillContext() const;
    // Bill types whose lines take no product picker, batch picker or stock hint.
    bool linePickersOff() const { return FBillTypeID == 3011 || FBillTypeID == 3017; }

    void FormStartup() override;
    void FormShowAction() override;
    void ApplyFieldCaptions() override;
    void ApplyColumnOptions() override;
    void HelpAction() override;

    // Header layout helpers for the subclasses: a label and an editor in the next cell.
    QWidget *addHeaderField(const QString &field, QWidget *editor, const QString &caption, int tag = 0);
    // A header combo that looks its records up: the list filters on number, name and search
    // code as the user types; double-click, F7, or Enter on an empty field opens the common
    // lookup of the kind, whose choice fills the field; Enter on a filled field moves on.
    void bindHeaderLookup(const QString &field, int kind, const QString &listSql);
    void openHeaderLookup(const QString &field);
    bool eventFilter(QObject *watched, QEvent *event) override;

    // A block of further header fields (a layout of the subclass) under the common ones.
    void addHeaderWidget(QWidget *fields);
    void FillNewBillDefaults();
    BillRef billRef() const;
    void keyPressEvent(QKeyEvent *event) override;

    TLocalDataSet qryProducts;
    TLocalDataSet qryUnit;
    QLabel *lbl_StockBalance = nullptr;
    QFrame *pnl_FSalePriceVariationHint = nullptr;
    QGridLayout *m_headerLayout = nullptr;
    QLineEdit *edt_FBillNo = nullptr;
    TNullableDateEdit *edt_FBillDate = nullptr;
    QLineEdit *edt_FBillerName = nullptr;
    int m_headerCells = 0;

    // Builds the grid's columns from lineColumns() with their rules and footer sums; a subclass
    // that changes the columns calls it again from its constructor.
    void setupLineColumns();

private:
    struct HeaderLookup {
        int kind = 0;
        QString listSql;
        std::shared_ptr<TLocalDataSet> list;
    };
    QHash<QString, HeaderLookup> m_headerLookups;
    void refreshHeaderLookups();
    void refreshProductList();
    void setupProductCombo(QComboBox *combo, int row, const QString &field);
    void focusQuantity(int row);
    void startNewBill(bool insertPath);
    void buildPriceHint();
    QVariant lineForeground(int row) const;
    int productIdOf(const QString &name) const;
    QHash<QString, std::pair<int, QVariant>> m_productByName; // name -> key and total stock
    bool m_focusQuantity = false;
    void lineCellEdited(int row, int column);
    void afterSaved(const ActionResult &result);
};

} // namespace protask
