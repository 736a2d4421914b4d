#include "engine/AppPaths.h"

#include <vector>

namespace quorlin {
namespace {

const wchar_t kAppPaths[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr DWORD kMostBytes = 32768 * sizeof(wchar_t);  // a path longer than any Windows takes

class Key {
  public:
    Key(HKEY root, const std::wstring& path, REGSAM view) {
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    // The default value as text, REG_EXPAND_SZ expanded; empty when there is none.
    std::wstring DefaultValue() const {
        const DWORD types = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ;
        DWORD bytes = 0;
        if (key_ == nullptr ||
            RegGetValueW(key_, nullptr, nullptr, types, nullptr, nullptr, &bytes) !=
                ERROR_SUCCESS ||
            bytes == 0 || bytes > kMostBytes) {
            return L"";
        }
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegGetValueW(key_, nullptr, nullptr, types, nullptr, text.data(), &bytes) !=
            ERROR_SUCCESS) {
            return L"";  // changed meanwhile
        }
        text.back() = L'\0';
        return text.data();
    }

  private:
    HKEY key_ = nullptr;
};

std::u16string WithoutQuotes(const std::wstring& text) {
    std::wstring path = text;
    if (path.size() >= 2 && path.front() == L'"') {
        const std::size_t close = path.find(L'"', 1);
        path = path.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    }
    return {path.begin(), path.end()};
}

}  // namespace

std::u16string RegisteredProgram(HKEY root, REGSAM view, const std::u16string& name) {
    const std::wstring wide(name.begin(), name.end());
    for (const std::wstring& key : {wide, wide + L".exe"}) {
        std::wstring value = Key(root, kAppPaths + key, view).DefaultValue();
        if (!value.empty()) return WithoutQuotes(value);
    }
    return u"";
}

std::u16string ProgramOnlyTheNativeViewKnows(const std::u16string& name, bool redirected) {
    if (!redirected || !RegisteredProgram(HKEY_CURRENT_USER, 0, name).empty() ||
        !RegisteredProgram(HKEY_LOCAL_MACHINE, 0, name).empty()) {
        return u"";
    }
    return RegisteredProgram(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, name);
}

}  // namespace quorlin
