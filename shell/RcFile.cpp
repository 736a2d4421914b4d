#include "shell/RcFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace standin {
namespace {

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool StartsWithIgnoringCase(const std::string& text, const char* prefix) {
    std::size_t length = std::strlen(prefix);
    if (text.size() < length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool FindRcValue(const char* path, const char* key, std::string& value) {
    if (path == nullptr || key == nullptr || *key == '\0') return false;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#' || trimmed[0] == '!') continue;
        if (!StartsWithIgnoringCase(trimmed, key)) continue;
        value = Trim(trimmed.substr(std::strlen(key)));
        return true;
    }
    return false;
}

bool ParseBool(const std::string& text, bool& value) {
    if (StartsWithIgnoringCase(text, "true") && text.size() == 4) {
        value = true;
        return true;
    }
    if (StartsWithIgnoringCase(text, "false") && text.size() == 5) {
        value = false;
        return true;
    }
    return false;
}

bool ParseInt(const std::string& text, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseColor(const std::string& text, unsigned long& value) {
    if (text.empty() || text[0] != '#') return false;
    std::string digits = text.substr(1);
    if (digits.size() == 3)
        digits = {digits[0], digits[0], digits[1], digits[1], digits[2], digits[2]};
    if (digits.size() != 6) return false;
    unsigned long rgb[3];
    for (int part = 0; part < 3; ++part) {
        int high = HexDigit(digits[part * 2]);
        int low = HexDigit(digits[part * 2 + 1]);
        if (high < 0 || low < 0) return false;
        rgb[part] = static_cast<unsigned long>(high * 16 + low);
    }
    value = rgb[0] | (rgb[1] << 8) | (rgb[2] << 16);
    return true;
}

}  // namespace standin
