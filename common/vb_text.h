#pragma once
// Text and number helpers with the semantics the stored data and messages were
// made with: 1-based columns, spaces-only trimming, clamping instead of reading
// past the end of a text. Texts are byte strings (ASCII data, UTF-8 for display).
#include <cstdint>
#include <string>
#include <string_view>

namespace velk {

std::string Trim(std::string_view s);   // spaces (U+0020) only
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string Left(std::string_view s, long long n);   // n <= 0 gives ""
std::string Right(std::string_view s, long long n);
// Mid(s, start[, len]): 1-based; start past the end gives ""; start < 1 counts from 1.
std::string Mid(std::string_view s, long long start, long long len = -1);
std::string UCase(std::string_view s);  // ASCII letters only, one to one
std::string LCase(std::string_view s);
// 1-based position of needle at or after start, 0 when absent; "" needle gives start.
long long InStr(std::string_view hay, std::string_view needle, long long start = 1);
long long InStr(long long start, std::string_view hay, std::string_view needle);
bool StartsWith(std::string_view s, std::string_view prefix);

// Val: spaces, tabs and LF skipped anywhere; sign, digits, one '.', exponent.
double Val(std::string_view s);
// The leading decimal digits as an integer (spaces skipped), saturating at the
// 64-bit range instead of overflowing on a long token.
long long ValInt(std::string_view s);
// True when the whole text (outer blanks allowed) is a decimal number.
bool IsNumeric(std::string_view s);

// Format(n, pattern) for digit patterns of '#', '0', ',' grouping and literal
// separators ("###,###,###", "####/####"): digits fill from the right.
std::string FormatNumber(long long n, std::string_view pattern);
// Format applied to a text: a number is formatted, anything else comes back unchanged.
std::string FormatText(std::string_view s, std::string_view pattern);

// Keeps ASCII letters and digits only, after trimming spaces.
std::string KeepAlnum(std::string_view s);

// Pads or cuts to a fixed width, the way a fixed-length string field holds a text.
std::string FixedWidth(std::string_view s, std::size_t width);

// Windows-1252 <-> UTF-8.
std::string Cp1252ToUtf8(std::string_view s);
std::string Utf8ToCp1252(std::string_view s);  // unmappable characters become '?'
bool IsValidUtf8(std::string_view s);

}  // namespace velk
