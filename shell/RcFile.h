#pragma once
// Reading "key: value" rc files the way the shell does.
#include <string>

namespace standin {

// The trimmed value of the first line whose key matches `key` (which carries its colon),
// compared ignoring case; false when the file or the key is missing. Lines starting with "#" or
// "!" are comments.
bool FindRcValue(const char* path, const char* key, std::string& value);

bool ParseBool(const std::string& text, bool& value);
bool ParseInt(const std::string& text, int& value);
// "#RRGGBB" or "#RGB" to a COLORREF value (0x00BBGGRR).
bool ParseColor(const std::string& text, unsigned long& value);

}  // namespace standin
