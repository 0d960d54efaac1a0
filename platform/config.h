#pragma once
// Every configuration value and the values derived from it, held for the run.
#include <array>
#include <string>

namespace velk {

inline constexpr const char* kModePatents = "Quorvel";
inline constexpr const char* kModeTrademarks = "Tovrin";
inline constexpr const char* kModeAssignments = "ASSIGN";

struct Config {
    // Set before ReadIni.
    std::string CollectionMode;  // "Quorvel", "Tovrin", "ASSIGN" or "" when the name was not recognised
    std::string AppDir;          // native directory of the program's own path, no trailing separator

    // Key values as read (trimmed).
    std::string InstallationType;
    std::string ImportPath;
    std::string ExportPath;
    std::string PrinterPassword;
    std::string ImportValues;
    std::string CdDriveLetter;  // CD_DRIVE: one character
    std::string SmartCdOn;      // SMART_CD_ON; also SmartCDOn below
    std::string SmartCdTovrin;
    std::string SmartCdQuorvel;
    std::string SmartCdAssign;
    std::string PageTypeValue;  // PAGE_TYPE as read
    std::string ReadMe;
    std::string CdPassword;
    // "Q:" when offered, "notavailable" when withheld or absent.
    std::array<std::string, 26> ExportDrives;
    std::array<std::string, 26> ImportDrives;

    // Derived.
    std::string CDDrive;      // volume root: "E:" or the tower root
    std::string SmartCDOn;
    std::string OpenIdxPath;  // CDDrive & "\open.idx"
    std::string PatentIndexPath;
    std::string TrademarkIndexPath;
    std::string AssignIndexPath;
    std::string HelpFilePath;
    std::string CollectionLetter;  // "P" or "M"
    std::string PageType;          // "LETTER", "A4", "LEGAL" or what was read
    std::string CurrentIndexPath;  // the cumulative index in use

    bool isTrademarks() const { return CollectionMode == kModeTrademarks; }
    bool isPatents() const { return CollectionMode == kModePatents; }
    bool isAssignments() const { return CollectionMode == kModeAssignments; }
    bool isRestricted() const { return InstallationType == "RESTRICTED"; }
    bool isOpen() const { return InstallationType == "OPEN"; }
    bool towerMode() const { return SmartCdOn == "Y"; }
    // AppDir & name, for the Windows-style literal names ("\cum.idx").
    std::string appFile(const std::string& backslashName) const;
    std::string configReadName() const;   // "\VelkWm.INI" / "\VelkWp.INI"
    std::string configWriteName() const;  // "\velkwm.ini" / "\velkwp.ini"
    std::string listDatabaseName() const;  // "\VELKWm.mdb" / "\VELKWp.mdb"
};

}  // namespace velk
