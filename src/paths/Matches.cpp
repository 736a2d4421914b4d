#include "paths/Matches.h"

#include "paths/CommandWord.h"

#include <windows.h>

#include <algorithm>

#include "paths/NativeSystemFolder.h"
#include "paths/SearchPath.h"
#include "text/CodePage.h"

namespace torvex {
namespace {

constexpr DWORD kValueSize = 32768;  // the most an environment variable holds
const wchar_t kAppPaths[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr DWORD kKeyNameSize = 256;  // the longest name a registry key may have, and the NUL

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Names are compared with case folded to lower case, in any script, as Tab always sorted them.
// Equal units are skipped first: matches in a folder share its whole path, and folding that at
// every comparison took more time than sorting tens of thousands of names.
wchar_t Folded(wchar_t c) {
    if (c < 0x80) return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
        CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

int CompareIgnoringCase(const std::wstring& a, std::size_t aLength, const std::wstring& b,
                        std::size_t bLength) {
    std::size_t i = 0;
    const std::size_t shorter = std::min(aLength, bLength);
    while (i < shorter && a[i] == b[i]) ++i;
    for (; i < shorter; ++i) {
        wchar_t x = Folded(a[i]), y = Folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return aLength == bLength ? 0 : aLength < bLength ? -1 : 1;
}

bool StartsWithIgnoringCase(const std::wstring& name, const std::wstring& prefix) {
    return name.size() >= prefix.size() &&
           CompareIgnoringCase(name, prefix.size(), prefix, prefix.size()) == 0;
}

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareIgnoringCase(a, a.size(), b, b.size()) < 0;
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareIgnoringCase(a, a.size(), b, b.size()) == 0;
}

std::wstring Variable(const wchar_t* name) {
    std::wstring value(kValueSize, L'\0');
    DWORD length = GetEnvironmentVariableW(name, &value[0], kValueSize);
    value.resize(length < kValueSize ? length : 0);
    return value;
}

std::wstring Expanded(const std::wstring& text) {
    std::wstring expanded(kValueSize, L'\0');
    DWORD length = ExpandEnvironmentStringsW(text.c_str(), &expanded[0], kValueSize);
    if (length == 0 || length > kValueSize) return text;
    expanded.resize(wcsnlen(expanded.c_str(), kValueSize));
    return expanded;
}

std::wstring WithSeparator(std::wstring folder) {
    if (!folder.empty() && !IsSeparator(folder.back())) folder += L'\\';
    return folder;
}

// Closes a folder listing or a registry key however the function that opened it is left: a
// failed allocation while it is open must not leak it.
template <typename Handle, auto Close>
struct Closing {
    Handle handle;
    ~Closing() { Close(handle); }
};

// The entries of `folder` whose names begin with `prefix` (the pattern also meets short 8.3
// names, so the long name is checked again), folders with a trailing backslash.
template <typename Take>
void ListFolder(const std::wstring& folder, const std::wstring& prefix, Take take) {
    WIN32_FIND_DATAW entry;
    std::wstring pattern = WithSeparator(folder) + prefix + L"*";
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return;
    Closing<HANDLE, FindClose> closing{find};
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L".." || !StartsWithIgnoringCase(name, prefix)) continue;
        take(name, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileW(find, &entry));
}

void AddPaths(const std::wstring& word, std::vector<std::wstring>& found) {
    std::size_t cut = word.find_last_of(L"\\/") + 1;  // 0 when there is no separator
    std::wstring folder = word.substr(0, cut), prefix = word.substr(cut);
    // Variables in the folder part are looked up but written back as typed; one in the name
    // part cannot be kept apart from what follows it, so that word is written out expanded.
    std::wstring shown = folder;
    if (prefix.find(L'%') != std::wstring::npos) {
        std::wstring expanded = Expanded(word);
        cut = expanded.find_last_of(L"\\/") + 1;
        shown = folder = expanded.substr(0, cut);
        prefix = expanded.substr(cut);
    }
    std::wstring lookup = Expanded(folder);
    if (!words::IsAbsolute(ToU16(lookup))) {
        std::wstring profile = Variable(L"USERPROFILE");
        if (profile.empty()) return;
        lookup = WithSeparator(profile) + lookup;
    }
    lookup = ToWide(NativePath(ToU16(lookup)));  // System32 as the system's own programs see it
    ListFolder(lookup, prefix, [&](const std::wstring& name, bool isFolder) {
        found.push_back(shown + name + (isFolder ? L"\\" : L""));
    });
}

bool IsProgramExtension(const std::wstring& name, const std::vector<std::u16string>& extensions) {
    std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    std::wstring extension = name.substr(dot);
    for (const std::u16string& known : extensions) {
        if (SameIgnoringCase(ToWide(known), extension)) return true;
    }
    return false;
}

void AddPathPrograms(const std::wstring& prefix, std::vector<std::wstring>& found) {
    std::wstring extensionList = Variable(L"PATHEXT");
    if (extensionList.empty()) extensionList = L".COM;.EXE;.BAT;.CMD";
    const std::vector<std::u16string> extensions = search::Entries(ToU16(extensionList));
    for (const std::u16string& folder : search::Entries(ToU16(Variable(L"PATH")))) {
        std::wstring lookup = ToWide(NativePath(ToU16(Expanded(ToWide(folder)))));
        ListFolder(lookup, prefix, [&](const std::wstring& name, bool isFolder) {
            if (!isFolder && IsProgramExtension(name, extensions)) found.push_back(name);
        });
    }
}

// `view`: 0 for this process's own view of the registry, or KEY_WOW64_64KEY.
void AddAppPaths(HKEY root, REGSAM view, const std::wstring& prefix,
                 std::vector<std::wstring>& found) {
    HKEY key;
    if (RegOpenKeyExW(root, kAppPaths, 0, KEY_ENUMERATE_SUB_KEYS | view, &key) != ERROR_SUCCESS) {
        return;
    }
    Closing<HKEY, RegCloseKey> closing{key};
    wchar_t name[kKeyNameSize];
    for (DWORD index = 0;; ++index) {
        DWORD size = kKeyNameSize;
        if (RegEnumKeyExW(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        if (StartsWithIgnoringCase(name, prefix)) found.push_back(name);
    }
}

// The environment's variables whose names begin with `prefix`, each as "%NAME%" after `before`.
void AddVariables(const std::wstring& before, const std::wstring& prefix,
                  std::vector<std::wstring>& found) {
    wchar_t* block = GetEnvironmentStringsW();
    if (block == nullptr) return;
    Closing<wchar_t*, FreeEnvironmentStringsW> closing{block};
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
        std::wstring name(entry, wcscspn(entry + 1, L"=") + 1);  // "=C:" names no variable
        if (name[0] != L'=' && StartsWithIgnoringCase(name, prefix)) {
            found.push_back(before + L"%" + name + L"%");
        }
    }
}

// The position of the "%" that begins a variable's name at the word's end, a name begun after
// it; npos when none does ("50%" is a number).
std::size_t OpenVariable(const std::wstring& word) {
    std::size_t open = std::wstring::npos;
    for (std::size_t at = word.find(L'%'); at != std::wstring::npos; at = word.find(L'%', at + 1)) {
        open = open == std::wstring::npos ? at : std::wstring::npos;
    }
    return open + 1 < word.size() ? open : std::wstring::npos;
}

}  // namespace

std::u16string ExpandedVariables(const std::u16string& text) {
    return ToU16(Expanded(ToWide(text)));
}

std::vector<std::u16string> CompletionsOf(const std::u16string& typed, bool firstWord,
                                          const std::vector<std::u16string>& aliasNames) {
    std::vector<std::wstring> found;
    if (typed.empty()) return {};
    std::wstring word = ToWide(typed);
    std::size_t variable = OpenVariable(word);
    if (variable != std::wstring::npos) {
        AddVariables(word.substr(0, variable), word.substr(variable + 1), found);
    } else {
        AddPaths(word, found);
        if (firstWord && word.find_first_of(L"\\/") == std::wstring::npos) {
            AddPathPrograms(word, found);
            AddAppPaths(HKEY_CURRENT_USER, 0, word, found);
            AddAppPaths(HKEY_LOCAL_MACHINE, 0, word, found);
            // A 32-bit process reads WOW6432Node there; what 64-bit installers registered (and
            // the Run dialog offers) is in the 64-bit view. The same name twice is kept once.
            if (!TheRedirection().system32.empty()) {
                AddAppPaths(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, word, found);
            }
        }
    }
    std::stable_sort(found.begin(), found.end(), LessIgnoringCase);
    found.erase(std::unique(found.begin(), found.end(), SameIgnoringCase), found.end());
    // Aliases come first; a program of the same name after them.
    std::vector<std::u16string> names = firstWord ? aliasNames : std::vector<std::u16string>();
    for (const std::wstring& name : found) names.push_back(ToU16(name));
    return names;
}

}  // namespace torvex
