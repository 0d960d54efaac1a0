#include "cli/commands.h"

namespace velk::cli {

const std::vector<const Command*>& Commands() {
    static const std::vector<const Command*> table = {
        &kFindCommand,
        &kCheckCommand,
        &kLocateCommand,
        &kExportCommand,
        &kPrintCommand,
        &kRenderCommand,
    };
    return table;
}

}  // namespace velk::cli
