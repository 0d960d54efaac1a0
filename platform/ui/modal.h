#pragma once
// Shows a dialog modally. Forms never call exec() themselves; they ask this port,
// so a test can act on the dialog instead of blocking on it.
#include <QDialog>

namespace velk {

class Modal {
public:
    virtual ~Modal() = default;
    // The dialog's result code, as QDialog::exec returns it.
    virtual int exec(QDialog& dialog) = 0;
};

// The real one: dialogs centre on the screen when they load, then QDialog::exec().
class QtModal : public Modal {
public:
    int exec(QDialog& dialog) override;
};

}  // namespace velk
