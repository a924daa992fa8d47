#pragma once

#include "core/sql_helpers.h"

#include <QDialog>
#include <QSqlDatabase>

class QLabel;

namespace protask {

class TGridView;

// The batch picker: the batches of one product that still hold stock (in one storehouse, or
// in all when none is given) in a read-only list, to put one on a line. OK or a double click
// takes the selected batch; without a selection nothing is chosen.
class TFBaseForm_ProductBatchNo : public QDialog {
    Q_OBJECT

public:
    explicit TFBaseForm_ProductBatchNo(QWidget *parent = nullptr);

    // Given before LoadData
    int FProductID = 0;
    int FStorehouseID = 0;
    // The answer: the chosen row of t_comProductBatchNo, and whether one was chosen
    int FID = 0;
    bool bRet = false;

    // Reads the product's number and name and its batches, and restores the list's layout.
    // Server errors propagate as DbError.
    void LoadData(const QSqlDatabase &db = Db());
    // Selects a row of the list (-1: none).
    void selectRow(int row);
    int selectedRow() const;
    // OK: the selected batch, or none; closes the dialog.
    void acceptSelection();
    // 退出: nothing chosen; closes the dialog.
    void exitDialog();

    TGridView *grid() const { return m_grid; }
    QString productNoText() const;
    QString productNameText() const;

private:
    QLabel *m_productNo = nullptr;
    QLabel *m_productName = nullptr;
    TGridView *m_grid = nullptr;
};

// Shows the picker modally; true with the chosen batch's key when one was chosen. A server
// error is shown and answers false.
bool ExecuteBatchPicker(int productId, int storeId, int &batchRowId, QWidget *parent = nullptr);

} // namespace protask
