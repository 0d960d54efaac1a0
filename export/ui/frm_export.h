#pragma once
// The export dialogs: the shown patent (frmExport), the shown trademark or assignment
// (frmMarkExport), and the To Export list of patents (frmPatBExport) or of trademarks
// and assignments (frmMarBExport). Thin over the engine and the batch: they read
// their options, ask for the destination and show the progress window.
#include <QDialog>
#include <optional>
#include <vector>

#include "export/export_engine.h"
#include "print/select_pages.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace velk {

struct App;
class Modal;

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    // The six format options, in the order they are tested.
    QRadioButton* optTif4;
    QRadioButton* optTif3;
    QRadioButton* optTif;
    QRadioButton* optPcx;
    QRadioButton* optWmf;  // "BMP"; optBMP in the batch dialogs
    QRadioButton* optGif;
    // One file per document, tested after the six.
    QRadioButton* optPdf;
    QRadioButton* optTifDoc;
    QPushButton* cmdExport;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

    std::optional<ExportFormat> chosenFormat() const;
    void cmdExport_Click();
    void cmdCancel_Click() { reject(); }
    void cmdHelp_Click();

protected:
    ExportDialog(App& app, Modal& modal, QWidget* parent, const char* name, int helpContext,
                 const char* bmpName);
    // Builds the format box and the buttons under the page options in `pages`.
    void finish(QWidget* pages);
    // The run behind the Export button, once a format is chosen.
    virtual void run(const ExportFormat& format) = 0;
    QRadioButton* option(const char* name, const char* text);
    QCheckBox* box(const char* name, const char* text);
    App& app_;
    Modal& modal_;

private:
    int helpContext_;
};

// The page options shared by frmExport and frmPatBExport.
class SectionBoxes {
public:
    QCheckBox* chkAbstract;
    QCheckBox* chkBiblio;
    QCheckBox* chkClaims;
    QCheckBox* chkDescription;
    QCheckBox* chkDrawings;
    QCheckBox* chkCC;
    QCheckBox* chkRE;
    std::vector<QCheckBox*> all() const;
    void readInto(PageOptions& options) const;
};

class frmExport : public ExportDialog {
    Q_OBJECT
public:
    frmExport(App& app, Modal& modal, QWidget* parent = nullptr);

    QRadioButton* optEntire;
    QRadioButton* optFirst;
    QRadioButton* optAll;
    QRadioButton* optPage;
    QListWidget* lstPage;
    QRadioButton* optRange;
    QComboBox* cmbRangeSt;
    QComboBox* cmbRangeEnd;
    QRadioButton* optSub;
    QListWidget* lstSubsection;
    SectionBoxes sections;
    QLabel* lblTotPage;
    QLabel* lblEntire;

    PageOptions options() const;

protected:
    void run(const ExportFormat& format) override;
};

class frmMarkExport : public ExportDialog {
    Q_OBJECT
public:
    frmMarkExport(App& app, Modal& modal, QWidget* parent = nullptr);

    QRadioButton* optEntire;
    QRadioButton* optPage;
    QListWidget* lstPage;
    QLabel* lblTotPage;
    QLabel* lblEntire;

protected:
    void run(const ExportFormat& format) override;
};

class frmPatBExport : public ExportDialog {
    Q_OBJECT
public:
    frmPatBExport(App& app, Modal& modal, QWidget* parent = nullptr);

    QRadioButton* optEntire;
    QRadioButton* optFirstPage;
    QRadioButton* optAllNotFirst;
    QRadioButton* Option2;  // "Subsection:"
    SectionBoxes sections;

    PageOptions options() const;

protected:
    void run(const ExportFormat& format) override;
};

class frmMarBExport : public ExportDialog {
    Q_OBJECT
public:
    frmMarBExport(App& app, Modal& modal, QWidget* parent = nullptr);

    QRadioButton* optEntire;
    QLabel* lblAll;

protected:
    void run(const ExportFormat& format) override;
};

// What the main frame opens: the dialog of the collection, shown modally.
void OpenExportDialog(App& app, Modal& modal, QWidget* parent = nullptr);
void OpenBatchExport(App& app, Modal& modal, QWidget* parent = nullptr);

}  // namespace velk
