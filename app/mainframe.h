// The main window: an MDI area for the document windows (as windows or as
// tabs), the toolbar at the top (Options and Batch job among its buttons),
// the status bar with its message pane and key indicators, and the menu bar,
// which shows menu M while no document window is open and menu D while one is
// (menu E, with its own key table, while the active document is embedded in
// a container's document).
//
// Every command is a QAction made from the command table (commands.h) and
// carrying its id in QAction::data(); runCommand(id) routes an id to this
// frame, the active document window or the active view, and sends the
// application's commands out as appCommandRequested. The frame knows nothing
// of the application object: that connects to these signals at start-up.
#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include "app/commands.h"

class CChildFrame;
class CPraxDoc;
class CPraxView;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Creates the MDI area, toolbar and status bar; false when
    // one of them (or a toolbar icon) cannot be made.
    bool LoadFrame();

    QMdiArea *mdiArea() const { return m_mdiArea; }
    QToolBar *toolBar() const { return m_toolBar; }
    QLabel *messagePane() const { return m_messagePane; }
    // CAP, NUM and SCRL: shown where the window system tells the lock keys'
    // state (enabled while the key is on, dimmed while off), hidden elsewhere.
    QList<QLabel *> indicatorPanes() const { return m_indicators; }
    // The active document's line end ("LF", "CRLF"); hidden without one.
    QLabel *lineEndPane() const { return m_lineEndPane; }

    // The action of command `id` (nullptr for an unknown id).
    QAction *commandAction(int id) const { return m_actions.value(id); }
    // The menu bar now shown.
    MenuVariant currentMenu() const { return m_menuVariant; }
    // The top-level menus of `variant`, left to right.
    QList<QMenu *> menus(MenuVariant variant) const { return m_menus.value(int(variant)); }

    CChildFrame *activeChild() const;
    CPraxDoc *activeDocument() const;
    CPraxView *activeView() const;
    QList<CChildFrame *> childFrames() const;

    // Adds a document window to the MDI area, shows and activates it.
    void addChildFrame(CChildFrame *child);

    // Replaces the message pane's text and paints it at once (the engine's
    // messages arrive during a command, before the event loop runs again).
    void setMessageText(const QString &text);
    QString restingText() const; // the message pane's text when nothing is highlighted

    // Sends command `id` as a menu, key or button would. False when nobody
    // handles it now (no document window for a document command, ...).
    bool runCommand(int id);
    // What the enabling rules see now (commandEnabled).
    CommandState commandState() const;

signals:
    // An application command (New, Open, Print Setup, Exit, About) was given.
    void appCommandRequested(int id);
    // Entry `index` (0-based) of the recent-file list was chosen.
    void recentFileRequested(int index);
    // A document window saved its document to `path`.
    void documentSaved(const QString &path);
    // Local files were dropped on the window or on a document: open them.
    void filesDropped(const QStringList &paths);

public slots:
    void OnFormatOptions();
    void OnLayoutExtras();
    void OnBatchJob();
    void OnSaveOptions();
    void OnViewToolbar();
    void OnViewStatusBar();
    void OnWindowNew();
    void OnWindowCascade();
    void OnWindowTile();
    void OnWindowNext();
    void OnWindowArrange();
    void OnWindowTabbed();
    void OnNextPane();
    void OnPrevPane();
    void OnHelpIndex();
    void OnHelpUsing();
    void OnHelp();
    void OnContextHelp();

    // Sets every command's enabled and checked state and the window title.
    void updateActions();
    // Shows `files` (most recent first) as the recent-file entries of the File menus.
    void setRecentFiles(const QStringList &files);
    // Asks each document window whether its file changed on disk (done
    // whenever this window is activated).
    void checkFilesOnDisk();
    // Reads the lock keys' state into CAP, NUM and SCRL.
    void updateLockKeys();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createActions();
    void createMenus();
    bool createToolBar();
    void createStatusBar();
    void installStatusHook();
    // The document windows as tabs (true) or as windows of their own.
    void setTabbedView(bool tabbed);

    void updateMenuBar();
    void applyAccelerators(MenuVariant variant);
    void fillWindowMenu(QMenu *menu);
    void onSubWindowActivated(QMdiSubWindow *window);
    // Geometry of the `index`th window of a cascade in the MDI area.
    QRect cascadeSlot(int index) const;

    QMdiArea *m_mdiArea = nullptr;
    QToolBar *m_toolBar = nullptr;
    QLabel *m_messagePane = nullptr;
    QList<QLabel *> m_indicators;
    QLabel *m_lineEndPane = nullptr;
    QTimer *m_lockKeyTimer = nullptr; // lock keys changed while another program had the keyboard
    bool m_checkingFiles = false;     // a question about a changed file is open
    QHash<int, QAction *> m_actions;        // one per command, with its keys
    QList<QAction *> m_variantActions;     // menu items with a text of their own
    QHash<int, QAction *> m_containerTextActions; // menu E's Update and Exit: texts name the container
    QHash<int, QList<QMenu *>> m_menus;    // by MenuVariant
    QList<QAction *> m_recentActions;      // four per File menu, hidden when unused
    QList<QAction *> m_recentPlaceholders; // the "Recent File" items
    MenuVariant m_menuVariant = MenuVariant::M;
    QString m_title; // "Prax - Sql3*"
    QPointer<CChildFrame> m_lastActive;
    QString m_engineMessage; // the last command's message (the engine's or its own), kept until the next command
    bool m_inWhatsThisMode = false;
    bool m_destroying = false;
};
