#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <stdexcept>
#include <tuple>

#include "platform/app.h"
#include "platform/ui/frm_message.h"
#include "platform/ui/guarded_app.h"
#include "platform/ui/modal.h"
#include "platform/ui/qt_messages.h"
#include "platform/ui/qt_services.h"
#include "platform/ui/wait_cursor.h"
#include "tests/platform/scratch_dir.h"
#include "tests/support/fake_modal.h"
#include "tests/support/fakes.h"

using namespace velk;

namespace {

void Press(QWidget* w, Qt::Key key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

// Stands in for the desktop's file manager.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

}  // namespace

TEST(RunSummary, TextCountsReasonsAndOpensTheFolder) {
    test::ScratchDir out("summary");
    RunSummary s{
        .run = "Batch Export", .documents = 1, .pages = 3, .folder = out.path(), .list = "To Export"};
    s.skip("5123456", "volume 3 was not inserted");
    for (int i = 0; i < 10; ++i) s.fail("512340" + std::to_string(i), "not found on volume 1");
    s.cancel();
    s.stop("Error creating directory => /x.");  // a stop outranks a cancel
    const std::string t = s.text();
    EXPECT_EQ(t.substr(0, t.find('\n')), "Batch Export stopped: Error creating directory => /x.");
    for (const std::string& line : std::vector<std::string>{
             "\nDone: 1 document, 3 pages.\n", "\nSkipped (1):\n    5123456: volume 3 was not inserted\n",
             "\nFailed (10):\n    5123400: not found on volume 1\n", "    ... and 2 more\n",
             "\nOutput: " + out.str() + "\n", "\nWhat was not done stays on the To Export list."})
        EXPECT_NE(t.find(line), std::string::npos) << line << " in\n" << t;

    // A saved list counts entries and no pages; a clean run has nothing left on a list.
    const RunSummary saved{.run = "Save",
                           .documents = 2,
                           .unit = "entry",
                           .units = "entries",
                           .countsPages = false,
                           .list = "To Export"};
    EXPECT_EQ(saved.text(), "Save finished.\nDone: 2 entries.");

    // The box: a warning when something failed, and a button that opens the folder.
    auto box = MakeSummaryBox(s, "Quorvel");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->windowTitle(), "Quorvel");
    auto* open = box->findChild<QPushButton*>("cmdOpenFolder");
    ASSERT_NE(open, nullptr);
    UrlCatcher files;
    QDesktopServices::setUrlHandler("file", &files, "open");
    open->click();
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(files.urls, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(out.str()))});
    EXPECT_EQ(MakeSummaryBox(saved, "Quorvel")->icon(), QMessageBox::Information);
    s.folder = out / "gone";
    EXPECT_EQ(MakeSummaryBox(s, "Quorvel")->findChild<QPushButton*>("cmdOpenFolder"), nullptr);
}

TEST(QtMessages, ButtonsIconsAnswersOneToSevenAndEscOnlyWhereThereIsCancel) {
    auto box = MakeMessageBox("<b>E:\\open.idx</b>", "Tovrin", Buttons::AbortRetryIgnore, Icon::Exclamation);
    EXPECT_EQ(box->windowTitle(), "Tovrin");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Abort));
    EXPECT_EQ(box->buttons().size(), 3);

    // Esc gives Cancel or the only button; without one neither Esc nor the close box ends the box.
    using MB = QMessageBox;
    struct Case {
        Buttons buttons;
        Icon icon;
        MB::Icon shown;
        MB::StandardButton press;
        int answer;
        bool closesOnEsc;
        Answer onEsc;
    } cases[] = {
        {Buttons::OK, Icon::None, MB::NoIcon, MB::Ok, 1, true, Answer::OK},
        {Buttons::OKCancel, Icon::Critical, MB::Critical, MB::Cancel, 2, true, Answer::Cancel},
        {Buttons::AbortRetryIgnore, Icon::Exclamation, MB::Warning, MB::Abort, 3, false, {}},
        {Buttons::AbortRetryIgnore, Icon::Exclamation, MB::Warning, MB::Ignore, 5, false, {}},
        {Buttons::RetryCancel, Icon::Question, MB::Question, MB::Retry, 4, true, Answer::Cancel},
        {Buttons::YesNoCancel, Icon::Information, MB::Information, MB::Yes, 6, true, Answer::Cancel},
        {Buttons::YesNo, Icon::Critical, MB::Critical, MB::No, 7, false, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.buttons));
        auto b = MakeMessageBox("text", "Quorvel", k.buttons, k.icon);
        EXPECT_EQ(b->icon(), k.shown);
        b->show();
        Press(b.get(), Qt::Key_Escape);
        EXPECT_EQ(b->isVisible(), !k.closesOnEsc);
        if (k.closesOnEsc) {
            EXPECT_EQ(AnswerOf(*b), k.onEsc);
            b = MakeMessageBox("text", "Quorvel", k.buttons, k.icon);
        } else {
            b->close();
            EXPECT_TRUE(b->isVisible());
            EXPECT_FALSE(b->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        }
        b->button(k.press)->click();
        EXPECT_FALSE(b->isVisible());
        EXPECT_EQ(int(AnswerOf(*b)), k.answer);
    }
}

TEST(frmMessage, OkCancelAndTheCloseBox) {
    App app;
    test::FakePorts fakes;
    fakes.wire(app.ports);
    app.config.CollectionMode = kModePatents;
    bool foundHasEntries = false;
    test::FakeModal modal;
    QtPrompt prompt(app, modal, [&] { return foundHasEntries; });

    std::string label;
    modal.onExec = [&](QDialog& d) {
        auto& form = static_cast<frmMessage&>(d);
        label = form.lblMessage->text().toStdString();
        EXPECT_EQ(form.cmdOk->text(), "&OK");
        EXPECT_EQ(form.cmdExit->text(), "&Cancel");
        EXPECT_EQ(form.windowTitle(), "Quorvel");
        form.cmdOk->click();
    };
    EXPECT_EQ(prompt.ask("Please insert CDROM Volume 0001.  Current CDRom Drive is E:", 0), 1);
    EXPECT_EQ(label, "Please insert CDROM Volume 0001.  Current CDRom Drive is E:");
    EXPECT_EQ(modal.shown, std::vector<std::string>{"frmMessage"});

    // Cancel: 3, both viewers inactive, View enabled only when Found has entries.
    modal.onExec = [](QDialog& d) { static_cast<frmMessage&>(d).cmdExit->click(); };
    app.viewers[0].Active = app.viewers[1].Active = true;
    EXPECT_EQ(prompt.ask("x", 1), 3);
    EXPECT_FALSE(app.viewers[0].Active || app.viewers[1].Active);
    EXPECT_EQ(fakes.frame.enabled.count("mnuView"), 0u);
    foundHasEntries = true;
    EXPECT_EQ(prompt.ask("x", 1), 3);
    EXPECT_TRUE(fakes.frame.enabled["mnuView"]);

    // The close box and Escape are a Cancel, whatever the previous answer was.
    modal.onExec = [](QDialog& d) { d.close(); };
    EXPECT_EQ(prompt.ask("x", 1), 3);
    modal.onExec = [](QDialog& d) { Press(&d, Qt::Key_Escape); };
    app.viewers[0].Active = true;
    EXPECT_EQ(prompt.ask("x", 1), 3);
    EXPECT_FALSE(app.viewers[0].Active);
    // Enter presses OK, the default button.
    modal.onExec = [](QDialog& d) { d.show(), Press(&d, Qt::Key_Return); };
    EXPECT_EQ(prompt.ask("x", 3), 1);
}

// Enter takes the first button. A question is asked under the arrow whatever long work put the
// hourglass up, a message box and a dialog alike; the hourglass is back once it is answered.
TEST(QtMessages, QuestionsRunModallyUnderTheArrow) {
    std::vector<Qt::CursorShape> asked;
    auto answer = [&](Qt::Key key) {  // Qt::Key_unknown: the close box
        QTimer::singleShot(0, [&asked, key] {
            const QCursor* c = QGuiApplication::overrideCursor();
            asked.push_back(c ? c->shape() : Qt::ArrowCursor);
            QWidget* w = QApplication::activeModalWidget();
            if (w && key == Qt::Key_unknown) w->close();
            if (w && key != Qt::Key_unknown) Press(w, key);
        });
    };
    answer(Qt::Key_Return);
    EXPECT_EQ(QtMessages().show("Continue?", "Quorvel", Buttons::YesNo, Icon::Question), Answer::Yes);
    answer(Qt::Key_Escape);
    EXPECT_EQ(QtMessages().show("Go on?", "Quorvel", Buttons::OKCancel, Icon::None), Answer::Cancel);
    WaitCursor work;
    answer(Qt::Key_unknown);
    EXPECT_EQ(QtMessages().show("Insert the disc.", "Quorvel", Buttons::OK, Icon::None), Answer::OK);
    QDialog dialog;
    answer(Qt::Key_unknown);
    QtModal().exec(dialog);
    EXPECT_EQ(asked, std::vector<Qt::CursorShape>(4, Qt::ArrowCursor));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

TEST(QtServices, ClockScreenAndClipboard) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(QtClock::DateText(us, QDate(2026, 12, 7)), "12/7/26");
    std::string t = QtClock::TimeText(us, QTime(21, 5, 9));
    EXPECT_EQ(t.substr(0, 7), "9:05:09") << t;
    EXPECT_NE(t.find("PM"), std::string::npos) << t;
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(QtClock::TimeText(de, QTime(21, 5, 9)), "21:05:09");
    // The medium forms: day, abbreviated month, two-digit year; 12-hour time with the locale's AM/PM.
    for (const auto& [locale, date, time, dateText, timeText] :
         {std::tuple{us, QDate(2026, 12, 7), QTime(15, 45, 9), "07-Dec-26", "3:45 PM"},
          {us, QDate(2009, 3, 21), QTime(0, 5), "21-Mar-09", "12:05 AM"},
          {de, QDate(2026, 12, 7), QTime(12, 0), "07-Dez-26", "12:00 PM"}}) {
        EXPECT_EQ(QtClock::MediumDateText(locale, date), dateText);
        EXPECT_EQ(QtClock::MediumTimeText(locale, time), timeText);
    }
    // The running clock, the screen and the clipboard's own text (the walk copies by key, not through the port).
    QtClock clock;
    EXPECT_FALSE(clock.dateText().empty());
    EXPECT_NE(clock.timeText().find(':'), std::string::npos);
    QtScreen screen;
    EXPECT_TRUE(screen.widthPixels() > 0 && screen.heightPixels() > 0 && screen.twipsPerPixel() >= 1);
    QtClipboard clipboard;
    clipboard.setText("4,123,456 \xC3\xA9");
    EXPECT_EQ(clipboard.text(), "4,123,456 \xC3\xA9");
}

// The last resort of the event loop: one box, titled with the collection, shown from the
// loop; an escape while it is up (a paint behind it) is dropped; closing it re-arms.
TEST(EscapedErrors, OneBoxFromTheLoopReArmedWhenItCloses) {
    struct Box : Messages {
        std::function<void()> whileUp;
        std::vector<std::pair<std::string, std::string>> shown;  // title, text
        Answer show(const std::string& text, const std::string& title, Buttons, Icon) override {
            shown.emplace_back(title, text);
            if (whileUp) whileUp();
            return Answer::OK;
        }
    } box;
    App app;
    app.config.CollectionMode = "Tovrin";
    app.ports.messages = &box;
    EscapedErrors errors(&app);
    auto throws = [](auto error) { return [error]() -> bool { throw error; }; };
    box.whileUp = [&] {
        EXPECT_FALSE(errors.deliver(throws(std::runtime_error("behind the box"))));
        QApplication::processEvents();
    };

    EXPECT_FALSE(errors.deliver(throws(RuntimeError(kErrInvalidCall))));
    EXPECT_FALSE(errors.deliver(throws(std::bad_alloc())));
    EXPECT_TRUE(box.shown.empty());  // never from inside the delivery
    QApplication::processEvents();
    QApplication::processEvents();
    using Shown = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(box.shown, (Shown{{"Tovrin", "Invalid procedure call or argument 5"}}));

    box.whileUp = nullptr;
    EXPECT_TRUE(errors.deliver([] { return true; }));
    EXPECT_FALSE(errors.deliver(throws(std::bad_alloc())));
    QApplication::processEvents();
    EXPECT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown.back().second, "Out of memory 7");
}

#include "ui_test.moc"
