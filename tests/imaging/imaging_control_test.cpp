// The imaging widget as the viewer forms drive it, headless.
#include "viewer/ui/imaging_control.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "tests/imaging/imaging_fixtures.h"

namespace velk {
namespace {

struct Control : ::testing::Test {
    test::ScratchDir dir{"imaging"};
    ImagingControl c;
    QImage text = test::DrawTextPage(1275, 1650, 6);  // letter at 150 dpi
    QImage small = test::PatternPage(200, 100, [](int x, int y) { return x < 100 && y < 50; });

    // Shown: the text page, at 100%.
    void SetUp() override {
        test::WriteTiff(dir / "doc.tif", {{small}, {text}, {small}});
        c.resize(800, 600);
        c.show();
        QApplication::processEvents();
        load(2);
    }
    void load(int page) {
        c.Page = page;
        c.LoadImage((dir / "doc.tif").string());
    }
    QSize room() const { return c.viewport()->size(); }
    void key(int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&c, &press);
    }
    void wheel(QPoint at, int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(at), c.viewport()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(c.viewport(), &e);
    }
    void mouse(QEvent::Type type, QPoint at) {
        QMouseEvent e(type, QPointF(at), c.viewport()->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.viewport(), &e);
    }
    QImage screen() { return c.viewport()->grab().toImage(); }
};

// Keys and the wheel scroll, quarter turns, only the tiles that show rendered, the scroll
// bars at 200 %, and a small page centred in grey.
TEST_F(Control, ScrollsTurnsRendersAndCentres) {
    QScrollBar *v = c.verticalScrollBar(), *h = c.horizontalScrollBar();
    const int screenful = room().height(), bottom = v->maximum();
    const struct {
        int key, v, h;
    } keys[] = {{Qt::Key_PageDown, screenful, 0}, {Qt::Key_Down, screenful + 40, 0}, {Qt::Key_End, bottom, 0},
                {Qt::Key_PageUp, bottom - screenful, 0}, {Qt::Key_Right, bottom - screenful, 40},
                {Qt::Key_Home, 0, 0}};
    for (const auto& k : keys) {
        key(k.key);
        EXPECT_EQ(std::make_pair(v->value(), h->value()), std::make_pair(k.v, k.h)) << k.key;
    }
    // The wheel without Ctrl scrolls; it does not zoom.
    wheel(QPoint(100, 100), -120, Qt::NoModifier);
    EXPECT_GT(v->value(), 0);
    EXPECT_EQ(c.ZoomLevel(), 100);
    v->setValue(300);
    c.ScrollToTop();
    EXPECT_EQ(v->value(), 0);

    c.Rotate(90);
    EXPECT_EQ(c.page().size(), QSize(1650, 1275));
    EXPECT_EQ(h->maximum(), 1650 - room().width());
    EXPECT_THROW(c.Rotate(45), RuntimeError);
    c.Rotate(270);
    EXPECT_EQ(c.page().size(), QSize(1275, 1650));

    // At 400% the page is 5100 x 6600; one window's worth of tiles is rendered.
    c.ZoomLevel(400);
    screen();
    const int across = room().width() / ImagingControl::kTile + 2, down = room().height() / ImagingControl::kTile + 2;
    EXPECT_GT(c.cachedTiles(), 0);
    EXPECT_LE(c.cachedTiles(), across * down);
    // What shows is the page at 1:4, from where the zoom about the window's centre left it.
    const QImage shot = screen();
    const int sx = h->value(), sy = v->value();
    EXPECT_GT(sx, 0);
    int mismatches = 0;
    for (int y = 0; y < room().height(); y += 3)
        for (int x = 0; x < room().width(); x += 3)
            mismatches += test::IsBlack(shot, x, y) != test::IsBlack(text, (x + sx) / 4, (y + sy) / 4);
    EXPECT_EQ(mismatches, 0);
    // Scrolling far keeps the cache within its cap.
    for (int i = 0; i < 40; ++i) {
        v->setValue(i * 160);
        h->setValue((i % 8) * 500);
        screen();
    }
    EXPECT_LE(c.cachedBytes(), ImagingControl::kCacheBytes);
    c.ZoomLevel(200);  // the scroll bars span the page less the window
    EXPECT_EQ(h->maximum(), 2550 - room().width());
    EXPECT_EQ(v->maximum(), 3300 - room().height());

    // Centred: the small page sits in the middle of grey.
    load(1);
    c.ZoomLevel(100);
    c.DisplayCentered(true);
    const QImage centred = screen();
    EXPECT_EQ(centred.pixelColor(2, 2), QColor(128, 128, 128));
    const QPoint topLeft((room().width() - 200) / 2, (room().height() - 100) / 2);
    EXPECT_EQ(qGray(centred.pixel(topLeft + QPoint(5, 5))), 0);       // black quarter
    EXPECT_EQ(qGray(centred.pixel(topLeft + QPoint(150, 75))), 255);  // paper
    c.DisplayCentered(false);
    EXPECT_EQ(qGray(screen().pixel(5, 5)), 0);
}

// Every way the control zooms ends within the one rule, and what it shows renders, at the
// screen scale the run was started with (ctest runs this at 1, 1.5 and 2).
TEST_F(Control, ZoomRuleHoldsOnEveryPathAtThisScreenScale) {
    const double scale =
        qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qgetenv("QT_SCALE_FACTOR").toDouble() : 1.0;
    ASSERT_DOUBLE_EQ(c.viewport()->devicePixelRatioF(), scale);
    const int top = 1600;
    auto shows = [&](const char* path) {
        EXPECT_NO_THROW(screen()) << path;
        EXPECT_LE(c.ZoomLevel(), top) << path;
        return c.ZoomLevel();
    };
    c.ZoomLevel(100000);
    EXPECT_EQ(shows("level"), top);
    c.ZoomLevel(100);
    for (int i = 0; i < 30; ++i) wheel({50, 50}, 120, Qt::ControlModifier);
    EXPECT_EQ(shows("wheel"), top);
    c.ZoomLevel(400);
    c.SelectEvent(2);
    mouse(QEvent::MouseButtonPress, {100, 100});
    mouse(QEvent::MouseButtonRelease, {104, 104});
    EXPECT_EQ(shows("area"), top);
    c.SelectEvent(0);
    // Full view: a tiny page stops at the top, a big one in a small window goes below 25%.
    test::WriteTiff(dir / "tiny.tif", {{test::PatternPage(3, 2, [](int x, int) { return x == 1; })}});
    c.FitMethod(2);
    c.Page = 1;
    c.LoadImage((dir / "tiny.tif").string());
    EXPECT_EQ(shows("fit tiny"), top);
    load(2);
    c.resize(120, 120);
    QApplication::processEvents();
    EXPECT_LT(shows("fit big"), 25);
    EXPECT_GT(c.ZoomLevel(), 0);
}

}  // namespace
}  // namespace velk
