#pragma once
// Bitonal pages and their CCITT Group 4 encodings, made with libtiff in memory:
// multi-page TIFF files, TIFF files with a reserved area for an embedded page map,
// and the raw T.6 blocks of page container files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velk::mksample {

// One page, most significant bit first, rows padded to whole bytes, 1 = black.
struct BitPage {
    int width = 0;
    int height = 0;
    int dpi = 300;
    std::vector<std::uint8_t> bits;
    std::size_t stride() const { return (static_cast<std::size_t>(width) + 7) / 8; }
};

// A G4 TIFF of the pages, one strip per page, min-is-white, fill order 1.
// Bytes 8 to reserve-1 are left as zeros for the caller (the page map that some
// volumes carry at bytes 258 to 292); reserve 0 or 8 gives an ordinary file.
std::string WriteG4Tiff(const std::vector<BitPage>& pages, std::size_t reserve = 0);

// The raw T.6 data of one page: the strip libtiff writes, without the TIFF around it.
std::string EncodeG4Raw(const BitPage& page);

// A one-page G4 TIFF whose tags claim width x height over a strip of the given
// bytes; for files that must lie about their size.
std::string WriteClaimingTiff(std::uint32_t width, std::uint32_t height, const std::string& strip);

}  // namespace velk::mksample
