#pragma once
// The use counts' file, written on the box's worker: a write reads the file again and lays this
// box's changes on what it holds then, and only then replaces it, so that the shell's thread
// never waits on the disk and another box writing the same file loses nothing. Each write and
// each erasure is answered to the box with SavedMessage().
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "history/UseChanges.h"
#include "history/UseCounts.h"
#include "worker/Worker.h"

namespace torvex::uses {

class UsesFile {
  public:
    struct Answer {
        bool written = false;
        UseCounts counts;      // written: what the file holds now
        UseChanges unwritten;  // not written (the file could not be read or replaced): kept
    };

    // The counts the file at `path` holds (none when there is no file); false when it is there
    // but cannot be read now. On the calling thread.
    static bool Read(const std::wstring& path, std::int64_t now, UseCounts& counts);

    // On `worker`, or here when it runs no jobs; `window` hears of it.
    void Save(Worker& worker, HWND window, const std::wstring& path, UseChanges changes,
              std::int64_t now);
    // Every file of `paths` deleted, or emptied; those that could be neither are answered.
    void Erase(Worker& worker, HWND window, std::vector<std::wstring> paths);
    // From now on, what was asked before is answered no more (".clear" forgot it).
    void Forget() { answers_ = std::make_shared<Answers>(); }

    std::vector<Answer> TakeAnswers();
    std::vector<std::wstring> TakeNotErased();

  private:
    struct Answers {
        SRWLOCK lock = SRWLOCK_INIT;
        std::vector<Answer> saved;
        std::vector<std::wstring> notErased;
    };
    std::shared_ptr<Answers> answers_ = std::make_shared<Answers>();
};

// The message the box is sent once a write or an erasure on the worker is done.
UINT SavedMessage();

}  // namespace torvex::uses
