#pragma once
// The import's progress form. Application-modal while the import runs, so the
// events its loop pumps can start nothing else; Cancel, Escape and the close box
// ask the import to stop, which then rolls every list back.
#include <cstdint>
#include <string>

#include "platform/ui/progress_window.h"

namespace velk {

struct ImportHooks;

class frmImpProg : public ProgressWindow {
    Q_OBJECT
public:
    explicit frmImpProg(QWidget* parent = nullptr);
    void setSource(const std::string& source);  // "Import from: " & source
    void setMessage(const std::string& text);
    // Hooks for the import run that talk to this form.
    ImportHooks hooks();

    QLabel* lblSource;
};

}  // namespace velk
