#pragma once
// The benchmarks' page: a dense patent description page, drawn and G4-compressed.
#include <cstdint>
#include <string>

#include "tools/mksample/g4_tiff.h"
#include "tools/mksample/page_drawing.h"

namespace velk::bench {

inline std::string DescriptionPageTiff(int width, int height, int dpi, std::uint64_t seed = 42) {
    mksample::PageSpec spec;
    spec.width = width;
    spec.height = height;
    spec.dpi = dpi;
    spec.layout = mksample::PageLayout::PatentDescription;
    spec.title = "Quorvel Patent Document";
    spec.number = "5,123,456";
    spec.section = "Description";
    spec.page = 3;
    spec.pages = 12;
    spec.seed = seed;
    return mksample::WriteG4Tiff({mksample::DrawPage(spec)});
}

// A 300-dpi letter page, made once.
inline const std::string& LetterPageTiff() {
    static const std::string tiff = DescriptionPageTiff(2550, 3300, 300);
    return tiff;
}

}  // namespace velk::bench
