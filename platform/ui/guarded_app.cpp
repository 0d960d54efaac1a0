#include "platform/ui/guarded_app.h"

#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <new>

#include "common/runtime_error.h"
#include "platform/app.h"

namespace velk {
namespace {

constexpr const char* kOutputMark = "velkOutput";

bool Marked(const QObject* o) {
    return o && o->property(kOutputMark).toBool();
}

}  // namespace

std::string EscapedErrorText(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const RuntimeError& e) {
        return e.report();
    } catch (const std::bad_alloc&) {
        return RuntimeError(kErrOutOfMemory).report();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "Unexpected error";
}

void EscapedErrors::escaped() noexcept {
    if (!armed_) return;
    try {
        pending_ = EscapedErrorText(std::current_exception());
        armed_ = false;
        QTimer::singleShot(0, &queue_, [this] { showQueued(); });
    } catch (...) {
        armed_ = true;  // could not even queue it: the next escape tries again
    }
}

void EscapedErrors::showQueued() {
    const std::string text = std::move(pending_);
    pending_.clear();
    try {
        if (app_ && app_->ports.messages) {
            app_->msg(text, Buttons::OK, Icon::Critical);
        } else {
            std::fprintf(stderr, "velk: %s\n", text.c_str());
        }
    } catch (...) {
    }
    armed_ = true;
}

void MarkOutput(QWidget* widget) {
    widget->setProperty(kOutputMark, true);
}

bool KeyReachesOutput(QObject* receiver, int key) {
    if (Marked(receiver)) return true;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
    // Return reaches the window's default button, or whatever the window makes of it.
    QWidget* window = widget->window();
    if (Marked(window)) return true;
    for (const QWidget* w : window->findChildren<QWidget*>())
        if (Marked(w)) return true;
    return false;
}

BusyButton::BusyButton(QWidget* button) : button_(button) {
    if (!button) return;
    wasEnabled_ = button->isEnabled();
    button->setEnabled(false);
}

BusyButton::~BusyButton() {
    if (button_) button_->setEnabled(wasEnabled_);
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool RepeatedKeys::repeated(QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyRelease) {
        releasedKey_ = key->key();
        releasedAt_ = key->timestamp();
        return false;
    }
    // The X server repeats a held key as a release and a press at the same moment; the
    // toolkit does not always see the pair when the program was busy.
    return key->isAutoRepeat() ||
           (key->timestamp() != 0 && key->timestamp() == releasedAt_ && key->key() == releasedKey_);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    if (keys_.repeated(event) && KeyReachesOutput(receiver, static_cast<QKeyEvent*>(event)->key())) {
        event->accept();
        return true;
    }
    return errors_.deliver([&] { return QApplication::notify(receiver, event); });
}

}  // namespace velk
