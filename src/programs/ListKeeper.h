#pragma once
// The list of programs, built and kept current on a thread of the box's own, so that the shell's
// thread never waits on a Start menu folder, the registry or the list's file. The thread first
// reads the list that the last start saved, then builds it anew, saves it, and builds it again
// whenever the Start menu folders or the App Paths keys change. Each list that differs from the
// last is handed to the box whole: the box is posted ListMessage() and takes it with Take().
// The thread holds a reference on this module, given back by FreeLibraryAndExitThread as it
// ends; Stop asks it to end and never waits for it.
#include <windows.h>

#include <memory>
#include <string>

#include "programs/Catalog.h"

namespace torvex::programs {

inline constexpr wchar_t kListFileName[] = L"programs.txt";

UINT ListMessage();

class ListKeeper {
  public:
    ListKeeper() = default;
    ~ListKeeper() { Stop(); }
    ListKeeper(const ListKeeper&) = delete;
    ListKeeper& operator=(const ListKeeper&) = delete;

    // Not under the loader lock. `listFile`: where the list is kept (empty: nowhere).
    bool Start(HWND window, const std::wstring& listFile);
    void Stop();
    bool Running() const { return shared_ != nullptr; }
    // The newest list handed over since the last Take; null when there is none.
    std::shared_ptr<const Catalog> Take();

    struct Shared;

  private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace torvex::programs
