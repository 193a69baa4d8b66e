// The in-place frame: the window that holds a document's view while the
// document is edited inside a container's window. It carries the in-place menu
// (Edit and Help) and key table, the in-place toolbar, a resize bar around the
// view, and a drop target that accepts nothing.
//
// The container is another program: the frame's native window is made a child
// of the container's window, given as an X11 window id. A container's menu bar
// cannot take our popups across processes, so the in-place menu is the
// frame's own menu bar.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include "app/commands.h"
#include "app/praxdoc.h"

class CPraxView;
class QToolBar;
class QWindow;

// The hatched border around an object active in place; dragging it resizes
// the frame inside the container's window.
class CResizeBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 4; // pixels of border on every side
    explicit CResizeBar(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Qt::Edges m_dragEdges;
    QPoint m_dragStart;
    QRect m_startGeometry;
};

class CInPlaceFrame : public QMainWindow
{
    Q_OBJECT

public:
    // Control identifiers of the frame's bars.
    static constexpr int AFX_IDW_TOOLBAR = 59392;
    static constexpr int AFX_IDW_RESIZE_BAR = 59395;

    explicit CInPlaceFrame(CPraxDoc *doc, QWidget *parent = nullptr);
    ~CInPlaceFrame() override;

    // The window-creation step: the resize bar around a new view of the
    // document, the drop target, the in-place menu and keys. False when a
    // part cannot be made (the frame must then not be used).
    bool OnCreate();

    // Creates the in-place toolbar on `frameWnd` (docked at the top): Cut,
    // Copy, Paste, About and context help; false when it cannot be made.
    // The frame owns the buttons' actions, so their commands reach this frame.
    bool OnCreateControlBars(QMainWindow *frameWnd, QWidget *docWnd);

    // Puts the frame into the container's native window `container` at
    // `rect` (pixels of that window) and shows it. False when the window
    // system does not know the window.
    bool ActivateIn(quintptr container, const QRect &rect);

    CPraxDoc *document() const { return m_doc; }
    CPraxView *view() const { return m_view; }
    CResizeBar *resizeBar() const { return m_resizeBar; }
    QToolBar *toolBar() const { return m_toolBar; }
    // The action of command `id` in this frame (menu, keys and toolbar).
    QAction *commandAction(int id) const { return m_actions.value(id); }

    // Sends command `id` as the in-place menu, keys or toolbar would; the
    // application's command (About) goes out as appCommandRequested.
    bool runCommand(int id);
    // What the enabling rules see now (commandEnabled).
    CommandState commandState() const;

signals:
    void appCommandRequested(int id);

public slots:
    // Help while in place.
    void OnHelpIndex();  // help index and default help: the list of topics
    void OnHelpUsing();  // help on using help
    void OnHelp();       // help on the current context
    void OnContextHelp(); // the help pointer: click on something to get its help
    void updateActions();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QAction *action(int id);
    void createMenu();

    QPointer<CPraxDoc> m_doc;
    CPraxView *m_view = nullptr;
    QToolBar *m_toolBar = nullptr;
    CResizeBar *m_resizeBar = nullptr;
    QHash<int, QAction *> m_actions;
    QWindow *m_containerWindow = nullptr; // the foreign window we sit in
};
