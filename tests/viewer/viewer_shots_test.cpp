// Two viewers side by side with different documents, at fit and at 100%: both show their
// own page, painted, within their half of the frame. With VELK_SHOTS_DIR set the frame
// is made at full resolution and saved there as PNG files for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiSubWindow>
#include <cstdlib>

#include "tests/viewer/viewer_fixture.h"

namespace velk {
namespace {

namespace mks = velk::mksample;

// Share of pixels in the viewer's visible area that are neither white nor the backdrop grey.
double InkShare(const QImage& img) {
    long ink = 0, all = 0;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2, ++all) {
            const int g = qGray(img.pixel(x, y));
            if (g < 100) ++ink;
        }
    return all ? double(ink) / all : 0;
}

TEST(ViewerShots, TwoViewersSideBySideAtFitAndAtFullSize) {
    const char* dir = std::getenv("VELK_SHOTS_DIR");
    mks::SampleOptions o;
    o.collection = mks::Collection::Quorvel;
    o.mode = mks::DriveMode::Tower;
    o.volumes = 1;
    o.documentsPerVolume = 2;
    o.pageScale = dir ? 1.0 : 0.3;
    test::ViewerInstall in(o);
    in.area.resize(1400, 900);
    in.area.show();
    ASSERT_GE(in.s.documents.size(), 2u);
    ASSERT_TRUE(in.show(in.s.documents[0], 1));
    ASSERT_TRUE(in.show(in.s.documents[1], 2));

    // Side by side at full height, as "Tile Vertically" arranges them.
    const QRect room = in.area.viewport()->rect();
    for (int n = 1; n <= 2; ++n) {
        QMdiSubWindow* w = in.viewers->window(n);
        w->showNormal();
        w->setGeometry(QRect((n - 1) * room.width() / 2, 0, room.width() / 2, room.height()));
    }
    auto shoot = [&](const char* name) {
        QApplication::processEvents();
        for (int n = 1; n <= 2; ++n) {
            ImagingControl* c = in.viewers->view(n)->accView;
            const QImage shown = c->viewport()->grab().toImage();
            EXPECT_GT(InkShare(shown), 0.001) << name << " viewer " << n;
            EXPECT_LE(in.viewers->window(n)->geometry().width(), room.width() / 2 + 1);
        }
        if (dir) in.area.window()->grab().save(QString(dir) + "/" + name + ".png");
    };
    for (int n = 1; n <= 2; ++n) {
        in.viewers->Activate(n);
        in.viewers->FullView();
    }
    shoot("two-viewers-fit");
    // Fitted: the whole page within the window.
    for (int n = 1; n <= 2; ++n) {
        ImagingControl* c = in.viewers->view(n)->accView;
        EXPECT_LE(c->page().scaledSize(c->ZoomLevel() / 100.0).height(), c->viewport()->height() + 2);
    }
    for (int n = 1; n <= 2; ++n) {
        in.viewers->Activate(n);
        in.viewers->Zoom100();
        EXPECT_EQ(in.viewers->view(n)->accView->ZoomLevel(), 100);
    }
    shoot("two-viewers-100");
    EXPECT_NE(in.title(1), in.title(2));
}

}  // namespace
}  // namespace velk
