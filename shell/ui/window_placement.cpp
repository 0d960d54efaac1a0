#include "shell/ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

}  // namespace velk
