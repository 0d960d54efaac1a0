#pragma once
// libtiff plumbing: every TIFF is opened with our own error and warning handlers, so
// nothing reaches stderr and damaged data is never passed off as a page, and with a cap
// on any single allocation libtiff makes from the file's numbers.
#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velk::tiffio {

// What libtiff said while one TIFF was open.
struct Diagnostics {
    int errors = 0;
    int warnings = 0;
    // While pixels are decoded a warning ("Premature EOF", "Line length mismatch") means
    // damaged data: libtiff still reports a full read.
    bool strict = false;
    std::string first;  // the first complaint that counted
    bool failed() const { return errors > 0; }
};

class Tiff {
public:
    // Reading a file through stdio (no memory map: a volume may vanish mid-read), opened
    // once. Throws RuntimeError 53 and friends when the file cannot be opened, ImageError
    // 321 when it does not start as a TIFF, 481 when it is no readable TIFF.
    static Tiff openFile(const std::filesystem::path& path);
    // Reading bytes held by the caller, who keeps them alive while the Tiff lives.
    static Tiff openMemory(const std::uint8_t* data, std::size_t size);
    // Writing into `out`, which must outlive the Tiff; finish() completes the file.
    static Tiff createMemory(std::vector<std::uint8_t>& out);

    Tiff(Tiff&&) noexcept;
    Tiff& operator=(Tiff&&) noexcept;
    ~Tiff();

    TIFF* get() const;
    Diagnostics& diagnostics();
    // Throws ImageError(481, what + libtiff's complaint) when libtiff complained.
    void check(const std::string& what) const;
    // Writes the last directory and closes; throws when libtiff complained.
    void finish();

private:
    struct State;
    explicit Tiff(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Whether bytes begin with a TIFF's (or a BigTIFF's) signature.
bool HasTiffSignature(const unsigned char* bytes, std::size_t size);

// Bytes of a TIFF file that carries one CCITT block as its only strip, so libtiff's codec
// can decode a block of a page container. Header and directory only: the block follows.
std::vector<std::uint8_t> RawStripHeader(int width, int height, int compression, int fillOrder,
                                         std::uint32_t blockLength, double dpi);

}  // namespace velk::tiffio
