// Nimbar.exe, the stand-in shell: loads plug-ins and reports what they say about themselves.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef const char* (*PluginInfoFunction)(int);

const char* const kFieldNames[] = {"combined", "name",  "version", "author",
                                   "date",     "empty", "contact"};

std::string ExeFolder() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

int PrintInfo(const std::string& plugin) {
    HMODULE module = LoadLibraryA(plugin.c_str());
    if (module == nullptr) {
        std::printf("%s: cannot load (error %lu)\n", plugin.c_str(), GetLastError());
        return 1;
    }
    auto info = reinterpret_cast<PluginInfoFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "pluginInfo")));
    if (info == nullptr) {
        std::printf("%s: no pluginInfo export\n", plugin.c_str());
        FreeLibrary(module);
        return 1;
    }
    std::printf("%s\n", plugin.c_str());
    for (int field = 1; field <= 6; ++field) {
        std::printf("  pluginInfo(%d) %-8s \"%s\"\n", field, kFieldNames[field], info(field));
    }
    std::printf("  pluginInfo(0) %-8s \"%s\"\n", kFieldNames[0], info(0));
    FreeLibrary(module);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> plugins;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--info") != 0) plugins.push_back(argv[i]);
    }
    if (plugins.empty()) plugins.push_back(ExeFolder() + "torvex.dll");
    int result = 0;
    for (const std::string& plugin : plugins) result |= PrintInfo(plugin);
    std::fflush(stdout);
    return result;
}
