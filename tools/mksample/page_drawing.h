#pragma once
// Facsimile-like pages drawn with Qt: header with the document number in large
// type, the section name, "Page p of n", then text or line art, made bitonal.
// Needs a QGuiApplication (fonts); tests have one, main makes an offscreen one.
#include <cstdint>
#include <string>

#include "tools/mksample/g4_tiff.h"

namespace velk::mksample {

enum class PageLayout {
    PatentFront,        // bibliographic data, abstract, a representative figure
    PatentDrawing,      // figures: boxes, circles, hatching, reference numerals
    PatentDescription,  // numbered paragraphs
    PatentClaims,       // numbered claims
    PatentCertificate,  // certificate of correction or reexamination certificate
    MarkRegistration,   // word mark and design, goods and services
    MarkSpecimen,       // a label as used in commerce
    MarkStatement,      // declarations and renewals
    AssignmentCover,    // recordation cover sheet: a form of boxes
    AssignmentDeed,     // the assignment text with signatures
};

struct PageSpec {
    int width = 2550;  // pixels; 2550 x 3300 is letter at 300 dpi
    int height = 3300;
    int dpi = 300;
    PageLayout layout = PageLayout::PatentDescription;
    std::string title;    // small type, top left ("Quorvel Patent Document")
    std::string number;   // large type, top right ("5,123,456")
    std::string section;  // "Front page", "Drawings", ...
    int page = 1;
    int pages = 1;
    int firstItem = 1;  // first figure (drawings), claim (claims) or heading (description)
    int items = 1;      // figures on a drawing page
    std::uint64_t seed = 0;
};

// Throws std::runtime_error when no QGuiApplication exists.
BitPage DrawPage(const PageSpec& spec);

}  // namespace velk::mksample
