#pragma once
// velkcmd's subcommands: each is one cmd_*.cpp that calls the model and prints, and
// one line of the table in command_table.cpp.
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/json.h"
#include "platform/ports.h"

namespace velk {
struct App;
}

namespace velk::cli {

enum ExitStatus : int { kExitDone = 0, kExitFailed = 1, kExitUsage = 2 };

// Message boxes become lines on stderr; a question takes its way out (Cancel, No,
// Abort), so nothing ever waits for an answer.
class StderrMessages : public Messages {
public:
    explicit StderrMessages(std::ostream& err) : err_(err) {}
    Answer show(const std::string& text, const std::string& title, Buttons buttons, Icon icon) override;
    long shown() const { return shown_; }

private:
    std::ostream& err_;
    long shown_ = 0;
};

// Nobody can answer a batch's volume question here: Ignore leaves the document on its
// list and the run goes on with the next one; every other message passes through.
class IgnoreVolumeQuestions : public Messages {
public:
    explicit IgnoreVolumeQuestions(Messages& inner) : inner_(inner) {}
    Answer show(const std::string& text, const std::string& title, Buttons buttons, Icon icon) override {
        const Answer a = inner_.show(text, title, buttons, icon);
        return buttons == Buttons::AbortRetryIgnore ? Answer::Ignore : a;
    }

private:
    Messages& inner_;
};

// The options every subcommand shares.
struct GlobalOptions {
    std::string appDir;
    std::string collection;  // "quorvel", "tovrin" or "assign"
    bool json = false;
};

struct Context {
    App& app;
    const GlobalOptions& global;
    std::vector<std::string> args;                 // the subcommand's operands
    std::map<std::string, std::string> options;    // its own --name[=value] options
    std::ostream& out;
    std::ostream& err;
    const StderrMessages& messages;  // the App's message port

    std::optional<std::string> option(const std::string& name) const;
    // Prints the command's result: the object as one JSON line with --json, else one
    // "field: value" line per field (an array of objects: one tab-separated line each).
    void print(const Json& result) const;
    // A failure in the words the viewer would show, on stderr; returns kExitFailed.
    int fail(const std::string& message) const;
    // Sets CurDocNo and CurVolume and locates the document on its volume; kExitDone when
    // it is there, else kExitFailed once the reason is on stderr (no prompt is shown).
    int locate(const std::string& number, const std::string& volume) const;
};

struct Command {
    const char* name;
    const char* operands;  // "KEY", "FILE|-"
    int minArgs, maxArgs;
    // The subcommand's own options, space-separated; "name=" takes a value.
    const char* options;
    const char* help;  // what it does and the JSON fields it prints, indented lines
    int (*run)(Context&);
};

// "Document N has C pages" when a page of the list lies beyond the document's count:
// print and export refuse such a choice alike, before anything is written.
std::optional<std::string> PagesBeyond(const std::string& number, const std::vector<int>& pages, int count);

// In the order the help lists them.
const std::vector<const Command*>& Commands();

// One per cmd_*.cpp.
extern const Command kFindCommand;
extern const Command kCheckCommand;
extern const Command kLocateCommand;
extern const Command kExportCommand;
extern const Command kPrintCommand;
extern const Command kRenderCommand;

}  // namespace velk::cli
