#include "viewer/document_locator.h"

#include <sqlite3.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <system_error>

#include "common/runtime_error.h"
#include "common/vb_text.h"
#include "platform/app.h"
#include "viewer/imaging/page_image.h"
#include "viewer/page_map.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A stored path must stay below the volume directory whatever the path layer makes of it.
void CheckVolumeRelative(const std::string& stored) {
    if (stored.empty()) throw RuntimeError(kErrBadFileName);
    if (stored.front() == '/') throw RuntimeError(kErrBadFileName);  // native absolute
    if (stored.size() >= 2 && IsSeparator(stored[0]) && IsSeparator(stored[1])) throw RuntimeError(kErrBadFileName);
    for (char c : stored)
        if (c == ':' || static_cast<unsigned char>(c) < 0x20) throw RuntimeError(kErrBadFileName);
    std::string part;
    auto check = [&] {
        std::string p = RTrim(part);
        if (p.size() >= 2 && std::all_of(p.begin(), p.end(), [](char c) { return c == '.'; }))
            throw RuntimeError(kErrBadFileName);
        part.clear();
    };
    for (char c : stored) {
        if (IsSeparator(c))
            check();
        else
            part.push_back(c);
    }
    check();
}

bool Within(const fs::path& inner, const fs::path& outer) {
    auto [o, i] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return o == outer.end() && i != inner.end();
}

// Whether a component of file below dir is a symbolic link (which could lead anywhere).
bool LinkBelow(const fs::path& dir, const fs::path& file) {
    fs::path rel = file.lexically_relative(dir), at = dir;
    if (rel.empty() || *rel.begin() == "..") return true;
    for (const auto& part : rel) {
        at /= part;
        std::error_code ec;
        auto st = fs::symlink_status(at, ec);
        if (ec || st.type() == fs::file_type::not_found) return false;  // nothing further to follow
        if (st.type() == fs::file_type::symlink) return true;
    }
    return false;
}

// The usual case, for one status call per component: every component of the stored
// path exists below dir spelt as stored and none is a link. nullopt for anything else
// (a name the path layer would clean, another letter case, a link, a missing file),
// which then takes the path layer's full way.
std::optional<fs::path> ExactBelow(const fs::path& dir, std::string_view stored) {
    fs::path at = dir;
    bool any = false;
    std::size_t start = 0;
    while (start <= stored.size()) {
        std::size_t end = start;
        while (end < stored.size() && !IsSeparator(stored[end])) ++end;
        std::string_view part = stored.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;
        if (part == "." || part.back() == ' ' || part.back() == '.') return std::nullopt;
        at /= part;
        std::error_code ec;
        const fs::file_type type = fs::symlink_status(at, ec).type();
        if (ec || type == fs::file_type::not_found || type == fs::file_type::symlink) return std::nullopt;
        any = true;
    }
    if (!any) return std::nullopt;
    return at;
}

// A volume's open.idx, opened. Its usual name needs no listing; another letter case
// is found as the path layer finds it.
RecordFile OpenIdxOf(const App& app, const fs::path& volumeDir, const std::string& pathLayerName) {
    try {
        return RecordFile(volumeDir / "open.idx", kOpenIdxRecordLength);
    } catch (const RuntimeError& e) {
        if (e.number() != kErrFileNotFound) throw;
    }
    fs::path file = app.config.towerMode() ? FindNoCase(volumeDir, "open.idx").value_or(volumeDir / "open.idx")
                                           : app.drives.resolveOrThrow(pathLayerName);
    return RecordFile(file, kOpenIdxRecordLength);
}

struct VolumeMatch {
    std::string name;  // as the volume root's listing spells it
    fs::path root;     // the volume root, native
};

std::optional<VolumeMatch> MatchVolumeDir(const App& app, const std::string& volume) {
    const std::string exact = Trim(volume);
    if (exact.empty()) return std::nullopt;
    auto root = app.drives.resolve(app.config.CDDrive);
    if (!root) return std::nullopt;
    std::error_code ec;
    // The volume's own spelling wins, and needs no listing.
    const bool plainName = exact != "." && exact != ".." && exact.find_first_of("\\/:") == std::string::npos;
    if (plainName && fs::is_directory(*root / exact, ec)) return VolumeMatch{exact, *root};

    const std::string want = UCase(exact);
    std::string compact = exact;
    std::erase(compact, '_');
    compact = UCase(Trim(compact));
    const bool compactToo = !app.config.isAssignments();
    fs::directory_iterator it(*root, ec);
    if (ec) return std::nullopt;
    std::optional<std::string> best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) return std::nullopt;
        const std::string name = it->path().filename().string();
        const std::string u = UCase(Trim(name));
        if (u != want && !(compactToo && u == compact)) continue;
        std::error_code dirEc;
        if (!fs::is_directory(it->path(), dirEc)) continue;
        // The listing's order is the file system's: take the first in byte order, so
        // the choice is the same on every run.
        if (!best || name < *best) best = name;
    }
    if (!best) return std::nullopt;
    return VolumeMatch{*best, *root};
}

// The volume a document lies on: its root in the program's path form and its native directory.
struct VolumeDirs {
    std::string root;
    fs::path dir;
};

VolumeDirs LocateVolume(const App& app, const std::string& volume) {
    if (!app.config.towerMode()) return {app.config.CDDrive, app.drives.resolveOrThrow(app.config.CDDrive)};
    auto match = MatchVolumeDir(app, volume);
    if (!match) throw RuntimeError(kErrPathNotFound);
    return {JoinVolumePath(app.config.CDDrive, match->name), match->root / match->name};
}

// The page count of a trademark's open.idx record: digits only, up to 999; 0 or blank
// means not known, and then the image file's own count stands.
Int16 StoredPageCount(const std::string& pages, const fs::path& image) {
    std::string t = Trim(pages);
    if (!std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw RuntimeError(kErrTypeMismatch);
    const int v = t.empty() ? 0 : std::stoi(t);
    return Int16(v > 0 ? v : PageImage::pageCount(image));
}

// "file:" URI of a native path, so SQLite takes the open flags that a plain name cannot carry.
std::string FileUri(const fs::path& p) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : p.string()) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '.' ||
            c == '_' || c == '-' || c == '~') {
            uri.push_back(static_cast<char>(c));
        } else {
            uri.push_back('%');
            uri.push_back(hex[c >> 4]);
            uri.push_back(hex[c & 15]);
        }
    }
    // A CD or a read-only share can hold no journal, and nothing here writes.
    return uri + "?mode=ro&immutable=1";
}

struct AssignmentRow {
    std::string path, fileName;
};

std::optional<AssignmentRow> SeekAssignment(const fs::path& db, const std::string& reel, const std::string& frame) {
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(FileUri(db).c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> conn(raw, sqlite3_close);
    if (rc != SQLITE_OK) throw RuntimeError(kErrFileNotFound);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(raw, "SELECT Path, FileName FROM Assignments WHERE Reel = ?1 AND Frame = ?2 LIMIT 1", -1,
                           &st, nullptr) != SQLITE_OK)
        throw RuntimeError(kErrInvalidFileFormat);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(st, sqlite3_finalize);
    sqlite3_bind_text(st, 1, reel.data(), static_cast<int>(reel.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, frame.data(), static_cast<int>(frame.size()), SQLITE_TRANSIENT);
    rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) return std::nullopt;
    if (rc != SQLITE_ROW) throw RuntimeError(kErrDeviceIO);
    auto text = [&](int col) {
        const unsigned char* t = sqlite3_column_text(st, col);
        return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(st, col)))
                 : std::string();
    };
    return AssignmentRow{text(0), text(1)};
}

bool LocateAssignment(App& app, const std::string& docNo, const std::string& volume) {
    auto db = app.drives.resolve(kAssignmentDatabase);
    if (!db) throw RuntimeError(kErrDiskNotReady);
    const std::string number = Trim(docNo);
    auto row = SeekAssignment(*db, Left(number, 4), Mid(number, 5));
    if (!row) return false;
    // The file name is one component of the directory the row names.
    if (row->fileName.empty() || std::any_of(row->fileName.begin(), row->fileName.end(), IsSeparator))
        throw RuntimeError(kErrBadFileName);
    const VolumeDirs v = LocateVolume(app, volume);
    fs::path image = FileOnVolume(app, v.dir, Trim(row->path) + "\\" + row->fileName);
    app.doc.VolumeDir = v.dir.string();
    app.doc.CurImagePath = image.string();
    return true;
}

}  // namespace

OpenIdxRecord ParseOpenIdxRecord(std::string_view bytes) {
    std::string rec = FixedWidth(bytes, kOpenIdxRecordLength);
    return {rec.substr(0, 8), rec.substr(8, 37), rec.substr(45, 3)};
}

std::string JoinVolumePath(const std::string& root, const std::string& name) {
    std::string r = root;
    while (r.size() > 1 && IsSeparator(r.back())) r.pop_back();
    std::size_t i = 0;
    while (i < name.size() && IsSeparator(name[i])) ++i;
    return r + "\\" + name.substr(i);
}

std::optional<std::string> FindVolumeDir(const App& app, const std::string& volume) {
    auto match = MatchVolumeDir(app, volume);
    if (!match) return std::nullopt;
    return match->name;
}

bool CDLoaded(const App& app, const std::string& volume) { return MatchVolumeDir(app, volume).has_value(); }

std::string VolumeRoot(const App& app, const std::string& volume) {
    return app.config.towerMode() ? LocateVolume(app, volume).root : app.config.CDDrive;
}

fs::path FileOnVolume(const App& app, const fs::path& volumeDir, const std::string& stored) {
    CheckVolumeRelative(stored);
    std::size_t i = 0;
    while (i < stored.size() && IsSeparator(stored[i])) ++i;
    if (i == stored.size()) throw RuntimeError(kErrBadFileName);
    if (auto exact = ExactBelow(volumeDir, stored)) return *exact;
    auto file = app.drives.resolve(JoinVolumePath(volumeDir.string(), stored));
    if (!file) throw RuntimeError(kErrDiskNotReady);
    // Without a link below the volume directory the path layer cannot leave it; with
    // one, only where the link really leads counts.
    if (LinkBelow(volumeDir, *file)) {
        std::error_code ec1, ec2;
        fs::path outer = fs::weakly_canonical(volumeDir, ec1), inner = fs::weakly_canonical(*file, ec2);
        if (ec1 || ec2 || !Within(inner, outer)) throw RuntimeError(kErrBadFileName);
    }
    return *file;
}

RecordHit SearchOpenIdx(RecordFile& openIdx, const std::string& docNo, bool byValue) {
    const std::string key = Trim(docNo);
    const long long value = ValInt(key);
    return SearchRecords(openIdx, 1, openIdx.count(), [&](std::string_view bytes) {
        const std::string_view number = bytes.substr(0, 8);
        if (!byValue) return CompareCodes(Trim(number), key);
        const long long v = ValInt(number);
        return v < value ? -1 : (v > value ? 1 : 0);
    });
}

bool GetPath_OpenIdx(App& app, const std::string& docNo, const std::string& volume) {
    try {
        if (app.config.isAssignments()) return LocateAssignment(app, docNo, volume);
        const VolumeDirs v = LocateVolume(app, volume);
        if (app.config.towerMode()) app.config.OpenIdxPath = JoinVolumePath(v.root, "open.idx");
        // Single drive: the configured name, which is the volume root's open.idx unless
        // someone set it otherwise.
        const bool usual = app.config.towerMode() || app.config.OpenIdxPath == JoinVolumePath(v.root, "open.idx");
        RecordFile openIdx = usual ? OpenIdxOf(app, v.dir, app.config.OpenIdxPath)
                                   : RecordFile(app.drives.resolveOrThrow(app.config.OpenIdxPath), kOpenIdxRecordLength);
        RecordHit hit = SearchOpenIdx(openIdx, docNo, app.config.isTrademarks());
        if (!hit.found) return false;
        OpenIdxRecord rec = ParseOpenIdxRecord(hit.bytes);
        fs::path image = FileOnVolume(app, v.dir, Trim(rec.ImagePath));
        Int16 pages = app.config.isTrademarks() ? StoredPageCount(rec.Pages, image) : app.doc.CurPageCount;

        app.doc.CurImagePath = image.string();
        app.doc.VolumeDir = v.dir.string();
        app.doc.LastOpenIdx = rec;
        app.doc.CurPageCount = pages;
        if (app.config.isPatents()) ParsePage(app);
        return true;
    } catch (const std::exception&) {
        app.msg(kLocateErrorText);
        return false;
    }
}

std::string InsertVolumeText(const App& app, const std::string& volume) {
    return "Please insert CDROM Volume " + volume + ".  Current CDRom Drive is " + app.config.CDDrive;
}

std::string BatchInsertVolumeText(const App& app, const std::string& volume) {
    return "Please insert CDRom Volume " + volume + ".  Current CDRom Drive is " + app.config.CDDrive;
}

BatchVolume AskForBatchVolume(App& app) {
    while (!CDLoaded(app, app.doc.CurVolume)) {
        const Answer a = app.msg(BatchInsertVolumeText(app, app.doc.CurVolume), Buttons::AbortRetryIgnore);
        if (a == Answer::Abort) return BatchVolume::Aborted;
        if (a == Answer::Ignore) return BatchVolume::Ignored;
    }
    return BatchVolume::Loaded;
}

bool InsertVolumePrompt(App& app) {
    while (!CDLoaded(app, app.doc.CurVolume)) {
        if (!app.ports.prompt) return false;
        app.MessageResult = app.ports.prompt->ask(InsertVolumeText(app, app.doc.CurVolume), app.MessageResult);
        if (app.MessageResult == 3) return false;
    }
    return true;
}

}  // namespace velk
