#include "history/GonePrograms.h"

#include <unordered_set>

#include "paths/CommandWord.h"
#include "text/CodePage.h"
#include "worker/Locked.h"

namespace torvex {
namespace {

const wchar_t kLearntMessageName[] = L"Torvex.ProgramsLearnt";

// "C:\..." names a drive; its root, or the empty text.
std::wstring DriveRoot(const std::u16string& path) {
    bool drive = path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/') &&
                 ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
    return drive ? std::wstring{static_cast<wchar_t>(path[0]), L':', L'\\'} : L"";
}

bool Exists(std::u16string_view path) {
    return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// The drive's type is asked each time: a letter may name another drive since the last line.
bool ProgramIsGone(std::u16string_view line) {
    const std::u16string text(line);
    words::Parsed program = words::WordAt(text, 0, true);
    std::wstring root = DriveRoot(program.text);
    if (root.empty() || GetDriveTypeW(root.c_str()) != DRIVE_FIXED || Exists(program.text)) {
        return false;
    }
    if (text[program.start] == u'"') return true;
    for (std::size_t end = text.size(); end > program.end;) {
        if (Exists(std::u16string_view(text).substr(program.start, end - program.start))) {
            return false;
        }
        end = text.find_last_of(u" \t", end - 1);
        if (end == std::u16string::npos) break;
    }
    return true;
}

UINT LearntMessage() {
    static const UINT message = RegisterWindowMessageW(kLearntMessageName);
    return message;
}

bool GonePrograms::IsGone(const std::u16string& line) {
    auto [found, added] = known_.try_emplace(line, State::kToAsk);
    if (added) toAsk_.push_back(line);
    return found->second == State::kGone;
}

bool GonePrograms::Ask(Worker& worker, HWND window) {
    if (toAsk_.empty()) return false;
    std::vector<std::u16string> lines = std::move(toAsk_);
    toAsk_.clear();
    for (const std::u16string& line : lines) known_[line] = State::kAsked;
    std::shared_ptr<Answers> answers = answers_;
    return worker.Post([answers, window, lines = std::move(lines)] {
        std::vector<std::pair<std::u16string, bool>> learnt;
        for (const std::u16string& line : lines) learnt.emplace_back(line, ProgramIsGone(line));
        {
            Locked locked(answers->lock);
            for (auto& answer : learnt) answers->gone.push_back(std::move(answer));
        }
        PostMessageW(window, LearntMessage(), 0, 0);
    });
}

bool GonePrograms::TakeAnswers() {
    std::vector<std::pair<std::u16string, bool>> learnt;
    {
        Locked locked(answers_->lock);
        learnt.swap(answers_->gone);
    }
    bool anyGone = false;
    for (const auto& [line, gone] : learnt) {
        auto found = known_.find(line);
        if (found == known_.end() || found->second != State::kAsked) continue;  // forgotten since
        found->second = gone ? State::kGone : State::kThere;
        anyGone = anyGone || gone;
    }
    return anyGone;
}

void GonePrograms::KeepOnly(const std::vector<std::u16string>& kept) {
    std::unordered_set<std::u16string> keep(kept.begin(), kept.end());
    for (auto entry = known_.begin(); entry != known_.end();) {
        entry = keep.count(entry->first) != 0 ? std::next(entry) : known_.erase(entry);
    }
}

}  // namespace torvex
