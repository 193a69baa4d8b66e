// The editor view: QScintilla set-up, raw-bytes text access, the formatting
// commands, the editing commands and the context menu (printing is in
// viewprint.cpp; the Find and Replace dialog and Replace All in findreplace.cpp).
//
// The formatting commands hand the bytes to the Qt-free steps of beautify.h
// and put the result into the editor as one undo step; nothing here may
// leave the editor holding a half-assembled text.
#include "app/praxview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QFontDatabase>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QToolTip>
#include <QUtf8StringView>
#include <Qsci/qscilexersql.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "app/beautify.h"
#include "app/commands.h"
#include "app/findreplace.h"
#include "app/msgbox.h"
#include "app/praxdoc.h"
#include "engine/engine.h"

namespace {

// Clipboard format carrying the exact bytes of a copy, beside the ordinary
// text: the text form cannot hold invalid UTF-8 or NUL bytes unchanged.
const QString kRawTextMime = QStringLiteral("application/x-prax-text");

std::string_view asView(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// The wait cursor for the length of a command, taken down on every way out.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
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

// `bytes` with every bare LF made CR LF ("a\nb\r\n" gives "a\r\nb\r\n").
QByteArray withCrLf(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.count('\n'));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            out += '\r';
        out += bytes[i];
    }
    return out;
}

} // namespace

QStringList droppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

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
    applyPaletteColours();
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
    // Undo back to the saved text: the document is unmodified again.
    connect(this, &QsciScintilla::modificationChanged, this, [this](bool modified) {
        if (!modified && !m_loading && m_doc)
            m_doc->SetModifiedFlag(false);
    });
    connect(this, &QsciScintilla::linesChanged, this, &CPraxView::updateLineNumberWidth);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CPraxView::commandStateChanged);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &CPraxView::onScintillaModified);
}

void CPraxView::applyPaletteColours()
{
    auto *sql = qobject_cast<QsciLexerSQL *>(lexer());
    if (!sql)
        return;
    // The lexer's own colours are made for white paper: its navy keywords
    // vanish on a dark one. Paper and plain text come from the palette, and
    // the SQL styles from the set that reads on a paper of its lightness.
    const QPalette colours = palette();
    const QColor paper = colours.color(QPalette::Base);
    const QColor text = colours.color(QPalette::Text);
    const bool dark = paper.lightness() < 128;
    struct SqlColours {
        QColor keyword, comment, number, string, quoted, error;
    };
    const SqlColours set = dark ? SqlColours{QColor(0x82, 0xaa, 0xff), QColor(0x8f, 0xc8, 0x7a), QColor(0xe0, 0xa8, 0x70),
                                             QColor(0xf0, 0x9a, 0x80), QColor(0xd0, 0xa0, 0xf0), QColor(0xff, 0x80, 0x80)}
                                : SqlColours{QColor(0x1a, 0x3d, 0xb8), QColor(0x2e, 0x7d, 0x32), QColor(0xa8, 0x4b, 0x00),
                                             QColor(0xa3, 0x15, 0x15), QColor(0x6a, 0x1b, 0x9a), QColor(0xc6, 0x28, 0x28)};
    const std::pair<int, QColor> styles[] = {
        {QsciLexerSQL::Comment, set.comment},          {QsciLexerSQL::CommentLine, set.comment},
        {QsciLexerSQL::CommentDoc, set.comment},       {QsciLexerSQL::CommentLineHash, set.comment},
        {QsciLexerSQL::PlusComment, set.comment},      {QsciLexerSQL::CommentDocKeyword, set.keyword},
        {QsciLexerSQL::CommentDocKeywordError, set.error}, {QsciLexerSQL::Number, set.number},
        {QsciLexerSQL::Keyword, set.keyword},          {QsciLexerSQL::PlusKeyword, set.keyword},
        {QsciLexerSQL::KeywordSet5, set.keyword},      {QsciLexerSQL::KeywordSet6, set.keyword},
        {QsciLexerSQL::KeywordSet7, set.keyword},      {QsciLexerSQL::KeywordSet8, set.keyword},
        {QsciLexerSQL::PlusPrompt, set.quoted},        {QsciLexerSQL::SingleQuotedString, set.string},
        {QsciLexerSQL::DoubleQuotedString, set.string}, {QsciLexerSQL::QuotedIdentifier, set.quoted},
        {QsciLexerSQL::QuotedOperator, set.quoted},
    };
    sql->setDefaultPaper(paper);
    sql->setDefaultColor(text);
    sql->setPaper(paper, -1);
    sql->setColor(text, -1);
    for (const auto &[style, colour] : styles)
        sql->setColor(colour, style);

    setMarginsBackgroundColor(colours.color(QPalette::Window));
    setMarginsForegroundColor(colours.color(QPalette::Disabled, QPalette::WindowText));
    setCaretForegroundColor(text);
    setSelectionBackgroundColor(colours.color(QPalette::Highlight));
    setSelectionForegroundColor(colours.color(QPalette::HighlightedText));
}

void CPraxView::changeEvent(QEvent *e)
{
    QsciScintilla::changeEvent(e);
    if (e->type() == QEvent::PaletteChange)
        applyPaletteColours();
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
    m_eolChanges.clear();
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

bool CPraxView::replaceTextBytes(const QByteArray &bytes)
{
    const long eolBefore = SendScintilla(SCI_GETEOLMODE);
    if (!replaceAllKeepingPlace(bytes))
        return false;
    applyEolModeFrom(bytes);
    if (const long eolAfter = SendScintilla(SCI_GETEOLMODE); eolAfter != eolBefore)
        m_eolChanges.insert(int(m_undoSelections.size()), qMakePair(eolBefore, eolAfter));
    emit commandStateChanged();
    return true;
}

QString CPraxView::lineEndName() const
{
    switch (SendScintilla(SCI_GETEOLMODE)) {
    case SC_EOL_CRLF: return QStringLiteral("CRLF");
    case SC_EOL_CR: return QStringLiteral("CR");
    default: return QStringLiteral("LF");
    }
}

void CPraxView::markSavePoint()
{
    SendScintilla(SCI_SETSAVEPOINT);
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
    return prax::selection_column(asView(text), std::size_t(std::max(pos, 0)));
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
    if ((mtype & SC_MOD_CONTAINER) && m_eolChanges.contains(token)) {
        const QPair<long, long> eol = m_eolChanges.value(token);
        SendScintilla(SCI_SETEOLMODE, (mtype & SC_PERFORMED_UNDO) ? eol.first : eol.second);
        emit commandStateChanged();
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
    WaitCursor wait;
    int start, end;
    selectionBytes(start, end);
    hadSelection = start >= 0 && end > start;
    const prax::BeautifyResult result = formatBytes(textBytes(), start, end, isHostSource());
    switch (result.status) {
    case prax::BeautifyStatus::kFailed:
        praxMessageBox(window(), hadSelection ? QStringLiteral("Fail formatting the selected text")
                                              : QStringLiteral("Fail formatting the text"));
        return false;
    case prax::BeautifyStatus::kTooLarge:
        praxMessageBox(window(), QStringLiteral("The file is too large to open."));
        return false;
    case prax::BeautifyStatus::kOk: break;
    }
    putFormatted(result, hadSelection);
    return true;
}

bool CPraxView::beautifyForSave(bool hostSource, QString &reason)
{
    WaitCursor wait;
    const QByteArray text = textBytes();
    const prax::BeautifyResult result = formatBytes(text, 0, 0, hostSource);
    switch (result.status) {
    case prax::BeautifyStatus::kFailed:
        reason = result.message.empty() ? QStringLiteral("the formatter did not format the text")
                                        : QString::fromLocal8Bit(result.message);
        return false;
    case prax::BeautifyStatus::kTooLarge:
        reason = QStringLiteral("the formatted text would pass the size limit");
        return false;
    case prax::BeautifyStatus::kOk: break;
    }
    // A text that is already formatted gets no Undo step that changes nothing.
    if (asView(text) != result.text)
        putFormatted(result, false);
    return true;
}

prax::BeautifyResult CPraxView::formatBytes(const QByteArray &text, int start, int end, bool hostSource) const
{
    return prax::beautify_text(asView(text), std::size_t(std::max(start, 0)), std::size_t(std::max(end, 0)),
                               hostSource, std::size_t(CPraxDoc::kMaxTextBytes));
}

void CPraxView::putFormatted(const prax::BeautifyResult &result, bool selection)
{
    const QByteArray bytes(result.text.data(), qsizetype(result.text.size()));
    if (!selection) {
        replaceAllKeepingPlace(bytes);
    } else if (replaceRangeBytes(0, static_cast<int>(SendScintilla(SCI_GETLENGTH)), bytes)) {
        setSelectionBytes(int(result.formatted_begin), int(result.formatted_end));
    }
    if (m_doc)
        m_doc->SetModifiedFlag(true);
}

bool CPraxView::replaceAllKeepingPlace(const QByteArray &bytes)
{
    const long caretLine = SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS));
    const long firstVisible = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    if (!replaceRangeBytes(0, static_cast<int>(SendScintilla(SCI_GETLENGTH)), bytes))
        return false;
    keepPlace(caretLine, firstVisible);
    return true;
}

void CPraxView::keepPlace(long caretLine, long firstVisible)
{
    // The formatted text has other lines, but the statement the user was
    // working on is near the same line number: the caret goes to the start
    // of that line (the last line when the text got shorter) and the view
    // stays where it was, scrolling only as far as the caret needs.
    const long line = std::min(caretLine, SendScintilla(SCI_GETLINECOUNT) - 1);
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(SendScintilla(SCI_POSITIONFROMLINE, line)));
    SendScintilla(SCI_SETFIRSTVISIBLELINE, firstVisible);
    SendScintilla(SCI_SCROLLCARET);
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
    const QString done = QStringLiteral("The formatted text is copied into the clipboard.");
    if (isSignalConnected(QMetaMethod::fromSignal(&CPraxView::commandMessage)))
        emit commandMessage(done);
    else // a frame without a status bar (editing in place): a passing tip
        QToolTip::showText(mapToGlobal(QPoint(0, 0)), done, this);
    if (!hadSelection)
        SendScintilla(SCI_GOTOPOS, 0L);
}

void CPraxView::OnPasteBeautified()
{
    // Formats from the engine's column 0 with the options as they stand; the
    // user's starting_indentation is kept even for host-language text.
    const QMimeData *source = QApplication::clipboard()->mimeData();
    if (!mimeHasText(source))
        return;
    const QByteArray clip = mimeTextBytes(source);
    std::string result;
    if (!prax::beautify_clip(asView(clip), isHostSource(), result))
        return;
    // Text copied from a program that writes LF, pasted into a CR LF
    // document: the formatted lines take the document's line end, as typed
    // ones do.
    QByteArray formatted = QByteArray::fromStdString(result);
    if (SendScintilla(SCI_GETEOLMODE) == SC_EOL_CRLF)
        formatted = withCrLf(formatted);
    // A result that could never be pasted does not replace the clipboard.
    int start, end;
    selectionBytes(start, end);
    const qint64 roomLeft = CPraxDoc::kMaxTextBytes - (SendScintilla(SCI_GETLENGTH) - std::max(end - start, 0));
    if (formatted.size() > roomLeft) {
        QApplication::beep();
        return;
    }
    QApplication::clipboard()->setMimeData(toMimeData(formatted, false));

    // Paste: the formatted text replaces the selection, caret after it.
    if (!replaceRangeBytes(start, end, formatted))
        return;
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(start + formatted.size()));
    if (m_doc)
        m_doc->SetModifiedFlag(true);
}

bool CPraxView::isHostSource() const
{
    return m_doc && prax::is_host_source_path(QFile::encodeName(m_doc->path()).toStdString());
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

void CPraxView::OnEditRedo()
{
    if (isRedoAvailable())
        redo();
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

void CPraxView::OnEditFindPrevious()
{
    // Shift+F3 searches against the direction of the last search, which
    // stays as it was for the next F3.
    SearchState back = m_search;
    back.forward = !back.forward;
    const bool found = back.valid && findNext(back);
    m_search.forward = !back.forward;
    if (back.valid && !found)
        praxMessageBox(window(), tr("Cannot find the string \"%1\".").arg(back.text));
}

void CPraxView::OnEditGoToLine()
{
    const int lines = qMax(1, this->lines());
    int line = 0, index = 0;
    getCursorPosition(&line, &index);
    bool ok = false;
    const int wanted = QInputDialog::getInt(window(), tr("Go To Line"), tr("Line number (1 - %1):").arg(lines),
                                            line + 1, 1, lines, 1, &ok);
    if (!ok)
        return;
    setCursorPosition(wanted - 1, 0);
    ensureLineVisible(wanted - 1);
    setFocus();
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

bool CPraxView::runCommand(int id)
{
#define PRAX_VIEW_HANDLER(cid, value, handler, remote) {cid, &CPraxView::handler},
    static constexpr CommandHandler<CPraxView> kHandlers[] = {PRAX_VIEW_COMMANDS(PRAX_VIEW_HANDLER)};
#undef PRAX_VIEW_HANDLER
    return runOwnCommand(this, kHandlers, id);
}

CommandState CPraxView::commandState() const
{
    CommandState state;
    state.view = true;
    state.text = SendScintilla(SCI_GETLENGTH) > 0;
    state.selection = hasSelection();
    state.undo = canUndo();
    state.redo = isRedoAvailable();
    state.clipboardText = canPaste();
    state.searched = m_search.valid;
    return state;
}

// ---- Context menu -------------------------------------------------------

QMenu *CPraxView::createContextMenu()
{
    // Built afresh for every right-click, because its rows depend on the
    // state of the moment: undo history, selection and clipboard. A row with
    // a condition shows only while that command is enabled; every row shown
    // is enabled.
    struct Row {
        int id;
        const char *text;
        int shownWhen; // the command whose enabling decides; 0: always shown
    };
    static constexpr Row kRows[] = {
        {ID_EDIT_UNDO, "Undo", ID_EDIT_UNDO},
        {kSeparator, nullptr, ID_EDIT_UNDO},
        {ID_EDIT_CUT, "Cut", ID_EDIT_CUT},
        {ID_EDIT_CLEAR, "Clear", ID_EDIT_CLEAR},
        {ID_EDIT_COPY, "Copy", ID_EDIT_COPY},
        {ID_EDIT_PASTE, "Paste", ID_EDIT_PASTE},
        {ID_EDIT_SELECT_ALL, "Select All", 0},
        {kSeparator, nullptr, 0},
        {ID_BEAUTIFY, "Beautify All", 0},
        {ID_PASTE_BEAUTIFIED, "Paste Beautified", ID_EDIT_PASTE}, // only with text to paste
        {ID_BEAUTIFY_N_COPY, "Beautify N Copy", 0},
    };
    const CommandState state = commandState();
    auto *menu = new QMenu(this);
    for (const Row &row : kRows) {
        if (row.shownWhen && !commandEnabled(row.shownWhen, state))
            continue;
        if (row.id == kSeparator) {
            menu->addSeparator();
            continue;
        }
        QString text = QString::fromLatin1(row.text);
        if (row.id == ID_BEAUTIFY && state.selection)
            text = QStringLiteral("Beautify Selection");
        QAction *action = menu->addAction(text);
        const int id = row.id;
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    }
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

void CPraxView::dragEnterEvent(QDragEnterEvent *e)
{
    if (!droppedFiles(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        QsciScintilla::dragEnterEvent(e);
}

void CPraxView::dragMoveEvent(QDragMoveEvent *e)
{
    if (!droppedFiles(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        QsciScintilla::dragMoveEvent(e);
}

void CPraxView::dropEvent(QDropEvent *e)
{
    // A file manager's drag carries the path as text too; dropping a file
    // opens it rather than typing its name into the SQL.
    const QStringList files = droppedFiles(e->mimeData());
    if (files.isEmpty()) {
        QsciScintilla::dropEvent(e);
        return;
    }
    e->acceptProposedAction();
    emit filesDropped(files);
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
