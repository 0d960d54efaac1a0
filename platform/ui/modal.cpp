#include "platform/ui/modal.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace velk {

int QtModal::exec(QDialog& dialog) {
    CentreOnScreen(dialog);
    return dialog.exec();
}

void CentreOnScreen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    window.adjustSize();
    QRect area = screen->availableGeometry();
    QSize size = window.frameGeometry().size().expandedTo(window.size());
    window.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

}  // namespace velk
