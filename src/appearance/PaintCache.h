#pragma once
// The box's background, drawn once and kept, and the bitmap in which each paint puts the box
// together: both the size of the box, compatible with the screen. The background is drawn again
// only when the size, the style or the settings change, or the box docks or undocks, and made
// again when the screen's colour depth has changed by then (the display's own change is told to
// the floating box by WM_DISPLAYCHANGE).
#include <windows.h>

#include <functional>

namespace torvex {

class PaintCache {
  public:
    PaintCache() = default;
    ~PaintCache() { Release(); }
    PaintCache(const PaintCache&) = delete;
    PaintCache& operator=(const PaintCache&) = delete;

    // Ready for a box of `width` × `height` on `screen`, the background drawn by `draw` when it
    // had to be; false when the bitmaps cannot be had (nothing is then kept).
    bool Ready(HDC screen, int width, int height, const std::function<void(HDC)>& draw);
    bool Holds(int width, int height) const {
        return frame_.dc != nullptr && width == width_ && height == height_;
    }
    HDC background() const { return background_.dc; }
    HDC frame() const { return frame_.dc; }

    void Redraw() {
        drawn_ = false;
    }  // the style, the settings, the placement or the display changed
    void Release();

  private:
    struct Surface {
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ previous = nullptr;
        bool Make(HDC screen, int width, int height);
        void Release();
    };
    Surface background_, frame_;
    int width_ = 0, height_ = 0, depth_ = 0;
    bool drawn_ = false;
};

}  // namespace torvex
