#pragma once
// The viewer windows "View 1" and "View 2" and the commands that act on them. Each
// window holds one imaging control (accView) that fills it; the main frame places the
// windows in its MDI area and forwards its toolbar, menu and keyboard commands to
// Viewers. Commands act on the active viewer; one whose window is not open does nothing,
// and no command opens an empty viewer.
#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "viewer/ui/imaging_control.h"  // accView's members are the forms' to use
#include "viewer/viewer_nav.h"

class QMdiArea;
class QMdiSubWindow;

namespace velk {

struct App;

// One viewer window; viewNo 1 or 2 decides its captions and its state in App::viewers.
class frmView1 : public QWidget {
    Q_OBJECT
public:
    frmView1(App& app, int viewNo, QWidget* parent = nullptr);
    ~frmView1() override;

    ImagingControl* accView;
    int viewNo() const { return viewNo_; }

signals:
    // The control was clicked (the page buttons follow this viewer).
    void controlClicked(int viewNo);
    // The page's context menu was asked for, at `global`.
    void contextMenuAsked(int viewNo, QPoint global);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    App& app_;
    int viewNo_;
};

// The second window is the same form; the name keeps the two apart where it reads better.
class frmView2 : public frmView1 {
    Q_OBJECT
public:
    explicit frmView2(App& app, QWidget* parent = nullptr) : frmView1(app, 2, parent) {}
};

class Viewers {
public:
    Viewers(App& app, QMdiArea* area);
    ~Viewers();
    Viewers(const Viewers&) = delete;
    Viewers& operator=(const Viewers&) = delete;

    // Shows CurDocNo/CurVolume. Viewer 1: both viewers close first and the document
    // opens in viewer 1; viewer 2: it opens beside viewer 1 (viewer 1 opens first when
    // it is not open). False when nothing was shown: the volume prompt was cancelled,
    // the document is missing from its volume, or the page could not be loaded.
    bool DisplayDocument(int which);
    // "New Window": viewer 2 on the active viewer's document; no-op without a viewer.
    bool NewWindow();

    void FirstPage();
    void PreviousPage();
    void NextPage();
    void LastPage();
    // Page `page` of viewer `which` (the go-to dialog); false when not shown.
    bool GoToPage(int which, int page);
    // Down a screen, and on to the next page at the page's end; up likewise.
    void PageDownOrNext();
    void PageUpOrPrevious();

    bool FirstDocument();
    bool PreviousDocument();
    bool NextDocument();
    bool LastDocument();

    void ZoomIn();
    void ZoomOut();
    void Zoom100();
    void FullView();
    // Fit page and fit width hold for the active viewer until it is zoomed.
    void FitPage();
    void FitWidth();
    // A typed zoom or fit (the zoom box).
    void SetView(ViewMode mode, int percent);
    void ZoomArea();
    // Ends a zoom-area selection that is waiting for its rectangle (before a dialog opens).
    void EndZoomArea();
    void Rotate();
    void RotateLeft();
    // True when an image was placed on the clipboard (and the message shown).
    bool Copy();

    void Close(int which);
    void CloseAll();
    // Makes viewer `which` the active one (window activation, the viewer buttons).
    void Activate(int which);

    int active() const;
    bool isOpen(int which) const;
    frmView1* view(int which) const;
    QMdiSubWindow* window(int which) const;
    bool atFirstPage() const;
    bool atLastPage() const;
    bool atFirstDocument() const;
    bool atLastDocument() const;
    bool fullView() const;
    bool zoomArea() const;
    ViewerCommandState state() const;
    // "&1 " & View1Caption, or "&1" while viewer 1 is closed; likewise for viewer 2.
    std::string windowListEntry(int which) const;

    // Linked viewers: a page turn, zoom, fit or scroll in the active viewer is applied to
    // the other one, which keeps its own document and stops at its own last page.
    void setLinked(bool on);
    bool linked() const;

    // Decoding of the next page on a worker thread (on by default).
    void setPrefetch(bool on);
    bool prefetch() const;
    // Waits for a prefetch in flight to finish and hands it over (tests, benchmarks).
    void settlePrefetch();

    // Called when the last viewer closes (the shell runs ViewersClosed) and after every
    // command that changed what is shown (the shell refreshes its command state).
    std::function<void()> onAllClosed;
    std::function<void()> onChanged;
    // Viewer n is about to load and draw another page of its document.
    std::function<void(int viewNo)> onPageTurn;
    // A viewer's page asked for its context menu; the viewer is active by then.
    std::function<void(QPoint global)> onContextMenu;

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

}  // namespace velk
