#include "index/ui/frm_import_progress.h"

#include <QLabel>
#include <QVBoxLayout>

#include "index/import_run.h"

namespace velk {

frmImpProg::frmImpProg(QWidget* parent)
    : ProgressWindow("Import progress...", "Preparing to import documents...", parent) {
    setObjectName("frmImpProg");
    lblSource = new QLabel("Import from:", this);
    lblSource->setObjectName("lblSource");
    lblSource->setMinimumWidth(lblProgress->width());
    lblSource->setTextFormat(Qt::PlainText);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, lblSource);
}

void frmImpProg::setSource(const std::string& source) {
    // A long path is elided in the middle rather than widening the form off the screen.
    const QString text = "Import from: " + QString::fromStdString(source);
    lblSource->setToolTip(text);
    lblSource->setText(lblSource->fontMetrics().elidedText(text, Qt::ElideMiddle, lblProgress->width()));
    if (isVisible()) repaint();
}

void frmImpProg::setMessage(const std::string& text) {
    lblMsg->setText(QString::fromStdString(text));
    if (isVisible()) repaint();
}

ImportHooks frmImpProg::hooks() {
    ImportHooks h;
    h.message = [this](const std::string& text) {
        advance(1, 0);
        setMessage(text);
    };
    h.advance = [this](std::int32_t total, std::int32_t current) { advance(total, current); };
    h.cancelled = [this] { return cancelled(); };
    return h;
}

}  // namespace velk
