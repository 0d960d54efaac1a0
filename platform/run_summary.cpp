#include "platform/run_summary.h"

namespace velk {

namespace {

std::string Count(int n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void Group(std::string& text, const char* heading, const std::vector<RunSummary::Item>& items) {
    if (items.empty()) return;
    text += "\n" + std::string(heading) + " (" + std::to_string(items.size()) + "):";
    for (std::size_t i = 0; i < items.size() && i < RunSummary::kShownItems; ++i)
        text += "\n    " + items[i].what + (items[i].why.empty() ? "" : ": " + items[i].why);
    if (items.size() > RunSummary::kShownItems)
        text += "\n    ... and " + std::to_string(items.size() - RunSummary::kShownItems) + " more";
}

}  // namespace

std::string RunSummary::text() const {
    std::string text = run;
    switch (end) {
        case End::Finished:
            text += " finished.";
            break;
        case End::Cancelled:
            text += " cancelled.";
            break;
        case End::Stopped:
            text += " stopped: " + stopReason;
            break;
    }
    text += "\nDone: " + Count(documents, unit, units);
    if (countsPages) text += ", " + Count(pages, "page", "pages");
    text += ".";
    Group(text, "Skipped", skipped);
    Group(text, "Failed", failed);
    if (!folder.empty() || !output.empty())
        text += "\nOutput: " + (output.empty() ? folder.string() : output);
    if (!list.empty() && !everythingDone()) text += "\nWhat was not done stays on the " + list + " list.";
    return text;
}

}  // namespace velk
