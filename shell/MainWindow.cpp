// The shell's main window: registrations, forwarding, and the shell's own commands.
#include <windows.h>

#include <map>
#include <set>
#include <vector>

#define NIMBAR_API __declspec(dllexport)
#include "host/NimbarApi.h"
#include "host/ShellMessages.h"
#include "shell/ShellWindowsInternal.h"
#include "shell/StandIn.h"

namespace {

const char kMainClass[] = "NimbarStandInMain";
HWND mainWindow = nullptr;
standin::PluginHost pluginHost = {};
std::map<UINT, std::set<HWND>> registrations;

void ChangeRegistration(HWND window, const UINT* list, bool add) {
    for (int i = 0; list != nullptr && list[i] != 0; ++i) {
        if (add) {
            registrations[list[i]].insert(window);
        } else {
            registrations[list[i]].erase(window);
        }
    }
}

// Sends to a copy of the list: a receiver may change the registrations meanwhile.
void Forward(UINT message, WPARAM wParam, LPARAM lParam) {
    std::vector<HWND> receivers(registrations[message].begin(), registrations[message].end());
    for (HWND receiver : receivers) SendMessageA(receiver, message, wParam, lParam);
}

void Broadcast(const char* text) {
    if (lstrcmpiA(text, shell::kSlitHideOff) == 0) standin::SetSlitAutoHide(false);
    if (lstrcmpiA(text, shell::kSlitHideOn) == 0) standin::SetSlitAutoHide(true);
    Forward(shell::kBroadcast, 0, reinterpret_cast<LPARAM>(text));
}

const char* EndSessionName(WPARAM mode) {
    static const char* const names[] = {"shut down", "reboot",  "log off",
                                        "hibernate", "suspend", "lock"};
    return mode < sizeof(names) / sizeof(names[0]) ? names[mode] : "?";
}

const char* EditFileName(WPARAM which) {
    static const char* const names[] = {"style", "menu", "plugins", "extensions"};
    return which < sizeof(names) / sizeof(names[0]) ? names[which] : "?";
}

void LogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == shell::kBroadcast && lParam != 0) {
        standin::Log("main %u %llu %lld \"%s\"", message, static_cast<unsigned long long>(wParam),
                     static_cast<long long>(lParam), reinterpret_cast<const char*>(lParam));
    } else {
        standin::Log("main %u %llu %lld", message, static_cast<unsigned long long>(wParam),
                     static_cast<long long>(lParam));
    }
}

LRESULT HandleShellMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LogMessage(message, wParam, lParam);
    switch (message) {
        case shell::kRegisterMessages:
        case shell::kUnregisterMessages:
            ChangeRegistration(reinterpret_cast<HWND>(wParam),
                               reinterpret_cast<const UINT*>(lParam),
                               message == shell::kRegisterMessages);
            break;
        case shell::kBroadcast:
            if (lParam != 0) Broadcast(reinterpret_cast<const char*>(lParam));
            break;
        case shell::kReconfigure:
            Forward(shell::kReconfigure, 0, 0);
            break;
        case shell::kQuit:
            if (pluginHost.quit) pluginHost.quit();
            break;
        case shell::kRestart:
            if (pluginHost.restart) pluginHost.restart();
            break;
        case shell::kEditFile:
            standin::Log("main: would open the %s file in an editor", EditFileName(wParam));
            break;
        case shell::kEndSession:
            standin::Log("main: would %s the machine", EndSessionName(wParam));
            break;
        case shell::kRunDialog:
            standin::Log("main: would show the run dialog");
            break;
    }
    return 0;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= shell::kRegisterMessages && message < shell::kSlitAdd) {
        return HandleShellMessage(message, wParam, lParam);
    }
    if (message == WM_HOTKEY) {  // the one hotkey the stand-in binds
        standin::Log("shell: hotkey, broadcast \"%s\"", shell::kFocusBox);
        Broadcast(shell::kFocusBox);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

namespace standin {

void SetMainWindow(HWND window) {
    mainWindow = window;
}

bool IsRegistered(HWND window, UINT message) {
    return registrations[message].count(window) != 0;
}

HWND RegisteredWindow(UINT message) {
    const std::set<HWND>& windows = registrations[message];
    return windows.empty() ? nullptr : *windows.begin();
}

HWND CreateMainWindow(HINSTANCE instance, const PluginHost& host) {
    pluginHost = host;
    registrations.clear();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kMainClass;
    RegisterClassA(&windowClass);
    // A hidden top-level window, as a shell's message window is.
    mainWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kMainClass, "Nimbar", WS_POPUP, 0, 0, 0, 0,
                                 nullptr, nullptr, instance, nullptr);
    return mainWindow;
}

}  // namespace standin

extern "C" NIMBAR_API HWND GetNMWnd(void) {
    return mainWindow;
}
