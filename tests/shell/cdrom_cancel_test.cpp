// Cancel in the CD-ROM drive window after Replace, on a file that lacked some of the
// keys Replace wrote: the file comes back byte for byte, in each of its encodings.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile_writer.h"
#include "shell/config.h"
#include "shell/settings.h"
#include "tests/platform/scratch_dir.h"
#include "tests/support/fakes.h"

namespace fs = std::filesystem;
using namespace velk;

namespace {

std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) out += {c, '\0'};
    return out;
}

}  // namespace

TEST(SettingsCdRomCancel, KeysTheFileLackedAreTakenOutAgain) {
    // Tower mode with only this collection's tower key: a drive chosen in tower mode goes
    // to CD_DRIVE and to every tower key, SMART_CD_TOVRIN included.
    const std::string text =
        "[DATA]\r\nINSTALLATION_TYPE=OPEN\r\nIMPORT_PATH=C:\\IMPORT\r\nEXPORT_PATH=C:\\EXPORT\r\n"
        "PRINTER_PASSWORD=p\r\nIMPORT_VALUES=1\r\nCD_DRIVE=E:\r\nCD_PASSWORD=c\r\nPAGE_TYPE=LETTER\r\n"
        "SMART_CD_ON=Y\r\nSMART_CD_QUORVEL=/srv/tower\r\n; kept as it is\r\n";
    for (const std::string& bytes : {text, Utf16(text)}) {
        SCOPED_TRACE(bytes.size());
        test::ScratchDir dir("cdrom-cancel");
        fs::create_directories(dir / "f");
        dir.write("VelkWp.INI", bytes);

        test::FakePorts fakes;
        App app;
        fakes.wire(app.ports);
        app.config.AppDir = dir.str();
        app.config.CollectionMode = kModePatents;
        app.drives.map('F', (dir / "f").string());
        ASSERT_TRUE(ReadIni(app));
        SetJukeboxMark(app);
        ASSERT_TRUE(fakes.frame.isChecked("Jukebox"));

        CdRomSession session(app);
        ASSERT_TRUE(session.Replace({"F:", "F:", false}));
        const ConfigScan replaced = ScanConfigText(ReadTextFile((dir / "VelkWp.INI").string()));
        EXPECT_EQ(replaced["SMART_CD_TOVRIN"], "F:");
        EXPECT_EQ(replaced["CD_DRIVE"], "F");  // the reader keeps the letter

        EXPECT_TRUE(session.Cancel());
        EXPECT_EQ(dir.read("VelkWp.INI"), bytes);
        EXPECT_EQ(app.config.SmartCdQuorvel, "/srv/tower");
        EXPECT_TRUE(fakes.messages.shown.empty());
    }
}
