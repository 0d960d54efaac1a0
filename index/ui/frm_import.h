#pragma once
// The import dialog: a number list from a file or the clipboard into the Found and
// Not Found lists, with the progress form while it runs and the Not Found list
// shown at the end.
#include <QDialog>
#include <string>

#include "index/import_run.h"
#include "platform/app.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velk {

class frmImport : public QDialog {
    Q_OBJECT
public:
    explicit frmImport(App& app, QWidget* parent = nullptr);

    void optFile_Click();
    void optClipboard_Click();
    void txtPath_Change();  // the user's own edit
    void cmdBrowse_Click();
    void cmdImport_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

    // The path Browse chose (empty when none is held).
    const std::string& importPath() const { return importPath_; }
    // The last run, for whoever opened the dialog.
    const ImportResult& importResult() const { return result_; }
    // True after an import that changed the lists: the find dialog shows them again.
    bool findNeedsReload() const { return findNeedsReload_; }
    // The sort option the Not Found list window gets.
    void setFoundSorted(bool sorted) { foundSorted_ = sorted; }

    QRadioButton* optFile;
    QRadioButton* optClipboard;
    QLabel* Label1;
    QLineEdit* txtPath;
    QPushButton* cmdBrowse;
    QCheckBox* chkClear;
    QPushButton* cmdImport;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

private:
    // The diskette check of a path on A: (and B: when typed); false when the user cancelled.
    bool diskReady(const std::string& path, bool typed);
    void finishProcessed();

    App& app_;
    std::string importPath_;
    ImportResult result_;
    bool findNeedsReload_ = false;
    bool foundSorted_ = false;
};

}  // namespace velk
