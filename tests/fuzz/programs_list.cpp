// The programs list file's reader, for any bytes: every entry read is one the box could have
// written (fields that fit, a kind it knows, no more than the bound), and what it reads it writes
// and reads back the same. Each entry read is also prepared and matched, as a key would.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "programs/Catalog.h"
#include "programs/ListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvex::programs;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<Listed> list = ReadList(bytes);
    if (list.size() > kMostEntries) std::abort();
    for (const Listed& listed : list) {
        for (const std::u16string* field : {&listed.entry.key, &listed.start, &listed.entry.name}) {
            if (field->empty() || field->size() > kMostField ||
                field->find_first_of(u"\t\r\n") != std::u16string::npos) {
                std::abort();
            }
        }
    }
    const std::string written = WrittenList(list);
    const std::vector<Listed> again = ReadList(written);
    if (again.size() != list.size() || WrittenList(again) != written) std::abort();
    // The list's own names, typed: each finds an entry; typed a unit at a time, as the box
    // narrows what it looks among, the same one as looked for among all.
    const auto catalog = MakeCatalog(list);
    auto none = [](int) { return std::uint64_t{0}; };
    for (std::size_t i = 0; i < catalog->entries.size() && i < 8; ++i) {
        const std::u16string& name = catalog->entries[i].name;
        const int best = Best(name, catalog->entries, catalog->prepared, {}, none);
        if (best < 0) std::abort();
        Suggester suggester;
        int suggested = -1;
        for (std::size_t length = 1; length <= name.size() && length <= 64; ++length)
            suggested = suggester.Suggest(name.substr(0, length), *catalog, {}, none);
        if (name.size() <= 64 && suggested != best) std::abort();
    }
    return 0;
}
