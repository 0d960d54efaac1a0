#pragma once
// The restricted installation's file chooser for an import: only the drives the
// configuration offers, and nothing above a drive's root.
#include <filesystem>
#include <string>
#include <vector>

namespace velk {

struct Config;
class Drives;

// The drives of A2_DRIVE to Z2_DRIVE that are offered ("E:"), in letter order.
std::vector<std::string> ImportDrivesOffered(const Config& config);
// Whether a path names one of those drives ("F:\LIST.TXT"); a native path never does.
bool OnOfferedDrive(const Config& config, const std::string& windowsPath);
// What a restricted installation says to a path elsewhere.
std::string OnlyFromDrivesText(const Config& config);
// Whether the import asks for a diskette first: a path on A:, or on B: when typed.
bool NeedsDiskette(const std::string& windowsPath, bool typed);

// What one directory of a drive holds, each list sorted by name (case-insensitive).
struct ChooserListing {
    std::vector<std::string> dirs;
    std::vector<std::string> files;
};
ChooserListing ListChooserDirectory(const std::filesystem::path& nativeDir);

// A place inside a drive: the drive ("E:") and the directories below its root.
struct ChooserPlace {
    std::string drive;
    std::vector<std::string> dirs;
    // "E:\DIR\SUB" (the drive root: "E:\").
    std::string windowsPath() const;
    // The Windows path of a file in this place.
    std::string fileWindowsPath(const std::string& file) const;
    bool atRoot() const { return dirs.empty(); }
    // Into a subdirectory, or up with ".."; never above the root, never into a name
    // that leaves the directory (separators, "." and "..").
    bool enter(const std::string& name);
};

}  // namespace velk
