#pragma once
// A shortcut made as installers make them, through IShellLinkW, on a thread in a COM apartment.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace testsupport {

inline bool MakeShortcut(const std::wstring& path, const std::wstring& target,
                         const std::wstring& arguments = L"", const std::wstring& folder = L"") {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    link->SetPath(target.c_str());
    if (!arguments.empty()) link->SetArguments(arguments.c_str());
    if (!folder.empty()) link->SetWorkingDirectory(folder.c_str());
    IPersistFile* file = nullptr;
    bool saved = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    saved = saved && SUCCEEDED(file->Save(path.c_str(), TRUE));
    if (file != nullptr) file->Release();
    link->Release();
    return saved;
}

}  // namespace testsupport
