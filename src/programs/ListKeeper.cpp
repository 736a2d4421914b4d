#include "programs/ListKeeper.h"

#include <utility>
#include <vector>

#include "programs/Apartment.h"
#include "programs/BuildList.h"
#include "programs/ChangeWatch.h"
#include "text/WholeFile.h"
#include "worker/Locked.h"
#include "worker/OwnThread.h"

namespace torvex::programs {

struct ListKeeper::Shared {
    SRWLOCK lock = SRWLOCK_INIT;
    HWND window = nullptr;
    std::wstring listFile;
    std::shared_ptr<const Catalog> ready;
    bool stopping = false;
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // set: the thread is to end
    ~Shared() {
        if (stop != nullptr) CloseHandle(stop);
    }
};

namespace {

constexpr std::size_t kMostListBytes = 64u << 20;  // 100,000 entries of long paths
// Changes come in bursts (an installer writes many shortcuts): the list is built again once
// they have been quiet this long.
constexpr DWORD kQuietMilliseconds = 1000;
const wchar_t kListMessageName[] = L"Torvex.ProgramsListed";

using Shared = ListKeeper::Shared;

// Asked of the event, not under the lock: the thread runs behind the shell's, and the shell's
// thread must never wait for it to let go of the lock.
bool Stopping(Shared& shared) {
    return WaitForSingleObject(shared.stop, 0) != WAIT_TIMEOUT;
}

// A list not taken yet is let go of after the lock is: freeing it may take a while.
void HandOver(Shared& shared, std::vector<Listed> list) {
    std::shared_ptr<const Catalog> catalog = MakeCatalog(std::move(list));
    Locked locked(shared.lock);
    if (shared.stopping) return;
    shared.ready.swap(catalog);
    PostMessageW(shared.window, ListMessage(), 0, 0);
}

void Save(const std::wstring& file, const std::string& bytes) {
    if (file.empty()) return;
    const std::wstring folder = file.substr(0, file.find_last_of(L'\\'));
    CreateDirectoryW(folder.c_str(), nullptr);  // there already, mostly
    files::ReplaceWhole(file, bytes);
}

void KeepList(Shared& shared) {
    // Behind every thread of the shell's, for the processor and the disk.
    SetThreadPriority(GetCurrentThread(), THREAD_MODE_BACKGROUND_BEGIN);
    Apartment apartment;
    std::string written;
    if (!shared.listFile.empty() &&
        files::ReadStart(shared.listFile, kMostListBytes, written) == files::Read::kRead) {
        std::vector<Listed> saved = ReadList(written);
        if (!saved.empty()) HandOver(shared, std::move(saved));
    }
    ChangeWatch watch;  // before the first build: what changes meanwhile is built again
    while (!Stopping(shared)) {
        std::vector<Listed> list = BuildList([&] { return !Stopping(shared); });
        if (Stopping(shared)) return;
        std::string bytes = WrittenList(list);
        if (bytes != written) {
            HandOver(shared, std::move(list));
            if (Stopping(shared)) return;
            Save(shared.listFile, bytes);
            written = std::move(bytes);
        }
        if (!watch.WaitForChange(shared.stop, INFINITE)) return;
        while (true) {  // until it is quiet
            const ChangeWatch::Waited waited = watch.Wait(shared.stop, kQuietMilliseconds);
            if (waited == ChangeWatch::Waited::kStopped) return;
            if (waited == ChangeWatch::Waited::kQuiet) break;
        }
    }
}

}  // namespace

UINT ListMessage() {
    static const UINT message = RegisterWindowMessageW(kListMessageName);
    return message;
}

bool ListKeeper::Start(HWND window, const std::wstring& listFile) {
    if (shared_ != nullptr) return true;
    auto shared = std::make_shared<Shared>();
    if (shared->stop == nullptr) return false;
    shared->window = window;
    shared->listFile = listFile;
    if (!StartOwnThread([shared] { KeepList(*shared); })) return false;
    shared_ = std::move(shared);
    return true;
}

void ListKeeper::Stop() {
    if (shared_ == nullptr) return;
    std::shared_ptr<const Catalog> notTaken;
    {
        Locked locked(shared_->lock);
        shared_->stopping = true;
        notTaken.swap(shared_->ready);
    }
    SetEvent(shared_->stop);
    shared_.reset();
}

std::shared_ptr<const Catalog> ListKeeper::Take() {
    if (shared_ == nullptr) return nullptr;
    Locked locked(shared_->lock);
    return std::move(shared_->ready);
}

}  // namespace torvex::programs
