#include "programs/ListFile.h"

#include "text/Utf.h"

namespace torvex::programs {
namespace {

constexpr char kKinds[] = {'P', 'D', 'A'};  // in the order of Kind

bool Fits(std::u16string_view field) {
    return !field.empty() && field.size() <= kMostField &&
           field.find_first_of(u"\t\r\n") == std::u16string_view::npos &&
           field.find(u'\0') == std::u16string_view::npos;
}

// One line's fields, or false when it is no entry this version wrote.
bool ReadLine(std::string_view line, Listed& listed) {
    std::string_view fields[4];
    for (int i = 0; i < 3; ++i) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return false;
        fields[i] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    fields[3] = line;
    if (fields[0].size() != 1) return false;
    int kind = 0;
    while (kind < 3 && kKinds[kind] != fields[0][0]) ++kind;
    if (kind == 3) return false;
    listed.entry.kind = static_cast<Kind>(kind);
    std::u16string* texts[] = {&listed.entry.key, &listed.start, &listed.entry.name};
    for (int i = 0; i < 3; ++i) {
        if (!utf::DecodeUtf8(fields[i + 1], *texts[i]) || !Fits(*texts[i])) return false;
    }
    return true;
}

}  // namespace

std::vector<Listed> ReadList(std::string_view bytes) {
    std::vector<Listed> list;
    const std::size_t first = bytes.find('\n');
    if (first == std::string_view::npos || bytes.substr(0, first) != kListFormat) return list;
    bytes.remove_prefix(first + 1);
    while (!bytes.empty() && list.size() < kMostEntries) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) break;  // cut short: the last line is not whole
        Listed listed;
        if (ReadLine(bytes.substr(0, end), listed)) list.push_back(std::move(listed));
        bytes.remove_prefix(end + 1);
    }
    return list;
}

std::string WrittenList(const std::vector<Listed>& list) {
    std::string bytes = std::string(kListFormat) + "\n";
    std::size_t written = 0;
    for (const Listed& listed : list) {
        if (written == kMostEntries) break;
        if (!Fits(listed.entry.key) || !Fits(listed.start) || !Fits(listed.entry.name)) continue;
        bytes += kKinds[static_cast<int>(listed.entry.kind)];
        for (const std::u16string* field : {&listed.entry.key, &listed.start, &listed.entry.name})
            bytes += "\t" + utf::EncodeUtf8(*field);
        bytes += "\n";
        ++written;
    }
    return bytes;
}

}  // namespace torvex::programs
