#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "tools/mksample/mksample.h"

namespace velk::mksample {
namespace {

bool Whole(const std::string& s, long long lo, long long hi, long long& out) {
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    out = std::strtoll(s.c_str(), nullptr, 10);
    return errno == 0 && out >= lo && out <= hi;
}

template <class E>
bool Choose(const std::string& value, std::initializer_list<std::pair<const char*, E>> table, E& out) {
    for (const auto& [name, e] : table)
        if (value == name) {
            out = e;
            return true;
        }
    return false;
}

}  // namespace

std::string HelpText() {
    return R"(Usage: mksample --collection quorvel|tovrin|assign --out DIR [options]

Writes a complete sample installation of one collection into DIR (which must be
empty or absent): the application directory, the volumes with their image files,
and the drives they are reached through.

Options:
  --collection NAME     quorvel (patents), tovrin (trademarks) or assign
                        (assignments); required
  --out DIR             where the installation goes; required
  --mode drive|tower    single CD-ROM drive (default) or CD tower
  --volumes N           volumes to generate, 1 to 99 (default 2)
  --documents-per-volume N
                        documents with images on each volume, 1 to 500 (default 6)
  --index-records N     records of the cumulative index, up to 2,000,000; beyond
                        the documents present they name volumes that are not
                        generated and have no images (default: the documents present)
  --seed S              seed of every random choice; the same seed gives the same
                        bytes (default 1)
  --installation T      open (default), restricted or other (INSTALLATION_TYPE
                        OPEN, RESTRICTED or STANDARD)
  --hostile             add broken documents and truncated files for robustness
                        tests (see README.md)
  --program PATH        what the program link in DIR/app points at (default: the
                        viewer of this build, ../../app/velk beside mksample)
  --paper letter|a4     page size of the images and PAGE_TYPE (default letter)
  --page-scale X        image resolution as a fraction of 300 dpi, 0.05 to 1
                        (default 1; small values make fast test installations)
  --help                this text

Layout of DIR:
  app/            the application directory (AppDir): the link velkwp, velkwm or
                  velkwa (by collection) to the program; VelkWp.INI (patents,
                  assignments) or VelkWm.INI (trademarks), section [DATA], CR LF;
                  drives.map; cum.idx, cum_mark.idx or cum_assn.idx; p_RegNo.ASC
                  or m_RegNo.ASC; Readme.txt; velkwp.hlp or velkwm.hlp;
                  iconsP/, iconsM/ (arrow icons); workingP/, workingM/
  cd/             drive E: in single-drive mode: a copy of the inserted volume
                  (the first), with open.idx at its root and a directory named
                  after the volume
  volumes/VOL/    single-drive mode: every volume, to swap into cd/
  tower/VOL/      tower mode: every volume; the second, fourth, ... in lower case
                  (directory and file names), as some CD mounts show them
  assign/         drive S: with assignmt.mdb (SQLite), assignments only
  c/VELK/IMPORT/  drive C: import directory (IMPORT_PATH), with NUMBERS.TXT
  c/VELK/EXPORT/  export directory (EXPORT_PATH)
  a/              drive A:, an empty diskette

drives.map maps A:, C:, E: (single drive only) and S: (assignments only) with
lines of the form "E: = /absolute/path". In tower mode SMART_CD_ON=Y and the tower
keys hold the absolute path of DIR/tower.
)";
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
    out = CommandLine{};
    SampleOptions& o = out.options;
    bool collectionGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool inlineValue = false;
        if (auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        if (name == "--help" || name == "-h") {
            out.help = true;
            return true;
        }
        if (name == "--hostile") {
            o.hostile = true;
            continue;
        }
        static const char* const kValued[] = {
            "--collection",    "--out",  "--mode",         "--volumes", "--documents-per-volume",
            "--index-records", "--seed", "--installation", "--program", "--paper",
            "--page-scale"};
        if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued)) {
            error = "unknown option " + args[i];
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        long long n = 0;
        auto badValue = [&](const std::string& expected) {
            error = "bad value for " + name + ": \"" + value + "\" (" + expected + ")";
            return false;
        };
        if (name == "--collection") {
            if (!Choose(value,
                        {{"quorvel", Collection::Quorvel},
                         {"tovrin", Collection::Tovrin},
                         {"assign", Collection::Assign}},
                        o.collection))
                return badValue("quorvel, tovrin or assign");
            collectionGiven = true;
        } else if (name == "--out") {
            if (value.empty()) return badValue("a directory");
            o.outDir = value;
        } else if (name == "--mode") {
            if (!Choose(value, {{"drive", DriveMode::Drive}, {"tower", DriveMode::Tower}}, o.mode))
                return badValue("drive or tower");
        } else if (name == "--volumes") {
            if (!Whole(value, 1, 99, n)) return badValue("1 to 99");
            o.volumes = static_cast<int>(n);
        } else if (name == "--documents-per-volume") {
            if (!Whole(value, 1, 500, n)) return badValue("1 to 500");
            o.documentsPerVolume = static_cast<int>(n);
        } else if (name == "--index-records") {
            if (!Whole(value, 0, 2000000, n)) return badValue("0 to 2000000");
            o.indexRecords = static_cast<long>(n);
        } else if (name == "--seed") {
            errno = 0;
            char* end = nullptr;
            unsigned long long s = std::strtoull(value.c_str(), &end, 10);
            if (value.empty() || value[0] == '-' || *end || errno) return badValue("a whole number");
            o.seed = s;
        } else if (name == "--installation") {
            if (!Choose(value,
                        {{"open", Installation::Open},
                         {"restricted", Installation::Restricted},
                         {"other", Installation::Other}},
                        o.installation))
                return badValue("open, restricted or other");
        } else if (name == "--program") {
            o.programPath = value;
            out.programGiven = true;
        } else if (name == "--paper") {
            if (!Choose(value, {{"letter", Paper::Letter}, {"a4", Paper::A4}}, o.paper))
                return badValue("letter or a4");
        } else if (name == "--page-scale") {
            char* end = nullptr;
            double x = std::strtod(value.c_str(), &end);
            if (value.empty() || *end || !(x >= 0.05 && x <= 1.0)) return badValue("0.05 to 1");
            o.pageScale = x;
        }
    }
    if (!collectionGiven) {
        error = "--collection is required";
        return false;
    }
    if (o.outDir.empty()) {
        error = "--out is required";
        return false;
    }
    return true;
}

}  // namespace velk::mksample
