#include "history/UseChanges.h"

namespace torvex::uses {

void UseChanges::Record(const std::u16string& line, std::int64_t now) {
    runs_.Record(line, now);
}

void UseChanges::Forget(const std::u16string& line) {
    runs_.Forget(line);
    forgotten_.insert(line);
}

UseCounts UseChanges::AppliedTo(UseCounts inFile) const {
    for (const std::u16string& line : forgotten_) inFile.Forget(line);
    for (const auto& [line, use] : runs_.all()) inFile.Add(line, use);
    inFile.Age();
    return inFile;
}

void UseChanges::Done() {
    runs_.Clear();
    forgotten_.clear();
}

void UseChanges::Before(const UseChanges& older) {
    for (const auto& [line, use] : older.runs_.all()) {
        if (forgotten_.count(line) == 0) runs_.Add(line, use);  // else forgotten since
    }
    forgotten_.insert(older.forgotten_.begin(), older.forgotten_.end());
}

}  // namespace torvex::uses
