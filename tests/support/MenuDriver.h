#pragma once
// Works the popup menu that this thread shows modally, with keys posted from a thread of its
// own: every 100 ms while a menu is visible, until stopped.
#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <thread>
#include <vector>

namespace testsupport {

class MenuDriver {
  public:
    explicit MenuDriver(std::initializer_list<WPARAM> keys) : keys_(keys) {
        thread_ = std::thread([this] { Drive(); });
    }
    ~MenuDriver() {
        stop_ = true;
        thread_.join();
    }
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

  private:
    void Drive() {
        for (int tick = 0; !stop_ && tick < 600; ++tick) {
            HWND popup = FindWindowA("#32768", nullptr);
            if (popup != nullptr && IsWindowVisible(popup)) {
                for (WPARAM key : keys_) PostMessageA(popup, WM_KEYDOWN, key, 0);
            }
            Sleep(100);
        }
    }

    std::vector<WPARAM> keys_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace testsupport
