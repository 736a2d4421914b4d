// A program for the engine's tests: writes the folder it was started in, then the arguments it
// was given, one per line, in UTF-8, to the file named by TORVEX_ARGDUMP_FILE. Read from its wide
// command line, so that names and arguments in any script come through exactly. It is written
// under another name and then renamed, and ends in a line of its own (kEndMarker, the same as
// Argdump.h's), so that a reader never takes half of it for all of it.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

const char kEndMarker[] = "-- argdump: end --";

std::string Utf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

}  // namespace

int main() {
    wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"";
    if (GetEnvironmentVariableW(L"TORVEX_ARGDUMP_FILE", target, MAX_PATH) == 0) return 1;
    GetCurrentDirectoryW(MAX_PATH, folder);
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring partial = std::wstring(target) + L".part";
    FILE* out = _wfopen(partial.c_str(), L"wb");
    if (out == nullptr || arguments == nullptr) return 1;
    std::fprintf(out, "%s\n", Utf8(folder).c_str());
    for (int i = 1; i < count; ++i) std::fprintf(out, "%s\n", Utf8(arguments[i]).c_str());
    std::fprintf(out, "%s\n", kEndMarker);
    std::fclose(out);
    LocalFree(arguments);
    return MoveFileExW(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
