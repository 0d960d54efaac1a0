// Every enabled menu item and toolbar button of a loaded main frame, on an installation
// of each collection: each one runs without an error escaping, the dialog keys reach
// their own forms, and the frame still answers afterwards.
#include <gtest/gtest.h>

#include <QAction>
#include <algorithm>
#include <set>

#include "lists/list_store.h"
#include "shell/command_state.h"
#include "shell/main_menu.h"
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

struct Walk : LoadedFrame {
    explicit Walk(mks::Collection c) : LoadedFrame(c) {}
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
            ++ran;
        }
        return ran;
    }
};

}  // namespace

TEST(WalkEveryItem, EachCollectionsItemsRunAndReachTheirForms) {
    for (mks::Collection c : {mks::Collection::Quorvel, mks::Collection::Tovrin, mks::Collection::Assign}) {
        Walk w(c);
        SCOPED_TRACE(w.s.collectionMode);
        // Nothing shown yet: only what needs no document.
        const int idle = w.everything();
        EXPECT_GT(idle, 5);

        const mks::SampleDocument& d = w.s.documents.front();
        w.app.doc.CurDocNo = d.number;
        w.app.doc.CurVolume = d.volume;
        ASSERT_TRUE(w.frame->displayDocument(1));
        w.modal.shown.clear();
        const int shown = w.everything();
        EXPECT_GT(shown, idle + 10) << "a shown document enables the viewer commands";

        const std::set<std::string> forms(w.modal.shown.begin(), w.modal.shown.end());
        const bool patents = c == mks::Collection::Quorvel;
        for (const char* form : {"frmFind", "frmImport", "frmGoto", "frmView"})
            EXPECT_TRUE(forms.count(form)) << form << " never opened";
        EXPECT_TRUE(forms.count(patents ? "frmPrint" : "frmMarkPrint")) << "the print dialog never opened";
        EXPECT_TRUE(forms.count(patents ? "frmExport" : "frmMarkExport")) << "the export dialog never opened";
        // The frame still answers (the walk toggled Jukebox and the like, so the
        // installation it leaves is not the one it started on).
        EXPECT_TRUE(w.frame->item("BTN_FIND")->isEnabled());
        EXPECT_FALSE(w.frame->ended());
    }
}
