#pragma once
// Whole documents out of G4 pages: one multi-page TIFF or one PDF, each page's G4 data
// stored as it came, never decoded. Pages that are not held as one G4 strip are coded
// once from the upright page (G4Strip::fromPage).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace velk {

class PageImage;

// One page as a single G4 (T.6) strip, most significant bit first, upright.
struct G4Strip {
    std::vector<std::uint8_t> data;
    int width = 0, height = 0;
    double dpiX = 300, dpiY = 300;
    bool minIsBlack = false;  // the TIFF said 0 is black: shown inverted against fax data

    // The page coded as G4 from its bits (the fallback for every other kind of page).
    static G4Strip fromPage(const PageImage& page);
};

// Page `page` (1-based) of a TIFF or ".BIN" file when it holds exactly that: one G4
// strip, fill order 1, orientation 1; nullopt for anything else. Throws RuntimeError
// when the file cannot be read at all.
std::optional<G4Strip> ReadG4Strip(const std::filesystem::path& path, int page);
// The same for TIFF bytes in memory.
std::optional<G4Strip> ReadG4Strip(const std::vector<std::uint8_t>& tiff, int page = 1);

// A TIFF file with one directory per page, each page's strip copied unchanged.
std::vector<std::uint8_t> G4TiffFile(const std::vector<G4Strip>& pages);
// A PDF file with one page per strip: a /CCITTFaxDecode image (K -1) filling a page of
// the image's own size at its resolution. Throws ImageError when it cannot be made.
std::vector<std::uint8_t> G4PdfFile(const std::vector<G4Strip>& pages);

}  // namespace velk
