#pragma once
// The files of an installation around the volumes: configuration file, drives.map,
// coverage file, read-me, arrow icons, the assignment database.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tools/mksample/mksample.h"

namespace velk::mksample {

// Writes bytes to a new file; throws std::runtime_error naming the path and the cause.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
void MakeDirs(const std::filesystem::path& dir);

struct ConfigValues {
    std::string installationType;  // "OPEN", "RESTRICTED", other
    std::string importPath, exportPath;
    std::string cdDrive;  // "E:\"
    bool tower = false;
    std::string towerRoot;                         // native, in the file's code page
    std::string pageType;                          // "LETTER" or "A4"
    std::vector<char> exportDrives, importDrives;  // letters offered ("A"); the others get "N"
};

// The configuration file: section [DATA], every key in reading order, CR LF.
// Throws std::invalid_argument when a value would make its line read as another
// key (the reader takes the first key name that occurs anywhere in a line).
std::string ConfigText(const ConfigValues& v);
// The key a configuration line is read as, by the reader's substring rule; "" for none.
std::string KeyOfLine(const std::string& line);

// "E: = /abs/path" lines.
std::string DrivesMapText(const std::map<char, std::filesystem::path>& drives);

// Coverage file: REG_NO and REG_DATE lines.
std::string CoverageText(const std::string& number, const std::string& date);

// The arrow icons of the find dialog, list window and batch window (e_ and d_ looks).
std::vector<std::string> IconNames();
void WriteIcons(const std::filesystem::path& dir);

struct AssignmentRow {
    std::string reel, frame, path, fileName;
};
// SQLite file with table Assignments(Reel, Frame, Path, FileName) and index ByReelFrame.
void WriteAssignmentDb(const std::filesystem::path& file, const std::vector<AssignmentRow>& rows);

}  // namespace velk::mksample
