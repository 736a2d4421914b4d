#pragma once
// Small owners for the GDI objects that one function makes and releases on every path.
#include <windows.h>

namespace torvex {

class MemoryDC {
  public:
    MemoryDC() : dc_(CreateCompatibleDC(nullptr)) {}
    ~MemoryDC() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

class CompatibleBitmap {
  public:
    CompatibleBitmap(HDC dc, int width, int height)
        : bitmap_(CreateCompatibleBitmap(dc, width, height)) {}
    ~CompatibleBitmap() {
        if (bitmap_ != nullptr) DeleteObject(bitmap_);
    }
    CompatibleBitmap(const CompatibleBitmap&) = delete;
    CompatibleBitmap& operator=(const CompatibleBitmap&) = delete;
    HBITMAP get() const { return bitmap_; }

  private:
    HBITMAP bitmap_;
};

// Selects an object into a DC and puts the one it replaced back on destruction; declare it after
// the object's own owner, so that the object is deselected before it is deleted.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc),
          previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// SaveDC, and RestoreDC at the end of the scope: clipping, objects, colours and origins as they
// were.
class SavedState {
  public:
    explicit SavedState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedState() {
        if (saved_ != 0) RestoreDC(dc_, saved_);
    }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

  private:
    HDC dc_;
    int saved_;
};

// BeginPaint, and EndPaint at the end of the scope whatever happens before it: the caret that
// BeginPaint hid is shown again.
class PaintSession {
  public:
    explicit PaintSession(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintSession() { EndPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    HDC dc() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};

}  // namespace torvex
