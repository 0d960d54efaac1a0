#pragma once
// The export destination dialogs: "Select Directory" (frmDialog) for an open
// installation, "Select Export Drive" (frmrestrict) for every other one.
#include <QDialog>
#include <filesystem>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QFileSystemModel;
class QListView;
class QPushButton;
class QTreeView;

namespace velk {

struct App;
class Modal;

class frmDialog : public QDialog {
    Q_OBJECT
public:
    frmDialog(App& app, QWidget* parent = nullptr);

    QComboBox* drvExport;   // hidden while exporting
    QComboBox* drvExport1;  // the drive box an export shows
    QTreeView* dirExport;   // directories only
    QListView* FilExport;   // hidden while exporting
    QLabel* lblDirectory;   // the directory an OK would choose
    QLineEdit* txtNewFolder;
    QPushButton* cmdNewFolder;  // makes txtNewFolder in the chosen directory and chooses it
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    // Results: DialogPath is a native directory without a trailing separator.
    bool DialogCancelled = true;
    std::string DialogPath, DialogDrive;

    // One drive box, the directory box, no file list; starts in the directory this run
    // chose last, else on drive C: when it is there.
    void prepareForExport();
    // The directory the directory box shows (native).
    std::string directory() const;
    void setDirectory(const std::string& nativeDir);

    void drvExport1_Change();
    void showRoot(const std::string& nativeRoot);
    void cmdNewFolder_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

private:
    App& app_;
    QFileSystemModel* dirs_;
    QFileSystemModel* files_;
    int lastDrive_ = 0;
    std::string root_ = "/";  // the drive the directory box is on
    void showChoice();
};

class frmrestrict : public QDialog {
    Q_OBJECT
public:
    // Offers RestrictedDrives(app), the drive chosen last in this run (or that of the
    // export directory) chosen.
    frmrestrict(App& app, QWidget* parent = nullptr);

    QComboBox* cmbdrive;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    std::string RestrictAnswer = "cancel";

    void cmdOK_Click();  // nothing happens until a drive is chosen
    void cmdCancel_Click();
};

// The destination of an export as the installation type says; nullopt after a
// Cancel (nothing is made then). Used before the first page of every export; the
// choice is kept for the next export of the run.
std::optional<std::filesystem::path> AskExportDestination(App& app, Modal& modal, QWidget* parent = nullptr);

}  // namespace velk
