// The box is a multi-line Edit only for its formatting rectangle. One line high, the Edit class
// would refuse a multi-line paste whole, and where it took it the line would run with a break in
// it; a single-line Edit takes the text before the first break, and so does the box.
#include "window/Paste.h"

#include <cstring>
#include <string>

#include "text/Utf.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

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

// The clipboard's text before its first break, at most one unit more than a line; false when
// there is no text. The system gives text that another program put there in any form as UTF-16.
bool FirstClipboardLine(HWND window, std::wstring& line) {
    OpenedClipboard clipboard(window);
    if (!clipboard.open()) return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (text == nullptr) return false;
    // Another program's data need not be terminated: never read past its block. One unit past a
    // line's length is read, so that the cut to the line can tell a pair standing at the limit.
    std::size_t limit = GlobalSize(data) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < limit && length <= static_cast<std::size_t>(kMaxLineLength) &&
           text[length] != L'\0' && text[length] != L'\r' && text[length] != L'\n') {
        ++length;
    }
    line.assign(text, length);
    GlobalUnlock(data);
    return true;
}

}  // namespace

void PasteFirstLine(HWND window) {
    std::wstring line;
    if (!FirstClipboardLine(window, line)) return;
    // As much as the line has room for, and never half of a character.
    DWORD start = 0, end = 0;
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    int kept = GetWindowTextLengthW(window) - static_cast<int>(end - start);
    std::size_t room = kept < kMaxLineLength ? kMaxLineLength - kept : 0;
    line.resize(utf::CutLength(ToU16(line), room));
    SendMessageW(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
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
