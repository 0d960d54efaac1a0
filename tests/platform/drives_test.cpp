#include "platform/drives.h"

#include <gtest/gtest.h>

#include "tests/common/error_number.h"
#include "tests/platform/scratch_dir.h"

namespace fs = std::filesystem;
using namespace velk;
using velk::test::ScratchDir;

namespace {

// A CD volume mounted with lower-case names and a tower with one directory per volume.
struct Fixture {
    ScratchDir dir{"drives"};
    Drives drives;
    fs::path cd = dir / "cd";
    Fixture() {
        fs::create_directories(cd / "vol001" / "docs");
        fs::create_directories(dir / "tower" / "V002");
        dir.write("cd/open.idx", "x");
        dir.write("cd/vol001/docs/0001.tif", "x");
        dir.write("drives.map", "; mapped drives\r\nE: = " + cd.string() + "/\r\n  # a comment\nt=" +
                                    (dir / "tower").string() + "\nq: = relative/dir\nR: = /\nS: = \nM: = " +
                                    (dir / "gone").string() + "\ngarbage line\n");
        drives = Drives::load(dir.str());
    }
};

}  // namespace

TEST(Drives, ResolveMatchesCaseCleansComponentsStaysInsideTheRootOrIsNotReady) {
    Fixture f;
    const std::string tower = (f.dir / "tower").string(), cd = (f.dir / "CD").string();
    // Each path and where it resolves under the scratch directory.
    const std::pair<std::string, const char*> cases[] = {
        {"E:", "cd"},
        {"e:\\OPEN.IDX", "cd/open.idx"},
        {"E:\\VOL001\\DOCS\\0001.TIF", "cd/vol001/docs/0001.tif"},
        // Trailing blanks and periods vanish, doubled and forward slashes are separators.
        {"E:\\Vol001. \\\\docs/0001.tif. ", "cd/vol001/docs/0001.tif"},
        // A missing final component keeps the spelling given; its parents are matched.
        {"E:\\VOL001\\Docs\\New.TIF", "cd/vol001/docs/New.TIF"},
        {"E:\\VOL001\\Sub\\New.TIF", "cd/vol001/Sub/New.TIF"},
        // ".." climbs but never above the volume root; "." stays.
        {"E:\\..\\..\\.\\open.idx", "cd/open.idx"},
        {"E:\\vol001\\..\\open.idx", "cd/open.idx"},
        // A tower root composed with the volume and file in the stored form.
        {tower, "tower"},
        {"T:\\V002", "tower/V002"},
        {tower + "\\v002\\open.idx", "tower/V002/open.idx"},
        {tower + "/\\V002", "tower/V002"},
        // A plain native path is matched case-insensitively too and may name a new file.
        {cd + "/Open.idx", "cd/open.idx"},
        {cd + "/new.txt", "cd/new.txt"},
    };
    for (const auto& [path, want] : cases) EXPECT_EQ(f.drives.resolve(path), f.dir / want) << path;
    for (const char* p : {"E:", "T:\\V002"}) EXPECT_TRUE(f.drives.ready(p)) << p;
    EXPECT_TRUE(f.drives.ready(tower));
    // A tower root that is missing is a drive that is not ready.
    EXPECT_FALSE(f.drives.resolve(tower + "X\\open.idx"));
    EXPECT_FALSE(f.drives.ready(tower + "X"));
    // Not the working directory or the file system root: unmapped or root gone, relative, empty root.
    for (const char* p :
         {"F:\\open.idx", "Q:\\x", "R:\\x", "S:", "M:\\open.idx", "", "open.idx", "cd\\open.idx",
          ":\\open.idx", "1:\\open.idx", "\\open.idx", "/\\open.idx", "//\\open.idx"}) {
        EXPECT_FALSE(f.drives.resolve(p)) << p;
        EXPECT_FALSE(f.drives.ready(p)) << p;
    }
    EXPECT_EQ(test::ErrorNumber([&] { f.drives.resolveOrThrow("Z:\\a"); }), 71);
    // The exact spelling wins over another that differs only in case; else the first in byte order.
    f.dir.write("cd/OPEN.IDX", "y");
    EXPECT_EQ(f.drives.resolve("E:\\OPEN.IDX"), f.cd / "OPEN.IDX");
    EXPECT_EQ(f.drives.resolve("E:\\open.idx"), f.cd / "open.idx");
    EXPECT_EQ(f.drives.resolve("E:\\Open.Idx"), f.cd / "OPEN.IDX");
}

TEST(Drives, LoadSkipsCommentsAndMalformedRootsAndFindNoCaseLooksInOneDirectory) {
    Fixture f;
    EXPECT_EQ(f.drives.root('e'), f.cd.string());  // trailing slash dropped
    EXPECT_EQ(f.drives.root('T'), (f.dir / "tower").string());
    // Relative, "/" alone and empty roots are no mapping at all.
    for (char letter : {'Q', 'R', 'S'}) EXPECT_FALSE(f.drives.root(letter)) << letter;
    EXPECT_EQ(f.drives.mappedDrives(), (std::vector<std::string>{"E:", "M:", "T:"}));
    // No drives.map: nothing mapped, every letter not ready.
    ScratchDir empty("nomap");
    EXPECT_TRUE(Drives::load(empty.str()).mappedDrives().empty());

    // FindNoCase looks in one directory only.
    EXPECT_EQ(FindNoCase(f.dir.path(), "DRIVES.MAP"), f.dir / "drives.map");
    EXPECT_EQ(FindNoCase(f.dir.path(), "CD"), f.cd);
    EXPECT_FALSE(FindNoCase(f.dir.path(), "open.idx"));
    EXPECT_FALSE(FindNoCase(f.dir / "missing", "x"));
    EXPECT_FALSE(FindNoCase(f.dir.path(), ""));
}
