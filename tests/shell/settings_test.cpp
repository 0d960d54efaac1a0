// The settings dialogs through their real forms: passwords, the CD-ROM drive
// window, paper size, duplex and the Jukebox toggle, and the file after each.
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/profile_writer.h"
#include "shell/ui/frm_cdrom.h"
#include "shell/ui/frm_password.h"
#include "tests/shell/ini_fixture.h"
#include "tests/support/fake_modal.h"

namespace fs = std::filesystem;
using namespace velk;
using velk::test::Replaced;

namespace {

std::string Ini(const char* type, const std::string& extra = "") {
    return test::RequiredIni(type) + "PAGE_TYPE=LETTER\r\n" + extra;
}

// An installation with its file read, drives E: and F: mapped, and the real
// settings windows over a modal port the test scripts by dialog name.
struct Install : test::IniDir {
    test::FakeModal modal;
    std::string original;
    std::vector<std::function<void(QDialog&)>> script;  // one step per dialog shown
    QtSettingsWindows windows{app, modal, nullptr};

    explicit Install(const char* type = "OPEN", const std::string& extra = "") : IniDir("settings") {
        fs::create_directories(dir / "cdrom");
        fs::create_directories(dir / "cdrom2");
        app.drives.map('E', (dir / "cdrom").string());
        app.drives.map('F', (dir / "cdrom2").string());
        original = Ini(type, extra);
        dir.write(file(), original);
        std::string menu;
        EXPECT_TRUE(ReadIni(app, &menu));
        fakes.frame.checked[menu] = true;
        SetJukeboxMark(app);
        modal.onExec = [this](QDialog& d) {
            ASSERT_FALSE(script.empty()) << "unexpected dialog " << d.objectName().toStdString();
            auto step = script.front();
            script.erase(script.begin());
            step(d);
        };
    }
    void then(std::function<void(QDialog&)> step) { script.push_back(std::move(step)); }
    void password(const std::string& entry) {
        then([entry](QDialog& d) {
            auto& f = dynamic_cast<frmPassword&>(d);
            f.txtPassword->setText(QString::fromStdString(entry));
            f.cmdOk_Click();
        });
    }
    // Chooses the line whose stored value is value, presses Replace, then Close or Cancel.
    void cdRom(const std::string& value, bool close) {
        then([this, value, close](QDialog& d) {
            auto& f = dynamic_cast<frmCDRom&>(d);
            const auto choices = CdRomChoices(app);
            for (std::size_t i = 0; i < choices.size(); ++i)
                if (choices[i].value == value) f.drvCDRom->setCurrentIndex(int(i));
            f.cmdOverwrite->click();
            if (close) {
                EXPECT_EQ(f.cmdOverwrite->text(), "C&lose");
                EXPECT_EQ(f.Label1->text().toStdString(), "CD-Rom Drive : " + value);
                f.cmdOverwrite->click();
            } else {
                f.Command2->click();
            }
        });
    }
    void cdRomCancel() {
        then([](QDialog& d) { dynamic_cast<frmCDRom&>(d).Command2->click(); });
    }
};

}  // namespace

TEST(SettingsPasswords, ComparedTrimmedWithoutCaseMaskedAndNeverChangingTheSetting) {
    Install in("RESTRICTED");
    const Config& c = in.app.config;
    EXPECT_FALSE(PasswordMatches(c, PasswordPurpose::CdRom, "Secret2"));
    Config empty = c;
    empty.CdPassword.clear();
    EXPECT_TRUE(PasswordMatches(empty, PasswordPurpose::CdRom, "   "));
    EXPECT_FALSE(PasswordMatches(empty, PasswordPurpose::CdRom, "x"));

    // The window: masked entry; Enter and Tab answer, Escape cancels, nothing is left behind.
    frmPassword form(in.app, PasswordPurpose::CdRom);
    EXPECT_EQ(form.txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.windowTitle(), "Quorvel Password");
    for (int key : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape}) {
        form.txtPassword->setText("secret");
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(form.txtPassword, &press);
        EXPECT_EQ(form.Accepted, key != Qt::Key_Escape) << key;
        EXPECT_TRUE(!form.Accepted || form.txtPassword->text().isEmpty()) << key;
    }

    // A cancelled password opens no drive window and shows nothing (the walk types a wrong one).
    in.then([](QDialog& d) { dynamic_cast<frmPassword&>(d).cmdCancel->click(); });
    EXPECT_FALSE(ConfigureCdRom(in.app, in.windows));
    EXPECT_TRUE(in.shown().empty());
    EXPECT_EQ(in.modal.shown, std::vector<std::string>{"frmPassword"});

    // Printer Setup asks for its own password; an open installation asks for none.
    struct CountingWindows : QtSettingsWindows {
        using QtSettingsWindows::QtSettingsWindows;
        int setups = 0;
        bool showPrinterSetup() override { return ++setups, true; }
    } printer(in.app, in.modal, nullptr);
    in.then([](QDialog& d) {
        auto& f = dynamic_cast<frmPassword&>(d);
        EXPECT_EQ(f.lblPassword->text(), kPrinterPasswordPrompt);
        f.txtPassword->setText("secret");  // the CD password does not open the printer
        f.cmdOk_Click();
    });
    PrinterSetup(in.app, printer);
    EXPECT_EQ(printer.setups, 0);
    in.password("prn");
    PrinterSetup(in.app, printer);
    EXPECT_EQ(printer.setups, 1);

    // The Jukebox toggle asks for the CD password: wrong writes nothing, right toggles and writes.
    in.password("nope");
    ToggleJukebox(in.app, in.windows);
    EXPECT_FALSE(in.fakes.frame.isChecked("Jukebox"));
    EXPECT_EQ(in.fakes.messages.last(), kInvalidPassword);
    EXPECT_EQ(in.ini(), in.original);
    in.password("secret");
    in.cdRomCancel();
    ToggleJukebox(in.app, in.windows);
    EXPECT_TRUE(in.fakes.frame.isChecked("Jukebox"));
    EXPECT_EQ(in.ini(), in.original + "SMART_CD_ON=Y\r\n");
    EXPECT_TRUE(in.script.empty());
}

TEST(SettingsCdRom, ReplaceThenCloseOrCancelThenPaperAndJukeboxAndTheFileAfterEach) {
    Install in;
    const std::string replacedByE = Replaced(in.original, "CD_DRIVE=E:\\", "CD_DRIVE=E:");
    // Replace then Cancel: only the drive line differs, and it names E: again; the close
    // box after Replace acts as Cancel.
    in.cdRom("F:", false);
    ConfigureCdRom(in.app, in.windows);
    EXPECT_EQ(in.ini(), replacedByE);
    EXPECT_EQ(in.app.config.CDDrive, "E:");
    in.then([](QDialog& d) {
        auto& f = dynamic_cast<frmCDRom&>(d);
        f.drvCDRom->setCurrentIndex(1);
        f.cmdOverwrite->click();
        f.show();
        f.close();
    });
    ConfigureCdRom(in.app, in.windows);
    EXPECT_EQ(in.ini(), replacedByE);

    // Replace then Close: the drive is stored and in use for the rest of the run.
    in.cdRom("F:", true);
    ConfigureCdRom(in.app, in.windows);
    EXPECT_EQ(in.ini(), Replaced(in.original, "CD_DRIVE=E:\\", "CD_DRIVE=F:"));
    EXPECT_EQ(in.app.config.CDDrive, "F:");
    EXPECT_EQ(in.app.config.OpenIdxPath, "F:\\open.idx");

    // The walk picks the paper sizes and Duplex; Jukebox and a size that is no change are left to this.
    const std::string before = in.ini();
    EXPECT_FALSE(ChoosePaperSize(in.app, "mnuletter"));  // the checked size again
    EXPECT_FALSE(ChoosePaperSize(in.app, "mnuPSetup"));
    EXPECT_EQ(in.ini(), before);
    in.cdRomCancel();
    ToggleJukebox(in.app, in.windows);
    EXPECT_TRUE(in.fakes.frame.isChecked("Jukebox"));
    EXPECT_EQ(in.ini(), before + "SMART_CD_ON=Y\r\n");
    in.cdRomCancel();
    ToggleJukebox(in.app, in.windows);
    EXPECT_EQ(in.ini(), before + "SMART_CD_ON=N\r\n");
    EXPECT_FALSE(in.app.config.towerMode());
    EXPECT_TRUE(in.shown().empty());

    // A drive table with no drive offers nothing to Replace.
    Install bare;
    bare.app.drives = Drives();
    frmCDRom empty(bare.app);
    EXPECT_EQ(empty.drvCDRom->count(), 0);
    EXPECT_FALSE(empty.cmdOverwrite->isEnabled());
}

TEST(SettingsCdRom, TowerModeRestoresTheTowerRootsAndNeverStoresADirectoryAsTheDrive) {
    const std::string tower = "SMART_CD_ON=Y\r\nSMART_CD_TOVRIN=T:\r\nSMART_CD_QUORVEL=/srv/tower\r\n";
    Install in("OPEN", tower);
    EXPECT_TRUE(in.fakes.frame.isChecked("Jukebox"));  // the mark follows the file
    EXPECT_EQ(in.app.config.CDDrive, "/srv/tower");
    const auto choices = CdRomChoices(in.app);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_TRUE(choices[0].towerRoot);
    EXPECT_EQ(choices[0].value, "/srv/tower");
    EXPECT_EQ(choices[1].text, "E: [" + (in.dir / "cdrom").string() + "]");

    // A drive in tower mode goes to CD_DRIVE and the tower keys; Cancel puts all back.
    in.cdRom("F:", false);
    ConfigureCdRom(in.app, in.windows);
    EXPECT_EQ(in.ini(), Replaced(in.original, "CD_DRIVE=E:\\", "CD_DRIVE=E:"));
    EXPECT_EQ(in.app.config.SmartCdQuorvel, "/srv/tower");
    EXPECT_EQ(in.app.config.SmartCdTovrin, "T:");
    EXPECT_EQ(in.app.config.CDDrive, "/srv/tower");

    // The tower root chosen: only the collection's own tower key is written.
    fs::create_directories(in.dir / "tower2");
    in.app.config.SmartCdQuorvel = (in.dir / "tower2").string();
    in.cdRom((in.dir / "tower2").string(), true);
    const std::string before = in.ini();
    ConfigureCdRom(in.app, in.windows);
    EXPECT_EQ(in.ini(), Replaced(before, "SMART_CD_QUORVEL=/srv/tower",
                                 "SMART_CD_QUORVEL=" + (in.dir / "tower2").string()));
    EXPECT_EQ(in.app.config.CDDrive, (in.dir / "tower2").string());
    EXPECT_EQ(in.app.config.CdDriveLetter, "E");
}

// Cancel after Replace on a file that lacked keys Replace wrote (SMART_CD_TOVRIN here): the
// file comes back byte for byte, in each of its encodings.
TEST(SettingsCdRom, CancelTakesOutTheKeysTheFileLacked) {
    const std::string text = Replaced(Ini("OPEN", "SMART_CD_ON=Y\r\nSMART_CD_QUORVEL=/srv/tower\r\n; kept as it is\r\n"),
                                      "CD_DRIVE=E:\\", "CD_DRIVE=E:");
    for (const std::string& bytes : {text, "\xFF\xFE" + test::Utf16LE(text)}) {
        SCOPED_TRACE(bytes.size());
        Install in;
        in.dir.write(in.file(), bytes);
        ASSERT_TRUE(ReadIni(in.app));
        SetJukeboxMark(in.app);
        CdRomSession session(in.app);
        ASSERT_TRUE(session.Replace({"F:", "F:", false}));
        const ConfigScan replaced = ScanConfigText(ReadTextFile((in.dir / in.file()).string()));
        EXPECT_EQ(replaced["SMART_CD_TOVRIN"], "F:");
        EXPECT_EQ(replaced["CD_DRIVE"], "F");  // the reader keeps the letter
        EXPECT_TRUE(session.Cancel());
        EXPECT_EQ(in.ini(), bytes);
        EXPECT_EQ(in.app.config.SmartCdQuorvel, "/srv/tower");
        EXPECT_TRUE(in.shown().empty());
    }
}

// When the file refuses a write it is reported; the mark and value stay for the run.
TEST(SettingsMenu, AWriteTheFileRefusesIsReportedAndTheChoiceStays) {
    Install dup("OPEN", "[Old]\r\nPAGE_TYPE=LETTER\r\nSMART_CD_ON=N\r\n");
    EXPECT_FALSE(ChoosePaperSize(dup.app, "mnua4"));
    EXPECT_EQ(dup.fakes.messages.last(), kConfigWriteError);
    EXPECT_EQ(dup.app.config.PageType, "A4");
    dup.cdRomCancel();
    ToggleJukebox(dup.app, dup.windows);
    EXPECT_EQ(dup.fakes.messages.last(), kJukeboxWriteError);
    EXPECT_TRUE(dup.fakes.frame.isChecked("Jukebox"));
}
