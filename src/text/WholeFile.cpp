#include "text/WholeFile.h"

#include <windows.h>

#include <algorithm>

namespace torvex::files {
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

HANDLE OpenToRead(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

bool ReadFrom(HANDLE file, std::size_t count, std::string& bytes) {
    bytes.resize(count);
    DWORD got = 0;
    return bytes.empty() ||
           (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
            got == bytes.size());
}

bool IsReadOnly(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace

Read ReadStart(const std::wstring& path, std::size_t most, std::string& bytes) {
    OpenFile file(OpenToRead(path));
    if (file.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Read::kMissing
                                                                              : Read::kFailed;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size)) return Read::kFailed;
    const auto count = static_cast<std::size_t>(
        std::min<unsigned long long>(static_cast<unsigned long long>(size.QuadPart), most));
    return ReadFrom(file.get(), count, bytes) ? Read::kRead : Read::kFailed;
}

bool ReadWhole(const std::wstring& path, std::string& bytes) {
    OpenFile file(OpenToRead(path));
    LARGE_INTEGER size = {};
    return file.get() != INVALID_HANDLE_VALUE && GetFileSizeEx(file.get(), &size) &&
           size.QuadPart <= kMostFileBytes &&
           ReadFrom(file.get(), static_cast<std::size_t>(size.QuadPart), bytes);
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

bool ReplaceWhole(const std::wstring& path, const std::string& bytes) {
    // Windows refuses to move a file over a read-only one; Wine run as root may not.
    if (IsReadOnly(path)) return false;
    std::wstring replacement = path + L".new";
    bool replaced = WriteWhole(replacement, bytes) &&
                    MoveFileExW(replacement.c_str(), path.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) DeleteFileW(replacement.c_str());
    return replaced;
}

bool Erase(const std::wstring& path) {
    // Windows refuses both to a read-only file (DeleteFile's documentation); Wine run as root
    // may not: the user's "keep this" is kept either way.
    if (IsReadOnly(path)) return false;
    if (DeleteFileW(path.c_str())) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    OpenFile file(CreateFileW(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              TRUNCATE_EXISTING, 0, nullptr));
    return file.get() != INVALID_HANDLE_VALUE && FlushFileBuffers(file.get());
}

}  // namespace torvex::files
