// A program for the engine's tests: writes the folder it was started in, then the arguments it
// was given, one per line, to the file named by TORVEX_ARGDUMP_FILE. It is written under another
// name and then renamed, so that a reader never sees half of it.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    char target[MAX_PATH] = "", folder[MAX_PATH] = "";
    if (GetEnvironmentVariableA("TORVEX_ARGDUMP_FILE", target, MAX_PATH) == 0) return 1;
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::string partial = std::string(target) + ".part";
    FILE* out = std::fopen(partial.c_str(), "w");
    if (out == nullptr) return 1;
    std::fprintf(out, "%s\n", folder);
    for (int i = 1; i < argc; ++i) std::fprintf(out, "%s\n", argv[i]);
    std::fclose(out);
    return MoveFileA(partial.c_str(), target) ? 0 : 1;
}
