#pragma once
// The box's background, drawn once and kept, and the bitmap in which each paint puts the box
// together: both the size of the box, compatible with the screen. The background is drawn again
// only when the size, the screen's colour depth, the style or the settings change.
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
    HDC background() const { return background_.dc; }
    HDC frame() const { return frame_.dc; }

    void Redraw() { drawn_ = false; }  // the style, the settings or the placement changed
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
