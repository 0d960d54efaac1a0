#pragma once
// The two print progress windows. While a run lasts they are application-modal, so
// the events a page loop pumps can start no second run and close no viewer; the
// close box acts as Cancel. Cancel stops the run after the page being printed.
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "platform/app.h"
#include "platform/ui/wait_cursor.h"
#include "print/print_engine.h"

namespace velk {

struct App;

class PrintProgressWindow : public QDialog, public PrintProgressView {
    Q_OBJECT
public:
    // Shows the window at once (application-modal, not blocking).
    void open();
    void showProgress(const PrintProgress& progress) override;

    QLabel* lblDocument;
    QLabel* lblPrinter;
    QLabel* lblProgress;
    QLabel* lblBar;

protected:
    PrintProgressWindow(App& app, const char* name, const char* caption, QWidget* parent);
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape
    virtual void showPageLines(const PrintProgress& progress) = 0;
    void cancel();
    QLabel* label(const char* name);
    bool showPrinter();  // false when the printer does not say what it is
    App& app_;
};

class frmPrintProgress : public PrintProgressWindow {
    Q_OBJECT
public:
    explicit frmPrintProgress(App& app, QWidget* parent = nullptr);
    void Command1_Click() { cancel(); }

    QLabel* lblPage;
    QLabel* lblAllDocs;
    QLabel* lblAllPages;
    QPushButton* Command1;

protected:
    void showPageLines(const PrintProgress& progress) override;
};

class frmPrintOneProgress : public PrintProgressWindow {
    Q_OBJECT
public:
    explicit frmPrintOneProgress(App& app, QWidget* parent = nullptr);
    void cmdCancel_Click() { cancel(); }

    QLabel* lblPages;
    QPushButton* cmdCancel;

protected:
    void showPageLines(const PrintProgress& progress) override;
};

// Runs body(run) behind a progress window of kind W, under the hourglass, then shows
// the run's closing message.
template <class W, class Body>
void RunPrint(App& app, QWidget* parent, Body body) {
    RunSummary summary;
    {
        WaitCursor wait;
        W progress(app, parent);
        progress.open();
        PrintRun run(app, &progress);
        body(run);
        progress.hide();
        summary = run.summary;
    }
    app.ShowSummary(summary);
}

}  // namespace velk
