// The editor view: QScintilla set-up, raw-bytes text access, the formatting
// commands, the editing commands, printing and the context menu (the Find and
// Replace dialog and Replace All are in findreplace.cpp).
//
// The formatting commands pass text through the engine's file interface:
// write the text to a temporary file, format_file into a second one, read the
// result back. Nothing here may leave starting_indentation changed, a
// temporary file behind, or the editor holding a half-assembled text.
#include "app/praxview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QTimer>
#include <QUtf8StringView>
#include <Qsci/qscilexersql.h>
#include <Qsci/qsciprinter.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include "app/fileops.h"
#include "app/findreplace.h"
#include "app/msgbox.h"
#include "app/praxdoc.h"
#include "engine/engine.h"
#include "engine/options.h"

namespace {

// Clipboard format carrying the exact bytes of a copy, beside the ordinary
// text: the text form cannot hold invalid UTF-8 or NUL bytes unchanged.
const QString kRawTextMime = QStringLiteral("application/x-prax-text");

std::string_view asView(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Undoes the process-wide changes of a formatting command on every way out:
// the wait cursor, the user's starting_indentation and the temporary files.
class CommandScope
{
public:
    CommandScope(bool waitCursor, bool keepIndentation)
        : m_waitCursor(waitCursor), m_keepIndentation(keepIndentation),
          m_savedIndentation(prax::format_options.starting_indentation)
    {
        if (m_waitCursor)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~CommandScope()
    {
        prax::remove_temp_names();
        if (m_keepIndentation)
            prax::format_options.starting_indentation = m_savedIndentation;
        if (m_waitCursor)
            QApplication::restoreOverrideCursor();
    }
    CommandScope(const CommandScope &) = delete;
    CommandScope &operator=(const CommandScope &) = delete;

private:
    bool m_waitCursor;
    bool m_keepIndentation;
    int m_savedIndentation;
};

// The bytes a clipboard or drag holds as text, or a null array when none.
QByteArray mimeTextBytes(const QMimeData *source)
{
    if (!source)
        return QByteArray();
    if (source->hasFormat(kRawTextMime))
        return source->data(kRawTextMime);
    if (source->hasText())
        return source->text().toUtf8();
    return QByteArray();
}

bool mimeHasText(const QMimeData *source)
{
    return source && (source->hasFormat(kRawTextMime) || source->hasText());
}

} // namespace

CPraxView::CPraxView(CPraxDoc *doc, QWidget *parent)
    : QsciScintilla(parent), m_doc(doc)
{
    setUp();
    if (doc)
        doc->setView(this);
}

CPraxView::~CPraxView() = default;

void CPraxView::setUp()
{
    setUtf8(true);                                 // display bytes as UTF-8; text itself stays bytes
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto *lexer = new QsciLexerSQL(this);          // SQL highlighting, in the fixed-pitch font
    lexer->setDefaultFont(fixed);
    lexer->setFont(fixed, -1);
    setLexer(lexer);
    setFont(fixed);
    setTabWidth(8);                                // tab stops every 8 columns
    setIndentationsUseTabs(true);                  // Tab inserts a tab character
    setAutoIndent(false);                          // Enter inserts a bare line end
    setWrapMode(WrapNone);                         // long lines scroll horizontally
    setMarginLineNumbers(0, true);                 // line numbers in the first margin
    updateLineNumberWidth();
    setMarginWidth(1, 0);                          // no symbol margin
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 0L); // pasted line ends go in unchanged
    SendScintilla(SCI_SETEOLMODE, static_cast<long>(SC_EOL_LF));
    setContextMenuPolicy(Qt::DefaultContextMenu);  // our own menu, see contextMenuEvent

    connect(this, &QsciScintilla::textChanged, this, [this] {
        if (!m_loading && m_doc)
            m_doc->SetModifiedFlag(true);
        emit commandStateChanged();
    });
    connect(this, &QsciScintilla::selectionChanged, this, &CPraxView::commandStateChanged);
    connect(this, &QsciScintilla::linesChanged, this, &CPraxView::updateLineNumberWidth);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CPraxView::commandStateChanged);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &CPraxView::onScintillaModified);
}

void CPraxView::updateLineNumberWidth()
{
    // Room for the largest line number plus one digit, so the margin does
    // not jump at every power of ten.
    const int digits = QString::number(std::max(lines(), 1)).size() + 1;
    setMarginWidth(0, QString(std::max(digits, 4), QLatin1Char('0')));
}

CPraxDoc *CPraxView::GetDocument() const
{
    return m_doc;
}

QByteArray CPraxView::textBytes() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    QByteArray bytes(length + 1, Qt::Uninitialized);
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), bytes.data());
    bytes.resize(length);
    return bytes;
}

void CPraxView::setTextBytes(const QByteArray &bytes)
{
    m_loading = true;
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0L);
    applyEolModeFrom(bytes);
    m_undoSelections.clear();
    m_loading = false;
    emit commandStateChanged();
}

void CPraxView::applyEolModeFrom(const QByteArray &bytes)
{
    // A file written on Windows keeps its CR LF for new lines as well.
    const qsizetype lf = bytes.indexOf('\n');
    long mode = SC_EOL_LF;
    if (lf > 0 && bytes.at(lf - 1) == '\r')
        mode = SC_EOL_CRLF;
    else if (lf < 0 && bytes.contains('\r'))
        mode = SC_EOL_CR;
    SendScintilla(SCI_SETEOLMODE, mode);
}

void CPraxView::selectionBytes(int &start, int &end) const
{
    start = static_cast<int>(SendScintilla(SCI_GETSELECTIONSTART));
    end = static_cast<int>(SendScintilla(SCI_GETSELECTIONEND));
}

void CPraxView::setSelectionBytes(int start, int end)
{
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(start), static_cast<long>(end));
    SendScintilla(SCI_SCROLLCARET);
}

QByteArray CPraxView::selectedBytes() const
{
    int start, end;
    selectionBytes(start, end);
    if (end <= start)
        return QByteArray();
    const auto *bytes = reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), static_cast<long>(end - start)));
    return QByteArray(bytes, end - start);
}

int CPraxView::selectionColumn(const QByteArray &text, int pos)
{
    // "\tSELECT" with the selection at S: the tab counts one, so the column is 1.
    int column = 0;
    for (int i = pos - 1; i >= 0 && text.at(i) != '\n'; --i)
        ++column;
    return column;
}

bool CPraxView::canBeautify() const
{
    return SendScintilla(SCI_GETLENGTH) > 0;
}

bool CPraxView::canUndo() const
{
    return isUndoAvailable();
}

bool CPraxView::hasSelection() const
{
    int start, end;
    selectionBytes(start, end);
    return end > start;
}

bool CPraxView::canPaste() const
{
    return mimeHasText(QApplication::clipboard()->mimeData());
}

bool CPraxView::canFind() const
{
    return SendScintilla(SCI_GETLENGTH) > 0;
}

bool CPraxView::canRepeat() const
{
    return canFind() && m_search.valid;
}

// ---- Formatting commands ------------------------------------------------

bool CPraxView::replaceRangeBytes(int from, int to, const QByteArray &bytes)
{
    // Checked before anything changes: the editor deletes the range before it
    // inserts, so a refused insertion would otherwise lose the selection.
    if (bytes.size() - (to - from) > CPraxDoc::kMaxTextBytes - SendScintilla(SCI_GETLENGTH)) {
        QApplication::beep();
        return false;
    }
    // One undo group, so that one Undo takes the whole command back. The
    // container action at its start carries the selection to restore then.
    int selStart, selEnd;
    selectionBytes(selStart, selEnd);
    m_undoSelections.append(qMakePair(selStart, selEnd));
    const long token = m_undoSelections.size();
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_ADDUNDOACTION, token, 0L);
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), static_cast<long>(to));
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()), bytes.constData());
    SendScintilla(SCI_ENDUNDOACTION);
    return true;
}

void CPraxView::onScintillaModified(int, int mtype, const char *, int length, int, int, int, int, int token, int)
{
    if ((mtype & SC_MOD_INSERTCHECK) && !m_loading) {
        // The text holds at most kMaxTextBytes bytes, like the edit control it
        // replaces: an insertion that does not fit is refused whole (a paste
        // is not cut in two), so no edit makes a document that could not be
        // opened again.
        if (length > CPraxDoc::kMaxTextBytes - SendScintilla(SCI_GETLENGTH)) {
            SendScintilla(SCI_CHANGEINSERTION, 0UL, "");
            QApplication::beep();
        }
    }
    if ((mtype & SC_MOD_CONTAINER) && (mtype & SC_PERFORMED_UNDO) && token > 0 &&
        token <= m_undoSelections.size()) {
        // Scintilla places a bare caret once the undo ends; restore the
        // selection after that (OnEditUndo does so at once, this catches
        // undo reached by any other way).
        m_pendingUndoToken = token;
        QTimer::singleShot(0, this, [this] {
            if (m_pendingUndoToken) {
                const auto sel = m_undoSelections.value(m_pendingUndoToken - 1);
                m_pendingUndoToken = 0;
                setSelectionBytes(sel.first, sel.second);
            }
        });
    }
}

bool CPraxView::beautify(bool &hadSelection)
{
    CommandScope scope(/*waitCursor*/ true, /*keepIndentation*/ true);
    int start, end;
    selectionBytes(start, end);
    hadSelection = start >= 0 && end > start;
    const QByteArray text = textBytes();
    QWidget *boxParent = window();

    if (prax::make_temp_names() != 0) {
        praxMessageBox(boxParent, QStringLiteral("Formating Failed:Code=101!"));
        return false;
    }

    QByteArray toFormat = text;
    int column = 0;
    if (hadSelection) {
        column = selectionColumn(text, start);
        prax::format_options.starting_indentation = column;
        toFormat = text.mid(start, end - start);
        prax::show_status_message("Format the selected text.");
    }
    if (prax::write_text_file(prax::temp_in_path, asView(toFormat)) != 0) {
        praxMessageBox(boxParent, QStringLiteral("Formating Failed:Code=101!"));
        return false;
    }

    // A selection is laid out as if its first line already stood at the
    // selection's column; the whole text is a classic run from column 0.
    prax::FormatRequest request;
    if (hadSelection)
        request.start_column = column;
    const int result = prax::format_file(prax::temp_in_path.c_str(), prax::temp_out_path.c_str(), request);
    if (result != prax::kFormatOk) {
        praxMessageBox(boxParent, hadSelection ? QStringLiteral("Fail formatting the selected text")
                                               : QStringLiteral("Fail formatting the text"));
        return false;
    }

    // The engine's result is measured before it is read: a run may write far
    // more than it read (many SELECT lists nest), and neither it nor the
    // assembled text may pass the size limit.
    const qint64 formattedSize = QFileInfo(QFile::decodeName(QByteArray::fromStdString(prax::temp_out_path))).size();
    const qint64 keptSize = hadSelection ? text.size() - (end - start) : 0;
    if (formattedSize > CPraxDoc::kMaxTextBytes - keptSize) {
        praxMessageBox(boxParent, QStringLiteral("The file is too large to open."));
        return false;
    }

    // Assemble the new whole text: prefix, formatted part, suffix. The input
    // file is truncated rather than removed and re-created, so its name is
    // never free for someone else to take in between.
    int formattedLength = -1;
    bool assembled;
    if (hadSelection) {
        assembled = prax::write_text_file(prax::temp_in_path, asView(text.left(start))) == 0 &&
                    (formattedLength = prax::append_file_to_file(prax::temp_out_path, prax::temp_in_path)) >= 0 &&
                    prax::append_text_file(prax::temp_in_path, asView(text.mid(end))) == 0;
    } else {
        assembled = prax::write_text_file(prax::temp_in_path, std::string_view()) == 0 &&
                    prax::append_file_to_file(prax::temp_out_path, prax::temp_in_path) >= 0;
    }
    if (!assembled) {
        praxMessageBox(boxParent, QStringLiteral("Formating Failed:Code=101!"));
        return false;
    }

    std::string assembledText;
    if (prax::read_file_text(prax::temp_in_path, assembledText) != 0) {
        praxMessageBox(boxParent, QStringLiteral("fail open file for read"));
        return false;
    }
    if (static_cast<qint64>(assembledText.size()) > CPraxDoc::kMaxTextBytes) {
        praxMessageBox(boxParent, QStringLiteral("The file is too large to open."));
        return false;
    }

    replaceRangeBytes(0, static_cast<int>(SendScintilla(SCI_GETLENGTH)), QByteArray::fromStdString(assembledText));
    if (hadSelection)
        setSelectionBytes(start, start + formattedLength);
    else
        SendScintilla(SCI_GOTOPOS, 0L);
    if (m_doc)
        m_doc->SetModifiedFlag(true);
    return true;
}

void CPraxView::OnBeautify()
{
    bool hadSelection = false;
    beautify(hadSelection);
}

void CPraxView::OnBeautifyNCopy()
{
    if (!canBeautify())
        return;
    bool hadSelection = false;
    // After a failure its message is all the user gets: copying the
    // unformatted text and calling it formatted would report failure as success.
    if (!beautify(hadSelection))
        return;
    if (!hadSelection)
        setSelectionBytes(0, static_cast<int>(SendScintilla(SCI_GETLENGTH)));
    OnEditCopy();
    praxMessageBox(window(), QStringLiteral("The formatted text is copied into the clipboard."));
    if (!hadSelection)
        SendScintilla(SCI_GOTOPOS, 0L);
}

void CPraxView::OnPasteBeautified()
{
    // Formats from the engine's column 0 with the options as they stand. A
    // host-language text makes the engine store its EXEC SQL column into
    // starting_indentation; that is put back, so pasting never changes the
    // user's option.
    CommandScope scope(/*waitCursor*/ false, /*keepIndentation*/ true);
    const QMimeData *source = QApplication::clipboard()->mimeData();
    if (!mimeHasText(source))
        return;
    const QByteArray clip = mimeTextBytes(source);
    if (prax::make_temp_names() != 0)
        return;
    if (prax::write_text_file(prax::temp_in_path, asView(clip)) != 0)
        return;
    if (prax::format_file(prax::temp_in_path.c_str(), prax::temp_out_path.c_str()) != prax::kFormatOk)
        return;
    // Measured before it is read: a result that could never be pasted is
    // not taken into memory, and the clipboard keeps what it held.
    int start, end;
    selectionBytes(start, end);
    const qint64 roomLeft = CPraxDoc::kMaxTextBytes - (SendScintilla(SCI_GETLENGTH) - (end - start));
    if (QFileInfo(QFile::decodeName(QByteArray::fromStdString(prax::temp_out_path))).size() > roomLeft) {
        QApplication::beep();
        return;
    }
    std::string result;
    if (prax::read_file_text(prax::temp_out_path, result) != 0)
        return;
    const QByteArray formatted = QByteArray::fromStdString(result);
    QApplication::clipboard()->setMimeData(toMimeData(formatted, false));

    // Paste: the formatted text replaces the selection, caret after it.
    if (!replaceRangeBytes(start, end, formatted))
        return;
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(start + formatted.size()));
    if (m_doc)
        m_doc->SetModifiedFlag(true);
}

// ---- Editing commands ---------------------------------------------------

void CPraxView::OnEditUndo()
{
    if (!isUndoAvailable())
        return;
    undo();
    if (m_pendingUndoToken) {
        const auto sel = m_undoSelections.value(m_pendingUndoToken - 1);
        m_pendingUndoToken = 0;
        setSelectionBytes(sel.first, sel.second);
    }
}

void CPraxView::OnEditCut()
{
    if (SendScintilla(SCI_SELECTIONISRECTANGLE)) {
        cut();
        return;
    }
    if (!hasSelection())
        return;
    OnEditCopy();
    removeSelectedText();
}

void CPraxView::OnEditCopy()
{
    // Scintilla's own copy turns NUL bytes into blanks; a stream selection
    // goes to the clipboard as its exact bytes instead.
    if (SendScintilla(SCI_SELECTIONISRECTANGLE)) {
        copy();
        return;
    }
    if (hasSelection())
        QApplication::clipboard()->setMimeData(toMimeData(selectedBytes(), false));
}

void CPraxView::OnEditPaste()
{
    // Scintilla's own paste stops at a NUL byte; a plain (not rectangular)
    // clipboard text goes in as its exact bytes, caret after it.
    const QMimeData *source = QApplication::clipboard()->mimeData();
    if (isReadOnly() || !mimeHasText(source))
        return;
    bool rectangular = false;
    const QByteArray bytes = fromMimeData(source, rectangular);
    if (rectangular) {
        paste();
        return;
    }
    int start, end;
    selectionBytes(start, end);
    if (replaceRangeBytes(start, end, bytes))
        SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(start + bytes.size()));
}

void CPraxView::OnEditClear()
{
    removeSelectedText();
}

void CPraxView::OnEditSelectAll()
{
    selectAll(true);
}

void CPraxView::OnEditFind()
{
    showSearchDialog(false);
}

void CPraxView::OnEditReplace()
{
    showSearchDialog(true);
}

void CPraxView::showSearchDialog(bool withReplace)
{
    // One search dialog per view: Find and Replace replace each other.
    if (m_searchDialog)
        m_searchDialog->close();
    m_searchDialog = new CFindReplaceDlg(this, withReplace, m_search);
    m_searchDialog->show();
    m_searchDialog->raise();
    m_searchDialog->activateWindow();
}

void CPraxView::OnEditRepeat()
{
    if (m_search.valid && !findNext(m_search))
        praxMessageBox(window(), tr("Cannot find the string \"%1\".").arg(m_search.text));
}

bool CPraxView::findNext(const SearchState &search)
{
    m_search = search;
    m_search.valid = !search.text.isEmpty();
    emit commandStateChanged();
    if (!m_search.valid)
        return false;
    int start, end;
    selectionBytes(start, end);
    int line, index;
    lineIndexFromPosition(search.forward ? end : start, &line, &index);
    return findFirst(search.text, false, search.matchCase, search.wholeWord, true, search.forward, line,
                     index);
}

bool CPraxView::replaceNext(const SearchState &search, const QString &replacement)
{
    if (search.text.isEmpty())
        return false;
    const QString selected = selectedText();
    const bool matches = !selected.isEmpty() &&
                         selected.compare(search.text, search.matchCase ? Qt::CaseSensitive
                                                                        : Qt::CaseInsensitive) == 0;
    if (matches)
        replaceSelectedText(replacement);
    return findNext(search) || matches;
}

int CPraxView::replaceAll(const SearchState &search, const QString &replacement)
{
    m_search = search;
    m_search.valid = !search.text.isEmpty();
    emit commandStateChanged();
    if (!m_search.valid)
        return 0;
    const QByteArray text = textBytes();
    const ReplaceAllResult result = replaceAllBytes(text, search.text.toUtf8(), replacement.toUtf8(),
                                                    search.matchCase, search.wholeWord, ByteClasses::defaults());
    if (result.count == 0)
        return 0;
    const qint64 newSize = text.size() - (result.end - result.begin) + result.replaced.size();
    if (newSize > CPraxDoc::kMaxTextBytes) {
        praxMessageBox(window(), QStringLiteral("The file is too large to open."));
        return -1;
    }
    replaceRangeBytes(static_cast<int>(result.begin), static_cast<int>(result.end), result.replaced);
    // Caret after the last replacement, without scrolling there: bringing a
    // place far into a long line into view makes the editor measure the line
    // up to it, which took longer than the whole replacement.
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(result.begin + result.replaced.size()));
    if (m_doc)
        m_doc->SetModifiedFlag(true);
    return result.count;
}

QsciPrinter &praxPrinter()
{
    static std::unique_ptr<QsciPrinter> printer;
    if (!printer) {
        printer = std::make_unique<QsciPrinter>();
        // A printer must not outlive the application's print support.
        qAddPostRoutine([] { printer.reset(); });
    }
    return *printer;
}

void CPraxView::OnFilePrint()
{
    QsciPrinter &printer = praxPrinter();
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        printer.printRange(this);
}

void CPraxView::OnFilePrintPreview()
{
    QsciPrinter &printer = praxPrinter();
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &printer](QPrinter *) { printer.printRange(this); });
    preview.exec();
}

bool CPraxView::runCommand(int id)
{
    switch (id) {
    case ID_BEAUTIFY: OnBeautify(); return true;
    case ID_PASTE_BEAUTIFIED: OnPasteBeautified(); return true;
    case ID_BEAUTIFY_N_COPY: OnBeautifyNCopy(); return true;
    case ID_EDIT_CLEAR: OnEditClear(); return true;
    case ID_EDIT_COPY: OnEditCopy(); return true;
    case ID_EDIT_CUT: OnEditCut(); return true;
    case ID_EDIT_FIND: OnEditFind(); return true;
    case ID_EDIT_PASTE: OnEditPaste(); return true;
    case ID_EDIT_REPEAT: OnEditRepeat(); return true;
    case ID_EDIT_REPLACE: OnEditReplace(); return true;
    case ID_EDIT_SELECT_ALL: OnEditSelectAll(); return true;
    case ID_EDIT_UNDO: OnEditUndo(); return true;
    case ID_FILE_PRINT: OnFilePrint(); return true;
    case ID_FILE_PRINT_PREVIEW: OnFilePrintPreview(); return true;
    default: return false;
    }
}

// ---- Context menu -------------------------------------------------------

QMenu *CPraxView::createContextMenu()
{
    // Built afresh for every right-click, because its rows depend on the
    // state of the moment: undo history, selection and clipboard.
    auto *menu = new QMenu(this);
    const auto add = [this, menu](const QString &text, int id) {
        QAction *action = menu->addAction(text);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    };
    const bool selection = hasSelection();
    const bool clipboardText = canPaste();
    if (canUndo()) {
        add(QStringLiteral("Undo"), ID_EDIT_UNDO);
        menu->addSeparator();
    }
    if (selection) {
        add(QStringLiteral("Cut"), ID_EDIT_CUT);
        add(QStringLiteral("Clear"), ID_EDIT_CLEAR);
        add(QStringLiteral("Copy"), ID_EDIT_COPY);
    }
    if (clipboardText)
        add(QStringLiteral("Paste"), ID_EDIT_PASTE);
    add(QStringLiteral("Select All"), ID_EDIT_SELECT_ALL);
    menu->addSeparator();
    add(selection ? QStringLiteral("Beautify Selection") : QStringLiteral("Beautify All"), ID_BEAUTIFY);
    if (clipboardText)
        add(QStringLiteral("Paste Beautified"), ID_PASTE_BEAUTIFIED);
    add(QStringLiteral("Beautify N Copy"), ID_BEAUTIFY_N_COPY);
    return menu;
}

void CPraxView::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu *menu = createContextMenu();
    QPoint at = e->globalPos();
    at.rx() -= menu->sizeHint().width() / 2; // centred horizontally on the press point
    menu->exec(at);
    delete menu;
    e->accept();
}

void CPraxView::mousePressEvent(QMouseEvent *e)
{
    // The right button only opens the context menu; it neither moves the
    // caret nor changes the selection.
    if (e->button() == Qt::RightButton) {
        e->accept();
        return;
    }
    QsciScintilla::mousePressEvent(e);
}

void CPraxView::keyPressEvent(QKeyEvent *e)
{
    // Undo keys go through OnEditUndo, which also puts back the selection a
    // formatting command replaced; copy, cut and paste keys through
    // OnEditCopy, OnEditCut and OnEditPaste, which keep NUL bytes.
    const QKeyCombination combo = e->keyCombination();
    if (e->matches(QKeySequence::Undo) || combo == QKeyCombination(Qt::AltModifier, Qt::Key_Backspace)) {
        OnEditUndo();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Copy) || combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Insert)) {
        OnEditCopy();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste) || combo == QKeyCombination(Qt::ShiftModifier, Qt::Key_Insert)) {
        OnEditPaste();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Cut) || combo == QKeyCombination(Qt::ShiftModifier, Qt::Key_Delete)) {
        if (!isReadOnly())
            OnEditCut();
        e->accept();
        return;
    }
    // Every typed character marks the document modified, even one that
    // changes nothing (Backspace at the very start of the text).
    const QString text = e->text();
    const bool ctrl = e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const bool typed = !ctrl && !text.isEmpty() &&
                       (text.at(0).isPrint() || text.at(0) == QLatin1Char('\b') ||
                        text.at(0) == QLatin1Char('\r') || text.at(0) == QLatin1Char('\n') ||
                        text.at(0) == QLatin1Char('\t'));
    const bool special = e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Return ||
                         e->key() == Qt::Key_Enter || e->key() == Qt::Key_Tab;
    if ((typed || special) && !isReadOnly() && m_doc)
        m_doc->SetModifiedFlag(true);
    QsciScintilla::keyPressEvent(e);
}

// ---- Clipboard and drag-and-drop as bytes -------------------------------

bool CPraxView::canInsertFromMimeData(const QMimeData *source) const
{
    return mimeHasText(source) || QsciScintilla::canInsertFromMimeData(source);
}

QByteArray CPraxView::fromMimeData(const QMimeData *source, bool &rectangular) const
{
    QByteArray bytes = QsciScintilla::fromMimeData(source, rectangular);
    if (source && source->hasFormat(kRawTextMime))
        bytes = source->data(kRawTextMime);
    return bytes;
}

QMimeData *CPraxView::toMimeData(const QByteArray &text, bool rectangular) const
{
    QMimeData *data = QsciScintilla::toMimeData(text, rectangular);
    // Other programs get text: UTF-8 when the bytes are valid UTF-8, else
    // each byte as its Latin-1 character. This program gets the bytes.
    if (!QUtf8StringView(text.constData(), text.size()).isValidUtf8())
        data->setText(QString::fromLatin1(text));
    data->setData(kRawTextMime, text);
    return data;
}
