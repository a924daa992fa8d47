#pragma once

// The platform library is shared by the host, the module and the sibling library, so that
// there is exactly one data module; its API is exported, everything else stays hidden.
#define PROTASK_PLATFORM_EXPORT __attribute__((visibility("default")))
