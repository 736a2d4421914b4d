// A plug-in for the stand-in shell's own test: it binds to the shell's exports in Nimbar.exe like
// torvex.dll does, tells the shell how it was started, and asks it to quit.
#include <windows.h>

#include <cstdio>

#include "host/NimbarApi.h"
#include "host/ShellMessages.h"

namespace {
char started[128];
}

extern "C" __declspec(dllexport) int beginPluginEx(HINSTANCE instance, HWND slit) {
    std::snprintf(started, sizeof(started), "@probe started slit=%d own-instance=%d",
                  slit != nullptr, instance == GetModuleHandleA("probe_plugin.dll"));
    SendMessageA(GetNMWnd(), shell::kBroadcast, 0, reinterpret_cast<LPARAM>(started));
    PostMessageA(GetNMWnd(), shell::kQuit, 0, 0);
    return 0;
}

extern "C" __declspec(dllexport) int beginPlugin(HINSTANCE instance) {
    return beginPluginEx(instance, nullptr);
}

extern "C" __declspec(dllexport) void endPlugin() {
    static const char stopping[] = "@probe stopping";
    SendMessageA(GetNMWnd(), shell::kBroadcast, 0, reinterpret_cast<LPARAM>(stopping));
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
