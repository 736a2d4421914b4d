#include "programs/PackagedApps.h"

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "programs/ComPointer.h"

namespace torvex::programs {
namespace {

std::u16string DisplayName(IShellItem& item, SIGDN form) {
    wchar_t* name = nullptr;
    if (FAILED(item.GetDisplayName(form, &name)) || name == nullptr) return u"";
    std::u16string text(name, name + wcsnlen(name, kMostField + 1));
    CoTaskMemFree(name);
    return text;
}

// A packaged app's parsing name is its AppUserModelID, "family!app"; the folder's other items
// (the Start menu's own shortcuts, programs by their paths) are listed already.
bool IsAppUserModelId(const std::u16string& name) {
    return name.find(u'!') != std::u16string::npos &&
           name.find_first_of(u"\\/:") == std::u16string::npos;
}

}  // namespace

void AddPackagedApps(std::vector<Listed>& list, const Going& going) {
    ComPointer<IShellItem> folder;
    if (FAILED(SHGetKnownFolderItem(FOLDERID_AppsFolder, KF_FLAG_DEFAULT, nullptr, IID_IShellItem,
                                    folder.Out()))) {
        return;
    }
    ComPointer<IEnumShellItems> items;
    if (FAILED(folder->BindToHandler(nullptr, BHID_EnumItems, IID_IEnumShellItems, items.Out())))
        return;
    while (list.size() < kMostEntries && going()) {
        ComPointer<IShellItem> item;
        if (items->Next(1, item.Address(), nullptr) != S_OK || !item) break;
        const std::u16string id = DisplayName(*item, SIGDN_PARENTRELATIVEPARSING);
        if (!IsAppUserModelId(id) || id.size() + 17 > kMostField) continue;
        Listed listed;
        listed.entry.name = DisplayName(*item, SIGDN_NORMALDISPLAY);
        listed.entry.key = id;
        listed.entry.kind = Kind::kPackaged;
        listed.start = kAppsFolder + id;
        if (!listed.entry.name.empty() && listed.entry.name.size() <= kMostField)
            list.push_back(std::move(listed));
    }
}

}  // namespace torvex::programs
