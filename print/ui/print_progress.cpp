#include "print/ui/print_progress.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/app.h"
#include "platform/progress.h"
#include "platform/ui/modal.h"
#include "platform/ui/progress_window.h"

namespace velk {

namespace {
constexpr int kTroughPixels = 360;
constexpr int kTwipsPerPixel = 15;
}  // namespace

PrintProgressWindow::PrintProgressWindow(App& app, const char* name, const char* caption, QWidget* parent)
    : QDialog(parent), app_(app) {
    setObjectName(name);
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    lblDocument = label("lblDocument");
    layout->addWidget(lblDocument);
    lblPrinter = label("lblPrinter");
    lblProgress = label("lblProgress");
    lblBar = MakeTrough(lblProgress, kTroughPixels, 18, "navy");

    if (!showPrinter()) {
        app.msg(kPrinterInfoMissing);
        lblPrinter->hide();
    }
}

bool PrintProgressWindow::showPrinter() {
    try {
        const std::string device = app_.ports.printer ? app_.ports.printer->deviceName() : std::string();
        const std::string port = app_.ports.printer ? app_.ports.printer->port() : std::string();
        if (device.empty() || port.empty()) return false;
        lblPrinter->setText(QString::fromStdString(PrinterCaption(device, port)));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QLabel* PrintProgressWindow::label(const char* name) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    return l;
}

void PrintProgressWindow::open() {
    layout()->addWidget(lblPrinter);
    layout()->addWidget(lblProgress);
    for (auto* b : findChildren<QPushButton*>()) layout()->addWidget(b);
    adjustSize();
    CentreOnScreen(*this);
    show();
}

void PrintProgressWindow::showProgress(const PrintProgress& p) {
    lblDocument->setText(QString::fromStdString(p.lblDocument));
    if (!p.lblPrinter.empty())
        lblPrinter->setText(QString::fromStdString(p.lblPrinter));  // Save as PDF: the file
    else if (!lblPrinter->isHidden())
        showPrinter();  // a batch into a folder: each document's own file
    showPageLines(p);
    ShowProgressBar(*lblProgress, *lblBar, p.barTotal, p.barCurrent);
    repaint();
}

void PrintProgressWindow::cancel() { app_.PrintCancel = true; }

void PrintProgressWindow::closeEvent(QCloseEvent* event) {
    // The run owns the window; closing it asks the run to stop.
    if (isVisible()) cancel();
    event->ignore();
}

void PrintProgressWindow::reject() { cancel(); }

frmPrintProgress::frmPrintProgress(App& app, QWidget* parent)
    : PrintProgressWindow(app, "frmPrintProgress", "Batch Print progress", parent) {
    lblPage = label("lblPage");
    lblAllDocs = label("lblAllDocs");
    lblAllPages = label("lblAllPages");
    for (QLabel* l : {lblPage, lblAllDocs, lblAllPages}) layout()->addWidget(l);
    Command1 = new QPushButton("&Cancel", this);
    Command1->setObjectName("Command1");
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void frmPrintProgress::showPageLines(const PrintProgress& p) {
    lblPage->setText(QString::fromStdString(p.lblPage));
    lblAllDocs->setText(QString::fromStdString(p.lblAllDocs));
    lblAllPages->setText(QString::fromStdString(p.lblAllPages));
}

frmPrintOneProgress::frmPrintOneProgress(App& app, QWidget* parent)
    : PrintProgressWindow(app, "frmPrintOneProgress", "Print Progress", parent) {
    lblPages = label("lblPages");
    layout()->addWidget(lblPages);
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmPrintOneProgress::showPageLines(const PrintProgress& p) { lblPages->setText(QString::fromStdString(p.lblPage)); }

}  // namespace velk
