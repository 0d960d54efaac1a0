// velk-setup: makes an installation of one collection from the administrator's
// answers (options, or questions for the ones not given).
#include <grp.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/config.h"
#include "platform/drives.h"
#include "platform/profile_writer.h"
#include "shell/config.h"
#include "tools/mksample/help_topics.h"
#include "tools/mksample/install_files.h"

namespace fs = std::filesystem;

namespace {

#ifndef VELK_INSTALLATIONS
#define VELK_INSTALLATIONS "/var/lib/velk"
#endif

constexpr const char* kUsage = R"(Usage: velk-setup [options]

Makes an installation of Velk for one collection: a directory holding the program
link named for the collection (velkwp, velkwm or velkwa), the configuration file
written from your answers, the cumulative index, drives.map, the help file, and a
menu entry that starts it. Every answer not given as an option is asked for; with
--non-interactive a missing answer is an error. An existing configuration is never
overwritten.

Options:
  --collection NAME   quorvel (patents), tovrin (trademarks) or assign (assignments)
  --dir DIR           the installation directory (default )" VELK_INSTALLATIONS R"(/NAME)
  --drive DIR         single CD-ROM drive: the directory the drive is mounted on
  --tower DIR         CD tower: the directory holding one directory per volume
  --assignment-db DIR the directory holding assignmt.mdb (assignments only;
                      default: the drive or tower directory)
  --type TYPE         open (default), restricted or standard
  --export DIR        where exported pages and saved lists go (made if missing)
  --import DIR        where the import chooser starts (made if missing)
  --index FILE        the cumulative index to use (cum.idx, cum_mark.idx or
                      cum_assn.idx of the collection); it is copied in
  --paper SIZE        letter (default), a4 or legal
  --cd-password P, --printer-password P
                      guard the drive dialog and Printer Setup (restricted)
  --group GROUP       the users of the installation, who may write its list
                      database and settings (default when run as root: users)
  --menu-dir DIR      where the menu entry goes (default when run as root:
                      /usr/local/share/applications, else ~/.local/share/applications)
  --program PATH      the program the link points at (default: velk beside
                      velk-setup)
  -n, --non-interactive
                      ask nothing; a missing answer is an error
  --help              this text

Example:
  sudo velk-setup --collection quorvel --drive /media/cdrom --type restricted \
       --export /srv/velk/export --import /srv/velk/import \
       --index /media/cdrom/cum.idx --cd-password cdrom --printer-password lp
)";

struct Collection {
    const char* id;
    const char* mode;  // CollectionMode
    const char* link;
    const char* index;
    const char* title;
    const char* comment;
    const char* keywords;
    velk::mksample::Collection sample;
};

const Collection kCollections[] = {
    {"quorvel", velk::kModePatents, "velkwp", "cum.idx", "Velk Patents (Quorvel)",
     "View, print and export the page images of the Quorvel patent documents",
     "patent;facsimile;CD-ROM;TIFF;", velk::mksample::Collection::Quorvel},
    {"tovrin", velk::kModeTrademarks, "velkwm", "cum_mark.idx", "Velk Trademarks (Tovrin)",
     "View, print and export the page images of the Tovrin trademark registrations",
     "trademark;facsimile;CD-ROM;TIFF;", velk::mksample::Collection::Tovrin},
    {"assign", velk::kModeAssignments, "velkwa", "cum_assn.idx", "Velk Assignments",
     "View, print and export the page images of the assignment records",
     "assignment;patent;facsimile;CD-ROM;", velk::mksample::Collection::Assign},
};

// Drive letters the installation's Windows-style paths go through.
constexpr char kCdLetter = 'E', kAssignLetter = 'S', kExportLetter = 'X', kImportLetter = 'I';

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::map<std::string, std::string> given;
    bool interactive = true;
    bool help = false;
};

Options Parse(int argc, char** argv) {
    static const char* const kValued[] = {
        "--collection", "--dir",      "--drive",  "--tower", "--assignment-db", "--type",
        "--export",     "--import",   "--index",  "--paper", "--cd-password",   "--printer-password",
        "--group",      "--menu-dir", "--program"};
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i], value;
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--non-interactive" || name == "-n") {
            o.interactive = false;
            continue;
        }
        bool inlineValue = false;
        if (auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            inlineValue = true;
        }
        if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued))
            throw Failure("unknown option " + std::string(argv[i]) + " (velk-setup --help lists them)");
        if (!inlineValue) {
            if (i + 1 >= argc) throw Failure(name + " needs a value");
            value = argv[++i];
        }
        o.given[name] = value;
    }
    if (o.given.count("--drive") && o.given.count("--tower"))
        throw Failure("give either --drive or --tower, not both");
    return o;
}

// A value goes into a line of the configuration, drives.map or the menu entry: a line
// break or control character would start a line of its own.
void CheckText(const std::string& what, const std::string& value) {
    for (unsigned char c : value)
        if (c < 0x20 || c == 0x7f) throw Failure(what + " holds a control character or line break");
}

class Asker {
public:
    explicit Asker(const Options& o) : o_(o) {}

    // The option's value, else the answer to the question (empty takes the default).
    std::string get(const std::string& option, const std::string& question, const std::string& fallback,
                    const std::function<std::string(const std::string&)>& check) {
        if (auto it = o_.given.find(option); it != o_.given.end()) {
            const std::string error = check(it->second);
            if (!error.empty())
                throw Failure("bad value for " + option + ": \"" + it->second + "\" (" + error + ")");
            return it->second;
        }
        for (;;) {
            if (!o_.interactive || question.empty()) {
                if (fallback.empty() && required_)
                    throw Failure("no " + option + " given (and --non-interactive asks nothing)");
                const std::string error = fallback.empty() ? std::string() : check(fallback);
                if (!error.empty())
                    throw Failure("the default of " + option + ", \"" + fallback + "\", will not do (" +
                                  error + ")");
                return fallback;
            }
            std::cout << question << (fallback.empty() ? "" : " [" + fallback + "]") << ": " << std::flush;
            std::string line;
            if (!std::getline(std::cin, line))
                throw Failure("no answer for " + option + " (input ended); give it as " + option);
            if (line.empty()) line = fallback;
            if (line.empty() && required_) {
                std::cout << "  an answer is needed\n";
                continue;
            }
            const std::string error = check(line);
            if (error.empty()) return line;
            std::cout << "  " << error << "\n";
        }
    }
    Asker& optional() {
        required_ = false;
        return *this;
    }
    Asker& required() {
        required_ = true;
        return *this;
    }

private:
    const Options& o_;
    bool required_ = true;
};

std::function<std::string(const std::string&)> OneOf(std::vector<std::string> choices) {
    return [choices](const std::string& v) {
        for (const auto& c : choices)
            if (v == c) return std::string();
        std::string list;
        for (const auto& c : choices) list += (list.empty() ? "" : ", ") + c;
        return "one of " + list;
    };
}

std::string AbsoluteDir(const std::string& v) {
    if (v.empty() || v.front() != '/') return "an absolute directory";
    if (v == "/") return "a directory below /";
    return {};
}

std::string ExistingDir(const std::string& v) {
    if (auto e = AbsoluteDir(v); !e.empty()) return e;
    std::error_code ec;
    return fs::is_directory(v, ec) ? std::string() : "no such directory";
}

std::string ExistingFile(const std::string& v) {
    std::error_code ec;
    if (!fs::is_regular_file(v, ec)) return "no such file";
    if (fs::file_size(v, ec) == 0 || ec) return "the file is empty";
    return {};
}

// The directory part of /proc/self/exe: velk is installed beside velk-setup.
std::string DefaultProgram() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("/usr/bin/velk") : (self.parent_path() / "velk").string();
}

std::string DefaultMenuDir() {
    if (::geteuid() == 0) return "/usr/local/share/applications";
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return std::string(data) + "/applications";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share/applications";
}

std::string MenuEntryText(const Collection& c, const fs::path& dir, const fs::path& link) {
    std::string name = c.title;
    if (dir.filename() != c.id) name += " - " + dir.filename().string();
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Version=1.0\n"
           "Name=" +
           name +
           "\n"
           "GenericName=Document Image Viewer\n"
           "Comment=" +
           c.comment +
           "\n"
           "Exec=\"" +
           link.string() +
           "\"\n"
           "TryExec=" +
           link.string() +
           "\n"
           "Icon=velk\n"
           "Terminal=false\n"
           "StartupNotify=true\n"
           "Categories=Office;Viewer;\n"
           "Keywords=" +
           c.keywords +
           "\n"
           "X-Velk-Installation=" +
           dir.string() + "\n";
}

void Write(const fs::path& file, const std::string& bytes) {
    int err = 0;
    if (!velk::AtomicWriteFile(file.string(), bytes, &err))
        throw Failure("cannot write " + file.string() + ": " + std::strerror(err));
}

int Run(const Options& o) {
    Asker ask(o);
    const std::string id =
        ask.get("--collection", "Collection (quorvel = patents, tovrin = trademarks, assign)", "",
                OneOf({"quorvel", "tovrin", "assign"}));
    const Collection* col = nullptr;
    for (const Collection& c : kCollections)
        if (id == c.id) col = &c;

    // The menu entry quotes the path in Exec; these would need escapes there.
    auto installDir = [](const std::string& v) -> std::string {
        if (auto e = AbsoluteDir(v); !e.empty()) return e;
        if (v.find_first_of("\"`$\\%") != std::string::npos) return "a path without \" ` $ \\ or %";
        return {};
    };
    const fs::path dir = fs::path(ask.get("--dir", "Installation directory",
                                          std::string(VELK_INSTALLATIONS) + "/" + id, installDir))
                             .lexically_normal();

    // Nothing is written before every answer is in and nothing would be overwritten.
    velk::Config config;
    config.CollectionMode = col->mode;
    config.AppDir = dir.string();
    while (config.AppDir.size() > 1 && config.AppDir.back() == '/') config.AppDir.pop_back();
    // Strings of their own: a pointer into a temporary name dangles inside the loop.
    for (const std::string& name : {config.configReadName().substr(1), config.configWriteName().substr(1)})
        if (auto existing = velk::FindNoCase(dir, name))
            throw Failure(existing->string() + " already exists: there is an installation in " +
                          dir.string() +
                          ". velk-setup does not overwrite it; remove it first or choose another --dir.");

    const bool tower = o.given.count("--tower") ||
                       (!o.given.count("--drive") &&
                        ask.get("--mode", "Volumes in a single CD-ROM drive or in a CD tower (drive, tower)",
                                "drive", OneOf({"drive", "tower"})) == "tower");
    const std::string volumeRoot =
        tower ? ask.get("--tower", "Tower directory (one directory per volume)", "", ExistingDir)
              : ask.get("--drive", "Directory the CD-ROM drive is mounted on", "/media/cdrom", ExistingDir);
    std::string assignDb;
    if (col->sample == velk::mksample::Collection::Assign)
        assignDb = ask.get("--assignment-db", "Directory holding assignmt.mdb", volumeRoot, ExistingDir);
    const std::string type = ask.get("--type", "Installation type (open, restricted, standard)", "open",
                                     OneOf({"open", "restricted", "standard"}));
    const std::string exportDir =
        ask.get("--export", "Export directory (pages and saved lists)", "", AbsoluteDir);
    const std::string importDir =
        ask.get("--import", "Import directory (where lists of numbers are)", exportDir, AbsoluteDir);
    const std::string index =
        ask.get("--index", std::string("Cumulative index file (") + col->index + ")", "", ExistingFile);
    const std::string paper =
        ask.get("--paper", "Paper size (letter, a4, legal)", "letter", OneOf({"letter", "a4", "legal"}));
    ask.optional();
    auto anyText = [](const std::string&) { return std::string(); };
    std::string cdPassword, printerPassword;
    if (type == "restricted" || o.given.count("--cd-password") || o.given.count("--printer-password")) {
        cdPassword = ask.get("--cd-password", "Password of the CD-ROM drive dialog", "", anyText);
        printerPassword = ask.get("--printer-password", "Password of Printer Setup", "", anyText);
    }
    const std::string group = ask.get("--group", "", ::geteuid() == 0 ? "users" : "", anyText);
    const fs::path menuDir = ask.get("--menu-dir", "", DefaultMenuDir(), AbsoluteDir);
    const fs::path program = ask.get("--program", "", DefaultProgram(), anyText);
    for (const auto& [what, value] :
         std::vector<std::pair<std::string, std::string>>{{"--dir", dir.string()},
                                                          {"the volume directory", volumeRoot},
                                                          {"--assignment-db", assignDb},
                                                          {"--export", exportDir},
                                                          {"--import", importDir},
                                                          {"--cd-password", cdPassword},
                                                          {"--printer-password", printerPassword}})
        CheckText(what, value);
    gid_t gid = static_cast<gid_t>(-1);
    if (!group.empty()) {
        const struct group* g = ::getgrnam(group.c_str());
        if (!g) throw Failure("no group " + group + " on this computer (--group)");
        gid = g->gr_gid;
    }
    const fs::path link = dir / col->link;
    // A menu entry's file name is its id: letters, digits, "-" and "_" only.
    std::string entryId = "velk-" + dir.filename().string();
    for (char& ch : entryId)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '-' && ch != '_') ch = '_';
    const fs::path entry = menuDir / (entryId + ".desktop");
    std::error_code ec;
    for (const fs::path& p : {link, entry, dir / "drives.map", dir / col->index})
        if (fs::symlink_status(p, ec).type() != fs::file_type::not_found)
            throw Failure(p.string() + " already exists; velk-setup does not overwrite it.");

    const std::string towerRoot = tower ? volumeRoot : "";
    std::vector<std::pair<std::string, std::string>> keys = {
        {"INSTALLATION_TYPE", type == "open"         ? "OPEN"
                              : type == "restricted" ? "RESTRICTED"
                                                     : "STANDARD"},
        {"IMPORT_PATH", std::string(1, kImportLetter) + ":\\"},
        {"EXPORT_PATH", std::string(1, kExportLetter) + ":\\"},
        {"PRINTER_PASSWORD", printerPassword},
        {"IMPORT_VALUES", "TXT"},
        {"CD_DRIVE", std::string(1, kCdLetter) + ":"},
        {"SMART_CD_ON", tower ? "Y" : "N"},
        {"SMART_CD_TOVRIN", towerRoot},
        {"SMART_CD_QUORVEL", towerRoot},
        {"SMART_CD_ASSIGN", towerRoot},
        {"PAGE_TYPE", paper == "a4"      ? "A4"
                      : paper == "legal" ? "LEGAL"
                                         : "LETTER"},
        {"READ_ME", "NO"},
        {"CD_PASSWORD", cdPassword},
        {std::string(1, kExportLetter) + "_DRIVE", "A"},
        {std::string(1, kImportLetter) + "2_DRIVE", "A"},
    };
    if (!tower) keys.emplace_back(std::string(1, kCdLetter) + "2_DRIVE", "A");
    // The reader takes a line for the first key name anywhere in it.
    for (const auto& [key, value] : keys)
        if (!velk::ScanConfigText(key + "=" + value)[key])
            throw Failure("the value of " + key + " (" + value +
                          ") holds the name of another key, so the program would read the line as that key; "
                          "choose another directory");

    // What this run makes, none of which was there before: taken away again when a
    // later step fails, so that a second try does not meet a half-made installation.
    std::vector<fs::path> made;
    try {
        // The directories first, then the files the program reads, the link last.
        for (const fs::path& d : {dir, fs::path(exportDir), fs::path(importDir), menuDir}) {
            std::vector<fs::path> missing;
            for (fs::path p = d; p.has_relative_path() && !fs::exists(p, ec); p = p.parent_path())
                missing.push_back(p);
            made.insert(made.end(), missing.rbegin(), missing.rend());
            fs::create_directories(d, ec);
            if (ec)
                throw Failure(
                    "cannot make the directory " + d.string() + ": " + ec.message() +
                    (ec == std::errc::permission_denied ? " (run velk-setup as root, or give --dir)" : ""));
        }
        std::string map;
        if (!tower) map += std::string(1, kCdLetter) + ": = " + volumeRoot + "\n";
        if (!assignDb.empty()) map += std::string(1, kAssignLetter) + ": = " + assignDb + "\n";
        map += std::string(1, kExportLetter) + ": = " + exportDir + "\n";
        map += std::string(1, kImportLetter) + ": = " + importDir + "\n";
        Write(dir / "drives.map", map);
        made.push_back(dir / "drives.map");

        made.push_back(velk::ConfigFilePath(config));
        // The program's own writer, which reads each key back the way start-up does.
        for (const auto& [key, value] : keys)
            if (!velk::StoreConfigKey(config, key, value))
                throw Failure("cannot write " + key + " to " + velk::ConfigFilePath(config) +
                              (value.empty() ? std::string()
                                             : " (the value " + value + " would be read as another key)"));
        const std::string configFile = velk::ConfigFilePath(config);
        const velk::ConfigScan scan = velk::ScanConfigText(velk::ReadTextFile(configFile));
        for (const auto& [key, value] : keys)
            if (scan[key] != velk::ScanConfigText(key + "=" + value)[key])
                throw Failure(configFile + ": " + key + " does not read back as written");

        made.push_back(dir / col->index);
        fs::copy_file(index, dir / col->index, ec);
        if (ec)
            throw Failure("cannot copy " + index + " to " + (dir / col->index).string() + ": " +
                          ec.message());
        const std::string letter = col->sample == velk::mksample::Collection::Tovrin ? "m" : "p";
        made.push_back(dir / ("velkw" + letter + ".hlp"));
        Write(dir / ("velkw" + letter + ".hlp"), velk::mksample::HelpFileText(col->sample));
        made.push_back(dir / (letter == "m" ? "iconsM" : "iconsP"));
        try {
            velk::mksample::WriteIcons(dir / (letter == "m" ? "iconsM" : "iconsP"));
        } catch (const std::exception& e) {
            throw Failure(e.what());
        }
        made.push_back(link);
        fs::create_symlink(program, link, ec);
        if (ec) throw Failure("cannot make the link " + link.string() + ": " + ec.message());

        // The users write the list database, its lock and changed settings here.
        if (gid != static_cast<gid_t>(-1)) {
            for (const fs::path& p : {dir, fs::path(configFile)})
                if (::chown(p.c_str(), 0, gid) != 0)
                    throw Failure("cannot give " + p.string() + " to the group " + group + ": " +
                                  std::strerror(errno));
            fs::permissions(dir,
                            fs::perms::owner_all | fs::perms::group_all | fs::perms::others_read |
                                fs::perms::others_exec | fs::perms::set_gid,
                            ec);
            if (!ec) fs::permissions(configFile, fs::perms::group_write, fs::perm_options::add, ec);
            if (ec)
                throw Failure("cannot let the group " + group + " write in " + dir.string() + ": " +
                              ec.message());
        }
        made.push_back(entry);
        Write(entry, MenuEntryText(*col, dir, link));
    } catch (...) {
        for (auto it = made.rbegin(); it != made.rend(); ++it) fs::remove_all(*it, ec);
        throw;
    }

    std::cout << "Made the installation " << dir.string() << " (" << col->title << ").\n"
              << "Start it from the menu entry \"" << col->title << "\" (" << entry.string() << ") or as "
              << link.string() << ".\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The arrow icons are written through Qt's image writer.
    QCoreApplication qapp(argc, argv);
    try {
        const Options o = Parse(argc, argv);
        if (o.help) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        return Run(o);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velk-setup: %s\n", e.what());
        return 1;
    }
}
