// The shell's textures: reading a description into a StyleTexture, and drawing one.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>

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

// Fills with the DC's own brush, so that drawing makes no GDI object.
void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    if (right <= left || bottom <= top) return;
    RECT area = {left, top, right, bottom};
    SetDCBrushColor(dc, color);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The part of `r` that the DC can show: the loops below draw only there, while the colours
// still follow the whole of `r` (a box larger than the screen costs only what is seen).
RECT Shown(HDC dc, const RECT& r) {
    RECT clip, shown = {};
    if (GetClipBox(dc, &clip) == ERROR) return r;
    IntersectRect(&shown, &clip, &r);
    return shown;
}

void FillGradient(HDC dc, const RECT& r, TextureKind kind, COLORREF from, COLORREF to) {
    int width = r.right - r.left, height = r.bottom - r.top;
    RECT s = Shown(dc, r);
    switch (kind) {
        case TextureKind::kSolid:
            Fill(dc, s.left, s.top, s.right, s.bottom, from);
            break;
        case TextureKind::kHorizontal:
            for (int x = s.left - r.left; x < s.right - r.left; ++x)
                Fill(dc, r.left + x, s.top, r.left + x + 1, s.bottom,
                     Blend(from, to, x, width - 1));
            break;
        case TextureKind::kVertical:
            for (int y = s.top - r.top; y < s.bottom - r.top; ++y)
                Fill(dc, s.left, r.top + y, s.right, r.top + y + 1, Blend(from, to, y, height - 1));
            break;
        case TextureKind::kDiagonal:
        case TextureKind::kCrossDiagonal:
            for (int y = s.top - r.top; y < s.bottom - r.top; ++y) {
                int row = kind == TextureKind::kDiagonal ? y : height - 1 - y;
                for (int x = s.left - r.left; x < s.right - r.left; ++x) {
                    SetPixelV(dc, r.left + x, r.top + y,
                              Blend(from, to, x + row, width + height - 2));
                }
            }
            break;
    }
}

void Interlace(HDC dc, const RECT& r, COLORREF from) {
    RECT s = Shown(dc, r);
    for (int y = r.top + 1 + ((s.top - r.top) & ~1); y < s.bottom; y += 2)
        Fill(dc, s.left, y, s.right, y + 1, Darker(from));
}

void DrawBevel(HDC dc, const RECT& r, BevelStyle style, int inset, COLORREF base) {
    if (style == BevelStyle::kFlat) return;
    RECT b = {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
    if (b.right - b.left < 2 || b.bottom - b.top < 2) return;
    COLORREF light = Lighter(base), dark = Darker(base);
    if (style == BevelStyle::kSunken) std::swap(light, dark);
    Fill(dc, b.left, b.top, b.right, b.top + 1, light);
    Fill(dc, b.left, b.top, b.left + 1, b.bottom, light);
    Fill(dc, b.left, b.bottom - 1, b.right, b.bottom, dark);
    Fill(dc, b.right - 1, b.top, b.right, b.bottom, dark);
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
    COLORREF previousBrush = GetDCBrushColor(dc);
    int border = std::max(0, borderWidth);
    Fill(dc, rect.left, rect.top, rect.right, rect.top + border, borderColor);
    Fill(dc, rect.left, rect.bottom - border, rect.right, rect.bottom, borderColor);
    Fill(dc, rect.left, rect.top, rect.left + border, rect.bottom, borderColor);
    Fill(dc, rect.right - border, rect.top, rect.right, rect.bottom, borderColor);

    RECT inner = {rect.left + border, rect.top + border, rect.right - border, rect.bottom - border};
    if (inner.right > inner.left && inner.bottom > inner.top) {
        FillGradient(dc, inner, static_cast<TextureKind>(kind), from, to);
        if (flag) Interlace(dc, inner, from);
        int inset = paramB == 2 ? std::max(0, bevelWidth) : 0;
        DrawBevel(dc, inner, static_cast<BevelStyle>(paramA), inset, Blend(from, to, 1, 2));
    }
    SetDCBrushColor(dc, previousBrush);
}

}  // extern "C"
