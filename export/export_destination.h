#pragma once
// Where an export goes: any directory in an open installation, else the export
// directory, or the root, of one of the drives the configuration offers for export.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velk {

struct App;

inline constexpr const char* kNoDiskText = "There is no disk in the drive!  Please insert disk...";

// The drives the restricted dialog offers, "A:" to "Z:" in order: offered by the
// configuration and ready now (a drive with nothing behind it is not offered).
std::vector<std::string> RestrictedDrives(const App& app);

// The chosen directory as the destination: trimmed, without a trailing separator
// unless it is the root itself ("D:\" gives "D:", "/out/" gives "/out").
std::string DialogPathOf(const std::string& directory);

// The root of a drive ("E:") on this machine; nullopt when it is not ready.
std::optional<std::filesystem::path> DriveRoot(const App& app, const std::string& drive);

// Where an export on `drive` goes when the installation is not open: the configured
// export directory when it lies on that drive and is there, else the drive's root.
std::optional<std::filesystem::path> RestrictedDestination(const App& app, const std::string& drive);

}  // namespace velk
