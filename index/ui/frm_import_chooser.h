#pragma once
// The import's file chooser of a restricted installation: the offered drives only,
// their directories and files, never above a drive's root.
#include <QDialog>
#include <string>

#include "index/import_chooser.h"
#include "platform/app.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace velk {

class frmImportChooser : public QDialog {
    Q_OBJECT
public:
    explicit frmImportChooser(App& app, QWidget* parent = nullptr);

    // The chosen file as a Windows path ("E:\LISTS\A.TXT"); empty after Cancel.
    const std::string& chosen() const { return chosen_; }
    const ChooserPlace& place() const { return place_; }

    void drvExport_Change();
    void dirExport_DblClick();
    void cmdOk_Click();
    void cmdCancel_Click();

    QComboBox* drvExport;
    QListWidget* dirExport;
    QListWidget* FilExport;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

private:
    void fill();

    App& app_;
    ChooserPlace place_;
    std::string chosen_;
};

}  // namespace velk
