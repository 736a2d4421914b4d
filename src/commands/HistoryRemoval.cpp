// Shift+Delete on a line recalled from the history: it leaves the list and history.txt, and the
// field shows the next older line.
#include <windows.h>

#include <cwchar>
#include <string>

#include "commands/HistoryFile.h"
#include "plugin/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace {

constexpr DWORD kMostFileBytes = 256u * 1024 * 1024;  // a history that big is not rewritten

class OpenFile {
  public:
    explicit OpenFile(HANDLE handle) : handle_(handle) {}
    ~OpenFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

bool ReadWhole(const std::wstring& path, std::string& bytes) {
    OpenFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (file.get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart > kMostFileBytes) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    return bytes.empty() ||
           (ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
            got == bytes.size());
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    OpenFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.get() != INVALID_HANDLE_VALUE &&
           (bytes.empty() || (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                        &written, nullptr) &&
                              written == bytes.size())) &&
           FlushFileBuffers(file.get());
}

std::u16string ReadInCodePage(std::string_view bytes) {
    return torvex::FromCodePage(bytes);
}

// history.txt without `line`. The new file is written whole beside it and then put in its place
// in one move, so that a crash or a full disk at any moment leaves the old file or the new one.
void RemoveFromFile(const std::wstring& path, const std::u16string& line) {
    std::string bytes;
    if (!ReadWhole(path, bytes)) return;
    std::wstring replacement = path + L".new";
    bool replaced =
        WriteWhole(replacement, torvex::history::WithoutLine(bytes, line, ReadInCodePage)) &&
        MoveFileExW(replacement.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    // A file that cannot be replaced keeps the line; the list has let it go, and that is all.
    if (!replaced) DeleteFileW(replacement.c_str());
}

}  // namespace

bool TorvexPlugin::RemoveRecalledLine() {
    if (recalledSlot < 0 || recalledSlot >= historyCount) return false;
    if (SendMessageW(editWindow, EM_GETMODIFY, 0, 0) != 0) return false;  // changed since
    wchar_t shown[kHistorySlotSize] = L"";
    GetWindowTextW(editWindow, shown, kHistorySlotSize);
    if (std::wcscmp(shown, history[recalledSlot]) != 0) return false;  // set from elsewhere

    const int next = DropFromList(shown, recalledSlot);
    if (BuildHistoryPath()) RemoveFromFile(workBuffer, torvex::ToU16(shown));
    if (next >= 0) {
        ShowRecalled(history[next], next);
        historyCursor = next + 1;
    } else {
        ShowRecalled(L"");
        historyCursor = 0;
    }
    return true;
}

// Every copy of `line` leaves the list, as it leaves the file: a copy left in the list would
// keep the line from being written when it is run again. Gives the slot that the next line
// older than `slot` now holds, or -1 when there is none.
int TorvexPlugin::DropFromList(const wchar_t* line, int slot) {
    int kept = 0, next = -1;
    for (int from = 0; from < historyCount; ++from) {
        if (std::wcscmp(history[from], line) == 0) continue;
        if (from > slot && next < 0) next = kept;
        if (kept != from) {
            std::wmemcpy(history[kept], history[from], std::wcslen(history[from]) + 1);
        }
        ++kept;
    }
    for (int emptied = kept; emptied < historyCount; ++emptied) history[emptied][0] = L'\0';
    historyCount = kept;
    return next;
}
