// velkcmd: the model from the command line, for scripts and end-to-end tests. It sets
// the installation up as the viewer's start-up does (configuration, drives.map, the
// cumulative index) and creates no window.
#include <exception>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "cli/commands.h"
#include "common/runtime_error.h"
#include "platform/app.h"
#include "shell/config.h"
#include "shell/startup.h"

namespace velk::cli {
namespace {

namespace fs = std::filesystem;

std::string ModeOf(const std::string& collection) {
    if (collection == "quorvel") return kModePatents;
    if (collection == "tovrin") return kModeTrademarks;
    if (collection == "assign") return kModeAssignments;
    return {};
}

std::string HelpText() {
    std::ostringstream h;
    h << "Usage: velkcmd --appdir DIR --collection quorvel|tovrin|assign [--json] COMMAND ARGS\n"
         "\n"
         "Runs the viewer's model on an installation: DIR is its application directory, whose\n"
         "configuration file and drives.map are used as the viewer uses them.\n"
         "\n"
         "Options:\n"
         "  --appdir DIR        the installation's application directory (required)\n"
         "  --collection NAME   quorvel (patents), tovrin (trademarks), assign (assignments) (required)\n"
         "  --json              print one JSON object instead of \"field: value\" lines\n"
         "  --help              this text\n"
         "\n"
         "Commands:\n";
    for (const Command* c : Commands()) {
        h << "  " << c->name << ' ' << c->operands;
        if (*c->options) h << "  [options: " << c->options << ']';
        h << "\n    " << c->help << "\n\n";
    }
    h << "Exit status: 0 done, 1 not found or failed (the reason on stderr), 2 usage.\n";
    return h.str();
}

int Usage(const std::string& problem) {
    std::cerr << "velkcmd: " << problem << "\nTry 'velkcmd --help'.\n";
    return kExitUsage;
}

bool Among(const std::string& list, const std::string& word) {
    std::istringstream in(list);
    for (std::string w; in >> w;)
        if (w == word) return true;
    return false;
}

struct CommandLine {
    GlobalOptions global;
    const Command* command = nullptr;
    std::vector<std::string> args;
    std::map<std::string, std::string> options;
    bool help = false;
};

// Options may stand before or after the command; "-" and everything after "--" are operands.
std::optional<std::string> Parse(const std::vector<std::string>& argv, CommandLine& cl) {
    bool operandsOnly = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (operandsOnly || a.size() < 2 || a[0] != '-') {
            if (!cl.command) {
                for (const Command* c : Commands())
                    if (a == c->name) cl.command = c;
                if (!cl.command) return "unknown command '" + a + "'";
            } else {
                cl.args.push_back(a);
            }
            continue;
        }
        if (a == "--") {
            operandsOnly = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            cl.help = true;
            continue;
        }
        std::string name = a.substr(a.rfind('-', 1) + 1), value;
        const auto eq = name.find('=');
        const bool inlineValue = eq != std::string::npos;
        if (inlineValue) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        auto takeValue = [&]() -> bool {
            if (inlineValue) return true;
            if (i + 1 >= argv.size()) return false;
            value = argv[++i];
            return true;
        };
        if (name == "json" && !inlineValue) {
            cl.global.json = true;
        } else if (name == "appdir" || name == "collection") {
            if (!takeValue()) return "--" + name + " needs a value";
            (name == "appdir" ? cl.global.appDir : cl.global.collection) = value;
        } else if (cl.command && Among(cl.command->options, name + "=")) {
            if (!takeValue()) return "--" + name + " needs a value";
            cl.options[name] = value;
        } else if (cl.command && !inlineValue && Among(cl.command->options, name)) {
            cl.options[name] = "";
        } else {
            return "unknown option '" + a + "'";
        }
    }
    return std::nullopt;
}

// The installation as the viewer's start-up reads it; false with the viewer's message.
bool SetUp(App& app, const GlobalOptions& g, std::ostream& err) {
    std::error_code ec;
    fs::path dir = fs::absolute(g.appDir, ec);
    if (ec || !fs::is_directory(dir, ec)) {
        err << "velkcmd: no such directory: " << g.appDir << '\n';
        return false;
    }
    std::string appDir = dir.lexically_normal().string();
    while (appDir.size() > 1 && appDir.back() == '/') appDir.pop_back();
    Config& c = app.config;
    c.CollectionMode = ModeOf(g.collection);
    c.AppDir = appDir;
    app.drives = Drives::load(appDir);
    if (!ReadIni(app)) {
        err << kConfigUnreadable << '\n';
        return false;
    }
    std::string missing;
    auto index = FindCumulativeIndex(c, &missing);
    if (!index) {
        err << missing << '\n';
        return false;
    }
    c.CurrentIndexPath = *index;
    return true;
}

int Main(int argc, char** argv) {
    CommandLine cl;
    if (auto problem = Parse(std::vector<std::string>(argv + 1, argv + argc), cl)) return Usage(*problem);
    if (cl.help) {
        std::cout << HelpText();
        return kExitDone;
    }
    if (!cl.command) return Usage("no command given");
    if (cl.global.appDir.empty()) return Usage("--appdir is required");
    if (ModeOf(cl.global.collection).empty()) return Usage("--collection must be quorvel, tovrin or assign");
    const int n = static_cast<int>(cl.args.size());
    if (n < cl.command->minArgs || n > cl.command->maxArgs)
        return Usage(std::string(cl.command->name) + " takes " + cl.command->operands);

    StderrMessages messages(std::cerr);
    App app;
    app.ports.messages = &messages;
    if (!SetUp(app, cl.global, std::cerr)) return kExitFailed;
    Context ctx{app, cl.global, std::move(cl.args), std::move(cl.options), std::cout, std::cerr, messages};
    try {
        return cl.command->run(ctx);
    } catch (const RuntimeError& e) {
        return ctx.fail(e.report());
    } catch (const std::exception& e) {
        return ctx.fail(e.what());
    }
}

}  // namespace
}  // namespace velk::cli

int main(int argc, char** argv) { return velk::cli::Main(argc, argv); }
