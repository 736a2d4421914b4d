#include "commands/StartSpelling.h"

#include <algorithm>

namespace torvex::search {
namespace {

bool SameLetters(const std::u16string& text, const char16_t* ascii) {
    const std::u16string other(ascii);
    auto lower = [](char16_t c) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    };
    return text.size() == other.size() &&
           std::equal(text.begin(), text.end(), other.begin(),
                      [&](char16_t a, char16_t b) { return lower(a) == lower(b); });
}

// What CreateProcess runs in this process: a program, or a batch file through its cmd.exe.
bool IsProgramImage(const std::u16string& path) {
    const std::size_t dot = path.find_last_of(u".\\/");
    if (dot == std::u16string::npos || path[dot] != u'.') return false;
    const std::u16string extension = path.substr(dot);
    for (const char16_t* image : {u".exe", u".com", u".bat", u".cmd"}) {
        if (SameLetters(extension, image)) return true;
    }
    return false;
}

bool IsDefaultVerb(const std::u16string& verb) {
    return verb.empty() || SameLetters(verb, u"open");
}

}  // namespace

std::u16string StartSpelling(const std::u16string& path, const std::u16string& verb,
                             const Redirection& redirection, const IsFile& isFile) {
    if (redirection.system32.empty()) return path;
    std::u16string spelled = MovedFolder(path, redirection.sysnative, redirection.system32);
    if (spelled.empty()) spelled = path;
    if (!IsDefaultVerb(verb) || !IsProgramImage(spelled)) return spelled;
    const std::u16string native = MovedFolder(spelled, redirection.system32, redirection.sysnative);
    return !native.empty() && isFile(native) ? native : spelled;
}

}  // namespace torvex::search
