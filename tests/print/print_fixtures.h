#pragma once
// A generated installation with its list store, fakes and a recording progress view.
#include <stdexcept>
#include <string>
#include <vector>

#include "common/vb_text.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "print/print_engine.h"
#include "print/print_runs.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fake_modal.h"
#include "tests/support/fakes.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/mksample.h"
#include "viewer/document_locator.h"

namespace velk::test {

namespace mks = velk::mksample;

struct ProgressLog : PrintProgressView {
    std::vector<PrintProgress> shown;
    void showProgress(const PrintProgress& p) override { shown.push_back(p); }
};

struct PrintInstall {
    TempTree tree{"print"};
    mks::SampleResult s;
    FakePorts ports;
    FakeModal modal;
    App app;
    std::unique_ptr<ListStore> lists;

    PrintInstall(mks::Collection c, mks::DriveMode mode, int documentsPerVolume = 3) {
        s = MakeSmallSample(tree.root() / "inst", c, mode, documentsPerVolume);
        PointAppAt(app, s, mode);
        app.config.PageType = "LETTER";
        ports.wire(app.ports);
        lists = std::make_unique<ListStore>(tree.root() / "lists.db", s.collectionMode);
        lists->OpenDatabases();
        app.lists = lists.get();
    }
    // The entry text of a document as the lists store it.
    static std::string Entry(const mks::SampleDocument& d) { return FixedWidth(d.number, 9) + d.volume; }
    void toPrint(const mks::SampleDocument& d) { lists->AddToPrint(Entry(d), Int16(d.pages)); }
    // Makes d the shown document, as viewing it does.
    bool show(const mks::SampleDocument& d) {
        app.doc.CurDocNo = d.number;
        app.doc.CurVolume = d.volume;
        if (!GetPath_OpenIdx(app, d.number, d.volume)) return false;
        app.doc.CurPageCount = Int16(d.pages);
        return true;
    }
    const mks::SampleDocument* withPages(int atLeast) const {
        for (const auto& d : s.documents)
            if (d.pages >= atLeast) return &d;
        return nullptr;
    }
    // Shows the first document of at least that many pages.
    const mks::SampleDocument& showWith(int atLeast) {
        const mks::SampleDocument* d = withPages(atLeast);
        if (!d || !show(*d))
            throw std::runtime_error("no document of " + std::to_string(atLeast) + " pages shown");
        return *d;
    }
    // A batch from To Print in a run of its own, as the menu starts one; its summary kept.
    RunSummary summary;
    BatchResult listBatch(PrintProgressView* log = nullptr) {
        PrintRun run(app, log);
        const BatchResult r = PrintListBatch(app, run);
        summary = run.summary;
        return r;
    }
    BatchResult patentBatch(PageChoice choice) {
        PrintRun run(app, nullptr);
        const BatchResult r = PrintPatentBatch(app, run, PageOptions{.choice = choice});
        summary = run.summary;
        return r;
    }
    // The numbers on a list, in its order.
    std::vector<std::string> listed(ListTable t) const {
        std::vector<std::string> out;
        for (const ListRow& r : lists->Rows(t)) out.push_back(Trim(Left(r.DocumentNo, 9)));
        return out;
    }
    std::vector<std::string> printList() const { return listed(ListTable::ToPrint); }
};

}  // namespace velk::test
