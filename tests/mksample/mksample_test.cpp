#include "tools/mksample/mksample.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QImageReader>
#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "common/vb_text.h"
#include "platform/drives.h"
#include "tests/mksample/readers.h"
#include "tools/mksample/documents.h"
#include "tools/mksample/page_drawing.h"

using namespace velk::mksample;
using namespace velk::test;

namespace {

SampleOptions Small(Collection c, const fs::path& out, DriveMode mode = DriveMode::Drive) {
    SampleOptions o;
    o.collection = c;
    o.outDir = out;
    o.mode = mode;
    o.volumes = 2;
    o.documentsPerVolume = 5;
    o.pageScale = 0.1;
    o.seed = 7;
    return o;
}

std::string FirstLine(const fs::path& p) {
    std::string s = Slurp(p);
    return s.substr(0, s.find('\r'));
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
void CheckImages(const SampleResult& r, const PageGeometry& g, const fs::path& scratch) {
    for (const SampleDocument& d : r.documents) {
        SCOPED_TRACE(d.number + " " + KindName(d.kind));
        ASSERT_TRUE(fs::is_regular_file(d.imagePath));
        if (d.kind == ImageKind::Container) {
            ContainerFile c = ReadContainer(Slurp(d.imagePath));
            EXPECT_EQ(c.docNo, d.number);
            ASSERT_EQ(c.pages, d.pages);
            for (const auto& p : c.page) {
                EXPECT_EQ(p.width, static_cast<std::uint32_t>(g.width));
                EXPECT_EQ(p.height, static_cast<std::uint32_t>(g.height));
                DecodedPage dp = DecodeRawG4(p.g4, p.width, p.height, scratch);
                EXPECT_TRUE(dp.ok);
                EXPECT_GT(dp.black, 100);
            }
        } else {
            auto pages = DecodeTiff(d.imagePath);
            ASSERT_EQ(static_cast<int>(pages.size()), d.pages);
            for (const DecodedPage& p : pages) {
                EXPECT_TRUE(p.ok);
                EXPECT_EQ(p.width, static_cast<std::uint32_t>(g.width));
                EXPECT_EQ(p.height, static_cast<std::uint32_t>(g.height));
                EXPECT_GT(p.black, 100);
            }
        }
        if (r.collectionMode != "Quorvel") continue;
        const SectionMap& s = d.sections;
        EXPECT_EQ(s.info, 1);
        EXPECT_GT(s.claims, 0);
        EXPECT_LE(s.claims, d.pages);
        if (d.kind == ImageKind::TiffEmbedded || d.kind == ImageKind::TiffEmbeddedMeta) {
            EXPECT_TRUE(d.mapPath.empty());
            const std::string file = Slurp(d.imagePath);
            auto f = EmbeddedFields(file);
            ASSERT_GE(f.size(), 5u);
            EXPECT_EQ(f[0], std::to_string(s.info));
            EXPECT_EQ(f[1], std::to_string(s.abstract));
            EXPECT_EQ(f[2], std::to_string(s.drawings));
            EXPECT_EQ(f[3], std::to_string(s.description));
            EXPECT_EQ(f[4], std::to_string(s.claims));
            if (d.kind == ImageKind::TiffEmbeddedMeta) {
                ASSERT_EQ(f.size(), 6u);
                ASSERT_EQ(f[5].substr(0, 4), "META");
                // The block: from byte `start` (first byte 1), file length - start bytes, fields 8-19.
                std::size_t start = std::stoul(f[5].substr(5));
                std::string block = file.substr(start - 1, file.size() - start);
                std::vector<std::string> fields;
                std::stringstream in(block);
                for (std::string x; std::getline(in, x, ',');) fields.push_back(x);
                ASSERT_GE(fields.size(), 20u);
                ASSERT_EQ(s.ranges.size(), 12u);
                for (std::size_t i = 0; i < 12; ++i)
                    EXPECT_EQ(fields[7 + i], std::to_string(s.ranges[i])) << i;
                EXPECT_EQ(s.ranges[2], s.drawings);
                EXPECT_EQ(s.ranges[6], s.claims);
            } else {
                EXPECT_EQ(f.size(), 5u);
            }
        } else {
            ASSERT_TRUE(fs::is_regular_file(d.mapPath));
            const std::string name = d.mapPath.filename().string();
            if (d.kind == ImageKind::TiffTextMap)
                EXPECT_EQ(name.substr(name.size() - 4), ".a1a");
            else
                EXPECT_EQ(fs::path(d.imagePath.string() + "a"), d.mapPath);
            std::string line = FirstLine(d.mapPath);
            EXPECT_EQ(MapNumber(line, "Info.:"), s.info);
            EXPECT_EQ(MapNumber(line, "Abstract:"), s.abstract);
            EXPECT_EQ(MapNumber(line, "Drawing(s):"), s.drawings);
            EXPECT_EQ(MapNumber(line, "Description:"), s.description);
            EXPECT_EQ(MapNumber(line, "Claim(s) :"), s.claims);
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
        std::string no = Trimmed(idx.substr(at, 8)), vol = Trimmed(idx.substr(at + 8, 10));
        ASSERT_EQ(idx.substr(at + 24, 2), "\r\n");
        if (!prev.empty()) {
            if (r.collectionMode == "Tovrin")
                ASSERT_LT(std::stol(prev), std::stol(no)) << at / 26;
            else
                ASSERT_LT(prev, no) << at / 26;
        }
        prev = no;
        if (auto it = present.find(no); it != present.end()) {
            ++found;
            EXPECT_EQ(vol, it->second->volume);
            EXPECT_EQ(Trimmed(idx.substr(at + 18, 6)), std::to_string(it->second->pages));
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
            std::string no = Trimmed(idx.substr(at, 8)), path = Trimmed(idx.substr(at + 8, 37));
            EXPECT_LT(prev, no);
            prev = no;
            EXPECT_EQ(path.front(), '\\');
            auto hit = FindOnVolume(v.dir, path);
            ASSERT_TRUE(hit) << path << " on " << v.name;
            auto doc = std::find_if(r.documents.begin(), r.documents.end(),
                                    [&](const SampleDocument& d) { return d.number == no; });
            ASSERT_NE(doc, r.documents.end());
            EXPECT_EQ(*hit, doc->imagePath);
            EXPECT_EQ(Trimmed(idx.substr(at + 45, 3)), std::to_string(doc->pages));
        }
    }
}

}  // namespace

TEST(Mksample, PatentInstallationReadsBackThroughIndependentReaders) {
    TempDir tmp;
    SampleOptions o = Small(Collection::Quorvel, tmp.path / "q");
    o.programPath = "/opt/velk/velk";
    SampleResult r = MakeSample(o);
    ASSERT_EQ(r.documents.size(), 10u);
    std::set<ImageKind> kinds;
    for (const auto& d : r.documents) kinds.insert(d.kind);
    EXPECT_EQ(kinds,
              (std::set<ImageKind>{ImageKind::Container, ImageKind::TiffTextMap, ImageKind::TiffEmbedded,
                                   ImageKind::TiffEmbeddedMeta, ImageKind::Bin}));
    CheckImages(r, Geometry(Paper::Letter, 0.1), tmp.path / "scratch.tif");
    CheckIndex(r, 10);
    CheckOpenIdx(r);

    // The application directory.
    EXPECT_EQ(r.appDir, tmp.path / "q" / "app");
    EXPECT_EQ(fs::read_symlink(r.appDir / "velkwp"), "/opt/velk/velk");
    EXPECT_FALSE(fs::is_symlink(r.appDir / "velkwm"));
    auto keys = ConfigKeys(r.appDir / "VelkWp.INI");
    EXPECT_EQ(FirstLine(r.appDir / "VelkWp.INI"), "[DATA]");
    EXPECT_EQ(keys.size(), 13u + 52u);
    EXPECT_EQ(keys["INSTALLATION_TYPE"], "OPEN");
    EXPECT_EQ(keys["CD_DRIVE"], "E:\\");
    EXPECT_EQ(keys["SMART_CD_ON"], "N");
    EXPECT_EQ(keys["PAGE_TYPE"], "LETTER");
    EXPECT_EQ(keys["C_DRIVE"], "A");
    EXPECT_EQ(keys["Q_DRIVE"], "N");
    EXPECT_EQ(Slurp(r.appDir / "drives.map"), "A: = " + (tmp.path / "q/a").string() +
                                                  "\nC: = " + (tmp.path / "q/c").string() +
                                                  "\nE: = " + (tmp.path / "q/cd").string() + "\n");
    EXPECT_TRUE(FindOnVolume(tmp.path / "q/c", keys["IMPORT_PATH"].substr(2)));
    EXPECT_TRUE(FindOnVolume(tmp.path / "q/c", keys["EXPORT_PATH"].substr(2)));
    EXPECT_NE(Slurp(r.appDir / "p_RegNo.ASC").find("\r\nREG_DATE="), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(r.appDir / "Readme.txt"));
    EXPECT_TRUE(fs::is_regular_file(r.appDir / "velkwp.hlp"));
    for (const char* d : {"workingP", "workingM", "iconsP", "iconsM"})
        EXPECT_TRUE(fs::is_directory(r.appDir / d));

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

TEST(Mksample, EmbeddedMapTiffsAreCleanForTiffinfo) {
    TempDir tmp;
    SampleResult r = MakeSample(Small(Collection::Quorvel, tmp.path / "q"));
    int checked = 0;
    for (const auto& d : r.documents) {
        if (d.kind != ImageKind::TiffEmbedded && d.kind != ImageKind::TiffEmbeddedMeta) continue;
        std::string out;
        EXPECT_EQ(RunCommand("tiffinfo -D '" + d.imagePath.string() + "'", out), 0) << out;
        EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
        EXPECT_EQ(out.find("Error"), std::string::npos) << out;
        EXPECT_NE(out.find("CCITT Group 4"), std::string::npos) << out;
        ++checked;
    }
    EXPECT_GE(checked, 2);
}

TEST(Mksample, TrademarksAndAssignmentsInTowerMode) {
    TempDir tmp;
    SampleResult tm = MakeSample(Small(Collection::Tovrin, tmp.path / "t", DriveMode::Tower));
    CheckImages(tm, Geometry(Paper::Letter, 0.1), tmp.path / "scratch.tif");
    CheckIndex(tm, 10);
    CheckOpenIdx(tm);
    for (const auto& d : tm.documents) {
        EXPECT_EQ(d.kind, ImageKind::Tiff);
        // The viewer takes the number from the last 11 characters of the image path.
        EXPECT_EQ(d.storedPath.substr(d.storedPath.size() - 11, 7), d.number);
    }
    auto keys = ConfigKeys(tm.appDir / "VelkWm.INI");
    EXPECT_EQ(keys["SMART_CD_ON"], "Y");
    EXPECT_EQ(keys["SMART_CD_TOVRIN"], (tmp.path / "t/tower").string());
    EXPECT_TRUE(fs::is_directory(tmp.path / "t/tower/TOVR_0001/MARKS"));
    EXPECT_TRUE(fs::is_directory(tmp.path / "t/tower/tovr_0002/marks"));
    // Tower paths are the tower root & "\" & volume & ImagePath, resolved without regard to case.
    velk::Drives drives = velk::Drives::load(tm.appDir.string());
    for (const auto& d : tm.documents) {
        auto native = drives.resolve(keys["SMART_CD_TOVRIN"] + "\\" + d.volume + d.storedPath);
        ASSERT_TRUE(native) << d.storedPath;
        EXPECT_TRUE(fs::equivalent(*native, d.imagePath));
    }
    EXPECT_EQ(Slurp(tm.appDir / "drives.map").find("E:"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(tm.appDir / "m_RegNo.ASC"));
    EXPECT_TRUE(fs::is_regular_file(tm.appDir / "velkwm.hlp"));

    SampleOptions ao = Small(Collection::Assign, tmp.path / "a", DriveMode::Tower);
    ao.programPath = "/opt/velk/velk";
    SampleResult as = MakeSample(ao);
    EXPECT_TRUE(fs::is_symlink(as.appDir / "velkwa"));
    CheckImages(as, Geometry(Paper::Letter, 0.1), tmp.path / "scratch.tif");
    CheckIndex(as, 10);
    EXPECT_NE(Slurp(as.appDir / "drives.map").find("S: = " + (tmp.path / "a/assign").string()),
              std::string::npos);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(as.assignmentDb.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE type='index' AND name='ByReelFrame'",
                           -1, &st, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 1);
    sqlite3_finalize(st);
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT Path, FileName FROM Assignments WHERE Reel=? AND Frame=?", -1,
                                 &st, nullptr),
              SQLITE_OK);
    for (const auto& d : as.documents) {
        sqlite3_bind_text(st, 1, d.number.substr(0, 4).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, d.number.substr(4).c_str(), -1, SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW) << d.number;
        std::string path = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        std::string file = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        EXPECT_EQ(path.front(), '\\');
        // Tower mode: tower root & "\" & volume & Path & "\" & FileName.
        auto hit = FindOnVolume(tmp.path / "a/tower", "\\" + d.volume + path + "\\" + file);
        ASSERT_TRUE(hit) << path << "\\" << file;
        EXPECT_EQ(*hit, d.imagePath);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

TEST(Mksample, LargeIndexNamesAbsentVolumesInOrder) {
    TempDir tmp;
    for (Collection c : {Collection::Quorvel, Collection::Tovrin, Collection::Assign}) {
        SCOPED_TRACE(CollectionName(c));
        SampleOptions o = Small(c, tmp.path / CollectionName(c));
        o.volumes = 1;
        o.documentsPerVolume = 3;
        o.indexRecords = 20000;
        SampleResult r = MakeSample(o);
        EXPECT_EQ(r.indexRecords, 20000);
        CheckIndex(r, 20000);
    }
    // Trademarks sort by value: six-digit numbers come before seven-digit ones,
    // which character order would not give.
    std::string tm = Slurp(tmp.path / "tovrin/app/cum_mark.idx");
    EXPECT_EQ(Trimmed(tm.substr(0, 8)).size(), 6u);
    EXPECT_EQ(Trimmed(tm.substr(tm.size() - 26, 8)).size(), 7u);
    std::string pat = Slurp(tmp.path / "quorvel/app/cum.idx");
    std::set<char> firsts;
    for (std::size_t at = 0; at < pat.size(); at += 26) firsts.insert(pat[at]);
    for (char k : {'D', 'H', 'P', 'R', 'T'}) EXPECT_EQ(firsts.count(k), 1u) << k;
}

TEST(Mksample, SameSeedSameBytes) {
    TempDir tmp;
    auto make = [&](const std::string& name, std::uint64_t seed) {
        SampleOptions o = Small(Collection::Quorvel, tmp.path / name);
        o.volumes = 1;
        o.documentsPerVolume = 5;
        o.seed = seed;
        o.hostile = true;
        return MakeSample(o);
    };
    make("one", 11);
    make("two", 11);
    make("three", 12);
    auto tree = [&](const std::string& name) {
        std::map<std::string, std::string> files;
        const fs::path root = tmp.path / name;
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
    auto one = tree("one"), two = tree("two"), three = tree("three");
    EXPECT_GT(one.size(), 40u);
    EXPECT_TRUE(one == two);
    for (const auto& [name, bytes] : one) EXPECT_TRUE(two.count(name) && bytes == two[name]) << name;
    EXPECT_NE(one["app/cum.idx"], three["app/cum.idx"]);
}

TEST(Mksample, HostileVariantCarriesEveryFault) {
    TempDir tmp;
    SampleOptions o = Small(Collection::Quorvel, tmp.path / "h");
    o.hostile = true;
    SampleResult r = MakeSample(o);
    std::map<ImageKind, const SampleDocument*> by;
    for (const auto& d : r.documents) by[d.kind] = &d;
    for (ImageKind k : {ImageKind::DotDotPath, ImageKind::AbsolutePath, ImageKind::DrivePath,
                        ImageKind::OffsetPastEnd, ImageKind::ZeroSize, ImageKind::HugeSize,
                        ImageKind::ClaimsHuge, ImageKind::BadTextMap, ImageKind::BadMeta})
        ASSERT_TRUE(by.count(k)) << KindName(k);
    // Truncated files: a record count that rounds up over a short last record.
    EXPECT_EQ(fs::file_size(r.volumes[0].dir / "open.idx") % 50, 27u);
    EXPECT_EQ(fs::file_size(r.indexFile) % 26, 15u);
    EXPECT_EQ(std::count_if(r.documents.begin(), r.documents.end(),
                            [](const SampleDocument& d) { return d.truncatedRecord; }),
              1);
    // The ".." path really leads out of the volume to an existing file.
    const SampleDocument& up = *by[ImageKind::DotDotPath];
    EXPECT_NE(up.storedPath.find("\\..\\"), std::string::npos);
    std::string rel = up.storedPath;
    std::replace(rel.begin(), rel.end(), '\\', '/');
    EXPECT_TRUE(fs::is_regular_file(r.driveRoot / rel.substr(1)));
    EXPECT_EQ(by[ImageKind::AbsolutePath]->storedPath.front(), '/');
    EXPECT_EQ(by[ImageKind::DrivePath]->storedPath.substr(0, 3), "C:\\");

    std::string past = Slurp(by[ImageKind::OffsetPastEnd]->imagePath);
    EXPECT_GT(ReadContainer(past).page.back().offset, past.size());
    EXPECT_EQ(ReadContainer(Slurp(by[ImageKind::ZeroSize]->imagePath)).page[0].width, 0u);
    auto huge = ReadContainer(Slurp(by[ImageKind::HugeSize]->imagePath)).page[0];
    EXPECT_EQ(huge.width, 32767u);
    EXPECT_EQ(huge.height, 32767u);
    TIFF* t = TIFFOpen(by[ImageKind::ClaimsHuge]->imagePath.c_str(), "r");
    ASSERT_TRUE(t);
    std::uint32_t w = 0, h = 0;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
    TIFFClose(t);
    EXPECT_EQ(w, 100000u);
    EXPECT_EQ(h, 100000u);
    EXPECT_GT(MapNumber(FirstLine(by[ImageKind::BadTextMap]->mapPath), "Info.:"), 32767);
    auto meta = EmbeddedFields(Slurp(by[ImageKind::BadMeta]->imagePath));
    ASSERT_EQ(meta.size(), 6u);
    EXPECT_GT(std::stoull(meta[5].substr(5)), fs::file_size(by[ImageKind::BadMeta]->imagePath));

    SampleOptions ao = Small(Collection::Tovrin, tmp.path / "ht");
    ao.hostile = true;
    SampleResult tm = MakeSample(ao);
    auto bad = std::find_if(tm.documents.begin(), tm.documents.end(),
                            [](const SampleDocument& d) { return d.kind == ImageKind::BadPages; });
    ASSERT_NE(bad, tm.documents.end());
    std::string idx = Slurp(tm.volumes[0].dir / "open.idx");
    EXPECT_NE(idx.find(velk::FixedWidth(bad->number, 8) + velk::FixedWidth(bad->storedPath, 37) + "X9 "),
              std::string::npos);
}

TEST(Mksample, FullSizePagesWeighLikeScannedOnes) {
    PageGeometry g = Geometry(Paper::Letter, 1.0);
    EXPECT_EQ(g.width, 2550);
    EXPECT_EQ(g.height, 3300);
    EXPECT_EQ(Geometry(Paper::A4, 1.0).height, 3508);
    for (PageLayout l :
         {PageLayout::PatentFront, PageLayout::PatentDrawing, PageLayout::PatentDescription,
          PageLayout::PatentClaims, PageLayout::MarkRegistration, PageLayout::AssignmentDeed}) {
        PageSpec s;
        s.layout = l;
        s.number = "5,123,456";
        s.title = "Quorvel Patent Document 5123456";
        s.section = "Claims";
        s.page = 3;
        s.pages = 9;
        s.items = 2;
        s.seed = 99;
        std::size_t size = EncodeG4Raw(DrawPage(s)).size();
        EXPECT_GE(size, 30u * 1024) << static_cast<int>(l);
        EXPECT_LE(size, 150u * 1024) << static_cast<int>(l);
    }
}

TEST(Mksample, OptionsAndCommandLineAreChecked) {
    TempDir tmp;
    SampleOptions o = Small(Collection::Quorvel, tmp.path / "x");
    for (auto change : std::vector<std::function<void(SampleOptions&)>>{
             [](SampleOptions& s) { s.volumes = 0; }, [](SampleOptions& s) { s.documentsPerVolume = 501; },
             [](SampleOptions& s) { s.indexRecords = 2000001; }, [](SampleOptions& s) { s.pageScale = 0; },
             [](SampleOptions& s) { s.outDir.clear(); }}) {
        SampleOptions bad = o;
        change(bad);
        EXPECT_THROW(MakeSample(bad), std::invalid_argument);
    }
    // A directory with something in it is refused and left alone.
    fs::create_directories(tmp.path / "busy");
    { std::ofstream(tmp.path / "busy" / "keep.txt") << "mine"; }
    o.outDir = tmp.path / "busy";
    EXPECT_THROW(MakeSample(o), std::invalid_argument);
    EXPECT_EQ(Slurp(tmp.path / "busy" / "keep.txt"), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path / "busy"), fs::directory_iterator()), 1);
    // A directory name that the configuration reader would take for another key.
    o.outDir = tmp.path / "IMPORT_VALUES";
    EXPECT_THROW(MakeSample(o), std::invalid_argument);

    CommandLine cl;
    std::string err;
    ASSERT_TRUE(ParseCommandLine({"--collection",
                                  "tovrin",
                                  "--out=/tmp/x",
                                  "--mode",
                                  "tower",
                                  "--volumes",
                                  "3",
                                  "--documents-per-volume",
                                  "4",
                                  "--index-records",
                                  "1000000",
                                  "--seed",
                                  "42",
                                  "--installation",
                                  "restricted",
                                  "--hostile",
                                  "--paper",
                                  "a4",
                                  "--page-scale",
                                  "0.5",
                                  "--program",
                                  "/bin/true"},
                                 cl, err))
        << err;
    EXPECT_EQ(cl.options.collection, Collection::Tovrin);
    EXPECT_EQ(cl.options.outDir, "/tmp/x");
    EXPECT_EQ(cl.options.mode, DriveMode::Tower);
    EXPECT_EQ(cl.options.volumes, 3);
    EXPECT_EQ(cl.options.documentsPerVolume, 4);
    EXPECT_EQ(cl.options.indexRecords, 1000000);
    EXPECT_EQ(cl.options.seed, 42u);
    EXPECT_EQ(cl.options.installation, Installation::Restricted);
    EXPECT_TRUE(cl.options.hostile);
    EXPECT_EQ(cl.options.paper, Paper::A4);
    EXPECT_DOUBLE_EQ(cl.options.pageScale, 0.5);
    EXPECT_TRUE(cl.programGiven);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--out", "/tmp/x"},
             {"--collection", "quorvel"},
             {"--collection", "patents", "--out", "/tmp/x"},
             {"--collection", "quorvel", "--out", "/tmp/x", "--volumes", "1x"},
             {"--collection", "quorvel", "--out", "/tmp/x", "--seed", "-1"},
             {"--collection", "quorvel", "--out", "/tmp/x", "--index-records", "2000001"},
             {"--collection", "quorvel", "--out", "/tmp/x", "--bogus"},
             {"--collection", "quorvel", "--out"}})
        EXPECT_FALSE(ParseCommandLine(bad, cl, err)) << bad.back();
    ASSERT_TRUE(ParseCommandLine({"--help"}, cl, err));
    EXPECT_TRUE(cl.help);
    const std::string help = HelpText();
    for (const char* opt : {"--collection", "--out", "--mode", "--volumes", "--documents-per-volume",
                            "--index-records", "--seed", "--installation", "--hostile", "--program",
                            "--paper", "--page-scale", "drives.map", "tower/"})
        EXPECT_NE(help.find(opt), std::string::npos) << opt;
}

TEST(Mksample, ArrowIconsAreRealIcons) {
    TempDir tmp;
    SampleResult r = MakeSample(Small(Collection::Quorvel, tmp.path / "i"));
    for (const char* dir : {"iconsP", "iconsM"})
        for (const char* look : {"e_", "d_"})
            for (const char* what : {"left", "right", "up", "down", "u100", "d100"}) {
                fs::path f = r.appDir / dir / (std::string(look) + what + ".ico");
                const std::string bytes = Slurp(f);
                ASSERT_GE(bytes.size(), 6u) << f;
                EXPECT_EQ(bytes.substr(0, 4), std::string("\0\0\1\0", 4)) << f;  // icon resource header
                QImageReader reader(QString::fromStdString(f.string()));
                QImage img = reader.read();
                EXPECT_EQ(img.size(), QSize(32, 32)) << f << reader.errorString().toStdString();
            }
    EXPECT_NE(Slurp(r.appDir / "iconsP/e_left.ico"), Slurp(r.appDir / "iconsP/d_left.ico"));
    EXPECT_NE(Slurp(r.appDir / "iconsP/e_left.ico"), Slurp(r.appDir / "iconsP/e_right.ico"));
}

TEST(Mksample, ProgramWritesAnInstallation) {
    const std::string exe = std::string(VELK_BINARY_DIR) + "/tools/mksample/mksample";
    ASSERT_TRUE(fs::exists(exe)) << exe;
    TempDir tmp;
    std::string out;
    EXPECT_EQ(RunCommand(exe + " --help", out), 0);
    EXPECT_NE(out.find("--documents-per-volume"), std::string::npos);
    EXPECT_NE(RunCommand(exe + " --collection nope --out '" + tmp.path.string() + "/x'", out), 0);
    EXPECT_NE(out.find("Try mksample --help"), std::string::npos);
    EXPECT_EQ(RunCommand(
                  exe + " --collection assign --volumes 1 --documents-per-volume 2 --page-scale 0.1 --out '" +
                      tmp.path.string() + "/a' --program /bin/true",
                  out),
              0)
        << out;
    EXPECT_EQ(fs::read_symlink(tmp.path / "a/app/velkwa"), "/bin/true");
    EXPECT_TRUE(fs::is_regular_file(tmp.path / "a/assign/assignmt.mdb"));
    EXPECT_TRUE(fs::is_regular_file(tmp.path / "a/app/cum_assn.idx"));
}
