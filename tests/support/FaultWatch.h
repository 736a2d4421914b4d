#pragma once
// Counts the access violations raised in this process while it lives, also those that something
// further up swallows: Wine, like Windows, swallows a fault inside some window procedure calls,
// so that a test would see nothing of a null pointer or freed memory read while painting.
#include <windows.h>

#include <atomic>

namespace testsupport {

class FaultWatch {
  public:
    FaultWatch() : handler_(AddVectoredExceptionHandler(1, &FaultWatch::Seen)) { faults = 0; }
    ~FaultWatch() { RemoveVectoredExceptionHandler(handler_); }
    FaultWatch(const FaultWatch&) = delete;
    FaultWatch& operator=(const FaultWatch&) = delete;

    int Faults() const { return faults; }

  private:
    static LONG CALLBACK Seen(EXCEPTION_POINTERS* exception) {
        if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) ++faults;
        return EXCEPTION_CONTINUE_SEARCH;
    }

    static inline std::atomic<int> faults{0};
    void* handler_;
};

}  // namespace testsupport
