#include "platform/ui/modal.h"

#include "platform/progress.h"
#include "platform/ui/wait_cursor.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

namespace velk {

namespace {

QRect FreeArea(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// What the window manager puts around the window: known once it is shown, else a title bar's worth.
QMargins FrameMargins(const QWidget& window) {
    const QRect f = window.frameGeometry(), g = window.geometry();
    if (f != g) return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
    return {4, 28, 4, 4};
}

}  // namespace

void FitToScreen(QWidget& window) {
    const QRect area = FreeArea(window);
    if (area.isEmpty()) return;
    const QMargins m = FrameMargins(window);
    const QRect room = area.marginsRemoved(m);
    const QSize size = window.size().boundedTo(room.size()).expandedTo(window.minimumSize());
    if (size != window.size()) window.resize(size);
    // The frame stays on the free area (a window's position is its frame's).
    const QSize outer = size.grownBy(m);
    const QPoint at(std::clamp(window.x(), area.left(), std::max(area.left(), area.x() + area.width() - outer.width())),
                    std::clamp(window.y(), area.top(), std::max(area.top(), area.y() + area.height() - outer.height())));
    if (at != window.pos()) window.move(at);
}

void CentreOnScreen(QWidget& window) {
    FitToScreen(window);
    const QRect area = FreeArea(window);
    if (area.isEmpty()) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    // A window larger than the screen keeps its title bar on it.
    window.move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
}

void ShowProgressBar(QLabel& trough, QLabel& bar, std::int32_t total, std::int32_t current) {
    constexpr int kTwipsPerPixel = 15;
    const auto [t, c] = ClampedBar(total, current);
    const int twips = ProgressBarWidth(trough.width() * kTwipsPerPixel, Int16(t), Int16(c)).value();
    bar.setFixedWidth(std::clamp(twips / kTwipsPerPixel, 0, trough.width() - 2));
}

int QtModal::exec(QDialog& dialog) {
    if (!dialog.testAttribute(Qt::WA_Resized)) dialog.adjustSize();  // a designed size stays
    CentreOnScreen(dialog);
    ArrowWhileAsking arrow;
    return dialog.exec();
}

}  // namespace velk
