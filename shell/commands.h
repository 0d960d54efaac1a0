#pragma once
// The main frame's commands in one table: toolbar keys, menu items and keyboard
// shortcuts name the same commands, so a shortcut is always the one its menu item shows.
#include <string>
#include <vector>

#include "platform/app.h"

namespace velk {

enum class Command {
    None,
    // toolbar, in band order
    Find, Viewer1, Viewer2, GoTo, Copy, Print, Export,
    AddToPrint, RemoveFromPrint, AddToExport, RemoveFromExport,
    FirstPage, PreviousPage, NextPage, LastPage,
    FullView, Zoom100, ZoomIn, ZoomOut, Rotate, ZoomArea,
    FirstDocument, PreviousDocument, NextDocument, LastDocument,
    TileVertically, TileHorizontally, Cascade,
    // menu and keyboard only
    PageUp, PageDown, NewWindow, CloseViewer2, Exit, HelpContents, HelpSearch, About,
    Import, FitPage, FitWidth, RotateLeft, EndZoomArea, LinkViewers, PageStrip,
};

// One command: its toolbar key and menu item (either may be ""), the keys that run it
// (the first is the one the menu shows; "" for none).
struct CommandEntry {
    Command command;
    const char* key;
    const char* menu;
    std::vector<const char*> shortcuts;
};

const std::vector<CommandEntry>& CommandTable();
Command CommandForKey(const std::string& key);    // None for a key that is none of the band's
Command CommandForMenu(const std::string& name);  // None for the other floors' items
const CommandEntry* EntryFor(Command command);
// Commands that print, export, copy or change the lists: their keys never auto-repeat.
bool ProducesOutput(Command command);

// The four list buttons on the active viewer's document (the entry CurDocNo &
// CurVolume, the number left-aligned in 9 columns). Adding takes the document off
// Remaining in the same transaction; removing puts it back there. False when nothing
// changed (not on that list, no list store, not a list command).
bool ListButtonCommand(App& app, Command command);

// The page count the list buttons store with the entry, by collection.
Int16 ListButtonPages(App& app);

enum class Arrangement { Cascade, TileHorizontally, TileVertically };

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// Tiling into an area of width x height: horizontally the windows lie one above the
// other at full width, vertically side by side at full height. Bands share the
// leftover pixels so the windows cover the area exactly.
std::vector<Rect> TileGeometry(Arrangement how, int count, int width, int height);

}  // namespace velk
