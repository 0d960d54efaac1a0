#include "platform/ui/modal.h"

#include "platform/progress.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

namespace velk {

void CentreOnScreen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
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
    return dialog.exec();
}

}  // namespace velk
