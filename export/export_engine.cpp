#include "export/export_engine.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <system_error>
#include <variant>

#include "common/vb_text.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "print/document_files.h"
#include "print/print_engine.h"
#include "print/print_runs.h"
#include "viewer/page_loading.h"

namespace velk {
namespace fs = std::filesystem;

const char* ExportExtension(SaveFormat format) {
    switch (format) {
        case SaveFormat::Pcx:
            return ".PCX";
        case SaveFormat::Bmp:
            return ".BMP";
        case SaveFormat::Gif:
            return ".GIF";
        default:
            return ".TIF";
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

std::string DirErrorText(const std::string& dir) {
    return "Error creating directory => " + dir + ".";
}

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
        if (std::optional<G4Strip> strip = StoredG4Strip(app, path, Int16(page))) return G4TiffFile({*strip});
    } catch (const std::exception&) {
        // the decoding path reports what is wrong with the file
    }
    return {};
}

ExportRun::ExportRun(App& app, ExportProgressView* view) : app_(app), view_(view) {
    app_.ExportCancel = false;
}

bool ExportRun::cancelled() const {
    return app_.ExportCancel;
}

void ExportRun::show() {
    if (view_) view_->showProgress(progress_);
    app_.DoEvents();
}

bool ExportRun::ensureSpace(const fs::path& dir, std::uint64_t size, bool& dirOk) {
    for (;;) {
        const auto free =
            app_.ports.disk ? app_.ports.disk->freeBytes(dir.string()) : std::optional<std::uint64_t>{};
        if (!free || *free >= size) return true;
        app_.msg(kNoSpaceText);
        if (app_.msg(kInsertDisketteText, Buttons::OKCancel) != Answer::OK) return false;
        // Another medium may be in the drive now: the directory is made again.
        dirOk = CheckLocalDir(dir) != 0;
        if (!dirOk) return true;
    }
}

std::vector<int> ExportRun::beginDocument(const std::vector<int>& pages) {
    std::vector<int> selected;
    std::set<int> seen;
    for (int p : pages)
        if (seen.insert(p).second) selected.push_back(p);
    progress_ = {};
    progress_.lblDocument =
        "Document currently exporting: " + FormatText(Trim(app_.doc.CurDocNo), "###,###,###");
    if (docCount > 0) {
        progress_.lblDoc =
            "Exporting document " + std::to_string(docIndex) + " of " + std::to_string(docCount);
        progress_.lblPg = "Exporting page 1 of " + std::to_string(app_.doc.CurPageCount.value());
    }
    return selected;
}

void ExportRun::showPage(int page, int ordinal, int count) {
    progress_.lblPath = kConvertingText;
    progress_.lblPage = "Page " + std::to_string(ordinal) + " of " + std::to_string(count);
    if (docCount > 0) {
        progress_.lblPg =
            "Exporting page " + std::to_string(page) + " of " + std::to_string(app_.doc.CurPageCount.value());
        progress_.barCurrent = batchDone + ordinal;
        progress_.barTotal = std::max(batchPages, progress_.barCurrent);
    } else {
        progress_.barCurrent = ordinal;
        progress_.barTotal = count;
    }
    show();
}

bool ExportRun::mayWrite(const fs::path& target, const fs::path& dir, bool& existed) {
    std::error_code ec;
    existed = fs::exists(fs::symlink_status(target, ec));
    if (!existed) return true;
    if (fs::is_directory(target, ec) || fs::is_symlink(fs::symlink_status(target, ec))) {
        app_.msg(DirErrorText(dir.string()), Buttons::OK, Icon::Exclamation);
        return false;  // never write through a link or over a directory
    }
    if (overwrite == Overwrite::Ask)
        return app_.msg(OverwriteText(target.string()), Buttons::YesNo) == Answer::Yes;
    return overwrite == Overwrite::Always;
}

void ExportRun::leaveLists(const std::string& docNo, const std::string& volume) {
    if (!app_.lists) return;
    Int16 count;
    if (auto entry = ListedEntry(*app_.lists, ListTable::ToExport, docNo, volume))
        app_.lists->RemFromExport(*entry, count);
    else if (auto rest = ListedEntry(*app_.lists, ListTable::Remaining, docNo, volume))
        app_.lists->RemFromRemaining(*rest, count);
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

    showPage(page, ordinal, count);

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
    bool existed = false;
    if (!mayWrite(target, dir, existed)) return PageResult::NotWritten;

    progress_.lblPath =
        "Exporting to: " + dir.string() + "/PAGE" + FormatNumber(page, "0000") + ExportExtension(format);
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

    KeepShownDocument keep(app_);
    const std::string docNo = app_.doc.CurDocNo, volume = app_.doc.CurVolume;
    const std::vector<int> selected = beginDocument(pages);
    std::error_code ec;
    const bool dirExisted = fs::is_directory(dir, ec);
    std::vector<fs::path> created;
    const std::size_t firstWritten = written_.size();
    int written = 0, ordinal = 0;
    bool cancel = false;
    for (int page : selected) {
        ++ordinal;
        const PageResult r =
            exportPage(page, format, dir, workDir, ordinal, static_cast<int>(selected.size()), created);
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
        leaveLists(docNo, volume);
        return ExportOutcome::Done;
    }
    return ExportOutcome::Partial;
}

ExportOutcome ExportRun::Export(const std::vector<int>& pages, const ExportFormat& format,
                                const fs::path& destination) {
    if (const auto* file = std::get_if<DocumentFileFormat>(&format))
        return ExportDocumentFile(pages, *file, destination);
    return ExportDocument(pages, std::get<SaveFormat>(format), destination);
}

ExportOutcome ExportRun::ExportDocumentFile(const std::vector<int>& pages, DocumentFileFormat format,
                                            const fs::path& destination) {
    const std::string name = ExportDirName(app_.doc.CurDocNo);
    if (name.empty() || CheckLocalDir(destination) == 0) {
        app_.msg(DirErrorText((destination / Trim(app_.doc.CurDocNo)).string()), Buttons::OK,
                 Icon::Exclamation);
        return ExportOutcome::Skipped;
    }
    KeepShownDocument keep(app_);
    const std::string docNo = app_.doc.CurDocNo, volume = app_.doc.CurVolume;
    const std::vector<int> selected = beginDocument(pages);
    // Every page is gathered before the file is written: Cancel leaves nothing behind.
    std::vector<G4Strip> strips;
    int ordinal = 0;
    const std::string& path = app_.doc.CurImagePath;
    for (int page : selected) {
        showPage(page, ++ordinal, static_cast<int>(selected.size()));
        if (app_.ExportCancel) return ExportOutcome::Cancelled;
        if (!GetPage(app_, path, app_.doc.CurDocNo, Int16(page))) continue;
        try {
            strips.push_back(RecordedG4Strip(app_, path, Int16(page)));
        } catch (const RuntimeError& e) {
            app_.msg(e.report(), Buttons::OK, Icon::Exclamation);
        }
    }
    app_.DoEvents();
    if (app_.ExportCancel) return ExportOutcome::Cancelled;
    if (strips.empty()) return ExportOutcome::Partial;

    const fs::path target = destination / (name + DocumentFileExtension(format));
    std::vector<std::uint8_t> bytes;
    try {
        bytes = DocumentFileBytes(strips, format);
    } catch (const RuntimeError& e) {
        app_.msg(e.report(), Buttons::OK, Icon::Exclamation);
        return ExportOutcome::Partial;
    }
    bool dirOk = true, existed = false;
    if (!ensureSpace(destination, bytes.size(), dirOk)) return ExportOutcome::Cancelled;
    if (!dirOk) {
        app_.msg(DirErrorText(destination.string()), Buttons::OK, Icon::Exclamation);
        return ExportOutcome::Partial;
    }
    if (!mayWrite(target, destination, existed)) return ExportOutcome::Partial;
    progress_.lblPath = "Exporting to: " + target.string();
    show();
    try {
        WriteFileReplacing(target, bytes, Durability::Synced);
    } catch (const RuntimeError& e) {
        app_.msg(e.report(), Buttons::OK, Icon::Exclamation);
        return ExportOutcome::Partial;
    }
    written_.push_back(target);
    morePages_ += static_cast<int>(strips.size()) - 1;
    if (strips.size() != selected.size()) return ExportOutcome::Partial;
    leaveLists(docNo, volume);
    return ExportOutcome::Done;
}

}  // namespace velk
