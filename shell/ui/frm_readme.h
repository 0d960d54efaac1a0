#pragma once
// The read-me window: Readme.txt of the installation, and the choice not to show it again.
#include <QDialog>
#include <string>

#include "platform/app.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace velk {

// The text the window shows: the whole file (line ends made uniform), or a
// one-line note when it is missing or cannot be read.
std::string ReadmeText(const Config& config);

class frmReadme : public QDialog {
    Q_OBJECT
public:
    explicit frmReadme(App& app, QWidget* parent = nullptr);

    QPlainTextEdit* txtReadme;
    QCheckBox* chkReadme;
    QPushButton* cmdOk;

    void chkReadme_Click();
    void cmdOk_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    App& app_;
};

}  // namespace velk
