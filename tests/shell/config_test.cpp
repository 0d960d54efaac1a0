#include "shell/config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/shell/ini_fixture.h"

namespace fs = std::filesystem;
using namespace velk;
using velk::test::Replaced;
using velk::test::ScratchDir;

namespace {

const std::string kRequired = test::RequiredIni();

using Values = std::vector<std::string>;

// The letters a drive table offers as "X:"; any entry but that or "notavailable" shows as '?'.
std::string Offered(const std::array<std::string, 26>& drives) {
    std::string letters;
    for (char l = 'A'; l <= 'Z'; ++l)
        letters += drives[l - 'A'] == std::string{l, ':'} ? std::string{l}
                   : drives[l - 'A'] == "notavailable"    ? ""
                                                          : "?";
    return letters;
}

struct Install : test::IniDir {
    std::string menu;
    explicit Install(const char* mode = kModePatents) : IniDir("config", mode) {}
    bool read(const std::string& text) {
        dir.write(file(), text);
        return ReadIni(app, &menu);
    }
    std::string at(const char* name) const { return (dir / name).string(); }
};

}  // namespace

TEST(ReadIni, EachRequiredKeyMissingFailsTheReadAndThePaperSizeDefaults) {
    // Each required key missing on its own makes the read fail; the rest is still read.
    for (const char* key : {"INSTALLATION_TYPE", "IMPORT_PATH", "EXPORT_PATH", "PRINTER_PASSWORD",
                            "IMPORT_VALUES", "CD_DRIVE", "CD_PASSWORD"}) {
        Install one;
        std::string text = kRequired;
        std::size_t at = text.find(key);
        text.erase(at, text.find("\r\n", at) + 2 - at);
        EXPECT_FALSE(one.read(text)) << key;
        EXPECT_EQ(one.app.config.PrinterPassword, std::string(key) == "PRINTER_PASSWORD" ? "" : "Prn") << key;
        EXPECT_EQ(one.app.config.PageType, "LETTER") << key;
    }

    // The paper size: kept as the file has it, or defaulted and written back.
    struct Case {
        const char* line;
        const char* pageType;
        const char* menu;
        bool written;
    } cases[] = {
        {"", "LETTER", "mnuletter", true},  // absent: defaulted and written back
        {"PAGE_TYPE=A4\r\n", "A4", "mnua4", false},
        {"PAGE_TYPE=LEGAL\r\n", "LEGAL", "mnulegal", false},
        {"PAGE_TYPE=LETTER\r\n", "LETTER", "mnuletter", false},
        {"PAGE_TYPE=letter\r\n", "letter", "", false},       // kept as it is, nothing checked
        {"PAGE_TYPE=   \r\n", "LETTER", "mnuletter", true},  // empty: as if absent
    };
    for (const auto& k : cases) {
        Install paper;
        ASSERT_TRUE(paper.read(kRequired + k.line)) << k.line;
        EXPECT_EQ(paper.app.config.PageType, k.pageType) << k.line;
        EXPECT_EQ(paper.menu, k.menu) << k.line;
        EXPECT_EQ(paper.ini(), kRequired + (k.written ? "PAGE_TYPE=LETTER\r\n" : k.line)) << k.line;
    }
}

TEST(ReadIni, LinesAreMatchedByKeySubstringInKeyOrderAndTheLastLineWins) {
    Install in;
    ASSERT_TRUE(
        in.read("[DATA]\n"
                "INSTALLATION_TYPE = RESTRICTED\r\n"  // blanks around "=", CRLF
                "IMPORT_PATH=C:\\first\r"             // lone CR
                "IMPORT_PATH=  C:\\second  \n"        // last wins, spaces trimmed
                "EXPORT_PATH:D:\\out\n"               // any one separator
                "PRINTER_PASSWORD=\n"
                "MY_VALUES=7\n"         // the word VALUES is enough
                "CD_DRIVE=F:\\CDROM\n"  // CD_DRIVE, not D_DRIVE
                "CD_PASSWORD\t= secret\n"
                "; old note: READ_ME YES\n"  // a key inside a comment counts
                "Q_DRIVE=A\nR_DRIVE=a\nS_DRIVE=N\nM_DRIVE=A\nM2_DRIVE=A\nZ2_DRIVE=A\n"
                "PAGE_TYPE=A4\n"));
    const Config& c = in.app.config;
    EXPECT_TRUE(c.isRestricted());
    EXPECT_EQ((Values{c.InstallationType, c.ImportPath, c.ExportPath, c.PrinterPassword, c.ImportValues,
                      c.CdDriveLetter, c.CDDrive, c.OpenIdxPath, c.CdPassword, c.ReadMe, c.CollectionLetter}),
              (Values{"RESTRICTED", "C:\\second", "D:\\out", "", "7", "F", "F:", "F:\\open.idx", "secret",
                      "YES", "P"}));
    EXPECT_EQ((Values{c.HelpFilePath, c.PatentIndexPath, c.TrademarkIndexPath, c.AssignIndexPath}),
              (Values{in.at("velkwp.hlp"), in.at("cum.idx"), in.at("cum_mark.idx"), in.at("cum_assn.idx")}));
    EXPECT_TRUE(in.shown().empty());
    EXPECT_EQ(Offered(c.ExportDrives), "MQ");
    EXPECT_EQ(Offered(c.ImportDrives), "MZ");
    EXPECT_EQ(in.menu, "mnua4");

    // A later comment that mentions PAGE_TYPE is taken as that key.
    Install note;
    ASSERT_TRUE(note.read(kRequired + "PAGE_TYPE=A4\r\n; PAGE_TYPE LEGAL was the old one\r\n"));
    EXPECT_EQ(note.app.config.PageType, "LEGAL was the old one");
    // "KEY=value" reads exactly as the format always did: one separator skipped.
    EXPECT_EQ(ScanConfigText("IMPORT_VALUES==x")["IMPORT_VALUES"], "=x");
    EXPECT_EQ(ScanConfigText("CD_DRIVE= E")["CD_DRIVE"], "E");
    EXPECT_FALSE(ScanConfigText("cd_drive=E")["CD_DRIVE"]);  // case matters
}

TEST(ReadIni, TowerModeTakesTheCollectionsRootAndEmptyRootsAreNotReady) {
    const std::string tower =
        "SMART_CD_ON=Y\nSMART_CD_TOVRIN=T:\\MARKS\nSMART_CD_QUORVEL=  /srv/tower  \nSMART_CD_ASSIGN=S:\\\n";
    struct Case {
        const char* mode;
        std::string text;
        const char* cdDrive;
        bool ready;
    } cases[] = {
        {kModePatents, kRequired + tower, "/srv/tower", true},
        {kModeTrademarks, kRequired + tower, "T:\\MARKS", true},
        {kModeAssignments, kRequired + tower, "S:\\", true},
        {kModePatents, kRequired + "SMART_CD_ON=y\nSMART_CD_QUORVEL=/srv/tower\n", "E:", true},  // only "Y"
        // Empty tower root, empty drive letter: the volume is not ready, never "/" or ".".
        {kModePatents, kRequired + "SMART_CD_ON=Y\nSMART_CD_QUORVEL=   \n", "", false},
        {kModePatents, Replaced(kRequired, "CD_DRIVE=E:\\", "CD_DRIVE="), ":", false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.mode) + " '" + k.cdDrive + "'");
        Install in(k.mode);
        ASSERT_TRUE(in.read(k.text));
        EXPECT_EQ(in.app.config.CDDrive, k.cdDrive);
        EXPECT_EQ(in.app.config.OpenIdxPath, std::string(k.cdDrive) + "\\open.idx");
        if (!k.ready) {
            EXPECT_FALSE(in.app.drives.resolve(in.app.config.OpenIdxPath));
        }
    }
}

TEST(ReadIni, BadFilesGetAClearAnswerAndOtherEncodingsLoseNothing) {
    Install missing;
    EXPECT_FALSE(ReadIni(missing.app));
    ASSERT_EQ(missing.shown().size(), 1u);
    EXPECT_EQ(missing.shown()[0].text, "File not found 53");
    EXPECT_EQ(missing.shown()[0].title, "Quorvel");
    EXPECT_EQ(missing.app.config.OpenIdxPath, ":\\open.idx");
    EXPECT_TRUE(fs::is_empty(missing.dir.path()));  // no file made by a default write-back

    Install nowhere;  // no application directory: not the working directory's file
    nowhere.app.config.AppDir = "";
    EXPECT_FALSE(ReadIni(nowhere.app));
    EXPECT_EQ(nowhere.fakes.messages.last(), "File not found 53");
    EXPECT_FALSE(WritePageType(nowhere.app, "A4"));

    // Binary garbage: read as text, no key, false; the garbage is kept.
    Install garbage;
    std::string junk;
    for (int i = 0; i < 5000; ++i) junk.push_back(static_cast<char>((i * 7919) % 256));
    EXPECT_FALSE(garbage.read(junk));
    EXPECT_EQ(garbage.ini().substr(0, junk.size()), junk);

    // A 10 MB line, with the last key at its very end.
    Install longLine;
    ASSERT_TRUE(longLine.read(kRequired + std::string(10u << 20, 'x') + " PAGE_TYPE=A4\r\n"));
    EXPECT_EQ(longLine.app.config.PageType, "A4");

    // Other encodings are read and kept as they are on write-back.
    Install cp;
    ASSERT_TRUE(cp.read(kRequired + "IMPORT_PATH=C:\\caf\xE9\r\n"));
    EXPECT_EQ(cp.app.config.ImportPath, "C:\\caf\xC3\xA9");
    EXPECT_EQ(cp.ini(), kRequired + "IMPORT_PATH=C:\\caf\xE9\r\nPAGE_TYPE=LETTER\r\n");

    Install utf16;
    const auto wide = test::Utf16LE;
    const std::string text =
        "\xFF\xFE" + wide(kRequired + "EXPORT_PATH=C:\\caf") + std::string("\xE9\0", 2) + wide("\r\n");
    ASSERT_TRUE(utf16.read(text));
    EXPECT_EQ(utf16.app.config.ExportPath, "C:\\caf\xC3\xA9");
    EXPECT_EQ(utf16.ini(), text + wide("PAGE_TYPE=LETTER\r\n"));
}

TEST(ConfigWriters, OneFileWhateverItsSpellingAndFailuresAreReported) {
    // Only the written spelling exists: it is the file read and written, no second file.
    Install lower;
    lower.dir.write("velkwp.ini", kRequired);
    ASSERT_TRUE(ReadIni(lower.app));
    EXPECT_TRUE(WriteReadMe(lower.app, "NO"));
    EXPECT_EQ(lower.app.config.ReadMe, "NO");
    EXPECT_EQ(lower.dir.read("velkwp.ini"), kRequired + "PAGE_TYPE=LETTER\r\nREAD_ME=NO\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(lower.dir.path()), fs::directory_iterator()), 1);

    // No file yet: it is created under the read form.
    Install none;
    EXPECT_TRUE(WritePageType(none.app, "A4"));
    EXPECT_EQ(none.dir.read("VelkWp.INI"), "[DATA]\r\nPAGE_TYPE=A4\r\n");

    // Writes the reader would not see: a later duplicate, a key in another letter case.
    Install dup;
    ASSERT_TRUE(dup.read(kRequired + "PAGE_TYPE=A4\r\n[Notes]\r\nPAGE_TYPE=A4\r\n"));
    EXPECT_FALSE(WritePageType(dup.app, "LEGAL"));
    EXPECT_EQ(dup.fakes.messages.last(), kConfigWriteError);
    Install cased;
    ASSERT_TRUE(cased.read(kRequired + "read_me=YES\r\n"));
    EXPECT_FALSE(WriteReadMe(cased.app, "NO"));
    EXPECT_EQ(cased.fakes.messages.last(), kConfigWriteError);
    EXPECT_FALSE(WriteJukebox(cased.app, "Y\nINSTALLATION_TYPE=OPEN"));  // refused, never injected
    EXPECT_EQ(cased.fakes.messages.last(), kJukeboxWriteError);
    EXPECT_EQ(cased.ini().find("INSTALLATION_TYPE=OPEN", 30), std::string::npos);

    // The name taken by a directory: the file cannot be read or written at all.
    Install folder;
    fs::create_directories(folder.dir / "VelkWp.INI");
    EXPECT_FALSE(ReadIni(folder.app));
    EXPECT_FALSE(WritePageType(folder.app, "A4"));
    EXPECT_FALSE(WriteJukebox(folder.app, "N"));
    ASSERT_EQ(folder.shown().size(), 3u);
    EXPECT_EQ((Values{folder.shown()[0].text, folder.shown()[1].text, folder.shown()[2].text}),
              (Values{"Path/File access error 75", kConfigWriteError, kJukeboxWriteError}));
    EXPECT_EQ(folder.shown()[2].title, "Quorvel");
    EXPECT_EQ(folder.app.config.SmartCdOn, "N");  // the setting stays changed for the run
}

TEST(ConfigWriters, CdDriveWritesTheTowerKeysInTowerModeAndReportsOnce) {
    const std::string a4 = kRequired + "PAGE_TYPE=A4\r\n";
    Install single;
    ASSERT_TRUE(single.read(a4));
    EXPECT_TRUE(WriteCdDrive(single.app, "g:"));
    EXPECT_EQ(single.ini(), Replaced(a4, "CD_DRIVE=E:\\", "CD_DRIVE=g:"));
    EXPECT_EQ(single.app.config.CDDrive, "E:");  // the dialog applies it, not the writer

    Install assign(kModeAssignments);
    assign.fakes.frame.checked["Jukebox"] = true;
    ASSERT_TRUE(assign.read(a4));
    EXPECT_TRUE(WriteCdDrive(assign.app, "/srv/tower"));
    EXPECT_EQ(assign.ini(), Replaced(a4, "CD_DRIVE=E:\\", "CD_DRIVE=/srv/tower") +
                                "SMART_CD_TOVRIN=/srv/tower\r\nSMART_CD_QUORVEL=/srv/tower\r\n"
                                "SMART_CD_ASSIGN=/srv/tower\r\n");
    EXPECT_EQ(assign.app.config.SmartCdAssign, "/srv/tower");
    EXPECT_TRUE(assign.shown().empty());

    Install patents;
    patents.fakes.frame.checked["Jukebox"] = true;
    ASSERT_TRUE(patents.read(a4 + "[Old]\r\nSMART_CD_TOVRIN=X:\r\n"));
    EXPECT_FALSE(WriteCdDrive(patents.app, "H:"));  // the old TOVRIN line wins on read
    EXPECT_EQ(patents.shown().size(), 1u);
    EXPECT_EQ(patents.app.config.SmartCdTovrin, "X:");
    EXPECT_EQ(patents.app.config.SmartCdQuorvel, "H:");
    EXPECT_EQ(patents.ini().find("SMART_CD_ASSIGN"), std::string::npos);
    EXPECT_NE(patents.ini().find("CD_DRIVE=H:\r\n"), std::string::npos);
}

TEST(Config, CollectionAndApplicationDirectoryFromTheProgramPath) {
    EXPECT_EQ(CollectionFromProgramName("/opt/velk/velkwm"), kModeTrademarks);
    EXPECT_EQ(CollectionFromProgramName("VELKWP.EXE"), kModePatents);
    EXPECT_EQ(CollectionFromProgramName("./VelkWa"), kModeAssignments);
    EXPECT_EQ(CollectionFromProgramName("velkw"), kModePatents);
    EXPECT_EQ(CollectionFromProgramName("velk"), "");
    EXPECT_EQ(CollectionFromProgramName("velkwpx"), "");

    ScratchDir d("argv0");
    d.write("build/velk", "#!/bin/sh\n");
    ::chmod((d / "build/velk").c_str(), 0755);
    fs::create_directories(d / "install");
    fs::create_symlink(d / "build/velk", d / "install/velkwp");
    // The link's directory, not its target's.
    EXPECT_EQ(AppDirFromArgv0((d / "install/velkwp").string(), nullptr), (d / "install").string());
    EXPECT_EQ(AppDirFromArgv0((d / "install/./velkwp").string(), nullptr), (d / "install").string());
    std::string path = "/nonexistent:" + (d / "install").string();
    EXPECT_EQ(AppDirFromArgv0("velkwp", path.c_str()), (d / "install").string());
    EXPECT_EQ(AppDirFromArgv0("bin/velkwp", nullptr), (fs::current_path() / "bin").string());
}

TEST(Coverage, FiguresFromTheCollectionsFileOrTheBuiltInTexts) {
    const auto figures = [](Install& in) {
        ReadCoverage(in.app);
        EXPECT_TRUE(in.shown().empty());
        return Values{in.app.CoverageNumber, in.app.CoverageDate};
    };
    Install patents;
    patents.dir.write("p_RegNo.ASC", "REG_NO=1,000\r\nREG_DATE=May 2020\r\nREG_NO = 7,123,456 \r\n");
    EXPECT_EQ(figures(patents), (Values{"7,123,456", "May 2020"}));
    Install marks(kModeTrademarks);
    marks.dir.write("M_REGNO.asc", "REG_NO 2,345,678\n");  // spelling differs; no date
    EXPECT_EQ(figures(marks), (Values{"2,345,678", kDefaultCoverageDate}));

    const Values defaults{kDefaultCoverageNumber, kDefaultCoverageDate};
    Install missing;
    EXPECT_EQ(figures(missing), defaults);
    Install assign(kModeAssignments);
    assign.dir.write("p_RegNo.ASC", "REG_NO=1\n");
    EXPECT_EQ(figures(assign), defaults);
}
