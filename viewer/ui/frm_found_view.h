#pragma once
// The found-list view "View Documents": the Found list, from which the selected
// document opens in viewer 1 or beside it in viewer 2, and the shown document in
// viewer 2.
#include <QDialog>
#include <string>
#include <vector>

#include "index/ui/arrow_icons.h"
#include "platform/app.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace velk {

class frmView : public QDialog {
    Q_OBJECT
public:
    explicit frmView(App& app, QWidget* parent = nullptr);

    QLabel* Label1;
    QListWidget* lstFound;
    QRadioButton* optViewer1;
    QRadioButton* optViewer2;
    QPushButton* cmdView;
    QPushButton* cmd2ndView;
    QToolButton* cmdTop;
    QToolButton* cmdBottom;
    QToolButton* cmdUp100;
    QToolButton* cmdDown100;
    QPushButton* cmdClose;
    QPushButton* Command2;

    // The Found list as the view shows it; false (and nothing shown) when it is empty.
    bool LoadFound();

    void lstFound_Click();
    void lstFound_DblClick();
    void cmdView_Click();
    void cmd2ndView_Click();
    void cmdTop_Click();
    void cmdBottom_Click();
    void cmdUp100_Click();
    void cmdDown100_Click();
    void cmdClose_Click();
    void Command2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void select(int row);

    App& app_;
    ArrowIcons icons_;
    std::vector<std::string> lines_;  // entry texts as stored
};

}  // namespace velk
