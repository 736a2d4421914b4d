// Drawing the box like a piece of the shell's toolbar, off-screen and in one piece.
#include "appearance/Paint.h"

#include "appearance/GdiGuards.h"
#include "plugin/TorvexPlugin.h"

namespace torvex {

bool IsRepaintKey(WPARAM key) {
    return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
           (key >= VK_NUMPAD0 && key <= VK_DIVIDE) || key == VK_SPACE || key == VK_BACK ||
           key == VK_DELETE;
}

}  // namespace torvex

void TorvexPlugin::PaintBackground(HDC dc, const RECT* area) {
    const StyleTexture* toolbar = toolbarTexture;
    MakeGradient(dc, *area, toolbar->textureKind, toolbarColor, toolbarColorTo,
                 toolbar->textureFlag, toolbar->textureParamA, toolbar->textureParamB, bevelWidth,
                 borderColor, borderWidth);
    const StyleTexture* label = labelTexture;
    if (label->parentRelative) return;  // the toolbar shows through
    int inset = bevelWidth + borderWidth;
    RECT inner = {area->left + inset, area->top + inset, area->right - inset, area->bottom - inset};
    MakeGradient(dc, inner, label->textureKind, labelColor, labelColorTo, label->textureFlag,
                 label->textureParamA, label->textureParamB, bevelWidth, borderColor, borderWidth);
}

LRESULT TorvexPlugin::PaintBox(HWND window, LPARAM lParam) {
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(window, &paint);
    RECT client = {};
    GetClientRect(window, &client);
    {
        torvex::MemoryDC memory;
        torvex::CompatibleBitmap bitmap(screen, client.right, client.bottom);
        torvex::Selection selected(memory.get(), bitmap.get());
        PaintBackground(memory.get(), &client);
        // The Edit class draws its text over the background, into the same bitmap.
        CallWindowProcA(defaultEditProc, window, WM_PAINT, reinterpret_cast<WPARAM>(memory.get()),
                        lParam);
        BitBlt(screen, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
    EndPaint(window, &paint);
    return 0;
}

LRESULT TorvexPlugin::ColorText(HDC dc) {
    SetTextColor(dc, textColor);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}
