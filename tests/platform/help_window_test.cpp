#include "platform/ui/help_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTextDocument>

#include "tests/platform/scratch_dir.h"
#include "tools/mksample/help_topics.h"

using namespace velk;
using ::testing::AllOf;
using ::testing::HasSubstr;
using velk::test::ScratchDir;

namespace {

// The help file of the patents' sample installation, and a window whose size is kept in the scratch dir.
struct HelpSetUp {
    ScratchDir dir{"helpwin"};
    std::string file =
        dir.write("velkwp.hlp", mksample::HelpFileText(mksample::Collection::Quorvel)).string();
    AboutFacts facts{"Quorvel", "5123460", "March 1996"};
    int factsAsked = 0;
    QtHelp help{[this] {
                    ++factsAsked;
                    return facts;
                },
                nullptr, QString::fromStdString((dir / "settings.ini").string())};

    HelpWindow& window() { return *help.window(); }
    std::string shown() { return window().txtTopic->toPlainText().toStdString(); }
    std::string title() { return window().windowTitle().toStdString(); }
};

// The desktop walk opens the contents, the search and About from the menus; a form's Help
// button asks for its context the same way.
TEST(HelpWindow, OneWindowForEveryCallAndAContextTheFileLacks) {
    HelpSetUp s;
    EXPECT_EQ(s.help.window(), nullptr) << "the window is made on first use";
    ASSERT_TRUE(s.help.show(s.file, kHelpContext, 21));
    EXPECT_EQ(s.window().currentContext(), 21);
    EXPECT_THAT(s.title(), HasSubstr("The document lists"));
    EXPECT_FALSE(s.window().isModal());
    HelpWindow* first = s.help.window();
    ASSERT_TRUE(s.help.show(s.file, kHelpContext, 44));
    EXPECT_EQ(s.help.window(), first);
    EXPECT_EQ(s.window().currentContext(), kHelpContentsContext);
    EXPECT_THAT(s.shown(), HasSubstr("no topic for context 44"));
    EXPECT_FALSE(s.help.show(s.file, 99, 0)) << "an unknown command is not done";
    ASSERT_TRUE(s.help.show(s.file, kHelpQuit, 0));
    EXPECT_FALSE(s.window().isVisible());
}

TEST(HelpWindow, AboutTellsTheCoverageAndStandsInForAnUnusableFile) {
    HelpSetUp s;
    ASSERT_TRUE(s.help.show(s.file, kHelpContext, kHelpAboutContext));
    EXPECT_THAT(s.shown(),
                AllOf(HasSubstr("Velk " + ProgramVersion()), HasSubstr("through 5123460 (March 1996)")));
    // The facts are asked each time: a changed coverage shows.
    s.facts.coverageNumber = "5999999";
    int asked = s.factsAsked;
    ASSERT_TRUE(s.help.show(s.file, kHelpContext, kHelpAboutContext));
    EXPECT_GT(s.factsAsked, asked);
    EXPECT_THAT(s.shown(), HasSubstr("through 5999999"));

    // An unusable file gives its message and the built-in About.
    s.dir.write("old.hlp", std::string("\x3F\x5F\x03\x00", 4) + std::string(64, '\x01'));
    const std::pair<std::string, const char*> bad[] = {
        {(s.dir / "old.hlp").string(), "old binary help format"},
        {(s.dir / "absent.hlp").string(), "was not found"}};
    for (const auto& [file, says] : bad) {
        ASSERT_TRUE(s.help.show(file, kHelpContext, 4));
        EXPECT_THAT(s.shown(),
                    AllOf(HasSubstr(says), HasSubstr("About Velk"), HasSubstr("Collection: Quorvel")));
        EXPECT_EQ(s.window().lstTopics->count(), 0);
    }
    // Mended while the program runs: read again on the next call.
    s.dir.write("absent.hlp", "velk-help 1\n@topic 4 Printing\n<p>Now here.</p>\n");
    ASSERT_TRUE(s.help.show(bad[1].first, kHelpContext, 4));
    EXPECT_THAT(s.shown(), HasSubstr("Now here."));
}

TEST(HelpWindow, SearchLinksAndBack) {
    HelpSetUp s;
    ASSERT_TRUE(s.help.show(s.file, kHelpContents, 0));
    HelpWindow& w = s.window();
    const int all = w.lstTopics->count();
    EXPECT_EQ(all, static_cast<int>(w.file().topics().size())) << "an empty search lists every topic";
    w.txtSearch->setText("subsection");
    ASSERT_GT(w.lstTopics->count(), 0);
    EXPECT_LT(w.lstTopics->count(), all);
    for (int i = 0; i < w.lstTopics->count(); ++i) {
        const HelpTopic* t = w.file().find(w.lstTopics->item(i)->data(Qt::UserRole).toLongLong());
        ASSERT_NE(t, nullptr);
        EXPECT_THAT(t->text, HasSubstr("subsection")) << t->title;
    }
    emit w.txtSearch->returnPressed();  // Enter opens the first hit
    EXPECT_EQ(w.currentContext(), w.lstTopics->item(0)->data(Qt::UserRole).toLongLong());
    w.txtSearch->clear();
    EXPECT_EQ(w.lstTopics->count(), all);
    ASSERT_NE(w.lstTopics->currentItem(), nullptr);
    EXPECT_EQ(w.lstTopics->currentItem()->data(Qt::UserRole).toLongLong(), w.currentContext());

    // A link between topics, then Back twice.
    w.cmdContents->click();
    EXPECT_EQ(w.currentContext(), 0);
    emit w.txtTopic->anchorClicked(QUrl("topic:21"));
    EXPECT_EQ(w.currentContext(), 21);
    emit w.txtTopic->anchorClicked(QUrl("file:///etc/passwd"));  // not a topic: nothing happens
    emit w.txtTopic->anchorClicked(QUrl("topic:x"));
    EXPECT_EQ(w.currentContext(), 21);
    ASSERT_TRUE(w.cmdBack->isEnabled());
    w.cmdBack->click();
    EXPECT_EQ(w.currentContext(), 0);
    w.cmdBack->click();
    EXPECT_NE(w.currentContext(), 0);

    // Esc from the search box closes the window.
    ASSERT_TRUE(w.isVisible());
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w.txtSearch, &esc);
    EXPECT_FALSE(w.isVisible());
}

TEST(HelpWindow, FetchesNothingAndKeepsItsSize) {
    HelpSetUp s;
    QImage png(8, 8, QImage::Format_Mono);
    png.fill(0);
    ASSERT_TRUE(png.save(QString::fromStdString((s.dir / "x.png").string())));
    s.dir.write("img.hlp",
                "velk-help 1\n@topic 2 Pictures\n<img src=\"" + (s.dir / "x.png").string() + "\">\n");
    ASSERT_TRUE(s.help.show((s.dir / "img.hlp").string(), kHelpContext, 2));
    QTextDocument* doc = s.window().txtTopic->document();
    EXPECT_FALSE(doc->resource(QTextDocument::ImageResource,
                               QUrl::fromLocalFile(QString::fromStdString((s.dir / "x.png").string())))
                     .isValid());
    EXPECT_FALSE(s.window()
                     .txtTopic->loadResource(QTextDocument::ImageResource, QUrl("file:///etc/hostname"))
                     .isValid());

    s.window().resize(640, 480);
    s.help.show(s.file, kHelpQuit, 0);
    QtHelp again({}, nullptr, QString::fromStdString((s.dir / "settings.ini").string()));
    ASSERT_TRUE(again.show(s.file, kHelpContext, 2));
    EXPECT_EQ(again.window()->size(), QSize(640, 480));
    EXPECT_THAT(again.window()->txtTopic->toPlainText().toStdString(), HasSubstr("Finding documents"));
}

}  // namespace
