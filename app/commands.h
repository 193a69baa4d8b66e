// The command table of the editor: every command the menus, keys and toolbar
// send, as one declarative list (id, menu texts, status-bar prompt,
// keys, owner and handler), and the menu layouts built from it.
//
// Nothing here creates widgets (commandui.h turns the table into QActions and
// toolbars for both frames), and tests check the table's invariants directly.
// Whether a command can run now is decided in one place, commandEnabled, for
// the main frame, the in-place frame and the view's context menu alike.
#pragma once

#include <array>
#include <vector>

#include "app/commandids.h"

// The menu bars: M while no document window is open, D while one is active,
// E for a document opened from a container, I while editing in place.
enum class MenuVariant { M = 0, D = 1, E = 2, I = 3 };
inline constexpr int kMenuVariantCount = 4;

struct CommandEntry {
    int id;
    const char *name;                               // the identifier's name, for messages
    std::array<const char *, kMenuVariantCount> menu_text; // per variant; nullptr: not in that menu
    const char *prompt;                             // status-bar text while highlighted; nullptr: none
    std::array<const char *, 2> keys;               // key table of M and D, portable text ("Ctrl+N")
    CommandOwner owner;                             // from the command list (commandids.h)
    const char *handler;                            // name of the owner's member that runs it; nullptr: none
};

// Menu layouts: one popup per entry, items are command ids; 0 is a separator,
// ID_FILE_MRU_FILE1 the recent-file place holder, kWindowListMarker the list
// of open windows.
inline constexpr int kSeparator = 0;
inline constexpr int kWindowListMarker = -1;

struct MenuPopup {
    const char *title;
    std::vector<int> items;
};

// The whole command table, in the order of its definition.
const std::vector<CommandEntry> &commandTable();
// The entry with `id`, or nullptr.
const CommandEntry *findCommand(int id);
// The top-level popups of a menu bar, left to right.
const std::vector<MenuPopup> &menuLayout(MenuVariant variant);

// One entry of a key table: the key in portable text ("Ctrl+S") and the
// command it sends.
struct Accelerator {
    const char *key;
    int id;
};
// The key table of a menu variant. M and D share one, made from the entries'
// `keys`; E is that table with Ctrl+S sending Update and no save key, plus F6
// and Shift+F6; I has only the editing keys, F1 and Shift+F1.
const std::vector<Accelerator> &acceleratorTable(MenuVariant variant);

// Toolbar entries, left to right; 0 is a separator.
const std::vector<int> &toolbarLayout();
// The side of a toolbar icon in device-independent pixels.
inline constexpr int kToolbarIconSize = 16;

// Idle text of the status bar's message pane and its text in help mode.
inline constexpr const char *kIdleMessage = "For Help, press F1";
inline constexpr const char *kHelpModeMessage = "Select an object on which to get Help";

// What the enabling rules look at: the state of the frame asking and of its
// active document window and view.
struct CommandState {
    bool app = false;           // the application object takes its commands
    bool document = false;      // a document window is active
    bool embedded = false;      // ... and its document is embedded in a container's
    bool documentWindows = false; // the main frame has document windows
    bool tabbed = false;        // ... shown as tabs (Window > Tabbed)
    bool view = false;          // a view is active; the rest describe it
    bool text = false;          // its text is not empty
    bool selection = false;     // it has a non-empty selection
    bool undo = false;          // it has something to undo
    bool redo = false;          // it has something to redo
    bool clipboardText = false; // the clipboard holds text
    bool searched = false;      // a search text was given (Repeat)
};

// True when command `id` can run in `state`: its owner is there and the
// command's own rule holds (Undo: something to undo; Cut, Copy, Clear: a
// selection; Paste: clipboard text; Beautify, Find, Select All: some text; ...).
bool commandEnabled(int id, const CommandState &state);
