// The editor view of one document: a QScintilla editor holding the document's
// text as raw bytes, with the three formatting commands (Beautify, Beautify N
// Copy, Paste Beautified), the editing commands, printing and the context menu.
//
// Text is bytes. The editor runs in UTF-8 mode for display only; text moves in
// and out through byte-length Scintilla calls, never through a codec, so CR LF,
// NUL and bytes 128-255 (valid UTF-8 or not) survive every load, edit,
// Beautify and save. Positions are byte offsets; CR and LF count one each.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <Qsci/qsciscintilla.h>

#include "app/beautify.h"
#include "app/commands.h"

class QsciPrinter;

// The printer that Print Setup configures and that Print and Print Preview use,
// so a choice made in Print Setup holds for later commands. Lives until the
// QApplication ends.
QsciPrinter &praxPrinter();

class CPraxDoc;
class QDialog;
class QMenu;
class QMimeData;

// The local files a drag carries (file URLs), in order; empty when it
// carries none, e.g. a drag of text.
QStringList droppedFiles(const QMimeData *data);

class CPraxView : public QsciScintilla
{
    Q_OBJECT

public:
    // Registers itself with `doc` (doc->setView(this)).
    explicit CPraxView(CPraxDoc *doc, QWidget *parent = nullptr);
    ~CPraxView() override;

    CPraxDoc *GetDocument() const;

    // The whole text, byte for byte.
    QByteArray textBytes() const;
    // Replaces the whole text by `bytes` as a load does: no undo history, the
    // document's modified flag untouched, caret at the start. New lines typed
    // afterwards take the line end of the text's first line (CR LF when that
    // one ends in CR LF, even in a text of mixed ends; LF when it has none,
    // as a new document has).
    void setTextBytes(const QByteArray &bytes);

    // Replaces the whole text by `bytes` as one undo step (a reload from
    // disk: Undo brings back the text as it was), the caret kept on its line
    // and new lines taking the new text's line end. False (nothing changed)
    // for a text over kMaxTextBytes.
    bool replaceTextBytes(const QByteArray &bytes);
    // The line end that Enter inserts: "LF", "CRLF" or "CR".
    QString lineEndName() const;

    // Records the text as it stands as the saved text: an undo or redo that
    // comes back to it marks the document unmodified.
    void markSavePoint();

    // The selection as byte offsets; start == end when nothing is selected.
    void selectionBytes(int &start, int &end) const;
    // Selects [start, end) and scrolls the caret into view.
    void setSelectionBytes(int start, int end);
    // The bytes of the selection (empty when nothing is selected).
    QByteArray selectedBytes() const;

    // The view's part of the enabling rules (commandEnabled), for menus,
    // toolbars and the context menu.
    CommandState commandState() const;
    // Single facts of that state.
    bool canBeautify() const;     // Beautify and Beautify N Copy: the text is not empty
    bool canUndo() const;         // Undo: the editor has something to undo
    bool hasSelection() const;    // Cut, Copy and Clear: a non-empty selection
    bool canPaste() const;        // Paste: the clipboard holds text
    bool canFind() const;         // Select All, Find, Replace: the text is not empty
    bool canRepeat() const;       // Repeat: the text is not empty and a search was made

    // Builds the context menu for the view's present state; the caller owns
    // (and deletes) it. Its actions run the view's commands.
    QMenu *createContextMenu();

    // Search state shared by Find, Replace and Repeat.
    struct SearchState {
        QString text;
        bool matchCase = false;
        bool wholeWord = false;
        bool forward = true;
        bool valid = false; // a search text was given
    };
    // Finds the next match of `search` from the selection (wrapping at the
    // end) and selects it; remembers `search` for Repeat.
    bool findNext(const SearchState &search);
    // Replaces the selection when it matches `search`, then finds the next one.
    bool replaceNext(const SearchState &search, const QString &replacement);
    // Replaces every match in the text (from the start, none overlapping) in
    // one pass over its bytes, as one Undo step; returns the count, or -1
    // (after saying so) when the text would grow past kMaxTextBytes.
    int replaceAll(const SearchState &search, const QString &replacement);

    // Format on save: Beautify of the whole text, whatever is selected, as
    // one Undo step that keeps the caret's line; `hostSource` for a file of
    // host-language source. Shows no message box: when the text stays as it
    // is, returns false with the reason (the engine's own message).
    bool beautifyForSave(bool hostSource, QString &reason);

    // Column of byte position `pos` counted from the line start, a tab
    // counting as one column (unlike SCI_GETCOLUMN, which expands tabs).
    static int selectionColumn(const QByteArray &text, int pos);

public slots:
    void OnBeautify();
    void OnBeautifyNCopy();
    void OnPasteBeautified();

    void OnEditUndo();
    void OnEditRedo();
    void OnEditFindPrevious();
    void OnEditGoToLine();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditClear();
    void OnEditSelectAll();
    void OnEditFind();
    void OnEditReplace();
    void OnEditRepeat();

    void OnFilePrint();
    void OnFilePrintPreview();

    // Runs the view's command `id` (a PRAX_VIEW_COMMANDS id); false for any other.
    bool runCommand(int id);

signals:
    // The enabled state of one of the view's commands may have changed
    // (text, selection, undo history or clipboard).
    void commandStateChanged();
    // Local files were dropped on the view: they are to be opened as
    // documents, not inserted as text.
    void filesDropped(const QStringList &paths);
    // A command finished and says so ("The formatted text is copied into the
    // clipboard."): for the frame's status bar, not a box to click away.
    void commandMessage(const QString &text);

protected:
    void contextMenuEvent(QContextMenuEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    // A new palette (the desktop switched to a dark theme) recolours the text.
    void changeEvent(QEvent *e) override;

    // Clipboard and drag-and-drop carry the raw bytes (see praxview.cpp).
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    QByteArray fromMimeData(const QMimeData *source, bool &rectangular) const override;
    QMimeData *toMimeData(const QByteArray &text, bool rectangular) const override;

private:
    void setUp();
    // Paper, text, margin, selection and SQL colours from the palette.
    void applyPaletteColours();
    // Beautify proper; false after any failure (its message already shown).
    bool beautify(bool &hadSelection);
    // The formatting of [start, end) of `text` (the whole text when empty) and the
    // putting of a result into the editor as one Undo step, shared by
    // Beautify and format on save.
    prax::BeautifyResult formatBytes(const QByteArray &text, int start, int end, bool hostSource) const;
    void putFormatted(const prax::BeautifyResult &result, bool selection);
    // Replaces the whole text by `bytes` as one undo step, keeping the place
    // as keepPlace does. False (nothing changed) when replaceRangeBytes refuses.
    bool replaceAllKeepingPlace(const QByteArray &bytes);
    // After a whole-text Beautify: caret at the start of line `caretLine`
    // (clamped), first visible line `firstVisible` as far as the caret allows.
    void keepPlace(long caretLine, long firstVisible);
    // Replaces the bytes [from, to) by `bytes` as one undo step that, when
    // undone, selects again what was selected before. Refuses (a beep, false,
    // nothing changed) a replacement that would pass kMaxTextBytes.
    bool replaceRangeBytes(int from, int to, const QByteArray &bytes);
    void onScintillaModified(int pos, int mtype, const char *text, int len, int added,
                             int line, int foldNow, int foldPrev, int token, int annotationLinesAdded);
    void applyEolModeFrom(const QByteArray &bytes);
    void updateLineNumberWidth();
    // The document's file is host-language source (.c, .pc, ...).
    bool isHostSource() const;
    void showSearchDialog(bool withReplace);

    QPointer<CPraxDoc> m_doc;
    bool m_loading = false;        // setTextBytes in progress: not a user change
    SearchState m_search;          // last Find/Replace
    QPointer<QDialog> m_searchDialog; // the open Find or Replace dialog
    // Selections before each formatting command, by undo token; an Undo that
    // takes back such a command restores its selection.
    QList<QPair<int, int>> m_undoSelections;
    int m_pendingUndoToken = 0;
    // Line ends (SC_EOL_*) before and after a reload that changed them, by
    // undo token: Undo and Redo of the reload take them back and forth.
    QHash<int, QPair<long, long>> m_eolChanges;
};
