#include "commands/SearchPath.h"

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

}  // namespace torvex::search
