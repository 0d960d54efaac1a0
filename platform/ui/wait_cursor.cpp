#include "platform/ui/wait_cursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace velk {

WaitCursor::WaitCursor() {
    // Without a GUI (velkcmd) there is no pointer to change.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    active_ = true;
}

WaitCursor::~WaitCursor() {
    if (active_) QGuiApplication::restoreOverrideCursor();
}

ArrowWhileAsking::ArrowWhileAsking() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !QGuiApplication::overrideCursor())
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    active_ = true;
}

ArrowWhileAsking::~ArrowWhileAsking() {
    if (active_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace velk
