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

bool HeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// What the appender will meet: lines can be appended to `path`, or it can be made where it is
// missing (a file made only to find out is removed again); or another program holds it for now.
// A read-only file cannot be appended to, whoever asks: Windows refuses it even when the file
// system would not (as under Wine run as root).
enum class Writable { kYes, kHeld, kNo };
Writable CanBeWritten(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Writable::kNo;
    }
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return HeldByAnother(GetLastError()) ? Writable::kHeld : Writable::kNo;
    const bool made = GetLastError() != ERROR_ALREADY_EXISTS;
    CloseHandle(file);
    if (made) DeleteFileW(path.c_str());
    return Writable::kYes;
}

// Whether `path` can be read now: false only while another program holds it.
bool ReadableNow(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return file != INVALID_HANDLE_VALUE || !HeldByAnother(GetLastError());
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

std::wstring ChooseHistoryFile(const std::wstring& pluginFolder, std::size_t longest) {
    std::wstring appData = Variable(L"APPDATA");
    if (!appData.empty() && appData.back() != L'\\') appData += L'\\';
    const std::wstring folder = appData.empty() ? L"" : appData + kFallbackFolder;
    std::wstring fallback = folder.empty() ? L"" : folder + L"\\" + kFileName;
    if (fallback.size() > longest) fallback.clear();  // never made where it could not be used
    if (!fallback.empty() && IsFile(fallback)) return fallback;

    std::wstring beside = pluginFolder.empty() ? L"" : pluginFolder + kFileName;
    if (beside.size() > longest) beside.clear();
    if (beside.empty())
        return fallback.empty() || !MakeFallback(folder, fallback, "") ? L"" : fallback;
    const Writable writable = CanBeWritten(beside);
    if (writable != Writable::kNo) return beside;  // or held by another program for now
    std::string lines;  // a history that cannot be read at all cannot be copied: it starts empty
    if (IsFile(beside) && !files::ReadWhole(beside, lines) && !ReadableNow(beside)) return beside;
    if (fallback.empty() || !MakeFallback(folder, fallback, lines)) return beside;
    return fallback;
}

}  // namespace torvex
