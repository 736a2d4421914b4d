// The shell's text helpers, as exported to plug-ins.
#include <windows.h>

#include <cctype>
#include <cstring>

#define NIMBAR_API __declspec(dllexport)
#include "host/NimbarApi.h"
#include "shell/StandIn.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Copies one word starting at `text` into `target` (at most size - 1 characters), and returns
// where the text goes on after it. A double-quoted word is taken whole, without its quotes.
const char* TakeWord(const char* text, char* target, std::size_t size) {
    std::size_t length = 0;
    auto keep = [&](char c) {
        if (target != nullptr && length + 1 < size) target[length++] = c;
    };
    if (*text == '"') {
        ++text;
        while (*text != '\0' && *text != '"') keep(*text++);
        if (*text == '"') ++text;
    } else {
        while (*text != '\0' && !IsBlank(*text)) keep(*text++);
    }
    if (target != nullptr && size > 0) target[length] = '\0';
    return text;
}

const char* SkipBlanks(const char* text) {
    while (IsBlank(*text)) ++text;
    return text;
}

}  // namespace

extern "C" {

NIMBAR_API bool IsInString(LPCSTR text, LPCSTR word) {
    if (text == nullptr || word == nullptr) return false;
    std::size_t wordLength = std::strlen(word);
    for (const char* start = text; *start != '\0'; ++start) {
        if (_strnicmp(start, word, wordLength) == 0) return true;
    }
    return wordLength == 0;
}

NIMBAR_API int NMTokenize(LPCSTR text, LPSTR* tokens, int count, LPSTR rest) {
    if (text == nullptr) text = "";
    const char* position = SkipBlanks(text);
    int found = 0;
    for (int i = 0; i < count; ++i) {
        char* token = tokens != nullptr ? tokens[i] : nullptr;
        if (*position == '\0') {
            if (token != nullptr) token[0] = '\0';
            continue;
        }
        position = SkipBlanks(TakeWord(position, token, standin::kTokenBufferSize));
        ++found;
    }
    if (rest != nullptr) lstrcpynA(rest, position, standin::kTokenBufferSize);
    return found;
}

}  // extern "C"
