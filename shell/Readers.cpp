// The shell's file readers and paths, as exported to plug-ins.
#include <windows.h>

#include <cctype>
#include <cstring>
#include <string>

#define NIMBAR_API __declspec(dllexport)
#include "host/NimbarApi.h"
#include "shell/RcFile.h"
#include "shell/StandIn.h"

namespace {

std::string shellFolder;  // empty: the executable's folder
bool nullAnswers = false;

std::string Folder() {
    if (!shellFolder.empty()) return shellFolder;
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Paths handed out stay valid until the next call of the same function.
const char* Keep(std::string& store, const std::string& value) {
    store = value;
    return store.c_str();
}

}  // namespace

namespace standin {

void SetNullAnswers(bool on) {
    nullAnswers = on;
}

void SetShellFolder(const std::string& folder) {
    shellFolder = folder;
    if (!shellFolder.empty() && shellFolder.back() != '\\') shellFolder += '\\';
}

std::string ShellFolder() {
    return Folder();
}

}  // namespace standin

extern "C" {

NIMBAR_API LPSTR GetNimbarPath(LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) return buffer;
    std::string folder = Folder();
    lstrcpynA(buffer, folder.c_str(), size);
    return buffer;
}

NIMBAR_API LPCSTR nmrcPath(LPCSTR) {
    static std::string path;
    return Keep(path, Folder() + standin::kMainRcName);
}

NIMBAR_API LPCSTR extensionsrcPath(LPCSTR) {
    static std::string path;
    return Keep(path, Folder() + standin::kExtensionsRcName);
}

NIMBAR_API LPCSTR stylePath(LPCSTR) {
    if (nullAnswers) return nullptr;
    static std::string path;
    std::string style = standin::kDefaultStyleName;
    standin::FindRcValue(nmrcPath(nullptr), standin::kStyleFileKey, style);
    bool absolute = style.size() > 1 && (style[1] == ':' || style[0] == '\\');
    return Keep(path, absolute ? style : Folder() + style);
}

NIMBAR_API bool FileExists(LPCSTR path) {
    if (path == nullptr) return false;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

NIMBAR_API LPCSTR ReadString(LPCSTR path, LPCSTR key, LPCSTR defaultValue) {
    standin::ReportCall("ReadString", nullptr, "%s", key ? key : "(null)");
    if (nullAnswers) return nullptr;
    static std::string value;
    if (!standin::FindRcValue(path, key, value)) value = defaultValue ? defaultValue : "";
    return value.c_str();
}

NIMBAR_API int ReadInt(LPCSTR path, LPCSTR key, int defaultValue) {
    standin::ReportCall("ReadInt", nullptr, "%s", key ? key : "(null)");
    std::string text;
    int value = defaultValue;
    if (standin::FindRcValue(path, key, text) && standin::ParseInt(text, value)) return value;
    return defaultValue;
}

NIMBAR_API bool ReadBool(LPCSTR path, LPCSTR key, bool defaultValue) {
    standin::ReportCall("ReadBool", nullptr, "%s", key ? key : "(null)");
    std::string text;
    bool value = defaultValue;
    if (standin::FindRcValue(path, key, text) && standin::ParseBool(text, value)) return value;
    return defaultValue;
}

NIMBAR_API COLORREF ReadColor(LPCSTR path, LPCSTR key, LPCSTR defaultValue) {
    standin::ReportCall("ReadColor", nullptr, "%s", key ? key : "(null)");
    std::string text;
    unsigned long color = 0;
    if (standin::FindRcValue(path, key, text) && standin::ParseColor(text, color)) return color;
    if (defaultValue != nullptr && standin::ParseColor(defaultValue, color)) return color;
    return 0;
}

}  // extern "C"
