#include "commands/Matches.h"

#include "commands/CommandWord.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace torvex {
namespace {

constexpr DWORD kValueSize = 32768;  // the most an environment variable holds
const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Names are compared by their letters with case folded, as the file system matches them. Equal
// bytes are skipped first: matches in a folder share its whole path, and folding that at every
// comparison took more time than sorting tens of thousands of names.
int CompareIgnoringCase(const char* a, const char* b, std::size_t length) {
    std::size_t i = 0;
    while (i < length && a[i] == b[i] && a[i] != 0) ++i;
    for (; i < length; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y || x == 0) return x - y;
    }
    return 0;
}

bool StartsWithIgnoringCase(const std::string& name, const std::string& prefix) {
    return name.size() >= prefix.size() &&
           CompareIgnoringCase(name.data(), prefix.data(), prefix.size()) == 0;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return CompareIgnoringCase(a.c_str(), b.c_str(), std::min(a.size(), b.size()) + 1) < 0;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareIgnoringCase(a.data(), b.data(), a.size()) == 0;
}

std::string Variable(const char* name) {
    std::string value(kValueSize, '\0');
    DWORD length = GetEnvironmentVariableA(name, &value[0], kValueSize);
    value.resize(length < kValueSize ? length : 0);
    return value;
}

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && !IsSeparator(folder.back())) folder += '\\';
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
void ListFolder(const std::string& folder, const std::string& prefix, Take take) {
    WIN32_FIND_DATAA entry;
    std::string pattern = WithSeparator(folder) + prefix + "*";
    HANDLE find = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return;
    Closing<HANDLE, FindClose> closing{find};
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == ".." || !StartsWithIgnoringCase(name, prefix)) continue;
        take(name, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(find, &entry));
}

void AddPaths(const std::string& word, std::vector<std::string>& found) {
    std::size_t cut = word.find_last_of("\\/") + 1;  // 0 when there is no separator
    std::string folder = word.substr(0, cut), prefix = word.substr(cut);
    // Variables in the folder part are looked up but written back as typed; one in the name
    // part cannot be kept apart from what follows it, so that word is written out expanded.
    std::string shown = folder;
    if (prefix.find('%') != std::string::npos) {
        std::string expanded = ExpandedVariables(word);
        cut = expanded.find_last_of("\\/") + 1;
        shown = folder = expanded.substr(0, cut);
        prefix = expanded.substr(cut);
    }
    std::string lookup = ExpandedVariables(folder);
    if (!words::IsAbsolute(lookup)) {
        std::string profile = Variable("USERPROFILE");
        if (profile.empty()) return;
        lookup = WithSeparator(profile) + lookup;
    }
    ListFolder(lookup, prefix, [&](const std::string& name, bool isFolder) {
        found.push_back(shown + name + (isFolder ? "\\" : ""));
    });
}

bool IsProgramExtension(const std::string& name, const std::string& extensions) {
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    std::string extension = name.substr(dot);
    for (std::size_t start = 0; start <= extensions.size();) {
        std::size_t end = std::min(extensions.find(';', start), extensions.size());
        if (SameIgnoringCase(extensions.substr(start, end - start), extension)) return true;
        start = end + 1;
    }
    return false;
}

void AddPathPrograms(const std::string& prefix, std::vector<std::string>& found) {
    std::string path = Variable("PATH");
    std::string extensions = Variable("PATHEXT");
    if (extensions.empty()) extensions = ".COM;.EXE;.BAT;.CMD";
    for (std::size_t start = 0; start < path.size();) {
        std::size_t end = std::min(path.find(';', start), path.size());
        std::string folder = path.substr(start, end - start);
        folder.erase(std::remove(folder.begin(), folder.end(), '"'), folder.end());
        if (!folder.empty()) {
            ListFolder(ExpandedVariables(folder), prefix,
                       [&](const std::string& name, bool isFolder) {
                           if (!isFolder && IsProgramExtension(name, extensions))
                               found.push_back(name);
                       });
        }
        start = end + 1;
    }
}

void AddAppPaths(HKEY root, const std::string& prefix, std::vector<std::string>& found) {
    HKEY key;
    if (RegOpenKeyExA(root, kAppPaths, 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS) return;
    Closing<HKEY, RegCloseKey> closing{key};
    char name[MAX_PATH];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof(name);
        if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        if (StartsWithIgnoringCase(name, prefix)) found.push_back(name);
    }
}

}  // namespace

std::string ExpandedVariables(const std::string& text) {
    std::string expanded(kValueSize, '\0');
    DWORD length = ExpandEnvironmentStringsA(text.c_str(), &expanded[0], kValueSize);
    if (length == 0 || length > kValueSize) return text;
    // The count may be more than was written (for a double-byte code page, the documentation
    // warns); the text ends at its NUL.
    expanded.resize(std::strlen(expanded.c_str()));
    return expanded;
}

std::vector<std::string> CompletionsOf(const std::string& word, bool firstWord) {
    std::vector<std::string> found;
    if (word.empty()) return found;
    AddPaths(word, found);
    if (firstWord && word.find_first_of("\\/") == std::string::npos) {
        AddPathPrograms(word, found);
        AddAppPaths(HKEY_CURRENT_USER, word, found);
        AddAppPaths(HKEY_LOCAL_MACHINE, word, found);
    }
    std::stable_sort(found.begin(), found.end(), LessIgnoringCase);
    found.erase(std::unique(found.begin(), found.end(), SameIgnoringCase), found.end());
    return found;
}

}  // namespace torvex
