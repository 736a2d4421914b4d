#include "paths/NativeSystemFolder.h"

#include <windows.h>

namespace torvex {
namespace {

std::wstring Wide(const std::u16string& text) {
    return {text.begin(), text.end()};
}

search::Redirection Find() {
    BOOL redirected = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &redirected) || !redirected) return {};
    wchar_t windows[MAX_PATH] = L"";
    UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::u16string root(windows, windows + length);
    if (root.back() != u'\\') root += u'\\';
    return {root + u"System32", root + u"Sysnative"};
}

}  // namespace

const search::Redirection& TheRedirection() {
    static const search::Redirection redirection = Find();
    return redirection;
}

std::u16string NativePath(const std::u16string& path) {
    const search::Redirection& redirection = TheRedirection();
    if (redirection.system32.empty()) return path;
    std::u16string moved = search::MovedFolder(path, redirection.system32, redirection.sysnative);
    if (moved.empty() || GetFileAttributesW(Wide(moved).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return path;
    }
    return moved;
}

}  // namespace torvex
