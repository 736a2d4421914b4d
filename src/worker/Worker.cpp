#include "worker/Worker.h"
#include "worker/Locked.h"
#include "worker/OwnThread.h"

#include <utility>

namespace torvex {
namespace {

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

}  // namespace

bool Worker::Start() {
    if (shared_ != nullptr) return true;
    auto shared = std::make_shared<Shared>();
    if (!StartOwnThread([shared] { RunJobs(shared); })) return false;
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
