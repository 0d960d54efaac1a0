// The go-to-page dialog on located documents of generated installations.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "tests/index/find_fixture.h"
#include "viewer/document_locator.h"
#include "viewer/goto_page.h"
#include "viewer/page_loading.h"
#include "viewer/ui/frm_goto.h"

namespace velk {
namespace {

namespace mks = velk::mksample;
using test::FindSetup;

// Locates d and records it as shown on `page` in viewer `n`, as the viewer windows do.
void ShowInViewer(FindSetup& in, const mks::SampleDocument& d, int n, int page) {
    if (in.s.insertedVolume != d.volume) mks::InsertVolume(in.s, d.volume);
    App& app = in.app;
    app.doc.CurDocNo = d.number;
    app.doc.CurVolume = d.volume;
    ASSERT_TRUE(GetPath_OpenIdx(app, d.number, d.volume));
    ASSERT_TRUE(GetPage(app, app.doc.CurImagePath, app.doc.CurDocNo, Int16(page)));
    if (!app.config.isTrademarks()) app.doc.Page.FilePages = Int16(d.pages);
    ViewerState& v = app.viewers[static_cast<std::size_t>(n - 1)];
    v.Doc = app.doc;
    v.Shown = true;
    v.PageText = app.doc.Page.PageText;
    v.PageNumber = Int16(page);
    app.viewers[0].Active = n == 1;
    app.viewers[1].Active = n == 2;
}

// What the dialog asked the viewers to show: (viewer, page).
struct Shown {
    std::vector<std::pair<int, int>> calls;
    ShowViewerPage fn() {
        return [this](int viewer, int page) {
            calls.emplace_back(viewer, page);
            return true;
        };
    }
};

TEST(GotoDialog, PatentPagesAndSectionsFromAMetaMap) {
    FindSetup in(mks::Collection::Quorvel, 0, 6);
    const mks::SampleDocument* meta = nullptr;
    for (const auto& d : in.s.documents)
        if (d.kind == mks::ImageKind::TiffEmbeddedMeta && d.sections.claims > 1) meta = &d;
    ASSERT_NE(meta, nullptr);
    ShowInViewer(in, *meta, 2, 2);
    EXPECT_EQ(ActiveViewer(in.app), 2);

    Shown shown;
    frmGoto g(in.app, shown.fn());
    EXPECT_EQ(g.windowTitle().toStdString(), "Go To Page...");
    EXPECT_TRUE(g.optPage->isChecked());
    EXPECT_EQ(g.lblPages->text().toStdString(), "of " + std::to_string(meta->pages));
    ASSERT_EQ(g.lstPage->count(), meta->pages);
    EXPECT_EQ(g.lstPage->item(0)->text().toStdString(), "1");
    EXPECT_EQ(g.lstPage->currentRow(), 1);  // the viewer's page
    EXPECT_EQ(g.optClaims->isEnabled(), meta->sections.claims != 0);
    EXPECT_EQ(g.optDrawings->isEnabled(), meta->sections.drawings != 0);
    EXPECT_EQ(g.optDescription->isEnabled(), meta->sections.description != 0);
    EXPECT_EQ(g.optBiblio->isEnabled(), meta->sections.info != 0);

    g.optClaims->setChecked(true);
    g.cmdOk->click();
    ASSERT_EQ(shown.calls.size(), 1u);
    EXPECT_EQ(shown.calls[0], std::make_pair(2, meta->sections.claims));
    EXPECT_TRUE(g.shown());

    // Page by number, then the first page.
    frmGoto byNumber(in.app, shown.fn());
    byNumber.lstPage->setCurrentRow(meta->pages - 1);
    byNumber.cmdOk->click();
    EXPECT_EQ(shown.calls.back(), std::make_pair(2, meta->pages));
    frmGoto first(in.app, shown.fn());
    first.optFirst->setChecked(true);
    first.cmdOk->click();
    EXPECT_EQ(shown.calls.back(), std::make_pair(2, 1));
}

TEST(GotoDialog, PageBoundsAndTheTrademarkPageCount) {
    // The model: nothing outside 1..count, a section past the end is no section.
    GotoChoice c;
    c.pageCount = Int16(12);
    c.claims = Int16(9);
    EXPECT_EQ(GotoTarget(c, GotoOption::Claims, 0), 9);
    EXPECT_EQ(GotoTarget(c, GotoOption::Page, 11), 12);
    EXPECT_EQ(GotoTarget(c, GotoOption::Page, 12), 0);
    EXPECT_EQ(GotoTarget(c, GotoOption::Page, -1), 0);
    EXPECT_EQ(GotoTarget(c, GotoOption::Drawings, 0), 0);
    int calls = 0;
    auto count = [&](int, int) { return ++calls > 0; };
    EXPECT_FALSE(ApplyGotoPage(c, 0, count));
    EXPECT_FALSE(ApplyGotoPage(c, 13, count));
    EXPECT_TRUE(ApplyGotoPage(c, 12, count));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(PagesOfText(12), "of 12");

    // Trademarks list the viewer's pages; no section of a patent map leaks in.
    FindSetup in(mks::Collection::Tovrin);
    const mks::SampleDocument* many = nullptr;
    for (const auto& d : in.s.documents)
        if (d.pages > 1) many = &d;
    ASSERT_NE(many, nullptr);
    in.app.doc.SectionFirstPage[SecClaims] = Int16(1);
    ShowInViewer(in, *many, 1, many->pages);
    Shown shown;
    frmGoto g(in.app, shown.fn());
    EXPECT_EQ(g.lblPages->text().toStdString(), "of " + std::to_string(many->pages));
    EXPECT_EQ(g.lstPage->count(), many->pages);
    EXPECT_EQ(g.lstPage->currentRow(), many->pages - 1);
    EXPECT_FALSE(g.optClaims->isEnabled());
    g.lstPage->setCurrentRow(0);
    g.cmdOk->click();
    EXPECT_EQ(shown.calls, (std::vector<std::pair<int, int>>{{1, 1}}));

    // Nothing shown: no pages to offer, OK does nothing; Cancel shows nothing.
    App empty;
    frmGoto none(empty, shown.fn());
    EXPECT_EQ(none.lblPages->text().toStdString(), "of 0");
    EXPECT_FALSE(none.cmdOk->isEnabled());
    none.cmdOk_Click();
    none.cmdCancel->click();
    EXPECT_EQ(shown.calls.size(), 1u);
}

}  // namespace
}  // namespace velk
