// The command table of the editor: every command the menus, keys, toolbar and
// dialog bar send, as one declarative list (id, menu texts, status-bar prompt,
// keys, owner and handler), and the menu layouts built from it.
//
// Nothing here creates widgets; CMainFrame turns the table into QActions and
// menus, and tests check the table's invariants directly.
#pragma once

#include <array>
#include <vector>

// Command identifiers, numbered as the documents of older versions saved them
// in their menus and key tables.
enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_UPDATE = 57610,
    ID_FILE_SAVE_COPY_AS = 57611,
    ID_FILE_SEND_MAIL = 57612,
    ID_FILE_MRU_FILE1 = 57616, // the "Recent File" place holder; entries 57616..57619
    ID_EDIT_CLEAR = 57632,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_FIND = 57636,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_REPLACE = 57641,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_INDEX = 57666,
    ID_HELP_USING = 57668,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_DEFAULT_HELP = 57671, // help index while editing in place
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_BEAUTIFY = 32771,
    ID_PASTE_BEAUTIFIED = 32772,
    ID_BATCH_JOB = 32773,
    ID_BEAUTIFY_N_COPY = 32778,
    ID_FORMAT_OPTIONS = 32780,
    ID_SAVE_OPTIONS = 32781,
    IDC_OPTION = 1002,
    IDC_BATCH = 1015,
    // Entries of the Window menu's list of open windows start here.
    ID_WINDOW_LIST_FIRST = 65280,
};

// The menu bars: M while no document window is open, D while one is active,
// E for a document opened from a container, I while editing in place.
enum class MenuVariant { M = 0, D = 1, E = 2, I = 3 };
inline constexpr int kMenuVariantCount = 4;

// Who carries out a command: the application object, the main frame, the
// active document (through its child frame) or the active view.
enum class CommandOwner { App, Frame, Doc, View };

struct CommandEntry {
    int id;
    const char *name;                               // the identifier's name, for messages
    std::array<const char *, kMenuVariantCount> menu_text; // per variant; nullptr: not in that menu
    const char *prompt;                             // status-bar text while highlighted; nullptr: none
    std::array<const char *, 2> keys;               // key table of M and D, portable text ("Ctrl+N")
    CommandOwner owner;
    const char *handler;                            // slot of the owner that runs it; nullptr: none
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

// Toolbar entries, left to right; 0 is a separator. Button n takes image n of
// the strip.
const std::vector<int> &toolbarLayout();
inline constexpr int kToolbarImageCount = 12;
inline constexpr int kToolbarImageWidth = 16;
inline constexpr int kToolbarImageHeight = 15;

// Idle text of the status bar's message pane and its text in help mode.
inline constexpr const char *kIdleMessage = "For Help, press F1";
inline constexpr const char *kHelpModeMessage = "Select an object on which to get Help";
