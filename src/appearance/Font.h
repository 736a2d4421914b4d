#pragma once
#include <windows.h>

namespace torvex {

// The text sits vertically centred; the side margins are one pixel wider than the top one.
RECT FormattingRect(int clientWidth, int clientHeight, int textHeight);

// tmHeight of the font, measured in a memory DC.
int MeasureTextHeight(HFONT font);

}  // namespace torvex
