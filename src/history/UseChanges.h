#pragma once
// What this box changed in the use counts since it last read their file. Two boxes (two shells,
// or a shell restarted beside one still running) share one file: before each write the file is
// read again and only this box's own changes are laid on it, so that uses counted in the other
// box are kept, and lines erased there are not written back. Plain portable C++.
#include <string>
#include <unordered_set>

#include "history/UseCounts.h"

namespace torvex::uses {

class UseChanges {
  public:
    void Record(const std::u16string& line, std::int64_t now);
    // Shift+Delete: the line's uses leave the file, whatever the other box counted.
    void Forget(const std::u16string& line);
    bool empty() const { return runs_.all().empty() && forgotten_.empty(); }
    // The counts `inFile` with this box's changes on them, aged: what is written back.
    UseCounts AppliedTo(UseCounts inFile) const;
    // Written, or no longer wanted (".clear").
    void Done();
    // `older` (a write that failed) comes before these changes, to be written with them.
    void Before(const UseChanges& older);

  private:
    UseCounts runs_;  // the uses since the last write
    std::unordered_set<std::u16string> forgotten_;
};

}  // namespace torvex::uses
