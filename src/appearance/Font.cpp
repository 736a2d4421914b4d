// The box's font, and the formatting rectangle that centres the text vertically.
#include "appearance/Font.h"

#include <algorithm>
#include <string>

#include "appearance/GdiGuards.h"
#include "plugin/TorvexPlugin.h"

namespace torvex {

RECT FormattingRect(int clientWidth, int clientHeight, int textHeight) {
    int pad = (clientHeight - textHeight) / 2;  // truncates toward zero
    if (pad < 0) pad = 0;
    return {pad + 1, pad, clientWidth - (pad + 1), clientHeight - pad};
}

int MeasureTextWidth(HFONT font, const std::wstring& text) {
    MemoryDC dc;
    Selection selected(dc.get(), font);
    SIZE size = {};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int MeasureTextHeight(HFONT font) {
    MemoryDC dc;
    Selection selected(dc.get(), font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc.get(), &metrics);
    return metrics.tmHeight;
}

}  // namespace torvex

void TorvexPlugin::ApplyFont() {
    if (font != nullptr) DeleteObject(font);
    font = CreateFontA(fontHeight, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, fontName);
    SendMessageA(editWindow, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    textHeight = torvex::MeasureTextHeight(font);
    PlaceText();
}

// The text centred vertically; while Ctrl+R searches, after the prompt, which takes at most half
// of the box.
void TorvexPlugin::PlaceText() {
    RECT client = {};
    GetClientRect(editWindow, &client);
    RECT format = torvex::FormattingRect(client.right, client.bottom, textHeight);
    std::wstring prompt = SearchPrompt();
    if (!prompt.empty()) {
        LONG promptWidth = std::min<LONG>(torvex::MeasureTextWidth(font, prompt), client.right / 2);
        format.left = std::min<LONG>(format.left + promptWidth, format.right);
    }
    // Without a redraw of the class's own: the box paints itself whole after it.
    SendMessageA(editWindow, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
}
