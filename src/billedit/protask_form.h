#pragma once

#include "billedit/bill_line_form.h"
#include "billedit/model/protask_bill.h"
#include "core/bill_types.h"

namespace protask {

class TComboBox;
class TCurrencyEdit;

constexpr int kProtaskBillType = BillType::ProTask;

// The production task editor: one finished product for a client, its production quantity
// and processing price, and the materials it consumes as lines.
class TFBaseForm_BillBase_BillNo_Protask : public TFBaseForm_BillBase_BillNo {
    Q_OBJECT
public:
    TFBaseForm_BillBase_BillNo_Protask(QObject *owner, qint32 sheetHandle);

    int SaveHeader(int billId) override;
    // The task's texts, numbers and line dates against their columns, before the transaction.
    bool CheckBeforePost() override;
    // The materials of the last task for the header's product, scaled to the production
    // quantity; the lines stay as they are when the product has no task yet.
    void ProposeMaterials();
    // "选择销售订单": fills the header from a sales-order line picked in the source picker and
    // proposes the materials.
    void CopyFromSalesOrder();
    // "操作技巧": the picture help.
    void ShowPictureHelp();

protected:
    QVector<TGridColumn> lineColumns() const override;
    QVariant LineRule(const QString &field, const QVariant &typed, LineValues &line) override;
    bool SaveLineFields(int billId, int row, const LineValues &line, LineCells &cells) override;
    void PrepareLoad() override;
    void AfterDataLoaded() override;
    void StateChanged(int state) override;

private:
    void buildHeader();
    // The header as its fields hold it, for the stored task `billId`.
    ProtaskHeader headerValues(int billId) const;
    void productionQuantityChanged();
    void processingPriceChanged();
    void productNameCommitted();
    void fillUnitList();
    QString m_proposedFor; // the product the lines were last proposed for

    TCurrencyEdit *edt_Fnumber = nullptr;
    TCurrencyEdit *edt_Fprice = nullptr;
    TCurrencyEdit *edt_Famount = nullptr;
};

} // namespace protask
