#pragma once
// The find dialog "Document Finder": browses the cumulative index 20 records at a
// time, jumps to a typed number, and moves index lines into the Found list and out
// of it again. The rules of the index window live in FindWindow; the handlers here
// read the controls, call the model and write the controls.
#include <QDialog>
#include <string>
#include <vector>

#include "index/find_window.h"
#include "index/ui/arrow_icons.h"
#include "platform/app.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace velk {

class frmFind : public QDialog {
    Q_OBJECT
public:
    explicit frmFind(App& app, QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* txtFind;
    QPushButton* cmdFind;
    QListWidget* lstCum;
    QToolButton* cmdToFound;
    QToolButton* cmdFromFound;
    QToolButton* cmdCumTop;
    QToolButton* cmdCumBottom;
    QToolButton* cmdCumUp100;
    QToolButton* cmdCumDown100;
    QToolButton* cmdCumUp100x;
    QToolButton* cmdCumDown100x;
    QToolButton* cmdCumUp1000;
    QToolButton* cmdCumDown1000;
    QToolButton* cmdCumUp10000;
    QToolButton* cmdCumDown10000;
    QLabel* lblFound;
    QListWidget* lstFound;
    QToolButton* cmdUp100;
    QToolButton* cmdDown100;
    QCheckBox* Check1;
    QPushButton* cmdImport;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

    const FindWindow& window() const { return window_; }

    void lstCum_Click();
    void lstCum_DblClick();
    // A key pressed in lstCum (Qt key code); true when the dialog handled it, before
    // the list box moves its own selection.
    bool lstCum_KeyDown(int key);
    void lstFound_Click();
    void txtFind_Change();
    // Enter in txtFind or on the form: adds the selected line, unless it is only the
    // place where the typed number would stand.
    void txtFind_Enter();
    void cmdFind_Click();
    void cmdToFound_Click();
    void cmdFromFound_Click();
    void cmdCumTop_Click();
    void cmdCumBottom_Click();
    void cmdCumUp100_Click();
    void cmdCumDown100_Click();
    void cmdCumUp100x_Click() { jumpUp(100); }
    void cmdCumDown100x_Click() { jumpDown(100); }
    void cmdCumUp1000_Click() { jumpUp(1000); }
    void cmdCumDown1000_Click() { jumpDown(1000); }
    void cmdCumUp10000_Click() { jumpUp(10000); }
    void cmdCumDown10000_Click() { jumpDown(10000); }
    void cmdUp100_Click();
    void cmdDown100_Click();
    void Check1_Click();
    void cmdImport_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

    void reject() override;  // Escape and the close box are Cancel

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Deb_Load20();
    void LoadList();  // reads the window's records into lstCum and selects its line
    void LoadFound();
    void CheckArrows();
    void checkSortOption();
    void set100Arrows();
    void afterListChange();
    void jumpUp(int step);
    void jumpDown(int step);
    void syncLine();
    void moveToSearch(std::int64_t record);
    std::vector<int> selectedRows(QListWidget* list) const;

    App& app_;
    ArrowIcons icons_;
    FindWindow window_;
    std::int32_t missedAt_ = 0;  // the record a lookup that found nothing left selected
};

}  // namespace velk
