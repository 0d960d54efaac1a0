#pragma once
// Modal without a nested event loop: records the dialog, lets the test act on it
// (fill controls, click buttons), then returns the code the dialog set with
// done()/accept()/reject(), or `code` when it set none.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/modal.h"

namespace velk::test {

class FakeModal : public Modal {
public:
    std::vector<std::string> shown;  // objectName of every dialog, in order
    std::function<void(QDialog&)> onExec;
    int code = QDialog::Rejected;

    int exec(QDialog& dialog) override {
        constexpr int kNoResult = -12345;
        shown.push_back(dialog.objectName().toStdString());
        dialog.setResult(kNoResult);
        if (onExec) onExec(dialog);
        return dialog.result() == kNoResult ? code : dialog.result();
    }
};

}  // namespace velk::test
