// The proportional resizer of forms whose controls are placed at fixed positions.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/form_layout.h"

using namespace velk;

namespace {

struct Form {
    QWidget window;
    QPushButton* button;
    QComboBox* combo;
    QGroupBox* frame;
    QLabel* inFrame;
    QWidget* laidOut;
    QPushButton* managed;
    Form() {
        window.resize(400, 300);
        button = new QPushButton("OK", &window);
        button->setGeometry(40, 20, 100, 30);
        combo = new QComboBox(&window);
        combo->setGeometry(40, 80, 120, combo->sizeHint().height());
        frame = new QGroupBox("Frame", &window);
        frame->setGeometry(200, 20, 180, 120);
        inFrame = new QLabel("inside", frame);
        inFrame->setGeometry(10, 30, 80, 20);
        laidOut = new QWidget(&window);
        laidOut->setGeometry(10, 200, 300, 80);
        managed = new QPushButton("managed", laidOut);
        (new QVBoxLayout(laidOut))->addWidget(managed);
    }
};

}  // namespace

TEST(FormLayout, ScalesRecordedGeometryAndLeavesWhatALayoutManages) {
    Form f;
    CResize r;
    // The first call only records.
    r.Resize(f.window);
    EXPECT_EQ(r.initialWidth(), 400 * kFormTwipsPerPixel);
    EXPECT_EQ(r.initialHeight(), 300 * kFormTwipsPerPixel);
    EXPECT_EQ(f.button->geometry(), QRect(40, 20, 100, 30));
    const auto controls = CResize::Controls(f.window);
    EXPECT_EQ(controls, (std::vector<QWidget*>{f.button, f.combo, f.frame, f.inFrame, f.laidOut}));
    EXPECT_EQ(r.recordedCount(), 5);
    EXPECT_EQ(r.record(f.managed), nullptr);
    ASSERT_NE(r.record(f.button), nullptr);
    EXPECT_EQ(r.record(f.button)->Left(), 40 * kFormTwipsPerPixel);
    EXPECT_EQ(r.record(f.button)->Height(), 30 * kFormTwipsPerPixel);

    // Twice as wide, one and a half as high.
    const int comboHeight = f.combo->height();
    f.window.resize(800, 450);
    r.Resize(f.window);
    EXPECT_EQ(f.button->geometry(), QRect(80, 30, 200, 45));
    EXPECT_EQ(f.combo->geometry(), QRect(80, 120, 240, comboHeight));  // its own height
    EXPECT_EQ(f.inFrame->geometry(), QRect(20, 45, 160, 30));          // inside its frame
    EXPECT_EQ(f.laidOut->geometry(), QRect(20, 300, 600, 120));

    // Factors apply to the recorded geometry, never to the current one.
    f.window.resize(400, 300);
    r.Resize(f.window);
    EXPECT_EQ(f.button->geometry(), QRect(40, 20, 100, 30));
    EXPECT_EQ(f.frame->geometry(), QRect(200, 20, 180, 120));
    f.window.resize(800, 450);
    r.Resize(f.window);
    r.Resize(f.window);
    EXPECT_EQ(f.button->geometry(), QRect(80, 30, 200, 45));

    // A control added later is recorded where it is then; one deleted gives up its record.
    auto* late = new QLabel("late", &f.window);
    late->setGeometry(100, 100, 50, 20);
    r.Resize(f.window);
    EXPECT_EQ(late->geometry(), QRect(100, 100, 50, 20));
    EXPECT_EQ(r.recordedCount(), 6);
    f.window.resize(400, 300);
    delete f.combo;
    r.Resize(f.window);
    EXPECT_EQ(r.recordedCount(), 5);
    EXPECT_EQ(late->geometry(), QRect(50, 67, 25, 13));
    EXPECT_EQ(f.button->geometry(), QRect(40, 20, 100, 30));
}
