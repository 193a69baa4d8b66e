// The embedding server in process, without a bus: the server window's menu E
// and its keys item by item, Update and "E&xit && Return", the in-place
// frame's menu, keys, toolbar, resize bar and drop target, the server item's
// extent, empty drawing and storage, storage checks, the service file of a
// user start, and when a process started by a container ends.
#include "app/childframe.h"
#include "app/commands.h"
#include "app/embedlock.h"
#include "app/embedserver.h"
#include "app/ipframe.h"
#include "app/mainframe.h"
#include "app/msgbox.h"
#include "app/paletteicon.h"
#include "app/praxapp.h"
#include "app/praxdoc.h"
#include "app/praxview.h"
#include "app/srvritem.h"

#include "engine/options.h"

#include <QBuffer>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPicture>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

namespace {

QStringList g_messages;
void recordMessage(const QString &text)
{
    g_messages << text;
}

// The visible items of a menu: "-" for a separator, else "text|id".
QStringList visibleItems(const QMenu *menu)
{
    QStringList items;
    for (const QAction *a : menu->actions()) {
        if (!a->isVisible())
            continue;
        items << (a->isSeparator() ? QStringLiteral("-")
                                   : QStringLiteral("%1|%2").arg(a->text()).arg(a->data().toInt()));
    }
    return items;
}

QString item(const char *text, int id)
{
    return QStringLiteral("%1|%2").arg(QString::fromLatin1(text)).arg(id);
}

// Every key bound to an action of `widget`: portable key text -> command id.
QMap<QString, int> boundKeys(const QWidget *widget)
{
    QMap<QString, int> keys;
    for (const QAction *a : widget->actions()) {
        for (const QKeySequence &k : a->shortcuts()) {
            const QString text = k.toString(QKeySequence::PortableText);
            if (keys.contains(text))
                qWarning("%s is bound twice", qPrintable(text));
            keys.insert(text, a->data().toInt());
        }
    }
    return keys;
}

QMap<QString, int> keyMap(std::initializer_list<std::pair<const char *, int>> rows)
{
    QMap<QString, int> keys;
    for (const auto &[key, id] : rows)
        keys.insert(QString::fromLatin1(key), id);
    return keys;
}

const std::initializer_list<std::pair<const char *, int>> kEditingKeys = {
    {"Ctrl+Z", 57643}, {"Alt+Backspace", 57643}, {"Ctrl+X", 57635}, {"Shift+Del", 57635},
    {"Ctrl+C", 57634}, {"Ctrl+Ins", 57634}, {"Ctrl+V", 57637}, {"Shift+Ins", 57637},
    {"Ctrl+Y", 57644}, {"Ctrl+Shift+Z", 57644},
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Bytes that a codec or a line-end translation would change.
const QByteArray kRawText = QByteArray("select a\r\nfrom t\r\n-- caf\xe9 \xff\xfe\n") + QByteArray(1, '\0') + "x";

} // namespace

class EmbedTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void serverWindowShowsMenuE();
    void serverWindowKeys();
    void updateWritesContentsAndSignals();
    void exitAndReturnKeepsTheDocument();
    void inPlaceMenuAndKeys();
    void inPlaceToolbar();
    void inPlaceFrameRefusesDrops();
    void extent_data();
    void extent();
    void drawingIsEmpty();
    void storageRoundTripIsByteExact();
    void saveNeverFollowsALink_data();
    void saveNeverFollowsALink();
    void linkedItemSerialisesNothing();
    void storeWithoutViewKeepsText();
    void badStorageIsRefused_data();
    void badStorageIsRefused();
    void setTextRefusesMoreThan64MiB();
    void embeddingStartShowsNoWindow();
    void userStartWithoutBusWritesRegistration();
    void serviceFileQuotesExec_data();
    void serviceFileQuotesExec();
    void serverLaunchEndsWhenNothingIsLeft();
    void documentsHoldTheApplicationLock();

private:
    CMainFrame *start(const QStringList &args = {QStringLiteral("prax")});
    uint embed(const QByteArray &contents, const QString &container = QStringLiteral("Report 1"));
    QString storage() const { return m_dir->filePath(QStringLiteral("storage")); }
    QString contents() const { return storage() + QStringLiteral("/Contents"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CPraxApp> m_app;
};

void EmbedTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(storage()));
    setPraxProfilePath(m_dir->filePath(QStringLiteral("prax.ini")));
    qputenv("XDG_DATA_HOME", m_dir->filePath(QStringLiteral("data")).toLocal8Bit());
    prax::format_options = prax::default_format_options;
    g_messages.clear();
    setMessageBoxRecorder(recordMessage);
}

void EmbedTest::cleanup()
{
    m_app.reset();
    setMessageBoxRecorder(nullptr);
    prax::format_options = prax::default_format_options;
    QCOMPARE(praxAppLockCount(), 0); // every document has ended
}

CMainFrame *EmbedTest::start(const QStringList &args)
{
    m_app = std::make_unique<CPraxApp>();
    if (!m_app->InitInstance(args))
        return nullptr;
    return m_app->mainFrame();
}

uint EmbedTest::embed(const QByteArray &text, const QString &container)
{
    writeFile(contents(), text);
    CEmbedServer *server = CEmbedServer::instance();
    return server ? server->CreateEmbedded(storage(), container) : 0;
}

void EmbedTest::serverWindowShowsMenuE()
{
    CMainFrame *frame = start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    QVERIFY(frame);
    const uint handle = embed("select 1;\n");
    QVERIFY(handle);
    CEmbedServer::instance()->Open(handle);
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->currentMenu(), MenuVariant::E);

    const QString sep = QStringLiteral("-");
    const QList<QPair<QString, QStringList>> expected = {
        {"&File", {item("&New\tCtrl+N", 57600), item("&Open...\tCtrl+O", 57601), item("&Close\tCtrl+F4", 57602),
                   item("&Update Report 1", 57610), item("Save Copy &As...", 57611), sep,
                   item("&Print...\tCtrl+P", 57607), item("Print Pre&view", 57609), item("P&rint Setup...", 57606),
                   sep, item("Recent File", 57616), sep, item("E&xit && Return to Report 1", 57665)}},
        {"&Edit", {item("&Undo\tCtrl+Z", 57643), item("Re&do\tCtrl+Y", 57644), sep, item("Cu&t\tCtrl+X", 57635),
                   item("&Copy\tCtrl+C", 57634), item("&Paste\tCtrl+V", 57637)}},
        {"&Beautify", {item("&Beautify", 32771), item("Beautify &N Copy", 32778)}},
        {"&Options", {item("Beautify &Options", 32780), item("Layout &Extras...", 32800), item("Save Options", 32781)}},
        {"&View", {item("&Toolbar", 59392), item("&Status Bar", 59393)}},
        {"&Window", {item("&New Window", 57648), item("&Cascade", 57650), item("&Tile", 57651),
                     item("&Arrange Icons", 57649), item("Ne&xt Window\tCtrl+F6", 32784), sep,
                     item("Ta&bbed", 32795)}},
        {"&Help", {item("&Index", 57666), item("&Using Help", 57668), sep, item("&About Prax...", 57664)}},
    };
    const QList<QAction *> bar = frame->menuBar()->actions();
    QCOMPARE(bar.size(), expected.size());
    for (qsizetype i = 0; i < bar.size(); ++i) {
        QCOMPARE(bar.at(i)->text(), expected.at(i).first);
        QCOMPARE(visibleItems(bar.at(i)->menu()), expected.at(i).second);
    }
    // Update is offered for the embedded document.
    frame->updateActions();
    QVERIFY(frame->commandAction(ID_FILE_UPDATE)->isEnabled());

    // A document of the user's in the same process gets menu D back.
    m_app->OnFileNew();
    QCOMPARE(frame->currentMenu(), MenuVariant::D);
    CEmbedServer::instance()->Release(handle);
}

void EmbedTest::serverWindowKeys()
{
    CMainFrame *frame = start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    const uint handle = embed("select 1;\n");
    CEmbedServer::instance()->Open(handle);
    QCOMPARE(frame->currentMenu(), MenuVariant::E);
    QMap<QString, int> expected = keyMap({{"Ctrl+N", 57600}, {"Ctrl+O", 57601}, {"Ctrl+S", 57610},
                                          {"Ctrl+P", 57607}, {"F6", 57680}, {"Shift+F6", 57681},
                                          {"Shift+F1", 57669}, {"F1", 57670}, {"Ctrl+F4", 57602},
                                          {"Ctrl+F6", 32784}, {"Ctrl+Tab", 32784}});
    for (const auto &[key, id] : kEditingKeys)
        expected.insert(QString::fromLatin1(key), id);
    QCOMPARE(boundKeys(frame), expected);

    // The window closed, the user's own key table is back: Ctrl+S saves.
    CEmbedServer::instance()->serverWindow(handle)->close();
    QTRY_COMPARE(frame->currentMenu(), MenuVariant::M);
    QCOMPARE(boundKeys(frame).value(QStringLiteral("Ctrl+S")), int(ID_FILE_SAVE));
    QVERIFY(!boundKeys(frame).contains(QStringLiteral("F6")));
    CEmbedServer::instance()->Release(handle);
}

void EmbedTest::updateWritesContentsAndSignals()
{
    CMainFrame *frame = start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    CEmbedServer *server = CEmbedServer::instance();
    const uint handle = embed("old\n");
    server->Open(handle);
    QSignalSpy saved(server, &CEmbedServer::Saved);
    CPraxView *view = server->document(handle)->view();
    QVERIFY(view);

    // Ctrl+S in the server window updates the container.
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    view->setTextBytes(kRawText);
    server->document(handle)->SetModifiedFlag(true);
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(readFile(contents()), kRawText);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.at(0).at(0).toUInt(), handle);
    QVERIFY(!server->document(handle)->isModified());

    // So does File Update.
    view->setTextBytes("second\r\n");
    QVERIFY(frame->runCommand(ID_FILE_UPDATE));
    QCOMPARE(readFile(contents()), QByteArray("second\r\n"));
    QCOMPARE(saved.size(), 2);
    server->Release(handle);
}

void EmbedTest::exitAndReturnKeepsTheDocument()
{
    CMainFrame *frame = start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    CEmbedServer *server = CEmbedServer::instance();
    const uint handle = embed("old\n");
    server->Open(handle);
    QSignalSpy saved(server, &CEmbedServer::Saved);
    QSignalSpy closed(server, &CEmbedServer::Closed);
    server->SetText(handle, "edited\n");

    // "E&xit && Return": the window goes, the container's copy is brought up
    // to date without a question, and the program keeps serving.
    QVERIFY(frame->runCommand(ID_APP_EXIT));
    QTRY_VERIFY(!server->serverWindow(handle));
    QCOMPARE(readFile(contents()), QByteArray("edited\n"));
    QCOMPARE(saved.size(), 1);
    QCOMPARE(closed.size(), 1);
    QVERIFY(g_messages.isEmpty());
    QTRY_VERIFY(!frame->isVisible()); // nothing of the user's left in it

    // The text stays with the document for the next window.
    QCOMPARE(server->document(handle)->text(), QByteArray("edited\n"));
    server->Open(handle);
    QCOMPARE(server->document(handle)->view()->textBytes(), QByteArray("edited\n"));
    server->Release(handle);
}

void EmbedTest::inPlaceMenuAndKeys()
{
    start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    const uint handle = embed("select 1;\n");
    CInPlaceFrame frame(CEmbedServer::instance()->document(handle));
    QVERIFY(frame.OnCreate());

    // "&Edit" and "&Help" only: the two separators between them are the
    // container's groups.
    const QString sep = QStringLiteral("-");
    const QList<QAction *> bar = frame.menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar.at(0)->text(), QStringLiteral("&Edit"));
    QCOMPARE(visibleItems(bar.at(0)->menu()),
             QStringList({item("&Undo\tCtrl+Z", 57643), item("Re&do\tCtrl+Y", 57644), sep, item("Cu&t\tCtrl+X", 57635),
                          item("&Copy\tCtrl+C", 57634), item("&Paste\tCtrl+V", 57637)}));
    QCOMPARE(bar.at(1)->text(), QStringLiteral("&Help"));
    QCOMPARE(visibleItems(bar.at(1)->menu()), QStringList({item("&Index", 57666), item("&Using Help", 57668), sep,
                                                           item("&About Prax...", 57664)}));

    QMap<QString, int> expected = keyMap({{"Shift+F1", 57669}, {"F1", 57670}});
    for (const auto &[key, id] : kEditingKeys)
        expected.insert(QString::fromLatin1(key), id);
    QCOMPARE(boundKeys(&frame), expected);

    // The editing commands reach the frame's own view.
    frame.view()->setTextBytes("abc");
    frame.view()->setSelectionBytes(0, 3);
    frame.updateActions();
    QVERIFY(frame.commandAction(ID_EDIT_CUT)->isEnabled());
    QVERIFY(frame.runCommand(ID_EDIT_CUT));
    QCOMPARE(frame.view()->textBytes(), QByteArray());
}

void EmbedTest::inPlaceToolbar()
{
    start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    const uint handle = embed("x");
    CInPlaceFrame frame(CEmbedServer::instance()->document(handle));
    QVERIFY(frame.OnCreate());
    QVERIFY(frame.OnCreateControlBars(&frame, &frame));
    QToolBar *bar = frame.toolBar();
    QVERIFY(bar);
    QCOMPARE(bar->objectName(), QStringLiteral("AFX_IDW_TOOLBAR"));
    QCOMPARE(frame.toolBarArea(bar), Qt::TopToolBarArea);

    const int expected[] = {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_APP_ABOUT, ID_CONTEXT_HELP};
    const QList<QAction *> entries = bar->actions();
    QCOMPARE(entries.size(), 6);
    int image = 0;
    for (int i = 0; i < 6; ++i) {
        if (expected[i] == 0) {
            QVERIFY(entries.at(i)->isSeparator());
            continue;
        }
        QAction *a = entries.at(i);
        QCOMPARE(a->data().toInt(), expected[i]);
        // The frame owns the buttons' actions, so their commands come to it.
        QCOMPARE(a, frame.commandAction(expected[i]));
        // Each button shows its command's icon, as the main toolbar does.
        const QImage icon = a->icon().pixmap(QSize(16, 16)).toImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon, paletteSvgIcon(commandIconPath(expected[i])).pixmap(QSize(16, 16)).toImage());
        ++image;
    }
    QCOMPARE(image, 5);
}

void EmbedTest::inPlaceFrameRefusesDrops()
{
    start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    const uint handle = embed("x");
    CInPlaceFrame frame(CEmbedServer::instance()->document(handle));
    QVERIFY(frame.OnCreate());
    // The resize bar holds the view.
    QCOMPARE(frame.centralWidget(), frame.resizeBar());
    QCOMPARE(frame.view()->parentWidget(), frame.resizeBar());
    // A drop target that takes nothing: drags stop at the frame.
    QVERIFY(frame.acceptDrops());
    QMimeData data;
    data.setText(QStringLiteral("dragged"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(true);
    QCoreApplication::sendEvent(&frame, &enter);
    QVERIFY(!enter.isAccepted());
}

void EmbedTest::extent_data()
{
    QTest::addColumn<uint>("aspect");
    QTest::addColumn<bool>("answered");
    QTest::newRow("content") << uint(DVASPECT_CONTENT) << true;
    QTest::newRow("thumbnail") << uint(DVASPECT_THUMBNAIL) << false;
    QTest::newRow("icon") << uint(DVASPECT_ICON) << false;
    QTest::newRow("docprint") << uint(DVASPECT_DOCPRINT) << false;
}

void EmbedTest::extent()
{
    QFETCH(uint, aspect);
    QFETCH(bool, answered);
    CPraxDoc doc;
    doc.setText(QByteArray(5000, 'x')); // the size does not follow the text
    CPraxSrvrItem item(&doc);
    QSize size(7, 7);
    QCOMPARE(item.OnGetExtent(aspect, size), answered);
    QCOMPARE(size, answered ? QSize(3000, 3000) : QSize(7, 7));
}

void EmbedTest::drawingIsEmpty()
{
    CPraxDoc doc;
    doc.setText("select a from t;\n");
    CPraxSrvrItem item(&doc);

    QImage image(120, 80, QImage::Format_ARGB32);
    image.fill(Qt::cyan);
    const QImage before = image;
    QPainter painter(&image);
    QVERIFY(item.OnDraw(&painter, image.size()));
    // Window 3000 x 3000 units mapped over the whole picture.
    QCOMPARE(painter.window(), QRect(0, 0, 3000, 3000));
    QCOMPARE(painter.viewport(), QRect(0, 0, 120, 80));
    QCOMPARE(painter.combinedTransform().map(QPointF(3000, 3000)), QPointF(120, 80));
    painter.end();
    QCOMPARE(image, before);

    QPicture picture;
    QPainter recorder(&picture);
    QVERIFY(item.OnDraw(&recorder, QSize(30, 30)));
    recorder.end();
    QVERIFY(picture.boundingRect().isEmpty());

    // What the server hands a container: a transparent PNG of the asked size.
    start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    const uint handle = embed("select 1;\n");
    const QImage png = QImage::fromData(CEmbedServer::instance()->Draw(handle, DVASPECT_CONTENT, 64, 48), "PNG");
    QCOMPARE(png.size(), QSize(64, 48));
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            QCOMPARE(qAlpha(png.pixel(x, y)), 0);
    QVERIFY(CEmbedServer::instance()->Draw(handle, DVASPECT_CONTENT, 0, 10).isEmpty());
    QVERIFY(CEmbedServer::instance()->Draw(handle, DVASPECT_CONTENT, 100000, 10).isEmpty());
    QVERIFY(CEmbedServer::instance()->lastError().startsWith(QLatin1String(CEmbedServer::kErrorInvalidArgument)));
}

void EmbedTest::storageRoundTripIsByteExact()
{
    start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    CEmbedServer *server = CEmbedServer::instance();
    const uint handle = embed(kRawText);
    QVERIFY(handle);
    QCOMPARE(server->document(handle)->text(), kRawText);
    QVERIFY(!server->document(handle)->isModified());
    QFile::remove(contents());
    server->Save(handle);
    QCOMPARE(readFile(contents()), kRawText);
    // Through a window and back.
    server->Open(handle);
    QCOMPARE(server->document(handle)->view()->textBytes(), kRawText);
    server->Save(handle);
    QCOMPARE(readFile(contents()), kRawText);
    server->Release(handle);
}

void EmbedTest::saveNeverFollowsALink_data()
{
    QTest::addColumn<bool>("dangling");
    QTest::newRow("link to a file") << false;
    QTest::newRow("dangling link") << true;
}

void EmbedTest::saveNeverFollowsALink()
{
    QFETCH(bool, dangling);
    start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    CEmbedServer *server = CEmbedServer::instance();
    const uint handle = embed("select 1;\n");
    QVERIFY(handle);
    // Contents -> a file of the user's (or where one would be created).
    const QString target = m_dir->filePath(QStringLiteral("victim"));
    if (!dangling)
        writeFile(target, "precious\n");
    QVERIFY(QFile::remove(contents()));
    QVERIFY(QFile::link(target, contents()));

    server->Save(handle);
    QVERIFY2(server->lastError().startsWith(QLatin1String(CEmbedServer::kErrorInvalidStorage)),
             qPrintable(server->lastError()));
    server->document(handle)->setText("changed\n");
    server->Open(handle);
    QVERIFY(!server->RunCommand(handle, ID_FILE_UPDATE));
    QVERIFY2(server->lastError().startsWith(QLatin1String(CEmbedServer::kErrorInvalidStorage)),
             qPrintable(server->lastError()));
    QCOMPARE(QFile::exists(target), !dangling);
    if (!dangling)
        QCOMPARE(readFile(target), QByteArray("precious\n"));
    QVERIFY(QFileInfo(contents()).isSymLink());

    // A regular Contents is replaced whole, with its permission bits and no
    // temporary file left beside it.
    QVERIFY(QFile::remove(contents()));
    writeFile(contents(), "old\n");
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QVERIFY(QFile::setPermissions(contents(), ownerOnly));
    server->Save(handle);
    QCOMPARE(readFile(contents()), QByteArray("changed\n"));
    QCOMPARE(QFile::permissions(contents()) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), ownerOnly);
    QCOMPARE(QDir(storage()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Contents")});
    server->Release(handle);
}

void EmbedTest::linkedItemSerialisesNothing()
{
    CPraxDoc doc;
    doc.setText("kept");
    CPraxSrvrItem linked(&doc, true);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(linked.Serialize(out, true));
    QCOMPARE(out.data(), QByteArray());

    QBuffer in;
    in.setData("replacement");
    in.open(QIODevice::ReadOnly);
    QVERIFY(linked.Serialize(in, false));
    QCOMPARE(doc.text(), QByteArray("kept"));

    // The embedded item does store and load the text.
    CPraxSrvrItem embedded(&doc);
    in.seek(0);
    QVERIFY(embedded.Serialize(in, false));
    QCOMPARE(doc.text(), QByteArray("replacement"));
}

void EmbedTest::storeWithoutViewKeepsText()
{
    // A document whose window has closed still stores its text: storing
    // nothing would empty the container's copy.
    CPraxDoc doc;
    {
        CPraxView view(&doc);
        view.setTextBytes("typed in a window");
        doc.detachView(&view);
    }
    QVERIFY(!doc.view());
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(CPraxSrvrItem(&doc).Serialize(out, true));
    QCOMPARE(out.data(), QByteArray("typed in a window"));
}

void EmbedTest::badStorageIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("error");
    QTest::newRow("relative path") << "relative" << CEmbedServer::kErrorInvalidStorage;
    QTest::newRow("missing directory") << "missing" << CEmbedServer::kErrorInvalidStorage;
    QTest::newRow("a file, not a directory") << "file" << CEmbedServer::kErrorInvalidStorage;
    QTest::newRow("Contents is a directory") << "contents-dir" << CEmbedServer::kErrorInvalidStorage;
    QTest::newRow("Contents is a link") << "contents-link" << CEmbedServer::kErrorInvalidStorage;
    QTest::newRow("Contents of 67,108,865 bytes") << "too-large" << CEmbedServer::kErrorTooLarge;
    QTest::newRow("Contents of 67,108,864 bytes") << "largest" << QString();
    QTest::newRow("no Contents yet") << "new" << QString();
}

void EmbedTest::badStorageIsRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, error);
    start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    CEmbedServer *server = CEmbedServer::instance();
    QString path = storage();
    if (kind == QLatin1String("relative")) {
        path = QStringLiteral("storage");
    } else if (kind == QLatin1String("missing")) {
        path = m_dir->filePath(QStringLiteral("nowhere"));
    } else if (kind == QLatin1String("file")) {
        path = m_dir->filePath(QStringLiteral("plain"));
        writeFile(path, "x");
    } else if (kind == QLatin1String("contents-dir")) {
        QVERIFY(QDir().mkpath(contents()));
    } else if (kind == QLatin1String("contents-link")) {
        writeFile(m_dir->filePath(QStringLiteral("elsewhere")), "select 1;\n");
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("elsewhere")), contents()));
    } else if (kind == QLatin1String("too-large")) {
        writeFile(contents(), QByteArray(64 * 1024 * 1024 + 1, 'a'));
    } else if (kind == QLatin1String("largest")) {
        writeFile(contents(), QByteArray(64 * 1024 * 1024, 'a'));
    }
    const uint handle = server->CreateEmbedded(path, QStringLiteral("C"));
    if (error.isEmpty()) {
        QVERIFY(handle);
        QCOMPARE(server->document(handle)->text().size(), kind == QLatin1String("new") ? 0 : 64 * 1024 * 1024);
        server->Release(handle);
    } else {
        QCOMPARE(handle, 0u);
        QVERIFY2(server->lastError().startsWith(error), qPrintable(server->lastError()));
        if (kind == QLatin1String("too-large"))
            QVERIFY(server->lastError().endsWith(QLatin1String("The file is too large to open.")));
    }
    QVERIFY(g_messages.isEmpty()); // a container's mistake shows no dialog
}

void EmbedTest::setTextRefusesMoreThan64MiB()
{
    // Tested in process: a D-Bus array holds at most 64 MiB, so a larger text
    // cannot even be sent over the bus.
    start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    CEmbedServer *server = CEmbedServer::instance();
    const uint handle = embed("select 1;\n");
    server->SetText(handle, QByteArray(64 * 1024 * 1024 + 1, 'a'));
    QVERIFY2(server->lastError().startsWith(QLatin1String(CEmbedServer::kErrorTooLarge)), qPrintable(server->lastError()));
    QCOMPARE(server->document(handle)->text(), QByteArray("select 1;\n"));
    server->Release(handle);
}

void EmbedTest::embeddingStartShowsNoWindow()
{
    writeFile(m_dir->filePath(QStringLiteral("prax.ini")), "[Formatting Options]\nInterval=9\n");
    CMainFrame *frame = start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    QVERIFY(frame);
    QVERIFY(!frame->isVisible());
    QVERIFY(frame->childFrames().isEmpty());
    QCOMPARE(prax::format_options.interval, 4); // the built-in value, not the profile's
    QVERIFY(g_messages.isEmpty());
    // No registration is written by a container's start.
    QVERIFY(!QFile::exists(ServerRegistration::serviceFilePath()));
    // With no bus nobody can reach this process: it asks to end.
    QSignalSpy exit(m_app.get(), &CPraxApp::exitRequested);
    QVERIFY(exit.wait(2000));
}

void EmbedTest::userStartWithoutBusWritesRegistration()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    // No bus: the editor works as usual and says nothing about it.
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->childFrames().size(), 1);
    QVERIFY(g_messages.isEmpty());
    QVERIFY(!CEmbedServer::instance()->isRegistered());

    const QString path = ServerRegistration::serviceFilePath();
    QCOMPARE(path, m_dir->filePath(QStringLiteral("data/dbus-1/services/Prax.Document.service")));
    const QByteArray text = readFile(path);
    QVERIFY(text.contains("[D-BUS Service]\nName=Prax.Document\nExec="));
    QVERIFY(text.endsWith(" -Embedding\n"));
    QVERIFY(text.contains(QCoreApplication::applicationFilePath().toUtf8()));

    // Written afresh at every start by the user.
    writeFile(path, "stale");
    m_app.reset();
    start();
    QCOMPARE(readFile(path), text);
}

void EmbedTest::serviceFileQuotesExec_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QByteArray>("exec");
    QTest::newRow("plain path") << "/usr/bin/prax" << QByteArray("Exec=/usr/bin/prax -Embedding\n");
    QTest::newRow("blank in path") << "/opt/my apps/prax" << QByteArray("Exec='/opt/my apps/prax' -Embedding\n");
    QTest::newRow("quote in path") << "/opt/it's/prax" << QByteArray("Exec='/opt/it'\\''s/prax' -Embedding\n");
    QTest::newRow("line end in path") << "/opt/a\nExec=/bin/sh" << QByteArray();
}

void EmbedTest::serviceFileQuotesExec()
{
    QFETCH(QString, executable);
    QFETCH(QByteArray, exec);
    const QByteArray text = ServerRegistration::serviceFileText(executable);
    if (exec.isEmpty())
        QVERIFY(text.isEmpty());
    else
        QVERIFY2(text.endsWith(exec), text.constData());
}

void EmbedTest::serverLaunchEndsWhenNothingIsLeft()
{
    CMainFrame *frame = start({QStringLiteral("prax"), QStringLiteral("-Embedding")});
    CEmbedServer *server = CEmbedServer::instance();
    int exits = 0;
    server->beginServerLaunch([&exits] { ++exits; });
    const uint first = embed("a");
    const uint second = server->CreateEmbedded(storage(), QStringLiteral("C"));
    server->Release(first);
    QTest::qWait(50);
    QCOMPARE(exits, 0); // one document still embedded

    // The user works in the window: the process stays after the last release.
    server->Open(second);
    m_app->OnFileNew();
    server->Release(second);
    QTest::qWait(50);
    QCOMPARE(exits, 0);
    // ... until the user closes it.
    frame->close();
    QTRY_COMPARE(exits, 1);
}

void EmbedTest::documentsHoldTheApplicationLock()
{
    const int before = praxAppLockCount();
    int reported = -1;
    setAppLockHook([&reported](int count) { reported = count; });
    {
        CPraxDoc first;
        CPraxDoc second;
        QCOMPARE(praxAppLockCount(), before + 2);
    }
    QCOMPARE(praxAppLockCount(), before);
    QCOMPARE(reported, before);
    // An unlock without its lock leaves the count alone.
    praxUnlockApp();
    QCOMPARE(praxAppLockCount(), before);
    setAppLockHook(nullptr);
}

QTEST_MAIN(EmbedTest)
#include "tst_embed.moc"
