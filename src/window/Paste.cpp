// The box is a multi-line Edit only for its formatting rectangle. One line high, the Edit class
// would refuse a multi-line paste whole, and where it took it the line would run with a break in
// it; a single-line Edit takes the text before the first break, and so does the box.
#include "window/Paste.h"

#include <string>

#include "text/Clipboard.h"
#include "text/Utf.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace torvex {

void PasteFirstLine(HWND window) {
    // One unit past a line's length is read, so that the cut to the line can tell a pair
    // standing at the limit.
    std::wstring line;
    if (!FirstClipboardLine(window, kMaxLineLength + 1, line)) return;
    // As much as the line has room for, and never half of a character.
    DWORD start = 0, end = 0;
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    int kept = GetWindowTextLengthW(window) - static_cast<int>(end - start);
    std::size_t room = kept < kMaxLineLength ? kMaxLineLength - kept : 0;
    line.resize(utf::CutLength(ToU16(line), room));
    SendMessageW(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
}

}  // namespace torvex
