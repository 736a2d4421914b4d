/* Prints a DLL's FileVersion and ProductVersion texts from its version resource, one a line, as
 * Explorer's properties show them: for the release test. Usage: verinfo.exe FILE */
#include <windows.h>
#include <stdio.h>

static void PrintValue(const void* data, const wchar_t* name) {
    wchar_t path[64];
    void* value = NULL;
    UINT length = 0;
    swprintf(path, 64, L"\\StringFileInfo\\040904B0\\%ls", name);
    if (VerQueryValueW(data, path, &value, &length) && length > 0) {
        printf("%ls\n", (const wchar_t*)value);
    } else {
        printf("(none)\n");
    }
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
    void* data = size ? HeapAlloc(GetProcessHeap(), 0, size) : NULL;
    if (data == NULL || !GetFileVersionInfoW(argv[1], 0, size, data)) return 1;
    PrintValue(data, L"FileVersion");
    PrintValue(data, L"ProductVersion");
    return 0;
}
