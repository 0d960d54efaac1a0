#include "tests/support/fakes.h"

namespace velk::test {

namespace {
Answer FirstButton(Buttons b) {
    switch (b) {
    case Buttons::AbortRetryIgnore: return Answer::Abort;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Answer::Yes;
    case Buttons::RetryCancel: return Answer::Retry;
    default: return Answer::OK;
    }
}
}  // namespace

Answer FakeMessages::show(const std::string& text, const std::string& title, Buttons buttons, Icon icon) {
    shown.push_back({text, title, buttons, icon});
    if (answers.empty()) return FirstButton(buttons);
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

bool FakeMessages::contains(const std::string& text) const {
    for (const auto& m : shown)
        if (m.text == text) return true;
    return false;
}

int FakePrompt::ask(const std::string& text, int) {
    asked.push_back(text);
    if (answers.empty()) return 1;
    int a = answers.front();
    answers.pop_front();
    return a;
}

void RecordingPrinter::setPaperSize(int code) {
    paper = code;
    calls.push_back("paper " + std::to_string(code));
}

void RecordingPrinter::setDuplex(int mode) {
    duplexMode = mode;
    calls.push_back("duplex " + std::to_string(mode));
}

void RecordingPrinter::drawPage(const QImage& page, const TwipRect& t) {
    pages.push_back(page);
    calls.push_back("page " + std::to_string(page.width()) + "x" + std::to_string(page.height()) + " at " +
                    std::to_string(t.x) + "," + std::to_string(t.y) + " " + std::to_string(t.width) + "x" +
                    std::to_string(t.height));
}

void RecordingPrinter::drawText(int x, int y, const std::string& text, const std::string& font, int size,
                                bool bold) {
    calls.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " " + font + " " +
                    std::to_string(size) + (bold ? " bold " : " ") + text);
}

int RecordingPrinter::count(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : calls)
        if (c.rfind(prefix, 0) == 0) ++n;
    return n;
}

}  // namespace velk::test
