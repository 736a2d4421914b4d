#pragma once
// Whether the program of a held line is gone, so that it is not suggested (as fish does). Asking
// may wait on a disk or a network (a folder link to a share, a disk that has spun down), so it is
// asked on the box's worker, at most once per line while the box runs, and a key reads only what
// was learnt: until the answer comes, a line counts as there.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "worker/Worker.h"

namespace torvex {

// A line whose program is a path on a local fixed drive that no longer exists. Network and
// removable drives are never asked. An unquoted program may hold blanks, as the engine takes
// it: the line is gone only when no part of it that ends before a blank names anything.
bool ProgramIsGone(std::u16string_view line);

class GonePrograms {
  public:
    // Whether `line` was learnt to be gone; asked of the worker at the next Ask when it never
    // was. `lines` of a ranking that no longer hold a line forget it.
    bool IsGone(const std::u16string& line);
    // Asks the worker about every line met since the last Ask, and has `window` sent
    // LearntMessage() once the answers are in; false when nothing was asked.
    bool Ask(Worker& worker, HWND window);
    // The answers that came in: true when any line was learnt to be gone.
    bool TakeAnswers();
    // Every line kept is in `kept`: the others are forgotten.
    void KeepOnly(const std::vector<std::u16string>& kept);
    void Forget(const std::u16string& line) { known_.erase(line); }

  private:
    enum class State : unsigned char { kToAsk, kAsked, kThere, kGone };
    struct Answers {
        SRWLOCK lock = SRWLOCK_INIT;
        std::vector<std::pair<std::u16string, bool>> gone;
    };
    std::unordered_map<std::u16string, State> known_;
    std::vector<std::u16string> toAsk_;
    std::shared_ptr<Answers> answers_ = std::make_shared<Answers>();
};

// The message the box is sent once answers are in.
UINT LearntMessage();

}  // namespace torvex
