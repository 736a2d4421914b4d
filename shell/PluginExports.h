#pragma once
// What a shell looks up in a plug-in DLL: its start, stop and information functions.
#include <windows.h>

namespace standin {

typedef int (*BeginPluginEx)(HINSTANCE, HWND);
typedef int (*BeginPlugin)(HINSTANCE);
typedef void (*EndPlugin)();
typedef const char* (*PluginInfo)(int);

// The named export as a function pointer of the given type; null when the DLL lacks it.
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace standin
