#include "paths/RunsToday.h"

#include <windows.h>

#include <vector>

#include "paths/Matches.h"
#include "paths/NativeSystemFolder.h"
#include "paths/SearchPath.h"
#include "text/CodePage.h"

namespace torvex::search {
namespace {

const wchar_t kAppPaths[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

std::u16string Variable(const wchar_t* name) {
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return u"";
    std::wstring value(needed, L'\0');
    value.resize(GetEnvironmentVariableW(name, &value[0], needed) < needed
                     ? wcsnlen(value.c_str(), needed)
                     : 0);
    return ToU16(value);
}

bool Exists(const std::u16string& path) {
    return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsPlainFile(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Registered(const std::u16string& name) {
    const struct {
        HKEY root;
        REGSAM view;
    } places[] = {{HKEY_CURRENT_USER, 0},
                  {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                  {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}};
    for (const std::u16string& key : {name, name + u".exe"}) {
        const std::wstring path = kAppPaths + ToWide(key);
        for (const auto& place : places) {
            HKEY opened = nullptr;
            if (RegOpenKeyExW(place.root, path.c_str(), 0, KEY_QUERY_VALUE | place.view, &opened) ==
                ERROR_SUCCESS) {
                RegCloseKey(opened);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool RunsAsItIs(const std::u16string& word) {
    if (word.empty() || !IsBareName(word)) return true;
    std::u16string profile = Variable(L"USERPROFILE");
    if (!profile.empty() && profile.back() != u'\\') profile += u'\\';
    if (!profile.empty() && Exists(profile + word)) return true;
    std::u16string extensions = Variable(L"PATHEXT");
    if (extensions.empty()) extensions = u".COM;.EXE;.BAT;.CMD";
    extensions += u";.LNK;.PIF";  // which ShellExecuteEx finds by a bare name too
    // The system's folders, where ShellExecuteEx looks whatever PATH says, then PATH's.
    std::vector<std::u16string> folders;
    wchar_t system[MAX_PATH] = L"";
    if (GetSystemDirectoryW(system, MAX_PATH) - 1u < MAX_PATH - 1u)
        folders.push_back(NativePath(ToU16(system)));
    if (GetWindowsDirectoryW(system, MAX_PATH) - 1u < MAX_PATH - 1u)
        folders.push_back(ToU16(system));
    for (const std::u16string& folder : Entries(Variable(L"PATH"))) {
        folders.push_back(NativePath(torvex::ExpandedVariables(folder)));
    }
    if (!FindProgram(word, folders, Entries(extensions), IsPlainFile).empty()) return true;
    return Registered(word);
}

}  // namespace torvex::search
