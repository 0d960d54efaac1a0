#pragma once
// Free space as the file system reports it to this user (statvfs).
#include "platform/ports.h"

namespace velk {

class StatvfsDiskSpace : public DiskSpace {
public:
    // A path that does not exist yet (an export directory still to be made) is
    // measured on the volume of its nearest existing parent.
    std::optional<std::uint64_t> freeBytes(const std::string& nativePath) override;
};

}  // namespace velk
