#pragma once
// The trademark and assignment print dialog: one page of the shown document, or all.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace velk {

struct App;
class Modal;

class frmMarkPrint : public QDialog {
    Q_OBJECT
public:
    frmMarkPrint(App& app, Modal& modal, QWidget* parent = nullptr);

    // File > Save as PDF: the chosen pages go into one PDF file, whatever the printer.
    void saveAsPdf();
    void cmdPrint_Click();
    void cmdPreview_Click();
    void cmdHelp_Click();

    QRadioButton* optEntire;
    QRadioButton* optPage;
    QListWidget* lstPage;
    QLabel* lblPages;
    QComboBox* cmbPrinter;
    QPushButton* cmdPrint;
    QPushButton* cmdPreview;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

private:
    App& app_;
    Modal& modal_;
    bool savePdf_ = false;
};

}  // namespace velk
