// The editor's commands, listed once. Every command id, its name, the object
// that carries it out, the member function that does it and whether a
// container may send it over the session bus come from the lists below; the
// id enum, the name lookup, the bus's allow list and each owner's handler
// table are expanded from them, so they cannot disagree.
//
// Each owner expands its own list into a table of member-function pointers
// (CommandHandler below): a handler name that does not exist in its class is
// a compile error, not a command that silently does nothing. Nothing here
// depends on Qt or on the classes named.
#pragma once

#include <cstddef>

// X(id, value, handler, remote): remote is Remote when a container may send
// the command (CEmbedServer::RunCommand), else Local.

// Carried out by the application object (CPraxApp).
#define PRAX_APP_COMMANDS(X)                                                                                           \
    X(ID_FILE_NEW, 57600, OnFileNew, Local)                                                                            \
    X(ID_FILE_OPEN, 57601, OnFileOpen, Local)                                                                          \
    X(ID_FILE_PRINT_SETUP, 57606, OnFilePrintSetup, Local)                                                             \
    X(ID_APP_ABOUT, 57664, OnAppAbout, Local)                                                                          \
    X(ID_APP_EXIT, 57665, OnAppExit, Local)

// Carried out by the main frame (CMainFrame).
#define PRAX_FRAME_COMMANDS(X)                                                                                         \
    X(ID_WINDOW_NEW, 57648, OnWindowNew, Local)                                                                        \
    X(ID_WINDOW_ARRANGE, 57649, OnWindowArrange, Local)                                                                \
    X(ID_WINDOW_CASCADE, 57650, OnWindowCascade, Local)                                                                \
    X(ID_WINDOW_TILE_HORZ, 57651, OnWindowTile, Local)                                                                 \
    X(ID_WINDOW_NEXT, 32784, OnWindowNext, Local)                                                                      \
    X(ID_WINDOW_TABBED, 32795, OnWindowTabbed, Local)                                                                  \
    X(ID_NEXT_PANE, 57680, OnNextPane, Local)                                                                          \
    X(ID_PREV_PANE, 57681, OnPrevPane, Local)                                                                          \
    X(ID_VIEW_TOOLBAR, 59392, OnViewToolbar, Local)                                                                    \
    X(ID_VIEW_STATUS_BAR, 59393, OnViewStatusBar, Local)                                                               \
    X(ID_BATCH_JOB, 32773, OnBatchJob, Local)                                                                          \
    X(ID_FORMAT_OPTIONS, 32780, OnFormatOptions, Local)                                                                \
    X(ID_SAVE_OPTIONS, 32781, OnSaveOptions, Local)                                                                    \
    X(ID_LAYOUT_EXTRAS, 32800, OnLayoutExtras, Local)                                                                  \
    X(IDC_OPTION, 1002, OnFormatOptions, Local)                                                                        \
    X(IDC_BATCH, 1015, OnBatchJob, Local)

// Help, carried out by whichever frame the command arrives in (the main
// frame or the in-place frame).
#define PRAX_HELP_COMMANDS(X)                                                                                          \
    X(ID_HELP_INDEX, 57666, OnHelpIndex, Local)                                                                        \
    X(ID_HELP_USING, 57668, OnHelpUsing, Local)                                                                        \
    X(ID_CONTEXT_HELP, 57669, OnContextHelp, Local)                                                                    \
    X(ID_HELP, 57670, OnHelp, Local)                                                                                   \
    X(ID_DEFAULT_HELP, 57671, OnHelpIndex, Local) /* help index while editing in place */

// Carried out by the active document window (CChildFrame).
#define PRAX_DOC_COMMANDS(X)                                                                                           \
    X(ID_FILE_CLOSE, 57602, OnFileClose, Local)                                                                        \
    X(ID_FILE_SAVE, 57603, OnFileSave, Local)                                                                          \
    X(ID_FILE_SAVE_AS, 57604, OnFileSaveAs, Local)                                                                     \
    X(ID_FILE_UPDATE, 57610, OnUpdateDocument, Remote)                                                                 \
    X(ID_FILE_SAVE_COPY_AS, 57611, OnFileSaveCopyAs, Local)                                                            \
    X(ID_FILE_SEND_MAIL, 57612, OnFileSendMail, Local)

// Carried out by the active view (CPraxView).
#define PRAX_VIEW_COMMANDS(X)                                                                                          \
    X(ID_FILE_PRINT, 57607, OnFilePrint, Local)                                                                        \
    X(ID_FILE_PRINT_PREVIEW, 57609, OnFilePrintPreview, Local)                                                         \
    X(ID_EDIT_CLEAR, 57632, OnEditClear, Local)                                                                        \
    X(ID_EDIT_COPY, 57634, OnEditCopy, Local)                                                                          \
    X(ID_EDIT_CUT, 57635, OnEditCut, Local)                                                                            \
    X(ID_EDIT_FIND, 57636, OnEditFind, Local)                                                                          \
    X(ID_EDIT_PASTE, 57637, OnEditPaste, Local)                                                                        \
    X(ID_EDIT_REPEAT, 57638, OnEditRepeat, Local)                                                                      \
    X(ID_EDIT_REPLACE, 57641, OnEditReplace, Local)                                                                    \
    X(ID_EDIT_SELECT_ALL, 57642, OnEditSelectAll, Remote)                                                              \
    X(ID_EDIT_UNDO, 57643, OnEditUndo, Remote)                                                                         \
    X(ID_EDIT_REDO, 57644, OnEditRedo, Local)                                                                          \
    X(ID_EDIT_FIND_PREVIOUS, 32785, OnEditFindPrevious, Local)                                                         \
    X(ID_EDIT_GOTO_LINE, 32786, OnEditGoToLine, Local)                                                                 \
    X(ID_BEAUTIFY, 32771, OnBeautify, Remote)                                                                          \
    X(ID_PASTE_BEAUTIFIED, 32772, OnPasteBeautified, Local)                                                            \
    X(ID_BEAUTIFY_N_COPY, 32778, OnBeautifyNCopy, Remote)

// Ids without a handler of their own: the "Recent File" place holder, whose
// entries 57616..57619 open the recent files.
#define PRAX_OTHER_IDS(X) X(ID_FILE_MRU_FILE1, 57616, None, Local)

#define PRAX_ALL_COMMANDS(X)                                                                                           \
    PRAX_APP_COMMANDS(X)                                                                                               \
    PRAX_FRAME_COMMANDS(X)                                                                                             \
    PRAX_HELP_COMMANDS(X)                                                                                              \
    PRAX_DOC_COMMANDS(X)                                                                                               \
    PRAX_VIEW_COMMANDS(X)                                                                                              \
    PRAX_OTHER_IDS(X)

// Command identifiers, numbered as the documents of older versions saved them
// in their menus and key tables.
enum CommandId : int {
#define PRAX_ID_ENUM(id, value, handler, remote) id = value,
    PRAX_ALL_COMMANDS(PRAX_ID_ENUM)
#undef PRAX_ID_ENUM
    // Entries of the Window menu's list of open windows start here.
    ID_WINDOW_LIST_FIRST = 65280,
};

// Who carries out a command: the application object, the main frame, the
// frame the command arrives in (help), the active document window or the
// active view; None for an id without a handler.
enum class CommandOwner { None, App, Frame, AnyFrame, Doc, View };

// The number of entries of the recent-file list (ids 57616..57619).
inline constexpr int kRecentFileCount = 4;

// clang-format off
#define PRAX_APP_CASE(cid, value, handler, remote) case cid: return CommandOwner::App;
#define PRAX_FRAME_CASE(cid, value, handler, remote) case cid: return CommandOwner::Frame;
#define PRAX_HELP_CASE(cid, value, handler, remote) case cid: return CommandOwner::AnyFrame;
#define PRAX_DOC_CASE(cid, value, handler, remote) case cid: return CommandOwner::Doc;
#define PRAX_VIEW_CASE(cid, value, handler, remote) case cid: return CommandOwner::View;
// clang-format on
constexpr CommandOwner commandOwner(int id)
{
    switch (id) {
        PRAX_APP_COMMANDS(PRAX_APP_CASE)
        PRAX_FRAME_COMMANDS(PRAX_FRAME_CASE)
        PRAX_HELP_COMMANDS(PRAX_HELP_CASE)
        PRAX_DOC_COMMANDS(PRAX_DOC_CASE)
        PRAX_VIEW_COMMANDS(PRAX_VIEW_CASE)
    default: return CommandOwner::None;
    }
}
#undef PRAX_APP_CASE
#undef PRAX_FRAME_CASE
#undef PRAX_HELP_CASE
#undef PRAX_DOC_CASE
#undef PRAX_VIEW_CASE

// The identifier's name ("ID_BEAUTIFY"), for messages; nullptr for an
// unknown id.
constexpr const char *commandName(int id)
{
    switch (id) {
#define PRAX_NAME_CASE(cid, value, handler, remote)                                                                    \
    case cid: return #cid;
        PRAX_ALL_COMMANDS(PRAX_NAME_CASE)
#undef PRAX_NAME_CASE
    default: return nullptr;
    }
}

// The name of the member function that carries out `id` ("OnBeautify"), for
// messages; nullptr for an id without one.
constexpr const char *commandHandlerName(int id)
{
    switch (id) {
#define PRAX_HANDLER_CASE(cid, value, handler, remote)                                                                 \
    case cid: return #handler;
        PRAX_APP_COMMANDS(PRAX_HANDLER_CASE)
        PRAX_FRAME_COMMANDS(PRAX_HANDLER_CASE)
        PRAX_HELP_COMMANDS(PRAX_HANDLER_CASE)
        PRAX_DOC_COMMANDS(PRAX_HANDLER_CASE)
        PRAX_VIEW_COMMANDS(PRAX_HANDLER_CASE)
#undef PRAX_HANDLER_CASE
    default: return nullptr;
    }
}

// The bus's allow list: true for the commands a container may send.
constexpr bool isRemoteCommand(int id)
{
    constexpr bool Remote = true, Local = false;
    switch (id) {
#define PRAX_REMOTE_CASE(cid, value, handler, remote)                                                                  \
    case cid: return remote;
        PRAX_ALL_COMMANDS(PRAX_REMOTE_CASE)
#undef PRAX_REMOTE_CASE
    default: return false;
    }
}

// One owner's handler table: each id of its list with the member function
// that carries it out. `Class` must have every handler its list names.
template <class Class> struct CommandHandler {
    int id;
    void (Class::*run)();
};

// Each owner expands its own list into its table, e.g. in praxview.cpp:
//     #define PRAX_VIEW_HANDLER(id, value, handler, remote) {id, &CPraxView::handler},
//     constexpr CommandHandler<CPraxView> kViewHandlers[] = {PRAX_VIEW_COMMANDS(PRAX_VIEW_HANDLER)};

// Runs `id` on `target` from its handler table; false when the table has no
// entry for it.
template <class Class, std::size_t N> bool runOwnCommand(Class *target, const CommandHandler<Class> (&table)[N], int id)
{
    for (const CommandHandler<Class> &handler : table) {
        if (handler.id == id) {
            (target->*handler.run)();
            return true;
        }
    }
    return false;
}
