// The 64-bit lane's guard against pointers kept in 32 bits: nothing new is placed below 4 GB, so
// a pointer cut to 32 bits points at memory that cannot be read. (Nothing to show when 32-bit.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "plugin/TorvexPlugin.h"
#include "tests/support/LowAddressSpace.h"

namespace {

// A planted truncation, as a pointer kept in a DWORD would suffer.
const void* ThroughThirtyTwoBits(const void* pointer) {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer))));
}

TEST(AddressSpace, APointerCutToThirtyTwoBitsReadsNothing) {
    if (sizeof(void*) < 8) GTEST_SKIP() << "the 32-bit lane has no pointer to cut";
    // Where a cut pointer lands is chance; that no free space is left below 4 GB for anything to
    // be placed in is not: what is free is only what the system refused to give. What earlier
    // tests freed there (a thread's stack, memory held before the reservation) is taken first.
    testsupport::ReserveFreedLowAddressSpace();
    MEMORY_BASIC_INFORMATION region;
    for (auto at = reinterpret_cast<char*>(0x10000);
         reinterpret_cast<std::uintptr_t>(at) < testsupport::kFourGigabytes &&
         VirtualQuery(at, &region, sizeof(region));
         at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State != MEM_FREE) continue;
        const std::uint64_t start = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
        const std::uint64_t granule = 64 * 1024,
                            end = std::min<std::uint64_t>(start + region.RegionSize,
                                                          testsupport::kFourGigabytes);
        for (std::uint64_t whole = (start + granule - 1) & ~(granule - 1); whole + granule <= end;
             whole += granule) {
            const auto address = reinterpret_cast<void*>(static_cast<std::uintptr_t>(whole));
            if (testsupport::WasRefused(address)) continue;
            ADD_FAILURE() << region.BaseAddress << " and " << region.RegionSize
                          << " bytes are free";
            break;
        }
    }
    auto block = std::make_unique<char[]>(64);
    auto plugin = std::make_unique<TorvexPlugin>(GetModuleHandleA(nullptr), nullptr);
    HMODULE dll = LoadLibraryA("torvex.dll");
    HWND window = CreateWindowExA(0, "Edit", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(block.get()));
    // The heap, the plug-in's instance, a DLL and its buffers.
    for (const void* pointer :
         {static_cast<const void*>(block.get()), static_cast<const void*>(plugin.get()),
          static_cast<const void*>(dll)}) {
        EXPECT_GE(reinterpret_cast<std::uintptr_t>(pointer), testsupport::kFourGigabytes);
        const void* cut = ThroughThirtyTwoBits(pointer);
        EXPECT_TRUE(IsBadReadPtr(cut, 1) || testsupport::LayBelowFourGigabytesBefore(cut))
            << pointer;
    }
    EXPECT_EQ(reinterpret_cast<char*>(GetWindowLongPtrA(window, GWLP_USERDATA)), block.get())
        << "window data keeps all of a pointer";
    DestroyWindow(window);
    FreeLibrary(dll);
    delete plugin->toolbarTexture;
    delete plugin->labelTexture;
}

}  // namespace
