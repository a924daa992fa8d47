#pragma once

#include "billedit/bill_line_form.h"
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

protected:
    QVector<TGridColumn> lineColumns() const override;
    QVariant LineRule(const QString &field, const QVariant &typed, LineValues &line) override;
    bool SaveLineFields(int billId, int row, const LineValues &line, LineCells &cells) override;
    void PrepareLoad() override;
    void AfterDataLoaded() override;

private:
    void buildHeader();
    void productionQuantityChanged();
    void processingPriceChanged();

    TCurrencyEdit *edt_Fnumber = nullptr;
    TCurrencyEdit *edt_Fprice = nullptr;
    TCurrencyEdit *edt_Famount = nullptr;
};

} // namespace protask
