// The generator checked against readers of its own (libtiff, tiffinfo, a hand-written
// reading of the container and index formats, a case-insensitive path walk), and the
// promises other tests rely on: the hostile variant carries every fault, a seed replays
// its installation byte for byte, an occupied directory is left alone, and every help
// context the forms open has a topic.
#include "tools/mksample/mksample.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "common/vb_text.h"
#include "platform/help_file.h"
#include "tests/platform/scratch_dir.h"
#include "tools/mksample/documents.h"

using namespace velk::mksample;
namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
    return velk::test::ScratchDir::ReadFile(p);
}

SampleOptions Small(Collection c, const fs::path& out, int volumes = 2, int documents = 5) {
    SampleOptions o;
    o.collection = c;
    o.outDir = out;
    o.volumes = volumes;
    o.documentsPerVolume = documents;
    o.pageScale = 0.1;
    o.seed = 7;
    return o;
}

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

// Every page of a TIFF (or .BIN) file, decoded by libtiff.
std::vector<DecodedPage> DecodeTiff(const fs::path& file) {
    std::vector<DecodedPage> out;
    TIFF* t = TIFFOpen(file.c_str(), "r");
    if (!t) return out;
    do {
        DecodedPage p;
        TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &p.width);
        TIFFGetField(t, TIFFTAG_IMAGELENGTH, &p.height);
        tmsize_t size = TIFFStripSize(t);
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

// Every image decodes through libtiff at the stated page count and size.
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
        // A map embedded in the header leaves a TIFF that other programs read cleanly.
        if (d.kind != ImageKind::TiffEmbedded && d.kind != ImageKind::TiffEmbeddedMeta) continue;
        const std::string out = velk::test::Output("tiffinfo -D '" + d.imagePath.string() + "'; echo rc=$?");
        EXPECT_NE(out.find("rc=0\n"), std::string::npos) << out;
        EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
        EXPECT_EQ(out.find("Error"), std::string::npos) << out;
        EXPECT_NE(out.find("CCITT Group 4"), std::string::npos) << out;
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

// What other programs read of each collection's installation: images at their stated
// size, the index's records in order, every open.idx path on its volume.
TEST(Mksample, EveryCollectionReadsBackThroughIndependentReaders) {
    velk::test::ScratchDir tmp("mksample");
    for (auto [c, mode] : {std::pair{Collection::Quorvel, DriveMode::Drive},
                           {Collection::Tovrin, DriveMode::Tower},
                           {Collection::Assign, DriveMode::Tower}}) {
        SCOPED_TRACE(CollectionName(c));
        SampleOptions o = Small(c, tmp.path() / CollectionName(c));
        o.mode = mode;
        SampleResult r = MakeSample(o);
        ASSERT_EQ(r.documents.size(), 10u);
        CheckImages(r, tmp.path() / "scratch.tif");
        CheckIndex(r, 10);
        if (c != Collection::Assign) CheckOpenIdx(r);
    }
}

// The tests of the program's refusals need every fault present; a soak's seed replays its
// run only when the same seed gives the same installation.
TEST(Mksample, HostileVariantCarriesEveryFaultAndSameSeedGivesSameBytes) {
    velk::test::ScratchDir tmp("mksample");
    auto make = [&](const std::string& name, Collection c, std::uint64_t seed) {
        SampleOptions o = Small(c, tmp.path() / name, 1);
        o.hostile = true;
        o.seed = seed;
        return MakeSample(o);
    };
    for (auto [c, kinds] :
         {std::pair{Collection::Quorvel,
                    std::set<ImageKind>{ImageKind::DotDotPath, ImageKind::AbsolutePath, ImageKind::DrivePath,
                                        ImageKind::OffsetPastEnd, ImageKind::ZeroSize, ImageKind::HugeSize,
                                        ImageKind::ClaimsHuge, ImageKind::BadTextMap, ImageKind::BadMeta}},
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

TEST(Mksample, AnOccupiedDirectoryIsRefusedAndLeftAlone) {
    velk::test::ScratchDir tmp("mksample");
    fs::create_directories(tmp.path() / "busy");
    { std::ofstream(tmp.path() / "busy" / "keep.txt") << "mine"; }
    EXPECT_THROW(MakeSample(Small(Collection::Quorvel, tmp.path() / "busy")), std::invalid_argument);
    EXPECT_EQ(Slurp(tmp.path() / "busy" / "keep.txt"), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path() / "busy"), fs::directory_iterator()), 1);
}

// Every context number a help button or menu command opens has a real topic.
TEST(MksampleHelp, EveryContextTheFormsUseHasARealTopic) {
    constexpr long kUsedContexts[] = {0, 2, 3, 4, 5, 6, 8, 9, 17, 21};
    for (Collection c : {Collection::Quorvel, Collection::Tovrin, Collection::Assign}) {
        SCOPED_TRACE(CollectionName(c));
        velk::test::ScratchDir tmp("mksample");
        SampleResult r = MakeSample(Small(c, tmp.path() / "inst", 1, 1));
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
