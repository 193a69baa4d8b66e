// The document: titles of new documents, byte-exact save and open, the size
// limit, a text loaded before its view exists, format on save, the line end
// of new and formatted lines, and changes made to its file by other programs.
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/editorsettings.h"
#include "app/msgbox.h"
#include "app/praxdoc.h"
#include "app/praxview.h"
#include "engine/engine.h"
#include "engine/options.h"

namespace {

QStringList g_boxes;
QStringList g_statuses;

void recordBox(const QString &text)
{
    g_boxes << text;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The kinds of line end in `bytes`, each once, in the order "CR", "CRLF", "LF".
QStringList lineEndKinds(const QByteArray &bytes)
{
    QStringList kinds;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            kinds << QStringLiteral("CRLF"), ++i;
        else if (bytes[i] == '\r')
            kinds << QStringLiteral("CR");
        else if (bytes[i] == '\n')
            kinds << QStringLiteral("LF");
    }
    kinds.removeDuplicates();
    kinds.sort();
    return kinds;
}

} // namespace

class TestPraxDoc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void newDocumentsAreNumbered();
    void saveAndOpenAreByteExact_data();
    void saveAndOpenAreByteExact();
    void sizeLimit_data();
    void sizeLimit();
    void openFailureKeepsDocument();
    void saveFailureKeepsOldFile();
    void textLoadedBeforeViewReachesView();
    void formatOnSave_data();
    void formatOnSave();
    void newAndFormattedLinesKeepTheFileLineEnd_data();
    void newAndFormattedLinesKeepTheFileLineEnd();
    void changesOnDiskAreSeen_data();
    void changesOnDiskAreSeen();
    void reloadIsOneUndoStep();

private:
    QTemporaryDir m_dir;
};

void TestPraxDoc::initTestCase()
{
    setMessageBoxRecorder(recordBox);
    QVERIFY(m_dir.isValid());
    prax::set_status_hook([](std::string_view text) {
        g_statuses << QString::fromLatin1(text.data(), qsizetype(text.size())).trimmed();
    });
}

void TestPraxDoc::init()
{
    g_boxes.clear();
    g_statuses.clear();
    setPraxFormatOnSave(false);
}

void TestPraxDoc::newDocumentsAreNumbered()
{
    // Runs first: no document of this process has drawn a number yet.
    CPraxDoc opened;
    const QString path = m_dir.filePath(QStringLiteral("query.sql"));
    writeAll(path, "select 1");
    QVERIFY(opened.openDocument(path));
    QCOMPARE(opened.title(), QStringLiteral("query.sql"));

    CPraxDoc first;
    QVERIFY(first.OnNewDocument());
    CPraxDoc second;
    QCOMPARE(first.title(), QStringLiteral("Sql1"));
    QCOMPARE(second.title(), QStringLiteral("Sql2"));
    QCOMPARE(first.title(), QStringLiteral("Sql1"));

    QSignalSpy spy(&second, &CPraxDoc::titleChanged);
    CPraxView view(&second);
    QVERIFY(second.saveDocument(m_dir.filePath(QStringLiteral("saved.txt"))));
    QCOMPARE(second.title(), QStringLiteral("saved.txt"));
    QCOMPARE(spy.count(), 1);

    QCOMPARE(CPraxDoc::docString(CPraxDoc::filterName), QStringLiteral("sqltext  (*.txt)"));
    QCOMPARE(CPraxDoc::docString(CPraxDoc::regFileTypeId), QStringLiteral("Prax.Document"));
}

void TestPraxDoc::saveAndOpenAreByteExact_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF line ends") << QByteArray("select a\r\nfrom t\r\n");
    QTest::newRow("NUL byte") << QByteArray("a\0b", 3);
    QTest::newRow("0xFF and invalid UTF-8") << QByteArray("\xff\xfe \xc3\x28 \xe2\x82 end");
    QTest::newRow("lone CR and LF") << QByteArray("a\rb\nc\r");
    QTest::newRow("empty") << QByteArray();
}

void TestPraxDoc::saveAndOpenAreByteExact()
{
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("roundtrip.txt"));

    CPraxDoc doc;
    CPraxView view(&doc);
    view.setTextBytes(bytes);
    doc.SetModifiedFlag(true);
    QVERIFY(doc.saveDocument(path));
    QVERIFY(!doc.isModified());
    QCOMPARE(readAll(path), bytes);

    CPraxDoc reopened;
    CPraxView reopenedView(&reopened);
    QVERIFY(reopened.openDocument(path));
    QCOMPARE(reopenedView.textBytes(), bytes);
    QCOMPARE(reopened.text(), bytes);
    QVERIFY(!reopened.isModified());
    QVERIFY(!reopenedView.isUndoAvailable());
    QVERIFY(g_boxes.isEmpty());
}

void TestPraxDoc::sizeLimit_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("opens");
    QTest::newRow("67,108,864 bytes open") << 67108864 << true;
    QTest::newRow("67,108,865 bytes are refused") << 67108865 << false;
}

void TestPraxDoc::sizeLimit()
{
    QFETCH(int, size);
    QFETCH(bool, opens);
    const QString path = m_dir.filePath(QStringLiteral("big.txt"));
    // In lines of 100 bytes, as a script is: one line of 64 MiB would only
    // measure how long the editor takes to lay it out.
    writeAll(path, (QByteArray(99, 'x') + '\n').repeated(size / 100 + 1).left(size));

    CPraxDoc doc;
    CPraxView view(&doc);
    view.setTextBytes("previous");
    QCOMPARE(doc.openDocument(path), opens);
    if (opens) {
        QCOMPARE(view.textBytes().size(), size);
        QVERIFY(g_boxes.isEmpty());
    } else {
        QCOMPARE(g_boxes, QStringList{QStringLiteral("The file is too large to open.")});
        QCOMPARE(view.textBytes(), QByteArray("previous"));
        QVERIFY(doc.path().isEmpty());
    }
}

void TestPraxDoc::openFailureKeepsDocument()
{
    CPraxDoc doc;
    CPraxView view(&doc);
    view.setTextBytes("kept");
    QVERIFY(!doc.openDocument(m_dir.filePath(QStringLiteral("missing.txt"))));
    QCOMPARE(g_boxes.size(), 1);
    QCOMPARE(view.textBytes(), QByteArray("kept"));
    QVERIFY(doc.path().isEmpty());
}

void TestPraxDoc::saveFailureKeepsOldFile()
{
    CPraxDoc doc;
    CPraxView view(&doc);
    view.setTextBytes("new text");
    doc.SetModifiedFlag(true);
    QVERIFY(!doc.saveDocument(m_dir.filePath(QStringLiteral("no/such/dir/x.txt"))));
    QCOMPARE(g_boxes.size(), 1);
    QVERIFY(doc.isModified());
    QVERIFY(doc.path().isEmpty());
}

void TestPraxDoc::textLoadedBeforeViewReachesView()
{
    const QString path = m_dir.filePath(QStringLiteral("early.txt"));
    writeAll(path, "early\r\n");
    CPraxDoc doc;
    QVERIFY(doc.openDocument(path));
    QCOMPARE(doc.text(), QByteArray("early\r\n"));
    CPraxView view(&doc);
    QCOMPARE(view.textBytes(), QByteArray("early\r\n"));
    QVERIFY(!doc.isModified());
    QCOMPARE(doc.view(), &view);
}

void TestPraxDoc::formatOnSave_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<bool>("formatted"); // false: saved as typed
    QTest::addColumn<QString>("style");  // the layout extras in force

    const QByteArray sql = "select a,b from t where x=1 and y=2;\n";
    QTest::newRow("off: saved as typed") << false << "q.sql" << sql << false << "classic";
    QTest::newRow("on: saved beautified") << true << "q.sql" << sql << true << "classic";
    QTest::newRow("on: beautified with the layout extras") << true << "q.sql"
                                                         << QByteArray("select count(*) from t;\n") << true << "modern";
    QTest::newRow("on, empty: saved empty, nothing said") << true << "q.sql" << QByteArray() << false << "classic";
    // Host-language source by the name it is saved under: without EXEC SQL
    // it holds no SQL, so the engine refuses it.
    QTest::newRow("on, no SQL in a .c file: saved as typed, status says why")
        << true << "q.c" << sql << false << "classic";
}

void TestPraxDoc::formatOnSave()
{
    QFETCH(bool, on);
    QFETCH(QString, file);
    QFETCH(QByteArray, typed);
    QFETCH(bool, formatted);
    QFETCH(QString, style);
    setPraxFormatOnSave(on);
    // What the engine makes of the text, as a file of that name, in the
    // style given and in the classic one.
    const auto engineFormat = [&](const char *withStyle, std::string &out) {
        prax::FormatRequest request;
        request.host_source = prax::is_host_source_path(file.toStdString());
        prax::apply_style(prax::format_options, withStyle);
        const int indentation = prax::format_options.starting_indentation;
        const int result = prax::format_text(std::string_view(typed.constData(), typed.size()), out, request);
        prax::format_options.starting_indentation = indentation;
        return result == prax::kFormatOk;
    };
    std::string classicOut, engineOut;
    engineFormat("classic", classicOut);
    QCOMPARE(engineFormat(style.toLatin1().constData(), engineOut), formatted || !on);
    const auto restoreClassic = qScopeGuard([] { prax::apply_style(prax::format_options, "classic"); });
    // The extras change this text: saving it classic would not pass.
    QCOMPARE(engineOut != classicOut, style == QLatin1String("modern"));
    g_statuses.clear();

    CPraxDoc doc;
    CPraxView view(&doc);
    view.setTextBytes(typed);
    doc.SetModifiedFlag(true);
    const QString path = m_dir.filePath(file);
    QVERIFY(doc.saveDocument(path));
    QVERIFY(g_boxes.isEmpty());
    QVERIFY(!doc.isModified());

    const QByteArray saved = readAll(path);
    QCOMPARE(view.textBytes(), saved);
    if (!formatted) {
        QCOMPARE(saved, typed);
        QVERIFY(!view.isUndoAvailable());
    } else {
        QCOMPARE(saved, QByteArray::fromStdString(engineOut));
        QVERIFY(saved != typed);
        // One Undo takes the formatting back, and the text is then unsaved.
        view.undo();
        QCOMPARE(view.textBytes(), typed);
        QVERIFY(!view.isUndoAvailable());
        QVERIFY(doc.isModified());
    }

    // A failure says why in the status bar: the engine's own last message.
    const QString prefix = QStringLiteral("Saved without formatting: ");
    const bool failed = on && !formatted && !typed.isEmpty();
    QCOMPARE(!g_statuses.isEmpty() && g_statuses.last().startsWith(prefix), failed);
    if (failed) {
        QVERIFY(g_statuses.size() >= 2);
        QCOMPARE(g_statuses.last(), prefix + g_statuses.at(g_statuses.size() - 2));
    }

    // Saving the formatted text again changes nothing and adds no Undo step.
    if (formatted) {
        view.redo();
        QVERIFY(doc.saveDocument(path));
        QCOMPARE(readAll(path), saved);
        view.undo();
        QCOMPARE(view.textBytes(), typed);
    }
}

void TestPraxDoc::newAndFormattedLinesKeepTheFileLineEnd_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("lineEnd");
    QTest::newRow("CR LF file") << QByteArray("select a, b from t where x = 1;\r\nselect c from v;\r\n")
                                << QStringLiteral("CRLF");
    QTest::newRow("LF file") << QByteArray("select a, b from t where x = 1;\nselect c from v;\n")
                             << QStringLiteral("LF");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("LF");
}

void TestPraxDoc::newAndFormattedLinesKeepTheFileLineEnd()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, lineEnd);
    prax::format_options = prax::default_format_options;
    const QString path = m_dir.filePath(QStringLiteral("lineends.sql"));
    writeAll(path, file);

    CPraxDoc doc;
    CPraxView view(&doc);
    view.show();
    QVERIFY(doc.openDocument(path));
    QCOMPARE(view.lineEndName(), lineEnd);
    // Lines typed at the end, then the whole text formatted and saved.
    view.SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    QTest::keyClicks(&view, QStringLiteral("select d, e from w where y = 2;"));
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Return);
    const QByteArray typed = view.textBytes();
    view.OnBeautify();
    QVERIFY(view.textBytes() != typed);
    QVERIFY(doc.saveDocument(path));

    QCOMPARE(lineEndKinds(readAll(path)), QStringList{lineEnd});
    QCOMPARE(view.lineEndName(), lineEnd);
    QVERIFY(g_boxes.isEmpty());
}

void TestPraxDoc::changesOnDiskAreSeen_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<CPraxDoc::DiskChange>("seen");
    QTest::newRow("untouched") << QString() << CPraxDoc::DiskChange::None;
    QTest::newRow("rewritten") << QStringLiteral("rewrite") << CPraxDoc::DiskChange::Changed;
    QTest::newRow("same size, later time") << QStringLiteral("touch") << CPraxDoc::DiskChange::Changed;
    QTest::newRow("deleted") << QStringLiteral("delete") << CPraxDoc::DiskChange::Deleted;
}

void TestPraxDoc::changesOnDiskAreSeen()
{
    QFETCH(QString, change);
    QFETCH(CPraxDoc::DiskChange, seen);
    const QString path = m_dir.filePath(QStringLiteral("watched.sql"));
    writeAll(path, "select 1;\n");
    CPraxDoc doc;
    CPraxView view(&doc);
    QVERIFY(doc.openDocument(path));

    if (change == QLatin1String("rewrite")) {
        writeAll(path, "select 22;\n");
    } else if (change == QLatin1String("touch")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(file.fileTime(QFileDevice::FileModificationTime).addSecs(5),
                                 QFileDevice::FileModificationTime));
    } else if (change == QLatin1String("delete")) {
        QVERIFY(QFile::remove(path));
    }
    QCOMPARE(doc.diskChange(), seen);
    // Taken as known, the same state is no change any more.
    doc.acceptDiskState();
    QCOMPARE(doc.diskChange(), CPraxDoc::DiskChange::None);
    // Saving makes the file ours again.
    writeAll(path, "select 333;\n");
    QVERIFY(doc.saveDocument(path));
    QCOMPARE(doc.diskChange(), CPraxDoc::DiskChange::None);
}

void TestPraxDoc::reloadIsOneUndoStep()
{
    const QString path = m_dir.filePath(QStringLiteral("reload.sql"));
    writeAll(path, "select 1;\r\n");
    CPraxDoc doc;
    CPraxView view(&doc);
    QVERIFY(doc.openDocument(path));
    view.SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    QTest::keyClicks(&view, QStringLiteral("edit"));
    const QByteArray edited = view.textBytes();
    QVERIFY(doc.isModified());

    writeAll(path, "select 2;\nselect 3;\n");
    QVERIFY(doc.reloadDocument());
    QCOMPARE(view.textBytes(), QByteArray("select 2;\nselect 3;\n"));
    QVERIFY(!doc.isModified());
    QCOMPARE(view.lineEndName(), QStringLiteral("LF"));
    QCOMPARE(doc.diskChange(), CPraxDoc::DiskChange::None);

    // The edits made before are one Undo away, and unsaved again, with
    // the line end they had; Redo brings the reloaded text back.
    view.OnEditUndo();
    QCOMPARE(view.textBytes(), edited);
    QVERIFY(doc.isModified());
    QCOMPARE(view.lineEndName(), QStringLiteral("CRLF"));
    view.OnEditRedo();
    QCOMPARE(view.lineEndName(), QStringLiteral("LF"));
    view.OnEditUndo();

    QVERIFY(QFile::remove(path));
    QVERIFY(!doc.reloadDocument());
    QCOMPARE(g_boxes, QStringList{QStringLiteral("Failed to open document.")});
    QCOMPARE(view.textBytes(), edited);
}

QTEST_MAIN(TestPraxDoc)
#include "tst_praxdoc.moc"
