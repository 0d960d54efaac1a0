#pragma once
// The list window: one of the Found, Not Found and Not Printed/Exported lists, with
// copy, print and save, the 100-line arrows, and viewing the selected document.
#include <QDialog>
#include <string>
#include <vector>

#include "lists/list_window.h"
#include "platform/app.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace velk {

class frmListBox : public QDialog {
    Q_OBJECT
public:
    // listType: "FOUND", "NOT FOUND" or "REMAINING" (anything else shows Remaining);
    // foundSorted: the find dialog's sort option.
    frmListBox(App& app, const std::string& listType, bool foundSorted = false, QWidget* parent = nullptr);

    void cmdTop_Click();
    void cmdBottom_Click();
    void cmdUp100_Click();
    void cmdDown100_Click();
    void cmdCopyList_Click();
    void cmdPrintList_Click();
    void cmdSaveList_Click();
    void cmdClose_Click();
    void cmdHelp_Click();
    void cmdCancel_Click();  // stops a copy, print or save under way
    void reject() override;
    // Double-click or Enter on a line: shows that document in the first viewer.
    void lstLists_DblClick();

    ListType listType() const { return type_; }
    const std::vector<std::string>& entries() const { return entries_; }

    QListWidget* lstLists;
    QPushButton* cmdTop;
    QPushButton* cmdBottom;
    QPushButton* cmdUp100;
    QPushButton* cmdDown100;
    QCheckBox* chkIncludeVol;
    QPushButton* cmdCopyList;
    QPushButton* cmdPrintList;
    QPushButton* cmdSaveList;
    QPushButton* cmdClose;
    QPushButton* cmdHelp;
    QLabel* lblCount;
    QLabel* lblProgress;
    QLabel* lblBar;
    QPushButton* cmdCancel;

private:
    void load();
    void setArrows(bool enabled);
    bool showPercent(int percent);  // false when the bar already showed it
    // The step a copy, print or save reports after each entry: the bar, the events
    // that let Cancel in, and the end of the walk once Cancel was pressed.
    PercentFn progress();
    std::vector<QPushButton*> actions() const;
    // Shows the bar for the length of one copy, print or save.
    class Busy;
    bool includeVolume() const;

    App& app_;
    ListType type_;
    bool foundSorted_;
    std::vector<std::string> entries_;
    int shownPercent_ = -1;
    bool busy_ = false;
    bool cancelled_ = false;
};

}  // namespace velk
