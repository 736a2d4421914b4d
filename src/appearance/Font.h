#pragma once
#include <windows.h>

#include <string>

namespace torvex {

// The text sits vertically centred; the side margins are one pixel wider than the top one.
RECT FormattingRect(int clientWidth, int clientHeight, int textHeight);

// tmHeight of the font, and the width of `text` in it, measured in a memory DC.
int MeasureTextHeight(HFONT font);
int MeasureTextWidth(HFONT font, const std::wstring& text);

}  // namespace torvex
