// The viewer windows through the Viewers facade on generated installations: opening,
// page and document navigation with the button states and captions, linked viewers,
// closing, the insert-volume prompt, copy, prefetch, and a document missing from its volume.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <deque>
#include <filesystem>
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
#include "viewer/page_loading.h"
#include "viewer/ui/frm_view.h"
#include "viewer/ui/imaging_control.h"
#include "viewer/ui/load_image.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
namespace mks = velk::mksample;
using mks::Collection;
using mks::DriveMode;
using mks::ImageKind;

// The prompt's answers, with a hook that may put the volume in while the question is up.
struct VolumeArrives : test::FakePrompt {
    VolumeArrives(App& app, std::deque<int> given) {
        answers = std::move(given);
        app.ports.prompt = this;
    }
    std::function<void(int)> onAsk;
    int ask(const std::string& text, int previous) override {
        const int a = test::FakePrompt::ask(text, previous);
        if (onAsk) onAsk(static_cast<int>(asked.size()));
        return a;
    }
};

// A generated installation in the viewers' hands: the real viewer windows in an MDI area,
// a list store whose Found list holds the installation's documents, and the fakes.
struct ViewerInstall {
    test::TempTree tree{"viewers"};
    mks::SampleResult s;
    test::FakePorts ports;
    App app;
    std::unique_ptr<ListStore> lists;
    QMdiArea area;
    std::unique_ptr<Viewers> viewers;
    int allClosed = 0;

    ViewerInstall(mks::Collection c, mks::DriveMode mode) {
        s = test::MakeSmallSample(tree.root() / "inst", c, mode, 3);
        test::PointAppAt(app, s, mode);
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
        std::string entry = FixedWidth(d.number, 9) + d.volume;
        lists->AddToFound(entry, Int16(d.pages));
    }
    void foundAll() {
        for (const auto& d : s.documents) found(d);
    }
    // The first document of that kind with at least that many pages, or null.
    const mks::SampleDocument* first(mks::ImageKind kind, int pages = 1) const {
        for (const auto& d : s.documents)
            if (d.kind == kind && d.pages >= pages) return &d;
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

// A patent viewer's caption.
std::string PatentCaption(const mks::SampleDocument& d, int view, int page, int pages) {
    return FormatText(d.number, "###,###,###") + "  - View " + std::to_string(view) + "  - Page " +
           std::to_string(page) + "/" + std::to_string(pages) + "         CD Volume " + d.volume;
}

// The frame's first, previous, next and last buttons, as the viewers' state sets them.
NavButtons Nav(bool f, bool p, bool n, bool l) { return {f, p, n, l}; }

// A container document in viewer 1 and a TIFF document in viewer 2, each stepped to its
// end; captions, button states and the current document follow the active viewer, and
// linked, the other viewer follows within its own document. Then closing hands viewer 2's
// document to viewer 1, document navigation walks the found list in both viewers, and the
// next page comes prefetched, a page that fails to load leaves everything as it was, and copy.
TEST(Viewers, TwoViewersPagesClosingNavigationPrefetchAndCopy) {
    ViewerInstall in(Collection::Quorvel, DriveMode::Tower);
    in.foundAll();
    const mks::SampleDocument* box = in.first(ImageKind::Container);
    const mks::SampleDocument* tif = in.first(ImageKind::TiffTextMap);
    const auto& docs = in.s.documents;
    const int count = static_cast<int>(docs.size());
    ASSERT_TRUE(box && tif && box->pages >= 3 && tif->pages >= 2 && count >= 3 && docs[1].pages >= 2);

    ASSERT_TRUE(in.show(*box, 1));
    EXPECT_EQ(in.viewers->windowListEntry(1),
              "&1 " + FormatText(box->number, "###,###,###") + "  - View 1  - Page 1/" + std::to_string(box->pages));
    EXPECT_EQ(in.viewers->windowListEntry(2), "&2");
    in.viewers->PreviousPage();  // on page 1: nothing
    EXPECT_TRUE(in.viewers->atFirstPage());
    for (int p = 2; p <= box->pages; ++p) {
        in.viewers->NextPage();
        EXPECT_EQ(in.title(1), PatentCaption(*box, 1, p, box->pages));
    }
    in.viewers->NextPage();  // on the last page: nothing
    EXPECT_TRUE(in.viewers->atLastPage());

    ASSERT_TRUE(in.show(*tif, 2));
    EXPECT_EQ(in.viewers->active(), 2);
    EXPECT_EQ(in.title(2), PatentCaption(*tif, 2, 1, tif->pages));
    EXPECT_EQ(in.title(1), PatentCaption(*box, 1, box->pages, box->pages));
    EXPECT_EQ(in.viewers->state().page, Nav(false, false, true, true));
    in.viewers->LastPage();
    EXPECT_EQ(in.title(2), PatentCaption(*tif, 2, tif->pages, tif->pages));

    // Activating viewer 1 makes its document the current one again; its bounds are its own.
    in.viewers->Activate(1);
    EXPECT_EQ(in.app.doc.CurDocNo, box->number);
    EXPECT_EQ(in.app.doc.Page.PagePath, in.app.viewers[0].ImagePath);
    EXPECT_EQ(in.viewers->state().page, Nav(true, true, false, false));
    in.viewers->PreviousPage();
    EXPECT_EQ(in.title(1), PatentCaption(*box, 1, box->pages - 1, box->pages));
    EXPECT_EQ(in.title(2), PatentCaption(*tif, 2, tif->pages, tif->pages));
    // The shown page is the one the file holds.
    const PageImage direct = PageImage::loadRaw(in.app.viewers[0].ImagePath, RequestFor(in.app.doc.Page).spec);
    EXPECT_EQ(in.viewers->view(1)->accView->page().blackCount(), direct.blackCount());

    // Linked: the other viewer goes to, zooms, fits and scrolls with the active one (a turn
    // is tested by real input); the current document stays the active viewer's.
    in.viewers->setLinked(true);
    ASSERT_TRUE(in.viewers->GoToPage(1, box->pages));
    EXPECT_EQ(in.title(2), PatentCaption(*tif, 2, std::min(box->pages, tif->pages), tif->pages));
    EXPECT_EQ(in.app.doc.CurDocNo, box->number);
    ImagingControl* other = in.viewers->view(2)->accView;
    in.viewers->SetView(ViewMode::Zoom, 400);
    EXPECT_EQ(other->ZoomLevel(), 400);
    QScrollBar* bar = in.viewers->view(1)->accView->verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_EQ(other->verticalScrollBar()->value(), other->verticalScrollBar()->maximum());
    in.viewers->FitWidth();
    EXPECT_EQ(other->FitMethod(), 1);
    in.viewers->setLinked(false);
    in.viewers->FirstPage();
    EXPECT_EQ(in.title(2), PatentCaption(*tif, 2, std::min(box->pages, tif->pages), tif->pages));

    // Closing viewer 1 hands viewer 2's document over.
    ASSERT_TRUE(in.show(docs[0], 1));
    ASSERT_TRUE(in.show(docs[1], 2));
    in.viewers->NextPage();

    in.viewers->window(1)->close();  // the close box goes the same way
    QApplication::processEvents();
    EXPECT_TRUE(in.viewers->isOpen(1));
    EXPECT_FALSE(in.viewers->isOpen(2));
    EXPECT_EQ(in.viewers->active(), 1);
    EXPECT_EQ(in.title(1), PatentCaption(docs[1], 1, 2, docs[1].pages));
    EXPECT_EQ(in.app.viewers[0].DocNo, docs[1].number);
    EXPECT_EQ(in.app.doc.CurDocNo, docs[1].number);
    EXPECT_TRUE(in.app.viewerFlags.Viewer2Closed);
    EXPECT_EQ(in.viewers->windowListEntry(2), "&2");
    EXPECT_EQ(in.allClosed, 0);

    // Viewer 2 closes to viewer 1; the last close ends in the no-document state.
    ASSERT_TRUE(in.show(docs[0], 2));
    in.viewers->Close(2);
    EXPECT_FALSE(in.viewers->isOpen(2));
    EXPECT_EQ(in.app.doc.CurDocNo, docs[1].number);
    in.viewers->Close(1);
    EXPECT_FALSE(in.viewers->isOpen(1));
    EXPECT_EQ(in.allClosed, 1);
    EXPECT_EQ(in.app.viewerFlags.FilePages, 0);
    EXPECT_EQ(in.viewers->active(), 0);

    // Nothing acts on a missing window, and nothing opens one.
    in.viewers->NextPage();
    in.viewers->Zoom100();
    in.viewers->Rotate();
    EXPECT_FALSE(in.viewers->Copy());
    EXPECT_FALSE(in.viewers->NewWindow());
    in.viewers->Close(2);
    EXPECT_EQ(in.area.subWindowList().size(), 0);
    EXPECT_FALSE(in.viewers->state().anyShown());

    // Document navigation by position, both viewers loading each document.
    EXPECT_FALSE(in.viewers->NextDocument());  // no viewer: nothing opens
    EXPECT_FALSE(in.viewers->isOpen(1));

    ASSERT_TRUE(in.show(docs[0], 1));
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, 1);
    EXPECT_EQ(in.viewers->state().document, Nav(false, false, true, true));
    ASSERT_TRUE(in.show(docs[0], 2));

    for (int p = 2; p <= count; ++p) {
        ASSERT_TRUE(in.viewers->NextDocument()) << p;
        const mks::SampleDocument& d = docs[static_cast<std::size_t>(p - 1)];
        EXPECT_EQ(in.app.viewerFlags.FoundPosition, p);
        EXPECT_EQ(in.app.viewers[0].DocNo, d.number);
        EXPECT_EQ(in.app.viewers[1].DocNo, d.number);
        EXPECT_EQ(in.title(1), PatentCaption(d, 1, 1, d.pages));
        EXPECT_EQ(in.title(2), PatentCaption(d, 2, 1, d.pages));
        EXPECT_EQ(in.viewers->state().document, Nav(true, true, p < count, p < count));
        EXPECT_EQ(in.viewers->atLastDocument(), p == count);
    }
    EXPECT_FALSE(in.viewers->NextDocument());
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, count);

    ASSERT_TRUE(in.viewers->FirstDocument());
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, 1);
    EXPECT_TRUE(in.viewers->atFirstDocument());
    EXPECT_FALSE(in.viewers->PreviousDocument());
    ASSERT_TRUE(in.viewers->LastDocument());
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, count);
    ASSERT_TRUE(in.viewers->PreviousDocument());
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, count - 1);

    // A position chosen in the found-list view: next reads the entry after it.
    in.app.viewerFlags.FoundListChoice = Int16(1);
    ASSERT_TRUE(in.viewers->NextDocument());
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, 2);
    EXPECT_EQ(in.app.viewerFlags.FoundListChoice, 0);
    EXPECT_EQ(in.app.doc.CurDocNo, docs[1].number);

    // The next page comes from the worker with its first screen rendered, and is the page the
    // file holds; without prefetch the control renders nothing until it paints. A page that
    // cannot be decoded: the message, and the page, captions and record as before. Copy puts
    // the page on the clipboard, and claims nothing without one.
    in.viewers->Close(2);
    ASSERT_TRUE(in.show(*box, 1));
    ImagingControl* c = in.viewers->view(1)->accView;
    in.viewers->settlePrefetch();
    in.viewers->NextPage();
    EXPECT_GT(c->cachedTiles(), 0);
    const PageImage next = PageImage::loadRaw(in.app.viewers[0].ImagePath, RequestFor(in.app.doc.Page).spec);
    EXPECT_EQ(c->page().blackCount(), next.blackCount());
    EXPECT_EQ(in.app.viewers[0].PageText, "2");
    in.viewers->setPrefetch(false);
    in.viewers->NextPage();
    EXPECT_EQ(c->cachedTiles(), 0);
    EXPECT_EQ(in.app.viewers[0].PageText, "3");

    ASSERT_TRUE(in.show(*tif, 1));
    const std::string before = in.title(1);
    const QSize shown = c->page().size();
    fs::resize_file(in.app.viewers[0].ImagePath, 64);
    in.viewers->NextPage();
    EXPECT_EQ(in.ports.messages.last(), "Error at function Loadimage");
    EXPECT_EQ(in.title(1), before);
    EXPECT_EQ(in.app.viewers[0].PageText, "1");
    EXPECT_EQ(c->page().size(), shown);
    EXPECT_EQ(in.app.doc.Page.PageText, "1");

    ASSERT_TRUE(in.viewers->Copy());
    ASSERT_FALSE(in.ports.clipboard.image.isNull());
    EXPECT_EQ(in.ports.clipboard.image.size(), shown);
    EXPECT_EQ(in.ports.messages.last(), "Document copied to the Clipboard!");
    EXPECT_EQ(in.ports.messages.shown.back().title, "Quorvel");
    in.ports.messages.shown.clear();
    c->setClipboard(nullptr);
    EXPECT_FALSE(in.viewers->Copy());
    EXPECT_TRUE(in.ports.messages.shown.empty());

    // The damaged document in viewer 2 beside a good one: viewer 1 stays the active one
    // (with the area shown, as windows activate only there).
    in.area.show();
    ASSERT_TRUE(in.show(*box, 1));
    EXPECT_FALSE(in.show(*tif, 2));
    EXPECT_FALSE(in.viewers->isOpen(2));
    EXPECT_EQ(in.viewers->active(), 1);
    in.viewers->NextPage();
    EXPECT_EQ(in.title(1), PatentCaption(*box, 1, 2, box->pages));
}

// Found entries whose documents their volume does not list: the message when one is
// opened, and navigation going on past a run of them with one message for the run.
TEST(Viewers, MissingDocumentsAreReportedAndSkipped) {
    ViewerInstall in(Collection::Quorvel, DriveMode::Tower);
    const auto& docs = in.s.documents;
    in.found(docs[0]);
    mks::SampleDocument ghost = docs[0], ghost2 = docs[0];
    ghost.number = "9999999";
    ghost2.number = "9999998";
    in.found(ghost);
    in.found(ghost2);
    in.found(docs[1]);

    ASSERT_TRUE(in.show(docs[0], 1));
    const std::string before = in.title(1);
    EXPECT_FALSE(in.show(ghost, 1));
    EXPECT_EQ(in.ports.messages.last(), "Document Not Found!");
    EXPECT_EQ(in.ports.messages.shown.back().title, "Quorvel");
    EXPECT_EQ(in.app.doc.CurDocNo, docs[0].number);
    EXPECT_EQ(in.title(1), before);

    const std::string skipped = "2 documents were skipped:\n9999999 on volume " + docs[0].volume +
                                ": Document Not Found!\n9999998 on volume " + docs[0].volume +
                                ": Document Not Found!";
    in.ports.messages.shown.clear();
    ASSERT_TRUE(in.viewers->NextDocument());
    EXPECT_EQ(in.app.doc.CurDocNo, docs[1].number);
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, 4);
    ASSERT_EQ(in.ports.messages.shown.size(), 1u);
    EXPECT_EQ(in.ports.messages.last(), skipped);
    in.ports.messages.shown.clear();
    ASSERT_TRUE(in.viewers->PreviousDocument());  // back past them as well
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, 1);
    ASSERT_EQ(in.ports.messages.shown.size(), 1u);
    EXPECT_EQ(in.ports.messages.last(), "2 documents were skipped:\n9999998 on volume " + docs[0].volume +
                                            ": Document Not Found!\n9999999 on volume " + docs[0].volume +
                                            ": Document Not Found!");
}

// Trademarks: viewer 1 keeps its page when viewer 2 opens (it went back to page 1), the
// captions without a volume in viewer 2, and PgDn/PgUp scrolling within a page before turning it.
TEST(Viewers, TrademarkViewerOneKeepsItsPageAndScrollingTurnsPages) {
    ViewerInstall in(Collection::Tovrin, DriveMode::Tower);
    in.foundAll();
    const mks::SampleDocument* d = in.first(ImageKind::Tiff, 2);
    ASSERT_TRUE(d);
    ASSERT_TRUE(in.show(*d, 1));
    const std::string number = FormatText(d->number, "0000000"), pages = std::to_string(d->pages);
    in.viewers->NextPage();
    ASSERT_TRUE(in.viewers->NewWindow());
    EXPECT_EQ(in.title(2), number + "  - View 2 - Page 1/" + pages);
    in.viewers->NextPage();
    EXPECT_EQ(in.app.viewers[1].DocNo, Left(Right(in.app.viewers[1].ImagePath, 11), 7) + " ");
    EXPECT_EQ(in.viewers->view(2)->accView->page().pageNumber(), 2);
    in.viewers->Activate(1);
    EXPECT_EQ(in.app.viewers[0].PageNumber, 2);
    EXPECT_EQ(in.viewers->state().page, Nav(true, true, d->pages > 2, d->pages > 2));
    in.viewers->PreviousPage();
    EXPECT_EQ(in.title(1), number + "  - View 1 - Page 1/" + pages + "         CD Volume " + d->volume);

    in.viewers->Zoom100();
    QScrollBar* bar = in.viewers->view(1)->accView->verticalScrollBar();
    int downs = 0;
    while (in.app.viewers[0].PageNumber == 1 && downs < 200) {
        in.viewers->PageDownOrNext();
        ++downs;
    }
    EXPECT_EQ(in.app.viewers[0].PageNumber, 2);
    EXPECT_GT(downs, 1);  // the page was taller than the window: scrolled first
    EXPECT_EQ(bar->value(), 0);
    in.viewers->PageUpOrPrevious();  // at the top: back to the end of page 1
    EXPECT_EQ(in.app.viewers[0].PageNumber, 1);
    EXPECT_EQ(bar->value(), bar->maximum());

    // A dialog opening ends a zoom-area selection still waiting for its rectangle.
    in.viewers->ZoomArea();
    in.viewers->EndZoomArea();
    EXPECT_FALSE(in.viewers->zoomArea());
    // A document shown in viewer 1 closes viewer 2.
    ASSERT_TRUE(in.show(in.s.documents[0], 1));
    EXPECT_FALSE(in.viewers->isOpen(2));
}

// Single drive: the prompt until the volume is in the drive, and Cancel.
TEST(Viewers, InsertVolumePromptLoopsUntilTheVolumeIsThere) {
    ViewerInstall in(Collection::Quorvel, DriveMode::Drive);
    const mks::SampleDocument* other = nullptr;
    for (const auto& d : in.s.documents)
        if (d.volume != in.s.insertedVolume) other = &d;
    ASSERT_TRUE(other);

    VolumeArrives prompt(in.app, {1, 1});
    prompt.onAsk = [&](int n) {
        if (n == 2) mks::InsertVolume(in.s, other->volume);  // after the second OK it is in
    };
    ASSERT_TRUE(in.show(*other, 1));
    ASSERT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(prompt.asked[0],
              "Please insert CDROM Volume " + other->volume + ".  Current CDRom Drive is " + in.app.config.CDDrive);
    EXPECT_EQ(in.app.viewers[0].DocNo, other->number);

    // Cancel: nothing opens, nothing changes.
    std::vector<const mks::SampleDocument*> here, away;  // on that volume, and on the others
    for (const auto& d : in.s.documents) (d.volume == other->volume ? here : away).push_back(&d);
    ASSERT_TRUE(here.size() >= 2 && !away.empty());
    const mks::SampleDocument* back = away.back();
    VolumeArrives cancel(in.app, {1, 3});
    const std::string before = in.title(1);
    EXPECT_FALSE(in.show(*back, 2));
    EXPECT_EQ(cancel.asked.size(), 2u);
    EXPECT_FALSE(in.viewers->isOpen(2));
    EXPECT_EQ(in.title(1), before);
    EXPECT_EQ(in.app.doc.CurDocNo, other->number);
    EXPECT_EQ(in.app.doc.CurVolume, other->volume);

    // Next document, its volume not there, Cancel: the document shown stays, where it is.
    in.found(*here[0]);
    in.found(*here[1]);
    in.found(*back);
    ASSERT_TRUE(in.show(*here[1], 1));
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, 2);
    const std::string shown = in.title(1);
    VolumeArrives once(in.app, {3});
    EXPECT_FALSE(in.viewers->NextDocument());
    EXPECT_EQ(once.asked.size(), 1u);
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, 2);
    EXPECT_EQ(in.app.doc.CurDocNo, here[1]->number);
    EXPECT_EQ(in.title(1), shown);
}

}  // namespace
}  // namespace velk
