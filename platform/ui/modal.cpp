#include "platform/ui/modal.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace velk {

namespace {
void Centre(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    if (!window.testAttribute(Qt::WA_Resized)) window.adjustSize();  // a designed size stays
    const QRect area = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    // A dialog larger than the screen keeps its title bar on it.
    window.move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
}
}  // namespace

int QtModal::exec(QDialog& dialog) {
    Centre(dialog);
    return dialog.exec();
}

}  // namespace velk
