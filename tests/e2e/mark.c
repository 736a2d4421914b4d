/* The program an end-to-end test asks the command engine to run: it leaves its arguments in
 * "mark.txt" beside itself, so the test can see that it ran and with what. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
    (void)instance;
    (void)previous;
    (void)show;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* slash = strrchr(path, '\\');
    if (slash == NULL || (size_t)(slash + 1 - path) + sizeof("mark.txt") > MAX_PATH) return 1;
    strcpy(slash + 1, "mark.txt");
    FILE* mark = fopen(path, "w");
    if (mark == NULL) return 1;
    fprintf(mark, "%s\n", arguments);
    fclose(mark);
    return 0;
}
