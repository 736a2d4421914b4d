#include "history/HistoryLocation.h"

#include <windows.h>

#include "text/WholeFile.h"

namespace torvex {
namespace {

const wchar_t kFileName[] = L"history.txt";
const wchar_t kFallbackFolder[] = L"Torvex";
constexpr DWORD kValueSize = 32768;  // the most an environment variable holds

std::wstring Variable(const wchar_t* name) {
    std::wstring value(kValueSize, L'\0');
    DWORD length = GetEnvironmentVariableW(name, &value[0], kValueSize);
    value.resize(length < kValueSize ? length : 0);
    return value;
}

bool IsFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// What the appender will meet: lines can be appended to `path`, or it can be made where it is
// missing (a file made only to find out is removed again); access to it is refused; or it cannot
// be had for now. A read-only file cannot be appended to, whoever asks: Windows refuses it even
// when the file system would not (as under Wine run as root).
enum class Writable { kYes, kNotNow, kRefused };
Writable CanBeWritten(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Writable::kRefused;
    }
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_ACCESS_DENIED ? Writable::kRefused : Writable::kNotNow;
    }
    const bool made = GetLastError() != ERROR_ALREADY_EXISTS;
    CloseHandle(file);
    if (made) DeleteFileW(path.c_str());
    return Writable::kYes;
}

// Whether reading `path` is refused for good, as against failing for now.
bool ReadingRefused(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_ACCESS_DENIED;
}

// The fallback with its folder: a copy of `lines` (the bytes of the history beside the plug-in),
// put in place in one move, so that a crash leaves it whole or not there at all; the use counts
// beside the plug-in move along, as far as they can be read.
bool MakeFallback(const std::wstring& folder, const std::wstring& file, const std::string& lines,
                  const std::wstring& countsBeside) {
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    std::string counts;
    const bool copied = !countsBeside.empty() && IsFile(countsBeside) &&
                        files::ReadWhole(countsBeside, counts) &&
                        files::ReplaceWhole(folder + L"\\" + kCountsFileName, counts);
    if (!files::ReplaceWhole(file, lines)) return false;
    if (copied) DeleteFileW(countsBeside.c_str());  // else only the ranking is lost
    return true;
}

std::wstring FallbackFolder() {
    std::wstring appData = Variable(L"APPDATA");
    if (!appData.empty() && appData.back() != L'\\') appData += L'\\';
    return appData.empty() ? L"" : appData + kFallbackFolder;
}

}  // namespace

std::vector<std::wstring> HistoryFolders(const std::wstring& pluginFolder) {
    std::vector<std::wstring> folders;
    if (!pluginFolder.empty()) folders.push_back(pluginFolder);
    if (!FallbackFolder().empty()) folders.push_back(FallbackFolder() + L"\\");
    return folders;
}

std::wstring ChooseHistoryFile(const std::wstring& pluginFolder, std::size_t longest,
                               bool virtualized) {
    const std::wstring folder = FallbackFolder();
    std::wstring fallback = folder.empty() ? L"" : folder + L"\\" + kFileName;
    if (fallback.size() > longest) fallback.clear();  // never made where it could not be used
    if (!fallback.empty() && IsFile(fallback)) return fallback;

    std::wstring beside = pluginFolder.empty() ? L"" : pluginFolder + kFileName;
    if (beside.size() > longest) beside.clear();
    if (beside.empty()) {
        return fallback.empty() || !MakeFallback(folder, fallback, "", L"") ? L"" : fallback;
    }
    const Writable writable = virtualized ? Writable::kRefused : CanBeWritten(beside);
    if (writable != Writable::kRefused) return beside;  // or one that cannot be had for now
    std::string lines;  // a history whose reading is refused cannot be copied: it starts empty
    if (IsFile(beside) && !files::ReadWhole(beside, lines) && !ReadingRefused(beside)) {
        return beside;
    }
    if (fallback.empty() ||
        !MakeFallback(folder, fallback, lines, pluginFolder + kCountsFileName)) {
        return beside;
    }
    return fallback;
}

bool ProcessIsVirtualized() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD enabled = 0, size = 0;
    const bool asked = GetTokenInformation(token, TokenVirtualizationEnabled, &enabled,
                                           sizeof(enabled), &size) != FALSE;
    CloseHandle(token);
    return asked && enabled != 0;
}

}  // namespace torvex
