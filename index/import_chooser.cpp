#include "index/import_chooser.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "platform/config.h"

namespace fs = std::filesystem;

namespace velk {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

void SortNoCase(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
}

}  // namespace

std::vector<std::string> ImportDrivesOffered(const Config& config) {
    std::vector<std::string> out;
    for (const std::string& d : config.ImportDrives)
        if (!d.empty() && d != "notavailable") out.push_back(d);
    return out;
}

namespace {
// The drive letter a path starts with, upper case; '\0' for any other path.
char DriveOf(const std::string& path) {
    if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0]))) return '\0';
    return static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
}
}  // namespace

bool OnOfferedDrive(const Config& config, const std::string& windowsPath) {
    const char drive = DriveOf(windowsPath);
    if (drive == '\0') return false;
    const std::vector<std::string> offered = ImportDrivesOffered(config);
    return std::find(offered.begin(), offered.end(), std::string(1, drive) + ":") != offered.end();
}

std::string OnlyFromDrivesText(const Config& config) {
    std::string drives;
    for (const std::string& d : ImportDrivesOffered(config)) drives += (drives.empty() ? "" : ", ") + d;
    return "Lists can only be imported from " +
           (drives.empty() ? std::string("the drives offered") : drives) + ".";
}

bool NeedsDiskette(const std::string& windowsPath, bool typed) {
    const char drive = DriveOf(windowsPath);
    return drive == 'A' || (typed && drive == 'B');
}

ChooserListing ListChooserDirectory(const fs::path& nativeDir) {
    ChooserListing l;
    std::error_code ec;
    constexpr std::size_t kMaxEntries = 20000;  // a listing is for a person to read
    for (auto it = fs::directory_iterator(nativeDir, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code kind;
        if (it->is_directory(kind))
            l.dirs.push_back(name);
        else if (it->is_regular_file(kind))
            l.files.push_back(name);
        if (l.dirs.size() + l.files.size() >= kMaxEntries) break;
    }
    SortNoCase(l.dirs);
    SortNoCase(l.files);
    return l;
}

std::string ChooserPlace::windowsPath() const {
    std::string p = drive + "\\";
    for (std::size_t i = 0; i < dirs.size(); ++i) p += (i ? "\\" : "") + dirs[i];
    return p;
}

std::string ChooserPlace::fileWindowsPath(const std::string& file) const {
    std::string p = windowsPath();
    if (p.back() != '\\') p += '\\';
    return p + file;
}

bool ChooserPlace::enter(const std::string& name) {
    if (name == "..") {
        if (dirs.empty()) return false;
        dirs.pop_back();
        return true;
    }
    if (name.empty() || name == "." || name.find_first_of("/\\") != std::string::npos) return false;
    dirs.push_back(name);
    return true;
}

}  // namespace velk
