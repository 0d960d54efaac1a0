#pragma once
// Readers the tests check the generator against: libtiff for every image, a
// hand-written reading of the container, index and page-map formats, and a
// case-insensitive path walk. None of them shares code with the generator.
#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace velk::test {

namespace fs = std::filesystem;

inline std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    std::size_t i = s.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : s.substr(i);
}

inline std::uint32_t LE(const std::string& s, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(s.at(at + static_cast<std::size_t>(i)));
    return v;
}

// Temporary directory removed at the end of the test.
struct TempDir {
    fs::path path;
    TempDir() {
        std::string t = (fs::temp_directory_path() / "velk-mksample-XXXXXX").string();
        if (!mkdtemp(t.data())) throw std::runtime_error("mkdtemp");
        path = t;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

struct DecodedPage {
    std::uint32_t width = 0, height = 0;
    long black = 0;  // pixels set, to tell a drawn page from an empty one
    bool ok = false;
};

// Every page of a TIFF (or .BIN) file, decoded by libtiff.
inline std::vector<DecodedPage> DecodeTiff(const fs::path& file) {
    std::vector<DecodedPage> out;
    TIFF* t = TIFFOpen(file.c_str(), "r");
    if (!t) return out;
    do {
        DecodedPage p;
        TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &p.width);
        TIFFGetField(t, TIFFTAG_IMAGELENGTH, &p.height);
        tmsize_t size = TIFFStripSize(t);
        std::vector<unsigned char> buf(static_cast<std::size_t>(size));
        p.ok = TIFFNumberOfStrips(t) == 1 && TIFFReadEncodedStrip(t, 0, buf.data(), size) == size;
        for (unsigned char b : buf) p.black += __builtin_popcount(b);
        out.push_back(p);
    } while (TIFFReadDirectory(t));
    TIFFClose(t);
    return out;
}

// A raw G4 block wrapped into a TIFF of the stated size, then decoded by libtiff.
inline DecodedPage DecodeRawG4(const std::string& g4, std::uint32_t width, std::uint32_t height,
                               const fs::path& scratch) {
    DecodedPage p;
    p.width = width;
    p.height = height;
    TIFF* w = TIFFOpen(scratch.c_str(), "w");
    if (!w) return p;
    TIFFSetField(w, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(w, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(w, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(w, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(w, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(w, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(w, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(w, TIFFTAG_ROWSPERSTRIP, height);
    std::string copy = g4;
    TIFFWriteRawStrip(w, 0, copy.data(), static_cast<tmsize_t>(copy.size()));
    TIFFClose(w);
    auto pages = DecodeTiff(scratch);
    return pages.size() == 1 ? pages[0] : p;
}

struct ContainerFile {
    std::string docNo;
    int pages = 0;
    struct Page {
        std::uint32_t offset = 0, width = 0, height = 0;
        std::string g4;
    };
    std::vector<Page> page;
};

// Header at 0, page p's offset at 16 + 4p, a 12-byte page header, then G4 up to the next page.
inline ContainerFile ReadContainer(const std::string& s) {
    ContainerFile c;
    c.docNo = Trimmed(s.substr(8, 10));
    c.pages = static_cast<std::int16_t>(LE(s, 18, 2));
    for (int p = 1; p <= c.pages; ++p) c.page.push_back({LE(s, 16 + 4 * static_cast<std::size_t>(p), 4)});
    for (std::size_t i = 0; i < c.page.size(); ++i) {
        auto& pg = c.page[i];
        if (pg.offset + 12 > s.size()) continue;
        pg.width = LE(s, pg.offset + 6, 2);
        pg.height = LE(s, pg.offset + 8, 2);
        std::size_t end = i + 1 < c.page.size() ? c.page[i + 1].offset : s.size();
        if (end > pg.offset + 12 && end <= s.size()) pg.g4 = s.substr(pg.offset + 12, end - pg.offset - 12);
    }
    return c;
}

// The number after a label on the first line of a text map; -1 when the label is missing.
inline long MapNumber(const std::string& firstLine, const std::string& label) {
    std::size_t at = firstLine.find(label);
    if (at == std::string::npos) return -1;
    return std::strtol(firstLine.c_str() + at + label.size(), nullptr, 10);
}

// Fields after "]" in the 35 bytes at 258, each ended by ';'.
inline std::vector<std::string> EmbeddedFields(const std::string& file) {
    std::string area = file.substr(258, 35);
    area = area.substr(area.find(']') + 1);
    std::vector<std::string> out;
    for (std::size_t at; (at = area.find(';')) != std::string::npos; area = area.substr(at + 1))
        out.push_back(area.substr(0, at));
    return out;
}

// Resolves a stored path ("\DOCS\X.TIF") below dir, matching each name without regard to case.
inline std::optional<fs::path> FindOnVolume(const fs::path& dir, const std::string& stored) {
    fs::path at = dir;
    std::stringstream parts(stored);
    std::string part;
    while (std::getline(parts, part, '\\')) {
        if (part.empty()) continue;
        std::optional<fs::path> hit;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(at, ec)) {
            std::string a = e.path().filename().string(), b = part;
            for (auto* s : {&a, &b})
                for (char& ch : *s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            if (a == b) hit = e.path();
        }
        if (!hit) return std::nullopt;
        at = *hit;
    }
    return at;
}

// Runs a command and returns its exit status and combined output.
inline int RunCommand(const std::string& command, std::string& output) {
    output.clear();
    std::FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) output.append(buf, n);
    return pclose(p);
}

}  // namespace velk::test
