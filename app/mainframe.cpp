// The main window; see mainframe.h.
#include "app/mainframe.h"

#include "app/childframe.h"
#include "app/commandui.h"
#include "app/dialogs/batchjobdlg.h"
#include "app/dialogs/formatoptionsdlg.h"
#include "app/dialogs/layoutextrasdlg.h"
#include "app/editorsettings.h"
#include "app/help.h"
#include "app/lockkeys.h"
#include "app/msgbox.h"
#include "app/toolbartips.h"
#include "app/praxdoc.h"
#include "app/praxview.h"
#include "app/profilepath.h"

#include "engine/engine.h"
#include "engine/options.h"
#include "engine/profile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>

#include <string>

namespace {

constexpr int kVariants[] = {int(MenuVariant::M), int(MenuVariant::D), int(MenuVariant::E), int(MenuVariant::I)};

// A recent-file entry as the File menu shows it: "&1 /path/file.txt", long
// paths shortened in the middle, "&" doubled so it is not a mnemonic.
QString recentFileText(int index, const QString &path)
{
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > 60)
        shown = shown.left(20) + QStringLiteral("...") + shown.right(37);
    shown.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

// Window > Tabbed, kept in the profile beside the formatting options.
constexpr const char *kWindowSection = "Window";
constexpr const char *kTabbedKey = "Tabbed";

// The empty part of the document area: a shade darker than the window, on
// a light desktop and a dark one alike (Qt's own is a fixed mid grey, a
// bright patch on a dark desktop).
QBrush documentAreaBackground(const QPalette &palette)
{
    const QColor window = palette.color(QPalette::Window);
    return window.darker(window.lightness() < 128 ? 140 : 115);
}

QString statusText(std::string_view bytes)
{
    // The engine's texts are 8-bit and end with a line feed; the pane shows one line.
    QString text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text;
}

} // namespace

CMainFrame::CMainFrame(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("IDR_MAINFRAME"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/prax/IDR_MAINFRAME_icon.png")));
    // Bars stay where they are: no menu to hide or move them.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Files dropped anywhere on the window open as documents.
    setAcceptDrops(true);
}

CMainFrame::~CMainFrame()
{
    // Closing the document windows reports activations and destructions
    // back here: nothing may be updated then.
    m_destroying = true;
    // So the windows go now, while this frame is whole.
    delete m_mdiArea;
    m_mdiArea = nullptr;
    qApp->removeEventFilter(this);
    prax::set_status_hook(nullptr);
}

bool CMainFrame::LoadFrame()
{
    m_mdiArea = new QMdiArea(this);
    // A window moved or left partly outside the area can still be reached.
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setBackground(documentAreaBackground(palette()));
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::onSubWindowActivated);
    prax::IniProfile profile;
    profile.load(praxProfileFile());
    setTabbedView(profile.get_int(kWindowSection, kTabbedKey, 0) != 0);

    createActions();
    createMenus();
    if (!createToolBar())
        return false;
    createStatusBar();
    installStatusHook();
    qApp->installEventFilter(this); // leaving context-help mode

    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::updateActions);

    setRecentFiles({});
    updateMenuBar();
    updateActions();

    QSize size(960, 680);
    if (const QScreen *screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
    return true;
}

void CMainFrame::createActions()
{
    const auto run = [this](int id) { runCommand(id); };
    for (const CommandEntry &entry : commandTable()) {
        // Its first menu text; menus that show another text get items of their own.
        QAction *action = createCommandAction(entry.id, commandText(entry, MenuVariant::M), this, run);
        if (entry.id == ID_VIEW_TOOLBAR || entry.id == ID_VIEW_STATUS_BAR || entry.id == ID_WINDOW_TABBED)
            action->setCheckable(true);
        m_actions.insert(entry.id, action);
    }
}

void CMainFrame::createMenus()
{
    for (int v : kVariants) {
        QList<QMenu *> popups;
        for (const MenuPopup &popup : menuLayout(MenuVariant(v))) {
            auto *menu = new QMenu(popup.title ? QString::fromLatin1(popup.title) : QString(), this);
            popups << menu;
            for (int id : popup.items) {
                if (id == kSeparator) {
                    menu->addSeparator();
                } else if (id == kWindowListMarker) {
                    connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowMenu(menu); });
                } else if (id == ID_FILE_MRU_FILE1) {
                    // The place holder shows while the list is empty; the
                    // entries take its place when there are any.
                    auto *placeholder = menu->addAction(QString::fromLatin1(findCommand(id)->menu_text[v]));
                    placeholder->setData(id);
                    placeholder->setStatusTip(QString::fromLatin1(findCommand(id)->prompt));
                    placeholder->setEnabled(false);
                    m_recentPlaceholders << placeholder;
                    for (int i = 0; i < kRecentFileCount; ++i) {
                        auto *recent = menu->addAction(QString());
                        recent->setData(ID_FILE_MRU_FILE1 + i);
                        recent->setStatusTip(QString::fromLatin1(findCommand(id)->prompt));
                        recent->setVisible(false);
                        connect(recent, &QAction::triggered, this, [this, i] { emit recentFileRequested(i); });
                        m_recentActions << recent;
                    }
                } else {
                    const CommandEntry *entry = findCommand(id);
                    QAction *shared = m_actions.value(id);
                    const QString text = QString::fromLatin1(entry->menu_text[v]);
                    // Menu E names the container in Update and Exit, so
                    // those two are items of their own there.
                    const bool namesContainer =
                        v == int(MenuVariant::E) && (id == ID_FILE_UPDATE || id == ID_APP_EXIT);
                    if (text == shared->text() && !namesContainer) {
                        menu->addAction(shared);
                    } else {
                        // Same command under another text in this menu (e.g.
                        // "Beautify &Options" for "Format &Options").
                        auto *variantAction = menu->addAction(text);
                        variantAction->setData(id);
                        variantAction->setStatusTip(shared->statusTip());
                        variantAction->setWhatsThis(shared->whatsThis());
                        connect(variantAction, &QAction::triggered, this, [this, id] { runCommand(id); });
                        m_variantActions << variantAction;
                        if (namesContainer)
                            m_containerTextActions.insert(id, variantAction);
                    }
                }
            }
        }
        m_menus.insert(v, popups);
    }
}

bool CMainFrame::createToolBar()
{
    m_toolBar = createCommandToolBar(this, toolbarLayout(), [this](int id) { return m_actions.value(id); });
    if (!m_toolBar)
        return false;
    describeToolBarButtons(m_toolBar);
    connect(m_toolBar, &QToolBar::visibilityChanged, this, &CMainFrame::updateActions);
    return true;
}

void CMainFrame::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setSizeGripEnabled(true);
    m_messagePane = new QLabel(QString::fromLatin1(kIdleMessage), bar);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    m_messagePane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_messagePane->setTextFormat(Qt::PlainText);
    m_messagePane->setMinimumWidth(1);
    bar->addWidget(m_messagePane, 1);
    m_lineEndPane = new QLabel(bar);
    m_lineEndPane->setObjectName(QStringLiteral("lineEnd"));
    m_lineEndPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_lineEndPane->setAlignment(Qt::AlignCenter);
    m_lineEndPane->setMinimumWidth(m_lineEndPane->fontMetrics().horizontalAdvance(QStringLiteral("CRLF")) + 12);
    m_lineEndPane->setWhatsThis(QStringLiteral("The line end that new lines of the active document get: "
                                               "LF, or CRLF for a file that uses CR LF."));
    m_lineEndPane->hide();
    bar->addPermanentWidget(m_lineEndPane);
    for (const char *name : {"CAP", "NUM", "SCRL"}) {
        auto *pane = new QLabel(QString::fromLatin1(name), bar);
        pane->setObjectName(QString::fromLatin1(name));
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        bar->addPermanentWidget(pane);
        m_indicators << pane;
    }
    bar->setWhatsThis(QStringLiteral("The status bar: what the highlighted command does, and the "
                                     "formatter's messages."));
    // Lock keys pressed while another program has the keyboard send us no
    // key event: a cheap poll catches those.
    m_lockKeyTimer = new QTimer(this);
    m_lockKeyTimer->setInterval(500);
    connect(m_lockKeyTimer, &QTimer::timeout, this, &CMainFrame::updateLockKeys);
    updateLockKeys();
}

void CMainFrame::updateLockKeys()
{
    LockKeyState state;
    const bool known = readLockKeys(state);
    const bool on[] = {state.caps, state.num, state.scroll};
    for (qsizetype i = 0; i < m_indicators.size(); ++i) {
        // Indicators that cannot be right are left out rather than shown
        // forever off.
        m_indicators.at(i)->setVisible(known);
        m_indicators.at(i)->setEnabled(known && on[i]);
    }
    if (known && !m_lockKeyTimer->isActive())
        m_lockKeyTimer->start();
    else if (!known)
        m_lockKeyTimer->stop();
}

void CMainFrame::installStatusHook()
{
    QPointer<CMainFrame> self(this);
    prax::set_status_hook([self](std::string_view text) {
        if (self) {
            self->m_engineMessage = statusText(text);
            self->setMessageText(self->m_engineMessage);
        }
    });
}

void CMainFrame::setMessageText(const QString &text)
{
    if (!m_messagePane)
        return;
    m_messagePane->setText(text);
    if (m_messagePane->isVisible())
        m_messagePane->repaint();
}

QString CMainFrame::restingText() const
{
    // A failed Beautify started from the toolbar says why ("Unbalanced
    // parenthesis"); moving the mouse off the button must not wipe that, so
    // the engine's last message stays until the next command.
    if (m_inWhatsThisMode)
        return QString::fromLatin1(kHelpModeMessage);
    return m_engineMessage.isEmpty() ? QString::fromLatin1(kIdleMessage) : m_engineMessage;
}

bool CMainFrame::event(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && m_mdiArea)
        m_mdiArea->setBackground(documentAreaBackground(palette()));
    // A maximised document window writes "Prax - Sql3 - [Sql3*]" into this
    // window's title; the title stays ours.
    if (event->type() == QEvent::WindowTitleChange && !m_title.isEmpty() && windowTitle() != m_title)
        setWindowTitle(m_title);
    if (event->type() == QEvent::WindowActivate) {
        updateLockKeys();
        // After the event, so the window is drawn active behind a question.
        QTimer::singleShot(0, this, &CMainFrame::checkFilesOnDisk);
    }
    if (event->type() == QEvent::StatusTip && m_messagePane) {
        // Prompts of highlighted items go to the message pane; when none is
        // highlighted it shows the idle text again (or the help-mode text).
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        if (!tip.isEmpty())
            setMessageText(tip);
        else
            setMessageText(restingText());
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && m_lockKeyTimer &&
        m_lockKeyTimer->isActive()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            updateLockKeys();
    }
    if (event->type() == QEvent::LeaveWhatsThisMode && m_inWhatsThisMode) {
        m_inWhatsThisMode = false;
        setMessageText(restingText());
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    // Every modified document is asked about first; a Cancel keeps them all open.
    const QList<CChildFrame *> children = childFrames();
    for (CChildFrame *child : children) {
        if (!child->SaveModified()) {
            event->ignore();
            return;
        }
    }
    for (CChildFrame *child : children) {
        child->document()->SetModifiedFlag(false); // answered above
        child->close();
    }
    if (CHelpWindow *help = CHelpWindow::current())
        help->close();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent *event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    emit filesDropped(files);
}

void CMainFrame::checkFilesOnDisk()
{
    // The question's own window takes the activation away and gives it back
    // when it closes: that activation must not ask again meanwhile.
    if (m_checkingFiles || m_destroying)
        return;
    m_checkingFiles = true;
    // A window may close while a question is open.
    QList<QPointer<CChildFrame>> children;
    for (CChildFrame *child : childFrames())
        children << child;
    for (const QPointer<CChildFrame> &child : std::as_const(children)) {
        if (child)
            child->checkFileOnDisk();
    }
    m_checkingFiles = false;
}

CChildFrame *CMainFrame::activeChild() const
{
    // currentSubWindow, not activeSubWindow: the latter is null while another
    // application has the focus.
    return m_mdiArea ? qobject_cast<CChildFrame *>(m_mdiArea->currentSubWindow()) : nullptr;
}

CPraxDoc *CMainFrame::activeDocument() const
{
    CChildFrame *child = activeChild();
    return child ? child->document() : nullptr;
}

CPraxView *CMainFrame::activeView() const
{
    CChildFrame *child = activeChild();
    return child ? child->view() : nullptr;
}

QList<CChildFrame *> CMainFrame::childFrames() const
{
    QList<CChildFrame *> children;
    if (!m_mdiArea)
        return children;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (auto *child = qobject_cast<CChildFrame *>(window))
            children << child;
    }
    return children;
}

void CMainFrame::addChildFrame(CChildFrame *child)
{
    const bool maximized = m_mdiArea->currentSubWindow() && m_mdiArea->currentSubWindow()->isMaximized();
    m_mdiArea->addSubWindow(child);
    connect(child->view(), &CPraxView::commandStateChanged, this, &CMainFrame::updateActions);
    connect(child->document(), &CPraxDoc::titleChanged, this, &CMainFrame::updateActions);
    connect(child->document(), &CPraxDoc::modifiedChanged, this, &CMainFrame::updateActions);
    connect(child, &CChildFrame::documentSaved, this, &CMainFrame::documentSaved);
    connect(child->view(), &CPraxView::filesDropped, this, &CMainFrame::filesDropped);
    connect(child->view(), &CPraxView::commandMessage, this, [this](const QString &text) {
        m_engineMessage = text;
        setMessageText(text);
    });
    connect(child, &QObject::destroyed, this, [this] {
        updateMenuBar();
        updateActions();
    });
    if (maximized) {
        child->showMaximized();
    } else {
        // The next step of the cascade of the windows already open (Qt's own
        // placement put a new window half outside the area).
        int open = 0;
        for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
            if (window != child && window->isVisible() && !window->isMinimized())
                ++open;
        }
        child->setGeometry(cascadeSlot(open));
        child->show();
    }
    m_mdiArea->setActiveSubWindow(child);
    child->view()->setFocus();
    updateMenuBar();
    updateActions();
}

void CMainFrame::onSubWindowActivated(QMdiSubWindow *)
{
    updateMenuBar();
    updateActions();
}

void CMainFrame::updateMenuBar()
{
    if (m_destroying)
        return;
    MenuVariant wanted = childFrames().isEmpty() ? MenuVariant::M : MenuVariant::D;
    const CPraxDoc *doc = activeDocument();
    if (doc && doc->IsEmbedded()) {
        wanted = MenuVariant::E;
        // "&Update %1" and "E&xit && Return to %1" with the container's
        // name for its document.
        const QString name = doc->containerName();
        m_containerTextActions.value(ID_FILE_UPDATE)->setText(QStringLiteral("&Update %1").arg(name));
        m_containerTextActions.value(ID_APP_EXIT)->setText(QStringLiteral("E&xit && Return to %1").arg(name));
    }
    if (wanted == m_menuVariant && !menuBar()->actions().isEmpty())
        return;
    m_menuVariant = wanted;
    menuBar()->clear();
    for (QMenu *menu : m_menus.value(int(wanted)))
        menuBar()->addMenu(menu);
    applyAccelerators(wanted);
}

void CMainFrame::applyAccelerators(MenuVariant variant)
{
    const QHash<int, QList<QKeySequence>> keys = commandKeys(variant);
    for (QAction *action : std::as_const(m_actions))
        action->setShortcuts(keys.value(action->data().toInt()));
}

void CMainFrame::setRecentFiles(const QStringList &files)
{
    for (QAction *placeholder : m_recentPlaceholders)
        placeholder->setVisible(files.isEmpty());
    for (qsizetype i = 0; i < m_recentActions.size(); ++i) {
        const int index = int(i % kRecentFileCount);
        QAction *action = m_recentActions.at(i);
        action->setVisible(index < files.size());
        if (index < files.size())
            action->setText(recentFileText(index, files.at(index)));
    }
}

void CMainFrame::fillWindowMenu(QMenu *menu)
{
    for (QAction *action : menu->actions()) {
        if (action->data().toInt() >= ID_WINDOW_LIST_FIRST)
            menu->removeAction(action), delete action;
    }
    const QList<CChildFrame *> children = childFrames();
    if (children.isEmpty())
        return;
    menu->addSeparator()->setData(int(ID_WINDOW_LIST_FIRST));
    int n = 0;
    for (CChildFrame *child : children) {
        QString title = child->document()->title();
        title.replace(u'&', QStringLiteral("&&"));
        QAction *action = menu->addAction(QStringLiteral("&%1 %2").arg(n + 1).arg(title));
        action->setData(int(ID_WINDOW_LIST_FIRST) + n);
        action->setCheckable(true);
        action->setChecked(child == activeChild());
        QPointer<CChildFrame> target(child);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
        ++n;
    }
}

CommandState CMainFrame::commandState() const
{
    CPraxView *view = activeView();
    CommandState state = view ? view->commandState() : CommandState();
    state.app = isSignalConnected(QMetaMethod::fromSignal(&CMainFrame::appCommandRequested));
    state.document = activeChild() != nullptr;
    state.embedded = activeDocument() && activeDocument()->IsEmbedded();
    state.documentWindows = !childFrames().isEmpty();
    state.tabbed = m_mdiArea && m_mdiArea->viewMode() == QMdiArea::TabbedView;
    return state;
}

bool CMainFrame::runCommand(int id)
{
    if (!findCommand(id) || !commandEnabled(id, commandState()))
        return false;
    // A new command starts with no engine message; the one it reports (if
    // any) replaces the old one.
    if (!m_engineMessage.isEmpty()) {
        if (m_messagePane && m_messagePane->text() == m_engineMessage)
            setMessageText(QString::fromLatin1(kIdleMessage));
        m_engineMessage.clear();
    }
    // "E&xit && Return to %1": the embedded document's window closes (the
    // container's copy brought up to date); the program goes on serving.
    if (id == ID_APP_EXIT && activeDocument() && activeDocument()->IsEmbedded())
        return activeChild()->close();
#define PRAX_FRAME_HANDLER(cid, value, handler, remote) {cid, &CMainFrame::handler},
    static constexpr CommandHandler<CMainFrame> kHandlers[] = {
        PRAX_FRAME_COMMANDS(PRAX_FRAME_HANDLER) PRAX_HELP_COMMANDS(PRAX_FRAME_HANDLER)};
#undef PRAX_FRAME_HANDLER
    switch (commandOwner(id)) {
    case CommandOwner::App: emit appCommandRequested(id); return true;
    case CommandOwner::Frame:
    case CommandOwner::AnyFrame: return runOwnCommand(this, kHandlers, id);
    case CommandOwner::Doc: return activeChild()->runCommand(id);
    case CommandOwner::View: return activeView()->runCommand(id);
    case CommandOwner::None: break;
    }
    return false;
}

void CMainFrame::updateActions()
{
    if (!m_mdiArea || m_destroying)
        return;
    // Recent files are always enabled and their place holder never: neither
    // is in these lists.
    const CommandState state = commandState();
    for (QAction *action : std::as_const(m_actions))
        action->setEnabled(commandEnabled(action->data().toInt(), state));
    for (QAction *action : std::as_const(m_variantActions))
        action->setEnabled(commandEnabled(action->data().toInt(), state));
    if (m_toolBar)
        m_actions.value(ID_VIEW_TOOLBAR)->setChecked(!m_toolBar->isHidden());
    if (m_lineEndPane) {
        const CPraxView *view = activeView();
        m_lineEndPane->setVisible(view != nullptr);
        m_lineEndPane->setText(view ? view->lineEndName() : QString());
    }
    m_actions.value(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
    m_actions.value(ID_WINDOW_TABBED)->setChecked(state.tabbed);

    // One title, "Prax - Sql3*", whether or not the document window is maximised.
    m_title = QString::fromLatin1(kAppTitle);
    if (CPraxDoc *doc = activeDocument())
        m_title += QStringLiteral(" - ") + doc->title() + (doc->isModified() ? QStringLiteral("*") : QString());
    setWindowTitle(m_title);
}

void CMainFrame::OnFormatOptions()
{
    // The dialog applies (and with OK/Save writes) its values itself.
    CFormatOptionsDlg dialog(this, praxProfilePath());
    dialog.exec();
}

void CMainFrame::OnLayoutExtras()
{
    CLayoutExtrasDlg dialog(this, praxProfilePath());
    dialog.exec();
}

void CMainFrame::OnBatchJob()
{
    CBatchJobDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnSaveOptions()
{
    std::string error;
    const std::string path = praxProfileFile();
    if (prax::save_format_options(path, prax::format_options, &error) != 0 || !saveEditorSettings(path, &error)) {
        // Not saving silently would lose the user's settings at the next start.
        praxMessageBox(this, QStringLiteral("The formatting options could not be saved:\n%1")
                                 .arg(QString::fromLocal8Bit(error.c_str())));
    }
}

void CMainFrame::OnViewToolbar()
{
    m_toolBar->setVisible(m_toolBar->isHidden());
    updateActions();
}

void CMainFrame::OnWindowNext()
{
    m_mdiArea->activateNextSubWindow();
}

void CMainFrame::OnViewStatusBar()
{
    statusBar()->setVisible(statusBar()->isHidden());
    updateActions();
}

void CMainFrame::OnWindowNew()
{
    // Not offered: a document has exactly one window (commandEnabled says so).
}

void CMainFrame::OnNextPane()
{
    // Not offered: a document window is not split (commandEnabled says so).
}

void CMainFrame::OnPrevPane()
{
    // Not offered, as OnNextPane.
}

QRect CMainFrame::cascadeSlot(int index) const
{
    // Before the main window is first shown its layout has not run yet;
    // the window's own size, less its bars, stands in for the area's.
    QSize area = m_mdiArea->viewport()->size();
    if (!isVisible())
        area = size() - QSize(0, 100);
    // Three quarters of the area, each window one title bar lower and to
    // the right of the one before; back to the corner once the next one
    // would not fit.
    const QSize windowSize(qMax(320, area.width() * 3 / 4), qMax(200, area.height() * 3 / 4));
    const int step = qMax(16, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4);
    const int room = qMin(area.width() - windowSize.width(), area.height() - windowSize.height());
    const int places = qMax(1, room / step + 1);
    const int offset = (index % places) * step;
    return QRect(QPoint(offset, offset), windowSize);
}

void CMainFrame::OnWindowCascade()
{
    // QMdiArea::cascadeSubWindows shrinks every window to its minimum size;
    // the cascade here keeps them at a size to work in. The active window
    // comes last, in front.
    QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    if (QMdiSubWindow *active = m_mdiArea->activeSubWindow(); windows.removeOne(active))
        windows.append(active);
    int index = 0;
    for (QMdiSubWindow *window : std::as_const(windows)) {
        if (!window->isVisible() || window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        window->setGeometry(cascadeSlot(index++));
        window->raise();
    }
}

void CMainFrame::OnWindowTile()
{
    m_mdiArea->tileSubWindows();
}

void CMainFrame::setTabbedView(bool tabbed)
{
    m_mdiArea->setViewMode(tabbed ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
    if (tabbed) {
        m_mdiArea->setDocumentMode(true); // tabs without a frame around the page
        m_mdiArea->setTabsClosable(true);
        m_mdiArea->setTabsMovable(true);
    }
}

void CMainFrame::OnWindowTabbed()
{
    const bool tabbed = m_mdiArea->viewMode() != QMdiArea::TabbedView;
    setTabbedView(tabbed);
    updateActions();
    // Read afresh: the options and the recent files written meanwhile stay.
    prax::IniProfile profile;
    std::string error;
    if (!profile.load(praxProfileFile(), &error)) {
        qWarning("prax: window layout not saved: %s", error.c_str());
        return;
    }
    profile.set_int(kWindowSection, kTabbedKey, tabbed ? 1 : 0);
    if (!profile.save(praxProfileFile(), &error))
        qWarning("prax: window layout not saved: %s", error.c_str());
}

void CMainFrame::OnWindowArrange()
{
    // Minimized windows line up from the bottom left corner, row above row.
    const QSize area = m_mdiArea->viewport()->size();
    int x = 0, y = area.height();
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        window->move(x, y - size.height());
        x += size.width();
    }
}

void CMainFrame::OnHelpIndex()
{
    CHelpWindow::instance(this)->showContext(kHelpIndexContext);
}

void CMainFrame::OnHelpUsing()
{
    CHelpWindow::instance(this)->showContext(kHelpUsingContext);
}

void CMainFrame::OnHelp()
{
    CHelpWindow::instance(this)->showContext(activeChild() ? kHelpDocumentContext : kHelpMainFrameContext);
}

void CMainFrame::OnContextHelp()
{
    m_inWhatsThisMode = true;
    QWhatsThis::enterWhatsThisMode();
    setMessageText(QString::fromLatin1(kHelpModeMessage));
}
