#pragma once
// Counts the GDI objects that a module (by default this program) makes and deletes, by replacing
// gdi32's functions in its import table. GetGuiResources answers 0 under Wine, so it cannot be
// asked.
#include <windows.h>

namespace testsupport {

class GdiCounter {
  public:
    explicit GdiCounter(HMODULE module = nullptr);  // starts counting
    ~GdiCounter();                                  // restores the import table
    GdiCounter(const GdiCounter&) = delete;
    GdiCounter& operator=(const GdiCounter&) = delete;

    // DCs, bitmaps and fonts made while counting and not deleted yet.
    int Live() const;
    long long LargestBitmap() const;  // the most pixels asked for in one bitmap
    bool Hooked() const { return hooked_ == 5; }

  private:
    HMODULE module_;
    int hooked_ = 0;
};

}  // namespace testsupport
