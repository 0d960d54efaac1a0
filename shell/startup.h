#pragma once
// Start-up and the orderly end of the program. Everything goes through ports and
// StartupWindows, so each step and each failure can be driven headless.
#include <memory>
#include <optional>
#include <string>

#include "platform/app.h"
#include "shell/main_menu.h"

namespace velk {

class InstallLock;
class ListStore;

// What start-up asks of the windows; frmVelk is the real one.
class StartupWindows {
public:
    virtual ~StartupWindows() = default;
    virtual void showSplash() = 0;  // modal: returns once the splash is closed
    virtual void showMainWindow() = 0;
    virtual void setToolbarLayout(ToolbarLayout layout) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void showReadme() = 0;    // modal
    virtual void closeViewers() = 0;  // unloads the viewer windows
};

// What the run holds beside the App: the list store and the installation's lock.
struct Session {
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::unique_ptr<InstallLock> lock;
    std::unique_ptr<ListStore> lists;
    bool shutDown = false;   // Shutdown has run; a second call does nothing
    bool ownsLists = false;  // start-up took the lists over: an orderly end clears the run's mark
};

// Exit statuses. Running means the main window is up and the program goes on.
enum StartupStatus : int {
    kStartupRunning = 0,
    kExitUnexpected = 1,
    kExitConfigUnreadable = 2,
    kExitDatabaseUnreadable = 3,
    kExitIndexMissing = 4,
    kExitInvalidProgramName = 5,
    kExitInstallationBusy = 6,
};

inline constexpr const char* kConfigUnreadable = "Unable to read configuration file.";
inline constexpr const char* kDatabaseUnreadable = "Unable to read database file";
inline constexpr const char* kPatentIndexMissing = "ERROR:  Unable to find CUM.IDX - cumulative index file!";
inline constexpr const char* kTrademarkIndexMissing =
    "ERROR:  Unable to find CUM_MARK.IDX - cumulative index file!";
inline constexpr const char* kAssignIndexMissing = "ERROR:  Unable to find CUM_ASSN.IDX - cumulative index file!";
inline constexpr const char* kKeepListsQuestion =
    "The program did not end normally last time. Keep the lists it had?";
inline constexpr const char* kInvalidProgramName =
    "ERROR:  Invalid command line argument - see your adminstrator!";

// The whole start-up, in order: collection from the program's name, configuration,
// list store, splash, the index check, emptied lists (or, after a run that did not
// end in order, the lists it left when the user keeps them), main window, toolbar
// layout, caption, read-me, and the find dialog. Each failure shows its message and gives
// its exit status; one that comes after the list store opened runs Shutdown first.
// app.lists points into session from the list store's opening on.
int Startup(App& app, Session& session, StartupWindows& windows, const std::string& argv0,
            const std::string& appDir);

// Unloads the viewers, closes the list store and gives up the installation's lock.
// Errors are passed over; runs once however often it is called.
void Shutdown(Session& session, StartupWindows* windows);

// The cumulative index of the collection: its native path, or nullopt with the
// message to show (the assignments fall back to cum_assn.idd).
std::optional<std::string> FindCumulativeIndex(const Config& config, std::string* missingMessage);

// "Assignments" for the assignments collection, else the mode itself.
std::string MainCaption(const std::string& collectionMode);

}  // namespace velk
