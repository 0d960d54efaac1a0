// Imported number lists, from a file or the clipboard, in each collection's rules.
#include <sstream>

#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "index/import_file.h"
#include "index/import_table.h"
#include "platform/config.h"

VELK_FUZZ_TARGET(import) {
    using namespace velk;
    if (size == 0) return 0;
    static const char* const modes[] = {kModePatents, kModeTrademarks, kModeAssignments};
    const std::string mode = modes[data[0] % 3];
    const std::string text(fuzz::Bytes(data + 1, size - 1));
    ImportTable table;
    std::istringstream in(text);
    try {
        (void)ReadImportStream(in, mode, table);
        ImportLineNumbers(text.substr(0, 4096), mode, table);
    } catch (const std::exception&) {
    }
    return 0;
}
