#pragma once
// The main frame's toolbar buttons and menu tree as data, so the window is built
// from one table and the command state can name what it sets.
#include <array>
#include <string>
#include <vector>

namespace velk {

struct ToolbarButton {
    const char* key;      // BTN_...: the dispatch key and the object name
    const char* toolTip;  // also the button's text, shown only as the tip
    bool groupStart;      // a separator goes before it in the normal layout
};

inline constexpr int kToolbarButtonCount = 28;
const std::array<ToolbarButton, kToolbarButtonCount>& ToolbarButtons();
// The key of the button at a position (0 = leftmost); "" outside the band.
std::string ToolbarKey(int position);
int ToolbarPosition(const std::string& key);  // -1 when not a key

// The screen decides the layout once at start-up: normal when it is wider than 640
// or taller than 480 pixels.
enum class ToolbarLayout { Normal, Compact };
ToolbarLayout ToolbarLayoutFor(int screenWidth, int screenHeight);

enum class MenuKind { Menu, Item, Separator };

// One entry of the menu bar, in order; depth 0 is a menu of the bar, 1 its items,
// 2 the items of a submenu (the page sizes). The keys an item shows come from the
// command table (shell/commands.h).
struct MenuEntry {
    MenuKind kind;
    int depth;
    const char* name;      // object name; "" for separators
    const char* caption;   // with & before the access key
    bool checkable;
};

const std::vector<MenuEntry>& MenuTree();
// Whether name is a menu item or menu of the tree.
bool IsMenuName(const std::string& name);

}  // namespace velk
