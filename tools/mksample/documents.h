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

// A stored Windows path ("\DOCS\X.TIF") as a native path below the volume directory.
std::filesystem::path OnVolume(const VolumeTarget& volume, const std::string& storedPath);

// The page container format: 20-byte header, page table, 12-byte page headers, raw G4.
struct ContainerPage {
    int width = 0, height = 0;
    std::string g4;
};
std::string ContainerBytes(const std::string& number, const std::vector<ContainerPage>& pages);

// Writes "[PMAP]" & fields into the 35 bytes at 258 of a TIFF made with reserved
// bytes. With a META block, the block is appended to the file and its position
// (counting the first byte as 1) added to the fields as "META:start;".
void EmbedPageMap(std::string& tiff, std::string fields, const std::string& metaBlock = {});
std::string SectionFields(const SectionMap& s);  // "1;1;2;4;6;"

std::string TextMapLine(const SectionMap& s);

}  // namespace velk::mksample
