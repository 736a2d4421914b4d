// The box is a multi-line Edit only for its formatting rectangle. One line high, the Edit class
// would refuse a multi-line paste whole, and where it took it the line would run with a break in
// it; a single-line Edit takes the text before the first break, and so does the box.
#include "window/Paste.h"

#include <cstring>

namespace torvex {
namespace {

constexpr std::size_t kPasteSize = 4096;  // as much as a line can hold, and the NUL

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

// The clipboard's text before its first break, at most kPasteSize - 1 characters; false when
// there is no text.
bool FirstClipboardLine(HWND window, char (&line)[kPasteSize]) {
    OpenedClipboard clipboard(window);
    if (!clipboard.open()) return false;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text == nullptr) return false;
    // Another program's data need not be terminated: never read past its block.
    std::size_t limit = GlobalSize(data);
    std::size_t length = 0;
    while (length < limit && length < kPasteSize - 1 && text[length] != '\0' &&
           text[length] != '\r' && text[length] != '\n') {
        ++length;
    }
    std::memcpy(line, text, length);
    line[length] = '\0';
    GlobalUnlock(data);
    return true;
}

}  // namespace

void PasteFirstLine(HWND window) {
    char line[kPasteSize];
    if (!FirstClipboardLine(window, line)) return;
    SendMessageA(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line));
}

}  // namespace torvex
