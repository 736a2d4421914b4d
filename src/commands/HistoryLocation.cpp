#include "commands/HistoryLocation.h"

#include <windows.h>

#include "commands/WholeFile.h"

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

// Whether lines can be appended to `path`, or it can be made where it is missing: a file made
// only to find out is removed again.
bool CanBeWritten(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool made = GetLastError() != ERROR_ALREADY_EXISTS;
    CloseHandle(file);
    if (made) DeleteFileW(path.c_str());
    return true;
}

// The fallback with its folder: a copy of `lines` (the bytes of the history beside the plug-in),
// put in place in one move, so that a crash leaves it whole or not there at all.
bool MakeFallback(const std::wstring& folder, const std::wstring& file, const std::string& lines) {
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    return files::ReplaceWhole(file, lines);
}

}  // namespace

std::wstring ChooseHistoryFile(const std::wstring& pluginFolder) {
    std::wstring appData = Variable(L"APPDATA");
    if (!appData.empty() && appData.back() != L'\\') appData += L'\\';
    const std::wstring folder = appData.empty() ? L"" : appData + kFallbackFolder;
    const std::wstring fallback = folder.empty() ? L"" : folder + L"\\" + kFileName;
    if (!fallback.empty() && IsFile(fallback)) return fallback;

    const std::wstring beside = pluginFolder.empty() ? L"" : pluginFolder + kFileName;
    if (!beside.empty() && CanBeWritten(beside)) return beside;
    std::string lines;
    if (!beside.empty() && IsFile(beside) && !files::ReadWhole(beside, lines)) return beside;
    if (fallback.empty() || !MakeFallback(folder, fallback, lines)) return beside;
    return fallback;
}

}  // namespace torvex
