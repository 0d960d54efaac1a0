#pragma once
// The modal OK/Cancel message window, and the Prompt port that shows it.
#include <QDialog>
#include <functional>

#include "platform/app.h"

class QLabel;
class QPushButton;

namespace velk {

class Modal;

// Whether the Found list holds entries; the list store lives on a higher floor.
using FoundListCheck = std::function<bool()>;

class frmMessage : public QDialog {
    Q_OBJECT
public:
    frmMessage(App& app, FoundListCheck foundHasEntries, QWidget* parent = nullptr);

    QLabel* lblMessage;
    QPushButton* cmdOk;
    QPushButton* cmdExit;
    // 1 OK, 3 Cancel. It starts at 3, and the close box and Escape act as Cancel, so
    // no answer is left over from an earlier prompt.
    int MessageResult = 3;

    void cmdOk_Click();
    void cmdExit_Click();
    void reject() override;  // Escape and the close box

private:
    App& app_;
    FoundListCheck foundHasEntries_;
};

class QtPrompt : public Prompt {
public:
    QtPrompt(App& app, Modal& modal, FoundListCheck foundHasEntries)
        : app_(app), modal_(modal), foundHasEntries_(std::move(foundHasEntries)) {}
    int ask(const std::string& text, int previousResult) override;

private:
    App& app_;
    Modal& modal_;
    FoundListCheck foundHasEntries_;
};

}  // namespace velk
