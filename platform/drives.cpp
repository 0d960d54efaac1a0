#include "platform/drives.h"

#include <fstream>
#include <system_error>

#include "common/runtime_error.h"
#include "common/vb_text.h"

namespace fs = std::filesystem;

namespace velk {

namespace {

bool SameNoCase(const std::string& a, const std::string& b) { return UCase(a) == UCase(b); }

// Windows drops trailing blanks and periods of every component.
std::string CleanComponent(std::string c) {
    while (!c.empty() && (c.back() == ' ' || c.back() == '.')) c.pop_back();
    return c;
}

bool IsDriveLetterPath(const std::string& p) {
    return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

}  // namespace

std::optional<fs::path> FindNoCase(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    fs::path exact = dir / name;
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    fs::directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec))
        if (SameNoCase(it->path().filename().string(), name)) return it->path();
    return std::nullopt;
}

Drives Drives::load(const std::string& appDir) {
    Drives d;
    auto file = FindNoCase(appDir, "drives.map");
    if (!file) return d;
    std::ifstream in(*file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        auto eq = t.find('=');
        if (eq == std::string::npos) continue;
        std::string key = Trim(t.substr(0, eq)), value = Trim(t.substr(eq + 1));
        if (key.size() < 1 || key.size() > 2 || (key.size() == 2 && key[1] != ':')) continue;
        if (!IsDriveLetterPath(key + (key.size() == 1 ? ":" : ""))) continue;
        d.map(key[0], value);
    }
    return d;
}

void Drives::map(char letter, const std::string& nativeRoot) {
    roots_[UCase(std::string(1, letter))[0]] = nativeRoot;
}

std::optional<std::string> Drives::root(char letter) const {
    auto it = roots_.find(UCase(std::string(1, letter))[0]);
    if (it == roots_.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> Drives::mappedDrives() const {
    std::vector<std::string> out;
    for (const auto& [letter, root] : roots_) out.push_back(std::string(1, letter) + ":");
    return out;
}

std::optional<fs::path> Drives::resolve(const std::string& windowsPath) const {
    std::string p = windowsPath;
    for (char& c : p)
        if (c == '\\') c = '/';
    fs::path base;
    std::string rest;
    if (IsDriveLetterPath(p)) {
        auto r = root(p[0]);
        if (!r || r->empty() || (*r)[0] != '/') return std::nullopt;
        base = *r;
        rest = p.substr(2);
    } else {
        // Native paths must be absolute: nothing resolves against the working directory.
        if (p.empty() || p[0] != '/') return std::nullopt;
        base = "/";
        rest = p.substr(1);
    }
    std::error_code ec;
    if (!fs::is_directory(base, ec)) return std::nullopt;
    if (base == "/" && Trim(rest).empty()) return std::nullopt;
    fs::path cur = base;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t slash = rest.find('/', start);
        std::string comp = rest.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        start = slash == std::string::npos ? rest.size() + 1 : slash + 1;
        comp = CleanComponent(comp);
        if (comp.empty()) continue;
        if (comp == "..") {
            if (cur != base) cur = cur.parent_path();
            continue;
        }
        auto found = FindNoCase(cur, comp);
        cur = found ? *found : cur / comp;
    }
    return cur;
}

fs::path Drives::resolveOrThrow(const std::string& windowsPath) const {
    auto r = resolve(windowsPath);
    if (!r) throw RuntimeError(kErrDiskNotReady);
    return *r;
}

bool Drives::ready(const std::string& windowsPath) const {
    std::string p = windowsPath;
    if (IsDriveLetterPath(p)) p = p.substr(0, 2) + "\\";
    auto r = resolve(p);
    std::error_code ec;
    return r && fs::is_directory(*r, ec);
}

}  // namespace velk
