#include "index/ui/frm_import_progress.h"

#include "platform/ui/modal.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "index/import_run.h"

namespace velk {

namespace {
constexpr int kTroughPixels = 320;
}

frmImpProg::frmImpProg(QWidget* parent) : QDialog(parent) {
    setObjectName("frmImpProg");
    setWindowTitle("Import progress...");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowModality(Qt::ApplicationModal);
    lblSource = new QLabel("Import from:", this);
    lblSource->setObjectName("lblSource");
    lblSource->setMinimumWidth(kTroughPixels);
    lblSource->setTextFormat(Qt::PlainText);
    lblMsg = new QLabel("Preparing to import documents...", this);
    lblMsg->setObjectName("lblMsg");
    lblProgress = new QLabel(this);
    lblProgress->setObjectName("lblProgress");
    lblProgress->setFixedSize(kTroughPixels, 18);
    lblProgress->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblBar = new QLabel(lblProgress);
    lblBar->setObjectName("lblBar");
    lblBar->setStyleSheet("background-color: palette(highlight);");
    lblBar->setGeometry(1, 1, 0, 16);
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    auto* all = new QVBoxLayout(this);
    all->addWidget(lblSource);
    all->addWidget(lblMsg);
    all->addWidget(lblProgress);
    all->addWidget(cmdCancel, 0, Qt::AlignHCenter);
}

void frmImpProg::open() {
    adjustSize();
    CentreOnScreen(*this);
    show();
    repaint();
}

void frmImpProg::setSource(const std::string& source) {
    // A long path is elided in the middle rather than widening the form off the screen.
    const QString text = "Import from: " + QString::fromStdString(source);
    lblSource->setToolTip(text);
    lblSource->setText(lblSource->fontMetrics().elidedText(text, Qt::ElideMiddle, kTroughPixels));
    if (isVisible()) repaint();
}

void frmImpProg::setMessage(const std::string& text) {
    lblMsg->setText(QString::fromStdString(text));
    if (isVisible()) repaint();
}

void frmImpProg::advance(std::int64_t total, std::int64_t current) {
    const int room = lblProgress->width() - 2;
    const int width = total <= 0 ? 0 : static_cast<int>(std::clamp<std::int64_t>(current, 0, total) * room / total);
    if (width == barWidth_) return;
    barWidth_ = width;
    lblBar->setFixedWidth(width);
    if (isVisible()) lblProgress->repaint();
}

ImportHooks frmImpProg::hooks() {
    ImportHooks h;
    h.message = [this](const std::string& text) {
        barWidth_ = -1;
        advance(1, 0);
        setMessage(text);
    };
    h.advance = [this](std::int32_t total, std::int32_t current) { advance(total, current); };
    h.cancelled = [this] { return cancelled_; };
    return h;
}

void frmImpProg::closeEvent(QCloseEvent* event) {
    if (isVisible()) cancelled_ = true;
    event->ignore();
}

void frmImpProg::reject() { cancelled_ = true; }

}  // namespace velk
