// The found-list view: which line it selects, its buttons, and opening a document.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "common/vb_text.h"
#include "tests/index/find_fixture.h"
#include "viewer/found_view.h"
#include "viewer/ui/frm_found_view.h"

namespace velk {
namespace {

namespace mks = velk::mksample;
using test::FindSetup;

TEST(FoundView, TheShownDocumentIsFoundByItsTrimmedNumber) {
    const std::vector<std::string> lines = {"1234567  VOL_1", "D345678  VOL_1", "12340567 VOL_2"};
    EXPECT_EQ(ShownDocumentLine(lines, "1234567"), 0);
    EXPECT_EQ(ShownDocumentLine(lines, "12340567 "), 2);
    EXPECT_EQ(ShownDocumentLine(lines, "D345678", 1), 1);
    EXPECT_EQ(ShownDocumentLine(lines, "123456"), -1);
    EXPECT_EQ(ShownDocumentLine(lines, " "), -1);
    EXPECT_FALSE(DocumentShown(" "));
    FoundLineDocument d = DocumentOfLine("12340567 VOL_2   ");
    EXPECT_EQ(d.docNo, "12340567 ");
    EXPECT_EQ(d.volume, "VOL_2");
}

TEST(FoundView, OpensTheChosenDocumentInTheChosenViewer) {
    FindSetup in(mks::Collection::Quorvel);
    for (const auto& d : in.s.documents) {
        std::string e = FixedWidth(d.number, 8) + " " + FixedWidth(d.volume, 10);
        ASSERT_TRUE(in.store->AddToFound(e, Int16(d.pages)));
    }
    const mks::SampleDocument& shownDoc = in.s.documents[2];
    in.app.doc.CurDocNo = FixedWidth(shownDoc.number, 9);

    frmView v(in.app);
    EXPECT_EQ(v.windowTitle().toStdString(), "View Documents");
    ASSERT_EQ(v.lstFound->count(), static_cast<int>(in.s.documents.size()));
    EXPECT_EQ(v.lstFound->currentRow(), 2);
    EXPECT_TRUE(v.cmd2ndView->isEnabled());
    EXPECT_TRUE(v.cmdView->isEnabled());
    EXPECT_FALSE(v.cmdDown100->isEnabled());  // fewer than 100 lines
    v.lstFound->setCurrentRow(0);
    EXPECT_FALSE(v.cmd2ndView->isEnabled());
    v.lstFound->setCurrentRow(2);
    EXPECT_TRUE(v.cmd2ndView->isEnabled());

    // Another document beside the shown one, in viewer 2.
    v.lstFound->setCurrentRow(1);
    v.optViewer2->setChecked(true);
    v.cmdView->click();
    EXPECT_EQ(v.result(), QDialog::Accepted);
    ASSERT_EQ(in.ports.frame.displayed, std::vector<int>{2});
    EXPECT_EQ(Trim(in.app.doc.CurDocNo), in.s.documents[1].number);
    EXPECT_EQ(in.app.doc.CurVolume, in.s.documents[1].volume);
    EXPECT_EQ(in.app.viewerFlags.FoundPosition, 2);
    EXPECT_EQ(in.app.viewerFlags.FoundListChoice, 2);

    // Viewer 1 by default; the shown document in viewer 2 with 2nd View.
    frmView again(in.app);
    EXPECT_EQ(again.lstFound->currentRow(), 1);
    again.lstFound->setCurrentRow(0);
    again.cmdView->click();
    EXPECT_EQ(in.ports.frame.displayed.back(), 1);
    EXPECT_EQ(Trim(in.app.doc.CurDocNo), in.s.documents[0].number);
    frmView second(in.app);
    second.cmd2ndView->click();
    EXPECT_EQ(in.ports.frame.displayed.back(), 2);
    EXPECT_TRUE(in.app.viewerFlags.SecondViewRequest);
    EXPECT_EQ(Trim(in.app.doc.CurDocNo), in.s.documents[0].number);
    second.Command2->click();
    ASSERT_EQ(in.ports.help.calls.size(), 1u);
    EXPECT_EQ(in.ports.help.calls[0].context, 3);
}

TEST(FoundView, HundredLineStepsAndNoDocumentShown) {
    FindSetup in(mks::Collection::Tovrin);
    for (int i = 0; i < 99; ++i) {
        std::string e = FixedWidth(std::to_string(1000000 + i), 9) + "VOL_" + std::to_string(i % 3);
        ASSERT_TRUE(in.store->AddToFound(e, Int16(1)));
    }
    in.app.doc.CurDocNo = " ";
    {
        frmView v(in.app);
        EXPECT_EQ(v.lstFound->currentRow(), 0);
        EXPECT_FALSE(v.cmd2ndView->isEnabled());
        EXPECT_FALSE(v.cmdDown100->isEnabled());
        v.cmd2ndView_Click();  // nothing shown: nothing to put beside it
        EXPECT_TRUE(in.ports.frame.displayed.empty());
    }
    for (int i = 99; i < 1000; ++i) {
        std::string e = FixedWidth(std::to_string(1000000 + i), 9) + "VOL_0";
        ASSERT_TRUE(in.store->AddToFound(e, Int16(1)));
    }
    frmView v(in.app);
    EXPECT_TRUE(v.cmdDown100->isEnabled());
    v.lstFound->setCurrentRow(949);
    const std::pair<QAbstractButton*, int> steps[] = {
        {v.cmdDown100, 999}, {v.cmdUp100, 899}, {v.cmdTop, 0}, {v.cmdUp100, 0}, {v.cmdBottom, 999}};
    for (auto [button, row] : steps) {
        button->click();
        EXPECT_EQ(v.lstFound->currentRow(), row) << button->text().toStdString();
    }
    // Enter in the list moves on to the next control instead of closing the window.
    v.show();
    v.lstFound->setFocus();
    test::Press(v.lstFound, Qt::Key_Return);
    EXPECT_NE(v.result(), QDialog::Accepted);
    v.hide();
}

}  // namespace
}  // namespace velk
