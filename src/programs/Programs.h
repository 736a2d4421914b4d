#pragma once
// What the box keeps of the programs it knows: the list's thread, the list it handed over last,
// and what a key ranks its entries by (the picks learnt and the uses of each entry, made again
// only after they changed).
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "programs/Catalog.h"
#include "programs/ListKeeper.h"

namespace torvex::programs {

struct Programs {
    ListKeeper keeper;
    std::shared_ptr<const Catalog> catalog;  // null until the thread has handed one over
    Suggester suggester;
    bool stale = true;
    std::vector<Pick> picks;                        // newest first
    std::unordered_map<int, std::uint64_t> scores;  // of the entries run, by their index
    // The entry taken with End or Right, and the text typed before (folded): learnt when the
    // line then starts it.
    int taken = -1;
    std::u16string takenFrom;
};

}  // namespace torvex::programs
