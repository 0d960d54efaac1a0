#pragma once
// The configuration file: the collection from the program's name, ReadIni at
// start-up, and the writers that store a changed setting back at once.
#include <array>
#include <optional>
#include <string>

#include "platform/app.h"

namespace velk {

// "Tovrin", "Quorvel" or "ASSIGN" from the program's own file name (directory and
// extension dropped, letter case folded); "" when it is none of the four names.
std::string CollectionFromProgramName(const std::string& argv0);

// The directory of the path the program was started by, without a trailing slash.
// A link named velkwp keeps its own directory (it is not followed), so one build
// serves several installations. A bare name is looked up in pathEnv like a shell does.
std::string AppDirFromArgv0(const std::string& argv0, const char* pathEnv);

// Native path of the configuration file. The read form and the written form name
// one file: whichever spelling exists in AppDir; a new file takes the read form.
std::string ConfigFilePath(const Config& config);

// The reader's keys, in the order it tries them on each line.
inline constexpr int kConfigKeyCount = 65;
const std::array<std::string, kConfigKeyCount>& ConfigKeys();
int ConfigKeyIndex(const std::string& key);  // -1 when not a key

// What the reader takes from a configuration text (UTF-8): for each key the value
// of the last line that belongs to it, nullopt when no line did.
struct ConfigScan {
    std::array<std::optional<std::string>, kConfigKeyCount> values;
    const std::optional<std::string>& operator[](const std::string& key) const;
};
ConfigScan ScanConfigText(const std::string& text);

// Fills app.config from the file; true when all seven required keys were found.
// *menuToCheck receives the page-size menu item to check ("mnua4", "mnuletter",
// "mnulegal"), or "" when the paper size is none of them.
bool ReadIni(App& app, std::string* menuToCheck = nullptr);

// Each stores one key in section "DATA" and reads it back by the reader's rules; a
// write the reader would not see counts as failed and shows the failure message.
// One key of the configuration file written, then read back: true when the reader sees
// the value. RemoveConfigKey takes the key's line out (true when the reader no longer
// sees it), so undoing a change to a key the file lacked leaves the file as it was.
bool StoreConfigKey(const Config& config, const std::string& key, const std::string& value);
bool RemoveConfigKey(const Config& config, const std::string& key);

bool WritePageType(App& app, const std::string& value);
// CD_DRIVE; in tower mode (the Jukebox item checked) also the tower keys.
bool WriteCdDrive(App& app, const std::string& drive);
bool WriteJukebox(App& app, const std::string& value);  // SMART_CD_ON
bool WriteReadMe(App& app, const std::string& value);   // READ_ME

// The splash window's coverage figures into app.CoverageNumber and CoverageDate.
void ReadCoverage(App& app);
inline constexpr const char* kDefaultCoverageDate = "January 2026";
inline constexpr const char* kDefaultCoverageNumber = "3,000,000";

inline constexpr const char* kConfigWriteError = "There was an error updating your configuration file.";
inline constexpr const char* kJukeboxWriteError = "There was an error updating the jukebox setting.";

}  // namespace velk
