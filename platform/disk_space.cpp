#include "platform/disk_space.h"

#include <sys/statvfs.h>

#include <cerrno>
#include <filesystem>
#include <limits>

namespace velk {

std::optional<std::uint64_t> StatvfsDiskSpace::freeBytes(const std::string& nativePath) {
    if (nativePath.empty() || nativePath.front() != '/') return std::nullopt;
    std::filesystem::path p = std::filesystem::path(nativePath).lexically_normal();
    for (;;) {
        struct statvfs vfs {};
        if (::statvfs(p.c_str(), &vfs) == 0) {
            std::uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
            std::uint64_t blocks = vfs.f_bavail;
            if (unit != 0 && blocks > std::numeric_limits<std::uint64_t>::max() / unit)
                return std::numeric_limits<std::uint64_t>::max();
            return blocks * unit;
        }
        if (errno != ENOENT && errno != ENOTDIR) return std::nullopt;
        if (!p.has_relative_path()) return std::nullopt;
        p = p.parent_path();
    }
}

}  // namespace velk
