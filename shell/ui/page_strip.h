#pragma once
// The page strip: a thumbnail of every page of the active viewer's document, its page
// number below it, under the section labels of a patent's page map, the shown page
// framed. A click, Enter or Space goes to the page. Thumbnails are made on a worker
// thread, the visible ones first; the worker holds while a page turn is drawn.
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/app.h"
#include "viewer/thumbnails.h"
#include "viewer/viewer_nav.h"

class QListWidget;
class QListWidgetItem;
class QTimer;

namespace velk {

class PageStrip : public QWidget {
    Q_OBJECT
public:
    explicit PageStrip(App& app, QWidget* parent = nullptr);
    ~PageStrip() override;

    // The active viewer's document and page; an empty strip when none is shown.
    void follow(const ViewerCommandState& shown);
    // A page turn is about to be drawn in `viewport`: no thumbnail starts until it has
    // been painted (or a moment has passed).
    void pageTurnStarting(QWidget* viewport);

    // As narrow as a thumbnail and its scroll bar: the viewers keep the room.
    QSize sizeHint() const override;

    QListWidget* list() const { return list_; }
    Thumbnailer& thumbnails() { return *thumbs_; }
    int shownPage() const { return shownPage_; }
    // The pages whose rows the strip shows now, top to bottom.
    std::vector<int> visiblePages() const;
    // The section labels and page numbers in strip order (tests).
    std::vector<std::string> rows() const;

    // A page picked in the strip.
    std::function<void(int page)> onGoTo;
    // The strip was shown or hidden: it follows the viewers only while shown.
    std::function<void()> onShown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void rebuild(const ViewerState& s, int pageCount);
    void mark(int page);
    void place(std::uint64_t generation, int page);
    void askForVisible();
    void resumeAfterTurn();
    void goTo(QListWidgetItem* item);

    App& app_;
    QListWidget* list_;
    QTimer* visibleTimer_;
    std::unique_ptr<Thumbnailer> thumbs_;
    std::string documentKey_;
    std::uint64_t generation_ = 0;
    std::vector<QListWidgetItem*> items_;  // by page - 1
    int shownPage_ = 0;
    QPointer<QWidget> turning_;  // the viewport a page turn is drawn in
    std::uint64_t turns_ = 0;    // page turns begun; a late resume of an older one is ignored
};

}  // namespace velk
