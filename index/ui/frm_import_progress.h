#pragma once
// The import's progress form. Application-modal while the import runs, so the
// events its loop pumps can start nothing else; Cancel, Escape and the close box
// ask the import to stop, which then rolls every list back.
#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

namespace velk {

struct ImportHooks;

class frmImpProg : public QDialog {
    Q_OBJECT
public:
    explicit frmImpProg(QWidget* parent = nullptr);
    // Shows the form at once, centred, without blocking.
    void open();
    void setSource(const std::string& source);  // "Import from: " & source
    void setMessage(const std::string& text);
    // The bar after `current` of `total`, computed in 64 bits; repaints only when it moved.
    void advance(std::int64_t total, std::int64_t current);
    bool cancelled() const { return cancelled_; }
    // Hooks for the import run that talk to this form.
    ImportHooks hooks();

    void cmdCancel_Click() { cancelled_ = true; }

    QLabel* lblSource;
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
