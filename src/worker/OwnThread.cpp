#include "worker/OwnThread.h"

#include <windows.h>

#include <memory>
#include <utility>

namespace torvex {
namespace {

// Bodies keep their data on the heap: a small stack, not the shell's default for every thread.
constexpr SIZE_T kStackBytes = 256 * 1024;

DWORD WINAPI ThreadStart(void* parameter) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&ThreadStart), &module);
        try {
            (*body)();
        } catch (...) {
        }
    }  // every object of this DLL is gone before the reference that keeps it loaded
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

bool StartOwnThread(std::function<void()> body) {
    auto parameter = std::make_unique<std::function<void()>>(std::move(body));
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&ThreadStart), &module)) {
        return false;
    }
    HANDLE thread = CreateThread(nullptr, kStackBytes, ThreadStart, parameter.get(),
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        FreeLibrary(module);
        return false;
    }
    parameter.release();  // the thread's now
    CloseHandle(thread);
    return true;
}

}  // namespace torvex
