#pragma once
// The patent print dialog: the shown document's pages (all, first, all but the
// first, one, a range, chosen sections), and the option dialog of a patent batch,
// whose page choice then applies to every document on the To Print list.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "platform/ui/pdf_output.h"
#include "print/print_engine.h"
#include "print/select_pages.h"

namespace velk {

struct App;
class Modal;

inline constexpr const char* kPrintRunErrorText = "error at cmdprint";
inline constexpr long kPrintHelpContext = 4;

class frmPrint : public QDialog {
    Q_OBJECT
public:
    // Loads for the document in App::doc, or for a batch when App::PrintMode says so.
    frmPrint(App& app, Modal& modal, QWidget* parent = nullptr);

    // The choice the controls hold, as the page selection reads it.
    PageOptions options() const;
    bool batch() const { return batch_; }
    // File > Save as PDF: the chosen pages go into one PDF file, whatever the printer.
    void saveAsPdf();

    void cmdPrint_Click();
    void cmdPreview_Click();
    void cmdHelp_Click();

    QRadioButton* optEntire;
    QRadioButton* optFirstPage;
    QRadioButton* optAllNotFirst;
    QRadioButton* optPage;
    QListWidget* lstPage;
    QRadioButton* optRange;
    QComboBox* cmbRangeSt;
    QLabel* Label1;
    QComboBox* cmbRangeEnd;
    QLabel* lblPages;
    QRadioButton* optSubsection;
    QListWidget* lstSubsections;
    QCheckBox* chkAbstract;
    QCheckBox* chkBiblio;
    QCheckBox* chkClaims;
    QCheckBox* chkDescription;
    QCheckBox* chkDrawings;
    QCheckBox* chkCC;
    QCheckBox* chkRE;
    QComboBox* cmbPrinter;
    QPushButton* cmdPrint;
    QPushButton* cmdPreview;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

private:
    void load();
    void prepareBatch();
    void enableSections();
    void printDocument();
    void printBatch();

    App& app_;
    Modal& modal_;
    bool batch_ = false;
    bool savePdf_ = false;
};

// The print dialogs' Save as PDF: the title says so and the confirm button reads Save.
void ShowSaveAsPdf(QDialog& dialog, QPushButton* confirm);
// Before a one-document run: the PDF file when saving (asked for always) or when the
// printer asks for one. Cancelled when the user chose none.
PdfChoice PrepareDocumentOutput(App& app, QWidget* parent, bool savePdf);
// The run writes PDF files when a file or folder was chosen: each document's pages as
// they are stored.
void SendToPdf(PrintRun& run, const PdfChoice& pdf, bool batch);

// Shows the help topic of both print dialogs.
void ShowPrintHelp(App& app);
// Both print dialogs: their choices on the left, Print, Cancel and Help down the right.
// The printer row above the choices: "Printer:" and the box.
void ArrangePrintDialog(QDialog& dialog, QComboBox* printer, QLayout* choices, QPushButton* print,
                        QPushButton* preview, QPushButton* cancel, QPushButton* help);
// Preview of pages for the printer the box holds; true when Print was pressed there.
bool PreviewPages(App& app, Modal& modal, QWidget* parent, const std::vector<Int16>& pages,
                  const QComboBox& printer);
// The printer box of the print dialogs: the system's queues, the PDF file printed to when
// that is the printer, and "Save as PDF"; what the printer does now is selected.
QComboBox* PrinterChoiceBox(App& app, QWidget* parent);
// Makes the box's choice the printer's for the rest of the run; true for Save as PDF.
bool ApplyPrinterChoice(App& app, const QComboBox& box);

}  // namespace velk
