#pragma once
// Small record files written by the tests themselves, in a directory of their own.
#include <filesystem>
#include <string>

#include "common/vb_text.h"
#include "tests/platform/scratch_dir.h"

namespace velk::test {

// A scratch directory that also makes subdirectories (volumes, towers).
class TempTree : public ScratchDir {
public:
    using ScratchDir::ScratchDir;
    const std::filesystem::path& root() const { return path(); }
    std::filesystem::path dir(const std::string& rel) const {
        std::filesystem::create_directories(path() / rel);
        return path() / rel;
    }
};

// Cumulative index record: number 8, volume 10, pages 6, CR LF.
inline std::string CumRec(const std::string& number, const std::string& volume, const std::string& pages) {
    return FixedWidth(number, 8) + FixedWidth(volume, 10) + FixedWidth(pages, 6) + "\r\n";
}

// open.idx record: number 8, image path 37, pages 3, CR LF.
inline std::string OpenIdxRec(const std::string& number, const std::string& path, const std::string& pages) {
    return FixedWidth(number, 8) + FixedWidth(path, 37) + FixedWidth(pages, 3) + "\r\n";
}

}  // namespace velk::test
