#pragma once
// The located document: rewritten by every lookup, read by the viewers, print and export.
#include <array>
#include <cstdint>
#include <string>

#include "common/int16.h"

namespace velk {

// Where the requested page lies in its file.
struct PageFileInfo {
    std::array<unsigned char, 12> PageHeader{};
    Int16 XSize;
    Int16 YSize;
    std::string FileTag;   // 8 characters
    std::string FileDocNo; // 10 characters
    Int16 FilePages;
    std::int32_t PageOffset = 0;
    std::string PageText;  // 3 characters, blank-padded
    std::string PagePath;  // 40 characters, blank-padded
    // Container pages: where the page's block ends (the next block, or the end of the file).
    std::int64_t PageEnd = 0;
};

// One line of a volume's open.idx.
struct OpenIdxRecord {
    std::string DocNo;
    std::string ImagePath;
    std::string Pages;
};

enum Section : int { SecInfo = 0, SecAbstract = 1, SecDrawings = 2, SecDescription = 3, SecClaims = 4 };

struct CurrentDocument {
    std::string CurDocNo;
    std::string CurVolume;
    std::string CurImagePath;  // native path of the image file
    Int16 CurPageCount;
    OpenIdxRecord LastOpenIdx;
    PageFileInfo Page;
    std::array<Int16, 5> SectionFirstPage{};
    std::string MapMarker;
    std::array<std::string, 12> SectionPageRange{};  // six (first, last) pairs
    std::string VolumeDir;  // native directory of the document's volume
};

}  // namespace velk
