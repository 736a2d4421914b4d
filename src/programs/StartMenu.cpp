#include "programs/StartMenu.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwctype>

#include "programs/ComPointer.h"

namespace torvex::programs {
namespace {

std::u16string U16(const std::wstring& text) {
    return {text.begin(), text.end()};
}

bool EndsWith(const std::wstring& name, const wchar_t* end) {
    const std::size_t size = wcslen(end);
    return name.size() >= size && _wcsicmp(name.c_str() + name.size() - size, end) == 0;
}

// What starts a program: a shortcut to one of these, or to no file at all (an installer's
// advertised shortcut, a shell item), runs a program.
bool IsProgram(const std::wstring& target) {
    if (target.empty()) return true;
    for (const wchar_t* end : {L".exe", L".com", L".bat", L".cmd", L".msc", L".cpl"}) {
        if (EndsWith(target, end)) return true;
    }
    return false;
}

// The shortcut's target as it is stored; false when the file is no shortcut.
bool StoredTarget(const std::wstring& path, std::wstring& target) {
    ComPointer<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.Out()))) {
        return false;
    }
    ComPointer<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out())) ||
        FAILED(file->Load(path.c_str(), STGM_READ))) {
        return false;
    }
    // An installer's advertised shortcut names its icon as its path: it runs a program.
    ComPointer<IShellLinkDataList> data;
    DWORD flags = 0;
    if (SUCCEEDED(link->QueryInterface(IID_IShellLinkDataList, data.Out())) &&
        SUCCEEDED(data->GetFlags(&flags)) && (flags & SLDF_HAS_DARWINID) != 0) {
        target.clear();
        return true;
    }
    wchar_t stored[MAX_PATH] = L"";
    if (FAILED(link->GetPath(stored, MAX_PATH, nullptr, SLGP_RAWPATH))) stored[0] = L'\0';
    target = stored;
    return true;
}

// The name Explorer shows: localised where the folder says so, without the extension.
std::wstring ShownName(const std::wstring& path, const std::wstring& fileName) {
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME) != 0 &&
        info.szDisplayName[0] != L'\0') {
        std::wstring name = info.szDisplayName;
        for (const wchar_t* end : {L".lnk", L".url"}) {
            if (EndsWith(name, end)) name.resize(name.size() - wcslen(end));
        }
        if (!name.empty()) return name;
    }
    return fileName.substr(0, fileName.find_last_of(L'.'));
}

void AddFolder(const std::wstring& folder, const std::wstring& below,
               const std::u16string& keyPrefix, std::size_t depth, std::vector<Listed>& list,
               const Going& going) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (!going()) break;
        if (name == L"." || name == L".." || list.size() >= kMostEntries) continue;
        const std::wstring path = folder + L"\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            // A junction or link may lead back up: only real folders, and only so deep.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && depth < kMostDepth)
                AddFolder(path, below + name + L"\\", keyPrefix, depth + 1, list, going);
            continue;
        }
        const bool internet = EndsWith(name, L".url");
        if (!internet && !EndsWith(name, L".lnk")) continue;
        std::wstring target;
        if (!internet && !StoredTarget(path, target)) continue;
        Listed listed;
        listed.entry.name = U16(ShownName(path, name));
        listed.entry.key = keyPrefix + U16(below + name);
        listed.entry.kind = !internet && IsProgram(target) ? Kind::kProgram : Kind::kDocument;
        listed.start = U16(path);
        if (listed.entry.name.size() <= kMostField && listed.start.size() <= kMostField &&
            listed.entry.key.size() <= kMostField) {
            list.push_back(std::move(listed));
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

}  // namespace

void AddShortcuts(const std::wstring& folder, const std::u16string& keyPrefix,
                  std::vector<Listed>& list, const Going& going) {
    AddFolder(folder, L"", keyPrefix, 0, list, going);
}

}  // namespace torvex::programs
