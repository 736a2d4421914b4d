#include "tests/support/ModalDriver.h"

#include "tests/support/Text.h"

namespace testsupport {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr DWORD kTickMs = 20;

struct Search {
    HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    reinterpret_cast<Search*>(lParam)->found = window;
    return FALSE;
}

}  // namespace

ModalDriver::ModalDriver(std::initializer_list<WPARAM> menuKeys)
    : thread_(GetCurrentThreadId()), menuKeys_(menuKeys), watcher_([this] { Watch(); }) {}

ModalDriver::~ModalDriver() {
    stop_ = true;
    watcher_.Join();
}

std::vector<SeenDialog> ModalDriver::Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void ModalDriver::Watch() {
    HWND lastClosed = nullptr;
    for (DWORD waited = 0; !stop_; waited += kTickMs) {
        Search search;
        EnumThreadWindows(thread_, FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr && search.found != lastClosed) {
            wchar_t caption[256] = L"", text[1024] = L"";
            GetWindowTextW(search.found, caption, 256);
            GetDlgItemTextW(search.found, kMessageBoxTextId, text, 1024);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back({Utf8(caption), Utf8(text)});
            }
            PostMessageA(search.found, WM_COMMAND, IDOK, 0);
            lastClosed = search.found;
        }
        HWND popup = FindWindowA("#32768", nullptr);
        if (popup != nullptr && IsWindowVisible(popup) && waited % 100 == 0) {
            for (WPARAM key : menuKeys_) PostMessageA(popup, WM_KEYDOWN, key, 0);
        }
        Sleep(kTickMs);
    }
}

}  // namespace testsupport
