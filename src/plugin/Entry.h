#pragma once
// The functions the shell calls; exported undecorated with the C calling convention.
#include <windows.h>

extern "C" {
int beginPluginEx(HINSTANCE instance, HWND slit);
int beginPlugin(HINSTANCE instance);
void endPlugin();
}
