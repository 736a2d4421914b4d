// Start and stop: the instance, the engine, and the box with its registrations.
#include "appearance/ColorRouting.h"
#include "host/ShellMessages.h"
#include "plugin/BoundedText.h"
#include "plugin/Entry.h"
#include "plugin/Lifecycle.h"
#include "plugin/StaticRuntime.h"
#include "plugin/TorvexPlugin.h"
#include "window/EditProc.h"
#include "window/TypedCharacters.h"

namespace {

const wchar_t kEngineFileName[] = L"quorlin.dll";
const wchar_t kEditClass[] = L"Edit";
constexpr DWORD kBoxStyle = WS_POPUP | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL;
static_assert(kBoxStyle == 0x90000084, "the box's window style");

// A reference to this DLL, taken when a stop had to leave code of ours on the stack: the shell
// unloads the DLL right after endPlugin. It is given back at the first start after every such
// stop has finished (the shell may restart the plug-in while one still waits, and stop it again),
// when the shell holds a reference of its own; code of ours cannot give back the last one.
HMODULE ownModuleHeld = nullptr;
int stopsWaiting = 0;

void HoldOwnModule() {
    if (ownModuleHeld != nullptr) return;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(&HoldOwnModule), &ownModuleHeld);
}

void ReleaseOwnModule() {
    if (ownModuleHeld != nullptr) FreeLibrary(ownModuleHeld);
    ownModuleHeld = nullptr;
}

LPARAM BoxMessages() {
    return reinterpret_cast<LPARAM>(shell::kBoxMessages);
}

}  // namespace

void TorvexPlugin::LoadEngine() {
    // Only ever by its full path: without the whole folder (or with one too long for workBuffer)
    // the engine counts as missing, and no search can pick up another quorlin.dll.
    const wchar_t* folder = GetPluginFolder();
    bool fits = folder[0] != L'\0' && torvex::CopyText(workBuffer, folder) &&
                torvex::AppendWhole(workBuffer, kEngineFileName);
    engineModule =
        fits ? LoadLibraryExW(workBuffer, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH) : nullptr;
}

int TorvexPlugin::CreateBox() {
    // A Unicode window: characters of any script arrive as typed, input methods included.
    editWindow =
        CreateWindowExW(WS_EX_TOOLWINDOW, kEditClass, nullptr, kBoxStyle, x, y, width, height,
                        torvex::ColorRoutingOwner(instance), nullptr, instance, nullptr);
    if (editWindow == nullptr) return 1;  // nothing is registered for a box that is not there
    defaultEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(editWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    if (defaultEditProc == nullptr) {
        DestroyWindow(editWindow);
        editWindow = nullptr;
        return 1;
    }
    focused = GetFocus() == editWindow;  // given with the window, before its procedure was ours
    // Typing, pasting and Tab stop here: a longer line would be run and recorded cut.
    SendMessageW(editWindow, EM_LIMITTEXT, kMaxLineLength, 0);
    typedCharacters = torvex::WatchTypedCharacters();
    SendMessageA(shellWindow, shell::kRegisterMessages, reinterpret_cast<WPARAM>(editWindow),
                 BoxMessages());
    MakeSticky(editWindow);
    if (IsInSlit()) {
        SendMessageA(slitWindow, shell::kSlitAdd, 0, reinterpret_cast<LPARAM>(editWindow));
    }
    ApplyFont();
    worker.Start();  // without it, every line's program counts as there
    LoadHistory();
    StartProgramList();  // until it hands over a list, the box works without one
    return 0;
}

void TorvexPlugin::Stop() {
    SaveUses();     // what was not written yet
    worker.Stop();  // what it still does, it finishes on its own
    programList.keeper.Stop();  // the same: nothing here waits for it
    EndTabCycle();
    if (typedCharacters != nullptr) UnhookWindowsHookEx(typedCharacters);
    typedCharacters = nullptr;
    if (busy == 0) GiveBackMenu();  // else the shell may still show it; given back at release
    delete toolbarTexture;
    toolbarTexture = nullptr;
    delete labelTexture;
    labelTexture = nullptr;
    if (editWindow != nullptr) {
        UndockFromSlit();  // the slit may give the box the focus meanwhile: held once more
        GiveBackSlitAutoHide();
        SendMessageA(shellWindow, shell::kUnregisterMessages, reinterpret_cast<WPARAM>(editWindow),
                     BoxMessages());
        RemoveSticky(editWindow);
    }
    // The font only once the Edit that uses it is gone, as WM_SETFONT's documentation asks.
    if (editWindow != nullptr) DestroyWindow(editWindow);
    editWindow = nullptr;  // what still runs of a line must not reach a window of another
    if (font != nullptr) DeleteObject(font);
    font = nullptr;
    paintCache.Release();
    torvex::DestroyColorRoutingOwner();
}

void TorvexPlugin::GiveBackMenu() {
    if (menu != nullptr) DelMenu(menu);
    menu = nullptr;
}

namespace torvex {

void ReleaseInstance(TorvexPlugin* plugin) {
    if (plugin->stopPending) --stopsWaiting;
    plugin->GiveBackMenu();
    FreeLibrary(plugin->engineModule);
    delete plugin;
}

}  // namespace torvex

namespace {

// Stops the plug-in in its usual order: engine, box, instance. When a message of the box is
// still being handled (the shell stopped the plug-in from inside a message box or the menu),
// everything the shell sees still goes now, in the usual order, but the engine and the instance
// stay until that message returns, and so does this DLL.
void StopPlugin(TorvexPlugin* plugin) {
    if (plugin->busy == 0) {
        FreeLibrary(plugin->engineModule);
        plugin->Stop();
        delete plugin;
        return;
    }
    plugin->Stop();
    plugin->stopPending = true;
    ++stopsWaiting;
    HoldOwnModule();
}

}  // namespace

namespace {

constexpr int kStarted = 0;
constexpr int kFailed = 1;  // the shell's "failed to start"

void UndoStart(TorvexPlugin* plugin) {
    if (plugin != nullptr) StopPlugin(plugin);
    thePlugin = nullptr;
}

}  // namespace

extern "C" int beginPluginEx(HINSTANCE instance, HWND slit) {
    // One box per plug-in: a second start (the DLL named twice in the shell's list) would take
    // the first box's instance from under it.
    if (thePlugin != nullptr) return kFailed;
    if (stopsWaiting == 0) ReleaseOwnModule();
    TorvexPlugin* plugin = nullptr;
    // Nothing thrown may reach the shell: a start that fails leaves nothing behind.
    try {
        plugin = new TorvexPlugin(instance, slit);
        thePlugin = plugin;
        plugin->LoadEngine();
        if (plugin->CreateBox() == 0) return kStarted;
    } catch (...) {
    }
    UndoStart(plugin);
    return kFailed;
}

extern "C" int beginPlugin(HINSTANCE instance) {
    return beginPluginEx(instance, nullptr);
}

extern "C" void endPlugin() {
    TorvexPlugin* plugin = thePlugin;
    if (plugin == nullptr) return;  // never started, or stopped already
    const bool nothingOfOursRuns = plugin->busy == 0;
    try {
        StopPlugin(plugin);
    } catch (...) {
    }
    thePlugin = nullptr;
    if (nothingOfOursRuns) torvex::ReleaseCallingThreadsRecord();
}
