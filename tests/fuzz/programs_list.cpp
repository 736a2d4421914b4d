// The programs list file's reader, for any bytes: every entry read is one the box could have
// written (fields that fit, a kind it knows, no more than the bound), and what it reads it writes
// and reads back the same. Each entry read is also prepared and matched, as a key would.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "programs/ListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvex::programs;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<Listed> list = ReadList(bytes);
    if (list.size() > kMostEntries) std::abort();
    std::vector<Entry> entries;
    std::vector<Prepared> prepared;
    for (const Listed& listed : list) {
        for (const std::u16string* field : {&listed.entry.key, &listed.start, &listed.entry.name}) {
            if (field->empty() || field->size() > kMostField ||
                field->find_first_of(u"\t\r\n") != std::u16string::npos) {
                std::abort();
            }
        }
        entries.push_back(listed.entry);
        prepared.push_back(Prepare(listed.entry));
    }
    const std::string written = WrittenList(list);
    const std::vector<Listed> again = ReadList(written);
    if (again.size() != list.size() || WrittenList(again) != written) std::abort();
    // The list's own names, typed: each finds an entry.
    for (std::size_t i = 0; i < entries.size() && i < 8; ++i) {
        if (Best(entries[i].name, entries, prepared, {}, [](int) { return 0; }) < 0) std::abort();
    }
    return 0;
}
