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

int CheckLocalDir(const fs::path& dir, std::string* why) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(dir, ec);
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        return 0;
    };
    if (fs::is_symlink(st)) return fail("it is a symbolic link");
    if (fs::is_directory(st)) return 3;
    if (fs::exists(st)) return fail("a file of that name is in the way");
    ec.clear();
    if (!fs::create_directory(dir, ec) || ec) return fail(ec ? ec.message() : "it could not be made");
    return 2;
}

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
    summary.run = "Export";
}

bool ExportRun::cancelled() const {
    return app_.ExportCancel;
}

void ExportRun::show() {
    if (view_) view_->showProgress(progress_);
    app_.DoEvents();
}

void ExportRun::problem(const std::string& text) {
    if (problemShown_) return;
    problemShown_ = true;
    app_.msg(text, Buttons::OK, Icon::Exclamation);
}

void ExportRun::stopRun(const std::string& text) {
    problem(text);
    summary.stop(text);
}

bool ExportRun::ensureSpace(const fs::path& dir, std::uint64_t size, bool& dirOk) {
    for (;;) {
        const auto free =
            app_.ports.disk ? app_.ports.disk->freeBytes(dir.string()) : std::optional<std::uint64_t>{};
        if (!free || *free >= size) return true;
        app_.msg(kNoSpaceText);
        if (app_.msg(kInsertDisketteText, Buttons::OKCancel) != Answer::OK) return false;
        // Another medium may be in the drive now: the directory is made again.
        std::error_code ec;
        dirOk = fs::is_directory(dir, ec) || CheckLocalDir(dir) != 0;
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

ExportRun::Write ExportRun::mayWrite(const fs::path& target, const fs::path& dir, const std::string& what,
                                     bool& existed) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(target, ec);
    existed = fs::exists(st);
    if (!existed) return Write::Yes;
    if (fs::is_directory(st) || fs::is_symlink(st)) {
        // Never written through a link or over a directory.
        problem(DirErrorText(dir.string()) + "\n" + target.string() + " is not a file");
        summary.fail(what, target.string() + " is not a file");
        return Write::Refused;
    }
    bool yes = overwrite == Overwrite::Always;
    if (overwrite == Overwrite::Ask) yes = app_.msg(OverwriteText(target.string()), Buttons::YesNo) == Answer::Yes;
    if (yes) return Write::Yes;
    summary.skip(what, "the existing file was kept");
    return Write::Kept;
}

void ExportRun::leaveLists(const std::string& docNo, const std::string& volume) {
    ++summary.documents;
    if (!app_.lists) return;
    Int16 count;
    if (auto entry = ListedEntry(*app_.lists, ListTable::ToExport, docNo, volume))
        app_.lists->RemFromExport(*entry, count);
    else if (auto rest = ListedEntry(*app_.lists, ListTable::Remaining, docNo, volume))
        app_.lists->RemFromRemaining(*rest, count);
}

bool ExportRun::writeOnce(const fs::path& target, const std::vector<std::uint8_t>& bytes, bool replacing) {
    try {
        // Through a temporary name: the old file stays whole until the new one is. A file
        // replaced is on the disk before the rename, so a crash keeps one of the two; new
        // files are synced together once the document is written.
        WriteFileReplacing(target, bytes, replacing ? Durability::Synced : Durability::Deferred);
        return true;
    } catch (const RuntimeError& e) {
        // What fails one file fails the next: the destination is read-only, full or gone.
        stopRun("Cannot write " + target.string() + "\n" + e.report());
        return false;
    }
}

ExportRun::PageResult ExportRun::exportPage(int page, SaveFormat format, const fs::path& dir, int ordinal,
                                            int count, std::vector<fs::path>& created) {
    const std::string& path = app_.doc.CurImagePath;
    const std::string label = Trim(app_.doc.CurDocNo) + " page " + std::to_string(page);
    if (!GetPage(app_, path, app_.doc.CurDocNo, Int16(page))) {
        summary.fail(label, "the page could not be read");  // GetPage has said why
        return PageResult::Failed;
    }
    showPage(page, ordinal, count);

    // Encoded in memory and written once, straight to its place.
    std::vector<std::uint8_t> bytes;
    try {
        if (format == SaveFormat::TiffG4) bytes = G4PassThrough(app_, path, page);
        if (bytes.empty()) bytes = LoadRecordedPage(app_, path, Int16(page)).encode(format);
    } catch (const RuntimeError& e) {
        problem(e.report());
        summary.fail(label, e.report());
        return PageResult::Failed;
    }

    bool dirOk = true;
    if (!ensureSpace(dir, bytes.size(), dirOk)) return PageResult::Cancel;
    if (!dirOk) {
        stopRun(DirErrorText(dir.string()));
        return PageResult::Stop;
    }

    const fs::path target = dir / ExportFileName(page, format);
    bool existed = false;
    switch (mayWrite(target, dir, label, existed)) {
        case Write::Yes: break;
        case Write::Kept: return PageResult::Kept;
        case Write::Refused: return PageResult::Failed;
    }

    progress_.lblPath =
        "Exporting to: " + dir.string() + "/PAGE" + FormatNumber(page, "0000") + ExportExtension(format);
    show();
    if (!writeOnce(target, bytes, existed)) return PageResult::Stop;
    written_.push_back(target);
    if (!existed) created.push_back(target);
    return PageResult::Written;
}

std::optional<ExportOutcome> ExportRun::refuseDirectory(const fs::path& dir, const std::string& number,
                                                        bool chosen) {
    std::error_code ec;
    // The destination the user chose may be a link; a document's directory may not.
    if (chosen && fs::is_directory(dir, ec)) return std::nullopt;
    std::string why;
    if (CheckLocalDir(dir, &why) != 0) return std::nullopt;
    const std::string text = DirErrorText(dir.string()) + "\n" + why;
    // A name taken in the destination concerns this document; anything else, every one.
    if (!fs::exists(fs::symlink_status(dir, ec))) {
        stopRun(text);
        return ExportOutcome::Stopped;
    }
    problem(text);
    summary.fail(number, why);
    return ExportOutcome::Skipped;
}

ExportOutcome ExportRun::ExportDocument(const std::vector<int>& pages, SaveFormat format,
                                        const fs::path& destination) {
    const std::string number = Trim(app_.doc.CurDocNo);
    const std::string name = ExportDirName(app_.doc.CurDocNo);
    if (summary.folder.empty()) summary.folder = name.empty() ? destination : destination / name;
    if (name.empty()) {
        problem(DirErrorText((destination / number).string()));
        summary.fail(number.empty() ? "(no number)" : number, "no directory can be named after it");
        return ExportOutcome::Skipped;
    }
    const fs::path dir = destination / name;
    std::error_code ec;
    const bool dirExisted = fs::is_directory(fs::symlink_status(dir, ec));
    if (auto refused = refuseDirectory(dir, number)) return *refused;

    KeepShownDocument keep(app_);
    const std::string docNo = app_.doc.CurDocNo, volume = app_.doc.CurVolume;
    const std::vector<int> selected = beginDocument(pages);
    std::vector<fs::path> created;
    const std::size_t firstWritten = written_.size();
    const int count = static_cast<int>(selected.size());
    int written = 0, kept = 0, ordinal = 0;
    bool cancel = false, stop = false;
    for (int page : selected) {
        ++ordinal;
        const PageResult r = exportPage(page, format, dir, ordinal, count, created);
        written += r == PageResult::Written;
        kept += r == PageResult::Kept;
        if (r == PageResult::Stop) {
            stop = true;
            break;
        }
        app_.DoEvents();
        // A Cancel after the last page finds the document finished: it stays written.
        if (r == PageResult::Cancel || (app_.ExportCancel && ordinal < count)) {
            cancel = true;
            break;
        }
    }
    summary.pages += written;
    if (cancel) {
        // Only what this document's run created; the directory only when it is empty.
        for (const fs::path& f : created) fs::remove(f, ec);
        std::erase_if(written_, [&](const fs::path& f) {
            return std::find(created.begin(), created.end(), f) != created.end();
        });
        if (!dirExisted) fs::remove(dir, ec);  // fails when anything else is in it
        summary.pages -= static_cast<int>(created.size());
        summary.cancel();
        summary.skip(number, "cancelled");
        return ExportOutcome::Cancelled;
    }
    try {
        // On the disk before the document leaves its list: a medium taken out or a power
        // cut afterwards loses nothing the list no longer shows.
        SyncFiles({written_.begin() + static_cast<std::ptrdiff_t>(firstWritten), written_.end()});
    } catch (const RuntimeError& e) {
        if (!stop) {
            problem(e.report());
            summary.fail(number, e.report());
        }
        return stop ? ExportOutcome::Stopped : ExportOutcome::Partial;
    }
    if (stop) {
        summary.fail(number, std::to_string(written) + " of " + std::to_string(count) + " pages written");
        return ExportOutcome::Stopped;
    }
    // Every page written, or kept at the user's word: the document is done.
    if (written + kept == count && count > 0) {
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
    const std::string number = Trim(app_.doc.CurDocNo);
    const std::string name = ExportDirName(app_.doc.CurDocNo);
    if (summary.folder.empty()) summary.folder = destination;
    if (name.empty()) {
        problem(DirErrorText((destination / number).string()));
        summary.fail(number.empty() ? "(no number)" : number, "no file can be named after it");
        return ExportOutcome::Skipped;
    }
    if (auto refused = refuseDirectory(destination, number, true)) return *refused;
    KeepShownDocument keep(app_);
    const std::string docNo = app_.doc.CurDocNo, volume = app_.doc.CurVolume;
    const std::vector<int> selected = beginDocument(pages);
    auto cancelled = [&] {
        summary.cancel();
        summary.skip(number, "cancelled");
        return ExportOutcome::Cancelled;
    };
    // Every page is gathered before the file is written: Cancel leaves nothing behind.
    std::vector<G4Strip> strips;
    int ordinal = 0;
    const std::string& path = app_.doc.CurImagePath;
    for (int page : selected) {
        showPage(page, ++ordinal, static_cast<int>(selected.size()));
        if (app_.ExportCancel) return cancelled();
        const std::string label = number + " page " + std::to_string(page);
        if (!GetPage(app_, path, app_.doc.CurDocNo, Int16(page))) {
            summary.fail(label, "the page could not be read");
            continue;
        }
        try {
            strips.push_back(RecordedG4Strip(app_, path, Int16(page)));
        } catch (const RuntimeError& e) {
            problem(e.report());
            summary.fail(label, e.report());
        }
    }
    app_.DoEvents();
    if (app_.ExportCancel) return cancelled();
    if (strips.empty()) return ExportOutcome::Partial;

    const fs::path target = destination / (name + DocumentFileExtension(format));
    std::vector<std::uint8_t> bytes;
    try {
        bytes = DocumentFileBytes(strips, format);
    } catch (const RuntimeError& e) {
        problem(e.report());
        summary.fail(number, e.report());
        return ExportOutcome::Partial;
    }
    bool dirOk = true, existed = false;
    if (!ensureSpace(destination, bytes.size(), dirOk)) return cancelled();
    if (!dirOk) {
        stopRun(DirErrorText(destination.string()));
        return ExportOutcome::Stopped;
    }
    switch (mayWrite(target, destination, number, existed)) {
        case Write::Yes: break;
        case Write::Kept: leaveLists(docNo, volume); return ExportOutcome::Done;
        case Write::Refused: return ExportOutcome::Partial;
    }
    progress_.lblPath = "Exporting to: " + target.string();
    show();
    // One file a document: synced before it counts as written, whether new or replacing.
    if (!writeOnce(target, bytes, true)) return ExportOutcome::Stopped;
    written_.push_back(target);
    morePages_ += static_cast<int>(strips.size()) - 1;
    summary.pages += static_cast<int>(strips.size());
    if (strips.size() != selected.size()) return ExportOutcome::Partial;
    leaveLists(docNo, volume);
    return ExportOutcome::Done;
}

}  // namespace velk
