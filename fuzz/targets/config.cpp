// The configuration file, read as the program reads it at start-up.
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "shell/config.h"

VELK_FUZZ_TARGET(config) {
    using namespace velk;
    if (size == 0) return 0;
    fuzz::QuietApp q;
    q.app.config.CollectionMode = data[0] % 2 ? kModeTrademarks : kModePatents;
    const std::string_view text = fuzz::Bytes(data + 1, size - 1);
    (void)ScanConfigText(std::string(text));
    std::filesystem::remove(fuzz::ScratchDir() / "VelkWp.INI");
    std::filesystem::remove(fuzz::ScratchDir() / "VelkWm.INI");
    fuzz::WriteScratch(data[0] % 2 ? "VelkWm.INI" : "VelkWp.INI", text);
    std::string menu;
    (void)ReadIni(q.app, &menu);
    return 0;
}
