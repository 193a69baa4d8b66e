// The editor's help: an HTML help file shown in a help window, opened at a
// topic by its context number (Help Index opens 111, F1 the topic of the
// active window), plus the help on using help.
//
// The help file is named after the executable: "<program>.html" beside it,
// else the copy built into the program's resources.
#pragma once

#include <QPointer>
#include <QString>
#include <QMainWindow>

class QTextBrowser;

// Context numbers of the help topics.
inline constexpr int kHelpIndexContext = 111;       // Help Index: the list of topics
inline constexpr int kHelpMainFrameContext = 0x20002; // F1 with no document window
inline constexpr int kHelpDocumentContext = 0x20003;  // F1 in a document window
inline constexpr int kHelpUsingContext = 0x10001;     // Using Help

// The help file: "<program>.html" beside the executable when it exists, else
// the built-in ":/prax/prax.html".
QString helpFilePath();

// A main window of its own (not a bare widget), so that the desktop and
// screen readers know it as a window.
class CHelpWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The one help window, created on first use as a top-level window owned
    // by `owner` (closed with it).
    static CHelpWindow *instance(QWidget *owner = nullptr);
    // The help window when one is open, else nullptr.
    static CHelpWindow *current() { return s_instance; }

    // Shows the window at the topic with context number `context`; an unknown
    // number shows the start of the file.
    void showContext(int context);
    // The anchor of the topic shown last ("context-111"), for tests.
    QString currentAnchor() const { return m_anchor; }
    QTextBrowser *browser() const { return m_browser; }

private:
    explicit CHelpWindow(QWidget *owner);

    static QPointer<CHelpWindow> s_instance;
    QTextBrowser *m_browser;
    QString m_anchor;
};
