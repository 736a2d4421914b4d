#include "worker/Worker.h"
#include "worker/Locked.h"

#include <utility>

namespace torvex {
namespace {

// Jobs keep their data on the heap: a small stack, not the shell's default for every thread.
constexpr SIZE_T kStackBytes = 256 * 1024;

// The next job, or none once the thread is to end and every job is done.
Worker::Job NextJob(Worker::Shared& shared) {
    Locked locked(shared.lock);
    while (shared.jobs.empty() && !shared.stopping) {
        SleepConditionVariableSRW(&shared.wake, &shared.lock, INFINITE, 0);
    }
    if (shared.jobs.empty()) return nullptr;
    Worker::Job job = std::move(shared.jobs.front());
    shared.jobs.pop_front();
    return job;
}

void RunJobs(std::shared_ptr<Worker::Shared> shared) {
    while (Worker::Job job = NextJob(*shared)) {
        try {
            job();
        } catch (...) {  // a job that fails costs what it would have learnt, nothing more
        }
    }
}

DWORD WINAPI ThreadStart(void* parameter) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<std::shared_ptr<Worker::Shared>> shared(
            static_cast<std::shared_ptr<Worker::Shared>*>(parameter));
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&ThreadStart), &module);
        try {
            RunJobs(std::move(*shared));
        } catch (...) {
        }
    }  // every object of this DLL is gone before the reference that keeps it loaded
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

bool Worker::Start() {
    if (shared_ != nullptr) return true;
    auto shared = std::make_shared<Shared>();
    auto parameter = std::make_unique<std::shared_ptr<Shared>>(shared);  // before the reference
    // The thread's reference on this module, taken here so that it is held before the thread
    // can run, and given back by the thread as it ends.
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
    shared_ = std::move(shared);
    return true;
}

bool Worker::Post(Job job) {
    if (shared_ == nullptr) return false;
    {
        Locked locked(shared_->lock);
        if (shared_->stopping) return false;
        shared_->jobs.push_back(std::move(job));
    }
    WakeConditionVariable(&shared_->wake);
    return true;
}

void Worker::Stop() {
    if (shared_ == nullptr) return;
    {
        Locked locked(shared_->lock);
        shared_->stopping = true;
    }
    WakeConditionVariable(&shared_->wake);
    shared_.reset();
}

}  // namespace torvex
