#pragma once
// Shows a dialog modally. Forms never call exec() themselves; they ask this port,
// so a test can act on the dialog instead of blocking on it.
#include <QDialog>
#include <cstdint>

class QLabel;

namespace velk {

class Modal {
public:
    virtual ~Modal() = default;
    // The dialog's result code, as QDialog::exec returns it.
    virtual int exec(QDialog& dialog) = 0;
};

// The file dialogs' filter: every file, one named without a dot included.
inline constexpr const char* kAllFilesFilter = "All files (*)";

// Makes a window no larger than its screen's free area (never below its minimum size:
// such a window scrolls its contents) and moves it onto that area.
void FitToScreen(QWidget& window);
// Fits a window to its screen and centres it on the screen's free area.
void CentreOnScreen(QWidget& window);

// Sets a progress bar label inside its trough label for current of total.
void ShowProgressBar(QLabel& trough, QLabel& bar, std::int32_t total, std::int32_t current);

// The real one: dialogs centre on the screen when they load, then QDialog::exec().
class QtModal : public Modal {
public:
    int exec(QDialog& dialog) override;
};

}  // namespace velk
