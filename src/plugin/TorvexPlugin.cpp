#include "plugin/TorvexPlugin.h"

#include <cstring>

TorvexPlugin* thePlugin = nullptr;

TorvexPlugin::TorvexPlugin(HINSTANCE instance, HWND slit) {
    this->instance = instance;
    shellWindow = GetNMWnd();
    slitWindow = slit;

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

    ReadSettings();
}

void CutAfterLastBackslash(char* path) {
    int index = static_cast<int>(std::strlen(path)) - 1;
    while (index > 0 && path[index] != '\\') --index;
    path[index + 1] = '\0';
}

const char* TorvexPlugin::GetPluginFolder() {
    static char folder[kPluginFolderSize];
    // The returned length is trusted over the buffer: a failed call leaves the buffer as it was.
    DWORD length = GetModuleFileNameA(instance, folder, kPluginFolderSize);
    if (length >= static_cast<DWORD>(kPluginFolderSize)) length = kPluginFolderSize - 1;
    folder[length] = '\0';
    CutAfterLastBackslash(folder);
    return folder;
}
