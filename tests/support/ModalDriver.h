#pragma once
// Works the modal loops that the code under test opens on this thread, from a thread of its own:
// closes each message box, remembering what it said, and posts the given keys to a popup menu.
#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/KeptThread.h"

namespace testsupport {

struct SeenDialog {  // in UTF-8
    std::string caption;
    std::string text;
};

class ModalDriver {
  public:
    explicit ModalDriver(std::initializer_list<WPARAM> menuKeys = {});
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    std::vector<SeenDialog> Seen();

  private:
    void Watch();

    DWORD thread_;
    std::vector<WPARAM> menuKeys_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenDialog> seen_;
    KeptThread watcher_;
};

}  // namespace testsupport
