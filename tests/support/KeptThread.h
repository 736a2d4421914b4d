#pragma once
// Work that a test runs beside its own thread, on threads that this program starts once and never
// ends. Where 32-bit Wine runs under qemu's user-mode emulator, a thread that ends while a third
// one lives takes the process down now and then (a hang, a segmentation fault or "stack smashing
// detected", with nothing of the plug-in's loaded: Wine's own thread exit closes the thread's
// server pipes twice there). A thread that never ends cannot.
#include <functional>
#include <memory>

namespace testsupport {

class KeptThread {
  public:
    // Starts `work` on a kept thread that is free (a new one when none is).
    explicit KeptThread(std::function<void()> work);
    ~KeptThread() { Join(); }
    KeptThread(const KeptThread&) = delete;
    KeptThread& operator=(const KeptThread&) = delete;

    // Waits until the work has ended; the thread goes back to wait for more.
    void Join();
    bool Joinable() const { return keeper_ != nullptr; }

    struct Keeper;

  private:
    Keeper* keeper_;
    std::shared_ptr<bool> done_;
};

}  // namespace testsupport
