#include "viewer/ui/frm_view.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QResizeEvent>

#include "platform/app.h"
#include "viewer/ui/imaging_control.h"

namespace velk {

frmView1::frmView1(App& app, int viewNo, QWidget* parent) : QWidget(parent), app_(app), viewNo_(viewNo) {
    setObjectName("frmView1");
    accView = new ImagingControl(this);
    accView->setObjectName("accView");
    accView->setClipboard(app_.ports.clipboard);
    accView->installEventFilter(this);
}

frmView1::~frmView1() = default;

void frmView1::resizeEvent(QResizeEvent* event) {
    accView->setGeometry(rect());
    QWidget::resizeEvent(event);
}

bool frmView1::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }

struct Viewers::Impl {
    App& app;
    QMdiArea* area;
    QMdiSubWindow* windows[2] = {nullptr, nullptr};
    bool prefetch = true;
};

Viewers::Viewers(App& app, QMdiArea* area) : d_(std::make_unique<Impl>(Impl{app, area})) {}
Viewers::~Viewers() = default;

bool Viewers::DisplayDocument(int) { return false; }
bool Viewers::NewWindow() { return false; }
void Viewers::FirstPage() {}
void Viewers::PreviousPage() {}
void Viewers::NextPage() {}
void Viewers::LastPage() {}
void Viewers::PageDownOrNext() {}
void Viewers::PageUpOrPrevious() {}
bool Viewers::FirstDocument() { return false; }
bool Viewers::PreviousDocument() { return false; }
bool Viewers::NextDocument() { return false; }
bool Viewers::LastDocument() { return false; }
void Viewers::ZoomIn() {}
void Viewers::ZoomOut() {}
void Viewers::Zoom100() {}
void Viewers::FullView() {}
void Viewers::ZoomArea() {}
void Viewers::Rotate() {}
bool Viewers::Copy() { return false; }
void Viewers::Close(int) {}
void Viewers::CloseAll() {}
void Viewers::Activate(int) {}
int Viewers::active() const { return 0; }
bool Viewers::isOpen(int which) const { return which >= 1 && which <= 2 && d_->windows[which - 1]; }
frmView1* Viewers::view(int) const { return nullptr; }
QMdiSubWindow* Viewers::window(int which) const { return isOpen(which) ? d_->windows[which - 1] : nullptr; }
bool Viewers::atFirstPage() const { return true; }
bool Viewers::atLastPage() const { return true; }
bool Viewers::atFirstDocument() const { return true; }
bool Viewers::atLastDocument() const { return true; }
bool Viewers::fullView() const { return d_->app.viewerFlags.FullView; }
bool Viewers::zoomArea() const { return false; }
ViewerCommandState Viewers::state() const { return {}; }
std::string Viewers::windowListEntry(int which) const { return which == 1 ? "&1" : "&2"; }
void Viewers::setPrefetch(bool on) { d_->prefetch = on; }
bool Viewers::prefetch() const { return d_->prefetch; }
void Viewers::settlePrefetch() {}

}  // namespace velk
