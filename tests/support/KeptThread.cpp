#include "tests/support/KeptThread.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace testsupport {

// One kept thread: it waits for work, does it, and waits again, until the program ends.
struct KeptThread::Keeper {
    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> work;
    std::shared_ptr<bool> done;  // of the work given; null while the thread is free

    void Loop() {
        for (;;) {
            std::function<void()> next;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] { return work != nullptr; });
                next.swap(work);
            }
            next();
            std::lock_guard<std::mutex> lock(mutex);
            *done = true;
            done = nullptr;
            changed.notify_all();
        }
    }
};

namespace {

std::mutex keepersMutex;
std::vector<KeptThread::Keeper*> keepers;  // never freed: their threads outlive every test

}  // namespace

KeptThread::KeptThread(std::function<void()> work) : keeper_(nullptr), done_(new bool(false)) {
    std::lock_guard<std::mutex> lock(keepersMutex);
    for (Keeper* keeper : keepers) {
        std::lock_guard<std::mutex> keeperLock(keeper->mutex);
        if (keeper->done == nullptr) {
            keeper_ = keeper;
            break;
        }
    }
    if (keeper_ == nullptr) {
        keeper_ = new Keeper;
        keepers.push_back(keeper_);
        Keeper* started = keeper_;
        std::thread([started] { started->Loop(); }).detach();
    }
    std::lock_guard<std::mutex> keeperLock(keeper_->mutex);
    keeper_->done = done_;
    keeper_->work = std::move(work);
    keeper_->changed.notify_all();
}

void KeptThread::Join() {
    if (keeper_ == nullptr) return;
    std::unique_lock<std::mutex> lock(keeper_->mutex);
    keeper_->changed.wait(lock, [&] { return *done_; });
    keeper_ = nullptr;
}

}  // namespace testsupport
