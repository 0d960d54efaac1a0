// A loaded main frame on a generated tower installation: real frame and viewers, fake
// ports and modal, every document of the installation on the Found list.
#pragma once

#include <memory>

#include "lists/list_store.h"
#include "shell/command_state.h"
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

    explicit LoadedFrame(mksample::Collection c = mksample::Collection::Quorvel) {
        s = MakeSmallSample(tree.root() / "inst", c, mksample::DriveMode::Tower, 3);
        PointAppAt(app, s, mksample::DriveMode::Tower);
        fakes.wire(app.ports);
        app.ports.modal = &modal;
        lists = std::make_unique<ListStore>(tree.root() / "lists.db", s.collectionMode);
        EXPECT_TRUE(lists->OpenDatabases());
        app.lists = lists.get();
        frame = std::make_unique<frmVelk>(app, session, modal);
        app.ports.frame = frame.get();
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
