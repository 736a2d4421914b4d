// Start and stop: the instance, the engine, and the box with its registrations.
#include <new>

#include "appearance/WineColorRouting.h"
#include "host/ShellMessages.h"
#include "plugin/BoundedText.h"
#include "plugin/Entry.h"
#include "plugin/TorvexPlugin.h"
#include "window/EditProc.h"

namespace {

const char kEngineFileName[] = "quorlin.dll";
const char kEditClass[] = "Edit";
constexpr DWORD kBoxStyle = WS_POPUP | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL;
static_assert(kBoxStyle == 0x90000084, "the box's window style");

LPARAM BoxMessages() {
    return reinterpret_cast<LPARAM>(shell::kBoxMessages);
}

}  // namespace

void TorvexPlugin::LoadEngine() {
    // A folder too long for workBuffer with the file name: the engine counts as missing.
    bool fits = torvex::CopyText(workBuffer, GetPluginFolder()) &&
                torvex::AppendWhole(workBuffer, kEngineFileName);
    engineModule = fits ? LoadLibraryA(workBuffer) : nullptr;
}

int TorvexPlugin::CreateBox() {
    editWindow =
        CreateWindowExA(WS_EX_TOOLWINDOW, kEditClass, nullptr, kBoxStyle, x, y, width, height,
                        torvex::ColorRoutingOwner(instance), nullptr, instance, nullptr);
    defaultEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongA(editWindow, GWL_WNDPROC, reinterpret_cast<LONG>(EditProc)));
    SendMessageA(shellWindow, shell::kRegisterMessages, reinterpret_cast<WPARAM>(editWindow),
                 BoxMessages());
    MakeSticky(editWindow);
    if (IsInSlit()) {
        SendMessageA(slitWindow, shell::kSlitAdd, 0, reinterpret_cast<LPARAM>(editWindow));
    }
    ApplyFont();
    LoadHistory();
    return 0;
}

void TorvexPlugin::Stop() {
    delete toolbarTexture;
    toolbarTexture = nullptr;
    delete labelTexture;
    labelTexture = nullptr;
    UndockFromSlit();
    SendMessageA(shellWindow, shell::kUnregisterMessages, reinterpret_cast<WPARAM>(editWindow),
                 BoxMessages());
    RemoveSticky(editWindow);
    if (font != nullptr) DeleteObject(font);
    font = nullptr;
    DestroyWindow(editWindow);
    torvex::DestroyColorRoutingOwner();
}

extern "C" int beginPluginEx(HINSTANCE instance, HWND slit) {
    TorvexPlugin* plugin = new (std::nothrow) TorvexPlugin(instance, slit);
    if (plugin == nullptr) return 1;  // the shell's "failed to start"; nothing has changed
    thePlugin = plugin;
    plugin->LoadEngine();
    plugin->CreateBox();
    return 0;
}

extern "C" int beginPlugin(HINSTANCE instance) {
    return beginPluginEx(instance, nullptr);
}

extern "C" void endPlugin() {
    TorvexPlugin* plugin = thePlugin;
    if (plugin == nullptr) return;  // never started, or stopped already
    FreeLibrary(plugin->engineModule);
    plugin->Stop();
    delete plugin;
    thePlugin = nullptr;
}
