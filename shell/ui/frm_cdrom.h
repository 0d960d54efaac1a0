#pragma once
// The CD-ROM drive window: the drive or tower root in use, and a new one to store.
#include <QDialog>
#include <vector>

#include "platform/app.h"
#include "shell/settings.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace velk {

class frmCDRom : public QDialog {
    Q_OBJECT
public:
    explicit frmCDRom(App& app, QWidget* parent = nullptr);

    QGroupBox* Frame1;
    QLabel* Label1;
    QGroupBox* Frame2;
    QComboBox* drvCDRom;
    QPushButton* cmdOverwrite;
    QPushButton* Command2;

    void cmdOverwrite_Click();  // "&Replace", then "C&lose"
    void Command2_Click();      // "&Cancel"
    void reject() override;     // Escape and the close box act as Cancel

    const CdRomSession& session() const { return session_; }

private:
    App& app_;
    CdRomSession session_;
    std::vector<CdRomChoice> choices_;
    bool closing_ = false;
};

}  // namespace velk
