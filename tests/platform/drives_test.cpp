#include "platform/drives.h"

#include <gtest/gtest.h>

#include "common/runtime_error.h"
#include "tests/platform/scratch_dir.h"

namespace fs = std::filesystem;
using namespace velk;
using velk::test::ScratchDir;

namespace {

// A CD volume mounted with lower-case names and a tower with one directory per volume.
struct Fixture {
    ScratchDir dir{"drives"};
    Drives drives;
    Fixture() {
        fs::create_directories(dir / "cd" / "vol001" / "docs");
        fs::create_directories(dir / "tower" / "V002");
        dir.write("cd/open.idx", "x");
        dir.write("cd/vol001/docs/0001.tif", "x");
        dir.write("drives.map",
                  "; mapped drives\r\n"
                  "E: = " +
                      (dir / "cd").string() +
                      "/\r\n"
                      "  # a comment\n"
                      "t=" +
                      (dir / "tower").string() +
                      "\n"
                      "q: = relative/dir\n"
                      "R: = /\n"
                      "S: = \n"
                      "M: = " +
                      (dir / "gone").string() +
                      "\n"
                      "garbage line\n");
        drives = Drives::load(dir.str());
    }
};

}  // namespace

TEST(Drives, LoadReadsMappingsAndSkipsCommentsAndMalformedRoots) {
    Fixture f;
    EXPECT_EQ(f.drives.root('e'), (f.dir / "cd").string());  // trailing slash dropped
    EXPECT_EQ(f.drives.root('T'), (f.dir / "tower").string());
    // Relative, "/" alone and empty roots are no mapping at all.
    EXPECT_FALSE(f.drives.root('Q'));
    EXPECT_FALSE(f.drives.root('R'));
    EXPECT_FALSE(f.drives.root('S'));
    EXPECT_EQ(f.drives.mappedDrives(), (std::vector<std::string>{"E:", "M:", "T:"}));
    // No drives.map: nothing mapped, every letter not ready.
    ScratchDir empty("nomap");
    EXPECT_TRUE(Drives::load(empty.str()).mappedDrives().empty());
}

TEST(Drives, ResolveMatchesCaseCleansComponentsAndStaysInsideTheRoot) {
    Fixture f;
    fs::path cd = f.dir / "cd";
    EXPECT_EQ(f.drives.resolve("E:"), cd);
    EXPECT_EQ(f.drives.resolve("e:\\OPEN.IDX"), cd / "open.idx");
    EXPECT_EQ(f.drives.resolve("E:\\VOL001\\DOCS\\0001.TIF"), cd / "vol001" / "docs" / "0001.tif");
    // Trailing blanks and periods vanish, doubled and forward slashes are separators.
    EXPECT_EQ(f.drives.resolve("E:\\Vol001. \\\\docs/0001.tif. "), cd / "vol001" / "docs" / "0001.tif");
    // A missing final component keeps the spelling given; its parents are matched.
    EXPECT_EQ(f.drives.resolve("E:\\VOL001\\Docs\\New.TIF"), cd / "vol001" / "docs" / "New.TIF");
    EXPECT_EQ(f.drives.resolve("E:\\VOL001\\Sub\\New.TIF"), cd / "vol001" / "Sub" / "New.TIF");
    // ".." climbs but never above the volume root; "." stays.
    EXPECT_EQ(f.drives.resolve("E:\\..\\..\\.\\open.idx"), cd / "open.idx");
    EXPECT_EQ(f.drives.resolve("E:\\vol001\\..\\open.idx"), cd / "open.idx");
    // The exact spelling wins over another that differs only in case.
    f.dir.write("cd/OPEN.IDX", "y");
    EXPECT_EQ(f.drives.resolve("E:\\OPEN.IDX"), cd / "OPEN.IDX");
    EXPECT_EQ(f.drives.resolve("E:\\open.idx"), cd / "open.idx");
    EXPECT_EQ(f.drives.resolve("E:\\Open.Idx"), cd / "OPEN.IDX");  // first in byte order
}

TEST(Drives, NotReadyInsteadOfTheWorkingDirectoryOrTheFileSystemRoot) {
    Fixture f;
    for (const char* p : {"F:\\open.idx", "Q:\\x", "R:\\x", "S:", "M:\\open.idx",  // unmapped or root gone
                          "", "open.idx", "cd\\open.idx", ":\\open.idx", "1:\\open.idx",  // relative
                          "\\open.idx", "/\\open.idx", "//\\open.idx"}) {                 // empty root
        EXPECT_FALSE(f.drives.resolve(p)) << p;
        EXPECT_FALSE(f.drives.ready(p)) << p;
    }
    EXPECT_THROW(
        {
            try {
                f.drives.resolveOrThrow("Z:\\a");
            } catch (const RuntimeError& e) {
                EXPECT_EQ(e.number(), 71);
                throw;
            }
        },
        RuntimeError);
    EXPECT_TRUE(f.drives.ready("E:"));
    EXPECT_TRUE(f.drives.ready("T:\\V002"));
}

TEST(Drives, NativeTowerRootsAndNativePaths) {
    Fixture f;
    std::string tower = (f.dir / "tower").string();
    // A tower root composed with the volume and file in the stored form.
    EXPECT_EQ(f.drives.resolve(tower + "\\v002\\open.idx"), f.dir / "tower" / "V002" / "open.idx");
    EXPECT_EQ(f.drives.resolve(tower + "/\\V002"), f.dir / "tower" / "V002");
    EXPECT_TRUE(f.drives.ready(tower));
    // A tower root that is missing is a drive that is not ready.
    EXPECT_FALSE(f.drives.resolve(tower + "X\\open.idx"));
    EXPECT_FALSE(f.drives.ready(tower + "X"));
    // A plain native path is matched case-insensitively too and may name a new file.
    EXPECT_EQ(f.drives.resolve((f.dir / "CD" / "Open.idx").string()), f.dir / "cd" / "open.idx");
    EXPECT_EQ(f.drives.resolve((f.dir / "CD" / "new.txt").string()), f.dir / "cd" / "new.txt");
}

TEST(Drives, FindNoCaseLooksInOneDirectoryOnly) {
    Fixture f;
    EXPECT_EQ(FindNoCase(f.dir.path(), "DRIVES.MAP"), f.dir / "drives.map");
    EXPECT_EQ(FindNoCase(f.dir.path(), "CD"), f.dir / "cd");
    EXPECT_FALSE(FindNoCase(f.dir.path(), "open.idx"));
    EXPECT_FALSE(FindNoCase(f.dir / "missing", "x"));
    EXPECT_FALSE(FindNoCase(f.dir.path(), ""));
}
