#pragma once

#include "plugin/bill_interface.h"

#include <atomic>
#include <cstdint>

namespace protask {

// A reference-counted object: the count starts at 1 while it is being built and drops
// to 0 when construction ends, so that the first reference handed out makes it 1.
// Release destroys the object when the count reaches 0 and FObjectFree is clear.
class TnvInterfacedObject {
public:
    TnvInterfacedObject();
    virtual ~TnvInterfacedObject();

    int32_t AddRefImpl();
    int32_t ReleaseImpl();
    int32_t refCount() const { return FRefCount.load(); }

    bool FObjectFree = false;

protected:
    // Called by the most derived constructor when it has finished.
    void AfterConstruction();

private:
    std::atomic<int32_t> FRefCount{1};
};

} // namespace protask
