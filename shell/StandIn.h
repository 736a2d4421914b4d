#pragma once
// What the stand-in shell offers beyond its exports: its file names and texture codes, and
// hooks for its own program and for tests.
#include <windows.h>

#include <string>

#include "host/NimbarApi.h"

namespace standin {

// Files in the shell's folder.
constexpr char kMainRcName[] = "nimbar.rc";
constexpr char kExtensionsRcName[] = "extensions.rc";
constexpr char kDefaultStyleName[] = "style.rc";
constexpr char kStyleFileKey[] = "session.styleFile:";

// Every token and rest buffer given to NMTokenize holds this many bytes.
constexpr std::size_t kTokenBufferSize = 4096;

// How ParseItem fills a StyleTexture: textureKind, textureParamA (bevel), textureParamB (bevel
// position 1 or 2), textureFlag (interlaced).
enum class TextureKind { kSolid = 0, kHorizontal, kVertical, kDiagonal, kCrossDiagonal };
enum class BevelStyle { kFlat = 0, kRaised, kSunken };

// The shell's folder: the executable's, unless set (tests set it).
void SetShellFolder(const std::string& folder);
std::string ShellFolder();

// The window that GetNMWnd answers with.
void SetMainWindow(HWND window);

// ReadString and stylePath answer null, as a shell without an answer may (for tests).
void SetNullAnswers(bool on);

// The shell's own windows and what the stand-in program does on quit and restart.
struct PluginHost {
    void (*quit)();
    void (*restart)();
};
struct ShellWindows {
    HWND main;
    HWND slit;
};
ShellWindows CreateShellWindows(HINSTANCE instance, const PluginHost& host);
void DestroyShellWindows(const ShellWindows& windows);
bool SlitAutoHide();
bool IsInSlit(HWND window);
// What a slit does with a plug-in's window: takes it in as a child, and gives it back as a
// top-level window where it stands on the screen.
void MakeChild(HWND window, HWND parent);
void MakeTopLevel(HWND window);
bool IsRegistered(HWND window, UINT message);
HWND RegisteredWindow(UINT message);  // the first window registered for it, or null

// The log of what the main window and the slit receive: stdout, and a file when opened.
void OpenLog(const char* path);
void SetLogEcho(bool on);  // stdout too (the default)
void Log(const char* format, ...);

// Each call of the exported functions that act for a plug-in (sticky windows, menus, readers,
// gradients), for tests: the function's name, the window, menu or DC it acts on (or null), and
// its other arguments as text, e.g. "In Slit|@Castpad Toggle Slit|checked".
typedef void (*CallObserver)(const char* function, const void* subject, const char* arguments);
void SetCallObserver(CallObserver observer);
void ReportCall(const char* function, const void* subject, const char* format, ...);

}  // namespace standin
