#pragma once
// The DLLs link the C++ runtime statically. The runtime takes a pool for exceptions thrown when
// memory runs out as the DLL is loaded, and gives it back only when asked: every unload by
// FreeLibrary (a restart of the plug-in, or of the shell) would leak it.
#include <windows.h>

namespace __gnu_cxx {
void __freeres() noexcept;  // the runtime's own, for exactly this
}

namespace torvex {

// For DllMain: on FreeLibrary (not at process exit, when nothing need be given back).
inline void ReleaseStaticRuntime(DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
}

}  // namespace torvex
