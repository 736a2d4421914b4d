// The newest-lines reader against a whole-file reading, for any bytes (UTF-8, the code page,
// UTF-16 after its byte order mark, or none of them), line count, chunk size and short reads,
// while another writer appends: the result is exactly the reference's.
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <string>

#include "history/HistoryFile.h"
#include "tests/support/ChoppyStream.h"
#include "tests/support/ReferenceHistory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    std::size_t maxLines = 1 + (data[0] | data[1] << 8) % 600;
    std::size_t chunk = 1 + data[2] % 64;
    std::size_t maxRead = 1 + data[3] % 16;
    std::string bytes(reinterpret_cast<const char*>(data) + 4, size - 4);

    testsupport::ChoppyBuffer buffer(bytes, maxRead, "appended meanwhile\r\n");
    std::istream in(&buffer);
    if (torvex::history::ReadNewestLines(in, maxLines, testsupport::Latin1, chunk) !=
        testsupport::ReferenceHistory(bytes, maxLines)) {
        std::abort();
    }
    return 0;
}
