#pragma once
// The DLLs link the C++ runtime and its thread library (winpthreads) statically. Both keep
// something that they give back only when asked, so that every unload by FreeLibrary (a restart
// of the plug-in, of its engine, or of the shell) would leak it into the shell's process:
// - the C++ runtime's pool for exceptions thrown when memory runs out, taken at load;
// - the thread library's record of each thread that ran its code (the shell's thread runs the
//   runtime's start-up and end): a duplicate of the thread's handle, an event, and a TLS index
//   of the process's 1,088. It gives back a thread's record when that thread ends, never at
//   unload, and never frees the index: the thousandth restart would find none left, and the
//   library aborts the process then.
// Each DLL that includes this header (through its DllMain) gives them back after the last of its
// own objects is destroyed, since their destructors may still use both.
#include <windows.h>
#include <pthread.h>

namespace __gnu_cxx {
void __freeres() noexcept;  // the runtime's own, for exactly this
}

extern "C" {
extern IMAGE_DOS_HEADER __ImageBase;  // the linker's: this DLL's own module
// winpthreads' own: its TLS callback (which gives back the calling thread's record when called
// for DLL_THREAD_DETACH), and the record behind a thread's id.
extern const PIMAGE_TLS_CALLBACK __xl_f;
void* __pth_gpointer_locked(pthread_t id);
}

namespace torvex {

// The TLS index under which the calling thread's record is kept: the one slot that holds it.
inline DWORD RecordIndex(const void* record) {
    constexpr DWORD kTlsIndexes = 64 + 1024;  // TLS_MINIMUM_AVAILABLE and the expansion slots
    DWORD found = TLS_OUT_OF_INDEXES;
    for (DWORD index = 0; index < kTlsIndexes; ++index) {
        if (TlsGetValue(index) != record) continue;
        if (found != TLS_OUT_OF_INDEXES) return TLS_OUT_OF_INDEXES;  // not told apart: keep it
        found = index;
    }
    return found;
}

class StaticRuntimeRelease {
  public:
    // For DllMain: whether the DLL is leaving by FreeLibrary (at process exit nothing need be
    // given back, and the other threads are gone).
    static void Note(HINSTANCE module, DWORD reason, LPVOID reserved) {
        if (reason != DLL_PROCESS_DETACH) return;
        module_ = module;
        unloading_ = reserved == nullptr;
    }
    StaticRuntimeRelease() = default;
    StaticRuntimeRelease(const StaticRuntimeRelease&) = delete;
    StaticRuntimeRelease& operator=(const StaticRuntimeRelease&) = delete;
    ~StaticRuntimeRelease() {
        if (!unloading_) return;
        __gnu_cxx::__freeres();
        const DWORD index = RecordIndex(__pth_gpointer_locked(pthread_self()));
        __xl_f(module_, DLL_THREAD_DETACH, nullptr);  // as at the thread's end
        if (index != TLS_OUT_OF_INDEXES) TlsFree(index);
    }

  private:
    static inline HINSTANCE module_ = nullptr;
    static inline bool unloading_ = false;
};

// Made before every other object of the DLL, and so destroyed after all of them.
inline StaticRuntimeRelease staticRuntimeRelease __attribute__((init_priority(101)));

inline void ReleaseStaticRuntime(HINSTANCE module, DWORD reason, LPVOID reserved) {
    StaticRuntimeRelease::Note(module, reason, reserved);
}

// For the end of a stop, on the thread that asked for it, when no code of ours is left on its
// stack: that thread's record given back now, as at the thread's end. The DLL may be unloaded
// from the box's worker, whose unload gives back only the worker's own record: the shell
// thread's would stay, with its two handles, at every restart of the plug-in in a busy shell.
// A later call into the library on this thread makes a new record, which an unload from this
// thread gives back.
inline void ReleaseCallingThreadsRecord() {
    __xl_f(reinterpret_cast<HINSTANCE>(&__ImageBase), DLL_THREAD_DETACH, nullptr);
}

}  // namespace torvex
