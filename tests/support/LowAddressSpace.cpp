#include "tests/support/LowAddressSpace.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace testsupport {
namespace {

constexpr std::size_t kLargestBlock = 64 * 1024;
constexpr int kHighInARow = 32;
constexpr std::size_t kSmallestBlock = 16;
constexpr std::uint64_t kGranularity = 64 * 1024;
void* volatile kept = nullptr;

// What lay below 4 GB before the reservation (the program's loader, stacks, the shared data
// page): a pointer cut to 32 bits may land there by chance, and nothing can be done about it.
constexpr int kMostEarlierRegions = 4096;
struct Region {
    std::uintptr_t start, end;
} earlier[kMostEarlierRegions];
int earlierCount = 0;

bool Low(const void* address) {
    return reinterpret_cast<std::uintptr_t>(address) < kFourGigabytes;
}

// What the system refused to reserve, the granules next to one another joined.
Region refused[kMostEarlierRegions];
int refusedCount = 0;
bool refusedOverflowed = false;

void Remember(std::uintptr_t start, std::uintptr_t end) {
    if (earlierCount < kMostEarlierRegions) earlier[earlierCount++] = {start, end};
}

void Refused(std::uintptr_t start, std::uintptr_t end) {
    Remember(start, end);
    if (refusedCount > 0 && refused[refusedCount - 1].end == start) {
        refused[refusedCount - 1].end = end;
    } else if (refusedCount < kMostEarlierRegions) {
        refused[refusedCount++] = {start, end};
    } else {
        refusedOverflowed = true;
    }
}

// Reserves [start, end). A free region may hold a few pieces that the system keeps for itself
// although it reports them free (Wine's own mappings, which move from run to run): one piece
// refuses the whole reservation, which then leaves gigabytes free for later allocations to land
// in by chance. The region is halved until each half is reserved, and what is refused at the
// granularity is remembered as held before, as the loader's memory is, and as refused.
void Reserve(std::uint64_t start, std::uint64_t end) {
    if (VirtualAlloc(reinterpret_cast<void*>(static_cast<std::uintptr_t>(start)),
                     static_cast<SIZE_T>(end - start), MEM_RESERVE, PAGE_NOACCESS)) {
        return;
    }
    if (end - start <= kGranularity) {
        Refused(static_cast<std::uintptr_t>(start), static_cast<std::uintptr_t>(end));
        return;
    }
    const std::uint64_t middle = start + ((end - start) / 2 & ~(kGranularity - 1));
    Reserve(start, middle);
    Reserve(middle, end);
}

// Allocates blocks of every size class until the heap has given many in a row above 4 GB, over
// and over until no size gets one below any more. The blocks are kept for good, so that no later
// allocation can reuse their space. (How a heap picks a block is its own business: a single one
// above 4 GB does not show that none is left below.)
template <typename Allocate>
void UseUpLowBlocks(Allocate allocate) {
    for (bool tookLow = true; tookLow;) {
        tookLow = false;
        for (std::size_t size = kSmallestBlock; size <= kLargestBlock; size *= 2) {
            for (int highInARow = 0; highInARow < kHighInARow;) {
                void* block = allocate(size);
                if (block == nullptr) break;
                kept = block;  // kept for good: the compiler may not drop the allocation
                highInARow = Low(block) ? 0 : highInARow + 1;
                tookLow = tookLow || Low(block);
            }
        }
    }
}

// `remember`: what is in use now lay there before (the first pass, before anything of the
// program's own was made).
void ReserveFree(bool remember) {
    if (sizeof(void*) < 8) return;
    MEMORY_BASIC_INFORMATION region;
    for (auto at = reinterpret_cast<char*>(0x10000);
         Low(at) && VirtualQuery(at, &region, sizeof(region));
         at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State != MEM_FREE) {
            auto start = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
            if (remember) Remember(start, start + region.RegionSize);
            continue;
        }
        // Reservations start and end on the allocation granularity.
        std::uint64_t start = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
        std::uint64_t end = std::min<std::uint64_t>(start + region.RegionSize, kFourGigabytes);
        start = (start + kGranularity - 1) & ~(kGranularity - 1);
        end &= ~(kGranularity - 1);
        if (end > start) Reserve(start, end);
    }
    UseUpLowBlocks([](std::size_t size) { return std::malloc(size); });
    UseUpLowBlocks([](std::size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); });
}

}  // namespace

void ReserveLowAddressSpace() {
    ReserveFree(true);
}

void ReserveFreedLowAddressSpace() {
    ReserveFree(false);
}

bool WasRefused(const void* address) {
    auto at = reinterpret_cast<std::uintptr_t>(address);
    for (int i = 0; i < refusedCount; ++i) {
        if (at >= refused[i].start && at < refused[i].end) return true;
    }
    return refusedOverflowed;  // more pieces than are kept: the check cannot tell
}

bool LayBelowFourGigabytesBefore(const void* address) {
    auto at = reinterpret_cast<std::uintptr_t>(address);
    for (int i = 0; i < earlierCount; ++i) {
        if (at >= earlier[i].start && at < earlier[i].end) return true;
    }
    return false;
}

}  // namespace testsupport

namespace {

// Before any other static object of the program is made, so that as little as possible lies
// below 4 GB to be freed and given out again later.
struct ReserveFirst {
    ReserveFirst() { testsupport::ReserveLowAddressSpace(); }
} reserveFirst __attribute__((init_priority(101)));

}  // namespace
