#include "platform/ui/form_layout.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLayout>
#include <algorithm>
#include <cmath>

namespace velk {

namespace {

bool ManagedByLayout(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(const_cast<QWidget*>(w)) >= 0;
}

// Group boxes and bare widgets or frames hold controls of their own; any other
// widget's children are its own parts (a list's scroll bars, a combo box's popup).
bool HoldsControls(const QWidget* w) {
    const QMetaObject* m = w->metaObject();
    return qobject_cast<const QGroupBox*>(w) || m == &QWidget::staticMetaObject ||
           m == &QFrame::staticMetaObject;
}

void Collect(QWidget* parent, std::vector<QWidget*>& out) {
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow() || ManagedByLayout(w)) continue;
        out.push_back(w);
        if (HoldsControls(w)) Collect(w, out);
    }
}

std::int32_t ToTwips(int pixels) {
    return std::int32_t(pixels) * kFormTwipsPerPixel;
}

int ToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kFormTwipsPerPixel));
}

}  // namespace

std::vector<QWidget*> CResize::Controls(QWidget& window) {
    std::vector<QWidget*> out;
    Collect(&window, out);
    return out;
}

const CObject* CResize::record(const QWidget* control) const {
    for (const Entry& e : records_)
        if (e.control == control) return &e.geometry;
    return nullptr;
}

void CResize::Resize(QWidget& window) {
    const std::vector<QWidget*> controls = Controls(window);
    // A control deleted since the last call gives up its record; one not seen
    // before is recorded at the geometry it has now.
    records_.erase(
        std::remove_if(records_.begin(), records_.end(), [](const Entry& e) { return !e.control; }),
        records_.end());
    // A control first seen after the form changed size is recorded as it would
    // stand at the first size, so it stays where it was put.
    const bool sized = initialWidth_ != 0 && initialHeight_ != 0;
    const double fx = sized ? double(ToTwips(window.width())) / initialWidth_ : 1.0;
    const double fy = sized ? double(ToTwips(window.height())) / initialHeight_ : 1.0;
    for (QWidget* w : controls) {
        if (record(w)) continue;
        Entry e{w, {}};
        const QRect g = w->geometry();
        auto scaled = [](int pixels, double f) {
            return f > 0 ? std::int32_t(std::lround(ToTwips(pixels) / f)) : 0;
        };
        e.geometry.setHeight(scaled(g.height(), fy));
        e.geometry.setLeft(scaled(g.x(), fx));
        e.geometry.setTop(scaled(g.y(), fy));
        e.geometry.setWidth(scaled(g.width(), fx));
        records_.push_back(e);
    }
    // The first call only records. The size recorded is the inner one the factors
    // are taken against, so a form that keeps its size keeps its controls in place.
    if (!sized) {
        initialWidth_ = ToTwips(window.width());
        initialHeight_ = ToTwips(window.height());
        return;
    }
    for (const Entry& e : records_) {
        QWidget* w = e.control;
        if (!w) continue;
        const CObject& r = e.geometry;
        const int left = ToPixels(r.Left() * fx), top = ToPixels(r.Top() * fy),
                  width = ToPixels(r.Width() * fx);
        // A combo box's height follows its font, not the form.
        const int height = qobject_cast<QComboBox*>(w) ? w->height() : ToPixels(r.Height() * fy);
        w->setGeometry(left, top, width, height);
    }
}

}  // namespace velk
