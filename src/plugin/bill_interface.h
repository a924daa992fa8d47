#pragma once

// The bill service as the host sees it: a reference-counted interface whose table holds
// the three reference-counting operations first and then the five bill operations.
// Texts cross the boundary as UTF-8 `const char*`. Every operation answers a 32-bit status.

#include <cstdint>

namespace protask {

struct InterfaceId {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};

constexpr int32_t kNoInterface = static_cast<int32_t>(0x80004002u); // E_NOINTERFACE

// Operation codes of BillEdit (CmdIndex) and BillList (FormType).
namespace BillCmd {
constexpr int32_t Open = 1001;
constexpr int32_t IsOpen = 1010;
constexpr int32_t Close = 1020;
constexpr int32_t IsModified = 1021;
} // namespace BillCmd

class IBillInterface {
public:
    virtual int32_t QueryInterface(const InterfaceId &iid, void **object) = 0;
    virtual int32_t AddRef() = 0;
    virtual int32_t Release() = 0;

    virtual int32_t BillEdit(int32_t CmdIndex, uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID,
                             int32_t OperationTypeID, int32_t BillID, int32_t ParamTypeID, const char *ParamValue,
                             int32_t ListID) = 0;
    virtual int32_t BillDisplay(int32_t BillID, int32_t BillTypeID, int32_t OperationTypeID, const char *InFilter,
                                int32_t ParamTypeID, const char *ParamValue) = 0;
    virtual int32_t BillList(int32_t FormType, uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID) = 0;
    virtual int32_t BillDetailList(int32_t FormType, uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID,
                                   const char *InFilter) = 0;
    virtual int32_t BillCursorFocus(uint32_t MainHandle, int32_t SheelHandle, int32_t BillTypeID,
                                    const char *BillGridTypeID) = 0;

protected:
    ~IBillInterface() = default; // released through Release, never deleted by the host
};

using GetBillIntsFunc = IBillInterface *(*)();

} // namespace protask

extern "C" __attribute__((visibility("default"))) protask::IBillInterface *GetBillInts();
