#pragma once
// What a print, export or save run did, told once when it ends: documents and pages
// done, what was passed over and why, what failed, and where the output went. The
// runs fill one as they go; App::ShowSummary hands it to the Messages port, whose box
// offers to open the output folder. What was not done stays on its list.
#include <filesystem>
#include <string>
#include <vector>

namespace velk {

struct RunSummary {
    enum class End { Finished, Cancelled, Stopped };
    struct Item {
        std::string what;  // "5123456", "5123456 page 3"
        std::string why;
    };

    std::string run;  // "Print", "Batch Print", "Export", "Batch Export", "Save"
    End end = End::Finished;
    std::string stopReason;  // End::Stopped: what ended the run
    int documents = 0, pages = 0;
    std::string unit = "document", units = "documents";  // what `documents` counts
    bool countsPages = true;                             // false: a saved list has no pages
    std::vector<Item> skipped;                           // passed over: by choice, or nothing there to do
    std::vector<Item> failed;                            // not done because something went wrong
    std::filesystem::path folder;                        // where the files went; empty for a printer queue
    std::string output;                                  // the printer, or the file, when one names it best
    std::string list;  // the list that keeps what was not done ("To Export")

    void skip(std::string what, std::string why) { skipped.push_back({std::move(what), std::move(why)}); }
    void fail(std::string what, std::string why) { failed.push_back({std::move(what), std::move(why)}); }
    void cancel() {
        if (end == End::Finished) end = End::Cancelled;
    }
    void stop(std::string reason) {
        end = End::Stopped;
        stopReason = std::move(reason);
    }
    bool clean() const { return end == End::Finished && failed.empty(); }
    bool everythingDone() const { return clean() && skipped.empty(); }

    // The message text; each group shows its first kShownItems lines and a count of the rest.
    static constexpr std::size_t kShownItems = 8;
    std::string text() const;
};

}  // namespace velk
