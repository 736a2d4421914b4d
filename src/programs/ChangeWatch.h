#pragma once
// What tells the list's thread that its list may be out of date: a change notification on each
// Start menu folder (and its subfolders), and one on each App Paths key. Each handle is armed
// again once it has been seen; what cannot be watched is not.
#include <windows.h>

#include <vector>

namespace torvex::programs {

class ChangeWatch {
  public:
    ChangeWatch();
    ~ChangeWatch();
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    enum class Waited { kChanged, kQuiet, kStopped };
    // Until something changes, `stop` is set, or `milliseconds` pass; the thread's messages are
    // handled meanwhile, as its apartment asks.
    Waited Wait(HANDLE stop, DWORD milliseconds);
    bool WaitForChange(HANDLE stop, DWORD milliseconds) {
        return Wait(stop, milliseconds) == Waited::kChanged;
    }

  private:
    struct Key {
        HKEY key;
        HANDLE event;
    };
    bool Arm(const Key& key);
    std::vector<HANDLE> folders_;
    std::vector<Key> keys_;
};

}  // namespace torvex::programs
