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

// Share of sampled pixels in a viewer's visible area that are ink.
double InkShare(const QImage& img) {
    long ink = 0, all = 0;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2, ++all) ink += qGray(img.pixel(x, y)) < 100;
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
    EXPECT_NE(in.title(1), in.title(2));

    // Side by side at full height, as "Tile Vertically" arranges them.
    const QRect room = in.area.viewport()->rect();
    for (int n = 1; n <= 2; ++n) {
        in.viewers->window(n)->showNormal();
        in.viewers->window(n)->setGeometry(QRect((n - 1) * room.width() / 2, 0, room.width() / 2, room.height()));
    }
    // Each step on both viewers, then each viewer's own page painted.
    for (bool fit : {true, false}) {
        const char* name = fit ? "two-viewers-fit" : "two-viewers-100";
        for (int n = 1; n <= 2; ++n) {
            in.viewers->Activate(n);
            fit ? in.viewers->FullView() : in.viewers->Zoom100();
        }
        QApplication::processEvents();
        for (int n = 1; n <= 2; ++n) {
            ImagingControl* c = in.viewers->view(n)->accView;
            EXPECT_GT(InkShare(c->viewport()->grab().toImage()), 0.001) << name << " viewer " << n;
            if (fit) {  // the whole page within the window
                EXPECT_LE(c->page().scaledSize(c->ZoomLevel() / 100.0).height(), c->viewport()->height() + 2);
            } else {
                EXPECT_EQ(c->ZoomLevel(), 100);
            }
        }
        if (dir) in.area.window()->grab().save(QString(dir) + "/" + name + ".png");
    }
}

}  // namespace
}  // namespace velk
