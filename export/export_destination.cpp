#include "export/export_destination.h"

#include "common/vb_text.h"
#include "platform/app.h"

namespace velk {

std::vector<std::string> RestrictedDrives(const App& app) {
    std::vector<std::string> out;
    for (int i = 0; i < 26; ++i) {
        const std::string entry = Trim(app.config.ExportDrives[static_cast<std::size_t>(i)]);
        if (entry.empty() || entry == "notavailable") continue;
        const std::string drive = std::string(1, static_cast<char>('A' + i)) + ":";
        if (app.drives.ready(drive)) out.push_back(drive);
    }
    return out;
}

std::string DialogPathOf(const std::string& directory) {
    std::string p = Trim(directory);
    if (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    return p;
}

std::optional<std::filesystem::path> DriveRoot(const App& app, const std::string& drive) {
    if (drive.size() != 2 || drive[1] != ':') return std::nullopt;
    return app.drives.resolve(drive + "\\");
}

std::optional<std::filesystem::path> RestrictedDestination(const App& app, const std::string& drive) {
    auto root = DriveRoot(app, drive);
    if (!root) return root;
    const std::string exportPath = Trim(app.config.ExportPath);
    if (exportPath.size() > 2 && UCase(exportPath.substr(0, 2)) == UCase(drive)) {
        std::error_code ec;
        if (auto dir = app.drives.resolve(exportPath); dir && std::filesystem::is_directory(*dir, ec))
            return dir;
    }
    return root;
}

}  // namespace velk
