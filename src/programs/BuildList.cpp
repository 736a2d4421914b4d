#include "programs/BuildList.h"

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include "programs/AppPaths.h"
#include "programs/PackagedApps.h"
#include "programs/StartMenu.h"

namespace torvex::programs {
namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::wstring folder;
    // Not verified: a folder on a server is not waited for here, only when it is read.
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) &&
        path != nullptr) {
        folder = path;
    }
    CoTaskMemFree(path);
    return folder;
}

}  // namespace

std::vector<std::wstring> StartMenuFolders() {
    std::vector<std::wstring> folders;
    for (REFKNOWNFOLDERID id : {FOLDERID_Programs, FOLDERID_CommonPrograms}) {
        std::wstring folder = KnownFolder(id);
        if (!folder.empty()) folders.push_back(std::move(folder));
    }
    return folders;
}

std::vector<Listed> BuildList(const Going& going) {
    std::vector<Listed> list;
    // Keyed by the shortcut's path: the same below both folders is two entries, as in the menu.
    for (const std::wstring& folder : StartMenuFolders()) {
        AddShortcuts(folder, std::u16string(folder.begin(), folder.end()) + u"\\", list, going);
    }
    if (!going()) return list;
    AddAppPaths(list, going);
    AddPackagedApps(list, going);
    return list;
}

}  // namespace torvex::programs
