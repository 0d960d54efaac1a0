#pragma once
// The main window's status bar: where the reader is in the active viewer's document, and
// the zoom box that sets its view.
#include <QStatusBar>
#include <functional>

#include "shell/status_text.h"

class QComboBox;
class QLabel;

namespace velk {

class ViewerStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit ViewerStatusBar(QWidget* parent = nullptr);

    void show(const StatusTexts& texts);
    const StatusTexts& shown() const { return texts_; }
    QComboBox* zoomBox() const { return zoom_; }

    // A zoom or fit typed or picked in the zoom box.
    std::function<void(ViewMode mode, int percent)> onView;

private:
    void typed();

    QLabel* page_;
    QLabel* section_;
    QLabel* document_;
    QComboBox* zoom_;
    QLabel* volume_;
    StatusTexts texts_;
};

}  // namespace velk
