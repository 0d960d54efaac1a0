#include "platform/drives.h"

#include <QString>
#include <algorithm>
#include <fstream>
#include <system_error>

#include "common/runtime_error.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

bool ExistsNoFollow(const fs::path& p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

bool IsDirectory(const std::string& p) {
    std::error_code ec;
    return !p.empty() && fs::is_directory(p, ec);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() == b.size() &&
        std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); }))
        return true;
    // Non-ASCII names (volume labels, user directories) fold the Unicode way.
    return QString::fromUtf8(a.data(), qsizetype(a.size()))
               .compare(QString::fromUtf8(b.data(), qsizetype(b.size())), Qt::CaseInsensitive) == 0;
}

// "E: = /media/cdrom" (the colon may be left out); nullopt for anything else.
std::optional<std::pair<char, std::string>> ParseMapLine(std::string_view raw) {
    std::string line = TrimBlanks(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') return std::nullopt;
    if (!IsLetter(line[0])) return std::nullopt;
    std::size_t i = 1;
    if (i < line.size() && line[i] == ':') ++i;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size() || line[i] != '=') return std::nullopt;
    std::string root = TrimBlanks(std::string_view(line).substr(i + 1));
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    if (root.empty() || root.front() != '/' || root == "/") return std::nullopt;
    return std::make_pair(Upper(line[0]), root);
}

// Splits the part of a Windows path below its root into components, the way the
// platform cleans them: trailing blanks and periods go, "." stays put, ".." climbs
// but never above the root.
std::vector<std::string> Components(std::string_view rest) {
    std::vector<std::string> parts;
    std::string cur;
    auto flush = [&] {
        if (cur == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (cur != ".") {
            while (!cur.empty() && (cur.back() == ' ' || cur.back() == '.')) cur.pop_back();
            if (!cur.empty()) parts.push_back(cur);
        }
        cur.clear();
    };
    for (char c : rest) {
        if (c == '\\' || c == '/')
            flush();
        else
            cur.push_back(c);
    }
    flush();
    return parts;
}

// Walks the components below an existing root, matching letter case loosely
// where the exact spelling is missing; the first missing component and all below
// it keep the spelling given (the path that would be created).
fs::path Walk(fs::path dir, const std::vector<std::string>& parts) {
    bool existing = true;
    for (const auto& part : parts) {
        if (existing) {
            if (auto found = FindNoCase(dir, part)) {
                dir = *found;
                continue;
            }
            existing = false;
        }
        dir /= part;
    }
    return dir;
}

}  // namespace

std::optional<fs::path> FindNoCase(const fs::path& dir, const std::string& name) {
    if (name.empty()) return std::nullopt;
    fs::path exact = dir / name;
    if (ExistsNoFollow(exact)) return exact;
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) return std::nullopt;
    std::optional<std::string> best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::string candidate = it->path().filename().string();
        // Several spellings of one name: the first in byte order, so the choice is stable.
        if (EqualNoCase(candidate, name) && (!best || candidate < *best)) best = candidate;
    }
    if (!best) return std::nullopt;
    return dir / *best;
}

Drives Drives::load(const std::string& appDir) {
    Drives drives;
    auto file = FindNoCase(appDir, "drives.map");
    if (!file) return drives;
    std::ifstream in(*file, std::ios::binary);
    std::string line;
    // A line longer than any path could be is junk, not a mapping.
    while (std::getline(in, line)) {
        if (line.size() > 4096) continue;
        if (auto entry = ParseMapLine(line)) drives.roots_[entry->first] = entry->second;
    }
    return drives;
}

void Drives::map(char letter, const std::string& nativeRoot) {
    if (!IsLetter(letter)) return;
    roots_[Upper(letter)] = nativeRoot;
}

std::optional<std::string> Drives::root(char letter) const {
    auto it = roots_.find(Upper(letter));
    if (it == roots_.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> Drives::mappedDrives() const {
    std::vector<std::string> out;
    for (const auto& [letter, root] : roots_) out.push_back(std::string(1, letter) + ":");
    return out;
}

std::optional<fs::path> Drives::resolve(const std::string& windowsPath) const {
    if (windowsPath.size() >= 2 && IsLetter(windowsPath[0]) && windowsPath[1] == ':') {
        auto r = root(windowsPath[0]);
        if (!r || r->empty() || r->front() != '/' || !IsDirectory(*r)) return std::nullopt;
        return Walk(fs::path(*r), Components(std::string_view(windowsPath).substr(2)));
    }
    // Native: the program builds paths as root & "\rest", so the text before the
    // first backslash is the volume root. An empty root, or "/" alone, would put
    // the rest at the top of the file system: that is a drive that is not ready.
    if (windowsPath.empty() || windowsPath.front() != '/') return std::nullopt;
    std::size_t bs = windowsPath.find('\\');
    std::string nativeRoot = windowsPath.substr(0, bs);
    while (nativeRoot.size() > 1 && nativeRoot.back() == '/') nativeRoot.pop_back();
    if (bs != std::string::npos) {
        if (nativeRoot == "/" || !IsDirectory(nativeRoot)) return std::nullopt;
        return Walk(fs::path(nativeRoot), Components(std::string_view(windowsPath).substr(bs)));
    }
    std::error_code ec;
    if (fs::exists(windowsPath, ec)) return fs::path(windowsPath);
    return Walk(fs::path("/"), Components(windowsPath));
}

fs::path Drives::resolveOrThrow(const std::string& windowsPath) const {
    auto p = resolve(windowsPath);
    if (!p) throw RuntimeError(kErrDiskNotReady);
    return *p;
}

bool Drives::ready(const std::string& windowsPath) const {
    if (windowsPath.size() >= 2 && IsLetter(windowsPath[0]) && windowsPath[1] == ':') {
        auto r = root(windowsPath[0]);
        return r && !r->empty() && r->front() == '/' && IsDirectory(*r);
    }
    std::string nativeRoot = windowsPath.substr(0, windowsPath.find('\\'));
    while (nativeRoot.size() > 1 && nativeRoot.back() == '/') nativeRoot.pop_back();
    return !nativeRoot.empty() && nativeRoot.front() == '/' && nativeRoot != "/" && IsDirectory(nativeRoot);
}

bool InsideDirectory(const std::filesystem::path& file, const std::filesystem::path& dir) {
    std::error_code ec;
    const std::filesystem::path f =
        std::filesystem::weakly_canonical(std::filesystem::absolute(file, ec), ec);
    const std::filesystem::path d = std::filesystem::weakly_canonical(std::filesystem::absolute(dir, ec), ec);
    if (ec) return false;
    auto fi = f.begin();
    for (auto di = d.begin(); di != d.end(); ++di, ++fi) {
        if (di->empty()) continue;  // the trailing separator of "dir/"
        if (fi == f.end() || *fi != *di) return false;
    }
    return fi != f.end();
}

}  // namespace velk
