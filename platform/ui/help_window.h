#pragma once
// The help port on the desktop: one non-modal help window that shows the
// collection's help file at a context number or at its contents, with a search
// box over the topics. It remembers its size between runs.
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/help_file.h"
#include "platform/ports.h"

namespace velk {

// Versions of the libraries linked in, as they report themselves at run time.
std::vector<LibraryVersion> LibraryVersions();
std::string ProgramVersion();

// A browser that never fetches anything: a topic is only text, so a hostile
// <img src="/dev/zero"> must not read files. The document is replaced too, as
// its own loader reads local files when the browser gives nothing.
class HelpBrowser : public QTextBrowser {
public:
    explicit HelpBrowser(QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;
};

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // settingsFile: where the size is kept; empty for the user's settings.
    HelpWindow(std::function<AboutFacts()> facts, QWidget* owner, QString settingsFile = {});
    ~HelpWindow() override;

    // Opens (or re-reads when it changed) the file and shows a topic.
    void showTopic(const std::string& helpFile, long context);
    // The contents with the cursor in the search box: both help menu commands come here.
    void showContents(const std::string& helpFile);

    const HelpFile& file() const { return file_; }
    long currentContext() const { return current_; }

    QLineEdit* txtSearch;
    QListWidget* lstTopics;
    QTextBrowser* txtTopic;
    QPushButton* cmdContents;
    QPushButton* cmdBack;

protected:
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void load(const std::string& helpFile);
    // Shows a topic; the one shown before goes on the Back list.
    void display(long context, bool remember = true);
    void markCurrent();
    void fillTopicList();
    void saveSize();

    std::function<AboutFacts()> facts_;
    QString settingsFile_;
    HelpFile file_;
    std::string path_;
    std::filesystem::file_time_type stamp_{};
    std::uintmax_t size_ = 0;
    long current_ = kHelpContentsContext;
    std::vector<long> back_;
    bool placed_ = false;
};

class QtHelp : public Help {
public:
    // facts is asked each time the About topic is shown, so a collection switch shows.
    explicit QtHelp(std::function<AboutFacts()> facts = {}, QWidget* owner = nullptr,
                    QString settingsFile = {});
    ~QtHelp() override;
    bool show(const std::string& helpFile, int command, long context) override;
    // The window, created on first use; nullptr before.
    HelpWindow* window() const { return window_; }

private:
    std::function<AboutFacts()> facts_;
    QPointer<QWidget> owner_;
    QString settingsFile_;
    QPointer<HelpWindow> window_;
};

}  // namespace velk
