#pragma once

#include "core/bill_types.h"

#include "billedit/bill_base.h"

namespace protask {

constexpr int kProtaskBillType = BillType::ProTask;

// The production task editor: one finished product for a client, its production
// quantity and processing price, and the materials it consumes as lines.
class TFBaseForm_BillBase_BillNo_Protask : public TFBaseForm_BillBase {
    Q_OBJECT
public:
    TFBaseForm_BillBase_BillNo_Protask(QObject *owner, qint32 sheetHandle);

protected:
    void PrepareLoad() override;

private:
    void buildHeader();
    void buildGridColumns();
};

} // namespace protask
