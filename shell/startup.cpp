#include "shell/startup.h"

#include <exception>
#include <filesystem>

#include "lists/list_store.h"
#include "platform/install_lock.h"
#include "shell/command_state.h"
#include "shell/config.h"
#include "shell/dialog_commands.h"
#include "shell/settings.h"

namespace velk {

namespace fs = std::filesystem;

Session::Session() = default;
Session::~Session() = default;

std::optional<std::string> FindCumulativeIndex(const Config& config, std::string* missingMessage) {
    // The platform's directory look-up: any letter case, files only.
    auto lookup = [&](const char* name) -> std::optional<std::string> {
        auto found = FindNoCase(config.AppDir, name);
        std::error_code ec;
        if (found && fs::is_regular_file(*found, ec)) return found->string();
        return std::nullopt;
    };
    std::optional<std::string> path;
    const char* message = kInvalidProgramName;
    if (config.isPatents()) {
        path = lookup("cum.idx");
        message = kPatentIndexMissing;
    } else if (config.isTrademarks()) {
        path = lookup("cum_mark.idx");
        message = kTrademarkIndexMissing;
    } else if (config.isAssignments()) {
        path = lookup("cum_assn.idx");
        if (!path) path = lookup("cum_assn.idd");
        message = kAssignIndexMissing;
    }
    if (!path && missingMessage) *missingMessage = message;
    return path;
}

std::string MainCaption(const std::string& collectionMode) {
    return collectionMode == kModeAssignments ? std::string("Assignments") : collectionMode;
}

namespace {

int Run(App& app, Session& session, StartupWindows& windows, const std::string& argv0, const std::string& appDir) {
    Config& c = app.config;
    const std::string mode = CollectionFromProgramName(argv0);
    app.viewerFlags.Marker = "NotSet";
    c.CollectionMode = mode;
    c.AppDir = appDir;
    app.drives = Drives::load(appDir);

    std::string pageMenu;
    if (!ReadIni(app, &pageMenu)) {
        app.msg(kConfigUnreadable);
        return kExitConfigUnreadable;
    }
    if (!pageMenu.empty() && app.ports.frame) app.ports.frame->checkItem(pageMenu, true);
    SetJukeboxMark(app);
    IndexMenuAtStartup(app);

    // A second copy would empty the lists of the one already running.
    std::string busy;
    session.lock = InstallLock::acquire(c, &busy);
    if (!session.lock) {
        app.msg(busy, Buttons::OK, Icon::Exclamation);
        return kExitInstallationBusy;
    }
    session.lists = std::make_unique<ListStore>(c);
    if (!session.lists->OpenDatabases()) {
        session.lists.reset();
        session.lock.reset();
        app.msg(kDatabaseUnreadable);
        return kExitDatabaseUnreadable;
    }
    app.lists = session.lists.get();
    session.shutDown = false;

    windows.showSplash();
    ViewersClosed(app);

    std::string missing;
    auto index = FindCumulativeIndex(c, &missing);
    if (!index) {
        app.msg(missing, Buttons::OK, Icon::Critical);
        Shutdown(session, &windows);
        return mode.empty() ? kExitInvalidProgramName : kExitIndexMissing;
    }
    c.CurrentIndexPath = *index;
    c.CollectionMode = mode;
    app.IndexRecordCount = 0;
    for (ViewerState& v : app.viewers) v.Zoom = 100;
    if (app.ports.frame) {
        // The Index menu shows the collection in use.
        app.ports.frame->checkItem("mnuQuorvel", c.isPatents());
        app.ports.frame->checkItem("mnuFennic", false);
        app.ports.frame->checkItem("mnuTovrin", c.isTrademarks());
    }

    // A crash or a kill must not cost the lists of a long batch: the user decides.
    const bool keep = session.lock && session.lock->previousRunUnfinished() &&
                      session.lists->totals() != ListTotals{} &&
                      app.msg(kKeepListsQuestion, Buttons::YesNo, Icon::Question) == Answer::Yes;
    if (!keep) session.lists->ClearTables(false);
    if (session.lock) session.lock->markRunning();
    session.ownsLists = true;

    windows.showMainWindow();
    ViewersClosed(app);

    if (app.ports.screen) {
        app.ScreenWidth = app.ports.screen->widthPixels();
        app.ScreenHeight = app.ports.screen->heightPixels();
    }
    windows.setToolbarLayout(ToolbarLayoutFor(app.ScreenWidth, app.ScreenHeight));
    windows.setCaption(MainCaption(c.CollectionMode));

    if (c.ReadMe == "YES") windows.showReadme();
    FindCommand(app);
    return kStartupRunning;
}

}  // namespace

int Startup(App& app, Session& session, StartupWindows& windows, const std::string& argv0,
            const std::string& appDir) {
    try {
        return Run(app, session, windows, argv0, appDir);
    } catch (const RuntimeError& e) {
        app.msg(e.report());
    } catch (const std::exception& e) {
        app.msg(e.what());
    }
    Shutdown(session, &windows);
    return kExitUnexpected;
}

void Shutdown(Session& session, StartupWindows* windows) {
    if (session.shutDown) return;
    session.shutDown = true;
    try {
        if (windows) windows->closeViewers();
    } catch (...) {
    }
    try {
        // Closing the connection releases every table with it.
        if (session.lists) session.lists->Close();
    } catch (...) {
    }
    if (session.lock && session.ownsLists) session.lock->markEnded();
    session.ownsLists = false;
    session.lock.reset();
}

}  // namespace velk
