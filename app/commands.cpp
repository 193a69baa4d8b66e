// The command table and the menu layouts. Every menu text, prompt and key
// here is shown to the user as it stands ("Beatify a list of SQL  files"
// included: users and their documentation know it by that text).
#include "app/commands.h"

#include <algorithm>

namespace {

constexpr const char *kNone = nullptr;

// The menu texts per variant, in the order M, D, E, I.
using T = std::array<const char *, kMenuVariantCount>;
using K = std::array<const char *, 2>;

// An entry of the table; name, owner and handler come from the command list.
CommandEntry command(int id, T texts, const char *prompt, K keys)
{
    return {id, commandName(id), texts, prompt, keys, commandOwner(id), commandHandlerName(id)};
}

// One entry per command, laid out as a table.
// clang-format off
const std::vector<CommandEntry> kCommands = {
    // id, {M, D, E, I} texts, prompt, keys
    command(ID_FILE_NEW, T{"&New\tCtrl+N", "&New\tCtrl+N", "&New\tCtrl+N", kNone},
     "Create a new document", K{"Ctrl+N", kNone}),
    command(ID_FILE_OPEN, T{"&Open...\tCtrl+O", "&Open...\tCtrl+O", "&Open...\tCtrl+O", kNone},
     "Open an existing document", K{"Ctrl+O", kNone}),
    command(ID_FILE_CLOSE, T{kNone, "&Close\tCtrl+F4", "&Close\tCtrl+F4", kNone},
     "Close the active document", K{"Ctrl+F4", kNone}),
    // Ctrl+S is in the key table of M too, where it finds no document and does nothing.
    command(ID_FILE_SAVE, T{kNone, "&Save\tCtrl+S", kNone, kNone},
     "Save the active document", K{"Ctrl+S", kNone}),
    command(ID_FILE_SAVE_AS, T{kNone, "Save &As...", kNone, kNone},
     "Save the active document with a new name", K{}),
    command(ID_FILE_UPDATE, T{kNone, kNone, "&Update", kNone},
     "Update the container to show any changes", K{}),
    command(ID_FILE_SAVE_COPY_AS, T{kNone, kNone, "Save Copy &As...", kNone},
     "Save a copy of the active document with a new name", K{}),
    command(ID_FILE_PRINT, T{kNone, "&Print...\tCtrl+P", "&Print...\tCtrl+P", kNone},
     "Print the active document", K{"Ctrl+P", kNone}),
    command(ID_FILE_PRINT_PREVIEW, T{kNone, "Print Pre&view", "Print Pre&view", kNone},
     "Display full pages", K{}),
    command(ID_FILE_PRINT_SETUP, T{"P&rint Setup...", "P&rint Setup...", "P&rint Setup...", kNone},
     "Change the printer and printing options", K{}),
    command(ID_FILE_SEND_MAIL, T{kNone, "&Mail To", kNone, kNone},
     kNone, K{}),
    command(ID_FILE_MRU_FILE1, T{"Recent File", "Recent File", "Recent File", kNone},
     "Open this document", K{}),
    command(ID_APP_EXIT, T{"E&xit", "E&xit", "E&xit", kNone},
     "Quit the application; prompts to save documents", K{}),

    command(ID_EDIT_UNDO, T{kNone, "&Undo\tCtrl+Z", "&Undo\tCtrl+Z", "&Undo\tCtrl+Z"},
     "Undo the last action", K{"Ctrl+Z", "Alt+Backspace"}),
    command(ID_EDIT_REDO, T{kNone, "Re&do\tCtrl+Y", "Re&do\tCtrl+Y", "Re&do\tCtrl+Y"},
     "Redo the previously undone action", K{"Ctrl+Y", "Ctrl+Shift+Z"}),
    command(ID_EDIT_CUT, T{kNone, "Cu&t\tCtrl+X", "Cu&t\tCtrl+X", "Cu&t\tCtrl+X"},
     "Cut the selection and put it on the Clipboard", K{"Ctrl+X", "Shift+Del"}),
    command(ID_EDIT_COPY, T{kNone, "&Copy\tCtrl+C", "&Copy\tCtrl+C", "&Copy\tCtrl+C"},
     "Copy the selection and put it on the Clipboard", K{"Ctrl+C", "Ctrl+Ins"}),
    command(ID_EDIT_CLEAR, T{kNone, "Clear", kNone, kNone},
     "Erase the selection", K{}),
    command(ID_EDIT_PASTE, T{kNone, "&Paste\tCtrl+V", "&Paste\tCtrl+V", "&Paste\tCtrl+V"},
     "Insert Clipboard contents", K{"Ctrl+V", "Shift+Ins"}),
    command(ID_PASTE_BEAUTIFIED, T{kNone, "Paste Beautified", kNone, kNone},
     "Format the text in the clipboard and paste it", K{}),
    command(ID_EDIT_FIND, T{kNone, "Find\tCtrl+F", kNone, kNone},
     "Find the specified text", K{"Ctrl+F", kNone}),
    command(ID_EDIT_REPEAT, T{kNone, "Find &Next\tF3", kNone, kNone},
     "Find the next occurrence of the specified text", K{"F3", kNone}),
    command(ID_EDIT_FIND_PREVIOUS, T{kNone, "Find Pre&vious\tShift+F3", kNone, kNone},
     "Find the previous occurrence of the specified text", K{"Shift+F3", kNone}),
    command(ID_EDIT_REPLACE, T{kNone, "&Replace\tCtrl+H", kNone, kNone},
     "Replace specific text with different text", K{"Ctrl+H", kNone}),
    command(ID_EDIT_GOTO_LINE, T{kNone, "&Go To Line...\tCtrl+G", kNone, kNone},
     "Move the caret to a line of the given number", K{"Ctrl+G", kNone}),
    command(ID_EDIT_SELECT_ALL, T{kNone, "Select &All", kNone, kNone},
     "Select the entire document", K{}),

    command(ID_BEAUTIFY, T{kNone, "&Beautify", "&Beautify", kNone},
     "Beautify the SQL statements", K{}),
    command(ID_BEAUTIFY_N_COPY, T{kNone, "Beautify &N Copy", "Beautify &N Copy", kNone},
     "Format the SQL and copy the text to the clipboard", K{}),
    command(ID_BATCH_JOB, T{"Batch job", "Batch job", kNone, kNone},
     "Beatify a list of SQL  files", K{}),
    command(IDC_BATCH, T{}, kNone, K{}),
    command(ID_FORMAT_OPTIONS, T{"Format &Options", "Beautify &Options", "Beautify &Options", kNone},
     "Set options for SQL formatting style", K{}),
    command(ID_LAYOUT_EXTRAS, T{"Layout &Extras...", "Layout &Extras...", "Layout &Extras...", kNone},
     "Set the modern layout extras and format on save", K{}),
    command(IDC_OPTION, T{}, kNone, K{}),
    command(ID_SAVE_OPTIONS, T{"Save Options", "Save Options", "Save Options", kNone},
     "Save the formatting options", K{}),

    command(ID_VIEW_TOOLBAR, T{"&Toolbar", "&Toolbar", "&Toolbar", kNone},
     "Show or hide the toolbar", K{}),
    command(ID_VIEW_STATUS_BAR, T{"&Status Bar", "&Status Bar", "&Status Bar", kNone},
     "Show or hide the status bar", K{}),
    command(ID_WINDOW_NEW, T{kNone, kNone, "&New Window", kNone},
     "Open another window for the active document", K{}),
    command(ID_WINDOW_CASCADE, T{kNone, "&Cascade", "&Cascade", kNone},
     "Arrange windows so they overlap", K{}),
    command(ID_WINDOW_TILE_HORZ, T{kNone, "&Tile", "&Tile", kNone},
     "Arrange windows as non-overlapping tiles", K{}),
    command(ID_WINDOW_ARRANGE, T{kNone, "&Arrange Icons", "&Arrange Icons", kNone},
     "Arrange icons at the bottom of the window", K{}),
    command(ID_WINDOW_NEXT, T{kNone, "Ne&xt Window\tCtrl+F6", "Ne&xt Window\tCtrl+F6", kNone},
     "Switch to the next document window", K{"Ctrl+F6", "Ctrl+Tab"}),
    command(ID_WINDOW_TABBED, T{kNone, "Ta&bbed", "Ta&bbed", kNone},
     "Show the document windows as tabs", K{}),

    command(ID_HELP_INDEX, T{"&Index", "Index", "&Index", "&Index"},
     "List Help topics", K{}),
    command(ID_HELP_USING, T{"&Using Help", kNone, "&Using Help", "&Using Help"},
     "Display instructions about how to use help", K{}),
    command(ID_HELP, T{}, "Display help for current task or command", K{"F1", kNone}),
    command(ID_CONTEXT_HELP, T{},
     "Display help for clicked on buttons, menus and windows", K{"Shift+F1", kNone}),
    // Pane keys of a document opened from a container: its window has one
    // pane, so they find nothing to switch to.
    command(ID_NEXT_PANE, T{}, kNone, K{}),
    command(ID_PREV_PANE, T{}, kNone, K{}),
    command(ID_APP_ABOUT, T{"&About Prax...", "&About Prax...", "&About Prax...", "&About Prax..."},
     "Display program information, version number and copyright", K{}),
};

constexpr int S = kSeparator;

const std::vector<MenuPopup> kMenuM = {
    {"&File", {ID_FILE_NEW, ID_FILE_OPEN, S, ID_FILE_PRINT_SETUP, S, ID_FILE_MRU_FILE1, S, ID_APP_EXIT}},
    {"&View", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}},
    {"&Options", {ID_FORMAT_OPTIONS, ID_LAYOUT_EXTRAS, ID_SAVE_OPTIONS}},
    {"&Beautify", {ID_BATCH_JOB}},
    {"&Help", {ID_HELP_INDEX, ID_HELP_USING, S, ID_APP_ABOUT}},
};

const std::vector<MenuPopup> kMenuD = {
    {"&File", {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, S, ID_FILE_PRINT,
               ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, ID_FILE_SEND_MAIL, S, ID_FILE_MRU_FILE1, S,
               ID_APP_EXIT}},
    {"&Edit", {ID_EDIT_UNDO, ID_EDIT_REDO, S, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_CLEAR, ID_EDIT_PASTE,
               ID_PASTE_BEAUTIFIED, ID_EDIT_FIND, ID_EDIT_REPEAT, ID_EDIT_FIND_PREVIOUS, ID_EDIT_REPLACE,
               ID_EDIT_GOTO_LINE, ID_EDIT_SELECT_ALL}},
    {"&Beautify", {ID_BEAUTIFY, ID_BEAUTIFY_N_COPY, ID_BATCH_JOB}},
    {"&Options", {ID_FORMAT_OPTIONS, ID_LAYOUT_EXTRAS, ID_SAVE_OPTIONS}},
    {"&View", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}},
    {"&Window", {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE, ID_WINDOW_NEXT, S, ID_WINDOW_TABBED,
                 kWindowListMarker}},
    {"&Help", {ID_HELP_INDEX, ID_APP_ABOUT}},
};

const std::vector<MenuPopup> kMenuE = {
    {"&File", {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_UPDATE, ID_FILE_SAVE_COPY_AS, S, ID_FILE_PRINT,
               ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, S, ID_FILE_MRU_FILE1, S, ID_APP_EXIT}},
    {"&Edit", {ID_EDIT_UNDO, ID_EDIT_REDO, S, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}},
    {"&Beautify", {ID_BEAUTIFY, ID_BEAUTIFY_N_COPY}},
    {"&Options", {ID_FORMAT_OPTIONS, ID_LAYOUT_EXTRAS, ID_SAVE_OPTIONS}},
    {"&View", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}},
    {"&Window", {ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE, ID_WINDOW_NEXT, S,
                 ID_WINDOW_TABBED, kWindowListMarker}},
    {"&Help", {ID_HELP_INDEX, ID_HELP_USING, S, ID_APP_ABOUT}},
};

// The in-place menu leaves two separators between its popups for the
// container's own groups; a popup without a title stands for them here.
const std::vector<MenuPopup> kMenuI = {
    {"&Edit", {ID_EDIT_UNDO, ID_EDIT_REDO, S, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}},
    {nullptr, {}},
    {nullptr, {}},
    {"&Help", {ID_HELP_INDEX, ID_HELP_USING, S, ID_APP_ABOUT}},
};

const std::vector<int> kToolbar = {
    ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, S, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, S,
    ID_EDIT_FIND, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_UNDO, S, ID_BEAUTIFY,
    ID_BEAUTIFY_N_COPY, ID_PASTE_BEAUTIFIED, S, ID_FORMAT_OPTIONS, ID_BATCH_JOB, S, ID_APP_ABOUT,
};

// The editing keys that every document key table has.
#define PRAX_EDITING_KEYS                                                                          \
    {"Ctrl+Z", ID_EDIT_UNDO}, {"Alt+Backspace", ID_EDIT_UNDO}, {"Ctrl+Y", ID_EDIT_REDO},            \
        {"Ctrl+Shift+Z", ID_EDIT_REDO}, {"Ctrl+X", ID_EDIT_CUT},                                      \
        {"Shift+Del", ID_EDIT_CUT}, {"Ctrl+C", ID_EDIT_COPY}, {"Ctrl+Ins", ID_EDIT_COPY},           \
        {"Ctrl+V", ID_EDIT_PASTE}, {"Shift+Ins", ID_EDIT_PASTE}

// Opened from a container: Ctrl+S updates the container instead of saving.
const std::vector<Accelerator> kKeysE = {
    {"Ctrl+N", ID_FILE_NEW}, {"Ctrl+O", ID_FILE_OPEN}, {"Ctrl+S", ID_FILE_UPDATE}, {"Ctrl+P", ID_FILE_PRINT},
    {"Ctrl+F4", ID_FILE_CLOSE},
    PRAX_EDITING_KEYS,
    {"F6", ID_NEXT_PANE}, {"Shift+F6", ID_PREV_PANE}, {"Ctrl+F6", ID_WINDOW_NEXT}, {"Ctrl+Tab", ID_WINDOW_NEXT},
    {"Shift+F1", ID_CONTEXT_HELP}, {"F1", ID_HELP},
};

// In place: the container keeps every other key.
const std::vector<Accelerator> kKeysI = {
    PRAX_EDITING_KEYS,
    {"Shift+F1", ID_CONTEXT_HELP}, {"F1", ID_HELP},
};
#undef PRAX_EDITING_KEYS
// clang-format on

std::vector<Accelerator> mainKeys()
{
    std::vector<Accelerator> keys;
    for (const CommandEntry &entry : kCommands) {
        for (const char *key : entry.keys) {
            if (key)
                keys.push_back({key, entry.id});
        }
    }
    return keys;
}

} // namespace

const std::vector<Accelerator> &acceleratorTable(MenuVariant variant)
{
    static const std::vector<Accelerator> keysMD = mainKeys();
    switch (variant) {
    case MenuVariant::M:
    case MenuVariant::D: return keysMD;
    case MenuVariant::E: return kKeysE;
    case MenuVariant::I: return kKeysI;
    }
    return keysMD;
}

const std::vector<CommandEntry> &commandTable()
{
    return kCommands;
}

const CommandEntry *findCommand(int id)
{
    auto it = std::find_if(kCommands.begin(), kCommands.end(), [id](const CommandEntry &e) { return e.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

const std::vector<MenuPopup> &menuLayout(MenuVariant variant)
{
    switch (variant) {
    case MenuVariant::M: return kMenuM;
    case MenuVariant::D: return kMenuD;
    case MenuVariant::E: return kMenuE;
    case MenuVariant::I: return kMenuI;
    }
    return kMenuM;
}

const std::vector<int> &toolbarLayout()
{
    return kToolbar;
}

bool commandEnabled(int id, const CommandState &state)
{
    switch (commandOwner(id)) {
    case CommandOwner::None: return false;
    case CommandOwner::App:
        if (!state.app)
            return false;
        break;
    case CommandOwner::Frame:
    case CommandOwner::AnyFrame: break;
    case CommandOwner::Doc:
        if (!state.document)
            return false;
        break;
    case CommandOwner::View:
        if (!state.view)
            return false;
        break;
    }
    switch (id) {
    case ID_FILE_UPDATE:
    case ID_FILE_SAVE_COPY_AS: return state.embedded;
    case ID_EDIT_UNDO: return state.undo;
    case ID_EDIT_REDO: return state.redo;
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_CLEAR: return state.selection;
    case ID_EDIT_PASTE: return state.clipboardText;
    case ID_PASTE_BEAUTIFIED: return true; // no rule of its own: enabled with the view
    case ID_EDIT_FIND:
    case ID_EDIT_REPLACE:
    case ID_EDIT_SELECT_ALL:
    case ID_BEAUTIFY:
    case ID_BEAUTIFY_N_COPY: return state.text;
    case ID_EDIT_REPEAT:
    case ID_EDIT_FIND_PREVIOUS: return state.text && state.searched;
    case ID_WINDOW_NEW: return false; // a document has one window
    case ID_NEXT_PANE:
    case ID_PREV_PANE: return false; // ... and its window one pane
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_ARRANGE: return state.documentWindows && !state.tabbed; // tabs have no place to arrange
    case ID_WINDOW_NEXT: return state.documentWindows;
    default: return true;
    }
}
