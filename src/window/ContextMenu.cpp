// Ctrl and a right click: a one-item menu that docks or undocks the box.
#include "host/ShellMessages.h"
#include "plugin/TorvexPlugin.h"
#include "window/Keyboard.h"

LRESULT TorvexPlugin::ShowContextMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!torvex::IsControlDown()) {
        return CallWindowProcW(defaultEditProc, window, message, wParam, lParam);
    }
    // DefWindowProc answers the release with WM_CONTEXTMENU, which would open the Edit's own menu.
    if (slitWindow == nullptr) return 0;
    if (menu != nullptr) DelMenu(menu);
    menu = MakeMenu(shell::kMenuTitle);
    if (menu == nullptr) return 0;  // the shell could not make one; nothing to show
    MakeMenuItem(menu, shell::kMenuItemInSlit, shell::kToggleSlit, IsInSlit());
    ShowMenu(menu);
    return 0;
}
