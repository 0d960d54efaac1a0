#include "export/ui/export_progress.h"

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
constexpr const char* kMinutesText = "Approximate minutes to completion:";
}  // namespace

std::string MinutesLeftText(std::int64_t elapsedMs, std::int32_t done, std::int32_t total) {
    if (done < 1 || total <= done || elapsedMs < 0) return kMinutesText;
    const std::int64_t left = elapsedMs / done * (total - done);
    return std::string(kMinutesText) + " " + std::to_string((left + 59999) / 60000);
}

ExportProgressWindow::ExportProgressWindow(App& app, const char* name, const char* caption, QWidget* parent)
    : QDialog(parent), app_(app) {
    setObjectName(name);
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    setMinimumWidth(kTroughPixels + 40);
    new QVBoxLayout(this);
    lblProgress = new QLabel(this);
    lblProgress->setObjectName("lblProgress");
    lblBar = MakeTrough(lblProgress, kTroughPixels, 18, "navy");
    started_.start();
}

QLabel* ExportProgressWindow::label(const char* name, const char* text) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setObjectName(name);
    layout()->addWidget(l);
    return l;
}

QPushButton* ExportProgressWindow::cancelButton(const char* name) {
    layout()->addWidget(lblProgress);
    auto* b = new QPushButton("&Cancel", this);
    b->setObjectName(name);
    layout()->addWidget(b);
    layout()->setAlignment(b, Qt::AlignHCenter);
    return b;
}

void ExportProgressWindow::open() {
    adjustSize();
    CentreOnScreen(*this);
    started_.restart();
    show();
}

void ExportProgressWindow::showProgress(const ExportProgress& p) {
    showLines(p);
    ShowProgressBar(*lblProgress, *lblBar, p.barTotal, p.barCurrent);
    repaint();
}

void ExportProgressWindow::cancel() { app_.ExportCancel = true; }

void ExportProgressWindow::closeEvent(QCloseEvent* event) {
    // The run owns the window; closing it asks the run to stop.
    if (isVisible()) cancel();
    event->ignore();
}

void ExportProgressWindow::reject() { cancel(); }

frmExportOneProgress::frmExportOneProgress(App& app, QWidget* parent)
    : ExportProgressWindow(app, "frmExportOneProgress", "Export Progress", parent) {
    lblDocument = label("lblDocument");
    lblPath = label("lblPath");
    lblPage = label("lblPage");
    lblTime = label("lblTime", kMinutesText);
    cmdCancel = cancelButton("frmPrintOneProgress");
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmExportOneProgress::showLines(const ExportProgress& p) {
    lblDocument->setText(QString::fromStdString(p.lblDocument));
    lblPath->setText(QString::fromStdString(p.lblPath));
    lblPage->setText(QString::fromStdString(p.lblPage));
    lblTime->setText(QString::fromStdString(MinutesLeftText(started_.elapsed(), p.barCurrent - 1, p.barTotal)));
}

frmExportProgress::frmExportProgress(App& app, QWidget* parent)
    : ExportProgressWindow(app, "frmExportProgress", "Batch Export progress", parent) {
    lblCurrDoc = label("lblCurrDoc");
    lblDoc = label("lblDoc");
    lblPg = label("lblPg");
    lblCurrPg = label("lblCurrPg");
    lblExportDir = label("lblExportDir");
    Label1 = label("Label1", "All Documents");
    Command1 = cancelButton("Command1");
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void frmExportProgress::showLines(const ExportProgress& p) {
    lblCurrDoc->setText(QString::fromStdString(p.lblDocument));
    lblDoc->setText(QString::fromStdString(p.lblDoc));
    lblPg->setText(QString::fromStdString(p.lblPg));
    lblCurrPg->setText(QString::fromStdString(p.lblPage));
    lblExportDir->setText(QString::fromStdString(p.lblPath));
}

}  // namespace velk
