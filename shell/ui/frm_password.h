#pragma once
// The password window of a restricted installation's CD-ROM drive and Printer
// Setup commands, also shown without its entry as the index switch's notice; and
// the settings commands' windows on top of it.
#include <QDialog>
#include <memory>

#include "platform/app.h"
#include "shell/settings.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velk {

class Modal;

class frmPassword : public QDialog {
    Q_OBJECT
public:
    frmPassword(App& app, PasswordPurpose purpose, QWidget* parent = nullptr);
    // The notice form: caption only, "Processing Index..." instead of the entry.
    static std::unique_ptr<frmPassword> Notice(App& app, const std::string& caption, QWidget* parent);

    QLineEdit* txtPassword;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    QLabel* lblPassword;
    QLabel* lblIndex;

    bool Accepted = false;  // set by OK when the entry matched

    void cmdOk_Click();
    void cmdCancel_Click();
    void reject() override;  // Escape and the close box act as Cancel

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    App& app_;
    PasswordPurpose purpose_;
};

// The windows of the settings commands over the Modal port.
class QtSettingsWindows : public SettingsWindows {
public:
    QtSettingsWindows(App& app, Modal& modal, QWidget* parent) : app_(app), modal_(modal), parent_(parent) {}
    bool askPassword(PasswordPurpose purpose) override;
    void showCdRom() override;
    bool showPrinterSetup() override;

private:
    App& app_;
    Modal& modal_;
    QWidget* parent_;
};

}  // namespace velk
