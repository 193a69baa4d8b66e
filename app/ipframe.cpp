// The in-place frame; see ipframe.h.
#include "app/ipframe.h"

#include "app/commands.h"
#include "app/commandui.h"
#include "app/help.h"
#include "app/praxdoc.h"
#include "app/praxview.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QToolBar>

#include <vector>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QWindow>

namespace {

// The in-place toolbar, left to right; 0 is a separator.
const std::vector<int> kIpToolbar = {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, kSeparator, ID_APP_ABOUT, ID_CONTEXT_HELP};

} // namespace

CResizeBar::CResizeBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("AFX_IDW_RESIZE_BAR"));
    setMouseTracking(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kWidth, kWidth, kWidth, kWidth);
}

void CResizeBar::paintEvent(QPaintEvent *)
{
    // The hatched border that marks an object active in place.
    QPainter p(this);
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(Qt::darkGray, Qt::BDiagPattern));
    const QRect r = rect();
    p.drawRect(0, 0, r.width(), kWidth);
    p.drawRect(0, r.height() - kWidth, r.width(), kWidth);
    p.drawRect(0, 0, kWidth, r.height());
    p.drawRect(r.width() - kWidth, 0, kWidth, r.height());
}

void CResizeBar::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_dragEdges = {};
    if (pos.x() < kWidth)
        m_dragEdges |= Qt::LeftEdge;
    if (pos.x() >= width() - kWidth)
        m_dragEdges |= Qt::RightEdge;
    if (pos.y() < kWidth)
        m_dragEdges |= Qt::TopEdge;
    if (pos.y() >= height() - kWidth)
        m_dragEdges |= Qt::BottomEdge;
    m_dragStart = event->globalPosition().toPoint();
    m_startGeometry = window()->geometry();
}

void CResizeBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragEdges || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint delta = event->globalPosition().toPoint() - m_dragStart;
    QRect g = m_startGeometry;
    if (m_dragEdges & Qt::LeftEdge)
        g.setLeft(g.left() + delta.x());
    if (m_dragEdges & Qt::RightEdge)
        g.setRight(g.right() + delta.x());
    if (m_dragEdges & Qt::TopEdge)
        g.setTop(g.top() + delta.y());
    if (m_dragEdges & Qt::BottomEdge)
        g.setBottom(g.bottom() + delta.y());
    if (g.width() > 4 * kWidth && g.height() > 4 * kWidth)
        window()->setGeometry(g);
}

void CResizeBar::mouseReleaseEvent(QMouseEvent *)
{
    m_dragEdges = {};
}

CInPlaceFrame::CInPlaceFrame(CPraxDoc *doc, QWidget *parent)
    : QMainWindow(parent)
    , m_doc(doc)
{
    setObjectName(QStringLiteral("CInPlaceFrame"));
    setWindowFlag(Qt::FramelessWindowHint);
}

CInPlaceFrame::~CInPlaceFrame()
{
    if (m_doc && m_view)
        m_doc->detachView(m_view);
    if (m_containerWindow) {
        // Our window is a child of the foreign one: take it back before the
        // foreign window's stand-in goes, or it would take ours with it.
        hide();
        if (QWindow *own = windowHandle())
            own->setParent(nullptr);
        delete m_containerWindow;
    }
}

bool CInPlaceFrame::OnCreate()
{
    if (!m_doc)
        return false;
    m_resizeBar = new CResizeBar(this);
    m_view = new CPraxView(m_doc, m_resizeBar);
    m_resizeBar->layout()->addWidget(m_view);
    setCentralWidget(m_resizeBar);
    // Dragged objects stop here instead of falling through to the container.
    setAcceptDrops(true);
    createMenu();
    connect(m_view, &CPraxView::commandStateChanged, this, &CInPlaceFrame::updateActions);
    updateActions();
    return true;
}

QAction *CInPlaceFrame::action(int id)
{
    if (QAction *existing = m_actions.value(id))
        return existing;
    const CommandEntry *entry = findCommand(id);
    if (!entry)
        return nullptr;
    const char *text = entry->menu_text[int(MenuVariant::I)];
    QAction *a = createCommandAction(id, QString::fromLatin1(text ? text : entry->name), this,
                                     [this](int command) { runCommand(command); });
    m_actions.insert(id, a);
    return a;
}

void CInPlaceFrame::createMenu()
{
    for (const MenuPopup &popup : menuLayout(MenuVariant::I)) {
        // The untitled entries are the container's groups: nothing of ours.
        if (!popup.title)
            continue;
        QMenu *menu = menuBar()->addMenu(QString::fromLatin1(popup.title));
        for (int id : popup.items) {
            if (id == kSeparator)
                menu->addSeparator();
            else
                menu->addAction(action(id));
        }
    }
    const QHash<int, QList<QKeySequence>> keys = commandKeys(MenuVariant::I);
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        action(it.key())->setShortcuts(it.value());
}

bool CInPlaceFrame::OnCreateControlBars(QMainWindow *frameWnd, QWidget *)
{
    // The actions are this frame's: the buttons' commands come here.
    m_toolBar = createCommandToolBar(frameWnd, kIpToolbar, [this](int id) { return action(id); });
    return m_toolBar != nullptr;
}

bool CInPlaceFrame::ActivateIn(quintptr container, const QRect &rect)
{
    // Already there: only the place changes.
    if (m_containerWindow && m_containerWindow->winId() == WId(container)) {
        setGeometry(rect);
        show();
        return true;
    }
    QWindow *foreign = QWindow::fromWinId(WId(container));
    if (!foreign)
        return false;
    winId(); // the frame needs its native window before it can move into another
    windowHandle()->setParent(foreign);
    delete m_containerWindow; // the stand-in of a window we have left
    m_containerWindow = foreign;
    setGeometry(rect);
    show();
    return true;
}

CommandState CInPlaceFrame::commandState() const
{
    CommandState state = m_view ? m_view->commandState() : CommandState();
    state.app = true; // About goes out as appCommandRequested
    return state;
}

bool CInPlaceFrame::runCommand(int id)
{
    QAction *a = m_actions.value(id);
    if (!a || !a->isEnabled() || !m_view)
        return false;
#define PRAX_HELP_HANDLER(cid, value, handler, remote) {cid, &CInPlaceFrame::handler},
    static constexpr CommandHandler<CInPlaceFrame> kHandlers[] = {PRAX_HELP_COMMANDS(PRAX_HELP_HANDLER)};
#undef PRAX_HELP_HANDLER
    switch (commandOwner(id)) {
    case CommandOwner::App: emit appCommandRequested(id); return true;
    case CommandOwner::AnyFrame: return runOwnCommand(this, kHandlers, id);
    case CommandOwner::View: return m_view->runCommand(id);
    default: return false;
    }
}

void CInPlaceFrame::updateActions()
{
    if (!m_view)
        return;
    const CommandState state = commandState();
    for (QAction *a : std::as_const(m_actions))
        a->setEnabled(commandEnabled(a->data().toInt(), state));
}

void CInPlaceFrame::OnHelpIndex()
{
    CHelpWindow::instance(this)->showContext(kHelpIndexContext);
}

void CInPlaceFrame::OnHelpUsing()
{
    CHelpWindow::instance(this)->showContext(kHelpUsingContext);
}

void CInPlaceFrame::OnHelp()
{
    CHelpWindow::instance(this)->showContext(kHelpDocumentContext);
}

void CInPlaceFrame::OnContextHelp()
{
    QWhatsThis::enterWhatsThisMode();
}

void CInPlaceFrame::dragEnterEvent(QDragEnterEvent *event)
{
    event->ignore();
}

void CInPlaceFrame::dragMoveEvent(QDragMoveEvent *event)
{
    event->ignore();
}

void CInPlaceFrame::dropEvent(QDropEvent *event)
{
    event->ignore();
}
