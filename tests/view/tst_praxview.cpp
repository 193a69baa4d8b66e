// The editor view's formatting commands, enabling, context menu, undo and
// modified marking. The engine itself is tested elsewhere: here its output
// for the same text, column and options is the oracle, and the tests check
// what the view does around it (splicing, selection, options, messages).
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <string>

#include "app/findreplace.h"
#include "app/msgbox.h"
#include "app/praxdoc.h"
#include "app/praxview.h"
#include "engine/engine.h"
#include "engine/options.h"

namespace {

QStringList g_boxes;     // message boxes shown, in order
QStringList g_statuses;  // status messages shown, in order
QStringList g_tempFiles; // files in the temporary folder while the engine ran

void recordBox(const QString &text)
{
    g_boxes << text;
}

// The engine's output for `text` with `indentation` as starting_indentation,
// its first line laid out as if it stood at `column`.
QByteArray engineFormat(const QByteArray &text, int indentation, int column)
{
    std::string bytes;
    const int saved = prax::format_options.starting_indentation;
    prax::format_options.starting_indentation = indentation;
    prax::FormatRequest request;
    if (column > 0)
        request.start_column = column;
    const int rc = prax::format_text(std::string_view(text.constData(), text.size()), bytes, request);
    prax::format_options.starting_indentation = saved;
    if (rc != prax::kFormatOk)
        qWarning("engine result %d", rc);
    return QByteArray::fromStdString(bytes);
}

void setClipboardBytes(const QByteArray &bytes)
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), bytes);
    QApplication::clipboard()->setMimeData(data);
}

QByteArray clipboardBytes(const CPraxView &view)
{
    Q_UNUSED(view);
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!data)
        return QByteArray();
    if (data->hasFormat(QStringLiteral("application/x-prax-text")))
        return data->data(QStringLiteral("application/x-prax-text"));
    return data->text().toUtf8();
}

QStringList menuRows(QMenu *menu)
{
    QStringList rows;
    for (QAction *action : menu->actions())
        rows << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return rows;
}

const QByteArray kSql = "select a, b from t where x = 1 and y = 2";

// `bytes` bytes of text in lines of 100 ("xxx...x\n"): a document near the
// size limit as scripts are, not one line the editor would lay out whole.
QByteArray filler(qint64 bytes)
{
    QByteArray line(99, 'x');
    line += '\n';
    return line.repeated(bytes / line.size() + 1).left(bytes);
}

} // namespace

class TestPraxView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void beautifyWholeText();
    void beautifyKeepsCaretLineAndView_data();
    void beautifyKeepsCaretLineAndView();
    void beautifySelection_data();
    void beautifySelection();
    void beautifyFailureLeavesTextUnchanged_data();
    void beautifyFailureLeavesTextUnchanged();
    void beautifyRefusesResultOverSizeLimit();
    void undoTakesBackBeautifyInOneStep();
    void beautifyNCopy_data();
    void beautifyNCopy();
    void beautifyNCopyAfterFailureCopiesNothing();
    void pasteBeautifiedReplacesSelection();
    void pasteBeautifiedKeepsUserIndentation();
    void pasteBeautifiedTakesTheDocumentLineEnd_data();
    void pasteBeautifiedTakesTheDocumentLineEnd();
    void pasteBeautifiedWithoutClipboardTextDoesNothing();
    void contextMenuRows_data();
    void contextMenuRows();
    void contextMenuRunsCommand();
    void enablingFollowsText();
    void typingMarksModified_data();
    void typingMarksModified();
    void editsMarkModified();
    void undoToTheSavedTextClearsModified();
    void editsStopAtTheSizeLimit();
    void copyPasteKeepsRawBytes();
    void findAndReplace();
    void replaceAllFromTheDialog_data();
    void replaceAllFromTheDialog();

private:
    CPraxDoc *m_doc = nullptr;
    CPraxView *m_view = nullptr;
    const int m_userIndentation = 3;
};

void TestPraxView::initTestCase()
{
    // A folder of the test's own as TMPDIR, so that anything a command leaves
    // there is seen.
    static QTemporaryDir tempDir;
    QVERIFY(tempDir.isValid());
    qputenv("TMPDIR", QFile::encodeName(tempDir.path()));
    setMessageBoxRecorder(recordBox);
    prax::set_status_hook([](std::string_view text) {
        g_statuses << QString::fromUtf8(text.data(), static_cast<int>(text.size()));
        // The engine reports while it runs: a temporary file of the command
        // would exist then, in the folder TMPDIR names.
        g_tempFiles << QDir(qEnvironmentVariable("TMPDIR")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    });
}

void TestPraxView::init()
{
    g_boxes.clear();
    g_statuses.clear();
    g_tempFiles.clear();
    prax::format_options = prax::default_format_options;
    prax::format_options.starting_indentation = m_userIndentation;
    QApplication::clipboard()->clear();
    m_doc = new CPraxDoc;
    m_view = new CPraxView(m_doc);
    m_view->resize(600, 400);
    m_view->show();
}

void TestPraxView::cleanup()
{
    // Every way out of a command restores the user's indentation and leaves
    // no temporary file behind.
    QCOMPARE(prax::format_options.starting_indentation, m_userIndentation);
    QVERIFY2(QDir(qEnvironmentVariable("TMPDIR")).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             "a temporary file was left behind");
    delete m_view;
    delete m_doc;
}

void TestPraxView::beautifyWholeText()
{
    m_view->setTextBytes(kSql);
    QVERIFY(!m_doc->isModified());
    m_view->OnBeautify();

    // Without a selection the whole text is formatted at column 0 and with
    // the user's own starting indentation.
    const QByteArray expected = engineFormat(kSql, m_userIndentation, 0);
    QVERIFY(expected != kSql);
    QCOMPARE(m_view->textBytes(), expected);
    QVERIFY(!m_view->hasSelection());
    QVERIFY(m_doc->isModified());
    QVERIFY(g_boxes.isEmpty());
    // The text is formatted in memory: no temporary file exists even while
    // the engine runs.
    QVERIFY(g_tempFiles.isEmpty());
}

void TestPraxView::beautifyKeepsCaretLineAndView_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("caretLine");
    QTest::addColumn<int>("firstVisible");
    QTest::addColumn<int>("expectedLine");

    // 300 one-line statements, each laid out on several lines: the caret
    // keeps its line number and the scrolled view stays put.
    QTest::newRow("text grows") << QByteArray(kSql + ";\n").repeated(300) << 150 << 140 << 150;
    // One statement spread over 40 lines shrinks to a few: the caret goes to
    // the last line instead of past the end.
    QByteArray spread = "select a,";
    spread += QByteArray("\n").repeated(39) + " b from t";
    QTest::newRow("text shrinks") << spread << 39 << 0 << -1;
}

void TestPraxView::beautifyKeepsCaretLineAndView()
{
    QFETCH(QByteArray, text);
    QFETCH(int, caretLine);
    QFETCH(int, firstVisible);
    QFETCH(int, expectedLine);

    m_view->setTextBytes(text);
    m_view->setCursorPosition(caretLine, 3);
    m_view->SendScintilla(QsciScintilla::SCI_SETFIRSTVISIBLELINE, firstVisible);
    m_view->OnBeautify();
    QVERIFY(g_boxes.isEmpty());

    if (expectedLine < 0) { // the last line, which the text shrank above the caret's
        expectedLine = m_view->lines() - 1;
        QVERIFY(expectedLine < caretLine);
    }
    int line = -1, index = -1;
    m_view->getCursorPosition(&line, &index);
    QCOMPARE(line, expectedLine);
    QCOMPARE(index, 0);
    QCOMPARE(int(m_view->SendScintilla(QsciScintilla::SCI_GETFIRSTVISIBLELINE)), firstVisible);
}

void TestPraxView::beautifySelection_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("suffix");
    QTest::addColumn<int>("column");

    // Bytes outside the selection must go back untouched, awkward ones included.
    QTest::newRow("column 6 after six blanks")
        << QByteArray("-- first\r\n\xff\xfe\r\n      ") << QByteArray("\r\n-- after \xc3\x28\0x", 16) << 6;
    QTest::newRow("first line counts from text start") << QByteArray("abcd ") << QByteArray(";") << 5;
    QTest::newRow("tab counts one column") << QByteArray("x\n\t") << QByteArray("\n") << 1;
    QTest::newRow("selection at line start") << QByteArray("foo;\n") << QByteArray() << 0;
}

void TestPraxView::beautifySelection()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, suffix);
    QFETCH(int, column);

    m_view->setTextBytes(prefix + kSql + suffix);
    m_view->setSelectionBytes(prefix.size(), prefix.size() + kSql.size());
    m_view->OnBeautify();

    const QByteArray formatted = engineFormat(kSql, column, column);
    if (column > 0)
        QVERIFY2(formatted != engineFormat(kSql, 0, 0), "the column must change the layout");
    QCOMPARE(m_view->textBytes(), prefix + formatted + suffix);
    int start, end;
    m_view->selectionBytes(start, end);
    QCOMPARE(start, int(prefix.size()));
    QCOMPARE(end, int(prefix.size() + formatted.size()));
    QVERIFY(g_statuses.contains(QStringLiteral("Format the selected text.")));
    QVERIFY(g_boxes.isEmpty());
    QVERIFY(m_doc->isModified());
}

void TestPraxView::beautifyFailureLeavesTextUnchanged_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty text") << QByteArray() << 0 << 0 << "Fail formatting the text";
    QTest::newRow("no SQL in whole text") << QByteArray("hello world\n") << 0 << 0
                                          << "Fail formatting the text";
    QTest::newRow("no SQL in selection") << QByteArray("select a from t; hello world") << 17 << 28
                                         << "Fail formatting the selected text";
}

void TestPraxView::beautifyFailureLeavesTextUnchanged()
{
    QFETCH(QByteArray, text);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(QString, message);

    m_view->setTextBytes(text);
    m_view->setSelectionBytes(selStart, selEnd);
    m_view->OnBeautify();

    QCOMPARE(g_boxes, QStringList{message});
    QCOMPARE(m_view->textBytes(), text);
    QVERIFY(!m_doc->isModified());
    QVERIFY(!m_view->isUndoAvailable());
}

void TestPraxView::beautifyRefusesResultOverSizeLimit()
{
    // The prefix is not formatted; the formatted selection grows the text
    // beyond the largest text a document holds.
    const QByteArray prefix = filler(CPraxDoc::kMaxTextBytes - kSql.size() - 2) + "\n";
    const QByteArray text = prefix + kSql;
    m_view->setTextBytes(text);
    m_view->setSelectionBytes(prefix.size(), text.size());
    m_view->OnBeautify();

    QCOMPARE(g_boxes, QStringList{QStringLiteral("The file is too large to open.")});
    QVERIFY(m_view->textBytes() == text);
    QVERIFY(!m_doc->isModified());
}

void TestPraxView::undoTakesBackBeautifyInOneStep()
{
    const QByteArray text = QByteArray("  ") + kSql + "\nrest";
    m_view->setTextBytes(text);
    // An earlier edit, which the one Undo must leave in place.
    m_view->setSelectionBytes(int(text.size()), int(text.size()));
    QTest::keyClick(m_view, Qt::Key_Z);
    const QByteArray edited = text + "z";
    QCOMPARE(m_view->textBytes(), edited);

    m_view->setSelectionBytes(2, 2 + kSql.size());
    m_view->OnBeautify();
    QVERIFY(m_view->textBytes() != edited);

    QTest::keyClick(m_view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_view->textBytes(), edited);
    int start, end;
    m_view->selectionBytes(start, end);
    QCOMPARE(start, 2);
    QCOMPARE(end, 2 + int(kSql.size()));

    // Whole-text Beautify, undone from the Edit menu's command.
    m_view->setSelectionBytes(0, 0);
    m_view->OnBeautify();
    m_view->OnEditUndo();
    QCOMPARE(m_view->textBytes(), edited);
}

void TestPraxView::beautifyNCopy_data()
{
    QTest::addColumn<bool>("withSelection");
    QTest::newRow("whole text") << false;
    QTest::newRow("selection") << true;
}

void TestPraxView::beautifyNCopy()
{
    QFETCH(bool, withSelection);
    const QByteArray prefix = "-- keep\n";
    m_view->setTextBytes(prefix + kSql);
    if (withSelection)
        m_view->setSelectionBytes(prefix.size(), prefix.size() + kSql.size());
    QSignalSpy told(m_view, &CPraxView::commandMessage);
    m_view->OnBeautifyNCopy();

    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.at(0).at(0).toString(), QStringLiteral("The formatted text is copied into the clipboard."));
    if (withSelection) {
        const QByteArray formatted = engineFormat(kSql, 0, 0);
        QCOMPARE(m_view->textBytes(), prefix + formatted);
        QCOMPARE(m_view->selectedBytes(), formatted);
        QCOMPARE(clipboardBytes(*m_view), formatted);
    } else {
        const QByteArray formatted = engineFormat(prefix + kSql, m_userIndentation, 0);
        QCOMPARE(m_view->textBytes(), formatted);
        QVERIFY(!m_view->hasSelection());
        QCOMPARE(clipboardBytes(*m_view), formatted);
    }
}

void TestPraxView::beautifyNCopyAfterFailureCopiesNothing()
{
    setClipboardBytes("untouched");
    m_view->setTextBytes("no statement here");
    QSignalSpy told(m_view, &CPraxView::commandMessage);
    m_view->OnBeautifyNCopy();
    QCOMPARE(g_boxes, QStringList{QStringLiteral("Fail formatting the text")});
    QVERIFY(told.isEmpty());
    QCOMPARE(clipboardBytes(*m_view), QByteArray("untouched"));

    // On an empty text the command does nothing at all.
    g_boxes.clear();
    m_view->setTextBytes(QByteArray());
    m_view->OnBeautifyNCopy();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(clipboardBytes(*m_view), QByteArray("untouched"));
}

void TestPraxView::pasteBeautifiedReplacesSelection()
{
    const QByteArray clip = "select x from y";
    setClipboardBytes(clip);
    m_view->setTextBytes("AAA old BBB");
    m_view->setSelectionBytes(4, 7);
    m_view->OnPasteBeautified();

    const QByteArray formatted = engineFormat(clip, m_userIndentation, 0);
    QVERIFY(formatted != clip);
    QCOMPARE(m_view->textBytes(), "AAA " + formatted + " BBB");
    QCOMPARE(clipboardBytes(*m_view), formatted);
    QCOMPARE(m_view->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), long(4 + formatted.size()));
    QVERIFY(m_doc->isModified());
    QVERIFY(g_boxes.isEmpty());

    // One Undo takes the paste back, selection included.
    m_view->OnEditUndo();
    QCOMPARE(m_view->textBytes(), QByteArray("AAA old BBB"));
    QCOMPARE(m_view->selectedBytes(), QByteArray("old"));
}

void TestPraxView::pasteBeautifiedKeepsUserIndentation()
{
    // Host-language text: the engine records the EXEC SQL column into
    // starting_indentation while it runs; the user's value must come back.
    const QByteArray host = "int main() {\n    EXEC SQL select a from t;\n}\n";
    setClipboardBytes(host);
    m_view->OnPasteBeautified();
    QVERIFY(m_view->textBytes().contains("EXEC SQL"));
    QCOMPARE(prax::format_options.starting_indentation, m_userIndentation);
}

void TestPraxView::pasteBeautifiedTakesTheDocumentLineEnd_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("CR LF document") << QByteArray("-- a\r\n") << QByteArray("\r\n");
    QTest::newRow("LF document") << QByteArray("-- a\n") << QByteArray("\n");
}

void TestPraxView::pasteBeautifiedTakesTheDocumentLineEnd()
{
    QFETCH(QByteArray, document);
    QFETCH(QByteArray, lineEnd);
    const QByteArray clip = "select a, b from t where x = 1 and y = 2\n";
    setClipboardBytes(clip);
    m_view->setTextBytes(document);
    m_view->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    m_view->OnPasteBeautified();

    // The engine writes LF for LF input; the pasted lines end as the document's do.
    QByteArray formatted = engineFormat(clip, m_userIndentation, 0);
    QVERIFY(formatted.count('\n') > 1);
    formatted.replace("\n", lineEnd);
    QCOMPARE(m_view->textBytes(), document + formatted);
}

void TestPraxView::pasteBeautifiedWithoutClipboardTextDoesNothing()
{
    m_view->setTextBytes("keep");
    m_view->OnPasteBeautified();
    QCOMPARE(m_view->textBytes(), QByteArray("keep"));

    // Text the engine cannot format: no message box, clipboard and text unchanged.
    setClipboardBytes("just words");
    m_view->OnPasteBeautified();
    QCOMPARE(m_view->textBytes(), QByteArray("keep"));
    QCOMPARE(clipboardBytes(*m_view), QByteArray("just words"));
    QVERIFY(g_boxes.isEmpty());
    QVERIFY(!m_doc->isModified());
}

void TestPraxView::contextMenuRows_data()
{
    QTest::addColumn<bool>("undo");
    QTest::addColumn<bool>("selection");
    QTest::addColumn<bool>("clipboard");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("nothing to undo, select or paste")
        << false << false << false
        << QStringList{"Select All", "-", "Beautify All", "Beautify N Copy"};
    QTest::newRow("selection only")
        << false << true << false
        << QStringList{"Cut", "Clear", "Copy", "Select All", "-", "Beautify Selection", "Beautify N Copy"};
    QTest::newRow("clipboard text only")
        << false << false << true
        << QStringList{"Paste", "Select All", "-", "Beautify All", "Paste Beautified", "Beautify N Copy"};
    QTest::newRow("everything")
        << true << true << true
        << QStringList{"Undo", "-", "Cut", "Clear", "Copy", "Paste", "Select All", "-",
                       "Beautify Selection", "Paste Beautified", "Beautify N Copy"};
}

void TestPraxView::contextMenuRows()
{
    QFETCH(bool, undo);
    QFETCH(bool, selection);
    QFETCH(bool, clipboard);
    QFETCH(QStringList, rows);

    m_view->setTextBytes("select a from t");
    if (undo)
        QTest::keyClick(m_view, Qt::Key_Space);
    if (selection)
        m_view->setSelectionBytes(0, 6);
    if (clipboard)
        setClipboardBytes("x");
    QMenu *menu = m_view->createContextMenu();
    QCOMPARE(menuRows(menu), rows);
    for (QAction *action : menu->actions())
        QVERIFY(action->isSeparator() || action->isEnabled());
    delete menu;
}

void TestPraxView::contextMenuRunsCommand()
{
    m_view->setTextBytes(kSql);
    QMenu *menu = m_view->createContextMenu();
    QAction *beautify = nullptr;
    for (QAction *action : menu->actions())
        if (action->text() == QLatin1String("Beautify All"))
            beautify = action;
    QVERIFY(beautify);
    QCOMPARE(beautify->data().toInt(), int(ID_BEAUTIFY));
    beautify->trigger();
    delete menu;
    QCOMPARE(m_view->textBytes(), engineFormat(kSql, m_userIndentation, 0));
}

void TestPraxView::enablingFollowsText()
{
    QSignalSpy spy(m_view, &CPraxView::commandStateChanged);
    QVERIFY(!m_view->canBeautify());
    QVERIFY(!m_view->canFind());
    QVERIFY(!m_view->canUndo());
    QTest::keyClick(m_view, Qt::Key_A);
    QVERIFY(m_view->canBeautify());
    QVERIFY(m_view->canFind());
    QVERIFY(m_view->canUndo());
    QVERIFY(!m_view->hasSelection());
    QVERIFY(spy.count() > 0);

    spy.clear();
    m_view->OnEditSelectAll();
    QVERIFY(m_view->hasSelection());
    QVERIFY(spy.count() > 0);

    spy.clear();
    setClipboardBytes("text");
    QVERIFY(m_view->canPaste());
    QVERIFY(spy.count() > 0);
}

void TestPraxView::typingMarksModified_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("letter") << int(Qt::Key_Q);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Tab") << int(Qt::Key_Tab);
    QTest::newRow("Backspace at the very start") << int(Qt::Key_Backspace);
}

void TestPraxView::typingMarksModified()
{
    QFETCH(int, key);
    m_view->setTextBytes("abc");
    QVERIFY(!m_doc->isModified());
    QTest::keyClick(m_view, Qt::Key(key));
    QVERIFY(m_doc->isModified());
}

void TestPraxView::undoToTheSavedTextClearsModified()
{
    // Loaded text, then saved text: typing marks the document, undoing back
    // to the saved text clears the mark, redoing sets it again.
    m_view->setTextBytes("select 1");
    for (int round = 0; round < 2; ++round) {
        QTest::keyClick(m_view, Qt::Key_A);
        QVERIFY(m_doc->isModified());
        m_view->OnEditUndo();
        QVERIFY2(!m_doc->isModified(), round == 0 ? "after load" : "after save");
        m_view->redo();
        QVERIFY(m_doc->isModified());
        m_doc->SetModifiedFlag(false); // as a save does
        m_view->setSelectionBytes(0, 0);
    }
}

void TestPraxView::editsStopAtTheSizeLimit()
{
    // Two bytes of room: typing fills it, a paste that does not fit is
    // refused whole, and the text never grows beyond what a document may hold.
    m_view->setTextBytes(filler(CPraxDoc::kMaxTextBytes - 2));
    m_view->setSelectionBytes(0, 0);
    QTest::keyClicks(m_view, QStringLiteral("ab"));
    QCOMPARE(m_view->textBytes().size(), CPraxDoc::kMaxTextBytes);
    QVERIFY(m_view->textBytes().startsWith("abx"));
    QTest::keyClick(m_view, Qt::Key_C);
    QCOMPARE(m_view->textBytes().size(), CPraxDoc::kMaxTextBytes);

    m_view->setTextBytes(filler(CPraxDoc::kMaxTextBytes - 3));
    QApplication::clipboard()->setText(QStringLiteral("12345"));
    m_view->setSelectionBytes(0, 0);
    m_view->OnEditPaste();
    QCOMPARE(m_view->textBytes().size(), CPraxDoc::kMaxTextBytes - 3);
    QApplication::clipboard()->setText(QStringLiteral("123"));
    m_view->setSelectionBytes(0, 0);
    m_view->OnEditPaste();
    QCOMPARE(m_view->textBytes().size(), CPraxDoc::kMaxTextBytes);
    QCOMPARE(m_view->textBytes().left(4), QByteArray("123x"));
    // A paste over a selection that does not fit leaves the selection in place.
    m_view->setSelectionBytes(0, 1);
    m_view->OnEditPaste();
    QCOMPARE(m_view->textBytes().size(), CPraxDoc::kMaxTextBytes);
    QCOMPARE(m_view->textBytes().left(4), QByteArray("123x"));
}

void TestPraxView::editsMarkModified()
{
    m_view->setTextBytes("one two");
    m_view->setSelectionBytes(0, 3);
    m_view->OnEditCut();
    QVERIFY(m_doc->isModified());
    QCOMPARE(m_view->textBytes(), QByteArray(" two"));

    m_doc->SetModifiedFlag(false);
    m_view->OnEditPaste();
    QVERIFY(m_doc->isModified());
    QCOMPARE(m_view->textBytes(), QByteArray("one two"));

    m_doc->SetModifiedFlag(false);
    m_view->OnEditUndo();
    QVERIFY(m_doc->isModified());
    QCOMPARE(m_view->textBytes(), QByteArray(" two"));

    // Enter in a CR LF text keeps the text's line ends.
    m_view->setTextBytes("a\r\nb");
    m_view->setSelectionBytes(1, 1);
    QTest::keyClick(m_view, Qt::Key_Return);
    QCOMPARE(m_view->textBytes(), QByteArray("a\r\n\r\nb"));
}

void TestPraxView::copyPasteKeepsRawBytes()
{
    const QByteArray text("[\xff\0\xc3\x28\r\n]", 8);
    m_view->setTextBytes(text);
    m_view->OnEditSelectAll();
    m_view->OnEditCopy();
    QCOMPARE(clipboardBytes(*m_view), text);
    // Other programs see text; invalid UTF-8 is offered as Latin-1 there.
    QCOMPARE(QApplication::clipboard()->text(), QString::fromLatin1(text));

    m_view->setSelectionBytes(text.size(), text.size());
    m_view->OnEditPaste();
    QCOMPARE(m_view->textBytes(), text + text);

    // The keys take the same way as the commands.
    m_view->setSelectionBytes(0, 2);
    QTest::keyClick(m_view, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(clipboardBytes(*m_view), QByteArray("[\xff"));
    m_view->setSelectionBytes(0, 0);
    QTest::keyClick(m_view, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(m_view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_view->textBytes(), "[\xff" + text + text);
}

void TestPraxView::findAndReplace()
{
    m_view->setTextBytes("select A from a where a = 'abc a'");
    CPraxView::SearchState search;
    search.text = QStringLiteral("a");
    search.wholeWord = true;
    search.matchCase = true;
    QVERIFY(m_view->findNext(search));
    QCOMPARE(m_view->selectedBytes(), QByteArray("a"));
    int start, end;
    m_view->selectionBytes(start, end);
    QCOMPARE(start, 14);
    QVERIFY(m_view->canRepeat());
    m_view->OnEditRepeat();
    m_view->selectionBytes(start, end);
    QCOMPARE(start, 22);

    QCOMPARE(m_view->replaceAll(search, QStringLiteral("t")), 3);
    QCOMPARE(m_view->textBytes(), QByteArray("select A from t where t = 'abc t'"));
    // Replace All is one undo step.
    m_view->OnEditUndo();
    QCOMPARE(m_view->textBytes(), QByteArray("select A from a where a = 'abc a'"));

    search.text = QStringLiteral("nowhere");
    QVERIFY(!m_view->findNext(search));
    QVERIFY(g_boxes.isEmpty());
}

void TestPraxView::replaceAllFromTheDialog_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("with");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QByteArray>("expected"); // equal to text: nothing found
    const QByteArray mixed = "select a, A, ab from a_b";
    QTest::newRow("any case, inside words") << mixed << "a" << "x" << false << false << QByteArray("select x, x, xb from x_b");
    QTest::newRow("case") << mixed << "a" << "x" << true << false << QByteArray("select x, A, xb from x_b");
    QTest::newRow("whole word") << mixed << "a" << "x" << false << true << QByteArray("select x, x, ab from a_b");
    QTest::newRow("whole word and case") << mixed << "a" << "x" << true << true << QByteArray("select x, A, ab from a_b");
    QTest::newRow("matches do not overlap") << QByteArray("aaaaa") << "aa" << "b" << true << false << QByteArray("bba");
    QTest::newRow("replacement holds the search") << QByteArray("a a") << "a" << "aa" << true << false << QByteArray("aa aa");
    QTest::newRow("punctuation as a word") << QByteArray("t.id, t..id") << "." << "::" << true << true << QByteArray("t::id, t..id");
    QTest::newRow("bytes 128-255 are word bytes") << QByteArray("caf\xc3\xa9 = caf\xc3\xa9s") << "caf\u00e9" << "c"
                                                 << false << true << QByteArray("c = caf\xc3\xa9s");
    QTest::newRow("line ends stay") << QByteArray("a\r\na\n") << "a" << "" << true << true << QByteArray("\r\n\n");
    QTest::newRow("nothing found") << mixed << "zz" << "x" << false << false << mixed;
}

void TestPraxView::replaceAllFromTheDialog()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, what);
    QFETCH(QString, with);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(QByteArray, expected);
    m_view->setTextBytes(text);
    m_view->OnEditReplace();
    auto *dialog = m_view->findChild<CFindReplaceDlg *>();
    QVERIFY(dialog);
    dialog->findChild<QLineEdit *>(QStringLiteral("findWhat"))->setText(what);
    dialog->findChild<QLineEdit *>(QStringLiteral("replaceWith"))->setText(with);
    dialog->findChild<QCheckBox *>(QStringLiteral("matchCase"))->setChecked(matchCase);
    dialog->findChild<QCheckBox *>(QStringLiteral("wholeWord"))->setChecked(wholeWord);
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("replaceAll")), Qt::LeftButton);

    QCOMPARE(m_view->textBytes(), expected);
    QCOMPARE(m_doc->isModified(), expected != text);
    QCOMPARE(g_boxes, expected == text ? QStringList{"Cannot find the string \"" + what + "\"."} : QStringList());
    // One Undo takes every replacement back.
    m_view->OnEditUndo();
    QCOMPARE(m_view->textBytes(), text);
    dialog->close();
}

QTEST_MAIN(TestPraxView)
#include "tst_praxview.moc"
