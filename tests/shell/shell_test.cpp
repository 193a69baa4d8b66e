// Start-up, main frame and command table of the editor: the menus M and D
// item by item, the key table, toolbar and status bar, the engine's messages
// in the status bar, the desktop's colours, the tabbed view, embedding
// launches, the command line, the recent-file list in the profile, Save
// Options, Exit and the About box, the file dialogs' types, dropped files and
// files changed on disk.
#include "app/aboutdlg.h"
#include "app/childframe.h"
#include "app/commands.h"
#include "app/dialogs/formatoptionsdlg.h"
#include "app/editorsettings.h"
#include "app/embedding.h"
#include "app/findreplace.h"
#include "app/help.h"
#include "app/mainframe.h"
#include "app/msgbox.h"
#include "app/praxapp.h"
#include "app/praxdoc.h"
#include "app/praxview.h"

#include "engine/engine.h"
#include "engine/options.h"
#include "engine/profile.h"

#include "prax_version.h" // generated into the build tree

#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QUrl>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QAccessible>
#include <QToolTip>
#include <QApplication>
#include <QClipboard>
#include <QWhatsThis>
#include <QScopeGuard>
#include <Qsci/qscilexersql.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

QStringList g_messages;
void recordMessage(const QString &text)
{
    g_messages << text;
}

// One menu item as the user sees it: "-" for a separator, else
// "text|id|prompt".
QStringList visibleItems(const QMenu *menu)
{
    QStringList items;
    for (const QAction *a : menu->actions()) {
        if (!a->isVisible())
            continue;
        if (a->isSeparator())
            items << QStringLiteral("-");
        else
            items << QStringLiteral("%1|%2|%3").arg(a->text()).arg(a->data().toInt()).arg(a->statusTip());
    }
    return items;
}

QString item(const char *text, int id, const char *prompt)
{
    return QStringLiteral("%1|%2|%3").arg(QString::fromLatin1(text)).arg(id).arg(QString::fromLatin1(prompt));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The share of pixels of `image` that are not (nearly) transparent.
double inkShare(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    qsizetype ink = 0;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x)
            ink += qAlpha(argb.pixel(x, y)) > 32;
    }
    return argb.isNull() ? 0.0 : double(ink) / double(argb.width() * argb.height());
}

// The contrast of two colours as readability guidelines count it: 1 (none)
// to 21 (black on white); 4.5 is the least for text.
double contrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A dark palette as a dark desktop theme hands it to the application.
QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(49, 54, 59));
    dark.setColor(QPalette::WindowText, QColor(239, 240, 241));
    dark.setColor(QPalette::Base, QColor(35, 38, 41));
    dark.setColor(QPalette::Text, QColor(239, 240, 241));
    dark.setColor(QPalette::Button, QColor(49, 54, 59));
    dark.setColor(QPalette::ButtonText, QColor(239, 240, 241));
    return dark;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class ShellTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menusMatchCommandTable_data();
    void menusMatchCommandTable();
    void menuBarFollowsDocumentWindows();
    void keyTableSendsTheTableCommands();
    void editorKeysWorkInTheWindow();
    void documentWindowsStayInsideTheArea();
    void commandTableInvariants();
    void toolbarHasFourteenNamedEntries();
    void optionAndBatchButtonsRunTheMenuCommands();
    void statusBarPanesAndPrompts();
    void engineMessagesReachTheMessagePane();
    void windowTitleShowsActiveDocument();
    void tabbedViewIsKeptInProfile();

    void embeddingSwitch_data();
    void embeddingSwitch();
    void commandLineParsing_data();
    void commandLineParsing();
    void qtOwnOptionsAreLeftToQApplication();
    void commandLineFilesOpenEachInItsWindow();
    void startupReadsProfileAndDialogColours_data();
    void startupReadsProfileAndDialogColours();

    void layoutExtrasReadAtStartup();
    void recentFileListKeptInProfile();
    void recentFileThatNoLongerOpensIsDropped();
    void saveOptionsWritesTheProfile();
    void saveOptionsFailureIsReported();
    void exitAsksForEachModifiedDocument();
    void aboutBoxLogo();
    void helpIndexOpensContext111();

    void lineEndPaneFollowsActiveDocument();
    void fileDialogTypes();
    void saveAsProposesSqlName_data();
    void saveAsProposesSqlName();
    void droppedFilesOpenAsDocuments_data();
    void droppedFilesOpenAsDocuments();
    void fileChangedOnDiskIsAskedOnce_data();
    void fileChangedOnDiskIsAskedOnce();
    void fileDeletedOnDiskIsReportedOnce();

private:
    CMainFrame *start(const QStringList &args = {QStringLiteral("prax")});
    QString profilePath() const { return m_dir->filePath(QStringLiteral("prax.ini")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CPraxApp> m_app;
    QStringList m_prompts;
};

void ShellTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    setPraxProfilePath(profilePath());
    prax::format_options = prax::default_format_options;
    g_messages.clear();
    setMessageBoxRecorder(recordMessage);
    m_prompts.clear();
    DocumentPrompts::setSaveChangesHook([this](const QString &text) {
        m_prompts << text;
        return QMessageBox::No;
    });
    DocumentPrompts::setFileNameHook([](bool, const QString &) { return QString(); });
    DocumentPrompts::setReloadHook([this](const QString &text) {
        m_prompts << text;
        return false;
    });
}

void ShellTest::cleanup()
{
    m_app.reset();
    DocumentPrompts::setSaveChangesHook(nullptr);
    DocumentPrompts::setFileNameHook(nullptr);
    DocumentPrompts::setReloadHook(nullptr);
    setMessageBoxRecorder(nullptr);
    prax::format_options = prax::default_format_options;
}

CMainFrame *ShellTest::start(const QStringList &args)
{
    m_app = std::make_unique<CPraxApp>();
    if (!m_app->InitInstance(args))
        return nullptr;
    return m_app->mainFrame();
}

void ShellTest::menusMatchCommandTable_data()
{
    QTest::addColumn<bool>("withDocument");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<QStringList>>("items");

    const QString sep = QStringLiteral("-");
    const QString newItem = item("&New\tCtrl+N", 57600, "Create a new document");
    const QString open = item("&Open...\tCtrl+O", 57601, "Open an existing document");
    const QString setup = item("P&rint Setup...", 57606, "Change the printer and printing options");
    const QString recent = item("Recent File", 57616, "Open this document");
    const QString exit = item("E&xit", 57665, "Quit the application; prompts to save documents");
    const QString toolbar = item("&Toolbar", 59392, "Show or hide the toolbar");
    const QString statusBar = item("&Status Bar", 59393, "Show or hide the status bar");
    const QString saveOptions = item("Save Options", 32781, "Save the formatting options");
    const QString layoutExtras =
        item("Layout &Extras...", 32800, "Set the modern layout extras and format on save");
    const QString batch = item("Batch job", 32773, "Beatify a list of SQL  files");
    const QString about = item("&About Prax...", 57664, "Display program information, version number and copyright");

    QTest::newRow("M: no document open")
        << false << QStringList{"&File", "&View", "&Options", "&Beautify", "&Help"}
        << QList<QStringList>{
               {newItem, open, sep, setup, sep, recent, sep, exit},
               {toolbar, statusBar},
               {item("Format &Options", 32780, "Set options for SQL formatting style"), layoutExtras, saveOptions},
               {batch},
               {item("&Index", 57666, "List Help topics"),
                item("&Using Help", 57668, "Display instructions about how to use help"), sep, about},
           };
    QTest::newRow("D: document window active")
        << true << QStringList{"&File", "&Edit", "&Beautify", "&Options", "&View", "&Window", "&Help"}
        << QList<QStringList>{
               {newItem, open, item("&Close\tCtrl+F4", 57602, "Close the active document"),
                item("&Save\tCtrl+S", 57603, "Save the active document"),
                item("Save &As...", 57604, "Save the active document with a new name"), sep,
                item("&Print...\tCtrl+P", 57607, "Print the active document"),
                item("Print Pre&view", 57609, "Display full pages"), setup, item("&Mail To", 57612, ""), sep,
                recent, sep, exit},
               {item("&Undo\tCtrl+Z", 57643, "Undo the last action"),
                item("Re&do\tCtrl+Y", 57644, "Redo the previously undone action"), sep,
                item("Cu&t\tCtrl+X", 57635, "Cut the selection and put it on the Clipboard"),
                item("&Copy\tCtrl+C", 57634, "Copy the selection and put it on the Clipboard"),
                item("Clear", 57632, "Erase the selection"), item("&Paste\tCtrl+V", 57637, "Insert Clipboard contents"),
                item("Paste Beautified", 32772, "Format the text in the clipboard and paste it"),
                item("Find\tCtrl+F", 57636, "Find the specified text"),
                item("Find &Next\tF3", 57638, "Find the next occurrence of the specified text"),
                item("Find Pre&vious\tShift+F3", 32785, "Find the previous occurrence of the specified text"),
                item("&Replace\tCtrl+H", 57641, "Replace specific text with different text"),
                item("&Go To Line...\tCtrl+G", 32786, "Move the caret to a line of the given number"),
                item("Select &All", 57642, "Select the entire document")},
               {item("&Beautify", 32771, "Beautify the SQL statements"),
                item("Beautify &N Copy", 32778, "Format the SQL and copy the text to the clipboard"), batch},
               {item("Beautify &Options", 32780, "Set options for SQL formatting style"), layoutExtras, saveOptions},
               {toolbar, statusBar},
               {item("&Cascade", 57650, "Arrange windows so they overlap"),
                item("&Tile", 57651, "Arrange windows as non-overlapping tiles"),
                item("&Arrange Icons", 57649, "Arrange icons at the bottom of the window"),
                item("Ne&xt Window\tCtrl+F6", 32784, "Switch to the next document window"), sep,
                item("Ta&bbed", 32795, "Show the document windows as tabs")},
               {item("Index", 57666, "List Help topics"), about},
           };
}

void ShellTest::menusMatchCommandTable()
{
    QFETCH(bool, withDocument);
    QFETCH(QStringList, titles);
    QFETCH(QList<QStringList>, items);

    CMainFrame *frame = start();
    QVERIFY(frame);
    if (!withDocument) {
        for (CChildFrame *child : frame->childFrames())
            delete child;
    }
    QCOMPARE(frame->currentMenu(), withDocument ? MenuVariant::D : MenuVariant::M);

    const QList<QAction *> bar = frame->menuBar()->actions();
    QCOMPARE(bar.size(), titles.size());
    for (qsizetype i = 0; i < bar.size(); ++i) {
        QCOMPARE(bar.at(i)->text(), titles.at(i));
        QCOMPARE(visibleItems(bar.at(i)->menu()), items.at(i));
    }
}

void ShellTest::menuBarFollowsDocumentWindows()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    QCOMPARE(frame->childFrames().size(), 1);
    QCOMPARE(frame->menuBar()->actions().size(), 7); // D

    frame->childFrames().constFirst()->close();
    QTRY_COMPARE(frame->childFrames().size(), 0);
    QCOMPARE(frame->currentMenu(), MenuVariant::M);
    QCOMPARE(frame->menuBar()->actions().constFirst()->menu(), frame->menus(MenuVariant::M).constFirst());
    // Document commands are off without a document; application ones stay on.
    QVERIFY(!frame->commandAction(ID_FILE_SAVE)->isEnabled());
    QVERIFY(!frame->commandAction(ID_BEAUTIFY)->isEnabled());
    QVERIFY(!frame->runCommand(ID_FILE_SAVE));
    QVERIFY(frame->commandAction(ID_FILE_NEW)->isEnabled());

    QVERIFY(frame->runCommand(ID_FILE_NEW));
    QCOMPARE(frame->childFrames().size(), 1);
    QCOMPARE(frame->currentMenu(), MenuVariant::D);
    // An empty document has nothing to beautify, while Paste Beautified has no
    // enabling rule of its own: it is on whenever a view is active.
    QApplication::clipboard()->clear();
    frame->updateActions();
    QVERIFY(!frame->commandAction(ID_BEAUTIFY)->isEnabled());
    QVERIFY(frame->commandAction(ID_PASTE_BEAUTIFIED)->isEnabled());
    QVERIFY(!frame->commandAction(ID_EDIT_PASTE)->isEnabled());
    QApplication::clipboard()->setText(QStringLiteral("select a from t;"));
    frame->updateActions();
    QVERIFY(frame->commandAction(ID_EDIT_PASTE)->isEnabled());

    // The Window menu lists the open windows, the active one checked.
    QVERIFY(frame->runCommand(ID_FILE_NEW));
    QMenu *window = frame->menus(MenuVariant::D).at(5);
    emit window->aboutToShow();
    QStringList listed;
    for (QAction *a : window->actions()) {
        if (!a->isSeparator() && a->data().toInt() >= ID_WINDOW_LIST_FIRST)
            listed << a->text() + (a->isChecked() ? QStringLiteral("*") : QString());
    }
    const QList<CChildFrame *> children = frame->childFrames();
    QCOMPARE(listed, (QStringList{QStringLiteral("&1 ") + children.at(0)->document()->title(),
                                  QStringLiteral("&2 ") + children.at(1)->document()->title() + u'*'}));
}

void ShellTest::keyTableSendsTheTableCommands()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    const QMap<QString, int> expected = {
        {"Ctrl+N", 57600}, {"Ctrl+O", 57601}, {"Ctrl+S", 57603}, {"Ctrl+P", 57607},
        {"Ctrl+Z", 57643}, {"Alt+Backspace", 57643}, {"Ctrl+X", 57635}, {"Shift+Del", 57635},
        {"Ctrl+C", 57634}, {"Ctrl+Ins", 57634}, {"Ctrl+V", 57637}, {"Shift+Ins", 57637},
        {"F1", 57670}, {"Shift+F1", 57669},
        // Keys of today's editors, besides the classic ones.
        {"Ctrl+F4", 57602}, {"Ctrl+Y", 57644}, {"Ctrl+Shift+Z", 57644}, {"Ctrl+F", 57636}, {"F3", 57638},
        {"Shift+F3", 32785}, {"Ctrl+H", 57641}, {"Ctrl+G", 32786}, {"Ctrl+F6", 32784}, {"Ctrl+Tab", 32784},
    };
    QMap<QString, int> keys;
    // Command actions only: the document windows' own system menus bring
    // the usual Ctrl+F4 and Ctrl+W for closing themselves.
    for (QAction *a : frame->actions()) {
        for (const QKeySequence &k : a->shortcuts()) {
            const QString text = k.toString(QKeySequence::PortableText);
            QVERIFY2(!keys.contains(text), qPrintable(text + QStringLiteral(" is bound twice")));
            keys.insert(text, a->data().toInt());
        }
    }
    QCOMPARE(keys, expected);
    // The keys work with either menu shown: the actions belong to the window.
    for (int id : {ID_FILE_NEW, ID_FILE_SAVE, ID_HELP, ID_CONTEXT_HELP})
        QVERIFY(frame->actions().contains(frame->commandAction(id)));
}

void ShellTest::editorKeysWorkInTheWindow()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    frame->show();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    CPraxView *view = frame->activeView();
    // Each key goes to the active view of the active frame, as typed there.
    const auto press = [frame](QKeySequence key) {
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        frame->activeView()->setFocus();
        QTest::keySequence(frame->activeView(), key);
    };
    const auto caretLine = [view] {
        int line = -1, index = -1;
        view->getCursorPosition(&line, &index);
        return line;
    };

    // Undo, then Redo by either key.
    QTest::keyClicks(view, QStringLiteral("ab"));
    QCOMPARE(view->textBytes(), QByteArray("ab"));
    for (const char *redoKey : {"Ctrl+Y", "Ctrl+Shift+Z"}) {
        press(QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(view->textBytes(), QByteArray());
        press(QKeySequence(QString::fromLatin1(redoKey)));
        QCOMPARE(view->textBytes(), QByteArray("ab"));
    }

    // Go to line, F3 and Shift+F3 from the caret.
    view->setTextBytes("abc\nabc\nabc\nabc\n");
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
            dialog->setIntValue(3);
            dialog->accept();
        }
    });
    press(QKeySequence(QStringLiteral("Ctrl+G")));
    QCOMPARE(caretLine(), 2);
    CPraxView::SearchState search;
    search.text = QStringLiteral("abc");
    QVERIFY(view->findNext(search));
    QCOMPARE(caretLine(), 2);
    frame->updateActions();
    press(QKeySequence(QStringLiteral("F3")));
    QCOMPARE(caretLine(), 3);
    press(QKeySequence(QStringLiteral("Shift+F3")));
    QCOMPARE(caretLine(), 2);
    press(QKeySequence(QStringLiteral("F3"))); // still forward after Shift+F3
    QCOMPARE(caretLine(), 3);

    // Ctrl+F opens Find, Ctrl+H Replace (one more text box).
    for (const char *key : {"Ctrl+F", "Ctrl+H"}) {
        press(QKeySequence(QString::fromLatin1(key)));
        auto *dialog = view->findChild<CFindReplaceDlg *>();
        QVERIFY2(dialog && dialog->isVisible(), key);
        QCOMPARE(dialog->findChildren<QLineEdit *>().size(), qstrcmp(key, "Ctrl+H") == 0 ? 2 : 1);
        dialog->close();
        QTRY_VERIFY(!view->findChild<CFindReplaceDlg *>());
    }

    // Ctrl+F6 and Ctrl+Tab go to the next window, Ctrl+F4 closes the active one.
    QVERIFY(frame->runCommand(ID_FILE_NEW));
    CChildFrame *second = frame->activeChild();
    for (const char *key : {"Ctrl+F6", "Ctrl+Tab"}) {
        CChildFrame *before = frame->activeChild();
        press(QKeySequence(QString::fromLatin1(key)));
        QVERIFY2(frame->activeChild() != before, key);
    }
    QCOMPARE(frame->activeChild(), second);
    press(QKeySequence(QStringLiteral("Ctrl+F4")));
    QTRY_COMPARE(frame->childFrames().size(), 1);
    QVERIFY(!frame->childFrames().contains(second));
}

void ShellTest::documentWindowsStayInsideTheArea()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    frame->resize(1000, 700);
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    QMdiArea *area = frame->mdiArea();
    // Every window inside the visible area, at least half its size each
    // way, none hiding another's title bar.
    const auto checkCascade = [area](const char *when) {
        const QRect visible = area->viewport()->rect();
        QSet<int> tops;
        for (QMdiSubWindow *window : area->subWindowList()) {
            const QRect r = window->geometry();
            QVERIFY2(visible.contains(r), qPrintable(QStringLiteral("%1: %2,%3 %4x%5 outside %6x%7")
                                                         .arg(QLatin1String(when)).arg(r.x()).arg(r.y())
                                                         .arg(r.width()).arg(r.height())
                                                         .arg(visible.width()).arg(visible.height())));
            QVERIFY2(r.width() >= visible.width() / 2 && r.height() >= visible.height() / 2, when);
            tops.insert(r.y());
        }
        QVERIFY2(tops.size() > 1, when);
    };

    for (int i = 0; i < 5; ++i)
        QVERIFY(frame->runCommand(ID_FILE_NEW));
    QCOMPARE(area->subWindowList().size(), 6);
    checkCascade("opened");
    // Cascade puts the active window in front, lowest of all.
    for (QMdiSubWindow *window : area->subWindowList())
        window->setGeometry(5, 5, 200, 150);
    QMdiSubWindow *first = area->subWindowList().constFirst();
    area->setActiveSubWindow(first);
    QVERIFY(frame->runCommand(ID_WINDOW_CASCADE));
    checkCascade("cascaded");
    for (QMdiSubWindow *window : area->subWindowList())
        QVERIFY(window->y() <= first->y());
    QVERIFY(area->subWindowList().constLast()->y() < first->y());

    // A window dragged outside the area can be scrolled to.
    QVERIFY(!area->horizontalScrollBar()->isVisible());
    area->activeSubWindow()->move(area->viewport()->width(), 0);
    QTRY_VERIFY(area->horizontalScrollBar()->isVisible());

    // With the active window maximised the next one opens maximised.
    area->activeSubWindow()->showMaximized();
    QVERIFY(frame->runCommand(ID_FILE_NEW));
    QVERIFY(area->activeSubWindow()->isMaximized());
}

void ShellTest::commandTableInvariants()
{
    QSet<int> ids;
    for (const CommandEntry &e : commandTable()) {
        QVERIFY2(!ids.contains(e.id), e.name);
        ids.insert(e.id);
        QVERIFY2(e.handler || e.id == ID_FILE_MRU_FILE1, e.name);
    }
    // Every menu item is a command with a text for that menu, and every text
    // of the table appears in its menu.
    for (int v = 0; v < kMenuVariantCount; ++v) {
        QSet<int> inMenu;
        for (const MenuPopup &popup : menuLayout(MenuVariant(v))) {
            for (int id : popup.items) {
                if (id == kSeparator || id == kWindowListMarker)
                    continue;
                const CommandEntry *e = findCommand(id);
                QVERIFY2(e && e->menu_text[v], qPrintable(QString::number(id)));
                inMenu.insert(id);
            }
        }
        for (const CommandEntry &e : commandTable())
            QVERIFY2(!e.menu_text[v] || inMenu.contains(e.id), e.name);
    }
}

void ShellTest::toolbarHasFourteenNamedEntries()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    QToolBar *toolbar = frame->toolBar();
    QVERIFY(!toolbar->isMovable());
    QVERIFY(!toolbar->isFloatable());
    QCOMPARE(frame->toolBarArea(toolbar), Qt::TopToolBarArea);

    QList<int> entries;
    for (QAction *a : toolbar->actions())
        entries << (a->isSeparator() ? 0 : a->data().toInt());
    QCOMPARE(entries, (QList<int>{57600, 57601, 57603, 0, 57607, 57609, 0, 57636, 57635, 57634, 57637, 57643, 0,
                                  32771, 32778, 32772, 0, 32780, 32773, 0, 57664}));

    QWidget *button = toolbar->widgetForAction(frame->commandAction(ID_FILE_NEW));
    QVERIFY(button);
    // Drawn from the vector file at every scale: at 2x a 32-pixel picture,
    // not the 16-pixel one stretched by the painter.
    for (QAction *a : toolbar->actions()) {
        if (a->isSeparator())
            continue;
        QVERIFY2(a->icon().availableSizes().isEmpty(), qPrintable(a->text()));
        for (const qreal scale : {1.0, 2.0}) {
            const QPixmap picture = a->icon().pixmap(QSize(16, 16), scale);
            QCOMPARE(picture.size(), QSize(16, 16) * scale);
            QVERIFY2(inkShare(picture.toImage()) > 0.1, qPrintable(a->text()));
        }
    }
    // Named for screen readers and tipped for the pointer without the menu
    // text's "&" and tab; the key, if any, in parentheses.
    const QList<std::pair<int, QString>> named{{ID_FILE_NEW, "New"}, {57636, "Find"}, {ID_BEAUTIFY, "Beautify"},
                                               {ID_FORMAT_OPTIONS, "Format Options"}, {ID_BATCH_JOB, "Batch job"}};
    for (const auto &[id, name] : named) {
        QWidget *b = toolbar->widgetForAction(frame->commandAction(id));
        QVERIFY(b);
        QCOMPARE(b->accessibleName(), name);
        const QString tip = frame->commandAction(id)->toolTip();
        QVERIFY2(tip == name || tip.startsWith(name + " ("), qPrintable(tip));
        QVERIFY(!tip.contains(u'\t') && !tip.contains(u'&'));
        QVERIFY(!b->accessibleDescription().isEmpty());
    }
    QCOMPARE(frame->commandAction(ID_FILE_NEW)->toolTip(),
             "New (" + QKeySequence(QStringLiteral("Ctrl+N")).toString(QKeySequence::NativeText) + ")");
    QCOMPARE(button->toolTip(), frame->commandAction(ID_FILE_NEW)->toolTip());

    // View > Toolbar hides and shows it, with the check mark following.
    frame->show();
    QVERIFY(frame->runCommand(ID_VIEW_TOOLBAR));
    QVERIFY(toolbar->isHidden());
    QVERIFY(!frame->commandAction(ID_VIEW_TOOLBAR)->isChecked());
    QVERIFY(frame->runCommand(ID_VIEW_TOOLBAR));
    QVERIFY(!toolbar->isHidden());
    QVERIFY(frame->commandAction(ID_VIEW_TOOLBAR)->isChecked());
}

void ShellTest::optionAndBatchButtonsRunTheMenuCommands()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    auto *option = qobject_cast<QToolButton *>(frame->toolBar()->widgetForAction(frame->commandAction(ID_FORMAT_OPTIONS)));
    auto *batch = qobject_cast<QToolButton *>(frame->toolBar()->widgetForAction(frame->commandAction(ID_BATCH_JOB)));
    QVERIFY(option && batch);

    // Each button and its menu command open the same dialog (closed at once here).
    const auto openedBy = [](const std::function<void()> &send) {
        QString opened;
        QTimer::singleShot(0, [&opened] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                opened = QString::fromLatin1(modal->metaObject()->className());
                modal->close();
            }
        });
        send();
        return opened;
    };
    QCOMPARE(openedBy([&] { option->click(); }), QStringLiteral("CFormatOptionsDlg"));
    QCOMPARE(openedBy([&] { frame->runCommand(ID_FORMAT_OPTIONS); }), QStringLiteral("CFormatOptionsDlg"));
    QCOMPARE(openedBy([&] { frame->runCommand(ID_LAYOUT_EXTRAS); }), QStringLiteral("CLayoutExtrasDlg"));
    QCOMPARE(openedBy([&] { batch->click(); }), QStringLiteral("CBatchJobDlg"));
    QCOMPARE(openedBy([&] { frame->runCommand(ID_BATCH_JOB); }), QStringLiteral("CBatchJobDlg"));
}

void ShellTest::statusBarPanesAndPrompts()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    QStatusBar *bar = frame->statusBar();
    QLabel *message = frame->messagePane();
    QCOMPARE(message->text(), QStringLiteral("For Help, press F1"));

    // Panes left to right: the stretching message pane, then the document's
    // line end; CAP, NUM and SCRL are left out where the platform (here
    // offscreen) cannot tell the lock keys' state.
    frame->show();
    QList<QLabel *> panes = bar->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    panes.removeIf([](QLabel *l) { return !l->isVisible(); });
    std::sort(panes.begin(), panes.end(), [](QLabel *a, QLabel *b) { return a->x() < b->x(); });
    QStringList texts;
    for (QLabel *l : panes)
        texts << l->text();
    QCOMPARE(texts, (QStringList{"For Help, press F1", "LF"}));
    QCOMPARE(frame->indicatorPanes().size(), 3);
    QVERIFY(message->width() > panes.at(1)->width() * 3);

    // A highlighted item's prompt replaces the text; leaving it brings the idle text back.
    QStatusTipEvent prompt(frame->commandAction(ID_SAVE_OPTIONS)->statusTip());
    QApplication::sendEvent(frame->menuBar(), &prompt);
    QCOMPARE(message->text(), QStringLiteral("Save the formatting options"));
    QStatusTipEvent none{QString()};
    QApplication::sendEvent(frame->menuBar(), &none);
    QCOMPARE(message->text(), QStringLiteral("For Help, press F1"));

    // Shift+F1's mode has its own text, and the idle text returns after it.
    QVERIFY(frame->runCommand(ID_CONTEXT_HELP));
    QCOMPARE(message->text(), QStringLiteral("Select an object on which to get Help"));
    QWhatsThis::leaveWhatsThisMode();
    QCOMPARE(message->text(), QStringLiteral("For Help, press F1"));
}

void ShellTest::engineMessagesReachTheMessagePane()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    prax::show_status_message("Unbalanced parenthesis\n");
    QCOMPARE(frame->messagePane()->text(), QStringLiteral("Unbalanced parenthesis"));

    // A real engine run reports through the same pane.
    const QString in = m_dir->filePath(QStringLiteral("in.txt"));
    const QString out = m_dir->filePath(QStringLiteral("out.txt"));
    writeFile(in, "just some words, nothing to format\n");
    QCOMPARE(prax::format_file(QFile::encodeName(in).constData(), QFile::encodeName(out).constData()),
             int(prax::kNoSqlFound));
    QCOMPARE(frame->messagePane()->text(), QStringLiteral("No SQL statements found"));

    // The message outlives the pointer leaving a button or menu item (an
    // empty prompt) and goes when the next command runs.
    QStatusTipEvent none{QString()};
    QApplication::sendEvent(frame->toolBar(), &none);
    QCOMPARE(frame->messagePane()->text(), QStringLiteral("No SQL statements found"));
    QVERIFY(frame->runCommand(ID_VIEW_STATUS_BAR));
    QCOMPARE(frame->messagePane()->text(), QStringLiteral("For Help, press F1"));
    QApplication::sendEvent(frame->toolBar(), &none);
    QCOMPARE(frame->messagePane()->text(), QStringLiteral("For Help, press F1"));

    // A command's success is told there too, not in a box to click away.
    frame->activeView()->setTextBytes("select a from b");
    QVERIFY(frame->runCommand(ID_BEAUTIFY_N_COPY));
    QCOMPARE(frame->messagePane()->text(), QStringLiteral("The formatted text is copied into the clipboard."));
    QVERIFY(g_messages.isEmpty());

    // Once the frame is gone the hook is dropped, not called on a dead window.
    m_app.reset();
    prax::show_status_message("after\n");
}

void ShellTest::tabbedViewIsKeptInProfile()
{
    const QByteArray options = "[Formatting Options]\nInterval=3\n";
    writeFile(profilePath(), options);
    CMainFrame *frame = start();
    QVERIFY(frame);
    QCOMPARE(frame->mdiArea()->viewMode(), QMdiArea::SubWindowView);

    // Each Window > Tabbed switches the view, and a new start finds it as left.
    for (const bool tabbed : {true, false, true}) {
        QVERIFY(frame->runCommand(ID_WINDOW_TABBED));
        const QMdiArea::ViewMode mode = tabbed ? QMdiArea::TabbedView : QMdiArea::SubWindowView;
        QCOMPARE(frame->mdiArea()->viewMode(), mode);
        QCOMPARE(frame->commandAction(ID_WINDOW_TABBED)->isChecked(), tabbed);
        QCOMPARE(frame->commandAction(ID_WINDOW_CASCADE)->isEnabled(), !tabbed);
        const QByteArray profile = readFile(profilePath());
        QVERIFY2(profile.startsWith(options), profile.constData());
        QVERIFY2(profile.contains(tabbed ? "Tabbed=1" : "Tabbed=0"), profile.constData());

        m_app.reset();
        frame = start();
        QVERIFY(frame);
        QCOMPARE(frame->mdiArea()->viewMode(), mode);
        QCOMPARE(frame->commandAction(ID_WINDOW_TABBED)->isChecked(), tabbed);
    }

    // The tabs carry the documents' titles, close and move.
    frame->runCommand(ID_FILE_NEW);
    auto *tabs = frame->mdiArea()->findChild<QTabBar *>();
    QVERIFY(tabs);
    QVERIFY(tabs->tabsClosable());
    QVERIFY(tabs->isMovable());
    QCOMPARE(tabs->count(), 2);
    for (int i = 0; i < tabs->count(); ++i)
        QCOMPARE(tabs->tabText(i), frame->childFrames().at(i)->document()->title());
}

void ShellTest::windowTitleShowsActiveDocument()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    const QString title = frame->activeDocument()->title();
    QVERIFY(title.startsWith(QStringLiteral("Sql")));
    QCOMPARE(frame->windowTitle(), QStringLiteral("Prax - ") + title);
    // A modified document is marked once, maximised or not: "Prax - Sql1*".
    frame->activeView()->insert(QStringLiteral("x"));
    frame->activeChild()->showMaximized();
    QTRY_COMPARE(frame->windowTitle(), QStringLiteral("Prax - ") + title + QStringLiteral("*"));
    frame->activeDocument()->SetModifiedFlag(false);
    QCOMPARE(frame->windowTitle(), QStringLiteral("Prax - ") + title);
    frame->childFrames().constFirst()->close();
    QTRY_COMPARE(frame->windowTitle(), QStringLiteral("Prax"));
}

void ShellTest::embeddingSwitch_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("embedding");
    QTest::newRow("-Embedding") << "-Embedding" << true;
    QTest::newRow("/Embedding") << "/Embedding" << true;
    QTest::newRow("-Automation") << "-Automation" << true;
    QTest::newRow("any case") << "/eMbEdDiNg" << true;
    QTest::newRow("two dashes") << "--Embedding" << false;
    QTest::newRow("longer word") << "-Embedding2" << false;
    QTest::newRow("no switch sign") << "Embedding" << false;
}

void ShellTest::embeddingSwitch()
{
    QFETCH(QString, argument);
    QFETCH(bool, embedding);
    writeFile(profilePath(), "[Formatting Options]\nInterval=9\n");

    CMainFrame *frame = start({QStringLiteral("prax"), QStringLiteral("x.sql"), argument});
    QVERIFY(frame);
    QCOMPARE(m_app->embeddingLaunch(), embedding);
    QCOMPARE(frame->isVisible(), !embedding);
    QCOMPARE(frame->childFrames().isEmpty(), embedding);
    // The options are read only by a start by the user.
    QCOMPARE(prax::format_options.interval, embedding ? 4 : 9);
}

void ShellTest::commandLineParsing_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program name
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("textHas");
    using L = PraxCommandLine;
    QTest::newRow("nothing") << QStringList{} << int(L::Run) << QStringList{} << "";
    QTest::newRow("files in order") << QStringList{"b.sql", "a.pc"} << int(L::Run) << QStringList{"b.sql", "a.pc"} << "";
    QTest::newRow("-- ends the options") << QStringList{"--", "-odd.sql"} << int(L::Run) << QStringList{"-odd.sql"} << "";
    QTest::newRow("--help") << QStringList{"q.sql", "--help"} << int(L::ShowHelp) << QStringList{} << "[FILE...]";
    QTest::newRow("-h") << QStringList{"-h"} << int(L::ShowHelp) << QStringList{} << "--version";
    QTest::newRow("--version") << QStringList{"--version"} << int(L::ShowVersion) << QStringList{}
                               << "prax " PRAX_VERSION "\nLicense GPLv3+";
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << int(L::Error) << QStringList{} << "frobnicate";
    QTest::newRow("--help-all") << QStringList{"--help-all"} << int(L::ShowHelp) << QStringList{} << "[FILE...]";
    QTest::newRow("-v") << QStringList{"-v"} << int(L::ShowVersion) << QStringList{} << "prax " PRAX_VERSION;
    // An embedding start keeps its old reading: the other words are not files.
    QTest::newRow("-Embedding") << QStringList{"-Embedding", "q.sql"} << int(L::Run) << QStringList{} << "";
    QTest::newRow("/Automation") << QStringList{"q.sql", "/Automation"} << int(L::Run) << QStringList{} << "";
}

void ShellTest::commandLineParsing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QStringList, files);
    QFETCH(QString, textHas);
    const PraxCommandLine line = parsePraxCommandLine(QStringList{QStringLiteral("prax")} + arguments);
    QCOMPARE(int(line.action), action);
    QCOMPARE(line.files, files);
    QVERIFY2(line.text.contains(textHas), qPrintable(line.text));
}

void ShellTest::qtOwnOptionsAreLeftToQApplication()
{
    const auto unknownOnlyQt = [](const QStringList &arguments) {
        return parsePraxCommandLine(QStringList{QStringLiteral("prax")} + arguments).onlyQtOptionsUnknown();
    };
    QVERIFY(unknownOnlyQt({"-platform", "offscreen", "q.sql"}));
    QVERIFY(unknownOnlyQt({"-style=fusion", "-reverse"}));
    QVERIFY(!unknownOnlyQt({"-platform", "offscreen", "--frobnicate"}));
    QVERIFY(!unknownOnlyQt({"q.sql"}));
}

void ShellTest::commandLineFilesOpenEachInItsWindow()
{
    const QString first = m_dir->filePath(QStringLiteral("q.sql"));
    const QString second = m_dir->filePath(QStringLiteral("r.pc"));
    const QString missing = m_dir->filePath(QStringLiteral("missing.sql"));
    writeFile(first, "select a from t;\n");
    writeFile(second, "EXEC SQL DELETE FROM t;\n");

    CMainFrame *frame = start({QStringLiteral("prax"), first, missing, second});
    QVERIFY(frame);
    QMap<QString, QByteArray> texts; // by path
    for (CChildFrame *child : frame->childFrames())
        texts.insert(child->document()->path(), child->document()->text());
    QCOMPARE(texts.size(), frame->childFrames().size()); // no empty document beside them
    QCOMPARE(texts.value(first), QByteArray("select a from t;\n"));
    QCOMPARE(texts.value(second), QByteArray("EXEC SQL DELETE FROM t;\n"));
    QCOMPARE(g_messages, QStringList{QStringLiteral("Failed to open document.")});
    QVERIFY(frame->isVisible());

    // When nothing opens, the user still gets the one empty document.
    m_app.reset();
    g_messages.clear();
    frame = start({QStringLiteral("prax"), missing});
    QVERIFY(frame);
    QCOMPARE(frame->childFrames().size(), 1);
    QVERIFY(frame->activeDocument()->path().isEmpty());
    QCOMPARE(g_messages, QStringList{QStringLiteral("Failed to open document.")});
}

void ShellTest::startupReadsProfileAndDialogColours_data()
{
    QTest::addColumn<QPalette>("desktop");
    QTest::newRow("light desktop") << QApplication::palette();
    QTest::newRow("dark desktop") << darkPalette();
}

void ShellTest::startupReadsProfileAndDialogColours()
{
    QFETCH(QPalette, desktop);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(desktop);
    const auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });

    // An empty profile gives the load defaults (interval 5), not the built-in 4.
    CMainFrame *frame = start();
    QVERIFY(frame);
    QVERIFY(frame->isVisible());
    QCOMPARE(prax::format_options.interval, prax::load_default_format_options().interval);

    // Dialogs, the Options dialog among them, keep the desktop's colours.
    QDialog dialog;
    CFormatOptionsDlg options(frame, praxProfilePath());
    for (QWidget *shown : {static_cast<QWidget *>(&dialog), static_cast<QWidget *>(&options)}) {
        shown->ensurePolished();
        QCOMPARE(shown->palette().color(QPalette::Window), desktop.color(QPalette::Window));
        QCOMPARE(shown->palette().color(QPalette::WindowText), desktop.color(QPalette::WindowText));
    }

    // The editor's paper and text are the desktop's, and the SQL colours
    // stand out of that paper, light or dark.
    CPraxView *view = frame->activeView();
    QVERIFY(view);
    const QColor paper = desktop.color(QPalette::Base);
    const auto styleColour = [view](int message, int style) {
        const long bgr = view->SendScintilla(message, static_cast<unsigned long>(style));
        return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
    };
    QCOMPARE(styleColour(QsciScintillaBase::SCI_STYLEGETBACK, QsciLexerSQL::Default), paper);
    QCOMPARE(styleColour(QsciScintillaBase::SCI_STYLEGETFORE, QsciLexerSQL::Default), desktop.color(QPalette::Text));
    for (int style : {QsciLexerSQL::Keyword, QsciLexerSQL::Comment, QsciLexerSQL::CommentLine, QsciLexerSQL::Number,
                      QsciLexerSQL::SingleQuotedString, QsciLexerSQL::DoubleQuotedString, QsciLexerSQL::Identifier}) {
        QCOMPARE(styleColour(QsciScintillaBase::SCI_STYLEGETBACK, style), paper);
        const double ratio = contrastRatio(styleColour(QsciScintillaBase::SCI_STYLEGETFORE, style), paper);
        QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("style %1: contrast %2").arg(style).arg(ratio)));
    }
    // The empty document area is a shade of the window, not a fixed grey.
    const auto isDark = [](const QColor &c) { return c.lightness() < 128; };
    QCOMPARE(isDark(frame->mdiArea()->background().color()), isDark(desktop.color(QPalette::Window)));

    // A desktop switching themes while the editor runs recolours the text.
    const QPalette other = isDark(paper) ? before : darkPalette();
    QApplication::setPalette(other); // reaches the widgets as a posted event
    QTRY_COMPARE(styleColour(QsciScintillaBase::SCI_STYLEGETBACK, QsciLexerSQL::Default), other.color(QPalette::Base));
    QTRY_COMPARE(isDark(frame->mdiArea()->background().color()), isDark(other.color(QPalette::Window)));
}

void ShellTest::layoutExtrasReadAtStartup()
{
    writeFile(profilePath(), "[Layout Extras]\nStep Indent=1\nFormat On Save=1\n");
    QVERIFY(start());
    QCOMPARE(prax::format_options.step_indent, 1);
    QVERIFY(praxFormatOnSave());
    m_app.reset();
    writeFile(profilePath(), "[Layout Extras]\nFormat On Save=0\n");
    QVERIFY(start());
    QVERIFY(!praxFormatOnSave());
}

void ShellTest::recentFileListKeptInProfile()
{
    const QString a = m_dir->filePath(QStringLiteral("a.txt"));
    writeFile(profilePath(), QStringLiteral("[Settings]\nPreviewPages=2\n[Recent File List]\nFile1=%1\n")
                                 .arg(a).toUtf8());
    writeFile(a, "select 1 from a;\n");
    CMainFrame *frame = start();
    QVERIFY(frame);
    QCOMPARE(m_app->recentFiles(), QStringList{a});
    QStringList shown = visibleItems(frame->menus(MenuVariant::D).constFirst()).filter(QStringLiteral("&1 "));
    QCOMPARE(shown, QStringList{QStringLiteral("&1 %1|57616|Open this document").arg(a)});
    QVERIFY(!visibleItems(frame->menus(MenuVariant::D).constFirst()).join(u' ').contains(QStringLiteral("Recent File|")));

    // Opening files puts each on top; four are kept; other sections stay.
    QStringList files;
    for (const char *name : {"b.txt", "c.txt", "d.txt", "e.txt"}) {
        files.prepend(m_dir->filePath(QString::fromLatin1(name)));
        writeFile(files.constFirst(), "select 2 from b;\n");
        QVERIFY(m_app->OpenDocumentFile(files.constFirst()));
    }
    QCOMPARE(m_app->recentFiles(), files);
    prax::IniProfile profile;
    QVERIFY(profile.load(QFile::encodeName(profilePath()).toStdString()));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(QString::fromStdString(*profile.get_string("Recent File List", "File" + std::to_string(i + 1))),
                 files.at(i));
    QCOMPARE(profile.get_int("Settings", "PreviewPages", 0), 2);

    // Opening a file that is open already shows its window again.
    const int windows = frame->childFrames().size();
    QVERIFY(m_app->OpenDocumentFile(files.at(2)));
    QCOMPARE(frame->childFrames().size(), windows);
    QCOMPARE(frame->activeDocument()->path(), files.at(2));

    // A save under a new name joins the list as well.
    const QString saved = m_dir->filePath(QStringLiteral("saved.txt"));
    DocumentPrompts::setFileNameHook([saved](bool save, const QString &) { return save ? saved : QString(); });
    QVERIFY(frame->runCommand(ID_FILE_NEW));
    QVERIFY(frame->runCommand(ID_FILE_SAVE));
    QCOMPARE(m_app->recentFiles().constFirst(), saved);
    QVERIFY(QFile::exists(saved));
}

void ShellTest::recentFileThatNoLongerOpensIsDropped()
{
    const QString gone = m_dir->filePath(QStringLiteral("gone.txt"));
    const QString kept = m_dir->filePath(QStringLiteral("kept.txt"));
    writeFile(kept, "x\n");
    writeFile(profilePath(), QStringLiteral("[Recent File List]\nFile1=%1\nFile2=%2\n").arg(gone, kept).toUtf8());
    CMainFrame *frame = start();
    QVERIFY(frame);
    const int windows = frame->childFrames().size();
    m_app->OnOpenRecentFile(0);
    QCOMPARE(g_messages.size(), 1); // the document says why
    QCOMPARE(frame->childFrames().size(), windows);
    QCOMPARE(m_app->recentFiles(), QStringList{kept});
    prax::IniProfile profile;
    QVERIFY(profile.load(QFile::encodeName(profilePath()).toStdString()));
    QCOMPARE(QString::fromStdString(profile.get_string("Recent File List", "File1").value_or("")), kept);
    QVERIFY(!profile.get_string("Recent File List", "File2"));
}

void ShellTest::saveOptionsWritesTheProfile()
{
    writeFile(profilePath(), "[Recent File List]\nFile1=/tmp/x.txt\n[Formatting Options]\nInterval=7\n");
    CMainFrame *frame = start();
    QVERIFY(frame);
    QCOMPARE(prax::format_options.interval, 7);
    prax::format_options.interval = 3;
    prax::format_options.alignment = 2;
    setPraxFormatOnSave(true);
    QVERIFY(frame->runCommand(ID_SAVE_OPTIONS));
    QVERIFY(g_messages.isEmpty());

    prax::FormatOptions reread = prax::default_format_options;
    prax::load_format_options(QFile::encodeName(profilePath()).toStdString(), reread);
    QCOMPARE(reread.interval, 3);
    QCOMPARE(reread.alignment, 2);
    setPraxFormatOnSave(false);
    loadEditorSettings(QFile::encodeName(profilePath()).toStdString());
    QVERIFY(praxFormatOnSave());
    QVERIFY(readFile(profilePath()).contains("[Recent File List]"));

    // Saving unchanged options rewrites the same values.
    const QByteArray before = readFile(profilePath());
    QVERIFY(frame->runCommand(ID_SAVE_OPTIONS));
    QCOMPARE(readFile(profilePath()), before);
}

void ShellTest::saveOptionsFailureIsReported()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    // A directory where the profile should be cannot be written.
    const QString blocked = m_dir->filePath(QStringLiteral("blocked"));
    QVERIFY(QDir().mkpath(blocked + QStringLiteral("/prax.ini")));
    setPraxProfilePath(blocked + QStringLiteral("/prax.ini"));
    QVERIFY(frame->runCommand(ID_SAVE_OPTIONS));
    QCOMPARE(g_messages.size(), 1);
    QVERIFY(g_messages.constFirst().startsWith(QStringLiteral("The formatting options could not be saved")));
}

void ShellTest::exitAsksForEachModifiedDocument()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    QVERIFY(frame->runCommand(ID_FILE_NEW));
    QVERIFY(frame->runCommand(ID_FILE_NEW));
    const QList<CChildFrame *> children = frame->childFrames();
    children.at(0)->document()->SetModifiedFlag(true);
    children.at(2)->document()->SetModifiedFlag(true);

    // Cancel at the second question keeps every window open.
    int asked = 0;
    DocumentPrompts::setSaveChangesHook([&](const QString &text) {
        m_prompts << text;
        return ++asked == 2 ? QMessageBox::Cancel : QMessageBox::No;
    });
    QVERIFY(frame->runCommand(ID_APP_EXIT));
    QCOMPARE(m_prompts, (QStringList{QStringLiteral("Save changes to %1?").arg(children.at(0)->document()->title()),
                                     QStringLiteral("Save changes to %1?").arg(children.at(2)->document()->title())}));
    QCOMPARE(frame->childFrames().size(), 3);

    // No to both: everything closes, with no second round of questions.
    m_prompts.clear();
    DocumentPrompts::setSaveChangesHook([&](const QString &text) {
        m_prompts << text;
        return QMessageBox::No;
    });
    frame->show();
    QVERIFY(frame->runCommand(ID_APP_EXIT));
    QCOMPARE(m_prompts.size(), 2);
    QVERIFY(!frame->isVisible());
    QTRY_COMPARE(frame->childFrames().size(), 0);
}

void ShellTest::aboutBoxLogo()
{
    {
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Prax"));
        QVERIFY(about.logoLoaded());
        QCOMPARE(about.logo()->pixmap().size(), QSize(144, 96));
        QVERIFY(about.logo()->isEnabled()); // drawn in colour, not greyed out
        QStringList texts;
        for (QLabel *l : about.findChildren<QLabel *>())
            texts << l->text();
        QVERIFY(texts.contains(QStringLiteral("Prax Version 1.1")));
        QVERIFY(texts.contains(QStringLiteral("Release " PRAX_VERSION ": SQL beautifier for scripts and embedded SQL")));
        QVERIFY(texts.contains(QStringLiteral(PRAX_LICENSE_LINE)));
        QVERIFY(g_messages.isEmpty());
    }
    CAboutDlg broken(nullptr, QStringLiteral("NOSUCHLOGO"));
    QVERIFY(!broken.logoLoaded());
    QCOMPARE(g_messages, QStringList{QStringLiteral("fail load bitmaps")});
}

void ShellTest::helpIndexOpensContext111()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    QVERIFY(frame->runCommand(ID_HELP_INDEX));
    CHelpWindow *help = CHelpWindow::current();
    QVERIFY(help);
    QCOMPARE(help->currentAnchor(), QStringLiteral("context-111"));
    QVERIFY(help->isWindow());
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(help);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Window);
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Prax Help Index")));
    QVERIFY(frame->runCommand(ID_HELP));
    QCOMPARE(help->currentAnchor(), QStringLiteral("context-%1").arg(kHelpDocumentContext));
    help->close();
}

void ShellTest::lineEndPaneFollowsActiveDocument()
{
    const QString dos = m_dir->filePath(QStringLiteral("dos.sql"));
    const QString unix = m_dir->filePath(QStringLiteral("unix.sql"));
    writeFile(dos, "select 1;\r\nselect 2;\n");
    writeFile(unix, "select 1;\nselect 2;\r\n");
    CMainFrame *frame = start({QStringLiteral("prax"), dos, unix});
    QVERIFY(frame);
    const QMap<QString, QString> expected{{dos, QStringLiteral("CRLF")}, {unix, QStringLiteral("LF")}};
    for (CChildFrame *child : frame->childFrames()) {
        frame->mdiArea()->setActiveSubWindow(child);
        QCOMPARE(frame->lineEndPane()->text(), expected.value(child->document()->path()));
        QVERIFY(frame->lineEndPane()->isVisible());
    }
    for (CChildFrame *child : frame->childFrames())
        child->close();
    QTRY_VERIFY(frame->lineEndPane()->isHidden());
}

void ShellTest::fileDialogTypes()
{
    QCOMPARE(DocumentPrompts::fileFilters(), (QStringList{"SQL files (*.sql)",
                                                          "Embedded SQL sources (*.pc *.pgc *.ec *.sqc *.c *.h)",
                                                          "All files (*)"}));
}

void ShellTest::saveAsProposesSqlName_data()
{
    QTest::addColumn<QString>("file"); // empty: an untitled document
    QTest::newRow("untitled") << QString();
    QTest::newRow("opened file") << QStringLiteral("query.pc");
}

void ShellTest::saveAsProposesSqlName()
{
    QFETCH(QString, file);
    CMainFrame *frame = start();
    QVERIFY(frame);
    if (!file.isEmpty()) {
        writeFile(m_dir->filePath(file), "EXEC SQL COMMIT;\n");
        QVERIFY(m_app->OpenDocumentFile(m_dir->filePath(file)));
    }
    QStringList proposed;
    DocumentPrompts::setFileNameHook([&](bool save, const QString &suggested) {
        if (save)
            proposed << suggested;
        return QString();
    });
    QVERIFY(frame->runCommand(ID_FILE_SAVE_AS));
    const CPraxDoc *doc = frame->activeDocument();
    const QString expected = file.isEmpty() ? doc->title() + QStringLiteral(".sql") : doc->path();
    QCOMPARE(proposed, QStringList{expected});
}

void ShellTest::droppedFilesOpenAsDocuments_data()
{
    QTest::addColumn<bool>("onView"); // else on the main window's MDI area
    QTest::newRow("on the main window") << false;
    QTest::newRow("on a document") << true;
}

void ShellTest::droppedFilesOpenAsDocuments()
{
    QFETCH(bool, onView);
    const QString first = m_dir->filePath(QStringLiteral("one.sql"));
    const QString second = m_dir->filePath(QStringLiteral("two.pc"));
    writeFile(first, "select 1;\n");
    writeFile(second, "EXEC SQL COMMIT;\n");
    CMainFrame *frame = start();
    QVERIFY(frame);
    CPraxView *view = frame->activeView();

    // As a file manager drags them: URLs, and the paths as text as well.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    data.setText(first + QLatin1Char('\n') + second);
    QWidget *target = onView ? view->viewport() : static_cast<QWidget *>(frame);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QStringList opened;
    for (CChildFrame *child : frame->childFrames())
        opened << child->document()->path();
    QCOMPARE(opened, (QStringList{QString(), first, second}));
    QCOMPARE(frame->childFrames().at(2)->document()->text(), QByteArray("EXEC SQL COMMIT;\n"));
    QCOMPARE(view->textBytes(), QByteArray()); // no path typed into the document
}

void ShellTest::fileChangedOnDiskIsAskedOnce_data()
{
    QTest::addColumn<bool>("edited"); // the document has unsaved edits
    QTest::addColumn<bool>("reload");
    QTest::newRow("reload") << false << true;
    QTest::newRow("reload over edits") << true << true;
    QTest::newRow("keep") << false << false;
    QTest::newRow("keep edits") << true << false;
}

void ShellTest::fileChangedOnDiskIsAskedOnce()
{
    QFETCH(bool, edited);
    QFETCH(bool, reload);
    const QString path = m_dir->filePath(QStringLiteral("shared.sql"));
    writeFile(path, "select 1;\n");
    CMainFrame *frame = start({QStringLiteral("prax"), path});
    QVERIFY(frame);
    CPraxDoc *doc = frame->activeDocument();
    if (edited)
        doc->setText("select 1; -- mine\n");
    const QByteArray before = doc->text();
    DocumentPrompts::setReloadHook([&](const QString &text) {
        m_prompts << text;
        return reload;
    });
    const auto activate = [frame] {
        QEvent event(QEvent::WindowActivate);
        QApplication::sendEvent(frame, &event);
        QCoreApplication::processEvents();
    };

    activate(); // nothing changed yet
    QVERIFY(m_prompts.isEmpty());
    writeFile(path, "select 2;\n");
    activate();
    QCOMPARE(m_prompts.size(), 1);
    QVERIFY(m_prompts.at(0).contains(QDir::toNativeSeparators(path)));
    // Edits about to be replaced are named in the question.
    QCOMPARE(m_prompts.at(0).contains(QStringLiteral("not saved")), edited);
    QCOMPARE(doc->text(), reload ? QByteArray("select 2;\n") : before);
    QCOMPARE(doc->isModified(), !reload);

    activate(); // the same file again: no second question
    QCOMPARE(m_prompts.size(), 1);
    writeFile(path, "select 33;\n");
    activate(); // changed once more: asked again
    QCOMPARE(m_prompts.size(), 2);
    QVERIFY(g_messages.isEmpty());
}

void ShellTest::fileDeletedOnDiskIsReportedOnce()
{
    const QString path = m_dir->filePath(QStringLiteral("gone.sql"));
    writeFile(path, "select 1;\n");
    CMainFrame *frame = start({QStringLiteral("prax"), path});
    QVERIFY(frame);
    QVERIFY(QFile::remove(path));
    for (int i = 0; i < 2; ++i) {
        QEvent event(QEvent::WindowActivate);
        QApplication::sendEvent(frame, &event);
        QCoreApplication::processEvents();
    }
    QCOMPARE(g_messages.size(), 1);
    QVERIFY(g_messages.at(0).contains(QStringLiteral("deleted")));
    QVERIFY(m_prompts.isEmpty());
    QCOMPARE(frame->activeDocument()->text(), QByteArray("select 1;\n"));
    QVERIFY(frame->activeDocument()->isModified());
}

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
