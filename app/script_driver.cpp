#include "app/script_driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QSpinBox>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velk {

namespace {

constexpr int kTickMs = 30;
constexpr int kStepLimitMs = 15000;

// The window on top first (a modal dialog hides the rest), then every visible window.
std::vector<QWidget*> Windows() {
    std::vector<QWidget*> out;
    if (QWidget* modal = QApplication::activeModalWidget()) out.push_back(modal);
    if (QWidget* active = QApplication::activeWindow()) out.push_back(active);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) out.push_back(w);
    return out;
}

QWidget* FindWidget(const QString& name) {
    for (QWidget* top : Windows()) {
        if (top->objectName() == name && top->isVisible()) return top;
        for (QWidget* w : top->findChildren<QWidget*>(name))
            if (w->isVisible()) return w;
    }
    return nullptr;
}

QAction* FindAction(const QString& name) {
    for (QWidget* top : Windows())
        for (QAction* a : top->findChildren<QAction*>(name)) return a;
    return nullptr;
}

void SendKey(QWidget* target, int key, Qt::KeyboardModifiers mods, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

QString StripAccel(QString s) { return s.remove('&'); }

}  // namespace

ScriptDriver::ScriptDriver(std::vector<std::string> lines, QObject* parent)
    : QObject(parent), lines_(std::move(lines)) {
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

std::vector<std::string> ScriptDriver::ReadScript(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    std::string line;
    while (in && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        lines.push_back(line.substr(first));
    }
    return lines;
}

void ScriptDriver::start() { timer_.start(); }

void ScriptDriver::tick() {
    if (finished()) {
        timer_.stop();
        return;
    }
    // Says which window came up on top, so a failed script shows where it stood.
    if (QWidget* top = QApplication::activeModalWidget(); top != lastTop_) {
        lastTop_ = top;
        if (top) {
            QString text;
            if (auto* box = qobject_cast<QMessageBox*>(top)) text = box->text();
            std::printf("script sees %s \"%s\" %s\n", top->objectName().toUtf8().constData(),
                        top->windowTitle().toUtf8().constData(), text.toUtf8().constData());
            std::fflush(stdout);
        }
    }
    if (QDateTime::currentMSecsSinceEpoch() < sleepUntil_) return;
    // One step at a time: a step that opens a modal dialog returns inside its event loop.
    timer_.stop();
    std::string why;
    const std::string line = lines_[next_];
    const Step s = play(line, why);
    if (s == Step::Done) {
        std::printf("script %zu ok: %s\n", next_ + 1, line.c_str());
        std::fflush(stdout);
        ++next_;
        waitedMs_ = 0;
    } else if (s == Step::NotYet && (waitedMs_ += kTickMs) < kStepLimitMs) {
        // try again on the next tick
        lastWhy_ = why;
    } else {
        std::fprintf(stderr, "script failed at step %zu (%s): %s\n", next_ + 1, line.c_str(),
                     !why.empty() ? why.c_str() : !lastWhy_.empty() ? lastWhy_.c_str() : "not there in time");
        std::fflush(stderr);
        std::_Exit(3);
    }
    if (!finished()) timer_.start();
}

ScriptDriver::Step ScriptDriver::play(const std::string& line, std::string& why) {
    std::istringstream in(line);
    std::string verb, name;
    in >> verb >> name;
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
    const QString qname = QString::fromStdString(name);
    const QString arg = QString::fromStdString(rest);

    if (verb == "sleep") {
        sleepUntil_ = QDateTime::currentMSecsSinceEpoch() + std::atoi(name.c_str());
        return Step::Done;
    }
    if (verb == "echo") {
        std::printf("%s %s\n", name.c_str(), rest.c_str());
        return Step::Done;
    }
    if (verb == "shot") {
        QWidget* top = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                         : QApplication::activeWindow();
        // Without a window manager nothing may be active: the main window then.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!top && w->isVisible() && w->objectName() == "frmVelk") top = w;
        if (!top) return Step::NotYet;
        if (!top->grab().save(qname)) why = "cannot write " + name;
        return why.empty() ? Step::Done : Step::Failed;
    }
    if (verb == "answer") {
        const QString caption = StripAccel(QString::fromStdString(line.substr(line.find(' ') + 1)));
        QWidget* top = QApplication::activeModalWidget();
        if (!top) return Step::NotYet;
        for (QAbstractButton* b : top->findChildren<QAbstractButton*>())
            if (b->isVisible() && StripAccel(b->text()) == caption) {
                QTimer::singleShot(0, b, [b] { b->click(); });
                return Step::Done;
            }
        return Step::NotYet;
    }
    if (verb == "top") {
        QWidget* top = QApplication::activeModalWidget();
        if (name == "none") return top ? Step::NotYet : Step::Done;
        return top && top->objectName() == qname ? Step::Done : Step::NotYet;
    }
    if (verb == "trigger") {
        QAction* a = FindAction(qname);
        if (!a || !a->isEnabled()) return Step::NotYet;
        // Later, from the event loop: a command may open a modal dialog, whose loop must
        // find this driver's timer running.
        QTimer::singleShot(0, a, [a] { a->trigger(); });
        return Step::Done;
    }
    if (verb == "wait") {
        if (FindWidget(qname)) return Step::Done;
        QAction* a = FindAction(qname);
        return a && a->isEnabled() ? Step::Done : Step::NotYet;
    }

    QWidget* w = FindWidget(qname);
    if (name == "-") w = QApplication::focusWidget();
    if (!w || !w->isEnabled()) return Step::NotYet;
    if (verb == "title") {
        if (w->windowTitle().contains(arg)) return Step::Done;
        why = "its title is \"" + w->windowTitle().toStdString() + "\"";
        return Step::NotYet;
    }
    if (verb == "type") {
        w->setFocus();
        for (QChar c : arg) SendKey(w, c.unicode(), Qt::NoModifier, QString(c));
        return Step::Done;
    }
    if (verb == "key") {
        const QKeySequence seq = QKeySequence::fromString(arg);
        if (seq.isEmpty()) {
            why = "no such key " + rest;
            return Step::Failed;
        }
        const QKeyCombination k = seq[0];
        SendKey(w, k.key(), k.keyboardModifiers(), {});
        return Step::Done;
    }
    if (verb == "click") {
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            QTimer::singleShot(0, b, [b] { b->click(); });
        } else {
            const QPointF at = QPointF(w->rect().center());
            QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QApplication::sendEvent(w, &press);
            QApplication::sendEvent(w, &release);
        }
        return Step::Done;
    }
    if (verb == "select") {
        auto* view = qobject_cast<QAbstractItemView*>(w);
        if (!view || !view->model()) {
            why = name + " is not a list";
            return Step::Failed;
        }
        const int row = std::atoi(rest.c_str());
        if (row >= view->model()->rowCount()) return Step::NotYet;
        view->setCurrentIndex(view->model()->index(row, 0));
        return Step::Done;
    }
    if (verb == "set") {
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setText(arg);
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            const int i = c->findText(arg);
            if (i < 0) return Step::NotYet;
            c->setCurrentIndex(i);
        } else if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable()) {
            b->setChecked(arg == "1");
        } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
            s->setValue(arg.toInt());
        } else {
            why = name + " takes no value";
            return Step::Failed;
        }
        return Step::Done;
    }
    why = "unknown action " + verb;
    return Step::Failed;
}

}  // namespace velk
