/* Tells an end-to-end test where the command box of the running stand-in shell is and what it
 * holds. A 64-bit program, so it starts at once; the messages it sends are marshalled to the
 * shell's 32-bit process. Prints three lines:
 *   box <docked 0|1> <left> <top> <right> <bottom>
 *   slit <left> <top> <right> <bottom>
 *   <the box's text, in UTF-8>
 *   focus <0|1>
 * and exits with 1 when there is no shell or no box. With "--type LINE" it types the line into
 * the box and presses Enter instead, as a user would (the release test's driver). */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static const char kSlitClass[] = "NimbarStandInSlit";
static const char kBoxClass[] = "Edit";
enum { kTextSize = 4096, kTimeoutMs = 5000 };

typedef struct {
    DWORD process;
    HWND found;
} Search;

static BOOL CALLBACK FindFloatingBox(HWND window, LPARAM parameter) {
    Search* search = (Search*)parameter;
    char name[64] = "";
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    GetClassNameA(window, name, sizeof(name));
    if (process != search->process || lstrcmpiA(name, kBoxClass) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

static void PrintRect(HWND window) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    printf(" %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
}

/* The line, given in the ANSI code page on the command line, and Enter. */
static int TypeLine(HWND box, const char* line) {
    wchar_t wide[kTextSize] = L"";
    MultiByteToWideChar(CP_ACP, 0, line, -1, wide, kTextSize);
    wide[kTextSize - 1] = L'\0';
    DWORD_PTR result = 0;
    SendMessageTimeoutW(box, WM_SETTEXT, 0, (LPARAM)wide, SMTO_ABORTIFHUNG, kTimeoutMs, &result);
    PostMessageW(box, WM_CHAR, L'\r', 1);
    return 0;
}

int main(int argc, char** argv) {
    HWND slit = FindWindowA(kSlitClass, NULL);
    if (slit == NULL) return 1;
    HWND box = FindWindowExA(slit, NULL, kBoxClass, NULL);
    int docked = box != NULL;
    if (!docked) {
        Search search = {0, NULL};
        GetWindowThreadProcessId(slit, &search.process);
        EnumWindows(FindFloatingBox, (LPARAM)&search);
        box = search.found;
    }
    if (box == NULL) return 1;
    if (argc == 3 && strcmp(argv[1], "--type") == 0) return TypeLine(box, argv[2]);

    wchar_t wide[kTextSize] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(box, WM_GETTEXT, kTextSize, (LPARAM)wide, SMTO_ABORTIFHUNG, kTimeoutMs,
                        &copied);
    wide[kTextSize - 1] = L'\0';
    char text[3 * kTextSize] = "";
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof(text), NULL, NULL);
    printf("box %d", docked);
    PrintRect(box);
    printf("slit");
    PrintRect(slit);
    printf("%s\n", text);
    /* Whether the box has the keyboard focus in the shell's thread, and that thread the
     * foreground. */
    GUITHREADINFO gui;
    ZeroMemory(&gui, sizeof(gui));
    gui.cbSize = sizeof(gui);
    DWORD thread = GetWindowThreadProcessId(box, NULL);
    int focused = GetGUIThreadInfo(thread, &gui) && gui.hwndFocus == box &&
                  GetWindowThreadProcessId(GetForegroundWindow(), NULL) == thread;
    printf("focus %d\n", focused);
    return 0;
}
