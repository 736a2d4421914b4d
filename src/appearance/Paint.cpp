// Drawing the box like a piece of the shell's toolbar, off-screen and in one piece.
#include <string>

#include "appearance/Font.h"
#include "appearance/GdiGuards.h"
#include "plugin/BoundedText.h"
#include "plugin/TorvexPlugin.h"

namespace {

// The rectangle `inset` pixels inside `area`, worked out wide so that no style overflows it.
RECT Inset(const RECT& area, int64_t inset) {
    return {torvex::ClampToInt(area.left + inset), torvex::ClampToInt(area.top + inset),
            torvex::ClampToInt(area.right - inset), torvex::ClampToInt(area.bottom - inset)};
}

}  // namespace

void TorvexPlugin::PaintBackground(HDC dc, const RECT* area) {
    // Without textures (a slit that repaints the box while the stop has freed them) there is
    // nothing of the style to draw.
    const StyleTexture* toolbar = toolbarTexture;
    if (toolbar == nullptr) return;
    MakeGradient(dc, *area, toolbar->textureKind, toolbarColor, toolbarColorTo,
                 toolbar->textureFlag, toolbar->textureParamA, toolbar->textureParamB, bevelWidth,
                 borderColor, borderWidth);
    const StyleTexture* label = labelTexture;
    if (label == nullptr || label->parentRelative) return;  // the toolbar shows through
    RECT inner = Inset(*area, int64_t{bevelWidth} + borderWidth);
    MakeGradient(dc, inner, label->textureKind, labelColor, labelColorTo, label->textureFlag,
                 label->textureParamA, label->textureParamB, bevelWidth, borderColor, borderWidth);
}

namespace {

// A box that the screen could not show whole (a style can make it up to 32767 rows high) keeps no
// bitmaps of its size.
bool FitsTheScreen(const RECT& client) {
    const long long screen =
        1LL * GetSystemMetrics(SM_CXVIRTUALSCREEN) * GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return 1LL * client.right * client.bottom <= screen;
}

}  // namespace

LRESULT TorvexPlugin::PaintBox(HWND window) {
    repaintPending = false;  // BeginPaint takes the whole of what is to be painted
    torvex::PaintSession paint(window);
    HDC screen = paint.dc();
    RECT client = {}, visible = {}, area = {};
    GetClientRect(window, &client);
    GetClipBox(screen, &visible);
    if (!IntersectRect(&area, &client, &paint.area()) || !IntersectRect(&area, &area, &visible)) {
        return 0;
    }
    const int width = area.right - area.left, height = area.bottom - area.top;
    auto drawBackground = [&](HDC dc) { PaintBackground(dc, &client); };
    // The screen's size is asked only for a size not held yet: the question is slow.
    const bool fits = paintCache.Holds(client.right, client.bottom) || FitsTheScreen(client);
    if (!fits || !paintCache.Ready(screen, client.right, client.bottom, drawBackground)) {
        PaintAlone(window, screen, client, area);
        return 0;
    }
    // The kept background, then the text over it, put together off-screen and shown in one piece.
    HDC frame = paintCache.frame();
    BitBlt(frame, area.left, area.top, width, height, paintCache.background(), area.left, area.top,
           SRCCOPY);
    DrawForeground(window, frame, client, area);
    BitBlt(screen, area.left, area.top, width, height, frame, area.left, area.top, SRCCOPY);
    return 0;
}

// Without kept bitmaps, only the part to be painted goes through a bitmap of its own, drawn as if
// it were the whole box: a huge box would otherwise cost a bitmap of all of its rows, and the
// drawing of them, at every key.
void TorvexPlugin::PaintAlone(HWND window, HDC screen, const RECT& client, const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    torvex::MemoryDC memory;
    torvex::CompatibleBitmap bitmap(screen, width, height);
    torvex::Selection selected(memory.get(), bitmap.get());
    SetViewportOrgEx(memory.get(), -area.left, -area.top, nullptr);
    PaintBackground(memory.get(), &client);
    DrawForeground(window, memory.get(), client, area);
    BitBlt(screen, area.left, area.top, width, height, memory.get(), area.left, area.top, SRCCOPY);
}

// The search prompt and the text, over whatever `dc` holds, inside `area` only.
void TorvexPlugin::DrawForeground(HWND window, HDC dc, const RECT& client, const RECT& area) {
    // The Edit class leaves its clipping (and may leave its font) in the DC: the DC is given back
    // as it was, for the next paint and so that no font is deleted while selected.
    torvex::SavedState saved(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    DrawSearchPrompt(dc, client);
    // The Edit class draws its text into the same DC, as the documentation of WM_PAINT asks: by
    // WM_PRINTCLIENT, whose wParam is the DC to draw into.
    CallWindowProcW(defaultEditProc, window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                    PRF_CLIENT);
    DrawSuggestion(dc);
}

// While Ctrl+R searches, the prompt before the text: half-way between the text colour and the
// toolbar's, so that it reads as the box's own words and not as part of the line.
void TorvexPlugin::DrawSearchPrompt(HDC dc, const RECT& client) {
    std::wstring prompt = SearchPrompt();
    if (prompt.empty()) return;
    RECT format = {};
    SendMessageW(editWindow, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    RECT plain = torvex::FormattingRect(client.right, client.bottom, textHeight);
    RECT area = {plain.left, format.top, format.left, format.bottom};
    torvex::Selection selected(dc, font);
    SetTextColor(dc, PromptColor());
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, prompt.c_str(), static_cast<int>(prompt.size()), &area,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

COLORREF TorvexPlugin::PromptColor() const {
    return RGB((GetRValue(textColor) + GetRValue(toolbarColor)) / 2,
               (GetGValue(textColor) + GetGValue(toolbarColor)) / 2,
               (GetBValue(textColor) + GetBValue(toolbarColor)) / 2);
}

LRESULT TorvexPlugin::ColorText(HDC dc) {
    SetTextColor(dc, textColor);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}
