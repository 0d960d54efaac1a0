#include "viewer/imaging/g4_files.h"

// The modern qpdf interface only (std::shared_ptr, no PointerHolder).
#define POINTERHOLDER_TRANSITION 4
#include <cstdio>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>

#include "viewer/imaging/page_image.h"
#include "viewer/imaging/tiff_io.h"

namespace velk {
namespace {

std::optional<G4Strip> StripOf(tiffio::Tiff& tiff, int page, std::uint64_t fileSize) {
    TIFF* tif = tiff.get();
    if (page < 1 || page > ImageLimits::kMaxPages) return std::nullopt;
    if (TIFFCurrentDirectory(tif) != static_cast<tdir_t>(page - 1) &&
        !TIFFSetDirectory(tif, static_cast<tdir_t>(page - 1)))
        return std::nullopt;
    std::uint16_t compression = 0, bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISWHITE,
                  fill = FILLORDER_MSB2LSB, orientation = ORIENTATION_TOPLEFT, unit = RESUNIT_INCH;
    std::uint32_t width = 0, height = 0, options = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fill);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    // Uncompressed-mode G4 is a TIFF extension no PDF reader knows.
    TIFFGetField(tif, TIFFTAG_GROUP4OPTIONS, &options);
    if (compression != COMPRESSION_CCITTFAX4 || bits != 1 || samples != 1 || fill != FILLORDER_MSB2LSB ||
        orientation != ORIENTATION_TOPLEFT || options != 0 || TIFFIsTiled(tif) ||
        TIFFNumberOfStrips(tif) != 1 || width < 1 || height < 1 || width > ImageLimits::kMaxSide ||
        height > ImageLimits::kMaxSide ||
        (photometric != PHOTOMETRIC_MINISWHITE && photometric != PHOTOMETRIC_MINISBLACK))
        return std::nullopt;
    std::uint64_t* counts = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &counts) || !counts) return std::nullopt;
    if (counts[0] == 0 || counts[0] > fileSize) return std::nullopt;
    G4Strip strip;
    strip.data.resize(static_cast<std::size_t>(counts[0]));
    if (TIFFReadRawStrip(tif, 0, strip.data.data(), static_cast<tmsize_t>(strip.data.size())) !=
            static_cast<tmsize_t>(strip.data.size()) ||
        tiff.diagnostics().failed())
        return std::nullopt;
    strip.width = static_cast<int>(width);
    strip.height = static_cast<int>(height);
    float x = 0, y = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    const double perInch = unit == RESUNIT_CENTIMETER ? 2.54 : 1.0;
    const bool known = unit != RESUNIT_NONE;
    auto sane = [](double dpi) { return dpi >= 10 && dpi <= 10000 ? dpi : 300.0; };
    strip.dpiX = known && TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) ? sane(x * perInch) : 300;
    strip.dpiY = known && TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y) ? sane(y * perInch) : strip.dpiX;
    strip.minIsBlack = photometric == PHOTOMETRIC_MINISBLACK;
    return strip;
}

}  // namespace

std::optional<G4Strip> ReadG4Strip(const std::filesystem::path& path, int page) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    tiffio::Tiff tiff = tiffio::Tiff::openFile(path);
    return StripOf(tiff, page, ec ? 0 : size);
}

std::optional<G4Strip> ReadG4Strip(const std::vector<std::uint8_t>& bytes, int page) {
    tiffio::Tiff tiff = tiffio::Tiff::openMemory(bytes.data(), bytes.size());
    return StripOf(tiff, page, bytes.size());
}

G4Strip G4Strip::fromPage(const PageImage& page) {
    std::optional<G4Strip> strip = ReadG4Strip(page.encode(SaveFormat::TiffG4));
    if (!strip) throw ImageError(kErrInvalidPicture, "the page cannot be coded as G4");
    strip->dpiX = page.dpiX();
    strip->dpiY = page.dpiY();
    return std::move(*strip);
}

std::vector<std::uint8_t> G4TiffFile(const std::vector<G4Strip>& pages) {
    std::vector<std::uint8_t> out;
    tiffio::Tiff tiff = tiffio::Tiff::createMemory(out);
    TIFF* tif = tiff.get();
    const auto total = static_cast<std::uint16_t>(std::min<std::size_t>(pages.size(), 65535));
    std::uint16_t n = 0;
    for (const G4Strip& p : pages) {
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, pages.size() > 1 ? FILETYPE_PAGE : 0);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(p.width));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(p.height));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                     p.minIsBlack ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(p.dpiX));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(p.dpiY));
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(p.height));
        if (pages.size() > 1) TIFFSetField(tif, TIFFTAG_PAGENUMBER, n, total);
        tiff.check("TIFF tags");
        if (TIFFWriteRawStrip(tif, 0, const_cast<std::uint8_t*>(p.data.data()),
                              static_cast<tmsize_t>(p.data.size())) < 0 ||
            !TIFFWriteDirectory(tif)) {
            tiff.check("page " + std::to_string(n + 1));
            throw ImageError(kErrInvalidPicture, "page " + std::to_string(n + 1) + " cannot be written");
        }
        ++n;
    }
    tiff.finish();
    return out;
}

namespace {

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", v);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

std::vector<std::uint8_t> G4PdfFile(const std::vector<G4Strip>& pages) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.emptyPDF();
        QPDFPageDocumentHelper pagesHelper(pdf);
        using Obj = QPDFObjectHandle;
        for (const G4Strip& p : pages) {
            Obj image = pdf.newStream();
            Obj dict = image.getDict();
            dict.replaceKey("/Type", Obj::newName("/XObject"));
            dict.replaceKey("/Subtype", Obj::newName("/Image"));
            dict.replaceKey("/Width", Obj::newInteger(p.width));
            dict.replaceKey("/Height", Obj::newInteger(p.height));
            dict.replaceKey("/ColorSpace", Obj::newName("/DeviceGray"));
            dict.replaceKey("/BitsPerComponent", Obj::newInteger(1));
            // Fax data decodes to 0 for black; a page whose TIFF said 0 is black reads inverted.
            if (p.minIsBlack) dict.replaceKey("/Decode", Obj::parse("[1 0]"));
            Obj parms = Obj::newDictionary();
            parms.replaceKey("/K", Obj::newInteger(-1));
            parms.replaceKey("/Columns", Obj::newInteger(p.width));
            parms.replaceKey("/Rows", Obj::newInteger(p.height));
            parms.replaceKey("/BlackIs1", Obj::newBool(false));
            image.replaceStreamData(std::string(p.data.begin(), p.data.end()),
                                    Obj::newName("/CCITTFaxDecode"), parms);

            // The page is the image at its own resolution: inches times 72 points.
            const std::string w = Number(p.width * 72.0 / p.dpiX), h = Number(p.height * 72.0 / p.dpiY);
            Obj content = pdf.newStream("q " + w + " 0 0 " + h + " 0 0 cm /Im0 Do Q");
            Obj page = Obj::parse("<< /Type /Page /MediaBox [0 0 " + w + " " + h + "] >>");
            page.replaceKey("/Contents", content);
            Obj xobjects = Obj::newDictionary();
            xobjects.replaceKey("/Im0", image);
            Obj resources = Obj::newDictionary();
            resources.replaceKey("/XObject", xobjects);
            page.replaceKey("/Resources", resources);
            pagesHelper.addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
        }
        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        writer.setDeterministicID(true);
        writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
        const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        const unsigned char* bytes = buffer->getBuffer();
        return {bytes, bytes + buffer->getSize()};
    } catch (const std::exception& e) {
        throw ImageError(kErrInvalidPicture, std::string("PDF: ") + e.what());
    }
}

}  // namespace velk
