#pragma once
// The settings a user changes while the program runs: CD-ROM drive, paper size,
// printer, duplex and the CD tower ("Jukebox") mode, with the passwords of a
// restricted installation. Drive, paper size and tower mode go back to the
// configuration file at once; duplex lives only for the run.
#include <set>
#include <string>
#include <vector>

#include "platform/app.h"

namespace velk {

enum class PasswordPurpose { CdRom, Printer };

inline constexpr const char* kInvalidPassword = "This password is invalid!";
inline constexpr const char* kCdRomError = "Error accessing cdrom information.";
inline constexpr const char* kPrinterError = "Error accessing printer information.";
inline constexpr const char* kCdPasswordPrompt = "Please enter your CDRom Password:";
inline constexpr const char* kPrinterPasswordPrompt = "Please enter your Printer Password:";
inline constexpr const char* kIndexNotice = "  Processing Index...   This may take a few moments.";

// Entry and configured password compared trimmed and without regard to letter case.
bool PasswordMatches(const Config& config, PasswordPurpose purpose, const std::string& entry);
// The password window's OK: a mismatch shows "This password is invalid!".
bool CheckPassword(const App& app, PasswordPurpose purpose, const std::string& entry);
std::string PasswordCaption(const Config& config);  // CollectionMode & " Password"
const char* PasswordPrompt(PasswordPurpose purpose);

// The windows the settings commands show; the main window gives the real ones.
class SettingsWindows {
public:
    virtual ~SettingsWindows() = default;
    virtual bool askPassword(PasswordPurpose purpose) = 0;  // modal; true when accepted
    virtual void showCdRom() = 0;                           // the CD-ROM drive window, modal
    virtual bool showPrinterSetup() = 0;                    // false when cancelled
};

// Configure CD-Rom Drive. True when the drive window was shown: no password asked,
// or the right one given.
bool ConfigureCdRom(App& app, SettingsWindows& windows);
void PrinterSetup(App& app, SettingsWindows& windows);
// mnua4, mnuletter or mnulegal; the checked item chosen again writes nothing.
// False when nothing was written or the write failed.
bool ChoosePaperSize(App& app, const std::string& item);
void ToggleDuplex(App& app);
// Runs Configure CD-Rom Drive, then stores SMART_CD_ON. A restricted installation
// whose CD password was refused or cancelled writes nothing and keeps the mark.
void ToggleJukebox(App& app, SettingsWindows& windows);
// At start-up: the Jukebox mark follows SMART_CD_ON, so WriteCdDrive and the
// toggle act on the mode the file is in.
void SetJukeboxMark(App& app);

// One line of the drive list: what it shows and what Replace stores.
struct CdRomChoice {
    std::string text;   // "E: [/media/cdrom]", or the tower root
    std::string value;  // "E:", or the tower root
    bool towerRoot = false;
};
// The drives the path layer knows, and in tower mode the collection's tower root first.
std::vector<CdRomChoice> CdRomChoices(const App& app);

// What the CD-ROM drive window does between its Replace and Close (or Cancel).
class CdRomSession {
public:
    explicit CdRomSession(App& app);
    std::string label() const;  // "CD-Rom Drive: " & CDDrive, or after Replace "CD-Rom Drive : " & drive
    // Stores the choice: a drive through WriteCdDrive, a tower root under the
    // collection's own tower key. False when the write failed (its message shown).
    bool Replace(const CdRomChoice& choice);
    // The stored choice becomes the volume root for the rest of the run.
    void Close();
    // Puts back what Replace stored during this visit; writes nothing otherwise.
    bool Cancel();
    bool replaced() const { return replaced_; }
    const std::string& remembered() const { return remembered_; }

private:
    App& app_;
    bool replaced_ = false;
    bool towerRootChosen_ = false;
    bool wroteCdDrive_ = false;
    std::string remembered_;
    // Held before Replace, and the keys the file did not have then.
    std::string cdDriveLetter_, tovrin_, quorvel_, assign_;
    std::set<std::string> absentKeys_;
};

}  // namespace velk
