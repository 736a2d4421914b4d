// The shell's textures: reading a description into a StyleTexture, and drawing one.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#define NIMBAR_API __declspec(dllexport)
#include "host/NimbarApi.h"
#include "shell/StandIn.h"

namespace {

using standin::BevelStyle;
using standin::TextureKind;

bool Has(const std::string& text, const char* word) {
    return text.find(word) != std::string::npos;
}

TextureKind KindOf(const std::string& text) {
    if (!Has(text, "gradient")) return TextureKind::kSolid;
    if (Has(text, "crossdiagonal")) return TextureKind::kCrossDiagonal;
    if (Has(text, "diagonal")) return TextureKind::kDiagonal;
    if (Has(text, "horizontal")) return TextureKind::kHorizontal;
    return TextureKind::kVertical;
}

BYTE Mix(BYTE a, BYTE b, int step, int steps) {
    if (steps <= 0) return a;
    return static_cast<BYTE>(a + (static_cast<int>(b) - a) * step / steps);
}

COLORREF Blend(COLORREF from, COLORREF to, int step, int steps) {
    return RGB(Mix(GetRValue(from), GetRValue(to), step, steps),
               Mix(GetGValue(from), GetGValue(to), step, steps),
               Mix(GetBValue(from), GetBValue(to), step, steps));
}

COLORREF Lighter(COLORREF color) {
    return Blend(color, RGB(255, 255, 255), 1, 2);
}
COLORREF Darker(COLORREF color) {
    return Blend(color, RGB(0, 0, 0), 1, 2);
}

// The part of `r` that the DC can show: only its pixels are worked out, while the colours still
// follow the whole of `r` (a box larger than the screen costs only what is seen).
RECT Shown(HDC dc, const RECT& r) {
    RECT clip, shown = {};
    if (GetClipBox(dc, &clip) == ERROR) return r;
    IntersectRect(&shown, &clip, &r);
    return shown;
}

// One texture as a shell draws it: every pixel worked out into a 32-bit buffer, the buffer then
// copied to the DC in one call. So a paint costs what a real gradient costs.
class Texture {
  public:
    Texture(const RECT& r, TextureKind kind, COLORREF from, COLORREF to, bool interlaced,
            BevelStyle bevel, int bevelInset, COLORREF borderColor, int border)
        : r_(r),
          kind_(kind),
          from_(from),
          to_(to),
          interlaced_(interlaced),
          bevel_(bevel),
          bevelInset_(bevelInset),
          borderColor_(borderColor),
          border_(border) {}

    COLORREF At(int x, int y) const {
        const int width = r_.right - r_.left, height = r_.bottom - r_.top;
        if (x < border_ || y < border_ || x >= width - border_ || y >= height - border_) {
            return borderColor_;
        }
        const int ix = x - border_, iy = y - border_;
        const int innerWidth = width - 2 * border_, innerHeight = height - 2 * border_;
        COLORREF color = Gradient(ix, iy, innerWidth, innerHeight);
        if (interlaced_ && iy % 2 == 1) color = Darker(from_);
        return Beveled(color, ix, iy, innerWidth, innerHeight);
    }

  private:
    COLORREF Gradient(int x, int y, int width, int height) const {
        switch (kind_) {
            case TextureKind::kSolid:
                return from_;
            case TextureKind::kHorizontal:
                return Blend(from_, to_, x, width - 1);
            case TextureKind::kVertical:
                return Blend(from_, to_, y, height - 1);
            case TextureKind::kDiagonal:
                return Blend(from_, to_, x + y, width + height - 2);
            case TextureKind::kCrossDiagonal:
                return Blend(from_, to_, x + height - 1 - y, width + height - 2);
        }
        return from_;
    }

    // A one-pixel frame, bevelInset inside: light at the top and left, dark at the bottom and
    // right (the other way round when sunken).
    COLORREF Beveled(COLORREF color, int x, int y, int width, int height) const {
        const int left = bevelInset_, top = bevelInset_;
        const int right = width - 1 - bevelInset_, bottom = height - 1 - bevelInset_;
        if (bevel_ == BevelStyle::kFlat || right - left < 1 || bottom - top < 1) return color;
        if (x < left || x > right || y < top || y > bottom) return color;
        COLORREF base = Blend(from_, to_, 1, 2);
        COLORREF light = Lighter(base), dark = Darker(base);
        if (bevel_ == BevelStyle::kSunken) std::swap(light, dark);
        if (y == bottom || x == right) return dark;
        if (y == top || x == left) return light;
        return color;
    }

    RECT r_;
    TextureKind kind_;
    COLORREF from_, to_;
    bool interlaced_;
    BevelStyle bevel_;
    int bevelInset_;
    COLORREF borderColor_;
    int border_;
};

void Draw(HDC dc, const RECT& r, const Texture& texture) {
    RECT s = Shown(dc, r);
    const int width = s.right - s.left, height = s.bottom - s.top;
    if (width <= 0 || height <= 0) return;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = texture.At(s.left - r.left + x, s.top - r.top + y);
            pixels[static_cast<std::size_t>(y) * width + x] =
                GetBValue(c) | (GetGValue(c) << 8) | (GetRValue(c) << 16);
        }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, s.left, s.top, width, height, 0, 0, 0, height, pixels.data(), &info,
                      DIB_RGB_COLORS);
}

}  // namespace

extern "C" {

NIMBAR_API StyleTexture* ParseItem(LPCSTR description, StyleTexture* texture) {
    if (texture == nullptr) return texture;
    std::string text = description ? description : "";
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    texture->parentRelative = Has(text, "parentrelative");
    texture->textureKind = static_cast<int32_t>(KindOf(text));
    texture->textureFlag = Has(text, "interlaced");
    BevelStyle bevel = Has(text, "sunken")   ? BevelStyle::kSunken
                       : Has(text, "raised") ? BevelStyle::kRaised
                                             : BevelStyle::kFlat;
    texture->textureParamA = static_cast<int32_t>(bevel);
    texture->textureParamB = Has(text, "bevel2") ? 2 : 1;
    return texture;
}

NIMBAR_API void MakeGradient(HDC dc, RECT rect, int kind, COLORREF from, COLORREF to, bool flag,
                             int paramA, int paramB, int bevelWidth, COLORREF borderColor,
                             int borderWidth) {
    standin::ReportCall("MakeGradient", dc,
                        "%ld,%ld,%ld,%ld %d #%06lx #%06lx %d %d %d %d #%06lx %d", rect.left,
                        rect.top, rect.right, rect.bottom, kind, from, to, flag, paramA, paramB,
                        bevelWidth, borderColor, borderWidth);
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    int border = std::max(0, borderWidth);
    int inset = paramB == 2 ? std::max(0, bevelWidth) : 0;
    Draw(dc, rect,
         Texture(rect, static_cast<TextureKind>(kind), from, to, flag,
                 static_cast<BevelStyle>(paramA), inset, borderColor, border));
}

}  // extern "C"
