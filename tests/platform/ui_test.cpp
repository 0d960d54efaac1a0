#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <stdexcept>

#include "platform/ui/frm_message.h"
#include "platform/ui/modal.h"
#include "platform/ui/qt_messages.h"
#include "platform/ui/qt_services.h"
#include "platform/ui/wait_cursor.h"
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

QPushButton* ButtonOf(QMessageBox& box, QMessageBox::StandardButton b) {
    return qobject_cast<QPushButton*>(box.button(b));
}

}  // namespace

TEST(QtMessages, EscGivesCancelOrTheOnlyButtonAndDoesNothingWithoutCancel) {
    struct Case {
        Buttons buttons;
        bool closesOnEsc;
        Answer onEsc;
    } cases[] = {
        {Buttons::OK, true, Answer::OK},
        {Buttons::OKCancel, true, Answer::Cancel},
        {Buttons::YesNoCancel, true, Answer::Cancel},
        {Buttons::RetryCancel, true, Answer::Cancel},
        {Buttons::YesNo, false, Answer::OK},
        {Buttons::AbortRetryIgnore, false, Answer::OK},
    };
    for (const auto& k : cases) {
        auto box = MakeMessageBox("text", "Quorvel", k.buttons, Icon::None);
        box->show();
        Press(box.get(), Qt::Key_Escape);
        EXPECT_EQ(box->isVisible(), !k.closesOnEsc) << int(k.buttons);
        if (k.closesOnEsc) {
            EXPECT_EQ(AnswerOf(*box), k.onEsc) << int(k.buttons);
            continue;
        }
        // Neither Esc nor the close box ends it; only a button does.
        box->close();
        EXPECT_TRUE(box->isVisible()) << int(k.buttons);
        EXPECT_FALSE(box->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        auto second = k.buttons == Buttons::YesNo ? QMessageBox::No : QMessageBox::Retry;
        ButtonOf(*box, second)->click();
        EXPECT_FALSE(box->isVisible());
        EXPECT_EQ(AnswerOf(*box), k.buttons == Buttons::YesNo ? Answer::No : Answer::Retry);
    }
}

TEST(QtMessages, ButtonsIconsTitleAndAnswersOneToSeven) {
    auto box = MakeMessageBox("<b>E:\\open.idx</b>", "Tovrin", Buttons::AbortRetryIgnore, Icon::Exclamation);
    EXPECT_EQ(box->windowTitle(), "Tovrin");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Abort));
    EXPECT_EQ(box->buttons().size(), 3);
    ButtonOf(*box, QMessageBox::Ignore)->click();
    EXPECT_EQ(int(AnswerOf(*box)), 5);

    struct Case {
        Buttons buttons;
        QMessageBox::StandardButton press;
        int answer;
    } cases[] = {{Buttons::OK, QMessageBox::Ok, 1},
                 {Buttons::OKCancel, QMessageBox::Cancel, 2},
                 {Buttons::AbortRetryIgnore, QMessageBox::Abort, 3},
                 {Buttons::RetryCancel, QMessageBox::Retry, 4},
                 {Buttons::YesNoCancel, QMessageBox::Yes, 6},
                 {Buttons::YesNo, QMessageBox::No, 7}};
    for (const auto& k : cases) {
        auto b = MakeMessageBox("t", "", k.buttons, Icon::Critical);
        EXPECT_EQ(b->icon(), QMessageBox::Critical);
        ButtonOf(*b, k.press)->click();
        EXPECT_EQ(int(AnswerOf(*b)), k.answer);
    }
    EXPECT_EQ(MakeMessageBox("t", "", Buttons::OK, Icon::None)->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(MakeMessageBox("t", "", Buttons::OK, Icon::Question)->icon(), QMessageBox::Question);
    EXPECT_EQ(MakeMessageBox("t", "", Buttons::OK, Icon::Information)->icon(), QMessageBox::Information);
}

TEST(QtMessages, ShowRunsModallyEnterTakesTheFirstButton) {
    QtMessages messages;
    auto pressLater = [](Qt::Key key) {
        QTimer::singleShot(0, [key] {
            if (QWidget* w = QApplication::activeModalWidget()) Press(w, key);
        });
    };
    pressLater(Qt::Key_Return);
    EXPECT_EQ(messages.show("Continue?", "Quorvel", Buttons::YesNo, Icon::Question), Answer::Yes);
    pressLater(Qt::Key_Escape);
    EXPECT_EQ(messages.show("Go on?", "Quorvel", Buttons::OKCancel, Icon::None), Answer::Cancel);
}

TEST(Modal, RealAndFakeReturnTheDialogsResult) {
    QDialog dialog;
    dialog.setObjectName("frmTest");
    dialog.resize(300, 200);
    QTimer::singleShot(0, &dialog, [&] { dialog.done(7); });
    QtModal modal;
    EXPECT_EQ(modal.exec(dialog), 7);
    EXPECT_EQ(dialog.size(), QSize(300, 200));  // the designed size is kept
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        EXPECT_TRUE(s->availableGeometry().contains(dialog.frameGeometry().center()));
    }

    test::FakeModal fake;
    EXPECT_EQ(fake.exec(dialog), QDialog::Rejected);  // the dialog set nothing
    fake.onExec = [](QDialog& d) { d.accept(); };
    EXPECT_EQ(fake.exec(dialog), QDialog::Accepted);
    fake.onExec = nullptr;
    fake.code = 42;
    EXPECT_EQ(fake.exec(dialog), 42);
    EXPECT_EQ(fake.shown, (std::vector<std::string>{"frmTest", "frmTest", "frmTest"}));
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
    auto cancel = [](QDialog& d) { static_cast<frmMessage&>(d).cmdExit->click(); };
    modal.onExec = cancel;
    app.viewers[0].Active = app.viewers[1].Active = true;
    EXPECT_EQ(prompt.ask("x", 1), 3);
    EXPECT_FALSE(app.viewers[0].Active);
    EXPECT_FALSE(app.viewers[1].Active);
    EXPECT_EQ(fakes.frame.enabled.count("mnuView"), 0u);
    foundHasEntries = true;
    EXPECT_EQ(prompt.ask("x", 1), 3);
    EXPECT_TRUE(fakes.frame.enabled["mnuView"]);

    // The close box and Escape are a Cancel, whatever the previous answer was.
    modal.onExec = [](QDialog& d) { d.close(); };
    EXPECT_EQ(prompt.ask("x", 1), 3);
    modal.onExec = [](QDialog& d) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&d, &esc);
    };
    app.viewers[0].Active = true;
    EXPECT_EQ(prompt.ask("x", 1), 3);
    EXPECT_FALSE(app.viewers[0].Active);
    // Enter presses OK, the default button.
    modal.onExec = [](QDialog& d) {
        d.show();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&d, &enter);
    };
    EXPECT_EQ(prompt.ask("x", 3), 1);
}

TEST(WaitCursor, EveryExitRestoresThePointer) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        WaitCursor outer;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        { WaitCursor inner; }
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    try {
        WaitCursor guard;
        throw std::runtime_error("Disk not ready 71");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtServices, ClockScreenClipboardAndPump) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(QtClock::DateText(us, QDate(2026, 12, 7)), "12/7/26");
    std::string t = QtClock::TimeText(us, QTime(21, 5, 9));
    EXPECT_EQ(t.substr(0, 7), "9:05:09") << t;
    EXPECT_NE(t.find("PM"), std::string::npos) << t;
    EXPECT_EQ(QtClock::TimeText(QLocale(QLocale::German, QLocale::Germany), QTime(21, 5, 9)), "21:05:09");
    QtClock clock;
    EXPECT_FALSE(clock.dateText().empty());
    EXPECT_NE(clock.timeText().find(':'), std::string::npos);

    QtScreen screen;
    EXPECT_GT(screen.widthPixels(), 0);
    EXPECT_GT(screen.heightPixels(), 0);
    EXPECT_GE(screen.twipsPerPixel(), 1);

    QtClipboard clipboard;
    clipboard.setText("4,123,456 \xC3\xA9");
    EXPECT_EQ(clipboard.text(), "4,123,456 \xC3\xA9");

    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QtEventPump pump;
    pump.DoEvents();
    EXPECT_TRUE(ran);
}
