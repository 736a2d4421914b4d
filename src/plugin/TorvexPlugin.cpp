#include "plugin/TorvexPlugin.h"

#include <cstring>
#include <string>

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
    lowHalfRefused = false;
    typedCharacters = nullptr;
    recalledSlot = -1;
    textHeight = 0;
    repaintPending = false;
    suggest = true;
    composing = false;
    focused = false;
    calculator = true;
    programs = true;

    ReadSettings();
}

namespace {

template <typename Char>
void CutAfterBackslash(Char* path) {
    int index = static_cast<int>(std::char_traits<Char>::length(path)) - 1;
    while (index > 0 && path[index] != '\\') --index;
    path[index + 1] = Char();
}

// "C:\..." or "\\server\...", ending in a backslash: a folder that no search path can stand for.
template <typename Char>
bool IsFullFolder(const Char* folder) {
    std::size_t length = std::char_traits<Char>::length(folder);
    if (length == 0 || folder[length - 1] != '\\') return false;
    bool drive = length >= 3 && folder[1] == ':' && folder[2] == '\\';
    bool share = length >= 2 && folder[0] == '\\' && folder[1] == '\\';
    return drive || share;
}

DWORD ModuleFileName(HMODULE module, char* path, DWORD size) {
    return GetModuleFileNameA(module, path, size);
}
DWORD ModuleFileName(HMODULE module, wchar_t* path, DWORD size) {
    return GetModuleFileNameW(module, path, size);
}

template <typename Char>
void FolderOfModule(HMODULE module, Char* folder, DWORD size) {
    if (size == 0) return;
    // The returned length is trusted over the buffer: a failed call leaves it as it was, and a
    // path that does not fit comes back cut (and, on older systems, unterminated).
    DWORD length = ModuleFileName(module, folder, size);
    if (length == 0 || length >= size) {
        folder[0] = Char();
        return;
    }
    folder[length] = Char();
    CutAfterBackslash(folder);
    if (!IsFullFolder(folder)) folder[0] = Char();
}

}  // namespace

void CutAfterLastBackslash(char* path) {
    CutAfterBackslash(path);
}
void CutAfterLastBackslash(wchar_t* path) {
    CutAfterBackslash(path);
}

void ModuleFolder(HMODULE module, char* folder, DWORD size) {
    FolderOfModule(module, folder, size);
}
void ModuleFolder(HMODULE module, wchar_t* folder, DWORD size) {
    FolderOfModule(module, folder, size);
}

const wchar_t* TorvexPlugin::GetPluginFolder() {
    static wchar_t folder[kPluginFolderSize];
    ModuleFolder(instance, folder, kPluginFolderSize);
    return folder;
}
