#pragma once
// A thread of the box's own for whatever may wait on a disk or a network, so that the shell's
// thread never does: jobs run one at a time, in the order they were posted. The thread holds a
// reference on the module it runs in, given back by FreeLibraryAndExitThread as it ends, so the
// DLL stays loaded while a job outlives the stop (a file on a server that does not answer).
// Nothing a job throws leaves it.
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>

namespace torvex {

class Worker {
  public:
    using Job = std::function<void()>;

    Worker() = default;
    ~Worker() { Stop(); }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Not under the loader lock. False when there is no thread: posted jobs then never run.
    bool Start();
    // False when the job will not run: not started, or stopping.
    bool Post(Job job);
    // The thread ends once the jobs posted so far are done; nothing here waits for it.
    void Stop();

    // What the thread and its owner share; it lives until both are done with it.
    struct Shared {
        SRWLOCK lock = SRWLOCK_INIT;
        CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;
        std::deque<Job> jobs;
        bool stopping = false;
    };

  private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace torvex
