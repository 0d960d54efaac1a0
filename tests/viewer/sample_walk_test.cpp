// Every document of a generated installation, from the index to its first and
// last page, and what the hostile installation's documents do.
#include <gtest/gtest.h>

#include <set>

#include "index/cumulative_index.h"
#include "platform/app.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fakes.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/mksample.h"
#include "viewer/document_locator.h"
#include "viewer/page_loading.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
namespace mks = velk::mksample;
using mks::ImageKind;

struct Installed {
    test::TempTree tree{"walk"};
    mks::SampleResult s;
    test::FakePorts ports;
    App app;
    Installed(mks::Collection c, mks::DriveMode mode, bool hostile) {
        s = test::MakeSmallSample(tree.root() / "inst", c, mode, 5, hostile);
        test::PointAppAt(app, s, mode);
        ports.wire(app.ports);
    }
    // Single drive: puts the document's volume in the drive, as the user would.
    void insert(const std::string& volume) {
        if (!s.insertedVolume.empty() && s.insertedVolume != volume) mks::InsertVolume(s, volume);
    }
    fs::path volumeDir(const std::string& volume) const {
        for (const auto& v : s.volumes)
            if (v.name == volume) return v.dir;
        return {};
    }
};

std::string OnVolume(const std::string& file, const fs::path& volumeDir) {
    return fs::weakly_canonical(file).lexically_relative(fs::weakly_canonical(volumeDir)).generic_string();
}

void WalkAll(mks::Collection c, mks::DriveMode mode) {
    Installed in(c, mode, false);
    App& app = in.app;
    ASSERT_FALSE(in.s.documents.empty());
    if (mode == mks::DriveMode::Drive) {  // only the volume in the drive is loaded
        EXPECT_TRUE(CDLoaded(app, in.s.insertedVolume));
        EXPECT_FALSE(CDLoaded(app, in.s.volumes[1].name));
    }
    for (const mks::SampleDocument& d : in.s.documents) {
        SCOPED_TRACE(d.number + " " + mks::KindName(d.kind));
        Int16 pages = FindInCum(app, d.number);
        if (app.config.isAssignments()) {
            EXPECT_EQ(pages, 1);
        } else {
            EXPECT_EQ(pages, d.pages);
            CumIndexFile index = OpenCumIndex(app);
            EXPECT_EQ(Trim(index.record(static_cast<std::int32_t>(app.LastCumRecord)).Volume), d.volume);
        }

        in.insert(d.volume);
        ASSERT_TRUE(CDLoaded(app, d.volume));
        app.doc.CurDocNo = d.number;
        app.doc.CurVolume = d.volume;
        ASSERT_TRUE(GetPath_OpenIdx(app, app.doc.CurDocNo, app.doc.CurVolume));
        EXPECT_EQ(OnVolume(app.doc.CurImagePath, app.doc.VolumeDir),
                  OnVolume(d.imagePath.string(), in.volumeDir(d.volume)));
        if (app.config.isTrademarks()) {
            EXPECT_EQ(app.doc.CurPageCount, d.pages);
        }
        if (app.config.isPatents()) {
            const mks::SectionMap& x = d.sections;
            EXPECT_EQ(app.doc.SectionFirstPage,
                      (std::array<Int16, 5>{Int16(x.info), Int16(x.abstract), Int16(x.drawings),
                                            Int16(x.description), Int16(x.claims)}));
            if (d.kind == ImageKind::TiffEmbeddedMeta) {
                ASSERT_EQ(d.sections.ranges.size(), 12u);
                for (std::size_t i = 0; i < 12; ++i)
                    EXPECT_EQ(app.doc.SectionPageRange[i], std::to_string(d.sections.ranges[i]));
            }
        }

        for (int page : {1, d.pages}) {
            ASSERT_TRUE(GetPage(app, app.doc.CurImagePath, app.doc.CurDocNo, Int16(page)));
            if (PageFileKindOf(app.doc.CurImagePath) == PageFileKind::Container) {
                EXPECT_EQ(app.doc.Page.FilePages, d.pages);
                EXPECT_GT(app.doc.Page.XSize, 0);
                EXPECT_EQ(Trim(app.doc.Page.FileDocNo), d.number);
            }
        }
    }
    EXPECT_TRUE(in.ports.messages.shown.empty()) << in.ports.messages.last();
}

TEST(SampleWalk, EveryCollectionSingleDriveAndTower) {
    for (auto c : {mks::Collection::Quorvel, mks::Collection::Tovrin, mks::Collection::Assign})
        for (auto mode : {mks::DriveMode::Drive, mks::DriveMode::Tower}) {
            SCOPED_TRACE(std::string(mks::CollectionName(c)) + (mode == mks::DriveMode::Drive ? " drive" : " tower"));
            WalkAll(c, mode);
        }
}

void WalkHostile(mks::Collection c) {
    Installed in(c, mks::DriveMode::Tower, true);
    App& app = in.app;
    std::set<ImageKind> seen;
    for (const mks::SampleDocument& d : in.s.documents) {
        SCOPED_TRACE(d.number + " " + mks::KindName(d.kind));
        seen.insert(d.kind);
        in.ports.messages.shown.clear();
        FindInCum(app, d.number);  // the index's last record has lost its page count: never a crash
        const bool located = GetPath_OpenIdx(app, d.number, d.volume);
        switch (d.kind) {
        case ImageKind::DotDotPath:
        case ImageKind::AbsolutePath:
        case ImageKind::DrivePath:
        case ImageKind::BadPages:
            EXPECT_FALSE(located);
            EXPECT_EQ(in.ports.messages.last(), "error at getpath_openidx");
            continue;
        default: break;
        }
        if (d.truncatedRecord) {
            // Its path or page count was cut off: located where the rest still names a file, or refused.
            if (!located) {
                EXPECT_EQ(in.ports.messages.last(), "error at getpath_openidx");
            }
            continue;
        }
        ASSERT_TRUE(located);
        const std::string path = app.doc.CurImagePath;
        switch (d.kind) {
        case ImageKind::OffsetPastEnd:
            EXPECT_TRUE(GetPage(app, path, d.number, Int16(1)));
            EXPECT_FALSE(GetPage(app, path, d.number, Int16(d.pages)));
            EXPECT_EQ(in.ports.messages.last(), "Error at function GetPage");
            break;
        case ImageKind::ZeroSize:
            EXPECT_FALSE(GetPage(app, path, d.number, Int16(1)));
            EXPECT_EQ(in.ports.messages.last(), "Error at function GetPage");
            break;
        case ImageKind::HugeSize:  // a size the 16-bit fields hold; the decoder's limits refuse it
            EXPECT_TRUE(GetPage(app, path, d.number, Int16(1)));
            EXPECT_EQ(app.doc.Page.XSize, 32767);
            break;
        case ImageKind::BadTextMap:
            EXPECT_EQ(app.doc.SectionFirstPage, (std::array<Int16, 5>{0, 0, 0, 0, 2}));
            break;
        case ImageKind::BadMeta:
            EXPECT_EQ(app.doc.SectionFirstPage, (std::array<Int16, 5>{1, 0, 2, 0, 3}));
            EXPECT_EQ(app.doc.SectionPageRange, (std::array<std::string, 12>{}));
            break;
        default: EXPECT_TRUE(GetPage(app, path, d.number, Int16(1))); break;
        }
    }
    EXPECT_TRUE(seen.count(ImageKind::DotDotPath) && seen.count(ImageKind::ClaimsHuge));
}

TEST(SampleWalk, HostileInstallations) {
    for (auto c : {mks::Collection::Quorvel, mks::Collection::Tovrin, mks::Collection::Assign}) {
        SCOPED_TRACE(mks::CollectionName(c));
        WalkHostile(c);
    }
}

}  // namespace
}  // namespace velk
