// The find dialog driven as a user drives it, on generated installations.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "index/ui/arrow_icons.h"
#include "index/ui/frm_find.h"
#include "tests/index/find_fixture.h"

namespace velk {
namespace {

namespace mks = velk::mksample;
using test::CumRec;
using test::FindSetup;
using test::Lines;
using test::Press;
using test::Selected;
using test::Type;

std::string NumberOf(const std::string& line) { return Trim(Left(line, 8)); }

// The found side: its count and list, and the buttons that depend on them.
void ExpectFound(const frmFind& f, int n) {
    EXPECT_EQ(f.lblFound->text().toStdString(), std::to_string(n) + " Documents Found");
    EXPECT_EQ(f.lstFound->count(), n);
    EXPECT_EQ(f.cmdFromFound->isEnabled(), n > 0);
    EXPECT_EQ(f.Check1->isEnabled(), n > 1);  // one entry: nothing to sort
}

// Browsing, then the cumulative index replaced (a new disc, a copy over the share) while the dialog is
// open: it goes on with the new file, inside its records, and never reads past its end.
TEST(FindDialog, BrowsesByKeyAndButtonAndReadsAReplacedIndexAnew) {
    FindSetup in(mks::Collection::Quorvel, 1000);
    frmFind f(in.app);
    EXPECT_EQ(f.windowTitle().toStdString(), "Document Finder");
    EXPECT_EQ(f.Label1->text().toStdString(), "Quorvel Cumulative Index");
    ExpectFound(f, 0);
    EXPECT_FALSE(f.cmdFromFound->icon().isNull());

    // Every line is number 8, one space, volume 10, and the lines follow the file: on opening, then after
    // each key and button from where the one before left the window; never past 1000.
    CumIndexFile index = OpenCumIndex(in.app);
    auto click = [](QAbstractButton* b) { return [b] { b->click(); }; };
    const std::tuple<const char*, std::function<void()>, int, int> steps[] = {
        {"opened", [] {}, 1, 0},
        {"PageDown", [&] { f.lstCum->setCurrentRow(19), Press(f.lstCum, Qt::Key_PageDown); }, 20, 19},
        {"Down on the last line", [&] { Press(f.lstCum, Qt::Key_Down); }, 21, 19},
        {"Up on line 0", [&] { f.lstCum->setCurrentRow(0), Press(f.lstCum, Qt::Key_Up); }, 20, 0},
        {"PageUp", [&] { Press(f.lstCum, Qt::Key_PageUp); }, 1, 0},
        {"bottom", click(f.cmdCumBottom), 981, 19},
        {"down 10000", click(f.cmdCumDown10000), 981, 19},
        {"up 1000", click(f.cmdCumUp1000), 1, 0},
        {"down 100", click(f.cmdCumDown100x), 101, 19},
        {"one line down", click(f.cmdCumDown100), 102, 19},
        {"up 100", click(f.cmdCumUp100x), 21, 0},
        {"Ctrl+End", [&] { Press(f.txtFind, Qt::Key_End, Qt::ControlModifier); }, 981, 19},
        {"top", click(f.cmdCumTop), 1, 0},
        {"bottom again", click(f.cmdCumBottom), 981, 19},
    };
    for (const auto& [what, act, first, row] : steps) {
        SCOPED_TRACE(what);
        act();
        EXPECT_EQ(f.window().first(), first);
        EXPECT_EQ(f.lstCum->currentRow(), row);
        std::vector<std::string> lines;
        for (int i = 0; i < 20; ++i) lines.push_back(FindEntryText(index.record(first + i)));
        EXPECT_EQ(Lines(f.lstCum), lines);
    }
    EXPECT_TRUE(in.ports.messages.shown.empty()) << in.ports.messages.last();

    // Three records now, the last cut two bytes short as the record rule allows.
    std::string records = CumRec("1000001", "QUOR_0001", "3") + CumRec("1000002", "QUOR_0001", "4") +
                          CumRec("1000003", "QUOR_0002", "2");
    records.resize(records.size() - 2);
    const std::filesystem::path path = in.app.config.CurrentIndexPath;
    std::filesystem::remove(path);  // a new file under the old name, as a copy makes it
    std::ofstream(path, std::ios::binary) << records;

    f.cmdCumBottom->click();
    EXPECT_LE(f.lstCum->count(), 3);
    f.cmdCumTop->click();
    ASSERT_GE(f.lstCum->count(), 1);
    EXPECT_EQ(NumberOf(Lines(f.lstCum)[0]), "1000001");
    Type(f.txtFind, "1000003");
    f.cmdFind->click();
    for (const std::string& line : Lines(f.lstCum)) EXPECT_LT(NumberOf(line), "1000004");

    // And gone altogether: nothing read past what was there, and the dialog still answers.
    std::filesystem::remove(path);
    f.cmdCumBottom->click();
    f.cmdCumTop->click();
    Type(f.txtFind, "1000001");
    f.cmdFind->click();
    EXPECT_EQ(in.ports.messages.last(), "Unable to read file " + path.string()) << "Find said nothing";
    EXPECT_LE(f.lstCum->count(), 3);
}

TEST(FindDialog, TypingAPatentPrefixOrNumberMovesTheWindowAndEnterAddsIt) {
    FindSetup in(mks::Collection::Quorvel, 1000);
    frmFind f(in.app);
    const mks::SampleDocument& a = in.s.documents.back();
    const mks::SampleDocument& b = in.s.documents.front();

    // A prefix typed in lower case lands on a record that begins with it.
    const std::string prefix = UCase(a.number.substr(0, 3));
    Type(f.txtFind, LCase(prefix));
    EXPECT_EQ(NumberOf(Selected(f.lstCum)).substr(0, 3), prefix);
    EXPECT_EQ(f.window().selectedRecord(), in.app.LastCumRecord);
    const std::int32_t before = f.window().first();
    f.txtFind->clear();  // an empty box leaves the window alone
    EXPECT_EQ(f.window().first(), before);
    Type(f.txtFind, a.number);
    EXPECT_EQ(NumberOf(Selected(f.lstCum)), a.number);

    Press(f.txtFind, Qt::Key_Return);
    ExpectFound(f, 1);
    in.expectConsistent(1, a.pages);
    EXPECT_EQ(Trim(in.entries(ListTable::Found)[0]), Trim(FixedWidth(a.number, 8) + " " + a.volume));
    // Enter again on the same line keeps one copy.
    Press(f.lstCum, Qt::Key_Return);
    in.expectConsistent(1, a.pages);

    f.txtFind->setText(QString::fromStdString(b.number));
    f.cmdFind->click();
    EXPECT_EQ(NumberOf(Selected(f.lstCum)), b.number);
    f.cmdToFound->click();
    in.expectConsistent(2, a.pages + b.pages);
    ExpectFound(f, 2);
    // Entry order, then numerical order.
    EXPECT_EQ(NumberOf(Lines(f.lstFound)[0]), a.number);
    f.Check1->click();
    EXPECT_TRUE(in.app.FoundSorted);
    EXPECT_EQ(NumberOf(Lines(f.lstFound)[0]), b.number);

    // A number that is not in the index moves the window without a message.
    f.txtFind->setText("ZZZZZZZ");
    f.cmdFind->click();
    EXPECT_EQ(f.window().last(), 1000);
    EXPECT_TRUE(in.ports.messages.shown.empty()) << in.ports.messages.last();
}

TEST(FindDialog, ATrademarkImportedWithALeadingZeroIsNotAddedAgain) {
    FindSetup in(mks::Collection::Tovrin, 200);
    auto six = std::find_if(in.s.documents.begin(), in.s.documents.end(),
                            [](const mks::SampleDocument& d) { return d.number.size() == 6; });
    ASSERT_NE(six, in.s.documents.end());
    std::string imported = TrademarkImportEntryText(ValInt(six->number), six->volume);
    ASSERT_TRUE(in.store->AddToFound(imported, Int16(six->pages)));
    frmFind f(in.app);
    Type(f.txtFind, six->number);
    f.cmdToFound->click();
    in.expectConsistent(1, six->pages);
    EXPECT_EQ(in.entries(ListTable::Found), std::vector<std::string>{imported});
    f.cmdHelp->click();
    ASSERT_EQ(in.ports.help.calls.size(), 1u);
    EXPECT_EQ(in.ports.help.calls[0].context, 2);
}

TEST(FindDialog, DrawnArrowsBlankPageCountsShortAndEmptyIndexes) {
    FindSetup in(mks::Collection::Quorvel);
    // Arrow pictures fall back to drawn ones when their files are missing.
    EXPECT_FALSE(ArrowIcon(in.app, "e_left.ico").isNull());
    std::filesystem::remove_all(in.s.appDir / "iconsP");
    for (const char* name : {"e_left.ico", "d_u100.ico", "e_right.ico"})
        EXPECT_FALSE(ArrowIcon(in.app, name).pixmap(16, 16).toImage().isNull()) << name;
    in.useIndex(CumRec("D100001", "VOL_1", "5") + CumRec("D100002", "VOL_1", "") +
                CumRec("D100003", "VOL_2", "3"));
    {
        frmFind f(in.app);
        EXPECT_TRUE(in.ports.messages.shown.empty());  // opens without an error
        ASSERT_EQ(f.lstCum->count(), 3);  // fewer than 20 records: that many lines
        f.cmdCumDown10000->click();
        EXPECT_EQ(f.lstCum->count(), 3);
        EXPECT_EQ(f.lstCum->currentRow(), 2);
        f.txtFind->setText("D100002");
        f.cmdFind->click();
        EXPECT_EQ(in.ports.messages.last(), "Document Not Found!");
        EXPECT_EQ(in.ports.messages.shown.back().title, "Quorvel");
        // Its line cannot be added; the other selected line is.
        f.lstCum->clearSelection();
        f.lstCum->item(1)->setSelected(true);
        f.lstCum->item(2)->setSelected(true);
        f.cmdToFound->click();
        EXPECT_EQ(in.ports.messages.last(), "error reading file");
        in.expectConsistent(1, 3);
    }
    // Empty, shorter than a record, missing: the dialog opens empty and every move stays there.
    for (const char* records : {"", "garbage", "missing"}) {
        in.useIndex(records);
        if (records == std::string("missing")) std::filesystem::remove(in.app.config.CurrentIndexPath);
        frmFind f(in.app);
        EXPECT_EQ(f.lstCum->count(), 0);
        Type(f.txtFind, "D1");
        f.cmdCumBottom->click();
        Press(f.lstCum, Qt::Key_PageDown);
        f.cmdToFound->click();
        EXPECT_EQ(f.lstCum->count(), 0);
        EXPECT_EQ(in.store->FoundCount(), 1);
    }
}

TEST(FindDialog, RemovingADocumentAlreadyOnTheBatchListsKeepsTotalsTrue) {
    FindSetup in(mks::Collection::Quorvel, 1000);
    frmFind f(in.app);
    f.lstCum->clearSelection();
    for (int i : {0, 1, 2}) f.lstCum->item(i)->setSelected(true);
    f.cmdToFound->click();
    ASSERT_EQ(in.store->FoundCount(), 3);
    const std::vector<ListRow> rows = in.store->Rows(ListTable::Found);
    ASSERT_TRUE(in.store->Move(ListTable::Remaining, ListTable::ToPrint, rows[0].DocumentNo));

    // Remove all three: Found drops by three, Remaining by the two it still held.
    f.lstFound->selectAll();
    f.cmdFromFound->click();
    EXPECT_EQ(in.store->totals(), (ListTotals{0, 0, 0, 0, 1, rows[0].Pages, 0, 0}));
    ExpectFound(f, 0);

    // The import, opened from here, fills the lists; the dialog shows them afterwards.
    in.ports.frame.onOpen = [&](FrameDialog which) {
        std::string e = rows[1].DocumentNo;
        if (which == FrameDialog::Import) in.store->AddToFound(e, rows[1].Pages);
    };
    f.cmdImport->click();
    ASSERT_EQ(in.ports.frame.opened, std::vector<FrameDialog>{FrameDialog::Import});
    ExpectFound(f, 1);

    // A hundred entries light the 100-line jumps.
    EXPECT_FALSE(f.cmdDown100->isEnabled());
    f.lstCum->selectAll();
    for (int round = 0; round < 5; ++round) {
        f.cmdCumDown100x->click();
        f.lstCum->selectAll();
        f.cmdToFound->click();
    }
    ASSERT_GE(f.lstFound->count(), 100);
    EXPECT_TRUE(f.cmdDown100->isEnabled());
    f.cmdDown100->click();
    EXPECT_EQ(f.lstFound->currentRow(), 100 < f.lstFound->count() ? 100 : f.lstFound->count() - 1);
    f.cmdUp100->click();
    EXPECT_EQ(f.lstFound->currentRow(), 0);
}

TEST(FindDialog, KeyboardAloneTypeAddAndView) {
    FindSetup in(mks::Collection::Quorvel, 300);
    const mks::SampleDocument& d = in.s.documents[2];
    frmFind f(in.app);
    f.show();
    f.activateWindow();
    f.txtFind->setFocus();
    Type(f.txtFind, d.number);
    Press(f.txtFind, Qt::Key_Enter);
    in.expectConsistent(1, d.pages);
    // A number the index lacks: Enter says so rather than adding the record where it would stand.
    std::string absent;
    CumIndexFile index = OpenCumIndex(in.app);
    for (char c = '0'; c <= '9' && absent.empty(); ++c)
        if (!SearchByPrefix(index, Left(d.number, 6) + c).found) absent = Left(d.number, 6) + c;
    ASSERT_FALSE(absent.empty());
    f.txtFind->clear();
    Type(f.txtFind, absent);
    Press(f.txtFind, Qt::Key_Return);
    EXPECT_EQ(in.ports.messages.last(), "Document Not Found!");
    in.expectConsistent(1, d.pages);
    // A line chosen after that is the user's own (away from the document already added).
    Press(f.txtFind, absent < d.number ? Qt::Key_Up : Qt::Key_Down);
    Press(f.txtFind, Qt::Key_Return);
    EXPECT_EQ(in.store->FoundCount(), 2);
    // Enter on a check box adds (nothing selected now) rather than ticking it.
    f.Check1->setFocus();
    Press(&f, Qt::Key_Return);
    EXPECT_FALSE(in.app.FoundSorted);
    // Alt+O or Enter on the focused OK button views the document.
    f.cmdOk->setFocus();
    Press(f.cmdOk, Qt::Key_Return);
    EXPECT_EQ(in.ports.frame.displayed, std::vector<int>{1});
    EXPECT_EQ(Trim(in.app.doc.CurDocNo), d.number);

    frmFind again(in.app);
    again.show();
    Press(&again, Qt::Key_Escape);
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_TRUE(in.ports.frame.enabled["mnuView"]);
}

}  // namespace
}  // namespace velk
