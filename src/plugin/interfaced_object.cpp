#include "plugin/interfaced_object.h"

namespace protask {

TnvInterfacedObject::TnvInterfacedObject() = default;

TnvInterfacedObject::~TnvInterfacedObject() = default;

void TnvInterfacedObject::AfterConstruction() { FRefCount.fetch_sub(1); }

int32_t TnvInterfacedObject::AddRefImpl() { return FRefCount.fetch_add(1) + 1; }

int32_t TnvInterfacedObject::ReleaseImpl()
{
    const int32_t count = FRefCount.fetch_sub(1) - 1;
    if (count == 0 && !FObjectFree)
        delete this;
    return count;
}

} // namespace protask
