#include "platform/ui/help_window.h"

#include <allheaders.h>
#include <sqlite3.h>
#include <tiffio.h>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>
#include <memory>

namespace velk {

namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::unique_ptr<QSettings> OpenSettings(const QString& file) {
    if (file.isEmpty()) return std::make_unique<QSettings>("Velk", "Velk");
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

// "LIBTIFF, Version 4.5.0\nCopyright ..." -> "4.5.0".
std::string TiffVersion() {
    std::string s = TIFFGetVersion();
    s = s.substr(0, s.find('\n'));
    auto at = s.find("Version ");
    return at == std::string::npos ? s : s.substr(at + 8);
}

std::string LeptonicaVersion() {
    char* v = getLeptonicaVersion();
    if (!v) return "unknown";
    std::string s = v;
    lept_free(v);
    if (s.rfind("leptonica-", 0) == 0) s = s.substr(10);
    return s;
}

}  // namespace

std::vector<LibraryVersion> LibraryVersions() {
    return {{"Qt", qVersion()},
            {"libtiff", TiffVersion()},
            {"Leptonica", LeptonicaVersion()},
            {"SQLite", sqlite3_libversion()}};
}

std::string ProgramVersion() {
#ifdef VELK_VERSION
    return VELK_VERSION;
#else
    return "(version unknown)";
#endif
}

namespace {
class TextOnlyDocument : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};
}  // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setDocument(new TextOnlyDocument(this));
}

QVariant HelpBrowser::loadResource(int, const QUrl&) {
    return {};
}

// Esc closes the help, as it closes a dialog; a search box passes it on.
void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

HelpWindow::HelpWindow(std::function<AboutFacts()> facts, QWidget* owner, QString settingsFile)
    : QWidget(owner, Qt::Window), facts_(std::move(facts)), settingsFile_(std::move(settingsFile)) {
    setObjectName("frmHelp");
    setWindowTitle("Velk Help");
    setWindowModality(Qt::NonModal);

    txtSearch = new QLineEdit;
    txtSearch->setObjectName("txtSearch");
    txtSearch->setPlaceholderText("Search the help topics");
    txtSearch->setClearButtonEnabled(true);
    lstTopics = new QListWidget;
    lstTopics->setObjectName("lstTopics");
    // Long titles end in "..." (the whole title is the tool tip) rather than scroll sideways.
    lstTopics->setTextElideMode(Qt::ElideRight);
    lstTopics->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    cmdContents = new QPushButton("&Contents");
    cmdContents->setObjectName("cmdContents");
    cmdBack = new QPushButton("&Back");
    cmdBack->setObjectName("cmdBack");
    cmdBack->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdContents);
    buttons->addWidget(cmdBack);
    auto* side = new QWidget;
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(txtSearch);
    sideLayout->addWidget(lstTopics, 1);
    sideLayout->addLayout(buttons);

    auto* browser = new HelpBrowser;
    browser->setOpenLinks(false);
    txtTopic = browser;
    txtTopic->setObjectName("txtTopic");

    auto* splitter = new QSplitter;
    splitter->addWidget(side);
    splitter->addWidget(txtTopic);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 510});
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    connect(txtSearch, &QLineEdit::textChanged, this, [this] { fillTopicList(); });
    connect(txtSearch, &QLineEdit::returnPressed, this, [this] {
        if (lstTopics->count() > 0) display(lstTopics->item(0)->data(Qt::UserRole).toLongLong());
    });
    connect(lstTopics, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { display(item->data(Qt::UserRole).toLongLong()); });
    connect(lstTopics, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { display(item->data(Qt::UserRole).toLongLong()); });
    connect(cmdContents, &QPushButton::clicked, this, [this] { display(kHelpContentsContext); });
    connect(cmdBack, &QPushButton::clicked, this, [this] {
        if (back_.empty()) return;
        long context = back_.back();
        back_.pop_back();
        display(context, false);
    });
    connect(txtTopic, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        // Only links between topics: "topic:N".
        if (url.scheme() != "topic") return;
        bool ok = false;
        long context = url.path().toLong(&ok);
        if (ok) display(context);
    });

    QSize size = OpenSettings(settingsFile_)->value("HelpWindow/size").toSize();
    if (size.isValid() && size.width() >= 200 && size.height() >= 150)
        resize(size);
    else
        resize(760, 540);
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::saveSize() {
    OpenSettings(settingsFile_)->setValue("HelpWindow/size", size());
}

void HelpWindow::hideEvent(QHideEvent* event) {
    saveSize();
    QWidget::hideEvent(event);
}

void HelpWindow::load(const std::string& helpFile) {
    std::error_code ec;
    auto stamp = std::filesystem::last_write_time(helpFile, ec);
    if (ec) stamp = {};
    std::uintmax_t size = std::filesystem::file_size(helpFile, ec);
    if (ec) size = 0;
    // An administrator may edit the file while the program runs.
    if (helpFile == path_ && stamp == stamp_ && size == size_ && file_.ok()) return;
    file_ = HelpFile::Load(helpFile);
    if (helpFile != path_) back_.clear();
    path_ = helpFile;
    stamp_ = stamp;
    size_ = size;
    fillTopicList();
}

void HelpWindow::fillTopicList() {
    lstTopics->clear();
    std::vector<const HelpTopic*> shown;
    if (txtSearch->text().trimmed().isEmpty())
        for (const HelpTopic& t : file_.topics()) shown.push_back(&t);
    else
        shown = file_.search(txtSearch->text().toStdString());
    for (const HelpTopic* t : shown) {
        auto* item = new QListWidgetItem(Q(t->title), lstTopics);
        item->setToolTip(Q(t->title));
        item->setData(Qt::UserRole, static_cast<qlonglong>(t->context));
    }
    markCurrent();
}

void HelpWindow::markCurrent() {
    QSignalBlocker quiet(lstTopics);
    lstTopics->clearSelection();
    for (int i = 0; i < lstTopics->count(); ++i)
        if (lstTopics->item(i)->data(Qt::UserRole).toLongLong() == current_) {
            lstTopics->setCurrentRow(i);
            break;
        }
}

void HelpWindow::display(long context, bool remember) {
    std::string html, title;
    AboutFacts facts = facts_ ? facts_() : AboutFacts{};
    if (!file_.ok()) {
        html = "<p><b>" + EscapeHtml(file_.problem()) + "</b></p>\n<hr>\n" +
               AboutHtml(ProgramVersion(), facts, LibraryVersions(), nullptr);
        title = "About Velk";
        context = kHelpAboutContext;
    } else if (context == kHelpAboutContext) {
        const HelpTopic* own = file_.find(kHelpAboutContext);
        html = AboutHtml(ProgramVersion(), facts, LibraryVersions(), own);
        title = own ? own->title : "About Velk";
    } else if (const HelpTopic* t = file_.find(context)) {
        html = t->html;
        title = t->title;
    } else {
        if (context != kHelpContentsContext)
            html = "<p><i>This help file has no topic for context " + std::to_string(context) +
                   "; here are its contents.</i></p>\n";
        html += file_.contents().html;
        title = file_.contents().title;
        context = kHelpContentsContext;
    }
    if (remember && isVisible() && context != current_) back_.push_back(current_);
    cmdBack->setEnabled(!back_.empty());
    current_ = context;
    txtTopic->setHtml(Q(html));
    setWindowTitle(Q("Velk Help - " + title));
    markCurrent();
}

void HelpWindow::showTopic(const std::string& helpFile, long context) {
    load(helpFile);
    display(context);
    if (!isVisible() && !placed_) {
        // Centred over the owner or the screen the first time it opens.
        QRect area = parentWidget() ? parentWidget()->frameGeometry()
                                    : (QGuiApplication::primaryScreen()
                                           ? QGuiApplication::primaryScreen()->availableGeometry()
                                           : QRect());
        if (area.isValid()) move(area.center() - rect().center());
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::showContents(const std::string& helpFile) {
    showTopic(helpFile, kHelpContentsContext);
    txtSearch->setFocus();
    txtSearch->selectAll();
}

QtHelp::QtHelp(std::function<AboutFacts()> facts, QWidget* owner, QString settingsFile)
    : facts_(std::move(facts)), owner_(owner), settingsFile_(std::move(settingsFile)) {}

QtHelp::~QtHelp() {
    // Without an owner the window is ours.
    if (window_ && !window_->parentWidget()) delete window_.data();
}

bool QtHelp::show(const std::string& helpFile, int command, long context) {
    if (command == kHelpQuit) {
        if (window_) window_->close();
        return true;
    }
    if (command != kHelpContext && command != kHelpContents && command != kHelpPartialKey) return false;
    if (!window_) window_ = new HelpWindow(facts_, owner_, settingsFile_);
    if (command == kHelpContext)
        window_->showTopic(helpFile, context);
    else
        window_->showContents(helpFile);
    return true;
}

}  // namespace velk
