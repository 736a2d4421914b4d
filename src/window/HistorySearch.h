#pragma once
// What Ctrl+R keeps while it searches the history.
#include <string>

namespace torvex {

struct HistorySearch {
    bool active = false;
    std::u16string text;    // what is searched for
    int slot = -1;          // the slot shown; -1: nothing matched
    std::u16string before;  // what the field held
};

}  // namespace torvex
