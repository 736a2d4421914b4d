#include "plugin/TorvexPlugin.h"

#include <cstring>

TorvexPlugin* thePlugin = nullptr;

TorvexPlugin::TorvexPlugin(HINSTANCE instance, HWND slit) {
    this->instance = instance;
    shellWindow = GetNMWnd();
    slitWindow = slit;

    // Set by the start before any use; cleared here so that a start that fails half-way can be
    // undone safely.
    engineModule = nullptr;
    engineEntry = nullptr;
    defaultEditProc = nullptr;

    editWindow = nullptr;
    font = nullptr;
    toolbarTexture = nullptr;
    labelTexture = nullptr;
    menu = nullptr;
    inSlit = false;
    slitAutoHide = false;
    noWho = false;
    historyCursor = 0;
    historyCount = 0;
    std::memset(history, 0, sizeof(history));
    busy = 0;
    stopPending = false;
    tabCycle = nullptr;
    shiftTap = false;

    ReadSettings();
}

void CutAfterLastBackslash(char* path) {
    int index = static_cast<int>(std::strlen(path)) - 1;
    while (index > 0 && path[index] != '\\') --index;
    path[index + 1] = '\0';
}

namespace {

// "C:\..." or "\\server\...", ending in a backslash: a folder that no search path can stand for.
bool IsFullFolder(const char* folder) {
    std::size_t length = std::strlen(folder);
    if (length == 0 || folder[length - 1] != '\\') return false;
    bool drive = length >= 3 && folder[1] == ':' && folder[2] == '\\';
    bool share = length >= 2 && folder[0] == '\\' && folder[1] == '\\';
    return drive || share;
}

}  // namespace

void ModuleFolder(HMODULE module, char* folder, DWORD size) {
    if (size == 0) return;
    // The returned length is trusted over the buffer: a failed call leaves it as it was, and a
    // path that does not fit comes back cut (and, on older systems, unterminated).
    DWORD length = GetModuleFileNameA(module, folder, size);
    if (length == 0 || length >= size) {
        folder[0] = '\0';
        return;
    }
    folder[length] = '\0';
    CutAfterLastBackslash(folder);
    if (!IsFullFolder(folder)) folder[0] = '\0';
}

const char* TorvexPlugin::GetPluginFolder() {
    static char folder[kPluginFolderSize];
    ModuleFolder(instance, folder, kPluginFolderSize);
    return folder;
}
