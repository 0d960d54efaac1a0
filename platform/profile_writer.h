#pragma once
// WritePrivateProfileString with the platform's in-place semantics: every byte
// the write does not touch is kept; section and key are matched case-insensitively.
#include <string>

namespace velk {

enum class TextEncoding { Cp1252, Utf8, Utf16LE };

// Writes key=value into section of the file at nativePath (created when absent).
// The write is atomic: a crash or a full disk leaves the old file intact.
// Returns false on any failure; errnoOut receives the cause when given.
bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& nativePath, int* errnoOut = nullptr);

// Removes the first line of key in section, as a write of a null string does; the
// file is left untouched when the key is not there. Returns false on any failure.
bool DeletePrivateProfileKey(const std::string& section, const std::string& key, const std::string& nativePath,
                             int* errnoOut = nullptr);

// Reads a whole text file, detecting UTF-16LE (BOM), UTF-8 or Windows-1252; the
// result is UTF-8. Throws RuntimeError (53 when missing).
std::string ReadTextFile(const std::string& nativePath, TextEncoding* encodingOut = nullptr,
                         std::size_t maxBytes = 16u << 20);

// Replaces a file atomically with bytes (temporary beside it, fsync, rename,
// fsync of the directory; symlinks resolved, mode kept; in-place rewrite when the
// directory is read-only). Returns false on failure with errnoOut set.
bool AtomicWriteFile(const std::string& nativePath, const std::string& bytes, int* errnoOut = nullptr);

}  // namespace velk
