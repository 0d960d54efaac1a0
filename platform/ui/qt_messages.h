#pragma once
// The message box: QMessageBox with the platform's buttons, icons, answers and Esc
// behaviour (Esc gives Cancel where there is one, OK when OK is the only button,
// and does nothing for Yes/No and Abort/Retry/Ignore, which also lose the close box).
#include <QMessageBox>
#include <memory>

#include "platform/ports.h"

namespace velk {

class QtMessages : public Messages {
public:
    Answer show(const std::string& text, const std::string& title, Buttons buttons, Icon icon) override;
    void summary(const RunSummary& s, const std::string& title) override;
};

// The box QtMessages shows, for callers and tests that drive it themselves.
std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& text, const std::string& title,
                                            Buttons buttons, Icon icon, QWidget* parent = nullptr);
// The closing message of a run: OK, and "Open Folder" (the desktop's file manager)
// when the output went to a folder that is there.
std::unique_ptr<QMessageBox> MakeSummaryBox(const RunSummary& s, const std::string& title,
                                            QWidget* parent = nullptr);
// The answer of a box after it closed; its escape answer when no button was pressed.
Answer AnswerOf(const QMessageBox& box);

}  // namespace velk
