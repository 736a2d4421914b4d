#include "programs/AppPaths.h"

#include <windows.h>

#include <string>
#include <unordered_set>

#include "programs/Folding.h"

namespace torvex::programs {
namespace {

constexpr DWORD kKeyNameSize = 256;  // the longest name a registry key may have, and the NUL
const wchar_t kKeyPrefix[] = L"App Paths\\";

struct KeyCloser {
    HKEY key = nullptr;
    ~KeyCloser() {
        if (key != nullptr) RegCloseKey(key);
    }
};

// The key's default value, its variables expanded and its quotes taken off; empty when none.
std::wstring RegisteredPath(HKEY key) {
    DWORD bytes = 0;
    // REG_EXPAND_SZ too, expanded: RRF_RT_REG_EXPAND_SZ would ask for it unexpanded.
    const DWORD types = RRF_RT_REG_SZ;
    if (RegGetValueW(key, nullptr, nullptr, types, nullptr, nullptr, &bytes) != ERROR_SUCCESS ||
        bytes < sizeof(wchar_t) || bytes / sizeof(wchar_t) > kMostField) {
        return L"";
    }
    std::wstring path(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(key, nullptr, nullptr, types, nullptr, &path[0], &bytes) != ERROR_SUCCESS)
        return L"";
    path.resize(wcsnlen(path.c_str(), path.size()));
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        path = path.substr(1, path.size() - 2);
    return path;
}

void AddView(HKEY root, REGSAM view, std::unordered_set<std::u16string>& seen,
             std::vector<Listed>& list, const Going& going) {
    KeyCloser paths;
    if (RegOpenKeyExW(root, kAppPathsKey, 0, KEY_READ | view, &paths.key) != ERROR_SUCCESS) return;
    wchar_t name[kKeyNameSize];
    for (DWORD index = 0; list.size() < kMostEntries && going(); ++index) {
        DWORD size = kKeyNameSize;
        const LONG enumerated =
            RegEnumKeyExW(paths.key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (enumerated == ERROR_NO_MORE_ITEMS) break;
        if (enumerated != ERROR_SUCCESS) continue;
        KeyCloser program;
        if (RegOpenKeyExW(paths.key, name, 0, KEY_QUERY_VALUE | view, &program.key) !=
            ERROR_SUCCESS) {
            continue;
        }
        const std::wstring path = RegisteredPath(program.key);
        std::wstring shown(name, size);
        if (shown.size() > 4 && _wcsicmp(shown.c_str() + shown.size() - 4, L".exe") == 0)
            shown.resize(shown.size() - 4);
        Listed listed;
        listed.entry.name.assign(shown.begin(), shown.end());
        listed.entry.key = std::u16string(kKeyPrefix, kKeyPrefix + wcslen(kKeyPrefix)) +
                           Folded(std::u16string(name, name + size));
        listed.start.assign(path.begin(), path.end());
        if (path.empty() || shown.empty() || !seen.insert(listed.entry.key).second) continue;
        list.push_back(std::move(listed));
    }
}

}  // namespace

void AddAppPaths(std::vector<Listed>& list, const Going& going) {
    std::unordered_set<std::u16string> seen;
    AddView(HKEY_CURRENT_USER, 0, seen, list, going);
    // Both views: on 32-bit Windows the flags are ignored, and the same key is seen once.
    AddView(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, seen, list, going);
    AddView(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, seen, list, going);
}

}  // namespace torvex::programs
