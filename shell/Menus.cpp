// The shell's popup menus and the set of sticky windows, as exported to plug-ins.
#include <windows.h>

#include <string>
#include <vector>

#define NIMBAR_API __declspec(dllexport)
#include "host/NimbarApi.h"
#include "host/ShellMessages.h"
#include "shell/StandIn.h"

struct Menu {
    std::string title;
    std::vector<std::string> broadcasts;  // the command of item i is broadcasts[i]
    std::vector<std::string> labels;
    std::vector<bool> checked;
};

namespace {

constexpr UINT kFirstItemId = 1;

HMENU BuildPopup(const Menu& menu) {
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING | MF_GRAYED, 0, menu.title.c_str());
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    for (std::size_t i = 0; i < menu.labels.size(); ++i) {
        UINT flags = MF_STRING | (menu.checked[i] ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuA(popup, flags, kFirstItemId + i, menu.labels[i].c_str());
    }
    return popup;
}

}  // namespace

namespace standin {}  // namespace standin

extern "C" {

NIMBAR_API Menu* MakeMenu(LPCSTR title) {
    Menu* menu = new Menu;
    menu->title = title ? title : "";
    standin::ReportCall("MakeMenu", menu, "%s", menu->title.c_str());
    return menu;
}

NIMBAR_API void MakeMenuItem(Menu* menu, LPCSTR label, LPCSTR broadcast, bool checked) {
    if (menu == nullptr) return;
    menu->labels.push_back(label ? label : "");
    menu->broadcasts.push_back(broadcast ? broadcast : "");
    menu->checked.push_back(checked);
    standin::ReportCall("MakeMenuItem", menu, "%s|%s|%s", menu->labels.back().c_str(),
                        menu->broadcasts.back().c_str(), checked ? "checked" : "unchecked");
}

// Shows the menu at the mouse and waits; a picked item's command goes to the main window.
NIMBAR_API void ShowMenu(Menu* menu) {
    if (menu == nullptr) return;
    standin::ReportCall("ShowMenu", menu, "");
    HWND owner = GetNMWnd();
    HMENU popup = BuildPopup(*menu);
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(owner);
    UINT picked = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y,
                                 0, owner, nullptr);
    DestroyMenu(popup);
    standin::Log("shell: menu \"%s\" shown, item %d picked", menu->title.c_str(),
                 picked >= kFirstItemId ? static_cast<int>(picked - kFirstItemId) : -1);
    if (picked >= kFirstItemId && picked - kFirstItemId < menu->broadcasts.size()) {
        SendMessageA(owner, shell::kBroadcast, 0,
                     reinterpret_cast<LPARAM>(menu->broadcasts[picked - kFirstItemId].c_str()));
    }
}

NIMBAR_API void DelMenu(Menu* menu) {
    if (menu == nullptr) return;
    standin::ReportCall("DelMenu", menu, "");
    delete menu;
}

NIMBAR_API void MakeSticky(HWND window) {
    standin::ReportCall("MakeSticky", window, "");  // the stand-in keeps no sticky windows
}
NIMBAR_API void RemoveSticky(HWND window) {
    standin::ReportCall("RemoveSticky", window, "");
}

}  // extern "C"
