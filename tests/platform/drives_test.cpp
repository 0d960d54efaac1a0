#include "platform/drives.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "common/runtime_error.h"

namespace fs = std::filesystem;
using namespace velk;

namespace {
fs::path TempDir() {
    fs::path d = fs::temp_directory_path() / ("velk-drives-" + std::to_string(::getpid()));
    fs::remove_all(d);
    fs::create_directories(d / "cd" / "VOL001" / "Docs");
    std::ofstream(d / "cd" / "open.idx") << "x";
    std::ofstream(d / "drives.map") << "; mapped drives\r\nE: = " << (d / "cd").string() << "\r\nq=relative\r\n";
    return d;
}
}  // namespace

TEST(Drives, MapsLettersMatchesCaseAndRefusesWhatIsNotReady) {
    fs::path d = TempDir();
    Drives drives = Drives::load(d.string());
    ASSERT_TRUE(drives.root('e'));
    EXPECT_EQ(*drives.resolve("E:\\open.idx"), d / "cd" / "open.idx");
    EXPECT_EQ(*drives.resolve("e:\\OPEN.IDX"), d / "cd" / "open.idx");
    EXPECT_EQ(*drives.resolve("E:\\vol001\\docs. \\new.tif"), d / "cd" / "VOL001" / "Docs" / "new.tif");
    EXPECT_TRUE(drives.ready("E:"));
    // Unmapped, relative root, empty path: not ready, never the working directory.
    EXPECT_FALSE(drives.resolve("F:\\open.idx"));
    EXPECT_FALSE(drives.resolve("Q:\\x"));
    EXPECT_FALSE(drives.resolve(""));
    EXPECT_FALSE(drives.resolve("open.idx"));
    EXPECT_FALSE(drives.ready("F:"));
    // ".." never climbs above the volume root.
    EXPECT_EQ(*drives.resolve("E:\\..\\..\\open.idx"), d / "cd" / "open.idx");
    // Native paths pass through.
    EXPECT_EQ(*drives.resolve((d / "CD").string()), d / "cd");
    EXPECT_THROW(drives.resolveOrThrow("Z:\\a"), RuntimeError);
    fs::remove_all(d);
}
