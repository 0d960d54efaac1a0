#include "export/export_engine.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <set>
#include <system_error>

#include "common/vb_text.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "print/print_engine.h"
#include "print/print_runs.h"
#include "viewer/imaging/tiff_io.h"
#include "viewer/page_loading.h"

namespace velk {
namespace fs = std::filesystem;

const char* ExportExtension(SaveFormat format) {
    switch (format) {
        case SaveFormat::Pcx: return ".PCX";
        case SaveFormat::Bmp: return ".BMP";
        case SaveFormat::Gif: return ".GIF";
        default: return ".TIF";
    }
}

std::string ExportFileName(int page, SaveFormat format) {
    return "Page" + FormatNumber(page, "0000") + ExportExtension(format);
}

std::string WorkingFileName(int page, SaveFormat format) {
    return "PAGE" + FormatNumber(page, "0000") + ExportExtension(format);
}

std::string ExportDirName(const std::string& docNo) {
    std::string name = Trim(docNo);
    if (name.empty() || name == "." || name == "..") return {};
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':') return {};
    return name;
}

std::string DirErrorText(const std::string& dir) { return "Error creating directory => " + dir + "."; }

std::string OverwriteText(const std::string& file) {
    return "This file " + file + " already exists!  Do you want to overwrite?";
}

int CheckLocalDir(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return 3;
    if (fs::exists(fs::symlink_status(dir, ec))) return 0;  // a file or a dangling link
    ec.clear();
    if (!fs::create_directory(dir, ec) || ec) return 0;
    return 2;
}

namespace {

std::int64_t FileSize(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path, std::int64_t offset, std::int64_t length) {
    std::vector<std::uint8_t> out;
    std::ifstream in(path, std::ios::binary);
    if (!in || length <= 0) return out;
    in.seekg(offset);
    out.resize(static_cast<std::size_t>(length));
    if (!in.read(reinterpret_cast<char*>(out.data()), length)) out.clear();
    return out;
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b) {
    return b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t{b[3]} << 24);
}

std::vector<std::uint8_t> G4Tiff(std::uint32_t width, std::uint32_t height, int photometric, int fillOrder,
                                 float dpiX, float dpiY, const std::vector<std::uint8_t>& strip) {
    std::vector<std::uint8_t> out;
    tiffio::Tiff tiff = tiffio::Tiff::createMemory(out);
    TIFF* tif = tiff.get();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_FILLORDER, fillOrder);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, dpiX);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, dpiY);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
    tiff.check("TIFF tags");
    if (TIFFWriteRawStrip(tif, 0, const_cast<std::uint8_t*>(strip.data()), static_cast<tmsize_t>(strip.size())) < 0)
        tiff.check("G4 strip");
    tiff.finish();
    return out;
}

// A container page: its block runs from behind its header to the next page's offset
// (or the end of the file).
std::vector<std::uint8_t> ContainerPassThrough(const App& app, const std::string& path, int page) {
    const PageFileInfo& info = app.doc.Page;
    const std::int64_t size = FileSize(path);
    const std::int64_t start = PageDataOffset(info);
    const int pages = info.FilePages.value();
    if (size < 0 || start <= 0 || start >= size || page < 1 || page > pages) return {};
    std::int64_t end = size;
    if (page < pages) {
        const auto next = ReadBytes(path, kContainerHeaderBytes + 4 * std::int64_t{page}, 4);
        if (next.size() != 4) return {};
        const std::int64_t n = Le32(next);
        if (n > start && n <= size) end = n;
    }
    const int w = info.XSize.value(), h = info.YSize.value();
    if (w < 1 || h < 1 || w > ImageLimits::kMaxSide || h > ImageLimits::kMaxSide) return {};
    const auto strip = ReadBytes(path, start, end - start);
    if (strip.empty()) return {};
    return G4Tiff(w, h, PHOTOMETRIC_MINISWHITE, FILLORDER_MSB2LSB, 300, 300, strip);
}

std::vector<std::uint8_t> TiffPassThrough(const std::string& path, int page) {
    tiffio::Tiff tiff = tiffio::Tiff::openFile(path);
    TIFF* tif = tiff.get();
    if (page < 1 || !TIFFSetDirectory(tif, static_cast<tdir_t>(page - 1))) return {};
    std::uint16_t compression = 0, bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISWHITE,
                  fill = FILLORDER_MSB2LSB, unit = RESUNIT_INCH;
    std::uint32_t width = 0, height = 0;
    float dpiX = 0, dpiY = 0;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fill);
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    if (compression != COMPRESSION_CCITTFAX4 || bits != 1 || samples != 1 || TIFFIsTiled(tif) ||
        TIFFNumberOfStrips(tif) != 1 || width < 1 || height < 1 || width > ImageLimits::kMaxSide ||
        height > ImageLimits::kMaxSide)
        return {};
    std::uint64_t* counts = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &counts) || !counts) return {};
    const std::int64_t fileSize = FileSize(path);
    if (counts[0] == 0 || fileSize < 0 || counts[0] > static_cast<std::uint64_t>(fileSize)) return {};
    std::vector<std::uint8_t> strip(static_cast<std::size_t>(counts[0]));
    if (TIFFReadRawStrip(tif, 0, strip.data(), static_cast<tmsize_t>(strip.size())) !=
        static_cast<tmsize_t>(strip.size()))
        return {};
    if (tiff.diagnostics().failed()) return {};
    if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &dpiX) || dpiX <= 0) dpiX = 300;
    if (!TIFFGetField(tif, TIFFTAG_YRESOLUTION, &dpiY) || dpiY <= 0) dpiY = dpiX;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (unit == RESUNIT_CENTIMETER) dpiX *= 2.54f, dpiY *= 2.54f;
    if (photometric != PHOTOMETRIC_MINISBLACK) photometric = PHOTOMETRIC_MINISWHITE;
    return G4Tiff(width, height, photometric, fill, dpiX, dpiY, strip);
}

struct RemoveOnExit {
    fs::path path;
    ~RemoveOnExit() {
        std::error_code ec;
        if (!path.empty()) fs::remove(path, ec);
    }
};

}  // namespace

std::vector<std::uint8_t> G4PassThrough(const App& app, const std::string& path, int page) {
    try {
        if (PageFileKindOf(path) == PageFileKind::Container) return ContainerPassThrough(app, path, page);
        return TiffPassThrough(path, page);
    } catch (const std::exception&) {
        return {};  // the decoding path reports what is wrong with the file
    }
}

ExportRun::ExportRun(App& app, ExportProgressView* view) : app_(app), view_(view) { app_.ExportCancel = false; }

bool ExportRun::cancelled() const { return app_.ExportCancel; }

void ExportRun::show() {
    if (view_) view_->showProgress(progress_);
    app_.DoEvents();
}

bool ExportRun::ensureSpace(const fs::path& dir, std::uint64_t size, bool& dirOk) {
    for (;;) {
        const auto free = app_.ports.disk ? app_.ports.disk->freeBytes(dir.string())
                                               : std::optional<std::uint64_t>{};
        if (!free || *free >= size) return true;
        app_.msg(kNoSpaceText);
        if (app_.msg(kInsertDisketteText, Buttons::OKCancel) != Answer::OK) return false;
        // Another medium may be in the drive now: the directory is made again.
        dirOk = CheckLocalDir(dir) != 0;
        if (!dirOk) return true;
    }
}

ExportRun::PageResult ExportRun::exportPage(int page, SaveFormat format, const fs::path& dir,
                                            const fs::path& workDir, int ordinal, int count,
                                            std::vector<fs::path>& created) {
    if (CheckLocalDir(dir) == 0) {
        app_.msg(DirErrorText(dir.string()), Buttons::OK, Icon::Exclamation);
        return PageResult::NotWritten;
    }
    const std::string& path = app_.doc.CurImagePath;
    if (!GetPage(app_, path, app_.doc.CurDocNo, Int16(page))) return PageResult::NotWritten;

    progress_.lblPath = kConvertingText;
    progress_.lblPage = "Page " + std::to_string(ordinal) + " of " + std::to_string(count);
    if (docCount > 0) {
        progress_.lblPg = "Exporting page " + std::to_string(page) + " of " +
                          std::to_string(app_.doc.CurPageCount.value());
        progress_.barCurrent = batchDone + ordinal;
        progress_.barTotal = std::max(batchPages, progress_.barCurrent);
    } else {
        progress_.barCurrent = ordinal;
        progress_.barTotal = count;
    }
    show();

    std::vector<std::uint8_t> bytes;
    RemoveOnExit working{workDir / WorkingFileName(page, format)};
    try {
        if (format == SaveFormat::TiffG4) bytes = G4PassThrough(app_, path, page);
        if (bytes.empty()) bytes = LoadRecordedPage(app_, path, Int16(page)).encode(format);
        WriteFileReplacing(working.path, bytes, Durability::Deferred);  // removed below: never synced
    } catch (const RuntimeError& e) {
        app_.msg(e.report(), Buttons::OK, Icon::Exclamation);
        return PageResult::NotWritten;
    }

    bool dirOk = true;
    if (!ensureSpace(dir, bytes.size(), dirOk)) return PageResult::Cancel;
    if (!dirOk) {
        app_.msg(DirErrorText(dir.string()), Buttons::OK, Icon::Exclamation);
        return PageResult::NotWritten;
    }

    const fs::path target = dir / ExportFileName(page, format);
    std::error_code ec;
    const bool existed = fs::exists(fs::symlink_status(target, ec));
    if (existed) {
        if (fs::is_directory(target, ec) || fs::is_symlink(fs::symlink_status(target, ec))) {
            app_.msg(DirErrorText(dir.string()), Buttons::OK, Icon::Exclamation);
            return PageResult::NotWritten;  // never write through a link or over a directory
        }
        bool yes = overwrite == Overwrite::Always;
        if (overwrite == Overwrite::Ask)
            yes = app_.msg(OverwriteText(target.string()), Buttons::YesNo) == Answer::Yes;
        if (!yes) return PageResult::NotWritten;
    }

    progress_.lblPath = "Exporting to: " + dir.string() + "/PAGE" + FormatNumber(page, "0000") +
                        ExportExtension(format);
    show();
    try {
        // Through a temporary name: the old file stays whole until the new one is. The
        // document's files are synced together once its last page is written.
        WriteFileReplacing(target, bytes, Durability::Deferred);
    } catch (const RuntimeError& e) {
        app_.msg(e.report(), Buttons::OK, Icon::Exclamation);
        return PageResult::NotWritten;
    }
    written_.push_back(target);
    if (!existed) created.push_back(target);
    return PageResult::Written;
}

ExportOutcome ExportRun::ExportDocument(const std::vector<int>& pages, SaveFormat format,
                                        const fs::path& destination) {
    const std::string name = ExportDirName(app_.doc.CurDocNo);
    if (name.empty()) {
        app_.msg(DirErrorText((destination / Trim(app_.doc.CurDocNo)).string()), Buttons::OK,
                 Icon::Exclamation);
        return ExportOutcome::Skipped;
    }
    const fs::path dir = destination / name;
    const fs::path workDir = fs::path(app_.config.AppDir) / ("working" + app_.config.CollectionLetter);
    if (CheckLocalDir(workDir) == 0) {
        app_.msg(DirErrorText(workDir.string()), Buttons::OK, Icon::Exclamation);
        return ExportOutcome::Skipped;
    }

    std::vector<int> selected;
    std::set<int> seen;
    for (int p : pages)
        if (seen.insert(p).second) selected.push_back(p);

    KeepShownDocument keep(app_);
    const std::string docNo = app_.doc.CurDocNo, volume = app_.doc.CurVolume;
    progress_ = {};
    progress_.lblDocument = "Document currently exporting: " + FormatText(Trim(docNo), "###,###,###");
    if (docCount > 0) {
        progress_.lblDoc = "Exporting document " + std::to_string(docIndex) + " of " + std::to_string(docCount);
        progress_.lblPg = "Exporting page 1 of " + std::to_string(app_.doc.CurPageCount.value());
    }
    std::error_code ec;
    const bool dirExisted = fs::is_directory(dir, ec);
    std::vector<fs::path> created;
    const std::size_t firstWritten = written_.size();
    int written = 0, ordinal = 0;
    bool cancel = false;
    for (int page : selected) {
        ++ordinal;
        const PageResult r = exportPage(page, format, dir, workDir, ordinal, static_cast<int>(selected.size()),
                                        created);
        if (r == PageResult::Written) ++written;
        app_.DoEvents();
        if (r == PageResult::Cancel || app_.ExportCancel) {
            cancel = true;
            break;
        }
    }
    if (cancel) {
        // Only what this document's run created; the directory only when it is empty.
        for (const fs::path& f : created) fs::remove(f, ec);
        std::erase_if(written_, [&](const fs::path& f) {
            return std::find(created.begin(), created.end(), f) != created.end();
        });
        if (!dirExisted) fs::remove(dir, ec);  // fails when anything else is in it
        return ExportOutcome::Cancelled;
    }
    try {
        // On the disk before the document leaves its list: a medium taken out or a power
        // cut afterwards loses nothing the list no longer shows.
        SyncFiles({written_.begin() + static_cast<std::ptrdiff_t>(firstWritten), written_.end()});
    } catch (const RuntimeError& e) {
        app_.msg(e.report(), Buttons::OK, Icon::Exclamation);
        return ExportOutcome::Partial;
    }
    if (written == static_cast<int>(selected.size()) && written > 0) {
        if (app_.lists) {
            Int16 count;
            if (auto entry = ListedEntry(*app_.lists, ListTable::ToExport, docNo, volume))
                app_.lists->RemFromExport(*entry, count);
            else if (auto rest = ListedEntry(*app_.lists, ListTable::Remaining, docNo, volume))
                app_.lists->RemFromRemaining(*rest, count);
        }
        return ExportOutcome::Done;
    }
    return ExportOutcome::Partial;
}

}  // namespace velk
