#pragma once
// The splash window: the collection, how far its index reaches, and Continue.
#include <QDialog>

#include "platform/app.h"

class QLabel;
class QPushButton;

namespace velk {

class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(App& app, QWidget* parent = nullptr);

    QLabel* imgPicture;
    QLabel* lblHeading;
    QLabel* lblDescription;
    QLabel* lblCoverage;      // "Cumulative Index current through"
    QLabel* lblCoverageDate;
    QLabel* lblRegNo;         // "Registration No."
    QLabel* lblRegNoValue;
    QLabel* lblSample;        // trademarks: the disc holds samples of the backfile
    QLabel* lblOffice;
    QLabel* lblAddress;
    QLabel* lblDisclaimer;
    QPushButton* cmdContinue;

    void cmdContinue_Click();

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace velk
