#pragma once
// The two export progress windows. While a run lasts they are application-modal, so
// the events a page loop pumps can start no second run; the close box and Escape act
// as Cancel, which stops the run after the page being written.
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

#include "export/export_engine.h"

namespace velk {

struct App;

class ExportProgressWindow : public QDialog, public ExportProgressView {
    Q_OBJECT
public:
    // Shows the window at once (application-modal, not blocking).
    void open();
    void showProgress(const ExportProgress& progress) override;

    QLabel* lblProgress;
    QLabel* lblBar;

protected:
    ExportProgressWindow(App& app, const char* name, const char* caption, QWidget* parent);
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape
    virtual void showLines(const ExportProgress& progress) = 0;
    void cancel();
    QLabel* label(const char* name, const char* text = "");
    QPushButton* cancelButton(const char* name);
    App& app_;
    QElapsedTimer started_;
};

class frmExportOneProgress : public ExportProgressWindow {
    Q_OBJECT
public:
    explicit frmExportOneProgress(App& app, QWidget* parent = nullptr);
    void cmdCancel_Click() { cancel(); }

    QLabel* lblDocument;
    QLabel* lblPath;
    QLabel* lblPage;
    QLabel* lblTime;
    QPushButton* cmdCancel;  // objectName "frmPrintOneProgress", as the form has always called it

protected:
    void showLines(const ExportProgress& progress) override;
};

class frmExportProgress : public ExportProgressWindow {
    Q_OBJECT
public:
    explicit frmExportProgress(App& app, QWidget* parent = nullptr);
    void Command1_Click() { cancel(); }

    QLabel* lblCurrDoc;
    QLabel* lblDoc;
    QLabel* lblPg;
    QLabel* lblCurrPg;
    QLabel* lblExportDir;
    QLabel* Label1;
    QPushButton* Command1;

protected:
    void showLines(const ExportProgress& progress) override;
};

// "Approximate minutes to completion:" and the minutes left at the pace so far
// (rounded up; nothing before the first page is done).
std::string MinutesLeftText(std::int64_t elapsedMs, std::int32_t done, std::int32_t total);

}  // namespace velk
