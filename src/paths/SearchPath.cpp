#include "paths/SearchPath.h"

#include "paths/StartSpelling.h"

#include <algorithm>

namespace torvex::search {
namespace {

char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool SameUnit(char16_t a, char16_t b) {
    return AsciiLower(a) == AsciiLower(b) || (IsSeparator(a) && IsSeparator(b));
}

bool SameLetters(const std::u16string& text, const char16_t* ascii) {
    const std::u16string other(ascii);
    return text.size() == other.size() &&
           std::equal(text.begin(), text.end(), other.begin(),
                      [](char16_t a, char16_t b) { return AsciiLower(a) == AsciiLower(b); });
}

// What CreateProcess runs in this process: a program, or a batch file through its cmd.exe.
bool IsProgramImage(const std::u16string& path) {
    const std::size_t dot = path.find_last_of(u".\\/");
    if (dot == std::u16string::npos || path[dot] != u'.') return false;
    for (const char16_t* image : {u".exe", u".com", u".bat", u".cmd"}) {
        if (SameLetters(path.substr(dot), image)) return true;
    }
    return false;
}

std::u16string WithoutTrailingSeparators(std::u16string folder) {
    while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
    return folder;
}

}  // namespace

std::vector<std::u16string> Entries(const std::u16string& list) {
    std::vector<std::u16string> entries;
    for (std::size_t start = 0; start < list.size();) {
        std::size_t end = std::min(list.find(u';', start), list.size());
        std::u16string entry = list.substr(start, end - start);
        entry.erase(std::remove(entry.begin(), entry.end(), u'"'), entry.end());
        if (!entry.empty()) entries.push_back(entry);
        start = end + 1;
    }
    return entries;
}

std::u16string MovedFolder(const std::u16string& path, const std::u16string& from,
                           const std::u16string& to) {
    const std::u16string folder = WithoutTrailingSeparators(from);
    if (folder.empty() || path.size() < folder.size() ||
        !std::equal(folder.begin(), folder.end(), path.begin(), SameUnit)) {
        return u"";
    }
    if (path.size() > folder.size() && !IsSeparator(path[folder.size()])) return u"";
    return WithoutTrailingSeparators(to) + path.substr(folder.size());
}

std::u16string FindProgram(const std::u16string& name, const std::vector<std::u16string>& folders,
                           const std::vector<std::u16string>& extensions, const IsFile& isFile) {
    const bool hasExtension = name.find(u'.') != std::u16string::npos;
    for (const std::u16string& folder : folders) {
        // A relative folder would be one of whatever folder the shell happens to be in, and the
        // program found there would start from another.
        const bool absolute = folder.size() >= 3 && folder[1] == u':' && IsSeparator(folder[2]);
        if (!absolute &&
            !(folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1]))) {
            continue;
        }
        const std::u16string base = WithoutTrailingSeparators(folder) + u"\\" + name;
        if (hasExtension && isFile(base)) return base;
        for (const std::u16string& extension : extensions) {
            if (isFile(base + extension)) return base + extension;
        }
    }
    return u"";
}

bool IsBareName(const std::u16string& name) {
    return !name.empty() && name.find_first_of(u"\\/:") == std::u16string::npos;
}

std::u16string StartSpelling(const std::u16string& path, const std::u16string& verb,
                             const Redirection& redirection, const IsFile& isFile) {
    if (redirection.system32.empty()) return path;
    std::u16string spelled = MovedFolder(path, redirection.sysnative, redirection.system32);
    if (spelled.empty()) spelled = path;
    const bool defaultVerb = verb.empty() || SameLetters(verb, u"open");
    if (!defaultVerb || !IsProgramImage(spelled)) return spelled;
    const std::u16string native = MovedFolder(spelled, redirection.system32, redirection.sysnative);
    return !native.empty() && isFile(native) ? native : spelled;
}

}  // namespace torvex::search
