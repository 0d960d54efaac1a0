#pragma once
// A generated installation in the viewers' hands: the real viewer windows in an MDI area,
// a list store whose Found list holds the installation's documents, and the fakes.
#include <QMdiArea>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/vb_text.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fakes.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/mksample.h"
#include "viewer/ui/frm_view.h"
#include "viewer/ui/imaging_control.h"

namespace velk::test {

namespace mks = velk::mksample;

// The prompt's answers, with a hook that may put the volume in while the question is up.
struct VolumeArrives : FakePrompt {
    std::function<void(int)> onAsk;
    int ask(const std::string& text, int previous) override {
        const int a = FakePrompt::ask(text, previous);
        if (onAsk) onAsk(static_cast<int>(asked.size()));
        return a;
    }
};

struct ViewerInstall {
    TempTree tree{"viewers"};
    mks::SampleResult s;
    FakePorts ports;
    App app;
    std::unique_ptr<ListStore> lists;
    QMdiArea area;
    std::unique_ptr<Viewers> viewers;
    int allClosed = 0;

    ViewerInstall(mks::Collection c, mks::DriveMode mode, int documentsPerVolume = 3) {
        init(MakeSmallSample(tree.root() / "inst", c, mode, documentsPerVolume), mode);
    }
    void init(mks::SampleResult made, mks::DriveMode mode) {
        s = std::move(made);
        PointAppAt(app, s, mode);
        ports.wire(app.ports);
        lists = std::make_unique<ListStore>(tree.root() / "lists.db", s.collectionMode);
        lists->OpenDatabases();
        app.lists = lists.get();
        area.resize(1000, 800);
        viewers = std::make_unique<Viewers>(app, &area);
        viewers->onAllClosed = [this] { ++allClosed; };
    }
    ~ViewerInstall() { viewers.reset(); }

    void found(const mks::SampleDocument& d) {
        // Assignments come to the Found list as the find dialog's "rrrr/ffff" lines.
        std::string e = app.config.isAssignments()
                            ? Left(d.number, 4) + "/" + Mid(d.number, 5, 4) + " " + d.volume
                            : FixedWidth(d.number, 9) + d.volume;
        lists->AddToFound(e, Int16(d.pages));
    }
    void foundAll() {
        for (const auto& d : s.documents) found(d);
    }
    const mks::SampleDocument* first(mks::ImageKind kind) const {
        for (const auto& d : s.documents)
            if (d.kind == kind) return &d;
        return nullptr;
    }
    bool show(const mks::SampleDocument& d, int which) {
        app.doc.CurDocNo = d.number;
        app.doc.CurVolume = d.volume;
        return viewers->DisplayDocument(which);
    }
    std::string title(int which) const {
        frmView1* v = viewers->view(which);
        return v ? v->windowTitle().toStdString() : std::string();
    }
};

}  // namespace velk::test
