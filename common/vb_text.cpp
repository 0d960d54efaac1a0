#include "common/vb_text.h"

#include <cmath>
#include <limits>

#include "common/int16.h"

namespace velk {

std::string LTrim(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return std::string(s.substr(i));
}

std::string RTrim(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) { return LTrim(RTrim(s)); }

std::string Left(std::string_view s, long long n) {
    if (n <= 0) return {};
    return std::string(s.substr(0, static_cast<std::size_t>(std::min<long long>(n, s.size()))));
}

std::string Right(std::string_view s, long long n) {
    if (n <= 0) return {};
    auto k = static_cast<std::size_t>(std::min<long long>(n, s.size()));
    return std::string(s.substr(s.size() - k));
}

std::string Mid(std::string_view s, long long start, long long len) {
    if (start < 1) start = 1;
    if (static_cast<unsigned long long>(start) > s.size()) return {};
    std::string_view rest = s.substr(static_cast<std::size_t>(start - 1));
    if (len < 0 || static_cast<unsigned long long>(len) >= rest.size()) return std::string(rest);
    return std::string(rest.substr(0, static_cast<std::size_t>(len)));
}

std::string UCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string LCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

long long InStr(std::string_view hay, std::string_view needle, long long start) {
    if (start < 1) start = 1;
    if (hay.empty()) return 0;
    if (static_cast<unsigned long long>(start) > hay.size()) return 0;
    if (needle.empty()) return start;
    auto pos = hay.find(needle, static_cast<std::size_t>(start - 1));
    return pos == std::string_view::npos ? 0 : static_cast<long long>(pos) + 1;
}

long long InStr(long long start, std::string_view hay, std::string_view needle) {
    return InStr(hay, needle, start);
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

namespace {
bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

double Val(std::string_view s) {
    std::string t;
    t.reserve(s.size());
    for (char c : s)
        if (!IsSkipped(c)) t.push_back(c);
    std::size_t i = 0;
    bool neg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
    double v = 0;
    bool any = false;
    while (i < t.size() && IsDigit(t[i])) {
        v = v * 10 + (t[i++] - '0');
        any = true;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < t.size() && IsDigit(t[i])) {
            v += (t[i++] - '0') * scale;
            scale /= 10;
            any = true;
        }
    }
    if (any && i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        std::size_t j = i + 1;
        bool eneg = false;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) eneg = t[j++] == '-';
        if (j < t.size() && IsDigit(t[j])) {
            int e = 0;
            while (j < t.size() && IsDigit(t[j])) {
                if (e < 10000) e = e * 10 + (t[j] - '0');
                ++j;
            }
            v *= std::pow(10.0, eneg ? -e : e);
        }
    }
    return neg ? -v : v;
}

long long ValInt(std::string_view s) {
    constexpr long long kMax = std::numeric_limits<long long>::max();
    std::size_t i = 0;
    while (i < s.size() && IsSkipped(s[i])) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (IsSkipped(s[i])) continue;
        if (!IsDigit(s[i])) break;
        int d = s[i] - '0';
        v = (v > (kMax - d) / 10) ? kMax : v * 10 + d;
    }
    return neg ? -v : v;
}

bool IsNumeric(std::string_view s) {
    std::string t = Trim(s);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digits = false, dot = false;
    for (; i < t.size(); ++i) {
        if (IsDigit(t[i])) digits = true;
        else if (t[i] == '.' && !dot) dot = true;
        else return false;
    }
    return digits;
}

std::string FormatNumber(long long n, std::string_view pattern) {
    bool neg = n < 0;
    unsigned long long u = neg ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    std::string digits = u == 0 ? std::string() : std::to_string(u);
    // Walk the pattern from the right, filling placeholders with digits.
    std::string out;
    std::size_t di = digits.size();
    int placeholders = 0;
    for (char c : pattern)
        if (c == '#' || c == '0') ++placeholders;
    int seen = 0;
    for (std::size_t pi = pattern.size(); pi-- > 0;) {
        char c = pattern[pi];
        if (c == '#' || c == '0') {
            ++seen;
            if (di > 0) {
                out.push_back(digits[--di]);
                if (seen == placeholders)
                    while (di > 0) out.push_back(digits[--di]);  // surplus digits always printed
            } else if (c == '0') {
                out.push_back('0');
            } else {
                out.push_back('\0');  // marks an empty placeholder
            }
        } else if (c == ',') {
            // Grouping: printed only with a digit on its left.
            bool digitLeft = di > 0;
            if (!digitLeft)
                for (std::size_t k = pi; k-- > 0;)
                    if (pattern[k] == '0') digitLeft = true;
            if (digitLeft) out.push_back(',');
        } else {
            out.push_back(c);
        }
    }
    std::string r;
    for (auto it = out.rbegin(); it != out.rend(); ++it)
        if (*it != '\0') r.push_back(*it);
    return neg && !digits.empty() ? "-" + r : r;
}

std::string FormatText(std::string_view s, std::string_view pattern) {
    if (!IsNumeric(s)) return std::string(s);
    return FormatNumber(static_cast<long long>(std::llround(Val(s))), pattern);
}

std::string KeepAlnum(std::string_view s) {
    std::string t = Trim(s), r;
    r.reserve(t.size());
    for (char c : t)
        if (IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) r.push_back(c);
    return r;
}

std::string FixedWidth(std::string_view s, std::size_t width) {
    std::string r(s.substr(0, std::min(width, s.size())));
    r.resize(width, ' ');
    return r;
}

Int16 CInt(double v) {
    if (!std::isfinite(v)) throw RuntimeError(kErrOverflow);
    double r = std::nearbyint(v);  // default rounding mode: halves to even
    if (r < -32768.0 || r > 32767.0) throw RuntimeError(kErrOverflow);
    return Int16(static_cast<int>(r));
}

namespace {
// Windows-1252 0x80..0x9F; 0 marks the five unassigned codes.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at i; returns false on an invalid one.
bool NextUtf8(std::string_view s, std::size_t& i, char32_t& cp) {
    auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < len; ++k) {
        auto c = static_cast<unsigned char>(s[i + k]);
        if ((c >> 6) != 2) return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
    return true;
}
}  // namespace

std::string Cp1252ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char ch : s) {
        auto b = static_cast<unsigned char>(ch);
        char32_t cp = b;
        if (b >= 0x80 && b < 0xA0) cp = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : b;
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        if (!NextUtf8(s, i, cp)) {
            out.push_back('?');
            ++i;
            continue;
        }
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k)
            if (kCp1252High[k] == cp) mapped = static_cast<char>(0x80 + k);
        out.push_back(mapped);
    }
    return out;
}

bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        if (!NextUtf8(s, i, cp)) return false;
    }
    return true;
}

}  // namespace velk
