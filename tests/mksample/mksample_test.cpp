// The generator checked against readers of its own: libtiff for every image, a
// hand-written reading of the container, index and page-map formats, and a
// case-insensitive path walk. None of them shares code with the generator.
#include "tools/mksample/mksample.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <tiffio.h>

#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "common/vb_text.h"
#include "platform/drives.h"
#include "platform/help_file.h"
#include "tools/mksample/documents.h"
#include "tests/platform/scratch_dir.h"

using namespace velk::mksample;
namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) { return velk::test::ScratchDir::ReadFile(p); }

std::uint32_t LE(const std::string& s, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(s.at(at + static_cast<std::size_t>(i)));
    return v;
}

struct DecodedPage {
    std::uint32_t width = 0, height = 0;
    long black = 0;  // pixels set, to tell a drawn page from an empty one
    bool ok = false;
};

// Every page of a TIFF (or .BIN) file, decoded by libtiff (only its size without pixels).
std::vector<DecodedPage> DecodeTiff(const fs::path& file, bool pixels = true) {
    std::vector<DecodedPage> out;
    TIFF* t = TIFFOpen(file.c_str(), "r");
    if (!t) return out;
    do {
        DecodedPage p;
        TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &p.width);
        TIFFGetField(t, TIFFTAG_IMAGELENGTH, &p.height);
        tmsize_t size = pixels ? TIFFStripSize(t) : 0;
        std::vector<unsigned char> buf(static_cast<std::size_t>(size));
        p.ok = TIFFNumberOfStrips(t) == 1 && TIFFReadEncodedStrip(t, 0, buf.data(), size) == size;
        for (unsigned char b : buf) p.black += __builtin_popcount(b);
        out.push_back(p);
    } while (TIFFReadDirectory(t));
    TIFFClose(t);
    return out;
}

// A raw G4 block wrapped into a TIFF of the stated size, then decoded by libtiff.
DecodedPage DecodeRawG4(const std::string& g4, std::uint32_t width, std::uint32_t height,
                        const fs::path& scratch) {
    DecodedPage p{width, height};
    TIFF* w = TIFFOpen(scratch.c_str(), "w");
    if (!w) return p;
    const std::uint32_t tags[] = {TIFFTAG_IMAGEWIDTH,      width,
                                  TIFFTAG_IMAGELENGTH,     height,
                                  TIFFTAG_BITSPERSAMPLE,   1,
                                  TIFFTAG_SAMPLESPERPIXEL, 1,
                                  TIFFTAG_ROWSPERSTRIP,    height,
                                  TIFFTAG_COMPRESSION,     COMPRESSION_CCITTFAX4,
                                  TIFFTAG_FILLORDER,       FILLORDER_MSB2LSB,
                                  TIFFTAG_PHOTOMETRIC,     PHOTOMETRIC_MINISWHITE};
    for (std::size_t i = 0; i < std::size(tags); i += 2) TIFFSetField(w, tags[i], tags[i + 1]);
    std::string copy = g4;
    TIFFWriteRawStrip(w, 0, copy.data(), static_cast<tmsize_t>(copy.size()));
    TIFFClose(w);
    auto pages = DecodeTiff(scratch);
    return pages.size() == 1 ? pages[0] : p;
}

struct ContainerFile {
    std::string docNo;
    int pages = 0;
    struct Page {
        std::uint32_t offset = 0, width = 0, height = 0;
        std::string g4;
    };
    std::vector<Page> page;
};

// Header at 0, page p's offset at 16 + 4p, a 12-byte page header, then G4 up to the next page.
ContainerFile ReadContainer(const std::string& s) {
    ContainerFile c;
    c.docNo = velk::Trim(s.substr(8, 10));
    c.pages = static_cast<std::int16_t>(LE(s, 18, 2));
    for (int p = 1; p <= c.pages; ++p) c.page.push_back({LE(s, 16 + 4 * static_cast<std::size_t>(p), 4)});
    for (std::size_t i = 0; i < c.page.size(); ++i) {
        auto& pg = c.page[i];
        if (pg.offset + 12 > s.size()) continue;
        pg.width = LE(s, pg.offset + 6, 2);
        pg.height = LE(s, pg.offset + 8, 2);
        std::size_t end = i + 1 < c.page.size() ? c.page[i + 1].offset : s.size();
        if (end > pg.offset + 12 && end <= s.size()) pg.g4 = s.substr(pg.offset + 12, end - pg.offset - 12);
    }
    return c;
}

// The number after a label on the first line of a text map; -1 when the label is missing.
long MapNumber(const std::string& firstLine, const std::string& label) {
    std::size_t at = firstLine.find(label);
    if (at == std::string::npos) return -1;
    return std::strtol(firstLine.c_str() + at + label.size(), nullptr, 10);
}

// Fields after "]" in the 35 bytes at 258, each ended by ';'.
std::vector<std::string> EmbeddedFields(const std::string& file) {
    std::string area = file.substr(258, 35);
    area = area.substr(area.find(']') + 1);
    std::vector<std::string> out;
    for (std::size_t at; (at = area.find(';')) != std::string::npos; area = area.substr(at + 1))
        out.push_back(area.substr(0, at));
    return out;
}

// Resolves a stored path ("\DOCS\X.TIF") below dir, matching each name without regard to case.
std::optional<fs::path> FindOnVolume(const fs::path& dir, const std::string& stored) {
    fs::path at = dir;
    std::stringstream parts(stored);
    std::string part;
    while (std::getline(parts, part, '\\')) {
        if (part.empty()) continue;
        std::optional<fs::path> hit;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(at, ec))
            if (velk::UCase(e.path().filename().string()) == velk::UCase(part)) hit = e.path();
        if (!hit) return std::nullopt;
        at = *hit;
    }
    return at;
}

// Runs a command and returns its exit status and combined output.
int RunCommand(const std::string& command, std::string& output) {
    output.clear();
    std::FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) output.append(buf, n);
    return pclose(p);
}

SampleOptions Small(Collection c, const fs::path& out, DriveMode mode = DriveMode::Drive, int volumes = 2,
                    int documents = 5) {
    SampleOptions o;
    o.collection = c;
    o.outDir = out;
    o.mode = mode;
    o.volumes = volumes;
    o.documentsPerVolume = documents;
    o.pageScale = 0.1;
    o.seed = 7;
    return o;
}

std::string FirstLine(const fs::path& p) {
    std::string s = Slurp(p);
    return s.substr(0, s.find('\r'));
}

std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::map<std::string, std::string> ConfigKeys(const fs::path& ini) {
    std::map<std::string, std::string> keys;
    std::istringstream in(Slurp(ini));
    for (std::string line; std::getline(in, line);) {
        EXPECT_FALSE(line.empty() || line.back() != '\r') << "line without CR LF: " << line;
        line.pop_back();
        if (auto eq = line.find('='); eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

// Every image decodes through libtiff at the stated page count and size, and
// every patent page map states the document's sections.
void CheckImages(const SampleResult& r, const fs::path& scratch) {
    const PageGeometry g = Geometry(Paper::Letter, 0.1);
    for (const SampleDocument& d : r.documents) {
        SCOPED_TRACE(d.number + " " + KindName(d.kind));
        ASSERT_TRUE(fs::is_regular_file(d.imagePath));
        const std::string file = Slurp(d.imagePath);
        std::vector<DecodedPage> pages;
        if (d.kind == ImageKind::Container) {
            ContainerFile c = ReadContainer(file);
            EXPECT_EQ(c.docNo, d.number);
            for (const auto& p : c.page) pages.push_back(DecodeRawG4(p.g4, p.width, p.height, scratch));
        } else {
            pages = DecodeTiff(d.imagePath);
        }
        ASSERT_EQ(static_cast<int>(pages.size()), d.pages);
        for (const DecodedPage& p : pages) {
            EXPECT_TRUE(p.ok);
            EXPECT_EQ(p.width, static_cast<std::uint32_t>(g.width));
            EXPECT_EQ(p.height, static_cast<std::uint32_t>(g.height));
            EXPECT_GT(p.black, 100);
        }
        if (r.collectionMode != "Quorvel") continue;
        const SectionMap& s = d.sections;
        EXPECT_EQ(s.info, 1);
        EXPECT_GT(s.claims, 0);
        EXPECT_LE(s.claims, d.pages);
        const int want[] = {s.info, s.abstract, s.drawings, s.description, s.claims};
        if (d.kind == ImageKind::TiffEmbedded || d.kind == ImageKind::TiffEmbeddedMeta) {
            EXPECT_TRUE(d.mapPath.empty());
            const bool meta = d.kind == ImageKind::TiffEmbeddedMeta;
            auto f = EmbeddedFields(file);
            ASSERT_EQ(f.size(), meta ? 6u : 5u);
            for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(f[i], std::to_string(want[i])) << i;
            // The map lives in the file, which must still be a clean TIFF.
            std::string out;
            EXPECT_EQ(RunCommand("tiffinfo -D '" + d.imagePath.string() + "'", out), 0) << out;
            EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
            EXPECT_EQ(out.find("Error"), std::string::npos) << out;
            EXPECT_NE(out.find("CCITT Group 4"), std::string::npos) << out;
            if (!meta) continue;
            ASSERT_EQ(f[5].substr(0, 4), "META");
            // The block: from byte `start` (first byte 1), file length - start bytes, fields 8-19.
            std::size_t start = std::stoul(f[5].substr(5));
            std::vector<std::string> fields;
            std::stringstream in(file.substr(start - 1, file.size() - start));
            for (std::string x; std::getline(in, x, ',');) fields.push_back(x);
            ASSERT_GE(fields.size(), 20u);
            ASSERT_EQ(s.ranges.size(), 12u);
            for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(fields[7 + i], std::to_string(s.ranges[i])) << i;
            EXPECT_EQ(s.ranges[2], s.drawings);
            EXPECT_EQ(s.ranges[6], s.claims);
        } else {
            ASSERT_TRUE(fs::is_regular_file(d.mapPath));
            const std::string name = d.mapPath.filename().string();
            if (d.kind == ImageKind::TiffTextMap)
                EXPECT_EQ(name.substr(name.size() - 4), ".a1a");
            else
                EXPECT_EQ(fs::path(d.imagePath.string() + "a"), d.mapPath);
            const std::string line = FirstLine(d.mapPath);
            const char* labels[] = {"Info.:", "Abstract:", "Drawing(s):", "Description:", "Claim(s) :"};
            for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(MapNumber(line, labels[i]), want[i]) << labels[i];
        }
    }
}

// Index records: count, sort order, present documents with their volume and pages.
void CheckIndex(const SampleResult& r, long expected) {
    const std::string idx = Slurp(r.indexFile);
    ASSERT_EQ(idx.size(), static_cast<std::size_t>(expected) * 26);
    std::map<std::string, const SampleDocument*> present;
    for (const SampleDocument& d : r.documents) present[d.number] = &d;
    std::set<std::string> generated;
    for (const SampleVolume& v : r.volumes) generated.insert(v.name);
    std::string prev;
    long found = 0;
    for (std::size_t at = 0; at < idx.size(); at += 26) {
        std::string no = velk::Trim(idx.substr(at, 8)), vol = velk::Trim(idx.substr(at + 8, 10));
        ASSERT_EQ(idx.substr(at + 24, 2), "\r\n");
        const bool tovrin = r.collectionMode == "Tovrin";
        ASSERT_TRUE(prev.empty() || (tovrin ? std::stol(prev) < std::stol(no) : prev < no))
            << prev << " " << no;
        prev = no;
        if (auto it = present.find(no); it != present.end()) {
            ++found;
            EXPECT_EQ(vol, it->second->volume);
            EXPECT_EQ(velk::Trim(idx.substr(at + 18, 6)), std::to_string(it->second->pages));
        } else {
            EXPECT_EQ(generated.count(vol), 0u) << no << " names a generated volume without being on it";
        }
    }
    EXPECT_EQ(found, static_cast<long>(r.documents.size()));
}

// open.idx: 50-byte records sorted by number, every path on its volume.
void CheckOpenIdx(const SampleResult& r) {
    for (const SampleVolume& v : r.volumes) {
        const std::string idx = Slurp(v.dir / "open.idx");
        ASSERT_EQ(idx.size() % 50, 0u);
        std::string prev;
        for (std::size_t at = 0; at < idx.size(); at += 50) {
            std::string no = velk::Trim(idx.substr(at, 8)), path = velk::Trim(idx.substr(at + 8, 37));
            EXPECT_LT(prev, no);
            prev = no;
            EXPECT_EQ(path.front(), '\\');
            auto hit = FindOnVolume(v.dir, path);
            ASSERT_TRUE(hit) << path << " on " << v.name;
            auto doc = std::find_if(r.documents.begin(), r.documents.end(), [&](const SampleDocument& d) {
                return VolumeNumber(r.collectionMode == "Tovrin" ? Collection::Tovrin : Collection::Quorvel,
                                    d.number) == no;
            });
            ASSERT_NE(doc, r.documents.end());
            EXPECT_EQ(*hit, doc->imagePath);
            EXPECT_EQ(velk::Trim(idx.substr(at + 45, 3)), std::to_string(doc->pages));
        }
    }
}

}  // namespace

TEST(Mksample, PatentInstallationReadsBackThroughIndependentReaders) {
    velk::test::ScratchDir tmp("mksample");
    SampleOptions o = Small(Collection::Quorvel, tmp.path() / "q");
    o.programPath = "/opt/velk/velk";
    SampleResult r = MakeSample(o);
    ASSERT_EQ(r.documents.size(), 10u);
    std::set<ImageKind> kinds;
    for (const auto& d : r.documents) kinds.insert(d.kind);
    EXPECT_EQ(kinds,
              (std::set<ImageKind>{ImageKind::Container, ImageKind::TiffTextMap, ImageKind::TiffEmbedded,
                                   ImageKind::TiffEmbeddedMeta, ImageKind::Bin}));
    CheckImages(r, tmp.path() / "scratch.tif");
    CheckIndex(r, 10);
    CheckOpenIdx(r);

    // The application directory.
    EXPECT_EQ(r.appDir, tmp.path() / "q" / "app");
    EXPECT_EQ(fs::read_symlink(r.appDir / "velkwp"), "/opt/velk/velk");
    EXPECT_FALSE(fs::is_symlink(r.appDir / "velkwm"));
    auto keys = ConfigKeys(r.appDir / "VelkWp.INI");
    EXPECT_EQ(FirstLine(r.appDir / "VelkWp.INI"), "[DATA]");
    EXPECT_EQ(keys.size(), 13u + 52u);
    for (auto [key, value] : {std::pair{"INSTALLATION_TYPE", "OPEN"},
                              {"CD_DRIVE", "E:\\"},
                              {"SMART_CD_ON", "N"},
                              {"PAGE_TYPE", "LETTER"},
                              {"C_DRIVE", "A"},
                              {"Q_DRIVE", "N"}})
        EXPECT_EQ(keys[key], value) << key;
    EXPECT_EQ(Slurp(r.appDir / "drives.map"), "A: = " + (tmp.path() / "q/a").string() +
                                                  "\nC: = " + (tmp.path() / "q/c").string() +
                                                  "\nE: = " + (tmp.path() / "q/cd").string() + "\n");
    EXPECT_TRUE(FindOnVolume(tmp.path() / "q/c", keys["IMPORT_PATH"].substr(2)));
    EXPECT_TRUE(FindOnVolume(tmp.path() / "q/c", keys["EXPORT_PATH"].substr(2)));
    EXPECT_NE(Slurp(r.appDir / "p_RegNo.ASC").find("\r\nREG_DATE="), std::string::npos);
    for (const char* f : {"Readme.txt", "velkwp.hlp"}) EXPECT_TRUE(fs::is_regular_file(r.appDir / f)) << f;
    for (const char* d : {"workingP", "workingM", "iconsP", "iconsM"})
        EXPECT_TRUE(fs::is_directory(r.appDir / d));

    // The arrow icons are real 32 x 32 icons, each look and direction its own.
    for (const char* dir : {"iconsP", "iconsM"})
        for (const char* look : {"e_", "d_"})
            for (const char* what : {"left", "right", "up", "down", "u100", "d100"}) {
                fs::path f = r.appDir / dir / (std::string(look) + what + ".ico");
                EXPECT_EQ(Slurp(f).substr(0, 4), std::string("\0\0\1\0", 4)) << f;  // icon resource header
                QImageReader reader(QString::fromStdString(f.string()));
                EXPECT_EQ(reader.read().size(), QSize(32, 32)) << f << reader.errorString().toStdString();
            }
    EXPECT_NE(Slurp(r.appDir / "iconsP/e_left.ico"), Slurp(r.appDir / "iconsP/d_left.ico"));
    EXPECT_NE(Slurp(r.appDir / "iconsP/e_left.ico"), Slurp(r.appDir / "iconsP/e_right.ico"));

    // The platform's path layer reaches every image of the inserted volume through E:.
    velk::Drives drives = velk::Drives::load(r.appDir.string());
    for (const auto& d : r.documents) {
        if (d.volume != r.insertedVolume) continue;
        auto native = drives.resolve("E:" + d.storedPath);
        ASSERT_TRUE(native) << d.storedPath;
        EXPECT_EQ(Slurp(*native), Slurp(d.imagePath));
    }
    EXPECT_TRUE(drives.resolve(keys["EXPORT_PATH"]));

    // Single drive: the inserted volume at the drive root, with a directory named
    // after it (underscore dropped), and the other volume ready to swap in.
    EXPECT_EQ(Slurp(r.driveRoot / "open.idx"), Slurp(r.volumes[0].dir / "open.idx"));
    EXPECT_TRUE(fs::is_directory(r.driveRoot / "QUOR0001"));
    InsertVolume(r, "QUOR_0002");
    EXPECT_EQ(Slurp(r.driveRoot / "open.idx"), Slurp(r.volumes[1].dir / "open.idx"));
    EXPECT_TRUE(fs::is_directory(r.driveRoot / "quor0002"));
    EXPECT_FALSE(fs::exists(r.driveRoot / "QUOR0001"));
    EXPECT_THROW(InsertVolume(r, "QUOR_0009"), std::invalid_argument);
}

TEST(Mksample, TrademarksAndAssignmentsInTowerMode) {
    velk::test::ScratchDir tmp("mksample");
    SampleResult tm = MakeSample(Small(Collection::Tovrin, tmp.path() / "t", DriveMode::Tower));
    CheckImages(tm, tmp.path() / "scratch.tif");
    CheckIndex(tm, 10);
    CheckOpenIdx(tm);
    auto keys = ConfigKeys(tm.appDir / "VelkWm.INI");
    EXPECT_EQ(keys["SMART_CD_ON"], "Y");
    EXPECT_EQ(keys["SMART_CD_TOVRIN"], (tmp.path() / "t/tower").string());
    EXPECT_TRUE(fs::is_directory(tmp.path() / "t/tower/TOVR_0001/MARKS"));
    EXPECT_TRUE(fs::is_directory(tmp.path() / "t/tower/tovr_0002/marks"));
    // Tower paths are the tower root & "\" & volume & ImagePath, resolved without regard to case.
    velk::Drives drives = velk::Drives::load(tm.appDir.string());
    for (const auto& d : tm.documents) {
        EXPECT_EQ(d.kind, ImageKind::Tiff);
        // The viewer takes the number from the last 11 characters of the image path.
        EXPECT_EQ(d.storedPath.substr(d.storedPath.size() - 11, 7),
                  VolumeNumber(Collection::Tovrin, d.number));
        auto native = drives.resolve(keys["SMART_CD_TOVRIN"] + "\\" + d.volume + d.storedPath);
        ASSERT_TRUE(native) << d.storedPath;
        EXPECT_TRUE(fs::equivalent(*native, d.imagePath));
    }
    EXPECT_EQ(Slurp(tm.appDir / "drives.map").find("E:"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(tm.appDir / "m_RegNo.ASC"));
    EXPECT_TRUE(fs::is_regular_file(tm.appDir / "velkwm.hlp"));

    SampleOptions ao = Small(Collection::Assign, tmp.path() / "a", DriveMode::Tower);
    ao.programPath = "/opt/velk/velk";
    SampleResult as = MakeSample(ao);
    EXPECT_TRUE(fs::is_symlink(as.appDir / "velkwa"));
    CheckImages(as, tmp.path() / "scratch.tif");
    CheckIndex(as, 10);
    EXPECT_NE(Slurp(as.appDir / "drives.map").find("S: = " + (tmp.path() / "a/assign").string()),
              std::string::npos);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(as.assignmentDb.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    auto prepare = [&](const char* sql) {
        sqlite3_finalize(st);
        return sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK;
    };
    ASSERT_TRUE(prepare("SELECT count(*) FROM sqlite_master WHERE type='index' AND name='ByReelFrame'"));
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 1);
    ASSERT_TRUE(prepare("SELECT Path || '\\' || FileName FROM Assignments WHERE Reel=? AND Frame=?"));
    for (const auto& d : as.documents) {
        sqlite3_bind_text(st, 1, d.number.substr(0, 4).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, d.number.substr(4).c_str(), -1, SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW) << d.number;
        std::string path = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        EXPECT_EQ(path.front(), '\\');
        // Tower mode: tower root & "\" & volume & Path & "\" & FileName.
        auto hit = FindOnVolume(tmp.path() / "a/tower", "\\" + d.volume + path);
        ASSERT_TRUE(hit) << path;
        EXPECT_EQ(*hit, d.imagePath);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

// The tests of the program's refusals need every fault present; a soak's seed replays its
// run only when the same seed gives the same installation.
TEST(Mksample, HostileVariantCarriesEveryFaultAndSameSeedGivesSameBytes) {
    velk::test::ScratchDir tmp("mksample");
    auto make = [&](const std::string& name, Collection c, std::uint64_t seed) {
        SampleOptions o = Small(c, tmp.path() / name, DriveMode::Drive, 1);
        o.hostile = true;
        o.seed = seed;
        return MakeSample(o);
    };
    for (auto [c, kinds] : {std::pair{Collection::Quorvel,
                                      std::set<ImageKind>{ImageKind::DotDotPath, ImageKind::AbsolutePath,
                                                          ImageKind::DrivePath, ImageKind::OffsetPastEnd,
                                                          ImageKind::ZeroSize, ImageKind::HugeSize,
                                                          ImageKind::ClaimsHuge, ImageKind::BadTextMap,
                                                          ImageKind::BadMeta}},
                            {Collection::Tovrin, {ImageKind::BadPages}}}) {
        SampleResult r = make(CollectionName(c), c, 7);
        for (const auto& d : r.documents) kinds.erase(d.kind);
        EXPECT_TRUE(kinds.empty()) << CollectionName(c) << ": " << KindName(*kinds.begin());
        // A record count that rounds up over a short last record.
        EXPECT_EQ(fs::file_size(r.indexFile) % 26, 15u);
    }
    auto tree = [&](const std::string& name, std::uint64_t seed) {
        make(name, Collection::Quorvel, seed);
        std::map<std::string, std::string> files;
        const fs::path root = tmp.path() / name;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file() && !e.is_symlink()) {
                std::string bytes = Slurp(e.path());
                // The installation's own directory appears in the configuration and drives.map.
                for (std::size_t at; (at = bytes.find(root.string())) != std::string::npos;)
                    bytes.replace(at, root.string().size(), "DIR");
                files[fs::relative(e.path(), root).string()] = bytes;
            }
        return files;
    };
    auto one = tree("one", 11);
    EXPECT_GT(one.size(), 40u);
    EXPECT_TRUE(one == tree("two", 11));
    EXPECT_NE(one["app/cum.idx"], tree("three", 12)["app/cum.idx"]);
}

TEST(Mksample, CommandLineAndABusyDirectory) {
    velk::test::ScratchDir tmp("mksample");
    // A directory with something in it is refused and left alone.
    fs::create_directories(tmp.path() / "busy");
    { std::ofstream(tmp.path() / "busy" / "keep.txt") << "mine"; }
    EXPECT_THROW(MakeSample(Small(Collection::Quorvel, tmp.path() / "busy")), std::invalid_argument);
    EXPECT_EQ(Slurp(tmp.path() / "busy" / "keep.txt"), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path() / "busy"), fs::directory_iterator()), 1);

    CommandLine cl;
    std::string err;
    ASSERT_TRUE(ParseCommandLine(Words("--collection tovrin --out=/tmp/x --mode tower --volumes 3 "
                                       "--documents-per-volume 4 --index-records 1000000 --seed 42 "
                                       "--installation restricted --hostile --paper a4 --page-scale 0.5 "
                                       "--program /bin/true"),
                                 cl, err))
        << err;
    const SampleOptions& p = cl.options;
    EXPECT_EQ(std::tuple(p.collection, p.outDir, p.mode, p.installation, p.paper),
              std::tuple(Collection::Tovrin, fs::path("/tmp/x"), DriveMode::Tower, Installation::Restricted,
                         Paper::A4));
    EXPECT_EQ(std::tuple(p.volumes, p.documentsPerVolume, p.indexRecords, p.seed),
              std::tuple(3, 4, 1000000L, std::uint64_t{42}));
    EXPECT_DOUBLE_EQ(p.pageScale, 0.5);
    EXPECT_TRUE(p.hostile && cl.programGiven);
    EXPECT_FALSE(ParseCommandLine(Words("--collection patents --out /tmp/x"), cl, err));
}

// Every context number a help button or menu command opens has a real topic.
TEST(MksampleHelp, EveryContextTheFormsUseHasARealTopic) {
    constexpr long kUsedContexts[] = {0, 2, 3, 4, 5, 6, 8, 9, 17, 21};
    for (Collection c : {Collection::Quorvel, Collection::Tovrin, Collection::Assign}) {
        SCOPED_TRACE(CollectionName(c));
        velk::test::ScratchDir tmp("mksample");
        SampleResult r = MakeSample(Small(c, tmp.path() / "inst", DriveMode::Drive, 1, 1));
        EXPECT_EQ(r.helpFile, r.appDir / (c == Collection::Tovrin ? "velkwm.hlp" : "velkwp.hlp"));
        velk::HelpFile f = velk::HelpFile::Load(r.helpFile);
        ASSERT_TRUE(f.ok()) << f.problem();
        std::set<long> present;
        for (const velk::HelpTopic& t : f.topics()) present.insert(t.context);
        for (long context : kUsedContexts) {
            const velk::HelpTopic* t = f.find(context);
            ASSERT_NE(t, nullptr) << "context " << context;
            EXPECT_FALSE(t->title.empty());
            EXPECT_GT(t->text.size(), 150u) << t->title;
            // About's own part follows the program's heading, so it has none of its own.
            EXPECT_EQ(t->html.find("<h1>") != std::string::npos, context != velk::kHelpAboutContext)
                << t->title;
        }
        EXPECT_EQ(present.size(), std::size(kUsedContexts)) << "no topic nobody opens";
        // Every link between topics leads to a topic.
        std::regex link("href=\"topic:([0-9]+)\"");
        int links = 0;
        for (const velk::HelpTopic& t : f.topics())
            for (std::sregex_iterator it(t.html.begin(), t.html.end(), link), end; it != end; ++it, ++links)
                EXPECT_NE(f.find(std::stol((*it)[1])), nullptr) << t.title << " links to " << (*it)[0];
        EXPECT_GE(links, 9);
        // Each collection's dialogs as the program has them.
        const bool patents = c == Collection::Quorvel;
        EXPECT_EQ(f.find(4)->text.find("subsection") != std::string::npos, c != Collection::Tovrin);
        EXPECT_EQ(f.find(5)->text.find("all pages except the first") != std::string::npos, patents);
        EXPECT_EQ(f.find(3)->text.find("drawings") != std::string::npos, patents);
        const char* name = c == Collection::Tovrin   ? "tovrin"
                           : c == Collection::Assign ? "assignments"
                                                     : "quorvel";
        EXPECT_NE(f.contents().text.find(name), std::string::npos);
        EXPECT_NE(f.find(17)->text.find(r.helpFile.filename().string()), std::string::npos);
        EXPECT_NE(f.find(2)->text.find("document finder"), std::string::npos);
    }
}
