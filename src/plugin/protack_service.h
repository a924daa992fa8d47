#pragma once

#include "plugin/bill_interface.h"
#include "plugin/interfaced_object.h"

namespace protask {

// The bill service handed to the host. It holds no state: the open editor and the open
// list live in two module-wide slots shared by every service object.
class TProtackService final : public TnvInterfacedObject, public IBillInterface {
public:
    TProtackService();

    int32_t QueryInterface(const InterfaceId &iid, void **object) override;
    int32_t AddRef() override;
    int32_t Release() override;

    int32_t BillEdit(int32_t CmdIndex, uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID,
                     int32_t OperationTypeID, int32_t BillID, int32_t ParamTypeID, const char *ParamValue,
                     int32_t ListID) override;
    int32_t BillDisplay(int32_t BillID, int32_t BillTypeID, int32_t OperationTypeID, const char *InFilter,
                        int32_t ParamTypeID, const char *ParamValue) override;
    int32_t BillList(int32_t FormType, uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID) override;
    int32_t BillDetailList(int32_t FormType, uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID,
                           const char *InFilter) override;
    int32_t BillCursorFocus(uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID,
                            const char *BillGridTypeID) override;
};

} // namespace protask
