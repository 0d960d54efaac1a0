#pragma once
// The toolbar keys and menu items that open the other floors' dialogs, the Lists
// menu, the File menu's settings and the Index menu's collection switch.
#include <functional>
#include <string>

#include "platform/app.h"
#include "shell/settings.h"

namespace velk {

// What only the main window can do for these commands; frmVelk fills it in.
// An empty member is skipped.
struct MainWindowActions {
    std::function<void()> closeViewers;  // both viewers unloaded, window list "&1", "&2"
    std::function<void(const std::string& caption)> showNotice;  // "Processing Index..." shown modeless
    std::function<void()> closeNotice;
    std::function<void(const std::string& caption)> setCaption;
    std::function<void(const std::string& selector)> showListWindow;  // "FOUND", "NOT FOUND", "REMAINING"
    std::function<void()> endZoomArea;         // ends the active viewer's zoom-area selection
    std::function<void()> refreshListButtons;  // after the batch window
};

inline constexpr const char* kNoDocumentsToView = "There are not documents to view";
inline constexpr const char* kNoFound = "There are no documents in the Documents Found list";
inline constexpr const char* kNoNotFound = "There are no documents in the Documents Not Found list";
inline constexpr const char* kNoRemaining =
    "There are no documents in the Documents Not Printed/Exported list";
inline constexpr const char* kSwitchQuestion =
    "The Document Found, Documents Not Found and\r\nDocuments Not Printed/Exported lists will be cleared!\r\n"
    "Do you wish to continue?";

// BTN_FIND, BTN_PRINT, BTN_EXPORT, BTN_GOTO. False when the key is none of them.
bool ToolbarDialogCommand(App& app, const std::string& key);

// Every menu item of this group (mnuImport, mnuExport, mnuPrint, mnuBatch, mnuCDRom,
// mnua4, mnuletter, mnulegal, mnuPSetup, Duplex, Jukebox, mnuFind, mnuView, mnuGoto,
// mnuQuorvel, mnuTovrin, mnuFennic, mnuFound, mnuNotFound, mnuNotPrinted). False
// when the name is none of them.
bool MenuDialogCommand(App& app, const std::string& name, MainWindowActions& window,
                       SettingsWindows& settings);

// The Index menu: mnuQuorvel while the trademarks are in use, mnuTovrin while the
// patents are. Nothing is asked or cleared when the other collection's index file
// is missing; its start-up message is shown instead. True when the switch ran.
bool SwitchCollection(App& app, const std::string& item, MainWindowActions& window);

// Values that follow the collection: help file, letter, volume root, open.idx.
void DeriveCollectionValues(Config& config);

// Start-up: the Index menu shows the collection in use; "&Fennic" names no index
// and stays disabled.
void IndexMenuAtStartup(App& app);

// The Lists menu: the list window for a list with entries, a message for an empty one.
void ListsCommand(App& app, const std::string& item, MainWindowActions& window);

}  // namespace velk
