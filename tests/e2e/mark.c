/* The program an end-to-end test asks the command engine to run: it leaves its arguments, as its
 * wide command line gives them, in UTF-8 in "mark.txt" beside itself, so the test can see that it
 * ran and with what. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

/* The command line after the program's name, as WinMain would have it. */
static const wchar_t* Arguments(const wchar_t* line) {
    int quoted = 0;
    for (; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line) {
        if (*line == L'"') quoted = !quoted;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return line;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR ansi, int show) {
    (void)instance;
    (void)previous;
    (void)ansi;
    (void)show;
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash == NULL || (size_t)(slash + 1 - path) + 9 > MAX_PATH) return 1;
    wcscpy(slash + 1, L"mark.txt");
    const wchar_t* arguments = Arguments(GetCommandLineW());
    char text[8192];
    int size = WideCharToMultiByte(CP_UTF8, 0, arguments, -1, text, sizeof(text), NULL, NULL);
    if (size == 0) return 1;
    FILE* mark = _wfopen(path, L"wb");
    if (mark == NULL) return 1;
    fprintf(mark, "%s\n", text);
    fclose(mark);
    return 0;
}
