/* Types a line into the box of the running stand-in shell and presses Enter, as a user would:
 * for the release test. The 64-bit program's messages are marshalled to a shell of either lane.
 * Usage: drive.exe LINE   (exits with 1 when there is no box) */
#include <windows.h>

typedef struct {
    DWORD process;
    HWND found;
} Search;

static BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    Search* search = (Search*)parameter;
    wchar_t name[16] = L"";
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    GetClassNameW(window, name, 16);
    if (process != search->process || lstrcmpiW(name, L"Edit") != 0 || !IsWindowVisible(window)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    HWND slit = FindWindowW(L"NimbarStandInSlit", NULL);
    if (slit == NULL) return 1;
    Search search = {0, NULL};
    GetWindowThreadProcessId(slit, &search.process);
    EnumWindows(FindBox, (LPARAM)&search);
    if (search.found == NULL) return 1;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(search.found, WM_SETTEXT, 0, (LPARAM)argv[1], SMTO_ABORTIFHUNG, 5000,
                        &result);
    PostMessageW(search.found, WM_CHAR, L'\r', 1);
    return 0;
}
