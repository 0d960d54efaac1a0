#pragma once
// A PDF as poppler's tools read it: pdfinfo's page count and size, pdfimages' list.
#include <cstdio>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "common/vb_text.h"
#include "tests/platform/scratch_dir.h"

namespace velk::test {

struct PdfFacts {
    std::string pages, size;  // size as "612 x 792 pts", without the paper's name
    int images = 0, oneBit = 0, ccitt = 0;
};

inline PdfFacts ReadPdf(const std::string& pdf) {
    PdfFacts f;
    std::istringstream info(Output("pdfinfo '" + pdf + "'"));
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("Pages:", 0) == 0) f.pages = Trim(line.substr(6));
        if (line.rfind("Page size:", 0) == 0) f.size = Trim(line.substr(10, line.find(" pts") + 4 - 10));
    }
    std::istringstream list(Output("pdfimages -list '" + pdf + "'"));
    std::string line;
    std::getline(list, line), std::getline(list, line);  // the heading and its rule
    while (std::getline(list, line)) {
        std::istringstream row(line);
        const std::vector<std::string> c{std::istream_iterator<std::string>(row), {}};
        if (c.size() < 9) continue;
        ++f.images;
        f.oneBit += c[7] == "1";
        f.ccitt += c[7] == "1" && c[8] == "ccitt";
    }
    return f;
}

// "3 pages, 612 x 792 pts": the two facts most checks want, in one comparison.
inline std::string PdfShape(const std::string& pdf) {
    const PdfFacts f = ReadPdf(pdf);
    return f.pages + " pages, " + f.size;
}

}  // namespace velk::test
