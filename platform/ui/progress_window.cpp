#include "platform/ui/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/modal.h"

namespace velk {

namespace {
constexpr int kTroughPixels = 320;
}

QLabel* MakeTrough(QLabel* trough, int width, int height, const char* colour) {
    trough->setFixedSize(width, height);
    trough->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* bar = new QLabel(trough);
    bar->setObjectName("lblBar");
    bar->setStyleSheet(QString("background-color: %1;").arg(colour));
    bar->setGeometry(1, 1, 0, height - 2);
    return bar;
}

ProgressWindow::ProgressWindow(const QString& caption, const QString& message, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmProgress");
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowModality(Qt::ApplicationModal);
    lblMsg = new QLabel(message, this);
    lblMsg->setObjectName("lblMsg");
    lblProgress = new QLabel(this);
    lblProgress->setObjectName("lblProgress");
    lblBar = MakeTrough(lblProgress, kTroughPixels, 18, "palette(highlight)");
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    auto* all = new QVBoxLayout(this);
    all->addWidget(lblMsg);
    all->addWidget(lblProgress);
    all->addWidget(cmdCancel, 0, Qt::AlignHCenter);
}

void ProgressWindow::open() {
    adjustSize();
    CentreOnScreen(*this);
    show();
    repaint();
}

bool ProgressWindow::advance(std::int64_t total, std::int64_t current) {
    const int room = lblProgress->width() - 2;
    const int width =
        total <= 0 ? 0 : static_cast<int>(std::clamp<std::int64_t>(current, 0, total) * room / total);
    if (width == barWidth_) return false;
    barWidth_ = width;
    lblBar->setFixedWidth(width);
    if (isVisible()) lblProgress->repaint();
    return true;
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    if (isVisible()) cancelled_ = true;
    event->ignore();
}

void ProgressWindow::reject() {
    cancelled_ = true;
}

}  // namespace velk
