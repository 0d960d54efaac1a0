#pragma once
// A progress window for list work that can run long: a message, the bar and Cancel.
// Application-modal while shown, so the events the work lets through start nothing
// else; Escape and the close box are Cancel.
#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

namespace velk {

// Makes `trough` the sunken trough of a progress bar, width x height pixels, and gives
// the bar inside it ("lblBar"), empty, in `colour`.
QLabel* MakeTrough(QLabel* trough, int width, int height, const char* colour);

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(const QString& caption, const QString& message, QWidget* parent = nullptr);
    // Shows the window at once, centred, without blocking.
    void open();
    // The bar after `current` of `total`; false when it did not move.
    bool advance(std::int64_t total, std::int64_t current);
    bool cancelled() const { return cancelled_; }
    void cmdCancel_Click() { cancelled_ = true; }

    QLabel* lblMsg;
    QLabel* lblProgress;
    QLabel* lblBar;
    QPushButton* cmdCancel;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool cancelled_ = false;
    int barWidth_ = -1;
};

}  // namespace velk
