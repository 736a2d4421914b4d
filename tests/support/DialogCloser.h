#pragma once
// Closes the message boxes that the code under test opens on this thread, and remembers what
// each one said. It watches from a thread of its own while the box's modal loop runs.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct SeenDialog {
    std::string caption;
    std::string text;
};

class DialogCloser {
  public:
    DialogCloser();
    ~DialogCloser();
    std::vector<SeenDialog> Seen();

  private:
    void Watch();

    DWORD thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenDialog> seen_;
    std::thread watcher_;
};

}  // namespace testsupport
