#pragma once
// Every shell message number and fixed text that passes between the plug-in and the shell.
#include <windows.h>

namespace shell {

// Main window.
constexpr UINT kRegisterMessages = 10001;    // wParam window, lParam zero-terminated list
constexpr UINT kUnregisterMessages = 10002;  // same arguments
constexpr UINT kQuit = 10101;
constexpr UINT kRestart = 10102;
constexpr UINT kReconfigure = 10103;
constexpr UINT kEditFile = 10201;    // wParam: which file
constexpr UINT kEndSession = 10401;  // wParam: which mode
constexpr UINT kRunDialog = 10402;
constexpr UINT kBroadcast = 10901;  // lParam: the command text

// Slit.
constexpr UINT kSlitAdd = 11001;     // lParam: the window
constexpr UINT kSlitRemove = 11002;  // lParam: the window

// wParam of kEditFile.
constexpr WPARAM kEditStyle = 0;
constexpr WPARAM kEditMenu = 1;
constexpr WPARAM kEditPlugins = 2;
constexpr WPARAM kEditExtensions = 3;

// wParam of kEndSession.
constexpr WPARAM kShutdown = 0;
constexpr WPARAM kReboot = 1;
constexpr WPARAM kLogoff = 2;
constexpr WPARAM kHibernate = 3;
constexpr WPARAM kSuspend = 4;
constexpr WPARAM kLock = 5;

// The messages the box registers for, zero-terminated as the shell expects.
constexpr UINT kBoxMessages[] = {kBroadcast, kReconfigure, 0};

// Broadcast commands.
constexpr char kShowPlugins[] = "@NMShowPlugins";
constexpr char kHidePlugins[] = "@NMHidePlugins";
constexpr char kSlitHideOff[] = "@NMSlit Toggle Hide Off";
constexpr char kSlitHideOn[] = "@NMSlit Toggle Hide On";
constexpr char kOwnBroadcastWord[] = "@Castpad";
constexpr char kToggleSlit[] = "@Castpad Toggle Slit";
constexpr char kFocusBox[] = "@Castpad Focus";  // the box takes the keyboard (a hotkey's)

// The context menu.
constexpr char kMenuTitle[] = "c@stpad";
constexpr char kMenuItemInSlit[] = "In Slit";

}  // namespace shell
