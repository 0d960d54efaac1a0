#include "platform/profile_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <optional>
#include <random>
#include <vector>

#include "common/runtime_error.h"
#include "common/vb_text.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

// A configuration file is a few hundred bytes; this is room for a hand-edited one
// with a runaway line, and a bound on what a hostile file can make us allocate.
constexpr std::size_t kMaxProfileBytes = 64u << 20;

struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        int f = fd;
        fd = -1;
        return f;
    }
};

// Reads a whole regular file, checking its size before allocating. 0 on success,
// else an errno (EFBIG when larger than maxBytes).
int ReadAllBytes(const std::string& path, std::size_t maxBytes, std::string& out) {
    Fd f(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (f.fd < 0) return errno;
    struct stat st {};
    if (::fstat(f.fd, &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) return EFBIG;
    out.clear();
    out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(f.fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        if (out.size() + static_cast<std::size_t>(n) > maxBytes) return EFBIG;  // grew while read
        out.append(buf, static_cast<std::size_t>(n));
    }
    return 0;
}

bool StartsWithBytes(const std::string& s, const char* prefix, std::size_t n) {
    return s.size() >= n && s.compare(0, n, prefix, n) == 0;
}

bool HasUtf16Bom(const std::string& s) {
    return StartsWithBytes(s, "\xFF\xFE", 2);
}
bool HasUtf8Bom(const std::string& s) {
    return StartsWithBytes(s, "\xEF\xBB\xBF", 3);
}

TextEncoding Detect(const std::string& bytes) {
    if (HasUtf16Bom(bytes)) return TextEncoding::Utf16LE;
    if (IsValidUtf8(bytes)) return TextEncoding::Utf8;
    return TextEncoding::Cp1252;
}

std::u16string BytesToUtf16(std::string_view b) {
    std::u16string u(b.size() / 2, u'\0');
    for (std::size_t i = 0; i < u.size(); ++i)
        u[i] = static_cast<char16_t>(static_cast<unsigned char>(b[2 * i]) |
                                     (static_cast<unsigned char>(b[2 * i + 1]) << 8));
    return u;
}

std::string Utf16ToBytes(const std::u16string& u) {
    std::string b(u.size() * 2, '\0');
    for (std::size_t i = 0; i < u.size(); ++i) {
        b[2 * i] = static_cast<char>(u[i] & 0xFF);
        b[2 * i + 1] = static_cast<char>(u[i] >> 8);
    }
    return b;
}

std::u16string Utf8ToUtf16(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size())).toStdU16String();
}

// --- Line-preserving edit, on the file's own code units (bytes or UTF-16) ---

template <class C>
bool IsSpaceTabVt(C c) {
    return c == C(' ') || c == C('\t') || c == C('\v');
}
template <class C>
C FoldAscii(C c) {
    return (c >= C('a') && c <= C('z')) ? C(c - C('a') + C('A')) : c;
}

template <class S>
bool EqualFold(const S& a, const S& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

template <class S>
S TrimBlanks(const S& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsSpaceTabVt(s[b])) ++b;
    while (e > b && IsSpaceTabVt(s[e - 1])) --e;
    return s.substr(b, e - b);
}

struct Line {
    std::size_t begin, end, next;  // content [begin, end), terminator [end, next)
};

template <class S>
std::vector<Line> SplitLines(const S& t, std::size_t start) {
    using C = typename S::value_type;
    std::vector<Line> lines;
    std::size_t i = start;
    while (i < t.size()) {
        std::size_t b = i;
        while (i < t.size() && t[i] != C('\r') && t[i] != C('\n')) ++i;
        std::size_t e = i;
        if (i < t.size() && t[i] == C('\r')) ++i;
        if (i < t.size() && t[i] == C('\n') && (i == e || t[i - 1] == C('\r'))) ++i;
        lines.push_back({b, e, i});
    }
    return lines;
}

// The file's own line end (the first one it uses), CRLF for a file without one.
template <class S>
S LineEnd(const S& t, std::size_t start) {
    using C = typename S::value_type;
    for (std::size_t i = start; i < t.size(); ++i) {
        if (t[i] == C('\n')) return S(1, C('\n'));
        if (t[i] == C('\r'))
            return (i + 1 < t.size() && t[i + 1] == C('\n')) ? S{C('\r'), C('\n')} : S(1, C('\r'));
    }
    return S{C('\r'), C('\n')};
}

template <class S>
std::size_t FirstNonBlank(const S& t, const Line& l) {
    std::size_t i = l.begin;
    while (i < l.end && IsSpaceTabVt(t[i])) ++i;
    return i;
}

template <class S>
std::optional<S> SectionName(const S& t, const Line& l) {
    using C = typename S::value_type;
    std::size_t i = FirstNonBlank(t, l);
    if (i >= l.end || t[i] != C('[')) return std::nullopt;
    std::size_t close = i + 1;
    while (close < l.end && t[close] != C(']')) ++close;
    return TrimBlanks(t.substr(i + 1, close - i - 1));
}

// Position of the "=" of a key line, npos for comments and lines without one.
template <class S>
std::size_t KeyEquals(const S& t, const Line& l) {
    using C = typename S::value_type;
    std::size_t i = FirstNonBlank(t, l);
    if (i >= l.end || t[i] == C(';')) return S::npos;
    for (std::size_t k = i; k < l.end; ++k)
        if (t[k] == C('=')) return k;
    return S::npos;
}

// Sets key to *value, or removes the key's line when value is null (the platform's
// write of a null string). Returns false when there was nothing to remove.
template <class S>
bool EditProfile(S& t, std::size_t start, const S& section, const S& key, const S* value) {
    using C = typename S::value_type;
    const S eol = LineEnd(t, start);
    const auto lines = SplitLines(t, start);
    const S newLine = value ? key + S(1, C('=')) + *value + eol : S();

    std::size_t header = lines.size();
    for (std::size_t i = 0; i < lines.size() && header == lines.size(); ++i)
        if (auto name = SectionName(t, lines[i]); name && EqualFold(*name, section)) header = i;

    if (header == lines.size()) {
        if (!value) return false;
        if (t.size() > start && t.back() != C('\n') && t.back() != C('\r')) t += eol;
        t += S(1, C('[')) + section + S(1, C(']')) + eol + newLine;
        return true;
    }
    std::size_t lastKey = header;
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        if (SectionName(t, lines[i])) break;
        std::size_t eq = KeyEquals(t, lines[i]);
        if (eq == S::npos) continue;
        lastKey = i;
        if (!EqualFold(TrimBlanks(t.substr(lines[i].begin, eq - lines[i].begin)), key)) continue;
        if (!value) {
            t.erase(lines[i].begin, lines[i].next - lines[i].begin);
            return true;
        }
        // Keep the key's own spelling and the spacing after its "=".
        std::size_t v = eq + 1;
        while (v < lines[i].end && IsSpaceTabVt(t[v])) ++v;
        if (v == lines[i].end) v = eq + 1;  // the blanks were the whole old value
        S replacement = *value;
        if (lines[i].next == lines[i].end) replacement += eol;
        t.replace(v, lines[i].end - v, replacement);
        return true;
    }
    if (!value) return false;
    const Line& after = lines[lastKey];
    if (after.next == after.end)
        t.insert(after.next, eol + newLine);
    else
        t.insert(after.next, newLine);
    return true;
}

// --- Atomic replacement ---

std::string ResolveLinks(const std::string& path) {
    fs::path p = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
        fs::path target = fs::read_symlink(p, ec);
        if (ec) break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p.string();
}

int WriteAll(int fd, const std::string& bytes, off_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

void SyncDirectory(const std::string& dir) {
    Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.fd >= 0) ::fsync(d.fd);
}

// Where the directory cannot take a temporary file but the file itself may be
// written. Space is reserved first, so a full disk fails before the old text is touched.
int RewriteInPlace(const std::string& target, const std::string& bytes) {
    Fd f(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (f.fd < 0) return errno;
    struct stat st {};
    if (::fstat(f.fd, &st) != 0) return errno;
    if (static_cast<unsigned long long>(st.st_size) < bytes.size()) {
        int rc = ::posix_fallocate(f.fd, 0, off_t(bytes.size()));
        if (rc != 0 && rc != EOPNOTSUPP && rc != EINVAL) return rc;
    }
    if (int rc = WriteAll(f.fd, bytes, 0)) return rc;
    if (::ftruncate(f.fd, off_t(bytes.size())) != 0) return errno;
    if (::fsync(f.fd) != 0) return errno;
    if (::close(f.release()) != 0) return errno;
    return 0;
}

int AtomicWrite(const std::string& nativePath, const std::string& bytes) {
    const std::string target = ResolveLinks(nativePath);
    fs::path tp(target);
    std::string dir = tp.parent_path().string();
    if (dir.empty()) dir = ".";
    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return errno;
    if (exists && !S_ISREG(st.st_mode)) return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    // A read-only file is the administrator's say: a rename would quietly overrule it.
    if (exists && ::access(target.c_str(), W_OK) != 0) return errno;

    std::random_device rd;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = (fs::path(dir) / ("." + tp.filename().string() + ".tmp" + std::to_string(rd() % 1000000u)))
                   .string();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        int err = errno;
        if (exists && (err == EACCES || err == EPERM || err == EROFS)) return RewriteInPlace(target, bytes);
        return err;
    }
    Fd f(fd);
    auto fail = [&](int err) {
        ::unlink(temp.c_str());
        return err;
    };
    if (exists) {
        if (::fchmod(f.fd, st.st_mode & 07777) != 0) return fail(errno);
        if (::fchown(f.fd, st.st_uid, st.st_gid) != 0) {
            // Keeping the owner needs privilege; an ordinary user's own file keeps it anyway.
        }
    }
    if (int rc = WriteAll(f.fd, bytes, 0)) return fail(rc);
    if (::fsync(f.fd) != 0) return fail(errno);
    if (::close(f.release()) != 0) return fail(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno);
    SyncDirectory(dir);
    return 0;
}

bool Fail(int* errnoOut, int err) {
    if (errnoOut) *errnoOut = err;
    return false;
}

bool EditProfileFile(const std::string& section, const std::string& key, const std::string* value,
                     const std::string& nativePath, int* errnoOut) {
    // Only spaces are stripped from the names, as the platform does.
    const std::string sec = Trim(section), k = Trim(key);
    if (k.empty() || nativePath.empty()) return Fail(errnoOut, EINVAL);
    // A line break in a value would write a second line into the file.
    if (value && value->find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return Fail(errnoOut, EINVAL);
    if ((sec + k).find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return Fail(errnoOut, EINVAL);

    std::string bytes;
    int rc = ReadAllBytes(nativePath, kMaxProfileBytes, bytes);
    if (rc == ENOENT) {
        if (!value) return true;  // nothing to remove
        bytes.clear();
    } else if (rc != 0) {
        return Fail(errnoOut, rc);
    }
    std::string out;
    bool changed = false;
    switch (Detect(bytes)) {
        case TextEncoding::Utf16LE: {
            if (bytes.size() % 2 != 0) return Fail(errnoOut, EILSEQ);  // cannot be kept byte for byte
            std::u16string text = BytesToUtf16(std::string_view(bytes).substr(2));
            const std::u16string v = value ? Utf8ToUtf16(*value) : std::u16string();
            changed = EditProfile(text, 0, Utf8ToUtf16(sec), Utf8ToUtf16(k), value ? &v : nullptr);
            out = bytes.substr(0, 2) + Utf16ToBytes(text);
            break;
        }
        case TextEncoding::Utf8:
            out = bytes;
            changed = EditProfile(out, HasUtf8Bom(out) ? 3 : 0, sec, k, value);
            break;
        case TextEncoding::Cp1252: {
            out = bytes;
            const std::string v = value ? Utf8ToCp1252(*value) : std::string();
            changed = EditProfile(out, 0, Utf8ToCp1252(sec), Utf8ToCp1252(k), value ? &v : nullptr);
            break;
        }
    }
    if (!changed) return true;
    rc = AtomicWrite(nativePath, out);
    if (rc != 0) return Fail(errnoOut, rc);
    return true;
}

}  // namespace

bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& nativePath, int* errnoOut) {
    return EditProfileFile(section, key, &value, nativePath, errnoOut);
}

bool DeletePrivateProfileKey(const std::string& section, const std::string& key, const std::string& nativePath,
                             int* errnoOut) {
    return EditProfileFile(section, key, nullptr, nativePath, errnoOut);
}

std::string ReadTextFile(const std::string& nativePath, TextEncoding* encodingOut, std::size_t maxBytes) {
    std::string bytes;
    int rc = ReadAllBytes(nativePath, maxBytes, bytes);
    if (rc == EFBIG) throw RuntimeError(kErrInvalidFileFormat);
    if (rc != 0) throw ErrorFromErrno(rc);
    TextEncoding enc = Detect(bytes);
    if (encodingOut) *encodingOut = enc;
    switch (enc) {
        case TextEncoding::Utf16LE: {
            std::u16string u = BytesToUtf16(std::string_view(bytes).substr(2));
            return QString::fromStdU16String(u).toStdString();
        }
        case TextEncoding::Utf8:
            return HasUtf8Bom(bytes) ? bytes.substr(3) : bytes;
        case TextEncoding::Cp1252:
            return Cp1252ToUtf8(bytes);
    }
    return bytes;
}

bool AtomicWriteFile(const std::string& nativePath, const std::string& bytes, int* errnoOut) {
    int rc = AtomicWrite(nativePath, bytes);
    if (rc != 0) return Fail(errnoOut, rc);
    return true;
}

}  // namespace velk
