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

LRESULT TorvexPlugin::PaintBox(HWND window) {
    torvex::PaintSession paint(window);
    HDC screen = paint.dc();
    RECT client = {}, visible = {}, area = {};
    GetClientRect(window, &client);
    GetClipBox(screen, &visible);
    // Only the part to be painted goes through the off-screen bitmap, drawn as if it were the
    // whole box: a style that makes the box huge would otherwise cost a bitmap of up to
    // 32767 rows, and the drawing of all of them, at every key.
    if (IntersectRect(&area, &client, &paint.area()) && IntersectRect(&area, &area, &visible)) {
        const int width = area.right - area.left, height = area.bottom - area.top;
        torvex::MemoryDC memory;
        torvex::CompatibleBitmap bitmap(screen, width, height);
        torvex::Selection selected(memory.get(), bitmap.get());
        SetViewportOrgEx(memory.get(), -area.left, -area.top, nullptr);
        PaintBackground(memory.get(), &client);
        DrawSearchPrompt(memory.get(), client);
        // The Edit class draws its text over the background, into the same bitmap, as the
        // documentation of WM_PAINT asks: by WM_PRINTCLIENT, whose wParam is the DC to draw into.
        CallWindowProcW(defaultEditProc, window, WM_PRINTCLIENT,
                        reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
        BitBlt(screen, area.left, area.top, width, height, memory.get(), area.left, area.top,
               SRCCOPY);
    }
    return 0;
}

// While Ctrl+R searches, the prompt before the text: half-way between the text colour and the
// toolbar's, so that it reads as the box's own words and not as part of the line.
void TorvexPlugin::DrawSearchPrompt(HDC dc, const RECT& client) {
    std::wstring prompt = SearchPrompt();
    if (prompt.empty()) return;
    RECT format = {};
    SendMessageW(editWindow, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    RECT plain =
        torvex::FormattingRect(client.right, client.bottom, torvex::MeasureTextHeight(font));
    RECT area = {plain.left, format.top, format.left, format.bottom};
    torvex::Selection selected(dc, font);
    SetTextColor(dc, RGB((GetRValue(textColor) + GetRValue(toolbarColor)) / 2,
                         (GetGValue(textColor) + GetGValue(toolbarColor)) / 2,
                         (GetBValue(textColor) + GetBValue(toolbarColor)) / 2));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, prompt.c_str(), static_cast<int>(prompt.size()), &area,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

LRESULT TorvexPlugin::ColorText(HDC dc) {
    SetTextColor(dc, textColor);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}
