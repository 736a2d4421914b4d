#include "tests/support/DialogCloser.h"

namespace testsupport {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

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

DialogCloser::DialogCloser()
    : thread_(GetCurrentThreadId()), watcher_(&DialogCloser::Watch, this) {}

DialogCloser::~DialogCloser() {
    stop_ = true;
    watcher_.join();
}

std::vector<SeenDialog> DialogCloser::Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void DialogCloser::Watch() {
    HWND lastClosed = nullptr;
    while (!stop_) {
        Search search;
        EnumThreadWindows(thread_, FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr && search.found != lastClosed) {
            char caption[256] = "", text[1024] = "";
            GetWindowTextA(search.found, caption, sizeof(caption));
            GetDlgItemTextA(search.found, kMessageBoxTextId, text, sizeof(text));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back({caption, text});
            }
            PostMessageA(search.found, WM_COMMAND, IDOK, 0);
            lastClosed = search.found;
        }
        Sleep(20);
    }
}

}  // namespace testsupport
