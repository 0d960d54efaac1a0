#pragma once
// Turns the Windows paths that stored data and configuration speak ("E:",
// "s:\assignmt.mdb", "\DOCS\0001.TIF") into native paths. All file access of the
// model goes through here; nothing else parses drive letters.
#include <filesystem>
#include <map>
#include <optional>
#include <vector>
#include <string>

namespace velk {

class Drives {
public:
    Drives() = default;
    // Reads drives.map in appDir (lines "E: = /media/cdrom"); a missing file maps nothing.
    static Drives load(const std::string& appDir);
    void map(char letter, const std::string& nativeRoot);
    std::optional<std::string> root(char letter) const;
    // Letters with a mapping, in order ("E:", "S:").
    std::vector<std::string> mappedDrives() const;

    // The native path, or nullopt when the drive is not ready (unmapped letter,
    // empty or malformed root, mapped root missing). Components that do not exist
    // with their exact case are matched case-insensitively; each component loses
    // trailing blanks and periods.
    std::optional<std::filesystem::path> resolve(const std::string& windowsPath) const;
    // As resolve, but throws RuntimeError 71 "Disk not ready".
    std::filesystem::path resolveOrThrow(const std::string& windowsPath) const;
    // Whether the volume root of a path ("E:", "/srv/tower") is ready.
    bool ready(const std::string& windowsPath) const;

private:
    std::map<char, std::string> roots_;  // upper-case letter -> native directory
};

// Whether file lies inside dir (after making both absolute and normal).
bool InsideDirectory(const std::filesystem::path& file, const std::filesystem::path& dir);

// Case-insensitive lookup of one name inside a directory; the exact name wins.
std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& dir, const std::string& name);

}  // namespace velk
