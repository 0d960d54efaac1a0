#pragma once
// The go-to-page dialog "Go To Page...": a page of the active viewer's document by
// number or by section. It takes the viewer's pages and sections when it opens and,
// on OK, hands the chosen page to the viewer windows' page move.
#include <QDialog>

#include "platform/app.h"
#include "viewer/goto_page.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace velk {

class frmGoto : public QDialog {
    Q_OBJECT
public:
    // For the active viewer of app.
    frmGoto(App& app, ShowViewerPage show, QWidget* parent = nullptr);
    frmGoto(App& app, const GotoChoice& choice, ShowViewerPage show, QWidget* parent = nullptr);

    QRadioButton* optPage;
    QListWidget* lstPage;
    QLabel* lblPages;
    QRadioButton* optFirst;
    QRadioButton* optBiblio;
    QRadioButton* optDrawings;
    QRadioButton* optDescription;
    QRadioButton* optClaims;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

    const GotoChoice& choice() const { return choice_; }
    // The page the options select now; 0 when none.
    int chosenPage() const;
    // True when OK showed the chosen page.
    bool shown() const { return shown_; }

    void lstPage_DblClick();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

private:
    App& app_;
    GotoChoice choice_;
    ShowViewerPage show_;
    bool shown_ = false;
};

}  // namespace velk
