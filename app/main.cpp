// The viewer program; the collection comes from the name it was started by.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/launcher.h"
#include "app/script_driver.h"
#include "lists/list_store.h"
#include "platform/disk_space.h"
#include "platform/ui/frm_message.h"
#include "platform/ui/guarded_app.h"
#include "platform/ui/help_window.h"
#include "platform/ui/modal.h"
#include "platform/ui/qt_messages.h"
#include "platform/ui/qt_printer.h"
#include "platform/ui/qt_services.h"
#include "shell/config.h"
#include "shell/startup.h"
#include "shell/ui/frm_password.h"
#include "shell/ui/frm_velk.h"

#ifndef VELK_INSTALLATIONS
#define VELK_INSTALLATIONS "/var/lib/velk"
#endif

namespace {

constexpr const char* kVersion = "Velk 0.1.0";

constexpr const char* kUsage =
    "Usage: velkwp | velkwm | velkwa | velkw [--help] [--version]\n"
    "\n"
    "The program's own file name chooses the collection:\n"
    "  velkwp, velkw  patents (Quorvel)\n"
    "  velkwm         trademarks (Tovrin)\n"
    "  velkwa         assignments\n"
    "Started as velk it starts the installation below " VELK_INSTALLATIONS
    "\n"
    "(VELK_INSTALLATIONS in the environment moves it), or asks which one when there are\n"
    "several; velk-setup makes installations.\n"
    "\n"
    "The installation is the directory of the path the program was started by (a link\n"
    "is not followed). It holds the configuration file VelkWp.INI (patents and\n"
    "assignments) or VelkWm.INI (trademarks), with its keys in section [DATA], the\n"
    "cumulative index cum.idx, cum_mark.idx or cum_assn.idx (cum_assn.idd), the\n"
    "list database VELKWp.mdb or VELKWm.mdb, and drives.map for the CD-ROM drives.\n"
    "\n"
    "Keys: Ctrl+F find, Ctrl+O import, Ctrl+P print, Ctrl+E export, Ctrl+G go to page,\n"
    "Space and Shift+Space a screen down and up, Ctrl+PgDown and Ctrl+PgUp the next and\n"
    "previous document, Ctrl+1 fit page, Ctrl+2 fit width, Shift+R rotate left, F7 the page\n"
    "strip (a thumbnail of every page; click one or pick it with the arrows and Enter),\n"
    "Ctrl+Shift+L link viewers, F1 help, Ctrl+Q exit; the menus show the rest.\n"
    "\n"
    "The print dialogs choose the printer for the rest of the run: a queue of the system,\n"
    "or Save as PDF (the only choice without a queue). File > Save as PDF... writes the\n"
    "chosen pages of the shown document into one PDF, each page as stored (G4, 1 bit);\n"
    "File > Print Preview and the dialogs' Preview show the pages as they would print.\n"
    "\n"
    "  --help     this text\n"
    "  --version  the program's version\n"
    "\n"
    "VELK_SMOKE_EXIT=1 in the environment presses Continue and OK on each start-up\n"
    "window and message, prints a line (with the time) as each one shows, and ends\n"
    "once the find dialog is up: for scripted checks of a start-up.\n";

long long EpochMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// For scripted checks: each start-up window reports itself and closes as soon as it
// is up; the find dialog ends the run.
class SmokeModal : public velk::Modal {
public:
    int exec(QDialog& dialog) override {
        QTimer::singleShot(0, &dialog, [&dialog] {
            std::printf("%s shown %lld\n", dialog.objectName().toUtf8().constData(), EpochMillis());
            std::fflush(stdout);
            dialog.accept();
        });
        if (dialog.objectName() == "frmFind") findShown = true;
        return real_.exec(dialog);
    }
    bool findShown = false;

private:
    velk::QtModal real_;
};

// For scripted checks: a message box prints its text and takes its first button.
class SmokeMessages : public velk::Messages {
public:
    velk::Answer show(const std::string& text, const std::string& title, velk::Buttons buttons,
                      velk::Icon icon) override {
        (void)icon;
        std::printf("message [%s] %s\n", title.c_str(), text.c_str());
        std::fflush(stdout);
        switch (buttons) {
            case velk::Buttons::AbortRetryIgnore:
                return velk::Answer::Abort;
            case velk::Buttons::YesNoCancel:
            case velk::Buttons::YesNo:
                return velk::Answer::Yes;
            case velk::Buttons::RetryCancel:
                return velk::Answer::Retry;
            default:
                return velk::Answer::OK;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", kVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    const std::string argv0 = argc > 0 && argv[0] ? argv[0] : "";
    const std::string appDir = velk::AppDirFromArgv0(argv0, std::getenv("PATH"));
    const char* smokeEnv = std::getenv("VELK_SMOKE_EXIT");
    const bool smoke = smokeEnv && *smokeEnv && std::strcmp(smokeEnv, "0") != 0;
    // By its own name (the menu entry of the package) it starts an installation.
    if (std::filesystem::path(argv0).filename() == "velk") return velk::Launch(argc, argv, smoke);

    velk::GuardedApplication qapp(argc, argv);
    QApplication::setApplicationName("Velk");
    QApplication::setApplicationVersion(kVersion);

    velk::App app;
    velk::Session session;
    velk::QtModal realModal;
    SmokeModal smokeModal;
    velk::Modal& modal = smoke ? static_cast<velk::Modal&>(smokeModal) : realModal;

    velk::QtMessages realMessages;
    SmokeMessages smokeMessages;
    velk::Messages& messages = smoke ? static_cast<velk::Messages&>(smokeMessages) : realMessages;
    velk::QtPrompt prompt(app, modal, [&app] { return app.lists && app.lists->FoundCount() > 0; });
    velk::QtClipboard clipboard;
    velk::QtEventPump pump;
    velk::StatvfsDiskSpace disk;
    velk::QtScreen screen;
    velk::QtClock clock;
    app.ports.messages = &messages;
    app.ports.prompt = &prompt;
    app.ports.clipboard = &clipboard;
    app.ports.pump = &pump;
    app.ports.disk = &disk;
    app.ports.screen = &screen;
    app.ports.clock = &clock;
    app.ports.modal = &modal;
    qapp.setApp(&app);
    // VELK_PRINTER names a queue, or a file ending ".pdf"; else the default queue, or,
    // on a machine without one, a PDF file the user chooses at each print.
    const char* printerEnv = std::getenv("VELK_PRINTER");
    velk::QtPrinter printer(velk::DefaultPrinterName(printerEnv ? printerEnv : ""));
    app.ports.printer = &printer;

    // VELK_SCRIPT plays a script of user actions on the widgets (end-to-end checks).
    std::unique_ptr<velk::ScriptDriver> driver;
    if (const char* script = std::getenv("VELK_SCRIPT"); script && *script) {
        std::vector<std::string> lines = velk::ScriptDriver::ReadScript(script);
        if (lines.empty()) {
            std::fprintf(stderr, "velk: cannot read the script %s\n", script);
            return 2;
        }
        driver = std::make_unique<velk::ScriptDriver>(std::move(lines));
        driver->start();
    }

    int status = velk::kExitUnexpected;
    {
        velk::frmVelk frame(app, session, modal);
        app.ports.frame = &frame;
        velk::QtHelp help(
            [&app] {
                return velk::AboutFacts{app.config.CollectionMode, app.CoverageNumber, app.CoverageDate};
            },
            &frame);
        app.ports.help = &help;
        velk::QtSettingsWindows settings(app, modal, &frame);
        frame.setSettingsWindows(&settings);
        status = velk::Startup(app, session, frame, argv0, appDir);
        if (status == velk::kStartupRunning) {
            if (smoke) {
                std::printf(smokeModal.findShown ? "reached the find dialog\n" : "no find dialog\n");
                std::fflush(stdout);
                status = smokeModal.findShown ? 0 : velk::kExitUnexpected;
                velk::Shutdown(session, &frame);
            } else if (!frame.ended()) {
                status = qapp.exec();
            }
        }
        velk::Shutdown(session, &frame);
        frame.setSettingsWindows(nullptr);
        app.ports.help = nullptr;
        app.ports.frame = nullptr;
    }
    if (driver && !driver->finished() && status == 0) {
        std::fprintf(stderr, "velk: the program ended before its script did\n");
        status = 3;
    }
    app.lists = nullptr;
    qapp.setApp(nullptr);
    return status;
}
