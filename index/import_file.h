#pragma once
// The import's reader of a number-list file: one or more numbers a line, separated
// by spaces, each kept when it is a 7-character document number of the collection.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "index/import_table.h"

namespace velk {

inline constexpr std::size_t kImportRowLimit = 32000;  // numbers after which no line is read
// A longer line is no number list; reading it whole would let a file without line
// ends take any amount of memory.
inline constexpr std::size_t kImportLineLimit = 64 * 1024;

// The tokens of a list's text, as people paste it: blanks, tabs, semicolons, line ends
// and commas separate, except a comma between a digit and exactly three digits, a
// thousands separator that stays inside its number ("5,123,456" is one token).
std::vector<std::string_view> ListTokens(std::string_view text);

// Adds the numbers of one line that the reader takes to table, in order: each token
// reduced to its letters and digits, kept when 7 characters long and a patent number
// (a kind letter D, H, T, P, R, B or a digit) in Quorvel, or numeric in Quorvel and
// Tovrin. A token that holds a digit but is not kept is counted as ignored.
void ImportLineNumbers(std::string_view line, const std::string& collectionMode, ImportTable& table);

// How a read ended, for the import's messages.
struct ImportReadStatus {
    // NotText: a NUL byte, or mostly control bytes that no text holds.
    enum Failure { None, Unopenable, LineTooLong, ReadError, Stopped, NotText };
    Failure failure = None;
    // The limit was reached while the text went on: the rest was not read.
    bool truncated = false;
};
// Called every few thousand bytes with the bytes read so far; false stops the read
// (the table is emptied and the read fails with Stopped).
using ImportReadTick = std::function<bool(std::uint64_t bytesRead)>;

// Fills table with the numbers of the text (entry texts only; lines end in CR LF, LF
// or CR), replacing its rows; no line is read once it holds kImportRowLimit numbers.
// False (table empty) when the text cannot be read, is no text, or holds a line
// longer than kImportLineLimit.
bool ReadImportStream(std::istream& in, const std::string& collectionMode, ImportTable& table);
// The same for a file given by its native path; false when it is missing, a
// directory or unreadable.
bool ReadImportFile(const std::string& nativePath, const std::string& collectionMode, ImportTable& table);

// The same with the read's end reported and a tick that can stop it.
bool ReadImportStream(std::istream& in, const std::string& collectionMode, ImportTable& table,
                      ImportReadStatus& status, const ImportReadTick& tick);
bool ReadImportFile(const std::string& nativePath, const std::string& collectionMode, ImportTable& table,
                    ImportReadStatus& status, const ImportReadTick& tick);

}  // namespace velk
