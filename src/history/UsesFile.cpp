#include "history/UsesFile.h"

#include <utility>

#include "text/WholeFile.h"
#include "worker/Locked.h"

namespace torvex::uses {
namespace {

const wchar_t kSavedMessageName[] = L"Torvex.UsesSaved";

void RunOn(Worker& worker, Worker::Job job) {
    if (!worker.Post(job)) job();  // no worker: nothing may be lost for it
}

}  // namespace

bool UsesFile::Read(const std::wstring& path, std::int64_t now, UseCounts& counts) {
    std::string bytes;
    switch (files::ReadStart(path, kMostFileBytes, bytes)) {
        case files::Read::kRead:
            counts = UseCounts::FromBytes(bytes, now);
            return true;
        case files::Read::kMissing:
            counts = UseCounts();
            return true;
        case files::Read::kFailed:
            break;
    }
    return false;
}

void UsesFile::Save(Worker& worker, HWND window, const std::wstring& path, UseChanges changes,
                    std::int64_t now) {
    auto answers = answers_;
    RunOn(worker, [answers, window, path, changes = std::move(changes), now] {
        Answer answer;
        UseCounts inFile;
        if (Read(path, now, inFile)) {
            answer.counts = changes.AppliedTo(std::move(inFile));
            answer.written = files::ReplaceWhole(path, answer.counts.Bytes());
        }
        if (!answer.written) answer.unwritten = changes;
        {
            Locked locked(answers->lock);
            answers->saved.push_back(std::move(answer));
        }
        PostMessageW(window, SavedMessage(), 0, 0);
    });
}

void UsesFile::Erase(Worker& worker, HWND window, std::vector<std::wstring> paths) {
    auto answers = answers_;
    RunOn(worker, [answers, window, paths = std::move(paths)] {
        std::vector<std::wstring> left;
        for (const std::wstring& path : paths) {
            if (!files::Erase(path)) left.push_back(path);
        }
        {
            Locked locked(answers->lock);
            for (std::wstring& path : left) answers->notErased.push_back(std::move(path));
        }
        PostMessageW(window, SavedMessage(), 0, 0);
    });
}

std::vector<UsesFile::Answer> UsesFile::TakeAnswers() {
    std::vector<Answer> taken;
    Locked locked(answers_->lock);
    taken.swap(answers_->saved);
    return taken;
}

std::vector<std::wstring> UsesFile::TakeNotErased() {
    std::vector<std::wstring> taken;
    Locked locked(answers_->lock);
    taken.swap(answers_->notErased);
    return taken;
}

UINT SavedMessage() {
    static const UINT message = RegisterWindowMessageW(kSavedMessageName);
    return message;
}

}  // namespace torvex::uses
