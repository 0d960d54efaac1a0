#include "shell/ui/status_bar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace velk {

namespace {

QLabel* Field(QStatusBar* bar, const char* name, const char* accessible) {
    auto* l = new QLabel(bar);
    l->setObjectName(name);
    // No accessible name: a screen reader reads the label's own text ("Page 2 of 7"),
    // where a fixed name would hide it; what the field is goes in the description.
    l->setAccessibleDescription(accessible);
    l->setContentsMargins(6, 0, 6, 0);
    bar->addWidget(l);
    return l;
}

}  // namespace

ViewerStatusBar::ViewerStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("sbStatus");
    setAccessibleName("Status");
    page_ = Field(this, "lblStatusPage", "Page");
    section_ = Field(this, "lblStatusSection", "Section");
    document_ = Field(this, "lblStatusDocument", "Document");
    volume_ = Field(this, "lblStatusVolume", "Volume");
    zoom_ = new QComboBox(this);
    zoom_->setObjectName("cboZoom");
    zoom_->setEditable(true);
    zoom_->setInsertPolicy(QComboBox::NoInsert);
    zoom_->setAccessibleName("Zoom");
    zoom_->setToolTip("Zoom: type 10 to 1600 %, or pick a fit");
    zoom_->addItems({kFitPageText, kFitWidthText, "25 %", "50 %", "75 %", "100 %", "150 %", "200 %", "400 %",
                     "800 %", "1600 %"});
    zoom_->setMinimumContentsLength(9);
    zoom_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    addPermanentWidget(zoom_);
    connect(zoom_, &QComboBox::activated, this, [this] { typed(); });
    connect(zoom_->lineEdit(), &QLineEdit::returnPressed, this, [this] { typed(); });
    show(StatusTexts{});
}

void ViewerStatusBar::typed() {
    const std::optional<TypedView> view = ParseZoomText(zoom_->currentText().toStdString());
    if (view && onView) onView(view->mode, view->percent);
    // What holds now, typed text that meant nothing included.
    zoom_->setEditText(QString::fromStdString(texts_.zoom));
}

void ViewerStatusBar::show(const StatusTexts& t) {
    const bool shown = !t.page.empty();
    page_->setText(QString::fromStdString(t.page));
    section_->setText(QString::fromStdString(t.section));
    document_->setText(QString::fromStdString(t.document));
    volume_->setText(t.volume.empty() ? QString() : QString::fromStdString("Volume " + t.volume));
    section_->setVisible(!t.section.empty());
    document_->setVisible(!t.document.empty());
    volume_->setVisible(!t.volume.empty());
    zoom_->setEnabled(shown);
    if (!(zoom_->hasFocus() && texts_ == t)) zoom_->setEditText(QString::fromStdString(t.zoom));
    // One sentence for a screen reader, read as the bar's description.
    std::string all;
    for (const std::string* s : {&t.page, &t.section, &t.document, &t.zoom, &t.volume})
        if (!s->empty()) all += (all.empty() ? "" : ", ") + *s;
    if (!t.volume.empty()) all.insert(all.size() - t.volume.size(), "Volume ");
    setAccessibleDescription(QString::fromStdString(all));
    texts_ = t;
}

}  // namespace velk
