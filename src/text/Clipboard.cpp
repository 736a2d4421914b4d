#include "text/Clipboard.h"

#include <cstring>

namespace torvex {
namespace {

class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool open() const { return open_; }

  private:
    bool open_;
};

}  // namespace

bool FirstClipboardLine(HWND window, std::size_t most, std::wstring& line) {
    OpenedClipboard clipboard(window);
    if (!clipboard.open()) return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (text == nullptr) return false;
    // Another program's data need not be terminated: never read past its block.
    std::size_t limit = GlobalSize(data) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < limit && length < most && text[length] != L'\0' && text[length] != L'\r' &&
           text[length] != L'\n') {
        ++length;
    }
    line.assign(text, length);
    GlobalUnlock(data);
    return true;
}

bool CopyToClipboard(HWND window, const std::wstring& text) {
    OpenedClipboard clipboard(window);
    if (!clipboard.open() || !EmptyClipboard()) return false;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (data == nullptr) return false;
    if (void* locked = GlobalLock(data)) {
        std::memcpy(locked, text.c_str(), bytes);
        GlobalUnlock(data);
        if (SetClipboardData(CF_UNICODETEXT, data) != nullptr) return true;  // the system's now
    }
    GlobalFree(data);
    return false;
}

}  // namespace torvex
