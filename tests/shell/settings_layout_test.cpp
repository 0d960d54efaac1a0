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
    QPushButton* button = new QPushButton("OK", &window);
    QComboBox* combo = new QComboBox(&window);
    QGroupBox* frame = new QGroupBox("Frame", &window);
    QLabel* inFrame = new QLabel("inside", frame);
    QWidget* laidOut = new QWidget(&window);
    QPushButton* managed = new QPushButton("managed", laidOut);
    Form() {
        window.resize(400, 300);
        button->setGeometry(40, 20, 100, 30);
        combo->setGeometry(40, 80, 120, combo->sizeHint().height());
        frame->setGeometry(200, 20, 180, 120);
        inFrame->setGeometry(10, 30, 80, 20);
        laidOut->setGeometry(10, 200, 300, 80);
        (new QVBoxLayout(laidOut))->addWidget(managed);
    }
};

}  // namespace

TEST(FormLayout, ScalesRecordedGeometryAndLeavesWhatALayoutManages) {
    Form f;
    CResize r;
    // The first call only records; the scaled geometry below shows what it recorded.
    r.Resize(f.window);
    EXPECT_EQ(f.button->geometry(), QRect(40, 20, 100, 30));
    EXPECT_EQ(CResize::Controls(f.window),
              (std::vector<QWidget*>{f.button, f.combo, f.frame, f.inFrame, f.laidOut}));
    EXPECT_EQ(r.recordedCount(), 5);
    EXPECT_EQ(r.record(f.managed), nullptr);

    // Twice as wide, one and a half as high.
    const int comboHeight = f.combo->height();
    f.window.resize(800, 450);
    r.Resize(f.window);
    EXPECT_EQ(f.button->geometry(), QRect(80, 30, 200, 45));
    EXPECT_EQ(f.combo->geometry(), QRect(80, 120, 240, comboHeight));  // its own height
    EXPECT_EQ(f.inFrame->geometry(), QRect(20, 45, 160, 30));          // inside its frame
    EXPECT_EQ(f.laidOut->geometry(), QRect(20, 300, 600, 120));

    // A control added later is recorded where it is then; one deleted gives up its record. Factors
    // apply to the recorded geometry, never to the current one: a second call at one size changes nothing.
    auto* late = new QLabel("late", &f.window);
    late->setGeometry(100, 100, 50, 20);
    r.Resize(f.window);
    EXPECT_EQ(late->geometry(), QRect(100, 100, 50, 20));
    EXPECT_EQ(f.button->geometry(), QRect(80, 30, 200, 45));
    EXPECT_EQ(r.recordedCount(), 6);
    f.window.resize(400, 300);
    delete f.combo;
    r.Resize(f.window);
    EXPECT_EQ(r.recordedCount(), 5);
    EXPECT_EQ(late->geometry(), QRect(50, 67, 25, 13));
    EXPECT_EQ(f.button->geometry(), QRect(40, 20, 100, 30));
}
