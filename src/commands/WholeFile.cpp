#include "commands/WholeFile.h"

#include <windows.h>

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

}  // namespace

bool ReadWhole(const std::wstring& path, std::string& bytes) {
    OpenFile file(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
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

bool ReplaceWhole(const std::wstring& path, const std::string& bytes) {
    std::wstring replacement = path + L".new";
    bool replaced = WriteWhole(replacement, bytes) &&
                    MoveFileExW(replacement.c_str(), path.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) DeleteFileW(replacement.c_str());
    return replaced;
}

}  // namespace torvex::files
