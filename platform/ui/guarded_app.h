#pragma once
// What the program does with every event before a handler sees it.
//  - No exception ever leaves an event handler: an escaped one is kept and shown once,
//    from the event loop, never from inside the delivery (a box opened inside a paint
//    would paint again and flood the screen). Until that box has closed, further escapes
//    are dropped; the program and its lists live on.
//  - An auto-repeated key never reaches output: a held Return (or one whose release went
//    to a window that has closed) would otherwise print once per repeat.
#include <QApplication>
#include <QPointer>
#include <string>

class QKeyEvent;

namespace velk {

struct App;

// The last-resort catch of the event loop. Shows through the app's message box (title
// CollectionMode); without an app, on stderr.
class EscapedErrors {
public:
    explicit EscapedErrors(const App* app = nullptr) : app_(app) {}
    void setApp(const App* app) { app_ = app; }

    template <class Delivery>
    bool deliver(Delivery&& delivery) noexcept {
        try {
            return delivery();
        } catch (...) {
            escaped();
            return false;
        }
    }
    bool armed() const { return armed_; }

private:
    void escaped() noexcept;  // inside the catch: reads the current exception
    void showQueued();

    const App* app_;
    std::string pending_;
    bool armed_ = true;
    QObject queue_;  // the queued showing dies with this
};

// The text an escaped exception is shown with: "description number" for a run-time error.
std::string EscapedErrorText(std::exception_ptr error);

// Marks a button or list whose keys print, export, import, save, move list entries or
// delete: an auto-repeated key never activates it, nor Return in its window.
void MarkOutput(QWidget* widget);
// True when `key` sent to `receiver` would reach a marked widget.
bool KeyReachesOutput(QObject* receiver, int key);

// Tells auto-repeated key presses from presses of a key.
class RepeatedKeys {
public:
    // Notes a release; true for a press that repeats a held key.
    bool repeated(QEvent* event);

private:
    int releasedKey_ = 0;
    quint64 releasedAt_ = 0;
};

// An output button stays disabled while its job runs, so a click queued during the job's
// event pumping finds it off.
class BusyButton {
public:
    explicit BusyButton(QWidget* button);
    ~BusyButton();
    BusyButton(const BusyButton&) = delete;
    BusyButton& operator=(const BusyButton&) = delete;

private:
    QPointer<QWidget> button_;
    bool wasEnabled_ = false;
};

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    // Whose message box shows an escaped error; until set, it goes to stderr.
    void setApp(const App* app) { errors_.setApp(app); }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    EscapedErrors errors_;
    RepeatedKeys keys_;
};

}  // namespace velk
