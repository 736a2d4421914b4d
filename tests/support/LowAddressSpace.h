#pragma once
// For the 64-bit lane: takes all the address space below 4 GB that is still free, and uses up
// what the heaps already hold there, so that everything allocated afterwards (heap blocks, DLLs
// loaded, windows' memory) lands above it. A pointer cut to 32 bits then points at nothing and
// fails loudly, instead of working by luck.
#include <cstdint>

namespace testsupport {

constexpr std::uint64_t kFourGigabytes = 0x100000000ULL;

void ReserveLowAddressSpace();

// Takes again what has been freed below 4 GB since (a thread's stack, the loader's own memory,
// heap blocks made before the reservation): nothing placed later can land there either.
void ReserveFreedLowAddressSpace();

// Whether `address` lay in memory already in use below 4 GB when the space was reserved: a cut
// pointer may land there by chance.
bool LayBelowFourGigabytesBefore(const void* address);

// Whether the system refused to let `address` be reserved although it reported it free.
bool WasRefused(const void* address);

}  // namespace testsupport
