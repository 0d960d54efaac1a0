#include "viewer/ui/frm_view.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <string>
#include <vector>

#include "common/vb_text.h"
#include "lists/found_queries.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "platform/ui/wait_cursor.h"
#include "viewer/document_locator.h"
#include "viewer/page_loading.h"
#include "viewer/page_prefetch.h"
#include "viewer/thumbnails.h"
#include "viewer/ui/imaging_control.h"
#include "viewer/ui/load_image.h"

namespace velk {

inline constexpr const char* kDocumentNotFoundText = "Document Not Found!";
inline constexpr const char* kCopiedText = "Document copied to the Clipboard!";

frmView1::frmView1(App& app, int viewNo, QWidget* parent) : QWidget(parent), app_(app), viewNo_(viewNo) {
    setObjectName("frmView1");
    setWindowTitle(viewNo == 1 ? "View 1" : "View 2");
    accView = new ImagingControl(this);
    accView->setObjectName("accView");
    accView->setClipboard(app_.ports.clipboard);
    accView->viewport()->installEventFilter(this);
    accView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(accView, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { emit contextMenuAsked(viewNo_, accView->viewport()->mapToGlobal(at)); });
    setFocusProxy(accView);
    resize(640, 480);
}

frmView1::~frmView1() = default;

void frmView1::resizeEvent(QResizeEvent* event) {
    // The control fills the window; with the full-view flag the fit follows the size.
    accView->setGeometry(rect());
    if (app_.viewerFlags.FullView) accView->FitMethod(2);
    QWidget::resizeEvent(event);
}

bool frmView1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == accView->viewport() && event->type() == QEvent::MouseButtonPress) emit controlClicked(viewNo_);
    return QWidget::eventFilter(watched, event);
}

namespace {

enum class Outcome { Shown, Cancelled, NotFound, Failed };

// Counts the messages a call shows, so a failure that reported itself gets no second one.
// Holding: messages with an OK button alone are kept rather than shown, for one message
// at the end of a run of documents that do not open; a question is still asked.
class CountingMessages : public Messages {
public:
    CountingMessages(Messages* inner, bool hold) : inner_(inner), hold_(hold) {}
    Answer show(const std::string& text, const std::string& title, Buttons buttons, Icon icon) override {
        ++count;
        if (hold_ && buttons == Buttons::OK) {
            held.push_back(text);
            return Answer::OK;
        }
        return inner_ ? inner_->show(text, title, buttons, icon) : Answer::OK;
    }
    int count = 0;
    std::vector<std::string> held;

private:
    Messages* inner_;
    bool hold_;
};

class CountMessagesIn {
public:
    explicit CountMessagesIn(App& app, bool hold = false)
        : app_(app), inner_(app.ports.messages), counter_(inner_, hold) {
        app_.ports.messages = &counter_;
    }
    ~CountMessagesIn() { app_.ports.messages = inner_; }
    int count() const { return counter_.count; }
    const std::vector<std::string>& held() const { return counter_.held; }
    CountMessagesIn(const CountMessagesIn&) = delete;
    CountMessagesIn& operator=(const CountMessagesIn&) = delete;

private:
    App& app_;
    Messages* inner_;
    CountingMessages counter_;
};

// "2 documents were skipped:" and a line for each, "number on volume v: why".
std::string SkippedText(const std::vector<std::string>& lines) {
    constexpr std::size_t kListed = 10;
    const std::size_t n = lines.size();
    std::string text = std::to_string(n) + (n == 1 ? " document was skipped:" : " documents were skipped:");
    for (std::size_t i = 0; i < std::min(n, kListed); ++i) text += "\n" + lines[i];
    if (n > kListed) text += "\nand " + std::to_string(n - kListed) + " more.";
    return text;
}

}  // namespace

// Closes and activations of the viewer windows, delivered to the facade.
class ViewerWindowEvents : public QObject {
public:
    explicit ViewerWindowEvents(Viewers::Impl& d) : d_(d) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Viewers::Impl& d_;
};

struct Viewers::Impl {
    Viewers& self;
    App& app;
    QMdiArea* area;
    std::array<QPointer<QMdiSubWindow>, 2> windows{};
    std::array<frmView1*, 2> views{nullptr, nullptr};
    int activeNo = 0;
    bool busy = false;  // our own activations and closes
    bool zoomArea = false;
    bool prefetchOn = true;
    std::array<int, 2> foundAt{0, 0};
    bool linked = false;     // the other viewer follows the active one's page, view and scroll
    bool mirroring = false;  // a linked change being applied to the other viewer  // each viewer's document's
                             // place on the Found list, 0 = not on it
    PagePrefetch prefetch;
    ViewerWindowEvents events{*this};

    Impl(Viewers& s, App& a, QMdiArea* m) : self(s), app(a), area(m) {}

    ViewerState& state(int n) { return app.viewers[static_cast<std::size_t>(n - 1)]; }
    const ViewerState& state(int n) const { return app.viewers[static_cast<std::size_t>(n - 1)]; }
    bool open(int n) const { return n >= 1 && n <= 2 && windows[static_cast<std::size_t>(n - 1)]; }
    bool shown(int n) const { return open(n) && state(n).Shown; }
    frmView1* view(int n) const { return open(n) ? views[static_cast<std::size_t>(n - 1)] : nullptr; }
    int openCount() const { return int(open(1)) + int(open(2)); }
    bool trademarks() const { return app.config.isTrademarks(); }

    int pageOf(int n) const {
        const ViewerState& s = state(n);
        return trademarks() ? s.PageNumber.value() : static_cast<int>(ValInt(s.PageText));
    }
    int pageCountOf(int n) const {
        const ViewerState& s = state(n);
        return trademarks() ? s.Doc.CurPageCount.value() : s.Doc.Page.FilePages.value();
    }

    frmView1* ensureWindow(int n) {
        if (open(n)) return view(n);
        auto* v = new frmView1(app, n);
        QMdiSubWindow* sub = area->addSubWindow(v);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->installEventFilter(&events);
        windows[static_cast<std::size_t>(n - 1)] = sub;
        views[static_cast<std::size_t>(n - 1)] = v;
        QObject::connect(v->accView, &ImagingControl::ZoomChanged, &events, [this, n, v](int percent) {
            state(n).Zoom = CInt(percent);
            // A wheel or area zoom is a typed zoom; a fit keeps its mode.
            if (v->accView->FitMethod() == 0 && !mirroring) {
                state(n).Mode = ViewMode::Zoom;
                if (n == activeNo) app.viewerFlags.FullView = false;
                if (n == activeNo) mirrorView();
                changed();
            }
        });
        for (QScrollBar* bar : {v->accView->horizontalScrollBar(), v->accView->verticalScrollBar()})
            QObject::connect(bar, &QScrollBar::valueChanged, &events, [this, n] { mirrorScroll(n); });
        QObject::connect(v, &frmView1::controlClicked, &events, [this](int which) {
            if (which != activeNo) markActive(which);
            changed();
        });
        QObject::connect(v, &frmView1::contextMenuAsked, &events, [this](int which, QPoint global) {
            if (which != activeNo) self.Activate(which);
            if (self.onContextMenu) self.onContextMenu(global);
        });
        sub->show();
        return v;
    }

    void destroyWindow(int n) {
        const std::size_t i = static_cast<std::size_t>(n - 1);
        if (windows[i]) {
            QMdiSubWindow* sub = windows[i];
            sub->removeEventFilter(&events);
            const bool was = busy;
            busy = true;
            area->removeSubWindow(sub);
            delete sub;
            busy = was;
        }
        windows[i] = nullptr;
        views[i] = nullptr;
        state(n).Shown = false;
        state(n).Active = false;
        if (activeNo == n) activeNo = 0;
    }

    // Brings viewer n forward without the activation handler's side effects.
    void bringForward(int n) {
        if (!open(n)) return;
        const bool was = busy;
        busy = true;
        area->setActiveSubWindow(windows[static_cast<std::size_t>(n - 1)]);
        busy = was;
    }

    // Viewer n becomes the active one; the current document becomes its document.
    void markActive(int n) {
        if (!open(n)) return;
        activeNo = n;
        state(n).Active = true;
        state(3 - n).Active = false;
        if (state(n).Shown) {
            app.doc = state(n).Doc;
            app.viewerFlags.FilePages = state(n).Doc.Page.FilePages;
            if (trademarks()) app.viewerFlags.TrademarkImagePath = state(n).ImagePath;
        }
    }

    void changed() {
        if (self.onChanged) self.onChanged();
    }

    void restoreCurrent(const CurrentDocument& previous) {
        if (activeNo && state(activeNo).Shown)
            app.doc = state(activeNo).Doc;
        else
            app.doc = previous;
    }

    // The viewer's record after a page of the current document was shown in it.
    void commit(int n, int page) {
        ViewerState& s = state(n);
        s.Doc = app.doc;
        s.ImagePath = app.doc.CurImagePath;
        s.DocNo = trademarks() ? TrademarkDocNo(app.doc.CurImagePath) : app.doc.CurDocNo;
        s.PageText = app.doc.Page.PageText;
        s.Snapshot = {app.doc.Page.XSize, app.doc.Page.YSize, app.doc.Page.PageOffset};
        s.PageNumber = CInt(page);
        s.Caption = n == 1 ? app.viewerFlags.View1Caption : app.viewerFlags.View2Caption;
        s.Shown = true;
        app.viewerFlags.FilePages = trademarks() ? app.doc.CurPageCount : app.doc.Page.FilePages;
        if (n == 2) app.viewerFlags.Viewer2Closed = false;
    }

    std::optional<PrefetchedPage> takePrefetched(const PageRequest& r) {
        if (!prefetchOn) return std::nullopt;
        return prefetch.take(r);
    }

    // Page `page` of the current document into viewer n's window. knownPages: the page
    // count of the document viewer n shows, on a page turn; 0 for a document just opened.
    bool loadPage(int n, int page, int knownPages = 0) {
        frmView1* v = view(n);
        if (!v) return false;
        v->accView->KnownPageCount = knownPages;
        if (trademarks()) {
            PageRequest r;
            r.path = app.viewerFlags.TrademarkImagePath;
            r.page = page;
            return LoadTrademark(app, *v, *v->accView, n, page, takePrefetched(r));
        }
        if (!GetPage(app, app.doc.CurImagePath, app.doc.CurDocNo, CInt(page))) return false;
        return Loadimage(app, *v, *v->accView, std::to_string(n), takePrefetched(RequestFor(app.doc.Page)));
    }

    // The next page of viewer n's document, decoded while the reader looks at this one.
    void prefetchNext(int n) {
        if (!prefetchOn || !shown(n)) return;
        const ViewerState& s = state(n);
        const int next = pageOf(n) + 1;
        if (next > pageCountOf(n)) return;
        PageRequest r;
        try {
            r = PageRequestOf(s, trademarks(), next);
        } catch (const std::exception&) {
            return;  // the page command itself reports it
        }
        r.knownPages = pageCountOf(n);
        r.view = view(n)->accView->prefetchView();
        r.view->fit = FitMethodFor(app.viewerFlags.FullView ? ViewMode::FitPage : s.Mode);
        if (r.view->fit == 0) r.view->zoom = s.Zoom.value() / 100.0;
        prefetch.request(std::move(r));
    }

    // The document CurDocNo/CurVolume into the viewers in `targets` (1 and/or 2).
    // closeOthers: viewer 2 closes once viewer 1 shows the new document.
    Outcome display(std::array<bool, 2> targets, bool closeOthers) {
        WaitCursor wait;
        const CurrentDocument previous = app.doc;
        const int wasActive = activeNo;
        if (!InsertVolumePrompt(app)) {
            restoreCurrent(previous);
            return Outcome::Cancelled;
        }
        bool located = false;
        int reported = 0;
        {
            CountMessagesIn counting(app);
            located = GetPath_OpenIdx(app, app.doc.CurDocNo, app.doc.CurVolume);
            reported = counting.count();
        }
        if (!located) {
            restoreCurrent(previous);
            if (reported == 0) app.msg(kDocumentNotFoundText);
            return Outcome::NotFound;
        }
        const CurrentDocument found = app.doc;
        if (trademarks()) {
            // A viewer the document does not go to keeps its page.
            for (int n = 1; n <= 2; ++n)
                if (targets[static_cast<std::size_t>(n - 1)]) state(n).PageNumber = Int16(1);
            app.viewerFlags.TrademarkImagePath = found.CurImagePath;
        }
        int last = 0;
        for (int n = 1; n <= 2; ++n) {
            if (!targets[static_cast<std::size_t>(n - 1)]) continue;
            const bool created = !open(n);
            ensureWindow(n);
            bringForward(n);
            app.doc = found;
            if (!loadPage(n, 1)) {
                if (created) destroyWindow(n);
                // Some viewer stays active, or no viewer command would act until a click.
                const int back = last ? last : wasActive;
                if (open(back)) bringForward(back), markActive(back);
                restoreCurrent(previous);
                if (last) app.doc = state(last).Doc;
                return Outcome::Failed;
            }
            commit(n, 1);
            last = n;
        }
        if (closeOthers && open(2)) destroyWindow(2), app.viewerFlags.Viewer2Closed = true;
        if (openCount() <= 1 && open(1)) windows[0]->showMaximized();
        bringForward(last);
        markActive(last);
        const int at = setFoundPositionOfShown();
        for (int n = 1; n <= 2; ++n)
            if (targets[static_cast<std::size_t>(n - 1)]) foundAt[static_cast<std::size_t>(n - 1)] = at;
        enableShownDocumentCommands();
        return Outcome::Shown;
    }

    // Opened from outside the navigation (find dialog, found-list view): the counter
    // follows the document, so the document buttons are right from the start.
    // The place found, or 0 when the document is not on the list.
    int setFoundPositionOfShown() {
        if (!app.lists) return 0;
        const std::vector<ListRow> rows = FoundDisplayRows(app);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (FoundEntryDocNo(rows[i].DocumentNo) == Trim(app.doc.CurDocNo) &&
                Trim(rows[i].Volume) == Trim(app.doc.CurVolume)) {
                app.viewerFlags.FoundPosition = CInt(static_cast<double>(i + 1));
                return static_cast<int>(std::min<std::size_t>(i + 1, 32767));
            }
        return 0;
    }

    bool documentMove(DocMove move, bool retry) {
        if (!open(1) || !app.lists) return false;
        WaitCursor wait;
        SharedViewerFlags& f = app.viewerFlags;
        f.DocumentNavigation = true;
        const std::vector<ListRow> rows = FoundDisplayRows(app);
        const int count = static_cast<int>(std::min<std::size_t>(rows.size(), 32767));
        int p = DocumentTarget(move, f.FoundPosition.value(), f.FoundListChoice.value(), count);
        f.FoundListChoice = Int16(0);
        Outcome outcome = Outcome::Failed;
        const std::array<bool, 2> targets{true, open(2)};
        std::vector<std::string> skipped;
        while (p > 0) {
            const ListRow& row = rows[static_cast<std::size_t>(p - 1)];
            app.doc.CurDocNo = FoundEntryDocNo(row.DocumentNo);
            app.doc.CurVolume = Trim(row.Volume);
            f.FilePages = Int16(0);
            std::vector<std::string> said;
            {
                CountMessagesIn held(app, true);
                outcome = display(targets, false);
                said = held.held();
            }
            if (outcome == Outcome::Shown || outcome == Outcome::Cancelled) {
                for (const std::string& text : said) app.msg(text);
                break;
            }
            // Missing or unreadable: on to the next one, and one message for the run.
            std::string why;
            for (const std::string& text : said) why += (why.empty() ? "" : " ") + text;
            skipped.push_back(FoundEntryDocNo(row.DocumentNo) + " on volume " + Trim(row.Volume) + ": " +
                              (why.empty() ? std::string("not shown") : why));
            p = DocumentOnward(move, p, count);
        }
        if (!skipped.empty()) app.msg(SkippedText(skipped));
        if (outcome == Outcome::Shown) {
            f.FoundPosition = CInt(p);
            for (int n = 1; n <= 2; ++n)
                if (targets[static_cast<std::size_t>(n - 1)]) foundAt[static_cast<std::size_t>(n - 1)] = p;
            changed();
            prefetchNext(activeNo);
            return true;
        }
        // Cancelled after "next": the document shown stays, and so does its place.
        if (outcome == Outcome::Cancelled && retry && move == DocMove::Last)
            return documentMove(DocMove::First, false);
        changed();
        return false;
    }

    void pageMove(PageMove move) {
        const int n = activeNo;
        if (!shown(n)) return;
        if (showPage(n, PageTarget(move, pageOf(n), pageCountOf(n)))) mirrorPage(move, 0);
    }

    // The viewer that follows the active one while linked, or 0.
    int follower() const {
        const int other = 3 - activeNo;
        return linked && !mirroring && (activeNo == 1 || activeNo == 2) && shown(other) ? other : 0;
    }

    // The same turn in the other viewer, held to its own document (page: a go-to's page).
    void mirrorPage(PageMove move, int page) {
        const int m = follower();
        if (!m) return;
        const int count = pageCountOf(m);
        int target = page ? std::clamp(page, 1, count) : PageTarget(move, pageOf(m), count);
        if (target == 0 || target == pageOf(m)) return;
        const int n = activeNo;
        mirroring = true;
        showPage(m, target);
        mirroring = false;
        markActive(n);  // the current document is the active viewer's again
    }

    // The active viewer's mode and zoom in the other viewer.
    void mirrorView() {
        const int m = follower();
        frmView1* v = view(m);
        ImagingControl* c = activeControl();
        if (!v || !c) return;
        mirroring = true;
        state(m).Mode = state(activeNo).Mode;
        const int fit = FitMethodFor(state(m).Mode);
        if (fit != 0) {
            v->accView->FitMethod(fit);
        } else {
            v->accView->ZoomLevel(c->ZoomLevel());
            state(m).Zoom = CInt(c->ZoomLevel());
        }
        mirroring = false;
    }

    // Scrolls the other viewer to the same place, as a share of its own page.
    void mirrorScroll(int from) {
        if (from != activeNo) return;
        const int m = follower();
        frmView1* src = view(from);
        frmView1* dst = view(m);
        if (!src || !dst) return;
        mirroring = true;
        for (auto bar :
             {&QAbstractScrollArea::horizontalScrollBar, &QAbstractScrollArea::verticalScrollBar}) {
            const QScrollBar* a = (src->accView->*bar)();
            QScrollBar* b = (dst->accView->*bar)();
            if (a->maximum() > 0)
                b->setValue(static_cast<int>(std::lround(double(a->value()) / a->maximum() * b->maximum())));
        }
        mirroring = false;
    }

    // Shows page `target` (1..count) of viewer n; false when it is outside the document
    // or could not be loaded (the page shown stays).
    bool showPage(int n, int target) {
        if (!shown(n)) return false;
        ViewerState& s = state(n);
        bool ok = false;
        if (target > 0 && target <= pageCountOf(n)) {
            if (self.onPageTurn) self.onPageTurn(n);
            app.doc = s.Doc;
            if (trademarks()) app.viewerFlags.TrademarkImagePath = s.ImagePath;
            ok = loadPage(n, target, pageCountOf(n));
            if (ok)
                commit(n, target);
            else
                app.doc = s.Doc;
            prefetchNext(n);
        }
        changed();
        return ok;
    }

    ImagingControl* activeControl() const {
        frmView1* v = view(activeNo);
        return v && state(activeNo).Shown ? v->accView : nullptr;
    }

    void cancelSelection(ImagingControl& c) {
        if (c.SelectEvent() == 2) c.SelectEvent(0);
        zoomArea = false;
    }

    void zoomTo(int percent) {
        ImagingControl* c = activeControl();
        if (!c) return;
        app.viewerFlags.FullView = false;
        cancelSelection(*c);
        c->ZoomLevel(percent);
        state(activeNo).Zoom = CInt(c->ZoomLevel());
        state(activeNo).Mode = ViewMode::Zoom;
        mirrorView();
        changed();
    }

    // Fits the active viewer's page, now and on every page it shows after.
    void fitTo(ViewMode mode) {
        ImagingControl* c = activeControl();
        if (!c) return;
        app.viewerFlags.FullView = false;
        cancelSelection(*c);
        state(activeNo).Mode = mode;
        c->FitMethod(FitMethodFor(mode));
        state(activeNo).Zoom = CInt(c->ZoomLevel());
        mirrorView();
        changed();
    }

    void closeViewer(int n) {
        if (!open(n)) return;
        SharedViewerFlags& f = app.viewerFlags;
        prefetch.clear();
        if (n == 2) {
            destroyWindow(2);
            f.Viewer2Closed = true;
            f.SecondViewRequest = false;
            bringForward(1);
            markActive(1);
            changed();
            return;
        }
        if (!shown(2)) {
            destroyWindow(1);
            destroyWindow(2);
            f.FilePages = Int16(0);
            f.Viewer2Closed = true;
            app.viewers[0].Active = app.viewers[1].Active = false;
            if (self.onAllClosed) self.onAllClosed();
            changed();
            return;
        }
        // Viewer 2's document and page go on in viewer 1.
        const ViewerState second = state(2);
        f.Viewer2Closed = true;
        destroyWindow(1);
        destroyWindow(2);
        ensureWindow(1);
        app.doc = second.Doc;
        const int page = trademarks() ? second.PageNumber.value() : static_cast<int>(ValInt(second.PageText));
        if (trademarks()) f.TrademarkImagePath = second.ImagePath;
        if (loadPage(1, page)) {
            commit(1, page);
            foundAt[0] = foundAt[1];
            windows[0]->showMaximized();
            markActive(1);
            prefetchNext(1);
        } else {
            destroyWindow(1);
            if (self.onAllClosed) self.onAllClosed();
        }
        changed();
    }

    // The items that need a shown document, once one is shown.
    void enableShownDocumentCommands() {
        MainFrame* fr = app.ports.frame;
        if (!fr) return;
        for (const char* name :
             {"mnuPrint", "mnuExport", "mnuCopy", "mnuGoto", "mnuZoom100", "mnuZoomIn", "mnuZoomOut", "mnuRotate",
              "mnuZoomArea", "mnuCascade", "mnuHorizon", "mnuVertical", "mnuNew", "BTN_GOTO", "BTN_COPY", "BTN_PRINT",
              "BTN_EXPORT", "BTN_FULLVIEW", "BTN_ZOOM100", "BTN_ZOOM_IN", "BTN_ZOOM_OUT", "BTN_ROTATE",
              "BTN_ZOOM_AREA", "BTN_VERTICAL", "BTN_HORIZONTAL", "BTN_CASCADE"})
            fr->enableItem(name, true);
    }

    // Page, document and list buttons, and the window entries, from the active viewer.
};

bool ViewerWindowEvents::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && !d_.busy) {
        for (int n = 1; n <= 2; ++n)
            if (d_.open(n) && watched == d_.windows[static_cast<std::size_t>(n - 1)]) {
                // The close box: the facade closes it after this event, with its fall-backs.
                event->ignore();
                QTimer::singleShot(0, this, [this, n] { d_.self.Close(n); });
                return true;
            }
    }
    return QObject::eventFilter(watched, event);
}

Viewers::Viewers(App& app, QMdiArea* area) : d_(std::make_unique<Impl>(*this, app, area)) {
    QObject::connect(area, &QMdiArea::subWindowActivated, &d_->events, [this](QMdiSubWindow* sub) {
        if (d_->busy || !sub) return;
        for (int n = 1; n <= 2; ++n)
            if (d_->open(n) && sub == d_->windows[static_cast<std::size_t>(n - 1)] && d_->activeNo != n) {
                d_->markActive(n);
                d_->changed();
            }
    });
}

Viewers::~Viewers() {
    d_->busy = true;
    for (int n = 1; n <= 2; ++n)
        if (d_->open(n)) {
            QMdiSubWindow* sub = d_->windows[static_cast<std::size_t>(n - 1)];
            sub->removeEventFilter(&d_->events);
            delete sub;
        }
}

bool Viewers::DisplayDocument(int which) {
    SharedViewerFlags& f = d_->app.viewerFlags;
    f.DocumentNavigation = false;
    Outcome o;
    if (which == 2 && d_->shown(1))
        o = d_->display({false, true}, false);
    else
        o = d_->display({true, false}, true);
    d_->changed();
    if (o == Outcome::Shown) d_->prefetchNext(d_->activeNo);
    return o == Outcome::Shown;
}

bool Viewers::NewWindow() {
    const int n = d_->activeNo;
    if (!d_->shown(n)) return false;
    d_->app.doc = d_->state(n).Doc;
    return DisplayDocument(2);
}

void Viewers::FirstPage() { d_->pageMove(PageMove::First); }
void Viewers::PreviousPage() { d_->pageMove(PageMove::Previous); }
void Viewers::NextPage() { d_->pageMove(PageMove::Next); }
void Viewers::LastPage() { d_->pageMove(PageMove::Last); }
bool Viewers::GoToPage(int which, int page) {
    const bool shown = d_->showPage(which, page);
    if (shown && which == d_->activeNo) d_->mirrorPage(PageMove::First, page);
    return shown;
}

void Viewers::setLinked(bool on) {
    d_->linked = on;
    d_->changed();
}
bool Viewers::linked() const { return d_->linked; }

void Viewers::PageDownOrNext() {
    ImagingControl* c = d_->activeControl();
    if (!c) return;
    QScrollBar* v = c->verticalScrollBar();
    if (v->value() < v->maximum())
        v->setValue(v->value() + v->pageStep());
    else if (!atLastPage())
        NextPage();
}

void Viewers::PageUpOrPrevious() {
    ImagingControl* c = d_->activeControl();
    if (!c) return;
    QScrollBar* v = c->verticalScrollBar();
    if (v->value() > v->minimum()) {
        v->setValue(v->value() - v->pageStep());
    } else if (!atFirstPage()) {
        PreviousPage();
        if (ImagingControl* shown = d_->activeControl()) shown->verticalScrollBar()->setValue(shown->verticalScrollBar()->maximum());
    }
}

bool Viewers::FirstDocument() { return d_->documentMove(DocMove::First, true); }
bool Viewers::PreviousDocument() { return d_->documentMove(DocMove::Previous, true); }
bool Viewers::NextDocument() { return d_->documentMove(DocMove::Next, true); }
bool Viewers::LastDocument() { return d_->documentMove(DocMove::Last, true); }

void Viewers::ZoomIn() {
    if (ImagingControl* c = d_->activeControl()) d_->zoomTo(ZoomInLevel(c->ZoomLevel()));
}

void Viewers::ZoomOut() {
    if (ImagingControl* c = d_->activeControl()) d_->zoomTo(ZoomOutLevel(c->ZoomLevel()));
}

void Viewers::Zoom100() {
    ImagingControl* c = d_->activeControl();
    if (!c) return;
    WaitCursor wait;
    d_->zoomTo(100);
    // Shown again from its top-left corner, as a fresh load shows it.
    c->ScrollToTop();
    c->horizontalScrollBar()->setValue(0);
}

void Viewers::FullView() {
    ImagingControl* c = d_->activeControl();
    if (!c) return;
    SharedViewerFlags& f = d_->app.viewerFlags;
    f.FullView = true;
    f.FullViewPending = true;
    c->AspectRatio(2);
    c->DisplayCentered(true);
    c->FitMethod(2);
    const Int16 zoom = CInt(c->ZoomLevel());
    d_->app.viewers[0].Zoom = d_->app.viewers[1].Zoom = zoom;
    d_->app.viewers[0].Mode = d_->app.viewers[1].Mode = ViewMode::FitPage;
    f.FullViewPending = false;
    d_->changed();
}

void Viewers::FitPage() {
    d_->fitTo(ViewMode::FitPage);
}
void Viewers::FitWidth() {
    d_->fitTo(ViewMode::FitWidth);
}

void Viewers::SetView(ViewMode mode, int percent) {
    if (mode == ViewMode::Zoom)
        d_->zoomTo(percent);
    else
        d_->fitTo(mode);
}

void Viewers::ZoomArea() {
    ImagingControl* c = d_->activeControl();
    if (!c) return;
    c->AspectRatio(2);
    c->SelectEvent(2);
    d_->zoomArea = true;
    d_->changed();
}

void Viewers::EndZoomArea() {
    if (ImagingControl* c = d_->activeControl()) d_->cancelSelection(*c);
    d_->changed();
}

void Viewers::Rotate() {
    ImagingControl* c = d_->activeControl();
    if (!c) return;
    WaitCursor wait;
    c->Rotate(90);
}

void Viewers::RotateLeft() {
    ImagingControl* c = d_->activeControl();
    if (!c) return;
    WaitCursor wait;
    c->Rotate(-90);
}

bool Viewers::Copy() {
    ImagingControl* c = d_->activeControl();
    if (!c) return false;
    bool copied = false;
    {
        WaitCursor wait;
        copied = c->ClipboardCopy(true);
    }
    if (copied) d_->app.msg(kCopiedText);
    return copied;
}

void Viewers::Close(int which) { d_->closeViewer(which); }

void Viewers::CloseAll() {
    d_->prefetch.clear();
    d_->destroyWindow(2);
    d_->destroyWindow(1);
    d_->app.viewerFlags.Viewer2Closed = true;
    d_->app.viewerFlags.FilePages = Int16(0);
}

void Viewers::Activate(int which) {
    if (!d_->open(which)) return;
    d_->bringForward(which);
    d_->markActive(which);
    d_->changed();
}

int Viewers::active() const { return d_->open(d_->activeNo) ? d_->activeNo : 0; }
bool Viewers::isOpen(int which) const { return d_->open(which); }
frmView1* Viewers::view(int which) const { return d_->view(which); }
QMdiSubWindow* Viewers::window(int which) const {
    return d_->open(which) ? d_->windows[static_cast<std::size_t>(which - 1)].data() : nullptr;
}
bool Viewers::atFirstPage() const { return !state().page.previous; }
bool Viewers::atLastPage() const { return !state().page.next; }
bool Viewers::atFirstDocument() const { return !state().document.previous; }
bool Viewers::atLastDocument() const { return !state().document.next; }
bool Viewers::fullView() const { return d_->app.viewerFlags.FullView; }
bool Viewers::zoomArea() const {
    const ImagingControl* c = d_->activeControl();
    return d_->zoomArea && c && c->SelectEvent() == 2;
}

ViewerCommandState Viewers::state() const {
    ViewerCommandState st;
    st.open[0] = d_->open(1);
    st.open[1] = d_->open(2);
    st.active = active();
    st.fullView = fullView();
    st.zoomArea = zoomArea();
    if (d_->shown(st.active)) {
        st.page = PageButtons(d_->pageOf(st.active), d_->pageCountOf(st.active));
        if (const ImagingControl* c = d_->activeControl()) st.zoom = c->ZoomLevel();
        st.mode = fullView() ? ViewMode::FitPage : d_->state(st.active).Mode;
        st.pageNo = d_->pageOf(st.active);
        st.pageCount = d_->pageCountOf(st.active);
        const int count = d_->app.lists ? static_cast<int>(d_->app.lists->FoundCount()) : 0;
        st.document = DocumentButtons(d_->app.viewerFlags.FoundPosition.value(), count);
        st.foundPosition = d_->foundAt[static_cast<std::size_t>(st.active - 1)];
        st.foundCount = count;
    }
    return st;
}

std::string Viewers::windowListEntry(int which) const {
    const std::string bare = which == 1 ? "&1" : "&2";
    if (!d_->shown(which)) return bare;
    return WindowListEntry(std::to_string(which), d_->state(which).Caption);
}

void Viewers::setPrefetch(bool on) {
    d_->prefetchOn = on;
    if (!on) d_->prefetch.clear();
}
bool Viewers::prefetch() const { return d_->prefetchOn; }
void Viewers::settlePrefetch() { d_->prefetch.waitIdle(); }

}  // namespace velk
