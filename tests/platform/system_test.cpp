#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/disk_space.h"
#include "platform/install_lock.h"
#include "tests/platform/scratch_dir.h"

using namespace velk;
using velk::test::ScratchDir;

namespace {
// Whether a separate process could take the lock: the case a second copy is in.
bool OtherProcessGetsLock(const std::string& file) {
    return test::InChild([&] { return InstallLock::acquire(file, nullptr) ? 0 : 1; }, false) == 0;
}
}  // namespace

TEST(InstallLock, SecondCopyIsRefusedUntilTheFirstEndsAndAReadOnlyInstallationLocksItsDirectory) {
    ScratchDir d("lock");
    auto config = [&](const char* mode) {
        Config c;
        c.AppDir = d.str();
        c.CollectionMode = mode;
        return c;
    };
    const std::string file = (d / "VELKWp.mdb.lock").string();

    std::string message;
    auto first = InstallLock::acquire(config(kModePatents), &message);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->held());
    EXPECT_TRUE(std::filesystem::exists(file));
    // Assignments share the patents' list database; trademarks have their own.
    EXPECT_FALSE(InstallLock::acquire(config(kModeAssignments), &message));
    EXPECT_EQ(message, InstallLock::BusyMessage(d.str()));
    EXPECT_NE(message.find(d.str()), std::string::npos);
    EXPECT_FALSE(OtherProcessGetsLock(file));
    EXPECT_TRUE(InstallLock::acquire(config(kModeTrademarks), nullptr));
    first.reset();
    EXPECT_TRUE(OtherProcessGetsLock(file));
    EXPECT_TRUE(InstallLock::acquire(config(kModeAssignments), nullptr));

    // Unprivileged, in a directory it may not write: the lock falls back to the directory.
    std::filesystem::create_directories(d / "ro");
    const std::string ro = (d / "ro" / "VELKWp.mdb.lock").string();
    ::chmod((d / "ro").c_str(), 0555);
    EXPECT_EQ(test::InChild([&] {
                  auto lock = InstallLock::acquire(ro, nullptr);
                  bool second = InstallLock::acquire(ro, nullptr) != nullptr;
                  return lock && lock->held() && !second ? 0 : 1;
              }),
              0);
    EXPECT_FALSE(std::filesystem::exists(ro));
}

TEST(DiskSpace, MeasuresTheVolumeOfThePathOrItsNearestParent) {
    ScratchDir d("disk");
    StatvfsDiskSpace disk;
    auto here = disk.freeBytes(d.str());
    ASSERT_TRUE(here);
    EXPECT_GT(*here, 0u);
    auto later = disk.freeBytes((d / "not" / "yet" / "made").string());
    ASSERT_TRUE(later);
    EXPECT_NEAR(double(*later), double(*here), 64.0 * 1024 * 1024);
    EXPECT_FALSE(disk.freeBytes("relative/path"));
    EXPECT_FALSE(disk.freeBytes(""));
}
