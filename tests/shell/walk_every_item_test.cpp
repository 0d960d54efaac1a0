// Every enabled menu item and toolbar button of a loaded main frame, on an installation
// of each collection: each one runs without an error escaping, the dialog keys reach
// their own forms, and the frame still answers afterwards.
#include <gtest/gtest.h>

#include <QAction>
#include <algorithm>
#include <set>

#include "lists/list_store.h"
#include "platform/profile_writer.h"
#include "shell/command_state.h"
#include "shell/config.h"
#include "shell/main_menu.h"
#include "shell/ui/frm_password.h"
#include "shell/ui/frm_velk.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fake_modal.h"
#include "tests/support/fakes.h"
#include "tests/shell/frame_fixture.h"
#include "tests/support/sample_install.h"
#include "viewer/viewer_nav.h"

using namespace velk;
using namespace velk::test;
namespace mks = velk::mksample;

namespace {

// Items that end the run or switch the collection: tested on their own elsewhere.
bool Skipped(const std::string& name) {
    return name == "mnuExit" || name == "mnuQuorvel" || name == "mnuFennic" || name == "mnuTovrin";
}

// A person at a single drive: puts in the volume the question names. A question for the
// volume already in the drive, or for none it knows, gets Cancel, so nothing can loop.
class DiscSwapper : public Prompt {
public:
    explicit DiscSwapper(mks::SampleResult& s) : s_(s) {}
    std::vector<std::string> inserted;
    int ask(const std::string& text, int) override {
        for (const mks::SampleVolume& v : s_.volumes)
            if (text.find("Volume " + v.name + ".") != std::string::npos && s_.insertedVolume != v.name) {
                mks::InsertVolume(s_, v.name);
                inserted.push_back(v.name);
                return 1;
            }
        return 3;
    }

private:
    mks::SampleResult& s_;
};

struct Walk : LoadedFrame {
    explicit Walk(mks::Collection c, mks::DriveMode mode = mks::DriveMode::Tower,
                  mks::Installation installation = mks::Installation::Open)
        : LoadedFrame(c, mode, installation), swapper(s), settings(app, modal, frame.get()) {
        app.ports.prompt = &swapper;
        frame->setSettingsWindows(&settings);  // the real windows, over the fake modal
    }
    ~Walk() { frame->setSettingsWindows(nullptr); }
    DiscSwapper swapper;
    QtSettingsWindows settings;
    // Triggers every enabled item and button once; returns how many ran.
    int everything() {
        int ran = 0;
        std::vector<std::string> names;
        for (const MenuEntry& e : MenuTree())
            if (e.kind == MenuKind::Item && !Skipped(e.name)) names.push_back(e.name);
        for (const ToolbarButton& b : ToolbarButtons()) names.push_back(b.key);
        for (const std::string& n : names) {
            QAction* a = frame->item(n);
            if (!a || !a->isEnabled()) continue;
            a->trigger();
            // Tried and put back, as a person would: left on, a single-drive installation
            // would go on in tower mode.
            if (n == "Jukebox") a->trigger();
            ++ran;
        }
        return ran;
    }
};

}  // namespace

TEST(WalkEveryItem, EachCollectionsItemsRunAndReachTheirForms) {
    const struct {
        mks::Collection collection;
        mks::DriveMode mode;
        mks::Installation installation;
    } kCases[] = {
        {mks::Collection::Quorvel, mks::DriveMode::Tower, mks::Installation::Open},
        {mks::Collection::Tovrin, mks::DriveMode::Tower, mks::Installation::Open},
        {mks::Collection::Assign, mks::DriveMode::Tower, mks::Installation::Open},
        {mks::Collection::Quorvel, mks::DriveMode::Drive, mks::Installation::Open},
        {mks::Collection::Tovrin, mks::DriveMode::Drive, mks::Installation::Restricted},
        {mks::Collection::Assign, mks::DriveMode::Tower, mks::Installation::Restricted},
        {mks::Collection::Quorvel, mks::DriveMode::Tower, mks::Installation::Restricted},
    };
    for (const auto& k : kCases) {
        const mks::Collection c = k.collection;
        Walk w(c, k.mode, k.installation);
        const bool single = k.mode == mks::DriveMode::Drive;
        const bool restricted = k.installation == mks::Installation::Restricted;
        SCOPED_TRACE(w.s.collectionMode + (single ? " single drive" : " tower") + (restricted ? " restricted" : ""));
        ASSERT_EQ(w.app.config.isRestricted(), restricted);
        const std::string configBefore = ReadTextFile(w.s.configFile.string());
        // Nothing shown yet: only what needs no document.
        const int idle = w.everything();
        EXPECT_GT(idle, 5);

        // At a single drive, a document on the volume that is not in it: the walk has to
        // swap discs, as a person would.
        const mks::SampleDocument* shownDoc = &w.s.documents.front();
        for (const mks::SampleDocument& d : w.s.documents)
            if (single && d.volume != w.s.insertedVolume) {
                shownDoc = &d;
                break;
            }
        const mks::SampleDocument& d = *shownDoc;
        w.app.doc.CurDocNo = d.number;
        w.app.doc.CurVolume = d.volume;
        ASSERT_TRUE(w.frame->displayDocument(1)) << w.fakes.messages.last();
        if (single) {
            EXPECT_FALSE(w.swapper.inserted.empty()) << "the other volume was never asked for";
        }
        w.modal.shown.clear();
        const int shown = w.everything();
        EXPECT_GT(shown, idle + 10) << "a shown document enables the viewer commands";

        const std::set<std::string> forms(w.modal.shown.begin(), w.modal.shown.end());
        const bool patents = c == mks::Collection::Quorvel;
        for (const char* form : {"frmFind", "frmImport", "frmGoto", "frmView"})
            EXPECT_TRUE(forms.count(form)) << form << " never opened";
        EXPECT_TRUE(forms.count(patents ? "frmPrint" : "frmMarkPrint")) << "the print dialog never opened";
        EXPECT_TRUE(forms.count(patents ? "frmExport" : "frmMarkExport")) << "the export dialog never opened";
        if (restricted) {
            // The drive and tower settings asked for the password; refused, they wrote nothing.
            EXPECT_TRUE(forms.count("frmPassword")) << "no password asked";
            const ConfigScan before = ScanConfigText(configBefore);
            const ConfigScan after = ScanConfigText(ReadTextFile(w.s.configFile.string()));
            for (const char* key : {"SMART_CD_ON", "CD_DRIVE", "SMART_CD_QUORVEL", "SMART_CD_TOVRIN"})
                EXPECT_EQ(after[key], before[key]) << key;
        }
        // The frame still answers (the walk toggled Jukebox and the like, so the
        // installation it leaves is not the one it started on).
        EXPECT_TRUE(w.frame->item("BTN_FIND")->isEnabled());
        EXPECT_FALSE(w.frame->ended());
    }
}
