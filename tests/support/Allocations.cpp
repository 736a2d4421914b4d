#include "tests/support/Allocations.h"

#include <cstdlib>
#include <new>

#include "host/StyleTexture.h"

namespace {

int liveTextures = 0;
std::size_t largest = 0;
DWORD failingThread = 0;
int allocationsToFailure = 0;  // 0: none armed
int exempt = 0;
bool failed = false;

bool FailsNow() {
    if (allocationsToFailure == 0 || exempt > 0 || GetCurrentThreadId() != failingThread) {
        return false;
    }
    if (--allocationsToFailure > 0) return false;
    failed = true;
    return true;
}

}  // namespace

void* operator new(std::size_t size) {
    if (FailsNow()) throw std::bad_alloc();
    if (size == sizeof(StyleTexture)) ++liveTextures;
    if (size > largest) largest = size;
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t size) noexcept {
    if (block != nullptr && size == sizeof(StyleTexture)) --liveTextures;
    std::free(block);
}

namespace testsupport {

int LiveTextures() {
    return liveTextures;
}

std::size_t LargestAllocation() {
    return largest;
}

void ForgetLargestAllocation() {
    largest = 0;
}

void FailAllocation(int nth) {
    failingThread = GetCurrentThreadId();
    allocationsToFailure = nth;
    failed = false;
}

void StopFailingAllocations() {
    allocationsToFailure = 0;
}

bool AllocationFailed() {
    return failed;
}

AllocationsExempt::AllocationsExempt() {
    ++exempt;
}

AllocationsExempt::~AllocationsExempt() {
    --exempt;
}

}  // namespace testsupport
