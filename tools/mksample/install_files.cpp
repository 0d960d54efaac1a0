#include "tools/mksample/install_files.h"

#include <sqlite3.h>

#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace velk::mksample {
namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot create " + path.string() + ": " + std::strerror(errno));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int err = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) throw std::runtime_error("cannot write " + path.string() + ": " + std::strerror(err));
}

void MakeDirs(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) throw std::runtime_error("cannot create directory " + dir.string() + ": " + ec.message());
}

namespace {

std::vector<std::string> ConfigKeys() {
    std::vector<std::string> keys = {
        "INSTALLATION_TYPE", "IMPORT_PATH", "EXPORT_PATH",     "PRINTER_PASSWORD", "IMPORT_VALUES",
        "CD_DRIVE",          "SMART_CD_ON", "SMART_CD_TOVRIN", "SMART_CD_QUORVEL", "SMART_CD_ASSIGN",
        "PAGE_TYPE",         "READ_ME",     "CD_PASSWORD"};
    for (char c = 'A'; c <= 'Z'; ++c) keys.push_back(std::string(1, c) + "_DRIVE");
    for (char c = 'A'; c <= 'Z'; ++c) keys.push_back(std::string(1, c) + "2_DRIVE");
    return keys;
}

}  // namespace

std::string KeyOfLine(const std::string& line) {
    for (const std::string& key : ConfigKeys()) {
        // The reader takes any line holding the word VALUES as IMPORT_VALUES.
        const std::string probe = key == "IMPORT_VALUES" ? "VALUES" : key;
        if (line.find(probe) != std::string::npos) return key;
    }
    return {};
}

std::string ConfigText(const ConfigValues& v) {
    auto offered = [](const std::vector<char>& letters, char c) {
        return std::find(letters.begin(), letters.end(), c) != letters.end() ? "A" : "N";
    };
    std::vector<std::pair<std::string, std::string>> lines = {
        {"INSTALLATION_TYPE", v.installationType},
        {"IMPORT_PATH", v.importPath},
        {"EXPORT_PATH", v.exportPath},
        {"PRINTER_PASSWORD", "printer"},
        {"IMPORT_VALUES", "TXT"},
        {"CD_DRIVE", v.cdDrive},
        {"SMART_CD_ON", v.tower ? "Y" : "N"},
        {"SMART_CD_TOVRIN", v.towerRoot},
        {"SMART_CD_QUORVEL", v.towerRoot},
        {"SMART_CD_ASSIGN", v.towerRoot},
        {"PAGE_TYPE", v.pageType},
        {"READ_ME", "YES"},
        {"CD_PASSWORD", "cdrom"},
    };
    for (char c = 'A'; c <= 'Z'; ++c)
        lines.emplace_back(std::string(1, c) + "_DRIVE", offered(v.exportDrives, c));
    for (char c = 'A'; c <= 'Z'; ++c)
        lines.emplace_back(std::string(1, c) + "2_DRIVE", offered(v.importDrives, c));
    std::string out = "[DATA]\r\n";
    for (const auto& [key, value] : lines) {
        std::string line = key + "=" + value;
        if (KeyOfLine(line) != key)
            throw std::invalid_argument("the value of " + key + " (" + value + ") holds the name " +
                                        KeyOfLine(line) +
                                        ", so the line would be read as that key; choose another directory");
        out += line + "\r\n";
    }
    return out;
}

std::string DrivesMapText(const std::map<char, fs::path>& drives) {
    std::string out;
    for (const auto& [letter, path] : drives) out += std::string(1, letter) + ": = " + path.string() + "\n";
    return out;
}

std::string CoverageText(const std::string& number, const std::string& date) {
    return "[DATA]\r\nREG_NO=" + number + "\r\nREG_DATE=" + date + "\r\n";
}

std::vector<std::string> IconNames() {
    std::vector<std::string> out;
    for (const char* look : {"e_", "d_"})
        for (const char* what : {"left", "right", "up", "down", "u100", "d100"})
            out.push_back(std::string(look) + what + ".ico");
    return out;
}

namespace {

// A 32 x 32 arrow; u100 and d100 are double arrows (jump a hundred lines).
QImage ArrowIcon(const std::string& what, bool enabled) {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPolygonF up({{16, 3}, {29, 16}, {21, 16}, {21, 29}, {11, 29}, {11, 16}, {3, 16}});
    const QPolygonF chevron({{16, 2}, {29, 14}, {22, 14}, {16, 8.5}, {10, 14}, {3, 14}});
    int angle = what == "right" ? 90 : what == "down" || what == "d100" ? 180 : what == "left" ? 270 : 0;
    p.translate(16, 16);
    p.rotate(angle);
    p.translate(-16, -16);
    auto draw = [&](const QColor& c, QPointF shift) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        if (what == "u100" || what == "d100") {
            p.drawPolygon(chevron.translated(shift));
            p.drawPolygon(chevron.translated(shift + QPointF(0, 12)));
            p.drawRect(QRectF(4, 27, 24, 3).translated(shift));
        } else {
            p.drawPolygon(up.translated(shift));
        }
    };
    if (enabled) {
        draw(QColor(0, 0, 128), {0, 0});
    } else {  // the etched look of a disabled picture
        draw(Qt::white, {1, 1});
        draw(QColor(128, 128, 128), {0, 0});
    }
    return img;
}

}  // namespace

void WriteIcons(const fs::path& dir) {
    MakeDirs(dir);
    for (const std::string& name : IconNames()) {
        const bool enabled = name[0] == 'e';
        const std::string what = name.substr(2, name.size() - 6);
        QImageWriter w(QString::fromStdString((dir / name).string()), "ico");
        if (!w.write(ArrowIcon(what, enabled)))
            throw std::runtime_error("cannot write icon " + (dir / name).string() + ": " +
                                     w.errorString().toStdString());
    }
}

void WriteAssignmentDb(const fs::path& file, const std::vector<AssignmentRow>& rows) {
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    auto fail = [&](const std::string& what) {
        throw std::runtime_error(what + " " + file.string() + ": " +
                                 (raw ? sqlite3_errmsg(raw) : "out of memory"));
    };
    if (rc != SQLITE_OK) fail("cannot create");
    const char* schema =
        "CREATE TABLE Assignments(Reel TEXT, Frame TEXT, Path TEXT, FileName TEXT);"
        "CREATE INDEX ByReelFrame ON Assignments(Reel, Frame);"
        "BEGIN;";
    if (sqlite3_exec(raw, schema, nullptr, nullptr, nullptr) != SQLITE_OK) fail("cannot set up");
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(raw, "INSERT INTO Assignments VALUES(?,?,?,?)", -1, &st, nullptr) != SQLITE_OK)
        fail("cannot prepare");
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(st, sqlite3_finalize);
    for (const AssignmentRow& r : rows) {
        const std::string* values[] = {&r.reel, &r.frame, &r.path, &r.fileName};
        for (int i = 0; i < 4; ++i)
            sqlite3_bind_text(st, i + 1, values[i]->c_str(), static_cast<int>(values[i]->size()),
                              SQLITE_TRANSIENT);
        if (sqlite3_step(st) != SQLITE_DONE) fail("cannot insert into");
        sqlite3_reset(st);
    }
    stmt.reset();
    if (sqlite3_exec(raw, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) fail("cannot commit");
}

}  // namespace velk::mksample
