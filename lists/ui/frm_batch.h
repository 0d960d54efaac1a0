#pragma once
// The batch list manager: To Print, To Export and Not Printed/Exported side by
// side, the six arrows between them, and the start of batch print and export.
#include <QDialog>
#include <array>
#include <map>
#include <memory>

#include "lists/batch.h"
#include "platform/app.h"
#include "platform/ui/form_layout.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace velk {

class Modal;

class frmBatch : public QDialog {
    Q_OBJECT
public:
    // The result codes exec() gives for the two batch buttons.
    enum Result { kClosed = QDialog::Rejected, kBatchPrint = 10, kBatchExport = 11 };

    // sorted: the find dialog's sort option, which orders the Remaining list.
    frmBatch(App& app, bool sorted, QWidget* parent = nullptr);

    QLabel* lblRemaining;
    QLabel* lblPrint;
    QLabel* lblExport;
    QListWidget* lstRemaining;
    QListWidget* lstPrint;
    QListWidget* lstExport;
    QLabel* lblRemDocs;
    QLabel* lblRemPgs;
    QLabel* lblPrintDocs;
    QLabel* lblPrintPgs;
    QLabel* lblExportDocs;
    QLabel* lblExportPgs;
    QPushButton* cmdRem2Prt;
    QPushButton* cmdRem2Exp;
    QPushButton* cmdPrt2Exp;
    QPushButton* cmdPrt2Rem;
    QPushButton* cmdExp2Prt;
    QPushButton* cmdExp2Rem;
    QPushButton* cmdBPrint;
    QPushButton* cmdBExport;
    QPushButton* cmdClose;
    QPushButton* cmdHelp;

    // One handler for the six arrows, by the button's name.
    void Transfer(const std::string& button);
    void CheckArrows();
    void cmdBPrint_Click();
    void cmdBExport_Click();
    void cmdClose_Click();
    void cmdHelp_Click();

    QListWidget* listBox(BatchList list) const;
    QPushButton* arrow(const std::string& button) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void load(BatchList list, bool afterTransfer);
    void setLabels(BatchList list, bool afterTransfer);

    App& app_;
    bool sorted_;
    CResize resizer_;
};

// Shows the batch window until it is closed. Batch print and export close it,
// open the frame's batch dialog, then show it again with the lists reloaded.
void RunBatchWindow(App& app, Modal& modal, QWidget* parent, bool sorted);

}  // namespace velk
