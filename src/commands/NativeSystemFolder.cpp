#include "commands/NativeSystemFolder.h"

#include <windows.h>

#include "commands/SearchPath.h"

namespace torvex {
namespace {

struct Redirection {
    std::u16string system32, sysnative;  // empty when WOW64 does not redirect this process
};

std::wstring Wide(const std::u16string& text) {
    return {text.begin(), text.end()};
}

Redirection Find() {
    BOOL redirected = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &redirected) || !redirected) return {};
    wchar_t windows[MAX_PATH] = L"";
    UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::u16string root(windows, windows + length);
    if (root.back() != u'\\') root += u'\\';
    return {root + u"System32", root + u"Sysnative"};
}

const Redirection& TheRedirection() {
    static const Redirection redirection = Find();
    return redirection;
}

}  // namespace

std::u16string NativePath(const std::u16string& path) {
    const Redirection& redirection = TheRedirection();
    if (redirection.system32.empty()) return path;
    std::u16string moved = search::MovedFolder(path, redirection.system32, redirection.sysnative);
    if (moved.empty() || GetFileAttributesW(Wide(moved).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return path;
    }
    return moved;
}

}  // namespace torvex
