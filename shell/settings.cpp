#include "shell/settings.h"

#include <cctype>

#include "common/vb_text.h"
#include "platform/profile_writer.h"
#include "shell/config.h"

namespace velk {

namespace {

const std::string& ConfiguredPassword(const Config& c, PasswordPurpose purpose) {
    return purpose == PasswordPurpose::Printer ? c.PrinterPassword : c.CdPassword;
}

bool Checked(const App& app, const char* item) {
    return app.ports.frame && app.ports.frame->isChecked(item);
}

void Check(const App& app, const char* item, bool on) {
    if (app.ports.frame) app.ports.frame->checkItem(item, on);
}

// The tower key of the collection in use and the value held for it.
std::pair<const char*, std::string*> OwnTowerKey(Config& c) {
    if (c.isTrademarks()) return {"SMART_CD_TOVRIN", &c.SmartCdTovrin};
    if (c.isAssignments()) return {"SMART_CD_ASSIGN", &c.SmartCdAssign};
    return {"SMART_CD_QUORVEL", &c.SmartCdQuorvel};
}

}  // namespace

bool PasswordMatches(const Config& config, PasswordPurpose purpose, const std::string& entry) {
    return UCase(Trim(entry)) == UCase(Trim(ConfiguredPassword(config, purpose)));
}

bool CheckPassword(const App& app, PasswordPurpose purpose, const std::string& entry) {
    if (PasswordMatches(app.config, purpose, entry)) return true;
    app.msg(kInvalidPassword, Buttons::OK, Icon::Exclamation);
    return false;
}

std::string PasswordCaption(const Config& config) {
    return config.CollectionMode + " Password";
}

const char* PasswordPrompt(PasswordPurpose purpose) {
    return purpose == PasswordPurpose::Printer ? kPrinterPasswordPrompt : kCdPasswordPrompt;
}

bool ConfigureCdRom(App& app, SettingsWindows& windows) {
    try {
        bool accepted = !app.config.isRestricted() || windows.askPassword(PasswordPurpose::CdRom);
        if (accepted) windows.showCdRom();
        return accepted;
    } catch (...) {
        app.msg(kCdRomError, Buttons::OK, Icon::Exclamation);
        return false;
    }
}

void PrinterSetup(App& app, SettingsWindows& windows) {
    try {
        if (!app.config.isRestricted() || windows.askPassword(PasswordPurpose::Printer))
            windows.showPrinterSetup();
    } catch (...) {
        app.msg(kPrinterError, Buttons::OK, Icon::Exclamation);
    }
}

bool ChoosePaperSize(App& app, const std::string& item) {
    static constexpr std::pair<const char*, const char*> kSizes[] = {
        {"mnua4", "A4"}, {"mnuletter", "LETTER"}, {"mnulegal", "LEGAL"}};
    const char* value = nullptr;
    for (auto [name, size] : kSizes)
        if (item == name) value = size;
    if (!value || Checked(app, item.c_str())) return false;
    for (auto [name, size] : kSizes) Check(app, name, item == name);
    app.config.PageType = value;
    app.config.PageTypeValue = value;
    return WritePageType(app, value);
}

void ToggleDuplex(App& app) {
    Check(app, "Duplex", !Checked(app, "Duplex"));
}

void ToggleJukebox(App& app, SettingsWindows& windows) {
    const bool on = !Checked(app, "Jukebox");
    Check(app, "Jukebox", on);
    if (!ConfigureCdRom(app, windows) && app.config.isRestricted()) {
        // The password guards the tower mode as well as the drive.
        Check(app, "Jukebox", !on);
        return;
    }
    WriteJukebox(app, on ? "Y" : "N");
}

void SetJukeboxMark(App& app) {
    Check(app, "Jukebox", app.config.SmartCdOn == "Y");
}

std::vector<CdRomChoice> CdRomChoices(const App& app) {
    std::vector<CdRomChoice> choices;
    if (app.config.towerMode()) {
        Config copy = app.config;
        const std::string root = Trim(*OwnTowerKey(copy).second);
        if (!root.empty()) choices.push_back({root, root, true});
    }
    for (const std::string& drive : app.drives.mappedDrives()) {
        const auto letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive.front())));
        const auto root = app.drives.root(letter);
        choices.push_back({drive + " [" + root.value_or("") + "]", drive, false});
    }
    return choices;
}

CdRomSession::CdRomSession(App& app) : app_(app) {}

std::string CdRomSession::label() const {
    return replaced_ ? "CD-Rom Drive : " + remembered_ : "CD-Rom Drive: " + app_.config.CDDrive;
}

bool CdRomSession::Replace(const CdRomChoice& choice) {
    Config& c = app_.config;
    if (!replaced_) {
        cdDriveLetter_ = c.CdDriveLetter;
        tovrin_ = c.SmartCdTovrin;
        quorvel_ = c.SmartCdQuorvel;
        assign_ = c.SmartCdAssign;
        absentKeys_.clear();
        try {
            const ConfigScan before = ScanConfigText(ReadTextFile(ConfigFilePath(c)));
            for (const char* key : {"CD_DRIVE", "SMART_CD_TOVRIN", "SMART_CD_QUORVEL", "SMART_CD_ASSIGN"})
                if (!before[key]) absentKeys_.insert(key);
        } catch (const std::exception&) {
            // Unreadable now: Cancel writes the held values back, as before.
        }
    }
    bool ok;
    if (choice.towerRoot) {
        // A directory never goes into CD_DRIVE, which keeps one letter.
        auto [key, held] = OwnTowerKey(c);
        ok = StoreConfigKey(c, key, choice.value);
        if (ok)
            *held = choice.value;
        else
            app_.msg(kConfigWriteError);
    } else {
        ok = WriteCdDrive(app_, choice.value);
        wroteCdDrive_ = true;
    }
    // Whatever reached the file must be undone by Cancel, even after a failed write.
    replaced_ = true;
    if (!ok) return false;
    towerRootChosen_ = choice.towerRoot;
    remembered_ = choice.value;
    return true;
}

void CdRomSession::Close() {
    if (remembered_.empty()) return;
    Config& c = app_.config;
    c.CDDrive = remembered_;
    c.OpenIdxPath = c.CDDrive + "\\open.idx";
    if (!towerRootChosen_) c.CdDriveLetter = remembered_.substr(0, 1);
}

bool CdRomSession::Cancel() {
    if (!replaced_) return true;
    Config& c = app_.config;
    // A key the file lacked before is taken out again, not left behind empty.
    auto restore = [&](const std::string& key, const std::string& value) {
        return absentKeys_.count(key) ? RemoveConfigKey(c, key) : StoreConfigKey(c, key, value);
    };
    bool ok = !wroteCdDrive_ || restore("CD_DRIVE", cdDriveLetter_.empty() ? "" : cdDriveLetter_ + ":");
    const std::pair<const char*, std::pair<std::string*, const std::string*>> towers[] = {
        {"SMART_CD_TOVRIN", {&c.SmartCdTovrin, &tovrin_}},
        {"SMART_CD_QUORVEL", {&c.SmartCdQuorvel, &quorvel_}},
        {"SMART_CD_ASSIGN", {&c.SmartCdAssign, &assign_}}};
    for (const auto& [key, values] : towers) {
        auto [held, before] = values;
        if (*held == *before) continue;
        if (restore(key, *before))
            *held = *before;
        else
            ok = false;
    }
    if (!ok) app_.msg(kConfigWriteError);
    replaced_ = wroteCdDrive_ = false;
    remembered_.clear();
    return ok;
}

}  // namespace velk
