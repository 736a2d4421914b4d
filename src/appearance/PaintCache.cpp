#include "appearance/PaintCache.h"

namespace torvex {

bool PaintCache::Surface::Make(HDC screen, int width, int height) {
    dc = CreateCompatibleDC(screen);
    bitmap = dc != nullptr ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    previous = bitmap != nullptr ? SelectObject(dc, bitmap) : nullptr;
    if (previous != nullptr) return true;
    Release();
    return false;
}

void PaintCache::Surface::Release() {
    if (previous != nullptr) SelectObject(dc, previous);
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (dc != nullptr) DeleteDC(dc);
    *this = Surface();
}

bool PaintCache::Ready(HDC screen, int width, int height, const std::function<void(HDC)>& draw) {
    if (drawn_ && Holds(width, height)) return true;
    // The screen's colour depth is asked only when the background is to be drawn anyway: the
    // question is slow (under Wine it costs a tenth of a key).
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    if (!Holds(width, height) || depth != depth_) {
        Release();
        if (!background_.Make(screen, width, height) || !frame_.Make(screen, width, height)) {
            Release();
            return false;
        }
        width_ = width, height_ = height, depth_ = depth;
    }
    draw(background_.dc);
    drawn_ = true;
    return true;
}

void PaintCache::Release() {
    frame_.Release();
    background_.Release();
    width_ = height_ = depth_ = 0;
    drawn_ = false;
}

}  // namespace torvex
