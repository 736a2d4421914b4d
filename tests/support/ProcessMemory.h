#pragma once
// The process's committed private memory, summed by walking its address space: Wine leaves the
// memory counters' PrivateUsage at 0.
#include <windows.h>

namespace testsupport {

inline SIZE_T CommittedPrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (auto at = static_cast<const char*>(nullptr);
         VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return total;
}

}  // namespace testsupport
