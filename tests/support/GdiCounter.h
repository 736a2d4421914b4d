#pragma once
// Counts the GDI objects that this program makes and deletes, by replacing gdi32's functions in
// the program's own import table. GetGuiResources answers 0 under Wine, so it cannot be asked.
#include <windows.h>

namespace testsupport {

class GdiCounter {
  public:
    GdiCounter();   // starts counting
    ~GdiCounter();  // restores the import table
    GdiCounter(const GdiCounter&) = delete;
    GdiCounter& operator=(const GdiCounter&) = delete;

    // DCs, bitmaps and fonts made while counting and not deleted yet.
    int Live() const;
    bool Hooked() const { return hooked_ == 5; }

  private:
    int hooked_ = 0;
};

}  // namespace testsupport
