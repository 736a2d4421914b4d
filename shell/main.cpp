// Nimbar.exe, the stand-in shell: owns a main window and a slit, loads plug-ins, logs every
// shell message it receives, and stops its plug-ins on exit.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shell/PluginExports.h"
#include "shell/StandIn.h"

namespace {

using standin::BeginPlugin;
using standin::BeginPluginEx;
using standin::EndPlugin;
using standin::Export;
using standin::PluginInfo;

struct Options {
    std::vector<std::string> plugins;
    bool withSlit = true;
    bool infoOnly = false;
    const char* logPath = nullptr;
    int quitAfterSeconds = 0;
};

struct LoadedPlugin {
    std::string path;
    HMODULE module;
};

Options options;
standin::ShellWindows windows = {};
std::vector<LoadedPlugin> running;

void StartPlugins() {
    for (const std::string& path : options.plugins) {
        HMODULE module = LoadLibraryA(path.c_str());
        if (module == nullptr) {
            standin::Log("shell: cannot load %s (error %lu)", path.c_str(), GetLastError());
            continue;
        }
        auto beginEx = Export<BeginPluginEx>(module, "beginPluginEx");
        auto begin = Export<BeginPlugin>(module, "beginPlugin");
        int result = -1;
        if (options.withSlit && beginEx != nullptr) {
            result = beginEx(module, windows.slit);
        } else if (begin != nullptr) {
            result = begin(module);
        }
        standin::Log("shell: started %s, result %d", path.c_str(), result);
        running.push_back({path, module});
    }
}

void StopPlugins() {
    for (auto plugin = running.rbegin(); plugin != running.rend(); ++plugin) {
        if (auto end = Export<EndPlugin>(plugin->module, "endPlugin")) end();
        FreeLibrary(plugin->module);
        standin::Log("shell: stopped %s", plugin->path.c_str());
    }
    running.clear();
}

void Quit() {
    StopPlugins();
    PostQuitMessage(0);
}

void Restart() {
    StopPlugins();
    StartPlugins();
}

int PrintInfo() {
    int result = 0;
    for (const std::string& path : options.plugins) {
        HMODULE module = LoadLibraryA(path.c_str());
        auto info = module ? Export<PluginInfo>(module, "pluginInfo") : nullptr;
        if (info == nullptr) {
            std::printf("%s: cannot load it or it has no pluginInfo\n", path.c_str());
            result = 1;
        } else {
            std::printf("%s\n", path.c_str());
            for (int field : {1, 2, 3, 4, 5, 6, 0}) {
                std::printf("  pluginInfo(%d) \"%s\"\n", field, info(field));
            }
        }
        if (module) FreeLibrary(module);
    }
    return result;
}

void ParseArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--no-slit") {
            options.withSlit = false;
        } else if (argument == "--info") {
            options.infoOnly = true;
        } else if (argument == "--log" && i + 1 < argc) {
            options.logPath = argv[++i];
        } else if (argument == "--quit-after" && i + 1 < argc) {
            options.quitAfterSeconds = std::atoi(argv[++i]);
        } else {
            options.plugins.push_back(argument);
        }
    }
    if (options.plugins.empty()) options.plugins.push_back(standin::ShellFolder() + "torvex.dll");
}

void CALLBACK QuitTimer(HWND, UINT, UINT_PTR, DWORD) {
    standin::Log("shell: time is up");
    Quit();
}

}  // namespace

int main(int argc, char** argv) {
    ParseArguments(argc, argv);
    if (options.infoOnly) return PrintInfo();

    standin::OpenLog(options.logPath);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    windows = standin::CreateShellWindows(instance, {Quit, Restart});
    if (!options.withSlit) ShowWindow(windows.slit, SW_HIDE);
    standin::Log("shell: main window %lld, slit %lld",
                 static_cast<long long>(reinterpret_cast<INT_PTR>(windows.main)),
                 static_cast<long long>(reinterpret_cast<INT_PTR>(windows.slit)));
    // As a shell binds hotkeys to broadcast commands: Ctrl+Alt+Space summons the box.
    if (!RegisterHotKey(windows.main, 1, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, VK_SPACE)) {
        standin::Log("shell: Ctrl+Alt+Space is taken; no hotkey");
    }
    StartPlugins();
    if (options.quitAfterSeconds > 0)
        SetTimer(nullptr, 0, options.quitAfterSeconds * 1000, QuitTimer);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    StopPlugins();
    standin::DestroyShellWindows(windows);
    standin::Log("shell: exit");
    standin::OpenLog(nullptr);
    return 0;
}
