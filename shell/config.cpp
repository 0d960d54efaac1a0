#include "shell/config.h"

#include <unistd.h>

#include <filesystem>
#include <new>
#include <string_view>
#include <vector>

#include "common/runtime_error.h"
#include "common/vb_text.h"
#include "platform/drives.h"
#include "platform/profile_writer.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSection = "DATA";
constexpr int kImportValues = 4;
constexpr int kCdDrive = 5;
constexpr int kFirstExportDrive = 13;
constexpr int kFirstImportDrive = 39;
constexpr int kRequired[] = {0, 1, 2, 3, 4, 5, 12};

// Lines end at CRLF, LF or a lone CR; the ends are not part of the line.
template <class Fn>
void ForEachLine(std::string_view text, Fn&& fn) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t e = text.find_first_of("\r\n", i);
        if (e == std::string_view::npos) e = text.size();
        fn(text.substr(i, e - i));
        i = e;
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n' && (i == e || text[i - 1] == '\r')) ++i;
    }
}

// The value after a key that ends at pos: blanks, one "=", blanks are skipped, the
// way the platform's own reader takes "KEY = value". With no "=" and no blank the
// one separator character is skipped, so "KEY=value" and "KEY:value" read as before.
std::string ValueAfter(std::string_view line, std::size_t pos) {
    auto blank = [&](std::size_t i) { return i < line.size() && (line[i] == ' ' || line[i] == '\t'); };
    std::size_t i = pos;
    bool skipped = false;
    while (blank(i)) ++i, skipped = true;
    if (i < line.size() && line[i] == '=') {
        ++i;
        while (blank(i)) ++i;
    } else if (!skipped && i < line.size()) {
        ++i;
    }
    return Trim(i < line.size() ? line.substr(i) : std::string_view());
}

// The key a line belongs to and its value as the reader stores it.
std::optional<std::pair<int, std::string>> MatchLine(std::string_view line) {
    const auto& keys = ConfigKeys();
    for (int k = 0; k < kConfigKeyCount; ++k) {
        if (k == kImportValues) {
            // Any line with the word VALUES is this key; its value follows the full name.
            if (line.find("VALUES") == std::string_view::npos) continue;
            std::size_t at = line.find(keys[k]);
            std::size_t end = at == std::string_view::npos ? line.find("VALUES") + 6 : at + keys[k].size();
            return std::make_pair(k, ValueAfter(line, end));
        }
        std::size_t at = line.find(keys[k]);
        if (at == std::string_view::npos) continue;
        std::string value = ValueAfter(line, at + keys[k].size());
        if (k == kCdDrive) value = Trim(Left(value, 1));
        if (k >= kFirstExportDrive) {
            char letter = static_cast<char>('A' + (k - kFirstExportDrive) % 26);
            value = value == "A" ? std::string(1, letter) + ":" : "notavailable";
        }
        return std::make_pair(k, value);
    }
    return std::nullopt;
}

std::string CheckedTowerRoot(const Config& c) {
    if (c.isTrademarks()) return c.SmartCdTovrin;
    if (c.isPatents()) return c.SmartCdQuorvel;
    return c.SmartCdAssign;
}

}  // namespace

const std::array<std::string, kConfigKeyCount>& ConfigKeys() {
    static const auto keys = [] {
        std::array<std::string, kConfigKeyCount> k{
            "INSTALLATION_TYPE", "IMPORT_PATH", "EXPORT_PATH",     "PRINTER_PASSWORD", "IMPORT_VALUES",
            "CD_DRIVE",          "SMART_CD_ON", "SMART_CD_TOVRIN", "SMART_CD_QUORVEL", "SMART_CD_ASSIGN",
            "PAGE_TYPE",         "READ_ME",     "CD_PASSWORD"};
        for (int i = 0; i < 26; ++i) {
            k[kFirstExportDrive + i] = std::string(1, char('A' + i)) + "_DRIVE";
            k[kFirstImportDrive + i] = std::string(1, char('A' + i)) + "2_DRIVE";
        }
        return k;
    }();
    return keys;
}

int ConfigKeyIndex(const std::string& key) {
    const auto& keys = ConfigKeys();
    for (int k = 0; k < kConfigKeyCount; ++k)
        if (keys[k] == key) return k;
    return -1;
}

const std::optional<std::string>& ConfigScan::operator[](const std::string& key) const {
    static const std::optional<std::string> none;
    int k = ConfigKeyIndex(key);
    return k < 0 ? none : values[k];
}

ConfigScan ScanConfigText(const std::string& text) {
    ConfigScan scan;
    ForEachLine(text, [&](std::string_view line) {
        if (auto m = MatchLine(line)) scan.values[m->first] = std::move(m->second);
    });
    return scan;
}

std::string CollectionFromProgramName(const std::string& argv0) {
    std::string name = UCase(fs::path(argv0).stem().string());
    if (name == "VELKWM") return kModeTrademarks;
    if (name == "VELKWP" || name == "VELKW") return kModePatents;
    if (name == "VELKWA") return kModeAssignments;
    return {};
}

std::string AppDirFromArgv0(const std::string& argv0, const char* pathEnv) {
    fs::path program = argv0;
    if (!argv0.empty() && argv0.find('/') == std::string::npos) {
        program.clear();
        std::string_view path = pathEnv ? pathEnv : "";
        std::size_t i = 0;
        while (program.empty() && i <= path.size()) {
            std::size_t e = path.find(':', i);
            if (e == std::string_view::npos) e = path.size();
            fs::path dir = e > i ? fs::path(std::string(path.substr(i, e - i))) : fs::path(".");
            fs::path candidate = dir / argv0;
            std::error_code ec;
            if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
                program = candidate;
            i = e + 1;
        }
    }
    std::error_code ec;
    if (program.empty()) program = fs::read_symlink("/proc/self/exe", ec);
    program = fs::absolute(program, ec).lexically_normal();
    std::string dir = program.parent_path().string();
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string ConfigFilePath(const Config& config) {
    // Without a known application directory there is no file: never one in the working directory.
    if (config.AppDir.empty() || config.AppDir.front() != '/') return {};
    std::string name = config.configReadName().substr(1);
    if (auto found = FindNoCase(config.AppDir, name)) return found->string();
    return config.appFile(config.configReadName());
}

bool ReadIni(App& app, std::string* menuToCheck) {
    Config& c = app.config;
    if (menuToCheck) menuToCheck->clear();
    c.PageType = " ";
    c.HelpFilePath = c.appFile(c.isTrademarks() ? "\\velkwm.hlp" : "\\velkwp.hlp");
    c.CollectionLetter = c.isTrademarks() ? "M" : "P";

    ConfigScan scan;
    bool readable = true;
    try {
        scan = ScanConfigText(ReadTextFile(ConfigFilePath(c)));
    } catch (const RuntimeError& e) {
        app.msg(e.report());
        readable = false;
    } catch (const std::bad_alloc&) {
        app.msg(RuntimeError(kErrOutOfMemory).report());
        readable = false;
    }
    const auto& v = scan.values;
    // The first thirteen keys, in key order; an absent key leaves its value empty.
    static constexpr std::string Config::*kFields[] = {
        &Config::InstallationType, &Config::ImportPath,    &Config::ExportPath,    &Config::PrinterPassword,
        &Config::ImportValues,     &Config::CdDriveLetter, &Config::SmartCdOn,     &Config::SmartCdTovrin,
        &Config::SmartCdQuorvel,   &Config::SmartCdAssign, &Config::PageTypeValue, &Config::ReadMe,
        &Config::CdPassword};
    for (int k = 0; k < kFirstExportDrive; ++k) c.*kFields[k] = v[k].value_or(std::string());
    // An absent drive key withholds its drive: an empty entry would be offered as a
    // blank choice that exports to the root of the current drive.
    for (int i = 0; i < 26; ++i) {
        c.ExportDrives[i] = v[kFirstExportDrive + i].value_or("notavailable");
        c.ImportDrives[i] = v[kFirstImportDrive + i].value_or("notavailable");
    }

    if (readable) {
        std::string menu;
        if (!v[10] || Trim(*v[10]).empty()) {
            c.PageType = "LETTER";
            menu = "mnuletter";
            WritePageType(app, "LETTER");
        } else {
            c.PageType = *v[10];
            if (c.PageType == "A4") menu = "mnua4";
            if (c.PageType == "LEGAL") menu = "mnulegal";
            if (c.PageType == "LETTER") menu = "mnuletter";
        }
        if (menuToCheck) *menuToCheck = menu;
    }

    // An empty drive letter gives ":", and an empty tower root "": the path layer
    // treats both as a drive that is not ready.
    c.CDDrive = c.CdDriveLetter + ":";
    c.SmartCDOn = c.SmartCdOn;
    if (c.towerMode() && (c.isTrademarks() || c.isPatents() || c.isAssignments()))
        c.CDDrive = Trim(CheckedTowerRoot(c));
    c.PatentIndexPath = c.appFile("\\cum.idx");
    c.OpenIdxPath = c.CDDrive + "\\open.idx";
    c.TrademarkIndexPath = c.appFile("\\cum_mark.idx");
    c.AssignIndexPath = c.appFile("\\cum_assn.idx");

    if (!readable) return false;
    for (int k : kRequired)
        if (!v[k]) return false;
    return true;
}

// The reader is asked afterwards: a key spelled in another case, or repeated further
// down, would otherwise hide what was written.
bool StoreConfigKey(const Config& config, const std::string& key, const std::string& value) {
    const std::string path = ConfigFilePath(config);
    if (ConfigKeyIndex(key) < 0 || path.empty() || !WritePrivateProfileString(kSection, key, value, path))
        return false;
    try {
        return ScanConfigText(ReadTextFile(path))[key] == ScanConfigText(key + "=" + value)[key];
    } catch (const std::exception&) {
        return false;
    }
}

bool RemoveConfigKey(const Config& config, const std::string& key) {
    const std::string path = ConfigFilePath(config);
    if (ConfigKeyIndex(key) < 0 || path.empty() || !DeletePrivateProfileKey(kSection, key, path)) return false;
    try {
        return !ScanConfigText(ReadTextFile(path))[key];
    } catch (const std::exception&) {
        return false;
    }
}

bool WritePageType(App& app, const std::string& value) {
    if (StoreConfigKey(app.config, "PAGE_TYPE", value)) return true;
    app.msg(kConfigWriteError);
    return false;
}

bool WriteCdDrive(App& app, const std::string& drive) {
    Config& c = app.config;
    bool ok = StoreConfigKey(app.config, "CD_DRIVE", drive);
    if (app.ports.frame && app.ports.frame->isChecked("Jukebox")) {
        // Every collection's tower key that this installation reads, its own included.
        auto tower = [&](const char* key, std::string& held) {
            if (StoreConfigKey(app.config, key, drive))
                held = drive;
            else
                ok = false;
        };
        tower("SMART_CD_TOVRIN", c.SmartCdTovrin);
        tower("SMART_CD_QUORVEL", c.SmartCdQuorvel);
        if (c.isAssignments()) tower("SMART_CD_ASSIGN", c.SmartCdAssign);
    }
    if (!ok) app.msg(kConfigWriteError);
    return ok;
}

bool WriteJukebox(App& app, const std::string& value) {
    app.config.SmartCdOn = value;
    app.config.SmartCDOn = value;
    if (StoreConfigKey(app.config, "SMART_CD_ON", value)) return true;
    app.msg(kJukeboxWriteError);
    return false;
}

bool WriteReadMe(App& app, const std::string& value) {
    app.config.ReadMe = value;
    if (StoreConfigKey(app.config, "READ_ME", value)) return true;
    app.msg(kConfigWriteError);
    return false;
}

void ReadCoverage(App& app) {
    app.CoverageDate = kDefaultCoverageDate;
    app.CoverageNumber = kDefaultCoverageNumber;
    const Config& c = app.config;
    if (!c.isPatents() && !c.isTrademarks()) return;
    const std::string name = c.isPatents() ? "p_RegNo.ASC" : "m_RegNo.ASC";
    auto path = FindNoCase(c.AppDir, name);
    if (!path) return;
    std::optional<std::string> number, date;
    try {
        ForEachLine(ReadTextFile(path->string(), nullptr, 1u << 20), [&](std::string_view line) {
            if (auto at = line.find("REG_NO"); at != std::string_view::npos)
                number = ValueAfter(line, at + 6);
            else if (auto d = line.find("REG_DATE"); d != std::string_view::npos)
                date = ValueAfter(line, d + 8);
        });
    } catch (const std::exception&) {
        return;  // the built-in texts stand
    }
    if (number && !number->empty()) app.CoverageNumber = *number;
    if (date && !date->empty()) app.CoverageDate = *date;
}

}  // namespace velk
