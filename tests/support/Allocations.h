#pragma once
// The program's own operator new: counts the plug-in's texture records, keeps the largest block,
// and can make one chosen allocation of the testing thread fail, as memory running out would.
#include <windows.h>

#include <cstddef>

namespace testsupport {

// Blocks of sizeof(StyleTexture) made with plain new and not yet deleted.
int LiveTextures();

// The largest block allocated since the last call to ForgetLargestAllocation.
std::size_t LargestAllocation();
void ForgetLargestAllocation();

// The `nth` allocation from now on this thread throws std::bad_alloc; the others succeed.
void FailAllocation(int nth);
void StopFailingAllocations();
bool AllocationFailed();  // the chosen allocation came, and failed

// What stands for the shell or the test (the message recorder): its allocations never fail.
class AllocationsExempt {
  public:
    AllocationsExempt();
    ~AllocationsExempt();
    AllocationsExempt(const AllocationsExempt&) = delete;
    AllocationsExempt& operator=(const AllocationsExempt&) = delete;
};

}  // namespace testsupport
