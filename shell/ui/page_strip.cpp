#include "shell/ui/page_strip.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "print/select_pages.h"

namespace velk {

namespace {

constexpr int kPageRole = Qt::UserRole;       // page number; 0 on a section label
constexpr int kShownRole = Qt::UserRole + 1;  // the viewer shows this page
constexpr int kMadeRole = Qt::UserRole + 2;   // 1 made, -1 failed
constexpr int kThumbWidth = 96;               // logical pixels
constexpr int kThumbHeight = 124;             // a letter page at that width
constexpr int kPad = 6;

class StripDelegate : public QStyledItemDelegate {
public:
    StripDelegate(Thumbnailer& thumbs, QObject* parent) : QStyledItemDelegate(parent), thumbs_(thumbs) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int text = option.fontMetrics.height();
        if (index.data(kPageRole).toInt() == 0) return {kThumbWidth + 2 * kPad, text + 2 * kPad};
        return {kThumbWidth + 2 * kPad, kThumbHeight + text + 3 * kPad};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        initStyleOption(&o, index);
        o.text.clear();
        o.icon = QIcon();
        const QWidget* w = o.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &o, p, w);
        const int page = index.data(kPageRole).toInt();
        const bool selected = o.state & QStyle::State_Selected;
        const QColor ink = o.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        p->save();
        if (page == 0) {
            QFont bold = o.font;
            bold.setBold(true);
            p->setFont(bold);
            p->setPen(ink);
            p->drawText(o.rect.adjusted(kPad, 0, -kPad, 0), Qt::AlignLeft | Qt::AlignVCenter,
                        index.data(Qt::DisplayRole).toString());
            p->restore();
            return;
        }
        const QRect box(o.rect.x() + (o.rect.width() - kThumbWidth) / 2, o.rect.y() + kPad, kThumbWidth,
                        kThumbHeight);
        QRect sheet = box;
        const std::optional<Thumbnail> t = thumbs_.get(page);
        if (t && !t->image.isNull()) {
            const QSize fitted = t->image.size().scaled(box.size(), Qt::KeepAspectRatio);
            sheet = QRect(box.x() + (box.width() - fitted.width()) / 2,
                          box.y() + (box.height() - fitted.height()) / 2, fitted.width(), fitted.height());
            p->setRenderHint(QPainter::SmoothPixmapTransform);
            p->drawImage(sheet, t->image);
        } else {
            p->fillRect(box, o.palette.color(QPalette::Base));
            if (t) {  // could not be made: crossed out
                p->setPen(QPen(o.palette.color(QPalette::Mid), 2));
                p->drawLine(box.topLeft(), box.bottomRight());
                p->drawLine(box.topRight(), box.bottomLeft());
            }
        }
        p->setPen(o.palette.color(QPalette::Mid));
        p->drawRect(sheet.adjusted(0, 0, -1, -1));
        const bool shown = index.data(kShownRole).toBool();
        if (shown) {
            p->setPen(QPen(o.palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight), 3));
            p->drawRect(sheet.adjusted(-2, -2, 1, 1));
        }
        QFont number = o.font;
        number.setBold(shown);
        p->setFont(number);
        p->setPen(ink);
        p->drawText(QRect(o.rect.x(), box.bottom() + kPad / 2, o.rect.width(), o.fontMetrics.height() + kPad),
                    Qt::AlignHCenter | Qt::AlignTop, QString::number(page));
        p->restore();
    }

private:
    Thumbnailer& thumbs_;
};

// Arrows and Home/End pass over the section labels; Enter goes to the page.
class StripList : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void(QListWidgetItem*)> picked;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        QModelIndex i = QListWidget::moveCursor(action, modifiers);
        if (!i.isValid() || i.data(kPageRole).toInt() != 0) return i;
        const bool back =
            action == MoveUp || action == MovePrevious || action == MoveLeft || action == MovePageUp;
        int row = i.row() + (back ? -1 : 1);
        if (row < 0) row = i.row() + 1;  // the first row is a label
        return row < count() ? model()->index(row, 0) : currentIndex();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
            if (picked) picked(currentItem());
            event->accept();
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

QString PageName(int page, const std::string& section) {
    QString name = QString("Page %1").arg(page);
    if (!section.empty()) name += ", " + QString::fromStdString(section);
    return name;
}

}  // namespace

PageStrip::PageStrip(App& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName("PageStrip");
    auto* list = new StripList(this);
    list_ = list;
    list_->setObjectName("lstPageStrip");
    list_->setAccessibleName("Page strip");
    list_->setToolTip("Pages of the document shown: click one, or pick it with the arrows and Enter");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setUniformItemSizes(false);
    list_->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    setMinimumWidth(kThumbWidth + 2 * kPad + list_->verticalScrollBar()->sizeHint().width() + 4);

    thumbs_ = std::make_unique<Thumbnailer>([this](std::uint64_t generation, int page) {
        // On the worker: the strip takes it up on its own thread.
        QMetaObject::invokeMethod(
            this, [this, generation, page] { place(generation, page); }, Qt::QueuedConnection);
    });
    list_->setItemDelegate(new StripDelegate(*thumbs_, list_));

    visibleTimer_ = new QTimer(this);
    visibleTimer_->setSingleShot(true);
    visibleTimer_->setInterval(20);
    connect(visibleTimer_, &QTimer::timeout, this, [this] { askForVisible(); });
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, visibleTimer_,
            qOverload<>(&QTimer::start));
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { goTo(item); });
    list->picked = [this](QListWidgetItem* item) { goTo(item); };
}

QSize PageStrip::sizeHint() const { return {minimumWidth(), 400}; }

PageStrip::~PageStrip() {
    // The worker goes first: nothing may call back into a strip half gone.
    thumbs_.reset();
}

void PageStrip::follow(const ViewerCommandState& shown) {
    try {
        const int n = shown.active;
        const bool any = n >= 1 && n <= 2 && shown.pageCount >= 1 &&
                         app_.viewers[static_cast<std::size_t>(n - 1)].Shown && isVisible();
        if (!any) {
            // Hidden or nothing shown: no thumbnails are made for nobody.
            if (!documentKey_.empty()) {
                documentKey_.clear();
                thumbs_->clear();
                generation_ = thumbs_->generation();
                list_->clear();
                items_.clear();
                shownPage_ = 0;
            }
            return;
        }
        const ViewerState& s = app_.viewers[static_cast<std::size_t>(n - 1)];
        const std::string key = s.ImagePath + '\n' + s.DocNo + '\n' + std::to_string(shown.pageCount);
        if (key != documentKey_) {
            documentKey_ = key;
            rebuild(s, shown.pageCount);
        }
        if (shown.pageNo != shownPage_) mark(shown.pageNo);
    } catch (...) {
        // A strip that cannot follow stays as it was; the viewer goes on.
    }
}

void PageStrip::rebuild(const ViewerState& s, int pageCount) {
    list_->clear();
    items_.clear();
    shownPage_ = 0;
    const bool patents = app_.config.isPatents();
    std::string section;
    for (int page = 1; page <= pageCount; ++page) {
        const std::string now = patents ? SectionOfPage(s.Doc, page, pageCount) : std::string();
        if (!now.empty() && now != section) {
            auto* label = new QListWidgetItem(QString::fromStdString(now), list_);
            label->setData(kPageRole, 0);
            label->setFlags(Qt::ItemIsEnabled);
            label->setData(Qt::AccessibleTextRole, QString::fromStdString("Section " + now));
        }
        section = now;
        auto* item = new QListWidgetItem(QString::number(page), list_);
        item->setData(kPageRole, page);
        item->setData(Qt::AccessibleTextRole, PageName(page, now));
        item->setToolTip(PageName(page, now));
        items_.push_back(item);
    }
    const ViewerState copy = s;
    const bool trademarks = app_.config.isTrademarks();
    const int width = static_cast<int>(kThumbWidth * list_->devicePixelRatioF() + 0.5);
    generation_ = thumbs_->setDocument(
        [copy, trademarks](int page) { return PageRequestOf(copy, trademarks, page); }, pageCount, width);
    visibleTimer_->start();
}

void PageStrip::mark(int page) {
    auto itemOf = [this](int p) -> QListWidgetItem* {
        return p >= 1 && p <= static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(p - 1)]
                                                              : nullptr;
    };
    if (QListWidgetItem* old = itemOf(shownPage_)) {
        old->setData(kShownRole, false);
        old->setData(Qt::AccessibleDescriptionRole, QString());
    }
    shownPage_ = page;
    if (QListWidgetItem* now = itemOf(page)) {
        now->setData(kShownRole, true);
        now->setData(Qt::AccessibleDescriptionRole, QString("shown"));
        list_->setCurrentItem(now);
        list_->scrollToItem(now);
    }
    visibleTimer_->start();
}

void PageStrip::place(std::uint64_t generation, int page) {
    if (generation != generation_ || page < 1 || page > static_cast<int>(items_.size())) return;
    const std::optional<Thumbnail> t = thumbs_->get(page);
    if (!t) return;
    QListWidgetItem* item = items_[static_cast<std::size_t>(page - 1)];
    if (t->image.isNull()) {
        item->setData(kMadeRole, -1);
        item->setToolTip(
            QString("Page %1 could not be shown: %2").arg(page).arg(QString::fromStdString(t->error)));
    } else {
        item->setData(kMadeRole, 1);
    }
    list_->viewport()->update(list_->visualItemRect(item));
}

namespace {

// Rows first to last shown in the list's viewport.
std::pair<int, int> ShownRows(const QListWidget& list) {
    const QRect room = list.viewport()->rect();
    const QModelIndex top = list.indexAt(QPoint(room.center().x(), room.top() + 1));
    const QModelIndex bottom = list.indexAt(QPoint(room.center().x(), room.bottom() - 1));
    return {top.isValid() ? top.row() : 0, bottom.isValid() ? bottom.row() : list.count() - 1};
}

}  // namespace

std::vector<int> PageStrip::visiblePages() const {
    std::vector<int> pages;
    const auto [first, last] = ShownRows(*list_);
    for (int row = first; row <= last && row < list_->count(); ++row)
        if (const int page = list_->item(row)->data(kPageRole).toInt()) pages.push_back(page);
    return pages;
}

void PageStrip::askForVisible() {
    if (items_.empty()) return;
    const auto [first, last] = ShownRows(*list_);
    // The visible rows, then a screenful beyond them each way.
    std::vector<int> pages;
    const int spare = std::max(2, last - first);
    for (int row = first; row <= last + spare && row < list_->count(); ++row)
        pages.push_back(list_->item(row)->data(kPageRole).toInt());
    for (int row = first - 1; row >= std::max(0, first - spare); --row)
        pages.push_back(list_->item(row)->data(kPageRole).toInt());
    std::erase(pages, 0);
    thumbs_->prioritise(std::move(pages));
}

void PageStrip::pageTurnStarting(QWidget* viewport) {
    thumbs_->pause();
    if (turning_ && turning_ != viewport) turning_->removeEventFilter(this);
    turning_ = viewport;
    if (viewport) viewport->installEventFilter(this);
    // A turn that paints nothing (a hidden window) holds the worker no longer than this.
    QTimer::singleShot(500, this, [this, gen = ++turns_] {
        if (gen == turns_) resumeAfterTurn();
    });
}

void PageStrip::resumeAfterTurn() {
    if (turning_) turning_->removeEventFilter(this);
    turning_ = nullptr;
    thumbs_->resume();
}

bool PageStrip::eventFilter(QObject* watched, QEvent* event) {
    if (turning_ && watched == turning_ && event->type() == QEvent::Paint) {
        // After this paint has run, on the next turn of the event loop.
        QMetaObject::invokeMethod(
            this,
            [this, gen = turns_] {
                if (gen == turns_) resumeAfterTurn();
            },
            Qt::QueuedConnection);
    } else if (watched == list_->viewport() && event->type() == QEvent::Resize) {
        visibleTimer_->start();
    }
    return QWidget::eventFilter(watched, event);
}

void PageStrip::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (onShown) onShown();
}

void PageStrip::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onShown) onShown();
}

void PageStrip::goTo(QListWidgetItem* item) {
    const int page = item ? item->data(kPageRole).toInt() : 0;
    if (page < 1 || !onGoTo) return;
    try {
        onGoTo(page);
    } catch (...) {
        // The viewer reports what it could not show.
    }
}

std::vector<std::string> PageStrip::rows() const {
    std::vector<std::string> out;
    for (int row = 0; row < list_->count(); ++row) out.push_back(list_->item(row)->text().toStdString());
    return out;
}

}  // namespace velk
