// An application directory for one collection, its configuration file read and written
// through fake ports.
#pragma once

#include <string>
#include <vector>

#include "shell/config.h"
#include "tests/platform/scratch_dir.h"
#include "tests/support/fakes.h"

namespace velk::test {

// Every key a configuration file must hold, and no paper size.
inline std::string RequiredIni(const std::string& type = "OPEN") {
    return "[DATA]\r\nINSTALLATION_TYPE=" + type +
           "\r\nIMPORT_PATH=C:\\IMPORT\r\nEXPORT_PATH=C:\\EXPORT\r\nPRINTER_PASSWORD= Prn \r\n"
           "IMPORT_VALUES=1\r\nCD_DRIVE=E:\\\r\nCD_PASSWORD=Secret\r\n";
}

inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

struct IniDir {
    ScratchDir dir;
    FakePorts fakes;
    App app;
    explicit IniDir(const char* tag, const char* mode = kModePatents) : dir(tag) {
        app.config.AppDir = dir.str();
        app.config.CollectionMode = mode;
        fakes.wire(app.ports);
    }
    std::string file() const { return app.config.isTrademarks() ? "VelkWm.INI" : "VelkWp.INI"; }
    std::string ini() const { return dir.read(file()); }
    const std::vector<ShownMessage>& shown() const { return fakes.messages.shown; }
};

}  // namespace velk::test
