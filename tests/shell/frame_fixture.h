// A loaded main frame on a generated tower installation: real frame and viewers, fake
// ports and modal, every document of the installation on the Found list.
#pragma once

#include <memory>

#include "lists/list_store.h"
#include "shell/command_state.h"
#include "shell/config.h"
#include "shell/settings.h"
#include "shell/ui/frm_velk.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fake_modal.h"
#include "tests/support/fakes.h"
#include "tests/support/sample_install.h"
#include "viewer/viewer_nav.h"

namespace velk::test {

struct LoadedFrame {
    TempTree tree{"shell-frame"};
    mksample::SampleResult s;
    FakePorts fakes;
    App app;
    Session session;
    FakeModal modal;
    std::unique_ptr<ListStore> lists;
    std::unique_ptr<frmVelk> frame;

    // Other drive modes and installation types read the installation's own configuration,
    // as start-up does.
    explicit LoadedFrame(mksample::Collection c = mksample::Collection::Quorvel,
                         mksample::DriveMode mode = mksample::DriveMode::Tower,
                         mksample::Installation installation = mksample::Installation::Open) {
        s = MakeSmallSample(tree.root() / "inst", c, mode, 3, false, installation);
        PointAppAt(app, s, mode);
        fakes.wire(app.ports);
        if (mode != mksample::DriveMode::Tower || installation != mksample::Installation::Open) {
            EXPECT_TRUE(ReadIni(app));
        }
        app.ports.modal = &modal;
        lists = std::make_unique<ListStore>(tree.root() / "lists.db", s.collectionMode);
        EXPECT_TRUE(lists->OpenDatabases());
        app.lists = lists.get();
        frame = std::make_unique<frmVelk>(app, session, modal);
        app.ports.frame = frame.get();
        SetJukeboxMark(app);  // as start-up does: the mark follows the file
        frame->resize(1000, 800);
        frame->show();
        for (const auto& d : s.documents) {
            std::string e = EntryText(d.number, d.volume);
            lists->AddToFound(e, Int16(d.pages));
        }
        ViewersClosed(app);
    }
    ~LoadedFrame() {
        app.ports.frame = nullptr;
        frame.reset();
    }
    LoadedFrame(const LoadedFrame&) = delete;
    LoadedFrame& operator=(const LoadedFrame&) = delete;
};

}  // namespace velk::test
