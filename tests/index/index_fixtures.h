#pragma once
// Small record files written by the tests themselves, in a directory of their own.
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/vb_text.h"

namespace velk::test {

class TempTree {
public:
    explicit TempTree(const std::string& tag) {
        static std::atomic<int> counter{0};
        root_ = std::filesystem::temp_directory_path() /
                ("velk-idx-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::string str() const { return root_.string(); }
    std::filesystem::path write(const std::string& rel, const std::string& bytes) const {
        auto p = root_ / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
        return p;
    }
    std::filesystem::path dir(const std::string& rel) const {
        std::filesystem::create_directories(root_ / rel);
        return root_ / rel;
    }

private:
    std::filesystem::path root_;
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
