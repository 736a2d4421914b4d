#pragma once
// The functions that Nimbar.exe exports to its plug-ins (C calling convention, undecorated).
// The plug-in imports them from "Nimbar.exe"; the stand-in shell defines them with NIMBAR_API
// set to dllexport.
#include <windows.h>

#include "host/StyleTexture.h"

#ifndef NIMBAR_API
#define NIMBAR_API
#endif

struct Menu;  // opaque: owned by the shell

extern "C" {
NIMBAR_API HWND GetNMWnd(void);
NIMBAR_API LPSTR GetNimbarPath(LPSTR buffer, int size);
NIMBAR_API LPCSTR nmrcPath(LPCSTR other);
NIMBAR_API LPCSTR stylePath(LPCSTR other);
NIMBAR_API LPCSTR extensionsrcPath(LPCSTR other);

NIMBAR_API bool FileExists(LPCSTR path);
NIMBAR_API LPCSTR ReadString(LPCSTR path, LPCSTR key, LPCSTR defaultValue);
NIMBAR_API int ReadInt(LPCSTR path, LPCSTR key, int defaultValue);
NIMBAR_API bool ReadBool(LPCSTR path, LPCSTR key, bool defaultValue);
NIMBAR_API COLORREF ReadColor(LPCSTR path, LPCSTR key, LPCSTR defaultValue);

NIMBAR_API StyleTexture* ParseItem(LPCSTR description, StyleTexture* texture);
NIMBAR_API void MakeGradient(HDC dc, RECT rect, int kind, COLORREF from, COLORREF to, bool flag,
                             int paramA, int paramB, int bevelWidth, COLORREF borderColor,
                             int borderWidth);

NIMBAR_API Menu* MakeMenu(LPCSTR title);
NIMBAR_API void MakeMenuItem(Menu* menu, LPCSTR label, LPCSTR broadcast, bool checked);
NIMBAR_API void ShowMenu(Menu* menu);
NIMBAR_API void DelMenu(Menu* menu);

NIMBAR_API void MakeSticky(HWND window);
NIMBAR_API void RemoveSticky(HWND window);
NIMBAR_API bool IsInString(LPCSTR text, LPCSTR word);
NIMBAR_API int NMTokenize(LPCSTR text, LPSTR* tokens, int count, LPSTR rest);
}
