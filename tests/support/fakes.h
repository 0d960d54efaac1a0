#pragma once
// In-memory stand-ins for every port: scripted answers, recorded calls.
#include <QImage>
#include <deque>
#include <functional>
#include <optional>
#include <map>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace velk::test {

struct ShownMessage {
    std::string text, title;
    Buttons buttons;
    Icon icon;
};

class FakeMessages : public Messages {
public:
    std::vector<ShownMessage> shown;
    std::deque<Answer> answers;  // scripted; OK (or the first button) when empty
    std::vector<RunSummary> summaries;  // closing messages, apart from `shown`
    Answer show(const std::string& text, const std::string& title, Buttons buttons, Icon icon) override;
    void summary(const RunSummary& s, const std::string&) override { summaries.push_back(s); }
    std::string last() const { return shown.empty() ? std::string() : shown.back().text; }
    bool contains(const std::string& text) const;
};

class FakePrompt : public Prompt {
public:
    std::vector<std::string> asked;
    std::deque<int> answers;  // 1 OK, 3 Cancel; OK when empty
    int ask(const std::string& text, int previousResult) override;
};

class FakeClipboard : public Clipboard {
public:
    std::string stored;
    QImage image;
    std::string text() override { return stored; }
    void setText(const std::string& t) override { stored = t; }
    void setImage(const QImage& i) override { image = i; }
};

class FakePump : public EventPump {
public:
    int calls = 0;
    std::function<void(int)> onPump;  // lets a test press Cancel mid-loop
    void DoEvents() override {
        ++calls;
        if (onPump) onPump(calls);
    }
};

class FakeDiskSpace : public DiskSpace {
public:
    std::optional<std::uint64_t> bytes = std::uint64_t(1) << 40;
    std::optional<std::uint64_t> freeBytes(const std::string&) override { return bytes; }
};

class FakeScreen : public Screen {
public:
    int w = 1024, h = 768, tpp = 15;
    int widthPixels() override { return w; }
    int heightPixels() override { return h; }
    int twipsPerPixel() override { return tpp; }
};

class FakeClock : public Clock {
public:
    std::string date = "12/7/2026", time = "9:30:00 AM", mediumDate = "07-Dec-26", mediumTime = "9:30 AM";
    std::string dateText() override { return date; }
    std::string timeText() override { return time; }
    std::string mediumDateText() override { return mediumDate; }
    std::string mediumTimeText() override { return mediumTime; }
};

class FakeHelp : public Help {
public:
    struct Call {
        std::string file;
        int command;
        long context;
    };
    std::vector<Call> calls;
    bool show(const std::string& file, int command, long context) override {
        calls.push_back({file, command, context});
        return true;
    }
};

// Records every printer call as a line of text, pages as their size.
class RecordingPrinter : public Printer {
public:
    std::vector<std::string> calls;
    std::vector<QImage> pages;
    int paper = kPaperLetter, duplexMode = kDuplexNone;
    std::string device = "Recording Printer", portName = "REC:";
    int width = 12240 - 720, height = 15840 - 720;
    bool failEnd = false;
    void setPaperSize(int code) override;
    int paperSize() override { return paper; }
    void setDuplex(int mode) override;
    int duplex() override { return duplexMode; }
    std::string deviceName() override { return device; }
    std::string port() override { return portName; }
    int scaleWidth() override { return width; }
    int scaleHeight() override { return height; }
    void drawPage(const QImage& page, const TwipRect& target) override;
    void drawText(int x, int y, const std::string& text, const std::string& font, int size, bool bold) override;
    void newPage() override { calls.push_back("newPage"); }
    bool endDoc() override {
        calls.push_back("endDoc");
        return !failEnd;
    }
    void abortDoc() override { calls.push_back("abortDoc"); }
    int count(const std::string& prefix) const;
};

class FakeMainFrame : public MainFrame {
public:
    std::map<std::string, bool> enabled, checked;
    std::vector<FrameDialog> opened;
    std::function<void(FrameDialog)> onOpen;
    void enableItem(const std::string& name, bool on) override { enabled[name] = on; }
    void checkItem(const std::string& name, bool on) override { checked[name] = on; }
    bool isChecked(const std::string& name) override { return checked.count(name) && checked[name]; }
    void openDialog(FrameDialog which) override {
        opened.push_back(which);
        if (onOpen) onOpen(which);
    }
    std::vector<int> displayed;
    std::function<bool(int)> onDisplay;
    bool displayDocument(int viewer) override {
        displayed.push_back(viewer);
        return onDisplay ? onDisplay(viewer) : true;
    }
};

// Every fake at once, wired into a Ports.
struct FakePorts {
    FakeMessages messages;
    FakePrompt prompt;
    FakeClipboard clipboard;
    FakePump pump;
    FakeDiskSpace disk;
    FakeScreen screen;
    FakeClock clock;
    FakeHelp help;
    RecordingPrinter printer;
    FakeMainFrame frame;
    template <class P> void wire(P& ports) {
        ports.messages = &messages;
        ports.prompt = &prompt;
        ports.clipboard = &clipboard;
        ports.pump = &pump;
        ports.disk = &disk;
        ports.screen = &screen;
        ports.clock = &clock;
        ports.help = &help;
        ports.printer = &printer;
        ports.frame = &frame;
    }
};

}  // namespace velk::test
