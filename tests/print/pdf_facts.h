#pragma once
// A PDF as poppler's tools read it: pdfinfo's pages and their sizes, pdfimages' list.
#include <cstdio>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/vb_text.h"
#include "tests/platform/scratch_dir.h"

namespace velk::test {

struct PdfFacts {
    std::string pages, size;                       // size of page 1 as "612 x 792 pts", without the paper
    std::vector<std::pair<double, double>> sizes;  // every page's, in points
    std::vector<std::string> images;               // "encoding bits colour", an image each
};

inline PdfFacts ReadPdf(const std::string& pdf) {
    PdfFacts f;
    std::istringstream info(Output("pdfinfo -f 1 -l 99999 '" + pdf + "'"));
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("Pages:", 0) == 0) f.pages = Trim(line.substr(6));
        double w = 0, h = 0;
        const auto at = line.find(" size: ");
        if (line.rfind("Page ", 0) != 0 || at == std::string::npos) continue;
        if (f.size.empty()) f.size = Trim(line.substr(at + 7, line.find(" pts") + 4 - at - 7));
        if (std::sscanf(line.c_str() + at, " size: %lf x %lf", &w, &h) == 2) f.sizes.emplace_back(w, h);
    }
    std::istringstream list(Output("pdfimages -list '" + pdf + "'"));
    std::string line;
    std::getline(list, line), std::getline(list, line);  // the heading and its rule
    while (std::getline(list, line)) {
        std::istringstream row(line);
        const std::vector<std::string> c{std::istream_iterator<std::string>(row), {}};
        if (c.size() > 8) f.images.push_back(c[8] + " " + c[7] + " " + c[5]);
    }
    return f;
}

// "3 pages, 612 x 792 pts": the two facts most checks want, in one comparison.
inline std::string PdfShape(const std::string& pdf) {
    const PdfFacts f = ReadPdf(pdf);
    return f.pages + " pages, " + f.size;
}

}  // namespace velk::test
