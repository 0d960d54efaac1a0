#pragma once
// Proportional layout for forms whose controls are placed at fixed positions: the
// resizer remembers each control's geometry once, and the form's size at its first
// resize, and afterwards scales every control to the form's current size. Controls
// that a Qt layout manages (toolbars, MDI area, anything in a QLayout) are left to it.
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace velk {

// Form geometry is kept in twips, at the progress bars' 15 twips per logical pixel.
inline constexpr int kFormTwipsPerPixel = 15;

// The geometry record of one control, in twips.
class CObject {
public:
    std::int32_t Height() const { return height_; }
    void setHeight(std::int32_t v) { height_ = v; }
    std::int32_t Left() const { return left_; }
    void setLeft(std::int32_t v) { left_ = v; }
    std::int32_t Top() const { return top_; }
    void setTop(std::int32_t v) { top_ = v; }
    std::int32_t Width() const { return width_; }
    void setWidth(std::int32_t v) { width_ = v; }

private:
    std::int32_t height_ = 0, left_ = 0, top_ = 0, width_ = 0;
};

// The resizer of one form: create it with the form, call Resize from the form's
// resizeEvent, drop it with the form.
class CResize {
public:
    void Resize(QWidget& window);

    int recordedCount() const { return static_cast<int>(records_.size()); }
    std::int32_t initialWidth() const { return initialWidth_; }
    std::int32_t initialHeight() const { return initialHeight_; }
    // The record of a control, nullptr when the resizer has not seen it.
    const CObject* record(const QWidget* control) const;

    // The controls the resizer places, in the form's order: the form's children and
    // those of its group boxes and plain containers, skipping what a layout manages.
    static std::vector<QWidget*> Controls(QWidget& window);

private:
    struct Entry {
        QPointer<QWidget> control;
        CObject geometry;
    };
    std::vector<Entry> records_;
    std::int32_t initialWidth_ = 0;
    std::int32_t initialHeight_ = 0;
};

}  // namespace velk
