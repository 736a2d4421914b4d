#pragma once
// What the suggestions rank by: the use counts as their file held them when last read, with this
// box's changes since, and the ranking made from them and the held lines.
#include <cstddef>
#include <string>
#include <vector>

#include "history/UseChanges.h"
#include "history/UseCounts.h"
#include "history/UsesFile.h"

namespace torvex::uses {

struct Uses {
    UseCounts counts;
    UseChanges changes;  // not written yet
    UsesFile file;       // written on the worker
};

// What a key ranks by, made again only after the history or the counts changed, so that a key
// neither looks up nor allocates anything per line: each held slot's uses, and the lines counted
// that the list no longer holds, newest use first.
struct Ranked {
    bool stale = true;
    std::vector<Use> held;
    std::vector<std::size_t> heldLengths;
    std::vector<std::wstring> counted;
    std::vector<Use> countedUses;
    std::vector<bool> gone;  // of the held slots, then of the lines counted
};

}  // namespace torvex::uses
