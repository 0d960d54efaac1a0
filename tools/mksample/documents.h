#pragma once
// One document of a volume: its pages (what each shows), its image file of the
// chosen kind and, for patents, its page map.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/mksample/mksample.h"
#include "tools/mksample/page_drawing.h"

namespace velk::mksample {

struct PageGeometry {
    int width = 2550, height = 3300, dpi = 300;
};
PageGeometry Geometry(Paper paper, double scale);

struct DocumentPlan {
    std::string number;
    ImageKind kind = ImageKind::Container;
    std::vector<PageSpec> pages;
    SectionMap sections;
};

// The number as a volume names the document (open.idx, image file): trademarks with
// at least seven digits, as the viewer reads them from the file name.
std::string VolumeNumber(Collection c, const std::string& number);

// What the document's pages show; deterministic for (seed, number).
DocumentPlan PlanDocument(Collection c, const std::string& number, ImageKind kind, const PageGeometry& g,
                          std::uint64_t seed);

// Where a volume's files go and how they are named.
struct VolumeTarget {
    std::filesystem::path dir;
    bool lowerCase = false;
    bool tower = false;
    std::string configName;  // "VelkWp.INI": what a path that climbs out of the volume aims at
};

// Writes the image file (and text map) of the document into the volume and fills
// storedPath, imagePath, mapPath, pages, kind and sections of doc.
void WriteDocument(Collection c, const DocumentPlan& plan, const VolumeTarget& volume, SampleDocument& doc);

}  // namespace velk::mksample
