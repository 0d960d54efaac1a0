#include <ostream>

#include "cli/commands.h"
#include "platform/app.h"
#include "viewer/document_locator.h"

namespace velk::cli {

Answer StderrMessages::show(const std::string& text, const std::string&, Buttons buttons, Icon) {
    ++shown_;
    err_ << text << '\n';
    switch (buttons) {
    case Buttons::OK: return Answer::OK;
    case Buttons::YesNo: return Answer::No;
    case Buttons::AbortRetryIgnore: return Answer::Abort;
    default: return Answer::Cancel;
    }
}

std::optional<std::string> Context::option(const std::string& name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

void Context::print(const Json& result) const {
    if (global.json) {
        out << result.dump() << '\n';
        return;
    }
    for (const auto& [key, value] : result.fields()) {
        if (value.isArray() && !value.items().empty() && value.items().front().isObject()) {
            out << key << ":\n";
            for (const Json& row : value.items()) {
                std::string line;
                for (const auto& [k, v] : row.fields()) line += (line.empty() ? "  " : "\t") + v.plain();
                out << line << '\n';
            }
        } else {
            out << key << ": " << value.plain() << '\n';
        }
    }
}

int Context::fail(const std::string& message) const {
    err << message << '\n';
    return kExitFailed;
}

int Context::locate(const std::string& number, const std::string& volume) const {
    app.doc.CurDocNo = number;
    app.doc.CurVolume = volume;
    if (!CDLoaded(app, volume)) return fail(InsertVolumeText(app, volume));
    const long before = messages.shown();
    if (GetPath_OpenIdx(app, number, volume)) return kExitDone;
    // An error has been told already; a document that is not listed needs saying.
    if (messages.shown() != before) return kExitFailed;
    return fail("Document " + number + " is not on volume " + volume);
}

std::optional<std::string> PagesBeyond(const std::string& number, const std::vector<int>& pages, int count) {
    for (int p : pages)
        if (p > count) return "Document " + number + " has " + std::to_string(count) + " pages";
    return std::nullopt;
}

}  // namespace velk::cli
